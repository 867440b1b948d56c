//===- GraphPainting.cpp - The graph's double-buffered paint, paint core, legend and metafile ===//
#include "plot/TPlotGraph.h"

#include "plot/AxisSteps.h"
#include "plot/TAppearance.h"
#include "plot/TAxis.h"
#include "plot/TDimensions.h"
#include "plot/TGenericAnnotation.h"
#include "plot/TLegend.h"
#include "plot/TSeries.h"
#include "platform/gdi/Gdi.h"
#include "platform/rtl/SysUtils.h"
#include "platform/ui/graphics/TBitmap.h"
#include "platform/ui/graphics/TCanvas.h"
#include "platform/ui/graphics/TMetafile.h"

#include <cmath>

namespace {

void BevelColors(TBevelCut Cut, TColor& Top, TColor& Bottom)
{
    Top = Cut == bvLowered ? clBtnShadow : clBtnHighlight;
    Bottom = Cut == bvLowered ? clBtnHighlight : clBtnShadow;
}

// Sets the drawing canvas back to the control's canvas however a render ends.
class CanvasRestore {
public:
    CanvasRestore(TCanvas*& Field, TCanvas* Control) : field_(Field), control_(Control) {}
    ~CanvasRestore() { field_ = control_; }
    CanvasRestore(const CanvasRestore&) = delete;
    CanvasRestore& operator=(const CanvasRestore&) = delete;

private:
    TCanvas*& field_;
    TCanvas* control_;
};

int RoundInt(double V) { return int(Round(V)); }

} // namespace

// --- The control's paint

// The border of the original platform lies outside the client area. The stand-in's picture
// covers the whole control, so the border takes its outermost ring of pixels, and everything
// the graph draws (bevels, the plot) lies inside it.
void TPlotGraph::PaintBorder(TRect& R)
{
    TCanvas& C = *GetCanvas();
    if (GetBorderStyle() == bsSingle)
        Frame3D(C, R, clWindowFrame, clWindowFrame, 1);
    TColor Top, Bottom;
    if (GetBevelOuter() != bvNone) {
        BevelColors(GetBevelOuter(), Top, Bottom);
        Frame3D(C, R, Top, Bottom, GetBevelWidth());
    }
    if (GetBorderStyle() == bsSingle)
        Frame3D(C, R, GetColor(), GetColor(), GetBorderWidth());
    if (GetBevelInner() != bvNone) {
        BevelColors(GetBevelInner(), Top, Bottom);
        Frame3D(C, R, Top, Bottom, GetBevelWidth());
    }
}

void TPlotGraph::PaintWindow(HDC)
{
    FBitmapValid = FPaintedOnce;
    struct Clear {
        bool& Flag;
        ~Clear() { Flag = false; }
    } Guard { FBitmapValid };
    Paint();
}

void TPlotGraph::Paint()
{
    if (!HandleAllocated())
        return;
    TCanvas& Control = *GetCanvas();
    FDrawingCanvas = &Control;
    Control.GetPen()->SetStyle(psSolid);
    TRect R = GetClientRect();
    PaintBorder(R);
    FPanelRect = R;
    const int W = R.Right - R.Left, H = R.Bottom - R.Top;
    // A cached picture of another size (the control was resized since) is rendered anew.
    if (FBitmapValid && FBitmapRect.Right == W && FBitmapRect.Bottom == H) {
        Control.CopyRect(FPanelRect, *FBitmap->GetCanvas(), FBitmapRect);
        return;
    }
    FClientX = int16_t(R.Left);
    FClientY = int16_t(R.Top);
    FPlotWidth = int16_t(W);
    FPlotHeight = int16_t(H);
    FBitmap->SetSize(std::max(1, FPlotWidth), std::max(1, FPlotHeight));
    {
        CanvasRestore Restore(FDrawingCanvas, &Control);
        FDrawingCanvas = FBitmap->GetCanvas();
        PaintGraph();
        FBitmapRect = Rect(0, 0, FPlotWidth, FPlotHeight);
        if (FCrossShown) {
            TCanvas& B = *FDrawingCanvas;
            B.GetPen()->SetColor(clBlack);
            B.GetPen()->SetStyle(psSolid);
            B.GetPen()->SetMode(pmCopy);
            DrawCrossWire(FCrossX, FCrossY, false);
        }
    }
    Control.SetCopyMode(cmSrcCopy);
    Control.CopyRect(FPanelRect, *FBitmap->GetCanvas(), FBitmapRect);
    Control.GetPen()->SetColor(clBlack);
    Control.GetPen()->SetMode(pmCopy);
    if (FHandlesShown)
        DrawHandles();
    if (FLegendDragging || FZooming)
        Control.DrawFocusRect(FFocusRect);
    FPaintedOnce = true;
}

