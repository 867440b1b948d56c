//===- emf_damage_test.cpp - Damaged metafiles are refused or skipped, never a crash -===//
//
// Metafiles come from files and the clipboard. Every damage below must end in a clear refusal
// or in playback that skips what it cannot trust; the sanitizers of the test build turn any
// read outside the data into a failure. The mutations are pseudo-random with fixed seeds, so a
// failure repeats.
//
#include "EmfTestSupport.h"

#include "platform/gdi/bitmaps/Dib.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>

using namespace emftest;
using gditest::Canvas;
using gditest::logFont;

namespace {

/// Something of every record the recorder writes.
HENHMETAFILE everything()
{
    HENHMETAFILE inner = record([](HDC D) {
        SelectObject(D, GetStockObject(GRAY_BRUSH));
        Ellipse(D, 0, 0, 10, 10);
    });
    return record([&](HDC D) {
        HPEN pen = CreatePen(PS_DASH, 1, RGB(200, 0, 0));
        HBRUSH hatch = CreateHatchBrush(HS_CROSS, RGB(0, 0, 200));
        HFONT font = CreateFontIndirect(logFont("Arial", -12, FW_BOLD, 300));
        SelectObject(D, pen);
        SelectObject(D, hatch);
        SelectObject(D, font);
        SetBkColor(D, RGB(1, 2, 3));
        SetTextColor(D, RGB(4, 5, 6));
        SetBkMode(D, TRANSPARENT);
        SetTextAlign(D, TA_BASELINE);
        SetPolyFillMode(D, WINDING);
        SetROP2(D, R2_NOTXORPEN);
        SetStretchBltMode(D, COLORONCOLOR);
        MoveToEx(D, 1, 1, nullptr);
        LineTo(D, 40, 5);
        POINT p[4] = { { 2, 2 }, { 30, 4 }, { 20, 30 }, { 5, 25 } };
        Polyline(D, p, 4);
        Polygon(D, p, 4);
        int counts[2] = { 2, 2 };
        PolyPolygon(D, p, counts, 2);
        POINT far[2] = { { -70000, 3 }, { 70000, 9 } };
        Polyline(D, far, 2);
        Rectangle(D, 3, 3, 20, 20);
        Ellipse(D, 5, 5, 25, 15);
        RoundRect(D, 1, 1, 30, 30, 5, 5);
        Arc(D, 0, 0, 30, 30, 30, 15, 0, 15);
        Pie(D, 0, 0, 30, 30, 30, 15, 0, 15);
        Chord(D, 0, 0, 30, 30, 30, 15, 0, 15);
        SetPixel(D, 9, 9, RGB(9, 9, 9));
        TextOut(D, 4, 30, "Damage \xE4\xB5");
        RECT r { 0, 0, 40, 40 };
        ExtTextOut(D, 4, 20, ETO_OPAQUE | ETO_CLIPPED, &r, "cell", nullptr);
        FillRect(D, RECT { 30, 30, 40, 40 }, HBRUSH(GetStockObject(BLACK_BRUSH)));
        Dib mono(5, 3, 1), colour(4, 4, 8);
        mono.SetIndex(1, 1, 1);
        colour.SetIndex(2, 2, 200);
        StretchDIBits(D, 10, 10, 10, 6, 0, 0, 5, 3, mono, SRCCOPY);
        StretchDIBits(D, 20, 20, 8, 8, 0, 0, 4, 4, colour, SRCAND);
        HBITMAP tile = CreateBitmapFromDib(std::make_unique<Dib>(mono));
        HBRUSH pattern = CreatePatternBrush(tile);
        SelectObject(D, pattern);
        PatBlt(D, 0, 0, 16, 16, PATCOPY);
        SaveDC(D);
        SetMapMode(D, MM_ISOTROPIC);
        SetWindowExtEx(D, 10, 10, nullptr);
        SetViewportExtEx(D, 20, 30, nullptr);
        SetWindowOrgEx(D, 1, 1, nullptr);
        SetViewportOrgEx(D, 2, 2, nullptr);
        IntersectClipRect(D, 0, 0, 15, 15);
        ExcludeClipRect(D, 2, 2, 4, 4);
        Rectangle(D, 0, 0, 10, 10);
        RestoreDC(D, -1);
        HRGN region = CreateRectRgn(0, 0, 20, 20), other = CreateRectRgn(25, 0, 30, 40);
        CombineRgn(region, region, other, RGN_OR);
        ExtSelectClipRgn(D, region, RGN_XOR);
        SelectClipRgn(D, nullptr);
        SetGraphicsMode(D, GM_ADVANCED);
        XFORM turn { 0.6f, 0.8f, -0.8f, 0.6f, 10, 10 };
        SetWorldTransform(D, turn);
        ModifyWorldTransform(D, &turn, MWT_RIGHTMULTIPLY);
        PlayEnhMetaFile(D, *inner, RECT { 0, 0, 10, 10 });
        ModifyWorldTransform(D, nullptr, MWT_IDENTITY);
        SetArcDirection(D, AD_CLOCKWISE);
        SelectObject(D, GetStockObject(BLACK_PEN));
        SelectObject(D, GetStockObject(WHITE_BRUSH));
        for (HGDIOBJ o : { HGDIOBJ(pen), hatch, font, tile, pattern, region, other })
            DeleteObject(o);
    });
}

/// Offsets of the records after the header.
std::vector<size_t> recordStarts(const std::vector<uint8_t>& B)
{
    std::vector<size_t> starts;
    uint32_t size = 0;
    std::memcpy(&size, B.data() + 4, 4);
    for (size_t at = size; at + 8 <= B.size(); at += size) {
        std::memcpy(&size, B.data() + at + 4, 4);
        if (size < 8)
            break;
        starts.push_back(at);
    }
    return starts;
}

void put32(std::vector<uint8_t>& B, size_t At, uint32_t V)
{
    if (At + 4 <= B.size())
        std::memcpy(B.data() + At, &V, 4);
}

/// One pseudo-random damage: a byte, a field set to an awkward value, a record cut short or
/// dropped, a size that lies, or the whole file cut.
std::vector<uint8_t> damaged(const std::vector<uint8_t>& Good, std::mt19937& Rng)
{
    std::vector<uint8_t> b = Good;
    const std::vector<size_t> starts = recordStarts(Good);
    auto pick = [&](size_t N) { return size_t(Rng() % N); };
    static const uint32_t awkward[] = { 0,
                                        1,
                                        2,
                                        3,
                                        0xFFFFFFFF,
                                        0x7FFFFFFF,
                                        0x80000000,
                                        0x80000013,
                                        0xFFFF,
                                        0x10000,
                                        0x7F800000 /* +inf as a float */,
                                        0x7FC00000 /* NaN */,
                                        100000,
                                        65535,
                                        40,
                                        32 };
    const size_t record = starts[pick(starts.size())];
    uint32_t size;
    std::memcpy(&size, b.data() + record + 4, 4);
    switch (pick(7)) {
    case 0: // a few bytes anywhere
        for (int i = 0, n = 1 + int(pick(4)); i < n; ++i)
            b[pick(b.size())] ^= uint8_t(1 + pick(255));
        break;
    case 1: // one field of a record set to an awkward value
    case 2:
        put32(b, record + 8 + 4 * pick(std::max<size_t>(1, (size - 8) / 4)), awkward[pick(std::size(awkward))]);
        break;
    case 3: { // a record's size shrunk or grown by a multiple of four, the next records shifted
        const uint32_t newSize = std::max<uint32_t>(8, uint32_t(size + 4 * (int(pick(9)) - 4)));
        put32(b, record + 4, newSize);
        break;
    }
    case 4: // a record dropped, the header's byte count kept right
        b.erase(b.begin() + long(record), b.begin() + long(record + size));
        put32(b, 48, uint32_t(b.size()));
        break;
    case 5: // a header field
        put32(b, 4 * pick(27), awkward[pick(std::size(awkward))]);
        break;
    default: // cut anywhere
        b.resize(pick(b.size()));
        break;
    }
    return b;
}

} // namespace

