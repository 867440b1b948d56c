//===- emf_records_test.cpp - The records a recording context writes ------===//
//
// The records are what other programs and the system's own PDF metafile player read, so the
// golden dump is compared line by line; the other cases pin the rules readers rely on: the
// header, inclusive bounds, object indexes and the encodings of text and bitmaps.
//
#include "EmfTestSupport.h"

#include "tests/support/TestSupport.h"

#include "platform/gdi/bitmaps/Dib.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <climits>
#include <cstring>
#include <sys/wait.h>

using namespace emftest;
using gditest::logFont;

namespace {

/// A 1-bit 8 x 8 checker in black and yellow.
Dib checker()
{
    Dib d(8, 8, 1);
    d.Palette() = { RGBQUAD { 0, 0, 0, 0 }, RGBQUAD { 0, 255, 255, 0 } };
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x)
            d.SetIndex(x, y, (x + y) % 2);
    return d;
}

/// Line, rectangle, text, bitmap, clip, save and restore, world transform and a fill.
void smallDrawing(HDC Dc)
{
    HPEN red = CreatePen(PS_SOLID, 3, RGB(255, 0, 0));
    HGDIOBJ oldPen = SelectObject(Dc, red);
    MoveToEx(Dc, 10, 10, nullptr);
    LineTo(Dc, 100, 10);
    HBRUSH blue = CreateSolidBrush(RGB(0, 0, 255));
    HGDIOBJ oldBrush = SelectObject(Dc, blue);
    Rectangle(Dc, 10, 20, 60, 50);

    SaveDC(Dc);
    IntersectClipRect(Dc, 0, 0, 80, 80);
    HFONT arial = CreateFontIndirect(logFont("Arial", -13));
    SelectObject(Dc, arial);
    SetTextColor(Dc, RGB(0, 128, 0));
    SetBkMode(Dc, TRANSPARENT);
    TextOut(Dc, 10, 60, "Hi \xB5\x80");
    RestoreDC(Dc, -1);
    DeleteObject(arial);

    Dib bits = checker();
    StretchDIBits(Dc, 70, 20, 16, 16, 0, 0, 8, 8, bits, SRCCOPY);

    SetGraphicsMode(Dc, GM_ADVANCED);
    XFORM shift { 1, 0, 0, 1, 100, 0 };
    SetWorldTransform(Dc, shift);
    Ellipse(Dc, 0, 0, 20, 20);
    ModifyWorldTransform(Dc, nullptr, MWT_IDENTITY);

    FillRect(Dc, RECT { 0, 90, 30, 100 }, HBRUSH(uintptr_t(COLOR_BTNFACE + 1)));
    SelectObject(Dc, oldPen);
    SelectObject(Dc, oldBrush);
    DeleteObject(red);
    DeleteObject(blue);
}

/// "CREATEPEN 28 index=1 style=0 ..." -> "CREATEPEN index=1".
std::string objectPart(const std::string& Record)
{
    const std::string name = Record.substr(0, Record.find(' '));
    for (const char* key : { "index=", "stock=" }) {
        size_t at = Record.find(key);
        if (at != std::string::npos)
            return name + " " + Record.substr(at, Record.find(' ', at) - at);
    }
    return name;
}

} // namespace

// ---- Golden records

TEST(EmfRecords, SmallDrawingGivesTheGoldenRecords)
{
    HENHMETAFILE mf = record(smallDrawing);
    ASSERT_TRUE(mf);
    expectGolden("emf_small_drawing.txt", DumpEnhMetaFile(mf->Bytes()));
}

