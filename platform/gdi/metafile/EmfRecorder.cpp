//===- EmfRecorder.cpp - Drawing calls as enhanced metafile records --------===//
#include "platform/gdi/metafile/EmfRecorder_p.h"

#include "platform/gdi/bitmaps/Dib.h"
#include "platform/gdi/metafile/EmfRecords_p.h"
#include "platform/gdi/fonts/FontEngine.h"
#include "platform/gdi/Gdi.h"
#include "platform/gdi/dc/GdiObjects_p.h"
#include "platform/gdi/raster/PixelSurface_p.h"
#include "platform/gdi/raster/RasterBackend_p.h"
#include "platform/gdi/dc/TextPlacement_p.h"
#include "platform/rtl/AnsiString.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

using namespace gdi_private;
using Box = EmfRecorder::Box;

namespace {

// System colours are resolved when recorded: readers know nothing of this machine's table.
// Palette-index colours stay, as the format carries them.
COLORREF recordedColour(COLORREF C)
{
    if (C & 0x80000000u)
        return ColorToRGB(C);
    if ((C >> 24) == 1)
        return C;
    return C & 0xFFFFFF;
}

Box boxOf(double X0, double Y0, double X1, double Y1)
{
    return Box { int(std::floor(X0)), int(std::floor(Y0)), int(std::ceil(X1)) - 1, int(std::ceil(Y1)) - 1 };
}

Box pointsBox(const DcState& S, std::span<const POINT> Points)
{
    Box b;
    bool first = true;
    for (POINT p : Points) {
        QPoint d = S.device(p);
        if (first)
            b = Box { d.x(), d.y(), d.x(), d.y() };
        b.x0 = std::min(b.x0, d.x()), b.y0 = std::min(b.y0, d.y());
        b.x1 = std::max(b.x1, d.x()), b.y1 = std::max(b.y1, d.y());
        first = false;
    }
    return b;
}

Box widened(Box B, int By)
{
    if (B.empty() || By <= 0)
        return B;
    return Box { B.x0 - By, B.y0 - By, B.x1 + By, B.y1 + By };
}

// Lines reach half the width of a wide pen beyond their points.
int penReach(const DcState& S)
{
    gdi_private::PenSpec pen = gdi_private::penOf(S);
    return pen.visible && pen.wide() ? pen.width / 2 : 0;
}

// A box shape covers its device box without the right and bottom edges; a wide pen reaches
// out by half its width unless it is PS_INSIDEFRAME, and without a pen the fill stops one
// pixel short on the right and at the bottom.
Box shapeBox(const DcState& S, const RECT& R)
{
    QRect d = gdi_private::deviceRect(S, R);
    Box b { d.left(), d.top(), d.left() + d.width() - 1, d.top() + d.height() - 1 };
    gdi_private::PenSpec pen = gdi_private::penOf(S);
    if (!pen.visible) {
        b.x1 -= 1, b.y1 -= 1;
    } else if (pen.wide() && S.effectivePen().lopnStyle != PS_INSIDEFRAME) {
        b = widened(b, pen.width / 2);
    }
    return b;
}

// The device box of a text run: its cell along the baseline, turned by the escapement, placed
// by the alignment, as the raster backend places its glyphs.
Box textBox(const DcState& S, const TextRun& Run)
{
    const double sx = gdi_private::scaleX(S), sy = gdi_private::scaleY(S);
    auto font = S.font->realize(std::abs(sy - 1) < 1e-9 ? 1.0 : sy);
    const TEXTMETRICA& tm = font->TextMetrics();
    long long sum = 0;
    for (size_t i = 0; i < Run.text.size() && i < Run.dx.size(); ++i)
        sum += Run.dx[i];
    const double length = std::round(double(sum) * sx);
    const gdi_private::TextFrame frame = gdi_private::placeText(S, S.deviceF(Run.reference), length, tm);
    const QPointF along = frame.along, down = frame.down, origin = frame.origin;
    double x0 = 1e300, y0 = 1e300, x1 = -1e300, y1 = -1e300;
    for (double u : { 0.0, length })
        for (double v : { double(-tm.tmAscent), double(tm.tmDescent) }) {
            QPointF c = origin + along * u + down * v;
            x0 = std::min(x0, c.x()), y0 = std::min(y0, c.y()), x1 = std::max(x1, c.x()), y1 = std::max(y1, c.y());
        }
    constexpr double limit = double(1 << 26);
    auto cut = [&](double V) { return std::clamp(V, -limit, limit); };
    Box b = length > 0 ? boxOf(cut(x0), cut(y0), cut(x1), cut(y1)) : Box {};
    if (Run.options & (ETO_OPAQUE | ETO_CLIPPED)) {
        QRect r = gdi_private::deviceRect(S, Run.rect);
        Box rect { r.left(), r.top(), r.left() + r.width() - 1, r.top() + r.height() - 1 };
        if (Run.options & ETO_CLIPPED)
            b = Box { std::max(b.x0, rect.x0), std::max(b.y0, rect.y0), std::min(b.x1, rect.x1),
                      std::min(b.y1, rect.y1) };
        if ((Run.options & ETO_OPAQUE) && !rect.empty()) {
            if (b.empty())
                b = rect;
            else
                b = Box { std::min(b.x0, rect.x0), std::min(b.y0, rect.y0), std::max(b.x1, rect.x1),
                          std::max(b.y1, rect.y1) };
        }
    }
    return b;
}

// An extent as records carry it: 32 bits, even for rectangles spanning more.
int32_t extent(int32_t From, int32_t To)
{
    return int32_t(std::clamp<int64_t>(int64_t(To) - From, INT32_MIN, INT32_MAX));
}

RECT boundsRect(const Box& B) { return B.empty() ? RECT { 0, 0, -1, -1 } : RECT { B.x0, B.y0, B.x1, B.y1 }; }

bool fits16(std::span<const POINT> Points)
{
    return std::all_of(Points.begin(), Points.end(), [](POINT p) {
        return p.x >= INT16_MIN && p.x <= INT16_MAX && p.y >= INT16_MIN && p.y <= INT16_MAX;
    });
}

void writePoints(RecordWriter& W, std::span<const POINT> Points, bool Short)
{
    for (POINT p : Points) {
        if (Short)
            W.i16(int16_t(p.x)).i16(int16_t(p.y));
        else
            W.point(p);
    }
}

// The rectangle Area of Picture (rows from the top) as a bottom-up bitmap of the same depth
// and colour table: records carry just the pixels they draw, with the source at (0, 0).
Dib cropped(const Dib& Picture, const QRect& Area)
{
    if (Area == QRect(0, 0, Picture.Width(), Picture.Height()) && !Picture.TopDown())
        return Picture;
    Dib out(Area.width(), Area.height(), Picture.Bits());
    out.Palette() = Picture.Palette();
    for (int y = 0; y < Area.height(); ++y)
        for (int x = 0; x < Area.width(); ++x)
            out.SetIndex(x, y, Picture.GetIndex(Area.left() + x, Area.top() + y));
    return out;
}

// The pixels of a surface that is no bitmap (an image target) as a 32-bit picture.
Dib surfacePixels(const PixelSurface& Surface, const QRect& Area)
{
    Dib out(Area.width(), Area.height(), 32);
    std::vector<uint32_t> row(size_t(Area.width()));
    for (int y = 0; y < Area.height(); ++y) {
        Surface.read(Area.left(), Area.top() + y, Area.width(), row.data());
        for (int x = 0; x < Area.width(); ++x)
            out.SetPixel(x, y, colorOfWord(row[size_t(x)]));
    }
    return out;
}

// The common part of two rectangles. QRect's own intersection steps past INT_MIN and takes a
// source that starts there for one that reaches everywhere.
QRect overlap(const QRect& A, const QRect& B)
{
    const int64_t left = std::max(A.left(), B.left()), top = std::max(A.top(), B.top());
    const int64_t right = std::min(int64_t(A.left()) + A.width(), int64_t(B.left()) + B.width());
    const int64_t bottom = std::min(int64_t(A.top()) + A.height(), int64_t(B.top()) + B.height());
    if (right <= left || bottom <= top)
        return QRect();
    return QRect(int(left), int(top), int(right - left), int(bottom - top));
}

// Shrinks the source rectangle to the picture and the destination with it, in proportion.
bool clipSource(QRect& Source, RECT& Dest, const QRect& Picture)
{
    QRect inside = overlap(Source, Picture);
    if (inside.isEmpty())
        return false;
    if (inside != Source) {
        const double fx = (double(Dest.right) - Dest.left) / Source.width();
        const double fy = (double(Dest.bottom) - Dest.top) / Source.height();
        RECT d { Dest.left + int(std::lround((inside.left() - Source.left()) * fx)),
                 Dest.top + int(std::lround((inside.top() - Source.top()) * fy)), 0, 0 };
        d.right = d.left + int(std::lround(inside.width() * fx));
        d.bottom = d.top + int(std::lround(inside.height() * fy));
        Dest = d;
        Source = inside;
    }
    return true;
}

// Reversed source edges mirror the picture; the record says so with the destination's signs.
QRect normalizedSource(const RECT& Source, RECT& Dest)
{
    RECT s = Source;
    if (s.right < s.left)
        std::swap(s.left, s.right), std::swap(Dest.left, Dest.right);
    if (s.bottom < s.top)
        std::swap(s.top, s.bottom), std::swap(Dest.top, Dest.bottom);
    return QRect(s.left, s.top, extent(s.left, s.right), extent(s.top, s.bottom));
}

RecordWriter penRecord(uint32_t Index, const LOGPEN& P)
{
    RecordWriter w(EMR_CREATEPEN);
    w.u32(Index).u32(P.lopnStyle).i32(P.lopnWidth.x).i32(0).u32(recordedColour(P.lopnColor));
    return w;
}

RecordWriter extPenRecord(uint32_t Index, const EXTLOGPEN& P)
{
    RecordWriter w(EMR_EXTCREATEPEN);
    // No pattern bitmap: its offsets and sizes are 0, and there are no style entries.
    w.u32(Index).u32(0).u32(0).u32(0).u32(0);
    w.u32(P.elpPenStyle).u32(P.elpWidth).u32(P.elpBrushStyle).u32(recordedColour(P.elpColor));
    w.u32(uint32_t(P.elpHatch)).u32(0);
    return w;
}

RecordWriter brushRecord(uint32_t Index, const BrushObject& Brush)
{
    const LOGBRUSH& b = Brush.logBrush;
    if (b.lbStyle == BS_PATTERN && Brush.pattern) {
        // Monochrome patterns paint in the text and background colours, which the mono brush
        // record keeps; others carry their colours.
        const Dib& tile = *Brush.pattern;
        const std::vector<uint8_t> info = tile.PackedInfo();
        RecordWriter w(tile.Bits() == 1 ? EMR_CREATEMONOBRUSH : EMR_CREATEDIBPATTERNBRUSHPT);
        const uint32_t offBmi = 32, offBits = offBmi + uint32_t(info.size());
        w.u32(Index).u32(DIB_RGB_COLORS).u32(offBmi).u32(uint32_t(info.size())).u32(offBits);
        w.u32(uint32_t(tile.Bytes().size())).bytes(info).bytes(tile.Bytes());
        return w;
    }
    RecordWriter w(EMR_CREATEBRUSHINDIRECT);
    const UINT style = b.lbStyle == BS_PATTERN ? BS_NULL : b.lbStyle;
    w.u32(Index).u32(style).u32(recordedColour(b.lbColor)).u32(uint32_t(b.lbHatch));
    return w;
}

// The LOGFONTW without the longer forms' full name and style: readers take the record's size
// to tell which form it holds.
RecordWriter fontRecord(uint32_t Index, const LOGFONTA& F)
{
    RecordWriter w(EMR_EXTCREATEFONTINDIRECTW);
    w.u32(Index).i32(F.lfHeight).i32(F.lfWidth).i32(F.lfEscapement).i32(F.lfOrientation).i32(F.lfWeight);
    w.u8(F.lfItalic).u8(F.lfUnderline).u8(F.lfStrikeOut).u8(F.lfCharSet).u8(F.lfOutPrecision);
    w.u8(F.lfClipPrecision).u8(F.lfQuality).u8(F.lfPitchAndFamily);
    size_t n = 0;
    for (; n < size_t(LF_FACESIZE) && F.lfFaceName[n]; ++n)
        w.u16(uint16_t(AnsiCharToUnicode(static_cast<unsigned char>(F.lfFaceName[n]))));
    for (; n < size_t(LF_FACESIZE); ++n)
        w.u16(0);
    return w;
}

} // namespace