void TPlotGraph::Resize()
{
    TCustomPanel::Resize();
    Paint();
}

// --- The paint core

void TPlotGraph::PaintGraph()
{
    TCanvas& C = *FDrawingCanvas;
    if (OnPaintStart)
        OnPaintStart(this, &C);
    HDC Dc = C.GetHandle();
    const COLORREF Background = SetBkColor(Dc, ColorToRGB(uint32_t(FAppearance->GetBackgroundColor())));
    if (FFullRedraw) {
        if (FPlotting && HasSeriesData(nullptr))
            CollectDataBounds();
        FScaleValid = CheckScales();
        UpdateMetrics();
        DrawFrame();
        if (!FScaleValid)
            return;
        if (FAppearance->GetCrossAtZero() && !FXAxis->GetLogScale() && !FYAxis->GetLogScale())
            DrawCrossAtZero();
        if (!FPlotting)
            return;
        const int Width = C.GetPen()->GetWidth();
        if (Width >= 3)
            C.GetPen()->SetWidth((Width + 1) / 2);
        if (FAppearance->GetShowMarks())
            DrawAnnotations(1);
    }
    if (!FPlotting)
        return;
    const int Width = C.GetPen()->GetWidth();
    if (FAppearance->PrintLineStyle)
        C.GetPen()->SetWidth(1);
    for (TSeries* S = FFirstSeries; S; S = S->next)
        S->Draw();
    C.GetPen()->SetWidth(Width);
    if (FAppearance->GetShowMarks())
        DrawAnnotations(2);
    if (FFullRedraw) {
        if (FLegend->Getvisible())
            DrawLegend();
        if (FAppearance->GetShowMarks())
            DrawAnnotations(3);
        if (OnPaintEnd)
            OnPaintEnd(this, &C);
    }
    SetBkColor(C.GetHandle(), Background);
}

void TPlotGraph::CollectDataBounds()
{
    bool XSeen = false, YSeen = false, Y2Seen = false;
    for (TSeries* S = FFirstSeries; S; S = S->next) {
        // A series without points has no bounds to give: it would pull the range to 0.
        if (!S->GetActive() || S->GetCount() == 0)
            continue;
        if (S->GetBoundsInvalid())
            S->RecalcBounds();
        auto Take = [](TAxis& A, bool& Seen, double Lo, double Hi) {
            if (!Seen || Lo < A.DataMin)
                A.DataMin = Lo;
            if (!Seen || Hi > A.DataMax)
                A.DataMax = Hi;
            Seen = true;
        };
        Take(*FXAxis, XSeen, S->GetXMin(), S->GetXMax());
        if (S->GetAxis() == FYAxis.get())
            Take(*FYAxis, YSeen, S->GetYMin(), S->GetYMax());
        else
            Take(*FYAxis_Second, Y2Seen, S->GetYMin(), S->GetYMax());
    }
}

bool TPlotGraph::CheckScales()
{
    bool AllValid = true, Changed = false;
    for (TAxis* A : { FXAxis.get(), FYAxis.get(), FYAxis_Second.get() }) {
        if (A->GetAutoSizing() && A->AutoScale())
            Changed = true;
        const bool Valid = A->CheckRange();
        if (Valid && A->GetAutoStepping()) {
            if (A->GetLogScale()) {
                A->ChooseLogDivisions();
                A->UpdateLogLabelling();
            } else {
                A->FStepSize = GetStep(FAppearance->GetMinSteps(), A->FMin, A->FMax);
            }
        }
        AllValid = AllValid && Valid;
    }
    if (AllValid && Changed)
        NotifyRescale();
    return AllValid;
}

void TPlotGraph::UpdateMetrics()
{
    for (TAxis* A : { FXAxis.get(), FYAxis.get(), FYAxis_Second.get() })
        if (A->GetRangeValid())
            CalcMetrics(*A);
}

