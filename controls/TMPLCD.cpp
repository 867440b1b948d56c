//===- TMPLCD.cpp - Seven-segment display of a value with decimals ----------===//
#include "controls/TMPLCD.h"

#include "controls/ColorKey.h"
#include "platform/rtl/Format.h"
#include "platform/rtl/SysUtils.h"
#include "platform/ui/components/Published.h"
#include "platform/ui/graphics/TBitmap.h"
#include "platform/ui/graphics/TCanvas.h"

#include <algorithm>

namespace {

constexpr int GlyphWidth = 16, GlyphHeight = 23;
constexpr int PointColumns = 3; // the columns at the left of a glyph that hold the point
constexpr int BlankGlyph = 10, MinusGlyph = 11, PointOffset = 12;
constexpr int MaxDigits = 10;
constexpr size_t MaxText = 11;

const PublishedClass& MplcdClass = PublishClass<TMPLCD, TCustomPanel>("TMPLCD", [](Published<TMPLCD>& P) {
    P.Double("Value", &TMPLCD::GetValue, &TMPLCD::SetValue);
    P.Int("NumOfDigits", &TMPLCD::GetNumOfDigits, &TMPLCD::SetNumOfDigits);
    P.Int("NumOfDecimals", &TMPLCD::GetNumOfDecimals, &TMPLCD::SetNumOfDecimals);
    P.Bool("AutoDist", &TMPLCD::GetAutoDist, &TMPLCD::SetAutoDist);
    P.Enum("LCDOnColor", TLCDColorsType, &TMPLCD::GetLCDOnColor, &TMPLCD::SetLCDOnColor);
    P.Enum("LCDOffColor", TLCDColorsType, &TMPLCD::GetLCDOffColor, &TMPLCD::SetLCDOffColor);
    P.Color("LCDframeColor", &TMPLCD::GetLCDframeColor, &TMPLCD::SetLCDframeColor);
    P.Bool("LCDOn", &TMPLCD::GetLCDOn, &TMPLCD::SetLCDOn);
    P.Bool("Enabled", &TMPLCD::GetEnabled, &TMPLCD::SetEnabled);
});

double powerOf10(int Exponent)
{
    double R = 1;
    for (int I = 0; I < Exponent; ++I)
        R *= 10;
    return R;
}

int glyphOf(char C)
{
    if (C >= '0' && C <= '9')
        return C - '0';
    return C == '-' ? MinusGlyph : BlankGlyph;
}

bool hasPoint(const std::string& Text, size_t Count) { return Text.substr(0, Count).find('.') != std::string::npos; }

} // namespace

TMPLCD::TMPLCD(TComponent* AOwner)
    : TCustomPanel(AOwner), FStrip(std::make_unique<TBitmap>()), FColored(std::make_unique<TBitmap>())
{
    FStrip->LoadFromResourceName("LCDPDIGITS");
    FColored->SetSize(FStrip->GetWidth() + 1, FStrip->GetHeight() + 1);
    SetHeight(GlyphHeight);
    adjustSize();
}

TMPLCD::~TMPLCD() = default;

// --- What is shown

void TMPLCD::SetValue(double Value)
{
    if (Value == FValue)
        return;
    FValue = Value;
    FRebuild = false;
    Repaint();
}

void TMPLCD::SetLCDOn(bool Value)
{
    if (Value == FLCDOn)
        return;
    FLCDOn = Value;
    FRebuild = false;
    Repaint();
}

void TMPLCD::SetEnabled(bool Value)
{
    if (Value == GetEnabled())
        return;
    TCustomPanel::SetEnabled(Value);
    FRebuild = false;
    Repaint();
}

// --- Layout and colours

void TMPLCD::SetNumOfDigits(uint16_t Value)
{
    if (Value == FNumOfDigits)
        return;
    FNumOfDigits = std::clamp<uint16_t>(Value, 1, MaxDigits);
    FNumOfDecimals = std::min(FNumOfDecimals, FNumOfDigits);
    adjustSize();
    FRebuild = true;
    Repaint();
}

void TMPLCD::SetNumOfDecimals(uint16_t Value)
{
    if (Value == FNumOfDecimals)
        return;
    FNumOfDecimals = std::min(Value, FNumOfDigits);
    adjustSize();
    FRebuild = true;
    Repaint();
}