TEST(EmfDamage, DamagedFilesAreRefusedOrPlayedSafely)
{
    HENHMETAFILE good = everything();
    ASSERT_TRUE(good);
    const std::vector<uint8_t> bytes = GetEnhMetaFileBits(*good);
    std::mt19937 rng(20240517);
    int accepted = 0, refused = 0;
    // The emf fuzz targets go much further; this keeps a fixed sample in every test run, small
    // enough that a sanitized build on a loaded machine plays it well within the test's time.
    for (int i = 0; i < 250; ++i) {
        const std::vector<uint8_t> bad = damaged(bytes, rng);
        const std::string listing = DumpEnhMetaFile(bad); // the dump reads anything
        std::string error;
        HENHMETAFILE mf = SetEnhMetaFileBits(bad, &error);
        if (!mf) {
            ++refused;
            EXPECT_FALSE(error.empty()) << "case " << i;
            continue;
        }
        ++accepted;
        EXPECT_FALSE(listing.empty()) << "case " << i;
        Canvas c(48, 48);
        EXPECT_TRUE(PlayEnhMetaFile(c.dc(), *mf, RECT { 0, 0, 48, 48 })) << "case " << i;
        if (i % 5 == 0) {
            // Played into a recording context, whatever was read gives a valid metafile.
            HDC dc = CreateEnhMetaFile(nullptr, nullptr);
            PlayEnhMetaFile(dc, *mf, RECT { 0, 0, 48, 48 });
            HENHMETAFILE again = CloseEnhMetaFile(dc);
            ASSERT_TRUE(again) << "case " << i;
            EXPECT_TRUE(SetEnhMetaFileBits(again->Bytes())) << "case " << i;
        }
    }
    EXPECT_GT(accepted, 80);
    EXPECT_GT(refused, 25);
}

