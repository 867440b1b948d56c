//===- RasterText.cpp - Glyphs at the font engine's advances ---------------===//
#include "platform/gdi/RasterBackend_p.h"

#include "platform/gdi/DeviceContext_p.h"
#include "platform/gdi/FontEngine.h"
#include "platform/gdi/Gdi.h"
#include "platform/gdi/GlyphOutlines_p.h"
#include "platform/gdi/PixelSurface_p.h"

#include <QPolygonF>

#include <cmath>
#include <numbers>

namespace {

// Glyphs are filled where their outline covers at least 40 % of a pixel: aliased like the
// original's text, but without the lost stems that sampling pixel centres gives small sizes.
constexpr int glyphThreshold = 102;

// A rectangle of the text's own frame (u along the baseline, v downwards from it) as a device
// polygon.
QPainterPath framedRect(const QTransform& Frame, double U0, double V0, double U1, double V1) {
    QPainterPath path;
    path.addPolygon(Frame.map(QPolygonF(QRectF(QPointF(U0, V0), QPointF(U1, V1)))));
    path.closeSubpath();
    return path;
}

void fillDevice(PixelSurface& Surface, const QRegion& Clip, const QRect& Rect, COLORREF Colour) {
    CoverageMask mask(Rect.intersected(Clip.boundingRect()));
    mask.fillRect(Rect);
    paintMask(Surface, mask, Clip, Paint::solid(Colour), std::nullopt, R2_COPYPEN);
}

} // namespace

void RasterBackend::textOut(const DcState& S, const TextRun& Run) {
    Target t = target(S);
    if (!t) return;
    QRegion clip = t.clip;
    const COLORREF background = ColorToRGB(S.bkColor);
    if (Run.options & (ETO_OPAQUE | ETO_CLIPPED)) {
        QRect rect = raster::deviceRect(S, Run.rect);
        if (Run.options & ETO_OPAQUE) fillDevice(*t.surface, t.clip, rect, background);
        if (Run.options & ETO_CLIPPED) clip = clip.intersected(rect);
    }
    if (Run.text.empty() || clip.isEmpty()) return;

    // The font at its device size, the run along the baseline in device pixels.
    const double sx = raster::scaleX(S), sy = raster::scaleY(S);
    auto font = S.font->realize(std::abs(sy - 1) < 1e-9 ? 1.0 : sy);
    const TEXTMETRICA& tm = font->TextMetrics();
    std::vector<double> at(Run.text.size() + 1, 0.0);
    long long sum = 0;
    for (size_t i = 0; i < Run.text.size(); ++i) {
        sum += i < Run.dx.size() ? Run.dx[i] : 0;
        at[i + 1] = std::round(double(sum) * sx);
    }
    const double length = at.back();

    // The baseline turns by the escapement, and with the logical x axis when the world
    // transform turns it; y-up mappings keep text upright.
    const QTransform m = S.toDevice();
    const QPointF xAxis = m.map(QPointF(1, 0)) - m.map(QPointF(0, 0));
    const double angle = std::atan2(-xAxis.y(), xAxis.x()) + S.font->logFont.lfEscapement * std::numbers::pi / 1800;
    const QPointF along(std::cos(angle), -std::sin(angle)), down(std::sin(angle), std::cos(angle));

    double shiftU = 0, shiftV = 0;
    switch (S.textAlign & TA_CENTER) {
    case TA_CENTER: shiftU = -std::floor(length / 2); break;
    case TA_RIGHT: shiftU = -length; break;
    default: break;
    }
    switch (S.textAlign & TA_BASELINE) {
    case TA_BASELINE: break;
    case TA_BOTTOM: shiftV = -tm.tmDescent; break;
    default: shiftV = tm.tmAscent; break;
    }
    const QPoint reference = S.device(Run.reference);
    const QPointF origin = QPointF(reference) + along * shiftU + down * shiftV;
    const QTransform frame(along.x(), along.y(), down.x(), down.y(), origin.x(), origin.y());

    const double margin = tm.tmHeight;
    QRect box = frame.mapRect(QRectF(QPointF(-margin, -tm.tmAscent - margin), QPointF(length + margin, tm.tmDescent + margin)))
                    .toAlignedRect()
                    .intersected(clip.boundingRect());
    if (box.isEmpty()) return;

    if (S.bkMode == OPAQUE) {
        CoverageMask cell(box);
        cell.fillPath(framedRect(frame, 0, -tm.tmAscent, length, tm.tmDescent), Qt::WindingFill);
        paintMask(*t.surface, cell, clip, Paint::solid(background), std::nullopt, R2_COPYPEN);
    }

    QPainterPath glyphs;
    glyphs.setFillRule(Qt::WindingFill);
    for (size_t i = 0; i < Run.text.size(); ++i) {
        uint32_t glyph = font->GlyphIndex(uint8_t(Run.text[i]));
        if (glyph == 0) continue;
        QPainterPath outline = glyphOutline(font, glyph);
        if (outline.isEmpty()) continue;
        outline.translate(at[i], 0);
        glyphs.addPath(frame.map(outline));
    }
    CoverageMask ink(box);
    ink.fillCoverage(glyphs, glyphThreshold);

    const LOGFONTA& lf = S.font->logFont;
    if (lf.lfUnderline || lf.lfStrikeOut) {
        OUTLINETEXTMETRICA otm;
        bool outlines = font->OutlineTextMetrics(otm);
        if (lf.lfUnderline) {
            double top = outlines ? -otm.otmsUnderscorePosition : std::max(1, tm.tmDescent / 2);
            double thick = outlines ? std::max(1, otm.otmsUnderscoreSize) : 1;
            top = std::round(top);
            ink.fillPath(framedRect(frame, 0, top, length, top + thick), Qt::WindingFill);
        }
        if (lf.lfStrikeOut) {
            double top = std::round(outlines ? -otm.otmsStrikeoutPosition : -tm.tmAscent / 3.0);
            double thick = outlines ? std::max<double>(1, otm.otmsStrikeoutSize) : 1;
            ink.fillPath(framedRect(frame, 0, top, length, top + thick), Qt::WindingFill);
        }
    }
    paintMask(*t.surface, ink, clip, Paint::solid(ColorToRGB(S.textColor)), std::nullopt, R2_COPYPEN);
}
