//===- TMGauge.cpp - Segmented level bar on a bevelled panel ----------------===//
#include "controls/TMGauge.h"

#include "platform/rtl/SysUtils.h"
#include "platform/ui/components/Published.h"
#include "platform/ui/graphics/TBitmap.h"
#include "platform/ui/graphics/TCanvas.h"

#include <algorithm>

namespace {

constexpr TColor DisabledColor = 0x808080;

const PublishedClass& MGaugeClass = PublishClass<TMGauge, TCustomPanel>("TMGauge", [](Published<TMGauge>& P) {
    P.Int("value", &TMGauge::Getvalue, &TMGauge::Setvalue);
    P.Int("MinValue", &TMGauge::GetMinValue, &TMGauge::SetMinValue);
    P.Int("MaxValue", &TMGauge::GetMaxValue, &TMGauge::SetMaxValue);
    P.Int("Spots", &TMGauge::GetSpots, &TMGauge::SetSpots);
    P.Int("Steps", &TMGauge::GetSteps, &TMGauge::SetSteps);
    P.Int("HSpace", &TMGauge::GetHSpace, &TMGauge::SetHSpace);
    P.Int("VSpace", &TMGauge::GetVSpace, &TMGauge::SetVSpace);
    P.Enum("Bartype", TbartypeType, &TMGauge::GetBartype, &TMGauge::SetBartype);
    P.Color("BarColor", &TMGauge::GetBarColor, &TMGauge::SetBarColor);
    P.Bool("SpotEnabled", &TMGauge::GetSpotEnabled, &TMGauge::SetSpotEnabled);
    P.Bool("Enabled", &TMGauge::GetEnabled, &TMGauge::SetEnabled);
});

} // namespace

TMGauge::TMGauge(TComponent* AOwner) : TCustomPanel(AOwner), FShown(std::make_unique<TBitmap>())
{
    ControlStyle = { csClickEvents, csOpaque, csDoubleClicks };
    SetTabStop(false);
    SetBevelInner(bvLowered);
    SetBevelOuter(bvNone);
    SetBevelWidth(1);
    SetBorderWidth(0);
    SetBounds(GetLeft(), GetTop(), 200, 20);
}

TMGauge::~TMGauge() = default;

// --- Value and range

void TMGauge::Setvalue(int32_t Value)
{
    if (Value == Fvalue)
        return;
    Fvalue = Value < FMinValue ? FMinValue : Value;
    Fvalue = Fvalue > FMaxValue ? FMaxValue : Fvalue;
    FPaintFrame = false;
    Repaint();
}

void TMGauge::SetMinValue(int32_t Value)
{
    if (Value == FMinValue || Value == FMaxValue)
        return;
    FMinValue = Value;
    Fvalue = std::max(Fvalue, FMinValue);
    FPaintFrame = true;
    Repaint();
}

void TMGauge::SetMaxValue(int32_t Value)
{
    if (Value == FMaxValue || Value == FMinValue)
        return;
    FMaxValue = Value;
    Fvalue = std::min(Fvalue, FMaxValue);
    FPaintFrame = true;
    Repaint();
}

// --- Segments

void TMGauge::SetSpots(TSpotCount Value)
{
    if (Value == FSpots)
        return;
    // No segments would divide the bar by zero; one is the least that can be drawn.
    FSpots = std::max<TSpotCount>(Value, 1);
    FGeometryChanged = true;
    FPaintFrame = true;
    Repaint();
}

void TMGauge::SetHSpace(uint16_t Value)
{
    if (Value == FHSpace)
        return;
    FHSpace = Value;
    FGeometryChanged = true;
    FPaintFrame = true;
    Repaint();
}

void TMGauge::SetVSpace(uint16_t Value)
{
    if (Value == FVSpace)
        return;
    FVSpace = Value;
    FGeometryChanged = true;
    FPaintFrame = true;
    Repaint();
}

void TMGauge::SetBartype(Tbartype Value)
{
    FBartype = Value;
    FGeometryChanged = true;
    FPaintFrame = true;
    Repaint();
}

void TMGauge::SetSpotEnabled(bool Value)
{
    if (Value == FSpotEnabled)
        return;
    FSpotEnabled = Value;
    FGeometryChanged = true;
    FPaintFrame = false;
    Repaint();
}

void TMGauge::SetSteps(TStepCount Value)
{
    if (Value == FSteps)
        return;
    FSteps = Value;
    FPaintFrame = true;
    Repaint();
}

// --- Colour

void TMGauge::SetBarColor(TColor Value)
{
    if (Value == FBarColor)
        return;
    FBarColor = Value;
    FPaintFrame = false;
    Repaint();
}