TEST(EmfDamage, EveryShorterFileIsRefused)
{
    HENHMETAFILE good = everything();
    ASSERT_TRUE(good);
    const std::vector<uint8_t> bytes = GetEnhMetaFileBits(*good);
    for (size_t n = 0; n < bytes.size(); ++n) {
        std::vector<uint8_t> cut(bytes.begin(), bytes.begin() + long(n));
        put32(cut, 48, uint32_t(n)); // even when the header agrees with the length
        EXPECT_FALSE(SetEnhMetaFileBits(cut)) << n << " bytes";
    }
}

TEST(EmfDamage, ARecordWhoseCountsLieIsSkippedAndTheRestPlays)
{
    HENHMETAFILE mf = record([](HDC D) {
        SelectObject(D, GetStockObject(BLACK_BRUSH));
        POINT p[3] = { { 0, 0 }, { 10, 0 }, { 5, 8 } };
        Polygon(D, p, 3);
        Rectangle(D, 20, 20, 30, 30);
    });
    ASSERT_TRUE(mf);
    std::vector<uint8_t> b = GetEnhMetaFileBits(*mf);
    const std::vector<size_t> starts = recordStarts(b);
    // Record 1 is the polygon: its point count now claims far more than the record holds.
    put32(b, starts[1] + 24, 1000);
    HENHMETAFILE bad = SetEnhMetaFileBits(b);
    ASSERT_TRUE(bad);
    EXPECT_NE(DumpEnhMetaFile(b).find("POLYGON16 40 malformed"), std::string::npos) << DumpEnhMetaFile(b);
    Canvas c(40, 40);
    ASSERT_TRUE(PlayEnhMetaFile(c.dc(), *bad, RECT { 0, 0, 30, 30 }));
    EXPECT_EQ(c.at(5, 2), 0xFFFFFFu); // no polygon
    EXPECT_EQ(c.at(25, 25), 0u);      // the rectangle after it
}

TEST(EmfDamage, ForeignIndexesAndStockNumbersAreIgnored)
{
    HENHMETAFILE mf = record([](HDC D) {
        HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
        SelectObject(D, red);
        Rectangle(D, 0, 0, 10, 10);
        SelectObject(D, GetStockObject(WHITE_BRUSH));
        DeleteObject(red);
    });
    ASSERT_TRUE(mf);
    std::vector<uint8_t> b = GetEnhMetaFileBits(*mf);
    const std::vector<size_t> starts = recordStarts(b);
    // CREATEBRUSHINDIRECT at index 7 of a table of 2, and a stock object that does not exist.
    put32(b, starts[0] + 8, 7);
    put32(b, starts[3] + 8, 0x80000063);
    HENHMETAFILE bad = SetEnhMetaFileBits(b);
    ASSERT_TRUE(bad);
    Canvas c(20, 20);
    ASSERT_TRUE(PlayEnhMetaFile(c.dc(), *bad, RECT { 0, 0, 10, 10 }));
    EXPECT_EQ(c.at(5, 5), 0xFFFFFFu); // the white brush: the red one never existed
    EXPECT_EQ(c.at(0, 5), 0u);        // the black pen
}
