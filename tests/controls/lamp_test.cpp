//===- lamp_test.cpp - The lamp: colours, shapes, the grey of a disabled lamp, square sizing ===//
#include "tests/controls/ControlsFixture.h"

#include "controls/TMled.h"
#include "platform/ui/graphics/TBitmap.h"

using namespace controlstest;

namespace {

constexpr TColor StripBody = 0x0000FF, StripSurroundings = 0x008080;

class LampTest : public ControlsTest {
protected:
    /// Every pixel of the 15 x 15 lamp against shape Typ of the strip: the body in Body, the
    /// surroundings in Frame, shading pixels as drawn. Answers the first difference.
    std::string CompareWithShape(const Dib& Picture, int Typ, TColor Body, TColor Frame)
    {
        auto Strip = LoadStrip("ALLED");
        for (int Y = 0; Y < 15; ++Y)
            for (int X = 0; X < 15; ++X) {
                TColor Want = static_cast<TColor>(Strip->GetDib()->GetPixel(15 * Typ + X, Y));
                Want = Want == StripSurroundings ? Rgb(Frame) : Want;
                Want = Want == StripBody ? Rgb(Body) : Want;
                if (PixelAt(Picture, X, Y) != Want)
                    return "pixel (" + std::to_string(X) + ", " + std::to_string(Y)
                           + "): " + Hex(PixelAt(Picture, X, Y)) + ", expected " + Hex(Want);
            }
        return "";
    }
};

TEST_F(LampTest, ADarkLampShowsTheShapeInItsOffColourOnTheFrameColour)
{
    TMled& Led = Make<TMled>();
    EXPECT_EQ(Led.GetWidth(), 15);
    EXPECT_EQ(Led.GetHeight(), 15);
    EXPECT_EQ(CompareWithShape(*Shot(Led), 0, 0x808080, clSilver), "");
}

TEST_F(LampTest, ALitLampShowsTheBodyInItsOnColourAndKeepsTheShading)
{
    TMled& Led = Make<TMled>();
    Led.SetLedOnColor(TLedOnColors::Gruen);
    Led.SetLedOn(true);
    auto Picture = Shot(Led);
    EXPECT_EQ(CompareWithShape(*Picture, 0, 0x00FF00, clSilver), "");
    // Shape 0 is bevelled: some pixels are neither body nor surroundings.
    int Shading = 0;
    for (int Y = 0; Y < 15; ++Y)
        for (int X = 0; X < 15; ++X)
            if (TColor C = PixelAt(*Picture, X, Y); C != 0x00FF00 && C != clSilver)
                ++Shading;
    EXPECT_GT(Shading, 0);
}

TEST_F(LampTest, EveryOnAndOffColourReachesTheBody)
{
    TMled& Led = Make<TMled>();
    Led.SetLedTyp(4); // a plain square: the centre is body
    const TColor OnValues[] = { 0xC0C0C0, 0x0000FF, 0x00FF00, 0x00FFFF, 0xFF0000, 0xFF00FF, 0xFFFF00, 0xFFFFFF };
    const TColor OffValues[] = { 0x000000, 0x000080, 0x008000, 0x008080, 0x800000, 0x800080, 0x808000, 0x808080 };
    Led.SetLedOn(true);
    for (int I = 0; I < 8; ++I) {
        Led.SetLedOnColor(static_cast<TLedOnColors>(I));
        EXPECT_EQ(PixelAt(*Shot(Led), 7, 7), OnValues[I]) << "on colour " << I;
    }
    Led.SetLedOn(false);
    for (int I = 0; I < 8; ++I) {
        Led.SetLedOffColor(static_cast<TLedOffColors>(I));
        EXPECT_EQ(PixelAt(*Shot(Led), 7, 7), OffValues[I]) << "off colour " << I;
    }
}

TEST_F(LampTest, TheFrameColourReplacesTheSurroundings)
{
    TMled& Led = Make<TMled>();
    Led.SetLedframeColor(0x123456);
    EXPECT_EQ(CompareWithShape(*Shot(Led), 0, 0x808080, 0x123456), "");
    // Forms give their panel's face colour, a system colour.
    Led.SetLedframeColor(clBtnFace);
    EXPECT_EQ(PixelAt(*Shot(Led), 0, 0), Rgb(clBtnFace));
}

TEST_F(LampTest, ARedFrameColourIsRecolouredWithTheBody)
{
    // The frame layer is made first, so surroundings turned pure red count as body next.
    TMled& Led = Make<TMled>();
    Led.SetLedframeColor(clRed);
    Led.SetLedOn(true);
    Led.SetLedOnColor(TLedOnColors::Blau);
    EXPECT_EQ(PixelAt(*Shot(Led), 0, 0), 0xFF0000);
}

TEST_F(LampTest, ADisabledLampIsGreyOnOrOff)
{
    TMled& Led = Make<TMled>();
    Led.SetLedTyp(4);
    Led.SetLedOnColor(TLedOnColors::Gelb);
    Led.SetLedOffColor(TLedOffColors::dBlau);
    Led.SetEnabled(false);
    EXPECT_EQ(PixelAt(*Shot(Led), 7, 7), 0x808080);
    Led.SetLedOn(true);
    EXPECT_EQ(PixelAt(*Shot(Led), 7, 7), 0x808080);
    Led.SetEnabled(true);
    EXPECT_EQ(PixelAt(*Shot(Led), 7, 7), 0x00FFFF);
    Led.SetLedOn(false);
    EXPECT_EQ(PixelAt(*Shot(Led), 7, 7), 0x800000);
}

TEST_F(LampTest, LedOnAndLedStatusStayInStep)
{
    TMled& Led = Make<TMled>();
    Led.SetLedStatus(lOn);
    EXPECT_TRUE(Led.GetLedOn());
    Led.SetLedOn(true); // equal: nothing changes
    EXPECT_EQ(Led.GetLedStatus(), lOn);
    Led.SetLedOn(false);
    EXPECT_EQ(Led.GetLedStatus(), lOff);
    EXPECT_FALSE(Led.GetLedOn());
}

TEST_F(LampTest, LedTypPastTheLastShapeStoresTheLastShape)
{
    TMled& Led = Make<TMled>();
    Led.SetLedTyp(200);
    EXPECT_EQ(Led.GetLedTyp(), 7);
    EXPECT_EQ(CompareWithShape(*Shot(Led), 7, 0x808080, clSilver), "");
    Led.SetLedTyp(3);
    EXPECT_EQ(Led.GetLedTyp(), 3);
    EXPECT_EQ(CompareWithShape(*Shot(Led), 3, 0x808080, clSilver), "");
}

TEST_F(LampTest, TheLampStaysSquareAndStretchesItsImage)
{
    TMled& Led = Make<TMled>();
    Led.SetLedTyp(4); // square body from (2, 2) to (12, 12) of 15
    Led.SetLedOn(true);
    Led.SetBounds(Led.GetLeft(), Led.GetTop(), 40, 25);
    EXPECT_EQ(Led.GetWidth(), 25);
    EXPECT_EQ(Led.GetHeight(), 25);
    auto Picture = Shot(Led);
    ASSERT_EQ(Picture->Width(), 25);
    EXPECT_EQ(PixelAt(*Picture, 0, 0), clSilver);
    EXPECT_EQ(PixelAt(*Picture, 24, 24), clSilver);
    EXPECT_EQ(PixelAt(*Picture, 12, 12), 0x0000FF);
    // The body covers 11 of 15 columns; stretched, about 18 of 25.
    int Body = 0;
    for (int X = 0; X < 25; ++X)
        Body += PixelAt(*Picture, X, 12) == 0x0000FF;
    EXPECT_GE(Body, 17);
    EXPECT_LE(Body, 20);
}

} // namespace
