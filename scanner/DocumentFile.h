#pragma once
// The scanner's current scan document, and the file names of scan documents (*.QXS) for the
// document commands; the documents themselves are read and written by LoadScanDocument and
// SaveScanDocument (scanmodel/ScanInfo.h).

#include <memory>
#include <string>

class TQuorvex;

/// The current scan document (defined with the main window, which creates it and replaces it on
/// New and Open); valid from the main window's creation to its destruction.
extern std::unique_ptr<TQuorvex> Document;

/// FileName with Extension (".QXS") appended when its name part holds no '.'; a dot in a
/// folder name does not count.
std::string WithDefaultExt(const std::string& FileName, const std::string& Extension);
