//===- emf_playback_test.cpp - Metafiles played onto bitmaps and into metafiles -===//
//
// A picture recorded and played back 1:1 must give the very pixels that drawing the same calls
// directly gives, since the report is printed and shown from its metafile. Text is compared
// with a little tolerance; everything else pixel for pixel.
//
#include "EmfTestSupport.h"

#include "platform/gdi/bitmaps/Dib.h"

#include <gtest/gtest.h>

using namespace emftest;
using gditest::Canvas;
using gditest::logFont;

namespace {

constexpr int W = 160, H = 120;

/// Pixels that differ between two canvases of the same size.
int differences(const Canvas& A, const Canvas& B)
{
    int n = 0;
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x)
            n += A.at(x, y) != B.at(x, y);
    return n;
}

/// Draws directly and through a metafile played 1:1; answers the pixels that differ.
int playbackDifferences(const std::function<void(HDC)>& Draw, Canvas& Direct, Canvas& Played)
{
    Draw(Direct.dc());
    const RECT frame = frameOfPixels(W, H);
    HENHMETAFILE mf = record(Draw, &frame);
    EXPECT_TRUE(mf);
    if (!mf)
        return -1;
    EXPECT_TRUE(PlayEnhMetaFile(Played.dc(), *mf, RECT { 0, 0, W, H }));
    return differences(Direct, Played);
}

Dib stripes(int Bits)
{
    Dib d(6, 4, Bits);
    if (Bits == 1)
        d.Palette() = { RGBQUAD { 255, 0, 0, 0 }, RGBQUAD { 0, 255, 0, 0 } };
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 6; ++x) {
            if (Bits == 1)
                d.SetIndex(x, y, (x + y) % 2);
            else
                d.SetPixel(x, y, RGB(uint8_t(40 * x), uint8_t(60 * y), 200));
        }
    return d;
}

struct Drawing {
    const char* name;
    std::function<void(HDC)> draw;
};

