//===- TTTFData.cpp - A TrueType font used with Unicode text: glyphs, widths, subset -===//
#include "pdf/TTTFData.h"

#include "pdf/PdfPrimitives.h"
#include "pdf/PdfSelectedFont.h"
#include "pdf/TPDFException.h"

#include "platform/gdi/Gdi.h"
#include "platform/rtl/SysUtils.h"
#include "platform/rtl/TStream.h"

#include <algorithm>
#include <cstring>

namespace {

LOGFONTA fontOf(const std::string& FaceName, int Style)
{
    LOGFONTA Font {};
    Font.lfHeight = -10;
    Font.lfWeight = (Style & 1) ? FW_BOLD : FW_NORMAL;
    Font.lfItalic = (Style & 2) ? 1 : 0;
    Font.lfUnderline = (Style & 4) ? 1 : 0;
    Font.lfStrikeOut = (Style & 8) ? 1 : 0;
    Font.lfCharSet = ANSI_CHARSET;
    std::strncpy(Font.lfFaceName, FaceName.c_str(), sizeof Font.lfFaceName - 1);
    return Font;
}

TTFBytes required(const TTFTableSource& Tables, const char* Tag)
{
    std::optional<TTFBytes> Table = Tables(Tag);
    if (!Table)
        throw TPDFException(SCannotReceiveFontData);
    return std::move(*Table);
}

void writeText(TStream& Stream, const std::string& Text) { Stream.WriteBuffer(Text.data(), int32_t(Text.size())); }

} // namespace

TTFTableSource InstalledFontTables(const std::string& FaceName, int Style)
{
    return [FaceName, Style](const char* Tag) -> std::optional<TTFBytes> {
        const PdfSelectedFont Font(fontOf(FaceName, Style));
        if (!Font.Dc())
            throw TPDFException(SCannotReceiveFontData);
        // The engine takes the tag's letters in reversed byte order.
        const uint32_t Table = uint32_t(uint8_t(Tag[0])) | uint32_t(uint8_t(Tag[1])) << 8
                               | uint32_t(uint8_t(Tag[2])) << 16 | uint32_t(uint8_t(Tag[3])) << 24;
        const uint32_t Size = GetFontData(Font.Dc(), Table, 0, nullptr, 0);
        if (Size == GDI_ERROR)
            return std::nullopt;
        TTFBytes Data(Size);
        if (Size && GetFontData(Font.Dc(), Table, 0, Data.data(), Size) != Size)
            return std::nullopt;
        return Data;
    };
}

bool InstalledFontFixedPitch(const std::string& FaceName, int Style)
{
    const PdfSelectedFont Font(fontOf(FaceName, Style));
    TEXTMETRICA Metrics {};
    if (!Font.Dc() || !GetTextMetrics(Font.Dc(), &Metrics))
        throw TPDFException(SCannotReceiveFontData);
    // The bit's name reads backwards: set means variable pitch.
    return (Metrics.tmPitchAndFamily & TMPF_FIXED_PITCH) == 0;
}

TTTFData::TTTFData(const std::string& FaceName, bool Flag, int Style)
    : TTTFData(InstalledFontTables(FaceName, Style), InstalledFontFixedPitch(FaceName, Style), FaceName, Flag, Style)
{
}

