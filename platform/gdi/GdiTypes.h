//===- GdiTypes.h - Handles, records and constants of the drawing layer -*- C++ -*-===//
//
// The original platform's drawing vocabulary with its values, which stored metafiles and the
// system's drawing code rely on. Colours are 0x00BBGGRR (255 is red); 0x80000000 + n names the
// system colour n.
//
#pragma once

#include "platform/kernel/CodePages.h"
#include "platform/user/Messages.h"

#include <cstdint>

// Handles
struct HDC__;
struct HGDIOBJ__;
using HDC = HDC__*;
using HGDIOBJ = HGDIOBJ__*;
using HPEN = HGDIOBJ;
using HBRUSH = HGDIOBJ;
using HFONT = HGDIOBJ;
using HBITMAP = HGDIOBJ;
using HRGN = HGDIOBJ;

using COLORREF = uint32_t;
constexpr COLORREF RGB(uint8_t R, uint8_t G, uint8_t B)
{
    return COLORREF(R) | (COLORREF(G) << 8) | (COLORREF(B) << 16);
}
constexpr uint8_t GetRValue(COLORREF C) { return uint8_t(C); }
constexpr uint8_t GetGValue(COLORREF C) { return uint8_t(C >> 8); }
constexpr uint8_t GetBValue(COLORREF C) { return uint8_t(C >> 16); }
constexpr COLORREF CLR_INVALID = 0xFFFFFFFF;
constexpr uint32_t GDI_ERROR = 0xFFFFFFFF;

// Geometry
struct POINT {
    int32_t x = 0, y = 0;
};
struct SIZE {
    int32_t cx = 0, cy = 0;
};
struct RECT {
    int32_t left = 0, top = 0, right = 0, bottom = 0;
};
struct XFORM {
    float eM11 = 1, eM12 = 0, eM21 = 0, eM22 = 1, eDx = 0, eDy = 0;
};

// Logical objects
struct LOGPEN {
    UINT lopnStyle = 0;
    POINT lopnWidth; // x is the width
    COLORREF lopnColor = 0;
};
struct LOGBRUSH {
    UINT lbStyle = 0;
    COLORREF lbColor = 0;
    uintptr_t lbHatch = 0;
};
constexpr int LF_FACESIZE = 32;
struct LOGFONTA {
    int32_t lfHeight = 0; // negative: character height in pixels; positive: cell height
    int32_t lfWidth = 0;
    int32_t lfEscapement = 0; // tenths of a degree, counter-clockwise
    int32_t lfOrientation = 0;
    int32_t lfWeight = 0; // 400 normal, 700 bold
    uint8_t lfItalic = 0;
    uint8_t lfUnderline = 0;
    uint8_t lfStrikeOut = 0;
    uint8_t lfCharSet = 0;
    uint8_t lfOutPrecision = 0;
    uint8_t lfClipPrecision = 0;
    uint8_t lfQuality = 0;
    uint8_t lfPitchAndFamily = 0;
    char lfFaceName[LF_FACESIZE] = {};
};

/// LOGFONTA with a UTF-16 face name, as wide calls and metafile records carry it.
struct LOGFONTW {
    int32_t lfHeight = 0;
    int32_t lfWidth = 0;
    int32_t lfEscapement = 0;
    int32_t lfOrientation = 0;
    int32_t lfWeight = 0;
    uint8_t lfItalic = 0;
    uint8_t lfUnderline = 0;
    uint8_t lfStrikeOut = 0;
    uint8_t lfCharSet = 0;
    uint8_t lfOutPrecision = 0;
    uint8_t lfClipPrecision = 0;
    uint8_t lfQuality = 0;
    uint8_t lfPitchAndFamily = 0;
    WCHAR lfFaceName[LF_FACESIZE] = {};
};
static_assert(sizeof(LOGFONTW) == 92, "the size metafile records give it");

