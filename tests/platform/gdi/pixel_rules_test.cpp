//===- pixel_rules_test.cpp - Lines, shapes and fills keep the original's pixels -===//
#include "DcTestSupport.h"

#include <gtest/gtest.h>

#include <climits>
#include <vector>

using gditest::Canvas;
using gditest::Selected;

namespace {

constexpr COLORREF Black = 0, White = 0xFFFFFF, Red = RGB(255, 0, 0), Blue = RGB(0, 0, 255);

// Runs of pen pixels along row Y from X0 to X1: their lengths, in order.
std::vector<int> runs(const Canvas& C, int Y, int X0, int X1, COLORREF Colour)
{
    std::vector<int> out;
    int length = 0;
    for (int x = X0; x < X1; ++x) {
        if (C.at(x, Y) == Colour) {
            ++length;
        } else if (length) {
            out.push_back(length);
            length = 0;
        }
    }
    if (length)
        out.push_back(length);
    return out;
}

// Fills in black without an outline, as the fill-rule tests draw.
void fillBlackWithoutPen(std::initializer_list<Canvas*> Canvases)
{
    for (Canvas* c : Canvases) {
        SelectObject(c->dc(), GetStockObject(NULL_PEN));
        SelectObject(c->dc(), GetStockObject(BLACK_BRUSH));
    }
}

} // namespace

TEST(Lines, LineToLeavesOutItsEndPixel)
{
    Canvas c(20, 20);
    MoveToEx(c.dc(), 2, 5, nullptr);
    LineTo(c.dc(), 12, 5);
    for (int x = 2; x < 12; ++x)
        EXPECT_EQ(c.at(x, 5), Black) << "x " << x;
    EXPECT_EQ(c.at(12, 5), White);
    EXPECT_EQ(c.count(Black), 10);
    POINT p;
    GetCurrentPositionEx(c.dc(), &p);
    EXPECT_EQ(p.x, 12);
    EXPECT_EQ(p.y, 5);
}

TEST(Lines, DiagonalAndSteepLinesStepOnePixelPerRowOrColumn)
{
    Canvas c(20, 20);
    MoveToEx(c.dc(), 0, 0, nullptr);
    LineTo(c.dc(), 10, 10);
    for (int i = 0; i < 10; ++i)
        EXPECT_EQ(c.at(i, i), Black) << i;
    EXPECT_EQ(c.count(Black), 10);

    Canvas steep(20, 20);
    MoveToEx(steep.dc(), 3, 1, nullptr);
    LineTo(steep.dc(), 6, 16);
    EXPECT_EQ(steep.count(Black), 15); // one pixel per row, the last row left out
    RECT ink = steep.inkBounds();
    EXPECT_EQ(ink.top, 1);
    EXPECT_EQ(ink.bottom, 16);
}

TEST(Lines, PolylineJoinsSegmentsWithoutLeavingGaps)
{
    Canvas c(20, 20);
    POINT points[] = { { 1, 1 }, { 10, 1 }, { 10, 10 }, { 1, 10 } };
    ASSERT_TRUE(Polyline(c.dc(), points, 4));
    EXPECT_EQ(c.count(Black), 27); // three segments of 9, the very last pixel left out
    EXPECT_EQ(c.at(10, 1), Black);
    EXPECT_EQ(c.at(1, 10), White);
    EXPECT_FALSE(Polyline(c.dc(), points, 1));
}

TEST(Lines, FarAwayCoordinatesDrawTheirVisiblePart)
{
    Canvas c(20, 20);
    MoveToEx(c.dc(), -2000000000, 5, nullptr);
    LineTo(c.dc(), 2000000000, 5);
    EXPECT_EQ(c.count(Black), 20);
    Selected brush(c.dc(), CreateSolidBrush(Blue));
    Ellipse(c.dc(), -1000000000, -1000000000, 1000000000, 1000000000);
    EXPECT_EQ(c.count(Blue), 400) << "the picture lies deep inside the ellipse";
    Selected pen(c.dc(), CreatePen(PS_DASH, 1, Red));
    MoveToEx(c.dc(), 10, -1000000000, nullptr);
    LineTo(c.dc(), 10, 1000000000);
    int dashes = 0;
    for (int y = 0; y < 20; ++y)
        dashes += c.at(10, y) == Red;
    EXPECT_GT(dashes, 0);
}

