//===- DrawingCalls.cpp - Lines, shapes, rectangle fills and pixels --------===//
#include "platform/gdi/Gdi.h"

#include "platform/gdi/dc/DcBackend_p.h"
#include "platform/gdi/dc/DeviceContext_p.h"
#include "platform/gdi/bitmaps/Dib.h"
#include "platform/gdi/dc/GdiObjects_p.h"

#include <functional>
#include <vector>

namespace {

// Brush handles up to COLOR_MENUBAR + 1 name the system colour brushes, as the original
// accepts them in FillRect.
std::shared_ptr<BrushObject> brushFor(HBRUSH Brush)
{
    auto value = reinterpret_cast<uintptr_t>(Brush);
    if (value >= 1 && value <= uintptr_t(COLOR_MENUBAR) + 1)
        return std::make_shared<BrushObject>(LOGBRUSH { BS_SOLID, GetSysColor(int(value - 1)), 0 });
    return ObjectTable::instance().findAs<BrushObject>(Brush, OBJ_BRUSH);
}

// Runs Draw with Brush selected into the context and selects the previous brush again; a
// recording backend sees both selections, as it would for the calls written out.
void withBrush(DeviceContext& Dc, std::shared_ptr<BrushObject> Brush, const std::function<void()>& Draw)
{
    DcState& s = Dc.state();
    std::shared_ptr<BrushObject> previous = s.brush;
    bool change = previous != Brush;
    if (change) {
        s.brush = std::move(Brush);
        Dc.backend().objectSelected(s, *s.brush);
    }
    Draw();
    if (change) {
        s.brush = std::move(previous);
        Dc.backend().objectSelected(s, *s.brush);
    }
}

// The checker pattern of focus rectangles: every other pixel inverted.
std::shared_ptr<BrushObject> focusBrush()
{
    static std::shared_ptr<BrushObject> brush = [] {
        auto tile = std::make_shared<Dib>(8, 8, 32, true);
        for (int y = 0; y < 8; ++y)
            for (int x = 0; x < 8; ++x)
                tile->SetPixel(x, y, (x + y) % 2 == 0 ? 0xFFFFFF : 0);
        auto b = std::make_shared<BrushObject>(LOGBRUSH { BS_PATTERN, 0, 0 });
        b->pattern = tile;
        ObjectTable::instance().add(b);
        return b;
    }();
    return brush;
}

template <class Draw>
bool draw(HDC Dc, Draw&& D)
{
    DeviceContext* dc = FindDeviceContext(Dc);
    if (!dc)
        return false;
    D(*dc, dc->state(), dc->backend());
    return true;
}

bool validCount(const void* Points, int Count, int Minimum) { return Points && Count >= Minimum; }

} // namespace

bool MoveToEx(HDC Dc, int X, int Y, POINT* Previous)
{
    return draw(Dc, [&](DeviceContext&, DcState& s, DcBackend& b) {
        if (Previous)
            *Previous = s.position;
        s.position = POINT { X, Y };
        b.positionMoved(s);
    });
}

bool GetCurrentPositionEx(HDC Dc, POINT* Position)
{
    DeviceContext* dc = FindDeviceContext(Dc);
    if (!dc || !Position)
        return false;
    *Position = dc->state().position;
    return true;
}

bool LineTo(HDC Dc, int X, int Y)
{
    return draw(Dc, [&](DeviceContext&, DcState& s, DcBackend& b) {
        POINT from = s.position;
        s.position = POINT { X, Y };
        b.lineTo(s, from, POINT { X, Y });
    });
}

bool Polyline(HDC Dc, const POINT* Points, int Count)
{
    if (!validCount(Points, Count, 2))
        return false;
    return draw(Dc, [&](DeviceContext&, DcState& s, DcBackend& b) {
        b.polyline(s, std::span<const POINT>(Points, size_t(Count)));
    });
}

bool Polygon(HDC Dc, const POINT* Points, int Count)
{
    if (!validCount(Points, Count, 2))
        return false;
    return draw(Dc, [&](DeviceContext&, DcState& s, DcBackend& b) {
        b.polygon(s, std::span<const POINT>(Points, size_t(Count)));
    });
}

bool PolyPolygon(HDC Dc, const POINT* Points, const int* Counts, int Polygons)
{
    if (!Points || !Counts || Polygons < 1)
        return false;
    size_t total = 0;
    for (int i = 0; i < Polygons; ++i) {
        if (Counts[i] < 2)
            return false;
        total += size_t(Counts[i]);
    }
    return draw(Dc, [&](DeviceContext&, DcState& s, DcBackend& b) {
        b.polyPolygon(s, std::span<const POINT>(Points, total), std::span<const int>(Counts, size_t(Polygons)));
    });
}

bool Rectangle(HDC Dc, int Left, int Top, int Right, int Bottom)
{
    return draw(Dc, [&](DeviceContext&, DcState& s, DcBackend& b) {
        b.rectangle(s, RECT { Left, Top, Right, Bottom });
    });
}

bool Ellipse(HDC Dc, int Left, int Top, int Right, int Bottom)
{
    return draw(Dc, [&](DeviceContext&, DcState& s, DcBackend& b) { b.ellipse(s, RECT { Left, Top, Right, Bottom }); });
}