void TPlotGraph::DrawFrame()
{
    if (!DrawingOnPrinter() || FAppearance->PrintBkgndColor)
        FillBackground();
    if (FAppearance->GetShowMarks())
        DrawAnnotations(0);
    DrawXAxis();
    DrawYAxis();
    DrawY2Axis();
    if (FAppearance->GetShowGraphLabels())
        DrawGraphTitle();
    SetBkColor(FDrawingCanvas->GetHandle(), ColorToRGB(uint32_t(FAppearance->GetBackgroundColor())));
}

void TPlotGraph::FillBackground()
{
    TCanvas& C = *FDrawingCanvas;
    const TDimensions& D = *FDimensions;
    auto Fill = [&](TColor Color, int L, int T, int R, int B) {
        C.GetBrush()->SetStyle(bsSolid);
        C.GetBrush()->SetColor(Color);
        C.GetPen()->SetStyle(psSolid);
        C.GetPen()->SetColor(Color);
        C.Rectangle(L, T, R, B);
    };
    Fill(FAppearance->GetMarginColor(), 0, 0, FPlotWidth, FPlotHeight);
    Fill(FAppearance->GetBackgroundColor(), D.FLeftMargin, D.FTopMargin, FPlotWidth - D.FRightMargin,
         FPlotHeight - D.FBottomMargin);
}

void TPlotGraph::DrawCrossAtZero()
{
    const TAppearance& A = *FAppearance;
    auto Inside = [](const TAxis& X) { return X.FMin <= 0 && 0 <= X.FMax; };
    if (!A.GetPlotOffGraph() && (!Inside(*FXAxis) || !Inside(*FYAxis)))
        return;
    TCanvas& C = *FDrawingCanvas;
    C.GetPen()->SetColor(A.GetCrossColor());
    C.GetPen()->SetStyle(psSolid);
    const int E = RoundInt(A.GetCrosslength() * FSizeFactor);
    const int X0 = XValueToPixel(0), Y0 = YValueToPixel(0);
    DrawLine(X0, Y0 + E, X0, Y0 - E - 1);
    DrawLine(X0 - E, Y0, X0 + E + 1, Y0);
}

void TPlotGraph::DrawAnnotations(uint8_t DrawTime)
{
    const bool Clip = !FAppearance->GetPlotOffGraph();
    if (Clip)
        ClipToPlotArea();
    for (TGenericAnnotation* A = FFirstAnnotation; A; A = A->next)
        if (A->DrawTime == DrawTime)
            A->Draw();
    if (Clip)
        ClipToGraph();
}

// --- The legend

void TPlotGraph::DrawLegend()
{
    int N = 0;
    for (TSeries* S = FFirstSeries; S; S = S->next)
        if (S->GetShowInLegend() != 0)
            ++N;
    if (N == 0)
        return;
    TCanvas& C = *FDrawingCanvas;
    const TLegend& L = *FLegend;
    const double F = FSizeFactor;
    C.SetFont(*L.Getfont());
    GetMeasuringCanvas()->SetFont(*L.Getfont());
    C.GetBrush()->SetStyle(bsSolid);
    C.GetBrush()->SetColor(L.Getcolor());
    C.GetPen()->SetStyle(psSolid);
    C.GetPen()->SetColor(L.GetborderStyle() == bsSingle ? clBlack : L.Getcolor());
    const int X0 = RoundInt(L.Getleft() * F), Y0 = RoundInt(L.Gettop() * F);
    const int W = RoundInt(L.Getwidth() * F), H = RoundInt(L.Getheight() * F);
    C.Rectangle(X0, Y0, X0 + W, Y0 + H);
    const int Space = RoundInt(L.GetSymbolSpace() * F);
    const int LineHeight = GetMeasuringCanvas()->TextHeight("T");
    const int StepY = L.GetLayout() == lsDown ? (H - 2 * L.GetYMargin()) / N : 0;
    const int StepX = L.GetLayout() == lsAcross ? (W - 2 * L.GetXMargin()) / N : 0;
    const int Width = C.GetPen()->GetWidth();
    if (FAppearance->PrintLineStyle)
        C.GetPen()->SetWidth(1);
    int I = 0;
    for (TSeries* S = FFirstSeries; S; S = S->next) {
        if (S->GetShowInLegend() == 0)
            continue;
        const int X = RoundInt(F * (L.GetXMargin() + L.Getleft())) + StepX * I;
        const int Y = RoundInt(F * (L.Gettop() + L.GetYMargin())) + StepY * I;
        DrawLegendEntry(*S, X, Y, RoundInt((S->GetPointSize() / 2) * F), Space, LineHeight);
        C.GetBrush()->SetStyle(bsSolid);
        C.GetBrush()->SetColor(L.Getcolor());
        ++I;
    }
    C.GetPen()->SetWidth(Width);
}

