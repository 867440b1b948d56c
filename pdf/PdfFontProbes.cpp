//===- PdfFontProbes.cpp - Asking the system which TrueType faces it has -===//
#include "pdf/PdfFontProbes.h"

#include "platform/gdi/Gdi.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace {

struct Face {
    std::string Name;
    uint8_t Style;
};

LOGFONTA fontFor(std::string_view FaceName)
{
    LOGFONTA Font {};
    Font.lfCharSet = DEFAULT_CHARSET;
    const size_t N = std::min<size_t>(FaceName.size(), LF_FACESIZE - 1);
    std::memcpy(Font.lfFaceName, FaceName.data(), N);
    return Font;
}

/// The TrueType faces of the name in the order the system reports them.
std::vector<Face> trueTypeFaces(std::string_view FaceName)
{
    std::vector<Face> Faces;
    HDC Dc = GetDC(0);
    const LOGFONTA Font = fontFor(FaceName);
    EnumFontFamiliesExA(
        Dc, &Font,
        [&](const LOGFONTA* F, const TEXTMETRICA*, uint32_t FontType, LPARAM) {
            if (FontType & TRUETYPE_FONTTYPE)
                Faces.push_back(Face { F->lfFaceName, uint8_t((F->lfWeight >= 600 ? 1 : 0) | (F->lfItalic ? 2 : 0)) });
            return 1;
        },
        0, 0);
    ReleaseDC(0, Dc);
    return Faces;
}

} // namespace

bool IsTrueTypeFont(std::string_view FaceName)
{
    if (FaceName.empty())
        return false;
    uint32_t LastType = 0;
    HDC Dc = GetDC(0);
    const LOGFONTA Font = fontFor(FaceName);
    EnumFontFamiliesExA(
        Dc, &Font,
        [&](const LOGFONTA*, const TEXTMETRICA*, uint32_t FontType, LPARAM) {
            LastType = FontType;
            return 1;
        },
        0, 0);
    ReleaseDC(0, Dc);
    return LastType == TRUETYPE_FONTTYPE;
}

bool FindTrueTypeFace(std::string& FaceName, uint8_t& Style)
{
    const std::vector<Face> Faces = trueTypeFaces(FaceName);
    if (Faces.empty())
        return false;
    const uint8_t Wanted = Style & 3;
    std::vector<uint8_t> Tries { Wanted };
    if (Wanted & 2)
        Tries.push_back(Wanted & 1);
    if (Wanted & 1)
        Tries.push_back(0);
    Tries.push_back(0);
    Tries.push_back(Faces.front().Style);
    for (uint8_t Try : Tries) {
        for (const Face& F : Faces) {
            if (F.Style != Try)
                continue;
            FaceName = F.Name;
            Style = Try;
            return true;
        }
    }
    return false;
}