EmfRecorder::EmfRecorder(const DeviceCaps& Reference, std::optional<RECT> Frame)
    : caps_(Reference), frame_(Frame), slots_(1)
{
}

EmfRecorder::~EmfRecorder() = default;

void EmfRecorder::append(RecordWriter& Record)
{
    if (finished_)
        return;
    const auto& bytes = Record.bytes();
    records_.insert(records_.end(), bytes.begin(), bytes.end());
    ++count_;
}

void EmfRecorder::grow(const Box& B)
{
    if (finished_ || B.empty())
        return;
    if (bounds_.empty()) {
        bounds_ = B;
        return;
    }
    bounds_ = Box { std::min(bounds_.x0, B.x0), std::min(bounds_.y0, B.y0), std::max(bounds_.x1, B.x1),
                    std::max(bounds_.y1, B.y1) };
}

// ---- Objects

uint32_t EmfRecorder::lowestFreeIndex()
{
    for (uint32_t i = 1; i < slots_.size(); ++i)
        if (!slots_[i])
            return i;
    slots_.emplace_back();
    return uint32_t(slots_.size() - 1);
}

std::shared_ptr<const GdiObject> EmfRecorder::heldObject(const DcState& S, const GdiObject& O)
{
    if (&O == S.pen.get()) {
        if (O.stockIndex() == DC_PEN)
            return std::make_shared<PenObject>(S.effectivePen());
        return S.pen;
    }
    if (&O == S.brush.get()) {
        if (O.stockIndex() == DC_BRUSH)
            return std::make_shared<BrushObject>(S.effectiveBrush());
        return S.brush;
    }
    if (&O == S.font.get())
        return S.font;
    return nullptr;
}

