//===- Buttons.cpp - Bitmap buttons and speed buttons -----------------------===//
#include "platform/ui/controls/Buttons.h"

#include "platform/ui/components/Published.h"
#include "platform/ui/graphics/TCanvas.h"
#include "platform/ui/controls/TCustomPanel.h"

#include "platform/gdi/Gdi.h"

namespace {

const PublishedClass& BitBtnClass = PublishClass<TBitBtn, TButton>("TBitBtn");

const PublishedClass& SpeedButtonClass =
    PublishClass<TSpeedButton, TGraphicControl>("TSpeedButton", [](Published<TSpeedButton>& P) {
        P.Bool("AllowAllUp", &TSpeedButton::GetAllowAllUp, &TSpeedButton::SetAllowAllUp);
        P.Int("GroupIndex", &TSpeedButton::GetGroupIndex, &TSpeedButton::SetGroupIndex);
        P.Bool("Down", &TSpeedButton::GetDown, &TSpeedButton::SetDown);
        P.Bool("Flat", &TSpeedButton::GetFlat, &TSpeedButton::SetFlat);
    });

} // namespace

TSpeedButton::TSpeedButton(TComponent* AOwner) : TGraphicControl(AOwner)
{
    // The button clicks itself on release, after its own group handling.
    ControlStyle = { csCaptureMouse, csDoubleClicks };
    SetBounds(0, 0, 23, 22);
    SetColor(clBtnFace);
}

void TSpeedButton::SetDown(bool Value)
{
    if (FGroupIndex == 0 || Value == FDown)
        return;
    if (!Value && !FAllowAllUp) {
        // The last down button of a group stays down unless the group allows all up.
        bool OtherDown = false;
        if (TWinControl* Parent = GetParent())
            for (int I = 0; I < Parent->ControlCount(); ++I)
                if (auto* B = dynamic_cast<TSpeedButton*>(Parent->Controls(I));
                    B && B != this && B->FGroupIndex == FGroupIndex && B->FDown)
                    OtherDown = true;
        if (!OtherDown)
            return;
    }
    FDown = Value;
    if (FDown)
        releaseGroup();
    Repaint();
}

void TSpeedButton::releaseGroup()
{
    TWinControl* Parent = GetParent();
    if (!Parent)
        return;
    for (int I = 0; I < Parent->ControlCount(); ++I)
        if (auto* B = dynamic_cast<TSpeedButton*>(Parent->Controls(I));
            B && B != this && B->FGroupIndex == FGroupIndex && B->FDown) {
            B->FDown = false;
            B->Repaint();
        }
}

void TSpeedButton::SetGroupIndex(int Value)
{
    FGroupIndex = Value;
    if (Value == 0 && FDown) {
        FDown = false;
        Repaint();
    }
}

void TSpeedButton::SetAllowAllUp(bool Value) { FAllowAllUp = Value; }

void TSpeedButton::SetFlat(bool Value)
{
    FFlat = Value;
    Invalidate();
}

void TSpeedButton::Click() { TGraphicControl::Click(); }

void TSpeedButton::Paint()
{
    TCanvas& Canvas = *GetCanvas();
    TRect R = GetClientRect();
    const bool Sunk = FDown || (FPressed && FHot);
    if (!FFlat || FHot || Sunk) {
        Frame3D(Canvas, R, Sunk ? clBtnShadow : clBtnHighlight, Sunk ? clBtnHighlight : cl3DDkShadow, 1);
        if (!Sunk)
            Frame3D(Canvas, R, GetColor(), clBtnShadow, 1);
    }
    Canvas.GetBrush()->SetColor(GetColor());
    Canvas.FillRect(R);
    Canvas.GetBrush()->SetStyle(bsClear);
    Canvas.SetFont(*GetFont());
    RECT Text = GetClientRect();
    if (Sunk) {
        ++Text.left;
        ++Text.top;
        ++Text.right;
        ++Text.bottom;
    }
    const unsigned Format = DT_CENTER | DT_VCENTER | DT_SINGLELINE;
    if (!GetEnabled()) {
        RECT Shifted { Text.left + 1, Text.top + 1, Text.right + 1, Text.bottom + 1 };
        Canvas.GetFont()->SetColor(clBtnHighlight);
        DrawText(Canvas.GetHandle(), GetCaption(), &Shifted, Format);
        Canvas.GetFont()->SetColor(clBtnShadow);
    }
    DrawText(Canvas.GetHandle(), GetCaption(), &Text, Format);
}

void TSpeedButton::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    TGraphicControl::MouseDown(Button, Shift, X, Y);
    if (Button != mbLeft || !GetEnabled())
        return;
    FPressed = true;
    FHot = true;
    Repaint();
}

void TSpeedButton::MouseMove(TShiftState Shift, int X, int Y)
{
    TGraphicControl::MouseMove(Shift, X, Y);
    const bool Inside = PtInRect(GetClientRect(), Point(X, Y));
    if (Inside != FHot && GetEnabled()) {
        FHot = Inside;
        Repaint();
    }
}

void TSpeedButton::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    if (Button == mbLeft && FPressed) {
        FPressed = false;
        const bool Inside = PtInRect(GetClientRect(), Point(X, Y));
        if (Inside && FGroupIndex != 0)
            SetDown(!FDown || !FAllowAllUp ? true : false);
        Repaint();
        if (Inside)
            Click();
    }
    TGraphicControl::MouseUp(Button, Shift, X, Y);
}

void TSpeedButton::MouseLeave()
{
    TGraphicControl::MouseLeave();
    if (FHot) {
        FHot = false;
        Repaint();
    }
}

bool TSpeedButton::DialogChar(char Key)
{
    if (!IsAccel(Key, GetCaption()) || !GetEnabled() || !GetVisible())
        return false;
    Click();
    return true;
}

void TSpeedButton::EnabledChanged()
{
    FPressed = false;
    FHot = false;
    TGraphicControl::EnabledChanged();
}
