//===- DcBackend_p.h - What a device context hands to the target it draws on -*- C++ -*-===//
//
// A device context validates each call, updates its state and then tells its backend, which
// sees the state as resolved and the call's logical coordinates. The raster backend turns the
// calls into pixels; a recording backend can turn the same stream into metafile records: it
// sees every selection (and so every object it must create first), every deletion of an object,
// every attribute, transform, save, restore and clip change, and each drawing primitive.
//
#pragma once

#include "platform/gdi/GdiTypes.h"
#include "platform/gdi/raster/PixelSurface_p.h"

#include <QRegion>
#include <memory>
#include <span>
#include <string_view>

class DeviceContext;
class Dib;
class GdiObject;
struct DcState;

/// Which attribute a setter changed; the new value is in the state.
enum class DcAttribute {
    TextColor,
    BkColor,
    BkMode,
    TextAlign,
    Rop2,
    PolyFillMode,
    StretchBltMode,
    ArcDirection,
    MapMode,
    WindowOrg,
    WindowExt,
    ViewportOrg,
    ViewportExt,
    GraphicsMode,
    DcPenColor,
    DcBrushColor,
};

enum class ArcKind { Arc, Chord, Pie };

/// One ExtTextOut, with the advances always filled in (logical units).
struct TextRun {
    POINT reference; // the current position when TA_UPDATECP is set
    UINT options = 0;
    RECT rect; // meaningful with ETO_OPAQUE or ETO_CLIPPED
    std::string_view text;
    std::span<const int> dx;
};

/// The source of a blit: the context and its logical rectangle.
struct BlitSource {
    DeviceContext* dc = nullptr;
    RECT rect;
};

class DcBackend {
public:
    virtual ~DcBackend();

    // Objects
    virtual void objectSelected(const DcState&, const GdiObject&) {}
    /// DeleteObject of an object this context may know, whether or not it is selected.
    virtual void objectDeleted(const GdiObject&) {}

    // State
    virtual void attributeChanged(const DcState&, DcAttribute) {}
    /// Mode 0 for SetWorldTransform, else ModifyWorldTransform's mode.
    virtual void worldTransformChanged(const DcState&, const XFORM&, int /*Mode*/) {}
    virtual void positionMoved(const DcState&) {}
    virtual void saved(const DcState&) {}
    /// Relative is negative: the number of levels popped.
    virtual void restored(const DcState&, int /*Relative*/) {}
    virtual void clipIntersected(const DcState&, const RECT& /*Logical*/) {}
    virtual void clipExcluded(const DcState&, const RECT& /*Logical*/) {}
    /// Null region: the clip was removed. Device pixels.
    virtual void clipRegionSelected(const DcState&, const QRegion* /*Region*/, int /*Mode*/) {}

    // Drawing, in logical coordinates
    virtual void lineTo(const DcState&, POINT /*From*/, POINT /*To*/) = 0;
    virtual void polyline(const DcState&, std::span<const POINT>) = 0;
    virtual void polygon(const DcState&, std::span<const POINT>) = 0;
    virtual void polyPolygon(const DcState&, std::span<const POINT>, std::span<const int> /*Counts*/) = 0;
    virtual void rectangle(const DcState&, const RECT&) = 0;
    virtual void ellipse(const DcState&, const RECT&) = 0;
    virtual void roundRect(const DcState&, const RECT&, SIZE /*Corner*/) = 0;
    virtual void arc(const DcState&, ArcKind, const RECT& /*Box*/, POINT /*Start*/, POINT /*End*/) = 0;
    /// Answers the colour stored, CLR_INVALID when nothing was.
    virtual COLORREF setPixel(const DcState&, POINT, COLORREF) = 0;
    virtual void textOut(const DcState&, const TextRun&) = 0;
    /// A raster operation without a source over a logical rectangle.
    virtual void patBlt(const DcState&, const RECT&, uint32_t /*Rop*/) = 0;
    virtual void stretchBlt(const DcState&, const RECT& /*Dest*/, const BlitSource&, uint32_t /*Rop*/) = 0;
    /// Source rows counted from the top of the picture.
    virtual void stretchDib(const DcState&, const RECT& /*Dest*/, const Dib&, const RECT& /*Source*/,
                            uint32_t /*Rop*/) = 0;

    // Pixels
    virtual COLORREF getPixel(const DcState&, POINT) { return CLR_INVALID; }
    /// The pixels this context draws on, for blits from it; null when it has none.
    virtual std::unique_ptr<PixelSurface> surface(const DcState&) { return nullptr; }
};

/// A backend that keeps no picture: the screen context measures and keeps state only.
class NullBackend : public DcBackend {
public:
    void lineTo(const DcState&, POINT, POINT) override {}
    void polyline(const DcState&, std::span<const POINT>) override {}
    void polygon(const DcState&, std::span<const POINT>) override {}
    void polyPolygon(const DcState&, std::span<const POINT>, std::span<const int>) override {}
    void rectangle(const DcState&, const RECT&) override {}
    void ellipse(const DcState&, const RECT&) override {}
    void roundRect(const DcState&, const RECT&, SIZE) override {}
    void arc(const DcState&, ArcKind, const RECT&, POINT, POINT) override {}
    COLORREF setPixel(const DcState&, POINT, COLORREF) override { return CLR_INVALID; }
    void textOut(const DcState&, const TextRun&) override {}
    void patBlt(const DcState&, const RECT&, uint32_t) override {}
    void stretchBlt(const DcState&, const RECT&, const BlitSource&, uint32_t) override {}
    void stretchDib(const DcState&, const RECT&, const Dib&, const RECT&, uint32_t) override {}
};