uint32_t EmfRecorder::createObject(std::shared_ptr<const GdiObject> Object)
{
    const uint32_t index = lowestFreeIndex();
    switch (Object->type()) {
    case OBJ_PEN: {
        const PenObject& pen = static_cast<const PenObject&>(*Object);
        append(pen.extPen ? extPenRecord(index, *pen.extPen) : penRecord(index, pen.logPen));
        break;
    }
    case OBJ_BRUSH: append(brushRecord(index, static_cast<const BrushObject&>(*Object))); break;
    case OBJ_FONT: append(fontRecord(index, static_cast<const FontObject&>(*Object).logFont)); break;
    default: return 0;
    }
    slots_[index] = Object;
    indexOf_[Object.get()] = index;
    highest_ = std::max(highest_, index);
    return index;
}

void EmfRecorder::deleteIndex(uint32_t Index)
{
    if (Index == 0 || Index >= slots_.size() || !slots_[Index])
        return;
    RecordWriter w(EMR_DELETEOBJECT);
    w.u32(Index);
    append(w);
    indexOf_.erase(slots_[Index].get());
    if (dcPen_ == slots_[Index])
        dcPen_.reset();
    if (dcBrush_ == slots_[Index])
        dcBrush_.reset();
    slots_[Index].reset();
}

