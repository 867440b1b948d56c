//===- ToaGauge.cpp - Progress gauge: percentage text, bar, pie or needle ---===//
#include "controls/ToaGauge.h"

#include "platform/rtl/Format.h"
#include "platform/rtl/SysUtils.h"
#include "platform/ui/components/Published.h"
#include "platform/ui/graphics/TCanvas.h"

#include <algorithm>
#include <cmath>
#include <numbers>

using oaGauges::TBevelShape;

namespace {

const PublishedClass& OaGaugeClass = PublishClass<ToaGauge, TGraphicControl>("ToaGauge", [](Published<ToaGauge>& P) {
    P.Int("MinValue", &ToaGauge::GetMinValue, &ToaGauge::SetMinValue);
    P.Int("MaxValue", &ToaGauge::GetMaxValue, &ToaGauge::SetMaxValue);
    P.Int("Progress", &ToaGauge::GetProgress, &ToaGauge::SetProgress);
    P.Enum("Kind", TGaugeKindType, &ToaGauge::GetKind, &ToaGauge::SetKind);
    P.Bool("ShowText", &ToaGauge::GetShowText, &ToaGauge::SetShowText);
    P.Color("ForeColor", &ToaGauge::GetForeColor, &ToaGauge::SetForeColor);
    P.Color("BackColor", &ToaGauge::GetBackColor, &ToaGauge::SetBackColor);
    P.Enum("Bevel", oaGauges::TBevelShapeType, &ToaGauge::GetBevel, &ToaGauge::SetBevel);
    P.Enum("ProgressBevel", oaGauges::TBevelShapeType, &ToaGauge::GetProgressBevel, &ToaGauge::SetProgressBevel);
    P.Int("BevelMargin", &ToaGauge::GetBevelMargin, &ToaGauge::SetBevelMargin);
    P.ReadOnlyInt("PercentDone", &ToaGauge::GetPercentDone);
});

void deflate(TRect& R, int By)
{
    R.Left += By;
    R.Top += By;
    R.Right -= By;
    R.Bottom -= By;
}

/// A one-pixel outline in Colour, the inside left as it is.
void outline(TCanvas& C, const TRect& R, TColor Colour)
{
    C.GetPen()->SetColor(Colour);
    C.GetBrush()->SetStyle(bsClear);
    C.Rectangle(R);
}

/// The left and top edges in Colour, the bottom-left corner included, the top-right one not.
void topLeftEdges(TCanvas& C, const TRect& R, TColor Colour)
{
    C.GetPen()->SetColor(Colour);
    C.MoveTo(R.Left, R.Bottom - 1);
    C.LineTo(R.Left, R.Top);
    C.LineTo(R.Right - 1, R.Top);
}

void fill(TCanvas& C, const TRect& R, TColor Colour)
{
    C.GetBrush()->SetColor(Colour);
    C.GetBrush()->SetStyle(bsSolid);
    C.FillRect(R);
}

int roundInt(double X) { return static_cast<int>(Round(X)); }

} // namespace

void TBltBitmap::MakeLike(const TBitmap& ATemplate) { SetSize(ATemplate.GetWidth(), ATemplate.GetHeight()); }

ToaGauge::ToaGauge(TComponent* AOwner)
    : TGraphicControl(AOwner), FPicture(std::make_unique<TBltBitmap>()), FWork(std::make_unique<TBltBitmap>())
{
    ControlStyle.Include(csOpaque);
    SetBounds(GetLeft(), GetTop(), 50, 50);
}

ToaGauge::~ToaGauge() = default;

// --- Range and progress

void ToaGauge::SetMinValue(int32_t Value)
{
    if (Value == FMinValue)
        return;
    FMinValue = Value;
    recalcPercent();
}

void ToaGauge::SetMaxValue(int32_t Value)
{
    if (Value == FMaxValue)
        return;
    FMaxValue = Value;
    recalcPercent();
}

