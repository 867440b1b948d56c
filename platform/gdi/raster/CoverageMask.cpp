//===- CoverageMask.cpp - Masks, line stepping, paints and mix modes -------===//
#include "platform/gdi/raster/CoverageMask_p.h"

#include "platform/gdi/bitmaps/Dib.h"
#include "platform/gdi/raster/PixelSurface_p.h"

#include <QImage>
#include <QPainter>
#include <QPolygonF>

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace {

// Dash patterns of one-pixel pens in pixels, dash first.
constexpr uint8_t dashRuns[] = { 18, 6 };
constexpr uint8_t dotRuns[] = { 3, 3 };
constexpr uint8_t dashDotRuns[] = { 9, 6, 3, 6 };
constexpr uint8_t dashDotDotRuns[] = { 9, 3, 3, 3, 3, 3 };

// QPainter's rasterizer works in 16.16 fixed point; geometry far outside the mask is cut to a
// margin around it first so that clamped plot coordinates never overflow it.
constexpr double safeSpan = 30000;

QPainterPath withinReach(const QPainterPath& Path, const QRect& Box)
{
    QRectF bounds = Path.controlPointRect();
    QRectF reach = QRectF(Box).adjusted(-safeSpan / 2, -safeSpan / 2, safeSpan / 2, safeSpan / 2);
    if (reach.contains(bounds))
        return Path;
    QPainterPath cut;
    cut.addRect(QRectF(Box).adjusted(-4, -4, 4, 4));
    QPainterPath result = Path.intersected(cut);
    return result;
}

// The 8 x 8 hatch tiles, one bit per pixel of a row (bit 7 is the leftmost pixel).
bool hatchBit(int Hatch, int X, int Y)
{
    int x = X & 7, y = Y & 7;
    switch (Hatch) {
    case HS_HORIZONTAL: return y == 3;
    case HS_VERTICAL: return x == 3;
    case HS_FDIAGONAL: return x == y;
    case HS_BDIAGONAL: return x + y == 7;
    case HS_CROSS: return x == 3 || y == 3;
    case HS_DIAGCROSS: return x == y || x + y == 7;
    default: return false;
    }
}

int positiveMod(int V, int M)
{
    int r = V % M;
    return r < 0 ? r + M : r;
}

} // namespace

CoverageMask::CoverageMask(const QRect& Box) : box_(Box.isValid() ? Box : QRect())
{
    data_.assign(size_t(std::max(0, box_.width())) * size_t(std::max(0, box_.height())), None);
}

void CoverageMask::fillRect(const QRect& Rect, uint8_t Class)
{
    QRect r = Rect.intersected(box_);
    for (int y = r.top(); y <= r.bottom(); ++y)
        std::fill_n(data_.begin() + ptrdiff_t(size_t(y - box_.top()) * box_.width() + (r.left() - box_.left())),
                    r.width(), Class);
}

void CoverageMask::subtract(const CoverageMask& Other)
{
    if (Other.box_ != box_)
        return;
    for (size_t i = 0; i < data_.size(); ++i)
        if (Other.data_[i] != None)
            data_[i] = None;
}

