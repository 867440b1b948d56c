//===- dc_state_test.cpp - Context state, the save stack, objects and their lifetime -===//
#include "DcTestSupport.h"

#include <gtest/gtest.h>

#include <cstring>

using gditest::Canvas;
using gditest::Selected;

namespace {

// Everything SaveDC keeps that can be read back, in one comparable value.
struct Snapshot {
    COLORREF text, back;
    int bkMode, rop2, fillMode, mapMode, graphicsMode, arcDirection, stretchMode;
    UINT align;
    POINT windowOrg, viewportOrg, position;
    SIZE windowExt, viewportExt;
    XFORM world;
    HGDIOBJ pen, brush, font, bitmap;
    RECT clip;

    static Snapshot of(HDC Dc)
    {
        Snapshot s {};
        s.text = GetTextColor(Dc), s.back = GetBkColor(Dc);
        s.bkMode = GetBkMode(Dc), s.rop2 = GetROP2(Dc), s.fillMode = GetPolyFillMode(Dc);
        s.mapMode = GetMapMode(Dc), s.graphicsMode = GetGraphicsMode(Dc), s.arcDirection = GetArcDirection(Dc);
        s.stretchMode = GetStretchBltMode(Dc), s.align = GetTextAlign(Dc);
        GetWindowOrgEx(Dc, &s.windowOrg), GetViewportOrgEx(Dc, &s.viewportOrg), GetCurrentPositionEx(Dc, &s.position);
        GetWindowExtEx(Dc, &s.windowExt), GetViewportExtEx(Dc, &s.viewportExt), GetWorldTransform(Dc, &s.world);
        s.pen = GetCurrentObject(Dc, OBJ_PEN), s.brush = GetCurrentObject(Dc, OBJ_BRUSH);
        s.font = GetCurrentObject(Dc, OBJ_FONT), s.bitmap = GetCurrentObject(Dc, OBJ_BITMAP);
        GetClipBox(Dc, &s.clip);
        return s;
    }
    bool operator==(const Snapshot& O) const
    {
        auto same = [](const auto& A, const auto& B) { return std::memcmp(&A, &B, sizeof A) == 0; };
        return text == O.text && back == O.back && bkMode == O.bkMode && rop2 == O.rop2 && fillMode == O.fillMode
               && mapMode == O.mapMode && graphicsMode == O.graphicsMode && arcDirection == O.arcDirection
               && stretchMode == O.stretchMode && align == O.align && same(windowOrg, O.windowOrg)
               && same(viewportOrg, O.viewportOrg) && same(position, O.position) && same(windowExt, O.windowExt)
               && same(viewportExt, O.viewportExt) && same(world, O.world) && pen == O.pen && brush == O.brush
               && font == O.font && bitmap == O.bitmap && same(clip, O.clip);
    }
};

// Changes every piece of state (the mapping last, as it changes what the clip box reports).
void changeEverything(HDC Dc, HGDIOBJ Pen, HGDIOBJ Brush, HGDIOBJ Font)
{
    SetTextColor(Dc, RGB(1, 2, 3));
    SetBkColor(Dc, RGB(4, 5, 6));
    SetBkMode(Dc, TRANSPARENT);
    SetROP2(Dc, R2_XORPEN);
    SetPolyFillMode(Dc, WINDING);
    SetArcDirection(Dc, AD_CLOCKWISE);
    SetStretchBltMode(Dc, COLORONCOLOR);
    SetTextAlign(Dc, TA_RIGHT | TA_BASELINE | TA_UPDATECP);
    MoveToEx(Dc, 7, 8, nullptr);
    SelectObject(Dc, Pen);
    SelectObject(Dc, Brush);
    SelectObject(Dc, Font);
    IntersectClipRect(Dc, 2, 3, 9, 10);
    SetGraphicsMode(Dc, GM_ADVANCED);
    SetWorldTransform(Dc, XFORM { 2, 0, 0, 2, 5, 6 });
    SetMapMode(Dc, MM_ANISOTROPIC);
    SetWindowOrgEx(Dc, 11, 12, nullptr);
    SetWindowExtEx(Dc, 100, 200, nullptr);
    SetViewportOrgEx(Dc, 13, 14, nullptr);
    SetViewportExtEx(Dc, 300, 400, nullptr);
}

} // namespace

