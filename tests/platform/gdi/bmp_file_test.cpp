//===- bmp_file_test.cpp - BMP files and packed DIBs: round trips, canonical form, refusals -===//
#include "platform/gdi/bitmaps/Dib.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <random>

namespace {

void put16(std::vector<uint8_t>& Out, size_t At, uint16_t V) { Out[At] = uint8_t(V), Out[At + 1] = uint8_t(V >> 8); }
void put32(std::vector<uint8_t>& Out, size_t At, uint32_t V)
{
    for (int i = 0; i < 4; ++i)
        Out[At + i] = uint8_t(V >> (8 * i));
}
uint32_t get32(const std::vector<uint8_t>& D, size_t At)
{
    return uint32_t(D[At]) | uint32_t(D[At + 1]) << 8 | uint32_t(D[At + 2]) << 16 | uint32_t(D[At + 3]) << 24;
}

// A BMP file assembled field by field, independently of Dib, so that each case can break
// exactly one thing. The defaults describe a valid 5 x 3 bottom-up 8-bit file.
struct BmpSpec {
    uint32_t headerSize = 40;
    int32_t width = 5, height = 3;
    uint16_t planes = 1, bits = 8;
    uint32_t compression = 0, sizeImage = 0, clrUsed = 0;
    int32_t xPels = 0, yPels = 0;
    std::vector<uint32_t> masks; // written right behind the header (BI_BITFIELDS)
    int tableEntries = -1;       // -1: as clrUsed says (2^bits when 0)
    int64_t offBits = -1;        // -1: right behind the table
    int64_t pixelBytes = -1;     // -1: padded rows x height
    int64_t cutTo = -1;          // truncate the file to this many bytes

    std::vector<uint8_t> bytes() const
    {
        int entries = tableEntries >= 0 ? tableEntries : clrUsed ? int(clrUsed) : bits <= 8 ? 1 << bits : 0;
        size_t tableAt = 14 + headerSize + 4 * masks.size();
        size_t off = offBits >= 0 ? size_t(offBits) : tableAt + 4 * size_t(entries);
        int64_t rows = pixelBytes >= 0 ? pixelBytes : (int64_t(width) * bits + 31) / 32 * 4 * std::abs(int64_t(height));
        std::vector<uint8_t> f(std::max(off, tableAt + 4 * size_t(entries)) + size_t(rows));
        f[0] = 'B', f[1] = 'M';
        put32(f, 2, uint32_t(f.size()));
        put32(f, 10, uint32_t(off));
        put32(f, 14, headerSize);
        put32(f, 18, uint32_t(width));
        put32(f, 22, uint32_t(height));
        put16(f, 26, planes);
        put16(f, 28, bits);
        put32(f, 30, compression);
        put32(f, 34, sizeImage);
        put32(f, 38, uint32_t(xPels));
        put32(f, 42, uint32_t(yPels));
        put32(f, 46, clrUsed);
        for (size_t i = 0; i < masks.size(); ++i)
            put32(f, 14 + headerSize + 4 * i, masks[i]);
        for (int i = 0; i < entries; ++i) {
            size_t at = tableAt + 4 * size_t(i);
            f[at] = uint8_t(3 * i), f[at + 1] = uint8_t(5 * i), f[at + 2] = uint8_t(7 * i), f[at + 3] = 0;
        }
        for (size_t i = off; i < f.size(); ++i)
            f[i] = uint8_t((i - off) * 31 + 7);
        if (cutTo >= 0)
            f.resize(size_t(cutTo));
        return f;
    }
};

// A picture with every pixel different from its neighbours, written through raw values.
Dib patterned(int Width, int Height, int Bits, bool TopDown)
{
    Dib d(Width, Height, Bits, TopDown);
    for (int y = 0; y < Height; ++y)
        for (int x = 0; x < Width; ++x)
            d.SetIndex(x, y, uint32_t(x * 7 + y * 13) * 0x01030507u + uint32_t(x ^ y));
    return d;
}

void expectSamePicture(const Dib& A, const Dib& B)
{
    ASSERT_EQ(A.Width(), B.Width());
    ASSERT_EQ(A.Height(), B.Height());
    ASSERT_EQ(A.Bits(), B.Bits());
    EXPECT_EQ(A.TopDown(), B.TopDown());
    for (int y = 0; y < A.Height(); ++y)
        for (int x = 0; x < A.Width(); ++x) {
            ASSERT_EQ(A.GetIndex(x, y), B.GetIndex(x, y)) << "at " << x << "," << y;
            ASSERT_EQ(A.GetPixel(x, y), B.GetPixel(x, y)) << "at " << x << "," << y;
        }
}

std::unique_ptr<Dib> load(const std::vector<uint8_t>& File, std::string* Error = nullptr)
{
    return Dib::LoadBmp(File, Error);
}

} // namespace

