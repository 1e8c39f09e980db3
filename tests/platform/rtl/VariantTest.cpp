#include "platform/rtl/Variant.h"
#include "platform/rtl/TextCodec.h"

#include <gtest/gtest.h>

TEST(VariantTest, KeepsTheTypeOfWhatItHolds) {
    EXPECT_EQ(Variant().VarType(), varEmpty);
    EXPECT_EQ(Variant::Null().VarType(), varNull);
    EXPECT_EQ(Variant(std::string("x")).VarType(), varString);
    EXPECT_TRUE(Variant("x").IsText());
    EXPECT_EQ(Variant(true).VarType(), varBoolean);
    EXPECT_EQ(Variant(std::int16_t(3)).VarType(), varSmallint);
    EXPECT_EQ(Variant(std::int32_t(3)).VarType(), varInteger);
    EXPECT_EQ(Variant::Date(35000).VarType(), varDate);
    EXPECT_FALSE(Variant::Date(35000).IsText());
    EXPECT_FALSE(Variant(1.5).IsText());
    EXPECT_EQ(Variant::Bytes({1, 2}).VarType(), varArray | varByte);
}

TEST(VariantTest, ConvertsToText) {
    EXPECT_EQ(Variant::Null().AsString(), "");
    EXPECT_EQ(Variant(true).AsString(), "True");
    EXPECT_EQ(Variant(std::int32_t(-42)).AsString(), "-42");
    EXPECT_EQ(Variant(2.5).AsString(), "2.5");
    EXPECT_EQ(Variant::Currency(123450).AsString(), "12.345");
    EXPECT_EQ(Variant::Currency(-5).AsString(), "-0.0005");
    // Dates beyond what 2-digit and strftime-based formats can show.
    EXPECT_EQ(DateToText(0), "1899-12-30");
    EXPECT_EQ(DateToText(34955.5), "1995-09-13 12:00:00");
    EXPECT_EQ(DateToText(-1.25), "1899-12-29 06:00:00");
    EXPECT_EQ(DateToText(-693593), "0001-01-01");
    EXPECT_EQ(DateToText(2958465), "9999-12-31");
    EXPECT_EQ(DateToText(1000000), "4637-11-26");
    EXPECT_EQ(DateToText(1100000), "4911-09-11");
}

TEST(VariantTest, NumericConversionsFailOnText) {
    EXPECT_DOUBLE_EQ(Variant(" 12.5 ").AsDouble(), 12.5);
    EXPECT_EQ(Variant(true).AsInteger(), -1);
    EXPECT_THROW(Variant("twelve").AsDouble(), EVariantError);
    EXPECT_THROW(Variant::Null().AsInteger(), EVariantError);
    EXPECT_THROW(Variant("x").AsBytes(), EVariantError);
}

TEST(TextCodecTest, ConvertsBetweenUnicodeAndWindows1252) {
    EXPECT_EQ(Utf8ToCp1252("Ums\xC3\xA4tze \xE2\x82\xAC"), "Ums\xE4tze \x80");
    EXPECT_EQ(Utf8ToCp1252("\xE4\xB8\xAD"), "?"); // not in the code page
    EXPECT_EQ(Utf8ToCp1252("a\xC3"), "a?");       // truncated sequence
    EXPECT_EQ(Cp1252ToUtf8("\x80\xE4"), "\xE2\x82\xAC\xC3\xA4");
    EXPECT_EQ(Utf16ToCp1252(std::string("A\0\xE4\0\xAC\x20", 6)), "A\xE4\x80");
    EXPECT_EQ(Utf16ToCp1252(std::string("\0A", 2), true), "A");
}

TEST(TextCodecTest, DecodesTextFilesByTheirMarkOrTheirNulBytes) {
    EXPECT_EQ(DecodeTextFile("\xEF\xBB\xBF\xC3\xA4"), "\xE4");
    EXPECT_EQ(DecodeTextFile(std::string("\xFF\xFE"
                                         "D\0a\0",
                                         6)),
              "Da");
    EXPECT_EQ(DecodeTextFile(std::string("\xFE\xFF\0D\0a", 6)), "Da");
    EXPECT_EQ(DecodeTextFile("Gr\xC3\xBC\xC3\x9F"), "Gr\xFC\xDF");
    EXPECT_EQ(DecodeTextFile("Gr\xFC\xDF"), "Gr\xFC\xDF"); // not UTF-8: already Windows-1252
    // UTF-16 without a mark: a NUL in every other byte of the first line, in either order; the
    // lines after it are not looked at.
    EXPECT_EQ(DecodeTextFile(std::string("M\0=\0\xE4\0\r\0\n\0\xAC\x20", 12)), "M=\xE4\r\n\x80");
    EXPECT_EQ(DecodeTextFile(std::string("\0M\0=\0\n\0x", 8)), "M=\nx");
    // Not so: a NUL in one byte only, a NUL pair, an odd number of bytes, no NUL.
    EXPECT_EQ(DecodeTextFile(std::string("M\0=X\r\n", 6)), std::string("M\0=X\r\n", 6));
    EXPECT_EQ(DecodeTextFile(std::string("M\0\0\0", 4)), std::string("M\0\0\0", 4));
    EXPECT_EQ(DecodeTextFile(std::string("x\0y", 3)), std::string("x\0y", 3));
    EXPECT_EQ(DecodeTextFile("\r\n"), "\r\n");
}
