//===- ObjectCalls.cpp - Creating, selecting, reading and deleting objects -===//
#include "platform/gdi/Gdi.h"

#include "platform/gdi/dc/DcBackend_p.h"
#include "platform/gdi/dc/DeviceContext_p.h"
#include "platform/gdi/bitmaps/Dib.h"
#include "platform/gdi/dc/GdiObjects_p.h"

#include <algorithm>
#include <cstring>

namespace {

ObjectTable& objects() { return ObjectTable::instance(); }

template <class T>
HGDIOBJ addObject(std::shared_ptr<T> Object)
{
    return objects().add(std::static_pointer_cast<GdiObject>(std::move(Object)));
}

bool validDepth(UINT Bits) { return Bits == 1 || Bits == 4 || Bits == 8 || Bits == 24 || Bits == 32; }

std::unique_ptr<Dib> newDib(int Width, int Height, int Bits)
{
    if (Width <= 0 || Height <= 0 || !validDepth(UINT(Bits)))
        return nullptr;
    try {
        return std::make_unique<Dib>(Width, Height, Bits);
    } catch (const std::exception&) {
        return nullptr; // too large: the call fails as the original's does when memory runs out
    }
}

int copyOut(const void* Source, int SourceSize, int Size, void* Buffer)
{
    if (!Buffer)
        return SourceSize;
    int n = std::min(Size, SourceSize);
    if (n <= 0)
        return 0;
    std::memcpy(Buffer, Source, size_t(n));
    return n;
}

HGDIOBJ selectBitmap(DeviceContext& Dc, std::shared_ptr<BitmapObject> Bitmap)
{
    if (Dc.kind() != DeviceContext::Kind::Memory)
        return nullptr;
    if (Bitmap->selectedBy && Bitmap->selectedBy != &Dc)
        return nullptr;
    DcState& s = Dc.state();
    std::shared_ptr<BitmapObject> previous = s.bitmap;
    if (previous && previous->selectedBy == &Dc)
        previous->selectedBy = nullptr;
    if (!Bitmap->isStock())
        Bitmap->selectedBy = &Dc;
    s.bitmap = std::move(Bitmap);
    Dc.backend().objectSelected(s, *s.bitmap);
    return previous ? previous->handle() : nullptr;
}

} // namespace

// ---- Creation

HGDIOBJ GetStockObject(int Index)
{
    auto object = objects().stock(Index);
    return object ? object->handle() : nullptr;
}

HPEN CreatePen(int Style, int Width, COLORREF Colour)
{
    return CreatePenIndirect(LOGPEN { UINT(Style), POINT { Width, 0 }, Colour });
}

HPEN CreatePenIndirect(const LOGPEN& Pen)
{
    if (Pen.lopnStyle > PS_INSIDEFRAME)
        return nullptr;
    return addObject(std::make_shared<PenObject>(Pen));
}

HPEN ExtCreatePen(UINT PenStyle, UINT Width, const LOGBRUSH& Brush, UINT StyleCount, const UINT* Style)
{
    const UINT type = PenStyle & PS_TYPE_MASK, style = PenStyle & PS_STYLE_MASK;
    if (PenStyle & ~(PS_TYPE_MASK | PS_STYLE_MASK | PS_ENDCAP_MASK | PS_JOIN_MASK))
        return nullptr;
    if ((type != PS_COSMETIC && type != PS_GEOMETRIC) || style > PS_INSIDEFRAME || StyleCount != 0 || Style)
        return nullptr;
    if ((PenStyle & PS_ENDCAP_MASK) > PS_ENDCAP_FLAT || (PenStyle & PS_JOIN_MASK) > PS_JOIN_MITER)
        return nullptr;
    if (Width > UINT(INT32_MAX))
        return nullptr;
    if (Brush.lbStyle != BS_SOLID && Brush.lbStyle != BS_NULL && Brush.lbStyle != BS_HATCHED)
        return nullptr;
    if (type == PS_COSMETIC && (Width != 1 || Brush.lbStyle != BS_SOLID || style == PS_INSIDEFRAME))
        return nullptr;
    if (Brush.lbStyle == BS_HATCHED && Brush.lbHatch > HS_DIAGCROSS)
        return nullptr;
    // A cosmetic pen stays one pixel wide under any mapping, as a width-0 plain pen does.
    const LOGPEN plain { Brush.lbStyle == BS_NULL ? PS_NULL : style, POINT { type == PS_COSMETIC ? 0 : int(Width), 0 },
                         Brush.lbColor };
    auto pen = std::make_shared<PenObject>(plain);
    pen->extPen = EXTLOGPEN { PenStyle, Width, Brush.lbStyle, Brush.lbColor, Brush.lbHatch, 0 };
    return addObject(std::move(pen));
}

