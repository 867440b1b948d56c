//===- GlyphOutlines_p.h - Glyph outlines and bitmaps of realized fonts, for drawing text -*- C++ -*-===//
#pragma once

#include <QPainterPath>

#include <cstdint>
#include <memory>
#include <vector>

class RealizedFont;

/// The outline of glyph Glyph of the font at its pixel size, unhinted, in pixels with y growing
/// downwards from the baseline origin; empty for blank or missing glyphs. Outlines are read
/// with FreeType from the very file the font engine measured, so they match its advances.
QPainterPath glyphOutline(const std::shared_ptr<const RealizedFont>& Font, uint32_t Glyph);

/// A glyph as the face's hinting draws it on a bi-level device at the font's pixel size: one
/// byte per pixel (1 = ink), row by row, its top left pixel at (Left, -Top) from the baseline
/// origin. Empty for blank or missing glyphs.
struct GlyphBitmap {
    int Left = 0, Top = 0, Width = 0, Height = 0;
    std::vector<uint8_t> Ink;
};

/// The hinted bitmap of glyph Glyph, from the same file and hinting that gave the font's
/// advances (FontEngine.h), so each shape fits the advance it stands on. Never null.
std::shared_ptr<const GlyphBitmap> glyphBitmap(const std::shared_ptr<const RealizedFont>& Font, uint32_t Glyph);

/// Glyph Glyph hinted as glyphBitmap draws it, then turned counter-clockwise by Angle (radians)
/// about its origin, the origin moved by Offset (device pixels, y down; fractions of a pixel
/// place it between pixels), and scan-converted on a bi-level device with the face's dropout
/// control, which keeps stems thinner than a pixel. Left and Top are from the origin's pixel
/// before the move.
GlyphBitmap turnedGlyphBitmap(const std::shared_ptr<const RealizedFont>& Font, uint32_t Glyph, double Angle,
                              QPointF Offset);
