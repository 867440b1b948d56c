//===- PrinterPage_p.h - One printed page: pixels, and the texts drawn on them -*- C++ -*-===//
#pragma once

#include "platform/gdi/dc/DeviceContext_p.h"
#include "platform/gdi/GdiTypes.h"

#include <QImage>
#include <QPointF>
#include <QString>
#include <vector>

class QPainter;

namespace ui_private {

/// A run of text as the page drew it, in device pixels.
struct PageText {
    QString text;
    QPointF origin;    // the first glyph's origin on the baseline
    double length = 0; // from the origin to the end of the last advance
    double angle = 0;  // of the baseline, degrees counter-clockwise
    QString family;
    double pixelSize = 0;
    bool bold = false, italic = false;
};

/// The page of a print job: a white image of the printable area with a context that draws on
/// it by the raster rules, and a note of every text drawn. The page goes to the printer as the
/// image with those texts laid over it invisibly: what is seen is exactly what the raster
/// drew, and readers of the output can still find the words.
class PrinterPage {
public:
    PrinterPage(QSize Pixels, const DeviceCaps& Caps);
    ~PrinterPage();
    PrinterPage(const PrinterPage&) = delete;
    PrinterPage& operator=(const PrinterPage&) = delete;

    HDC dc() const { return dc_; }
    const QImage& image() const { return image_; }
    const std::vector<PageText>& texts() const { return texts_; }
    /// Paints the page onto the printer's painter, whose origin is the printable area's corner.
    void paintOnto(QPainter& Painter) const;
    /// A blank page; the context keeps its state.
    void clear();

private:
    QImage image_;
    std::vector<PageText> texts_;
    HDC dc_ = nullptr;
};

} // namespace ui_private
