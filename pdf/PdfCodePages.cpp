//===- PdfCodePages.cpp - Font character sets, their code pages and UTF-16 hex text -===//
#include "pdf/PdfCodePages.h"

#include "pdf/PdfPrimitives.h"

#include "platform/gdi/Gdi.h"
#include "platform/kernel/CodePages.h"

#include <vector>

uint8_t SystemDefaultCharset()
{
    LOGFONTA Font {};
    if (GetObject(GetStockObject(DEFAULT_GUI_FONT), sizeof Font, &Font) != sizeof Font)
        return ANSI_CHARSET;
    return Font.lfCharSet;
}

uint32_t CharSetToCodePage(uint8_t Charset)
{
    if (Charset == DEFAULT_CHARSET)
        Charset = SystemDefaultCharset();
    switch (Charset) {
    case 77: return 10000;
    case 128: return 932;
    case 129: return 949;
    case 130: return 1361;
    case 134: return 936;
    case 136: return 950;
    case 161: return 1253;
    case 162: return 1254;
    case 163: return 1258;
    case 177: return 1255;
    case 178: return 1256;
    case 186: return 1257;
    case 204: return 1251;
    case 222: return 874;
    case 238: return 1250;
    default: return 1252;
    }
}

std::string StrToUnicodeHex(std::string_view Text, uint8_t Charset)
{
    uint32_t CodePage = 1252;
    switch (Charset) {
    case 128: CodePage = 932; break;
    case 129: CodePage = 949; break;
    case 134: CodePage = 936; break;
    case 136: CodePage = 950; break;
    case 161: CodePage = 1253; break;
    case 162: CodePage = 1254; break;
    case 186: CodePage = 1257; break;
    case 204: CodePage = 1251; break;
    case 238: CodePage = 1250; break;
    default: break;
    }
    const int Length = static_cast<int>(Text.size());
    const int Units = MultiByteToWideChar(CodePage, 0, Text.data(), Length, nullptr, 0);
    if (Units <= 0)
        return {};
    std::vector<WCHAR> Wide(Units);
    if (MultiByteToWideChar(CodePage, 0, Text.data(), Length, Wide.data(), Units) != Units)
        return {};
    std::string S = "FEFF";
    for (WCHAR W : Wide)
        S += WordToHex(static_cast<uint16_t>(W));
    return S;
}
