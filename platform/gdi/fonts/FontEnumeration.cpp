//===- FontEnumeration.cpp - Listing installed faces, and wide font requests ===//
#include "platform/gdi/Gdi.h"

#include "platform/gdi/fonts/FontAliases_p.h"
#include "platform/gdi/fonts/FontEngine.h"

#include "platform/kernel/CodePages.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

namespace {

/// The character sets of the OS/2 code-page range bits, with the script names the original
/// reports for them, in the order it lists them.
struct Script {
    int Bit;
    uint8_t CharSet;
    const char* Name;
};
constexpr Script Scripts[] = {
    { 0, ANSI_CHARSET, "Western" },
    { 5, HEBREW_CHARSET, "Hebrew" },
    { 6, ARABIC_CHARSET, "Arabic" },
    { 3, GREEK_CHARSET, "Greek" },
    { 4, TURKISH_CHARSET, "Turkish" },
    { 7, BALTIC_CHARSET, "Baltic" },
    { 1, EASTEUROPE_CHARSET, "Central European" },
    { 2, RUSSIAN_CHARSET, "Cyrillic" },
    { 8, VIETNAMESE_CHARSET, "Vietnamese" },
    { 16, THAI_CHARSET, "Thai" },
    { 17, SHIFTJIS_CHARSET, "Japanese" },
    { 18, GB2312_CHARSET, "CHINESE_GB2312" },
    { 19, HANGUL_CHARSET, "Hangul" },
    { 20, CHINESEBIG5_CHARSET, "CHINESE_BIG5" },
    { 21, JOHAB_CHARSET, "Johab" },
    { 29, MAC_CHARSET, "Mac" },
    { 31, SYMBOL_CHARSET, "Symbol" },
};

constexpr uint32_t Os2Tag = 0x322F534F; // 'OS/2' in GetFontData's byte order

/// The OS/2 values the enumeration reports, read big-endian from the table.
struct Os2Values {
    FONTSIGNATURE Signature;
    uint32_t AvgWidth = 0, CellHeight = 0;
};

uint32_t bigEndian(const std::vector<uint8_t>& Table, size_t Offset, size_t Bytes)
{
    uint32_t value = 0;
    for (size_t i = 0; i < Bytes; ++i)
        value = value << 8 | Table[Offset + i];
    return value;
}

Os2Values readOs2(const RealizedFont& Font)
{
    Os2Values values;
    uint32_t size = Font.GetFontData(Os2Tag, 0, nullptr, 0);
    if (size == GDI_ERROR || size < 78)
        return values; // no table, or too short to say: Western only, below
    std::vector<uint8_t> table(size);
    if (Font.GetFontData(Os2Tag, 0, table.data(), size) != size)
        return values;
    values.AvgWidth = uint32_t(int16_t(bigEndian(table, 2, 2)) < 0 ? 0 : bigEndian(table, 2, 2));
    for (int i = 0; i < 4; ++i)
        values.Signature.fsUsb[i] = bigEndian(table, 42 + 4 * size_t(i), 4);
    values.CellHeight = bigEndian(table, 74, 2) + bigEndian(table, 76, 2);
    if (size >= 86) { // version 1 and later carry the code-page ranges
        values.Signature.fsCsb[0] = bigEndian(table, 78, 4);
        values.Signature.fsCsb[1] = bigEndian(table, 82, 4);
    }
    return values;
}

std::string styleName(int32_t Weight, bool Italic)
{
    static const char* const Weights[] = { "Thin",     "ExtraLight", "Light",     "Regular", "Medium",
                                           "SemiBold", "Bold",       "ExtraBold", "Black" };
    std::string name = Weights[std::clamp((Weight + 50) / 100, 1, 9) - 1];
    if (Italic)
        name = name == "Regular" ? "Italic" : name + " Italic";
    return name;
}

void copyName(char* Field, size_t Size, const std::string& Name)
{
    std::memset(Field, 0, Size);
    std::memcpy(Field, Name.data(), std::min(Name.size(), Size - 1));
}

/// One reported face, complete but for its character set.
struct FaceEntry {
    ENUMLOGFONTEXA Font;
    NEWTEXTMETRICEXA Metrics;
    uint32_t Type = 0;
    uint32_t CodePages = 0; // fsCsb[0]; 1 (Western) when the face does not say
};

FaceEntry describeFace(const std::string& FaceName, int32_t Weight, bool Italic, bool TrueType)
{
    LOGFONTA request;
    request.lfWeight = Weight;
    request.lfItalic = Italic;
    copyName(request.lfFaceName, LF_FACESIZE, FaceName);
    auto realized = RealizedFont::Realize(request); // height 0: a 16-pixel cell
    const TEXTMETRICA& tm = realized->TextMetrics();

    FaceEntry entry;
    LOGFONTA& font = entry.Font.elfLogFont;
    font = request;
    font.lfHeight = tm.tmHeight;
    font.lfWidth = tm.tmAveCharWidth;
    font.lfOutPrecision = TrueType ? OUT_STROKE_PRECIS : OUT_STRING_PRECIS;
    font.lfClipPrecision = CLIP_STROKE_PRECIS;
    font.lfQuality = TrueType ? DRAFT_QUALITY : PROOF_QUALITY;
    font.lfPitchAndFamily =
        uint8_t((tm.tmPitchAndFamily & 0xF0) | (tm.tmPitchAndFamily & TMPF_FIXED_PITCH ? VARIABLE_PITCH : FIXED_PITCH));
    std::string style = styleName(Weight, Italic);
    copyName(entry.Font.elfStyle, LF_FACESIZE, style);
    copyName(entry.Font.elfFullName, LF_FULLFACESIZE, style == "Regular" ? FaceName : FaceName + " " + style);

    NEWTEXTMETRICA& ntm = entry.Metrics.ntmTm;
    static_cast<TEXTMETRICA&>(ntm) = tm;
    if (!TrueType)
        ntm.tmPitchAndFamily &= uint8_t(~TMPF_TRUETYPE);
    ntm.ntmFlags = (Italic ? NTM_ITALIC : 0) | (Weight >= 600 ? NTM_BOLD : 0);
    if (!ntm.ntmFlags)
        ntm.ntmFlags = NTM_REGULAR;
    entry.Type = TrueType ? TRUETYPE_FONTTYPE : RASTER_FONTTYPE;
    entry.CodePages = 1;
    if (TrueType) {
        OUTLINETEXTMETRICA outline;
        if (realized->OutlineTextMetrics(outline))
            ntm.ntmSizeEM = outline.otmEMSquare;
        Os2Values os2 = readOs2(*realized);
        ntm.ntmCellHeight = os2.CellHeight;
        ntm.ntmAvgWidth = os2.AvgWidth;
        entry.Metrics.ntmFontSig = os2.Signature;
        if (os2.Signature.fsCsb[0])
            entry.CodePages = os2.Signature.fsCsb[0];
    }
    return entry;
}

/// The styles to report under a name: the installed TrueType styles, or the one entry of a
/// face the original had only as a bitmap or printer font.
std::vector<FaceEntry> describeFaces(const std::string& FaceName, bool RegularOnly)
{
    std::vector<FaceEntry> entries;
    const gdi_private::FaceAlias* alias = gdi_private::findFaceAlias(FaceName);
    if (alias && !alias->TrueType) {
        entries.push_back(describeFace(std::string(alias->Name), FW_NORMAL, false, false));
        return entries;
    }
    for (const FontFaceStyle& style : RealizedFont::EnumTrueTypeFaces(FaceName)) {
        if (RegularOnly && (style.Italic || style.Weight != FW_NORMAL))
            continue;
        entries.push_back(describeFace(style.FaceName, style.Weight, style.Italic, true));
    }
    return entries;
}

} // namespace

