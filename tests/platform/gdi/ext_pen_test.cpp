//===- ext_pen_test.cpp - Extended pens: what they accept, draw and record -===//
#include "EmfTestSupport.h"

#include <gtest/gtest.h>

using emftest::record;
using emftest::records;
using emftest::startsWith;
using gditest::Canvas;

namespace {

constexpr COLORREF red = 0x0000FF;

TEST(ExtCreatePen, AcceptsWhatTheOriginalAcceptsAndNothingMore)
{
    const LOGBRUSH solid { BS_SOLID, red, 0 }, hatched { BS_HATCHED, red, HS_CROSS }, pattern { BS_PATTERN, 0, 0 };
    const UINT dashes[] = { 4, 2 };
    const struct {
        const char* Why;
        UINT Style, Width;
        LOGBRUSH Brush;
        UINT Count;
        const UINT* Entries;
        bool Made;
    } rows[] = {
        { "cosmetic", PS_COSMETIC | PS_DOT, 1, solid, 0, nullptr, true },
        { "geometric with cap and join", PS_GEOMETRIC | PS_ENDCAP_FLAT | PS_JOIN_BEVEL, 9, hatched, 0, nullptr, true },
        { "geometric inside frame", PS_GEOMETRIC | PS_INSIDEFRAME, 4, solid, 0, nullptr, true },
        { "a wide cosmetic pen", PS_COSMETIC, 2, solid, 0, nullptr, false },
        { "a cosmetic hatch", PS_COSMETIC, 1, hatched, 0, nullptr, false },
        { "cosmetic inside frame", PS_COSMETIC | PS_INSIDEFRAME, 1, solid, 0, nullptr, false },
        { "a pattern brush", PS_GEOMETRIC, 3, pattern, 0, nullptr, false },
        { "user styles", PS_GEOMETRIC | PS_USERSTYLE, 3, solid, 2, dashes, false },
        { "style entries without the user style", PS_GEOMETRIC, 3, solid, 2, dashes, false },
        { "an unknown cap", PS_GEOMETRIC | 0x300, 3, solid, 0, nullptr, false },
        { "an unknown type", 0x20000, 3, solid, 0, nullptr, false },
        { "a width past 32 bits signed", PS_GEOMETRIC, 0x80000000u, solid, 0, nullptr, false },
    };
    for (const auto& row : rows) {
        HPEN pen = ExtCreatePen(row.Style, row.Width, row.Brush, row.Count, row.Entries);
        EXPECT_EQ(pen != nullptr, row.Made) << row.Why;
        if (!pen)
            continue;
        EXTLOGPEN back;
        ASSERT_EQ(GetObject(pen, sizeof back, &back), int(sizeof back)) << row.Why;
        EXPECT_EQ(back.elpPenStyle, row.Style) << row.Why;
        EXPECT_EQ(back.elpWidth, row.Width) << row.Why;
        EXPECT_EQ(back.elpBrushStyle, row.Brush.lbStyle) << row.Why;
        DeleteObject(pen);
    }
}

/// A 21-pixel-wide horizontal line from x 30 to 70 at y 30 with the pen's end cap.
void wideLine(HDC Dc, UINT Cap)
{
    HPEN pen = ExtCreatePen(PS_GEOMETRIC | Cap, 21, LOGBRUSH { BS_SOLID, red, 0 }, 0, nullptr);
    HGDIOBJ old = SelectObject(Dc, pen);
    MoveToEx(Dc, 30, 30, nullptr);
    LineTo(Dc, 70, 30);
    SelectObject(Dc, old);
    DeleteObject(pen);
}

TEST(ExtCreatePen, WideGeometricPensDrawTheirEndCapAndKeepItThroughAMetafile)
{
    const struct {
        UINT Cap;
        int Left, Right; // ink columns, right excluded
        int Top;         // ink row at column 25, or -1 for none
    } rows[] = {
        { PS_ENDCAP_FLAT, 30, 71, -1 },
        { PS_ENDCAP_SQUARE, 20, 81, 20 },
    };
    for (const auto& row : rows) {
        Canvas direct(100, 60), played(100, 60);
        wideLine(direct.dc(), row.Cap);
        RECT ink = direct.inkBounds();
        EXPECT_NEAR(ink.left, row.Left, 1) << "cap " << row.Cap;
        EXPECT_NEAR(ink.right, row.Right, 1) << "cap " << row.Cap;
        EXPECT_EQ(direct.at(25, 30) == red, row.Top >= 0) << "cap " << row.Cap;

        RECT frame = emftest::frameOfPixels(100, 60);
        HENHMETAFILE picture = record([&](HDC D) { wideLine(D, row.Cap); }, &frame);
        ASSERT_TRUE(picture);
        std::vector<std::string> r = records(*picture);
        EXPECT_TRUE(std::any_of(r.begin(), r.end(), [&](const std::string& L) {
            return startsWith(L, "EXTCREATEPEN 52 index=1 style=0x")
                   && L.find(" width=21 brush=0 colour=0x000000FF") != std::string::npos;
        })) << DumpEnhMetaFile(picture->Bytes());
        PlayEnhMetaFile(played.dc(), *picture, RECT { 0, 0, 100, 60 });
        EXPECT_EQ(played.picture(red), direct.picture(red)) << "cap " << row.Cap;
    }
}

} // namespace
