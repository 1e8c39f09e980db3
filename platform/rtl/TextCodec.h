#pragma once
// Conversions between the model's 8-bit text (Windows-1252) and the Unicode encodings that files
// and libraries hand over. Characters that Windows-1252 cannot show become '?'.

#include <string>
#include <string_view>

/// Windows-1252 text from UTF-8; malformed sequences give '?' per bad byte.
std::string Utf8ToCp1252(std::string_view Utf8);
/// Windows-1252 text from UTF-16 code units (little-endian bytes unless BigEndian).
std::string Utf16ToCp1252(std::string_view Bytes, bool BigEndian = false);
/// UTF-8 from Windows-1252 text.
std::string Cp1252ToUtf8(std::string_view Text);
/// True when Bytes is well-formed UTF-8 and holds at least one non-ASCII character.
bool LooksLikeUtf8(std::string_view Bytes);
/// When Bytes begin with a UTF-8 or UTF-16 byte-order mark, or are UTF-16 without one (an even
/// number of bytes, a NUL in every other byte of the first line, and only there): the text after
/// any mark as Windows-1252 in Text, and true. Otherwise false, and Text is not changed.
bool DecodeMarkedText(std::string_view Bytes, std::string& Text);
/// Windows-1252 text from a text file's bytes: a UTF-8 or UTF-16 byte-order mark, or UTF-16
/// without one, decides, then well-formed UTF-8 is taken as such, and anything else as
/// Windows-1252 already.
std::string DecodeTextFile(std::string_view Bytes);