const std::vector<Drawing>& drawingsWithoutText()
{
    static const std::vector<Drawing> all = {
        { "pens and shapes",
          [](HDC D) {
              HPEN dash = CreatePen(PS_DASH, 1, RGB(200, 0, 0));
              HPEN wide = CreatePen(PS_SOLID, 5, RGB(0, 0, 200));
              HPEN inside = CreatePen(PS_INSIDEFRAME, 4, RGB(0, 120, 0));
              HBRUSH hatch = CreateHatchBrush(HS_DIAGCROSS, RGB(0, 0, 0));
              HBRUSH solid = CreateSolidBrush(RGB(250, 200, 0));
              SelectObject(D, dash);
              MoveToEx(D, 5, 5, nullptr);
              LineTo(D, 150, 20);
              SelectObject(D, wide);
              POINT zig[4] = { { 10, 100 }, { 40, 60 }, { 70, 100 }, { 100, 60 } };
              Polyline(D, zig, 4);
              SelectObject(D, solid);
              SelectObject(D, inside);
              Rectangle(D, 110, 30, 150, 70);
              SelectObject(D, hatch);
              Ellipse(D, 10, 20, 60, 55);
              SetBkMode(D, TRANSPARENT);
              RoundRect(D, 65, 25, 105, 55, 12, 8);
              SelectObject(D, GetStockObject(BLACK_PEN));
              SetArcDirection(D, AD_CLOCKWISE);
              Pie(D, 110, 75, 150, 115, 150, 95, 130, 75);
              SetArcDirection(D, AD_COUNTERCLOCKWISE);
              Chord(D, 60, 75, 100, 115, 100, 95, 60, 95);
              Arc(D, 5, 75, 45, 115, 45, 95, 25, 75);
              SetPolyFillMode(D, WINDING);
              SelectObject(D, solid);
              POINT star[5] = { { 80, 2 }, { 90, 30 }, { 66, 12 }, { 94, 12 }, { 70, 30 } };
              Polygon(D, star, 5);
              POINT two[6] = { { 120, 2 }, { 130, 2 }, { 125, 10 }, { 135, 12 }, { 145, 12 }, { 140, 22 } };
              int counts[2] = { 3, 3 };
              PolyPolygon(D, two, counts, 2);
              SelectObject(D, GetStockObject(WHITE_BRUSH));
              for (HGDIOBJ o : { dash, wide, inside, hatch, solid })
                  DeleteObject(o);
          } },
        { "fills, raster operations and pixels",
          [](HDC D) {
              HBRUSH teal = CreateSolidBrush(RGB(0, 128, 128));
              FillRect(D, RECT { 5, 5, 60, 40 }, teal);
              FrameRect(D, RECT { 70, 5, 120, 40 }, teal);
              InvertRect(D, RECT { 30, 20, 90, 60 });
              PatBlt(D, 100, 50, 40, 30, DSTINVERT);
              FillRect(D, RECT { 5, 60, 50, 90 }, HBRUSH(uintptr_t(COLOR_HIGHLIGHT + 1)));
              DrawFocusRect(D, RECT { 10, 95, 80, 115 });
              for (int i = 0; i < 20; ++i)
                  SetPixel(D, 130 + i, 100 + i / 2, RGB(255, 0, uint8_t(10 * i)));
              SetROP2(D, R2_XORPEN);
              HPEN yellow = CreatePen(PS_SOLID, 3, RGB(255, 255, 0));
              SelectObject(D, yellow);
              MoveToEx(D, 0, 0, nullptr);
              LineTo(D, 159, 119);
              SelectObject(D, GetStockObject(BLACK_PEN));
              DeleteObject(yellow);
              DeleteObject(teal);
          } },
        { "clipping, saved and restored",
          [](HDC D) {
              HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
              SelectObject(D, red);
              SaveDC(D);
              IntersectClipRect(D, 10, 10, 100, 80);
              ExcludeClipRect(D, 40, 30, 60, 50);
              Rectangle(D, 0, 0, 160, 120);
              RestoreDC(D, -1);
              HRGN a = CreateRectRgn(110, 10, 130, 110), b = CreateRectRgn(100, 90, 150, 100);
              CombineRgn(a, a, b, RGN_OR);
              SelectClipRgn(D, a);
              Ellipse(D, 95, 5, 155, 115);
              ExtSelectClipRgn(D, b, RGN_DIFF);
              Rectangle(D, 95, 5, 155, 115);
              SelectClipRgn(D, nullptr);
              MoveToEx(D, 0, 119, nullptr);
              LineTo(D, 159, 0);
              SelectObject(D, GetStockObject(WHITE_BRUSH));
              for (HGDIOBJ o : { red, a, b })
                  DeleteObject(o);
          } },
        { "map modes and world transforms",
          [](HDC D) {
              SaveDC(D);
              SetMapMode(D, MM_ANISOTROPIC);
              SetWindowExtEx(D, 100, 100, nullptr);
              SetViewportExtEx(D, 50, 80, nullptr);
              SetViewportOrgEx(D, 10, 5, nullptr);
              Rectangle(D, 0, 0, 100, 100);
              Ellipse(D, 20, 20, 80, 80);
              RestoreDC(D, -1);
              SetGraphicsMode(D, GM_ADVANCED);
              XFORM turn { 0.8f, 0.6f, -0.6f, 0.8f, 110, 20 };
              SetWorldTransform(D, turn);
              HBRUSH blue = CreateSolidBrush(RGB(0, 0, 255));
              SelectObject(D, blue);
              POINT box[4] = { { 0, 0 }, { 40, 0 }, { 40, 30 }, { 0, 30 } };
              Polygon(D, box, 4);
              XFORM half { 0.5f, 0, 0, 0.5f, 0, 0 };
              ModifyWorldTransform(D, &half, MWT_LEFTMULTIPLY);
              Polygon(D, box, 4);
              ModifyWorldTransform(D, nullptr, MWT_IDENTITY);
              MoveToEx(D, 5, 110, nullptr);
              LineTo(D, 100, 110);
              SelectObject(D, GetStockObject(WHITE_BRUSH));
              DeleteObject(blue);
          } },
        { "bitmaps and pattern brushes",
          [](HDC D) {
              Dib colour = stripes(24), mono = stripes(1);
              StretchDIBits(D, 5, 5, 60, 40, 0, 0, 6, 4, colour, SRCCOPY);
              StretchDIBits(D, 70, 5, 30, 20, 0, 0, 6, 4, mono, SRCCOPY);
              StretchDIBits(D, 105, 5, 40, 40, 2, 1, 3, 2, colour, SRCCOPY);
              Dib source = stripes(24);
              HDC memory = CreateDibDC(source);
              BitBlt(D, 5, 60, 6, 4, memory, 0, 0, SRCCOPY);
              StretchBlt(D, 20, 60, 36, 24, memory, 1, 1, 3, 2, SRCINVERT);
              DeleteDC(memory);
              Dib bits(5, 5, 1);
              for (int i = 0; i < 5; ++i)
                  bits.SetIndex(i, i, 1), bits.SetIndex(4 - i, i, 1);
              HDC monoDc = CreateDibDC(bits);
              SetTextColor(D, RGB(0, 0, 255));
              SetBkColor(D, RGB(255, 255, 0));
              StretchBlt(D, 60, 60, 20, 20, monoDc, 0, 0, 5, 5, SRCCOPY);
              DeleteDC(monoDc);
              HBITMAP tile = CreateBitmapFromDib(std::make_unique<Dib>(stripes(1)));
              HBRUSH pattern = CreatePatternBrush(tile);
              SelectObject(D, pattern);
              Rectangle(D, 90, 60, 150, 110);
              HBITMAP colourTile = CreateBitmapFromDib(std::make_unique<Dib>(stripes(24)));
              HBRUSH colourPattern = CreatePatternBrush(colourTile);
              SelectObject(D, colourPattern);
              Ellipse(D, 5, 88, 85, 118);
              SelectObject(D, GetStockObject(WHITE_BRUSH));
              for (HGDIOBJ o : { tile, pattern, colourTile, colourPattern })
                  DeleteObject(o);
          } },
    };
    return all;
}

