//===- TTTFData.h - A TrueType font used with Unicode text: glyphs, widths, subset -*- C++ -*-===//
//
// Holds, for every character of the font's Unicode map, its glyph id, its advance in thousandths
// of an em and whether the document used it; at the end of the document it writes the font
// program reduced to the used glyphs (glyph ids unchanged), the ToUnicode CMap and the CID
// width array.
//
#pragma once

#include "pdf/TrueTypeTables.h"

#include <cstdint>
#include <string>
#include <vector>

class TStream;

/// The tables of an installed face through the font engine, at height -10, weight 700 for
/// style bit 1 else 400, italic, underline and strike-out from style bits 2, 4 and 8.
TTFTableSource InstalledFontTables(const std::string& FaceName, int Style);
/// Whether that face is fixed-pitch by its text metrics.
bool InstalledFontFixedPitch(const std::string& FaceName, int Style);

class TTTFData {
public:
    struct TCharRecord {
        uint16_t Code = 0;
        uint16_t Glyph = 0;
        int16_t Width = 0;
        bool Used = false;
    };

    /// Raises "Cannot recieve data from font" when a table cannot be read and "Incorrect or
    /// unknown font format" for a font it cannot read.
    TTTFData(const std::string& FaceName, bool Flag, int Style);
    /// The same from tables given by the caller.
    TTTFData(TTFTableSource Tables, bool FixedPitch, const std::string& FaceName = {}, bool Flag = false,
             int Style = 0);

    int16_t TTFGetCharWidth(uint16_t Code) const;
    /// Marks the character used and answers its glyph id.
    uint16_t TTFUseChar(uint16_t Code);
    void WriteFontSubset(TStream& Stream);
    /// The CMap text mapping the used glyph ids back to their characters.
    void WriteToUnicodeCMap(const std::string& FontName, TStream& Stream) const;
    /// "[" glyph "[" width "]" ... "]" over the used characters in code order.
    std::string GetWidthArray() const;

    const std::string& FaceName() const { return FFaceName; }
    int Style() const { return FStyle; }
    bool Flag() const { return FFlag; }
    bool FixedPitch() const { return FFixedPitch; }
    const std::vector<TCharRecord>& Records() const { return FRecords; }
    /// The subset font program as WriteFontSubset writes it.
    TTFBytes FontSubset();

private:
    const TCharRecord* find(uint16_t Code) const;
    int16_t glyphWidth(uint16_t Glyph) const;

    TTFTableSource FTables;
    std::string FFaceName;
    bool FFlag = false;
    int FStyle = 0;
    bool FFixedPitch = false;
    TTFBytes FCmap, FHmtx, FMaxp, FHead, FHhea;
    int FNumGlyphs = 0;
    int FUnitsPerEm = 0;
    int FNumberOfHMetrics = 0;
    TTFCmap4 FMap;
    std::vector<TCharRecord> FRecords;
};