// Round trips ----------------------------------------------------------------------------------

TEST(BmpRoundTrip, EveryDepthAndRowOrderComesBackByteExact)
{
    for (int bits : { 1, 4, 8, 24, 32 })
        for (bool topDown : { false, true }) {
            SCOPED_TRACE(testing::Message() << bits << " bits, " << (topDown ? "top-down" : "bottom-up"));
            // Width 7 leaves padding in every row at every depth.
            Dib original = patterned(7, 5, bits, topDown);
            if (bits == 8)
                original.Palette()[200] = RGBQUAD { 1, 2, 3, 4 }; // the reserved byte survives too
            std::vector<uint8_t> file = original.SaveBmp();
            std::string error;
            auto loaded = load(file, &error);
            ASSERT_TRUE(loaded) << error;
            expectSamePicture(original, *loaded);
            EXPECT_TRUE(std::equal(original.Bytes().begin(), original.Bytes().end(), loaded->Bytes().begin(),
                                   loaded->Bytes().end()));
            ASSERT_EQ(loaded->Palette().size(), original.Palette().size());
            for (size_t i = 0; i < original.Palette().size(); ++i)
                EXPECT_EQ(0, std::memcmp(&loaded->Palette()[i], &original.Palette()[i], 4)) << "entry " << i;
            EXPECT_EQ(loaded->SaveBmp(), file);
        }
}

TEST(BmpRoundTrip, ShortColourTableKeepsItsLength)
{
    Dib d = patterned(9, 4, 8, false);
    d.Palette().resize(17);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 9; ++x)
            d.SetIndex(x, y, uint32_t(x + y) % 17);
    std::vector<uint8_t> file = d.SaveBmp();
    EXPECT_EQ(get32(file, 46), 17u); // biClrUsed
    auto loaded = load(file);
    ASSERT_TRUE(loaded);
    EXPECT_EQ(loaded->Palette().size(), 17u);
    EXPECT_EQ(loaded->SaveBmp(), file);
}

TEST(BmpRoundTrip, BottomUpAndTopDownFilesOfOnePictureReadAlike)
{
    Dib bottomUp = patterned(6, 4, 24, false);
    Dib topDown(6, 4, 24, true);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 6; ++x)
            topDown.SetPixel(x, y, bottomUp.GetPixel(x, y));
    auto a = load(bottomUp.SaveBmp());
    auto b = load(topDown.SaveBmp());
    ASSERT_TRUE(a && b);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 6; ++x)
            EXPECT_EQ(a->GetPixel(x, y), b->GetPixel(x, y));
    // The stored rows are mirrored: the first stored row is the bottom of one and the top of the other.
    EXPECT_EQ(0, std::memcmp(a->Bytes().data(), b->ScanLine(3), size_t(a->Stride())));
}

// The canonical form ---------------------------------------------------------------------------

TEST(BmpCanonicalForm, HeadersAreWrittenFieldByField)
{
    Dib d(10, 3, 4, true);
    std::vector<uint8_t> f = d.SaveBmp();
    ASSERT_EQ(f.size(), 14u + 40u + 16u * 4u + 8u * 3u); // 10 pixels of 4 bits: 5 bytes, padded to 8
    EXPECT_EQ(f[0], 'B');
    EXPECT_EQ(f[1], 'M');
    EXPECT_EQ(get32(f, 2), f.size());         // bfSize
    EXPECT_EQ(get32(f, 6), 0u);               // reserved
    EXPECT_EQ(get32(f, 10), 14u + 40u + 64u); // bfOffBits
    EXPECT_EQ(get32(f, 14), 40u);             // biSize
    EXPECT_EQ(int32_t(get32(f, 18)), 10);
    EXPECT_EQ(int32_t(get32(f, 22)), -3); // top-down
    EXPECT_EQ(f[26] | f[27] << 8, 1);     // planes
    EXPECT_EQ(f[28] | f[29] << 8, 4);     // bits
    EXPECT_EQ(get32(f, 30), 0u);          // BI_RGB
    EXPECT_EQ(get32(f, 34), 24u);         // biSizeImage
    EXPECT_EQ(get32(f, 38), 0u);
    EXPECT_EQ(get32(f, 42), 0u);
    EXPECT_EQ(get32(f, 46), 16u); // biClrUsed
    EXPECT_EQ(get32(f, 50), 0u);
    // VGA entry 9 is bright red, stored blue-green-red-reserved.
    EXPECT_EQ(get32(f, 54 + 9 * 4), 0x00FF0000u);
}

