//===- TMled.cpp - The signal lamp of the front panels ----------------------===//
#include "controls/TMled.h"

#include "controls/ColorKey.h"
#include "platform/ui/components/Published.h"
#include "platform/ui/graphics/TBitmap.h"
#include "platform/ui/graphics/TCanvas.h"

#include <algorithm>

namespace {

constexpr int LampSize = 15;
// Colour keys of the strip.
constexpr TColor BodyKey = 0x0000FF;
constexpr TColor SurroundingsKey = 0x008080;
constexpr TColor DisabledColor = 0x808080;

const PublishedClass& MledClass = PublishClass<TMled, TCustomPanel>("TMled", [](Published<TMled>& P) {
    P.Bool("LedOn", &TMled::GetLedOn, &TMled::SetLedOn);
    P.Enum("LedStatus", TLedStatusType, &TMled::GetLedStatus, &TMled::SetLedStatus);
    P.Enum("LedOnColor", TLedOnColorsType, &TMled::GetLedOnColor, &TMled::SetLedOnColor);
    P.Enum("LedOffColor", TLedOffColorsType, &TMled::GetLedOffColor, &TMled::SetLedOffColor);
    P.Color("LedframeColor", &TMled::GetLedframeColor, &TMled::SetLedframeColor);
    P.Int("LedTyp", &TMled::GetLedTyp, &TMled::SetLedTyp);
    P.Bool("Enabled", &TMled::GetEnabled, &TMled::SetEnabled);
});

} // namespace

TMled::TMled(TComponent* AOwner)
    : TCustomPanel(AOwner), FStrip(std::make_unique<TBitmap>()), FFrameLayer(std::make_unique<TBitmap>()),
      FColorLayer(std::make_unique<TBitmap>())
{
    FStrip->LoadFromResourceName("AlLED");
    FMaxTyp = static_cast<uint16_t>(std::max(FStrip->GetWidth() / LampSize - 1, 0));
    FFrameLayer->SetSize(LampSize, LampSize);
    FColorLayer->SetSize(LampSize, LampSize);
    SetBounds(GetLeft(), GetTop(), LampSize, LampSize);
    FTarget = Rect(0, 0, GetWidth(), GetHeight());
}

TMled::~TMled() = default;

// --- State

void TMled::SetLedOn(bool Value)
{
    if (Value != FLedOn)
        SetLedStatus(Value ? lOn : lOff);
}

void TMled::SetLedStatus(TLedStatus Value)
{
    if (Value == FLedStatus)
        return;
    FLedStatus = Value;
    FLedOn = Value == lOn;
    FRebuild = false;
    Repaint();
}

void TMled::SetEnabled(bool Value)
{
    if (Value == GetEnabled())
        return;
    TCustomPanel::SetEnabled(Value);
    FRebuild = false;
    Repaint();
}

// --- Look

void TMled::SetLedOnColor(TLedOnColors Value)
{
    FLedOnColor = Value;
    FRebuild = true;
    Repaint();
}

void TMled::SetLedOffColor(TLedOffColors Value)
{
    FLedOffColor = Value;
    FRebuild = true;
    Repaint();
}

void TMled::SetLedframeColor(TColor Value)
{
    FLedframeColor = Value;
    FRebuild = true;
    Repaint();
}

void TMled::SetLedTyp(uint16_t Value)
{
    FLedTyp = std::min(Value, FMaxTyp);
    FRebuild = true;
    Repaint();
}

// --- Size

void TMled::Resize()
{
    TCustomPanel::Resize();
    keepSquare();
}

void TMled::Loaded()
{
    TCustomPanel::Loaded();
    // Sizes read from a form resource arrive without size notices.
    keepSquare();
}

void TMled::keepSquare()
{
    SetWidth(GetHeight());
    FTarget = Rect(0, 0, GetWidth(), GetHeight());
}

// --- Painting

void TMled::Paint()
{
    if (FRebuild || !FPainted)
        buildFrameLayer();
    buildColorLayer();
    GetCanvas()->CopyRect(FTarget, *FColorLayer->GetCanvas(), Rect(0, 0, LampSize, LampSize));
    FRebuild = true;
    FPainted = true;
}

void TMled::buildFrameLayer()
{
    const int Left = LampSize * FLedTyp;
    CopyReplacingColor(*FStrip, Rect(Left, 0, Left + LampSize, LampSize), *FFrameLayer, 0, 0, SurroundingsKey,
                       FLedframeColor);
}

void TMled::buildColorLayer()
{
    TColor Body = FLedOn ? LCDColorValue(FLedOnColor) : LCDColorValue(FLedOffColor);
    if (!GetEnabled())
        Body = DisabledColor;
    CopyReplacingColor(*FFrameLayer, Rect(0, 0, LampSize, LampSize), *FColorLayer, 0, 0, BodyKey, Body);
}
