//===- RasterBackend_p.h - Drawing into pixels: bitmaps, windows, printer pages -*- C++ -*-===//
#pragma once

#include "platform/gdi/raster/CoverageMask_p.h"
#include "platform/gdi/dc/DcBackend_p.h"

#include <QImage>
#include <QPainterPath>
#include <QRegion>
#include <memory>
#include <optional>
#include <vector>

/// The raster backend: every primitive is marked in a coverage mask and painted into the
/// surface through the clip. It draws on the bitmap selected into a memory context, or on an
/// image given at construction (a window's back buffer, a printer page).
class RasterBackend : public DcBackend {
public:
    RasterBackend() = default;
    /// The image must outlive the backend; 32-bit formats are drawn in place.
    explicit RasterBackend(QImage& Target) : image_(&Target) {}

    void lineTo(const DcState&, POINT From, POINT To) override;
    void polyline(const DcState&, std::span<const POINT>) override;
    void polygon(const DcState&, std::span<const POINT>) override;
    void polyPolygon(const DcState&, std::span<const POINT>, std::span<const int> Counts) override;
    void rectangle(const DcState&, const RECT&) override;
    void ellipse(const DcState&, const RECT&) override;
    void roundRect(const DcState&, const RECT&, SIZE Corner) override;
    void arc(const DcState&, ArcKind, const RECT& Box, POINT Start, POINT End) override;
    COLORREF setPixel(const DcState&, POINT, COLORREF) override;
    void textOut(const DcState&, const TextRun&) override;
    void patBlt(const DcState&, const RECT&, uint32_t Rop) override;
    void stretchBlt(const DcState&, const RECT& Dest, const BlitSource&, uint32_t Rop) override;
    void stretchDib(const DcState&, const RECT& Dest, const Dib&, const RECT& Source, uint32_t Rop) override;
    COLORREF getPixel(const DcState&, POINT) override;
    std::unique_ptr<PixelSurface> surface(const DcState&) override;

    /// What one drawing call paints into: the surface and the visible part of it.
    struct Target {
        std::unique_ptr<PixelSurface> surface;
        QRegion clip; // device pixels, within the surface
        QRect box;    // the clip's bounds
        explicit operator bool() const { return surface && !box.isEmpty(); }
    };
    Target target(const DcState&);

private:
    /// A figure as the shape calls build it, in device line space.
    struct Figure {
        std::vector<QPointF> points;
        QPointF centre; // curve pixels round symmetrically about it
        bool closed = true;
        bool fillable = true;
    };
    void drawFigure(const DcState&, const Figure&, bool Fill);
    void drawPolygons(const DcState&, const std::vector<std::vector<QPoint>>& Polygons, bool Closed, bool Fill);

    QImage* image_ = nullptr;
};

struct DeviceCaps;

/// A context drawing on an image (a window's back buffer, a printer page) with the given
/// device values; the image must outlive the context.
HDC CreateImageDC(QImage& Target, const DeviceCaps& Caps);

// Shared by the drawing files of the raster backend.
namespace gdi_private {

/// The pen as it draws: visibility, device width (1 for cosmetic pens), style and colour.
struct PenSpec {
    bool visible = false;
    int width = 1;
    UINT style = PS_SOLID;
    COLORREF colour = 0;
    /// A geometric extended pen's end cap and join; otherwise each figure's own.
    std::optional<Qt::PenCapStyle> cap;
    std::optional<Qt::PenJoinStyle> join;
    bool wide() const { return width > 1; }
};
PenSpec penOf(const DcState&);
/// The brush as it fills, or nothing for the null brush.
std::optional<Paint> brushOf(const DcState&);
/// The background colour for dash gaps and hatch gaps: only in OPAQUE mode.
std::optional<COLORREF> gapColour(const DcState&);
/// Device pixels per logical unit along the x and y axes of the logical space.
double scaleX(const DcState&);
double scaleY(const DcState&);
/// The device rectangle covered by a logical one (corners mapped and ordered), right and
/// bottom excluded.
QRect deviceRect(const DcState&, const RECT&);

} // namespace gdi_private
