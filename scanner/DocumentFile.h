#pragma once
// File names of scan documents (*.QXS) for the document commands; the documents themselves are
// read and written by LoadScanDocument and SaveScanDocument (scanmodel/ScanInfo.h).

#include <string>

/// FileName with Extension (".QXS") appended when its name part holds no '.'; a dot in a
/// folder name does not count.
std::string WithDefaultExt(const std::string& FileName, const std::string& Extension);