TEST(EmfRecords, ShapesAttributesAndMappingGiveTheGoldenRecords)
{
    HENHMETAFILE mf = record([](HDC Dc) {
        SetMapMode(Dc, MM_ANISOTROPIC);
        SetWindowOrgEx(Dc, 5, 5, nullptr);
        SetWindowExtEx(Dc, 100, 100, nullptr);
        SetViewportExtEx(Dc, 200, 200, nullptr);
        SetViewportOrgEx(Dc, 1, 2, nullptr);
        SetBkColor(Dc, RGB(1, 2, 3));
        SetTextAlign(Dc, TA_BASELINE | TA_CENTER);
        SetPolyFillMode(Dc, WINDING);
        SetROP2(Dc, R2_XORPEN);
        SetStretchBltMode(Dc, COLORONCOLOR);
        SetArcDirection(Dc, AD_CLOCKWISE);
        POINT tri[3] = { { 10, 10 }, { 40, 10 }, { 25, 30 } };
        Polygon(Dc, tri, 3);
        POINT far[2] = { { 0, 0 }, { 40000, 5 } };
        Polyline(Dc, far, 2);
        POINT two[6] = { { 0, 0 }, { 5, 0 }, { 0, 5 }, { 10, 10 }, { 15, 10 }, { 10, 15 } };
        int counts[2] = { 3, 3 };
        PolyPolygon(Dc, two, counts, 2);
        RoundRect(Dc, 0, 0, 30, 20, 6, 4);
        Arc(Dc, 0, 0, 20, 20, 20, 10, 0, 10);
        Pie(Dc, 0, 0, 20, 20, 20, 10, 0, 10);
        Chord(Dc, 0, 0, 20, 20, 20, 10, 0, 10);
        SetPixel(Dc, 3, 4, RGB(9, 8, 7));
        HBRUSH hatch = CreateHatchBrush(HS_CROSS, RGB(0, 255, 0));
        SelectObject(Dc, hatch);
        PatBlt(Dc, 0, 0, 8, 8, PATCOPY);
        SelectObject(Dc, GetStockObject(NULL_BRUSH));
        DeleteObject(hatch);
        ExcludeClipRect(Dc, 1, 1, 2, 2);
        HRGN two_rects = CreateRectRgn(0, 0, 10, 10);
        HRGN other = CreateRectRgn(20, 0, 30, 10);
        CombineRgn(two_rects, two_rects, other, RGN_OR);
        ExtSelectClipRgn(Dc, two_rects, RGN_AND);
        SelectClipRgn(Dc, nullptr);
        DeleteObject(two_rects);
        DeleteObject(other);
    });
    ASSERT_TRUE(mf);
    expectGolden("emf_shapes_and_mapping.txt", DumpEnhMetaFile(mf->Bytes()));
}

// ---- Header

TEST(EmfRecords, HeaderDescribesTheScreenReferenceAndTheFile)
{
    HENHMETAFILE mf = record([](HDC Dc) { Rectangle(Dc, 10, 10, 50, 40); });
    ASSERT_TRUE(mf);
    auto b = mf->Bytes();
    uint32_t u[27];
    std::memcpy(u, b.data(), sizeof u);
    EXPECT_EQ(u[0], 1u);           // type
    EXPECT_EQ(u[1], 108u);         // header size
    EXPECT_EQ(u[10], 0x464D4520u); // " EMF" at 40
    EXPECT_EQ(std::memcmp(b.data() + 40, " EMF", 4), 0);
    EXPECT_EQ(u[11], 0x10000u); // version
    EXPECT_EQ(u[12], b.size()); // nBytes
    EXPECT_EQ(u[13], 3u);       // header, RECTANGLE, EOF
    EXPECT_EQ(mf->RecordCount(), 3u);
    EXPECT_EQ(u[15], 0u); // no description
    EXPECT_EQ(u[17], 0u); // no palette
    EXPECT_EQ(mf->Device().cx, 1920);
    EXPECT_EQ(mf->Device().cy, 1080);
    EXPECT_EQ(mf->Millimeters().cx, 508);
    EXPECT_EQ(mf->Millimeters().cy, 286);
    EXPECT_EQ(int32_t(u[25]), 508000); // szlMicrometers
    EXPECT_EQ(int32_t(u[26]), 285750);
    EXPECT_EQ(mf->Handles(), 1); // no object: only the reserved index 0

    // The EOF record closes the file: no palette, its offset 16, nSizeLast 20.
    uint32_t eof[5];
    std::memcpy(eof, b.data() + b.size() - 20, sizeof eof);
    EXPECT_EQ(eof[0], 14u);
    EXPECT_EQ(eof[1], 20u);
    EXPECT_EQ(eof[2], 0u);
    EXPECT_EQ(eof[3], 16u);
    EXPECT_EQ(eof[4], 20u);
}

