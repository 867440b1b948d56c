//===- resources_test.cpp - Named resources: embedded by the build, found without regard to case -===//
#include "platform/gdi/bitmaps/Resources.h"

#include "platform/gdi/bitmaps/Dib.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

std::vector<uint8_t> readFile(const std::string& Path)
{
    std::ifstream in(Path, std::ios::binary);
    return { std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>() };
}

std::string text(std::span<const uint8_t> Bytes) { return std::string(Bytes.begin(), Bytes.end()); }

} // namespace

// The test executable embeds data/TinyLamp.bmp as LampStrip and data/MixedCase.txt by its name.
TEST(EmbeddedResources, FileIsEmbeddedByteForByteUnderItsGivenName)
{
    std::vector<uint8_t> onDisk = readFile(GDI_TEST_DATA "/TinyLamp.bmp");
    ASSERT_FALSE(onDisk.empty());
    std::span<const uint8_t> embedded = FindResource("LampStrip");
    ASSERT_EQ(embedded.size(), onDisk.size());
    EXPECT_TRUE(std::equal(embedded.begin(), embedded.end(), onDisk.begin()));
    // A given name replaces the file's own.
    EXPECT_TRUE(FindResource("TinyLamp").empty());
}

TEST(EmbeddedResources, LookupIgnoresCase)
{
    std::span<const uint8_t> a = FindResource("LAMPSTRIP");
    ASSERT_FALSE(a.empty());
    for (const char* name : { "lampstrip", "LampStrip", "lAmPsTrIp" }) {
        std::span<const uint8_t> b = FindResource(name);
        EXPECT_EQ(b.data(), a.data()) << name;
        EXPECT_EQ(b.size(), a.size()) << name;
    }
}

TEST(EmbeddedResources, FilesWithoutANameTakeTheirFileName)
{
    EXPECT_EQ(text(FindResource("mixedcase")), "Embedded by file name.\n");
    EXPECT_EQ(text(FindResource("MIXEDCASE")), "Embedded by file name.\n");
    EXPECT_TRUE(FindResource("MixedCase.txt").empty());
}

TEST(EmbeddedResources, EmbeddedBitmapLoadsWithItsPixels)
{
    std::string error;
    auto strip = Dib::LoadBmp(FindResource("lampstrip"), &error);
    ASSERT_TRUE(strip) << error;
    ASSERT_EQ(strip->Width(), 3);
    ASSERT_EQ(strip->Height(), 2);
    // Written by hand bottom-up: the bottom row blue, green, red; the top row white, black, olive.
    EXPECT_EQ(strip->GetPixel(0, 1), RGB(0, 0, 255));
    EXPECT_EQ(strip->GetPixel(1, 1), RGB(0, 255, 0));
    EXPECT_EQ(strip->GetPixel(2, 1), RGB(255, 0, 0));
    EXPECT_EQ(strip->GetPixel(0, 0), RGB(255, 255, 255));
    EXPECT_EQ(strip->GetPixel(1, 0), RGB(0, 0, 0));
    EXPECT_EQ(strip->GetPixel(2, 0), COLORREF(0x008080));
}

TEST(RegisteredResources, UnknownNamesGiveAnEmptySpan)
{
    EXPECT_TRUE(FindResource("NoSuchResource").empty());
    EXPECT_TRUE(FindResource("").empty());
    EXPECT_TRUE(FindResource("LampStri").empty());   // no prefix matches
    EXPECT_TRUE(FindResource("LampStrip ").empty()); // nor padded ones
}

TEST(RegisteredResources, RegisteredBytesAreFoundWithoutRegardToCase)
{
    std::vector<uint8_t> bytes = { 1, 2, 3, 4, 5 };
    RegisterResource("AlLED_Test", bytes);
    bytes[0] = 99; // the table holds its own copy
    for (const char* name : { "ALLED_TEST", "alled_test", "AlLED_Test" }) {
        std::span<const uint8_t> found = FindResource(name);
        ASSERT_EQ(found.size(), 5u) << name;
        EXPECT_EQ(found[0], 1) << name;
        EXPECT_EQ(found[4], 5) << name;
    }
}

TEST(RegisteredResources, RegisteringANameAgainReplacesItAndOldSpansStayValid)
{
    const uint8_t first[] = { 'o', 'l', 'd' };
    const uint8_t second[] = { 'n', 'e', 'w', '!' };
    RegisterResource("Replaced", first);
    std::span<const uint8_t> old = FindResource("replaced");
    RegisterResource("REPLACED", second);
    EXPECT_EQ(text(FindResource("Replaced")), "new!");
    EXPECT_EQ(text(old), "old");
}

TEST(RegisteredResources, OnlyAsciiLettersAreFolded)
{
    const uint8_t bytes[] = { 7 };
    RegisterResource("Name_\xC4", bytes); // a Latin-1 capital A with diaeresis stays as it is
    EXPECT_EQ(FindResource("NAME_\xC4").size(), 1u);
    EXPECT_TRUE(FindResource("NAME_\xE4").empty());
}