void TMGauge::SetEnabled(bool Value)
{
    if (Value == GetEnabled())
        return;
    TCustomPanel::SetEnabled(Value);
    FPaintFrame = false;
    Repaint();
}

// --- Painting

int TMGauge::borderSize() const
{
    int B = GetBorderWidth();
    if (GetBevelOuter() != bvNone)
        B += GetBevelWidth();
    if (GetBevelInner() != bvNone)
        B += GetBevelWidth();
    return B;
}

bool TMGauge::framingChanged() const
{
    return FLastInner != static_cast<int>(GetBevelInner()) || FLastOuter != static_cast<int>(GetBevelOuter())
           || FLastBevelWidth != GetBevelWidth() || FLastBorderWidth != GetBorderWidth() || FLastWidth != GetWidth()
           || FLastHeight != GetHeight();
}

void TMGauge::rememberFraming()
{
    FLastInner = static_cast<int>(GetBevelInner());
    FLastOuter = static_cast<int>(GetBevelOuter());
    FLastBevelWidth = GetBevelWidth();
    FLastBorderWidth = GetBorderWidth();
    FLastWidth = GetWidth();
    FLastHeight = GetHeight();
}

void TMGauge::trimLength()
{
    if (GetAlign() == alNone && FSpotEnabled) {
        const int B = borderSize();
        const bool Horizontal = FBartype == gkhorizontal;
        const int Space = Horizontal ? FHSpace : FVSpace;
        const int Length = Horizontal ? GetWidth() : GetHeight();
        const int Pitch = static_cast<int>(Trunc(double(Length - 2 * B - Space) / FSpots + 0.005));
        const int NewLength = 2 * B + Space + FSpots * Pitch + 1;
        if (Horizontal)
            SetWidth(NewLength);
        else
            SetHeight(NewLength);
    }
    rememberFraming();
}

void TMGauge::Paint()
{
    if (!GetParent())
        return;
    if (framingChanged() || FGeometryChanged)
        trimLength();
    if (FPaintFrame || !FPainted)
        TCustomPanel::Paint();
    else
        // The original window kept its bevels between paints; our picture starts blank.
        GetCanvas()->Draw(0, 0, *FShown);
    drawBar();
    FPainted = true;
    FPaintFrame = true;
    FGeometryChanged = false;
    keepShown();
}

void TMGauge::keepShown()
{
    const int W = GetWidth(), H = GetHeight();
    FShown->SetSize(W, H);
    FShown->GetCanvas()->CopyRect(Rect(0, 0, W, H), *GetCanvas(), Rect(0, 0, W, H));
}

void TMGauge::drawBar()
{
    if (!GetVisible() || !GetParent())
        return;
    const int B = borderSize(), W = GetWidth(), H = GetHeight();
    const int64_t Range = int64_t(FMaxValue) - FMinValue;
    // An empty range shows nothing lit instead of dividing by zero.
    double F = Range == 0 ? 0.0 : double(int64_t(Fvalue) - FMinValue) / double(Range);
    F = std::clamp(F, 0.0, 1.0);
    const int Lit = static_cast<int>(Trunc(FSpots * F + 1e-8));

    TBitmap Work;
    Work.SetSize(std::max(W, 1), std::max(H, 1));
    TCanvas& C = *Work.GetCanvas();
    C.GetBrush()->SetColor(GetColor());
    C.FillRect(Rect(B, B, W - B, H - B));
    C.GetBrush()->SetColor(GetEnabled() ? FBarColor : DisabledColor);
    if (FBartype == gkhorizontal) {
        const int Left = B + FHSpace, Top = B + FVSpace, Bottom = H - B - FVSpace;
        if (FSpotEnabled) {
            const int Pitch = (W - 2 * B - FHSpace) / FSpots;
            for (int K = 0; K < Lit; ++K)
                C.FillRect(Rect(Left + K * Pitch, Top, B + Pitch + K * Pitch, Bottom));
        } else {
            C.FillRect(Rect(Left, Top, Left + static_cast<int>(Trunc(F * (W - 2 * B - 2 * FHSpace - 1))), Bottom));
        }
    } else {
        const int Left = B + FHSpace, Right = W - B - FHSpace - 1, Bottom = H - B - FVSpace;
        if (FSpotEnabled) {
            const int Pitch = (H - 2 * B - FVSpace) / FSpots;
            for (int K = 0; K < Lit; ++K)
                C.FillRect(Rect(Left, H - B - Pitch - K * Pitch, Right, Bottom - K * Pitch));
        } else {
            C.FillRect(Rect(Left, Bottom - static_cast<int>(Trunc(F * (H - 2 * B - 2 * FVSpace))), Right, Bottom));
        }
    }
    const TRect Inside = Rect(B, B, W - B, H - B);
    GetCanvas()->CopyRect(Inside, C, Inside);
}
