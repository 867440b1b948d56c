//===- font_metrics_test.cpp - Text metrics, advances and character widths of realized fonts -===//
#include "FontTestSupport.h"

#include <climits>

using fonttest::Font;
using fonttest::FtView;

namespace {

long roundHalfAway(double V) { return std::lround(V); }

TEST(FontHeight, NegativeHeightIsTheEmAndPositiveHeightTheCell)
{
    auto Em = RealizedFont::Realize(Font("Arial", -20));
    EXPECT_EQ(Em->PixelSize(), 20.0);

    for (const char* Face : { "Arial", "Times New Roman", "Courier New" })
        for (int32_t Height : { 7, 13, 20, 33, 100 }) {
            auto Cell = RealizedFont::Realize(Font(Face, Height));
            EXPECT_EQ(Cell->TextMetrics().tmHeight, Height) << Face;
            EXPECT_LT(Cell->PixelSize(), Height) << Face << ": the em is smaller than its cell";
        }
}

TEST(FontHeight, CellFollowsTheWindowsAscentAndDescent)
{
    for (const char* Face : { "Arial", "Times New Roman", "Courier New" })
        for (int32_t Em : { 8, 11, 20, 47 }) {
            auto F = RealizedFont::Realize(Font(Face, -Em));
            FtView V(F->FilePath());
            const double Scale = double(Em) / V.unitsPerEm();
            const TEXTMETRICA& Tm = F->TextMetrics();
            EXPECT_EQ(Tm.tmAscent, roundHalfAway(V.os2().usWinAscent * Scale)) << Face << " " << Em;
            EXPECT_EQ(Tm.tmHeight, roundHalfAway((V.os2().usWinAscent + V.os2().usWinDescent) * Scale))
                << Face << " " << Em;
            EXPECT_EQ(Tm.tmDescent, Tm.tmHeight - Tm.tmAscent);
            EXPECT_EQ(Tm.tmInternalLeading, Tm.tmHeight - Em);
            EXPECT_EQ(Tm.tmAveCharWidth, roundHalfAway(V.os2().xAvgCharWidth * Scale));
            EXPECT_EQ(Tm.tmMaxCharWidth, roundHalfAway((V.head().xMax - V.head().xMin) * Scale));
        }
}

TEST(FontHeight, HeightZeroGivesTheDefaultCellOf16Pixels)
{
    auto F = RealizedFont::Realize(Font("Arial", 0));
    EXPECT_EQ(F->TextMetrics().tmHeight, 16);
}

TEST(FontHeight, ExtremeHeightsStayFiniteAndPositive)
{
    for (int32_t Height : { INT_MIN, -1, 1, INT_MAX }) {
        auto F = RealizedFont::Realize(Font("Arial", Height));
        EXPECT_GT(F->PixelSize(), 0) << Height;
        EXPECT_LE(F->PixelSize(), 16384) << Height;
        EXPECT_GE(F->TextMetrics().tmHeight, 0) << Height;
    }
}

TEST(FontHeight, ExternalLeadingIsTheHheaGapBeyondTheWindowsCell)
{
    auto F = RealizedFont::Realize(Font("Times New Roman", -1000));
    FtView V(F->FilePath());
    const double Scale = 1000.0 / V.unitsPerEm();
    const long Cell = V.os2().usWinAscent + V.os2().usWinDescent;
    const long Hhea = V.hhea().Ascender - V.hhea().Descender;
    const long Gap = std::max(0L, long(V.hhea().Line_Gap) - (Cell - Hhea));
    EXPECT_EQ(F->TextMetrics().tmExternalLeading, roundHalfAway(Gap * Scale));
}

TEST(FontMetrics, StyleFieldsComeFromTheLogFont)
{
    LOGFONTA L = Font("Arial", -12, 0, true);
    L.lfUnderline = 1;
    L.lfStrikeOut = 1;
    const TEXTMETRICA& Tm = RealizedFont::Realize(L)->TextMetrics();
    EXPECT_EQ(Tm.tmWeight, FW_NORMAL) << "weight 0 asks for the normal weight";
    EXPECT_NE(Tm.tmItalic, 0);
    EXPECT_NE(Tm.tmUnderlined, 0);
    EXPECT_NE(Tm.tmStruckOut, 0);
    EXPECT_EQ(Tm.tmBreakChar, ' ');
    EXPECT_EQ(Tm.tmCharSet, ANSI_CHARSET);
    EXPECT_EQ(Tm.tmDigitizedAspectX, 96);

    EXPECT_EQ(RealizedFont::Realize(Font("Arial", -12, 650))->TextMetrics().tmWeight, 650);
}

TEST(FontMetrics, FixedPitchBitIsSetForVariablePitchFaces)
{
    const uint8_t Courier = RealizedFont::Realize(Font("Courier New", -12))->TextMetrics().tmPitchAndFamily;
    const uint8_t Arial = RealizedFont::Realize(Font("Arial", -12))->TextMetrics().tmPitchAndFamily;
    const uint8_t Times = RealizedFont::Realize(Font("Times New Roman", -12))->TextMetrics().tmPitchAndFamily;
    EXPECT_EQ(Courier & TMPF_FIXED_PITCH, 0) << "the bit's inverted sense: clear means fixed";
    EXPECT_EQ(Arial & TMPF_FIXED_PITCH, TMPF_FIXED_PITCH);
    for (uint8_t P : { Courier, Arial, Times })
        EXPECT_EQ(P & (TMPF_VECTOR | TMPF_TRUETYPE | TMPF_DEVICE), TMPF_VECTOR | TMPF_TRUETYPE);
    EXPECT_EQ(Courier & 0xF0, FF_MODERN);
    EXPECT_EQ(Arial & 0xF0, FF_SWISS);
    EXPECT_EQ(Times & 0xF0, FF_ROMAN);
}

// --- Advances and widths

TEST(FontAdvances, AdvanceIsHintedUpToAnEmOf96PixelsAndTheHmtxAdvanceScaledAbove)
{
    for (const char* Face : { "Arial", "Times New Roman" })
        for (int32_t Em : { 9, 12, 16, 31, 96, 97, 300 }) {
            auto F = RealizedFont::Realize(Font(Face, -Em));
            FtView V(F->FilePath());
            EXPECT_EQ(F->Hinted(), Em <= 96) << Face << " " << Em;
            for (unsigned char C : std::string("AWil .,mg0179")) {
                const long Expected =
                    Em <= 96 ? V.hintedAdvance(C, Em) : roundHalfAway(V.advanceUnits(C) * double(Em) / V.unitsPerEm());
                EXPECT_EQ(F->Advance(C), Expected) << Face << " " << Em << " '" << C << "'";
            }
        }
}

TEST(FontAdvances, MonospacedFaceGivesEveryPrintableCharacterOneAdvance)
{
    auto F = RealizedFont::Realize(Font("Courier New", -15));
    for (int C = 32; C < 127; ++C)
        EXPECT_EQ(F->Advance(uint8_t(C)), F->Advance('M')) << C;
}

TEST(FontAdvances, TextExtentIsTheSumOfTheAdvancesAndTheCellHeight)
{
    auto F = RealizedFont::Realize(Font("Times New Roman", -17));
    const std::string Text = "Pulse energy 123.4 mJ \xB5s \x80";
    auto Advances = F->Advances(Text);
    ASSERT_EQ(Advances.size(), Text.size());
    int Sum = 0;
    for (size_t I = 0; I < Text.size(); ++I) {
        EXPECT_EQ(Advances[I], F->Advance(uint8_t(Text[I])));
        Sum += Advances[I];
    }
    SIZE Extent = F->TextExtent(Text);
    EXPECT_EQ(Extent.cx, Sum);
    EXPECT_EQ(Extent.cy, F->TextMetrics().tmHeight);
    EXPECT_EQ(F->TextExtent("").cx, 0);
    EXPECT_EQ(F->TextExtent("").cy, F->TextMetrics().tmHeight);
}

TEST(FontAdvances, AbcWidthsAddUpToTheAdvanceForEveryCharacter)
{
    for (const char* Face : { "Arial", "Times New Roman", "Courier New" })
        for (bool Italic : { false, true })
            for (int32_t Height : { -7, -12, 19, -1000 }) {
                auto F = RealizedFont::Realize(Font(Face, Height, FW_NORMAL, Italic));
                for (int C = 0; C < 256; ++C) {
                    ABC W = F->CharABC(uint8_t(C));
                    ASSERT_EQ(W.abcA + int(W.abcB) + W.abcC, F->Advance(uint8_t(C)))
                        << Face << " " << Height << " italic " << Italic << " char " << C;
                }
            }
}

TEST(FontAdvances, AbcWidthsCoverTheInk)
{
    auto F = RealizedFont::Realize(Font("Arial", -1000));
    FtView V(F->FilePath());
    // At 1000 pixels on a 2048-unit em the hinted ink box is the glyph box, to a pixel.
    FT_Load_Glyph(V.face(), FT_Get_Char_Index(V.face(), 'A'), FT_LOAD_NO_SCALE);
    const double Scale = 1000.0 / V.unitsPerEm();
    const double Left = V.face()->glyph->metrics.horiBearingX * Scale;
    const double Width = V.face()->glyph->metrics.width * Scale;
    ABC A = F->CharABC('A');
    EXPECT_NEAR(A.abcA, Left, 1);
    EXPECT_NEAR(double(A.abcB), Width, 2);
    EXPECT_EQ(A.abcA + int(A.abcB) + A.abcC, F->Advance('A'));

    ABC Space = F->CharABC(' ');
    EXPECT_EQ(Space.abcB, 0u) << "a blank glyph has no ink";
    EXPECT_EQ(Space.abcC, F->Advance(' '));

    // Italic 'f' hangs out on both sides in Times: A or C goes negative, the sum still holds.
    auto Italic = RealizedFont::Realize(Font("Times New Roman", -1000, FW_NORMAL, true));
    ABC Hook = Italic->CharABC('f');
    EXPECT_TRUE(Hook.abcA < 0 || Hook.abcC < 0);
}

// --- Code page and glyphs

TEST(FontGlyphs, AnsiCharactersMapThroughWindows1252)
{
    auto F = RealizedFont::Realize(Font("Arial", -12));
    FtView V(F->FilePath());
    struct {
        uint8_t Ansi;
        FT_ULong Unicode;
    } Rows[] = { { 'A', 'A' },     { 0x80, 0x20AC }, { 0x85, 0x2026 }, { 0x96, 0x2013 },
                 { 0x9F, 0x0178 }, { 0xB5, 0xB5 },   { 0xE4, 0xE4 } };
    for (auto R : Rows) {
        uint32_t Glyph = F->GlyphIndex(R.Ansi);
        EXPECT_NE(Glyph, 0u) << int(R.Ansi);
        EXPECT_EQ(Glyph, FT_Get_Char_Index(V.face(), R.Unicode)) << int(R.Ansi);
        EXPECT_EQ(Glyph, F->GlyphIndexForUnicode(uint32_t(R.Unicode)));
    }
    for (uint8_t Undefined : { 0x81, 0x8D, 0x8F, 0x90, 0x9D })
        EXPECT_EQ(F->GlyphIndex(Undefined), 0u) << int(Undefined);
    EXPECT_EQ(F->GlyphIndexForUnicode(0x10FFFF), 0u);
    EXPECT_EQ(F->GlyphIndexForUnicode(0xFFFFFFFF), 0u);
}

// --- Outline metrics

TEST(FontOutlineMetrics, RecordHasTheOriginalSizeAndEmSquare)
{
    auto F = RealizedFont::Realize(Font("Arial", -1000));
    OUTLINETEXTMETRICA M;
    ASSERT_TRUE(F->OutlineTextMetrics(M));
    EXPECT_EQ(M.otmSize, 212u);
    EXPECT_EQ(M.otmEMSquare, 2048u) << "unscaled, as the file gives it";
    EXPECT_EQ(M.otmTextMetrics.tmHeight, F->TextMetrics().tmHeight);
    EXPECT_EQ(M.otmpFamilyName, 0u);
}

TEST(FontOutlineMetrics, FieldsAreTheFileTablesScaledToTheEm)
{
    auto F = RealizedFont::Realize(Font("Times New Roman", -1000, FW_NORMAL, true));
    FtView V(F->FilePath());
    const double S = 1000.0 / V.unitsPerEm();
    OUTLINETEXTMETRICA M;
    ASSERT_TRUE(F->OutlineTextMetrics(M));
    EXPECT_EQ(M.otmAscent, roundHalfAway(V.os2().sTypoAscender * S));
    EXPECT_EQ(M.otmDescent, roundHalfAway(V.os2().sTypoDescender * S));
    EXPECT_LT(M.otmDescent, 0);
    EXPECT_EQ(M.otmMacAscent, roundHalfAway(V.hhea().Ascender * S));
    EXPECT_EQ(M.otmMacDescent, roundHalfAway(V.hhea().Descender * S));
    EXPECT_EQ(M.otmrcFontBox.left, roundHalfAway(V.head().xMin * S));
    EXPECT_EQ(M.otmrcFontBox.top, roundHalfAway(V.head().yMax * S));
    EXPECT_EQ(M.otmrcFontBox.right, roundHalfAway(V.head().xMax * S));
    EXPECT_EQ(M.otmrcFontBox.bottom, roundHalfAway(V.head().yMin * S));
    EXPECT_EQ(M.otmsUnderscorePosition, roundHalfAway(V.post().underlinePosition * S));
    EXPECT_EQ(M.otmsUnderscoreSize, roundHalfAway(V.post().underlineThickness * S));
    EXPECT_EQ(M.otmsStrikeoutPosition, roundHalfAway(V.os2().yStrikeoutPosition * S));
    EXPECT_EQ(M.otmsXHeight, uint32_t(roundHalfAway(V.os2().sxHeight * S)));
    EXPECT_EQ(M.otmfsSelection & 1u, 1u) << "italic bit of the file's selection flags";
    EXPECT_EQ(M.otmPanoseNumber.bFamilyType, V.os2().panose[0]);
    // post gives the angle in 16.16 degrees; the record in tenths of a degree.
    EXPECT_EQ(M.otmItalicAngle, roundHalfAway(V.post().italicAngle / 65536.0 * 10));
    EXPECT_LT(M.otmItalicAngle, 0) << "italic leans right: a negative angle";
}

TEST(FontOutlineMetrics, UprightFaceHasNoItalicAngle)
{
    OUTLINETEXTMETRICA M;
    ASSERT_TRUE(RealizedFont::Realize(Font("Arial", -12))->OutlineTextMetrics(M));
    EXPECT_EQ(M.otmItalicAngle, 0);
    EXPECT_EQ(M.otmfsSelection & 1u, 0u);
}

} // namespace
