//===- dib_calls_test.cpp - Packed DIBs drawn with StretchDIBits and SetDIBitsToDevice -===//
#include "platform/gdi/bitmaps/Dib.h"
#include "platform/gdi/Gdi.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace {

constexpr COLORREF white = 0xFFFFFF;

void put16(std::vector<uint8_t>& Out, uint32_t V) { Out.insert(Out.end(), { uint8_t(V), uint8_t(V >> 8) }); }
void put32(std::vector<uint8_t>& Out, uint32_t V)
{
    Out.insert(Out.end(), { uint8_t(V), uint8_t(V >> 8), uint8_t(V >> 16), uint8_t(V >> 24) });
}

/// A BITMAPINFOHEADER of an uncompressed picture; the colour table is appended by the caller.
std::vector<uint8_t> infoHeader(int32_t Width, int32_t Height, uint16_t Bits, uint32_t ClrUsed = 0)
{
    std::vector<uint8_t> info;
    put32(info, 40), put32(info, uint32_t(Width)), put32(info, uint32_t(Height));
    put16(info, 1), put16(info, Bits), put32(info, 0), put32(info, 0), put32(info, 0), put32(info, 0);
    put32(info, ClrUsed), put32(info, 0);
    return info;
}

/// An 8-bit picture one pixel wide with a grey table: row r (stored order) holds index r, so
/// the colour of a drawn pixel tells which stored row it came from.
struct GreyColumn {
    std::vector<uint8_t> Info, Bits;
    explicit GreyColumn(int Rows, bool TopDown = false)
    {
        Info = infoHeader(1, TopDown ? -Rows : Rows, 8, uint32_t(Rows));
        for (int r = 0; r < Rows; ++r)
            put32(Info, uint32_t(r * 16 + 16) * 0x010101u);
        for (int r = 0; r < Rows; ++r)
            put32(Bits, uint32_t(r));
    }
    static COLORREF colourOfRow(int Row) { return COLORREF(Row * 16 + 16) * 0x010101u; }
};

class DibCallsTest : public ::testing::Test {
protected:
    DibCallsTest() : target_(4, 8, 32, true)
    {
        for (int y = 0; y < 8; ++y)
            for (int x = 0; x < 4; ++x)
                target_.SetPixel(x, y, white);
        dc_ = CreateDibDC(target_);
    }
    ~DibCallsTest() override { DeleteDC(dc_); }

    std::vector<COLORREF> column(int X) const
    {
        std::vector<COLORREF> colours;
        for (int y = 0; y < 8; ++y)
            colours.push_back(target_.GetPixel(X, y));
        return colours;
    }

    Dib target_;
    HDC dc_;
};

TEST_F(DibCallsTest, ABottomUpSourceRectangleCountsItsRowsFromTheBottom)
{
    GreyColumn picture(4);
    // Rows 1..2 from the bottom are stored rows 1 and 2; on screen, 2 above 1.
    EXPECT_EQ(StretchDIBits(dc_, 0, 0, 1, 2, 0, 1, 1, 2, picture.Bits, picture.Info, DIB_RGB_COLORS, SRCCOPY), 2);
    EXPECT_EQ(column(0), (std::vector<COLORREF> { GreyColumn::colourOfRow(2), GreyColumn::colourOfRow(1), white, white,
                                                  white, white, white, white }));
    GreyColumn topDown(4, true);
    StretchDIBits(dc_, 1, 0, 1, 2, 0, 1, 1, 2, topDown.Bits, topDown.Info, DIB_RGB_COLORS, SRCCOPY);
    EXPECT_EQ(column(1)[0], GreyColumn::colourOfRow(1)) << "a top-down source counts from the top";
}

