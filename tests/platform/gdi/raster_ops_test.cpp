//===- raster_ops_test.cpp - BitBlt, StretchBlt and the ternary raster operations -===//
#include "DcTestSupport.h"

#include <gtest/gtest.h>

using gditest::Canvas;
using gditest::Selected;

namespace {

constexpr COLORREF Black = 0, White = 0xFFFFFF;

// A picture whose pixels all differ: red counts columns, green counts rows.
void paintGradient(Canvas& C)
{
    for (int y = 0; y < C.dib().Height(); ++y)
        for (int x = 0; x < C.dib().Width(); ++x)
            C.dib().SetPixel(x, y, RGB(x * 10, y * 10, 99));
}

// The result the original gives for a ternary code: bit by bit, the code's third byte indexed by
// 4 P + 2 S + D.
COLORREF ternary(uint32_t Rop, COLORREF P, COLORREF S, COLORREF D)
{
    unsigned table = (Rop >> 16) & 0xFF;
    COLORREF r = 0;
    for (int bit = 0; bit < 24; ++bit) {
        int index = ((P >> bit) & 1) * 4 + ((S >> bit) & 1) * 2 + ((D >> bit) & 1);
        if (table & (1u << index))
            r |= 1u << bit;
    }
    return r;
}

} // namespace

TEST(Blits, SourceInvertOfAPictureOntoItselfGivesBlack)
{
    Canvas c(20, 12);
    paintGradient(c);
    ASSERT_TRUE(BitBlt(c.dc(), 0, 0, 20, 12, c.dc(), 0, 0, SRCINVERT));
    EXPECT_EQ(c.count(Black), 240);
}

TEST(Blits, StretchingFifteenToTwentyFiveFollowsTheDocumentedRule)
{
    Canvas source(15, 15), dest(25, 25);
    paintGradient(source);
    ASSERT_TRUE(StretchBlt(dest.dc(), 0, 0, 25, 25, source.dc(), 0, 0, 15, 15, SRCCOPY));
    for (int y = 0; y < 25; ++y)
        for (int x = 0; x < 25; ++x) {
            int sx = (2 * x + 1) * 15 / 50, sy = (2 * y + 1) * 15 / 50; // floor((d + 0.5) * 15 / 25)
            ASSERT_EQ(dest.at(x, y), source.at(sx, sy)) << x << "," << y;
        }
    // Shrinking takes the same rule the other way.
    Canvas small(6, 6);
    StretchBlt(small.dc(), 0, 0, 6, 6, source.dc(), 0, 0, 15, 15, SRCCOPY);
    for (int d = 0; d < 6; ++d)
        EXPECT_EQ(small.at(d, d), source.at((2 * d + 1) * 15 / 12, (2 * d + 1) * 15 / 12));
}

TEST(Blits, NegativeWidthMirrors)
{
    Canvas source(8, 1), dest(8, 1);
    paintGradient(source);
    // The rectangle runs from 8 back to 0: pixels 0..7, filled right to left.
    StretchBlt(dest.dc(), 8, 0, -8, 1, source.dc(), 0, 0, 8, 1, SRCCOPY);
    for (int x = 0; x < 8; ++x)
        EXPECT_EQ(dest.at(x, 0), source.at(7 - x, 0)) << x;
}