TEST(SaveDC, RestoreBringsBackEveryPieceOfState)
{
    Canvas c(20, 20);
    HPEN pen = CreatePen(PS_DOT, 1, RGB(9, 9, 9));
    HBRUSH brush = CreateSolidBrush(RGB(8, 8, 8));
    HFONT font = CreateFontIndirect(gditest::logFont("Arial", -12));
    Snapshot before = Snapshot::of(c.dc());
    ASSERT_EQ(SaveDC(c.dc()), 1);
    changeEverything(c.dc(), pen, brush, font);
    Snapshot changed = Snapshot::of(c.dc());
    EXPECT_FALSE(changed == before);
    EXPECT_NE(changed.pen, before.pen);
    EXPECT_NE(changed.clip.right, before.clip.right);
    ASSERT_TRUE(RestoreDC(c.dc(), -1));
    EXPECT_TRUE(Snapshot::of(c.dc()) == before);
    // The clip itself came back, not only its box: the whole picture can be filled again.
    RECT all { 0, 0, 20, 20 };
    InvertRect(c.dc(), all);
    EXPECT_EQ(c.count(0), 400);
    DeleteObject(pen), DeleteObject(brush), DeleteObject(font);
}

TEST(SaveDC, RestoreNegativePopsLevelsAndPositiveReturnsToThatLevel)
{
    Canvas c(4, 4);
    SetTextColor(c.dc(), 1);
    EXPECT_EQ(SaveDC(c.dc()), 1);
    SetTextColor(c.dc(), 2);
    EXPECT_EQ(SaveDC(c.dc()), 2);
    SetTextColor(c.dc(), 3);
    EXPECT_EQ(SaveDC(c.dc()), 3);
    SetTextColor(c.dc(), 4);

    ASSERT_TRUE(RestoreDC(c.dc(), -2));
    EXPECT_EQ(GetTextColor(c.dc()), 2u) << "the state saved at level 2";
    EXPECT_EQ(SaveDC(c.dc()), 2) << "one level is left below";

    ASSERT_TRUE(RestoreDC(c.dc(), 1));
    EXPECT_EQ(GetTextColor(c.dc()), 1u);
    EXPECT_EQ(SaveDC(c.dc()), 1) << "level 1 and all later ones are gone";
}

TEST(SaveDC, RestoreOutOfRangeFailsAndChangesNothing)
{
    Canvas c(4, 4);
    SetTextColor(c.dc(), 5);
    SaveDC(c.dc());
    SetTextColor(c.dc(), 6);
    for (int level : { 0, -2, 2, -100, 100 }) {
        EXPECT_FALSE(RestoreDC(c.dc(), level)) << level;
        EXPECT_EQ(GetTextColor(c.dc()), 6u) << level;
    }
    EXPECT_TRUE(RestoreDC(c.dc(), -1)) << "the stack is still there";
    EXPECT_EQ(GetTextColor(c.dc()), 5u);
    EXPECT_FALSE(RestoreDC(c.dc(), -1));
}

