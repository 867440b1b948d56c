//===- truetype_test.cpp - TrueType readers, Unicode font data and its glyph subset ===//
#include "tests/pdf/PdfTestSupport.h"

#include "tests/support/TestSupport.h"

#include "pdf/PdfPrimitives.h"
#include "pdf/TAnsiFontSubset.h"
#include "pdf/TPDFException.h"
#include "pdf/TTTFData.h"
#include "pdf/TrueTypeTables.h"

#include "platform/rtl/TStream.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <sstream>

using namespace pdftest;

namespace {

const char* const DejaVu = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";

TTFBytes readFile(const std::string& Name)
{
    std::ifstream In(Name, std::ios::binary);
    return TTFBytes(std::istreambuf_iterator<char>(In), {});
}

void writeFile(const std::string& Name, const TTFBytes& Data)
{
    std::ofstream(Name, std::ios::binary)
        .write(reinterpret_cast<const char*>(Data.data()), std::streamsize(Data.size()));
}

/// The font's tables, Patch applied to the one named.
TTFTableSource patched(const char* Tag, std::function<void(std::optional<TTFBytes>&)> Patch)
{
    TTFTableSource File = SfntFileTables(readFile(DejaVu));
    return [=](const char* Wanted) {
        std::optional<TTFBytes> Table = File(Wanted);
        if (std::string(Wanted) == Tag)
            Patch(Table);
        return Table;
    };
}

void putWord(TTFBytes& Data, size_t At, uint16_t Value)
{
    Data[At] = uint8_t(Value >> 8);
    Data[At + 1] = uint8_t(Value);
}

/// A cmap of one encoding record (platform 3, encoding Encoding) at Offset holding Subtable.
TTFBytes cmapWith(uint16_t Encoding, uint32_t Offset, const TTFBytes& Subtable)
{
    TTFBytes Cmap;
    TTFPutWord(Cmap, 0);
    TTFPutWord(Cmap, 1);
    TTFPutWord(Cmap, 3);
    TTFPutWord(Cmap, Encoding);
    TTFPutLong(Cmap, Offset);
    Cmap.insert(Cmap.end(), Subtable.begin(), Subtable.end());
    return Cmap;
}

/// A format 4 subtable of one segment 'A'..'C' through the glyph array, then 0xFFFF.
TTFBytes format4()
{
    TTFBytes Sub;
    for (uint16_t W : std::initializer_list<uint16_t> { 4, 0, 0, 4, 4, 1,
                                                        0 }) // format, length (set below), language, segCountX2 ...
        TTFPutWord(Sub, W);
    for (uint16_t W : std::initializer_list<uint16_t> { 'C', 0xFFFF, 0, 'A', 0xFFFF, 0, 1, 4, 0, 7, 8,
                                                        9 }) // end, pad, start, delta, rangeOffset, glyphs
        TTFPutWord(Sub, W);
    putWord(Sub, 2, uint16_t(Sub.size()));
    return Sub;
}

TEST(TrueTypeReaders, AFormat4MapReadsItsWholeGlyphArray)
{
    const TTFCmap4 Map = ReadCmapFormat4(cmapWith(1, 12, format4()));
    ASSERT_EQ(Map.SegCount(), 2);
    // All three array entries: the count leaves out eight header words, not seven.
    EXPECT_EQ(Map.GlyphIdArray.size(), 3u);
    EXPECT_EQ(Map.GlyphOf('A'), 7);
    EXPECT_EQ(Map.GlyphOf('C'), 9);
    EXPECT_EQ(Map.GlyphOf('D'), 0);
}

TEST(TrueTypeReaders, MalformedMapsAreRefused)
{
    TTFBytes Format6 = format4();
    putWord(Format6, 0, 6);
    TTFBytes Short = format4();
    Short.resize(20);
    const struct {
        const char* Case;
        TTFBytes Cmap;
    } Cases[] = {
        { "offset past the table", cmapWith(1, 400, format4()) },
        { "not format 4", cmapWith(1, 12, Format6) },
        { "no Unicode or symbol map", cmapWith(10, 12, format4()) },
        { "arrays cut short", cmapWith(1, 12, Short) },
        { "records cut short", TTFBytes { 0, 0, 0, 9 } },
    };
    for (const auto& C : Cases) {
        try {
            ReadCmapFormat4(C.Cmap);
            ADD_FAILURE() << C.Case;
        } catch (const TPDFException& E) {
            EXPECT_EQ(std::string(E.Message()), SIncorrectFontFormat) << C.Case;
        }
    }
}

TEST(TrueTypeReaders, CompositeWalkStopsAtTheGlyphsEnd)
{
    // numberOfContours -1, a bounding box, then a component claiming more follow.
    TTFBytes Glyph { 0xFF, 0xFF, 0, 0, 0, 0, 0, 0, 0, 0, 0x00, 0x21, 0, 5, 0, 0, 0, 0 };
    EXPECT_EQ(CompositeComponents(Glyph), std::vector<uint16_t> { 5 });
    // Components naming each other end once every glyph is marked.
    std::vector<TTFGlyph> Glyphs(6);
    Glyphs[5].Data = Glyph;
    Glyphs[5].Used = true;
    Glyphs[5].Data[13] = 5;
    MarkUsedComponents(Glyphs);
    EXPECT_FALSE(Glyphs[0].Used);
}

TEST(TrueTypeReaders, AnyNegativeContourCountMakesAComposite)
{
    // Readers take é as a composite with numberOfContours -2 as with -1: both subsets keep its
    // base and accent, and the renumbered one points at their new ids, not at stale ones.
    const TTFTableSource File = SfntFileTables(readFile(DejaVu));
    const bool Long = TTFWord(*File("head"), 50) != 0;
    const int NumGlyphs = TTFWord(*File("maxp"), 4);
    const std::vector<TTFGlyph> Glyphs = SplitGlyphs(*File("loca"), Long, *File("glyf"), NumGlyphs);
    const uint16_t Accented = TTTFData(File, false).TTFUseChar(0xE9);
    const std::vector<uint16_t> Parts = CompositeComponents(Glyphs.at(Accented).Data);
    ASSERT_EQ(Parts.size(), 2u);
    const size_t At = Long ? TTFLong(*File("loca"), Accented * 4u) : TTFWord(*File("loca"), Accented * 2u) * 2u;
    const TTFTableSource Tables = patched("glyf", [&](std::optional<TTFBytes>& Glyf) { putWord(*Glyf, At, 0xFFFE); });

    auto glyphsOf = [](const TTFBytes& Font) {
        const TTFTableSource Sub = SfntFileTables(Font);
        return SplitGlyphs(*Sub("loca"), TTFWord(*Sub("head"), 50) != 0, *Sub("glyf"), TTFWord(*Sub("maxp"), 4));
    };
    TTTFData Font(Tables, false);
    Font.TTFUseChar(0xE9);
    const std::vector<TTFGlyph> Unicode = glyphsOf(Font.FontSubset());
    for (const uint16_t Part : Parts)
        EXPECT_EQ(Unicode.at(Part).Data, Glyphs.at(Part).Data) << "Unicode subset, component " << Part;

    // The WinAnsi subset: glyphs 0-2 empty, then the base, the accent and é in glyph order.
    const std::vector<TTFGlyph> Ansi = glyphsOf(AnsiFontSubset(Tables, false, { 0xE9 }));
    ASSERT_EQ(Ansi.size(), 6u);
    const auto Composite =
        std::find_if(Ansi.begin(), Ansi.end(), [](const TTFGlyph& G) { return !G.Data.empty() && G.Data[1] == 0xFE; });
    ASSERT_NE(Composite, Ansi.end());
    const std::vector<uint16_t> NewParts = CompositeComponents(Composite->Data);
    ASSERT_EQ(NewParts.size(), 2u);
    for (size_t I = 0; I < 2; ++I) {
        ASSERT_LT(NewParts[I], Ansi.size());
        EXPECT_NE(Ansi.begin() + NewParts[I], Composite) << "component " << I << " points at its own glyph";
        EXPECT_EQ(Ansi[NewParts[I]].Data, Glyphs.at(Parts[I]).Data) << "WinAnsi subset, component " << I;
    }
}

TEST(TrueTypeReaders, LocaEntriesOutsideGlyfGiveEmptyGlyphs)
{
    const TTFBytes Glyf(20, 1);
    // Short offsets (halved): 0, 8, 4 (backwards), 40 (past the end).
    const TTFBytes Loca { 0, 0, 0, 4, 0, 2, 0, 20 };
    const std::vector<TTFGlyph> Glyphs = SplitGlyphs(Loca, false, Glyf, 5);
    ASSERT_EQ(Glyphs.size(), 5u);
    EXPECT_EQ(Glyphs[0].Data.size(), 8u);
    EXPECT_TRUE(Glyphs[1].Data.empty());
    EXPECT_TRUE(Glyphs[2].Data.empty());
    EXPECT_TRUE(Glyphs[4].Data.empty());
}

TEST(TrueTypeReaders, ChecksumPadsTheLastWord)
{
    EXPECT_EQ(TTFTableChecksum(TTFBytes { 0, 0, 0, 1, 0x80 }), 0x80000001u);
}

/// Glyph ids and widths of the given codes as fontTools reads them, one "code gid width" line each.
std::string fontToolsMetrics(const std::string& Font, const std::string& Codes)
{
    const ToolResult R = RunTool(
        { "/usr/bin/python3", "-c",
          "import sys\nfrom fontTools.ttLib import TTFont\nf=TTFont(sys.argv[1])\ncm=f['cmap'].getcmap(3,1).cmap\n"
          "upm=f['head'].unitsPerEm\n"
          "for c in map(int,sys.argv[2].split()):\n g=cm[c]\n "
          "print(c,f.getGlyphID(g),int(f['hmtx'][g][0]/(upm/1000)))\n",
          Font, Codes });
    EXPECT_EQ(R.Status, 0) << R.Output;
    return R.Output;
}

const std::vector<uint16_t> Sample { 'A', 'g', 0xE9, 0x20AC, 0xB5, 0x3A9, 0x416, 0xFB01 };

std::string codesText(const std::vector<uint16_t>& Codes)
{
    std::string Text;
    for (uint16_t C : Codes)
        Text += std::to_string(C) + " ";
    return Text;
}

TEST(TTTFData, GlyphsAndWidthsAreTheFontsOwn)
{
    TTTFData Font(SfntFileTables(readFile(DejaVu)), false);
    std::ostringstream Ours;
    for (uint16_t C : Sample)
        Ours << C << " " << Font.TTFUseChar(C) << " " << Font.TTFGetCharWidth(C) << "\n";
    EXPECT_EQ(Ours.str(), fontToolsMetrics(DejaVu, codesText(Sample)));
}

TEST(TTTFData, TheInstalledFaceReadsAsItsFile)
{
    TTTFData Installed("DejaVu Sans", false, 0);
    TTTFData File(SfntFileTables(readFile(DejaVu)), false);
    ASSERT_EQ(Installed.Records().size(), File.Records().size());
    EXPECT_FALSE(Installed.FixedPitch());
    EXPECT_EQ(Installed.TTFUseChar(0x20AC), File.TTFUseChar(0x20AC));
}

TEST(TTTFData, UnmappedCodesTakeTheSpace)
{
    TTTFData Font(SfntFileTables(readFile(DejaVu)), false);
    EXPECT_EQ(Font.TTFUseChar(0xE000), Font.TTFUseChar(' '));
    EXPECT_EQ(Font.GetWidthArray(), "[3[317]]");
}

TEST(TTTFData, NoMoreRecordsThanGlyphs)
{
    TTTFData Font(patched("maxp", [](auto& T) { putWord(*T, 4, 40); }), false);
    EXPECT_EQ(Font.Records().size(), 40u);
    for (const auto& R : Font.Records())
        EXPECT_LT(R.Glyph, 40);
}

TEST(TTTFData, LongMetricsPastTheTableAreNotRead)
{
    // hmtx holds 10 long metrics while hhea claims 60000: the last one held serves the rest.
    TTFTableSource Tables = patched("hhea", [](auto& T) { putWord(*T, 34, 60000); });
    TTFTableSource Short = [Tables](const char* Tag) {
        std::optional<TTFBytes> T = Tables(Tag);
        if (std::string(Tag) == "hmtx")
            T->resize(40);
        return T;
    };
    TTTFData Font(Short, false);
    EXPECT_EQ(Font.TTFGetCharWidth(0x20AC), Font.TTFGetCharWidth(0x416));
}

TEST(TTTFData, TheEmSizeBoundsWidthsOrIsRefused)
{
    TTTFData Tiny(patched("head", [](auto& T) { putWord(*T, 18, 1); }), false);
    EXPECT_EQ(Tiny.TTFGetCharWidth('A'), 32767);
    try {
        TTTFData Zero(patched("head", [](auto& T) { putWord(*T, 18, 0); }), false);
        ADD_FAILURE();
    } catch (const TPDFException& E) {
        EXPECT_EQ(std::string(E.Message()), SIncorrectFontFormat);
    }
}

TEST(TTTFData, UnicodeMapBlocksOfAHundred)
{
    for (const size_t Count : { 100, 101 }) {
        TTTFData Font(SfntFileTables(readFile(DejaVu)), false);
        std::vector<TTTFData::TCharRecord> Wanted(Font.Records().begin() + 1,
                                                  Font.Records().begin() + 1 + std::ptrdiff_t(Count));
        for (const auto& R : Wanted)
            Font.TTFUseChar(R.Code);
        Font.TTFUseChar(Wanted[0].Code); // a second use adds nothing
        TMemoryStream Out;
        Font.WriteToUnicodeCMap("F1", Out);
        const std::string Text(reinterpret_cast<const char*>(Out.Memory()), size_t(Out.GetSize()));
        auto line = [](const TTTFData::TCharRecord& R) {
            return "<" + WordToHex(R.Glyph) + "> <" + WordToHex(R.Code) + ">\r";
        };
        const std::string Tail = Count == 100
                                     ? "endbfchar\r0 beginbfchar\rendbfchar\rendcmap"
                                     : "endbfchar\r1 beginbfchar\r" + line(Wanted.back()) + "endbfchar\rendcmap";
        EXPECT_NE(Text.find("\r100 beginbfchar\r" + line(Wanted[0])), std::string::npos) << Count;
        EXPECT_NE(Text.find(Tail), std::string::npos) << Text;
        EXPECT_EQ(Text.find(line(Wanted[0])), Text.rfind(line(Wanted[0])));
        EXPECT_NE(Text.find("begincmap /CIDSystemInfo << \r/Registry (F1+0) /Ordering (T42UV) /Supplement 0 >> def\r"),
                  std::string::npos);
    }
}

class SubsetTest : public ::testing::Test {
protected:
    testsupport::TempDir Dir;
    std::string File = Dir.file("subset.ttf");