void EmfRecorder::selectIndex(uint32_t Index)
{
    RecordWriter w(EMR_SELECTOBJECT);
    w.u32(Index);
    append(w);
}

void EmfRecorder::objectSelected(const DcState& S, const GdiObject& O)
{
    if (finished_ || (O.type() != OBJ_PEN && O.type() != OBJ_BRUSH && O.type() != OBJ_FONT))
        return;
    // The stand-in of DC_PEN or DC_BRUSH goes when another pen or brush (or a new stand-in) comes.
    std::shared_ptr<const GdiObject> oldStandIn = O.type() == OBJ_PEN     ? dcPen_
                                                  : O.type() == OBJ_BRUSH ? dcBrush_
                                                                          : nullptr;
    const bool dcObject = O.stockIndex() == DC_PEN || O.stockIndex() == DC_BRUSH;
    if (O.isStock() && !dcObject) {
        selectIndex(ENHMETA_STOCK_OBJECT | uint32_t(O.stockIndex()));
    } else {
        std::shared_ptr<const GdiObject> held = heldObject(S, O);
        if (!held)
            return;
        auto known = indexOf_.find(held.get());
        uint32_t index = known != indexOf_.end() ? known->second : createObject(held);
        if (index == 0)
            return;
        selectIndex(index);
        if (dcObject)
            (O.type() == OBJ_PEN ? dcPen_ : dcBrush_) = held;
    }
    if (oldStandIn) {
        auto known = indexOf_.find(oldStandIn.get());
        if (known != indexOf_.end())
            deleteIndex(known->second);
    }
}

