//===- Dib.h - Device-independent bitmaps and BMP files ---------*- C++ -*-===//
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "platform/gdi/GdiTypes.h"

/// One entry of a colour table, in file order (blue, green, red, reserved).
struct RGBQUAD {
    uint8_t rgbBlue = 0, rgbGreen = 0, rgbRed = 0, rgbReserved = 0;
};

/// A device-independent bitmap as the original platform stores it: 1, 4, 8, 24 or 32 bits per
/// pixel, rows padded to 4 bytes, a colour table for 1, 4 and 8 bits, rows bottom-up unless
/// TopDown. What is written is what is read back: no colour management, no premultiplication.
class Dib {
public:
    /// A zero-filled bitmap; Bits is 1, 4, 8, 24 or 32, and sizes must be positive.
    /// The colour table starts black and white for 1 bit and as the default 16/256-colour
    /// palette of the original for 4 and 8 bits.
    Dib(int Width, int Height, int Bits, bool TopDown = false);

    int Width() const { return width_; }
    int Height() const { return height_; }
    int Bits() const { return bits_; }
    bool TopDown() const { return topDown_; }
    int Stride() const;   // bytes per row, padded to 4

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
    /// CLR_INVALID outside.
    COLORREF GetPixel(int X, int Y) const;
    /// Sets the pixel to the colour (the nearest table entry for indexed bitmaps); false outside.
    bool SetPixel(int X, int Y, COLORREF Colour);
    /// The raw value at (X, Y): the index for indexed bitmaps, else 0x00BBGGRR (32 bits: the
    /// fourth byte too).
    uint32_t GetIndex(int X, int Y) const;
    void SetIndex(int X, int Y, uint32_t Value);

    // Conversion
    /// The same picture in another depth (to 1 bit: pixels equal to Background become 1/white,
    /// all others 0/black, as a colour-to-monochrome blit does).
    Dib Converted(int Bits, COLORREF Background = 0xFFFFFF) const;

    // BMP files and DIB memory (BITMAPINFOHEADER, 40 bytes, then the colour table and the rows)
    /// The whole BMP file; LoadBmp answers null with Error set for anything malformed
    /// (sizes, offsets, depths, compression it does not handle); it never reads past the data.
    std::vector<uint8_t> SaveBmp() const;
    static std::unique_ptr<Dib> LoadBmp(std::span<const uint8_t> File, std::string* Error = nullptr);
    /// A packed DIB (info header, colour table, rows), as metafile records carry it.
    std::vector<uint8_t> PackedInfo() const;   // header and colour table only
    static std::unique_ptr<Dib> FromPacked(std::span<const uint8_t> Info, std::span<const uint8_t> Bits,
        std::string* Error = nullptr);

private:
    int width_, height_, bits_;
    bool topDown_;
    std::vector<RGBQUAD> palette_;
    std::vector<uint8_t> bytes_;
};