TEST(Blits, ColourKeyReplacementByPixelAccessIsExact)
{
    // The lamp's recipe: copy one 15 x 15 shape out of a strip, replace the olive surroundings by
    // the frame colour and the red body by the lamp colour, stretch onto the control.
    constexpr COLORREF Olive = 0x008080, Red = 0x0000FF, Frame = 0xC0C0C0, Lit = 0x00FF00;
    for (int bits : { 24, 32 }) {
        Canvas strip(120, 15, bits);
        for (int y = 0; y < 15; ++y)
            for (int x = 0; x < 120; ++x) {
                int dx = x % 15 - 7, dy = y - 7;
                strip.dib().SetPixel(x, y, dx * dx + dy * dy <= 30 ? Red : (x + y) % 7 == 0 ? 0x808080 : Olive);
            }
        Canvas frame(15, 15), colour(15, 15), control(30, 30);
        BitBlt(frame.dc(), 0, 0, 15, 15, strip.dc(), 30, 0, SRCCOPY);
        for (int y = 0; y < 15; ++y)
            for (int x = 0; x < 15; ++x)
                if (GetPixel(frame.dc(), x, y) == Olive)
                    SetPixel(frame.dc(), x, y, Frame);
        BitBlt(colour.dc(), 0, 0, 15, 15, frame.dc(), 0, 0, SRCCOPY);
        for (int y = 0; y < 15; ++y)
            for (int x = 0; x < 15; ++x)
                if (colour.dib().GetPixel(x, y) == Red)
                    colour.dib().SetPixel(x, y, Lit);
        StretchBlt(control.dc(), 0, 0, 30, 30, colour.dc(), 0, 0, 15, 15, SRCCOPY);
        for (int y = 0; y < 30; ++y)
            for (int x = 0; x < 30; ++x) {
                COLORREF original = strip.at(30 + x / 2, y / 2);
                COLORREF expected = original == Red ? Lit : original == Olive ? Frame : original;
                ASSERT_EQ(control.at(x, y), expected) << bits << " bits at " << x << "," << y;
            }
        EXPECT_EQ(control.count(Red), 0);
        EXPECT_EQ(control.count(Olive), 0);
    }
}

TEST(Blits, EveryCodeIsItsBooleanFunctionOfPatternSourceAndDestination)
{
    const COLORREF P = RGB(0xF0, 0x3C, 0x55), S = RGB(0xCC, 0x0F, 0x99), D = RGB(0xAA, 0x66, 0x1E);
    for (uint32_t rop :
         { SRCCOPY, SRCPAINT, SRCAND, SRCINVERT, NOTSRCCOPY, MERGECOPY, PATCOPY, PATINVERT, DSTINVERT, BLACKNESS,
           WHITENESS, SRCERASE, NOTSRCERASE, MERGEPAINT, PATPAINT, 0x00E20746u, 0x00B8074Au }) {
        Canvas source(4, 4), dest(4, 4);
        HBRUSH s = CreateSolidBrush(S), d = CreateSolidBrush(D);
        FillRect(source.dc(), RECT { 0, 0, 4, 4 }, s);
        FillRect(dest.dc(), RECT { 0, 0, 4, 4 }, d);
        DeleteObject(s);
        DeleteObject(d);
        Selected brush(dest.dc(), CreateSolidBrush(P));
        ASSERT_TRUE(BitBlt(dest.dc(), 1, 1, 2, 2, source.dc(), 0, 0, rop));
        EXPECT_EQ(dest.at(1, 1), ternary(rop, P, S, D)) << std::hex << rop;
        EXPECT_EQ(dest.at(2, 2), ternary(rop, P, S, D)) << std::hex << rop;
        EXPECT_EQ(dest.at(3, 3), D) << "outside the blit, " << std::hex << rop;
    }
}

TEST(Blits, MonochromeSourcePaintsInTheDestinationsTextAndBackgroundColours)
{
    Canvas mono(4, 1, 1), dest(4, 1);
    mono.dib().SetIndex(0, 0, 0);
    mono.dib().SetIndex(1, 0, 1);
    mono.dib().SetIndex(2, 0, 0);
    mono.dib().SetIndex(3, 0, 1);
    SetTextColor(dest.dc(), RGB(200, 0, 0));
    SetBkColor(dest.dc(), RGB(0, 0, 200));
    BitBlt(dest.dc(), 0, 0, 4, 1, mono.dc(), 0, 0, SRCCOPY);
    EXPECT_EQ(dest.at(0, 0), RGB(200, 0, 0));
    EXPECT_EQ(dest.at(1, 0), RGB(0, 0, 200));
    EXPECT_EQ(dest.at(2, 0), RGB(200, 0, 0));
    EXPECT_EQ(dest.at(3, 0), RGB(0, 0, 200));
}

