//===- GdiObjects_p.h - Pens, brushes, fonts, bitmaps, regions, the handle table -*- C++ -*-===//
//
// Every drawing object lives behind a shared_ptr: the handle table holds one reference until
// DeleteObject, and every device context that selects or saves the object holds another, so a
// deleted object that is still selected keeps drawing (and its handle keeps answering) until the
// last context lets it go.
//
#pragma once

#include "platform/gdi/bitmaps/Dib.h"
#include "platform/gdi/GdiTypes.h"

#include <QRegion>
#include <array>
#include <memory>
#include <mutex>
#include <optional>

class RealizedFont;

class GdiObject {
public:
    GdiObject(const GdiObject&) = delete;
    GdiObject& operator=(const GdiObject&) = delete;
    virtual ~GdiObject();

    UINT type() const { return type_; }
    HGDIOBJ handle() const { return handle_; }
    /// Stock objects are never freed and ignore DeleteObject.
    bool isStock() const { return stock_ >= 0; }
    int stockIndex() const { return stock_; }

protected:
    explicit GdiObject(UINT Type) : type_(Type) {}

private:
    friend class ObjectTable;
    UINT type_;
    HGDIOBJ handle_ = nullptr;
    int stock_ = -1;
};

class PenObject : public GdiObject {
public:
    explicit PenObject(const LOGPEN& Pen) : GdiObject(OBJ_PEN), logPen(Pen) {}
    /// The plain pen that draws (a cosmetic pen as width 0, a null brush as PS_NULL).
    const LOGPEN logPen;
    /// What ExtCreatePen was given: its type, end cap and join, for drawing, GetObject and the
    /// EXTCREATEPEN record. Empty for CreatePen's pens.
    std::optional<EXTLOGPEN> extPen;
};

class BrushObject : public GdiObject {
public:
    explicit BrushObject(const LOGBRUSH& Brush) : GdiObject(OBJ_BRUSH), logBrush(Brush) {}
    const LOGBRUSH logBrush;
    /// The tile of a BS_PATTERN brush (a copy of the bitmap's picture when it was created).
    std::shared_ptr<const Dib> pattern;
};

class FontObject : public GdiObject {
public:
    explicit FontObject(const LOGFONTA& Font) : GdiObject(OBJ_FONT), logFont(Font) {}
    ~FontObject() override;
    const LOGFONTA logFont;
    /// The font realized at a height scaled by Scale (1 in MM_TEXT). The plain one and the last
    /// scaled one are kept; stock fonts are shared by every context, hence the lock.
    std::shared_ptr<const RealizedFont> realize(double Scale = 1.0) const;

private:
    mutable std::mutex mutex_;
    mutable std::shared_ptr<const RealizedFont> plain_, scaled_;
    mutable double scale_ = 0;
};

class BitmapObject : public GdiObject {
public:
    explicit BitmapObject(std::unique_ptr<Dib> Owned)
        : GdiObject(OBJ_BITMAP), owned_(std::move(Owned)), picture_(owned_.get())
    {
    }
    explicit BitmapObject(Dib& Borrowed) : GdiObject(OBJ_BITMAP), picture_(&Borrowed) {}
    /// The 1 x 1 monochrome stock bitmap of new memory contexts has no picture to draw on.
    BitmapObject() : GdiObject(OBJ_BITMAP) {}

    Dib* picture() const { return picture_; }
    /// The context the bitmap is selected into; a bitmap serves one context at a time.
    const void* selectedBy = nullptr;

private:
    std::unique_ptr<Dib> owned_;
    Dib* picture_ = nullptr;
};

class RegionObject : public GdiObject {
public:
    explicit RegionObject(QRegion Region) : GdiObject(OBJ_REGION), region(std::move(Region)) {}
    QRegion region; // device pixels
};

class PaletteObject : public GdiObject {
public:
    PaletteObject() : GdiObject(OBJ_PAL) {}
};

/// The region type the original reports for a clip or a region.
int regionType(const QRegion& Region);
/// A RECT in the region's terms (right and bottom excluded) and back.
QRect qRect(const RECT& Rect);
RECT winRect(const QRect& Rect);

/// Handles to objects. Handles are never reused while the process runs, so a stale handle
/// is refused rather than mistaken for a newer object.
class ObjectTable {
public:
    static ObjectTable& instance();

    /// Takes the object into the table and gives it its handle.
    HGDIOBJ add(std::shared_ptr<GdiObject> Object);
    /// Null for unknown, freed or deleted-and-released handles.
    std::shared_ptr<GdiObject> find(HGDIOBJ Handle);
    template <class T>
    std::shared_ptr<T> findAs(HGDIOBJ Handle, UINT Type)
    {
        auto object = find(Handle);
        return object && object->type() == Type ? std::static_pointer_cast<T>(object) : nullptr;
    }
    /// False for unknown handles. Objects that contexts still hold stay findable until freed.
    bool remove(HGDIOBJ Handle);
    /// The stock object Index (0..19), null for 9 and out of range.
    std::shared_ptr<GdiObject> stock(int Index);
    /// The stock 1 x 1 monochrome bitmap of new memory contexts.
    std::shared_ptr<BitmapObject> stockBitmap();

private:
    ObjectTable();
    struct Impl;
    std::unique_ptr<Impl> impl_;
};