int EnumFontFamiliesEx(HDC, const LOGFONTA* Font, FONTENUMPROCA Proc, LPARAM Param, uint32_t Flags)
{
    if (!Font || !Proc || Flags != 0)
        return 0;
    std::string faceName(Font->lfFaceName, strnlen(Font->lfFaceName, LF_FACESIZE));
    std::vector<FaceEntry> faces;
    if (faceName.empty()) {
        for (const gdi_private::FaceAlias& alias : gdi_private::faceAliases()) {
            std::vector<FaceEntry> named = describeFaces(std::string(alias.Name), true);
            faces.insert(faces.end(), named.begin(), named.end());
        }
    } else {
        faces = describeFaces(faceName, false);
    }
    int answer = 1;
    for (FaceEntry& face : faces)
        for (const Script& script : Scripts) {
            if (!(face.CodePages & (1u << script.Bit)))
                continue;
            if (Font->lfCharSet != DEFAULT_CHARSET && Font->lfCharSet != script.CharSet)
                continue;
            face.Font.elfLogFont.lfCharSet = script.CharSet;
            face.Metrics.ntmTm.tmCharSet = script.CharSet;
            copyName(face.Font.elfScript, LF_FACESIZE, script.Name);
            answer = Proc(&face.Font.elfLogFont, &face.Metrics.ntmTm, face.Type, Param);
            if (answer == 0)
                return 0;
        }
    return answer;
}

HFONT CreateFontIndirectW(const LOGFONTW& Font)
{
    LOGFONTA narrow;
    narrow.lfHeight = Font.lfHeight;
    narrow.lfWidth = Font.lfWidth;
    narrow.lfEscapement = Font.lfEscapement;
    narrow.lfOrientation = Font.lfOrientation;
    narrow.lfWeight = Font.lfWeight;
    narrow.lfItalic = Font.lfItalic;
    narrow.lfUnderline = Font.lfUnderline;
    narrow.lfStrikeOut = Font.lfStrikeOut;
    narrow.lfCharSet = Font.lfCharSet;
    narrow.lfOutPrecision = Font.lfOutPrecision;
    narrow.lfClipPrecision = Font.lfClipPrecision;
    narrow.lfQuality = Font.lfQuality;
    narrow.lfPitchAndFamily = Font.lfPitchAndFamily;
    int length = 0;
    while (length < LF_FACESIZE && Font.lfFaceName[length])
        ++length;
    if (length > 0) {
        char name[2 * LF_FACESIZE] = {};
        int bytes = WideCharToMultiByte(1252, 0, Font.lfFaceName, length, name, sizeof name, nullptr, nullptr);
        std::memcpy(narrow.lfFaceName, name, size_t(std::clamp(bytes, 0, LF_FACESIZE - 1)));
    }
    return CreateFontIndirect(narrow);
}
