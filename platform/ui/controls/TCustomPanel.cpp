//===- TCustomPanel.cpp - Panels: a colour, bevels, a border and a centred caption ===//
#include "platform/ui/controls/TCustomPanel.h"

#include "platform/ui/components/Published.h"
#include "platform/ui/graphics/TCanvas.h"

#include "platform/gdi/Gdi.h"

namespace {

template <class T>
void publishPanel(Published<T>& P)
{
    P.Enum("BevelInner", TBevelCutType, &TCustomPanel::GetBevelInner, &TCustomPanel::SetBevelInner);
    P.Enum("BevelOuter", TBevelCutType, &TCustomPanel::GetBevelOuter, &TCustomPanel::SetBevelOuter);
    P.Int("BevelWidth", &TCustomPanel::GetBevelWidth, &TCustomPanel::SetBevelWidth);
    P.Int("BorderWidth", &TCustomPanel::GetBorderWidth, &TCustomPanel::SetBorderWidth);
    P.Enum("BorderStyle", TFormBorderStyleType, &TCustomPanel::GetBorderStyle, &TCustomPanel::SetBorderStyle);
    P.Enum("Alignment", TAlignmentType, &TCustomPanel::GetAlignment, &TCustomPanel::SetAlignment);
}

const PublishedClass& CustomPanelClass =
    PublishClass<TCustomPanel, TCustomControl>("TCustomPanel", publishPanel<TCustomPanel>);
const PublishedClass& PanelClass = PublishClass<TPanel, TCustomPanel>("TPanel");

void bevelColors(TBevelCut Cut, TColor& Top, TColor& Bottom)
{
    Top = Cut == bvLowered ? clBtnShadow : clBtnHighlight;
    Bottom = Cut == bvLowered ? clBtnHighlight : clBtnShadow;
}

int bevelWidthOf(TBevelCut Cut, int Width) { return Cut == bvNone ? 0 : Width; }

} // namespace

void Frame3D(TCanvas& Canvas, TRect& Rect, TColor TopColor, TColor BottomColor, int Width)
{
    Canvas.GetPen()->SetWidth(1);
    Canvas.GetPen()->SetStyle(psSolid);
    --Rect.Bottom;
    --Rect.Right;
    for (; Width > 0; --Width) {
        Canvas.GetPen()->SetColor(TopColor);
        Canvas.MoveTo(Rect.Left, Rect.Bottom);
        Canvas.LineTo(Rect.Left, Rect.Top);
        Canvas.LineTo(Rect.Right, Rect.Top);
        Canvas.GetPen()->SetColor(BottomColor);
        Canvas.LineTo(Rect.Right, Rect.Bottom);
        Canvas.LineTo(Rect.Left - 1, Rect.Bottom);
        ++Rect.Left;
        ++Rect.Top;
        --Rect.Right;
        --Rect.Bottom;
    }
    ++Rect.Bottom;
    ++Rect.Right;
}

TCustomPanel::TCustomPanel(TComponent* AOwner) : TCustomControl(AOwner)
{
    ControlStyle = { csAcceptsControls, csCaptureMouse, csClickEvents, csOpaque, csDoubleClicks };
    SetColor(clBtnFace);
    SetBounds(0, 0, 185, 41);
}

void TCustomPanel::SetBevelInner(TBevelCut Value)
{
    FBevelInner = Value;
    Realign();
    Invalidate();
}

void TCustomPanel::SetBevelOuter(TBevelCut Value)
{
    FBevelOuter = Value;
    Realign();
    Invalidate();
}

void TCustomPanel::SetBevelWidth(TBevelWidth Value)
{
    FBevelWidth = std::max(1, Value);
    Realign();
    Invalidate();
}

void TCustomPanel::SetBorderWidth(TBorderWidth Value)
{
    FBorderWidth = std::max(0, Value);
    Realign();
    Invalidate();
}

void TCustomPanel::SetBorderStyle(TBorderStyle Value)
{
    FBorderStyle = Value == bsNone ? bsNone : bsSingle;
    Realign();
    Invalidate();
}

void TCustomPanel::SetAlignment(TAlignment Value)
{
    FAlignment = Value;
    Invalidate();
}

TRect TCustomPanel::AlignRect() const
{
    TRect R = GetClientRect();
    const int Inset = (FBorderStyle == bsSingle ? 1 : 0) + bevelWidthOf(FBevelOuter, FBevelWidth) + FBorderWidth
                      + bevelWidthOf(FBevelInner, FBevelWidth);
    return Rect(R.Left + Inset, R.Top + Inset, R.Right - Inset, R.Bottom - Inset);
}

void TCustomPanel::Paint()
{
    TCanvas& Canvas = *GetCanvas();
    TRect R = GetClientRect();
    if (FBorderStyle == bsSingle)
        Frame3D(Canvas, R, clWindowFrame, clWindowFrame, 1);
    TColor Top, Bottom;
    if (FBevelOuter != bvNone) {
        bevelColors(FBevelOuter, Top, Bottom);
        Frame3D(Canvas, R, Top, Bottom, FBevelWidth);
    }
    Frame3D(Canvas, R, GetColor(), GetColor(), FBorderWidth);
    if (FBevelInner != bvNone) {
        bevelColors(FBevelInner, Top, Bottom);
        Frame3D(Canvas, R, Top, Bottom, FBevelWidth);
    }
    Canvas.GetBrush()->SetColor(GetColor());
    Canvas.FillRect(R);
    Canvas.GetBrush()->SetStyle(bsClear);
    Canvas.SetFont(*GetFont());
    const int FontHeight = Canvas.TextHeight("W");
    R.Top = (R.Bottom + R.Top - FontHeight) / 2;
    R.Bottom = R.Top + FontHeight;
    unsigned Format = DT_EXPANDTABS | DT_VCENTER | DT_SINGLELINE;
    if (FAlignment == taCenter)
        Format |= DT_CENTER;
    else if (FAlignment == taRightJustify)
        Format |= DT_RIGHT;
    RECT Text = R;
    DrawText(Canvas.GetHandle(), GetCaption(), &Text, Format);
}
