//===- FontEngine.h - Installed fonts, their metrics and their tables -*- C++ -*-===//
//
// The one source of text metrics: the raster backend draws glyphs at exactly these advances
// and the PDF writer reads the same font files, so a string measures and draws alike
// everywhere. A metafile, drawn later at other sizes (paper, PDF pages), measures and records
// the face's own advances instead (DesignAdvances). Sizes are pixels at 96 dpi.
//
// The advance rule, for every target alike: a font is realized at the device's pixel size (the
// screen and the metafile's reference device at 96 dpi, a printer at its own resolution). Up to
// an em of 96 pixels a character's advance is its hinted advance there: the face's own TrueType
// instructions run for a bi-level target, whole pixels, and the glyphs drawn are the bitmaps of
// that same hinting, so each letter's shape fits the advance it stands on. Larger ems, where
// hinting no longer shows, and faces that cannot be hinted (the built-in face) take the hmtx
// advance scaled and rounded, with glyphs drawn from their outlines.
//
#pragma once

#include "platform/gdi/GdiTypes.h"

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

struct PANOSE {
    uint8_t bFamilyType = 0, bSerifStyle = 0, bWeight = 0, bProportion = 0, bContrast = 0, bStrokeVariation = 0,
            bArmStyle = 0, bLetterform = 0, bMidline = 0, bXHeight = 0;
};

/// The original's outline metrics, laid out as its 32-bit record (212 bytes with the name
/// offsets; the names themselves are not carried, so the offsets are 0).
struct OUTLINETEXTMETRICA {
    uint32_t otmSize = 0;
    TEXTMETRICA otmTextMetrics;
    uint8_t otmFiller = 0;
    PANOSE otmPanoseNumber;
    uint32_t otmfsSelection = 0, otmfsType = 0;
    int32_t otmsCharSlopeRise = 0, otmsCharSlopeRun = 0, otmItalicAngle = 0; // tenths of a degree
    uint32_t otmEMSquare = 0;
    int32_t otmAscent = 0, otmDescent = 0;
    uint32_t otmLineGap = 0, otmsCapEmHeight = 0, otmsXHeight = 0;
    RECT otmrcFontBox;
    int32_t otmMacAscent = 0, otmMacDescent = 0;
    uint32_t otmMacLineGap = 0, otmusMinimumPPEM = 0;
    POINT otmptSubscriptSize, otmptSubscriptOffset, otmptSuperscriptSize, otmptSuperscriptOffset;
    uint32_t otmsStrikeoutSize = 0;
    int32_t otmsStrikeoutPosition = 0, otmsUnderscoreSize = 0, otmsUnderscorePosition = 0;
    uint32_t otmpFamilyName = 0, otmpFaceName = 0, otmpStyleName = 0, otmpFullName = 0;
};
static_assert(sizeof(OUTLINETEXTMETRICA) == 212, "callers pass the record size 212");

/// One installed style of a TrueType face, as the font enumeration lists it.
struct FontFaceStyle {
    std::string FaceName; // in the original's spelling: "Arial" for a request of "ARIAL"
    int32_t Weight = 400;
    bool Italic = false;
};

/// A LOGFONT resolved to one installed face file at one pixel size. Realized fonts are shared
/// and immutable; keep the shared_ptr as long as the metrics or bytes are used.
class RealizedFont {
public:
    /// Resolves the face name through the alias table ("Arial" -> Liberation Sans, "Times New
    /// Roman" -> Liberation Serif, "Courier New" -> Liberation Mono, "MS Sans Serif" and "System"
    /// -> a sans face ...), weight 600 and up picking the bold file and lfItalic the italic one.
    /// A name outside the table is used when an installed family has exactly that name; any
    /// other name, and a file that cannot be read as a font, falls back to Liberation Sans, then
    /// DejaVu Sans (a broken file is reported once on stderr). Never null: with no usable font
    /// installed at all, a built-in face of fixed proportions measures the text.
    /// Equal requests answer the same shared font.
    static std::shared_ptr<const RealizedFont> Realize(const LOGFONTA& Font);
    /// The TrueType styles installed under a face name, lighter before bolder, upright before
    /// italic; empty when the name is no TrueType face here. The original's bitmap and printer
    /// faces ("MS Sans Serif", "System", "Courier", "Helvetica") are no TrueType faces, although
    /// Realize draws them with outline faces.
    static std::vector<FontFaceStyle> EnumTrueTypeFaces(std::string_view FaceName);