void textDrawing(HDC D)
{
    HFONT arial = CreateFontIndirect(logFont("Arial", -14));
    HFONT bold = CreateFontIndirect(logFont("Times New Roman", -18, FW_BOLD));
    HFONT turned = CreateFontIndirect(logFont("Arial", -12, FW_NORMAL, 900));
    SelectObject(D, arial);
    TextOut(D, 5, 5, "Energy 123 \xB5J");
    SetTextColor(D, RGB(200, 0, 0));
    SetBkColor(D, RGB(220, 220, 255));
    RECT cell { 0, 24, 100, 42 };
    ExtTextOut(D, 5, 25, ETO_OPAQUE, &cell, "Opaque", nullptr);
    SetBkMode(D, TRANSPARENT);
    SelectObject(D, bold);
    SetTextAlign(D, TA_RIGHT | TA_BASELINE);
    TextOut(D, 155, 70, "Right");
    SetTextAlign(D, TA_LEFT | TA_TOP);
    RECT clip { 10, 80, 60, 90 };
    ExtTextOut(D, 10, 78, ETO_CLIPPED, &clip, "Clipped text", nullptr);
    SelectObject(D, turned);
    TextOut(D, 140, 115, "Up");
    SelectObject(D, arial);
    RECT box { 60, 90, 130, 118 };
    DrawText(D, "Centred & wrapped words", &box, DT_CENTER | DT_WORDBREAK);
    SelectObject(D, GetStockObject(SYSTEM_FONT));
    for (HGDIOBJ o : { arial, bold, turned })
        DeleteObject(o);
}

} // namespace