TEST(Objects, StockObjectsHaveTheOriginalsValues)
{
    struct Row {
        int index;
        UINT style;
        COLORREF colour;
    };
    const Row brushes[] = { { WHITE_BRUSH, BS_SOLID, 0xFFFFFF }, { LTGRAY_BRUSH, BS_SOLID, 0xC0C0C0 },
                            { GRAY_BRUSH, BS_SOLID, 0x808080 },  { DKGRAY_BRUSH, BS_SOLID, 0x404040 },
                            { BLACK_BRUSH, BS_SOLID, 0 },        { NULL_BRUSH, BS_NULL, 0 },
                            { DC_BRUSH, BS_SOLID, 0xFFFFFF } };
    for (const Row& r : brushes) {
        LOGBRUSH b;
        ASSERT_EQ(GetObject(GetStockObject(r.index), sizeof b, &b), int(sizeof b)) << r.index;
        EXPECT_EQ(b.lbStyle, r.style) << r.index;
        if (r.style == BS_SOLID) {
            EXPECT_EQ(b.lbColor, r.colour) << r.index;
        }
        EXPECT_EQ(GetObjectType(GetStockObject(r.index)), OBJ_BRUSH);
    }
    const Row pens[] = {
        { WHITE_PEN, PS_SOLID, 0xFFFFFF }, { BLACK_PEN, PS_SOLID, 0 }, { NULL_PEN, PS_NULL, 0 }, { DC_PEN, PS_SOLID, 0 }
    };
    for (const Row& r : pens) {
        LOGPEN p;
        ASSERT_EQ(GetObject(GetStockObject(r.index), sizeof p, &p), int(sizeof p)) << r.index;
        EXPECT_EQ(p.lopnStyle, r.style) << r.index;
        EXPECT_EQ(p.lopnColor, r.colour) << r.index;
        EXPECT_EQ(p.lopnWidth.x, 0) << r.index;
    }
    for (int font : { OEM_FIXED_FONT, ANSI_FIXED_FONT, ANSI_VAR_FONT, SYSTEM_FONT, DEVICE_DEFAULT_FONT,
                      SYSTEM_FIXED_FONT, DEFAULT_GUI_FONT })
        EXPECT_EQ(GetObjectType(GetStockObject(font)), OBJ_FONT) << font;
    LOGFONTA system;
    GetObject(GetStockObject(SYSTEM_FONT), sizeof system, &system);
    EXPECT_STREQ(system.lfFaceName, "System");
    EXPECT_EQ(system.lfWeight, FW_BOLD);
    EXPECT_EQ(GetStockObject(9), nullptr);
    EXPECT_EQ(GetStockObject(20), nullptr);
    EXPECT_EQ(GetObjectType(GetStockObject(DEFAULT_PALETTE)), OBJ_PAL);
    PALETTEENTRY entries[20];
    EXPECT_EQ(GetPaletteEntries(GetStockObject(DEFAULT_PALETTE), 0, 20, entries), 20u);
    EXPECT_EQ(entries[1].peRed, 0x80);
    EXPECT_EQ(entries[19].peBlue, 0xFF);
    EXPECT_TRUE(DeleteObject(GetStockObject(BLACK_PEN)));
    EXPECT_EQ(GetObjectType(GetStockObject(BLACK_PEN)), OBJ_PEN) << "stock objects survive DeleteObject";
}

TEST(Objects, NewContextsStartWithTheDefaultObjectsAndModes)
{
    Canvas c(2, 2);
    EXPECT_EQ(GetCurrentObject(c.dc(), OBJ_PEN), GetStockObject(BLACK_PEN));
    EXPECT_EQ(GetCurrentObject(c.dc(), OBJ_BRUSH), GetStockObject(WHITE_BRUSH));
    EXPECT_EQ(GetCurrentObject(c.dc(), OBJ_FONT), GetStockObject(SYSTEM_FONT));
    EXPECT_EQ(GetMapMode(c.dc()), MM_TEXT);
    EXPECT_EQ(GetBkMode(c.dc()), OPAQUE);
    EXPECT_EQ(GetBkColor(c.dc()), 0xFFFFFFu);
    EXPECT_EQ(GetTextColor(c.dc()), 0u);
    EXPECT_EQ(GetTextAlign(c.dc()), 0u);
    EXPECT_EQ(GetPolyFillMode(c.dc()), ALTERNATE);
    EXPECT_EQ(GetROP2(c.dc()), R2_COPYPEN);
    EXPECT_EQ(GetGraphicsMode(c.dc()), GM_COMPATIBLE);
}