void ToaGauge::SetProgress(int32_t Value)
{
    if (Value == FProgress || Value < FMinValue || Value > FMaxValue)
        return;
    FProgress = Value;
    recalcPercent();
}

void ToaGauge::recalcPercent()
{
    const int64_t Range = int64_t(FMaxValue) - FMinValue;
    // 64 bits: (Progress - MinValue) x 100 leaves 32 bits for ranges past 21 million.
    int64_t Percent = Range == 0 ? 0 : (int64_t(FProgress) - FMinValue) * 100 / Range;
    Percent = std::clamp<int64_t>(Percent, 0, 100);
    if (Percent == FPercentDone)
        return;
    FPercentDone = static_cast<int>(Percent);
    redraw();
}

// --- Look

void ToaGauge::SetKind(TGaugeKind Value)
{
    if (Value == FKind)
        return;
    FKind = Value;
    redraw();
}

void ToaGauge::SetShowText(bool Value)
{
    if (Value == FShowText)
        return;
    FShowText = Value;
    redraw();
}

void ToaGauge::SetForeColor(TColor Value)
{
    if (Value == FForeColor)
        return;
    FForeColor = Value;
    redraw();
}

void ToaGauge::SetBackColor(TColor Value)
{
    if (Value == FBackColor)
        return;
    FBackColor = Value;
    redraw();
}

void ToaGauge::SetBevel(TBevelShape Value)
{
    if (Value == FBevel)
        return;
    FBevel = Value;
    redraw();
}

void ToaGauge::SetProgressBevel(TBevelShape Value)
{
    if (Value == FProgressBevel)
        return;
    FProgressBevel = Value;
    redraw();
}

void ToaGauge::SetBevelMargin(int Value)
{
    if (Value == FBevelMargin)
        return;
    FBevelMargin = Value;
    redraw();
}

void ToaGauge::FontChanged()
{
    TGraphicControl::FontChanged();
    redraw();
}

void ToaGauge::ColorChanged()
{
    TGraphicControl::ColorChanged();
    redraw();
}

// --- Painting

void ToaGauge::Paint()
{
    const int W = GetWidth(), H = GetHeight();
    if (!FPainted || W != FPicture->GetWidth() || H != FPicture->GetHeight()) {
        FPicture->SetSize(W, H);
        FWork->MakeLike(*FPicture);
        // One below the stored percentage, so that recomputing it sees a change and redraws.
        --FPercentDone;
        recalcPercent();
        FPainted = true;
    }
    GetCanvas()->Draw(0, 0, *FPicture);
}

void ToaGauge::redraw()
{
    if (FPicture->Empty())
        return;
    TCanvas& P = *FPicture->GetCanvas();
    TRect R = GetClientRect();
    fill(P, R, GetColor());
    drawBevel(P, R, FBevel);
    deflate(R, FBevelMargin);
    drawBevel(P, R, FProgressBevel);
    fill(P, R, clBlack);

    TCanvas& Work = *FWork->GetCanvas();
    fill(Work, Rect(0, 0, FWork->GetWidth(), FWork->GetHeight()), clBlack);
    drawKind(Work, R);
    xorWorkIntoPicture();
    if (FShowText)
        drawText();
    if (GetVisible())
        GetCanvas()->Draw(0, 0, *FPicture);
}

void ToaGauge::drawText()
{
    TCanvas& Work = *FWork->GetCanvas();
    fill(Work, Rect(0, 0, FWork->GetWidth(), FWork->GetHeight()), clBlack);
    Work.SetFont(*GetFont());
    Work.GetFont()->SetColor(clWhite);
    Work.GetBrush()->SetStyle(bsClear);
    const std::string Text = Format("%d%%", { FPercentDone });
    const int X = (GetWidth() - Work.TextWidth(Text) + 1) / 2;
    const int Y = (GetHeight() - Work.TextHeight(Text) + 1) / 2;
    Work.TextOut(X, Y, Text);
    xorWorkIntoPicture();
}

