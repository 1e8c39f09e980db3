#pragma once
// The engine's resources for preview windows: the glyphs of their toolbar buttons and the
// texts of their status line and messages.

#include <QImage>

#include <string_view>

/// Texts that preview windows show: "Page 3 of 12", and the message for a missing file.
inline constexpr const char* QRStrPage = "Page";
inline constexpr const char* QRStrOf = "of";
inline constexpr const char* QRStrFileDoesNotExist = "File does not exist";

/// The glyph of a preview toolbar button, Size pixels square, on a transparent ground:
/// "QRZOOMTOFITBITMAP", "QRZOOMTO100BITMAP", "QRZOOMTOWIDTHBITMAP", "QRFIRSTPAGEBITMAP",
/// "QRPREVPAGEBITMAP", "QRNEXTPAGEBITMAP", "QRLASTPAGEBITMAP", "QRPRINTSETUPBITMAP",
/// "QRPRINTBITMAP", "QRSAVEBITMAP", "QROPENBITMAP". Another name gives a null image.
QImage QRBitmap(std::string_view Name, int Size = 16);
