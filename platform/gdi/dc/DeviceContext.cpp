//===- DeviceContext.cpp - Device contexts: creation, state, save stack ----===//
#include "platform/gdi/dc/DeviceContext_p.h"

#include "platform/gdi/dc/DcBackend_p.h"
#include "platform/gdi/bitmaps/Dib.h"
#include "platform/gdi/Gdi.h"
#include "platform/gdi/raster/PixelSurface_p.h"
#include "platform/gdi/raster/RasterBackend_p.h"

#include <algorithm>
#include <cmath>
#include <mutex>
#include <unordered_map>

namespace {

class DcTableImpl {
public:
    std::mutex mutex;
    std::unordered_map<uintptr_t, std::unique_ptr<DeviceContext>> contexts;
    uintptr_t next = 0x1002; // objects use multiples of 4, so a handle names one kind only
};

DcTableImpl& table()
{
    static DcTableImpl* t = new DcTableImpl; // never destroyed, like the object table
    return *t;
}

} // namespace

// ---- DcState

QTransform DcState::toDevice() const
{
    double sx = 1, sy = 1;
    if (mapMode != MM_TEXT) {
        sx = double(viewportExt.cx) / windowExt.cx;
        sy = double(viewportExt.cy) / windowExt.cy;
    }
    QTransform page(sx, 0, 0, sy, viewportOrg.x - windowOrg.x * sx, viewportOrg.y - windowOrg.y * sy);
    if (graphicsMode == GM_ADVANCED)
        return qTransform(world) * page;
    return page;
}

QPoint DcState::device(POINT P) const
{
    // Pixels beyond 2^26 exist on no device; the bound keeps arithmetic on them in range.
    constexpr double limit = double(1 << 26);
    QPointF d = deviceF(P);
    return QPoint(int(std::lround(std::clamp(d.x(), -limit, limit))),
                  int(std::lround(std::clamp(d.y(), -limit, limit))));
}

LOGPEN DcState::effectivePen() const
{
    LOGPEN p = pen->logPen;
    if (pen->stockIndex() == DC_PEN)
        p.lopnColor = dcPenColor;
    return p;
}

LOGBRUSH DcState::effectiveBrush() const
{
    LOGBRUSH b = brush->logBrush;
    if (brush->stockIndex() == DC_BRUSH)
        b.lbColor = dcBrushColor;
    return b;
}

QTransform qTransform(const XFORM& X) { return QTransform(X.eM11, X.eM12, X.eM21, X.eM22, X.eDx, X.eDy); }

XFORM xform(const QTransform& T)
{
    return XFORM { float(T.m11()), float(T.m12()), float(T.m21()), float(T.m22()), float(T.dx()), float(T.dy()) };
}

// ---- DeviceContext

DeviceContext::DeviceContext(Kind K, std::unique_ptr<DcBackend> Backend, const DeviceCaps& Caps)
    : kind_(K), caps_(Caps), backend_(std::move(Backend))
{
    auto& objects = ObjectTable::instance();
    state_.pen = std::static_pointer_cast<PenObject>(objects.stock(BLACK_PEN));
    state_.brush = std::static_pointer_cast<BrushObject>(objects.stock(WHITE_BRUSH));
    state_.font = std::static_pointer_cast<FontObject>(objects.stock(SYSTEM_FONT));
    if (K == Kind::Memory)
        state_.bitmap = objects.stockBitmap();
}

DeviceContext::~DeviceContext()
{
    if (state_.bitmap && state_.bitmap->selectedBy == this)
        state_.bitmap->selectedBy = nullptr;
}

int DeviceContext::save()
{
    saved_.push_back(state_);
    backend_->saved(state_);
    return int(saved_.size());
}

bool DeviceContext::restore(int Level)
{
    const int depth = int(saved_.size());
    // Level k > 0 names the state SaveDC answered k for; -n pops n levels.
    int target = Level > 0 ? Level : depth + Level + 1;
    if (Level == 0 || target < 1 || target > depth)
        return false;
    std::shared_ptr<BitmapObject> before = state_.bitmap;
    state_ = std::move(saved_[size_t(target - 1)]);
    saved_.resize(size_t(target - 1));
    if (before != state_.bitmap) {
        if (before && before->selectedBy == this)
            before->selectedBy = nullptr;
        if (state_.bitmap && !state_.bitmap->isStock())
            state_.bitmap->selectedBy = this;
    }
    backend_->restored(state_, target - 1 - depth);
    return true;
}

QRect DeviceContext::deviceBounds() const
{
    if (auto surface = backend_->surface(state_))
        return surface->rect();
    return QRect(0, 0, caps_.horzRes, caps_.vertRes);
}

