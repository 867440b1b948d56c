//===- TextPlacement_p.h - Where a text run's baseline lies on the device -*- C++ -*-===//
//
// The raster backend draws a run's glyphs in this frame, and the metafile recorder bounds its
// records by the same frame; one rule keeps the bounds over what the glyphs cover.
//
#pragma once

#include "platform/gdi/GdiTypes.h"

#include <QPointF>

struct DcState;

namespace gdi_private {

/// The run's own frame on the device: unit vectors along the baseline and down from it, and
/// the baseline's start after the alignment shifts.
struct TextFrame {
    QPointF along, down, origin;
};

/// The baseline turns by the font's escapement, and with the logical x axis when the world
/// transform turns it (y-up mappings keep text upright). The text alignment then moves the start
/// from Reference (the reference point on the device) by the run's Length along the baseline
/// (centre or right) and by the ascent or descent across it (top or bottom).
TextFrame placeText(const DcState& S, QPointF Reference, double Length, const TEXTMETRICA& Metrics);

} // namespace gdi_private
