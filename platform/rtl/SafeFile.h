#pragma once
// Replacing a file without risking its old contents.

#include "platform/rtl/Classes.h"

#include <functional>
#include <string>

/// Runs Write on a stream and puts what it wrote into FileName. The data goes to a new file in
/// the same folder, which replaces FileName only once everything was written; on any failure the
/// old file stays as it was. Raises EFCreateError "Cannot create file %s" when the file cannot be
/// made and EWriteError "Cannot write file %s" when the data cannot be stored; an exception of
/// Write itself passes through.
void SaveFileSafely(const std::string& FileName, const std::function<void(TStream&)>& Write);
