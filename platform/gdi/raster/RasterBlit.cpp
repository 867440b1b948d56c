//===- RasterBlit.cpp - Raster operations with pattern, source and destination -===//
#include "platform/gdi/raster/RasterBackend_p.h"

#include "platform/gdi/dc/DeviceContext_p.h"
#include "platform/gdi/bitmaps/Dib.h"
#include "platform/gdi/Gdi.h"
#include "platform/gdi/raster/PixelSurface_p.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdint>
#include <functional>

namespace {

uint32_t monoWord(uint32_t Word)
{
    return ((Word >> 16) & 0xFF) + ((Word >> 8) & 0xFF) + (Word & 0xFF) >= 383 ? 0xFFFFFF : 0;
}

// A run along one axis: where it starts on the device, how long it is, and whether it runs
// backwards (a negative width in logical or device terms). 64 bits: a run between two ints may
// be longer than an int, and damaged metafiles give such runs.
struct Run {
    int64_t start = 0, length = 0;
    bool reversed = false;
};

// A device coordinate, clamped to the int range (no surface is larger) before it is narrowed.
int64_t deviceCoordinate(double V)
{
    if (std::isnan(V))
        return 0;
    return int64_t(std::lround(std::clamp(V, double(INT32_MIN), double(INT32_MAX))));
}

Run runOf(double A, double B)
{
    int64_t a = deviceCoordinate(A), b = deviceCoordinate(B);
    return Run { std::min(a, b), b < a ? a - b : b - a, b < a };
}

// The part of the runs' rectangle inside Bounds, found before any int rectangle is made.
QRect within(const Run& X, const Run& Y, const QRect& Bounds)
{
    const int64_t left = std::max<int64_t>(X.start, Bounds.left());
    const int64_t right = std::min<int64_t>(X.start + X.length, int64_t(Bounds.right()) + 1);
    const int64_t top = std::max<int64_t>(Y.start, Bounds.top());
    const int64_t bottom = std::min<int64_t>(Y.start + Y.length, int64_t(Bounds.bottom()) + 1);
    if (right <= left || bottom <= top)
        return QRect();
    return QRect(int(left), int(top), int(right - left), int(bottom - top));
}

// The source pixels of a blit, already in the terms the raster operation mixes: monochrome
// sources as the destination's text and background colours, colour sources bound for a
// monochrome destination as 1 where they match the source's background colour.
struct SourcePixels {
    QRect rect;                  // the source pixels that exist
    std::vector<uint32_t> words; // rect's pixels, row by row
    uint32_t at(int X, int Y) const { return words[size_t(Y - rect.top()) * rect.width() + (X - rect.left())]; }
};

// Destination pixel D of a run of N takes source pixel floor((D + 0.5) * M / N) of the source
// run of M, counted from its far end when exactly one of the two runs is reversed.
// Both lengths may come near 2^32, so the product takes 128 bits.
int64_t sourceIndex(int64_t D, const Run& Dest, const Run& Source)
{
    const auto index = int64_t((__int128(2) * D + 1) * Source.length / (__int128(2) * Dest.length));
    return Dest.reversed != Source.reversed ? Source.length - 1 - index : index;
}

void applyRop(RasterBackend::Target& T, const DcState& S, Run X, Run Y, const SourcePixels* Source, Run SX, Run SY,
              uint32_t Rop)
{
    const bool mono = T.surface->mono();
    const bool usesPattern = ropUsesPattern(Rop);
    std::optional<Paint> brush = usesPattern ? gdi_private::brushOf(S) : std::nullopt;
    if (usesPattern && !brush)
        return; // the null brush has no pattern to mix
    const QRect dest = within(X, Y, T.clip.boundingRect());
    if (dest.isEmpty())
        return;
    std::vector<uint32_t> row;
    for (const QRect& r : T.clip.intersected(dest)) {
        row.resize(size_t(r.width()));
        for (int y = r.top(); y <= r.bottom(); ++y) {
            int64_t sy = 0;
            if (Source) {
                sy = SY.start + sourceIndex(y - Y.start, Y, SY);
                if (sy < Source->rect.top() || sy > Source->rect.bottom())
                    continue;
            }
            T.surface->read(r.left(), y, r.width(), row.data());
            for (int x = r.left(); x <= r.right(); ++x) {
                uint32_t p = 0, s = 0;
                if (Source) {
                    int64_t sx = SX.start + sourceIndex(x - X.start, X, SX);
                    if (sx < Source->rect.left() || sx > Source->rect.right())
                        continue;
                    s = Source->at(int(sx), int(sy));
                }
                if (brush) {
                    brush->at(x, y, p);
                    if (mono)
                        p = monoWord(p);
                }
                uint32_t& d = row[size_t(x - r.left())];
                d = mixRop3(Rop, p, s, d);
            }
            T.surface->write(r.left(), y, r.width(), row.data());
        }
    }
}

// Reads the existing part of the runs' source rectangle through ReadRow.
SourcePixels readSource(const Run& X, const Run& Y, const QRect& Available,
                        const std::function<void(int, int, int, uint32_t*)>& ReadRow)
{
    SourcePixels source;
    source.rect = within(X, Y, Available);
    if (source.rect.isEmpty())
        return source;
    source.words.resize(size_t(source.rect.width()) * source.rect.height());
    for (int y = source.rect.top(); y <= source.rect.bottom(); ++y)
        ReadRow(source.rect.left(), y, source.rect.width(),
                source.words.data() + size_t(y - source.rect.top()) * source.rect.width());
    return source;
}

} // namespace