void EmfRecorder::objectDeleted(const GdiObject& O)
{
    auto known = indexOf_.find(&O);
    if (known != indexOf_.end())
        deleteIndex(known->second);
}

// ---- State

void EmfRecorder::attributeChanged(const DcState& S, DcAttribute A)
{
    auto one = [&](uint32_t Type, uint32_t Value) {
        RecordWriter w(Type);
        w.u32(Value);
        append(w);
    };
    auto pair = [&](uint32_t Type, int32_t X, int32_t Y) {
        RecordWriter w(Type);
        w.i32(X).i32(Y);
        append(w);
    };
    switch (A) {
    case DcAttribute::TextColor: return one(EMR_SETTEXTCOLOR, recordedColour(S.textColor));
    case DcAttribute::BkColor: return one(EMR_SETBKCOLOR, recordedColour(S.bkColor));
    case DcAttribute::BkMode: return one(EMR_SETBKMODE, uint32_t(S.bkMode));
    case DcAttribute::TextAlign: return one(EMR_SETTEXTALIGN, S.textAlign);
    case DcAttribute::Rop2: return one(EMR_SETROP2, uint32_t(S.rop2));
    case DcAttribute::PolyFillMode: return one(EMR_SETPOLYFILLMODE, uint32_t(S.polyFillMode));
    case DcAttribute::StretchBltMode: return one(EMR_SETSTRETCHBLTMODE, uint32_t(S.stretchBltMode));
    case DcAttribute::ArcDirection: return one(EMR_SETARCDIRECTION, uint32_t(S.arcDirection));
    case DcAttribute::MapMode: return one(EMR_SETMAPMODE, uint32_t(S.mapMode));
    case DcAttribute::WindowOrg: return pair(EMR_SETWINDOWORGEX, S.windowOrg.x, S.windowOrg.y);
    case DcAttribute::WindowExt: return pair(EMR_SETWINDOWEXTEX, S.windowExt.cx, S.windowExt.cy);
    case DcAttribute::ViewportOrg: return pair(EMR_SETVIEWPORTORGEX, S.viewportOrg.x, S.viewportOrg.y);
    case DcAttribute::ViewportExt: return pair(EMR_SETVIEWPORTEXTEX, S.viewportExt.cx, S.viewportExt.cy);
    // The format has no record for these colours: a new stand-in object carries them.
    case DcAttribute::DcPenColor:
        if (S.pen->stockIndex() == DC_PEN)
            objectSelected(S, *S.pen);
        return;
    case DcAttribute::DcBrushColor:
        if (S.brush->stockIndex() == DC_BRUSH)
            objectSelected(S, *S.brush);
        return;
    // Every metafile context transforms as in GM_ADVANCED on playback; the mode has no record.
    case DcAttribute::GraphicsMode: return;
    }
}

void EmfRecorder::worldTransformChanged(const DcState&, const XFORM& X, int Mode)
{
    RecordWriter w(Mode == 0 ? EMR_SETWORLDTRANSFORM : EMR_MODIFYWORLDTRANSFORM);
    w.xform(X);
    if (Mode != 0)
        w.u32(uint32_t(Mode));
    append(w);
}

void EmfRecorder::positionMoved(const DcState& S)
{
    RecordWriter w(EMR_MOVETOEX);
    w.point(S.position);
    append(w);
}

void EmfRecorder::saved(const DcState&)
{
    RecordWriter w(EMR_SAVEDC);
    append(w);
}

void EmfRecorder::restored(const DcState&, int Relative)
{
    RecordWriter w(EMR_RESTOREDC);
    w.i32(Relative);
    append(w);
}