TEST(EmfRecords, EmptyMetafileHasEmptyBoundsAndFrame)
{
    HENHMETAFILE mf = record([](HDC Dc) {
        SetTextColor(Dc, 5); // state alone draws nothing
        MoveToEx(Dc, 100, 100, nullptr);
    });
    ASSERT_TRUE(mf);
    EXPECT_EQ(mf->Bounds().left, 0);
    EXPECT_EQ(mf->Bounds().top, 0);
    EXPECT_EQ(mf->Bounds().right, -1);
    EXPECT_EQ(mf->Bounds().bottom, -1);
    EXPECT_EQ(mf->Frame().right, -1);
    EXPECT_EQ(mf->Frame().bottom, -1);
}

TEST(EmfRecords, BoundsAreInclusiveDevicePixels)
{
    struct Row {
        const char* name;
        std::function<void(HDC)> draw;
        RECT bounds;
    };
    const std::vector<Row> rows = {
        { "rectangle, thin pen", [](HDC D) { Rectangle(D, 10, 10, 50, 40); }, { 10, 10, 49, 39 } },
        { "rectangle, null pen",
          [](HDC D) {
              SelectObject(D, GetStockObject(NULL_PEN));
              Rectangle(D, 10, 10, 50, 40);
          },
          { 10, 10, 48, 38 } },
        { "line to its end point", [](HDC D) { MoveToEx(D, 5, 6, nullptr), LineTo(D, 20, 30); }, { 5, 6, 20, 30 } },
        { "wide pen reaches out",
          [](HDC D) {
              HPEN p = CreatePen(PS_SOLID, 5, 0);
              SelectObject(D, p);
              MoveToEx(D, 10, 10, nullptr), LineTo(D, 20, 10);
              SelectObject(D, GetStockObject(BLACK_PEN));
              DeleteObject(p);
          },
          { 8, 8, 22, 12 } },
        { "fill",
          [](HDC D) {
              FillRect(D, RECT { 1, 2, 3, 4 }, HBRUSH(GetStockObject(BLACK_BRUSH)));
          },
          { 1, 2, 2, 3 } },
        { "pixel", [](HDC D) { SetPixel(D, 7, 9, 0); }, { 7, 9, 7, 9 } },
        { "through the mapping",
          [](HDC D) {
              SetMapMode(D, MM_ANISOTROPIC);
              SetViewportExtEx(D, 2, 2, nullptr);
              SetViewportOrgEx(D, 100, 0, nullptr);
              Rectangle(D, 0, 0, 10, 10);
          },
          { 100, 0, 119, 19 } },
        { "through the world transform",
          [](HDC D) {
              SetGraphicsMode(D, GM_ADVANCED);
              XFORM x { 1, 0, 0, 1, 0, 580 };
              SetWorldTransform(D, x);
              Rectangle(D, 0, 0, 600, 420);
          },
          { 0, 580, 599, 999 } },
        { "union of two shapes",
          [](HDC D) {
              Rectangle(D, 10, 10, 20, 20);
              Ellipse(D, 30, 5, 40, 15);
          },
          { 10, 5, 39, 19 } },
    };
    for (const Row& row : rows) {
        HENHMETAFILE mf = record(row.draw);
        ASSERT_TRUE(mf) << row.name;
        RECT b = mf->Bounds();
        EXPECT_EQ(b.left, row.bounds.left) << row.name;
        EXPECT_EQ(b.top, row.bounds.top) << row.name;
        EXPECT_EQ(b.right, row.bounds.right) << row.name;
        EXPECT_EQ(b.bottom, row.bounds.bottom) << row.name;
    }
}

TEST(EmfRecords, FrameFollowsTheBoundsOrTheGivenFrame)
{
    HENHMETAFILE own = record([](HDC D) { Rectangle(D, 0, 0, 96, 48); });
    ASSERT_TRUE(own);
    // 96 x 48 pixels at 96 dpi: one inch by half an inch, edge to edge.
    EXPECT_EQ(own->Frame().left, 0);
    EXPECT_EQ(own->Frame().right, 2540);
    EXPECT_EQ(own->Frame().bottom, 1270);

    RECT frame { 0, 0, 15875, 11113 };
    HENHMETAFILE given = record([](HDC D) { Rectangle(D, 0, 0, 10, 10); }, &frame);
    ASSERT_TRUE(given);
    EXPECT_EQ(given->Frame().right, 15875);
    EXPECT_EQ(given->Frame().bottom, 11113);
    EXPECT_EQ(given->Bounds().right, 9);
}

