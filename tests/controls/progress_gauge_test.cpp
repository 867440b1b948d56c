//===- progress_gauge_test.cpp - ToaGauge: percentage, bars, pie, needle, bevels, inverted text ===//
#include "tests/controls/ControlsFixture.h"

#include "controls/ToaGauge.h"
#include "platform/ui/graphics/TBitmap.h"
#include "platform/ui/graphics/TCanvas.h"

using namespace controlstest;
using oaGauges::TBevelShape;

namespace {

constexpr TColor Fore = 0x0000FF, Back = 0xFFFFFF, Face = 0xC0C0C0;

class ProgressGaugeTest : public ControlsTest {
protected:
    ToaGauge& MakeGauge(TGaugeKind Kind, int Width, int Height, bool ShowText = false)
    {
        ToaGauge& G = Make<ToaGauge>();
        G.SetBounds(8, 8, Width, Height);
        G.SetKind(Kind);
        G.SetShowText(ShowText);
        G.SetForeColor(Fore);
        G.SetBackColor(Back);
        G.SetColor(Face);
        return G;
    }
};

TEST_F(ProgressGaugeTest, PercentageFollowsProgressWithinTheRange)
{
    ToaGauge& G = Make<ToaGauge>();
    EXPECT_EQ(G.GetWidth(), 50);
    EXPECT_EQ(G.GetHeight(), 50);
    EXPECT_EQ(G.GetPercentDone(), -1) << "before the first paint";
    Shot(G);
    EXPECT_EQ(G.GetPercentDone(), 0);
    G.SetProgress(33);
    EXPECT_EQ(G.GetPercentDone(), 33);
    G.SetProgress(101);
    G.SetProgress(-1);
    EXPECT_EQ(G.GetProgress(), 33) << "values outside MinValue..MaxValue are ignored";
    G.SetMaxValue(66);
    EXPECT_EQ(G.GetPercentDone(), 50);
    G.SetMinValue(33);
    EXPECT_EQ(G.GetPercentDone(), 0);
    G.SetMaxValue(33);
    EXPECT_EQ(G.GetPercentDone(), 0) << "an empty range";
}

TEST_F(ProgressGaugeTest, LargeRangesDoNotOverflow)
{
    ToaGauge& G = Make<ToaGauge>();
    G.SetMaxValue(2000000000);
    G.SetProgress(1000000000);
    EXPECT_EQ(G.GetPercentDone(), 50);
    G.SetMinValue(-2000000000);
    EXPECT_EQ(G.GetPercentDone(), 75);
    G.SetProgress(1999999999);
    EXPECT_EQ(G.GetPercentDone(), 99) << "truncated";
}

TEST_F(ProgressGaugeTest, TheTextIsThePercentageCentred)
{
    ToaGauge& G = MakeGauge(gkText, 80, 30, true);
    G.GetFont()->SetName("Arial");
    G.GetFont()->SetHeight(-14);
    G.SetProgress(33);
    auto Picture = Shot(G);
    // White inside XOR white text: the text shows black on white.
    TBitmap Want;
    Want.SetSize(80, 30);
    TCanvas& C = *Want.GetCanvas();
    C.GetBrush()->SetColor(clWhite);
    C.FillRect(Rect(0, 0, 80, 30));
    C.SetFont(*G.GetFont());
    C.GetFont()->SetColor(clBlack);
    C.GetBrush()->SetStyle(bsClear);
    C.TextOut((80 - C.TextWidth("33%") + 1) / 2, (30 - C.TextHeight("33%") + 1) / 2, "33%");
    int Ink = 0;
    for (int Y = 0; Y < 30; ++Y)
        for (int X = 0; X < 80; ++X) {
            ASSERT_EQ(PixelAt(*Picture, X, Y), static_cast<TColor>(Want.GetDib()->GetPixel(X, Y))) << X << ", " << Y;
            Ink += PixelAt(*Picture, X, Y) == clBlack;
        }
    EXPECT_GT(Ink, 20);
}

TEST_F(ProgressGaugeTest, TheTextIsInvertedOverTheBar)
{
    ToaGauge& G = MakeGauge(gkHorizontalBar, 100, 20, true);
    G.SetForeColor(clBlack);
    G.SetProgress(50);
    auto Picture = Shot(G);
    int WhiteOnBar = 0, BlackOnBack = 0;
    for (int Y = 0; Y < 20; ++Y)
        for (int X = 0; X < 100; ++X) {
            const TColor C = PixelAt(*Picture, X, Y);
            ASSERT_TRUE(C == clBlack || C == clWhite) << Hex(C) << " at " << X << ", " << Y;
            if (X < 50)
                WhiteOnBar += C == clWhite;
            else
                BlackOnBack += C == clBlack;
        }
    EXPECT_GT(WhiteOnBar, 0);
    EXPECT_GT(BlackOnBack, 0);
    G.SetShowText(false);
    Picture = Shot(G);
    EXPECT_EQ(PixelAt(*Picture, 49, 10), clBlack);
    EXPECT_EQ(PixelAt(*Picture, 50, 10), clWhite);
}

TEST_F(ProgressGaugeTest, BarsGrowFromTheLeftAndFromTheBottom)
{
    ToaGauge& H = MakeGauge(gkHorizontalBar, 100, 20);
    H.SetProgress(37);
    auto Picture = Shot(H);
    EXPECT_EQ(PixelAt(*Picture, 0, 10), Fore);
    EXPECT_EQ(PixelAt(*Picture, 36, 19), Fore);
    EXPECT_EQ(PixelAt(*Picture, 37, 0), Back);
    EXPECT_EQ(PixelAt(*Picture, 99, 10), Back);

    ToaGauge& V = MakeGauge(gkVerticalBar, 20, 100);
    V.SetProgress(25);
    Picture = Shot(V);
    EXPECT_EQ(PixelAt(*Picture, 10, 99), Fore);
    EXPECT_EQ(PixelAt(*Picture, 10, 75), Fore);
    EXPECT_EQ(PixelAt(*Picture, 10, 74), Back);
}

TEST_F(ProgressGaugeTest, ThePieGrowsClockwiseFromTwelve)
{
    ToaGauge& G = MakeGauge(gkPie, 50, 50);
    auto Picture = Shot(G);
    EXPECT_EQ(PixelAt(*Picture, 37, 12), Back) << "0 %: no sector";
    EXPECT_EQ(PixelAt(*Picture, 1, 1), Face) << "outside the disc";

    G.SetProgress(25);
    Picture = Shot(G);
    EXPECT_EQ(PixelAt(*Picture, 37, 12), Fore) << "upper right";
    EXPECT_EQ(PixelAt(*Picture, 12, 12), Back) << "upper left";
    EXPECT_EQ(PixelAt(*Picture, 37, 37), Back) << "lower right";
    EXPECT_EQ(PixelAt(*Picture, 12, 37), Back) << "lower left";

    G.SetProgress(50);
    Picture = Shot(G);
    EXPECT_EQ(PixelAt(*Picture, 37, 37), Fore) << "lower right";
    EXPECT_EQ(PixelAt(*Picture, 12, 37), Back) << "lower left";

    G.SetProgress(100);
    Picture = Shot(G);
    for (auto [X, Y] : { std::pair { 37, 12 }, { 12, 12 }, { 37, 37 }, { 12, 37 } })
        EXPECT_EQ(PixelAt(*Picture, X, Y), Fore) << "full disc at " << X << ", " << Y;
    EXPECT_EQ(PixelAt(*Picture, 1, 1), Face);
}

TEST_F(ProgressGaugeTest, TheNeedlePointsAcrossTheUpperHalfDisc)
{
    ToaGauge& G = MakeGauge(gkNeedle, 50, 50);
    auto Picture = Shot(G);
    EXPECT_EQ(PixelAt(*Picture, 24, 35), Back) << "0 %: no needle";
    EXPECT_EQ(PixelAt(*Picture, 35, 40), Back) << "inside the half disc";
    EXPECT_EQ(PixelAt(*Picture, 2, 2), Face) << "outside it";

    G.SetProgress(50);
    Picture = Shot(G);
    EXPECT_EQ(PixelAt(*Picture, 24, 35), Fore) << "50 %: straight up";
    EXPECT_EQ(PixelAt(*Picture, 35, 40), Back);

    // Row 32 crosses the needle left of the middle at 25 % and right of it at 75 %.
    const auto ForeIn = [&](const Dib& P, int From, int To) {
        int N = 0;
        for (int X = From; X <= To; ++X)
            N += PixelAt(P, X, 32) == Fore;
        return N;
    };
    G.SetProgress(25);
    Picture = Shot(G);
    EXPECT_GT(ForeIn(*Picture, 13, 20), 0);
    EXPECT_EQ(ForeIn(*Picture, 29, 36), 0);
    G.SetProgress(75);
    Picture = Shot(G);
    EXPECT_EQ(ForeIn(*Picture, 13, 20), 0);
    EXPECT_GT(ForeIn(*Picture, 29, 36), 0);
}

TEST_F(ProgressGaugeTest, BevelsFrameTheInside)
{
    ToaGauge& G = MakeGauge(gkText, 50, 50);
    G.SetBevel(TBevelShape::bvRaised);
    auto Picture = Shot(G);
    EXPECT_EQ(PixelAt(*Picture, 0, 0), Rgb(clBtnHighlight));
    EXPECT_EQ(PixelAt(*Picture, 0, 30), Rgb(clBtnHighlight));
    EXPECT_EQ(PixelAt(*Picture, 49, 49), Rgb(clBtnShadow));
    EXPECT_EQ(PixelAt(*Picture, 1, 1), Back);

    G.SetBevel(TBevelShape::bvLowered);
    Picture = Shot(G);
    EXPECT_EQ(PixelAt(*Picture, 0, 0), Rgb(clBtnShadow));
    EXPECT_EQ(PixelAt(*Picture, 49, 49), Rgb(clBtnHighlight));

    G.SetBevel(TBevelShape::bvFrame);
    Picture = Shot(G);
    EXPECT_EQ(PixelAt(*Picture, 0, 0), Rgb(clBtnShadow));
    EXPECT_EQ(PixelAt(*Picture, 1, 1), Rgb(clBtnHighlight));
    EXPECT_EQ(PixelAt(*Picture, 48, 48), Rgb(clBtnShadow));
    EXPECT_EQ(PixelAt(*Picture, 49, 49), Rgb(clBtnHighlight));
    EXPECT_EQ(PixelAt(*Picture, 2, 2), Back);

    G.SetBevel(TBevelShape::bvBorder);
    G.SetBevelMargin(3);
    G.SetProgressBevel(TBevelShape::bvBorder);
    Picture = Shot(G);
    EXPECT_EQ(PixelAt(*Picture, 0, 0), clBlack);
    EXPECT_EQ(PixelAt(*Picture, 2, 2), Face) << "the margin";
    EXPECT_EQ(PixelAt(*Picture, 4, 4), clBlack) << "the progress bevel";
    EXPECT_EQ(PixelAt(*Picture, 5, 5), Back);
}

TEST_F(ProgressGaugeTest, ColourChangesRedraw)
{
    ToaGauge& G = MakeGauge(gkPie, 50, 50);
    EXPECT_EQ(PixelAt(*Shot(G), 1, 1), Face);
    G.SetColor(0x00FF00);
    EXPECT_EQ(PixelAt(*Shot(G), 1, 1), 0x00FF00);
    G.SetBackColor(0x00FFFF);
    EXPECT_EQ(PixelAt(*Shot(G), 25, 25), 0x00FFFF);
}

TEST_F(ProgressGaugeTest, AResizedGaugeRedrawsAtItsNewSize)
{
    ToaGauge& G = MakeGauge(gkHorizontalBar, 50, 20);
    G.SetProgress(50);
    Shot(G);
    G.SetWidth(200);
    auto Picture = Shot(G);
    ASSERT_EQ(Picture->Width(), 200);
    EXPECT_EQ(PixelAt(*Picture, 99, 10), Fore);
    EXPECT_EQ(PixelAt(*Picture, 100, 10), Back);
}

} // namespace