void ToaGauge::xorWorkIntoPicture()
{
    TCanvas& P = *FPicture->GetCanvas();
    const TRect Whole = Rect(0, 0, FPicture->GetWidth(), FPicture->GetHeight());
    P.SetCopyMode(cmSrcInvert);
    P.CopyRect(Whole, *FWork->GetCanvas(), Whole);
    P.SetCopyMode(cmSrcCopy);
}

void ToaGauge::drawBevel(TCanvas& C, TRect& R, TBevelShape Shape) const
{
    switch (Shape) {
    case TBevelShape::bvNone: return;
    case TBevelShape::bvRaised:
        outline(C, R, clBtnShadow);
        topLeftEdges(C, R, clBtnHighlight);
        break;
    case TBevelShape::bvLowered:
        outline(C, R, clBtnHighlight);
        topLeftEdges(C, R, clBtnShadow);
        break;
    case TBevelShape::bvBorder: outline(C, R, clBlack); break;
    case TBevelShape::bvFrame:
        outline(C, Rect(R.Left + 1, R.Top + 1, R.Right, R.Bottom), clBtnHighlight);
        outline(C, Rect(R.Left, R.Top, R.Right - 1, R.Bottom - 1), clBtnShadow);
        deflate(R, 2);
        return;
    }
    deflate(R, 1);
}

void ToaGauge::drawKind(TCanvas& C, const TRect& R) const
{
    switch (FKind) {
    case gkText: fill(C, R, FBackColor); return;
    case gkHorizontalBar:
        fill(C, R, FBackColor);
        fill(C, Rect(R.Left, R.Top, R.Left + R.Width() * FPercentDone / 100, R.Bottom), FForeColor);
        return;
    case gkVerticalBar:
        fill(C, R, FBackColor);
        fill(C, Rect(R.Left, R.Bottom - R.Height() * FPercentDone / 100, R.Right, R.Bottom), FForeColor);
        return;
    case gkPie:
    case gkNeedle: break;
    }
    fill(C, R, GetColor());
    C.GetBrush()->SetColor(FBackColor);
    C.GetPen()->SetColor(FForeColor);
    C.GetPen()->SetWidth(1);
    int W = R.Width(), H = R.Height();
    if (W % 2 == 0)
        W -= 2;
    if (W == 2 * (H / 2))
        H -= 2;
    if (FKind == gkPie)
        drawPie(C, R, W, H);
    else
        drawNeedle(C, R, W, H);
}

void ToaGauge::drawPie(TCanvas& C, const TRect& R, int W, int H) const
{
    C.Ellipse(R);
    if (FPercentDone <= 0)
        return;
    const int Cx = R.Left + W / 2, Cy = R.Bottom - H / 2;
    const double A = (FPercentDone / 50.0 + 0.5) * std::numbers::pi;
    C.GetBrush()->SetColor(FForeColor);
    // The start point scales the centre, not the radius: right for the gauge's own origin,
    // which is where the inner rectangle sits without bevels or margin.
    C.Pie(R.Left, R.Top, R.Right, R.Bottom, roundInt((1 - std::cos(A)) * Cx), roundInt((1 - std::sin(A)) * Cy), Cx,
          R.Top);
}

void ToaGauge::drawNeedle(TCanvas& C, const TRect& R, int W, int H) const
{
    C.Pie(R.Left, R.Top, R.Right, R.Top + 2 * H, R.Right, R.Bottom - 1, R.Left, R.Bottom - 1);
    if (FPercentDone <= 0)
        return;
    const double A = FPercentDone / 100.0 * std::numbers::pi;
    C.MoveTo(R.Left + W / 2, R.Bottom - 1);
    C.LineTo(roundInt((1 - std::cos(A)) * (W / 2)) + R.Left, roundInt((1 - std::sin(A)) * H + R.Top - 1));
}