TEST(Objects, ADeletedObjectThatIsStillSelectedKeepsDrawing)
{
    Canvas c(10, 10);
    HPEN red = CreatePen(PS_SOLID, 1, RGB(255, 0, 0));
    HGDIOBJ previous = SelectObject(c.dc(), red);
    EXPECT_EQ(previous, GetStockObject(BLACK_PEN));
    EXPECT_TRUE(DeleteObject(red));
    MoveToEx(c.dc(), 0, 5, nullptr);
    LineTo(c.dc(), 10, 5);
    EXPECT_EQ(c.count(RGB(255, 0, 0)), 10);
    LOGPEN still;
    EXPECT_EQ(GetObject(red, sizeof still, &still), int(sizeof still)) << "the handle lives while selected";
    EXPECT_EQ(SelectObject(c.dc(), previous), red);
    EXPECT_EQ(GetObject(red, sizeof still, &still), 0) << "freed with the last selection";
    EXPECT_EQ(SelectObject(c.dc(), red), nullptr);
    EXPECT_FALSE(DeleteObject(red));
}

TEST(Objects, ASavedObjectLivesUntilTheSavedStateGoes)
{
    Canvas c(10, 10);
    HBRUSH blue = CreateSolidBrush(RGB(0, 0, 255));
    SelectObject(c.dc(), blue);
    SaveDC(c.dc());
    SelectObject(c.dc(), GetStockObject(WHITE_BRUSH));
    DeleteObject(blue);
    RestoreDC(c.dc(), -1);
    EXPECT_EQ(GetCurrentObject(c.dc(), OBJ_BRUSH), blue);
    FillRect(c.dc(), RECT { 0, 0, 10, 10 }, blue);
    EXPECT_EQ(c.count(RGB(0, 0, 255)), 100);
    SelectObject(c.dc(), GetStockObject(WHITE_BRUSH));
    EXPECT_EQ(GetObjectType(blue), 0u);
}

TEST(Objects, GetObjectCopiesWhatWasCreatedAndAsksTheSizeWithoutABuffer)
{
    HPEN pen = CreatePen(PS_DASHDOT, 3, RGB(1, 2, 3));
    EXPECT_EQ(GetObject(pen, 0, nullptr), int(sizeof(LOGPEN)));
    LOGPEN p;
    GetObject(pen, sizeof p, &p);
    EXPECT_EQ(p.lopnStyle, PS_DASHDOT);
    EXPECT_EQ(p.lopnWidth.x, 3);
    EXPECT_EQ(p.lopnColor, RGB(1, 2, 3));
    DeleteObject(pen);

    HBRUSH hatch = CreateHatchBrush(HS_DIAGCROSS, RGB(4, 5, 6));
    LOGBRUSH b;
    GetObject(hatch, sizeof b, &b);
    EXPECT_EQ(b.lbStyle, BS_HATCHED);
    EXPECT_EQ(b.lbHatch, uintptr_t(HS_DIAGCROSS));
    DeleteObject(hatch);

    LOGFONTA asked = gditest::logFont("Courier New", -17, FW_BOLD, 450);
    asked.lfItalic = 1;
    HFONT font = CreateFontIndirect(asked);
    LOGFONTA f;
    EXPECT_EQ(GetObject(font, sizeof f, &f), int(sizeof f));
    EXPECT_EQ(std::memcmp(&f, &asked, sizeof f), 0);
    DeleteObject(font);

    EXPECT_EQ(CreatePen(42, 1, 0), nullptr);
    EXPECT_EQ(CreateHatchBrush(9, 0), nullptr);
    EXPECT_EQ(GetObject(nullptr, sizeof f, &f), 0);
}

TEST(Objects, SelectingSomethingInvalidChangesNothing)
{
    Canvas c(2, 2);
    HGDIOBJ pen = GetCurrentObject(c.dc(), OBJ_PEN);
    EXPECT_EQ(SelectObject(c.dc(), reinterpret_cast<HGDIOBJ>(uintptr_t(0xDEAD0))), nullptr);
    EXPECT_EQ(SelectObject(nullptr, GetStockObject(WHITE_PEN)), nullptr);
    EXPECT_EQ(GetCurrentObject(c.dc(), OBJ_PEN), pen);
    EXPECT_EQ(SetTextColor(nullptr, 0), CLR_INVALID);
    EXPECT_FALSE(LineTo(nullptr, 1, 1));
    EXPECT_FALSE(DeleteDC(nullptr));
}

