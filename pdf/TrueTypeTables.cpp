//===- TrueTypeTables.cpp - Bounds-checked readers of TrueType tables -===//
#include "pdf/TrueTypeTables.h"

#include "pdf/TPDFException.h"

#include <algorithm>
#include <cstring>
#include <memory>

namespace {

[[noreturn]] void badFormat() { throw TPDFException(SIncorrectFontFormat); }

uint32_t tagValue(const char* Tag)
{
    return uint32_t(uint8_t(Tag[0])) << 24 | uint32_t(uint8_t(Tag[1])) << 16 | uint32_t(uint8_t(Tag[2])) << 8
           | uint8_t(Tag[3]);
}

} // namespace

uint16_t TTFWord(std::span<const uint8_t> Data, size_t Offset)
{
    if (Offset > Data.size() || Data.size() - Offset < 2)
        badFormat();
    return uint16_t(Data[Offset] << 8 | Data[Offset + 1]);
}

uint32_t TTFLong(std::span<const uint8_t> Data, size_t Offset)
{
    return uint32_t(TTFWord(Data, Offset)) << 16 | TTFWord(Data, Offset + 2);
}

void TTFPutWord(TTFBytes& Data, uint16_t Value)
{
    Data.push_back(uint8_t(Value >> 8));
    Data.push_back(uint8_t(Value));
}

void TTFPutLong(TTFBytes& Data, uint32_t Value)
{
    TTFPutWord(Data, uint16_t(Value >> 16));
    TTFPutWord(Data, uint16_t(Value));
}

uint32_t TTFTableChecksum(std::span<const uint8_t> Data)
{
    uint32_t Sum = 0;
    for (size_t I = 0; I < Data.size(); I += 4) {
        uint32_t Word = 0;
        for (size_t B = 0; B < 4; ++B)
            Word = Word << 8 | (I + B < Data.size() ? Data[I + B] : 0);
        Sum += Word;
    }
    return Sum;
}

// --- cmap

uint16_t TTFCmap4::GlyphOf(int Segment, uint16_t Code) const
{
    if (Segment < 0 || Segment >= SegCount() || Code < StartCode[Segment] || Code > EndCode[Segment])
        return 0;
    if (IdRangeOffset[Segment] == 0)
        return uint16_t(Code + IdDelta[Segment]);
    // The offset counts from the segment's own idRangeOffset word, hence the "- SegCount".
    const int64_t Index = int64_t(IdRangeOffset[Segment] / 2) + Segment + (Code - StartCode[Segment]) - SegCount();
    if (Index < 0 || Index >= int64_t(GlyphIdArray.size()))
        return 0;
    const uint16_t Glyph = GlyphIdArray[size_t(Index)];
    return Glyph == 0 ? 0 : uint16_t(Glyph + IdDelta[Segment]);
}

uint16_t TTFCmap4::GlyphOf(uint16_t Code) const
{
    for (int I = 0; I < SegCount(); ++I)
        if (EndCode[I] >= Code)
            return GlyphOf(I, Code);
    return 0;
}

TTFCmap4 ReadCmapFormat4(std::span<const uint8_t> Cmap, const char* UnreachableMessage)
{
    const int Records = TTFWord(Cmap, 2);
    std::optional<uint32_t> Offset;
    for (int I = 0; I < Records; ++I) {
        const size_t Record = 4 + size_t(I) * 8;
        const uint16_t Platform = TTFWord(Cmap, Record), Encoding = TTFWord(Cmap, Record + 2);
        if (Platform == 3 && Encoding == 1) {
            Offset = TTFLong(Cmap, Record + 4);
            break;
        }
        if (Platform == 3 && Encoding == 0)
            Offset = TTFLong(Cmap, Record + 4);
    }
    if (!Offset)
        badFormat();
    if (*Offset >= Cmap.size())
        throw TPDFException(UnreachableMessage);
    const std::span<const uint8_t> Sub = Cmap.subspan(*Offset);
    if (TTFWord(Sub, 0) != 4)
        badFormat();
    const size_t Length = std::min<size_t>(TTFWord(Sub, 2), Sub.size());
    TTFCmap4 Map;
    Map.SegCountX2 = TTFWord(Sub, 6) & ~1;
    const size_t SegCount = Map.SegCount();
    auto readArray = [&](size_t At, size_t Count) {
        std::vector<uint16_t> Values(Count);
        for (size_t I = 0; I < Count; ++I)
            Values[I] = TTFWord(Sub, At + 2 * I);
        return Values;
    };
    // endCode at 14, the reserved pad, then startCode, idDelta and idRangeOffset.
    Map.EndCode = readArray(14, SegCount);
    Map.StartCode = readArray(16 + 2 * SegCount, SegCount);
    Map.IdDelta = readArray(16 + 4 * SegCount, SegCount);
    Map.IdRangeOffset = readArray(16 + 6 * SegCount, SegCount);
    // Eight header words (format to rangeShift and the pad) and four arrays precede the glyphs.
    const size_t Used = 16 + 8 * SegCount;
    Map.GlyphIdArray = readArray(Used, Length > Used ? (Length - Used) / 2 : 0);
    return Map;
}