struct TEXTMETRICA {
    int32_t tmHeight = 0, tmAscent = 0, tmDescent = 0, tmInternalLeading = 0, tmExternalLeading = 0;
    int32_t tmAveCharWidth = 0, tmMaxCharWidth = 0, tmWeight = 0, tmOverhang = 0;
    int32_t tmDigitizedAspectX = 0, tmDigitizedAspectY = 0;
    uint8_t tmFirstChar = 0, tmLastChar = 0, tmDefaultChar = 0, tmBreakChar = 0;
    uint8_t tmItalic = 0, tmUnderlined = 0, tmStruckOut = 0, tmPitchAndFamily = 0, tmCharSet = 0;
};
// What the font enumeration reports: the callback's LOGFONTA and TEXTMETRICA point at the
// first member of these.
constexpr int LF_FULLFACESIZE = 64;
struct ENUMLOGFONTEXA {
    LOGFONTA elfLogFont;
    char elfFullName[LF_FULLFACESIZE] = {}; // "Arial Bold"
    char elfStyle[LF_FACESIZE] = {};        // "Bold"
    char elfScript[LF_FACESIZE] = {};       // "Western"
};
struct NEWTEXTMETRICA : TEXTMETRICA {
    uint32_t ntmFlags = 0;      // NTM_ITALIC, NTM_BOLD, NTM_REGULAR
    uint32_t ntmSizeEM = 0;     // the em square in font units
    uint32_t ntmCellHeight = 0; // usWinAscent + usWinDescent, font units
    uint32_t ntmAvgWidth = 0;   // xAvgCharWidth, font units
};
struct FONTSIGNATURE {
    uint32_t fsUsb[4] = {}; // OS/2 Unicode ranges
    uint32_t fsCsb[2] = {}; // OS/2 code-page ranges
};
struct NEWTEXTMETRICEXA {
    NEWTEXTMETRICA ntmTm;
    FONTSIGNATURE ntmFontSig;
};
constexpr uint32_t NTM_ITALIC = 0x01, NTM_BOLD = 0x20, NTM_REGULAR = 0x40;
constexpr uint32_t RASTER_FONTTYPE = 0x1, DEVICE_FONTTYPE = 0x2, TRUETYPE_FONTTYPE = 0x4;

struct ABC {
    int32_t abcA = 0;
    uint32_t abcB = 0;
    int32_t abcC = 0;
};
/// What GetObject answers for a bitmap; bmBits points at the first stored row.
struct BITMAP {
    int32_t bmType = 0;
    int32_t bmWidth = 0, bmHeight = 0, bmWidthBytes = 0;
    uint16_t bmPlanes = 1, bmBitsPixel = 0;
    void* bmBits = nullptr;
};
using HPALETTE = HGDIOBJ;
struct PALETTEENTRY {
    uint8_t peRed = 0, peGreen = 0, peBlue = 0, peFlags = 0;
};
/// The colour of entry Index of the DC's palette (the stock palette here).
constexpr COLORREF PALETTEINDEX(uint16_t Index) { return 0x01000000u | Index; }

// Pen styles
constexpr UINT PS_SOLID = 0, PS_DASH = 1, PS_DOT = 2, PS_DASHDOT = 3, PS_DASHDOTDOT = 4, PS_NULL = 5,
               PS_INSIDEFRAME = 6;
// Extended pens: the style above, an end cap, a join and the pen type, or-ed together
constexpr UINT PS_USERSTYLE = 7, PS_ALTERNATE = 8, PS_STYLE_MASK = 0x0000000F;
constexpr UINT PS_ENDCAP_ROUND = 0x000, PS_ENDCAP_SQUARE = 0x100, PS_ENDCAP_FLAT = 0x200, PS_ENDCAP_MASK = 0xF00;
constexpr UINT PS_JOIN_ROUND = 0x0000, PS_JOIN_BEVEL = 0x1000, PS_JOIN_MITER = 0x2000, PS_JOIN_MASK = 0xF000;
constexpr UINT PS_COSMETIC = 0x00000, PS_GEOMETRIC = 0x10000, PS_TYPE_MASK = 0xF0000;
/// What GetObject answers for a pen made by ExtCreatePen (no user style entries here).
struct EXTLOGPEN {
    UINT elpPenStyle = 0;
    UINT elpWidth = 0;
    UINT elpBrushStyle = 0;
    COLORREF elpColor = 0;
    uintptr_t elpHatch = 0;
    UINT elpNumEntries = 0;
};
// How the colour table of a packed DIB is given: colours, or 16-bit indexes into the palette
constexpr UINT DIB_RGB_COLORS = 0, DIB_PAL_COLORS = 1;
// Brush styles and hatches
constexpr UINT BS_SOLID = 0, BS_NULL = 1, BS_HOLLOW = 1, BS_HATCHED = 2, BS_PATTERN = 3;
constexpr UINT HS_HORIZONTAL = 0, HS_VERTICAL = 1, HS_FDIAGONAL = 2, HS_BDIAGONAL = 3, HS_CROSS = 4, HS_DIAGCROSS = 5;
// Stock objects
constexpr int WHITE_BRUSH = 0, LTGRAY_BRUSH = 1, GRAY_BRUSH = 2, DKGRAY_BRUSH = 3, BLACK_BRUSH = 4, NULL_BRUSH = 5,
              WHITE_PEN = 6, BLACK_PEN = 7, NULL_PEN = 8, OEM_FIXED_FONT = 10, ANSI_FIXED_FONT = 11, ANSI_VAR_FONT = 12,
              SYSTEM_FONT = 13, DEVICE_DEFAULT_FONT = 14, DEFAULT_PALETTE = 15, SYSTEM_FIXED_FONT = 16,
              DEFAULT_GUI_FONT = 17, DC_BRUSH = 18, DC_PEN = 19;
