//===- TAnsiFontSubset.cpp - The embedded program of a TrueType font used with WinAnsi text -===//
#include "pdf/TAnsiFontSubset.h"

#include "pdf/PdfPrimitives.h"
#include "pdf/TPDFException.h"
#include "pdf/TTTFData.h"

#include "platform/rtl/TStream.h"

#include <algorithm>
#include <map>

namespace {

TTFBytes required(const TTFTableSource& Tables, const char* Tag)
{
    std::optional<TTFBytes> Table = Tables(Tag);
    if (!Table)
        throw TPDFException(SCannotReceiveFontData);
    return std::move(*Table);
}

void setWord(TTFBytes& Data, size_t At, uint16_t Value)
{
    Data.at(At) = uint8_t(Value >> 8);
    Data.at(At + 1) = uint8_t(Value);
}

struct TKeptChar {
    uint8_t WinAnsi = 0;
    uint16_t CodePoint = 0;
    uint16_t NewId = 0;
};

TTFBytes buildCmap(const std::vector<TKeptChar>& Chars)
{
    TTFBytes Cmap;
    for (uint16_t W : std::initializer_list<uint16_t> { 0, 2, 1, 0, 0, 20, 3, 1, 0, 282 })
        TTFPutWord(Cmap, W);
    for (uint16_t W : std::initializer_list<uint16_t> { 0, 262, 0 })
        TTFPutWord(Cmap, W);
    uint8_t Bytes[256] = {};
    for (const TKeptChar& C : Chars)
        if (C.WinAnsi > 32 && C.NewId < 256)
            Bytes[C.WinAnsi] = uint8_t(C.NewId);
    Cmap.insert(Cmap.end(), Bytes, Bytes + 256);

    // Segments: a code point joins the open one only when its new id follows as well, since a
    // segment maps through one delta.
    struct Segment {
        uint16_t Start, End, Delta;
    };
    std::vector<Segment> Segments { { 32, 32, uint16_t(2 - 32) } };
    uint16_t LastId = 2;
    for (const TKeptChar& C : Chars) {
        if (C.CodePoint <= 32)
            continue;
        Segment& Open = Segments.back();
        if (C.CodePoint == Open.End + 1 && C.NewId == LastId + 1)
            Open.End = C.CodePoint;
        else
            Segments.push_back({ C.CodePoint, C.CodePoint, uint16_t(C.NewId - C.CodePoint) });
        LastId = C.NewId;
    }
    Segments.push_back({ 0xFFFF, 0xFFFF, 1 });
    const uint16_t SegCount = uint16_t(Segments.size());
    uint16_t Selector = 0;
    while (SegCount >> (Selector + 1))
        ++Selector;
    const uint16_t SearchRange = uint16_t(2u << Selector);
    TTFBytes Sub;
    TTFPutWord(Sub, 4);
    TTFPutWord(Sub, 0);
    TTFPutWord(Sub, 0);
    TTFPutWord(Sub, uint16_t(SegCount * 2));
    TTFPutWord(Sub, SearchRange);
    TTFPutWord(Sub, Selector);
    TTFPutWord(Sub, uint16_t(SegCount * 2 - SearchRange));
    for (const Segment& S : Segments)
        TTFPutWord(Sub, S.End);
    TTFPutWord(Sub, 0);
    for (const Segment& S : Segments)
        TTFPutWord(Sub, S.Start);
    for (const Segment& S : Segments)
        TTFPutWord(Sub, S.Delta);
    for (size_t I = 0; I < Segments.size(); ++I)
        TTFPutWord(Sub, 0);
    TTFPutWord(Sub, 2);
    for (size_t I = 0; I < Chars.size(); ++I)
        TTFPutWord(Sub, uint16_t(3 + I));
    setWord(Sub, 2, uint16_t(Sub.size()));
    Cmap.insert(Cmap.end(), Sub.begin(), Sub.end());
    return Cmap;
}

TTFBytes nameTable()
{
    const char* const Mac[] = { "Arial", "Regular", "Arial", "ArialMT" };
    const uint16_t Ids[] = { 1, 2, 4, 6 };
    TTFBytes Strings, Records;
    auto record = [&](uint16_t Platform, uint16_t Encoding, uint16_t Language, uint16_t Id, const TTFBytes& Text) {
        for (uint16_t W : { Platform, Encoding, Language, Id, uint16_t(Text.size()), uint16_t(Strings.size()) })
            TTFPutWord(Records, W);
        Strings.insert(Strings.end(), Text.begin(), Text.end());
    };
    auto bytes = [](std::string_view Text) { return TTFBytes(Text.begin(), Text.end()); };
    auto utf16 = [](std::string_view Text) {
        TTFBytes B;
        for (char C : Text)
            TTFPutWord(B, uint8_t(C));
        return B;
    };
    const std::string Unique = "Vellorin: Arial";
    for (int I = 0; I < 4; ++I)
        record(1, 0, 0, Ids[I], bytes(Mac[I]));
    TTFBytes UniqueMac = bytes(Unique);
    UniqueMac.resize(31);
    record(1, 0, 0, 3, UniqueMac);
    for (int I = 0; I < 4; ++I)
        record(3, 1, 1033, Ids[I], utf16(Mac[I]));
    record(3, 1, 1033, 3, utf16(Unique));
    TTFBytes Name;
    TTFPutWord(Name, 0);
    TTFPutWord(Name, 10);
    TTFPutWord(Name, 126);
    Name.insert(Name.end(), Records.begin(), Records.end());
    Name.insert(Name.end(), Strings.begin(), Strings.end());
    Name.push_back(0);
    return Name;
}

TTFBytes postTable()
{
    // Version 2.0 naming four glyphs: glyph 2, the space's empty glyph, by the one name of its
    // own ("afii10065"), glyph 3 by the standard name 68; the rest stay unnamed.
    TTFBytes Post;
    TTFPutLong(Post, 0x00020000);
    TTFPutLong(Post, 0);
    TTFPutWord(Post, uint16_t(-217));
    TTFPutWord(Post, 150);
    for (int I = 0; I < 5; ++I)
        TTFPutLong(Post, 0);
    TTFPutWord(Post, 4);
    for (uint16_t Index : { 0, 0, 258, 68 })
        TTFPutWord(Post, Index);
    const std::string Name = "afii10065";
    Post.push_back(uint8_t(Name.size()));
    Post.insert(Post.end(), Name.begin(), Name.end());
    return Post;
}

} // namespace