TEST(Objects, DcPenAndBrushTakeTheContextsColours)
{
    Canvas c(10, 10);
    SelectObject(c.dc(), GetStockObject(DC_BRUSH));
    SelectObject(c.dc(), GetStockObject(DC_PEN));
    EXPECT_EQ(SetDCBrushColor(c.dc(), RGB(0, 200, 0)), 0xFFFFFFu);
    SetDCPenColor(c.dc(), RGB(200, 0, 0));
    Rectangle(c.dc(), 0, 0, 10, 10);
    EXPECT_EQ(c.at(0, 0), RGB(200, 0, 0));
    EXPECT_EQ(c.at(5, 5), RGB(0, 200, 0));
}

TEST(Mapping, AnisotropicScalesAndMovesAndIsotropicKeepsUnitsSquare)
{
    Canvas c(100, 100);
    SetMapMode(c.dc(), MM_ANISOTROPIC);
    SetWindowExtEx(c.dc(), 10, 10, nullptr);
    SetViewportExtEx(c.dc(), 40, 20, nullptr);
    SetViewportOrgEx(c.dc(), 5, 6, nullptr);
    POINT p[2] = { { 0, 0 }, { 10, 10 } };
    ASSERT_TRUE(LPtoDP(c.dc(), p, 2));
    EXPECT_EQ(p[0].x, 5);
    EXPECT_EQ(p[0].y, 6);
    EXPECT_EQ(p[1].x, 45);
    EXPECT_EQ(p[1].y, 26);
    DPtoLP(c.dc(), p, 2);
    EXPECT_EQ(p[1].x, 10);
    EXPECT_EQ(p[1].y, 10);
    HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
    FillRect(c.dc(), RECT { 0, 0, 5, 5 }, red);
    DeleteObject(red);
    RECT ink = c.inkBounds();
    EXPECT_EQ(ink.left, 5);
    EXPECT_EQ(ink.top, 6);
    EXPECT_EQ(ink.right, 25);
    EXPECT_EQ(ink.bottom, 16);

    SetMapMode(c.dc(), MM_ISOTROPIC);
    SetWindowExtEx(c.dc(), 10, 10, nullptr);
    SetViewportExtEx(c.dc(), 40, -20, nullptr);
    SIZE viewport;
    GetViewportExtEx(c.dc(), &viewport);
    EXPECT_EQ(viewport.cx, 20) << "the larger scale shrinks to the smaller";
    EXPECT_EQ(viewport.cy, -20);
}

TEST(Mapping, MetricModesCountExactUnitsAtTheContextsResolutionWithYUp)
{
    Canvas c(10, 10);
    SetMapMode(c.dc(), MM_LOMETRIC);
    POINT p[2] = { { 254, -254 }, { 1000, 0 } };
    LPtoDP(c.dc(), p, 2);
    EXPECT_EQ(p[0].x, 96);
    EXPECT_EQ(p[0].y, 96);
    EXPECT_EQ(p[1].x, 378);
    SIZE before, after;
    GetWindowExtEx(c.dc(), &before);
    EXPECT_TRUE(SetWindowExtEx(c.dc(), 1, 1, nullptr)) << "ignored, but not a failure";
    GetWindowExtEx(c.dc(), &after);
    EXPECT_EQ(before.cx, after.cx);
    SetMapMode(c.dc(), MM_TWIPS);
    POINT inch { 1440, -1440 };
    LPtoDP(c.dc(), &inch, 1);
    EXPECT_EQ(inch.x, 96);
    EXPECT_EQ(inch.y, 96);
}