TEST(Lines, PenOfWidthZeroOrOneDrawsOnePixelWide)
{
    for (int width : { 0, 1 }) {
        Canvas c(20, 20);
        Selected pen(c.dc(), CreatePen(PS_SOLID, width, Red));
        MoveToEx(c.dc(), 2, 8, nullptr);
        LineTo(c.dc(), 15, 8);
        EXPECT_EQ(c.count(Red), 13) << "width " << width;
    }
}

TEST(Lines, OnePixelDashedPenDrawsDashesAndTwoPixelOneDrawsSolid)
{
    Canvas c(100, 20);
    SetBkMode(c.dc(), TRANSPARENT);
    {
        Selected pen(c.dc(), CreatePen(PS_DASH, 1, Blue));
        MoveToEx(c.dc(), 0, 5, nullptr);
        LineTo(c.dc(), 100, 5);
    }
    std::vector<int> dashes = runs(c, 5, 0, 100, Blue);
    ASSERT_GE(dashes.size(), 3u);
    EXPECT_EQ(dashes[0], 18);
    EXPECT_EQ(dashes[1], 18);
    EXPECT_EQ(c.at(19, 5), White) << "the gaps stay untouched in TRANSPARENT mode";

    {
        Selected pen(c.dc(), CreatePen(PS_DASH, 2, Blue));
        MoveToEx(c.dc(), 0, 12, nullptr);
        LineTo(c.dc(), 100, 12);
    }
    for (int y = 10; y < 15; ++y) {
        std::vector<int> r = runs(c, y, 0, 100, Blue);
        if (!r.empty()) {
            EXPECT_EQ(r.size(), 1u) << "row " << y << " of the wide pen is one run";
        }
    }
    std::vector<int> solid = runs(c, 12, 0, 100, Blue);
    ASSERT_EQ(solid.size(), 1u);
    EXPECT_GE(solid[0], 99);
}

TEST(Lines, DashGapsTakeTheBackgroundColourInOpaqueMode)
{
    Canvas c(60, 10);
    SetBkColor(c.dc(), RGB(0, 255, 0));
    Selected pen(c.dc(), CreatePen(PS_DOT, 1, Red));
    MoveToEx(c.dc(), 0, 4, nullptr);
    LineTo(c.dc(), 60, 4);
    EXPECT_EQ(c.at(0, 4), Red);
    EXPECT_EQ(c.at(3, 4), RGB(0, 255, 0));
    EXPECT_EQ(c.count(White), 60 * 10 - 60);
}

TEST(Shapes, RectangleCoversLeftTopUpToRightBottomMinusOne)
{
    Canvas c(20, 20);
    Selected brush(c.dc(), CreateSolidBrush(Blue));
    ASSERT_TRUE(Rectangle(c.dc(), 0, 0, 10, 10));
    RECT ink = c.inkBounds();
    EXPECT_EQ(ink.left, 0);
    EXPECT_EQ(ink.top, 0);
    EXPECT_EQ(ink.right, 10);
    EXPECT_EQ(ink.bottom, 10);
    EXPECT_EQ(c.count(Black), 36); // the one-pixel frame
    EXPECT_EQ(c.count(Blue), 64);  // the inside
    EXPECT_EQ(c.at(9, 9), Black);
    EXPECT_EQ(c.at(10, 10), White);
}

TEST(Shapes, RectangleWithTheNullPenFillsOnePixelLessToTheRightAndBottom)
{
    Canvas c(20, 20);
    Selected brush(c.dc(), CreateSolidBrush(Blue));
    SelectObject(c.dc(), GetStockObject(NULL_PEN));
    Rectangle(c.dc(), 2, 2, 12, 12);
    EXPECT_EQ(c.count(Blue), 81);
    EXPECT_EQ(c.at(10, 10), Blue);
    EXPECT_EQ(c.at(11, 11), White);
}

