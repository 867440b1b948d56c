//===- FormImage.cpp - A picture of a form as its controls painted themselves ---===//
#include "lasercontrol/FormImage.h"

#include "platform/ui/StdCtrls.h"
#include "platform/ui/TBitmap.h"
#include "platform/ui/TCanvas.h"
#include "platform/ui/TCustomControl.h"
#include "platform/ui/TCustomPanel.h"
#include "platform/ui/TForm.h"
#include "platform/ui/TGraphicControl.h"

#include <string>

namespace {

/// The caption as a button shows it: "&&" is an ampersand, a single '&' only marks the key.
std::string shownCaption(const std::string& Caption)
{
    std::string shown;
    for (size_t i = 0; i < Caption.size(); ++i) {
        if (Caption[i] == '&' && i + 1 < Caption.size())
            ++i;
        shown += Caption[i];
    }
    return shown;
}

void drawButton(TCanvas& Target, TButton& Button, TRect R)
{
    Target.GetBrush()->SetStyle(bsSolid);
    Target.GetBrush()->SetColor(clBtnFace);
    Target.FillRect(R);
    TRect frame = R;
    Frame3D(Target, frame, clBtnHighlight, cl3DDkShadow, 1);
    Frame3D(Target, frame, cl3DLight, clBtnShadow, 1);
    Target.SetFont(*Button.GetFont());
    Target.GetFont()->SetColor(Button.GetEnabled() ? clBtnText : clGrayText);
    Target.GetBrush()->SetStyle(bsClear);
    const std::string text = shownCaption(Button.GetCaption());
    const SIZE size = Target.TextExtent(text);
    Target.TextRect(R, R.Left + (R.Width() - size.cx) / 2, R.Top + (R.Height() - size.cy) / 2, text);
}

/// Copies what the control painted into Target at its place.
void copyPicture(TCanvas& Target, TControl& Control, TCanvas* Picture, const TRect& R)
{
    if (!Picture)
        return;
    Control.Repaint();
    Target.SetCopyMode(cmSrcCopy);
    Target.CopyRect(R, *Picture, Rect(0, 0, R.Width(), R.Height()));
}

void drawControl(TCanvas& Target, TControl& Control, TPoint Origin)
{
    if (!Control.GetVisible())
        return;
    const TRect r = Bounds(Origin.X + Control.GetLeft(), Origin.Y + Control.GetTop(), Control.GetWidth(),
                           Control.GetHeight());
    if (auto* graphic = dynamic_cast<TGraphicControl*>(&Control))
        copyPicture(Target, Control, graphic->GetCanvas(), r);
    else if (auto* custom = dynamic_cast<TCustomControl*>(&Control))
        copyPicture(Target, Control, custom->GetCanvas(), r);
    else if (auto* button = dynamic_cast<TButton*>(&Control))
        drawButton(Target, *button, r);
    if (auto* parent = dynamic_cast<TWinControl*>(&Control))
        for (int i = 0; i < parent->ControlCount(); ++i)
            drawControl(Target, *parent->Controls(i), Point(r.Left, r.Top));
}

} // namespace

std::unique_ptr<TBitmap> FormImage(TForm& Form)
{
    auto image = std::make_unique<TBitmap>();
    image->SetPixelFormat(pf24bit);
    image->SetSize(Form.GetClientWidth(), Form.GetClientHeight());
    TCanvas& canvas = *image->GetCanvas();
    canvas.GetBrush()->SetColor(Form.GetColor());
    canvas.FillRect(Rect(0, 0, Form.GetClientWidth(), Form.GetClientHeight()));
    for (int i = 0; i < Form.ControlCount(); ++i)
        drawControl(canvas, *Form.Controls(i), Point(0, 0));
    return image;
}
