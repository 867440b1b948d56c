//===- RasterBackend.cpp - Lines, polygons, rectangles, ellipses, arcs, pixels -===//
#include "platform/gdi/raster/RasterBackend_p.h"

#include "platform/gdi/dc/DeviceContext_p.h"
#include "platform/gdi/bitmaps/Dib.h"
#include "platform/gdi/Gdi.h"
#include "platform/gdi/raster/PixelSurface_p.h"

#include <QPainterPathStroker>
#include <QPolygonF>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <span>

namespace {

using gdi_private::PenSpec;

// Rounds a point of a curve to its pixel so that the curve stays symmetric about its centre:
// halves round away from the centre on both sides.
int pixelAbout(double V, double Centre)
{
    // Rounding noise of sines and cosines must not decide which side of the centre a point is.
    V = std::round(V * 1e6) / 1e6;
    return int(V >= Centre ? std::floor(V + 0.5) : std::ceil(V - 0.5));
}

// Pixels of a curve given by close points: rounded, repeats dropped, and a pixel dropped where
// its neighbours touch each other anyway, so that the line stays one pixel thin.
std::vector<QPoint> curvePixels(const std::vector<QPointF>& Points, QPointF Centre, bool Closed)
{
    std::vector<QPoint> pixels;
    pixels.reserve(Points.size());
    for (const QPointF& p : Points) {
        QPoint q(pixelAbout(p.x(), Centre.x()), pixelAbout(p.y(), Centre.y()));
        if (pixels.empty() || pixels.back() != q)
            pixels.push_back(q);
    }
    if (Closed && pixels.size() > 1 && pixels.front() == pixels.back())
        pixels.pop_back();
    auto touching = [](QPoint A, QPoint B) { return std::abs(A.x() - B.x()) <= 1 && std::abs(A.y() - B.y()) <= 1; };
    std::vector<QPoint> thin;
    thin.reserve(pixels.size());
    const size_t n = pixels.size();
    for (size_t i = 0; i < n; ++i) {
        bool inner = Closed || (i > 0 && i + 1 < n);
        if (inner && n > 3) {
            QPoint before = thin.empty() ? pixels[(i + n - 1) % n] : thin.back();
            QPoint after = pixels[(i + 1) % n];
            if (before != after && touching(before, after))
                continue;
        }
        thin.push_back(pixels[i]);
    }
    return thin;
}

QRect boundsOf(const std::vector<QPointF>& Points, int Margin)
{
    if (Points.empty())
        return QRect();
    double x0 = Points[0].x(), x1 = x0, y0 = Points[0].y(), y1 = y0;
    for (const QPointF& p : Points) {
        x0 = std::min(x0, p.x()), x1 = std::max(x1, p.x());
        y0 = std::min(y0, p.y()), y1 = std::max(y1, p.y());
    }
    // Far-away coordinates are cut here; the mask box is cut to the clip anyway.
    auto clampInt = [](double V) { return int(std::clamp(V, -1e8, 1e8)); };
    return QRect(QPoint(clampInt(std::floor(x0)) - Margin, clampInt(std::floor(y0)) - Margin),
                 QPoint(clampInt(std::ceil(x1)) + Margin, clampInt(std::ceil(y1)) + Margin));
}

QPainterPath wideStroke(const QPainterPath& Line, const PenSpec& Pen, Qt::PenJoinStyle Join)
{
    QPainterPathStroker stroker;
    stroker.setWidth(Pen.width);
    stroker.setCapStyle(Pen.cap.value_or(Qt::RoundCap));
    stroker.setJoinStyle(Pen.join.value_or(Join));
    return stroker.createStroke(Line);
}

// Samples of the ellipse with centre C and radii R from angle T0 over Span (radians, counter-
// clockwise on the screen, negative for clockwise): the two ends and, between them, the points
// of one fixed grid of angles, fine enough that neighbours are under half a pixel apart. The
// fixed grid makes a pie of 100 % and the ellipse of the same box the very same figure.
void sampleEllipse(std::vector<QPointF>& Out, QPointF C, QPointF R, double T0, double Span)
{
    const double full = 2 * std::numbers::pi;
    const double perimeter = full * std::max(R.x(), R.y());
    // At most 2^16 samples: giant figures stay cheap, and still within a pixel below 10^8.
    const long long n = 4 * std::clamp((long long)std::ceil(perimeter / 2), 4LL, 1LL << 14);
    const double step = full / double(n);
    Out.reserve(Out.size() + size_t(std::min(std::abs(Span) / step, double(n))) + 3);
    auto at = [&](double T) { return QPointF(C.x() + R.x() * std::cos(T), C.y() - R.y() * std::sin(T)); };
    auto grid = [&](long long K) { return at(double(((K % n) + n) % n) * step); };
    Out.push_back(at(T0));
    const double end = T0 + Span;
    if (Span > 0) {
        for (long long k = (long long)std::floor(T0 / step) + 1; k * step < end - 1e-9; ++k)
            Out.push_back(grid(k));
    } else {
        for (long long k = (long long)std::ceil(T0 / step) - 1; k * step > end + 1e-9; --k)
            Out.push_back(grid(k));
    }
    Out.push_back(at(end));
}

// The line-space box of a shape: the device rectangle without its right and bottom edges,
// drawn inside itself by half the width of a wide PS_INSIDEFRAME pen.
QRectF lineBox(const QRect& Device, const PenSpec& Pen, UINT LogicalStyle)
{
    QRectF box(QPointF(Device.left(), Device.top()), QPointF(Device.right(), Device.bottom()));
    if (Pen.visible && Pen.wide() && LogicalStyle == PS_INSIDEFRAME) {
        double inset = std::min({ double(Pen.width / 2), box.width() / 2, box.height() / 2 });
        box.adjust(inset, inset, -inset, -inset);
    }
    return box;
}

// A closed or open chain of points as a path.
template <class Point>
QPainterPath pathOf(const std::vector<Point>& Chain, bool Closed)
{
    QPainterPath path;
    if (Chain.empty())
        return path;
    path.moveTo(QPointF(Chain[0]));
    for (size_t i = 1; i < Chain.size(); ++i)
        path.lineTo(QPointF(Chain[i]));
    if (Closed)
        path.closeSubpath();
    return path;
}

// One-pixel outlines: each chain's segments (and the closing one) with one dash pattern running
// on through all of them.
void markThin(CoverageMask& Mask, const std::vector<std::vector<QPoint>>& Chains, bool Closed, LineStyle& Style)
{
    for (const auto& chain : Chains) {
        for (size_t i = 0; i + 1 < chain.size(); ++i)
            plotLine(Mask, chain[i], chain[i + 1], Style);
        if (Closed && chain.size() > 1)
            plotLine(Mask, chain.back(), chain.front(), Style);
    }
}

// The part of a polygon inside Box, cut edge by edge (Sutherland-Hodgman). Inside the box every
// point keeps its winding number, so the fill there is the same, at a cost that follows the box
// rather than the figure.
template <class Range, class Inside, class Crossing>
std::vector<QPointF> cut(const Range& Polygon, Inside IsInside, Crossing CrossingOf)
{
    std::vector<QPointF> out;
    if (Polygon.empty())
        return out;
    out.reserve(Polygon.size() + 4);
    QPointF previous(Polygon.back());
    for (const auto& point : Polygon) {
        const QPointF p(point);
        if (IsInside(p) != IsInside(previous))
            out.push_back(CrossingOf(previous, p));
        if (IsInside(p))
            out.push_back(p);
        previous = p;
    }
    return out;
}

template <class Point>
std::vector<QPointF> clippedTo(const std::vector<Point>& Polygon, const QRectF& Box)
{
    auto atX = [](double X) {
        return
            [X](QPointF A, QPointF B) { return QPointF(X, A.y() + (X - A.x()) / (B.x() - A.x()) * (B.y() - A.y())); };
    };
    auto atY = [](double Y) {
        return
            [Y](QPointF A, QPointF B) { return QPointF(A.x() + (Y - A.y()) / (B.y() - A.y()) * (B.x() - A.x()), Y); };
    };
    std::vector<QPointF> out = cut(
        Polygon, [&](QPointF P) { return P.x() >= Box.left(); }, atX(Box.left()));
    out = cut(
        out, [&](QPointF P) { return P.x() <= Box.right(); }, atX(Box.right()));
    out = cut(
        out, [&](QPointF P) { return P.y() >= Box.top(); }, atY(Box.top()));
    return cut(
        out, [&](QPointF P) { return P.y() <= Box.bottom(); }, atY(Box.bottom()));
}

// A polygon to fill in a mask of that box: as it stands when it lies within reach of the box,
// else cut to a margin around it (whose edges cover no pixel of the box).
template <class Point>
QPainterPath fillArea(const std::vector<Point>& Polygon, const QRect& Box)
{
    const QRectF reach = QRectF(Box).adjusted(-2, -2, 2, 2);
    if (std::ranges::all_of(Polygon, [&](const Point& P) { return reach.contains(QPointF(P)); }))
        return pathOf(Polygon, true);
    return pathOf(clippedTo(Polygon, reach), true);
}

double distanceToSegment(QPointF P, QPointF A, QPointF B)
{
    const double dx = B.x() - A.x(), dy = B.y() - A.y(), squared = dx * dx + dy * dy;
    const double t = squared > 0 ? std::clamp(((P.x() - A.x()) * dx + (P.y() - A.y()) * dy) / squared, 0.0, 1.0) : 0;
    return std::hypot(P.x() - (A.x() + t * dx), P.y() - (A.y() + t * dy));
}

// Wide outlines with round joins and ends: the points within half the width of a segment. The
// stroke of a huge figure or pen is costly to flatten, so only the segments that reach the mask
// are stroked, and none when one of them covers the whole mask; the cost then follows the
// pixels drawn, not the coordinates. A line that is near everywhere is stroked as it stands.
template <class Point>
void markWide(CoverageMask& Mask, std::span<const std::vector<Point>> Chains, bool Closed, const PenSpec& Pen)
{
    const QRectF box(Mask.box().topLeft(), Mask.box().bottomRight()); // the pixels' points
    const QPointF corners[] = { box.topLeft(), box.topRight(), box.bottomLeft(), box.bottomRight() };
    const double half = Pen.width / 2.0;
    // Margins for the stroker's approximation of round arcs, a small fraction of their radius.
    const double inner = half * (1 - 1e-3) - 1,
                 outer = half * (1 + 1e-3) + std::hypot(box.width(), box.height()) / 2 + 2;
    std::vector<std::vector<QPointF>> runs;
    bool everywhere = true;
    for (const auto& chain : Chains) {
        // A lone point has no segment: it strokes to nothing.
        const size_t n = chain.size(), segments = n == 1 ? 0 : Closed ? n : n - 1;
        bool inRun = false;
        for (size_t i = 0; i < segments; ++i) {
            const QPointF a(chain[i]), b(chain[(i + 1) % n]);
            if (std::ranges::all_of(corners, [&](QPointF C) { return distanceToSegment(C, a, b) <= inner; })) {
                Mask.fillRect(Mask.box());
                return;
            }
            const bool reaches = distanceToSegment(box.center(), a, b) <= outer;
            if (reaches && !inRun)
                runs.push_back({ a });
            if (reaches)
                runs.back().push_back(b);
            inRun = reaches;
            everywhere = everywhere && reaches;
        }
    }
    QPainterPath line;
    if (everywhere) {
        for (const auto& chain : Chains)
            line.addPath(pathOf(chain, Closed));
    } else {
        for (const auto& run : runs)
            line.addPath(pathOf(run, false));
    }
    Mask.fillPath(wideStroke(line, Pen, Qt::RoundJoin), Qt::WindingFill);
}

// Whether a shape whose device box is Device can touch Box with the pen. Curves are sampled at
// up to 2^16 points, so a huge one wholly off the picture is dropped before that.
bool reaches(const QRect& Device, const PenSpec& Pen, const QRect& Box)
{
    const int64_t margin = int64_t(Pen.width) + 1;
    return int64_t(Device.left()) - margin <= Box.right() && int64_t(Device.right()) + margin >= Box.left()
           && int64_t(Device.top()) - margin <= Box.bottom() && int64_t(Device.bottom()) + margin >= Box.top();
}

// Fill first (without the outline's pixels, so none is mixed twice), then the outline.
void paintShape(RasterBackend::Target& T, const DcState& S, const PenSpec& Pen, const std::optional<Paint>& Brush,
                CoverageMask& Fill, const CoverageMask& Outline)
{
    if (Brush) {
        if (Pen.visible)
            Fill.subtract(Outline);
        paintMask(*T.surface, Fill, T.clip, *Brush, std::nullopt, S.rop2);
    }
    if (Pen.visible)
        paintMask(*T.surface, Outline, T.clip, Paint::solid(Pen.colour), gdi_private::gapColour(S), S.rop2);
}

} // namespace

