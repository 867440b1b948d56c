//===- RasterText.cpp - Glyphs at the font engine's advances ---------------===//
#include "platform/gdi/raster/RasterBackend_p.h"

#include "platform/gdi/dc/DeviceContext_p.h"
#include "platform/gdi/fonts/FontEngine.h"
#include "platform/gdi/Gdi.h"
#include "platform/gdi/fonts/GlyphOutlines_p.h"
#include "platform/gdi/raster/PixelSurface_p.h"
#include "platform/gdi/dc/TextPlacement_p.h"

#include <QPolygonF>

#include <cmath>
#include <vector>

namespace {

// Glyphs of fonts too large to be hinted are filled from their outlines where these cover at
// least 40 % of a pixel; their stems are wide enough for it.
constexpr int glyphThreshold = 102;

// A rectangle of the text's own frame (u along the baseline, v downwards from it) as a device
// polygon.
QPainterPath framedRect(const QTransform& Frame, double U0, double V0, double U1, double V1)
{
    QPainterPath path;
    path.addPolygon(Frame.map(QPolygonF(QRectF(QPointF(U0, V0), QPointF(U1, V1)))));
    path.closeSubpath();
    return path;
}

void fillDevice(PixelSurface& Surface, const QRegion& Clip, const QRect& Rect, COLORREF Colour)
{
    CoverageMask mask(Rect.intersected(Clip.boundingRect()));
    mask.fillRect(Rect);
    paintMask(Surface, mask, Clip, Paint::solid(Colour), std::nullopt, R2_COPYPEN);
}

// A run laid out on the device: the font at its device size, the glyph origins along the
// baseline, and the frame that maps the run's own coordinates (u along the baseline, v down
// from it) to device pixels.
struct Layout {
    std::shared_ptr<const RealizedFont> font;
    TEXTMETRICA tm;
    std::vector<double> at; // glyph origins, then the run's end
    double length = 0;
    QTransform frame;
};

Layout layOut(const DcState& S, const TextRun& Run)
{
    Layout l;
    const double sx = gdi_private::scaleX(S), sy = gdi_private::scaleY(S);
    l.font = S.font->realize(std::abs(sy - 1) < 1e-9 ? 1.0 : sy);
    l.tm = l.font->TextMetrics();
    l.at.assign(Run.text.size() + 1, 0.0);
    long long sum = 0;
    for (size_t i = 0; i < Run.text.size(); ++i) {
        sum += i < Run.dx.size() ? Run.dx[i] : 0;
        l.at[i + 1] = std::round(double(sum) * sx);
    }
    l.length = l.at.back();

    // The glyphs start from the reference point's device pixel, so that upright runs keep to the
    // pixel grid; the recorder's bounds use the same rule.
    const gdi_private::TextFrame f = gdi_private::placeText(S, QPointF(S.device(Run.reference)), l.length, l.tm);
    l.frame = QTransform(f.along.x(), f.along.y(), f.down.x(), f.down.y(), f.origin.x(), f.origin.y());
    return l;
}

// The device pixels the run may touch: its cell and a margin of one line height around it for
// glyphs that reach beyond their advances.
QRect reachOf(const Layout& L)
{
    const double margin = L.tm.tmHeight;
    return L.frame
        .mapRect(QRectF(QPointF(-margin, -L.tm.tmAscent - margin), QPointF(L.length + margin, L.tm.tmDescent + margin)))
        .toAlignedRect();
}

// Upright text on the device's own grid.
bool upright(const Layout& L)
{
    return L.frame.m11() == 1 && L.frame.m22() == 1 && L.frame.m12() == 0 && L.frame.m21() == 0
           && L.frame.dx() == std::round(L.frame.dx()) && L.frame.dy() == std::round(L.frame.dy());
}

void markBitmap(CoverageMask& Ink, const GlyphBitmap& Bitmap, QPoint Origin)
{
    const int left = Origin.x() + Bitmap.Left, top = Origin.y() - Bitmap.Top;
    for (int y = 0; y < Bitmap.Height; ++y)
        for (int x = 0; x < Bitmap.Width; ++x)
            if (Bitmap.Ink[size_t(y) * Bitmap.Width + x])
                Ink.set(left + x, top + y, CoverageMask::Fore);
}

// Upright text of a hinted font: the hinted bitmaps, each at its glyph origin.
void markBitmaps(CoverageMask& Ink, const Layout& L, std::string_view Text)
{
    const int x0 = int(L.frame.dx()), y0 = int(L.frame.dy());
    for (size_t i = 0; i < Text.size(); ++i) {
        uint32_t glyph = L.font->GlyphIndex(uint8_t(Text[i]));
        if (glyph != 0)
            markBitmap(Ink, *glyphBitmap(L.font, glyph), QPoint(x0 + int(L.at[i]), y0));
    }
}

// Turned text of a hinted font: each glyph hinted as upright, turned, and scan-converted by the
// face's rasterizer, whose dropout control keeps the stems thinner than a pixel that filling the
// unhinted outlines loses at small sizes. Quarter turns so come out as exact transposes of the
// upright bitmaps.
void markTurnedBitmaps(CoverageMask& Ink, const Layout& L, std::string_view Text)
{
    const double angle = std::atan2(-L.frame.m12(), L.frame.m11());
    for (size_t i = 0; i < Text.size(); ++i) {
        uint32_t glyph = L.font->GlyphIndex(uint8_t(Text[i]));
        if (glyph == 0)
            continue;
        // The rasterizer places the origin in 64ths of a pixel; rounding first keeps the rounding
        // error of the turn from moving a glyph by a whole pixel.
        const QPointF at = L.frame.map(QPointF(L.at[i], 0));
        const QPointF origin(std::round(at.x() * 64) / 64, std::round(at.y() * 64) / 64);
        const QPoint base(int(std::floor(origin.x())), int(std::floor(origin.y())));
        markBitmap(Ink, turnedGlyphBitmap(L.font, glyph, angle, origin - QPointF(base)), base);
    }
}

void markOutlines(CoverageMask& Ink, const Layout& L, std::string_view Text)
{
    QPainterPath glyphs;
    glyphs.setFillRule(Qt::WindingFill);
    for (size_t i = 0; i < Text.size(); ++i) {
        uint32_t glyph = L.font->GlyphIndex(uint8_t(Text[i]));
        if (glyph == 0)
            continue;
        QPainterPath outline = glyphOutline(L.font, glyph);
        if (outline.isEmpty())
            continue;
        outline.translate(L.at[i], 0);
        glyphs.addPath(L.frame.map(outline));
    }
    Ink.fillCoverage(glyphs, glyphThreshold);
}

void markGlyphs(CoverageMask& Ink, const Layout& L, std::string_view Text)
{
    if (!L.font->Hinted())
        markOutlines(Ink, L, Text);
    else if (upright(L))
        markBitmaps(Ink, L, Text);
    else
        markTurnedBitmaps(Ink, L, Text);
}

// Underline and strike-out at the positions and thicknesses the face gives.
void markLines(CoverageMask& Ink, const Layout& L, const LOGFONTA& Font)
{
    if (!Font.lfUnderline && !Font.lfStrikeOut)
        return;
    OUTLINETEXTMETRICA otm;
    const bool outlines = L.font->OutlineTextMetrics(otm);
    if (Font.lfUnderline) {
        double top = std::round(outlines ? -otm.otmsUnderscorePosition : std::max(1, L.tm.tmDescent / 2));
        double thick = outlines ? std::max(1, otm.otmsUnderscoreSize) : 1;
        Ink.fillPath(framedRect(L.frame, 0, top, L.length, top + thick), Qt::WindingFill);
    }
    if (Font.lfStrikeOut) {
        double top = std::round(outlines ? -otm.otmsStrikeoutPosition : -L.tm.tmAscent / 3.0);
        double thick = outlines ? std::max<double>(1, otm.otmsStrikeoutSize) : 1;
        Ink.fillPath(framedRect(L.frame, 0, top, L.length, top + thick), Qt::WindingFill);
    }
}

} // namespace