void CoverageMask::fillPath(const QPainterPath& Path, Qt::FillRule Rule, uint8_t Class)
{
    if (isEmpty())
        return;
    // Our own scan conversion rather than QPainter's: pixel (x, y) is inside when the point
    // (x, y) is, edges at the left and top included and at the right and bottom not. So a
    // figure symmetric about a pixel boundary fills symmetrically, and a polygon through
    // (0, 0) and (10, 10) fills pixels 0..9 like the original's.
    struct Edge {
        double x0, y0, x1, y1;
        int winding;
    };
    std::vector<Edge> edges;
    for (const QPolygonF& polygon : Path.toSubpathPolygons()) {
        const qsizetype n = polygon.size();
        for (qsizetype i = 0; i < n; ++i) {
            QPointF a = polygon[i], b = polygon[(i + 1) % n];
            if (a.y() == b.y())
                continue;
            if (a.y() < b.y())
                edges.push_back(Edge { a.x(), a.y(), b.x(), b.y(), 1 });
            else
                edges.push_back(Edge { b.x(), b.y(), a.x(), a.y(), -1 });
        }
    }
    std::sort(edges.begin(), edges.end(), [](const Edge& A, const Edge& B) { return A.y0 < B.y0; });
    std::vector<std::pair<double, int>> crossings;
    std::vector<const Edge*> active;
    size_t next = 0;
    for (int y = box_.top(); y <= box_.bottom(); ++y) {
        while (next < edges.size() && edges[next].y0 <= y)
            active.push_back(&edges[next++]);
        std::erase_if(active, [y](const Edge* E) { return E->y1 <= y; });
        crossings.clear();
        for (const Edge* e : active) {
            if (e->y0 > y)
                continue;
            double x = e->x0 + (e->x1 - e->x0) * (y - e->y0) / (e->y1 - e->y0);
            crossings.emplace_back(x, e->winding);
        }
        std::sort(crossings.begin(), crossings.end());
        int winding = 0;
        for (size_t i = 0; i + 1 < crossings.size(); ++i) {
            winding += Rule == Qt::WindingFill ? crossings[i].second : 1;
            bool inside = Rule == Qt::WindingFill ? winding != 0 : (winding & 1);
            if (!inside)
                continue;
            double from = std::max(std::ceil(crossings[i].first), double(box_.left()));
            double to = std::min(std::ceil(crossings[i + 1].first) - 1, double(box_.right()));
            for (int x = int(from); x <= int(to); ++x)
                data_[size_t(y - box_.top()) * box_.width() + (x - box_.left())] = Class;
        }
    }
}

void CoverageMask::fillCoverage(const QPainterPath& Path, int Threshold, uint8_t Class)
{
    if (isEmpty())
        return;
    QImage image(box_.size(), QImage::Format_ARGB32_Premultiplied);
    image.fill(0);
    {
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing, true);
        painter.translate(-box_.left(), -box_.top());
        painter.fillPath(withinReach(Path, box_), Qt::black);
    }
    for (int y = 0; y < box_.height(); ++y) {
        const QRgb* row = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < box_.width(); ++x)
            if (qAlpha(row[x]) >= Threshold)
                data_[size_t(y) * box_.width() + x] = Class;
    }
}

LineStyle::LineStyle(UINT PenStyle, bool OpaqueGaps) : opaqueGaps_(OpaqueGaps)
{
    switch (PenStyle) {
    case PS_DASH: runs_ = dashRuns, runCount_ = 2; break;
    case PS_DOT: runs_ = dotRuns, runCount_ = 2; break;
    case PS_DASHDOT: runs_ = dashDotRuns, runCount_ = 4; break;
    case PS_DASHDOTDOT: runs_ = dashDotDotRuns, runCount_ = 6; break;
    default: break;
    }
    if (runs_)
        left_ = runs_[0];
}

void LineStyle::skip(int64_t Pixels)
{
    // Every dash pattern repeats after 24 pixels.
    if (!runs_)
        return;
    for (int64_t n = Pixels % 24; n > 0; --n)
        next();
}

uint8_t LineStyle::next()
{
    if (!runs_)
        return CoverageMask::Fore;
    uint8_t cls = (run_ % 2 == 0) ? CoverageMask::Fore : (opaqueGaps_ ? CoverageMask::Back : CoverageMask::None);
    if (--left_ == 0) {
        run_ = (run_ + 1) % runCount_;
        left_ = runs_[run_];
    }
    return cls;
}