// ---- Shared helpers

namespace gdi_private {

double scaleX(const DcState& S)
{
    QTransform m = S.toDevice();
    return std::hypot(m.m11(), m.m12());
}

double scaleY(const DcState& S)
{
    QTransform m = S.toDevice();
    return std::hypot(m.m21(), m.m22());
}

QRect deviceRect(const DcState& S, const RECT& R)
{
    QPoint a = S.device(POINT { R.left, R.top }), b = S.device(POINT { R.right, R.bottom });
    int l = std::min(a.x(), b.x()), r = std::max(a.x(), b.x());
    int t = std::min(a.y(), b.y()), bo = std::max(a.y(), b.y());
    return QRect(l, t, r - l, bo - t);
}

PenSpec penOf(const DcState& S)
{
    LOGPEN pen = S.effectivePen();
    PenSpec spec;
    spec.visible = pen.lopnStyle != PS_NULL;
    spec.colour = ColorToRGB(pen.lopnColor);
    spec.width = std::max(1, int(std::lround(std::abs(pen.lopnWidth.x) * scaleX(S))));
    // Styles apply to one-pixel pens only; wide ones draw solid.
    spec.style = spec.wide() || pen.lopnStyle == PS_INSIDEFRAME ? PS_SOLID : pen.lopnStyle;
    if (const auto& ext = S.pen->extPen; ext && (ext->elpPenStyle & PS_TYPE_MASK) == PS_GEOMETRIC) {
        const UINT cap = ext->elpPenStyle & PS_ENDCAP_MASK, join = ext->elpPenStyle & PS_JOIN_MASK;
        spec.cap = cap == PS_ENDCAP_FLAT ? Qt::FlatCap : cap == PS_ENDCAP_SQUARE ? Qt::SquareCap : Qt::RoundCap;
        spec.join = join == PS_JOIN_MITER ? Qt::MiterJoin : join == PS_JOIN_BEVEL ? Qt::BevelJoin : Qt::RoundJoin;
    }
    return spec;
}

std::optional<COLORREF> gapColour(const DcState& S)
{
    if (S.bkMode != OPAQUE)
        return std::nullopt;
    return ColorToRGB(S.bkColor);
}

std::optional<Paint> brushOf(const DcState& S)
{
    LOGBRUSH brush = S.effectiveBrush();
    switch (brush.lbStyle) {
    case BS_SOLID: return Paint::solid(ColorToRGB(brush.lbColor));
    case BS_HATCHED: return Paint::hatch(int(brush.lbHatch), ColorToRGB(brush.lbColor), gapColour(S));
    case BS_PATTERN: return Paint::pattern(S.brush->pattern, ColorToRGB(S.textColor), ColorToRGB(S.bkColor));
    default: return std::nullopt;
    }
}

} // namespace gdi_private