TEST(EmfPlayback, PlaybackGivesTheSamePixelsAsDrawing)
{
    for (const Drawing& d : drawingsWithoutText()) {
        Canvas direct(W, H), played(W, H);
        EXPECT_EQ(playbackDifferences(d.draw, direct, played), 0) << d.name << "\n" << played.picture(0xFFFFFF);
        EXPECT_LT(direct.count(0xFFFFFF), W * H) << d.name << " drew nothing";
    }
}

TEST(EmfPlayback, TextPlaysBackAtItsAdvances)
{
    Canvas direct(W, H), played(W, H);
    const int differ = playbackDifferences(textDrawing, direct, played);
    // The metafile holds the face's own advances, the screen draws its hinted ones: glyphs and
    // wrapped words stand up to a pixel apart, the ink stays in place.
    EXPECT_LE(differ, W * H / 40) << played.picture(RGB(200, 0, 0));
    EXPECT_GT(direct.count(RGB(200, 0, 0)), 50);
    EXPECT_GT(played.count(RGB(200, 0, 0)), 50);
}

TEST(EmfPlayback, TargetStateIsRestoredAndItsClipKept)
{
    HENHMETAFILE mf = record([](HDC D) {
        HPEN green = CreatePen(PS_SOLID, 1, RGB(0, 255, 0));
        SelectObject(D, green);
        SetTextColor(D, RGB(1, 2, 3));
        SetBkMode(D, TRANSPARENT);
        SelectClipRgn(D, nullptr); // "no clip" inside the picture is not beyond the target's
        HBRUSH black = HBRUSH(GetStockObject(BLACK_BRUSH));
        FillRect(D, RECT { 0, 0, 100, 100 }, black);
        SaveDC(D); // left open: playback closes it
    });
    ASSERT_TRUE(mf);
    Canvas c(W, H);
    HPEN mine = CreatePen(PS_DOT, 1, RGB(9, 9, 9));
    SelectObject(c.dc(), mine);
    SetTextColor(c.dc(), RGB(4, 5, 6));
    IntersectClipRect(c.dc(), 20, 20, 50, 50);
    RECT dest { 0, 0, 100, 100 };
    ASSERT_TRUE(PlayEnhMetaFile(c.dc(), *mf, dest));
    EXPECT_EQ(GetCurrentObject(c.dc(), OBJ_PEN), mine);
    EXPECT_EQ(GetTextColor(c.dc()), RGB(4, 5, 6));
    EXPECT_EQ(GetBkMode(c.dc()), OPAQUE);
    EXPECT_EQ(GetGraphicsMode(c.dc()), GM_COMPATIBLE);
    RECT clip;
    GetClipBox(c.dc(), &clip);
    EXPECT_EQ(clip.left, 20);
    EXPECT_EQ(clip.right, 50);
    RECT ink = c.inkBounds();
    EXPECT_EQ(ink.left, 20);
    EXPECT_EQ(ink.top, 20);
    EXPECT_EQ(ink.right, 50);
    EXPECT_EQ(ink.bottom, 50);
    SelectObject(c.dc(), GetStockObject(BLACK_PEN));
    DeleteObject(mine);
}

TEST(EmfPlayback, FrameIsStretchedOntoTheDestination)
{
    const RECT frame = frameOfPixels(50, 40);
    HENHMETAFILE mf = record(
        [](HDC D) {
            SelectObject(D, GetStockObject(BLACK_BRUSH));
            Rectangle(D, 0, 0, 25, 20);
        },
        &frame);
    ASSERT_TRUE(mf);
    Canvas c(W, H);
    ASSERT_TRUE(PlayEnhMetaFile(c.dc(), *mf, RECT { 10, 20, 110, 100 }));
    RECT ink = c.inkBounds();
    EXPECT_EQ(ink.left, 10);
    EXPECT_EQ(ink.top, 20);
    EXPECT_EQ(ink.right, 60);  // half the frame's width of 100 pixels
    EXPECT_EQ(ink.bottom, 60); // half of 80

    // Without a frame the bounds are the picture: it fills the whole destination.
    HENHMETAFILE own = record([](HDC D) {
        SelectObject(D, GetStockObject(BLACK_BRUSH));
        Rectangle(D, 30, 30, 40, 40); // pixels 30..39
    });
    ASSERT_TRUE(own);
    Canvas c2(W, H);
    ASSERT_TRUE(PlayEnhMetaFile(c2.dc(), *own, RECT { 0, 0, 40, 20 }));
    ink = c2.inkBounds();
    EXPECT_EQ(ink.left, 0);
    EXPECT_EQ(ink.top, 0);
    EXPECT_EQ(ink.right, 40);
    EXPECT_EQ(ink.bottom, 20);
}

