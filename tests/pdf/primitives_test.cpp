//===- primitives_test.cpp - Escaping, numbers, hex, WinAnsi, code pages and matrices ===//
#include "pdf/PdfCodePages.h"
#include "pdf/PdfPrimitives.h"

#include "platform/rtl/SysUtils.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <limits>

namespace {

TEST(Primitives, EscapeSpecialCharEscapesOnlyTheFiveBytes)
{
    EXPECT_EQ(EscapeSpecialChar("a(b)c\\d\re\nf"), "a\\(b\\)c\\\\d\\re\\nf");
    // Control bytes and bytes above 127 pass unchanged.
    EXPECT_EQ(EscapeSpecialChar(std::string("\x01\t\xFF", 3)), std::string("\x01\t\xFF", 3));
}

TEST(Primitives, FloatToPDFStrWritesFourDecimalsAndNothingAReaderRefuses)
{
    struct Row {
        double Value;
        const char* Text;
    };
    const double Inf = std::numeric_limits<double>::infinity();
    const Row Rows[] = {
        { 72, "72" },
        { 0.5, "0.5" },
        { 1.0 / 3, "0.3333" },
        { 2.00004, "2" },
        { 2.00005, "2.0001" },
        { -1.25, "-1.25" },
        { -0.00001, "0" },
        { -0.0, "0" },
        { 1e20, "2147483647" },
        { -5.4776198732952470e33, "-2147483647" },
        { 2147483647.5, "2147483647" },
        { 1e-20, "0" },
        { std::nan(""), "0" },
        { Inf, "0" },
        { -Inf, "0" },
        { 105.52284749, "105.5228" },
    };
    for (const Row& R : Rows)
        EXPECT_EQ(FloatToPDFStr(R.Value), R.Text) << R.Value;
}

TEST(Primitives, FloatToPDFStrIgnoresACommaLocaleAndRestoresTheSeparator)
{
    const char* Old = std::setlocale(LC_ALL, nullptr);
    const std::string Saved = Old ? Old : "C";
    const bool HaveLocale = std::setlocale(LC_ALL, "de_DE.UTF-8") != nullptr;
    DecimalSeparator = ',';
    EXPECT_EQ(FloatToPDFStr(0.75), "0.75");
    EXPECT_EQ(DecimalSeparator, ',');
    DecimalSeparator = '.';
    std::setlocale(LC_ALL, Saved.c_str());
    if (!HaveLocale)
        GTEST_SKIP() << "de_DE.UTF-8 is not installed; the separator switch alone was checked";
}

TEST(Primitives, IntegersAndHex)
{
    EXPECT_EQ(IntToStrZero(123, 10), "0000000123");
    EXPECT_EQ(IntToStrZero(123, 2), "123");
    EXPECT_EQ(ByteToHex(0xAB), "AB");
    EXPECT_EQ(WordToHex(0x0A1F), "0A1F");
    EXPECT_EQ(ReplaceChar("Times New Roman", ' ', "#20"), "Times#20New#20Roman");
}

TEST(Primitives, PosFromCountsFromOneAndNeedsRoomForThePattern)
{
    struct Row {
        const char* Pattern;
        const char* Text;
        int Start, Pos;
    };
    const Row Rows[] = {
        { "cdef", "abcdef", 1, 3 }, { "cdef", "abcdef", 3, 3 }, { "cdef", "abcdef", 4, 0 }, { "", "abc", 1, 0 },
        { "a", "", 1, 0 },          { "b", "abab", 3, 4 },      { "x", "abc", 9, 0 },
    };
    for (const Row& R : Rows)
        EXPECT_EQ(PosFrom(R.Pattern, R.Text, R.Start), R.Pos) << R.Pattern << " in " << R.Text << " from " << R.Start;
}

TEST(Primitives, NextCommaTokenSkipsBlanksAndMovesPastTheComma)
{
    std::string_view Cursor = "  LPT1:, COM2:";
    EXPECT_EQ(NextCommaToken(Cursor), "LPT1:");
    EXPECT_EQ(NextCommaToken(Cursor), "COM2:");
    EXPECT_TRUE(Cursor.empty());
}

TEST(Primitives, WinAnsiMapsCodePage1252BothWays)
{
    struct Row {
        uint16_t Unicode;
        uint8_t Byte;
    };
    const Row Rows[] = { { 0x20AC, 128 }, { 0x0081, 129 }, { 0x0178, 159 }, { 0x00FF, 255 }, { 0x0041, 65 } };
    for (const Row& R : Rows) {
        EXPECT_TRUE(IsWinAnsiChar(R.Unicode)) << R.Unicode;
        EXPECT_EQ(UnicodeToWinAnsi(R.Unicode), R.Byte) << R.Unicode;
        EXPECT_EQ(WinAnsiToUnicode(R.Byte), R.Unicode) << int(R.Byte);
    }
    EXPECT_FALSE(IsWinAnsiChar(0x0080));
    EXPECT_FALSE(IsWinAnsiChar(0x0416));
    EXPECT_EQ(UnicodeToWinAnsi(0x0416), 0);
}

TEST(Primitives, SortWordArraySortsTheInclusiveRangeOnly)
{
    std::vector<uint16_t> V { 9, 3, 7, 1, 1, 0 };
    SortWordArray(V, 4);
    EXPECT_EQ(V, (std::vector<uint16_t> { 1, 1, 3, 7, 9, 0 }));
    std::vector<uint16_t> Long(5000);
    for (size_t I = 0; I < Long.size(); ++I)
        Long[I] = static_cast<uint16_t>(I % 2 ? I : 5000 - I);
    SortWordArray(Long, static_cast<int>(Long.size()) - 1);
    EXPECT_TRUE(std::is_sorted(Long.begin(), Long.end()));
}

TEST(Primitives, CodePagesAndUnicodeHex)
{
    EXPECT_EQ(StrToUnicodeHex("A", 0), "FEFF0041");
    EXPECT_EQ(StrToUnicodeHex("\xC6", 204), "FEFF0416"); // Cyrillic Zhe in 1251
    EXPECT_EQ(StrToUnicodeHex("", 0), "");
    struct Row {
        uint8_t Charset;
        uint32_t CodePage;
    };
    const Row Rows[] = { { 0, 1252 },   { 1, 1252 },   { 77, 10000 }, { 128, 932 },  { 130, 1361 },
                         { 163, 1258 }, { 177, 1255 }, { 222, 874 },  { 238, 1250 }, { 2, 1252 } };
    for (const Row& R : Rows)
        EXPECT_EQ(CharSetToCodePage(R.Charset), R.CodePage) << int(R.Charset);
}

TEST(Primitives, MultiplyMatrixAppliesTheSecondMatrixFirst)
{
    TPDFMatrix M { 2, 0, 0, 2, 10, 20 };                 // scale, then move
    MultiplyMatrix(M, TPDFMatrix { 0, 1, -1, 0, 1, 0 }); // turn by 90 degrees before
    EXPECT_EQ(M, (TPDFMatrix { 0, 2, -2, 0, 12, 20 }));
    const TExtPoint P = RotateCoordinate(1, 0, 90);
    EXPECT_NEAR(P.X, 0, 1e-12);
    EXPECT_NEAR(P.Y, 1, 1e-12);
}

} // namespace
