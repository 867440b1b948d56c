//===- TMLCD.cpp - Seven-segment display of an integer ----------------------===//
#include "controls/TMLCD.h"

#include "controls/ColorKey.h"
#include "platform/rtl/Format.h"
#include "platform/rtl/SysUtils.h"
#include "platform/ui/components/Published.h"
#include "platform/ui/graphics/TBitmap.h"
#include "platform/ui/graphics/TCanvas.h"

#include <algorithm>

namespace {

constexpr int GlyphWidth = 13, GlyphHeight = 23;
constexpr int BlankGlyph = 16, MinusGlyph = 17;
constexpr int MaxDigits = 10;

const PublishedClass& MlcdClass = PublishClass<TMLCD, TCustomPanel>("TMLCD", [](Published<TMLCD>& P) {
    P.Int("Value", &TMLCD::GetValue, &TMLCD::SetValue);
    P.Enum("Format", TLcdFormatType, &TMLCD::GetFormat, &TMLCD::SetFormat);
    P.Int("NumOfDigits", &TMLCD::GetNumOfDigits, &TMLCD::SetNumOfDigits);
    P.Enum("LCDOnColor", TLCDColorsType, &TMLCD::GetLCDOnColor, &TMLCD::SetLCDOnColor);
    P.Enum("LCDOffColor", TLCDColorsType, &TMLCD::GetLCDOffColor, &TMLCD::SetLCDOffColor);
    P.Color("LCDframeColor", &TMLCD::GetLCDframeColor, &TMLCD::SetLCDframeColor);
    P.Bool("LCDOn", &TMLCD::GetLCDOn, &TMLCD::SetLCDOn);
    P.ReadOnlyString("ValueString", &TMLCD::GetValueString);
    P.Bool("Enabled", &TMLCD::GetEnabled, &TMLCD::SetEnabled);
});

int64_t powerOf(int64_t Base, int Exponent)
{
    int64_t R = 1;
    for (int I = 0; I < Exponent; ++I)
        R *= Base;
    return R;
}

int glyphOf(char C)
{
    if (C >= '0' && C <= '9')
        return C - '0';
    if (C >= 'A' && C <= 'F')
        return 10 + C - 'A';
    return C == '-' ? MinusGlyph : BlankGlyph;
}

/// Hexadecimal in N cells: the last N digits, leading zeros blank except in the last cell.
std::string hexText(int64_t V, int N)
{
    std::string S = IntToHex(static_cast<int32_t>(V), N);
    if (static_cast<int>(S.size()) > N)
        S.erase(0, S.size() - N);
    if (N > 1 && S[0] == '0')
        for (int I = 0; I < N - 1 && S[I] == '0'; ++I)
            S[I] = ' ';
    return S;
}

} // namespace

TMLCD::TMLCD(TComponent* AOwner)
    : TCustomPanel(AOwner), FStrip(std::make_unique<TBitmap>()), FColored(std::make_unique<TBitmap>())
{
    FStrip->LoadFromResourceName("LCDDIGITS");
    FColored->SetSize(FStrip->GetWidth() + 1, FStrip->GetHeight() + 1);
    SetHeight(GlyphHeight);
    adjustSize();
}

TMLCD::~TMLCD() = default;

// --- What is shown

void TMLCD::SetValue(int32_t Value)
{
    if (Value == FValue)
        return;
    FValue = Value;
    FRebuild = false;
    Repaint();
}

void TMLCD::SetFormat(TLcdFormat Value)
{
    if (Value == FFormat)
        return;
    FFormat = Value;
    FRebuild = false;
    Repaint();
}

void TMLCD::SetLCDOn(bool Value)
{
    if (Value == FLCDOn)
        return;
    FLCDOn = Value;
    FRebuild = false;
    Repaint();
}

void TMLCD::SetEnabled(bool Value)
{
    if (Value == GetEnabled())
        return;
    TCustomPanel::SetEnabled(Value);
    FRebuild = false;
    Repaint();
}

// --- Layout and colours

void TMLCD::SetNumOfDigits(uint16_t Value)
{
    if (Value == FNumOfDigits)
        return;
    FNumOfDigits = std::clamp<uint16_t>(Value, 1, MaxDigits);
    adjustSize();
    FRebuild = true;
    Repaint();
}

void TMLCD::SetLCDOnColor(TLCDColors Value)
{
    if (Value == FLCDOnColor)
        return;
    FLCDOnColor = Value;
    FRebuild = true;
    Repaint();
}

void TMLCD::SetLCDOffColor(TLCDColors Value)
{
    if (Value == FLCDOffColor)
        return;
    FLCDOffColor = Value;
    FRebuild = true;
    Repaint();
}

void TMLCD::SetLCDframeColor(TColor Value)
{
    if (Value == FLCDframeColor)
        return;
    FLCDframeColor = Value;
    FRebuild = true;
    Repaint();
}

// --- Size

void TMLCD::Resize()
{
    TCustomPanel::Resize();
    adjustSize();
    FRebuild = true;
    Repaint();
}

void TMLCD::Loaded()
{
    TCustomPanel::Loaded();
    // Sizes read from a form resource arrive without size notices.
    adjustSize();
}

void TMLCD::adjustSize()
{
    FCell = static_cast<int>(Trunc(GetHeight() * double(GlyphWidth) / GlyphHeight + 0.0001));
    SetWidth(FNumOfDigits * FCell);
}

// --- Painting

std::string TMLCD::valueText() const
{
    if (!GetEnabled() || !FLCDOn)
        return std::string(MaxDigits, ' ');
    const int N = FNumOfDigits;
    // 64 bits: ten decimal digits reach 9999999999, beyond any 32-bit limit.
    int64_t Limit;
    if (FFormat == TLcdFormat::DEZ)
        Limit = powerOf(10, FValue < 0 ? N - 1 : N) - 1;
    else
        Limit = N < 8 ? powerOf(16, N) - 1 : 2147483647;
    const int64_t V = FValue >= 0 ? std::min<int64_t>(FValue, Limit) : std::max<int64_t>(FValue, -Limit);
    if (FFormat == TLcdFormat::DEZ)
        return Format("%*d", { N, static_cast<long long>(V) });
    return hexText(V, N);
}

void TMLCD::recolor()
{
    RecolorDigitStrip(*FStrip, *FColored, LCDColorValue(FLCDOffColor), LCDColorValue(FLCDOnColor), FLCDframeColor);
}

void TMLCD::Paint()
{
    if (FRebuild || !FPainted)
        recolor();
    FValueString = valueText();
    const int Height = GetHeight();
    for (int I = 1; I <= FNumOfDigits; ++I) {
        const char C = I <= static_cast<int>(FValueString.size()) ? FValueString[I - 1] : ' ';
        const int G = glyphOf(C);
        GetCanvas()->CopyRect(Rect(FCell * (I - 1), 0, FCell * I, Height), *FColored->GetCanvas(),
                              Rect(GlyphWidth * G, 0, GlyphWidth * G + GlyphWidth, GlyphHeight));
    }
    FRebuild = true;
    FPainted = true;
}
