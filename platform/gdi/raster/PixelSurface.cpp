//===- PixelSurface.cpp - DIB and image rows as 0x00RRGGBB words -----------===//
#include "platform/gdi/raster/PixelSurface_p.h"

#include "platform/gdi/bitmaps/Dib.h"

#include <cstring>

namespace {

bool brightHalf(uint32_t Word) { return ((Word >> 16) & 0xFF) + ((Word >> 8) & 0xFF) + (Word & 0xFF) >= 383; }

} // namespace

PixelSurface::~PixelSurface() = default;

COLORREF PixelSurface::colour(int X, int Y) const
{
    uint32_t word = 0;
    read(X, Y, 1, &word);
    return colorOfWord(word);
}

int DibSurface::width() const { return dib_.Width(); }
int DibSurface::height() const { return dib_.Height(); }
bool DibSurface::mono() const { return dib_.Bits() == 1; }

void DibSurface::read(int X, int Y, int Count, uint32_t* Words) const
{
    const uint8_t* row = dib_.ScanLine(Y);
    switch (dib_.Bits()) {
    case 32:
        std::memcpy(Words, row + size_t(X) * 4, size_t(Count) * 4);
        for (int i = 0; i < Count; ++i)
            Words[i] &= 0xFFFFFF;
        break;
    case 24:
        for (int i = 0; i < Count; ++i) {
            const uint8_t* p = row + size_t(X + i) * 3;
            Words[i] = uint32_t(p[0]) | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16);
        }
        break;
    case 1:
        for (int i = 0; i < Count; ++i)
            Words[i] = dib_.GetIndex(X + i, Y) ? 0xFFFFFF : 0;
        break;
    default:
        for (int i = 0; i < Count; ++i)
            Words[i] = pixelWord(dib_.GetPixel(X + i, Y));
        break;
    }
}

void DibSurface::write(int X, int Y, int Count, const uint32_t* Words)
{
    if (readOnly_)
        return;
    uint8_t* row = dib_.ScanLine(Y);
    switch (dib_.Bits()) {
    case 32:
        // The fourth byte of a 32-bit DIB pixel is 0 after drawing, as the original leaves it.
        for (int i = 0; i < Count; ++i) {
            uint32_t w = Words[i] & 0xFFFFFF;
            std::memcpy(row + size_t(X + i) * 4, &w, 4);
        }
        break;
    case 24:
        for (int i = 0; i < Count; ++i) {
            uint8_t* p = row + size_t(X + i) * 3;
            p[0] = uint8_t(Words[i]);
            p[1] = uint8_t(Words[i] >> 8);
            p[2] = uint8_t(Words[i] >> 16);
        }
        break;
    case 1:
        for (int i = 0; i < Count; ++i)
            dib_.SetIndex(X + i, Y, brightHalf(Words[i]) ? 1 : 0);
        break;
    default:
        for (int i = 0; i < Count; ++i) {
            auto known = nearest_.find(Words[i] & 0xFFFFFF);
            if (known != nearest_.end()) {
                dib_.SetIndex(X + i, Y, known->second);
            } else {
                dib_.SetPixel(X + i, Y, colorOfWord(Words[i]));
                nearest_.emplace(Words[i] & 0xFFFFFF, dib_.GetIndex(X + i, Y));
            }
        }
        break;
    }
}

COLORREF DibSurface::colour(int X, int Y) const { return dib_.GetPixel(X, Y); }

ImageSurface::ImageSurface(QImage& Image) : image_(Image)
{
    if (image_.format() != QImage::Format_RGB32 && image_.format() != QImage::Format_ARGB32
        && image_.format() != QImage::Format_ARGB32_Premultiplied)
        image_ = image_.convertToFormat(QImage::Format_RGB32);
}

void ImageSurface::read(int X, int Y, int Count, uint32_t* Words) const
{
    const uint32_t* row = reinterpret_cast<const uint32_t*>(image_.constScanLine(Y));
    for (int i = 0; i < Count; ++i)
        Words[i] = row[X + i] & 0xFFFFFF;
}

void ImageSurface::write(int X, int Y, int Count, const uint32_t* Words)
{
    uint32_t* row = reinterpret_cast<uint32_t*>(image_.scanLine(Y));
    for (int i = 0; i < Count; ++i)
        row[X + i] = Words[i] | 0xFF000000u;
}
