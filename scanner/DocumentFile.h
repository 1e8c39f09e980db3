#pragma once
// Reading and writing scan documents (*.QXS) for the document commands.

#include <memory>
#include <string>

class TQuorvex;

/// Reads the scan document FileName. Raises "Cannot open file %s", the stream's read errors, the
/// class registry's "<name> not registered as streamable", or "Invalid class typecast" when the
/// file holds another kind of object.
std::unique_ptr<TQuorvex> ReadDocument(const std::string& FileName);
/// Writes Document to FileName without risking the file already there: the old file is replaced
/// only once the whole document is written. Raises "Cannot create file %s" or "Cannot write
/// file %s".
void WriteDocument(TQuorvex& Document, const std::string& FileName);
/// FileName with Extension (".QXS") appended when its name part holds no '.'; a dot in a
/// folder name does not count.
std::string WithDefaultExt(const std::string& FileName, const std::string& Extension);