// The report: two graphs recorded on their own, drawn into the page metafile at (0, 130) and
// (0, 580), which is then played onto a bitmap.
TEST(EmfNesting, PictureDrawnAt580IsShiftedWithItsObjectsIntact)
{
    const RECT graphFrame = frameOfPixels(600, 420);
    auto graph = [](HDC D) {
        HPEN axis = CreatePen(PS_SOLID, 2, RGB(0, 0, 128));
        HBRUSH bar = CreateSolidBrush(RGB(0, 160, 0));
        SelectObject(D, axis);
        SelectObject(D, bar);
        MoveToEx(D, 40, 20, nullptr);
        LineTo(D, 40, 400);
        LineTo(D, 580, 400);
        Rectangle(D, 100, 200, 140, 400);
        SaveDC(D);
        IntersectClipRect(D, 200, 100, 300, 400);
        Ellipse(D, 150, 150, 350, 350);
        RestoreDC(D, -1);
        SelectObject(D, GetStockObject(BLACK_PEN));
        SelectObject(D, GetStockObject(WHITE_BRUSH));
        DeleteObject(axis);
        DeleteObject(bar);
    };
    HENHMETAFILE inner = record(graph, &graphFrame);
    ASSERT_TRUE(inner);

    const RECT pageFrame = frameOfPixels(600, 1000);
    HENHMETAFILE page = record(
        [&](HDC D) {
            HPEN title = CreatePen(PS_SOLID, 1, RGB(128, 0, 0)); // index 1 of the page
            SelectObject(D, title);
            Rectangle(D, 10, 10, 590, 120);
            MoveToEx(D, 20, 20, nullptr);
            PlayEnhMetaFile(D, *inner, RECT { 0, 580, 600, 1000 });
            LineTo(D, 300, 60); // the page's own pen again after the picture
            SelectObject(D, GetStockObject(BLACK_PEN));
            DeleteObject(title);
        },
        &pageFrame);
    ASSERT_TRUE(page);

    // Bounds: the union of the page's own drawing and the graph moved down by 580 (its axis
    // pen of 2 pixels reaches one pixel beyond the axis at y = 400).
    EXPECT_EQ(page->Bounds().left, 10);
    EXPECT_EQ(page->Bounds().top, 10);
    EXPECT_EQ(page->Bounds().right, 589);
    EXPECT_EQ(page->Bounds().bottom, 580 + 401);

    // The graph's records are there again, bracketed and placed, with indexes of the page.
    std::vector<std::string> r = records(*page);
    auto at = [&](const std::string& Prefix) {
        return std::find_if(r.begin(), r.end(), [&](const std::string& L) { return startsWith(L, Prefix); })
               - r.begin();
    };
    const auto save = at("SAVEDC"), place = at("MODIFYWORLDTRANSFORM 36 xform=[1 0 0 1 0 580] mode=2");
    ASSERT_LT(save, long(r.size()));
    ASSERT_LT(place, long(r.size()));
    EXPECT_LT(save, place);
    EXPECT_NE(std::find(r.begin(), r.end(), "CREATEPEN 28 index=2 style=0 width=2 colour=0x00800000"), r.end());
    EXPECT_NE(std::find(r.begin(), r.end(), "CREATEBRUSHINDIRECT 24 index=3 style=0 colour=0x0000A000 hatch=0"),
              r.end());
    EXPECT_NE(std::find(r.begin(), r.end(), "RECTANGLE 24 box=(100,200)-(140,400)"), r.end());
    EXPECT_NE(std::find(r.begin(), r.end(), "INTERSECTCLIPRECT 24 rect=(200,100)-(300,400)"), r.end());
    const auto restore = std::find(r.begin() + place, r.end(), "RESTOREDC 12 relative=-1") - r.begin();
    const auto ownLine = at("LINETO 16 to=(300,60)");
    EXPECT_LT(restore, ownLine);
    EXPECT_EQ(page->Handles(), 4);

    // Played onto a bitmap, the page shows the graph as drawing it 580 pixels lower would.
    auto bitmapOf = [](const std::function<void(HDC)>& Draw) {
        auto c = std::make_unique<Dib>(600, 1000, 32);
        HDC dc = CreateDibDC(*c);
        FillRect(dc, RECT { 0, 0, 600, 1000 }, HBRUSH(GetStockObject(WHITE_BRUSH)));
        Draw(dc);
        DeleteDC(dc);
        return c;
    };
    auto played = bitmapOf([&](HDC D) { PlayEnhMetaFile(D, *page, RECT { 0, 0, 600, 1000 }); });
    auto direct = bitmapOf([&](HDC D) {
        HPEN title = CreatePen(PS_SOLID, 1, RGB(128, 0, 0));
        SelectObject(D, title);
        Rectangle(D, 10, 10, 590, 120);
        MoveToEx(D, 20, 20, nullptr);
        SaveDC(D);
        SetViewportOrgEx(D, 0, 580, nullptr);
        SelectObject(D, GetStockObject(BLACK_PEN));
        graph(D);
        RestoreDC(D, -1);
        LineTo(D, 300, 60);
        SelectObject(D, GetStockObject(BLACK_PEN));
        DeleteObject(title);
    });
    int differ = 0;
    for (int y = 0; y < 1000; ++y)
        for (int x = 0; x < 600; ++x)
            differ += played->GetPixel(x, y) != direct->GetPixel(x, y);
    EXPECT_EQ(differ, 0);
    EXPECT_EQ(played->GetPixel(120, 580 + 300), RGB(0, 160, 0)); // inside the bar
    EXPECT_EQ(played->GetPixel(40, 580 + 100), RGB(0, 0, 128));  // on the axis
}