    /// Writes the subset of Tables with Codes used and checks it with fc-query and ttx.
    void writeSubset(TTFTableSource Tables, const std::vector<uint16_t>& Codes)
    {
        TTTFData Font(std::move(Tables), false);
        for (uint16_t C : Codes)
            Font.TTFUseChar(C);
        TMemoryStream Out;
        Font.WriteFontSubset(Out);
        writeFile(File, TTFBytes(Out.Memory(), Out.Memory() + Out.GetSize()));
        const ToolResult Query = RunTool({ "fc-query", File });
        EXPECT_EQ(Query.Status, 0) << Query.Output;
        EXPECT_NE(Query.Output.find("outline: True"), std::string::npos) << Query.Output;
        const ToolResult Dump = RunTool({ "ttx", "-q", "-o", Dir.file("subset.ttx"), File });
        EXPECT_EQ(Dump.Status, 0) << Dump.Output;
        EXPECT_EQ(Dump.Output.find("ERROR"), std::string::npos) << Dump.Output;
    }

    /// "same" when the subset keeps exactly the used glyphs and their components with the
    /// original outlines, the others empty.
    std::string compareOutlines(const std::vector<uint16_t>& Codes)
    {
        const ToolResult R = RunTool(
            { "/usr/bin/python3", "-c",
              "import sys\nfrom fontTools.ttLib import TTFont\n"
              "o=TTFont(sys.argv[1]);s=TTFont(sys.argv[2])\n"
              "og=o['glyf'];sg=s['glyf'];on=o.getGlyphOrder();sn=s.getGlyphOrder()\n"
              "cm=o['cmap'].getcmap(3,1).cmap\n"
              "want={on.index(cm[int(c)]) for c in sys.argv[3].split()}|{0}\n"
              "todo=list(want)\n"
              "while todo:\n g=og[on[todo.pop()]]\n"
              " for c in (g.components if g.isComposite() else []):\n  i=on.index(c.glyphName)\n  if i not in want: "
              "want.add(i);todo.append(i)\n"
              "bad=[]\n"
              "for i in range(len(on)):\n a=og[on[i]];b=sg[sn[i]]\n"
              " a.expand(og) if hasattr(a,'expand') else None;b.expand(sg) if hasattr(b,'expand') else None\n"
              " ka=a.compile(og) if i in want else b''\n kb=b.compile(sg)\n"
              " if ka!=kb: bad.append(i)\n"
              "print('same' if not bad else 'differ %s'%bad[:10], len([i for i in want if og[on[i]].isComposite()]))\n",
              DejaVu, File, codesText(Codes) });
        return R.Output;
    }
};

TEST_F(SubsetTest, UsedGlyphsAndTheirComponentsKeepTheirOutlines)
{
    // é and ǻ are composites in this face: their base and accent glyphs stay without a code.
    const std::vector<uint16_t> Codes { 'A', 'g', 0xE9, 0x1FB, 0x20AC, 0x416 };
    writeSubset(SfntFileTables(readFile(DejaVu)), Codes);
    const std::string Result = compareOutlines(Codes);
    EXPECT_EQ(Result.substr(0, 4), "same") << Result;
    EXPECT_NE(Result.substr(5, 1), "0") << "no composite glyph was tried: " << Result;
}

TEST_F(SubsetTest, AFontWithoutHintingTablesIsStillWritten)
{
    TTFTableSource File = SfntFileTables(readFile(DejaVu));
    writeSubset(
        [File](const char* Tag) -> std::optional<TTFBytes> {
            const std::string T = Tag;
            if (T == "cvt " || T == "fpgm" || T == "prep")
                return std::nullopt;
            return File(Tag);
        },
        { 'x' });
    EXPECT_EQ(compareOutlines({ 'x' }).substr(0, 4), "same");
}

TEST_F(SubsetTest, MissingRequiredTablesAreReported)
{
    TTFTableSource File = SfntFileTables(readFile(DejaVu));
    TTTFData Font(
        [File](const char* Tag) -> std::optional<TTFBytes> {
            if (std::string(Tag) == "glyf")
                return std::nullopt;
            return File(Tag);
        },
        false);
    TMemoryStream Out;
    try {
        Font.WriteFontSubset(Out);
        ADD_FAILURE();
    } catch (const TPDFException& E) {
        EXPECT_EQ(std::string(E.Message()), SCannotReceiveFontData);
    }
}

TEST(TTTFData, ASubsetPastShortOffsetsTakesLongOnes)
{
    // A font with short offsets whose used glyphs share one 60 000-byte range: the font holds it
    // once, the subset three times (180 000 bytes), past what short offsets reach.
    const TTFTableSource File = SfntFileTables(readFile(DejaVu));
    TTFBytes Shared(60000);
    for (size_t I = 2; I < Shared.size(); ++I)
        Shared[I] = uint8_t(I * 7);
    const uint16_t NumGlyphs = TTFWord(*File("maxp"), 4);
    TTTFData Probe(File, false);
    const std::vector<uint16_t> Used { 0, Probe.TTFUseChar('A'), Probe.TTFUseChar('C') };
    ASSERT_EQ(Used, (std::vector<uint16_t> { 0, 36, 38 }));
    TTFBytes Loca;
    for (uint16_t G = 0; G <= NumGlyphs; ++G)
        TTFPutWord(Loca, std::find(Used.begin(), Used.end(), G) != Used.end() ? 0 : uint16_t(Shared.size() / 2));
    const TTFTableSource Tables = [&](const char* Tag) -> std::optional<TTFBytes> {
        const std::string T = Tag;
        if (T == "loca")
            return Loca;
        if (T == "glyf")
            return Shared;
        std::optional<TTFBytes> Table = File(Tag);
        if (T == "head")
            putWord(*Table, 50, 0);
        return Table;
    };
    TTTFData Font(Tables, false);
    Font.TTFUseChar('A');
    Font.TTFUseChar('C');
    const TTFTableSource Subset = SfntFileTables(Font.FontSubset());
    ASSERT_EQ(TTFWord(*Subset("head"), 50), 1);
    const TTFBytes SubsetLoca = *Subset("loca"), SubsetGlyf = *Subset("glyf");
    ASSERT_EQ(SubsetLoca.size(), (NumGlyphs + 1u) * 4);
    ASSERT_EQ(SubsetGlyf.size(), 3 * Shared.size());
    for (const uint16_t G : Used) {
        const uint32_t Start = TTFLong(SubsetLoca, G * 4u), End = TTFLong(SubsetLoca, G * 4u + 4);
        ASSERT_EQ(End - Start, Shared.size()) << G;
        EXPECT_TRUE(std::equal(Shared.begin(), Shared.end(), SubsetGlyf.begin() + Start)) << G;
    }
}

} // namespace