TEST(Blits, ColourSourceIntoMonochromeGivesWhiteWhereItMatchesTheSourceBackground)
{
    Canvas colour(3, 1), mono(3, 1, 1);
    colour.dib().SetPixel(0, 0, RGB(10, 20, 30));
    colour.dib().SetPixel(1, 0, RGB(250, 250, 250));
    colour.dib().SetPixel(2, 0, RGB(10, 20, 30));
    SetBkColor(colour.dc(), RGB(10, 20, 30));
    BitBlt(mono.dc(), 0, 0, 3, 1, colour.dc(), 0, 0, SRCCOPY);
    EXPECT_EQ(mono.dib().GetIndex(0, 0), 1u);
    EXPECT_EQ(mono.dib().GetIndex(1, 0), 0u);
    EXPECT_EQ(mono.dib().GetIndex(2, 0), 1u);
}

TEST(Blits, EmbossCodeOnAMonochromeMaskPaintsTheBrushWhereTheMaskIsWhite)
{
    // dest = source ? brush : dest, with the mask's white bits as the source's ones.
    Canvas mask(6, 1, 1), dest(6, 1);
    for (int x = 0; x < 6; ++x)
        mask.dib().SetIndex(x, 0, x % 3 == 0 ? 1 : 0);
    for (int x = 0; x < 6; ++x)
        dest.dib().SetPixel(x, 0, RGB(x, 2 * x, 3 * x));
    SetTextColor(dest.dc(), Black);
    SetBkColor(dest.dc(), White);
    Selected brush(dest.dc(), CreateSolidBrush(RGB(255, 255, 0)));
    BitBlt(dest.dc(), 0, 0, 6, 1, mask.dc(), 0, 0, 0x00E20746);
    for (int x = 0; x < 6; ++x)
        EXPECT_EQ(dest.at(x, 0), x % 3 == 0 ? RGB(255, 255, 0) : RGB(x, 2 * x, 3 * x)) << x;
}

TEST(Blits, OverlappingBlitWithinOnePictureSeesTheOriginalPixels)
{
    Canvas c(10, 1);
    paintGradient(c);
    Dib before = c.dib();
    BitBlt(c.dc(), 2, 0, 8, 1, c.dc(), 0, 0, SRCCOPY);
    for (int x = 2; x < 10; ++x)
        EXPECT_EQ(c.at(x, 0), before.GetPixel(x - 2, 0)) << x;
    EXPECT_EQ(c.at(0, 0), before.GetPixel(0, 0));
}

TEST(Blits, OnlyTheClipAndTheExistingSourceAreTouched)
{
    Canvas source(4, 4), dest(10, 10);
    paintGradient(source);
    IntersectClipRect(dest.dc(), 0, 0, 10, 3);
    BitBlt(dest.dc(), 0, 0, 10, 10, source.dc(), 0, 0, SRCCOPY);
    EXPECT_EQ(dest.at(3, 2), source.at(3, 2));
    EXPECT_EQ(dest.at(3, 3), White) << "below the clip";
    EXPECT_EQ(dest.at(5, 1), White) << "beyond the source";
    EXPECT_EQ(dest.count(White), 100 - 12);
}

TEST(Blits, PatternBrushTilesFromTheDeviceOrigin)
{
    Dib tile(2, 2, 32, true);
    tile.SetPixel(0, 0, RGB(255, 0, 0));
    tile.SetPixel(1, 0, RGB(0, 255, 0));
    tile.SetPixel(0, 1, RGB(0, 0, 255));
    tile.SetPixel(1, 1, White);
    HBITMAP bitmap = CreateBitmapOnDib(tile);
    Canvas c(6, 6);
    {
        Selected brush(c.dc(), CreatePatternBrush(bitmap));
        PatBlt(c.dc(), 1, 1, 4, 4, PATCOPY);
    }
    DeleteObject(bitmap);
    EXPECT_EQ(c.at(1, 1), White) << "the tile's (1, 1) at an odd device pixel";
    EXPECT_EQ(c.at(2, 2), RGB(255, 0, 0));
    EXPECT_EQ(c.at(3, 2), RGB(0, 255, 0));
    EXPECT_EQ(c.at(2, 3), RGB(0, 0, 255));
    EXPECT_EQ(c.at(0, 0), White);
}

