#pragma once
// Replacing a file without risking its old contents.

#include "platform/rtl/Classes.h"

#include <functional>
#include <string>

/// Runs Write on a stream and puts what it wrote into FileName. The data goes to a new file in
/// the same folder, which replaces FileName only once everything was written and synced to disk;
/// on any failure (a full disk among them) the old file stays as it was. The new file keeps the
/// old one's permission bits. When FileName is a symbolic link, the file it points to is replaced
/// and the link stays; with ReplaceLink, the link itself is replaced and what it points to is
/// left alone (for files the program writes under fixed names beside the user's). Raises EFCreateError
/// "Cannot create file %s" when the file cannot be made and EWriteError "Cannot write file %s (<the system's
/// reason>)" when the data cannot be stored; an exception of Write itself passes through.
void SaveFileSafely(const std::string& FileName, const std::function<void(TStream&)>& Write,
                    bool ReplaceLink = false);