// ---- Targets

HDC CreateImageDC(QImage& Target, const DeviceCaps& Caps)
{
    return CreateDeviceContext(DeviceContext::Kind::Image, std::make_unique<RasterBackend>(Target), Caps);
}

std::unique_ptr<PixelSurface> RasterBackend::surface(const DcState& S)
{
    if (image_)
        return std::make_unique<ImageSurface>(*image_);
    if (S.bitmap && S.bitmap->picture())
        return std::make_unique<DibSurface>(*S.bitmap->picture());
    return nullptr;
}

RasterBackend::Target RasterBackend::target(const DcState& S)
{
    Target t;
    t.surface = surface(S);
    if (!t.surface)
        return t;
    QRect all = t.surface->rect();
    t.clip = S.clip ? S.clip->intersected(all) : QRegion(all);
    t.box = t.clip.boundingRect();
    return t;
}

// ---- Polylines and polygons

void RasterBackend::drawPolygons(const DcState& S, const std::vector<std::vector<QPoint>>& Polygons, bool Closed,
                                 bool Fill)
{
    Target t = target(S);
    if (!t)
        return;
    const PenSpec pen = gdi_private::penOf(S);
    const std::optional<Paint> brush = Fill ? gdi_private::brushOf(S) : std::nullopt;
    if (!pen.visible && !brush)
        return;
    std::vector<QPointF> all;
    for (const auto& polygon : Polygons)
        all.insert(all.end(), polygon.begin(), polygon.end());
    const QRect box = boundsOf(all, pen.width + 1).intersected(t.box);
    if (box.isEmpty())
        return;

    CoverageMask fill(brush ? box : QRect()), outline(pen.visible ? box : QRect());
    if (brush) {
        QPainterPath area;
        for (const auto& polygon : Polygons)
            area.addPath(fillArea(polygon, box));
        fill.fillPath(area, S.polyFillMode == WINDING ? Qt::WindingFill : Qt::OddEvenFill);
    }
    if (pen.visible && !pen.wide()) {
        LineStyle style(pen.style, gdi_private::gapColour(S).has_value());
        markThin(outline, Polygons, Closed, style);
    } else if (pen.visible) {
        markWide(outline, std::span(Polygons), Closed, pen);
    }
    paintShape(t, S, pen, brush, fill, outline);
}