TEST_F(DibCallsTest, PaletteIndexesNameEntriesOfTheStockPalette)
{
    std::vector<uint8_t> info = infoHeader(2, 1, 4, 2);
    put16(info, 12), put16(info, 3);               // two 16-bit indexes instead of colours
    std::vector<uint8_t> bits = { 0x01, 0, 0, 0 }; // pixel 0: entry 0, pixel 1: entry 1
    ASSERT_EQ(StretchDIBits(dc_, 0, 0, 2, 1, 0, 0, 2, 1, bits, info, DIB_PAL_COLORS, SRCCOPY), 1);
    auto colour = [](const RGBQUAD& Q) { return RGB(Q.rgbRed, Q.rgbGreen, Q.rgbBlue); };
    EXPECT_EQ(target_.GetPixel(0, 0), colour(Dib::StockPalette()[12]));
    EXPECT_EQ(target_.GetPixel(1, 0), colour(Dib::StockPalette()[3]));
}

TEST_F(DibCallsTest, SetDIBitsToDeviceDrawsOnlyTheScanLinesItIsGiven)
{
    GreyColumn whole(6);
    // Stored rows 2 and 3 only; the source is the whole picture, placed at the top.
    std::vector<uint8_t> band(whole.Bits.begin() + 2 * 4, whole.Bits.begin() + 4 * 4);
    EXPECT_EQ(SetDIBitsToDevice(dc_, 0, 0, 1, 6, 0, 0, 2, 2, band, whole.Info, DIB_RGB_COLORS), 2);
    // Stored row r of a 6-row bottom-up picture lands on y = 5 - r.
    EXPECT_EQ(column(0), (std::vector<COLORREF> { white, white, GreyColumn::colourOfRow(3), GreyColumn::colourOfRow(2),
                                                  white, white, white, white }));
}

TEST_F(DibCallsTest, AHeaderThatDisagreesWithItsDataDrawsNothing)
{
    GreyColumn good(4);
    auto withHeader = [&](size_t Offset, uint32_t Value) {
        std::vector<uint8_t> info = good.Info;
        std::memcpy(info.data() + Offset, &Value, 4);
        return info;
    };
    const struct {
        const char* Why;
        std::vector<uint8_t> Info, Bits;
        UINT Usage;
    } rows[] = {
        { "no header", {}, good.Bits, DIB_RGB_COLORS },
        { "a truncated header", std::vector<uint8_t>(good.Info.begin(), good.Info.begin() + 20), good.Bits,
          DIB_RGB_COLORS },
        { "an unknown header size", withHeader(0, 36), good.Bits, DIB_RGB_COLORS },
        { "more rows than bits", withHeader(8, 5), good.Bits, DIB_RGB_COLORS },
        { "a width past the bits", withHeader(4, 0x7FFFFFFF), good.Bits, DIB_RGB_COLORS },
        { "a colour table past the header", withHeader(32, 200), good.Bits, DIB_RGB_COLORS },
        { "a zero width", withHeader(4, 0), good.Bits, DIB_RGB_COLORS },
        { "truncated bits", good.Info, std::vector<uint8_t>(good.Bits.begin(), good.Bits.end() - 1), DIB_RGB_COLORS },
        { "an unknown usage", good.Info, good.Bits, 2 },
    };
    for (const auto& row : rows) {
        EXPECT_EQ(StretchDIBits(dc_, 0, 0, 1, 4, 0, 0, 1, 4, row.Bits, row.Info, row.Usage, SRCCOPY), 0) << row.Why;
        // Scan lines past the picture's end are cut to it: the header's rows are asked for.
        EXPECT_EQ(SetDIBitsToDevice(dc_, 0, 0, 1, 4, 0, 0, 0, 100, row.Bits, row.Info, row.Usage), 0) << row.Why;
    }
    EXPECT_EQ(SetDIBitsToDevice(dc_, 0, 0, 1, 4, 0, 0, 1, 3, std::span(good.Bits).first(8), good.Info, DIB_RGB_COLORS),
              0)
        << "a band of three rows in the bits of two";
    EXPECT_EQ(column(0), std::vector<COLORREF>(8, white));
}

} // namespace