TEST(BmpCanonicalForm, HandMadeFileIsSavedWithSizesAndCountsFilledIn)
{
    BmpSpec spec; // biSizeImage 0, clrUsed 0 (a full table), a resolution we do not keep
    spec.xPels = 2835, spec.yPels = 2835;
    std::vector<uint8_t> file = spec.bytes();
    auto loaded = load(file);
    ASSERT_TRUE(loaded);
    std::vector<uint8_t> expected = file;
    put32(expected, 34, 8 * 3); // 5 bytes a row padded to 8, three rows
    put32(expected, 38, 0);
    put32(expected, 42, 0);
    put32(expected, 46, 256);
    EXPECT_EQ(loaded->SaveBmp(), expected);
}

TEST(BmpCanonicalForm, TrueColourFileWithAnOptionalTableDropsIt)
{
    BmpSpec spec;
    spec.bits = 24, spec.clrUsed = 3;
    auto loaded = load(spec.bytes());
    ASSERT_TRUE(loaded);
    EXPECT_TRUE(loaded->Palette().empty());
    std::vector<uint8_t> saved = loaded->SaveBmp();
    EXPECT_EQ(get32(saved, 46), 0u);
    EXPECT_EQ(get32(saved, 10), 54u);
    // The pixels are those behind the skipped table.
    std::vector<uint8_t> file = spec.bytes();
    EXPECT_TRUE(std::equal(saved.begin() + 54, saved.end(), file.begin() + 54 + 12));
}

TEST(BmpCanonicalForm, IndexedBitmapWithAnEmptiedTableStillSavesALoadableFile)
{
    Dib d = patterned(4, 4, 4, false);
    d.Palette().clear();
    auto loaded = load(d.SaveBmp());
    ASSERT_TRUE(loaded);
    EXPECT_EQ(loaded->Palette().size(), 16u);
    EXPECT_EQ(loaded->GetPixel(1, 1), 0u);
    EXPECT_EQ(loaded->GetIndex(1, 1), d.GetIndex(1, 1));
}

// Other headers the reader takes ---------------------------------------------------------------

TEST(BmpReader, LargerInfoHeadersReadAsTheirFirstFortyBytes)
{
    BmpSpec plain;
    auto reference = load(plain.bytes());
    ASSERT_TRUE(reference);
    for (uint32_t size : { 52u, 56u, 64u, 108u, 124u }) {
        SCOPED_TRACE(size);
        BmpSpec larger = plain;
        larger.headerSize = size;
        std::string error;
        auto loaded = load(larger.bytes(), &error);
        ASSERT_TRUE(loaded) << error;
        expectSamePicture(*reference, *loaded);
        EXPECT_EQ(0, std::memcmp(reference->Palette().data(), loaded->Palette().data(), 256 * 4));
    }
}

TEST(BmpReader, CoreHeaderWithThreeByteTableEntries)
{
    // 2 x 2, 1 bit, OS/2 12-byte header: table entries are blue, green, red without a fourth byte.
    std::vector<uint8_t> f = { 'B',  'M',  0,    0,    0,
                               0,    0,    0,    0,    0,
                               32,   0,    0,    0,    12,
                               0,    0,    0,    2,    0,
                               2,    0,    1,    0,    1,
                               0,    0x00, 0x00, 0xFF, /* red */ 0xFF,
                               0x00, 0x00, /* blue */
                               0x40, 0,    0,    0,    /* bottom row: 0 1 */ 0x80,
                               0,    0,    0 /* top row: 1 0 */ };
    std::string error;
    auto d = load(f, &error);
    ASSERT_TRUE(d) << error;
    EXPECT_EQ(d->Bits(), 1);
    EXPECT_FALSE(d->TopDown());
    EXPECT_EQ(d->GetPixel(0, 0), RGB(0, 0, 255));
    EXPECT_EQ(d->GetPixel(1, 0), RGB(255, 0, 0));
    EXPECT_EQ(d->GetPixel(0, 1), RGB(255, 0, 0));
    EXPECT_EQ(d->GetPixel(1, 1), RGB(0, 0, 255));
}

