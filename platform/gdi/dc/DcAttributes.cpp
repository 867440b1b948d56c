//===- DcAttributes.cpp - Attribute setters, map modes and transforms ------===//
#include "platform/gdi/Gdi.h"

#include "platform/gdi/dc/DcBackend_p.h"
#include "platform/gdi/dc/DeviceContext_p.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdlib>

namespace {

// Sets one attribute when the context exists and the value is acceptable; answers the previous
// value, or Failure.
template <class T, class Valid>
T setAttribute(HDC Dc, T DcState::*Field, T Value, DcAttribute What, T Failure, Valid IsValid)
{
    DeviceContext* dc = FindDeviceContext(Dc);
    if (!dc || !IsValid(Value))
        return Failure;
    DcState& s = dc->state();
    T previous = s.*Field;
    s.*Field = Value;
    dc->backend().attributeChanged(s, What);
    return previous;
}

template <class T>
T getAttribute(HDC Dc, T DcState::*Field, T Failure)
{
    DeviceContext* dc = FindDeviceContext(Dc);
    return dc ? dc->state().*Field : Failure;
}

constexpr auto anyValue = [](auto) { return true; };

// The window-to-viewport mapping of a metric mode at the context's resolution: logical units
// per inch against pixels per inch, y up.
bool metricExtents(int Mode, const DeviceCaps& Caps, SIZE& Window, SIZE& Viewport)
{
    int unitsPerInch;
    switch (Mode) {
    case MM_LOMETRIC: unitsPerInch = 254; break;
    case MM_HIMETRIC: unitsPerInch = 2540; break;
    case MM_LOENGLISH: unitsPerInch = 100; break;
    case MM_HIENGLISH: unitsPerInch = 1000; break;
    case MM_TWIPS: unitsPerInch = 1440; break;
    default: return false;
    }
    Window = SIZE { unitsPerInch, unitsPerInch };
    Viewport = SIZE { Caps.logPixelsX, -Caps.logPixelsY };
    return true;
}

// MM_ISOTROPIC keeps units square: the viewport extent of the axis with the larger scale
// shrinks to the other's scale, keeping its sign.
void makeIsotropic(DcState& S)
{
    double xScale = std::abs(double(S.viewportExt.cx) / S.windowExt.cx);
    double yScale = std::abs(double(S.viewportExt.cy) / S.windowExt.cy);
    // In double and below INT_MAX: an extent of INT_MIN has no positive int.
    auto shrunk = [](int Extent, double Scale) {
        return int(std::lround(std::min(std::abs(double(Extent)) * Scale, double(INT_MAX))));
    };
    if (xScale < yScale) {
        int cy = shrunk(S.windowExt.cy, xScale);
        S.viewportExt.cy = S.viewportExt.cy < 0 ? -cy : cy;
    } else if (yScale < xScale) {
        int cx = shrunk(S.windowExt.cx, yScale);
        S.viewportExt.cx = S.viewportExt.cx < 0 ? -cx : cx;
    }
}

bool freeExtents(int MapMode) { return MapMode == MM_ISOTROPIC || MapMode == MM_ANISOTROPIC; }

bool setOrigin(HDC Dc, POINT DcState::*Field, POINT Value, POINT* Previous, DcAttribute What)
{
    DeviceContext* dc = FindDeviceContext(Dc);
    if (!dc)
        return false;
    DcState& s = dc->state();
    if (Previous)
        *Previous = s.*Field;
    s.*Field = Value;
    dc->backend().attributeChanged(s, What);
    return true;
}

bool setExtent(HDC Dc, bool Window, int X, int Y, SIZE* Previous)
{
    DeviceContext* dc = FindDeviceContext(Dc);
    if (!dc)
        return false;
    DcState& s = dc->state();
    SIZE& field = Window ? s.windowExt : s.viewportExt;
    if (Previous)
        *Previous = field;
    // The fixed modes ignore new extents, and succeed.
    if (!freeExtents(s.mapMode))
        return true;
    if (X == 0 || Y == 0)
        return false;
    field = SIZE { X, Y };
    if (s.mapMode == MM_ISOTROPIC)
        makeIsotropic(s);
    dc->backend().attributeChanged(s, Window ? DcAttribute::WindowExt : DcAttribute::ViewportExt);
    return true;
}

// A product of two large transforms may leave float's range; such a transform maps nothing.
bool invertible(const XFORM& X)
{
    return std::isfinite(X.eM11) && std::isfinite(X.eM12) && std::isfinite(X.eM21) && std::isfinite(X.eM22)
           && std::isfinite(X.eDx) && std::isfinite(X.eDy)
           && std::abs(double(X.eM11) * X.eM22 - double(X.eM12) * X.eM21) > 1e-12;
}

} // namespace

// ---- Colours and modes

COLORREF SetTextColor(HDC Dc, COLORREF Colour)
{
    return setAttribute(Dc, &DcState::textColor, Colour, DcAttribute::TextColor, CLR_INVALID, anyValue);
}
COLORREF GetTextColor(HDC Dc) { return getAttribute(Dc, &DcState::textColor, CLR_INVALID); }

