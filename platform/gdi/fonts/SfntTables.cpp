//===- SfntTables.cpp - Table directory and header tables of TrueType/OpenType files -===//
#include "platform/gdi/fonts/SfntTables_p.h"

#include <algorithm>

namespace gdi_private {

namespace {

constexpr uint32_t TagTtcf = sfntTag('t', 't', 'c', 'f');
constexpr uint32_t TrueTypeVersion = 0x00010000;
constexpr size_t OffsetTableSize = 12, DirectoryEntrySize = 16;

bool isSfntVersion(uint32_t Version)
{
    return Version == TrueTypeVersion || Version == sfntTag('O', 'T', 'T', 'O')
           || Version == sfntTag('t', 'r', 'u', 'e') || Version == sfntTag('t', 'y', 'p', '1');
}

void readOs2(std::span<const uint8_t> T, SfntMetrics& M)
{
    M.HasOs2 = true;
    M.XAvgCharWidth = readI16(T, 2);
    M.WeightClass = readU16(T, 4);
    M.FsType = readU16(T, 8);
    M.SubscriptXSize = readI16(T, 10);
    M.SubscriptYSize = readI16(T, 12);
    M.SubscriptXOffset = readI16(T, 14);
    M.SubscriptYOffset = readI16(T, 16);
    M.SuperscriptXSize = readI16(T, 18);
    M.SuperscriptYSize = readI16(T, 20);
    M.SuperscriptXOffset = readI16(T, 22);
    M.SuperscriptYOffset = readI16(T, 24);
    M.StrikeoutSize = readI16(T, 26);
    M.StrikeoutPosition = readI16(T, 28);
    for (size_t I = 0; I < 10; ++I)
        M.Panose[I] = 32 + I < T.size() ? T[32 + I] : 0;
    M.FsSelection = readU16(T, 62);
    M.TypoAscender = readI16(T, 68);
    M.TypoDescender = readI16(T, 70);
    M.TypoLineGap = readI16(T, 72);
    M.WinAscent = readU16(T, 74);
    M.WinDescent = readU16(T, 76);
    if (readU16(T, 0) >= 2) {
        M.XHeight = readI16(T, 86);
        M.CapHeight = readI16(T, 88);
    }
}

// Faces without OS/2 (older Apple fonts) or with an OS/2 table cut short still get a cell:
// the one hhea describes, which is what such a face was designed with.
void deriveMissingOs2(SfntMetrics& M)
{
    if (M.WinAscent == 0 && M.WinDescent == 0) {
        M.WinAscent = uint16_t(std::max<int>(0, M.Ascender));
        M.WinDescent = uint16_t(std::max<int>(0, -M.Descender));
    }
    if (M.TypoAscender == 0 && M.TypoDescender == 0) {
        M.TypoAscender = M.Ascender;
        M.TypoDescender = M.Descender;
        M.TypoLineGap = M.LineGap;
    }
    if (M.WinAscent == 0 && M.WinDescent == 0) {
        // Nothing describes the cell: the em itself, split as most Latin faces split it.
        M.WinAscent = uint16_t(M.UnitsPerEm * 4 / 5);
        M.WinDescent = uint16_t(M.UnitsPerEm - M.WinAscent);
    }
}

} // namespace

uint16_t readU16(std::span<const uint8_t> Bytes, size_t Offset)
{
    if (Offset > Bytes.size() || Bytes.size() - Offset < 2)
        return 0;
    return uint16_t((Bytes[Offset] << 8) | Bytes[Offset + 1]);
}

int16_t readI16(std::span<const uint8_t> Bytes, size_t Offset) { return int16_t(readU16(Bytes, Offset)); }

uint32_t readU32(std::span<const uint8_t> Bytes, size_t Offset)
{
    if (Offset > Bytes.size() || Bytes.size() - Offset < 4)
        return 0;
    return (uint32_t(Bytes[Offset]) << 24) | (uint32_t(Bytes[Offset + 1]) << 16) | (uint32_t(Bytes[Offset + 2]) << 8)
           | Bytes[Offset + 3];
}

std::optional<SfntDirectory> SfntDirectory::parse(std::span<const uint8_t> File, int FaceIndex, std::string& Error)
{
    SfntDirectory D;
    D.file_ = File;
    if (File.size() < OffsetTableSize) {
        Error = "file too short for a font (" + std::to_string(File.size()) + " bytes)";
        return std::nullopt;
    }
    size_t Start = 0;
    if (readU32(File, 0) == TagTtcf) {
        D.collection_ = true;
        uint32_t NumFonts = readU32(File, 8);
        if (FaceIndex < 0 || uint32_t(FaceIndex) >= NumFonts) {
            Error = "face " + std::to_string(FaceIndex) + " is not in the collection";
            return std::nullopt;
        }
        size_t At = 12 + size_t(FaceIndex) * 4;
        if (At + 4 > File.size()) {
            Error = "collection header cut short";
            return std::nullopt;
        }
        Start = readU32(File, At);
    } else if (FaceIndex != 0) {
        Error = "face " + std::to_string(FaceIndex) + " requested from a single-face file";
        return std::nullopt;
    }
    if (Start > File.size() || File.size() - Start < OffsetTableSize || !isSfntVersion(readU32(File, Start))) {
        Error = "no TrueType/OpenType table directory";
        return std::nullopt;
    }
    uint16_t NumTables = readU16(File, Start + 4);
    for (size_t I = 0; I < NumTables; ++I) {
        size_t At = Start + OffsetTableSize + I * DirectoryEntrySize;
        if (At + DirectoryEntrySize > File.size())
            break; // a directory cut short keeps the entries it has
        Entry E { readU32(File, At), readU32(File, At + 8), readU32(File, At + 12) };
        bool Inside = E.Offset <= File.size() && File.size() - E.Offset >= E.Length;
        bool Duplicate =
            std::any_of(D.entries_.begin(), D.entries_.end(), [&](const Entry& X) { return X.Tag == E.Tag; });
        if (Inside && !Duplicate)
            D.entries_.push_back(E);
    }
    if (D.entries_.empty()) {
        Error = "table directory lists no table inside the file";
        return std::nullopt;
    }
    return D;
}

std::optional<std::span<const uint8_t>> SfntDirectory::table(uint32_t Tag) const
{
    for (const Entry& E : entries_)
        if (E.Tag == Tag)
            return file_.subspan(E.Offset, E.Length);
    return std::nullopt;
}

std::optional<SfntMetrics> readSfntMetrics(const SfntDirectory& Directory, std::string& Error)
{
    auto Head = Directory.table(sfntTag('h', 'e', 'a', 'd'));
    auto Hhea = Directory.table(sfntTag('h', 'h', 'e', 'a'));
    if (!Head || Head->size() < 54 || !Hhea || Hhea->size() < 36) {
        Error = "head or hhea table missing or cut short";
        return std::nullopt;
    }
    SfntMetrics M;
    M.UnitsPerEm = readU16(*Head, 18);
    if (M.UnitsPerEm < 16 || M.UnitsPerEm > 16384) {
        Error = "unitsPerEm " + std::to_string(M.UnitsPerEm) + " out of range";
        return std::nullopt;
    }
    M.XMin = readI16(*Head, 36);
    M.YMin = readI16(*Head, 38);
    M.XMax = readI16(*Head, 40);
    M.YMax = readI16(*Head, 42);
    M.LowestRecPPEM = readU16(*Head, 46);

    M.Ascender = readI16(*Hhea, 4);
    M.Descender = readI16(*Hhea, 6);
    M.LineGap = readI16(*Hhea, 8);
    M.CaretSlopeRise = readI16(*Hhea, 18);
    M.CaretSlopeRun = readI16(*Hhea, 20);
    M.NumberOfHMetrics = readU16(*Hhea, 34);

    if (auto Maxp = Directory.table(sfntTag('m', 'a', 'x', 'p')))
        M.NumGlyphs = readU16(*Maxp, 4);
    if (auto Os2 = Directory.table(sfntTag('O', 'S', '/', '2')))
        readOs2(*Os2, M);
    if (auto Post = Directory.table(sfntTag('p', 'o', 's', 't'))) {
        M.ItalicAngle = int32_t(readU32(*Post, 4));
        M.UnderlinePosition = readI16(*Post, 8);
        M.UnderlineThickness = readI16(*Post, 10);
        M.IsFixedPitch = readU32(*Post, 12);
    }
    deriveMissingOs2(M);
    return M;
}

uint16_t hmtxAdvance(std::span<const uint8_t> Hmtx, uint16_t NumberOfHMetrics, uint32_t Glyph)
{
    if (NumberOfHMetrics == 0)
        return 0;
    uint32_t Metric = std::min<uint32_t>(Glyph, NumberOfHMetrics - 1u);
    return readU16(Hmtx, size_t(Metric) * 4);
}

} // namespace gdi_private
