//===- truetype_font.cpp - Fuzzes the TrueType readers of the PDF writer on whole font files ===//
//
// Fonts are files from outside. The input is a font file; its tables go through the Unicode
// font data (character map, metrics), a few characters are used, and the glyph subset, the
// ToUnicode map and the width array are written; then the renumbered WinAnsi subset is built.
// Refusals with the writer's exception are fine. Both subsets are checked: every glyph they keep
// holds the font's bytes (read back through the subset's own head and loca; in the WinAnsi one a
// composite's components name their new ids), and whenever FreeType loads the font and one of
// its used glyphs, it loads the subsets and that glyph too.
//
#include "pdf/TAnsiFontSubset.h"
#include "pdf/TPDFException.h"
#include "pdf/TTTFData.h"
#include "pdf/TrueTypeTables.h"

#include "platform/rtl/TStream.h"

#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <optional>
#include <set>
#include <vector>

namespace {

// A failed check names what it expected and of which glyph, so that a crash report says what
// differs rather than only "abort".
#define check(Holds, ...) checkThat((Holds), #Holds, __LINE__ __VA_OPT__(, ) __VA_ARGS__)
void checkThat(bool Holds, const char* What, int Line, const char* Subset = "", int Glyph = -1, int Kept = -1)
{
    if (Holds)
        return;
    std::fprintf(stderr, "truetype_font.cpp:%d: check failed: %s", Line, What);
    if (*Subset)
        std::fprintf(stderr, " (%s subset, font glyph %d, subset glyph %d)", Subset, Glyph, Kept);
    std::fprintf(stderr, "\n");
    std::abort();
}

const uint16_t UnicodeChars[] = { 0x20, 0x41, 0xE9, 0x20AC, 0xFFFF };
const std::vector<uint16_t> AnsiChars { 0x20, 0x41, 0x42, 0xC1, 0xE9, 0x20AC, 0xF041 };

// The bytes of glyph G of a font as its own head and loca place them in its glyf; nullopt when
// the tables do not hold a readable entry for it.
std::optional<TTFBytes> GlyphBytes(const TTFTableSource& Tables, uint16_t G)
{
    const std::optional<TTFBytes> Head = Tables("head"), Loca = Tables("loca"), Glyf = Tables("glyf");
    if (!Head || !Loca || !Glyf || Head->size() < 54)
        return std::nullopt;
    const bool Long = TTFWord(*Head, 50) != 0;
    const size_t Entry = Long ? 4 : 2;
    if ((size_t(G) + 2) * Entry > Loca->size())
        return std::nullopt;
    auto offset = [&](size_t I) { return Long ? size_t(TTFLong(*Loca, I * 4)) : size_t(TTFWord(*Loca, I * 2)) * 2; };
    const size_t Start = offset(G), End = offset(size_t(G) + 1);
    if (End < Start || End > Glyf->size())
        return std::nullopt;
    return TTFBytes(Glyf->begin() + std::ptrdiff_t(Start), Glyf->begin() + std::ptrdiff_t(End));
}

// A kept glyph is the font's glyph, followed by at most the one zero byte that evens it out.
bool SameGlyph(const TTFBytes& Kept, const TTFBytes& Font)
{
    const size_t Padded = Font.size() + Font.size() % 2;
    return Kept.size() == Padded && std::equal(Font.begin(), Font.end(), Kept.begin())
           && std::all_of(Kept.begin() + std::ptrdiff_t(Font.size()), Kept.end(), [](uint8_t B) { return B == 0; });
}

// The glyphs that Used names, with the components of composite ones, as the font splits them.
std::set<uint16_t> WithComponents(const std::vector<TTFGlyph>& Glyphs, std::set<uint16_t> Used)
{
    std::vector<uint16_t> Open(Used.begin(), Used.end());
    while (!Open.empty()) {
        const uint16_t G = Open.back();
        Open.pop_back();
        if (G >= Glyphs.size())
            continue;
        for (const uint16_t C : CompositeComponents(Glyphs[G].Data))
            if (C < Glyphs.size() && Used.insert(C).second)
                Open.push_back(C);
    }
    return Used;
}

FT_Library FreeType()
{
    static FT_Library Library = [] {
        FT_Library L = nullptr;
        check(FT_Init_FreeType(&L) == 0);
        return L;
    }();
    return Library;
}

// An open FreeType face over bytes that outlive it.
struct Face {
    FT_Face F = nullptr;
    Face(const TTFBytes& Bytes)
    {
        if (FT_New_Memory_Face(FreeType(), Bytes.data(), FT_Long(Bytes.size()), 0, &F) != 0)
            F = nullptr;
    }
    ~Face()
    {
        if (F)
            FT_Done_Face(F);
    }
    Face(const Face&) = delete;
    Face& operator=(const Face&) = delete;
    bool loads(uint16_t G) const { return F && FT_Load_Glyph(F, G, FT_LOAD_NO_SCALE | FT_LOAD_NO_HINTING) == 0; }
};

// Every used glyph of the Unicode subset keeps its id and the font's bytes.
void CheckUnicodeSubset(const TTFBytes& File, TTTFData& Font, const Face& Original)
{
    const TTFBytes Subset = Font.FontSubset();
    const TTFTableSource Fonts = SfntFileTables(File);
    const TTFTableSource Kept = SfntFileTables(Subset);
    const std::optional<TTFBytes> Head = Fonts("head"), Loca = Fonts("loca"), Glyf = Fonts("glyf"),
                                  Maxp = Fonts("maxp");
    check(Head && Loca && Glyf && Maxp);
    const std::vector<TTFGlyph> Glyphs = SplitGlyphs(*Loca, TTFWord(*Head, 50) != 0, *Glyf, TTFWord(*Maxp, 4));
    std::set<uint16_t> Used { 0 };
    for (const TTTFData::TCharRecord& R : Font.Records())
        if (R.Used && R.Glyph < Glyphs.size())
            Used.insert(R.Glyph);
    Used = WithComponents(Glyphs, Used);
    const Face Sub(Subset);
    if (Original.F)
        check(Sub.F != nullptr);
    for (const uint16_t G : Used) {
        if (G >= Glyphs.size())
            continue;
        const std::optional<TTFBytes> Bytes = GlyphBytes(Kept, G);
        check(Bytes && SameGlyph(*Bytes, Glyphs[G].Data), "Unicode", G, G);
        if (Original.loads(G))
            check(Sub.loads(G), "Unicode", G, G);
    }
}

// The WinAnsi subset keeps the used glyphs with outlines, numbered from 3 in glyph order, with
// the font's bytes except that a composite's components (any negative numberOfContours, as
// FreeType reads it) name their new ids, or 0 for a component not kept.
void CheckAnsiSubset(const TTFBytes& File, const TTFBytes& Subset, const Face& Original)
{
    const TTFTableSource Fonts = SfntFileTables(File);
    const std::optional<TTFBytes> Head = Fonts("head"), Loca = Fonts("loca"), Glyf = Fonts("glyf"),
                                  Maxp = Fonts("maxp"), Cmap = Fonts("cmap");
    check(Head && Loca && Glyf && Maxp && Cmap);
    const int NumGlyphs = TTFWord(*Maxp, 4);
    const std::vector<TTFGlyph> Glyphs = SplitGlyphs(*Loca, TTFWord(*Head, 50) != 0, *Glyf, NumGlyphs);
    const TTFCmap4 Map = ReadCmapFormat4(*Cmap);
    std::set<uint16_t> Used;
    for (const uint16_t Code : AnsiChars) {
        const uint16_t G = Map.GlyphOf(Code);
        if (Code > 32 && G != 0 && G < NumGlyphs)
            Used.insert(G);
    }
    Used = WithComponents(Glyphs, Used);
    const TTFTableSource Kept = SfntFileTables(Subset);
    const Face Sub(Subset);
    if (Original.F)
        check(Sub.F != nullptr);
    std::map<uint16_t, uint16_t> NewId;
    for (const uint16_t G : Used)
        if (G < Glyphs.size() && !Glyphs[G].Data.empty())
            NewId[G] = uint16_t(3 + NewId.size());
    for (const auto& [G, New] : NewId) {
        TTFBytes Expected = Glyphs[G].Data;
        for (const size_t At : CompositeComponentOffsets(Expected)) {
            const auto It = NewId.find(TTFWord(Expected, At));
            const uint16_t Id = It == NewId.end() ? 0 : It->second;
            Expected[At] = uint8_t(Id >> 8);
            Expected[At + 1] = uint8_t(Id);
        }
        const std::optional<TTFBytes> Bytes = GlyphBytes(Kept, New);
        check(Bytes && SameGlyph(*Bytes, Expected), "WinAnsi", G, New);
        if (Original.loads(G))
            check(Sub.loads(New), "WinAnsi", G, New);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size)
{
    const TTFBytes File(Data, Data + Size);
    const Face Original(File);
    try {
        TTTFData Font(SfntFileTables(File), Size % 2 == 1);
        for (const uint16_t Code : UnicodeChars)
            Font.TTFGetCharWidth(Code), Font.TTFUseChar(Code);
        TMemoryStream Out;
        Font.WriteToUnicodeCMap("F1", Out);
        Font.GetWidthArray();
        Font.WriteFontSubset(Out);
        CheckUnicodeSubset(File, Font, Original);
    } catch (const Exception&) {
    }
    try {
        const TTFBytes Subset = AnsiFontSubset(SfntFileTables(File), Size % 2 == 1, AnsiChars);
        CheckAnsiSubset(File, Subset, Original);
    } catch (const Exception&) {
    }
    return 0;
}