TTTFData::TTTFData(TTFTableSource Tables, bool FixedPitch, const std::string& FaceName, bool Flag, int Style)
    : FTables(std::move(Tables)), FFaceName(FaceName), FFlag(Flag), FStyle(Style), FFixedPitch(FixedPitch)
{
    FCmap = required(FTables, "cmap");
    FHmtx = required(FTables, "hmtx");
    FMaxp = required(FTables, "maxp");
    FHead = required(FTables, "head");
    FHhea = required(FTables, "hhea");
    if (FHead.size() < 54 || FHhea.size() < 36 || FMaxp.size() < 6)
        throw TPDFException(SIncorrectFontFormat);
    FNumGlyphs = TTFWord(FMaxp, 4);
    FUnitsPerEm = TTFWord(FHead, 18);
    if (FUnitsPerEm == 0)
        throw TPDFException(SIncorrectFontFormat);
    // Long metrics that the table does not hold are not there to read.
    FNumberOfHMetrics = std::min<int>(TTFWord(FHhea, 34), int(FHmtx.size() / 4));
    FMap = ReadCmapFormat4(FCmap);

    for (int I = 0; I + 1 < FMap.SegCount() && int(FRecords.size()) < FNumGlyphs; ++I)
        for (uint32_t Code = FMap.StartCode[I]; Code <= FMap.EndCode[I] && int(FRecords.size()) < FNumGlyphs; ++Code) {
            uint16_t Glyph = FMap.GlyphOf(I, uint16_t(Code));
            if (Glyph >= FNumGlyphs)
                Glyph = 0;
            FRecords.push_back({ uint16_t(Code), Glyph, glyphWidth(Glyph), false });
        }
    // Segments out of order would defeat the binary search; the first record of a code stays.
    std::stable_sort(FRecords.begin(), FRecords.end(),
                     [](const TCharRecord& A, const TCharRecord& B) { return A.Code < B.Code; });
    FRecords.erase(std::unique(FRecords.begin(), FRecords.end(),
                               [](const TCharRecord& A, const TCharRecord& B) { return A.Code == B.Code; }),
                   FRecords.end());
}

int16_t TTTFData::glyphWidth(uint16_t Glyph) const
{
    if (FNumberOfHMetrics == 0)
        return 0;
    const int Metric = FFixedPitch ? 0 : std::min<int>(Glyph, FNumberOfHMetrics - 1);
    const uint16_t Advance = TTFWord(FHmtx, size_t(Metric) * 4);
    // A tiny em makes huge widths; they stop at the largest the record holds.
    return int16_t(std::min(Advance / (FUnitsPerEm / 1000.0), 32767.0));
}

const TTTFData::TCharRecord* TTTFData::find(uint16_t Code) const
{
    for (const uint16_t Wanted : { Code, uint16_t(32) }) {
        auto It = std::lower_bound(FRecords.begin(), FRecords.end(), Wanted,
                                   [](const TCharRecord& R, uint16_t C) { return R.Code < C; });
        if (It != FRecords.end() && It->Code == Wanted)
            return &*It;
    }
    return nullptr;
}

int16_t TTTFData::TTFGetCharWidth(uint16_t Code) const
{
    const TCharRecord* Record = find(Code);
    return Record ? Record->Width : 0;
}

uint16_t TTTFData::TTFUseChar(uint16_t Code)
{
    // Without the space either, the code writes the missing glyph and marks nothing.
    TCharRecord* Record = const_cast<TCharRecord*>(find(Code));
    if (!Record)
        return 0;
    Record->Used = true;
    return Record->Glyph;
}

