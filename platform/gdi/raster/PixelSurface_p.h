//===- PixelSurface_p.h - Rows of pixels that the raster backend reads and writes -*- C++ -*-===//
//
// The raster backend works on 32-bit words 0x00RRGGBB, the byte order of 32-bit DIB rows and of
// QImage::Format_RGB32 (blue, green, red, unused). Each surface converts from and to its own
// storage; the colours the backend writes come back exactly, nearest-colour for palettes.
//
#pragma once

#include "platform/gdi/GdiTypes.h"

#include <QImage>
#include <cstdint>
#include <unordered_map>

class Dib;

/// COLORREF (0x00BBGGRR) to a pixel word (0x00RRGGBB) and back.
constexpr uint32_t pixelWord(COLORREF C) { return ((C & 0xFF) << 16) | (C & 0xFF00) | ((C >> 16) & 0xFF); }
constexpr COLORREF colorOfWord(uint32_t W) { return ((W & 0xFF) << 16) | (W & 0xFF00) | ((W >> 16) & 0xFF); }

class PixelSurface {
public:
    virtual ~PixelSurface();
    virtual int width() const = 0;
    virtual int height() const = 0;
    /// Monochrome surfaces read 0 or 0xFFFFFF (the bit, whatever the colour table says) and
    /// store the nearer of black and white by brightness.
    virtual bool mono() const { return false; }
    /// Count pixels of row Y from X; the caller keeps within the surface.
    virtual void read(int X, int Y, int Count, uint32_t* Words) const = 0;
    virtual void write(int X, int Y, int Count, const uint32_t* Words) = 0;
    /// The colour a pixel shows (through the colour table for indexed pictures).
    virtual COLORREF colour(int X, int Y) const;

    QRect rect() const { return QRect(0, 0, width(), height()); }
};

/// A picture in any of the DIB depths; 32-bit rows are accessed in place.
class DibSurface : public PixelSurface {
public:
    explicit DibSurface(Dib& Picture) : dib_(Picture), readOnly_(false) {}
    /// A source that is only read.
    explicit DibSurface(const Dib& Picture) : dib_(const_cast<Dib&>(Picture)), readOnly_(true) {}
    int width() const override;
    int height() const override;
    bool mono() const override;
    void read(int X, int Y, int Count, uint32_t* Words) const override;
    void write(int X, int Y, int Count, const uint32_t* Words) override;
    COLORREF colour(int X, int Y) const override;

private:
    Dib& dib_;
    bool readOnly_;
    // Colour-table entries already looked up for 4- and 8-bit pictures, by pixel word: a fill
    // asks for the same nearest colour many times.
    std::unordered_map<uint32_t, uint32_t> nearest_;
};

/// An image of one of the 32-bit formats (windows and printer pages); written pixels are opaque.
class ImageSurface : public PixelSurface {
public:
    explicit ImageSurface(QImage& Image);
    int width() const override { return image_.width(); }
    int height() const override { return image_.height(); }
    void read(int X, int Y, int Count, uint32_t* Words) const override;
    void write(int X, int Y, int Count, const uint32_t* Words) override;

private:
    QImage& image_;
};