TEST(Shapes, FillRectExcludesRightAndBottomAndIgnoresPenAndMixMode)
{
    Canvas c(20, 20);
    SetROP2(c.dc(), R2_XORPEN);
    HBRUSH red = CreateSolidBrush(Red);
    RECT r { 3, 4, 13, 9 };
    EXPECT_EQ(FillRect(c.dc(), r, red), 1);
    DeleteObject(red);
    EXPECT_EQ(c.count(Red), 10 * 5);
    RECT ink = c.inkBounds();
    EXPECT_EQ(ink.right, 13);
    EXPECT_EQ(ink.bottom, 9);
}

TEST(Shapes, FillRectTakesSystemColourBrushNumbers)
{
    Canvas c(4, 4);
    RECT r { 0, 0, 4, 4 };
    FillRect(c.dc(), r, reinterpret_cast<HBRUSH>(uintptr_t(COLOR_BTNFACE + 1)));
    EXPECT_EQ(c.count(0xC0C0C0), 16);
}

TEST(Shapes, FrameRectDrawsOnePixelInsideTheRectangle)
{
    Canvas c(12, 12);
    HBRUSH red = CreateSolidBrush(Red);
    RECT r { 1, 1, 11, 11 };
    FrameRect(c.dc(), r, red);
    DeleteObject(red);
    EXPECT_EQ(c.count(Red), 36);
    EXPECT_EQ(c.at(1, 1), Red);
    EXPECT_EQ(c.at(10, 10), Red);
    EXPECT_EQ(c.at(5, 5), White);
}

TEST(Shapes, EllipseStaysInsideItsBoxAndTouchesEverySide)
{
    Canvas c(30, 30);
    Selected brush(c.dc(), CreateSolidBrush(Blue));
    Ellipse(c.dc(), 5, 5, 25, 17);
    RECT ink = c.inkBounds();
    EXPECT_EQ(ink.left, 5);
    EXPECT_EQ(ink.top, 5);
    EXPECT_EQ(ink.right, 25);
    EXPECT_EQ(ink.bottom, 17);
    EXPECT_EQ(c.at(15, 11), Blue);
    EXPECT_EQ(c.at(5, 5), White) << "corners stay outside";
    // Symmetric about the centre.
    for (int y = 5; y < 17; ++y)
        for (int x = 5; x < 25; ++x)
            EXPECT_EQ(c.at(x, y), c.at(29 - x, y)) << x << "," << y;
}

TEST(Shapes, PieWithEqualRadialsIsTheFullDisc)
{
    Canvas pie(40, 40), disc(40, 40);
    fillBlackWithoutPen({ &pie, &disc });
    Pie(pie.dc(), 5, 5, 35, 35, 20, 5, 20, 5);
    Ellipse(disc.dc(), 5, 5, 35, 35);
    EXPECT_GT(pie.count(Black), 600);
    EXPECT_EQ(pie.picture(Black), disc.picture(Black));
}

TEST(Shapes, PieRunsCounterClockwiseFromStartToEndRadial)
{
    Canvas c(40, 40);
    fillBlackWithoutPen({ &c });
    // From 3 o'clock to 12 o'clock: the upper right quarter.
    Pie(c.dc(), 0, 0, 40, 40, 40, 20, 20, 0);
    EXPECT_EQ(c.at(30, 10), Black);
    EXPECT_EQ(c.at(10, 10), White);
    EXPECT_EQ(c.at(10, 30), White);
    EXPECT_EQ(c.at(30, 30), White);

    Canvas clockwise(40, 40);
    fillBlackWithoutPen({ &clockwise });
    SetArcDirection(clockwise.dc(), AD_CLOCKWISE);
    Pie(clockwise.dc(), 0, 0, 40, 40, 40, 20, 20, 0);
    EXPECT_EQ(clockwise.at(30, 10), White);
    EXPECT_EQ(clockwise.at(10, 10), Black);
    EXPECT_EQ(clockwise.at(10, 30), Black);
    EXPECT_EQ(clockwise.at(30, 30), Black);
}

TEST(Shapes, ArcDrawsOnlyTheCurve)
{
    Canvas c(40, 40);
    Selected brush(c.dc(), CreateSolidBrush(Blue));
    Arc(c.dc(), 0, 0, 40, 40, 0, 20, 40, 20); // the lower half, counter-clockwise from 9 to 3
    EXPECT_EQ(c.count(Blue), 0);
    RECT ink = c.inkBounds();
    EXPECT_GE(ink.top, 19);
    EXPECT_EQ(ink.bottom, 40);
    EXPECT_EQ(ink.left, 0);
    EXPECT_EQ(ink.right, 40);
}

