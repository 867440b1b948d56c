//===- GdiObjects.cpp - The handle table, stock objects and object helpers -===//
#include "platform/gdi/dc/GdiObjects_p.h"

#include "platform/gdi/fonts/FontEngine.h"

#include <cmath>
#include <cstring>
#include <mutex>
#include <unordered_map>

namespace {

LOGFONTA stockFont(int32_t Height, int32_t Weight, const char* Face, uint8_t CharSet, uint8_t PitchAndFamily)
{
    LOGFONTA f;
    f.lfHeight = Height;
    f.lfWeight = Weight;
    f.lfCharSet = CharSet;
    f.lfPitchAndFamily = PitchAndFamily;
    std::strncpy(f.lfFaceName, Face, LF_FACESIZE - 1);
    return f;
}

std::shared_ptr<GdiObject> makeStock(int Index)
{
    auto brush = [](UINT Style, COLORREF Colour) {
        return std::make_shared<BrushObject>(LOGBRUSH { Style, Colour, 0 });
    };
    auto pen = [](UINT Style, COLORREF Colour) {
        return std::make_shared<PenObject>(LOGPEN { Style, POINT { 0, 0 }, Colour });
    };
    auto font = [](const LOGFONTA& F) { return std::make_shared<FontObject>(F); };
    switch (Index) {
    case WHITE_BRUSH: return brush(BS_SOLID, 0xFFFFFF);
    case LTGRAY_BRUSH: return brush(BS_SOLID, 0xC0C0C0);
    case GRAY_BRUSH: return brush(BS_SOLID, 0x808080);
    case DKGRAY_BRUSH: return brush(BS_SOLID, 0x404040);
    case BLACK_BRUSH: return brush(BS_SOLID, 0);
    case NULL_BRUSH: return brush(BS_NULL, 0);
    case WHITE_PEN: return pen(PS_SOLID, 0xFFFFFF);
    case BLACK_PEN: return pen(PS_SOLID, 0);
    case NULL_PEN: return pen(PS_NULL, 0);
    case OEM_FIXED_FONT: return font(stockFont(12, FW_NORMAL, "Terminal", 255, FIXED_PITCH | FF_MODERN));
    case ANSI_FIXED_FONT: return font(stockFont(12, FW_NORMAL, "Courier", ANSI_CHARSET, FIXED_PITCH | FF_MODERN));
    case ANSI_VAR_FONT: return font(stockFont(12, FW_NORMAL, "MS Sans Serif", ANSI_CHARSET, VARIABLE_PITCH | FF_SWISS));
    case SYSTEM_FONT: return font(stockFont(16, FW_BOLD, "System", ANSI_CHARSET, VARIABLE_PITCH | FF_SWISS));
    case DEVICE_DEFAULT_FONT: return font(stockFont(16, FW_BOLD, "System", ANSI_CHARSET, VARIABLE_PITCH | FF_SWISS));
    case DEFAULT_PALETTE: return std::make_shared<PaletteObject>();
    case SYSTEM_FIXED_FONT: return font(stockFont(15, FW_NORMAL, "Fixedsys", ANSI_CHARSET, FIXED_PITCH | FF_MODERN));
    case DEFAULT_GUI_FONT:
        return font(stockFont(-11, FW_NORMAL, "MS Shell Dlg", ANSI_CHARSET, VARIABLE_PITCH | FF_SWISS));
    case DC_BRUSH: return brush(BS_SOLID, 0xFFFFFF);
    case DC_PEN: return pen(PS_SOLID, 0);
    default: return nullptr;
    }
}

} // namespace

GdiObject::~GdiObject() = default;
FontObject::~FontObject() = default;

std::shared_ptr<const RealizedFont> FontObject::realize(double Scale) const
{
    std::lock_guard lock(mutex_);
    if (Scale == 1.0) {
        if (!plain_)
            plain_ = RealizedFont::Realize(logFont);
        return plain_;
    }
    if (scaled_ && scale_ == Scale)
        return scaled_;
    LOGFONTA scaled = logFont;
    scaled.lfHeight = int32_t(std::lround(logFont.lfHeight * Scale));
    scaled.lfWidth = int32_t(std::lround(logFont.lfWidth * Scale));
    // A height that rounds to nothing would ask for the default size.
    if (logFont.lfHeight != 0 && scaled.lfHeight == 0)
        scaled.lfHeight = logFont.lfHeight < 0 ? -1 : 1;
    scaled_ = RealizedFont::Realize(scaled);
    scale_ = Scale;
    return scaled_;
}