HBRUSH CreateSolidBrush(COLORREF Colour) { return CreateBrushIndirect(LOGBRUSH { BS_SOLID, Colour, 0 }); }

HBRUSH CreateBrushIndirect(const LOGBRUSH& Brush)
{
    switch (Brush.lbStyle) {
    case BS_SOLID:
    case BS_NULL: return addObject(std::make_shared<BrushObject>(Brush));
    case BS_HATCHED:
        if (Brush.lbHatch > HS_DIAGCROSS)
            return nullptr;
        return addObject(std::make_shared<BrushObject>(Brush));
    case BS_PATTERN: return CreatePatternBrush(reinterpret_cast<HBITMAP>(Brush.lbHatch));
    default: return nullptr;
    }
}

HBRUSH CreateHatchBrush(int Hatch, COLORREF Colour)
{
    return CreateBrushIndirect(LOGBRUSH { BS_HATCHED, Colour, uintptr_t(Hatch) });
}

HBRUSH CreatePatternBrush(HBITMAP Bitmap)
{
    auto bitmap = objects().findAs<BitmapObject>(Bitmap, OBJ_BITMAP);
    if (!bitmap || !bitmap->picture())
        return nullptr;
    auto brush = std::make_shared<BrushObject>(LOGBRUSH { BS_PATTERN, 0, reinterpret_cast<uintptr_t>(Bitmap) });
    brush->pattern = std::make_shared<const Dib>(*bitmap->picture());
    return addObject(std::move(brush));
}

HFONT CreateFontIndirect(const LOGFONTA& Font)
{
    LOGFONTA f = Font;
    f.lfFaceName[LF_FACESIZE - 1] = 0;
    return addObject(std::make_shared<FontObject>(f));
}

HBITMAP CreateBitmap(int Width, int Height, UINT Planes, UINT BitsPerPixel, const void* Bits)
{
    if (Planes != 1)
        return nullptr;
    auto dib = newDib(Width, Height, int(BitsPerPixel));
    if (!dib)
        return nullptr;
    if (Bits) {
        // Device-dependent rows are padded to 16 bits, top row first.
        const size_t rowBytes = (size_t(Width) * BitsPerPixel + 15) / 16 * 2;
        const size_t used = (size_t(Width) * BitsPerPixel + 7) / 8;
        const auto* source = static_cast<const uint8_t*>(Bits);
        for (int y = 0; y < Height; ++y)
            std::memcpy(dib->ScanLine(y), source + rowBytes * size_t(y), used);
    }
    return CreateBitmapFromDib(std::move(dib));
}

HBITMAP CreateCompatibleBitmap(HDC Dc, int Width, int Height)
{
    DeviceContext* dc = FindDeviceContext(Dc);
    if (!dc)
        return nullptr;
    const auto& bitmap = dc->state().bitmap;
    bool mono = bitmap && bitmap->isStock();
    return CreateBitmapFromDib(newDib(Width, Height, mono ? 1 : 32));
}

HBITMAP CreateBitmapFromDib(std::unique_ptr<Dib> Picture)
{
    if (!Picture)
        return nullptr;
    return addObject(std::make_shared<BitmapObject>(std::move(Picture)));
}

HBITMAP CreateBitmapOnDib(Dib& Picture) { return addObject(std::make_shared<BitmapObject>(Picture)); }

Dib* GetBitmapDib(HBITMAP Bitmap)
{
    auto bitmap = objects().findAs<BitmapObject>(Bitmap, OBJ_BITMAP);
    return bitmap ? bitmap->picture() : nullptr;
}

// ---- Selection and deletion