void EmfRecorder::clipIntersected(const DcState&, const RECT& Logical)
{
    RecordWriter w(EMR_INTERSECTCLIPRECT);
    w.rect(Logical);
    append(w);
}

void EmfRecorder::clipExcluded(const DcState&, const RECT& Logical)
{
    RecordWriter w(EMR_EXCLUDECLIPRECT);
    w.rect(Logical);
    append(w);
}

void EmfRecorder::clipRegionSelected(const DcState&, const QRegion* Region, int Mode)
{
    RecordWriter w(EMR_EXTSELECTCLIPRGN);
    if (!Region) {
        w.u32(0).u32(RGN_COPY);
        append(w);
        return;
    }
    const int n = Region->rectCount();
    const RECT box = winRect(Region->boundingRect());
    w.u32(uint32_t(EmfLayout::RgnDataHeaderSize + 16 * size_t(n))).u32(uint32_t(Mode));
    w.u32(uint32_t(EmfLayout::RgnDataHeaderSize)).u32(1).u32(uint32_t(n)).u32(uint32_t(16 * n));
    w.rect(n ? box : RECT {});
    for (const QRect& r : *Region)
        w.rect(winRect(r));
    append(w);
}

// ---- Drawing

void EmfRecorder::lineTo(const DcState& S, POINT From, POINT To)
{
    RecordWriter w(EMR_LINETO);
    w.point(To);
    append(w);
    const POINT both[2] = { From, To };
    grow(widened(pointsBox(S, both), penReach(S)));
}

void EmfRecorder::pointsRecord(uint32_t Type16, uint32_t Type32, const DcState& S, std::span<const POINT> Points)
{
    const bool small = fits16(Points);
    Box b = widened(pointsBox(S, Points), penReach(S));
    RecordWriter w(small ? Type16 : Type32);
    w.rect(boundsRect(b)).u32(uint32_t(Points.size()));
    writePoints(w, Points, small);
    append(w);
    grow(b);
}

void EmfRecorder::polyline(const DcState& S, std::span<const POINT> Points)
{
    pointsRecord(EMR_POLYLINE16, EMR_POLYLINE, S, Points);
}

void EmfRecorder::polygon(const DcState& S, std::span<const POINT> Points)
{
    pointsRecord(EMR_POLYGON16, EMR_POLYGON, S, Points);
}

void EmfRecorder::polyPolygon(const DcState& S, std::span<const POINT> Points, std::span<const int> Counts)
{
    const bool small = fits16(Points);
    Box b = widened(pointsBox(S, Points), penReach(S));
    RecordWriter w(small ? EMR_POLYPOLYGON16 : EMR_POLYPOLYGON);
    w.rect(boundsRect(b)).u32(uint32_t(Counts.size())).u32(uint32_t(Points.size()));
    for (int c : Counts)
        w.u32(uint32_t(c));
    writePoints(w, Points, small);
    append(w);
    grow(b);
}

void EmfRecorder::boxShape(uint32_t Type, const DcState& S, const RECT& R, std::span<const int32_t> Extra)
{
    RecordWriter w(Type);
    w.rect(R);
    for (int32_t v : Extra)
        w.i32(v);
    append(w);
    grow(shapeBox(S, R));
}

void EmfRecorder::rectangle(const DcState& S, const RECT& R) { boxShape(EMR_RECTANGLE, S, R, {}); }

void EmfRecorder::ellipse(const DcState& S, const RECT& R) { boxShape(EMR_ELLIPSE, S, R, {}); }

void EmfRecorder::roundRect(const DcState& S, const RECT& R, SIZE Corner)
{
    const int32_t corner[2] = { Corner.cx, Corner.cy };
    boxShape(EMR_ROUNDRECT, S, R, corner);
}

void EmfRecorder::arc(const DcState& S, ArcKind Kind, const RECT& Rect, POINT Start, POINT End)
{
    const uint32_t type = Kind == ArcKind::Arc ? EMR_ARC : Kind == ArcKind::Chord ? EMR_CHORD : EMR_PIE;
    const int32_t radials[4] = { Start.x, Start.y, End.x, End.y };
    // The whole ellipse's box: a bound, if not the tightest one.
    boxShape(type, S, Rect, radials);
}