TEST(Shapes, ChordClosesTheArcWithAStraightLine)
{
    Canvas c(40, 40);
    Selected brush(c.dc(), CreateSolidBrush(Blue));
    Chord(c.dc(), 0, 0, 40, 40, 40, 20, 0, 20); // the upper half
    EXPECT_EQ(c.at(20, 10), Blue);
    EXPECT_EQ(c.at(20, 30), White);
    for (int x = 2; x < 38; ++x)
        EXPECT_EQ(c.at(x, 20), Black) << "the chord line at x " << x;
}

TEST(Shapes, InsideFramePenStaysInsideTheBox)
{
    Canvas c(30, 30);
    {
        Selected pen(c.dc(), CreatePen(PS_INSIDEFRAME, 5, Red));
        Rectangle(c.dc(), 5, 5, 25, 25);
    }
    RECT ink = c.inkBounds();
    EXPECT_EQ(ink.left, 5);
    EXPECT_EQ(ink.top, 5);
    EXPECT_EQ(ink.right, 25);
    EXPECT_EQ(ink.bottom, 25);
    EXPECT_EQ(c.at(9, 15), Red);
    EXPECT_EQ(c.at(10, 15), White);

    Canvas centred(30, 30);
    {
        Selected pen(centred.dc(), CreatePen(PS_SOLID, 5, Red));
        Rectangle(centred.dc(), 5, 5, 25, 25);
    }
    EXPECT_LT(centred.inkBounds().left, 5) << "a plain wide pen straddles the outline";
}

TEST(Shapes, PolygonFillModesDifferOnlyInsideTheOverlap)
{
    // A five-pointed star: its centre is inside under WINDING only.
    POINT star[] = { { 20, 2 }, { 31, 36 }, { 2, 14 }, { 38, 14 }, { 9, 36 } };
    Canvas alternate(40, 40), winding(40, 40);
    fillBlackWithoutPen({ &alternate, &winding });
    SetPolyFillMode(winding.dc(), WINDING);
    Polygon(alternate.dc(), star, 5);
    Polygon(winding.dc(), star, 5);
    EXPECT_EQ(alternate.at(20, 20), White);
    EXPECT_EQ(winding.at(20, 20), Black);
    EXPECT_EQ(alternate.at(20, 8), Black);
    EXPECT_EQ(winding.at(20, 8), Black);
}

TEST(Shapes, PolygonFillLeavesOutRightAndBottomEdgesAndThePenDrawsThem)
{
    POINT square[] = { { 2, 2 }, { 8, 2 }, { 8, 8 }, { 2, 8 } };
    Canvas filled(12, 12);
    fillBlackWithoutPen({ &filled });
    Polygon(filled.dc(), square, 4);
    EXPECT_EQ(filled.count(Black), 36);

    Canvas outlined(12, 12);
    SelectObject(outlined.dc(), GetStockObject(NULL_BRUSH));
    Polygon(outlined.dc(), square, 4);
    EXPECT_EQ(outlined.count(Black), 24);
    EXPECT_EQ(outlined.at(8, 8), Black);
}

TEST(Shapes, PolyPolygonLeavesAHoleUnderAlternateAndFillsItUnderWinding)
{
    // Both squares run the same way round, so WINDING counts the inner one twice.
    const POINT points[] = { { 0, 0 }, { 20, 0 }, { 20, 20 }, { 0, 20 }, { 5, 5 }, { 15, 5 }, { 15, 15 }, { 5, 15 } };
    const int counts[] = { 4, 4 };
    Canvas alternate(20, 20), winding(20, 20);
    fillBlackWithoutPen({ &alternate, &winding });
    SetPolyFillMode(winding.dc(), WINDING);
    ASSERT_TRUE(PolyPolygon(alternate.dc(), points, counts, 2));
    PolyPolygon(winding.dc(), points, counts, 2);
    EXPECT_EQ(alternate.count(Black), 400 - 100);
    EXPECT_EQ(alternate.at(10, 10), White);
    EXPECT_EQ(winding.count(Black), 400);
    const int bad[] = { 4, 1 };
    EXPECT_FALSE(PolyPolygon(alternate.dc(), points, bad, 2));
}

