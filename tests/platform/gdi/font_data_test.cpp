//===- font_data_test.cpp - Font tables handed out by GetFontData, and broken font files -===//
#include "FontTestSupport.h"

#include "tests/support/TestSupport.h"

#include "platform/gdi/fonts/FontEngine_p.h"

#include <filesystem>

using fonttest::FileTag;
using fonttest::Font;
using fonttest::FtView;
using fonttest::GdiTag;

namespace {

uint32_t be32(const std::vector<uint8_t>& B, size_t At)
{
    return uint32_t(B[At]) << 24 | uint32_t(B[At + 1]) << 16 | uint32_t(B[At + 2]) << 8 | B[At + 3];
}
void putBe32(std::vector<uint8_t>& B, size_t At, uint32_t V)
{
    for (int I = 0; I < 4; ++I)
        B[At + I] = uint8_t(V >> (24 - 8 * I));
}
void putBe16(std::vector<uint8_t>& B, size_t At, uint16_t V)
{
    B[At] = uint8_t(V >> 8);
    B[At + 1] = uint8_t(V);
}

// The directory entry of a table in a single-face file, read here independently of the engine.
size_t directoryEntry(const std::vector<uint8_t>& File, uint32_t Tag)
{
    const size_t NumTables = size_t(File[4]) << 8 | File[5];
    for (size_t I = 0; I < NumTables; ++I)
        if (be32(File, 12 + 16 * I) == Tag)
            return 12 + 16 * I;
    ADD_FAILURE() << "no such table in the test font";
    return 0;
}

std::shared_ptr<const RealizedFont> Arial() { return RealizedFont::Realize(Font("Arial", -12)); }

// --- GetFontData on a good face

TEST(FontData, TableBytesAreTheFilesTable)
{
    for (const char* Face : { "Arial", "Times New Roman", "Courier New" }) {
        auto F = RealizedFont::Realize(Font(Face, -12));
        FtView V(F->FilePath());
        for (auto Tag : { "head", "hhea", "maxp", "cmap", "hmtx", "glyf", "loca", "OS/2", "post", "name" }) {
            std::vector<uint8_t> Expected = V.table(FileTag(Tag));
            ASSERT_FALSE(Expected.empty()) << Face << " " << Tag;
            ASSERT_EQ(F->GetFontData(GdiTag(Tag), 0, nullptr, 0), Expected.size()) << Face << " " << Tag;
            std::vector<uint8_t> Got(Expected.size());
            EXPECT_EQ(F->GetFontData(GdiTag(Tag), 0, Got.data(), uint32_t(Got.size())), Expected.size());
            EXPECT_EQ(Got, Expected) << Face << " " << Tag;
        }
    }
}

TEST(FontData, HeadTagIsTheLettersInReversedByteOrder)
{
    uint8_t Version[4] = {};
    ASSERT_EQ(Arial()->GetFontData(0x64616568, 0, Version, 4), 4u);
    EXPECT_EQ(Version[0], 0x00); // head starts with version 1.0 (0x00010000)
    EXPECT_EQ(Version[1], 0x01);
    EXPECT_EQ(Arial()->GetFontData(0x68656164, 0, nullptr, 0), GDI_ERROR) << "the file's own byte order is no tag";
}

TEST(FontData, TableZeroIsTheWholeFile)
{
    auto F = Arial();
    const auto Size = std::filesystem::file_size(F->FilePath());
    ASSERT_EQ(F->GetFontData(0, 0, nullptr, 0), Size);
    std::vector<uint8_t> Got(Size);
    ASSERT_EQ(F->GetFontData(0, 0, Got.data(), uint32_t(Size)), Size);
    EXPECT_EQ(Got, fonttest::ReadFile(F->FilePath()));
    EXPECT_TRUE(std::equal(Got.begin(), Got.end(), F->FileBytes().begin(), F->FileBytes().end()));
}

TEST(FontData, OffsetAndSizeSelectAPartAndNothingBeyondIsWritten)
{
    auto F = Arial();
    FtView V(F->FilePath());
    std::vector<uint8_t> Head = V.table(FileTag("head"));
    const uint32_t Length = uint32_t(Head.size());

    EXPECT_EQ(F->GetFontData(GdiTag("head"), 10, nullptr, 0), Length - 10) << "a size query counts from the offset";

    std::vector<uint8_t> Buffer(16, 0xAB);
    EXPECT_EQ(F->GetFontData(GdiTag("head"), 18, Buffer.data(), 2), 2u);
    EXPECT_EQ(Buffer[0], Head[18]); // unitsPerEm
    EXPECT_EQ(Buffer[1], Head[19]);
    EXPECT_EQ(Buffer[2], 0xAB) << "the copy stops at the size asked for";

    Buffer.assign(16, 0xAB);
    EXPECT_EQ(F->GetFontData(GdiTag("head"), Length - 4, Buffer.data(), 16), 4u) << "the copy stops at the table's end";
    EXPECT_TRUE(std::equal(Buffer.begin(), Buffer.begin() + 4, Head.end() - 4));
    EXPECT_EQ(Buffer[4], 0xAB);

    EXPECT_EQ(F->GetFontData(GdiTag("head"), Length, Buffer.data(), 16), 0u) << "the very end is no error";
    EXPECT_EQ(F->GetFontData(GdiTag("head"), Length + 1, Buffer.data(), 16), GDI_ERROR);
    EXPECT_EQ(F->GetFontData(GdiTag("head"), 0xFFFFFFFF, nullptr, 0), GDI_ERROR);
    EXPECT_EQ(F->GetFontData(0, 0xFFFFFFFF, nullptr, 0), GDI_ERROR);
    EXPECT_EQ(F->GetFontData(GdiTag("head"), 0, Buffer.data(), 0), 0u);
}

TEST(FontData, MissingTableIsAnError)
{
    auto F = Arial();
    for (auto Tag : { "CFF ", "zzzz", "HEAD" }) {
        uint8_t Byte = 0x5A;
        EXPECT_EQ(F->GetFontData(GdiTag(Tag), 0, nullptr, 0), GDI_ERROR) << Tag;
        EXPECT_EQ(F->GetFontData(GdiTag(Tag), 0, &Byte, 1), GDI_ERROR) << Tag;
        EXPECT_EQ(Byte, 0x5A);
    }
}

// --- Broken and unusual files

class BrokenFontFile : public ::testing::Test {
protected:
    std::vector<uint8_t> Good = fonttest::ReadFile(Arial()->FilePath());
    testsupport::TempDir Dir;