void RasterBackend::lineTo(const DcState& S, POINT From, POINT To)
{
    drawPolygons(S, { { S.device(From), S.device(To) } }, false, false);
}

void RasterBackend::polyline(const DcState& S, std::span<const POINT> Points)
{
    std::vector<QPoint> device;
    device.reserve(Points.size());
    for (POINT p : Points)
        device.push_back(S.device(p));
    drawPolygons(S, { device }, false, false);
}

void RasterBackend::polygon(const DcState& S, std::span<const POINT> Points)
{
    const int count = int(Points.size());
    polyPolygon(S, Points, std::span<const int>(&count, 1));
}

void RasterBackend::polyPolygon(const DcState& S, std::span<const POINT> Points, std::span<const int> Counts)
{
    std::vector<std::vector<QPoint>> polygons;
    size_t at = 0;
    for (int count : Counts) {
        std::vector<QPoint> polygon;
        for (int i = 0; i < count && at < Points.size(); ++i)
            polygon.push_back(S.device(Points[at++]));
        polygons.push_back(std::move(polygon));
    }
    drawPolygons(S, polygons, true, true);
}

// ---- Rectangles

void RasterBackend::rectangle(const DcState& S, const RECT& R)
{
    Target t = target(S);
    const QRect device = gdi_private::deviceRect(S, R);
    if (!t || device.isEmpty())
        return;
    const PenSpec pen = gdi_private::penOf(S);
    const std::optional<Paint> brush = gdi_private::brushOf(S);
    const QRect box = device.adjusted(-pen.width, -pen.width, pen.width, pen.width).intersected(t.box);
    if (box.isEmpty())
        return;

    CoverageMask fill(brush ? box : QRect()), outline(pen.visible ? box : QRect());
    // Without a pen the filled area is one pixel smaller to the right and bottom.
    if (brush)
        fill.fillRect(pen.visible ? device : device.adjusted(0, 0, -1, -1));
    if (pen.visible && !pen.wide()) {
        LineStyle style(pen.style, gdi_private::gapColour(S).has_value());
        markThin(outline, { { device.topLeft(), device.topRight(), device.bottomRight(), device.bottomLeft() } }, true,
                 style);
        if (device.width() == 1 || device.height() == 1)
            outline.fillRect(device);
    } else if (pen.visible) {
        QPainterPath path;
        path.addRect(lineBox(device, pen, S.effectivePen().lopnStyle));
        outline.fillPath(wideStroke(path, pen, Qt::MiterJoin), Qt::WindingFill);
    }
    paintShape(t, S, pen, brush, fill, outline);
}

