//===- PrinterPage.cpp - One printed page: pixels, and the texts drawn on them ===//
#include "platform/ui/printing/PrinterPage_p.h"

#include "platform/ui/qt/QtConvert_p.h"

#include "platform/gdi/dc/DcBackend_p.h"
#include "platform/gdi/fonts/FontEngine.h"
#include "platform/gdi/Gdi.h"
#include "platform/gdi/raster/RasterBackend_p.h"

#include <QFont>
#include <QGlyphRun>
#include <QPainter>
#include <QRawFont>

#include <cmath>
#include <numbers>

namespace ui_private {
namespace {

/// Draws by the raster rules and notes where each text run stands on the device.
class PageBackend : public RasterBackend {
public:
    PageBackend(QImage& Image, std::vector<PageText>& Texts) : RasterBackend(Image), image_(Image), texts_(Texts) {}

    void textOut(const DcState& S, const TextRun& Run) override
    {
        RasterBackend::textOut(S, Run);
        if (Run.text.empty())
            return;
        PageText T = layOut(S, Run);
        // Words the page does not show stay out of the page's text as well.
        QTransform Frame;
        Frame.translate(T.origin.x(), T.origin.y());
        Frame.rotate(-T.angle);
        const QRectF Reach = Frame.mapRect(QRectF(QPointF(0, -T.pixelSize), QPointF(T.length, T.pixelSize / 3)));
        QRegion Visible = S.clip ? *S.clip : QRegion(image_.rect());
        if (Run.options & ETO_CLIPPED)
            Visible = Visible.intersected(gdi_private::deviceRect(S, Run.rect));
        if (!Visible.intersects(Reach.toAlignedRect()))
            return;
        texts_.push_back(std::move(T));
    }

private:
    // The placement follows the raster backend's: advances scaled to the device, the baseline
    // turned by the escapement and the world transform, the alignment applied along it.
    static PageText layOut(const DcState& S, const TextRun& Run)
    {
        PageText T;
        const double Sx = gdi_private::scaleX(S), Sy = gdi_private::scaleY(S);
        const auto Font = S.font->realize(std::abs(Sy - 1) < 1e-9 ? 1.0 : Sy);
        const TEXTMETRICA& Tm = Font->TextMetrics();
        T.text = toQString(Run.text);
        T.family = QString::fromStdString(Font->FamilyName());
        T.pixelSize = Font->PixelSize();
        T.bold = Font->LogFont().lfWeight >= 600;
        T.italic = Font->LogFont().lfItalic != 0;
        long long Sum = 0;
        for (size_t I = 0; I < Run.text.size() && I < Run.dx.size(); ++I)
            Sum += Run.dx[I];
        T.length = std::round(double(Sum) * Sx);
        const double Length = T.length;

        const QTransform M = S.toDevice();
        const QPointF XAxis = M.map(QPointF(1, 0)) - M.map(QPointF(0, 0));
        const double Angle = std::atan2(-XAxis.y(), XAxis.x()) + S.font->logFont.lfEscapement * std::numbers::pi / 1800;
        const QPointF Along(std::cos(Angle), -std::sin(Angle)), Down(std::sin(Angle), std::cos(Angle));
        double ShiftU = 0, ShiftV = 0;
        switch (S.textAlign & TA_CENTER) {
        case TA_CENTER: ShiftU = -std::floor(Length / 2); break;
        case TA_RIGHT: ShiftU = -Length; break;
        default: break;
        }
        switch (S.textAlign & TA_BASELINE) {
        case TA_BASELINE: break;
        case TA_BOTTOM: ShiftV = -Tm.tmDescent; break;
        default: ShiftV = Tm.tmAscent; break;
        }
        T.origin = QPointF(S.device(Run.reference)) + Along * ShiftU + Down * ShiftV;
        T.angle = Angle * 180 / std::numbers::pi;
        return T;
    }

    QImage& image_;
    std::vector<PageText>& texts_;
};

void paintText(QPainter& Painter, const PageText& T)
{
    QFont Font(T.family);
    Font.setBold(T.bold);
    Font.setItalic(T.italic);
    Font.setPixelSize(std::max(1, int(std::lround(T.pixelSize))));
    QRawFont Raw = QRawFont::fromFont(Font);
    if (!Raw.isValid())
        return;
    Raw.setPixelSize(std::max(1.0, T.pixelSize));
    const QList<quint32> Glyphs = Raw.glyphIndexesForString(T.text);
    if (Glyphs.isEmpty())
        return;
    // The glyphs keep the face's own advances and the run is stretched to the length the page
    // gave it: readers judge word breaks by the gaps between glyphs, which whole-pixel
    // advances would widen here and there.
    const QList<QPointF> Advances = Raw.advancesForGlyphIndexes(Glyphs);
    QList<QPointF> Positions;
    double Natural = 0;
    for (const QPointF& Advance : Advances) {
        Positions.append(QPointF(Natural, 0));
        Natural += Advance.x();
    }
    const double Stretch = Natural > 0 && T.length > 0 ? T.length / Natural : 1.0;
    QGlyphRun Run;
    Run.setRawFont(Raw);
    Run.setGlyphIndexes(Glyphs);
    Run.setPositions(Positions);
    Painter.save();
    Painter.translate(T.origin);
    Painter.rotate(-T.angle);
    Painter.scale(Stretch, 1);
    Painter.drawGlyphRun(QPointF(0, 0), Run);
    Painter.restore();
}

} // namespace

PrinterPage::PrinterPage(QSize Pixels, const DeviceCaps& Caps) : image_(Pixels, QImage::Format_RGB32)
{
    image_.fill(Qt::white);
    dc_ = CreateDeviceContext(DeviceContext::Kind::Image, std::make_unique<PageBackend>(image_, texts_), Caps);
}

PrinterPage::~PrinterPage() { DeleteDC(dc_); }

void PrinterPage::clear()
{
    image_.fill(Qt::white);
    texts_.clear();
}

void PrinterPage::paintOnto(QPainter& Painter) const
{
    Painter.save();
    // A page of text and lines must not come out blurred by lossy compression.
    Painter.setRenderHint(QPainter::LosslessImageRendering);
    Painter.drawImage(QPointF(0, 0), image_);
    // The words lie over the picture in a fully transparent ink.
    Painter.setPen(QColor(0, 0, 0, 0));
    for (const PageText& T : texts_)
        paintText(Painter, T);
    Painter.restore();
}

} // namespace ui_private