// ---- Objects

TEST(EmfRecords, ObjectsTakeTheLowestFreeIndexAndAreDeletedAtTheEnd)
{
    HENHMETAFILE mf = record([](HDC D) {
        HPEN a = CreatePen(PS_SOLID, 1, 1), b = CreatePen(PS_SOLID, 1, 2), c = CreatePen(PS_SOLID, 1, 3);
        HBRUSH kept = CreateSolidBrush(4);
        SelectObject(D, a);    // 1
        SelectObject(D, b);    // 2
        SelectObject(D, a);    // already created: selected again
        DeleteObject(b);       // 2 is free again
        SelectObject(D, c);    // takes 2
        SelectObject(D, kept); // 3, never deleted by the caller
        SelectObject(D, GetStockObject(BLACK_PEN));
        DeleteObject(a);
        DeleteObject(c);
        HFONT never = CreateFontIndirect(logFont("Arial", -10));
        DeleteObject(never); // never selected: never in the metafile
        (void)kept;
    });
    ASSERT_TRUE(mf);
    std::vector<std::string> objects;
    for (const std::string& r : records(*mf))
        if (startsWith(r, "CREATE") || startsWith(r, "SELECTOBJECT") || startsWith(r, "DELETEOBJECT"))
            objects.push_back(objectPart(r));
    EXPECT_EQ(objects, (std::vector<std::string> {
                           "CREATEPEN index=1", "SELECTOBJECT index=1", "CREATEPEN index=2", "SELECTOBJECT index=2",
                           "SELECTOBJECT index=1", "DELETEOBJECT index=2", "CREATEPEN index=2", "SELECTOBJECT index=2",
                           "CREATEBRUSHINDIRECT index=3", "SELECTOBJECT index=3", "SELECTOBJECT stock=7",
                           "DELETEOBJECT index=1", "DELETEOBJECT index=2", "DELETEOBJECT index=3" }));
    EXPECT_EQ(mf->Handles(), 4);
}

TEST(EmfRecords, StockObjectsAreSelectedWithTheTopBit)
{
    HENHMETAFILE mf = record([](HDC D) {
        SelectObject(D, GetStockObject(NULL_BRUSH));
        SelectObject(D, GetStockObject(WHITE_PEN));
        SelectObject(D, GetStockObject(DEFAULT_GUI_FONT));
    });
    ASSERT_TRUE(mf);
    auto b = mf->Bytes();
    // The first record after the 108-byte header: SELECTOBJECT 0x80000005.
    uint32_t r[3];
    std::memcpy(r, b.data() + 108, sizeof r);
    EXPECT_EQ(r[0], 37u);
    EXPECT_EQ(r[1], 12u);
    EXPECT_EQ(r[2], 0x80000005u);
    EXPECT_EQ(records(*mf)[2], "SELECTOBJECT 12 stock=6");
    EXPECT_EQ(records(*mf)[3], "SELECTOBJECT 12 stock=17");
    EXPECT_EQ(mf->Handles(), 1);
}

TEST(EmfRecords, DcPenColoursBecomePensOfTheirOwn)
{
    HENHMETAFILE mf = record([](HDC D) {
        SetDCPenColor(D, RGB(255, 0, 0));
        SelectObject(D, GetStockObject(DC_PEN));
        SetDCPenColor(D, RGB(0, 255, 0));
        SelectObject(D, GetStockObject(BLACK_PEN));
    });
    ASSERT_TRUE(mf);
    std::vector<std::string> r = records(*mf);
    EXPECT_EQ(
        std::vector<std::string>(r.begin() + 1, r.end() - 1),
        (std::vector<std::string> { "CREATEPEN 28 index=1 style=0 width=0 colour=0x000000FF", "SELECTOBJECT 12 index=1",
                                    "CREATEPEN 28 index=2 style=0 width=0 colour=0x0000FF00", "SELECTOBJECT 12 index=2",
                                    "DELETEOBJECT 12 index=1", "SELECTOBJECT 12 stock=7", "DELETEOBJECT 12 index=2" }));
}