COLORREF SetBkColor(HDC Dc, COLORREF Colour)
{
    return setAttribute(Dc, &DcState::bkColor, Colour, DcAttribute::BkColor, CLR_INVALID, anyValue);
}
COLORREF GetBkColor(HDC Dc) { return getAttribute(Dc, &DcState::bkColor, CLR_INVALID); }

int SetBkMode(HDC Dc, int Mode)
{
    return setAttribute(Dc, &DcState::bkMode, Mode, DcAttribute::BkMode, 0,
                        [](int M) { return M == TRANSPARENT || M == OPAQUE; });
}
int GetBkMode(HDC Dc) { return getAttribute(Dc, &DcState::bkMode, 0); }

UINT SetTextAlign(HDC Dc, UINT Align)
{
    return setAttribute(Dc, &DcState::textAlign, Align, DcAttribute::TextAlign, UINT(GDI_ERROR),
                        [](UINT A) { return (A & ~UINT(TA_UPDATECP | TA_CENTER | TA_BASELINE)) == 0; });
}
UINT GetTextAlign(HDC Dc) { return getAttribute(Dc, &DcState::textAlign, UINT(GDI_ERROR)); }

int SetROP2(HDC Dc, int Mode)
{
    return setAttribute(Dc, &DcState::rop2, Mode, DcAttribute::Rop2, 0,
                        [](int M) { return M >= R2_BLACK && M <= R2_WHITE; });
}
int GetROP2(HDC Dc) { return getAttribute(Dc, &DcState::rop2, 0); }

int SetPolyFillMode(HDC Dc, int Mode)
{
    return setAttribute(Dc, &DcState::polyFillMode, Mode, DcAttribute::PolyFillMode, 0,
                        [](int M) { return M == ALTERNATE || M == WINDING; });
}
int GetPolyFillMode(HDC Dc) { return getAttribute(Dc, &DcState::polyFillMode, 0); }

int SetStretchBltMode(HDC Dc, int Mode)
{
    return setAttribute(Dc, &DcState::stretchBltMode, Mode, DcAttribute::StretchBltMode, 0,
                        [](int M) { return M >= BLACKONWHITE && M <= HALFTONE; });
}
int GetStretchBltMode(HDC Dc) { return getAttribute(Dc, &DcState::stretchBltMode, 0); }

int SetArcDirection(HDC Dc, int Direction)
{
    return setAttribute(Dc, &DcState::arcDirection, Direction, DcAttribute::ArcDirection, 0,
                        [](int D) { return D == AD_COUNTERCLOCKWISE || D == AD_CLOCKWISE; });
}
int GetArcDirection(HDC Dc) { return getAttribute(Dc, &DcState::arcDirection, 0); }

COLORREF SetDCPenColor(HDC Dc, COLORREF Colour)
{
    return setAttribute(Dc, &DcState::dcPenColor, Colour, DcAttribute::DcPenColor, CLR_INVALID, anyValue);
}
COLORREF SetDCBrushColor(HDC Dc, COLORREF Colour)
{
    return setAttribute(Dc, &DcState::dcBrushColor, Colour, DcAttribute::DcBrushColor, CLR_INVALID, anyValue);
}
COLORREF GetDCPenColor(HDC Dc) { return getAttribute(Dc, &DcState::dcPenColor, CLR_INVALID); }
COLORREF GetDCBrushColor(HDC Dc) { return getAttribute(Dc, &DcState::dcBrushColor, CLR_INVALID); }

// ---- Map modes, window and viewport

int SetMapMode(HDC Dc, int Mode)
{
    DeviceContext* dc = FindDeviceContext(Dc);
    if (!dc || Mode < MM_TEXT || Mode > MM_ANISOTROPIC)
        return 0;
    DcState& s = dc->state();
    int previous = s.mapMode;
    s.mapMode = Mode;
    if (Mode == MM_TEXT) {
        s.windowExt = s.viewportExt = SIZE { 1, 1 };
    } else if (!metricExtents(Mode, dc->caps(), s.windowExt, s.viewportExt)) {
        // A free mode starts from the mapping in force (MM_TEXT: one unit per pixel).
        if (Mode == MM_ISOTROPIC)
            makeIsotropic(s);
    }
    dc->backend().attributeChanged(s, DcAttribute::MapMode);
    return previous;
}

int GetMapMode(HDC Dc) { return getAttribute(Dc, &DcState::mapMode, 0); }