    // Realizes "Arial" on a file; answers the font and what went to stderr.
    std::pair<std::shared_ptr<const RealizedFont>, std::string> RealizeOn(const std::string& Path, int Index = 0)
    {
        std::shared_ptr<const RealizedFont> F;
        std::string Err =
            fonttest::CaptureStderr([&] { F = gdi_private::realizeFontFromFile(Path, Index, Font("Arial", -12)); });
        return { F, Err };
    }
    std::string Write(const std::string& Name, const std::vector<uint8_t>& Bytes)
    {
        std::string Path = Dir.file(Name);
        fonttest::WriteFile(Path, Bytes);
        return Path;
    }
    void ExpectFallback(const std::string& Path, const char* What)
    {
        auto [F, Err] = RealizeOn(Path);
        ASSERT_NE(F, nullptr) << What;
        EXPECT_NE(F->FilePath(), Path) << What;
        EXPECT_EQ(F->FamilyName(), "Liberation Sans") << What;
        EXPECT_GT(F->TextExtent("Text").cx, 0) << What;
        EXPECT_NE(Err.find(Path), std::string::npos) << What << ": the message names the file";
    }
};

TEST_F(BrokenFontFile, GoodFileIsUsedAsGiven)
{
    std::string Path = Write("Good.ttf", Good);
    auto [F, Err] = RealizeOn(Path);
    EXPECT_EQ(F->FilePath(), Path);
    EXPECT_EQ(F->FamilyName(), "Liberation Sans");
    EXPECT_EQ(Err, "");
}

TEST_F(BrokenFontFile, GarbageFallsBackWithOneMessage)
{
    std::vector<uint8_t> Garbage(5000);
    for (size_t I = 0; I < Garbage.size(); ++I)
        Garbage[I] = uint8_t(I * 7919 >> 3);
    std::string Path = Write("Garbage.ttf", Garbage);
    ExpectFallback(Path, "garbage");
    auto [Again, Err] = RealizeOn(Path);
    EXPECT_EQ(Again->FamilyName(), "Liberation Sans");
    EXPECT_EQ(Err, "") << "a broken file is reported once";
}

TEST_F(BrokenFontFile, EmptyMissingAndCutShortFilesFallBack)
{
    ExpectFallback(Write("Empty.ttf", {}), "empty");
    ExpectFallback(Dir.file("NotThere.ttf"), "missing");
    ExpectFallback(Write("Header.ttf", std::vector<uint8_t>(Good.begin(), Good.begin() + 8)), "offset table cut short");
    const size_t NumTables = size_t(Good[4]) << 8 | Good[5];
    ExpectFallback(Write("DirOnly.ttf", std::vector<uint8_t>(Good.begin(), Good.begin() + 12 + 16 * NumTables)),
                   "tables cut off");
}

TEST_F(BrokenFontFile, EssentialTablePointingOutsideTheFileFallsBack)
{
    std::vector<uint8_t> Bad = Good;
    putBe32(Bad, directoryEntry(Bad, FileTag("head")) + 8, 0xFFFFFF00);
    ExpectFallback(Write("HeadOutside.ttf", Bad), "head outside");

    Bad = Good;
    putBe32(Bad, directoryEntry(Bad, FileTag("hhea")) + 12, uint32_t(Bad.size()));
    ExpectFallback(Write("HheaTooLong.ttf", Bad), "hhea longer than the file");
}

TEST_F(BrokenFontFile, ImpossibleUnitsPerEmFallsBack)
{
    std::vector<uint8_t> Bad = Good;
    putBe16(Bad, be32(Bad, directoryEntry(Bad, FileTag("head")) + 8) + 18, 0);
    ExpectFallback(Write("ZeroEm.ttf", Bad), "unitsPerEm 0");
}

TEST_F(BrokenFontFile, OptionalTableOutsideTheFileIsMissingButTheFaceServes)
{
    std::vector<uint8_t> Bad = Good;
    putBe32(Bad, directoryEntry(Bad, FileTag("gasp")) + 8, uint32_t(Bad.size()) - 2);
    std::string Path = Write("GaspOutside.ttf", Bad);
    auto [F, Err] = RealizeOn(Path);
    EXPECT_EQ(F->FilePath(), Path);
    EXPECT_EQ(F->GetFontData(GdiTag("gasp"), 0, nullptr, 0), GDI_ERROR);
    EXPECT_NE(F->GetFontData(GdiTag("head"), 0, nullptr, 0), GDI_ERROR);
    EXPECT_EQ(F->TextExtent("Ab").cx, Arial()->TextExtent("Ab").cx);
}

// A collection holding the one face, built here: 'ttcf' header, then the face with every
// table offset moved by the header's 16 bytes.
TEST_F(BrokenFontFile, CollectionAnswersItsFacesTablesAndTheWholeFile)
{
    std::vector<uint8_t> Ttc(16);
    putBe32(Ttc, 0, FileTag("ttcf"));
    putBe32(Ttc, 4, 0x00010000);
    putBe32(Ttc, 8, 1);
    putBe32(Ttc, 12, 16);
    Ttc.insert(Ttc.end(), Good.begin(), Good.end());
    const size_t NumTables = size_t(Good[4]) << 8 | Good[5];
    for (size_t I = 0; I < NumTables; ++I)
        putBe32(Ttc, 16 + 12 + 16 * I + 8, be32(Ttc, 16 + 12 + 16 * I + 8) + 16);
    std::string Path = Write("One.ttc", Ttc);

    auto [F, Err] = RealizeOn(Path);
    ASSERT_EQ(F->FilePath(), Path) << Err;
    EXPECT_EQ(F->GetFontData(0, 0, nullptr, 0), Ttc.size());
    const uint32_t HeadSize = Arial()->GetFontData(GdiTag("head"), 0, nullptr, 0);
    std::vector<uint8_t> Mine(HeadSize), Original(HeadSize);
    ASSERT_EQ(F->GetFontData(GdiTag("head"), 0, Mine.data(), HeadSize), HeadSize);
    Arial()->GetFontData(GdiTag("head"), 0, Original.data(), HeadSize);
    EXPECT_EQ(Mine, Original);
    EXPECT_EQ(F->TextExtent("Collection").cx, Arial()->TextExtent("Collection").cx);

    auto [Second, Err2] = RealizeOn(Path, 1);
    EXPECT_NE(Second->FilePath(), Path) << "face 1 is not in the collection";
    EXPECT_NE(Err2.find("not in the collection"), std::string::npos);
}

} // namespace