// Background modes, polygon fill modes
constexpr int TRANSPARENT = 1, OPAQUE = 2;
constexpr int ALTERNATE = 1, WINDING = 2;
// Mix modes (ROP2)
constexpr int R2_BLACK = 1, R2_NOTMERGEPEN = 2, R2_MASKNOTPEN = 3, R2_NOTCOPYPEN = 4, R2_MASKPENNOT = 5, R2_NOT = 6,
              R2_XORPEN = 7, R2_NOTMASKPEN = 8, R2_MASKPEN = 9, R2_NOTXORPEN = 10, R2_NOP = 11, R2_MERGENOTPEN = 12,
              R2_COPYPEN = 13, R2_MERGEPENNOT = 14, R2_MERGEPEN = 15, R2_WHITE = 16;
// Raster operations
constexpr uint32_t SRCCOPY = 0x00CC0020, SRCPAINT = 0x00EE0086, SRCAND = 0x008800C6, SRCINVERT = 0x00660046,
                   NOTSRCCOPY = 0x00330008, MERGECOPY = 0x00C000CA, PATCOPY = 0x00F00021, PATINVERT = 0x005A0049,
                   DSTINVERT = 0x00550009, BLACKNESS = 0x00000042, WHITENESS = 0x00FF0062;
constexpr uint32_t SRCERASE = 0x00440328, NOTSRCERASE = 0x001100A6, MERGEPAINT = 0x00BB0226, PATPAINT = 0x00FB0A09;
// Map modes, graphics modes, world-transform modes
constexpr int MM_TEXT = 1, MM_LOMETRIC = 2, MM_HIMETRIC = 3, MM_LOENGLISH = 4, MM_HIENGLISH = 5, MM_TWIPS = 6,
              MM_ISOTROPIC = 7, MM_ANISOTROPIC = 8;
constexpr int GM_COMPATIBLE = 1, GM_ADVANCED = 2;
constexpr int MWT_IDENTITY = 1, MWT_LEFTMULTIPLY = 2, MWT_RIGHTMULTIPLY = 3, MWT_SET = 4;
// Text alignment
constexpr UINT TA_NOUPDATECP = 0, TA_UPDATECP = 1, TA_LEFT = 0, TA_RIGHT = 2, TA_CENTER = 6, TA_TOP = 0, TA_BOTTOM = 8,
               TA_BASELINE = 24;
// ExtTextOut options
constexpr UINT ETO_OPAQUE = 0x0002, ETO_CLIPPED = 0x0004;
// DrawText formats
constexpr UINT DT_TOP = 0x0, DT_LEFT = 0x0, DT_CENTER = 0x1, DT_RIGHT = 0x2, DT_VCENTER = 0x4, DT_BOTTOM = 0x8,
               DT_WORDBREAK = 0x10, DT_SINGLELINE = 0x20, DT_EXPANDTABS = 0x40, DT_NOCLIP = 0x100, DT_CALCRECT = 0x400,
               DT_NOPREFIX = 0x800, DT_END_ELLIPSIS = 0x8000;
// Region combination and results
constexpr int RGN_AND = 1, RGN_OR = 2, RGN_XOR = 3, RGN_DIFF = 4, RGN_COPY = 5;
constexpr int ERROR = 0, NULLREGION = 1, SIMPLEREGION = 2, COMPLEXREGION = 3;
// Font weights and character sets
constexpr int FW_NORMAL = 400, FW_BOLD = 700;
constexpr uint8_t ANSI_CHARSET = 0, DEFAULT_CHARSET = 1, SYMBOL_CHARSET = 2, MAC_CHARSET = 77, SHIFTJIS_CHARSET = 128,
                  HANGEUL_CHARSET = 129, HANGUL_CHARSET = 129, JOHAB_CHARSET = 130, GB2312_CHARSET = 134,
                  CHINESEBIG5_CHARSET = 136, GREEK_CHARSET = 161, TURKISH_CHARSET = 162, VIETNAMESE_CHARSET = 163,
                  HEBREW_CHARSET = 177, ARABIC_CHARSET = 178, BALTIC_CHARSET = 186, RUSSIAN_CHARSET = 204,
                  THAI_CHARSET = 222, EASTEUROPE_CHARSET = 238, OEM_CHARSET = 255;
// Output and clip precision, quality (kept in LOGFONTs; the font engine draws outlines always)
constexpr uint8_t OUT_DEFAULT_PRECIS = 0, OUT_STRING_PRECIS = 1, OUT_CHARACTER_PRECIS = 2, OUT_STROKE_PRECIS = 3,
                  OUT_TT_PRECIS = 4, OUT_DEVICE_PRECIS = 5, OUT_RASTER_PRECIS = 6, OUT_TT_ONLY_PRECIS = 7,
                  OUT_OUTLINE_PRECIS = 8;