TEST(EmfRecords, FontKeepsEscapementOrientationAndItsFaceInUtf16)
{
    HENHMETAFILE mf = record([](HDC D) {
        LOGFONTA f = logFont("Arial", -20, FW_BOLD, 900);
        f.lfOrientation = 450;
        f.lfItalic = 1;
        f.lfCharSet = DEFAULT_CHARSET;
        HFONT font = CreateFontIndirect(f);
        SelectObject(D, font);
        SelectObject(D, GetStockObject(SYSTEM_FONT));
        DeleteObject(font);
    });
    ASSERT_TRUE(mf);
    auto b = mf->Bytes();
    const uint8_t* r = b.data() + 108;
    uint32_t head[3];
    std::memcpy(head, r, sizeof head);
    EXPECT_EQ(head[0], 82u);
    EXPECT_EQ(head[1], 104u); // index and one LOGFONTW
    int32_t lf[5];
    std::memcpy(lf, r + 12, sizeof lf);
    EXPECT_EQ(lf[0], -20);
    EXPECT_EQ(lf[2], 900); // escapement
    EXPECT_EQ(lf[3], 450); // orientation
    EXPECT_EQ(lf[4], 700);
    EXPECT_EQ(r[32], 1); // italic
    EXPECT_EQ(r[35], 1); // charset
    const uint8_t arial[12] = { 'A', 0, 'r', 0, 'i', 0, 'a', 0, 'l', 0, 0, 0 };
    EXPECT_EQ(std::memcmp(r + 40, arial, sizeof arial), 0);
}

// ---- Text and bitmaps

TEST(EmfRecords, TextIsUtf16WithOneAdvancePerCharacter)
{
    std::vector<int> widths;
    SIZE extent {};
    HENHMETAFILE mf = record([&](HDC D) {
        HFONT font = CreateFontIndirect(logFont("Arial", -16));
        SelectObject(D, font);
        widths.resize(3);
        GetCharWidth32(D, 'A', 'A', &widths[0]);
        GetCharWidth32(D, 0xE4, 0xE4, &widths[1]);
        GetCharWidth32(D, 0x80, 0x80, &widths[2]);
        GetTextExtentPoint32(D, "A\xE4\x80", &extent);
        TextOut(D, 5, 7, "A\xE4\x80");
        SelectObject(D, GetStockObject(SYSTEM_FONT));
        DeleteObject(font);
    });
    ASSERT_TRUE(mf);
    auto b = mf->Bytes();
    // Find the EXTTEXTOUTW record.
    size_t at = 108;
    uint32_t type = 0, size = 0;
    while (at < b.size()) {
        std::memcpy(&type, b.data() + at, 4);
        std::memcpy(&size, b.data() + at + 4, 4);
        if (type == 84)
            break;
        at += size;
    }
    ASSERT_EQ(type, 84u);
    const uint8_t* r = b.data() + at;
    int32_t ref[2];
    uint32_t count, offString, offDx;
    std::memcpy(ref, r + 36, 8);
    std::memcpy(&count, r + 44, 4);
    std::memcpy(&offString, r + 48, 4);
    std::memcpy(&offDx, r + 72, 4);
    EXPECT_EQ(ref[0], 5);
    EXPECT_EQ(ref[1], 7);
    ASSERT_EQ(count, 3u);
    uint16_t units[3];
    std::memcpy(units, r + offString, sizeof units);
    EXPECT_EQ(units[0], 0x41);
    EXPECT_EQ(units[1], 0xE4);
    EXPECT_EQ(units[2], 0x20AC); // the euro sign of Windows-1252
    int32_t dx[3];
    ASSERT_LE(offDx + sizeof dx, size);
    std::memcpy(dx, r + offDx, sizeof dx);
    // The face's own advances, each glyph on the unit nearest to where they put it: a unit
    // more or less than the character's width alone.
    for (int i = 0; i < 3; ++i)
        EXPECT_LE(std::abs(dx[i] - widths[i]), 1) << i;
    EXPECT_EQ(dx[0] + dx[1] + dx[2], extent.cx);
    EXPECT_EQ(offDx % 4, 0u);
}

