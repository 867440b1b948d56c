//===- ansi_subset_test.cpp - The renumbered subset of a TrueType font used with WinAnsi text ===//
#include "tests/pdf/PdfTestSupport.h"

#include "tests/support/TestSupport.h"

#include "pdf/PdfPrimitives.h"
#include "pdf/TAnsiFontSubset.h"
#include "pdf/TPDFException.h"
#include "pdf/TTTFData.h"

#include "platform/rtl/TStream.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>

using namespace pdftest;

namespace {

const char* const DejaVu = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";

/// "same" when every code point draws in the subset, through both character maps, what it
/// draws in the original (components followed; a glyph without outline may be left out);
/// else the code points that differ.
std::string compareDrawings(const std::string& Subset, const std::vector<uint16_t>& Codes)
{
    std::string Text;
    for (uint16_t C : Codes)
        Text += std::to_string(C) + " ";
    const ToolResult R =
        RunTool({ "/usr/bin/python3", "-c",
                  "import sys\nfrom fontTools.ttLib import TTFont\nfrom fontTools.pens.recordingPen import "
                  "DecomposingRecordingPen\n"
                  "o=TTFont(sys.argv[1]);s=TTFont(sys.argv[2]);og=o.getGlyphSet();sg=s.getGlyphSet()\n"
                  "ou=o['cmap'].getcmap(3,1).cmap;su=s['cmap'].getcmap(3,1).cmap;sm=s['cmap'].getcmap(1,0).cmap\n"
                  "def rec(gs,n):\n p=DecomposingRecordingPen(gs);gs[n].draw(p);return p.value\n"
                  "bad=[]\n"
                  "for c in map(int,sys.argv[3].split()):\n"
                  " w=rec(og,ou[c])\n"
                  " b=bytes([c]) if c<256 else chr(c).encode('cp1252')\n"
                  " if not w and c not in su: continue\n"
                  " if c not in su or rec(sg,su[c])!=w or rec(sg,sm[b[0]])!=w: bad.append(c)\n"
                  "print('same' if not bad else 'differ %s'%bad, s['maxp'].numGlyphs)\n",
                  DejaVu, Subset, Text });
    return R.Output;
}

TEST(AnsiFontSubset, EveryWinAnsiCharacterDrawsAsInTheFont)
{
    // All of WinAnsi: composites among them (accented letters), runs of code points whose glyphs
    // do not follow each other, and code points that share a glyph.
    std::vector<uint16_t> Codes;
    for (int Byte = 33; Byte < 256; ++Byte)
        if (Byte != 127 && Byte != 0xAD && IsWinAnsiChar(WinAnsiToUnicode(uint8_t(Byte)))
            && WinAnsiToUnicode(uint8_t(Byte)) > 32)
            Codes.push_back(WinAnsiToUnicode(uint8_t(Byte)));
    std::erase_if(Codes, [](uint16_t C) { return C >= 0x80 && C < 0xA0; });
    std::sort(Codes.begin(), Codes.end());

    testsupport::TempDir Dir;
    const std::string File = Dir.file("ansi.ttf");
    TMemoryStream Out;
    MakeAnsiFontSubset("DejaVu Sans", 0, Out, int(Codes.size()), Codes.data());
    std::ofstream(File, std::ios::binary).write(reinterpret_cast<const char*>(Out.Memory()), Out.GetSize());

    const ToolResult Query = RunTool({ "fc-query", File });
    EXPECT_EQ(Query.Status, 0) << Query.Output;
    EXPECT_NE(Query.Output.find("family: \"Arial\""), std::string::npos) << Query.Output;
    const ToolResult Dump = RunTool({ "ttx", "-q", "-o", Dir.file("ansi.ttx"), File });
    EXPECT_EQ(Dump.Status, 0) << Dump.Output;
    EXPECT_EQ(Dump.Output.find("ERROR"), std::string::npos) << Dump.Output;
    const std::string Result = compareDrawings(File, Codes);
    EXPECT_EQ(Result.substr(0, 4), "same") << Result;

    TMemoryStream Nothing;
    MakeAnsiFontSubset("DejaVu Sans", 0, Nothing, 0, Codes.data());
    EXPECT_EQ(Nothing.GetSize(), 0);
}

TEST(AnsiFontSubset, TheSpaceTakesNoGlyph)
{
    const std::vector<uint16_t> Codes { ' ', 'A', 'B' };
    TTFTableSource Tables = InstalledFontTables("DejaVu Sans", 0);
    const TTFBytes Font = AnsiFontSubset(Tables, false, Codes);
    const TTFBytes Maxp = *SfntFileTables(Font)("maxp");
    // Three fixed glyphs and A and B, one segment for both.
    EXPECT_EQ(TTFWord(Maxp, 4), 5);
    const TTFCmap4 Map = ReadCmapFormat4(*SfntFileTables(Font)("cmap"));
    EXPECT_EQ(Map.SegCount(), 3);
    EXPECT_EQ(Map.GlyphOf(' '), 2);
    EXPECT_EQ(Map.GlyphOf('B'), 4);
}

TEST(AnsiFontSubset, CodePointsWhoseGlyphsRunBackwardsKeepTheirGlyphs)
{
    // A font of our own whose glyph order puts B before A.
    testsupport::TempDir Dir;
    const std::string Font = Dir.file("backwards.ttf"), Subset = Dir.file("subset.ttf");
    const ToolResult Made = RunTool(
        { "/usr/bin/python3", "-c",
          "import sys\nfrom fontTools.fontBuilder import FontBuilder\nfrom fontTools.pens.ttGlyphPen import "
          "TTGlyphPen\n"
          "def box(w):\n "
          "p=TTGlyphPen(None);p.moveTo((0,0));p.lineTo((0,w));p.lineTo((w,w));p.lineTo((w,0));p.closePath();return "
          "p.glyph()\n"
          "fb=FontBuilder(1000,isTTF=True);o=['.notdef','B','A','C'];fb.setupGlyphOrder(o)\n"
          "fb.setupCharacterMap({66:'B',65:'A',67:'C'})\n"
          "fb.setupGlyf({'.notdef':box(100),'B':box(200),'A':box(300),'C':box(400)})\n"
          "fb.setupHorizontalMetrics({g:(500,0) for g in o});fb.setupHorizontalHeader(ascent=800,descent=-200)\n"
          "fb.setupNameTable({'familyName':'Backwards','styleName':'Regular'});fb.setupOS2();fb.setupPost();fb.save("
          "sys.argv[1])\n",
          Font });
    ASSERT_EQ(Made.Status, 0) << Made.Output;
    std::ifstream In(Font, std::ios::binary);
    const TTFBytes Subsetted =
        AnsiFontSubset(SfntFileTables(TTFBytes(std::istreambuf_iterator<char>(In), {})), false, { 'A', 'B', 'C' });
    const TTFCmap4 Map = ReadCmapFormat4(*SfntFileTables(Subsetted)("cmap"));
    // Kept in glyph order: B 3, A 4, C 5.
    EXPECT_EQ(Map.GlyphOf('A'), 4);
    EXPECT_EQ(Map.GlyphOf('B'), 3);
    EXPECT_EQ(Map.GlyphOf('C'), 5);
}

TEST(AnsiFontSubset, AGlyphOfOddLengthIsPaddedForTheShortOffsets)
{
    // The face keeps long offsets; A (glyph 36) is made one byte longer, so its length is odd
    // and every glyph after it in the subset would start on an offset short entries cannot hold.
    std::ifstream In(DejaVu, std::ios::binary);
    const TTFTableSource File = SfntFileTables(TTFBytes(std::istreambuf_iterator<char>(In), {}));
    const TTFTableSource Tables = [File](const char* Tag) {
        std::optional<TTFBytes> Table = File(Tag);
        if (std::string(Tag) == "loca") {
            const uint32_t End = TTFLong(*Table, 37 * 4) + 1;
            for (int Shift = 24, At = 37 * 4; Shift >= 0; Shift -= 8)
                (*Table)[size_t(At++)] = uint8_t(End >> Shift);
        }
        return Table;
    };
    const std::vector<uint16_t> Codes { 'A', 'C' };
    testsupport::TempDir Dir;
    const std::string Subset = Dir.file("odd.ttf");
    const TTFBytes Font = AnsiFontSubset(Tables, false, Codes);
    std::ofstream(Subset, std::ios::binary)
        .write(reinterpret_cast<const char*>(Font.data()), std::streamsize(Font.size()));
    // The reader notes A's extra byte; what counts is that C still draws as C.
    const std::string Result = compareDrawings(Subset, Codes);
    EXPECT_NE(Result.find("same "), std::string::npos) << Result;
}

TEST(AnsiFontSubset, ThePostTableNamesItsFourGlyphsAndReadersTakeIt)
{
    const std::vector<uint16_t> Codes { ' ', 'A', 'a' };
    const TTFBytes Font = AnsiFontSubset(InstalledFontTables("DejaVu Sans", 0), false, Codes);
    const TTFBytes Post = *SfntFileTables(Font)("post");
    ASSERT_EQ(Post.size(), 52u);
    EXPECT_EQ(TTFLong(Post, 0), 0x00020000u);
    EXPECT_EQ(int16_t(TTFWord(Post, 8)), -217);
    EXPECT_EQ(TTFWord(Post, 10), 150);
    EXPECT_EQ((std::vector<uint16_t> { TTFWord(Post, 32), TTFWord(Post, 34), TTFWord(Post, 36), TTFWord(Post, 38),
                                       TTFWord(Post, 40) }),
              (std::vector<uint16_t> { 4, 0, 0, 258, 68 }));
    EXPECT_EQ(std::string(Post.begin() + 42, Post.end()), "\x09"
                                                          "afii10065");

    testsupport::TempDir Dir;
    const std::string File = Dir.file("named.ttf");
    std::ofstream(File, std::ios::binary)
        .write(reinterpret_cast<const char*>(Font.data()), std::streamsize(Font.size()));
    const ToolResult Names = RunTool(
        { "/usr/bin/python3", "-c",
          "import sys\nfrom fontTools.ttLib import TTFont\nprint(' '.join(TTFont(sys.argv[1]).getGlyphOrder()))",
          File });
    EXPECT_EQ(Names.Status, 0) << Names.Output;
    // Glyph 2 by its own name, glyph 3 by standard name 68; the reader names the others itself.
    EXPECT_NE(Names.Output.find(" afii10065 a "), std::string::npos) << Names.Output;
    const ToolResult Query = RunTool({ "fc-query", File });
    EXPECT_EQ(Query.Status, 0) << Query.Output;
}

TEST(AnsiFontSubset, AnUnreachableCharacterMapOffsetIsAnOffsetError)
{
    const TTFTableSource Font = InstalledFontTables("DejaVu Sans", 0);
    const TTFTableSource Tables = [Font](const char* Tag) -> std::optional<TTFBytes> {
        if (std::string(Tag) != "cmap")
            return Font(Tag);
        TTFBytes Cmap;
        for (uint16_t W : { 0, 1, 3, 1 })
            TTFPutWord(Cmap, W);
        TTFPutLong(Cmap, 1000); // past the table's 12 bytes
        return Cmap;
    };
    std::string Message;
    try {
        AnsiFontSubset(Tables, false, { 'A' });
    } catch (const TPDFException& E) {
        Message = E.Message();
    }
    EXPECT_EQ(Message, "Offset Error");
}

} // namespace
