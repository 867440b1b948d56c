//===- CoverageMask_p.h - Which pixels a primitive touches, and how they are painted -*- C++ -*-===//
//
// The raster backend draws in two steps: a primitive first marks the pixels it covers in a mask
// (lines by our own stepping, areas by QPainter without antialiasing, glyph outlines by their
// coverage), then the mask is painted into the surface through the clip with the mix mode. So
// every pixel is touched once, the mix modes work on the stored colours, and the original's
// pixel rules are ours to keep rather than QPainter's.
//
// Device coordinates name pixels: pixel (x, y) is the point (x, y) of the geometry ("line
// space"); QPainter's aliased filling samples exactly there, left and top edges included.
//
#pragma once

#include "platform/gdi/GdiTypes.h"

#include <QPainterPath>
#include <QRect>
#include <QRegion>
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

class Dib;
class PixelSurface;

class CoverageMask {
public:
    enum : uint8_t { None = 0, Fore = 1, Back = 2 };

    /// Box is the area worth marking (already cut to the surface and the clip).
    explicit CoverageMask(const QRect& Box);

    const QRect& box() const { return box_; }
    bool isEmpty() const { return box_.isEmpty(); }
    uint8_t at(int X, int Y) const { return data_[size_t(Y - box_.top()) * box_.width() + (X - box_.left())]; }
    void set(int X, int Y, uint8_t Class)
    {
        if (box_.contains(X, Y))
            data_[size_t(Y - box_.top()) * box_.width() + (X - box_.left())] = Class;
    }
    void fillRect(const QRect& Rect, uint8_t Class = Fore);
    /// Clears every pixel that Other (of the same box) marks, so a fill leaves the outline's
    /// pixels to the pen and no pixel is mixed twice.
    void subtract(const CoverageMask& Other);
    /// Pixels whose point lies inside the path (aliased, left and top edges included).
    void fillPath(const QPainterPath& Path, Qt::FillRule Rule, uint8_t Class = Fore);
    /// Pixels [x, x+1) x [y, y+1) that the path covers to at least Threshold / 255 of their area;
    /// glyph outlines are drawn so, which keeps thin stems that point sampling would lose.
    void fillCoverage(const QPainterPath& Path, int Threshold, uint8_t Class = Fore);

private:
    QRect box_;
    std::vector<uint8_t> data_;
};

/// The dash pattern of a one-pixel pen, advanced one step per plotted pixel; it runs on across
/// the segments of one call, as the original's styled lines do.
class LineStyle {
public:
    LineStyle(UINT PenStyle, bool OpaqueGaps);
    /// The class of the next pixel: Fore on a dash, Back in a gap when gaps are opaque, else None.
    uint8_t next();
    /// Moves on as if Pixels pixels had been plotted.
    void skip(int64_t Pixels);

private:
    const uint8_t* runs_ = nullptr;
    int runCount_ = 0, run_ = 0, left_ = 0;
    bool opaqueGaps_;
};

/// Steps from A to B one pixel at a time, leaving out B.
void plotLine(CoverageMask& Mask, QPoint A, QPoint B, LineStyle& Style);

/// How covered pixels get their colour: one colour, a hatch over the background colour (or over
/// nothing), or a tiled picture; tiles are aligned to device pixel (0, 0).
class Paint {
public:
    static Paint solid(COLORREF Colour);
    static Paint hatch(int Hatch, COLORREF Colour, std::optional<COLORREF> Background);
    /// Monochrome pictures paint 0 bits in Zero and 1 bits in One.
    static Paint pattern(std::shared_ptr<const Dib> Tile, COLORREF Zero, COLORREF One);
    Paint() = default;

    /// False when the pixel stays as it is (a transparent hatch gap).
    bool at(int X, int Y, uint32_t& Word) const;

private:
    enum class Kind { Solid, Hatch, Pattern } kind_ = Kind::Solid;
    uint32_t fore_ = 0, back_ = 0;
    bool hasBack_ = false;
    int hatch_ = 0;
    std::shared_ptr<const Dib> tile_;
};

/// The result of mix mode Rop2 (R2_BLACK..R2_WHITE) of pen word P over destination word D.
uint32_t mixRop2(int Rop2, uint32_t P, uint32_t D);
/// The result of the ternary raster operation Rop (its high word) on pattern, source, destination.
uint32_t mixRop3(uint32_t Rop, uint32_t P, uint32_t S, uint32_t D);
/// True when the raster operation reads the source, resp. the pattern.
bool ropUsesSource(uint32_t Rop);
bool ropUsesPattern(uint32_t Rop);

/// Paints the mask into the surface within Clip: Fore pixels by Fore, Back pixels in Back,
/// each mixed with the picture by Rop2.
void paintMask(PixelSurface& Surface, const CoverageMask& Mask, const QRegion& Clip, const Paint& Fore,
               std::optional<COLORREF> Back, int Rop2);