HGDIOBJ SelectObject(HDC Dc, HGDIOBJ Object)
{
    DeviceContext* dc = FindDeviceContext(Dc);
    auto object = objects().find(Object);
    if (!dc || !object)
        return nullptr;
    DcState& s = dc->state();
    HGDIOBJ previous = nullptr;
    switch (object->type()) {
    case OBJ_PEN:
        previous = s.pen->handle();
        s.pen = std::static_pointer_cast<PenObject>(object);
        break;
    case OBJ_BRUSH:
        previous = s.brush->handle();
        s.brush = std::static_pointer_cast<BrushObject>(object);
        break;
    case OBJ_FONT:
        previous = s.font->handle();
        s.font = std::static_pointer_cast<FontObject>(object);
        break;
    case OBJ_BITMAP: return selectBitmap(*dc, std::static_pointer_cast<BitmapObject>(object));
    case OBJ_REGION: return reinterpret_cast<HGDIOBJ>(intptr_t(SelectClipRgn(Dc, Object)));
    default: return nullptr;
    }
    dc->backend().objectSelected(s, *object);
    return previous;
}

bool DeleteObject(HGDIOBJ Object)
{
    auto object = objects().find(Object);
    if (!object)
        return false;
    if (object->isStock())
        return true;
    for (DeviceContext* dc : AllDeviceContexts())
        dc->backend().objectDeleted(*object);
    return objects().remove(Object);
}

// ---- Reading back

int GetObject(HGDIOBJ Object, int Size, void* Buffer)
{
    auto object = objects().find(Object);
    if (!object || (Buffer && Size < 0))
        return 0;
    switch (object->type()) {
    case OBJ_PEN: {
        const PenObject& pen = static_cast<PenObject&>(*object);
        if (pen.extPen)
            return copyOut(&*pen.extPen, sizeof(EXTLOGPEN), Size, Buffer);
        return copyOut(&pen.logPen, sizeof pen.logPen, Size, Buffer);
    }
    case OBJ_BRUSH: {
        const LOGBRUSH& brush = static_cast<BrushObject&>(*object).logBrush;
        return copyOut(&brush, sizeof brush, Size, Buffer);
    }
    case OBJ_FONT: {
        const LOGFONTA& font = static_cast<FontObject&>(*object).logFont;
        return copyOut(&font, sizeof font, Size, Buffer);
    }
    case OBJ_BITMAP: {
        BITMAP bm;
        bm.bmWidth = bm.bmHeight = 1;
        bm.bmWidthBytes = 2;
        bm.bmBitsPixel = 1;
        if (Dib* dib = static_cast<BitmapObject&>(*object).picture()) {
            bm.bmWidth = dib->Width();
            bm.bmHeight = dib->Height();
            bm.bmWidthBytes = dib->Stride();
            bm.bmBitsPixel = uint16_t(dib->Bits());
            bm.bmBits = dib->Bytes().data();
        }
        return copyOut(&bm, sizeof bm, Size, Buffer);
    }
    case OBJ_PAL: {
        uint16_t entries = 20;
        return copyOut(&entries, sizeof entries, Size, Buffer);
    }
    default: return 0;
    }
}

UINT GetObjectType(HGDIOBJ Object)
{
    if (auto object = objects().find(Object))
        return object->type();
    if (DeviceContext* dc = FindDeviceContext(reinterpret_cast<HDC>(Object))) {
        switch (dc->kind()) {
        case DeviceContext::Kind::Memory: return OBJ_MEMDC;
        case DeviceContext::Kind::Metafile: return OBJ_ENHMETADC;
        default: return OBJ_DC;
        }
    }
    return 0;
}

HGDIOBJ GetCurrentObject(HDC Dc, UINT ObjectType)
{
    DeviceContext* dc = FindDeviceContext(Dc);
    if (!dc)
        return nullptr;
    const DcState& s = dc->state();
    switch (ObjectType) {
    case OBJ_PEN: return s.pen->handle();
    case OBJ_BRUSH: return s.brush->handle();
    case OBJ_FONT: return s.font->handle();
    case OBJ_BITMAP: return s.bitmap ? s.bitmap->handle() : nullptr;
    case OBJ_PAL: return GetStockObject(DEFAULT_PALETTE);
    default: return nullptr;
    }
}

UINT GetPaletteEntries(HPALETTE Palette, UINT Start, UINT Count, PALETTEENTRY* Entries)
{
    if (!objects().findAs<PaletteObject>(Palette, OBJ_PAL))
        return 0;
    const auto& stock = Dib::StockPalette();
    if (!Entries)
        return UINT(stock.size());
    UINT copied = 0;
    for (UINT i = Start; i < stock.size() && copied < Count; ++i, ++copied)
        Entries[copied] = PALETTEENTRY { stock[i].rgbRed, stock[i].rgbGreen, stock[i].rgbBlue, 0 };
    return copied;
}