TEST(BmpReader, ThirtyTwoBitFieldsWithPlainMasksAreAccepted)
{
    BmpSpec withMasks;
    withMasks.bits = 32, withMasks.compression = 3, withMasks.masks = { 0xFF0000, 0xFF00, 0xFF };
    std::vector<uint8_t> file = withMasks.bytes();
    auto a = load(file);
    ASSERT_TRUE(a);
    EXPECT_EQ(a->Bits(), 32);
    // The rows start behind the three masks, and are saved back as plain BI_RGB.
    EXPECT_EQ(0, std::memcmp(a->Bytes().data(), file.data() + 14 + 40 + 12, a->Bytes().size()));
    EXPECT_EQ(get32(a->SaveBmp(), 30), 0u);

    BmpSpec v5 = withMasks; // a V5 header holds the masks itself
    v5.headerSize = 124, v5.masks.clear();
    std::vector<uint8_t> f = v5.bytes();
    put32(f, 14 + 40, 0xFF0000), put32(f, 14 + 44, 0xFF00), put32(f, 14 + 48, 0xFF);
    std::string error;
    EXPECT_TRUE(load(f, &error)) << error;
}

// Refusals -------------------------------------------------------------------------------------

TEST(BmpReader, MalformedFilesAreRefusedEachForItsOwnReason)
{
    struct Case {
        const char* name;
        std::vector<uint8_t> file;
        const char* reason;
    };
    auto with = [](auto Change) {
        BmpSpec s;
        Change(s);
        return s.bytes();
    };
    std::vector<Case> cases = {
        { "shorter than a file header", { 'B', 'M', 1, 2, 3 }, "too short for a BMP file header" },
        { "wrong signature", with([](BmpSpec&) {}), "no BM signature" },
        { "unknown header size", with([](BmpSpec& s) { s.headerSize = 44; }), "unknown info header size 44" },
        { "header cut short", with([](BmpSpec& s) { s.cutTo = 30; }), "info header is truncated" },
        { "zero width", with([](BmpSpec& s) { s.width = 0; }), "width must be positive, not 0" },
        { "negative width", with([](BmpSpec& s) { s.width = -5; }), "width must be positive, not -5" },
        { "zero height", with([](BmpSpec& s) { s.height = 0; }), "height is zero" },
        { "two planes", with([](BmpSpec& s) { s.planes = 2; }), "plane count must be 1" },
        { "16 bits", with([](BmpSpec& s) { s.bits = 16; }), "16 bits per pixel are not supported" },
        { "7 bits", with([](BmpSpec& s) { s.bits = 7; }), "7 bits per pixel are not supported" },
        { "RLE8", with([](BmpSpec& s) { s.compression = 1; }), "RLE-compressed" },
        { "RLE4", with([](BmpSpec& s) { s.bits = 4, s.compression = 2; }), "RLE-compressed" },
        { "PNG inside", with([](BmpSpec& s) { s.compression = 5; }), "JPEG or PNG" },
        { "unknown compression", with([](BmpSpec& s) { s.compression = 9; }), "unknown compression 9" },
        { "bit fields at 24 bits", with([](BmpSpec& s) {
              s.bits = 24, s.compression = 3, s.masks = { 0xFF0000, 0xFF00, 0xFF };
          }),
          "BI_BITFIELDS is supported only at 32 bits" },
        { "5-6-5 masks", with([](BmpSpec& s) {
              s.bits = 32, s.compression = 3, s.masks = { 0xF800, 0x7E0, 0x1F };
          }),
          "masks other than 8-8-8" },
        { "masks missing", with([](BmpSpec& s) { s.bits = 32, s.compression = 3, s.cutTo = 14 + 40 + 4; }),
          "colour masks run past the end" },
        { "table larger than the depth", with([](BmpSpec& s) { s.bits = 4, s.clrUsed = 17; }),
          "colour table of 17 entries is too large for 4 bits" },
        { "absurd size", with([](BmpSpec& s) { s.width = 100000, s.height = 100000, s.pixelBytes = 16; }),
          "too large: 100000 x 100000" },
        { "most negative height", with([](BmpSpec& s) { s.height = INT_MIN, s.pixelBytes = 16; }), "too large" },
        { "table cut short", with([](BmpSpec& s) { s.cutTo = 14 + 40 + 100; }), "colour table runs past the end" },
        { "offset inside the table", with([](BmpSpec& s) { s.offBits = 14 + 40 + 8; }), "overlaps the headers" },
        { "offset past the end",
          with([](BmpSpec& s) { s.offBits = 1 << 20, s.pixelBytes = 0, s.cutTo = 14 + 40 + 1024 + 24; }),
          "is past the end of the file" },
        { "rows cut short", with([](BmpSpec& s) { s.pixelBytes = 23; }), "pixel data is truncated: 23 of 24 bytes" },
    };
    cases[1].file[1] = 'X';
    std::vector<std::string> seen;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::string error;
        EXPECT_EQ(load(c.file, &error), nullptr);
        EXPECT_EQ(error.rfind("LoadBmp: ", 0), 0u) << error;
        EXPECT_NE(error.find(c.reason), std::string::npos) << error;
        // Also without an error string to fill.
        EXPECT_EQ(load(c.file), nullptr);
    }
}

