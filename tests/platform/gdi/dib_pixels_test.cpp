//===- dib_pixels_test.cpp - Dib storage, pixel access, palettes and depth conversion -===//
#include "platform/gdi/bitmaps/Dib.h"

#include "platform/rtl/Exception.h"

#include <gtest/gtest.h>

#include <random>

namespace {

COLORREF colourOf(const RGBQUAD& Q) { return RGB(Q.rgbRed, Q.rgbGreen, Q.rgbBlue); }

constexpr COLORREF olive = 0x008080, red = 0x0000FF, black = 0, white = 0xFFFFFF;

} // namespace

// Storage --------------------------------------------------------------------------------------

TEST(DibStorage, RowsArePaddedToFourBytes)
{
    struct Row {
        int width, bits, stride;
    };
    for (Row r : { Row { 1, 1, 4 }, Row { 32, 1, 4 }, Row { 33, 1, 8 }, Row { 7, 4, 4 }, Row { 9, 4, 8 },
                   Row { 5, 8, 8 }, Row { 3, 24, 12 }, Row { 5, 24, 16 }, Row { 3, 32, 12 } }) {
        Dib d(r.width, 3, r.bits);
        EXPECT_EQ(d.Stride(), r.stride) << r.width << " pixels of " << r.bits << " bits";
        EXPECT_EQ(d.Bytes().size(), size_t(r.stride) * 3);
    }
}

TEST(DibStorage, NewBitmapIsZeroFilledWithTheDepthsDefaultTable)
{
    for (int bits : { 1, 4, 8, 24, 32 }) {
        Dib d(6, 2, bits);
        for (uint8_t b : d.Bytes())
            ASSERT_EQ(b, 0) << bits;
        EXPECT_EQ(d.Palette().size(), bits <= 8 ? size_t(1) << bits : 0u) << bits;
        EXPECT_EQ(d.GetPixel(5, 1), black) << bits;
    }
}

TEST(DibStorage, ImpossibleBitmapsAreRefusedWithAnException)
{
    EXPECT_THROW(Dib(4, 4, 16), Exception);
    EXPECT_THROW(Dib(4, 4, 0), Exception);
    EXPECT_THROW(Dib(0, 4, 8), Exception);
    EXPECT_THROW(Dib(4, -1, 8), Exception);
    EXPECT_THROW(Dib(1 << 14, 1 << 14, 1), Exception); // 256 M pixels
    EXPECT_THROW(Dib(4, 4, 8).Converted(2), Exception);
}

TEST(DibStorage, ScanLineCountsFromTheTopInEitherRowOrder)
{
    Dib bottomUp(3, 4, 8, false);
    Dib topDown(3, 4, 8, true);
    bottomUp.ScanLine(0)[1] = 42;
    topDown.ScanLine(0)[1] = 42;
    EXPECT_EQ(bottomUp.GetIndex(1, 0), 42u);
    EXPECT_EQ(topDown.GetIndex(1, 0), 42u);
    // The stored order differs: the top row is stored last bottom-up and first top-down.
    EXPECT_EQ(bottomUp.Bytes()[3 * size_t(bottomUp.Stride()) + 1], 42);
    EXPECT_EQ(topDown.Bytes()[1], 42);
    EXPECT_EQ(bottomUp.ScanLine(4), nullptr);
    EXPECT_EQ(bottomUp.ScanLine(-1), nullptr);
}

// Pixel access ---------------------------------------------------------------------------------

TEST(DibPixels, RawValuesRoundTripAtEveryDepthWithoutTouchingNeighbours)
{
    for (int bits : { 1, 4, 8, 24, 32 }) {
        SCOPED_TRACE(bits);
        uint32_t mask = bits == 32 ? 0xFFFFFFFF : bits == 24 ? 0xFFFFFF : (1u << bits) - 1;
        Dib d(11, 3, bits);
        std::mt19937 random(bits);
        std::vector<uint32_t> expected(33);
        for (int y = 0; y < 3; ++y)
            for (int x = 0; x < 11; ++x) {
                uint32_t v = random();
                d.SetIndex(x, y, v);
                expected[size_t(y * 11 + x)] = v & mask;
            }
        for (int y = 0; y < 3; ++y)
            for (int x = 0; x < 11; ++x)
                ASSERT_EQ(d.GetIndex(x, y), expected[size_t(y * 11 + x)]) << x << "," << y;
    }
}

