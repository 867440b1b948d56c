//===- TMetafilePlayerObjects.cpp - Pens, brushes, fonts, device-context state, transforms -===//
#include "pdf/TMetafilePlayer.h"

#include "pdf/PdfEmfRecord.h"
#include "pdf/TPDFPage.h"

#include "platform/gdi/Gdi.h"
#include "platform/gdi/metafile/EmfRecordTypes.h"
#include "platform/kernel/CodePages.h"

#include <cmath>
#include <cstring>

namespace {

bool finite(const XFORM& X)
{
    return std::isfinite(X.eM11) && std::isfinite(X.eM12) && std::isfinite(X.eM21) && std::isfinite(X.eM22)
           && std::isfinite(X.eDx) && std::isfinite(X.eDy);
}

/// A × B: B applied after A.
XFORM multiply(const XFORM& A, const XFORM& B)
{
    return XFORM {
        A.eM11 * B.eM11 + A.eM12 * B.eM21,       A.eM11 * B.eM12 + A.eM12 * B.eM22,
        A.eM21 * B.eM11 + A.eM22 * B.eM21,       A.eM21 * B.eM12 + A.eM22 * B.eM22,
        A.eDx * B.eM11 + A.eDy * B.eM21 + B.eDx, A.eDx * B.eM12 + A.eDy * B.eM22 + B.eDy,
    };
}

/// The character set of the system's font, which DEFAULT_CHARSET stands for.
uint8_t systemCharset()
{
    LOGFONTA Font;
    if (GetObject(GetStockObject(SYSTEM_FONT), sizeof Font, &Font) == int(sizeof Font))
        return Font.lfCharSet;
    return ANSI_CHARSET;
}

bool sameFace(const LOGFONTA& A, const LOGFONTA& B)
{
    return std::memcmp(A.lfFaceName, B.lfFaceName, LF_FACESIZE) == 0 && A.lfWeight == B.lfWeight
           && A.lfItalic == B.lfItalic && A.lfUnderline == B.lfUnderline && A.lfStrikeOut == B.lfStrikeOut
           && A.lfCharSet == B.lfCharSet && A.lfHeight == B.lfHeight;
}

} // namespace

// --- Objects

int64_t TMetafilePlayer::slot(uint32_t Index) const
{
    // Index 0 is reserved for the metafile itself; the top bit names stock objects.
    if (Index == 0 || Index >= HandleCount)
        return -1;
    return Index;
}

void TMetafilePlayer::createPen(const TEmfRecord& R, bool Extended)
{
    const int64_t S = slot(R.U32(8));
    const uint32_t Style = R.U32(Extended ? 28 : 12);
    const int32_t Width = R.I32(Extended ? 32 : 16);
    const COLORREF Colour = R.U32(Extended ? 40 : 24);
    if (!R.Ok() || S < 0)
        return;
    if (HandleTable[S])
        DeleteObject(HandleTable[S]);
    HandleTable[S] = CreatePen(int(Style & PS_STYLE_MASK), Width, Colour);
}

void TMetafilePlayer::createBrush(const TEmfRecord& R)
{
    const int64_t S = slot(R.U32(8));
    const LOGBRUSH Brush { R.U32(12), R.U32(16), R.U32(20) };
    if (!R.Ok() || S < 0)
        return;
    if (HandleTable[S])
        DeleteObject(HandleTable[S]);
    HandleTable[S] = Brush.lbStyle == BS_SOLID ? CreateSolidBrush(Brush.lbColor) : CreateBrushIndirect(Brush);
}