void RasterBackend::patBlt(const DcState& S, const RECT& R, uint32_t Rop)
{
    Target t = target(S);
    if (!t)
        return;
    QPointF a = S.deviceF(POINT { R.left, R.top }), b = S.deviceF(POINT { R.right, R.bottom });
    Run x = runOf(a.x(), b.x()), y = runOf(a.y(), b.y());
    if (x.length == 0 || y.length == 0)
        return;
    applyRop(t, S, x, y, nullptr, Run {}, Run {}, Rop);
}

void RasterBackend::stretchBlt(const DcState& S, const RECT& Dest, const BlitSource& Source, uint32_t Rop)
{
    if (!ropUsesSource(Rop))
        return patBlt(S, Dest, Rop);
    Target t = target(S);
    if (!t || !Source.dc)
        return;
    const DcState& ss = Source.dc->state();
    std::unique_ptr<PixelSurface> from = Source.dc->backend().surface(ss);
    if (!from)
        return;

    QPointF a = S.deviceF(POINT { Dest.left, Dest.top }), b = S.deviceF(POINT { Dest.right, Dest.bottom });
    QPointF sa = ss.deviceF(POINT { Source.rect.left, Source.rect.top });
    QPointF sb = ss.deviceF(POINT { Source.rect.right, Source.rect.bottom });
    Run x = runOf(a.x(), b.x()), y = runOf(a.y(), b.y()), sx = runOf(sa.x(), sb.x()), sy = runOf(sa.y(), sb.y());
    if (x.length == 0 || y.length == 0 || sx.length == 0 || sy.length == 0)
        return;

    const bool monoSource = from->mono(), monoDest = t.surface->mono();
    const uint32_t text = pixelWord(ColorToRGB(S.textColor)), back = pixelWord(ColorToRGB(S.bkColor));
    const uint32_t sourceBack = pixelWord(ColorToRGB(ss.bkColor));
    // Read first, so that a blit within one picture sees the pixels as they were.
    SourcePixels pixels = readSource(sx, sy, from->rect(), [&](int X, int Y, int Count, uint32_t* Words) {
        from->read(X, Y, Count, Words);
        for (int i = 0; i < Count; ++i) {
            if (monoSource && !monoDest)
                Words[i] = Words[i] ? back : text;
            else if (!monoSource && monoDest)
                Words[i] = Words[i] == sourceBack ? 0xFFFFFF : 0;
        }
    });
    if (pixels.rect.isEmpty())
        return;
    applyRop(t, S, x, y, &pixels, sx, sy, Rop);
}

void RasterBackend::stretchDib(const DcState& S, const RECT& Dest, const Dib& Picture, const RECT& Source, uint32_t Rop)
{
    if (!ropUsesSource(Rop))
        return patBlt(S, Dest, Rop);
    Target t = target(S);
    if (!t)
        return;
    QPointF a = S.deviceF(POINT { Dest.left, Dest.top }), b = S.deviceF(POINT { Dest.right, Dest.bottom });
    Run x = runOf(a.x(), b.x()), y = runOf(a.y(), b.y());
    Run sx = runOf(Source.left, Source.right), sy = runOf(Source.top, Source.bottom);
    if (x.length == 0 || y.length == 0 || sx.length == 0 || sy.length == 0)
        return;
    const bool monoDest = t.surface->mono();
    // A picture shows its own colours (through its colour table), whatever its depth.
    SourcePixels pixels = readSource(sx, sy, QRect(0, 0, Picture.Width(), Picture.Height()),
                                     [&](int X, int Y, int Count, uint32_t* Words) {
                                         for (int i = 0; i < Count; ++i) {
                                             uint32_t word = pixelWord(Picture.GetPixel(X + i, Y));
                                             Words[i] = monoDest ? monoWord(word) : word;
                                         }
                                     });
    if (pixels.rect.isEmpty())
        return;
    applyRop(t, S, x, y, &pixels, sx, sy, Rop);
}
