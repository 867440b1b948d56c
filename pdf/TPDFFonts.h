//===- TPDFFonts.h - The document's font resources: standard fonts and TrueType faces -*- C++ -*-===//
//
// Text names its font by face name and style; the list turns that into one resource of the
// document: a standard font (F0..F13, nothing embedded) or a TrueType face of the system (TT1,
// TT2 ...), measured when created and written, embedded as a subset, when the document ends.
// WinAnsi text uses a simple TrueType font with a widths array; Unicode text a Type0 font with
// Identity-H encoding over a CIDFontType2 descendant and a ToUnicode map.
//
#pragma once

#include "pdf/TTTFData.h"

#include "platform/gdi/fonts/FontEngine.h"

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

class TPDFDocument;

class TPDFFont {
public:
    /// A standard font of index 0..13.
    static std::unique_ptr<TPDFFont> Standard(int Index);
    /// A TrueType face as the probe reported it; measured here. A Unicode font reads its
    /// TrueType data, which raises when the face cannot be read.
    static std::unique_ptr<TPDFFont> TrueType(const std::string& FaceName, uint8_t Style, bool Unicode, bool Embed,
                                              bool Symbolic);

    // --- Used codes (non-standard, non-Unicode fonts only)
    void MarkUsedText(std::string_view Text);
    void MarkUsedChar(uint8_t Code);
    void MarkAllUsed();

    // --- What pages read
    /// 1/1000 em: the table value for a standard font, the text-metric ascent otherwise.
    int32_t Ascent() const;
    /// The width of a WinAnsi code in 1/1000 em.
    int32_t CharWidth(uint8_t Code) const;
    /// The Type0 path: a Unicode TrueType font with its data (a Unicode request that fell back
    /// to a standard font has none).
    bool HasGlyphs() const { return Unicode && TTFData != nullptr; }

    /// Writes the font's objects when a page used it; nothing otherwise.
    void Save(TPDFDocument& Document);

    // --- State
    int32_t ObjectNumber = -1;
    std::string FaceName;
    /// The resource name: "F" and the standard index, or "TT" and a running number.
    std::string FontName;
    uint8_t Style = 0;
    bool Unicode = false;
    bool IsStandard = false;
    int StandardIndex = 0;
    /// 256 widths in 1/1000 em (non-Unicode TrueType fonts only; empty otherwise).
    std::vector<int32_t> Widths;
    int32_t FontAscent = 0, FontDescent = 0;
    bool Embed = true;
    OUTLINETEXTMETRICA OutlineMetrics {};
    std::array<bool, 256> UsedChars {};
    uint8_t FirstUsed = 255, LastUsed = 0;
    /// Set when a page selects the font.
    bool Used = false;
    std::unique_ptr<TTTFData> TTFData;
    bool Symbolic = false;
    bool FixedPitch = false;

private:
    TPDFFont() = default;
    void loadMetrics();
    /// BaseFont and FontName: the face name, bold and italic as a PDF name.
    std::string baseFontName() const;
    void saveStandard(TPDFDocument& Document);
    int32_t saveFontFile(TPDFDocument& Document);
    int32_t saveDescriptor(TPDFDocument& Document, int32_t FileNumber);
    void saveUnicode(TPDFDocument& Document, int32_t FileNumber);
    void saveSimple(TPDFDocument& Document, int32_t FileNumber);
};

class TPDFFonts {
public:
    explicit TPDFFonts(TPDFDocument& Document) : FDocument(Document) {}

    /// The font to use for a face name and style (bit 0 bold, bit 1 italic); never fails: the
    /// last fallback is Helvetica.
    TPDFFont* GetFont(const std::string& Name, uint8_t Style, bool Unicode);
    void Clear() { FFonts.clear(); }
    int Count() const { return int(FFonts.size()); }
    TPDFFont* Items(int Index) const { return FFonts.at(size_t(Index)).get(); }

private:
    TPDFFont* findTrueType(const std::string& UpperName, uint8_t Style, bool Unicode) const;

    TPDFDocument& FDocument;
    std::vector<std::unique_ptr<TPDFFont>> FFonts;
};

/// The "/Widths" text of a simple font: from First to Last, each used code's width and a blank,
/// "0 " for the others, a line end after every code that is a multiple of 16.
std::string FontWidthsText(const std::array<bool, 256>& UsedChars, const std::vector<int32_t>& Widths, int First,
                           int Last);
/// A name's characters outside the printable ASCII and its delimiters as #xx.
std::string EscapeName(std::string_view Name);
