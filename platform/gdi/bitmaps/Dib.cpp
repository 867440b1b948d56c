//===- Dib.cpp - Device-independent bitmaps: storage, pixels, palettes, depths -===//
#include "platform/gdi/bitmaps/Dib.h"

#include "platform/rtl/Exception.h"

#include <algorithm>
#include <limits>
#include <string>

namespace {

constexpr RGBQUAD quad(uint8_t R, uint8_t G, uint8_t B) { return RGBQUAD { B, G, R, 0 }; }

// The 16 VGA colours: dark ones first (bit 0 red, bit 1 green, bit 2 blue), silver at 7 and
// grey at 8, then the bright ones; stored 4-bit bitmaps index this order.
constexpr std::array<RGBQUAD, 16> vgaPalette = {
    quad(0x00, 0x00, 0x00), quad(0x80, 0x00, 0x00), quad(0x00, 0x80, 0x00), quad(0x80, 0x80, 0x00),
    quad(0x00, 0x00, 0x80), quad(0x80, 0x00, 0x80), quad(0x00, 0x80, 0x80), quad(0xC0, 0xC0, 0xC0),
    quad(0x80, 0x80, 0x80), quad(0xFF, 0x00, 0x00), quad(0x00, 0xFF, 0x00), quad(0xFF, 0xFF, 0x00),
    quad(0x00, 0x00, 0xFF), quad(0xFF, 0x00, 0xFF), quad(0x00, 0xFF, 0xFF), quad(0xFF, 0xFF, 0xFF),
};

// The 20 static colours: ten at the bottom of a 256-entry palette (the eight dark VGA colours,
// money green, sky blue) and ten at the top (cream, medium grey, then the bright VGA colours).
constexpr std::array<RGBQUAD, 20> staticPalette = {
    quad(0x00, 0x00, 0x00), quad(0x80, 0x00, 0x00), quad(0x00, 0x80, 0x00), quad(0x80, 0x80, 0x00),
    quad(0x00, 0x00, 0x80), quad(0x80, 0x00, 0x80), quad(0x00, 0x80, 0x80), quad(0xC0, 0xC0, 0xC0),
    quad(0xC0, 0xDC, 0xC0), quad(0xA6, 0xCA, 0xF0), quad(0xFF, 0xFB, 0xF0), quad(0xA0, 0xA0, 0xA4),
    quad(0x80, 0x80, 0x80), quad(0xFF, 0x00, 0x00), quad(0x00, 0xFF, 0x00), quad(0xFF, 0xFF, 0x00),
    quad(0x00, 0x00, 0xFF), quad(0xFF, 0x00, 0xFF), quad(0x00, 0xFF, 0xFF), quad(0xFF, 0xFF, 0xFF),
};

bool validDepth(int Bits) { return Bits == 1 || Bits == 4 || Bits == 8 || Bits == 24 || Bits == 32; }
bool indexed(int Bits) { return Bits <= 8; }

COLORREF colourOf(const RGBQUAD& Q) { return RGB(Q.rgbRed, Q.rgbGreen, Q.rgbBlue); }

// The table entry closest to Colour in squared RGB distance; the first of equals wins, so an
// exact colour always maps to its first occurrence.
uint32_t nearestEntry(const std::vector<RGBQUAD>& Palette, COLORREF Colour)
{
    uint32_t best = 0;
    int bestDistance = std::numeric_limits<int>::max();
    for (size_t i = 0; i < Palette.size(); ++i) {
        int dr = int(Palette[i].rgbRed) - GetRValue(Colour);
        int dg = int(Palette[i].rgbGreen) - GetGValue(Colour);
        int db = int(Palette[i].rgbBlue) - GetBValue(Colour);
        int distance = dr * dr + dg * dg + db * db;
        if (distance < bestDistance) {
            best = uint32_t(i);
            bestDistance = distance;
            if (distance == 0)
                break;
        }
    }
    return best;
}

} // namespace

Dib::Dib(int Width, int Height, int Bits, bool TopDown) : width_(Width), height_(Height), bits_(Bits), topDown_(TopDown)
{
    if (!validDepth(Bits))
        throw Exception("Dib: " + std::to_string(Bits) + " bits per pixel are not supported");
    if (Width <= 0 || Height <= 0 || int64_t(Width) * Height > MaxPixels)
        throw Exception("Dib: invalid size " + std::to_string(Width) + " x " + std::to_string(Height));
    palette_ = DefaultPalette(Bits);
    bytes_.assign(size_t(Stride()) * size_t(Height), 0);
}