constexpr uint8_t CLIP_DEFAULT_PRECIS = 0, CLIP_CHARACTER_PRECIS = 1, CLIP_STROKE_PRECIS = 2;
constexpr uint8_t DEFAULT_QUALITY = 0, DRAFT_QUALITY = 1, PROOF_QUALITY = 2, NONANTIALIASED_QUALITY = 3,
                  ANTIALIASED_QUALITY = 4;
// Point types of PolyDraw and metafile POLYDRAW records
constexpr uint8_t PT_CLOSEFIGURE = 0x01, PT_LINETO = 0x02, PT_BEZIERTO = 0x04, PT_MOVETO = 0x06;
constexpr uint8_t TMPF_FIXED_PITCH = 0x01, TMPF_VECTOR = 0x02, TMPF_TRUETYPE = 0x04;
// Object types (GetObjectType, GetCurrentObject)
constexpr UINT OBJ_PEN = 1, OBJ_BRUSH = 2, OBJ_DC = 3, OBJ_PAL = 5, OBJ_FONT = 6, OBJ_BITMAP = 7, OBJ_REGION = 8,
               OBJ_MEMDC = 10, OBJ_ENHMETADC = 12;
// Arc directions, stretching modes
constexpr int AD_COUNTERCLOCKWISE = 1, AD_CLOCKWISE = 2;
constexpr int BLACKONWHITE = 1, WHITEONBLACK = 2, COLORONCOLOR = 3, HALFTONE = 4;
// DrawText formats beyond the common ones
constexpr UINT DT_EXTERNALLEADING = 0x200;
// System colours past the first 25, and the other names of some (the main list follows below)
constexpr int COLOR_HOTLIGHT = 26, COLOR_GRADIENTACTIVECAPTION = 27, COLOR_GRADIENTINACTIVECAPTION = 28,
              COLOR_MENUHILIGHT = 29, COLOR_MENUBAR = 30;
constexpr int COLOR_DESKTOP = 1, COLOR_3DFACE = 15, COLOR_3DSHADOW = 16, COLOR_3DHIGHLIGHT = 20, COLOR_3DHILIGHT = 20,
              COLOR_BTNHILIGHT = 20;
// GetDeviceCaps indexes
constexpr int TECHNOLOGY = 2, NUMCOLORS = 24, SIZEPALETTE = 104;
constexpr int DT_RASDISPLAY = 1, DT_RASPRINTER = 2, DT_METAFILE = 5; // TECHNOLOGY answers
constexpr int HORZSIZE = 4, VERTSIZE = 6, HORZRES = 8, VERTRES = 10, BITSPIXEL = 12, PLANES = 14, LOGPIXELSX = 88,
              LOGPIXELSY = 90, PHYSICALWIDTH = 110, PHYSICALHEIGHT = 111, PHYSICALOFFSETX = 112, PHYSICALOFFSETY = 113;
// System colours (GetSysColor indexes; 0x80000000 + index in a colour value)
constexpr int COLOR_SCROLLBAR = 0, COLOR_BACKGROUND = 1, COLOR_ACTIVECAPTION = 2, COLOR_INACTIVECAPTION = 3,
              COLOR_MENU = 4, COLOR_WINDOW = 5, COLOR_WINDOWFRAME = 6, COLOR_MENUTEXT = 7, COLOR_WINDOWTEXT = 8,
              COLOR_CAPTIONTEXT = 9, COLOR_ACTIVEBORDER = 10, COLOR_INACTIVEBORDER = 11, COLOR_APPWORKSPACE = 12,
              COLOR_HIGHLIGHT = 13, COLOR_HIGHLIGHTTEXT = 14, COLOR_BTNFACE = 15, COLOR_BTNSHADOW = 16,
              COLOR_GRAYTEXT = 17, COLOR_BTNTEXT = 18, COLOR_INACTIVECAPTIONTEXT = 19, COLOR_BTNHIGHLIGHT = 20,
              COLOR_3DDKSHADOW = 21, COLOR_3DLIGHT = 22, COLOR_INFOTEXT = 23, COLOR_INFOBK = 24;
// Pitch and family (lfPitchAndFamily: pitch in the low bits; tmPitchAndFamily: family in the
// high nibble beside the TMPF_* bits)
constexpr uint8_t DEFAULT_PITCH = 0, FIXED_PITCH = 1, VARIABLE_PITCH = 2;
constexpr uint8_t FF_DONTCARE = 0x00, FF_ROMAN = 0x10, FF_SWISS = 0x20, FF_MODERN = 0x30, FF_SCRIPT = 0x40,
                  FF_DECORATIVE = 0x50;
constexpr uint8_t TMPF_DEVICE = 0x08;