QRegion DeviceContext::clipOrBounds() const { return state_.clip ? *state_.clip : QRegion(deviceBounds()); }

HDC CreateDeviceContext(DeviceContext::Kind Kind, std::unique_ptr<DcBackend> Backend, const DeviceCaps& Caps)
{
    auto dc = std::make_unique<DeviceContext>(Kind, std::move(Backend), Caps);
    auto& t = table();
    std::lock_guard lock(t.mutex);
    uintptr_t id = t.next;
    t.next += 4;
    dc->handle_ = reinterpret_cast<HDC>(id);
    t.contexts.emplace(id, std::move(dc));
    return reinterpret_cast<HDC>(id);
}

DeviceContext* FindDeviceContext(HDC Dc)
{
    auto& t = table();
    std::lock_guard lock(t.mutex);
    auto it = t.contexts.find(reinterpret_cast<uintptr_t>(Dc));
    return it == t.contexts.end() ? nullptr : it->second.get();
}

std::vector<DeviceContext*> AllDeviceContexts()
{
    auto& t = table();
    std::lock_guard lock(t.mutex);
    std::vector<DeviceContext*> all;
    all.reserve(t.contexts.size());
    for (auto& [id, dc] : t.contexts)
        all.push_back(dc.get());
    return all;
}

namespace {

bool destroyContext(HDC Dc)
{
    std::unique_ptr<DeviceContext> gone; // destroyed after the lock is let go
    auto& t = table();
    std::lock_guard lock(t.mutex);
    auto it = t.contexts.find(reinterpret_cast<uintptr_t>(Dc));
    if (it == t.contexts.end())
        return false;
    gone = std::move(it->second);
    t.contexts.erase(it);
    return true;
}

} // namespace

// ---- Public calls

HDC CreateCompatibleDC(HDC /*Reference*/)
{
    return CreateDeviceContext(DeviceContext::Kind::Memory, std::make_unique<RasterBackend>(), DeviceCaps {});
}

HDC CreateDibDC(Dib& Target)
{
    HDC dc = CreateCompatibleDC(nullptr);
    HBITMAP bitmap = CreateBitmapOnDib(Target);
    SelectObject(dc, bitmap);
    // The context alone keeps the bitmap object now; it goes with the context.
    DeleteObject(bitmap);
    return dc;
}

bool DeleteDC(HDC Dc)
{
    DeviceContext* dc = FindDeviceContext(Dc);
    if (!dc || dc->kind() == DeviceContext::Kind::Screen)
        return false;
    return destroyContext(Dc);
}

HDC GetDC(HWND Window)
{
    if (Window != 0)
        return nullptr;
    return CreateDeviceContext(DeviceContext::Kind::Screen, std::make_unique<NullBackend>(), DeviceCaps {});
}

int ReleaseDC(HWND /*Window*/, HDC Dc)
{
    DeviceContext* dc = FindDeviceContext(Dc);
    if (!dc || dc->kind() != DeviceContext::Kind::Screen)
        return 0;
    return destroyContext(Dc) ? 1 : 0;
}

int GetDeviceCaps(HDC Dc, int Index)
{
    DeviceContext* dc = FindDeviceContext(Dc);
    if (!dc)
        return 0;
    const DeviceCaps& c = dc->caps();
    switch (Index) {
    case TECHNOLOGY: return c.technology;
    case HORZRES: return c.horzRes;
    case VERTRES: return c.vertRes;
    // Millimetres from pixels and dots per inch, so that the two always agree.
    case HORZSIZE: return int(std::lround(c.horzRes * 25.4 / c.logPixelsX));
    case VERTSIZE: return int(std::lround(c.vertRes * 25.4 / c.logPixelsY));
    case LOGPIXELSX: return c.logPixelsX;
    case LOGPIXELSY: return c.logPixelsY;
    case BITSPIXEL: return c.bitsPixel;
    case PLANES: return 1;
    case NUMCOLORS: return -1;
    case SIZEPALETTE: return 0;
    case PHYSICALWIDTH: return c.physicalWidth;
    case PHYSICALHEIGHT: return c.physicalHeight;
    case PHYSICALOFFSETX: return c.physicalOffsetX;
    case PHYSICALOFFSETY: return c.physicalOffsetY;
    default: return 0;
    }
}

int SaveDC(HDC Dc)
{
    DeviceContext* dc = FindDeviceContext(Dc);
    return dc ? dc->save() : 0;
}

bool RestoreDC(HDC Dc, int SavedDc)
{
    DeviceContext* dc = FindDeviceContext(Dc);
    return dc && dc->restore(SavedDc);
}
