//===- FontEngine.h - Installed fonts, their metrics and their tables -*- C++ -*-===//
//
// The one source of text metrics: the raster backend draws glyphs at exactly these advances,
// the metafile recorder writes them as Dx arrays and the PDF writer reads the same font files,
// so a string measures and draws alike everywhere. Sizes are pixels at 96 dpi.
//
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/gdi/GdiTypes.h"

struct PANOSE {
    uint8_t bFamilyType = 0, bSerifStyle = 0, bWeight = 0, bProportion = 0, bContrast = 0, bStrokeVariation = 0,
            bArmStyle = 0, bLetterform = 0, bMidline = 0, bXHeight = 0;
};

/// The original's outline metrics, laid out as its 32-bit record (212 bytes with the name
/// offsets; the names themselves are not carried).
struct OUTLINETEXTMETRICA {
    uint32_t otmSize = 0;
    TEXTMETRICA otmTextMetrics;
    uint8_t otmFiller = 0;
    PANOSE otmPanoseNumber;
    uint32_t otmfsSelection = 0, otmfsType = 0;
    int32_t otmsCharSlopeRise = 0, otmsCharSlopeRun = 0, otmItalicAngle = 0;   // tenths of a degree
    uint32_t otmEMSquare = 0;
    int32_t otmAscent = 0, otmDescent = 0;
    uint32_t otmLineGap = 0, otmsCapEmHeight = 0, otmsXHeight = 0;
    RECT otmrcFontBox;
    int32_t otmMacAscent = 0, otmMacDescent = 0;
    uint32_t otmMacLineGap = 0, otmusMinimumPPEM = 0;
    POINT otmptSubscriptSize, otmptSubscriptOffset, otmptSuperscriptSize, otmptSuperscriptOffset;
    uint32_t otmsStrikeoutSize = 0;
    int32_t otmsStrikeoutPosition = 0, otmsUnderscoreSize = 0, otmsUnderscorePosition = 0;
};

/// A LOGFONT resolved to one installed face file at one pixel size. Realized fonts are shared
/// and immutable; keep the shared_ptr as long as the metrics or bytes are used.
class RealizedFont {
public:
    /// Resolves the face name through the alias table ("Arial" -> Liberation Sans, "Times New
    /// Roman" -> Liberation Serif, "Courier New" -> Liberation Mono, "MS Sans Serif" and "System"
    /// -> a sans face ...), weight 600 and up picking the bold file and lfItalic the italic one.
    /// Never null: an unknown name falls back to the sans face.
    static std::shared_ptr<const RealizedFont> Realize(const LOGFONTA& Font);

    const LOGFONTA& LogFont() const;
    /// The installed family the name resolved to ("Liberation Sans").
    const std::string& FamilyName() const;
    const std::string& FilePath() const;
    /// The em size in pixels that the metrics are computed for.
    double PixelSize() const;

    // Metrics, in whole pixels
    const TEXTMETRICA& TextMetrics() const;
    /// The advance of one Windows-1252 character; text layout sums these.
    int Advance(uint8_t Char) const;
    std::vector<int> Advances(std::string_view Text) const;
    /// Width = the sum of the advances, height = tmHeight.
    SIZE TextExtent(std::string_view Text) const;
    ABC CharABC(uint8_t Char) const;
    /// False for faces that are not TrueType/OpenType outlines.
    bool OutlineTextMetrics(OUTLINETEXTMETRICA& Metrics) const;

    // Glyphs and tables
    /// The glyph of a Windows-1252 character (through its Unicode code point), 0 when missing.
    uint32_t GlyphIndex(uint8_t Char) const;
    uint32_t GlyphIndexForUnicode(uint32_t CodePoint) const;
    /// GetFontData: Table 0 means the whole file; the tag is the four letters in reversed byte
    /// order as on the original ('head' is 0x64616568). A null Buffer asks the size (from
    /// Offset on). Answers the bytes copied, or GDI_ERROR for a missing table or an offset past it.
    uint32_t GetFontData(uint32_t Table, uint32_t Offset, void* Buffer, uint32_t Size) const;
    /// The whole font file, for a painter that loads the face itself.
    std::span<const uint8_t> FileBytes() const;

    ~RealizedFont();

private:
    struct Impl;
    explicit RealizedFont(std::unique_ptr<Impl>);
    std::unique_ptr<Impl> impl_;
};