TEST(Blits, MonochromePatternPaintsInTextAndBackgroundColours)
{
    const uint8_t rows[4] = { 0x40, 0, 0x80, 0 }; // pixel 1 of row 0 and pixel 0 of row 1 set
    HBITMAP bitmap = CreateBitmap(2, 2, 1, 1, rows);
    ASSERT_NE(bitmap, nullptr);
    Canvas c(2, 2);
    SetTextColor(c.dc(), RGB(1, 1, 1));
    SetBkColor(c.dc(), RGB(2, 2, 2));
    {
        Selected brush(c.dc(), CreatePatternBrush(bitmap));
        PatBlt(c.dc(), 0, 0, 2, 2, PATCOPY);
    }
    DeleteObject(bitmap);
    EXPECT_EQ(c.at(0, 0), RGB(1, 1, 1));
    EXPECT_EQ(c.at(1, 0), RGB(2, 2, 2));
    EXPECT_EQ(c.at(0, 1), RGB(2, 2, 2));
    EXPECT_EQ(c.at(1, 1), RGB(1, 1, 1));
}

TEST(Pictures, StretchDIBitsCountsSourceRowsFromTheTopInEveryStorageOrder)
{
    for (bool topDown : { false, true }) {
        Dib picture(3, 3, 24, topDown);
        for (int y = 0; y < 3; ++y)
            for (int x = 0; x < 3; ++x)
                picture.SetPixel(x, y, RGB(x * 50, y * 50, 1));
        Canvas c(6, 2);
        EXPECT_EQ(StretchDIBits(c.dc(), 0, 0, 6, 2, 1, 1, 2, 1, picture, SRCCOPY), 2);
        EXPECT_EQ(c.at(0, 0), RGB(50, 50, 1)) << "top-down " << topDown;
        EXPECT_EQ(c.at(5, 1), RGB(100, 50, 1));
    }
}

TEST(Pictures, AMonochromePictureShowsItsOwnColourTable)
{
    Dib picture(2, 1, 1);
    picture.Palette()[0] = RGBQUAD { 0, 0, 255, 0 }; // red
    picture.Palette()[1] = RGBQUAD { 255, 0, 0, 0 }; // blue
    picture.SetIndex(1, 0, 1);
    Canvas c(2, 1);
    SetDIBitsToDevice(c.dc(), 0, 0, 2, 1, 0, 0, picture);
    EXPECT_EQ(c.at(0, 0), RGB(255, 0, 0));
    EXPECT_EQ(c.at(1, 0), RGB(0, 0, 255));
}

TEST(Bitmaps, CreateBitmapReadsRowsPaddedToSixteenBits)
{
    const uint8_t rows[] = { 0x11, 0x22, 0x33, 0, 0x44, 0x55, 0x66, 0 }; // 1 x 2 at 24 bits, padded
    HBITMAP bitmap = CreateBitmap(1, 2, 1, 24, rows);
    Dib* dib = GetBitmapDib(bitmap);
    ASSERT_NE(dib, nullptr);
    EXPECT_EQ(dib->GetPixel(0, 0), 0x112233u);
    EXPECT_EQ(dib->GetPixel(0, 1), 0x445566u);
    DeleteObject(bitmap);
    EXPECT_EQ(CreateBitmap(4, 4, 2, 1, nullptr), nullptr);
    EXPECT_EQ(CreateBitmap(0, 4, 1, 32, nullptr), nullptr);
    EXPECT_EQ(CreateBitmap(4, 4, 1, 16, nullptr), nullptr);
}

