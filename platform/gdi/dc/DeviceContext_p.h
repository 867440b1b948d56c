//===- DeviceContext_p.h - The state of a device context and its save stack -*- C++ -*-===//
#pragma once

#include "platform/gdi/dc/GdiObjects_p.h"
#include "platform/gdi/GdiTypes.h"

#include <QPointF>
#include <QRegion>
#include <QTransform>
#include <memory>
#include <optional>
#include <vector>

class DcBackend;

/// What GetDeviceCaps answers; fixed per context so output never depends on the machine.
struct DeviceCaps {
    int technology = DT_RASDISPLAY;
    int horzRes = 1920, vertRes = 1080;
    int logPixelsX = 96, logPixelsY = 96;
    int bitsPixel = 32;
    int physicalWidth = 0, physicalHeight = 0, physicalOffsetX = 0, physicalOffsetY = 0;
};

/// Everything SaveDC keeps. Selected objects are held by reference count, so what is selected
/// or saved stays alive after DeleteObject.
struct DcState {
    std::shared_ptr<PenObject> pen;
    std::shared_ptr<BrushObject> brush;
    std::shared_ptr<FontObject> font;
    std::shared_ptr<BitmapObject> bitmap;

    COLORREF textColor = 0, bkColor = 0xFFFFFF;
    int bkMode = OPAQUE;
    UINT textAlign = TA_LEFT | TA_TOP | TA_NOUPDATECP;
    int rop2 = R2_COPYPEN;
    int polyFillMode = ALTERNATE;
    int stretchBltMode = BLACKONWHITE;
    int arcDirection = AD_COUNTERCLOCKWISE;
    COLORREF dcPenColor = 0, dcBrushColor = 0xFFFFFF;

    int mapMode = MM_TEXT;
    POINT windowOrg, viewportOrg;
    SIZE windowExt { 1, 1 }, viewportExt { 1, 1 };
    int graphicsMode = GM_COMPATIBLE;
    XFORM world;

    POINT position;
    std::optional<QRegion> clip; // device pixels; none: the whole surface

    // Derived values
    /// Logical to device: the world transform, then the window-to-viewport mapping.
    QTransform toDevice() const;
    QPointF deviceF(POINT P) const { return toDevice().map(QPointF(P.x, P.y)); }
    /// Rounded to the nearest pixel (halves away from zero).
    QPoint device(POINT P) const;
    /// The pen as drawn: DC_PEN takes the context's pen colour.
    LOGPEN effectivePen() const;
    LOGBRUSH effectiveBrush() const;
};

/// Values of XFORM as a QTransform and back (both map row vectors: x' = x eM11 + y eM21 + eDx).
QTransform qTransform(const XFORM& X);
XFORM xform(const QTransform& T);

class DeviceContext {
public:
    /// The screen's context, memory contexts on bitmaps, contexts on images (windows, printer
    /// pages) and metafile contexts; the kind decides GetObjectType and what may be selected.
    enum class Kind { Screen, Memory, Image, Metafile };
    DeviceContext(Kind K, std::unique_ptr<DcBackend> Backend, const DeviceCaps& Caps);
    ~DeviceContext();
    DeviceContext(const DeviceContext&) = delete;
    DeviceContext& operator=(const DeviceContext&) = delete;

    Kind kind() const { return kind_; }
    HDC handle() const { return handle_; }
    const DeviceCaps& caps() const { return caps_; }
    DcState& state() { return state_; }
    const DcState& state() const { return state_; }
    DcBackend& backend() { return *backend_; }

    // Save stack
    int save();
    bool restore(int Level);
    int saveDepth() const { return int(saved_.size()); }

    /// The device pixels that exist: the selected bitmap, the image, or HORZRES x VERTRES.
    QRect deviceBounds() const;
    /// The clip, or the device bounds when there is none.
    QRegion clipOrBounds() const;

private:
    friend HDC CreateDeviceContext(Kind, std::unique_ptr<DcBackend>, const DeviceCaps&);
    Kind kind_;
    HDC handle_ = nullptr;
    DeviceCaps caps_;
    std::unique_ptr<DcBackend> backend_;
    DcState state_;
    std::vector<DcState> saved_;
};

/// Creates a context on any backend (the recording backend of metafiles, image targets);
/// default objects are selected and the context is registered. Answers its handle.
HDC CreateDeviceContext(DeviceContext::Kind Kind, std::unique_ptr<DcBackend> Backend, const DeviceCaps& Caps);
/// The context behind a handle, null when it is not a living one.
DeviceContext* FindDeviceContext(HDC Dc);
/// Every living context, for notices that concern them all (an object being deleted).
std::vector<DeviceContext*> AllDeviceContexts();