TTFBytes TTTFData::FontSubset()
{
    const bool LongLoca = TTFWord(FHead, 50) != 0;
    const TTFBytes Loca = required(FTables, "loca");
    std::vector<TTFGlyph> Glyphs = SplitGlyphs(Loca, LongLoca, required(FTables, "glyf"), FNumGlyphs);
    // The missing glyph stays, for the readers that draw it.
    if (!Glyphs.empty())
        Glyphs[0].Used = true;
    for (const TCharRecord& Record : FRecords)
        if (Record.Used && Record.Glyph < Glyphs.size())
            Glyphs[Record.Glyph].Used = true;
    MarkUsedComponents(Glyphs);

    TTFBytes Glyf;
    std::vector<uint32_t> Offsets;
    Offsets.reserve(Glyphs.size() + 1);
    for (const TTFGlyph& Glyph : Glyphs) {
        Offsets.push_back(uint32_t(Glyf.size()));
        if (!Glyph.Used)
            continue;
        Glyf.insert(Glyf.end(), Glyph.Data.begin(), Glyph.Data.end());
        // Short offsets count words, so every glyph starts on an even offset.
        if (Glyf.size() % 2)
            Glyf.push_back(0);
    }
    Offsets.push_back(uint32_t(Glyf.size()));
    // Short offsets reach 128 KiB; glyphs that share their bytes in the font can make a larger
    // subset of a font that had short ones.
    const bool LongSubset = LongLoca || Glyf.size() > 0x1FFFE;
    TTFBytes NewLoca;
    for (const uint32_t Offset : Offsets)
        if (LongSubset)
            TTFPutLong(NewLoca, Offset);
        else
            TTFPutWord(NewLoca, uint16_t(Offset / 2));
    TTFBytes Head(FHead.begin(), FHead.begin() + 54);
    Head[50] = 0;
    Head[51] = LongSubset ? 1 : 0;

    std::vector<std::pair<std::string, TTFBytes>> Tables {
        { "hhea", TTFBytes(FHhea.begin(), FHhea.begin() + 36) },
        { "loca", std::move(NewLoca) },
        { "cmap", FCmap },
        { "head", std::move(Head) },
        { "maxp", TTFBytes(FMaxp.begin(), FMaxp.begin() + std::ptrdiff_t(std::min<size_t>(FMaxp.size(), 32))) },
        { "glyf", std::move(Glyf) },
        { "hmtx", FHmtx },
    };
    // Hinting tables are optional: a font without them is embedded without them.
    for (const char* Tag : { "cvt ", "prep", "fpgm" })
        if (std::optional<TTFBytes> Table = FTables(Tag))
            Tables.emplace_back(Tag, std::move(*Table));
    return BuildSfnt(std::move(Tables));
}

void TTTFData::WriteFontSubset(TStream& Stream)
{
    const TTFBytes Font = FontSubset();
    Stream.WriteBuffer(Font.data(), int32_t(Font.size()));
}

void TTTFData::WriteToUnicodeCMap(const std::string& FontName, TStream& Stream) const
{
    std::vector<const TCharRecord*> Used;
    for (const TCharRecord& Record : FRecords)
        if (Record.Used)
            Used.push_back(&Record);
    uint16_t Low = 0xFFFF, High = 0;
    for (const TCharRecord* Record : Used) {
        Low = std::min(Low, Record->Glyph);
        High = std::max(High, Record->Glyph);
    }
    // With nothing used the range still has to run upwards to be a range.
    if (Used.empty())
        Low = 0, High = 0xFFFF;
    std::string Text = "/CIDInit /ProcSet findresource begin 12 dict begin begincmap /CIDSystemInfo << \r"
                       "/Registry ("
                       + FontName
                       + "+0) /Ordering (T42UV) /Supplement 0 >> def\r"
                         "/CMapName /"
                       + FontName
                       + "+0 def\r"
                         "/CMapType 2 def\r"
                         "1 begincodespacerange <"
                       + WordToHex(Low) + "> <" + WordToHex(High) + "> endcodespacerange\r";
    size_t Next = 0;
    do {
        const size_t Count = std::min<size_t>(Used.size() - Next, 100);
        Text += IntToStr(int(Count)) + " beginbfchar\r";
        for (size_t I = Next; I < Next + Count; ++I)
            Text += "<" + WordToHex(Used[I]->Glyph) + "> <" + WordToHex(Used[I]->Code) + ">\r";
        Text += "endbfchar\r";
        Next += Count;
        if (Count < 100)
            break;
    } while (true);
    Text += "endcmap CMapName currentdict /CMap defineresource pop end end";
    writeText(Stream, Text);
}

std::string TTTFData::GetWidthArray() const
{
    std::string Text = "[";
    for (const TCharRecord& Record : FRecords)
        if (Record.Used)
            Text += IntToStr(Record.Glyph) + "[" + IntToStr(Record.Width) + "]";
    return Text + "]";
}