TEST(EmfNesting, ReRecordedPictureMapsItsClipRegionsThroughThePlacement)
{
    HENHMETAFILE inner = record([](HDC D) {
        HRGN r = CreateRectRgn(10, 10, 20, 20);
        SelectClipRgn(D, r);
        DeleteObject(r);
        SelectObject(D, GetStockObject(BLACK_BRUSH));
        Rectangle(D, 0, 0, 30, 30);
    });
    ASSERT_TRUE(inner);
    HENHMETAFILE outer = record([&](HDC D) { PlayEnhMetaFile(D, *inner, RECT { 100, 50, 130, 80 }); });
    ASSERT_TRUE(outer);
    std::vector<std::string> r = records(*outer);
    // The inner bounds are (0,0)-(29,29), played 1:1 from (100, 50): the clip moves with it.
    EXPECT_NE(std::find(r.begin(), r.end(), "EXTSELECTCLIPRGN 64 mode=5 rects=1 (110,60)-(120,70)"), r.end());
    Canvas c(W, H);
    PlayEnhMetaFile(c.dc(), *outer, RECT { 0, 0, 30, 30 });
    RECT ink = c.inkBounds();
    EXPECT_EQ(ink.left, 10);
    EXPECT_EQ(ink.top, 10);
    EXPECT_EQ(ink.right, 20);
    EXPECT_EQ(ink.bottom, 20);
}
