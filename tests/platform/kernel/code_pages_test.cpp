//===- code_pages_test.cpp - Code-page text to UTF-16 and back ------------===//
#include "platform/kernel/CodePages.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::u16string toWide(uint32_t Page, const std::string& Bytes, uint32_t Flags = 0)
{
    int size = MultiByteToWideChar(Page, Flags, Bytes.data(), int(Bytes.size()), nullptr, 0);
    std::u16string wide(size_t(size), u'\0');
    if (size > 0) {
        EXPECT_EQ(MultiByteToWideChar(Page, Flags, Bytes.data(), int(Bytes.size()), wide.data(), size), size);
    }
    return wide;
}

std::string toBytes(uint32_t Page, const std::u16string& Wide, const char* Default = nullptr, bool* Used = nullptr)
{
    int size = WideCharToMultiByte(Page, 0, Wide.data(), int(Wide.size()), nullptr, 0, Default, Used);
    std::string bytes(size_t(size), '\0');
    if (size > 0) {
        EXPECT_EQ(WideCharToMultiByte(Page, 0, Wide.data(), int(Wide.size()), bytes.data(), size, Default, Used), size);
    }
    return bytes;
}

struct KnownText {
    uint32_t Page;
    std::string Bytes;
    std::u16string Text;
};

TEST(CodePagesTest, KnownTextsConvertBothWays)
{
    const KnownText rows[] = {
        { 1252,
          "Gr\xFC\xDF"
          "e \x80",
          u"Grüße €" },
        { CP_ACP,
          "Gr\xFC\xDF"
          "e",
          u"Grüße" },
        { 1251, "\xCF\xF0\xE8\xE2\xE5\xF2", u"Привет" },
        { 932,
          "\x93\xFA\x96\x7B\x8C\xEA"
          "A\\",
          u"日本語A\\" },           // 0x5C stays a backslash
        { 932, "\xB1", u"\uFF71" }, // a half-width katakana byte
        { 936, "\xD6\xD0\xCE\xC4", u"中文" },
        { 949, "\xC7\xD1\xB1\xB9", u"한국" },
        { 950, "\xA4\xA4\xA4\xE5", u"中文" },
        { 1361, "\x88\x61", u"가" },
        { 874, "\xA1", u"\u0E01" },
        { 1250, "\x8A", u"Š" },
        { 1253, "\xD9", u"Ω" },
        { 1254, "\xF0", u"ğ" },
        { 1255, "\xE0", u"\u05D0" },
        { 1256, "\xC7", u"\u0627" },
        { 1257, "\xE0", u"ą" },
        { 1258,
          "\xC3"
          "a\xEC",
          u"Ăa\u0301" }, // a and its combining mark stay apart
        { 10000, "\x80\xA5", u"Ä•" },
    };
    for (const KnownText& row : rows) {
        EXPECT_EQ(toWide(row.Page, row.Bytes), row.Text) << "code page " << row.Page;
        EXPECT_EQ(toBytes(row.Page, row.Text), row.Bytes) << "code page " << row.Page;
    }
}

struct InvalidBytes {
    uint32_t Page;
    std::string Bytes;
    std::u16string Lenient; // flags 0
    bool StrictFails;       // MB_ERR_INVALID_CHARS
};

TEST(CodePagesTest, InvalidBytesBecomeTheDefaultCharacterOrFailWhenStrict)
{
    const InvalidBytes rows[] = {
        { 932, "A\x81", u"A\u30FB", true }, // a lead byte at the end
        { 932,
          "A\x81\x20"
          "B",
          u"A\u30FB B", true }, // a lead byte before a non-trail byte
        { 936, "\x81\x7F", u"\u30FB\u007F", true },
        { 949, "\xC7\xD1\xFF", u"한\u30FB", true },
        { 1253, "a\xAA", u"a?", true },               // a byte the page leaves unused
        { 1252, "\x81\x8D", u"\u0081\u008D", false }, // C1 bytes keep their code points
    };
    for (const InvalidBytes& row : rows) {
        EXPECT_EQ(toWide(row.Page, row.Bytes), row.Lenient) << "code page " << row.Page;
        int strict =
            MultiByteToWideChar(row.Page, MB_ERR_INVALID_CHARS, row.Bytes.data(), int(row.Bytes.size()), nullptr, 0);
        EXPECT_EQ(strict == 0, row.StrictFails) << "code page " << row.Page;
    }
}