COLORREF EmfRecorder::setPixel(const DcState& S, POINT P, COLORREF Colour)
{
    RecordWriter w(EMR_SETPIXELV);
    w.point(P).u32(recordedColour(Colour));
    append(w);
    QPoint d = S.device(P);
    grow(Box { d.x(), d.y(), d.x(), d.y() });
    return ColorToRGB(Colour);
}

void EmfRecorder::textOut(const DcState& S, const TextRun& Run)
{
    const Box b = textBox(S, Run);
    const uint32_t n = uint32_t(Run.text.size());
    const uint32_t offDx = uint32_t(EXTTEXTOUT_STRING + (2 * size_t(n) + 3) / 4 * 4);
    // The scales say how page units relate to 0.01 mm; they mean something only in
    // GM_COMPATIBLE, and readers of GM_ADVANCED records expect zero.
    float exScale = 0, eyScale = 0;
    if (S.graphicsMode == GM_COMPATIBLE) {
        const double page = S.mapMode == MM_TEXT ? 1.0 : std::abs(double(S.viewportExt.cx) / S.windowExt.cx);
        const double pageY = S.mapMode == MM_TEXT ? 1.0 : std::abs(double(S.viewportExt.cy) / S.windowExt.cy);
        exScale = float(2540.0 / caps_.logPixelsX / page);
        eyScale = float(2540.0 / caps_.logPixelsY / pageY);
    }
    RecordWriter w(EMR_EXTTEXTOUTW);
    w.rect(boundsRect(b)).u32(uint32_t(S.graphicsMode)).f32(exScale).f32(eyScale);
    w.point(Run.reference).u32(n).u32(uint32_t(EXTTEXTOUT_STRING)).u32(Run.options);
    w.rect((Run.options & (ETO_OPAQUE | ETO_CLIPPED)) ? Run.rect : RECT { 0, 0, -1, -1 }).u32(offDx);
    for (char c : Run.text)
        w.u16(uint16_t(AnsiCharToUnicode(static_cast<unsigned char>(c))));
    w.pad4();
    for (uint32_t i = 0; i < n; ++i)
        w.i32(i < Run.dx.size() ? Run.dx[i] : 0);
    append(w);
    grow(b);
}

void EmfRecorder::patBlt(const DcState& S, const RECT& R, uint32_t Rop)
{
    QRect d = gdi_private::deviceRect(S, R);
    Box b { d.left(), d.top(), d.left() + d.width() - 1, d.top() + d.height() - 1 };
    RecordWriter w(EMR_BITBLT);
    w.rect(boundsRect(b)).i32(R.left).i32(R.top).i32(extent(R.left, R.right)).i32(extent(R.top, R.bottom)).u32(Rop);
    w.i32(0).i32(0).xform(XFORM {}).u32(0).u32(DIB_RGB_COLORS).u32(0).u32(0).u32(0).u32(0);
    append(w);
    grow(b);
}

void EmfRecorder::bitmapRecord(const DcState& S, const RECT& Dest, const Dib& Picture, uint32_t Rop)
{
    QRect d = gdi_private::deviceRect(S, Dest);
    Box b { d.left(), d.top(), d.left() + d.width() - 1, d.top() + d.height() - 1 };
    const std::vector<uint8_t> info = Picture.PackedInfo();
    const auto bits = Picture.Bytes();
    const uint32_t offBmi = uint32_t(STRETCHDIBITS_SIZE), offBits = offBmi + uint32_t(info.size());
    RecordWriter w(EMR_STRETCHDIBITS);
    w.rect(boundsRect(b)).i32(Dest.left).i32(Dest.top).i32(0).i32(0).i32(Picture.Width()).i32(Picture.Height());
    w.u32(offBmi).u32(uint32_t(info.size())).u32(offBits).u32(uint32_t(bits.size())).u32(DIB_RGB_COLORS).u32(Rop);
    w.i32(extent(Dest.left, Dest.right)).i32(extent(Dest.top, Dest.bottom)).bytes(info).bytes(bits);
    append(w);
    grow(b);
}

