//===- Dib.h - Device-independent bitmaps and BMP files ---------*- C++ -*-===//
#pragma once

#include "platform/gdi/GdiTypes.h"

#include <array>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

/// One entry of a colour table, in file order (blue, green, red, reserved).
struct RGBQUAD {
    uint8_t rgbBlue = 0, rgbGreen = 0, rgbRed = 0, rgbReserved = 0;
};

/// A device-independent bitmap as the original platform stores it: 1, 4, 8, 24 or 32 bits per
/// pixel, rows padded to 4 bytes, a colour table for 1, 4 and 8 bits, rows bottom-up unless
/// TopDown. What is written is what is read back: no colour management, no premultiplication.
class Dib {
public:
    /// The most pixels one bitmap may hold (64 M); larger requests and files are refused.
    static constexpr int64_t MaxPixels = int64_t(64) << 20;

    /// A zero-filled bitmap; Bits is 1, 4, 8, 24 or 32, and sizes must be positive with at most
    /// MaxPixels pixels (else Exception). The colour table starts black and white for 1 bit and
    /// as DefaultPalette for 4 and 8 bits.
    Dib(int Width, int Height, int Bits, bool TopDown = false);

    /// The colour table a new bitmap of that depth starts with: 1 bit black and white; 4 bits
    /// the 16 VGA colours in the original's order; 8 bits the 20 static colours at 0..9 and
    /// 246..255, a 6x6x6 colour cube at 10..225 and black at 226..245; empty for 24 and 32 bits.
    static std::vector<RGBQUAD> DefaultPalette(int Bits);
    /// The 20 static colours of the stock palette (DEFAULT_PALETTE), entry n answering the
    /// palette-index colour 0x01000000 + n.
    static const std::array<RGBQUAD, 20>& StockPalette();

    int Width() const { return width_; }
    int Height() const { return height_; }
    int Bits() const { return bits_; }
    bool TopDown() const { return topDown_; }
    int Stride() const; // bytes per row, padded to 4

    // Colour table (1, 4 and 8 bits)
    std::vector<RGBQUAD>& Palette() { return palette_; }
    const std::vector<RGBQUAD>& Palette() const { return palette_; }

    // Pixels
    /// Row Y counted from the top of the picture, whatever the storage order.
    uint8_t* ScanLine(int Y);
    const uint8_t* ScanLine(int Y) const;
    /// The stored bytes in file order (first stored row first).
    std::span<uint8_t> Bytes() { return bytes_; }
    std::span<const uint8_t> Bytes() const { return bytes_; }
    /// The colour at (X, Y) as 0x00BBGGRR (through the colour table for indexed bitmaps);
    /// CLR_INVALID outside. An index past the end of the colour table reads as black.
    COLORREF GetPixel(int X, int Y) const;
    /// Sets the pixel to the colour (the nearest table entry for indexed bitmaps, the first of
    /// equals on a tie; 32 bits: the fourth byte becomes 0); false outside. The top byte of
    /// Colour is ignored: system and palette-index colours are resolved by the caller.
    bool SetPixel(int X, int Y, COLORREF Colour);
    /// The raw value at (X, Y): the index for indexed bitmaps, else 0x00BBGGRR (32 bits: the
    /// fourth byte too); 0xFFFFFFFF outside.
    uint32_t GetIndex(int X, int Y) const;
    /// Stores the raw value (indexes are cut to the depth's bits); ignored outside.
    void SetIndex(int X, int Y, uint32_t Value);

    // Conversion
    /// The same picture in another depth, same size and row order (Bits as for the constructor,
    /// else Exception). To 1 bit from a deeper bitmap: pixels equal to Background become 1/white,
    /// all others 0/black, as a colour-to-monochrome blit does. From indexed to an indexed depth
    /// at least as deep: the colour table and the indexes are kept. To 24/32 bits: the colours.
    /// Otherwise to 4/8 bits: DefaultPalette and the nearest entry. The same depth: a copy.
    Dib Converted(int Bits, COLORREF Background = 0xFFFFFF) const;

    // BMP files and DIB memory (BITMAPINFOHEADER, 40 bytes, then the colour table and the rows)
    /// The whole BMP file; LoadBmp answers null with Error set for anything malformed
    /// (sizes, offsets, depths, compression it does not handle); it never reads past the data.
    /// SaveBmp writes one canonical form: 14-byte file header, 40-byte info header with
    /// biSizeImage = Stride x Height, resolution 0, biClrUsed = the colour-table size (0 for 24
    /// and 32 bits), biClrImportant 0, then the table and the rows with no gap. LoadBmp also
    /// takes the 12-byte OS/2 core header, the larger V4/V5 headers (their extra fields are
    /// skipped) and 32-bit BI_BITFIELDS with the plain 8-8-8 masks; it refuses RLE, 16 bits,
    /// other masks and pictures over MaxPixels.
    std::vector<uint8_t> SaveBmp() const;
    static std::unique_ptr<Dib> LoadBmp(std::span<const uint8_t> File, std::string* Error = nullptr);
    /// A packed DIB (info header, colour table, rows), as metafile records carry it: the info
    /// header and table exactly as SaveBmp writes them; the rows are Bytes().
    std::vector<uint8_t> PackedInfo() const; // header and colour table only
    /// The reverse, from the info span and the bits span of a record; Bits may be longer than the
    /// rows need but not shorter. Null with Error set for anything malformed.
    static std::unique_ptr<Dib> FromPacked(std::span<const uint8_t> Info, std::span<const uint8_t> Bits,
                                           std::string* Error = nullptr);
    /// The same for the calls that say how the colour table is given (Usage DIB_RGB_COLORS, or
    /// DIB_PAL_COLORS: 16-bit indexes into StockPalette, past its end black) and may pass a
    /// band of rows: Bits holds ScanCount stored rows from StartScan (cut to the picture), and
    /// the answer is that band alone, in the picture's row order, so that a header claiming a
    /// huge picture costs no more than the bits given. PictureHeight, when given, receives the
    /// height the header claims. Null when the band is empty.
    static std::unique_ptr<Dib> FromPackedScans(std::span<const uint8_t> Info, std::span<const uint8_t> Bits,
                                                UINT Usage, uint32_t StartScan, uint32_t ScanCount,
                                                std::string* Error = nullptr, int* PictureHeight = nullptr);

private:
    int width_, height_, bits_;
    bool topDown_;
    std::vector<RGBQUAD> palette_;
    std::vector<uint8_t> bytes_;
};
