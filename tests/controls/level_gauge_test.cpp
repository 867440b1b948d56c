//===- level_gauge_test.cpp - TMGauge: lit segments, trimmed length, range rules, colours ===//
#include "tests/controls/ControlsFixture.h"

#include "controls/TMGauge.h"

using namespace controlstest;

namespace {

class LevelGaugeTest : public ControlsTest {
protected:
    /// Lit segments of a horizontal gauge, counted at each segment's middle: b = 1, HSpace = 1.
    int LitSegments(TMGauge& Gauge)
    {
        auto Picture = Shot(Gauge);
        const int Pitch = (Gauge.GetWidth() - 2 - Gauge.GetHSpace()) / Gauge.GetSpots();
        int Lit = 0;
        for (int K = 0; K < Gauge.GetSpots(); ++K) {
            const int X = 1 + Gauge.GetHSpace() + K * Pitch + (Pitch - Gauge.GetHSpace()) / 2;
            Lit += PixelAt(*Picture, X, Gauge.GetHeight() / 2) == Rgb(Gauge.GetBarColor());
        }
        return Lit;
    }
};

TEST_F(LevelGaugeTest, ThePaintTrimsTheLengthToWholeSegments)
{
    // Pitch trunc((200 - 2 - 1) / 10 + 0.005) = 19; width 2 + 1 + 190 + 1.
    TMGauge& Gauge = Make<TMGauge>();
    EXPECT_EQ(Gauge.GetWidth(), 200);
    Shot(Gauge);
    EXPECT_EQ(Gauge.GetWidth(), 194);
    EXPECT_EQ(Gauge.GetHeight(), 20);
    Shot(Gauge);
    EXPECT_EQ(Gauge.GetWidth(), 194) << "a trimmed length stays";
}

TEST_F(LevelGaugeTest, SegmentsLightInProportion)
{
    TMGauge& Gauge = Make<TMGauge>();
    EXPECT_EQ(LitSegments(Gauge), 10) << "100 of 0..100";
    Gauge.Setvalue(55);
    EXPECT_EQ(LitSegments(Gauge), 5);
    Gauge.Setvalue(9);
    EXPECT_EQ(LitSegments(Gauge), 0);
    Gauge.Setvalue(30);
    EXPECT_EQ(LitSegments(Gauge), 3) << "exact thirds are not lost to rounding";
}

TEST_F(LevelGaugeTest, SegmentGeometry)
{
    TMGauge& Gauge = Make<TMGauge>();
    Gauge.SetBarColor(0x0000FF);
    Gauge.Setvalue(20);
    auto Picture = Shot(Gauge);
    const int Mid = 10;
    // Segment k covers x = 2 + 19k .. 19 + 19k, rows 2 .. 17.
    EXPECT_EQ(PixelAt(*Picture, 2, Mid), 0x0000FF);
    EXPECT_EQ(PixelAt(*Picture, 19, Mid), 0x0000FF);
    EXPECT_EQ(PixelAt(*Picture, 20, Mid), Rgb(clBtnFace)) << "the gap";
    EXPECT_EQ(PixelAt(*Picture, 21, Mid), 0x0000FF);
    EXPECT_EQ(PixelAt(*Picture, 38, Mid), 0x0000FF);
    EXPECT_EQ(PixelAt(*Picture, 40, Mid), Rgb(clBtnFace)) << "third segment dark";
    EXPECT_EQ(PixelAt(*Picture, 5, 2), 0x0000FF);
    EXPECT_EQ(PixelAt(*Picture, 5, 17), 0x0000FF);
    EXPECT_EQ(PixelAt(*Picture, 5, 1), Rgb(clBtnFace)) << "VSpace above";
    EXPECT_EQ(PixelAt(*Picture, 5, 18), Rgb(clBtnFace)) << "VSpace below";
    // The lowered bevel: shadow at the top left, highlight at the bottom right.
    EXPECT_EQ(PixelAt(*Picture, 0, 0), Rgb(clBtnShadow));
    EXPECT_EQ(PixelAt(*Picture, 193, 19), Rgb(clBtnHighlight));
}

TEST_F(LevelGaugeTest, TheBevelStaysWhenOnlyTheValueChanges)
{
    TMGauge& Gauge = Make<TMGauge>();
    Shot(Gauge);
    Gauge.Setvalue(50);
    Gauge.SetBarColor(clRed);
    Gauge.SetEnabled(false);
    auto Picture = Shot(Gauge);
    EXPECT_EQ(PixelAt(*Picture, 0, 10), Rgb(clBtnShadow));
    EXPECT_EQ(PixelAt(*Picture, 100, 0), Rgb(clBtnShadow));
    EXPECT_EQ(PixelAt(*Picture, 193, 10), Rgb(clBtnHighlight));
    EXPECT_EQ(PixelAt(*Picture, 100, 19), Rgb(clBtnHighlight));
}

TEST_F(LevelGaugeTest, ADisabledBarIsGrey)
{
    TMGauge& Gauge = Make<TMGauge>();
    Gauge.SetBarColor(clRed);
    Gauge.SetEnabled(false);
    EXPECT_EQ(PixelAt(*Shot(Gauge), 10, 10), 0x808080);
    Gauge.SetEnabled(true);
    EXPECT_EQ(PixelAt(*Shot(Gauge), 10, 10), 0x0000FF);
}

TEST_F(LevelGaugeTest, TheRangeHoldsTheValue)
{
    TMGauge& Gauge = Make<TMGauge>();
    Gauge.Setvalue(55);
    Gauge.SetMaxValue(40);
    EXPECT_EQ(Gauge.Getvalue(), 40);
    EXPECT_EQ(LitSegments(Gauge), 10);
    Gauge.SetMinValue(40);
    EXPECT_EQ(Gauge.GetMinValue(), 0) << "equal to the maximum: ignored";
    Gauge.SetMaxValue(0);
    EXPECT_EQ(Gauge.GetMaxValue(), 40) << "equal to the minimum: ignored";
    Gauge.SetMinValue(20);
    Gauge.Setvalue(5);
    EXPECT_EQ(Gauge.Getvalue(), 20);
    Gauge.Setvalue(1000);
    EXPECT_EQ(Gauge.Getvalue(), 40);
}

TEST_F(LevelGaugeTest, NoSpotsStillDrawsOneSegment)
{
    TMGauge& Gauge = Make<TMGauge>();
    Gauge.SetSpots(0);
    EXPECT_EQ(Gauge.GetSpots(), 1);
    Gauge.SetBarColor(clRed);
    auto Picture = Shot(Gauge);
    // One segment: width 2 + 1 + 197 + 1.
    EXPECT_EQ(Gauge.GetWidth(), 201);
    EXPECT_EQ(PixelAt(*Picture, 100, 10), 0x0000FF);
}

TEST_F(LevelGaugeTest, AContinuousBarEndsAtItsFraction)
{
    TMGauge& Gauge = Make<TMGauge>();
    Gauge.SetSpotEnabled(false);
    Gauge.SetBarColor(clRed);
    Gauge.Setvalue(50);
    auto Picture = Shot(Gauge);
    EXPECT_EQ(Gauge.GetWidth(), 200) << "no trimming without segments";
    // From x = 2 to 2 + trunc(0.5 x (200 - 2 - 2 - 1)) = 99.
    EXPECT_EQ(PixelAt(*Picture, 2, 10), 0x0000FF);
    EXPECT_EQ(PixelAt(*Picture, 98, 10), 0x0000FF);
    EXPECT_EQ(PixelAt(*Picture, 99, 10), Rgb(clBtnFace));
}

TEST_F(LevelGaugeTest, AVerticalGaugeFillsFromTheBottom)
{
    TMGauge& Gauge = Make<TMGauge>();
    Gauge.SetBounds(8, 8, 20, 200);
    Gauge.SetBartype(gkvertikal);
    Gauge.SetBarColor(clRed);
    Gauge.Setvalue(30);
    auto Picture = Shot(Gauge);
    EXPECT_EQ(Gauge.GetHeight(), 194);
    EXPECT_EQ(Gauge.GetWidth(), 20);
    // Pitch 19; segment k covers y = 174 - 19k .. 191 - 19k and x = 2 .. 16.
    EXPECT_EQ(PixelAt(*Picture, 9, 191), 0x0000FF) << "lowest segment";
    EXPECT_EQ(PixelAt(*Picture, 9, 174), 0x0000FF) << "lowest segment";
    EXPECT_EQ(PixelAt(*Picture, 9, 192), Rgb(clBtnFace)) << "VSpace";
    EXPECT_EQ(PixelAt(*Picture, 9, 173), Rgb(clBtnFace)) << "gap";
    EXPECT_EQ(PixelAt(*Picture, 9, 160), 0x0000FF) << "second segment";
    EXPECT_EQ(PixelAt(*Picture, 9, 140), 0x0000FF) << "third segment";
    EXPECT_EQ(PixelAt(*Picture, 9, 130), Rgb(clBtnFace)) << "fourth segment dark";
    EXPECT_EQ(PixelAt(*Picture, 16, 191), 0x0000FF);
    EXPECT_EQ(PixelAt(*Picture, 17, 191), Rgb(clBtnFace)) << "one column short of HSpace";
}

TEST_F(LevelGaugeTest, BevelsAndBordersWidenTheFrame)
{
    TMGauge& Gauge = Make<TMGauge>();
    Gauge.SetBevelOuter(bvRaised);
    Gauge.SetBorderWidth(2);
    Gauge.SetBarColor(clRed);
    auto Picture = Shot(Gauge);
    // b = 2 + 1 + 1: pitch trunc((200 - 8 - 1) / 10 + 0.005) = 19, width 8 + 1 + 190 + 1.
    EXPECT_EQ(Gauge.GetWidth(), 200);
    EXPECT_EQ(PixelAt(*Picture, 4, 10), Rgb(clBtnFace)) << "HSpace";
    EXPECT_EQ(PixelAt(*Picture, 5, 10), 0x0000FF) << "first segment";
    EXPECT_EQ(PixelAt(*Picture, 0, 0), Rgb(clBtnHighlight)) << "raised outer bevel";
}

} // namespace
