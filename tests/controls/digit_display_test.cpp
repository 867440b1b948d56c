//===- digit_display_test.cpp - TMLCD: text, limits, hexadecimal, glyphs drawn per cell ===//
#include "tests/controls/ControlsFixture.h"

#include "controls/TMLCD.h"
#include "platform/ui/graphics/TBitmap.h"

using namespace controlstest;

namespace {

constexpr int Cell = 13;
// Glyph indexes of the strip.
constexpr int Blank = 16, Minus = 17;

class DigitDisplayTest : public ControlsTest {
protected:
    /// Each cell of the display against its glyph of the strip, recoloured with the display's colours.
    void ExpectGlyphs(TMLCD& Lcd, const std::vector<int>& Glyphs)
    {
        auto Picture = Shot(Lcd);
        auto Strip = LoadStrip("LCDDIGITS");
        ASSERT_EQ(Picture->Width(), Cell * static_cast<int>(Glyphs.size()));
        for (size_t I = 0; I < Glyphs.size(); ++I)
            EXPECT_EQ(CompareWithStrip(*Picture, Cell * static_cast<int>(I), 0, Cell, 23, *Strip, Cell * Glyphs[I],
                                       LCDColorValue(Lcd.GetLCDOnColor()), LCDColorValue(Lcd.GetLCDOffColor()),
                                       Lcd.GetLCDframeColor()),
                      "")
                << "cell " << I << " should show glyph " << Glyphs[I];
    }
};

TEST_F(DigitDisplayTest, DefaultsAreFourCellsOfThirteenPixels)
{
    TMLCD& Lcd = Make<TMLCD>();
    EXPECT_EQ(Lcd.GetHeight(), 23);
    EXPECT_EQ(Lcd.GetWidth(), 52);
    ExpectGlyphs(Lcd, { Blank, Blank, Blank, 0 });
    EXPECT_EQ(Lcd.GetValueString(), "   0");
}

struct TextRow {
    const char* Name;
    int Digits;
    TLcdFormat Format;
    int32_t Value;
    const char* Text;
};

TEST_F(DigitDisplayTest, ValuesAreClampedToWhatTheCellsHold)
{
    const TextRow Rows[] = {
        { "too large", 4, TLcdFormat::DEZ, 12345, "9999" },
        { "too small", 4, TLcdFormat::DEZ, -12345, "-999" },
        { "negative in one cell", 1, TLcdFormat::DEZ, -5, "0" },
        { "right-aligned", 5, TLcdFormat::DEZ, 42, "   42" },
        { "negative fits", 4, TLcdFormat::DEZ, -42, " -42" },
        { "ten digits hold any integer", 10, TLcdFormat::DEZ, 2147483647, "2147483647" },
        { "ten digits, most negative", 10, TLcdFormat::DEZ, -2147483647 - 1, "-999999999" },
        { "nine digits", 9, TLcdFormat::DEZ, 2147483647, "999999999" },
        { "hex, leading zeros blank", 4, TLcdFormat::HEX, 255, "  FF" },
        { "hex zero keeps the last cell", 4, TLcdFormat::HEX, 0, "   0" },
        { "hex too large", 4, TLcdFormat::HEX, 70000, "FFFF" },
        { "hex negative, last digits", 4, TLcdFormat::HEX, -1, "FFFF" },
        { "hex one cell", 1, TLcdFormat::HEX, 9, "9" },
        { "hex eight digits", 8, TLcdFormat::HEX, 0x7FFFFFFF, "7FFFFFFF" },
        { "hex eight digits, negative", 8, TLcdFormat::HEX, -2147483647 - 1, "80000001" },
        { "hex ten digits", 10, TLcdFormat::HEX, 0xABC, "       ABC" },
    };
    TMLCD& Lcd = Make<TMLCD>();
    for (const TextRow& R : Rows) {
        Lcd.SetNumOfDigits(static_cast<uint16_t>(R.Digits));
        Lcd.SetFormat(R.Format);
        Lcd.SetValue(R.Value);
        Shot(Lcd);
        EXPECT_EQ(Lcd.GetValueString(), R.Text) << R.Name;
    }
}

TEST_F(DigitDisplayTest, EachCellShowsTheGlyphOfItsCharacter)
{
    TMLCD& Lcd = Make<TMLCD>();
    Lcd.SetValue(-12345);
    ExpectGlyphs(Lcd, { Minus, 9, 9, 9 });
    Lcd.SetFormat(TLcdFormat::HEX);
    Lcd.SetNumOfDigits(6);
    Lcd.SetValue(0xABCDEF);
    ExpectGlyphs(Lcd, { 10, 11, 12, 13, 14, 15 });
    Lcd.SetValue(0x2078);
    ExpectGlyphs(Lcd, { Blank, Blank, 2, 0, 7, 8 });
}

TEST_F(DigitDisplayTest, ADarkOrDisabledDisplayShowsBlanks)
{
    TMLCD& Lcd = Make<TMLCD>();
    Lcd.SetValue(1234);
    ExpectGlyphs(Lcd, { 1, 2, 3, 4 });
    Lcd.SetLCDOn(false);
    ExpectGlyphs(Lcd, { Blank, Blank, Blank, Blank });
    EXPECT_EQ(Lcd.GetValueString(), std::string(10, ' '));
    Lcd.SetLCDOn(true);
    ExpectGlyphs(Lcd, { 1, 2, 3, 4 });
    Lcd.SetEnabled(false);
    ExpectGlyphs(Lcd, { Blank, Blank, Blank, Blank });
    Lcd.SetEnabled(true);
    EXPECT_EQ(Lcd.GetValueString(), "1234");
    ExpectGlyphs(Lcd, { 1, 2, 3, 4 });
}

TEST_F(DigitDisplayTest, SegmentsTakeTheirColoursAndTheBackgroundTheFrameColour)
{
    constexpr TColor Unchecked = -1;
    struct Row {
        const char* Name;
        TLCDColors On, Off;
        TColor Frame, DarkA, LitB;
    };
    const Row Rows[] = {
        { "own colours", TLCDColors::Gruen, TLCDColors::dBlau, 0x203040, 0x800000, 0x00FF00 },
        // Unlit segments turn red first, and red is what the next step recolours.
        { "an off colour of pure red shows as the on colour", TLCDColors::Gruen, TLCDColors::Rot, clBlack, 0x00FF00,
          0x00FF00 },
        { "black lit segments show as the frame colour", TLCDColors::Schwarz, TLCDColors::dGelb, 0x405060, Unchecked,
          0x405060 },
        { "black dark segments show as the frame colour", TLCDColors::Gelb, TLCDColors::Schwarz, 0x405060, 0x405060,
          0x00FFFF },
    };
    for (const Row& R : Rows) {
        TMLCD& Lcd = Make<TMLCD>();
        Lcd.SetNumOfDigits(1);
        Lcd.SetValue(1); // segments b and c lit, a dark
        Lcd.SetLCDOnColor(R.On);
        Lcd.SetLCDOffColor(R.Off);
        Lcd.SetLCDframeColor(R.Frame);
        auto Picture = Shot(Lcd);
        if (R.DarkA != Unchecked) {
            EXPECT_EQ(PixelAt(*Picture, 6, 2), R.DarkA) << R.Name << ": segment a";
        }
        EXPECT_EQ(PixelAt(*Picture, 10, 6), R.LitB) << R.Name << ": segment b";
        EXPECT_EQ(PixelAt(*Picture, 0, 0), R.Frame) << R.Name << ": background";
    }
}

TEST_F(DigitDisplayTest, DigitCountIsOneToTenAndSetsTheWidth)
{
    TMLCD& Lcd = Make<TMLCD>();
    Lcd.SetNumOfDigits(0);
    EXPECT_EQ(Lcd.GetNumOfDigits(), 1);
    EXPECT_EQ(Lcd.GetWidth(), 13);
    Lcd.SetNumOfDigits(12);
    EXPECT_EQ(Lcd.GetNumOfDigits(), 10);
    EXPECT_EQ(Lcd.GetWidth(), 130);
}

TEST_F(DigitDisplayTest, TheWidthFollowsTheHeight)
{
    TMLCD& Lcd = Make<TMLCD>();
    Lcd.SetBounds(Lcd.GetLeft(), Lcd.GetTop(), 500, 46);
    EXPECT_EQ(Lcd.GetWidth(), 4 * 26);
    Lcd.SetHeight(30); // trunc(30 x 13 / 23) = 16
    EXPECT_EQ(Lcd.GetWidth(), 4 * 16);
    Lcd.SetWidth(10);
    EXPECT_EQ(Lcd.GetWidth(), 4 * 16);
}

TEST_F(DigitDisplayTest, ATallDisplayStretchesEachGlyphOverItsCell)
{
    TMLCD& Lcd = Make<TMLCD>();
    Lcd.SetNumOfDigits(1);
    Lcd.SetHeight(46);
    Lcd.SetValue(8);
    auto Picture = Shot(Lcd);
    ASSERT_EQ(Picture->Width(), 26);
    EXPECT_EQ(PixelAt(*Picture, 12, 22), 0x00FFFF) << "middle segment, scaled twice";
    EXPECT_EQ(PixelAt(*Picture, 12, 4), 0x00FFFF) << "top segment";
    EXPECT_EQ(PixelAt(*Picture, 0, 0), 0x000000);
}

} // namespace