TEST(Shapes, RoundRectRoundsItsCornersOnly)
{
    Canvas c(30, 20);
    Selected brush(c.dc(), CreateSolidBrush(Blue));
    RoundRect(c.dc(), 0, 0, 30, 20, 10, 10);
    RECT ink = c.inkBounds();
    EXPECT_EQ(ink.left, 0);
    EXPECT_EQ(ink.right, 30);
    EXPECT_EQ(ink.bottom, 20);
    EXPECT_EQ(c.at(0, 0), White);
    EXPECT_EQ(c.at(29, 19), White);
    EXPECT_EQ(c.at(15, 0), Black);
    EXPECT_EQ(c.at(0, 10), Black);
    EXPECT_EQ(c.at(15, 10), Blue);
}

// A corner size of INT_MIN is as large as INT_MAX, not negative.
TEST(Shapes, RoundRectCornerOfIntMinIsTheLargestCorner)
{
    Canvas largest(30, 20), intMin(30, 20);
    ASSERT_TRUE(RoundRect(largest.dc(), 0, 0, 30, 20, INT_MAX, INT_MAX));
    ASSERT_TRUE(RoundRect(intMin.dc(), 0, 0, 30, 20, INT_MIN, INT_MIN));
    EXPECT_EQ(intMin.picture(Black), largest.picture(Black));
}

TEST(Shapes, HatchedBrushPaintsItsLinesOverTheBackground)
{
    Canvas c(16, 16);
    SetBkColor(c.dc(), RGB(0, 255, 0));
    Selected brush(c.dc(), CreateHatchBrush(HS_CROSS, Red));
    SelectObject(c.dc(), GetStockObject(NULL_PEN));
    Rectangle(c.dc(), 0, 0, 17, 17);
    EXPECT_EQ(c.count(Red), 2 * 2 * 16 - 4);
    EXPECT_EQ(c.count(RGB(0, 255, 0)), 256 - (2 * 2 * 16 - 4));

    Canvas transparent(16, 16);
    SetBkMode(transparent.dc(), TRANSPARENT);
    Selected hatch(transparent.dc(), CreateHatchBrush(HS_HORIZONTAL, Red));
    SelectObject(transparent.dc(), GetStockObject(NULL_PEN));
    Rectangle(transparent.dc(), 0, 0, 17, 17);
    EXPECT_EQ(transparent.count(Red), 2 * 16);
    EXPECT_EQ(transparent.count(White), 256 - 32);
}

TEST(MixModes, XorPenTwiceRestoresAndNotInvertsTheDestination)
{
    Canvas c(20, 20);
    HBRUSH fill = CreateSolidBrush(RGB(10, 200, 30));
    RECT all { 0, 0, 20, 20 };
    FillRect(c.dc(), all, fill);
    DeleteObject(fill);
    SetROP2(c.dc(), R2_XORPEN);
    Selected pen(c.dc(), CreatePen(PS_SOLID, 1, RGB(255, 0, 255)));
    MoveToEx(c.dc(), 0, 3, nullptr);
    LineTo(c.dc(), 20, 3);
    EXPECT_EQ(c.at(5, 3), RGB(10 ^ 255, 200, 30 ^ 255));
    MoveToEx(c.dc(), 0, 3, nullptr);
    LineTo(c.dc(), 20, 3);
    EXPECT_EQ(c.count(RGB(10, 200, 30)), 400);

    SetROP2(c.dc(), R2_NOT);
    MoveToEx(c.dc(), 0, 7, nullptr);
    LineTo(c.dc(), 20, 7);
    EXPECT_EQ(c.at(9, 7), RGB(245, 55, 225));
}