TEST(DibPixels, PackedPixelsSitMostSignificantFirst)
{
    Dib mono(16, 1, 1, true);
    mono.SetIndex(0, 0, 1);
    mono.SetIndex(9, 0, 1);
    EXPECT_EQ(mono.Bytes()[0], 0x80);
    EXPECT_EQ(mono.Bytes()[1], 0x40);
    Dib nibbles(4, 1, 4, true);
    nibbles.SetIndex(0, 0, 0xA);
    nibbles.SetIndex(3, 0, 0x5);
    EXPECT_EQ(nibbles.Bytes()[0], 0xA0);
    EXPECT_EQ(nibbles.Bytes()[1], 0x05);
    Dib rgb(1, 1, 24, true);
    rgb.SetPixel(0, 0, RGB(1, 2, 3));
    EXPECT_EQ(rgb.Bytes()[0], 3); // blue first
    EXPECT_EQ(rgb.Bytes()[2], 1);
}

TEST(DibPixels, TrueColourPixelsReadBackAsWritten)
{
    Dib d24(2, 2, 24);
    Dib d32(2, 2, 32);
    for (COLORREF c : { COLORREF(0x123456), COLORREF(0xFFFFFF), COLORREF(0x000001), COLORREF(0xFE0080) }) {
        EXPECT_TRUE(d24.SetPixel(1, 1, c));
        EXPECT_EQ(d24.GetPixel(1, 1), c);
        EXPECT_TRUE(d32.SetPixel(1, 1, c));
        EXPECT_EQ(d32.GetPixel(1, 1), c);
    }
    // The fourth byte of a 32-bit pixel is raw data: kept by SetIndex, cleared by SetPixel.
    d32.SetIndex(0, 0, 0xAABBCCDD);
    EXPECT_EQ(d32.GetIndex(0, 0), 0xAABBCCDDu);
    EXPECT_EQ(d32.GetPixel(0, 0), 0xBBCCDDu);
    d32.SetPixel(0, 0, 0xFFBBCCDD); // the top byte of a colour is not part of it
    EXPECT_EQ(d32.GetIndex(0, 0), 0x00BBCCDDu);
}

TEST(DibPixels, IndexedSetPixelTakesTheNearestEntryAndTheFirstOfEquals)
{
    Dib d(2, 1, 4);
    d.SetPixel(0, 0, RGB(255, 0, 0));
    EXPECT_EQ(d.GetIndex(0, 0), 9u);
    d.SetPixel(0, 0, RGB(0xC8, 0xC0, 0xC0)); // near silver
    EXPECT_EQ(d.GetIndex(0, 0), 7u);
    EXPECT_EQ(d.GetPixel(0, 0), RGB(0xC0, 0xC0, 0xC0));
    d.Palette()[3] = d.Palette()[12]; // blue twice: the first occurrence wins
    d.SetPixel(1, 0, RGB(0, 0, 255));
    EXPECT_EQ(d.GetIndex(1, 0), 3u);
}

TEST(DibPixels, OutsideThePictureNothingIsReadOrWritten)
{
    Dib d(3, 2, 8);
    std::vector<uint8_t> before(d.Bytes().begin(), d.Bytes().end());
    for (auto [x, y] : { std::pair { -1, 0 }, std::pair { 3, 0 }, std::pair { 0, -1 }, std::pair { 0, 2 } }) {
        EXPECT_EQ(d.GetPixel(x, y), CLR_INVALID);
        EXPECT_EQ(d.GetIndex(x, y), 0xFFFFFFFFu);
        EXPECT_FALSE(d.SetPixel(x, y, white));
        d.SetIndex(x, y, 7);
    }
    EXPECT_TRUE(std::equal(before.begin(), before.end(), d.Bytes().begin(), d.Bytes().end()));
}

TEST(DibPixels, IndexBeyondAShortTableReadsBlack)
{
    Dib d(2, 1, 8);
    d.Palette() = { RGBQUAD { 0, 0, 255, 0 }, RGBQUAD { 255, 0, 0, 0 } };
    d.SetIndex(0, 0, 1);
    d.SetIndex(1, 0, 200);
    EXPECT_EQ(d.GetPixel(0, 0), RGB(0, 0, 255));
    EXPECT_EQ(d.GetPixel(1, 0), black);
}

