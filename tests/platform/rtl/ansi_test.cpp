//===- ansi_test.cpp - Windows-1252 text: UTF-8, case, comparison, trimming -===//
#include "platform/rtl/AnsiString.h"

#include <gtest/gtest.h>

namespace {

TEST(Ansi, TheBytes80To9FHaveTheirOwnCodePoints)
{
    const char32_t Expected[32] = {
        0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
        0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
        0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
    };
    for (int B = 0x80; B <= 0x9F; ++B) {
        EXPECT_EQ(AnsiCharToUnicode(static_cast<unsigned char>(B)), Expected[B - 0x80]) << std::hex << B;
        EXPECT_EQ(UnicodeToAnsiChar(Expected[B - 0x80]), static_cast<unsigned char>(B)) << std::hex << B;
    }
    EXPECT_EQ(AnsiCharToUnicode(0xB5), 0xB5u);
    EXPECT_EQ(AnsiCharToUnicode('A'), 0x41u);
    EXPECT_EQ(UnicodeToAnsiChar(0x00FF), 0xFF);
    EXPECT_FALSE(UnicodeToAnsiChar(0x4E00).has_value());
    EXPECT_FALSE(UnicodeToAnsiChar(0x0100).has_value());
}

TEST(Ansi, EveryByteSurvivesTheTripThroughUtf8)
{
    std::string All(256, '\0');
    for (int I = 0; I < 256; ++I)
        All[I] = static_cast<char>(I);
    EXPECT_EQ(Utf8ToAnsi(AnsiToUtf8(All)), All);
}

TEST(Ansi, ToUtf8)
{
    EXPECT_EQ(AnsiToUtf8("\xB5J"), "\xC2\xB5J");   // micro sign
    EXPECT_EQ(AnsiToUtf8("\x80"), "\xE2\x82\xAC"); // euro sign
    EXPECT_EQ(AnsiToUtf8("M\xFCller"), "M\xC3\xBCller");
    EXPECT_EQ(AnsiToUtf8(std::string("a\0b", 3)), std::string("a\0b", 3));
}

TEST(Ansi, FromUtf8WithQuestionMarksForTheRest)
{
    const std::pair<std::string, std::string> Rows[] = {
        { "\xE2\x82\xAC 5", "\x80 5" },
        { "\xC2\xB5J", "\xB5J" },
        { "\xE6\x97\xA5\xE6\x9C\xAC", "??" }, // two CJK characters
        { "\xF0\x9F\x98\x80!", "?!" },        // one character beyond the BMP
        { "\xFF", "?" },                      // never valid
        { "a\xE2\x82", "a?" },                // cut short
        { "\xC0\xAF", "??" },                 // overlong form of '/'
        { "\xED\xA0\x80", "???" },            // a surrogate
        { "\xE2\x82\xE2\x82\xAC", "?\x80" },  // a broken character before a good one
        { "\x80x", "?x" },                    // a lone continuation byte
    };
    for (const auto& [Utf8, Ansi] : Rows)
        EXPECT_EQ(Utf8ToAnsi(Utf8), Ansi);
}

TEST(Ansi, CaseOfEveryLetter)
{
    EXPECT_EQ(AnsiUpperCase("\xE4\xF6\xFC\xDF\x9A\x9C\x9E\xFF\xF7 abc \xB5"),
              "\xC4\xD6\xDC\xDF\x8A\x8C\x8E\x9F\xF7 ABC \xB5");
    EXPECT_EQ(AnsiLowerCase("\xC4\xD6\xDC\x8A\x9F\xD7 ABC"), "\xE4\xF6\xFC\x9A\xFF\xD7 abc");
    EXPECT_EQ(UpperCase("abc \xE4"), "ABC \xE4") << "UpperCase changes a..z only";
    EXPECT_EQ(LowerCase("ABC \xC4"), "abc \xC4");
}

TEST(Ansi, Comparisons)
{
    EXPECT_EQ(CompareText("abc", "ABC"), 0);
    EXPECT_NE(CompareText("\xE4", "\xC4"), 0);
    EXPECT_EQ(AnsiCompareText("\xE4rger", "\xC4RGER"), 0);
    EXPECT_TRUE(AnsiSameText("Main", "MAIN"));
    EXPECT_FALSE(SameText("Main", "Mains"));
    EXPECT_LT(CompareText("a", "B"), 0);
    EXPECT_LT(CompareText("ab", "abc"), 0);
    EXPECT_GT(CompareStr("a", "B"), 0) << "case counts in CompareStr";
    EXPECT_GT(CompareStr("\xE4", "z"), 0) << "bytes compare unsigned";
}

TEST(Ansi, TrimRemovesBlanksAndControlCharacters)
{
    EXPECT_EQ(Trim(" \t value \r\n"), "value");
    EXPECT_EQ(TrimLeft("  a b  "), "a b  ");
    EXPECT_EQ(TrimRight("  a b  "), "  a b");
    EXPECT_EQ(Trim("   "), "");
    EXPECT_EQ(Trim("\xA0x\xA0"), "\xA0x\xA0") << "a no-break space is text";
}

} // namespace