int regionType(const QRegion& Region)
{
    if (Region.isEmpty())
        return NULLREGION;
    return Region.rectCount() == 1 ? SIMPLEREGION : COMPLEXREGION;
}

QRect qRect(const RECT& Rect) { return QRect(QPoint(Rect.left, Rect.top), QPoint(Rect.right - 1, Rect.bottom - 1)); }

RECT winRect(const QRect& Rect)
{
    if (Rect.isEmpty())
        return RECT {};
    return RECT { Rect.left(), Rect.top(), Rect.right() + 1, Rect.bottom() + 1 };
}

struct ObjectTable::Impl {
    struct Entry {
        std::shared_ptr<GdiObject> owned; // until DeleteObject
        std::weak_ptr<GdiObject> held;    // afterwards, while contexts hold it
    };
    std::mutex mutex;
    std::unordered_map<uintptr_t, Entry> entries;
    uintptr_t next = 0x1000;
    std::shared_ptr<GdiObject> stock[20];
    std::shared_ptr<BitmapObject> stockBitmap;
};

ObjectTable& ObjectTable::instance()
{
    // Never destroyed: contexts and objects may still be released by other static destructors.
    static ObjectTable* table = new ObjectTable;
    return *table;
}

ObjectTable::ObjectTable() : impl_(std::make_unique<Impl>())
{
    for (int i = 0; i < 20; ++i) {
        impl_->stock[i] = makeStock(i);
        if (!impl_->stock[i])
            continue;
        impl_->stock[i]->stock_ = i;
        add(impl_->stock[i]);
    }
    impl_->stockBitmap = std::make_shared<BitmapObject>();
    impl_->stockBitmap->stock_ = 20;
    add(impl_->stockBitmap);
}

HGDIOBJ ObjectTable::add(std::shared_ptr<GdiObject> Object)
{
    std::lock_guard lock(impl_->mutex);
    uintptr_t id = impl_->next;
    impl_->next += 4;
    // Deleted objects that contexts held are forgotten here once freed, now and then.
    if ((id & 0xFFF) == 0)
        std::erase_if(impl_->entries, [](const auto& E) { return !E.second.owned && E.second.held.expired(); });
    Object->handle_ = reinterpret_cast<HGDIOBJ>(id);
    impl_->entries[id].owned = std::move(Object);
    return reinterpret_cast<HGDIOBJ>(id);
}

std::shared_ptr<GdiObject> ObjectTable::find(HGDIOBJ Handle)
{
    std::shared_ptr<GdiObject> found;
    std::lock_guard lock(impl_->mutex);
    auto it = impl_->entries.find(reinterpret_cast<uintptr_t>(Handle));
    if (it == impl_->entries.end())
        return nullptr;
    if (it->second.owned)
        return it->second.owned;
    found = it->second.held.lock();
    if (!found)
        impl_->entries.erase(it);
    return found;
}

bool ObjectTable::remove(HGDIOBJ Handle)
{
    std::shared_ptr<GdiObject> released; // freed after the lock is let go
    std::lock_guard lock(impl_->mutex);
    auto it = impl_->entries.find(reinterpret_cast<uintptr_t>(Handle));
    if (it == impl_->entries.end() || !it->second.owned)
        return false;
    if (it->second.owned->isStock())
        return true;
    released = std::move(it->second.owned);
    if (released.use_count() > 1)
        it->second.held = released;
    else
        impl_->entries.erase(it);
    return true;
}

std::shared_ptr<GdiObject> ObjectTable::stock(int Index)
{
    if (Index < 0 || Index >= 20)
        return nullptr;
    return impl_->stock[Index];
}

std::shared_ptr<BitmapObject> ObjectTable::stockBitmap() { return impl_->stockBitmap; }