// ---- Curves

void RasterBackend::drawFigure(const DcState& S, const Figure& F, bool Fill)
{
    Target t = target(S);
    if (!t || F.points.empty())
        return;
    const PenSpec pen = gdi_private::penOf(S);
    const std::optional<Paint> brush = Fill && F.fillable ? gdi_private::brushOf(S) : std::nullopt;
    if (!pen.visible && !brush)
        return;
    const QRect box = boundsOf(F.points, pen.width + 1).intersected(t.box);
    if (box.isEmpty())
        return;

    CoverageMask fill(brush ? box : QRect()), outline(pen.visible ? box : QRect());
    if (brush)
        fill.fillPath(fillArea(F.points, box), Qt::WindingFill);
    if (pen.visible && !pen.wide()) {
        const std::vector<QPoint> pixels = curvePixels(F.points, F.centre, F.closed);
        LineStyle style(pen.style, gdi_private::gapColour(S).has_value());
        markThin(outline, { pixels }, F.closed, style);
        // An open curve keeps its last pixel, as does a curve that is a single pixel.
        if (!F.closed || pixels.size() == 1)
            outline.set(pixels.back().x(), pixels.back().y(), style.next());
    } else if (pen.visible) {
        markWide(outline, std::span(&F.points, 1), F.closed, pen);
    }
    paintShape(t, S, pen, brush, fill, outline);
}

