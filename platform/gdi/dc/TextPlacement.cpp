//===- TextPlacement.cpp - Where a text run's baseline lies on the device ---===//
#include "platform/gdi/dc/TextPlacement_p.h"

#include "platform/gdi/dc/DeviceContext_p.h"
#include "platform/gdi/Gdi.h"

#include <cmath>
#include <numbers>

namespace gdi_private {

TextFrame placeText(const DcState& S, QPointF Reference, double Length, const TEXTMETRICA& Metrics)
{
    const QTransform m = S.toDevice();
    const QPointF xAxis = m.map(QPointF(1, 0)) - m.map(QPointF(0, 0));
    const double angle = std::atan2(-xAxis.y(), xAxis.x()) + S.font->logFont.lfEscapement * std::numbers::pi / 1800;
    const QPointF along(std::cos(angle), -std::sin(angle)), down(std::sin(angle), std::cos(angle));

    double shiftU = 0, shiftV = 0;
    switch (S.textAlign & TA_CENTER) {
    case TA_CENTER: shiftU = -std::floor(Length / 2); break;
    case TA_RIGHT: shiftU = -Length; break;
    default: break;
    }
    switch (S.textAlign & TA_BASELINE) {
    case TA_BASELINE: break;
    case TA_BOTTOM: shiftV = -Metrics.tmDescent; break;
    default: shiftV = Metrics.tmAscent; break;
    }
    return TextFrame { along, down, Reference + along * shiftU + down * shiftV };
}

} // namespace gdi_private
