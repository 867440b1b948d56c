//===- GlyphOutlines_p.h - Glyph outlines of realized fonts, for drawing text -*- C++ -*-===//
#pragma once

#include <QPainterPath>

#include <cstdint>
#include <memory>

class RealizedFont;

/// The outline of glyph Glyph of the font at its pixel size, unhinted, in pixels with y growing
/// downwards from the baseline origin; empty for blank or missing glyphs. Outlines are read
/// with FreeType from the very file the font engine measured, so they match its advances.
QPainterPath glyphOutline(const std::shared_ptr<const RealizedFont>& Font, uint32_t Glyph);
