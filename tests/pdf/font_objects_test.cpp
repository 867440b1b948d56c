//===- font_objects_test.cpp - Font resources: choice, names, widths and what readers find ===//
#include "tests/pdf/PdfTestSupport.h"

#include "tests/support/TestSupport.h"

#include "pdf/PdfStandardWidths.h"
#include "pdf/TPDFDocument.h"
#include "pdf/TPDFFonts.h"
#include "pdf/TPDFPage.h"

#include "platform/rtl/TStringList.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <regex>

using namespace pdftest;

namespace {

// Cyrillic and Greek: nothing of it has a WinAnsi byte.
const std::u16string Outside = u"\u0416\u0438\u0442\u044C \u03A9\u03BC\u03B5\u03B3\u03B1";
const std::string OutsideUtf8 = "\xD0\x96\xD0\xB8\xD1\x82\xD1\x8C \xCE\xA9\xCE\xBC\xCE\xB5\xCE\xB3\xCE\xB1";

class FontObjectsTest : public ::testing::Test {
protected:
    testsupport::TempDir Dir;
    std::string File = Dir.file("fonts.pdf");

    /// Each text in its own font: a standard one, a TrueType face with WinAnsi text and the
    /// same face bold with text outside WinAnsi.
    std::string writeThreeFonts(bool Protect)
    {
        return WritePdf(
            File,
            [&](TPDFDocument& Doc) {
                if (Protect) {
                    Doc.SetProtectionEnabled(true);
                    Doc.SetUserPassword("user");
                    Doc.SetOwnerPassword("owner");
                }
            },
            [](TPDFDocument& Doc) {
                TPDFPage& P = *Doc.CurrentPage;
                P.SetFont("helvetica", 3, 12);
                P.TextOut(50, 50, 0,
                          "Gr\xFC\xDF"
                          "e \x80 \xB5");
                P.SetFont("Arial", 0, 12);
                P.TextOut(50, 100, 0, "Arial \xE9");
                P.SetFont("Arial", 1, 12);
                P.TextOutW(50, 150, 0, Outside.data(), int(Outside.size()));
            });
    }
};

TEST_F(FontObjectsTest, ReadersFindEachKindOfFontAndGiveTheTextBack)
{
    for (const bool Protect : { false, true }) {
        const std::string Pdf = writeThreeFonts(Protect);
        const std::vector<std::string> Password =
            Protect ? std::vector<std::string> { "-upw", "user" } : std::vector<std::string> {};
        auto run = [&](std::vector<std::string> Argv) {
            Argv.insert(Argv.begin() + 1, Password.begin(), Password.end());
            return RunTool(Argv);
        };
        EXPECT_EQ(RunTool({ "qpdf", "--check", "--password=user", File }).Status, 0) << Protect;
        const std::string Fonts = run({ "pdffonts", File }).Output;
        EXPECT_TRUE(std::regex_search(Fonts, std::regex("Helvetica-BoldOblique +Type 1 +WinAnsi +no +no +no")))
            << Fonts;
        EXPECT_TRUE(std::regex_search(Fonts, std::regex("\nArial +TrueType +WinAnsi +yes +no +no"))) << Fonts;
        EXPECT_TRUE(std::regex_search(Fonts, std::regex("Arial#20Bold +CID TrueType +Identity-H +yes +no +yes|Arial "
                                                        "Bold +CID TrueType +Identity-H +yes +no +yes")))
            << Fonts;
        const std::string Text = run({ "pdftotext", File, "-" }).Output;
        EXPECT_NE(Text.find("Gr\xC3\xBC\xC3\x9F"
                            "e \xE2\x82\xAC \xC2\xB5"),
                  std::string::npos)
            << Text;
        EXPECT_NE(Text.find("Arial \xC3\xA9"), std::string::npos) << Text;
        EXPECT_NE(Text.find(OutsideUtf8), std::string::npos) << Text;
        // The descendant's strings are encrypted like the others, so they are not in clear.
        EXPECT_EQ(Pdf.find("/Ordering(Identity)") == std::string::npos, Protect);
    }
}

TEST_F(FontObjectsTest, GetFontChoosesByNameStyleAndKind)
{
    struct Request {
        const char* Name;
        uint8_t Style;
        bool Unicode;
        const char* Resource;
    };
    // In order, on one list: later rows find the fonts earlier rows made.
    const Request Rows[] = {
        { "HeLvEtIcA", 3, false, "F3" },    { "Symbol", 2, false, "F12" },  { "Times", 1, false, "F5" },
        { "Courier", 15, false, "F11" }, // underline and strike-out are no part of the font
        { "Arial", 1, false, "TT1" },       { "Arial", 0, false, "TT2" },   { "ARIAL", 0, false, "TT2" },
        { "Arial", 0, true, "TT3" },        { "Helvetica", 0, true, "F0" }, // no TrueType Helvetica: the standard one
        { "No Such Face", 2, false, "F2" },
    };
    WritePdf(File, {}, [&](TPDFDocument& Doc) {
        for (const Request& R : Rows) {
            TPDFFont* Font = Doc.Fonts().GetFont(R.Name, R.Style, R.Unicode);
            EXPECT_EQ(Font->FontName, R.Resource) << R.Name << " " << int(R.Style);
            EXPECT_EQ(Font->HasGlyphs(), R.Unicode && Font->FontName.starts_with("TT")) << R.Name;
        }
    });
    // With the standard fonts emulated Arial is Helvetica; a face listed as not to be embedded
    // is matched without regard to case.
    WritePdf(
        File,
        [](TPDFDocument& Doc) {
            Doc.SetEmulateStandardFont(true);
            TStringList NonEmbedded;
            NonEmbedded.Add("times new roman");
            Doc.SetNonEmbeddedFont(NonEmbedded);
        },
        [](TPDFDocument& Doc) {
            EXPECT_EQ(Doc.Fonts().GetFont("Arial", 2, false)->FontName, "F2");
            EXPECT_FALSE(Doc.Fonts().GetFont("Times New Roman", 0, true)->Embed);
            EXPECT_TRUE(Doc.Fonts().GetFont("Courier New", 0, true)->Embed);
        });
}

TEST_F(FontObjectsTest, ANameTheSystemReportsOtherwiseIsFoundAgain)
{
    // The system answers an empty name with a face of its own choice: asked again, the list
    // must hand back the font it made, not measure and add another of the same face.
    WritePdf(File, {}, [](TPDFDocument& Doc) {
        TPDFFont* First = Doc.Fonts().GetFont("", 0, true);
        const int Count = Doc.Fonts().Count();
        EXPECT_EQ(Doc.Fonts().GetFont("", 0, true), First);
        EXPECT_EQ(Doc.Fonts().GetFont(First->FaceName, 0, true), First);
        EXPECT_EQ(Doc.Fonts().Count(), Count);
    });
}

TEST_F(FontObjectsTest, OnlyFontsAPageSelectedAreWritten)
{
    const std::string Pdf = WritePdf(File, {}, [](TPDFDocument& Doc) {
        Doc.Fonts().GetFont("Courier New", 0, false);
        Doc.CurrentPage->SetFont("Times", 0, 10);
        Doc.CurrentPage->TextOut(10, 10, 0, "x");
    });
    EXPECT_NE(Pdf.find("/BaseFont /Times-Roman"), std::string::npos);
    EXPECT_EQ(Pdf.find("Courier"), std::string::npos);
}

TEST_F(FontObjectsTest, DescriptorsTakeDegreesAndEveryRangeRunsUpwards)
{
    const std::string Pdf = WritePdf(File, {}, [](TPDFDocument& Doc) {
        TPDFPage& P = *Doc.CurrentPage;
        P.SetFont("Times New Roman", 2, 12);
        P.TextOut(10, 10, 0, "italic");
        // Selected, but given no code: a control byte is all it shows, through the spaced path.
        P.SetFont("Courier New", 0, 12);
        P.SelectFont(false);
    });
    EXPECT_EQ(RunTool({ "qpdf", "--check", File }).Status, 0);
    std::smatch M;
    ASSERT_TRUE(std::regex_search(Pdf, M, std::regex("/ItalicAngle (-?[0-9.]+)\r\n")));
    EXPECT_LT(std::abs(std::stod(M[1])), 45) << M[0];
    EXPECT_GT(std::abs(std::stod(M[1])), 5) << M[0];
    EXPECT_NE(Pdf.find("/BaseFont /Courier#20New\r\n/FirstChar 32\r\n/LastChar 32\r\n"), std::string::npos);
    EXPECT_NE(Pdf.find("/Widths [0 \r\n]"), std::string::npos);
}

TEST_F(FontObjectsTest, ASymbolFontDrawsItsGlyphsThroughItsOwnCodes)
{
    // No symbol-encoded face is installed: a small "Wingdings" of our own, its codes from U+F020
    // on, is handed to a writer process through the font configuration of its environment.
    std::filesystem::create_directories(Dir.file("fonts"));
    const ToolResult Made = RunTool(
        { "/usr/bin/python3", "-c",
          "import sys\nfrom fontTools.fontBuilder import FontBuilder\nfrom fontTools.pens.ttGlyphPen import "
          "TTGlyphPen\n"
          "from fontTools.ttLib.tables._c_m_a_p import CmapSubtable\n"
          "def shape(w):\n p=TTGlyphPen(None)\n if w: "
          "p.moveTo((100,0));p.lineTo((100,700));p.lineTo((100+w,700));p.lineTo((100+w,0));p.closePath()\n return "
          "p.glyph()\n"
          "o=['.notdef','space','box','bar'];fb=FontBuilder(1000,isTTF=True);fb.setupGlyphOrder(o);fb."
          "setupCharacterMap({32:'space'})\n"
          "fb.setupGlyf({'.notdef':shape(700),'space':shape(0),'box':shape(700),'bar':shape(200)})\n"
          "fb.setupHorizontalMetrics({g:(900,100) for g in o});fb.setupHorizontalHeader(ascent=800,descent=-200)\n"
          "fb.setupNameTable({'familyName':'Wingdings','styleName':'Regular'})\n"
          "fb.setupOS2(sTypoAscender=800,sTypoDescender=-200,usWinAscent=800,usWinDescent=200,ulCodePageRange1=1<<31);"
          "fb.setupPost()\n"
          "s=CmapSubtable.newSubtable(4);s.platformID,s.platEncID,s.language=3,0,0\n"
          "s.cmap={0xF020:'space',0xF041:'box',0xF042:'bar'};fb.font['cmap'].tables=[s];fb.save(sys.argv[1])\n",
          Dir.file("fonts/wingdings.ttf") });
    ASSERT_EQ(Made.Status, 0) << Made.Output;
    const ToolResult Written = RunTool({ "env", "XDG_DATA_HOME=" + Dir.file(""), "XDG_CACHE_HOME=" + Dir.file("cache"),
                                         testsupport::BinDir() + "/pdf_text_writer", File, "Wingdings", "ABBA" });
    ASSERT_EQ(Written.Status, 0) << Written.Output;
    const std::string Fonts = RunTool({ "pdffonts", File }).Output;
    EXPECT_TRUE(std::regex_search(Fonts, std::regex("\nWingdings +TrueType .* yes +no +no"))) << Fonts;
    // Four glyphs of 48 points from one inch in: ink where they stand.
    ASSERT_EQ(RunTool({ "pdftoppm", "-gray", "-r", "72", "-x", "72", "-y", "72", "-W", "200", "-H", "48", "-singlefile",
                        File, Dir.file("symbol") })
                  .Status,
              0);
    const std::string Picture = testsupport::ReadFile(Dir.file("symbol.pgm"));
    const auto Dark = std::count_if(Picture.end() - 200 * 48, Picture.end(), [](char C) { return uint8_t(C) < 128; });
    EXPECT_GT(Dark, 2 * 30 * 30) << "the symbol glyphs were not drawn";
}

TEST(FontNames, EverythingANameCannotHoldIsEscaped)
{
    EXPECT_EQ(EscapeName("Times New Roman Bold"), "Times#20New#20Roman#20Bold");
    EXPECT_EQ(EscapeName("A(b)/c#d%\xE9"), "A#28b#29#2Fc#23d#25#E9");
}

TEST(FontWidths, OnlyUsedCodesCarryTheirWidthAndSixteensEndALine)
{
    std::array<bool, 256> Used {};
    Used[32] = Used[48] = true;
    std::vector<int32_t> Widths(256, 7);
    Widths[32] = 278;
    Widths[48] = 556;
    EXPECT_EQ(FontWidthsText(Used, Widths, 32, 48), "278 \r\n0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 556 \r\n");
}

TEST(StandardWidths, UnassignedCodesAndControlCodesByRow)
{
    // Rows 0 Helvetica, 4 Times-Roman, 8 Courier, 12 Symbol, 13 ZapfDingbats.
    struct Row {
        int Index;
        uint16_t Code0, Unassigned;
    } Rows[] = { { 0, 278, 350 }, { 4, 250, 350 }, { 8, 600, 600 }, { 12, 250, 0 }, { 13, 250, 0 } };
    for (const Row& R : Rows) {
        EXPECT_EQ(StandardFontWidth(R.Index, 0), R.Code0) << R.Index;
        for (int Code = 1; Code < 32; ++Code)
            EXPECT_EQ(StandardFontWidth(R.Index, uint8_t(Code)), 0) << R.Index << " code " << Code;
        for (int Code : { 127, 129, 141, 143, 144, 157 })
            EXPECT_EQ(StandardFontWidth(R.Index, uint8_t(Code)), R.Unassigned) << R.Index << " code " << Code;
    }
    // ZapfDingbats' neighbours of its unassigned codes keep their glyphs' widths.
    EXPECT_EQ(StandardFontWidth(13, 128), 390);
    EXPECT_EQ(StandardFontWidth(13, 140), 334);
}

} // namespace