bool SetWindowOrgEx(HDC Dc, int X, int Y, POINT* Previous)
{
    return setOrigin(Dc, &DcState::windowOrg, POINT { X, Y }, Previous, DcAttribute::WindowOrg);
}
bool SetViewportOrgEx(HDC Dc, int X, int Y, POINT* Previous)
{
    return setOrigin(Dc, &DcState::viewportOrg, POINT { X, Y }, Previous, DcAttribute::ViewportOrg);
}
bool OffsetWindowOrgEx(HDC Dc, int X, int Y, POINT* Previous)
{
    DeviceContext* dc = FindDeviceContext(Dc);
    if (!dc)
        return false;
    POINT o = dc->state().windowOrg;
    return SetWindowOrgEx(Dc, o.x + X, o.y + Y, Previous);
}
bool OffsetViewportOrgEx(HDC Dc, int X, int Y, POINT* Previous)
{
    DeviceContext* dc = FindDeviceContext(Dc);
    if (!dc)
        return false;
    POINT o = dc->state().viewportOrg;
    return SetViewportOrgEx(Dc, o.x + X, o.y + Y, Previous);
}
bool SetWindowExtEx(HDC Dc, int X, int Y, SIZE* Previous) { return setExtent(Dc, true, X, Y, Previous); }
bool SetViewportExtEx(HDC Dc, int X, int Y, SIZE* Previous) { return setExtent(Dc, false, X, Y, Previous); }

bool GetWindowOrgEx(HDC Dc, POINT* Origin)
{
    DeviceContext* dc = FindDeviceContext(Dc);
    if (!dc || !Origin)
        return false;
    *Origin = dc->state().windowOrg;
    return true;
}
bool GetViewportOrgEx(HDC Dc, POINT* Origin)
{
    DeviceContext* dc = FindDeviceContext(Dc);
    if (!dc || !Origin)
        return false;
    *Origin = dc->state().viewportOrg;
    return true;
}
bool GetWindowExtEx(HDC Dc, SIZE* Extent)
{
    DeviceContext* dc = FindDeviceContext(Dc);
    if (!dc || !Extent)
        return false;
    *Extent = dc->state().windowExt;
    return true;
}
bool GetViewportExtEx(HDC Dc, SIZE* Extent)
{
    DeviceContext* dc = FindDeviceContext(Dc);
    if (!dc || !Extent)
        return false;
    *Extent = dc->state().viewportExt;
    return true;
}

// ---- Graphics mode and world transform

int SetGraphicsMode(HDC Dc, int Mode)
{
    DeviceContext* dc = FindDeviceContext(Dc);
    if (!dc || (Mode != GM_COMPATIBLE && Mode != GM_ADVANCED))
        return 0;
    DcState& s = dc->state();
    if (Mode == GM_COMPATIBLE && !qTransform(s.world).isIdentity())
        return 0;
    int previous = s.graphicsMode;
    s.graphicsMode = Mode;
    dc->backend().attributeChanged(s, DcAttribute::GraphicsMode);
    return previous;
}

int GetGraphicsMode(HDC Dc) { return getAttribute(Dc, &DcState::graphicsMode, 0); }

bool SetWorldTransform(HDC Dc, const XFORM& Xform)
{
    DeviceContext* dc = FindDeviceContext(Dc);
    if (!dc || dc->state().graphicsMode != GM_ADVANCED || !invertible(Xform))
        return false;
    dc->state().world = Xform;
    dc->backend().worldTransformChanged(dc->state(), Xform, 0);
    return true;
}

bool ModifyWorldTransform(HDC Dc, const XFORM* Xform, int Mode)
{
    DeviceContext* dc = FindDeviceContext(Dc);
    if (!dc || dc->state().graphicsMode != GM_ADVANCED)
        return false;
    DcState& s = dc->state();
    XFORM result;
    switch (Mode) {
    case MWT_IDENTITY: break;
    case MWT_LEFTMULTIPLY:
        if (!Xform)
            return false;
        result = xform(qTransform(*Xform) * qTransform(s.world));
        break;
    case MWT_RIGHTMULTIPLY:
        if (!Xform)
            return false;
        result = xform(qTransform(s.world) * qTransform(*Xform));
        break;
    case MWT_SET:
        if (!Xform)
            return false;
        result = *Xform;
        break;
    default: return false;
    }
    if (!invertible(result))
        return false;
    s.world = result;
    dc->backend().worldTransformChanged(s, Xform ? *Xform : XFORM {}, Mode);
    return true;
}

bool GetWorldTransform(HDC Dc, XFORM* Xform)
{
    DeviceContext* dc = FindDeviceContext(Dc);
    if (!dc || !Xform)
        return false;
    *Xform = dc->state().world;
    return true;
}

bool LPtoDP(HDC Dc, POINT* Points, int Count)
{
    DeviceContext* dc = FindDeviceContext(Dc);
    if (!dc || (Count > 0 && !Points) || Count < 0)
        return false;
    for (int i = 0; i < Count; ++i) {
        QPoint d = dc->state().device(Points[i]);
        Points[i] = POINT { d.x(), d.y() };
    }
    return true;
}

bool DPtoLP(HDC Dc, POINT* Points, int Count)
{
    DeviceContext* dc = FindDeviceContext(Dc);
    if (!dc || (Count > 0 && !Points) || Count < 0)
        return false;
    bool ok = false;
    QTransform back = dc->state().toDevice().inverted(&ok);
    if (!ok)
        return false;
    for (int i = 0; i < Count; ++i) {
        QPointF l = back.map(QPointF(Points[i].x, Points[i].y));
        Points[i] = POINT { int32_t(std::lround(l.x())), int32_t(std::lround(l.y())) };
    }
    return true;
}
