//===- FontFace_p.h - One face of a font file, measured in font units -*- C++ -*-===//
//
// A face is shared by every size realized from it; RealizedFont only scales what is here.
// Everything a size needs is read when the face opens, so realized fonts never touch FreeType
// (GlyphIndexForUnicode aside, which takes the face's own lock).
//
#pragma once

#include "platform/gdi/fonts/SfntTables_p.h"

#include <array>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace gdi_private {

class FtFace;
class FtLibrary;

/// One Windows-1252 character of a face, in font units.
struct CharUnits {
    uint32_t Glyph = 0;
    uint16_t Advance = 0;              // hmtx
    bool HasInk = false;               // false for blank glyphs (space) and glyphs that cannot be loaded
    int32_t InkLeft = 0, InkRight = 0; // x extent of the glyph's outline box
};

/// One Windows-1252 character of a face hinted at one pixel size, in whole pixels: what the
/// face's own instructions make of it for a bi-level target.
struct HintedChar {
    int Advance = 0;
    bool HasInk = false;
    int InkLeft = 0, InkRight = 0; // the pixel columns [InkLeft, InkRight) the glyph's bitmap spans
};

class FontFace {
public:
    /// Opens face FaceIndex of a font file. Null with a reason in Error when the bytes are no
    /// usable scalable TrueType/OpenType face (garbage, truncated, missing head/hhea/hmtx).
    static std::shared_ptr<const FontFace> open(std::shared_ptr<FtLibrary> Library,
                                                std::shared_ptr<const std::vector<uint8_t>> File, int FaceIndex,
                                                std::string Path, std::string& Error);
    /// A face without a file, for a machine where no font can be loaded at all: fixed
    /// proportions (ascent 0.8 em, descent 0.2 em, every advance half an em), no glyphs, no tables.
    static std::shared_ptr<const FontFace> builtIn();
    ~FontFace();

    const std::string& path() const { return path_; }
    int faceIndex() const { return faceIndex_; }
    /// The family name the file gives itself (name table through FreeType).
    const std::string& familyName() const { return familyName_; }
    std::span<const uint8_t> fileBytes() const;
    /// Null for the built-in face.
    const SfntDirectory* directory() const { return directory_ ? &*directory_ : nullptr; }
    const SfntMetrics& metrics() const { return metrics_; }
    const CharUnits& ansiChar(uint8_t Char) const { return chars_[Char]; }

    bool isBuiltIn() const { return !directory_; }
    bool isFixedPitch() const { return fixedPitch_; }
    /// Symbol faces (a 3,0 character map only) take the byte itself, not its code page meaning.
    bool isSymbol() const { return symbol_; }
    /// FF_ROMAN, FF_SWISS, FF_MODERN ... from the face's PANOSE classification.
    uint8_t family() const { return family_; }

    uint32_t glyphForUnicode(uint32_t CodePoint) const;
    /// The 256 characters hinted at an em of EmPixels. False when the face cannot be hinted at
    /// that size (the built-in face, a size FreeType refuses); a glyph that fails to load alone
    /// is marked with Advance -1.
    bool hintedChars(double EmPixels, std::array<HintedChar, 256>& Chars) const;

private:
    FontFace() = default;
    uint32_t lookupGlyph(uint32_t CodePoint) const;
    void measureAnsiChars();

    std::string path_;
    int faceIndex_ = 0;
    std::string familyName_;
    std::shared_ptr<const std::vector<uint8_t>> file_;
    std::unique_ptr<FtFace> ft_;
    mutable std::mutex ftMutex_; // FreeType faces are not safe for concurrent use
    std::optional<SfntDirectory> directory_;
    SfntMetrics metrics_;
    std::array<CharUnits, 256> chars_ {};
    bool fixedPitch_ = false, symbol_ = false;
    uint8_t family_ = 0;
};

} // namespace gdi_private