TEST(Mapping, WorldTransformsNeedAdvancedModeAndComposeInOrder)
{
    Canvas c(10, 10);
    XFORM shift { 1, 0, 0, 1, 10, 0 }, twice { 2, 0, 0, 2, 0, 0 };
    EXPECT_FALSE(SetWorldTransform(c.dc(), shift));
    EXPECT_EQ(SetGraphicsMode(c.dc(), GM_ADVANCED), GM_COMPATIBLE);
    ASSERT_TRUE(SetWorldTransform(c.dc(), shift));
    ASSERT_TRUE(ModifyWorldTransform(c.dc(), &twice, MWT_RIGHTMULTIPLY)); // shift, then double
    POINT p { 1, 1 };
    LPtoDP(c.dc(), &p, 1);
    EXPECT_EQ(p.x, 22);
    EXPECT_EQ(p.y, 2);
    SetWorldTransform(c.dc(), shift);
    ModifyWorldTransform(c.dc(), &twice, MWT_LEFTMULTIPLY); // double, then shift
    p = POINT { 1, 1 };
    LPtoDP(c.dc(), &p, 1);
    EXPECT_EQ(p.x, 12);
    XFORM read;
    GetWorldTransform(c.dc(), &read);
    EXPECT_FLOAT_EQ(read.eM11, 2);
    EXPECT_FLOAT_EQ(read.eDx, 10);
    EXPECT_EQ(SetGraphicsMode(c.dc(), GM_COMPATIBLE), 0) << "not while the transform is not the identity";
    ModifyWorldTransform(c.dc(), nullptr, MWT_IDENTITY);
    EXPECT_EQ(SetGraphicsMode(c.dc(), GM_COMPATIBLE), GM_ADVANCED);
    XFORM flat { 0, 0, 0, 0, 0, 0 };
    SetGraphicsMode(c.dc(), GM_ADVANCED);
    EXPECT_FALSE(SetWorldTransform(c.dc(), flat));
}

// Each factor fits a float, their product does not: the transform stays as it was.
TEST(Mapping, AWorldTransformProductBeyondFloatIsRefused)
{
    Canvas c(10, 10);
    SetGraphicsMode(c.dc(), GM_ADVANCED);
    const XFORM huge { 1, 0, 0, 1e30f, 0, 0 };
    ASSERT_TRUE(SetWorldTransform(c.dc(), huge));
    EXPECT_FALSE(ModifyWorldTransform(c.dc(), &huge, MWT_LEFTMULTIPLY));
    XFORM read;
    GetWorldTransform(c.dc(), &read);
    EXPECT_FLOAT_EQ(read.eM22, 1e30f);
}

TEST(Devices, ScreenAndMemoryContextsReportTheFixedScreen)
{
    HDC screen = GetDC(0);
    ASSERT_NE(screen, nullptr);
    EXPECT_EQ(GetDeviceCaps(screen, LOGPIXELSX), 96);
    EXPECT_EQ(GetDeviceCaps(screen, LOGPIXELSY), 96);
    EXPECT_EQ(GetDeviceCaps(screen, HORZRES), 1920);
    EXPECT_EQ(GetDeviceCaps(screen, VERTRES), 1080);
    EXPECT_EQ(GetDeviceCaps(screen, HORZSIZE), 508);
    EXPECT_EQ(GetDeviceCaps(screen, BITSPIXEL), 32);
    EXPECT_EQ(GetDeviceCaps(screen, TECHNOLOGY), DT_RASDISPLAY);
    EXPECT_EQ(GetObjectType(screen), OBJ_DC);
    RECT box;
    EXPECT_EQ(GetClipBox(screen, &box), SIMPLEREGION);
    EXPECT_EQ(box.right, 1920);
    EXPECT_EQ(GetPixel(screen, 5, 5), CLR_INVALID) << "the screen context keeps no picture";
    EXPECT_EQ(GetDC(42), nullptr);
    EXPECT_FALSE(DeleteDC(screen)) << "the screen's context is released, not deleted";
    EXPECT_EQ(ReleaseDC(0, screen), 1);

    HDC memory = CreateCompatibleDC(nullptr);
    EXPECT_EQ(GetDeviceCaps(memory, LOGPIXELSX), 96);
    EXPECT_EQ(GetObjectType(memory), OBJ_MEMDC);
    EXPECT_TRUE(DeleteDC(memory));
    EXPECT_EQ(GetDeviceCaps(memory, LOGPIXELSX), 0);
}