TEST(Bitmaps, CompatibleBitmapIsMonochromeOnlyForAFreshMemoryContext)
{
    HDC memory = CreateCompatibleDC(nullptr);
    HBITMAP mono = CreateCompatibleBitmap(memory, 8, 8);
    BITMAP info;
    ASSERT_EQ(GetObject(mono, sizeof info, &info), int(sizeof info));
    EXPECT_EQ(info.bmBitsPixel, 1);
    HBITMAP previous = SelectObject(memory, mono);
    EXPECT_EQ(GetObjectType(previous), OBJ_BITMAP);
    DeleteObject(SelectObject(memory, previous));

    HDC screen = GetDC(0);
    HBITMAP colour = CreateCompatibleBitmap(screen, 8, 4);
    GetObject(colour, sizeof info, &info);
    EXPECT_EQ(info.bmBitsPixel, 32);
    EXPECT_EQ(info.bmWidth, 8);
    EXPECT_EQ(info.bmHeight, 4);
    EXPECT_EQ(info.bmWidthBytes, 32);
    DeleteObject(colour);
    ReleaseDC(0, screen);
    DeleteDC(memory);
}

TEST(Bitmaps, ABitmapServesOneContextAtATime)
{
    HBITMAP bitmap = CreateBitmapFromDib(std::make_unique<Dib>(4, 4, 32));
    HDC first = CreateCompatibleDC(nullptr), second = CreateCompatibleDC(nullptr);
    EXPECT_NE(SelectObject(first, bitmap), nullptr);
    EXPECT_EQ(SelectObject(second, bitmap), nullptr);
    DeleteDC(first);
    EXPECT_NE(SelectObject(second, bitmap), nullptr) << "free again once its context is gone";
    DeleteDC(second);
    EXPECT_TRUE(DeleteObject(bitmap));
}

TEST(BlitExtents, ExtentsWhoseFarEdgeOverflowsAreRefused)
{
    Dib picture(8, 8, 32);
    HDC dc = CreateDibDC(picture);
    ASSERT_NE(dc, nullptr);
    EXPECT_FALSE(PatBlt(dc, 0x7FFFFFF0, 0, 0x100, 4, BLACKNESS));
    EXPECT_FALSE(StretchBlt(dc, 0, 0, 4, 4, dc, 0x7FFFFFF0, 0, 0x100, 4, SRCCOPY));
    EXPECT_EQ(StretchDIBits(dc, 0, -0x7FFFFFF0, 4, -0x100, 0, 0, 8, 8, picture, SRCCOPY), 0);
    EXPECT_TRUE(PatBlt(dc, 0, 0, 4, 4, BLACKNESS)) << "ordinary extents still draw";
    EXPECT_EQ(picture.GetPixel(1, 1), 0u);
    DeleteDC(dc);
}

// Runs longer than an int: a destination starting far before the picture, a source of 2^31 rows.
TEST(BlitExtents, RunsLongerThanAnIntMapTheirVisiblePixelsExactly)
{
    Dib source(4, 3, 32, /*TopDown=*/true);
    for (int x = 0; x < 4; ++x)
        for (int y = 0; y < 3; ++y)
            source.SetPixel(x, y, RGB(40 * x, 0, 99));
    Canvas c(12, 6);
    // 2e9 pixels show the 4 columns, 5e8 each; the picture's 12 lie in the fourth.
    EXPECT_EQ(StretchDIBits(c.dc(), -1500000000, 0, 2000000000, 6, 0, 0, 4, 3, source, SRCCOPY), 6);
    EXPECT_EQ(c.count(RGB(120, 0, 99)), 72);
    // Reading 2^31 rows upwards from row 0 finds none of the picture's rows for these pixels.
    Canvas d(8, 8);
    StretchDIBits(d.dc(), 0, 0, 8, 8, 0, 0, 4, INT32_MIN, source, SRCCOPY);
    EXPECT_EQ(d.count(White), 64);
}