    const LOGFONTA& LogFont() const;
    /// The installed family the name resolved to ("Liberation Sans").
    const std::string& FamilyName() const;
    const std::string& FilePath() const;
    /// The face's index in a font collection (0 for a single-face file).
    int FaceIndex() const;
    /// The em size in pixels that the metrics are computed for: -lfHeight for a negative
    /// height; for a positive one the em whose cell (usWinAscent + usWinDescent) is lfHeight;
    /// for 0 the em of a 16-pixel cell. Kept within 1/64 .. 16384.
    double PixelSize() const;
    /// True when the advances and the glyphs drawn are the hinted ones (the advance rule above).
    bool Hinted() const;

    // Metrics, in whole pixels
    /// Font units scaled to PixelSize and rounded to the nearest pixel, halves away from zero.
    /// tmHeight is the rounded cell and tmDescent = tmHeight - tmAscent, so a positive lfHeight
    /// comes back exactly. tmWeight is lfWeight (0 reads as 400); italic, underline and
    /// strike-out are the LOGFONT's. TMPF_FIXED_PITCH in tmPitchAndFamily is set for VARIABLE
    /// pitch, as on the original.
    const TEXTMETRICA& TextMetrics() const;
    /// The advance of one Windows-1252 character by the advance rule above (hinted at
    /// PixelSize). Text layout sums these.
    int Advance(uint8_t Char) const;
    std::vector<int> Advances(std::string_view Text) const;
    /// The face's own (unhinted) advances at PixelSize times ToLogical, each glyph placed at
    /// the whole unit nearest to where the exact advances put it: a picture that is scaled
    /// later (a metafile) keeps the face's spacing, which whole hinted pixels would distort.
    std::vector<int> DesignAdvances(std::string_view Text, double ToLogical = 1) const;
    /// Width = the sum of the advances, height = tmHeight.
    SIZE TextExtent(std::string_view Text) const;
    /// A = the pixel column where the hinted glyph's ink starts, B = the columns it touches,
    /// C = the rest, so A + B + C == Advance. A blank glyph is A = 0, B = 0, C = Advance.
    /// Unhintable faces take the floor and ceiling of the scaled glyph box.
    ABC CharABC(uint8_t Char) const;
    /// False for faces that are not TrueType/OpenType outlines. otmEMSquare is unitsPerEm;
    /// the rest comes from OS/2 (otmAscent, otmDescent, otmLineGap are the typo values), hhea
    /// (the Mac values, the caret slope), head (the font box) and post (italic angle in tenths
    /// of a degree, underscore), scaled like TextMetrics.
    bool OutlineTextMetrics(OUTLINETEXTMETRICA& Metrics) const;

    // Glyphs and tables
    /// The glyph of a Windows-1252 character (through its Unicode code point), 0 when missing
    /// and for the five bytes the code page leaves undefined. Symbol faces take the byte itself.
    uint32_t GlyphIndex(uint8_t Char) const;
    uint32_t GlyphIndexForUnicode(uint32_t CodePoint) const;
    /// GetFontData: Table 0 means the whole file; the tag is the four letters in reversed byte
    /// order as on the original ('head' is 0x64616568). A null Buffer asks the size (from
    /// Offset on). Answers the bytes copied, or GDI_ERROR for a missing table or an offset past it.
    /// For a face of a collection (.ttc) the tables are the face's own and Table 0 is the whole
    /// collection file.
    uint32_t GetFontData(uint32_t Table, uint32_t Offset, void* Buffer, uint32_t Size) const;
    /// The whole font file, for a painter that loads the face itself.
    std::span<const uint8_t> FileBytes() const;

    ~RealizedFont();

private:
    friend class FontCache;
    struct Impl;
    explicit RealizedFont(std::unique_ptr<Impl>);
    std::unique_ptr<Impl> impl_;
};
