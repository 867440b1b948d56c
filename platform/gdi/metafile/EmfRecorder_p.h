//===- EmfRecorder_p.h - The backend of metafile contexts: calls become EMF records -*- C++ -*-===//
#pragma once

#include "platform/gdi/dc/DcBackend_p.h"
#include "platform/gdi/dc/DeviceContext_p.h"

#include <map>
#include <memory>
#include <optional>
#include <vector>

namespace gdi_private {
class RecordWriter;
}

/// Writes one record per call the context hands on, keeps the object table of the metafile
/// (an object is created when first selected, at the lowest free index) and the union of the
/// device boxes of everything drawn. finish() closes the recording.
class EmfRecorder : public DcBackend {
public:
    EmfRecorder(const DeviceCaps& Reference, std::optional<RECT> Frame);
    ~EmfRecorder() override;

    // Objects
    void objectSelected(const DcState&, const GdiObject&) override;
    void objectDeleted(const GdiObject&) override;

    // State
    void attributeChanged(const DcState&, DcAttribute) override;
    void worldTransformChanged(const DcState&, const XFORM&, int Mode) override;
    void positionMoved(const DcState&) override;
    void saved(const DcState&) override;
    void restored(const DcState&, int Relative) override;
    void clipIntersected(const DcState&, const RECT& Logical) override;
    void clipExcluded(const DcState&, const RECT& Logical) override;
    void clipRegionSelected(const DcState&, const QRegion* Region, int Mode) override;

    // Drawing
    void lineTo(const DcState&, POINT From, POINT To) override;
    void polyline(const DcState&, std::span<const POINT>) override;
    void polygon(const DcState&, std::span<const POINT>) override;
    void polyPolygon(const DcState&, std::span<const POINT>, std::span<const int> Counts) override;
    void rectangle(const DcState&, const RECT&) override;
    void ellipse(const DcState&, const RECT&) override;
    void roundRect(const DcState&, const RECT&, SIZE Corner) override;
    void arc(const DcState&, ArcKind, const RECT& Rect, POINT Start, POINT End) override;
    COLORREF setPixel(const DcState&, POINT, COLORREF) override;
    void textOut(const DcState&, const TextRun&) override;
    void patBlt(const DcState&, const RECT&, uint32_t Rop) override;
    void stretchBlt(const DcState&, const RECT& Dest, const BlitSource&, uint32_t Rop) override;
    void stretchDib(const DcState&, const RECT& Dest, const Dib&, const RECT& Source, uint32_t Rop) override;

    /// Deletes the objects still created, writes EOF and the header; answers the whole file.
    /// The recorder records nothing afterwards.
    std::vector<uint8_t> finish();

    /// Inclusive device pixels, x0 <= x1 and y0 <= y1 when not empty.
    struct Box {
        int x0 = 0, y0 = 0, x1 = -1, y1 = -1;
        bool empty() const { return x1 < x0 || y1 < y0; }
    };

private:
    void append(gdi_private::RecordWriter& Record);
    void append(gdi_private::RecordWriter&& Record) { append(Record); }
    void grow(const Box&);

    // Object table
    uint32_t createObject(std::shared_ptr<const GdiObject> Object);
    void deleteIndex(uint32_t Index);
    uint32_t lowestFreeIndex();
    /// The object as the state holds it (a shared reference keeps its address ours), with
    /// DC_PEN and DC_BRUSH turned into plain objects of the context's colours.
    std::shared_ptr<const GdiObject> heldObject(const DcState&, const GdiObject&);
    void selectIndex(uint32_t Index);

    // Shapes
    void boxShape(uint32_t Type, const DcState&, const RECT&, std::span<const int32_t> Extra);
    void pointsRecord(uint32_t Type16, uint32_t Type32, const DcState&, std::span<const POINT>);
    void bitmapRecord(const DcState&, const RECT& Dest, const Dib& Picture, uint32_t Rop);

    DeviceCaps caps_;
    std::optional<RECT> frame_;
    std::vector<uint8_t> records_; // everything after the header
    uint32_t count_ = 0;
    Box bounds_;
    bool finished_ = false;

    std::map<const GdiObject*, uint32_t> indexOf_;
    std::vector<std::shared_ptr<const GdiObject>> slots_; // by index; null: free
    uint32_t highest_ = 0;
    // The plain objects standing for DC_PEN and DC_BRUSH while they are selected.
    std::shared_ptr<const GdiObject> dcPen_, dcBrush_;
};