TEST(CodePagesTest, SizeQueryCountsTheTerminatorAndASmallBufferGetsNothing)
{
    const char* text = "\x93\xFA\x96\x7B"; // two characters in 932, NUL-terminated
    EXPECT_EQ(MultiByteToWideChar(932, 0, text, -1, nullptr, 0), 3);
    WCHAR small[2] = { u'x', u'x' };
    EXPECT_EQ(MultiByteToWideChar(932, 0, text, -1, small, 2), 0);
    EXPECT_EQ(small[0], u'x') << "nothing written on failure";
    WCHAR exact[3] = {};
    ASSERT_EQ(MultiByteToWideChar(932, 0, text, -1, exact, 3), 3);
    EXPECT_EQ(std::u16string(exact, 3), std::u16string(u"日本\0", 3));

    const WCHAR* wide = u"Grüße";
    EXPECT_EQ(WideCharToMultiByte(1252, 0, wide, -1, nullptr, 0, nullptr, nullptr), 6);
    char bytes[5] = { 'x' };
    EXPECT_EQ(WideCharToMultiByte(1252, 0, wide, -1, bytes, 5, nullptr, nullptr), 0);
    EXPECT_EQ(bytes[0], 'x');
}

TEST(CodePagesTest, UnmappableCharactersTakeTheDefaultAndSaySo)
{
    bool used = false;
    EXPECT_EQ(toBytes(1252, u"a日b", nullptr, &used), "a?b");
    EXPECT_TRUE(used);
    EXPECT_EQ(toBytes(1252, u"a\U0001F600b", "*", &used), "a*b") << "one default for a surrogate pair";
    EXPECT_EQ(toBytes(932, std::u16string(u"a") + char16_t(0xD800) + u"b", nullptr, &used), "a?b")
        << "a lone surrogate";
    EXPECT_EQ(toBytes(932, u"日\u0E01", "\x81\x45", &used), "\x93\xFA\x81\x45") << "a double-byte default";
    used = true;
    toBytes(1251, u"Мир", nullptr, &used);
    EXPECT_FALSE(used);
}

TEST(CodePagesTest, RefusedCallsAnswerZero)
{
    const char text[] = "abc";
    WCHAR wide[8];
    EXPECT_EQ(MultiByteToWideChar(437, 0, text, 3, wide, 8), 0) << "unknown code page";
    EXPECT_EQ(MultiByteToWideChar(1252, 0x100, text, 3, wide, 8), 0) << "unknown flags";
    EXPECT_EQ(MultiByteToWideChar(1252, 0, text, 0, wide, 8), 0) << "nothing to convert";
    EXPECT_EQ(MultiByteToWideChar(1252, 0, text, -2, wide, 8), 0) << "negative count";
    EXPECT_EQ(MultiByteToWideChar(1252, 0, nullptr, 3, wide, 8), 0) << "no text";
    EXPECT_EQ(MultiByteToWideChar(1252, 0, text, 3, nullptr, 8), 0) << "no buffer";
    EXPECT_EQ(WideCharToMultiByte(1252, 0x40, u"abc", 3, nullptr, 0, nullptr, nullptr), 0) << "unknown flags";
    EXPECT_EQ(WideCharToMultiByte(20127, 0, u"abc", 3, nullptr, 0, nullptr, nullptr), 0) << "unknown code page";
}

} // namespace