void RasterBackend::ellipse(const DcState& S, const RECT& R)
{
    const QRect device = gdi_private::deviceRect(S, R);
    if (device.isEmpty() || !reaches(device, gdi_private::penOf(S), target(S).box))
        return;
    QRectF box = lineBox(device, gdi_private::penOf(S), S.effectivePen().lopnStyle);
    Figure f;
    f.centre = box.center();
    sampleEllipse(f.points, box.center(), QPointF(box.width() / 2, box.height() / 2), 0, 2 * std::numbers::pi);
    drawFigure(S, f, true);
}

void RasterBackend::roundRect(const DcState& S, const RECT& R, SIZE Corner)
{
    const QRect device = gdi_private::deviceRect(S, R);
    if (device.isEmpty() || !reaches(device, gdi_private::penOf(S), target(S).box))
        return;
    QRectF box = lineBox(device, gdi_private::penOf(S), S.effectivePen().lopnStyle);
    // In double: the size of a corner of INT_MIN is no negative number.
    double rx = std::min(std::abs(double(Corner.cx)) * gdi_private::scaleX(S) / 2, box.width() / 2);
    double ry = std::min(std::abs(double(Corner.cy)) * gdi_private::scaleY(S) / 2, box.height() / 2);
    const double quarter = std::numbers::pi / 2;
    Figure f;
    f.centre = box.center();
    sampleEllipse(f.points, QPointF(box.right() - rx, box.top() + ry), QPointF(rx, ry), 0, quarter);
    sampleEllipse(f.points, QPointF(box.left() + rx, box.top() + ry), QPointF(rx, ry), quarter, quarter);
    sampleEllipse(f.points, QPointF(box.left() + rx, box.bottom() - ry), QPointF(rx, ry), 2 * quarter, quarter);
    sampleEllipse(f.points, QPointF(box.right() - rx, box.bottom() - ry), QPointF(rx, ry), 3 * quarter, quarter);
    drawFigure(S, f, true);
}

void RasterBackend::arc(const DcState& S, ArcKind Kind, const RECT& Box, POINT Start, POINT End)
{
    const QRect device = gdi_private::deviceRect(S, Box);
    if (device.isEmpty() || !reaches(device, gdi_private::penOf(S), target(S).box))
        return;
    QRectF box = lineBox(device, gdi_private::penOf(S), S.effectivePen().lopnStyle);
    const QPointF c = box.center();
    const double rx = std::max(box.width() / 2, 1e-9), ry = std::max(box.height() / 2, 1e-9);
    // The angle of each radial, measured on the ellipse as if it were a circle, so that the
    // arc ends where the radial crosses the ellipse.
    auto angleOf = [&](POINT P) {
        QPointF d = S.deviceF(P);
        return std::atan2(-(d.y() - c.y()) / ry, (d.x() - c.x()) / rx);
    };
    const double t0 = angleOf(Start), t1 = angleOf(End);
    const double full = 2 * std::numbers::pi;
    double span = std::fmod(t1 - t0 + 2 * full, full);
    if (span < 1e-9)
        span = full; // equal radials: the whole ellipse
    if (S.arcDirection == AD_CLOCKWISE)
        span = span == full ? -full : span - full;

    Figure f;
    f.centre = c;
    f.closed = Kind != ArcKind::Arc;
    f.fillable = Kind != ArcKind::Arc;
    if (Kind == ArcKind::Pie)
        f.points.push_back(c);
    sampleEllipse(f.points, c, QPointF(box.width() / 2, box.height() / 2), t0, span);
    drawFigure(S, f, true);
}

// ---- Pixels

COLORREF RasterBackend::setPixel(const DcState& S, POINT P, COLORREF Colour)
{
    Target t = target(S);
    QPoint d = S.device(P);
    if (!t || !t.clip.contains(d))
        return CLR_INVALID;
    uint32_t word = pixelWord(ColorToRGB(Colour));
    t.surface->write(d.x(), d.y(), 1, &word);
    return t.surface->colour(d.x(), d.y());
}

COLORREF RasterBackend::getPixel(const DcState& S, POINT P)
{
    Target t = target(S);
    QPoint d = S.device(P);
    if (!t || !t.clip.contains(d))
        return CLR_INVALID;
    return t.surface->colour(d.x(), d.y());
}