TEST(Colours, SystemColoursComeFromTheClassicTable)
{
    EXPECT_EQ(GetSysColor(COLOR_BTNFACE), 0xC0C0C0u);
    EXPECT_EQ(GetSysColor(COLOR_BTNSHADOW), 0x808080u);
    EXPECT_EQ(GetSysColor(COLOR_BTNHIGHLIGHT), 0xFFFFFFu);
    EXPECT_EQ(GetSysColor(COLOR_WINDOW), 0xFFFFFFu);
    EXPECT_EQ(GetSysColor(COLOR_WINDOWTEXT), 0u);
    EXPECT_EQ(GetSysColor(COLOR_HIGHLIGHT), 0x800000u);
    EXPECT_EQ(GetSysColor(COLOR_HIGHLIGHTTEXT), 0xFFFFFFu);
    EXPECT_EQ(GetSysColor(999), 0u);
    EXPECT_EQ(ColorToRGB(0x80000000u | COLOR_BTNFACE), 0xC0C0C0u);
    EXPECT_EQ(ColorToRGB(PALETTEINDEX(13)), RGB(255, 0, 0));
    EXPECT_EQ(ColorToRGB(0x02123456), 0x123456u);
    EXPECT_EQ(ColorToRGB(0x0000FF), 0x0000FFu);
}

TEST(Regions, CombineMeasureAndMove)
{
    HRGN a = CreateRectRgn(0, 0, 10, 10), b = CreateRectRgn(5, 5, 15, 15), r = CreateRectRgn(0, 0, 0, 0);
    RECT box;
    EXPECT_EQ(GetRgnBox(r, &box), NULLREGION);
    EXPECT_EQ(CombineRgn(r, a, b, RGN_AND), SIMPLEREGION);
    GetRgnBox(r, &box);
    EXPECT_EQ(box.left, 5);
    EXPECT_EQ(box.right, 10);
    EXPECT_EQ(CombineRgn(r, a, b, RGN_OR), COMPLEXREGION);
    EXPECT_TRUE(PtInRegion(r, 14, 14));
    EXPECT_FALSE(PtInRegion(r, 14, 2));
    EXPECT_EQ(CombineRgn(r, a, b, RGN_XOR), COMPLEXREGION);
    EXPECT_FALSE(PtInRegion(r, 7, 7));
    EXPECT_EQ(CombineRgn(r, a, b, RGN_DIFF), COMPLEXREGION);
    EXPECT_TRUE(PtInRegion(r, 2, 7));
    EXPECT_EQ(CombineRgn(r, a, nullptr, RGN_COPY), SIMPLEREGION);
    EXPECT_EQ(OffsetRgn(r, 3, 4), SIMPLEREGION);
    GetRgnBox(r, &box);
    EXPECT_EQ(box.left, 3);
    EXPECT_EQ(box.bottom, 14);
    EXPECT_EQ(CombineRgn(r, a, nullptr, RGN_AND), ERROR);
    HRGN reversed = CreateRectRgn(10, 10, 0, 0);
    GetRgnBox(reversed, &box);
    EXPECT_EQ(box.left, 0);
    EXPECT_EQ(box.right, 10);
    for (HRGN h : { a, b, r, reversed })
        DeleteObject(h);
}

TEST(Regions, GetClipRgnCopiesTheClipOrReportsThereIsNone)
{
    Canvas c(10, 10);
    HRGN copy = CreateRectRgn(0, 0, 1, 1);
    EXPECT_EQ(GetClipRgn(c.dc(), copy), 0);
    IntersectClipRect(c.dc(), 2, 2, 4, 4);
    EXPECT_EQ(GetClipRgn(c.dc(), copy), 1);
    RECT box;
    GetRgnBox(copy, &box);
    EXPECT_EQ(box.left, 2);
    EXPECT_EQ(box.bottom, 4);
    DeleteObject(copy);
}