bool RoundRect(HDC Dc, int Left, int Top, int Right, int Bottom, int CornerWidth, int CornerHeight)
{
    return draw(Dc, [&](DeviceContext&, DcState& s, DcBackend& b) {
        b.roundRect(s, RECT { Left, Top, Right, Bottom }, SIZE { CornerWidth, CornerHeight });
    });
}

bool Arc(HDC Dc, int Left, int Top, int Right, int Bottom, int XStart, int YStart, int XEnd, int YEnd)
{
    return draw(Dc, [&](DeviceContext&, DcState& s, DcBackend& b) {
        b.arc(s, ArcKind::Arc, RECT { Left, Top, Right, Bottom }, POINT { XStart, YStart }, POINT { XEnd, YEnd });
    });
}

bool Pie(HDC Dc, int Left, int Top, int Right, int Bottom, int XStart, int YStart, int XEnd, int YEnd)
{
    return draw(Dc, [&](DeviceContext&, DcState& s, DcBackend& b) {
        b.arc(s, ArcKind::Pie, RECT { Left, Top, Right, Bottom }, POINT { XStart, YStart }, POINT { XEnd, YEnd });
    });
}

bool Chord(HDC Dc, int Left, int Top, int Right, int Bottom, int XStart, int YStart, int XEnd, int YEnd)
{
    return draw(Dc, [&](DeviceContext&, DcState& s, DcBackend& b) {
        b.arc(s, ArcKind::Chord, RECT { Left, Top, Right, Bottom }, POINT { XStart, YStart }, POINT { XEnd, YEnd });
    });
}

int FillRect(HDC Dc, const RECT& Rect, HBRUSH Brush)
{
    DeviceContext* dc = FindDeviceContext(Dc);
    auto brush = brushFor(Brush);
    if (!dc || !brush)
        return 0;
    withBrush(*dc, brush, [&] { dc->backend().patBlt(dc->state(), Rect, PATCOPY); });
    // A system colour brush lives for this call only; a recording backend may forget it now.
    if (!brush->handle())
        dc->backend().objectDeleted(*brush);
    return 1;
}

int FrameRect(HDC Dc, const RECT& Rect, HBRUSH Brush)
{
    DeviceContext* dc = FindDeviceContext(Dc);
    auto brush = brushFor(Brush);
    if (!dc || !brush)
        return 0;
    if (Rect.right <= Rect.left || Rect.bottom <= Rect.top)
        return 1;
    const RECT& r = Rect;
    withBrush(*dc, brush, [&] {
        DcBackend& b = dc->backend();
        const DcState& s = dc->state();
        b.patBlt(s, RECT { r.left, r.top, r.right, r.top + 1 }, PATCOPY);
        if (r.bottom - r.top > 1)
            b.patBlt(s, RECT { r.left, r.bottom - 1, r.right, r.bottom }, PATCOPY);
        if (r.bottom - r.top > 2) {
            b.patBlt(s, RECT { r.left, r.top + 1, r.left + 1, r.bottom - 1 }, PATCOPY);
            if (r.right - r.left > 1)
                b.patBlt(s, RECT { r.right - 1, r.top + 1, r.right, r.bottom - 1 }, PATCOPY);
        }
    });
    if (!brush->handle())
        dc->backend().objectDeleted(*brush);
    return 1;
}

bool DrawFocusRect(HDC Dc, const RECT& Rect)
{
    DeviceContext* dc = FindDeviceContext(Dc);
    if (!dc)
        return false;
    const RECT& r = Rect;
    if (r.right <= r.left || r.bottom <= r.top)
        return true;
    // Four edges that do not overlap, so each pixel is inverted once and a second call undoes it.
    withBrush(*dc, focusBrush(), [&] {
        DcBackend& b = dc->backend();
        const DcState& s = dc->state();
        b.patBlt(s, RECT { r.left, r.top, r.right, r.top + 1 }, PATINVERT);
        if (r.bottom - r.top > 1)
            b.patBlt(s, RECT { r.left, r.bottom - 1, r.right, r.bottom }, PATINVERT);
        if (r.bottom - r.top > 2) {
            b.patBlt(s, RECT { r.left, r.top + 1, r.left + 1, r.bottom - 1 }, PATINVERT);
            if (r.right - r.left > 1)
                b.patBlt(s, RECT { r.right - 1, r.top + 1, r.right, r.bottom - 1 }, PATINVERT);
        }
    });
    return true;
}

bool InvertRect(HDC Dc, const RECT& Rect)
{
    return draw(Dc, [&](DeviceContext&, DcState& s, DcBackend& b) { b.patBlt(s, Rect, DSTINVERT); });
}

COLORREF SetPixel(HDC Dc, int X, int Y, COLORREF Colour)
{
    DeviceContext* dc = FindDeviceContext(Dc);
    if (!dc)
        return CLR_INVALID;
    return dc->backend().setPixel(dc->state(), POINT { X, Y }, Colour);
}

COLORREF GetPixel(HDC Dc, int X, int Y)
{
    DeviceContext* dc = FindDeviceContext(Dc);
    if (!dc)
        return CLR_INVALID;
    return dc->backend().getPixel(dc->state(), POINT { X, Y });
}
