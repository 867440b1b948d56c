//===- GraphicsObjects.cpp - Fonts, pens and brushes of canvases and controls ---===//
#include "platform/ui/graphics/GraphicsObjects.h"

#include "platform/ui/components/Published.h"
#include "platform/ui/graphics/TBitmap.h"

#include "platform/gdi/Gdi.h"
#include "platform/kernel/MulDiv.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace {

// Points and pixels at the screen's 96 dots per inch, rounded by MulDiv, so that Size 8 reads
// back from Height -11.
constexpr int ScreenPixelsPerInch = 96;

UINT penStyleCode(TPenStyle Style)
{
    switch (Style) {
    case psSolid: return PS_SOLID;
    case psDash: return PS_DASH;
    case psDot: return PS_DOT;
    case psDashDot: return PS_DASHDOT;
    case psDashDotDot: return PS_DASHDOTDOT;
    case psClear: return PS_NULL;
    case psInsideFrame: return PS_INSIDEFRAME;
    }
    return PS_SOLID;
}

const PublishedClass& FontClass = PublishClass<TFont, TPersistent>("TFont", [](Published<TFont>& P) {
    P.String("Name", &TFont::GetName, &TFont::SetName);
    P.Int("Size", &TFont::GetSize, &TFont::SetSize);
    P.Int("Height", &TFont::GetHeight, &TFont::SetHeight);
    P.Set("Style", TFontStyleType, &TFont::GetStyle, &TFont::SetStyle);
    P.Color("Color", &TFont::GetColor, &TFont::SetColor);
    P.Int("Charset", &TFont::GetCharset, &TFont::SetCharset);
});

const PublishedClass& PenClass = PublishClass<TPen, TPersistent>("TPen", [](Published<TPen>& P) {
    P.Color("Color", &TPen::GetColor, &TPen::SetColor);
    P.Int("Width", &TPen::GetWidth, &TPen::SetWidth);
    P.Enum("Style", TPenStyleType, &TPen::GetStyle, &TPen::SetStyle);
});

const PublishedClass& BrushClass = PublishClass<TBrush, TPersistent>("TBrush", [](Published<TBrush>& P) {
    P.Color("Color", &TBrush::GetColor, &TBrush::SetColor);
    P.Enum("Style", TBrushStyleType, &TBrush::GetStyle, &TBrush::SetStyle);
});

} // namespace

int PenModeToRop2(TPenMode Mode)
{
    static constexpr int Codes[] = {
        R2_BLACK,       R2_WHITE,      R2_NOP,         R2_NOT,        R2_COPYPEN,  R2_NOTCOPYPEN,
        R2_MERGEPENNOT, R2_MASKPENNOT, R2_MERGENOTPEN, R2_MASKNOTPEN, R2_MERGEPEN, R2_NOTMERGEPEN,
        R2_MASKPEN,     R2_NOTMASKPEN, R2_XORPEN,      R2_NOTXORPEN,
    };
    return Codes[static_cast<int>(Mode)];
}

// --- TGraphicsObject

TGraphicsObject::~TGraphicsObject()
{
    if (FHandle)
        DeleteObject(FHandle);
}

void TGraphicsObject::Changed()
{
    // A context that still has the old object selected keeps it alive until it lets it go.
    if (FHandle) {
        DeleteObject(FHandle);
        FHandle = nullptr;
    }
    if (OnChange)
        OnChange(this);
}

HGDIOBJ TGraphicsObject::GetObjectHandle() const
{
    if (!FHandle)
        FHandle = MakeHandle();
    return FHandle;
}

// --- TFont

void TFont::SetName(const std::string& Value)
{
    if (Value.empty() || Value == FName)
        return;
    FName = Value;
    Changed();
}

int TFont::GetSize() const { return -MulDiv(FHeight, 72, ScreenPixelsPerInch); }

void TFont::SetSize(int Value) { SetHeight(-MulDiv(Value, ScreenPixelsPerInch, 72)); }

void TFont::SetHeight(int Value)
{
    if (Value == FHeight)
        return;
    FHeight = Value;
    Changed();
}

void TFont::SetStyle(TFontStyles Value)
{
    if (Value == FStyle)
        return;
    FStyle = Value;
    Changed();
}

void TFont::SetColor(TColor Value)
{
    if (Value == FColor)
        return;
    FColor = Value;
    Changed();
}

void TFont::SetCharset(TFontCharset Value)
{
    if (Value == FCharset)
        return;
    FCharset = Value;
    Changed();
}

