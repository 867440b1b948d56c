//===- SfntTables_p.h - Table directory and header tables of TrueType/OpenType files -*- C++ -*-===//
//
// The font engine reads the tables it reports straight from the file bytes (big-endian), so
// GetFontData hands out exactly what the file holds and the metrics follow the tables' own
// fields rather than a rasterizer's interpretation of them.
//
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace gdi_private {

/// A table tag as it reads in the file: 'h','e','a','d' is 0x68656164.
constexpr uint32_t sfntTag(char A, char B, char C, char D)
{
    return (uint32_t(uint8_t(A)) << 24) | (uint32_t(uint8_t(B)) << 16) | (uint32_t(uint8_t(C)) << 8) | uint8_t(D);
}

/// Big-endian reads that answer 0 past the end of the span, so a short table yields zeros
/// instead of a read out of bounds.
uint16_t readU16(std::span<const uint8_t> Bytes, size_t Offset);
int16_t readI16(std::span<const uint8_t> Bytes, size_t Offset);
uint32_t readU32(std::span<const uint8_t> Bytes, size_t Offset);

/// One face's table directory inside a font file (for a collection, the directory of face
/// FaceIndex; table offsets count from the start of the collection file).
class SfntDirectory {
public:
    /// Empty with a reason in Error when the bytes are no sfnt file or collection, or the face
    /// index is not in the collection. Directory entries that point outside the file are dropped.
    static std::optional<SfntDirectory> parse(std::span<const uint8_t> File, int FaceIndex, std::string& Error);

    /// The bytes of a table, or nothing when the face has none.
    std::optional<std::span<const uint8_t>> table(uint32_t Tag) const;
    bool isCollection() const { return collection_; }

private:
    struct Entry {
        uint32_t Tag;
        uint32_t Offset;
        uint32_t Length;
    };
    std::span<const uint8_t> file_;
    std::vector<Entry> entries_;
    bool collection_ = false;
};

/// The header-table fields the metrics are made of, in font units (unscaled).
struct SfntMetrics {
    // head
    uint16_t UnitsPerEm = 0;
    int16_t XMin = 0, YMin = 0, XMax = 0, YMax = 0;
    uint16_t LowestRecPPEM = 0;
    // hhea
    int16_t Ascender = 0, Descender = 0, LineGap = 0;
    int16_t CaretSlopeRise = 1, CaretSlopeRun = 0;
    uint16_t NumberOfHMetrics = 0;
    // maxp
    uint16_t NumGlyphs = 0;
    // OS/2 (HasOs2 false: the fields are derived from hhea and head)
    bool HasOs2 = false;
    int16_t XAvgCharWidth = 0;
    uint16_t WeightClass = 400, FsType = 0, FsSelection = 0;
    int16_t SubscriptXSize = 0, SubscriptYSize = 0, SubscriptXOffset = 0, SubscriptYOffset = 0;
    int16_t SuperscriptXSize = 0, SuperscriptYSize = 0, SuperscriptXOffset = 0, SuperscriptYOffset = 0;
    int16_t StrikeoutSize = 0, StrikeoutPosition = 0;
    uint8_t Panose[10] = {};
    int16_t TypoAscender = 0, TypoDescender = 0, TypoLineGap = 0;
    uint16_t WinAscent = 0, WinDescent = 0;
    int16_t XHeight = 0, CapHeight = 0;
    // post
    int32_t ItalicAngle = 0; // 16.16 fixed-point degrees
    int16_t UnderlinePosition = 0, UnderlineThickness = 0;
    uint32_t IsFixedPitch = 0;
};

/// Reads head, hhea, maxp, OS/2 and post. Empty with a reason when head or hhea is missing or
/// too short, or unitsPerEm is outside 16..16384, which no usable font has.
std::optional<SfntMetrics> readSfntMetrics(const SfntDirectory& Directory, std::string& Error);

/// The hmtx advance of a glyph in font units; glyphs past numberOfHMetrics share the last
/// long metric's advance, as the table lays them out. 0 when hmtx is missing or short.
uint16_t hmtxAdvance(std::span<const uint8_t> Hmtx, uint16_t NumberOfHMetrics, uint32_t Glyph);

} // namespace gdi_private