// Colour keys: what the lamp and digit controls do to their strips, pixel by pixel.
TEST(DibPixels, ColourKeyReplacementChangesExactlyTheKeyPixels)
{
    const COLORREF frame = 0xC0C0C0, nearKey = 0x018080;
    for (int bits : { 8, 24, 32 }) {
        SCOPED_TRACE(bits);
        Dib strip(15, 15, bits);
        if (bits == 8)
            strip.Palette()[100] = RGBQUAD { 0x01, 0x80, 0x80, 0 }; // one step off the key
        std::mt19937 random(7);
        // The key, colours one step away from it in each channel, and others.
        const COLORREF colours[] = { olive, 0x008081, 0x008180, nearKey, red, black, white };
        for (int y = 0; y < 15; ++y)
            for (int x = 0; x < 15; ++x)
                strip.SetPixel(x, y, colours[random() % 7]);
        Dib before = strip;
        for (int y = 0; y < 15; ++y)
            for (int x = 0; x < 15; ++x)
                if (strip.GetPixel(x, y) == olive)
                    strip.SetPixel(x, y, frame);
        int replaced = 0, nearKept = 0;
        for (int y = 0; y < 15; ++y)
            for (int x = 0; x < 15; ++x) {
                if (before.GetPixel(x, y) == olive) {
                    ++replaced;
                    ASSERT_EQ(strip.GetPixel(x, y), frame) << x << "," << y;
                } else {
                    ASSERT_EQ(strip.GetIndex(x, y), before.GetIndex(x, y)) << x << "," << y;
                    nearKept += strip.GetPixel(x, y) == nearKey;
                }
            }
        EXPECT_GT(replaced, 0);
        EXPECT_GT(nearKept, 0);
    }
}

// Default tables -------------------------------------------------------------------------------

TEST(DibPalettes, SixteenColoursInTheOriginalOrder)
{
    const COLORREF expected[16] = { 0x000000, 0x000080, 0x008000, 0x008080, 0x800000, 0x800080, 0x808000, 0xC0C0C0,
                                    0x808080, 0x0000FF, 0x00FF00, 0x00FFFF, 0xFF0000, 0xFF00FF, 0xFFFF00, 0xFFFFFF };
    std::vector<RGBQUAD> table = Dib::DefaultPalette(4);
    ASSERT_EQ(table.size(), 16u);
    for (int i = 0; i < 16; ++i)
        EXPECT_EQ(colourOf(table[size_t(i)]), expected[i]) << i;
}

TEST(DibPalettes, StockPaletteIsTheTwentyStaticColours)
{
    const auto& stock = Dib::StockPalette();
    EXPECT_EQ(colourOf(stock[8]), RGB(0xC0, 0xDC, 0xC0));  // money green
    EXPECT_EQ(colourOf(stock[9]), RGB(0xA6, 0xCA, 0xF0));  // sky blue
    EXPECT_EQ(colourOf(stock[10]), RGB(0xFF, 0xFB, 0xF0)); // cream
    EXPECT_EQ(colourOf(stock[11]), RGB(0xA0, 0xA0, 0xA4)); // medium grey
    // The rest are the VGA colours: dark ones below, bright ones (from grey) above.
    std::vector<RGBQUAD> vga = Dib::DefaultPalette(4);
    for (int i = 0; i < 8; ++i)
        EXPECT_EQ(colourOf(stock[size_t(i)]), colourOf(vga[size_t(i)])) << i;
    for (int i = 8; i < 16; ++i)
        EXPECT_EQ(colourOf(stock[size_t(i + 4)]), colourOf(vga[size_t(i)])) << i;
}

TEST(DibPalettes, TwoHundredFiftySixColoursKeepTheStaticOnesAtBothEnds)
{
    std::vector<RGBQUAD> table = Dib::DefaultPalette(8);
    const auto& stock = Dib::StockPalette();
    ASSERT_EQ(table.size(), 256u);
    for (int i = 0; i < 10; ++i) {
        EXPECT_EQ(colourOf(table[size_t(i)]), colourOf(stock[size_t(i)])) << i;
        EXPECT_EQ(colourOf(table[size_t(246 + i)]), colourOf(stock[size_t(10 + i)])) << i;
    }
    // The cube runs red fastest in steps of 51 from entry 10; black fills 226..245.
    EXPECT_EQ(colourOf(table[10]), RGB(0, 0, 0));
    EXPECT_EQ(colourOf(table[11]), RGB(51, 0, 0));
    EXPECT_EQ(colourOf(table[16]), RGB(0, 51, 0));
    EXPECT_EQ(colourOf(table[46]), RGB(0, 0, 51));
    EXPECT_EQ(colourOf(table[225]), RGB(255, 255, 255));
    for (int i = 226; i < 246; ++i)
        EXPECT_EQ(colourOf(table[size_t(i)]), black) << i;
    EXPECT_EQ(Dib::DefaultPalette(1).size(), 2u);
    EXPECT_TRUE(Dib::DefaultPalette(24).empty());
}