void TPlotGraph::DrawLegendEntry(TSeries& S, int X, int Y, int R, int Space, int LineHeight)
{
    TCanvas& C = *FDrawingCanvas;
    C.GetBrush()->SetStyle(bsClear);
    C.TextOut(X + Space + 2, Y, S.SeriesName);
    const int Yc = Y + LineHeight / 2;
    const uint8_t Kind = S.GetShowInLegend();
    if ((Kind == 3 || Kind == 4) && S.GetDrawLine()) {
        C.GetPen()->SetStyle(PenStyleOf(S.GetLineStyle()));
        C.GetPen()->SetColor(S.GetLineColor());
        DrawLine(X, Yc, X + Space, Yc);
    }
    if ((Kind == 2 || Kind == 4) && S.GetDrawPoints()) {
        C.GetBrush()->SetColor(S.GetPointColor());
        C.GetBrush()->SetStyle(S.GetFillPoints() ? bsSolid : bsClear);
        C.GetPen()->SetStyle(psSolid);
        C.GetPen()->SetColor(S.GetPointColor());
        const int Cx = X + Space / 2;
        switch (S.GetPointShape()) {
        case 0: {
            const TPoint Square[] = { { Cx - R, Yc - R }, { Cx + R, Yc - R }, { Cx + R, Yc + R }, { Cx - R, Yc + R } };
            C.Polygon(Square);
            break;
        }
        case 1: C.Ellipse(Cx - R, Yc - R, Cx + R, Yc + R); break;
        case 2: {
            const TPoint Diamond[] = { { Cx, Yc - R }, { Cx + R, Yc }, { Cx, Yc + R }, { Cx - R, Yc } };
            C.Polygon(Diamond);
            break;
        }
        case 3:
            DrawLine(Cx - R, Yc, Cx + R, Yc);
            DrawLine(Cx, Yc - R, Cx, Yc + R);
            break;
        default: break;
        }
    }
}

// --- Mouse feedback

void TPlotGraph::DrawCrossWire(int X, int Y, bool WithOffset)
{
    const TDimensions& D = *FDimensions;
    const int Dx = WithOffset ? FClientX : 0, Dy = WithOffset ? FClientY : 0;
    DrawLine(D.FLeftMargin + Dx, Y + Dy, FPlotWidth - D.FRightMargin + Dx, Y + Dy);
    DrawLine(X + Dx, D.FTopMargin + Dy, X + Dx, FPlotHeight - D.FBottomMargin + Dy);
}

void TPlotGraph::DrawHandles()
{
    TCanvas& C = *GetCanvas();
    const TLegend& L = *FLegend;
    if (L.Getvisible())
        C.DrawFocusRect(Rect(FClientX + L.Getleft(), FClientY + L.Gettop(), FClientX + L.Getleft() + L.Getwidth(),
                             FClientY + L.Gettop() + L.Getheight()));
    if (DragAllowed) {
        C.DrawFocusRect(Rect(0, 0, 20, 20));
        C.DrawFocusRect(Rect(GetWidth() - 20, GetHeight() - 20, GetWidth(), GetHeight()));
    }
}

// --- The picture for reports

void TPlotGraph::DrawToMetafile(TMetafile& Metafile)
{
    auto Picture = std::make_unique<TMetafile>();
    Picture->SetHeight(GetHeight());
    Picture->SetWidth(GetWidth());
    FPlotWidth = int16_t(GetWidth());
    FPlotHeight = int16_t(GetHeight());
    CanvasRestore Restore(FDrawingCanvas, GetCanvas());
    {
        TMetafileCanvas Canvas(*Picture, nullptr);
        FDrawingCanvas = &Canvas;
        FFullRedraw = true;
        PaintGraph();
        if (OnPaintEnd) {
            try {
                OnPaintEnd(this, &Canvas);
            } catch (...) {
                // The report keeps its picture whatever the second call does.
            }
        }
    }
    Metafile.Assign(*Picture);
}
