#pragma once
// Reading and writing scan documents (*.QXS) for the document commands.

#include <memory>
#include <string>

class TQuorvex;

/// The current scan document (defined with the main window, which creates it and replaces it on
/// New and Open); valid from the main window's creation to its destruction.
extern std::unique_ptr<TQuorvex> Document;

/// Reads the scan document FileName (LoadScanDocument). Raises "Cannot open file %s", or the
/// stream's error, its message naming the file, for a file that is damaged or no scan document.
std::unique_ptr<TQuorvex> ReadDocument(const std::string& FileName);
/// Writes Document to FileName (SaveScanDocument): the old file is replaced only once the whole
/// document is written. Raises "Cannot create file %s" or "Cannot write file %s".
void WriteDocument(TQuorvex& Document, const std::string& FileName);
/// FileName with Extension (".QXS") appended when its name part holds no '.'; a dot in a
/// folder name does not count.
std::string WithDefaultExt(const std::string& FileName, const std::string& Extension);
