//===- RegionCalls.cpp - Rectangular and combined regions, clipping --------===//
#include "platform/gdi/Gdi.h"

#include "platform/gdi/dc/DcBackend_p.h"
#include "platform/gdi/dc/DeviceContext_p.h"
#include "platform/gdi/dc/GdiObjects_p.h"

#include <algorithm>

namespace {

std::shared_ptr<RegionObject> findRegion(HRGN Region)
{
    return ObjectTable::instance().findAs<RegionObject>(Region, OBJ_REGION);
}

QRect normalized(int Left, int Top, int Right, int Bottom)
{
    // Right and bottom are excluded; reversed edges describe the same rectangle.
    return qRect(RECT { std::min(Left, Right), std::min(Top, Bottom), std::max(Left, Right), std::max(Top, Bottom) });
}

QRegion combined(const QRegion& A, const QRegion& B, int Mode)
{
    switch (Mode) {
    case RGN_AND: return A.intersected(B);
    case RGN_OR: return A.united(B);
    case RGN_XOR: return A.xored(B);
    case RGN_DIFF: return A.subtracted(B);
    default: return A;
    }
}

// The device rectangle that a logical rectangle covers (its corners mapped, then ordered).
QRect deviceRect(const DcState& S, const RECT& R)
{
    QPoint a = S.device(POINT { R.left, R.top }), b = S.device(POINT { R.right, R.bottom });
    return normalized(a.x(), a.y(), b.x(), b.y());
}

} // namespace

HRGN CreateRectRgn(int Left, int Top, int Right, int Bottom)
{
    return ObjectTable::instance().add(std::make_shared<RegionObject>(QRegion(normalized(Left, Top, Right, Bottom))));
}

HRGN CreateRectRgnIndirect(const RECT& Rect) { return CreateRectRgn(Rect.left, Rect.top, Rect.right, Rect.bottom); }

int CombineRgn(HRGN Destination, HRGN Source1, HRGN Source2, int Mode)
{
    auto destination = findRegion(Destination);
    auto a = findRegion(Source1);
    if (!destination || !a || Mode < RGN_AND || Mode > RGN_COPY)
        return ERROR;
    if (Mode == RGN_COPY) {
        destination->region = a->region;
    } else {
        auto b = findRegion(Source2);
        if (!b)
            return ERROR;
        destination->region = combined(a->region, b->region, Mode);
    }
    return regionType(destination->region);
}

int GetRgnBox(HRGN Region, RECT* Box)
{
    auto region = findRegion(Region);
    if (!region || !Box)
        return ERROR;
    *Box = winRect(region->region.boundingRect());
    return regionType(region->region);
}

bool PtInRegion(HRGN Region, int X, int Y)
{
    auto region = findRegion(Region);
    return region && region->region.contains(QPoint(X, Y));
}

int OffsetRgn(HRGN Region, int X, int Y)
{
    auto region = findRegion(Region);
    if (!region)
        return ERROR;
    region->region.translate(X, Y);
    return regionType(region->region);
}

int SelectClipRgn(HDC Dc, HRGN Region) { return ExtSelectClipRgn(Dc, Region, RGN_COPY); }

int ExtSelectClipRgn(HDC Dc, HRGN Region, int Mode)
{
    DeviceContext* dc = FindDeviceContext(Dc);
    if (!dc || Mode < RGN_AND || Mode > RGN_COPY)
        return ERROR;
    DcState& s = dc->state();
    auto region = findRegion(Region);
    if (!region) {
        // Only RGN_COPY accepts no region: it removes the clip.
        if (Region || Mode != RGN_COPY)
            return ERROR;
        s.clip.reset();
        dc->backend().clipRegionSelected(s, nullptr, Mode);
        return SIMPLEREGION;
    }
    s.clip = Mode == RGN_COPY ? region->region : combined(dc->clipOrBounds(), region->region, Mode);
    dc->backend().clipRegionSelected(s, &region->region, Mode);
    return regionType(*s.clip);
}

int IntersectClipRect(HDC Dc, int Left, int Top, int Right, int Bottom)
{
    DeviceContext* dc = FindDeviceContext(Dc);
    if (!dc)
        return ERROR;
    DcState& s = dc->state();
    RECT logical { Left, Top, Right, Bottom };
    s.clip = dc->clipOrBounds().intersected(deviceRect(s, logical));
    dc->backend().clipIntersected(s, logical);
    return regionType(*s.clip);
}

int ExcludeClipRect(HDC Dc, int Left, int Top, int Right, int Bottom)
{
    DeviceContext* dc = FindDeviceContext(Dc);
    if (!dc)
        return ERROR;
    DcState& s = dc->state();
    RECT logical { Left, Top, Right, Bottom };
    s.clip = dc->clipOrBounds().subtracted(deviceRect(s, logical));
    dc->backend().clipExcluded(s, logical);
    return regionType(*s.clip);
}

int GetClipBox(HDC Dc, RECT* Box)
{
    DeviceContext* dc = FindDeviceContext(Dc);
    if (!dc || !Box)
        return ERROR;
    QRegion visible = dc->clipOrBounds();
    RECT device = winRect(visible.boundingRect());
    POINT corners[2] = { { device.left, device.top }, { device.right, device.bottom } };
    DPtoLP(Dc, corners, 2);
    *Box = RECT { std::min(corners[0].x, corners[1].x), std::min(corners[0].y, corners[1].y),
                  std::max(corners[0].x, corners[1].x), std::max(corners[0].y, corners[1].y) };
    return regionType(visible);
}

int GetClipRgn(HDC Dc, HRGN Region)
{
    DeviceContext* dc = FindDeviceContext(Dc);
    auto region = findRegion(Region);
    if (!dc || !region)
        return -1;
    if (!dc->state().clip)
        return 0;
    region->region = *dc->state().clip;
    return 1;
}