void TMetafilePlayer::createFont(const TEmfRecord& R)
{
    const int64_t S = slot(R.U32(8));
    const std::span<const uint8_t> Face = R.Bytes(40, LF_FACESIZE, 2);
    LOGFONTA Font;
    Font.lfHeight = R.I32(12);
    Font.lfWidth = R.I32(16);
    Font.lfEscapement = R.I32(20);
    Font.lfOrientation = R.I32(24);
    Font.lfWeight = R.I32(28);
    Font.lfItalic = R.U8(32);
    Font.lfUnderline = R.U8(33);
    Font.lfStrikeOut = R.U8(34);
    Font.lfCharSet = R.U8(35);
    Font.lfOutPrecision = R.U8(36);
    Font.lfClipPrecision = R.U8(37);
    Font.lfQuality = R.U8(38);
    Font.lfPitchAndFamily = R.U8(39);
    if (!R.Ok() || S < 0)
        return;
    if (Font.lfCharSet == DEFAULT_CHARSET)
        Font.lfCharSet = systemCharset();
    // The name may fill all 32 units without a terminator: it is cut at 31 bytes.
    WCHAR Wide[LF_FACESIZE];
    int Length = 0;
    const TEmfRecord Units(Face);
    while (Length < LF_FACESIZE && (Wide[Length] = Units.U16(size_t(Length) * 2)) != 0)
        ++Length;
    if (Length > 0)
        WideCharToMultiByte(1252, 0, Wide, Length, Font.lfFaceName, LF_FACESIZE - 1, nullptr, nullptr);
    Font.lfFaceName[LF_FACESIZE - 1] = 0;
    if (HandleTable[S])
        DeleteObject(HandleTable[S]);
    HandleTable[S] = CreateFontIndirect(Font);
}

void TMetafilePlayer::deleteObject(const TEmfRecord& R)
{
    const int64_t S = slot(R.U32(8));
    if (!R.Ok() || S < 0)
        return;
    if (HandleTable[S])
        DeleteObject(HandleTable[S]);
    HandleTable[S] = nullptr;
}

void TMetafilePlayer::selectObject(const TEmfRecord& R)
{
    const uint32_t Index = R.U32(8);
    if (!R.Ok())
        return;
    if (Index & ENHMETA_STOCK_OBJECT)
        return selectStock(Index & ~ENHMETA_STOCK_OBJECT);
    const int64_t S = slot(Index);
    if (S < 0 || !HandleTable[S])
        return;
    HGDIOBJ Object = HandleTable[S];
    SelectObject(ShadowDC, Object);
    switch (GetObjectType(Object)) {
    case OBJ_PEN: {
        LOGPEN Pen;
        if (GetObject(Object, sizeof Pen, &Pen) == int(sizeof Pen))
            selectPen(Pen);
        break;
    }
    case OBJ_BRUSH: {
        LOGBRUSH Brush;
        if (GetObject(Object, sizeof Brush, &Brush) == int(sizeof Brush))
            selectBrush(Brush);
        break;
    }
    case OBJ_FONT: {
        LOGFONTA Font;
        if (GetObject(Object, sizeof Font, &Font) == int(sizeof Font))
            selectFont(Font, true);
        break;
    }
    default: break;
    }
}

void TMetafilePlayer::selectStock(uint32_t Number)
{
    if (Number > 19)
        return;
    SelectObject(ShadowDC, GetStockObject(int(Number)));
    static constexpr COLORREF BrushColours[6] = { 0xFFFFFF, 0xAAAAAA, 0x808080, 0x666666, 0, 0xFFFFFF };
    if (Number <= NULL_BRUSH) {
        BrushColor = BrushColours[Number];
        BrushNull = Number == NULL_BRUSH;
        if (!TextColorMode)
            brushFillColor();
    } else if (Number == WHITE_PEN || Number == BLACK_PEN) {
        // A stock pen strokes one unit wide and solid, whatever pen was selected before.
        selectPen(LOGPEN { PS_SOLID, POINT {}, Number == WHITE_PEN ? 0xFFFFFFu : 0u });
    } else if (Number == NULL_PEN) {
        PenStyle = PS_NULL;
    } else if (Number >= 10 && Number <= 13) {
        std::memset(LogFont.lfFaceName, 0, LF_FACESIZE);
        std::memcpy(LogFont.lfFaceName, "Arial", 5);
        FontPending = true;
    }
}

void TMetafilePlayer::selectPen(const LOGPEN& Pen)
{
    if (Pen.lopnColor != PenColor) {
        PenColor = Pen.lopnColor;
        penStrokeColor();
    }
    const auto Style = static_cast<int32_t>(Pen.lopnStyle & PS_STYLE_MASK);
    if (Style != PenStyle) {
        PenStyle = Style;
        penDash();
    }
    // A pen of width 0 strokes one logical unit wide; a mirroring transform must not give a
    // negative width.
    const double Width = Pen.lopnWidth.x == 0 ? 1.0 : std::abs(double(Pen.lopnWidth.x));
    const double W = ratioX() * Width * std::abs(XFactor);
    if (W != PenWidth) {
        PenWidth = W;
        Page.SetLineWidth(ScaleX * PenWidth);
    }
}