namespace {

// Cuts a giant line to the part that lies within Reach (Liang-Barsky). Answers false when
// nothing is left; otherwise moves A and B there and gives the pixels cut off before and after.
bool cutToReach(QPoint& A, QPoint& B, const QRect& Reach, int64_t Length, int64_t& Before, int64_t& After)
{
    double t0 = 0, t1 = 1;
    const double px = A.x(), py = A.y(), ex = double(B.x()) - A.x(), ey = double(B.y()) - A.y();
    auto cut = [&](double P, double Q) {
        if (P == 0)
            return Q >= 0;
        double r = Q / P;
        if (P < 0)
            t0 = std::max(t0, r);
        else
            t1 = std::min(t1, r);
        return t0 <= t1;
    };
    if (!cut(-ex, px - Reach.left()) || !cut(ex, Reach.right() - px) || !cut(-ey, py - Reach.top())
        || !cut(ey, Reach.bottom() - py))
        return false;
    Before = int64_t(t0 * double(Length));
    QPoint from(int(std::lround(px + t0 * ex)), int(std::lround(py + t0 * ey)));
    QPoint to(int(std::lround(px + t1 * ex)), int(std::lround(py + t1 * ey)));
    A = from;
    if (t1 < 1)
        B = to;
    After = std::max<int64_t>(0, Length - Before - std::max(std::abs(B.x() - A.x()), std::abs(B.y() - A.y())));
    return true;
}

} // namespace

void plotLine(CoverageMask& Mask, QPoint A, QPoint B, LineStyle& Style)
{
    const QRect box = Mask.box();
    if (box.isEmpty())
        return;
    // Lines that pass the mask by are only counted for their dash pattern; one far longer than
    // the mask is first cut to the part near it, so that absurd coordinates cost no time.
    const int64_t length = std::max(std::llabs(int64_t(B.x()) - A.x()), std::llabs(int64_t(B.y()) - A.y()));
    const QRect reach = box.adjusted(-2, -2, 2, 2);
    if (std::max(A.x(), B.x()) < reach.left() || std::min(A.x(), B.x()) > reach.right()
        || std::max(A.y(), B.y()) < reach.top() || std::min(A.y(), B.y()) > reach.bottom()) {
        Style.skip(length);
        return;
    }
    int64_t before = 0, after = 0;
    if (length > (int64_t(1) << 16)) {
        if (!cutToReach(A, B, reach, length, before, after)) {
            Style.skip(length);
            return;
        }
        Style.skip(before);
    }
    // Classic integer stepping along the major axis; the last pixel is left out so that joined
    // segments touch each pixel once.
    int x = A.x(), y = A.y();
    const int dx = std::abs(B.x() - x), dy = std::abs(B.y() - y);
    const int sx = B.x() > x ? 1 : -1, sy = B.y() > y ? 1 : -1;
    if (dx >= dy) {
        int64_t error = 2 * int64_t(dy) - dx;
        for (int i = 0; i < dx; ++i) {
            uint8_t cls = Style.next();
            if (cls && box.contains(x, y))
                Mask.set(x, y, cls);
            if (error > 0 || (error == 0 && sx < 0)) {
                y += sy;
                error -= 2 * int64_t(dx);
            }
            error += 2 * int64_t(dy);
            x += sx;
        }
    } else {
        int64_t error = 2 * int64_t(dx) - dy;
        for (int i = 0; i < dy; ++i) {
            uint8_t cls = Style.next();
            if (cls && box.contains(x, y))
                Mask.set(x, y, cls);
            if (error > 0 || (error == 0 && sy < 0)) {
                x += sx;
                error -= 2 * int64_t(dy);
            }
            error += 2 * int64_t(dx);
            y += sy;
        }
    }
    Style.skip(after);
}

Paint Paint::solid(COLORREF Colour)
{
    Paint p;
    p.fore_ = pixelWord(Colour);
    return p;
}

Paint Paint::hatch(int Hatch, COLORREF Colour, std::optional<COLORREF> Background)
{
    Paint p;
    p.kind_ = Kind::Hatch;
    p.hatch_ = Hatch;
    p.fore_ = pixelWord(Colour);
    p.hasBack_ = Background.has_value();
    p.back_ = pixelWord(Background.value_or(0));
    return p;
}