TTFBytes AnsiFontSubset(const TTFTableSource& Tables, bool FixedPitch, const std::vector<uint16_t>& CodePoints)
{
    const TTFCmap4 Map = ReadCmapFormat4(required(Tables, "cmap"), SOffsetError);
    TTFBytes Head = required(Tables, "head"), Hhea = required(Tables, "hhea"), Maxp = required(Tables, "maxp");
    const TTFBytes Hmtx = required(Tables, "hmtx");
    if (Head.size() < 54 || Hhea.size() < 36 || Maxp.size() < 6)
        throw TPDFException(SIncorrectFontFormat);
    Head.resize(54);
    Hhea.resize(36);
    Maxp.resize(std::min<size_t>(Maxp.size(), 32));
    const int NumGlyphs = TTFWord(Maxp, 4);
    std::vector<TTFGlyph> Glyphs =
        SplitGlyphs(required(Tables, "loca"), TTFWord(Head, 50) != 0, required(Tables, "glyf"), NumGlyphs);

    // Each requested code point gets its own map entry, even when it shares a glyph with another.
    std::vector<std::pair<uint16_t, uint16_t>> Wanted; // code point, glyph
    for (const uint16_t Code : CodePoints) {
        const uint16_t Glyph = Map.GlyphOf(Code);
        if (Code > 32 && Glyph != 0 && Glyph < NumGlyphs && (Wanted.empty() || Wanted.back().first != Code)) {
            Glyphs[Glyph].Used = true;
            Wanted.emplace_back(Code, Glyph);
        }
    }
    MarkUsedComponents(Glyphs);

    std::map<uint16_t, uint16_t> NewId;
    TTFBytes Glyf, Loca(8, 0), Metrics(8, 0);
    const int LongMetrics = std::min<int>(TTFWord(Hhea, 34), int(Hmtx.size() / 4));
    auto metric = [&](int Glyph, bool Fixed) {
        if (LongMetrics == 0)
            return TTFBytes(4, 0);
        const size_t Own = size_t(std::min(Glyph, LongMetrics - 1)) * 4;
        TTFBytes M(Hmtx.begin() + std::ptrdiff_t(Own), Hmtx.begin() + std::ptrdiff_t(Own) + 4);
        if (Fixed)
            std::copy(Hmtx.begin(), Hmtx.begin() + 2, M.begin());
        return M;
    };
    const TTFBytes First = metric(1, false);
    Metrics.insert(Metrics.end(), First.begin(), First.end());
    for (size_t G = 0; G < Glyphs.size(); ++G)
        if (Glyphs[G].Used && !Glyphs[G].Data.empty())
            NewId[uint16_t(G)] = uint16_t(3 + NewId.size());
    for (const auto& [Old, New] : NewId) {
        TTFBytes Data = Glyphs[Old].Data;
        // Components point at their new ids.
        for (const size_t At : CompositeComponentOffsets(Data)) {
            const auto It = NewId.find(TTFWord(Data, At));
            setWord(Data, At, It == NewId.end() ? 0 : It->second);
        }
        Glyf.insert(Glyf.end(), Data.begin(), Data.end());
        if (Glyf.size() % 2)
            Glyf.push_back(0);
        TTFPutWord(Loca, uint16_t(Glyf.size() / 2));
        const TTFBytes M = metric(Old, FixedPitch);
        Metrics.insert(Metrics.end(), M.begin(), M.end());
    }
    // Short offsets reach 128 KiB; a larger subset takes long ones.
    if (Glyf.size() > 0x1FFFE) {
        Loca.clear();
        uint32_t Total = 0;
        for (int I = 0; I < 4; ++I)
            TTFPutLong(Loca, 0);
        for (const auto& [Old, New] : NewId) {
            Total += uint32_t((Glyphs[Old].Data.size() + 1) & ~size_t(1));
            TTFPutLong(Loca, Total);
        }
    }
    setWord(Head, 50, Glyf.size() > 0x1FFFE ? 1 : 0);
    const uint16_t Count = uint16_t(NewId.size() + 3);
    setWord(Hhea, 34, Count);
    setWord(Maxp, 4, Count);

    std::vector<TKeptChar> Chars;
    for (const auto& [Code, Glyph] : Wanted) {
        const auto It = NewId.find(Glyph);
        if (It == NewId.end())
            continue;
        // A symbol font's code point U+F0xx stands for its byte xx.
        if ((Code & 0xFF00) == 0xF000) {
            Chars.push_back({ uint8_t(Code), Code, It->second });
            continue;
        }
        const uint8_t WinAnsi = UnicodeToWinAnsi(Code);
        Chars.push_back({ WinAnsi, WinAnsi ? WinAnsiToUnicode(WinAnsi) : Code, It->second });
    }
    std::vector<std::pair<std::string, TTFBytes>> Out {
        { "cmap", buildCmap(Chars) }, { "glyf", std::move(Glyf) },    { "head", std::move(Head) },
        { "hhea", std::move(Hhea) },  { "hmtx", std::move(Metrics) }, { "loca", std::move(Loca) },
        { "maxp", std::move(Maxp) },  { "name", nameTable() },        { "post", postTable() },
    };
    for (const char* Tag : { "cvt ", "fpgm", "prep" })
        if (std::optional<TTFBytes> Table = Tables(Tag))
            Out.emplace_back(Tag, std::move(*Table));
    return BuildSfnt(std::move(Out));
}

void MakeAnsiFontSubset(const std::string& FaceName, int Style, TStream& Stream, int Count, const uint16_t* CodePoints)
{
    if (Count <= 0)
        return;
    const TTFBytes Font = AnsiFontSubset(InstalledFontTables(FaceName, Style), InstalledFontFixedPitch(FaceName, Style),
                                         std::vector<uint16_t>(CodePoints, CodePoints + Count));
    Stream.WriteBuffer(Font.data(), int32_t(Font.size()));
}