// --- glyf

std::vector<TTFGlyph> SplitGlyphs(std::span<const uint8_t> Loca, bool LongOffsets, std::span<const uint8_t> Glyf,
                                  int NumGlyphs)
{
    auto entry = [&](int N) -> std::optional<size_t> {
        const size_t At = size_t(N) * (LongOffsets ? 4 : 2);
        if (At + (LongOffsets ? 4 : 2) > Loca.size())
            return std::nullopt;
        return LongOffsets ? size_t(TTFLong(Loca, At)) : size_t(TTFWord(Loca, At)) * 2;
    };
    std::vector<TTFGlyph> Glyphs(size_t(std::max(NumGlyphs, 0)));
    for (int N = 0; N < NumGlyphs; ++N) {
        const std::optional<size_t> Start = entry(N), End = entry(N + 1);
        if (!Start || !End || *End < *Start || *End > Glyf.size())
            continue;
        Glyphs[size_t(N)].Data.assign(Glyf.begin() + std::ptrdiff_t(*Start), Glyf.begin() + std::ptrdiff_t(*End));
    }
    return Glyphs;
}

std::vector<size_t> CompositeComponentOffsets(std::span<const uint8_t> Glyph)
{
    std::vector<size_t> Offsets;
    if (Glyph.size() < 10 || (TTFWord(Glyph, 0) & 0x8000) == 0)
        return Offsets;
    size_t At = 10;
    uint16_t Flags = 0;
    do {
        if (At + 4 > Glyph.size())
            break;
        Flags = TTFWord(Glyph, At);
        Offsets.push_back(At + 2);
        At += 4 + ((Flags & 0x0001) ? 4 : 2);
        if (Flags & 0x0008)
            At += 2;
        else if (Flags & 0x0040)
            At += 4;
        else if (Flags & 0x0080)
            At += 8;
    } while (Flags & 0x0020);
    return Offsets;
}

std::vector<uint16_t> CompositeComponents(std::span<const uint8_t> Glyph)
{
    std::vector<uint16_t> Components;
    for (const size_t At : CompositeComponentOffsets(Glyph))
        Components.push_back(TTFWord(Glyph, At));
    return Components;
}

void MarkUsedComponents(std::vector<TTFGlyph>& Glyphs)
{
    // Each glyph enters the work list once, when it is first marked, so a cycle ends.
    std::vector<size_t> Work;
    for (size_t I = 0; I < Glyphs.size(); ++I)
        if (Glyphs[I].Used)
            Work.push_back(I);
    while (!Work.empty()) {
        const size_t Glyph = Work.back();
        Work.pop_back();
        for (const uint16_t Component : CompositeComponents(Glyphs[Glyph].Data))
            if (Component < Glyphs.size() && !Glyphs[Component].Used) {
                Glyphs[Component].Used = true;
                Work.push_back(Component);
            }
    }
}

// --- Whole files

TTFTableSource SfntFileTables(TTFBytes File)
{
    auto Bytes = std::make_shared<const TTFBytes>(std::move(File));
    return [Bytes](const char* Tag) -> std::optional<TTFBytes> {
        const std::span<const uint8_t> Data(*Bytes);
        const int Tables = TTFWord(Data, 4);
        for (int I = 0; I < Tables; ++I) {
            const size_t Record = 12 + size_t(I) * 16;
            if (TTFLong(Data, Record) != tagValue(Tag))
                continue;
            const size_t Offset = TTFLong(Data, Record + 8), Length = TTFLong(Data, Record + 12);
            if (Offset > Data.size() || Data.size() - Offset < Length)
                badFormat();
            return TTFBytes(Data.begin() + std::ptrdiff_t(Offset), Data.begin() + std::ptrdiff_t(Offset + Length));
        }
        return std::nullopt;
    };
}

TTFBytes BuildSfnt(std::vector<std::pair<std::string, TTFBytes>> Tables)
{
    std::sort(Tables.begin(), Tables.end(), [](const auto& A, const auto& B) { return A.first < B.first; });
    const uint16_t Count = uint16_t(Tables.size());
    uint16_t Selector = 0;
    while (Count >> (Selector + 1))
        ++Selector;
    const uint16_t SearchRange = uint16_t(16u << Selector);
    TTFBytes File;
    TTFPutLong(File, 0x00010000);
    TTFPutWord(File, Count);
    TTFPutWord(File, Count ? SearchRange : 0);
    TTFPutWord(File, Selector);
    TTFPutWord(File, Count ? uint16_t(Count * 16 - SearchRange) : 0);
    uint32_t Offset = 12 + 16u * Count;
    for (const auto& [Tag, Data] : Tables) {
        TTFPutLong(File, tagValue(Tag.c_str()));
        TTFPutLong(File, TTFTableChecksum(Data));
        TTFPutLong(File, Offset);
        TTFPutLong(File, uint32_t(Data.size()));
        Offset += (uint32_t(Data.size()) + 3) & ~3u;
    }
    for (const auto& [Tag, Data] : Tables) {
        File.insert(File.end(), Data.begin(), Data.end());
        File.resize((File.size() + 3) & ~size_t(3));
    }
    return File;
}