TEST(MixModes, EverySixteenModeIsItsBooleanFunction)
{
    const COLORREF pen = RGB(0xF0, 0x0F, 0x33), dest = RGB(0xCC, 0xAA, 0x55);
    for (int mode = R2_BLACK; mode <= R2_WHITE; ++mode) {
        Canvas c(4, 4);
        SetPixel(c.dc(), 1, 1, dest);
        SetROP2(c.dc(), mode);
        Selected p(c.dc(), CreatePen(PS_SOLID, 1, pen));
        MoveToEx(c.dc(), 1, 1, nullptr);
        LineTo(c.dc(), 2, 1);
        // Bits of the mode minus one, for pen/destination 11, 10, 01, 00.
        unsigned t = unsigned(mode - 1);
        uint32_t expected = 0;
        for (int bit = 0; bit < 24; ++bit) {
            int pb = (pen >> bit) & 1, db = (dest >> bit) & 1;
            if (t & (1u << (pb * 2 + db)))
                expected |= 1u << bit;
        }
        EXPECT_EQ(c.at(1, 1), expected) << "mode " << mode;
    }
}

TEST(FocusRects, DrawingTwiceRestoresThePicture)
{
    Canvas c(30, 20);
    Selected brush(c.dc(), CreateSolidBrush(RGB(12, 34, 56)));
    Ellipse(c.dc(), 0, 0, 30, 20);
    Dib before = c.dib();
    RECT r { 3, 2, 27, 18 };
    ASSERT_TRUE(DrawFocusRect(c.dc(), r));
    int changed = 0;
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 30; ++x)
            changed += c.at(x, y) != before.GetPixel(x, y);
    EXPECT_GT(changed, 20);
    EXPECT_LT(changed, 2 * (24 + 16)) << "a dotted outline changes every other pixel";
    EXPECT_NE(c.at(3, 2), c.at(4, 2)) << "dots alternate";
    EXPECT_EQ(c.at(10, 10), before.GetPixel(10, 10)) << "the inside stays";
    DrawFocusRect(c.dc(), r);
    EXPECT_TRUE(std::equal(c.dib().Bytes().begin(), c.dib().Bytes().end(), before.Bytes().begin()));
}

TEST(FocusRects, InvertRectInvertsEveryPixelOnce)
{
    Canvas c(10, 10);
    RECT r { 2, 2, 6, 5 };
    InvertRect(c.dc(), r);
    EXPECT_EQ(c.count(Black), 12);
    InvertRect(c.dc(), r);
    EXPECT_EQ(c.count(White), 100);
}

TEST(Pixels, SetPixelAnswersTheColourStoredAndGetPixelReadsIt)
{
    Canvas c(8, 8);
    EXPECT_EQ(SetPixel(c.dc(), 3, 4, RGB(1, 2, 3)), RGB(1, 2, 3));
    EXPECT_EQ(GetPixel(c.dc(), 3, 4), RGB(1, 2, 3));
    EXPECT_EQ(c.at(3, 4), RGB(1, 2, 3));
    EXPECT_EQ(SetPixel(c.dc(), 8, 0, Red), CLR_INVALID);
    EXPECT_EQ(GetPixel(c.dc(), -1, 0), CLR_INVALID);

    Canvas indexed(8, 8, 8);
    // An 8-bit picture stores the nearest entry of its colour table.
    EXPECT_EQ(SetPixel(indexed.dc(), 1, 1, RGB(250, 5, 5)), RGB(255, 0, 0));
}

TEST(Pixels, DrawingReachesEveryDepthAndStorageOrder)
{
    for (int bits : { 1, 4, 8, 24, 32 }) {
        for (bool topDown : { false, true }) {
            Canvas c(16, 8, bits, topDown);
            MoveToEx(c.dc(), 0, 2, nullptr);
            LineTo(c.dc(), 16, 2);
            EXPECT_EQ(c.count(Black), 16) << bits << " bits, top-down " << topDown;
            EXPECT_EQ(c.at(5, 2), Black);
            EXPECT_EQ(c.at(5, 5), White) << "row 2 is counted from the top";
        }
    }
}

TEST(Pixels, ColoursOfSystemColoursAndPaletteIndexesAreResolved)
{
    Canvas c(4, 4);
    SetPixel(c.dc(), 0, 0, 0x80000000u | COLOR_BTNSHADOW);
    SetPixel(c.dc(), 1, 0, PALETTEINDEX(4));
    EXPECT_EQ(c.at(0, 0), 0x808080u);
    EXPECT_EQ(c.at(1, 0), RGB(0, 0, 0x80));
}