std::vector<RGBQUAD> Dib::DefaultPalette(int Bits)
{
    switch (Bits) {
    case 1: return { quad(0, 0, 0), quad(0xFF, 0xFF, 0xFF) };
    case 4: return { vgaPalette.begin(), vgaPalette.end() };
    case 8: {
        // Entries 10..245 are free for an application's own colours in the original; a colour
        // cube there lets nearest-colour conversion to 8 bits keep hues, and the rest stays black.
        std::vector<RGBQUAD> table(256);
        std::copy(staticPalette.begin(), staticPalette.begin() + 10, table.begin());
        std::copy(staticPalette.begin() + 10, staticPalette.end(), table.begin() + 246);
        int n = 10;
        for (int b = 0; b < 6; ++b)
            for (int g = 0; g < 6; ++g)
                for (int r = 0; r < 6; ++r)
                    table[n++] = quad(uint8_t(r * 51), uint8_t(g * 51), uint8_t(b * 51));
        return table;
    }
    default: return {};
    }
}

const std::array<RGBQUAD, 20>& Dib::StockPalette() { return staticPalette; }

int Dib::Stride() const { return int((int64_t(width_) * bits_ + 31) / 32 * 4); }

uint8_t* Dib::ScanLine(int Y) { return const_cast<uint8_t*>(static_cast<const Dib*>(this)->ScanLine(Y)); }

const uint8_t* Dib::ScanLine(int Y) const
{
    if (Y < 0 || Y >= height_)
        return nullptr;
    int stored = topDown_ ? Y : height_ - 1 - Y;
    return bytes_.data() + size_t(stored) * size_t(Stride());
}

uint32_t Dib::GetIndex(int X, int Y) const
{
    if (X < 0 || X >= width_ || Y < 0 || Y >= height_)
        return 0xFFFFFFFF;
    const uint8_t* row = ScanLine(Y);
    switch (bits_) {
    case 1: return (row[X >> 3] >> (7 - (X & 7))) & 1;
    case 4: return (row[X >> 1] >> ((X & 1) ? 0 : 4)) & 0xF;
    case 8: return row[X];
    case 24: {
        const uint8_t* p = row + size_t(X) * 3;
        return RGB(p[2], p[1], p[0]);
    }
    default: {
        const uint8_t* p = row + size_t(X) * 4;
        return RGB(p[2], p[1], p[0]) | (uint32_t(p[3]) << 24);
    }
    }
}

void Dib::SetIndex(int X, int Y, uint32_t Value)
{
    if (X < 0 || X >= width_ || Y < 0 || Y >= height_)
        return;
    uint8_t* row = ScanLine(Y);
    switch (bits_) {
    case 1: {
        uint8_t mask = uint8_t(0x80 >> (X & 7));
        row[X >> 3] = (Value & 1) ? (row[X >> 3] | mask) : (row[X >> 3] & ~mask);
        break;
    }
    case 4: {
        uint8_t& b = row[X >> 1];
        b = (X & 1) ? uint8_t((b & 0xF0) | (Value & 0xF)) : uint8_t((b & 0x0F) | ((Value & 0xF) << 4));
        break;
    }
    case 8: row[X] = uint8_t(Value); break;
    case 24: {
        uint8_t* p = row + size_t(X) * 3;
        p[0] = GetBValue(Value), p[1] = GetGValue(Value), p[2] = GetRValue(Value);
        break;
    }
    default: {
        uint8_t* p = row + size_t(X) * 4;
        p[0] = GetBValue(Value), p[1] = GetGValue(Value), p[2] = GetRValue(Value), p[3] = uint8_t(Value >> 24);
        break;
    }
    }
}

COLORREF Dib::GetPixel(int X, int Y) const
{
    if (X < 0 || X >= width_ || Y < 0 || Y >= height_)
        return CLR_INVALID;
    uint32_t value = GetIndex(X, Y);
    if (!indexed(bits_))
        return value & 0xFFFFFF;
    return value < palette_.size() ? colourOf(palette_[value]) : 0;
}

bool Dib::SetPixel(int X, int Y, COLORREF Colour)
{
    if (X < 0 || X >= width_ || Y < 0 || Y >= height_)
        return false;
    Colour &= 0xFFFFFF;
    SetIndex(X, Y, indexed(bits_) ? nearestEntry(palette_, Colour) : Colour);
    return true;
}

Dib Dib::Converted(int Bits, COLORREF Background) const
{
    if (Bits == bits_)
        return *this;
    Dib out(width_, height_, Bits, topDown_);
    if (Bits == 1) {
        Background &= 0xFFFFFF;
        for (int y = 0; y < height_; ++y)
            for (int x = 0; x < width_; ++x)
                out.SetIndex(x, y, GetPixel(x, y) == Background ? 1 : 0);
    } else if (indexed(bits_) && indexed(Bits) && Bits > bits_) {
        out.palette_ = palette_;
        for (int y = 0; y < height_; ++y)
            for (int x = 0; x < width_; ++x)
                out.SetIndex(x, y, GetIndex(x, y));
    } else {
        // SetPixel maps to the nearest entry for 4 and 8 bits and stores the colour otherwise.
        for (int y = 0; y < height_; ++y)
            for (int x = 0; x < width_; ++x)
                out.SetPixel(x, y, GetPixel(x, y));
    }
    return out;
}