void TMetafilePlayer::selectBrush(const LOGBRUSH& Brush)
{
    BrushNull = false;
    if (Brush.lbColor != BrushColor) {
        BrushColor = Brush.lbColor;
        if (!TextColorMode)
            brushFillColor();
    }
    if (Brush.lbStyle == BS_NULL)
        BrushNull = true;
}

void TMetafilePlayer::selectFont(const LOGFONTA& Font, bool KeepAngles)
{
    if (sameFace(Font, LogFont)) {
        if (KeepAngles) {
            LogFont.lfEscapement = Font.lfEscapement;
            LogFont.lfOrientation = Font.lfOrientation;
        }
        return;
    }
    LogFont = Font;
    LogFont.lfFaceName[LF_FACESIZE - 1] = 0;
    FontPending = true;
}

// --- Device-context state

void TMetafilePlayer::setState(const TEmfRecord& R)
{
    const uint32_t Type = R.Type();
    const bool Pair = Type >= EMR_SETWINDOWEXTEX && Type <= EMR_SETVIEWPORTORGEX;
    const int32_t A = R.I32(8), B = Pair ? R.I32(12) : 0;
    if (!R.Ok())
        return;
    switch (Type) {
    case EMR_SETWINDOWEXTEX:
        // A zero extent would divide every coordinate by zero.
        if (A != 0 && B != 0) {
            FontPending = FontPending || B != WindowExt.cy;
            WindowExt = SIZE { A, B };
            SetWindowExtEx(ShadowDC, A, B, nullptr);
        }
        break;
    case EMR_SETVIEWPORTEXTEX:
        if (A != 0 && B != 0) {
            FontPending = FontPending || B != ViewportExt.cy;
            ViewportExt = SIZE { A, B };
            SetViewportExtEx(ShadowDC, A, B, nullptr);
        }
        break;
    case EMR_SETWINDOWORGEX:
        WindowOrg = POINT { A, B };
        SetWindowOrgEx(ShadowDC, A, B, nullptr);
        break;
    case EMR_SETVIEWPORTORGEX:
        ViewportOrg = POINT { A, B };
        SetViewportOrgEx(ShadowDC, A, B, nullptr);
        break;
    case EMR_SETMAPMODE:
        MapMode = A;
        SetMapMode(ShadowDC, A);
        FontPending = true;
        break;
    case EMR_SETBKMODE:
        BkOpaque = A != TRANSPARENT;
        SetBkMode(ShadowDC, A);
        break;
    case EMR_SETPOLYFILLMODE:
        PolyFillAlternate = A == ALTERNATE;
        SetPolyFillMode(ShadowDC, A);
        break;
    case EMR_SETSTRETCHBLTMODE: SetStretchBltMode(ShadowDC, A); break;
    case EMR_SETTEXTALIGN:
        setTextAlign(uint32_t(A));
        SetTextAlign(ShadowDC, uint32_t(A));
        break;
    case EMR_SETTEXTCOLOR:
        TextColor = uint32_t(A);
        SetTextColor(ShadowDC, TextColor);
        if (TextColorMode)
            textFillColor();
        break;
    case EMR_SETBKCOLOR:
        BkColor = uint32_t(A);
        SetBkColor(ShadowDC, BkColor);
        break;
    case EMR_SETARCDIRECTION:
        ArcCounterClockwise = A == AD_COUNTERCLOCKWISE;
        SetArcDirection(ShadowDC, A);
        break;
    default: break;
    }
}

void TMetafilePlayer::setTextAlign(uint32_t Align)
{
    switch (Align & 6) {
    case TA_LEFT: HorzAlign = 0; break;
    case TA_RIGHT: HorzAlign = 2; break;
    case TA_CENTER: HorzAlign = 1; break;
    default: break;
    }
    switch (Align & 0x18) {
    case TA_TOP: VertAlign = 0; break;
    case TA_BOTTOM: VertAlign = 2; break;
    case TA_BASELINE: VertAlign = 1; break;
    default: break;
    }
    UpdateCP = (Align & TA_UPDATECP) != 0;
}

