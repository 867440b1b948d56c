//===- TrueTypeTables.h - Bounds-checked readers of TrueType tables -*- C++ -*-===//
//
// Fonts come from outside, so every read here is checked against its table: a value that would
// lie past the end raises "Incorrect or unknown font format" rather than reading on. All values
// are big-endian.
//
#pragma once

#include "pdf/TPDFException.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <vector>

using TTFBytes = std::vector<uint8_t>;

/// A table by its four-letter tag ("cmap", "cvt "); nothing when the font has no such table.
using TTFTableSource = std::function<std::optional<TTFBytes>(const char* Tag)>;

uint16_t TTFWord(std::span<const uint8_t> Data, size_t Offset);
uint32_t TTFLong(std::span<const uint8_t> Data, size_t Offset);
void TTFPutWord(TTFBytes& Data, uint16_t Value);
void TTFPutLong(TTFBytes& Data, uint32_t Value);
/// The sum modulo 2^32 of the big-endian 32-bit words, the last one padded with zero bytes.
uint32_t TTFTableChecksum(std::span<const uint8_t> Data);

/// The Unicode map (format 4) of a cmap table: the first platform 3 encoding 1 subtable, else
/// the last platform 3 encoding 0 one.
struct TTFCmap4 {
    uint16_t SegCountX2 = 0;
    std::vector<uint16_t> EndCode, StartCode, IdDelta, IdRangeOffset, GlyphIdArray;

    int SegCount() const { return SegCountX2 / 2; }
    /// The glyph of Code through segment Segment; 0 outside the segment or when the glyph array
    /// has no such entry.
    uint16_t GlyphOf(int Segment, uint16_t Code) const;
    /// The glyph of Code through the first segment whose end is not below it.
    uint16_t GlyphOf(uint16_t Code) const;
};
/// A table whose chosen subtable offset lies past its end raises UnreachableMessage; any other
/// fault "Incorrect or unknown font format".
TTFCmap4 ReadCmapFormat4(std::span<const uint8_t> Cmap, const char* UnreachableMessage = SIncorrectFontFormat);

/// One glyph of glyf: its outline bytes (empty for a glyph without outline) and a use mark.
struct TTFGlyph {
    TTFBytes Data;
    bool Used = false;
};
/// glyf split by loca into NumGlyphs glyphs. An entry past glyf or below its predecessor gives
/// an empty glyph.
std::vector<TTFGlyph> SplitGlyphs(std::span<const uint8_t> Loca, bool LongOffsets, std::span<const uint8_t> Glyf,
                                  int NumGlyphs);
/// Where the glyphIndex word of each component of a composite glyph lies in its bytes, in order;
/// empty for a simple one. Any negative numberOfContours makes a composite, as font readers take
/// it (-1 is only the usual value). The walk stops at the end of the glyph's data.
std::vector<size_t> CompositeComponentOffsets(std::span<const uint8_t> Glyph);
/// The component glyph ids of a composite glyph, in order; empty for a simple one.
std::vector<uint16_t> CompositeComponents(std::span<const uint8_t> Glyph);
/// Marks the components of every used composite glyph used, through any depth of nesting.
void MarkUsedComponents(std::vector<TTFGlyph>& Glyphs);

/// The tables of a whole font file (a TrueType offset table and its table records).
TTFTableSource SfntFileTables(TTFBytes File);
/// A TrueType file holding Tables (tag, data) with their records in tag order, each table
/// padded with zero bytes to a multiple of 4.
TTFBytes BuildSfnt(std::vector<std::pair<std::string, TTFBytes>> Tables);
