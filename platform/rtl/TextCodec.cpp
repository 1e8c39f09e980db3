#include "platform/rtl/TextCodec.h"

#include <cstdint>

namespace {

// Code points of bytes 0x80..0x9F; the five unassigned bytes map to the C1 control of their value.
constexpr char32_t kHigh[32] = {0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
                                0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

char FromCodePoint(char32_t C) {
    if (C < 0x80 || (C >= 0xA0 && C <= 0xFF))
        return static_cast<char>(C);
    for (int I = 0; I < 32; ++I)
        if (kHigh[I] == C)
            return static_cast<char>(0x80 + I);
    return '?';
}

void AppendUtf8(std::string& Out, char32_t C) {
    if (C < 0x80) {
        Out += static_cast<char>(C);
    } else if (C < 0x800) {
        Out += static_cast<char>(0xC0 | (C >> 6));
        Out += static_cast<char>(0x80 | (C & 0x3F));
    } else if (C < 0x10000) {
        Out += static_cast<char>(0xE0 | (C >> 12));
        Out += static_cast<char>(0x80 | ((C >> 6) & 0x3F));
        Out += static_cast<char>(0x80 | (C & 0x3F));
    } else {
        Out += static_cast<char>(0xF0 | (C >> 18));
        Out += static_cast<char>(0x80 | ((C >> 12) & 0x3F));
        Out += static_cast<char>(0x80 | ((C >> 6) & 0x3F));
        Out += static_cast<char>(0x80 | (C & 0x3F));
    }
}

// Decodes one UTF-8 sequence at I; returns its length, or 0 when it is malformed.
std::size_t DecodeUtf8(std::string_view S, std::size_t I, char32_t& C) {
    const auto B0 = static_cast<unsigned char>(S[I]);
    std::size_t Len;
    char32_t Min;
    if (B0 < 0x80) {
        C = B0;
        return 1;
    } else if ((B0 & 0xE0) == 0xC0) {
        Len = 2, C = B0 & 0x1F, Min = 0x80;
    } else if ((B0 & 0xF0) == 0xE0) {
        Len = 3, C = B0 & 0x0F, Min = 0x800;
    } else if ((B0 & 0xF8) == 0xF0) {
        Len = 4, C = B0 & 0x07, Min = 0x10000;
    } else {
        return 0;
    }
    if (I + Len > S.size())
        return 0;
    for (std::size_t K = 1; K < Len; ++K) {
        const auto B = static_cast<unsigned char>(S[I + K]);
        if ((B & 0xC0) != 0x80)
            return 0;
        C = (C << 6) | (B & 0x3F);
    }
    if (C < Min || C > 0x10FFFF || (C >= 0xD800 && C <= 0xDFFF))
        return 0;
    return Len;
}

/// Whether Bytes are UTF-16 without a byte-order mark (little-endian unless BigEndian): whole code
/// units, and each of the first line, up to its CR or LF, holds a NUL in its high byte and none
/// in its low one, and the line is not empty.
bool LooksLikeUtf16(std::string_view Bytes, bool BigEndian) {
    if (Bytes.size() % 2 != 0)
        return false;
    const std::size_t Nul = BigEndian ? 0 : 1;
    std::size_t I = 0;
    for (; I + 1 < Bytes.size(); I += 2) {
        const char Low = Bytes[I + 1 - Nul];
        if (Bytes[I + Nul] != '\0' || Low == '\0')
            return false;
        if (Low == '\r' || Low == '\n')
            break;
    }
    return I > 0;
}

} // namespace

std::string Utf8ToCp1252(std::string_view Utf8) {
    std::string Out;
    Out.reserve(Utf8.size());
    for (std::size_t I = 0; I < Utf8.size();) {
        char32_t C;
        const std::size_t Len = DecodeUtf8(Utf8, I, C);
        if (Len == 0) {
            Out += '?';
            ++I;
        } else {
            Out += FromCodePoint(C);
            I += Len;
        }
    }
    return Out;
}

std::string Utf16ToCp1252(std::string_view Bytes, bool BigEndian) {
    std::string Out;
    Out.reserve(Bytes.size() / 2);
    auto Unit = [&](std::size_t I) -> char16_t {
        const auto A = static_cast<unsigned char>(Bytes[I]);
        const auto B = static_cast<unsigned char>(Bytes[I + 1]);
        return static_cast<char16_t>(BigEndian ? (A << 8) | B : (B << 8) | A);
    };
    for (std::size_t I = 0; I + 1 < Bytes.size(); I += 2) {
        const char16_t U = Unit(I);
        if (U >= 0xD800 && U <= 0xDBFF && I + 3 < Bytes.size()) {
            const char16_t L = Unit(I + 2);
            if (L >= 0xDC00 && L <= 0xDFFF) {
                Out += '?';
                I += 2;
                continue;
            }
        }
        Out += FromCodePoint(U);
    }
    return Out;
}

std::string Cp1252ToUtf8(std::string_view Text) {
    std::string Out;
    Out.reserve(Text.size());
    for (char Ch : Text) {
        const auto B = static_cast<unsigned char>(Ch);
        AppendUtf8(Out, B >= 0x80 && B < 0xA0 ? kHigh[B - 0x80] : B);
    }
    return Out;
}

bool LooksLikeUtf8(std::string_view Bytes) {
    bool NonAscii = false;
    for (std::size_t I = 0; I < Bytes.size();) {
        char32_t C;
        const std::size_t Len = DecodeUtf8(Bytes, I, C);
        if (Len == 0)
            return false;
        NonAscii = NonAscii || Len > 1;
        I += Len;
    }
    return NonAscii;
}

bool DecodeMarkedText(std::string_view Bytes, std::string& Text) {
    if (Bytes.starts_with("\xEF\xBB\xBF"))
        Text = Utf8ToCp1252(Bytes.substr(3));
    else if (Bytes.starts_with("\xFF\xFE"))
        Text = Utf16ToCp1252(Bytes.substr(2), false);
    else if (Bytes.starts_with("\xFE\xFF"))
        Text = Utf16ToCp1252(Bytes.substr(2), true);
    else if (LooksLikeUtf16(Bytes, false))
        Text = Utf16ToCp1252(Bytes, false);
    else if (LooksLikeUtf16(Bytes, true))
        Text = Utf16ToCp1252(Bytes, true);
    else
        return false;
    return true;
}

std::string DecodeTextFile(std::string_view Bytes) {
    if (std::string Text; DecodeMarkedText(Bytes, Text))
        return Text;
    if (LooksLikeUtf8(Bytes))
        return Utf8ToCp1252(Bytes);
    return std::string(Bytes);
}