Paint Paint::pattern(std::shared_ptr<const Dib> Tile, COLORREF Zero, COLORREF One)
{
    Paint p;
    if (!Tile)
        return solid(One);
    p.kind_ = Kind::Pattern;
    p.tile_ = std::move(Tile);
    p.fore_ = pixelWord(Zero);
    p.back_ = pixelWord(One);
    return p;
}

bool Paint::at(int X, int Y, uint32_t& Word) const
{
    switch (kind_) {
    case Kind::Solid: Word = fore_; return true;
    case Kind::Hatch:
        if (hatchBit(hatch_, X, Y)) {
            Word = fore_;
            return true;
        }
        Word = back_;
        return hasBack_;
    case Kind::Pattern: {
        int x = positiveMod(X, tile_->Width()), y = positiveMod(Y, tile_->Height());
        if (tile_->Bits() == 1)
            Word = tile_->GetIndex(x, y) ? back_ : fore_;
        else
            Word = pixelWord(tile_->GetPixel(x, y));
        return true;
    }
    }
    return false;
}

uint32_t mixRop2(int Rop2, uint32_t P, uint32_t D)
{
    // The mode minus one is a truth table over (pen, destination) bits: bit 3 for 1/1, bit 2
    // for 1/0, bit 1 for 0/1, bit 0 for 0/0.
    unsigned t = unsigned(Rop2 - 1) & 0xF;
    uint32_t r = 0;
    if (t & 8)
        r |= P & D;
    if (t & 4)
        r |= P & ~D;
    if (t & 2)
        r |= ~P & D;
    if (t & 1)
        r |= ~P & ~D;
    return r & 0xFFFFFF;
}

uint32_t mixRop3(uint32_t Rop, uint32_t P, uint32_t S, uint32_t D)
{
    // The code's third byte is the truth table over (pattern, source, destination) bits, the
    // bit index being 4 P + 2 S + D.
    unsigned t = (Rop >> 16) & 0xFF;
    if (t == 0xCC)
        return S & 0xFFFFFF; // SRCCOPY, by far the most frequent
    uint32_t r = 0;
    for (int i = 0; i < 8; ++i) {
        if (!(t & (1u << i)))
            continue;
        uint32_t term = (i & 4 ? P : ~P) & (i & 2 ? S : ~S) & (i & 1 ? D : ~D);
        r |= term;
    }
    return r & 0xFFFFFF;
}

bool ropUsesSource(uint32_t Rop)
{
    unsigned t = (Rop >> 16) & 0xFF;
    return ((t >> 2) & 0x33) != (t & 0x33);
}

bool ropUsesPattern(uint32_t Rop)
{
    unsigned t = (Rop >> 16) & 0xFF;
    return ((t >> 4) & 0x0F) != (t & 0x0F);
}

void paintMask(PixelSurface& Surface, const CoverageMask& Mask, const QRegion& Clip, const Paint& Fore,
               std::optional<COLORREF> Back, int Rop2)
{
    if (Mask.isEmpty() || Rop2 == R2_NOP)
        return;
    const uint32_t backWord = pixelWord(Back.value_or(0));
    std::vector<uint32_t> row;
    for (const QRect& clipRect : Clip.intersected(Mask.box()).intersected(Surface.rect())) {
        row.resize(size_t(clipRect.width()));
        for (int y = clipRect.top(); y <= clipRect.bottom(); ++y) {
            bool touched = false;
            Surface.read(clipRect.left(), y, clipRect.width(), row.data());
            for (int x = clipRect.left(); x <= clipRect.right(); ++x) {
                uint8_t cls = Mask.at(x, y);
                uint32_t word;
                if (cls == CoverageMask::Fore) {
                    if (!Fore.at(x, y, word))
                        continue;
                } else if (cls == CoverageMask::Back && Back) {
                    word = backWord;
                } else {
                    continue;
                }
                uint32_t& d = row[size_t(x - clipRect.left())];
                d = Rop2 == R2_COPYPEN ? word : mixRop2(Rop2, word, d);
                touched = true;
            }
            if (touched)
                Surface.write(clipRect.left(), y, clipRect.width(), row.data());
        }
    }
}