TEST(BmpReader, EmptyInputIsRefused)
{
    std::string error;
    EXPECT_EQ(Dib::LoadBmp({}, &error), nullptr);
    EXPECT_FALSE(error.empty());
}

TEST(BmpReader, RandomMutationsOfValidFilesNeverCrash)
{
    std::vector<std::vector<uint8_t>> seeds = { patterned(7, 5, 8, false).SaveBmp(),
                                                patterned(5, 3, 24, true).SaveBmp(),
                                                patterned(9, 2, 1, false).SaveBmp(),
                                                patterned(3, 3, 4, true).SaveBmp() };
    std::mt19937 random(20240601);
    int accepted = 0, refused = 0;
    for (int i = 0; i < 4000; ++i) {
        std::vector<uint8_t> f = seeds[size_t(i) % seeds.size()];
        int changes = 1 + int(random() % 6);
        for (int c = 0; c < changes; ++c) {
            // Most changes hit the headers, where the sizes and offsets live.
            size_t at = random() % 2 ? random() % 54 : random() % f.size();
            f[at] = uint8_t(random() % 3 == 0 ? 0xFF : random());
        }
        if (random() % 8 == 0)
            f.resize(random() % f.size());
        std::string error;
        auto d = Dib::LoadBmp(f, &error);
        if (!d) {
            ++refused;
            ASSERT_FALSE(error.empty());
            continue;
        }
        ++accepted;
        ASSERT_EQ(d->Bytes().size(), size_t(d->Stride()) * size_t(d->Height()));
        ASSERT_LE(int64_t(d->Width()) * d->Height(), Dib::MaxPixels);
        d->GetPixel(d->Width() - 1, d->Height() - 1);
        ASSERT_TRUE(Dib::LoadBmp(d->SaveBmp())) << "a loaded bitmap saves a loadable file";
    }
    EXPECT_GT(accepted, 0);
    EXPECT_GT(refused, 0);
}

// Packed DIBs ----------------------------------------------------------------------------------

TEST(PackedDib, InfoAndBitsRebuildTheBitmap)
{
    for (int bits : { 1, 8, 24, 32 }) {
        SCOPED_TRACE(bits);
        Dib d = patterned(6, 3, bits, bits == 8);
        std::vector<uint8_t> info = d.PackedInfo();
        std::vector<uint8_t> file = d.SaveBmp();
        ASSERT_EQ(info.size(), get32(file, 10) - 14);
        EXPECT_TRUE(std::equal(info.begin(), info.end(), file.begin() + 14));
        std::string error;
        auto back = Dib::FromPacked(info, d.Bytes(), &error);
        ASSERT_TRUE(back) << error;
        expectSamePicture(d, *back);
    }
}

TEST(PackedDib, BitsMayBeLongerButNotShorter)
{
    Dib d = patterned(6, 3, 8, false);
    std::vector<uint8_t> info = d.PackedInfo();
    std::vector<uint8_t> bits(d.Bytes().begin(), d.Bytes().end());
    bits.push_back(0xEE);
    EXPECT_TRUE(Dib::FromPacked(info, bits));
    bits.resize(bits.size() - 2);
    std::string error;
    EXPECT_EQ(Dib::FromPacked(info, bits, &error), nullptr);
    EXPECT_EQ(error, "FromPacked: the pixel data is truncated: 23 of 24 bytes");
}

TEST(PackedDib, InfoCutInsideTheTableIsRefused)
{
    Dib d = patterned(6, 3, 8, false);
    std::vector<uint8_t> info = d.PackedInfo();
    info.resize(info.size() - 1);
    std::string error;
    EXPECT_EQ(Dib::FromPacked(info, d.Bytes(), &error), nullptr);
    EXPECT_EQ(error, "FromPacked: the colour table runs past the end of the info");
    info.resize(20);
    EXPECT_EQ(Dib::FromPacked(info, d.Bytes(), &error), nullptr);
    EXPECT_EQ(error, "FromPacked: the info header is truncated");
}