LOGFONTA TFont::LogFont() const
{
    LOGFONTA Font;
    Font.lfHeight = FHeight;
    Font.lfWeight = FStyle.Contains(fsBold) ? FW_BOLD : FW_NORMAL;
    Font.lfItalic = FStyle.Contains(fsItalic) ? 1 : 0;
    Font.lfUnderline = FStyle.Contains(fsUnderline) ? 1 : 0;
    Font.lfStrikeOut = FStyle.Contains(fsStrikeOut) ? 1 : 0;
    Font.lfCharSet = FCharset;
    const size_t Length = std::min(FName.size(), size_t(LF_FACESIZE - 1));
    std::memcpy(Font.lfFaceName, FName.data(), Length);
    Font.lfFaceName[Length] = '\0';
    return Font;
}

HGDIOBJ TFont::MakeHandle() const { return CreateFontIndirect(LogFont()); }

void TFont::Assign(const TPersistent& Source)
{
    const auto* Other = dynamic_cast<const TFont*>(&Source);
    if (!Other) {
        TGraphicsObject::Assign(Source);
        return;
    }
    if (SameAs(*Other))
        return;
    FName = Other->FName;
    FHeight = Other->FHeight;
    FStyle = Other->FStyle;
    FColor = Other->FColor;
    FCharset = Other->FCharset;
    Changed();
}

bool TFont::SameAs(const TFont& Other) const
{
    return FName == Other.FName && FHeight == Other.FHeight && FStyle == Other.FStyle && FColor == Other.FColor
           && FCharset == Other.FCharset;
}

// --- TPen

void TPen::SetColor(TColor Value)
{
    if (Value == FColor)
        return;
    FColor = Value;
    Changed();
}

void TPen::SetWidth(int Value)
{
    if (Value < 0 || Value == FWidth)
        return;
    FWidth = Value;
    Changed();
}

void TPen::SetStyle(TPenStyle Value)
{
    if (Value == FStyle)
        return;
    FStyle = Value;
    Changed();
}

void TPen::SetMode(TPenMode Value)
{
    if (Value == FMode)
        return;
    FMode = Value;
    Changed();
}

HGDIOBJ TPen::MakeHandle() const { return CreatePen(penStyleCode(FStyle), FWidth, ColorToRGB(FColor)); }

void TPen::Assign(const TPersistent& Source)
{
    const auto* Other = dynamic_cast<const TPen*>(&Source);
    if (!Other) {
        TGraphicsObject::Assign(Source);
        return;
    }
    FColor = Other->FColor;
    FWidth = Other->FWidth;
    FStyle = Other->FStyle;
    FMode = Other->FMode;
    Changed();
}

// --- TBrush

void TBrush::SetColor(TColor Value)
{
    if (Value == FColor && FStyle != bsClear)
        return;
    FColor = Value;
    if (FStyle == bsClear)
        FStyle = bsSolid;
    Changed();
}

void TBrush::SetStyle(TBrushStyle Value)
{
    if (Value == FStyle)
        return;
    FStyle = Value;
    Changed();
}

void TBrush::SetBitmap(TBitmap* Value)
{
    if (Value == FBitmap)
        return;
    FBitmap = Value;
    Changed();
}

HGDIOBJ TBrush::MakeHandle() const
{
    if (FBitmap && !FBitmap->Empty())
        return CreatePatternBrush(FBitmap->GetHandle());
    const COLORREF Colour = ColorToRGB(FColor);
    switch (FStyle) {
    case bsSolid: return CreateSolidBrush(Colour);
    case bsClear: return GetStockObject(NULL_BRUSH);
    case bsHorizontal: return CreateHatchBrush(HS_HORIZONTAL, Colour);
    case bsVertical: return CreateHatchBrush(HS_VERTICAL, Colour);
    case bsFDiagonal: return CreateHatchBrush(HS_FDIAGONAL, Colour);
    case bsBDiagonal: return CreateHatchBrush(HS_BDIAGONAL, Colour);
    case bsCross: return CreateHatchBrush(HS_CROSS, Colour);
    case bsDiagCross: return CreateHatchBrush(HS_DIAGCROSS, Colour);
    }
    return CreateSolidBrush(Colour);
}

void TBrush::Assign(const TPersistent& Source)
{
    const auto* Other = dynamic_cast<const TBrush*>(&Source);
    if (!Other) {
        TGraphicsObject::Assign(Source);
        return;
    }
    FColor = Other->FColor;
    FStyle = Other->FStyle;
    FBitmap = Other->FBitmap;
    Changed();
}
