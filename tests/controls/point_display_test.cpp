//===- point_display_test.cpp - TMPLCD: decimals, the point in its digit's cell, narrow cells ===//
#include "tests/controls/ControlsFixture.h"

#include "controls/TMPLCD.h"
#include "platform/ui/graphics/TBitmap.h"

using namespace controlstest;

namespace {

// Glyph indexes of the strip; a glyph with the point is the plain one + 12.
constexpr int Blank = 10, Minus = 11, Point = 12;
constexpr int Full = 16, Narrow = 13;

/// One cell: where it starts, which glyph, and whether the point columns are left out.
struct CellAt {
    int X;
    int Glyph;
    bool Narrowed;
};

class PointDisplayTest : public ControlsTest {
protected:
    /// The cells in order, then the frame colour from the end of the last cell to the width;
    /// when FirstX is above 0 the columns before it are frame colour too.
    void ExpectCells(TMPLCD& Lcd, const std::vector<CellAt>& Cells)
    {
        auto Picture = Shot(Lcd);
        auto Strip = LoadStrip("LCDPDIGITS");
        const TColor On = LCDColorValue(Lcd.GetLCDOnColor()), Off = LCDColorValue(Lcd.GetLCDOffColor());
        const TColor Frame = Lcd.GetLCDframeColor();
        ASSERT_EQ(Picture->Width(), Lcd.GetWidth());
        for (int X = 0; X < Cells.front().X; ++X)
            EXPECT_EQ(PixelAt(*Picture, X, 11), Rgb(Frame)) << "gap column " << X;
        int End = 0;
        for (const CellAt& C : Cells) {
            const int W = C.Narrowed ? Narrow : Full;
            const int SX = Full * C.Glyph + (C.Narrowed ? Full - Narrow : 0);
            EXPECT_EQ(CompareWithStrip(*Picture, C.X, 0, W, 23, *Strip, SX, On, Off, Frame), "")
                << "cell at " << C.X << " should show glyph " << C.Glyph;
            End = C.X + W;
        }
        for (int X = End; X < Picture->Width(); ++X)
            for (int Y = 0; Y < 23; ++Y)
                ASSERT_EQ(PixelAt(*Picture, X, Y), Rgb(Frame)) << "tail column " << X;
    }
};

TEST_F(PointDisplayTest, DefaultWidthsWithAndWithoutNarrowCells)
{
    TMPLCD& Lcd = Make<TMPLCD>();
    EXPECT_EQ(Lcd.GetHeight(), 23);
    EXPECT_EQ(Lcd.GetWidth(), 56);
    Lcd.SetAutoDist(false);
    EXPECT_EQ(Lcd.GetWidth(), 66);
}

TEST_F(PointDisplayTest, ThePointSharesTheCellOfTheDigitAfterIt)
{
    TMPLCD& Lcd = Make<TMPLCD>();
    Lcd.SetNumOfDecimals(1);
    Lcd.SetValue(12.5);
    ExpectCells(Lcd, { { 0, Blank, true }, { 13, 1, true }, { 26, 2, true }, { 39, 5 + Point, false } });
}

TEST_F(PointDisplayTest, AValueAtTheLimitShowsTheLimitWithoutDecimals)
{
    TMPLCD& Lcd = Make<TMPLCD>();
    Lcd.SetNumOfDecimals(1);
    Lcd.SetValue(9999.7);
    ExpectCells(Lcd, { { 1, 9, true }, { 14, 9, true }, { 27, 9, true }, { 40, 9, true } });
    Lcd.SetValue(-12345.6); // a sign takes a cell: -999
    ExpectCells(Lcd, { { 1, Minus, true }, { 14, 9, true }, { 27, 9, true }, { 40, 9, true } });
}

TEST_F(PointDisplayTest, NegativeValuesShowTheirSign)
{
    TMPLCD& Lcd = Make<TMPLCD>();
    Lcd.SetNumOfDecimals(1);
    Lcd.SetValue(-5);
    ExpectCells(Lcd, { { 0, Blank, true }, { 13, Minus, true }, { 26, 5, true }, { 39, 0 + Point, false } });
}

TEST_F(PointDisplayTest, APureFractionDropsItsLeadingZero)
{
    TMPLCD& Lcd = Make<TMPLCD>();
    Lcd.SetNumOfDigits(3);
    Lcd.SetNumOfDecimals(3);
    EXPECT_EQ(Lcd.GetWidth(), 3 * 13 + 4);
    Lcd.SetValue(0.5);
    ExpectCells(Lcd, { { 0, 5 + Point, false }, { 16, 0, true }, { 29, 0, true } });
}

TEST_F(PointDisplayTest, TenDecimalsOfTenDigitsEndInABlank)
{
    // The text holds eleven characters; the walk asks for twelve and the missing one is blank.
    TMPLCD& Lcd = Make<TMPLCD>();
    Lcd.SetNumOfDigits(10);
    Lcd.SetNumOfDecimals(10);
    Lcd.SetValue(0.5);
    std::vector<CellAt> Cells { { 0, 5 + Point, false } };
    for (int I = 0; I < 8; ++I)
        Cells.push_back({ 16 + 13 * I, 0, true });
    Cells.push_back({ 16 + 13 * 8, Blank, true });
    ExpectCells(Lcd, Cells);
}

TEST_F(PointDisplayTest, WithoutNarrowCellsEveryCellIsFullWidth)
{
    TMPLCD& Lcd = Make<TMPLCD>();
    Lcd.SetAutoDist(false);
    Lcd.SetNumOfDecimals(1);
    Lcd.SetValue(12.5);
    ExpectCells(Lcd, { { 0, Blank, false }, { 16, 1, false }, { 32, 2, false }, { 48, 5 + Point, false } });
    Lcd.SetNumOfDecimals(0);
    Lcd.SetValue(42);
    ExpectCells(Lcd, { { 0, Blank, false }, { 16, Blank, false }, { 32, 4, false }, { 48, 2, false } });
}

TEST_F(PointDisplayTest, ADarkDisplayShowsBlanksAndComesBack)
{
    TMPLCD& Lcd = Make<TMPLCD>();
    Lcd.SetNumOfDecimals(1);
    Lcd.SetValue(12.5);
    Lcd.SetLCDOn(false);
    ExpectCells(Lcd, { { 1, Blank, true }, { 14, Blank, true }, { 27, Blank, true }, { 40, Blank, true } });
    Lcd.SetLCDOn(true);
    ExpectCells(Lcd, { { 0, Blank, true }, { 13, 1, true }, { 26, 2, true }, { 39, 5 + Point, false } });
    Lcd.SetEnabled(false);
    ExpectCells(Lcd, { { 1, Blank, true }, { 14, Blank, true }, { 27, Blank, true }, { 40, Blank, true } });
}

TEST_F(PointDisplayTest, DecimalsNeverExceedTheDigits)
{
    TMPLCD& Lcd = Make<TMPLCD>();
    Lcd.SetNumOfDecimals(6);
    EXPECT_EQ(Lcd.GetNumOfDecimals(), 4);
    Lcd.SetNumOfDigits(2);
    EXPECT_EQ(Lcd.GetNumOfDecimals(), 2);
    Lcd.SetNumOfDigits(0);
    EXPECT_EQ(Lcd.GetNumOfDigits(), 1);
    EXPECT_EQ(Lcd.GetNumOfDecimals(), 1);
    Lcd.SetNumOfDigits(12);
    EXPECT_EQ(Lcd.GetNumOfDigits(), 10);
    EXPECT_EQ(Lcd.GetWidth(), 10 * 13 + 4);
}

TEST_F(PointDisplayTest, ColoursFollowTheSameChainAsTheIntegerDisplay)
{
    TMPLCD& Lcd = Make<TMPLCD>();
    Lcd.SetNumOfDigits(1);
    Lcd.SetValue(1); // b and c lit; the glyph starts 3 columns into its cell
    Lcd.SetLCDOnColor(TLCDColors::Cyan);
    Lcd.SetLCDOffColor(TLCDColors::Rot);
    Lcd.SetLCDframeColor(0x111111);
    auto Picture = Shot(Lcd);
    // Narrow cell after a one-column gap: glyph column c sits at 1 + c.
    EXPECT_EQ(PixelAt(*Picture, 1 + 6, 2), 0xFFFF00) << "dark segment a shows the on colour";
    EXPECT_EQ(PixelAt(*Picture, 1 + 10, 6), 0xFFFF00) << "segment b";
    EXPECT_EQ(PixelAt(*Picture, 0, 11), 0x111111) << "gap";
}

} // namespace