void RasterBackend::textOut(const DcState& S, const TextRun& Run)
{
    Target t = target(S);
    if (!t)
        return;
    QRegion clip = t.clip;
    const COLORREF background = ColorToRGB(S.bkColor);
    if (Run.options & (ETO_OPAQUE | ETO_CLIPPED)) {
        QRect rect = gdi_private::deviceRect(S, Run.rect);
        if (Run.options & ETO_OPAQUE)
            fillDevice(*t.surface, t.clip, rect, background);
        if (Run.options & ETO_CLIPPED)
            clip = clip.intersected(rect);
    }
    if (Run.text.empty() || clip.isEmpty())
        return;

    const Layout layout = layOut(S, Run);
    const QRect box = reachOf(layout).intersected(clip.boundingRect());
    if (box.isEmpty())
        return;
    if (S.bkMode == OPAQUE) {
        CoverageMask cell(box);
        cell.fillPath(framedRect(layout.frame, 0, -layout.tm.tmAscent, layout.length, layout.tm.tmDescent),
                      Qt::WindingFill);
        paintMask(*t.surface, cell, clip, Paint::solid(background), std::nullopt, R2_COPYPEN);
    }
    CoverageMask ink(box);
    markGlyphs(ink, layout, Run.text);
    markLines(ink, layout, S.font->logFont);
    paintMask(*t.surface, ink, clip, Paint::solid(ColorToRGB(S.textColor)), std::nullopt, R2_COPYPEN);
}