// Depth conversion -----------------------------------------------------------------------------

TEST(DibConversion, ToMonochromeOnlyTheBackgroundColourTurnsWhite)
{
    Dib colour(4, 1, 24, true);
    colour.SetPixel(0, 0, white);
    colour.SetPixel(1, 0, 0xFEFFFF); // almost white is not white
    colour.SetPixel(2, 0, black);
    colour.SetPixel(3, 0, red);
    Dib mono = colour.Converted(1);
    EXPECT_EQ(mono.Bits(), 1);
    EXPECT_TRUE(mono.TopDown());
    EXPECT_EQ(colourOf(mono.Palette()[0]), black);
    EXPECT_EQ(colourOf(mono.Palette()[1]), white);
    EXPECT_EQ(mono.GetIndex(0, 0), 1u);
    EXPECT_EQ(mono.GetIndex(1, 0), 0u);
    EXPECT_EQ(mono.GetIndex(2, 0), 0u);
    EXPECT_EQ(mono.GetIndex(3, 0), 0u);
    Dib onRed = colour.Converted(1, red);
    EXPECT_EQ(onRed.GetIndex(0, 0), 0u);
    EXPECT_EQ(onRed.GetIndex(3, 0), 1u);
    EXPECT_EQ(onRed.GetPixel(3, 0), white);
}

TEST(DibConversion, FromMonochromeBitsGoThroughTheTwoTableEntries)
{
    Dib mono(3, 1, 1);
    mono.Palette() = { RGBQUAD { 0, 0, 255, 0 }, RGBQUAD { 255, 0, 0, 0 } }; // 0 red, 1 blue
    mono.SetIndex(1, 0, 1);
    Dib rgb = mono.Converted(24);
    EXPECT_EQ(rgb.GetPixel(0, 0), RGB(255, 0, 0));
    EXPECT_EQ(rgb.GetPixel(1, 0), RGB(0, 0, 255));
    Dib eight = mono.Converted(8); // a deeper indexed depth keeps the table and the indexes
    EXPECT_EQ(eight.Palette().size(), 2u);
    EXPECT_EQ(eight.GetIndex(1, 0), 1u);
    EXPECT_EQ(eight.GetPixel(0, 0), RGB(255, 0, 0));
}

TEST(DibConversion, ToIndexedDepthsTakesTheNearestDefaultColour)
{
    Dib rgb(3, 1, 32);
    rgb.SetPixel(0, 0, RGB(0xC0, 0xC0, 0xC0));
    rgb.SetPixel(1, 0, RGB(0xA6, 0xCA, 0xF0));
    rgb.SetPixel(2, 0, RGB(250, 5, 5));
    Dib eight = rgb.Converted(8);
    EXPECT_EQ(eight.GetPixel(0, 0), RGB(0xC0, 0xC0, 0xC0));
    EXPECT_EQ(eight.GetPixel(1, 0), RGB(0xA6, 0xCA, 0xF0));
    EXPECT_EQ(eight.GetIndex(1, 0), 9u);
    EXPECT_EQ(eight.GetPixel(2, 0), RGB(255, 0, 0));
    Dib four = eight.Converted(4);
    EXPECT_EQ(four.GetIndex(2, 0), 9u);
    EXPECT_EQ(four.GetPixel(1, 0), RGB(0xC0, 0xC0, 0xC0)); // sky blue has no VGA entry
    Dib back = four.Converted(24);
    EXPECT_EQ(back.GetPixel(2, 0), RGB(255, 0, 0));
    Dib same = rgb.Converted(32);
    EXPECT_TRUE(std::equal(same.Bytes().begin(), same.Bytes().end(), rgb.Bytes().begin(), rgb.Bytes().end()));
}