// --- World transform

void TMetafilePlayer::takeWorldTransform(const XFORM& X)
{
    // The font's size follows the vertical factor.
    if (std::abs(X.eM22) != std::abs(YFactor))
        FontPending = true;
    XFactor = X.eM11;
    YFactor = X.eM22;
    XOffset = ScaleX * X.eDx;
    YOffset = ScaleY * X.eDy;
}

void TMetafilePlayer::setWorldTransform(const XFORM& X)
{
    if (!finite(X))
        return;
    takeWorldTransform(X);
    if (WorldTransformOK)
        SetWorldTransform(ShadowDC, X);
    else
        OwnXForm = X;
}

void TMetafilePlayer::modifyWorldTransform(const TEmfRecord& R)
{
    const XFORM X = R.Xform(8);
    const uint32_t Mode = R.U32(32);
    if (!R.Ok() || !finite(X))
        return;
    if (WorldTransformOK) {
        ModifyWorldTransform(ShadowDC, &X, int(Mode));
        XFORM Now;
        if (GetWorldTransform(ShadowDC, &Now))
            takeWorldTransform(Now);
        return;
    }
    switch (Mode) {
    case MWT_LEFTMULTIPLY: OwnXForm = multiply(X, OwnXForm); break;
    case MWT_RIGHTMULTIPLY: OwnXForm = multiply(OwnXForm, X); break;
    case MWT_SET: OwnXForm = X; break;
    default: return;
    }
    takeWorldTransform(OwnXForm);
}

void TMetafilePlayer::saveDC()
{
    SaveDC(ShadowDC);
    if (!WorldTransformOK)
        XFormStack.push_back(OwnXForm);
}

void TMetafilePlayer::restoreDC(const TEmfRecord& R)
{
    const int64_t Relative = R.I32(8);
    if (!R.Ok())
        return;
    RestoreDC(ShadowDC, int(Relative));
    if (WorldTransformOK) {
        XFORM Now;
        if (GetWorldTransform(ShadowDC, &Now))
            takeWorldTransform(Now);
    } else {
        const auto Depth = static_cast<int64_t>(XFormStack.size());
        if (Relative < 0 && -Relative > Depth) {
            XFormStack.clear();
        } else if (Relative < 0 || (Relative > 0 && Relative <= Depth)) {
            const int64_t At = Relative < 0 ? Depth + Relative : Relative - 1;
            OwnXForm = XFormStack[size_t(At)];
            XFormStack.resize(size_t(At));
            takeWorldTransform(OwnXForm);
        }
    }

    MapMode = GetMapMode(ShadowDC);
    BkOpaque = GetBkMode(ShadowDC) != TRANSPARENT;
    TextColor = GetTextColor(ShadowDC);
    if (TextColorMode)
        textFillColor();
    BkColor = GetBkColor(ShadowDC);
    PolyFillAlternate = GetPolyFillMode(ShadowDC) == ALTERNATE;
    SIZE Ext;
    if (GetViewportExtEx(ShadowDC, &Ext) && Ext.cx != 0 && Ext.cy != 0)
        ViewportExt = Ext;
    if (GetWindowExtEx(ShadowDC, &Ext) && Ext.cx != 0 && Ext.cy != 0)
        WindowExt = Ext;
    GetViewportOrgEx(ShadowDC, &ViewportOrg);
    GetWindowOrgEx(ShadowDC, &WindowOrg);
    if (ClipActive) {
        ClipActive = false;
        clipRestore();
    }
    LOGPEN Pen;
    if (GetObject(GetCurrentObject(ShadowDC, OBJ_PEN), sizeof Pen, &Pen) == int(sizeof Pen))
        selectPen(Pen);
    LOGBRUSH Brush;
    if (GetObject(GetCurrentObject(ShadowDC, OBJ_BRUSH), sizeof Brush, &Brush) == int(sizeof Brush))
        selectBrush(Brush);
    LOGFONTA Font;
    if (GetObject(GetCurrentObject(ShadowDC, OBJ_FONT), sizeof Font, &Font) == int(sizeof Font))
        selectFont(Font, false);
    setTextAlign(GetTextAlign(ShadowDC));
}