TEST(Clipping, DrawingStaysInsideTheClip)
{
    Canvas c(20, 20);
    IntersectClipRect(c.dc(), 5, 5, 10, 10);
    HBRUSH red = CreateSolidBrush(Red);
    RECT all { 0, 0, 20, 20 };
    FillRect(c.dc(), all, red);
    EXPECT_EQ(c.count(Red), 25);
    ExcludeClipRect(c.dc(), 5, 5, 7, 10);
    HBRUSH blue = CreateSolidBrush(Blue);
    FillRect(c.dc(), all, blue);
    EXPECT_EQ(c.count(Blue), 15);
    SelectClipRgn(c.dc(), nullptr);
    Ellipse(c.dc(), 0, 0, 20, 20);
    EXPECT_GT(c.count(Black), 30);
    DeleteObject(red);
    DeleteObject(blue);
}

TEST(Clipping, ClipRegionsCombineWithTheCurrentClip)
{
    Canvas c(20, 20);
    HRGN left = CreateRectRgn(0, 0, 10, 20), top = CreateRectRgn(0, 0, 20, 10);
    EXPECT_EQ(SelectClipRgn(c.dc(), left), SIMPLEREGION);
    EXPECT_EQ(ExtSelectClipRgn(c.dc(), top, RGN_OR), COMPLEXREGION);
    RECT box;
    EXPECT_EQ(GetClipBox(c.dc(), &box), COMPLEXREGION);
    EXPECT_EQ(box.right, 20);
    EXPECT_EQ(box.bottom, 20);
    InvertRect(c.dc(), RECT { 0, 0, 20, 20 });
    EXPECT_EQ(c.count(Black), 300);
    EXPECT_EQ(ExtSelectClipRgn(c.dc(), top, RGN_DIFF), SIMPLEREGION);
    GetClipBox(c.dc(), &box);
    EXPECT_EQ(box.top, 10);
    EXPECT_EQ(box.right, 10);
    DeleteObject(left);
    DeleteObject(top);
}

// A pen far wider than the picture around a figure far larger: one stroke covers every pixel.
TEST(WidePens, AHugePenAroundAHugeEllipseCoversThePicture)
{
    Canvas c(16, 12);
    Selected pen(c.dc(), CreatePen(PS_SOLID, 2000000000, Red));
    Selected brush(c.dc(), GetStockObject(NULL_BRUSH));
    ASSERT_TRUE(Ellipse(c.dc(), -900000000, -700000000, 900000000, 800000000));
    EXPECT_EQ(c.count(Red), 16 * 12);
}

// Segments far from the picture add no pixel, open or closed, wherever they sit in the chain.
TEST(WidePens, FarSegmentsChangeNothingNearThePicture)
{
    struct Row {
        const char* name;
        std::vector<POINT> points;
        bool closed;
    };
    const Row rows[] = {
        { "open, far on both sides",
          { { -50000, -40000 }, { -40000, 30000 }, { -100, 6 }, { 100, 6 }, { 30000, 40000 } },
          false },
        { "closed, far apex", { { -100, 6 }, { 100, 6 }, { 0, 100000 } }, true },
    };
    Canvas nearOnly(16, 12);
    {
        Selected pen(nearOnly.dc(), CreatePen(PS_SOLID, 5, Red));
        MoveToEx(nearOnly.dc(), -100, 6, nullptr);
        LineTo(nearOnly.dc(), 100, 6);
    }
    ASSERT_EQ(nearOnly.count(Red), 16 * 5);
    for (const Row& r : rows) {
        Canvas c(16, 12);
        Selected pen(c.dc(), CreatePen(PS_SOLID, 5, Red));
        Selected brush(c.dc(), GetStockObject(NULL_BRUSH));
        if (r.closed)
            Polygon(c.dc(), r.points.data(), int(r.points.size()));
        else
            Polyline(c.dc(), r.points.data(), int(r.points.size()));
        EXPECT_EQ(c.picture(Red), nearOnly.picture(Red)) << r.name;
    }
}