void EmfRecorder::stretchBlt(const DcState& S, const RECT& Dest, const BlitSource& Source, uint32_t Rop)
{
    if (finished_ || !Source.dc)
        return;
    const DcState& from = Source.dc->state();
    RECT dest = Dest;
    RECT logical = Source.rect;
    QRect area = normalizedSource(logical, dest);
    // The source rectangle in the source's device pixels.
    QRect device = gdi_private::deviceRect(from, RECT { area.left(), area.top(), area.right() + 1, area.bottom() + 1 });
    const Dib* bitmap = from.bitmap ? from.bitmap->picture() : nullptr;
    std::unique_ptr<PixelSurface> surface = bitmap ? nullptr : Source.dc->backend().surface(from);
    if (!bitmap && !surface)
        return; // a source without pixels (a metafile) gives nothing
    const QRect all = bitmap ? QRect(0, 0, bitmap->Width(), bitmap->Height()) : surface->rect();
    if (!clipSource(device, dest, all))
        return;
    Dib picture = bitmap ? cropped(*bitmap, device) : surfacePixels(*surface, device);
    if (picture.Bits() == 1) {
        // A monochrome source paints in the destination's text and background colours.
        auto quad = [](COLORREF C) {
            C = ColorToRGB(C);
            return RGBQUAD { GetBValue(C), GetGValue(C), GetRValue(C), 0 };
        };
        picture.Palette() = { quad(S.textColor), quad(S.bkColor) };
    }
    bitmapRecord(S, dest, picture, Rop);
}

void EmfRecorder::stretchDib(const DcState& S, const RECT& Dest, const Dib& Picture, const RECT& Source, uint32_t Rop)
{
    if (finished_)
        return;
    RECT dest = Dest;
    QRect area = normalizedSource(Source, dest);
    if (!clipSource(area, dest, QRect(0, 0, Picture.Width(), Picture.Height())))
        return;
    bitmapRecord(S, dest, cropped(Picture, area), Rop);
}

// ---- End

std::vector<uint8_t> EmfRecorder::finish()
{
    if (finished_)
        return {};
    for (uint32_t i = 1; i < slots_.size(); ++i)
        deleteIndex(i);
    RecordWriter eof(EMR_EOF);
    eof.u32(0).u32(16).u32(20); // no palette; nSizeLast repeats the record's size
    append(eof);
    finished_ = true;

    Header h {};
    h.iType = EMR_HEADER;
    h.nSize = sizeof(Header);
    const RECT bounds = boundsRect(bounds_);
    std::memcpy(h.rclBounds, &bounds, sizeof h.rclBounds);
    RECT frame { 0, 0, -1, -1 };
    if (frame_) {
        frame = *frame_;
    } else if (!bounds_.empty()) {
        auto mm100 = [](int Pixels, int Dpi) { return int32_t(std::lround(Pixels * 2540.0 / Dpi)); };
        frame = RECT { mm100(bounds_.x0, caps_.logPixelsX), mm100(bounds_.y0, caps_.logPixelsY),
                       mm100(bounds_.x1 + 1, caps_.logPixelsX), mm100(bounds_.y1 + 1, caps_.logPixelsY) };
    }
    std::memcpy(h.rclFrame, &frame, sizeof h.rclFrame);
    h.dSignature = ENHMETA_SIGNATURE;
    h.nVersion = VERSION;
    h.nBytes = uint32_t(sizeof(Header) + records_.size());
    h.nRecords = count_ + 1;
    h.nHandles = uint16_t(highest_ + 1);
    h.szlDevice = SizeL { caps_.horzRes, caps_.vertRes };
    h.szlMillimeters = SizeL { int32_t(std::lround(caps_.horzRes * 25.4 / caps_.logPixelsX)),
                               int32_t(std::lround(caps_.vertRes * 25.4 / caps_.logPixelsY)) };
    h.szlMicrometers = SizeL { int32_t(std::lround(caps_.horzRes * 25400.0 / caps_.logPixelsX)),
                               int32_t(std::lround(caps_.vertRes * 25400.0 / caps_.logPixelsY)) };

    std::vector<uint8_t> file(sizeof(Header));
    std::memcpy(file.data(), &h, sizeof h);
    file.insert(file.end(), records_.begin(), records_.end());
    records_.clear();
    slots_.assign(1, nullptr);
    indexOf_.clear();
    return file;
}