TEST(EmfRecords, OneBitBitmapsStayOneBitWithTheirColours)
{
    HENHMETAFILE mf = record([](HDC D) {
        Dib bits = checker();
        StretchDIBits(D, 0, 0, 8, 8, 0, 0, 8, 8, bits, SRCCOPY);
    });
    ASSERT_TRUE(mf);
    std::vector<std::string> r = records(*mf);
    ASSERT_GE(r.size(), 2u);
    EXPECT_TRUE(startsWith(r[1], "STRETCHDIBITS")) << r[1];
    EXPECT_NE(r[1].find("dib=8x8x1 colours=0x00000000,0x0000FFFF"), std::string::npos) << r[1];
}

TEST(EmfRecords, BlitsFromMonochromeContextsPaintInTextAndBackgroundColours)
{
    Dib mono(4, 4, 1);
    for (int i = 0; i < 4; ++i)
        mono.SetIndex(i, i, 1);
    HDC source = CreateDibDC(mono);
    HENHMETAFILE mf = record([&](HDC D) {
        SetTextColor(D, RGB(255, 0, 0));
        SetBkColor(D, RGB(0, 0, 255));
        BitBlt(D, 10, 10, 4, 4, source, 0, 0, SRCCOPY);
    });
    DeleteDC(source);
    ASSERT_TRUE(mf);
    std::vector<std::string> r = records(*mf);
    EXPECT_NE(r[3].find("dest=(10,10) size=4x4 src=(0,0) srcsize=4x4 rop=0x00CC0020"), std::string::npos) << r[3];
    EXPECT_NE(r[3].find("dib=4x4x1 colours=0x000000FF,0x00FF0000"), std::string::npos) << r[3];
    EXPECT_EQ(mf->Bounds().left, 10);
    EXPECT_EQ(mf->Bounds().bottom, 13);
}

TEST(EmfRecords, PartOfABitmapIsRecordedAsThatPart)
{
    Dib wide(16, 4, 24);
    for (int x = 0; x < 16; ++x)
        for (int y = 0; y < 4; ++y)
            wide.SetPixel(x, y, x < 8 ? RGB(255, 0, 0) : RGB(0, 0, 255));
    HENHMETAFILE mf = record([&](HDC D) { StretchDIBits(D, 0, 0, 8, 4, 8, 0, 8, 4, wide, SRCCOPY); });
    ASSERT_TRUE(mf);
    Dib blue(8, 4, 24);
    for (int x = 0; x < 8; ++x)
        for (int y = 0; y < 4; ++y)
            blue.SetPixel(x, y, RGB(0, 0, 255));
    HENHMETAFILE reference = record([&](HDC D) { StretchDIBits(D, 0, 0, 8, 4, 0, 0, 8, 4, blue, SRCCOPY); });
    EXPECT_EQ(records(*mf)[1], records(*reference)[1]);
}

// Rows from 0 up to INT_MIN lie wholly above the picture.
TEST(EmfRecords, SourceEndingAtIntMinRecordsNoBitmap)
{
    Dib small(3, 2, 24);
    HENHMETAFILE mf = record([&](HDC D) { StretchDIBits(D, 0, 0, 20, 100, 0, 0, 3, INT_MIN, small, SRCCOPY); });
    ASSERT_TRUE(mf);
    for (const std::string& r : records(*mf))
        EXPECT_FALSE(startsWith(r, "STRETCHDIBITS")) << r;
}

// ---- Bytes in and out

TEST(EmfBytes, RoundTripAndCopy)
{
    HENHMETAFILE mf = record(smallDrawing);
    ASSERT_TRUE(mf);
    UINT size = GetEnhMetaFileBits(*mf, 0, nullptr);
    ASSERT_EQ(size, mf->Bytes().size());
    std::vector<uint8_t> bytes(size);
    EXPECT_EQ(GetEnhMetaFileBits(*mf, size, bytes.data()), size);
    HENHMETAFILE again = SetEnhMetaFileBits(size, bytes.data());
    ASSERT_TRUE(again);
    EXPECT_TRUE(std::equal(again->Bytes().begin(), again->Bytes().end(), bytes.begin(), bytes.end()));
    HENHMETAFILE copy = CopyEnhMetaFile(*again);
    ASSERT_TRUE(copy);
    EXPECT_EQ(GetEnhMetaFileBits(*copy), bytes);
    EXPECT_TRUE(DeleteEnhMetaFile(std::move(copy)));
    EXPECT_FALSE(DeleteEnhMetaFile(nullptr));
}

