//===- font_enumeration_test.cpp - Listing faces by name, and wide font requests -===//
#include "FontTestSupport.h"

#include "platform/gdi/Gdi.h"

#include <string>
#include <vector>

using fonttest::Font;
using fonttest::FtView;

namespace {

struct Reported {
    std::string Face, FullName, Style, Script;
    uint8_t CharSet;
    int32_t Weight;
    bool Italic;
    uint32_t Type, Flags, SizeEm, CodePages;
};

/// Every entry the enumeration reports for the request, and its answer.
std::vector<Reported> enumerate(const LOGFONTA& Request, int* Answer = nullptr)
{
    std::vector<Reported> seen;
    int answer = EnumFontFamiliesExA(
        GetDC(0), &Request,
        [&](const LOGFONTA* F, const TEXTMETRICA* M, uint32_t Type, LPARAM Param) {
            auto& font = *reinterpret_cast<const ENUMLOGFONTEXA*>(F);
            auto& metrics = *reinterpret_cast<const NEWTEXTMETRICEXA*>(M);
            EXPECT_EQ(Param, 42);
            seen.push_back({ font.elfLogFont.lfFaceName, font.elfFullName, font.elfStyle, font.elfScript, F->lfCharSet,
                             F->lfWeight, F->lfItalic != 0, Type, metrics.ntmTm.ntmFlags, metrics.ntmTm.ntmSizeEM,
                             metrics.ntmFontSig.fsCsb[0] });
            return 1;
        },
        42, 0);
    if (Answer)
        *Answer = answer;
    return seen;
}

LOGFONTA request(const char* Face, uint8_t CharSet)
{
    LOGFONTA font = Font(Face, 0);
    font.lfCharSet = CharSet;
    return font;
}

TEST(FontEnumeration, EachTrueTypeStyleComesOncePerCharacterSetOfTheFile)
{
    auto realized = RealizedFont::Realize(Font("Arial", -12));
    FtView file(realized->FilePath());
    const uint32_t codePages = uint32_t(file.os2().ulCodePageRange1);
    const int westernAndCyrillic = 1 << 0 | 1 << 2;
    ASSERT_EQ(codePages & westernAndCyrillic, westernAndCyrillic) << "Liberation Sans covers both";

    std::vector<Reported> seen = enumerate(request("arial", DEFAULT_CHARSET));
    const struct {
        const char* Style;
        const char* FullName;
        int32_t Weight;
        bool Italic;
        uint32_t Flags;
    } styles[] = {
        { "Regular", "Arial", 400, false, NTM_REGULAR },
        { "Italic", "Arial Italic", 400, true, NTM_ITALIC },
        { "Bold", "Arial Bold", 700, false, NTM_BOLD },
        { "Bold Italic", "Arial Bold Italic", 700, true, NTM_BOLD | NTM_ITALIC },
    };
    const size_t perStyle = size_t(__builtin_popcount(codePages & 0xA03F01FFu)); // the bits with character sets
    ASSERT_EQ(seen.size(), 4 * perStyle);
    for (size_t i = 0; i < seen.size(); ++i) {
        const auto& style = styles[i / perStyle];
        const Reported& r = seen[i];
        EXPECT_EQ(r.Face, "Arial") << "the original's spelling, whatever was asked";
        EXPECT_EQ(r.Style, style.Style);
        EXPECT_EQ(r.FullName, style.FullName);
        EXPECT_EQ(r.Weight, style.Weight);
        EXPECT_EQ(r.Italic, style.Italic);
        EXPECT_EQ(r.Flags, style.Flags);
        EXPECT_EQ(r.Type, TRUETYPE_FONTTYPE);
        EXPECT_EQ(r.SizeEm, file.unitsPerEm());
        EXPECT_EQ(r.CodePages, codePages);
    }
    EXPECT_EQ(seen[0].CharSet, ANSI_CHARSET);
    EXPECT_EQ(seen[0].Script, "Western");
}

TEST(FontEnumeration, ACharacterSetOrANameSelectsWhatIsReported)
{
    const struct {
        const char* Face;
        uint8_t CharSet;
        size_t Count;
        uint32_t Type;
        const char* Script;
    } rows[] = {
        { "Times New Roman", RUSSIAN_CHARSET, 4, TRUETYPE_FONTTYPE, "Cyrillic" },
        { "Courier New", SHIFTJIS_CHARSET, 0, 0, nullptr }, // no Japanese in the file
        { "MS Sans Serif", DEFAULT_CHARSET, 1, RASTER_FONTTYPE, "Western" },
        { "Courier", ANSI_CHARSET, 1, RASTER_FONTTYPE, "Western" },
        { "No Such Face", DEFAULT_CHARSET, 0, 0, nullptr },
    };
    for (const auto& row : rows) {
        int answer = -1;
        std::vector<Reported> seen = enumerate(request(row.Face, row.CharSet), &answer);
        ASSERT_EQ(seen.size(), row.Count) << row.Face;
        EXPECT_EQ(answer, 1) << row.Face;
        for (const Reported& r : seen) {
            EXPECT_EQ(r.Type, row.Type) << row.Face;
            EXPECT_EQ(r.Script, row.Script) << row.Face;
        }
    }
}

TEST(FontEnumeration, AnEmptyNameListsEveryKnownFaceInItsRegularStyle)
{
    std::vector<Reported> seen = enumerate(request("", ANSI_CHARSET));
    std::vector<std::string> faces;
    for (const Reported& r : seen) {
        EXPECT_EQ(r.Style, "Regular") << r.Face;
        faces.push_back(r.Face);
    }
    for (const char* face : { "Arial", "Times New Roman", "Courier New", "MS Sans Serif" })
        EXPECT_EQ(std::count(faces.begin(), faces.end(), face), 1) << face;
}

TEST(FontEnumeration, TheCallbacksAnswerEndsOrCarriesThrough)
{
    LOGFONTA arial = request("Arial", DEFAULT_CHARSET);
    int calls = 0;
    EXPECT_EQ(EnumFontFamiliesEx(
                  0, &arial,
                  [&](const LOGFONTA*, const TEXTMETRICA*, uint32_t, LPARAM) { return ++calls == 2 ? 0 : 7; }, 0, 0),
              0);
    EXPECT_EQ(calls, 2) << "0 stops at once";
    EXPECT_EQ(EnumFontFamiliesEx(
                  0, &arial, [](const LOGFONTA*, const TEXTMETRICA*, uint32_t, LPARAM) { return 7; }, 0, 0),
              7);
    EXPECT_EQ(EnumFontFamiliesEx(
                  0, &arial, [](const LOGFONTA*, const TEXTMETRICA*, uint32_t, LPARAM) { return 7; }, 0, 1),
              0)
        << "flags must be 0";
    EXPECT_EQ(EnumFontFamiliesEx(
                  0, nullptr, [](const LOGFONTA*, const TEXTMETRICA*, uint32_t, LPARAM) { return 7; }, 0, 0),
              0);
}

TEST(FontEnumeration, AWideFontRequestKeepsItsFieldsAndTakesItsNameIn1252)
{
    LOGFONTW wide;
    wide.lfHeight = -17;
    wide.lfWeight = FW_BOLD;
    wide.lfItalic = 1;
    wide.lfCharSet = GREEK_CHARSET;
    wide.lfOutPrecision = OUT_TT_ONLY_PRECIS;
    std::u16string name = u"Stra\u00DFe \u65E5"; // the last character has no 1252 byte
    std::copy(name.begin(), name.end(), wide.lfFaceName);
    HFONT font = CreateFontIndirectW(wide);
    ASSERT_NE(font, nullptr);
    LOGFONTA narrow;
    ASSERT_EQ(GetObject(font, sizeof narrow, &narrow), int(sizeof narrow));
    EXPECT_EQ(std::string(narrow.lfFaceName), "Stra\xDF"
                                              "e ?");
    EXPECT_EQ(narrow.lfHeight, -17);
    EXPECT_EQ(narrow.lfWeight, FW_BOLD);
    EXPECT_EQ(narrow.lfItalic, 1);
    EXPECT_EQ(narrow.lfCharSet, GREEK_CHARSET);
    EXPECT_EQ(narrow.lfOutPrecision, OUT_TT_ONLY_PRECIS);
    DeleteObject(font);
}

} // namespace