void TMPLCD::SetAutoDist(bool Value)
{
    if (Value == FAutoDist)
        return;
    FAutoDist = Value;
    adjustSize();
    FRebuild = true;
    Repaint();
}

void TMPLCD::SetLCDOnColor(TLCDColors Value)
{
    if (Value == FLCDOnColor)
        return;
    FLCDOnColor = Value;
    FRebuild = true;
    Repaint();
}

void TMPLCD::SetLCDOffColor(TLCDColors Value)
{
    if (Value == FLCDOffColor)
        return;
    FLCDOffColor = Value;
    FRebuild = true;
    Repaint();
}

void TMPLCD::SetLCDframeColor(TColor Value)
{
    if (Value == FLCDframeColor)
        return;
    FLCDframeColor = Value;
    FRebuild = true;
    Repaint();
}

// --- Size

void TMPLCD::Resize()
{
    TCustomPanel::Resize();
    adjustSize();
    FRebuild = true;
    Repaint();
}

void TMPLCD::Loaded()
{
    TCustomPanel::Loaded();
    // Sizes read from a form resource arrive without size notices.
    adjustSize();
}

void TMPLCD::adjustSize()
{
    FCellWidth = static_cast<int>(Trunc(GetHeight() * double(GlyphWidth) / GlyphHeight + 0.0001));
    FGap = static_cast<int>(Trunc(FCellWidth / double(GlyphWidth) + 0.0001));
    const int Narrow = FCellWidth - PointColumns * FGap;
    SetWidth(FAutoDist ? FNumOfDigits * Narrow + 4 * FGap : FNumOfDigits * FCellWidth + 2 * FGap);
}

// --- Painting

std::string TMPLCD::valueText() const
{
    if (!GetEnabled() || !FLCDOn)
        return std::string(MaxText, ' ');
    const int N = FNumOfDigits, D = FNumOfDecimals;
    // The limit counts whole digits only: the decimals have cells of their own.
    const double Limit = powerOf10(FValue < 0 ? N - 1 : N) - 1;
    const double V = FValue > -Limit && FValue < Limit ? FValue : (FValue < 0 ? -Limit : Limit);
    std::string Text = Format("%*.*f", { D > 0 ? N + 1 : N, D, V });
    if (Text.size() > MaxText)
        Text.resize(MaxText);
    return Text;
}

void TMPLCD::Paint()
{
    if (FRebuild || !FPainted)
        RecolorDigitStrip(*FStrip, *FColored, LCDColorValue(FLCDOffColor), LCDColorValue(FLCDOnColor), FLCDframeColor);
    drawText(valueText());
    FRebuild = true;
    FPainted = true;
}

void TMPLCD::drawText(const std::string& Text)
{
    const int N = FNumOfDigits, D = FNumOfDecimals, Height = GetHeight();
    const int Narrow = FCellWidth - PointColumns * FGap;
    TCanvas& Canvas = *GetCanvas();
    TCanvas& Strip = *FColored->GetCanvas();
    Canvas.GetBrush()->SetColor(FLCDframeColor);

    // A pure fraction (as many decimals as digits) drops its leading zero.
    size_t At = N == D && !Text.empty() && Text[0] == '0' ? 1 : 0;
    const bool PointShown = hasPoint(Text, N);
    const int Steps = N + (D > 0 && PointShown ? 1 : 0);
    int X = 0;
    if (FAutoDist && !PointShown) {
        Canvas.FillRect(Rect(0, 0, FGap, Height));
        X = FGap;
    }
    bool Point = false;
    for (int Step = 0; Step < Steps; ++Step, ++At) {
        // With ten digits and ten decimals the walk reaches past the text: blanks.
        const char C = At < Text.size() ? Text[At] : ' ';
        if (C == '.') {
            Point = true;
            continue;
        }
        const int G = glyphOf(C) + (Point ? PointOffset : 0);
        const bool Narrowed = FAutoDist && !Point;
        const int Width = Narrowed ? Narrow : FCellWidth;
        const int Left = GlyphWidth * G + (Narrowed ? PointColumns : 0);
        Canvas.CopyRect(Rect(X, 0, X + Width, Height), Strip, Rect(Left, 0, GlyphWidth * G + GlyphWidth, GlyphHeight));
        X += Width;
        Point = false;
    }
    Canvas.FillRect(Rect(X, 0, GetWidth(), Height));
}