TEST(EmfBytes, MalformedDataIsRefusedWithAReason)
{
    HENHMETAFILE mf = record([](HDC D) { Rectangle(D, 0, 0, 5, 5); });
    ASSERT_TRUE(mf);
    const std::vector<uint8_t> good = GetEnhMetaFileBits(*mf);
    struct Row {
        const char* name;
        std::function<void(std::vector<uint8_t>&)> damage;
        const char* reason;
    };
    auto put = [](std::vector<uint8_t>& B, size_t At, uint32_t V) { std::memcpy(B.data() + At, &V, 4); };
    const std::vector<Row> rows = {
        { "empty", [](auto& B) { B.clear(); }, "too short" },
        { "not a header", [&](auto& B) { put(B, 0, 2); }, "no header" },
        { "no signature", [&](auto& B) { B[40] = 'X'; }, "signature" },
        { "header size odd", [&](auto& B) { put(B, 4, 106); }, "header size" },
        { "nBytes too large", [&](auto& B) { put(B, 48, uint32_t(B.size() + 4)); }, "says" },
        { "truncated before EOF", [&](auto& B) { B.resize(B.size() - 20), put(B, 48, uint32_t(B.size())); },
          "without an EOF" },
        { "record size zero", [&](auto& B) { put(B, 108 + 4, 0); }, "impossible size" },
        { "record past the end", [&](auto& B) { put(B, 108 + 4, 4000); }, "impossible size" },
    };
    for (const Row& row : rows) {
        std::vector<uint8_t> bad = good;
        row.damage(bad);
        std::string error;
        EXPECT_FALSE(SetEnhMetaFileBits(bad, &error)) << row.name;
        EXPECT_NE(error.find(row.reason), std::string::npos) << row.name << ": " << error;
    }
    EXPECT_FALSE(SetEnhMetaFileBits(0, nullptr));
}

TEST(EmfBytes, CloseRefusesContextsThatDoNotRecord)
{
    HDC screen = GetDC(0);
    EXPECT_FALSE(CloseEnhMetaFile(screen));
    ReleaseDC(0, screen);
    EXPECT_FALSE(CloseEnhMetaFile(nullptr));
    HDC dc = CreateEnhMetaFile(nullptr, nullptr);
    EXPECT_EQ(GetObjectType(dc), OBJ_ENHMETADC);
    EXPECT_EQ(GetDeviceCaps(dc, LOGPIXELSX), 96);
    EXPECT_TRUE(CloseEnhMetaFile(dc));
    EXPECT_FALSE(CloseEnhMetaFile(dc)); // closed contexts are gone
}

TEST(EmfDump, ToolPrintsTheSameListing)
{
    HENHMETAFILE mf = record(smallDrawing);
    ASSERT_TRUE(mf);
    testsupport::TempDir dir;
    const std::string file = dir.file("small.emf"), out = dir.file("small.txt");
    writeFile(file, mf->Bytes());
    const std::string command = testsupport::BinDir() + "/emfdump " + file + " > " + out;
    ASSERT_EQ(std::system(command.c_str()), 0) << command;
    std::vector<uint8_t> printed = readFile(out);
    EXPECT_EQ(std::string(printed.begin(), printed.end()), DumpEnhMetaFile(mf->Bytes()));

    // A damaged file: listed as far as it goes, and the exit status says so.
    std::vector<uint8_t> bad(mf->Bytes().begin(), mf->Bytes().end());
    bad.resize(bad.size() - 8);
    writeFile(file, bad);
    int status = std::system(command.c_str());
    EXPECT_EQ(WEXITSTATUS(status), 2);
    printed = readFile(out);
    EXPECT_NE(std::string(printed.begin(), printed.end()).find("broken record size"), std::string::npos);
}
