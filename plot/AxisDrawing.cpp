//===- AxisDrawing.cpp - The graph's axis lines, grid, ticks, labels and titles ===//
#include "plot/TPlotGraph.h"

#include "plot/AxisSteps.h"
#include "plot/TAppearance.h"
#include "plot/TAxis.h"
#include "plot/TDimensions.h"
#include "platform/gdi/Gdi.h"
#include "platform/rtl/DateTimeText.h"
#include "platform/rtl/SysUtils.h"
#include "platform/ui/graphics/TCanvas.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

namespace {

// Windows' OUT_TT_ONLY_PRECIS: the rotated titles ask for an outline font.
constexpr uint8_t TrueTypeOnly = 7;

// However the stored values combine, a walk stops here: a picture holds far fewer ticks.
constexpr int MaxTicks = 100000;

// Titles and labels stand off the axes by stored offsets of any 32-bit value: their places are
// summed in 64 bits and kept within a range that no device reaches and no later sum overflows.
constexpr int64_t TextPlaceLimit = 1 << 24;

int TextPlace(int64_t P) { return int(std::clamp<int64_t>(P, -TextPlaceLimit, TextPlaceLimit)); }

// Walks the ticks of A below its end value, handing each to Visit (value, labelled, first).
template <class F>
void WalkTicks(TAxis& A, F Visit)
{
    TLogTicks Copy = A.GetLogTicks();
    const double End = A.GetMax() + (A.GetMax() - A.GetMin()) * 0.001;
    bool Labelled = true;
    int Count = 0;
    for (double V = A.FirstTick(Copy); V < End && Count < MaxTicks; V = A.NextTick(Copy, V, Labelled), ++Count)
        Visit(V, Labelled || Count == 0, Count == 0, End);
}

void SetDeviceBackground(TCanvas& C, TColor Color) { SetBkColor(C.GetHandle(), ColorToRGB(uint32_t(Color))); }

// The pen width axis lines are drawn with: thin for print-style lines, else halved when wide.
int AxisPenWidth(int W, bool PrintLineStyle)
{
    if (W > 1) {
        if (PrintLineStyle)
            return 1;
        if (W > 3)
            return W / 2 + 1;
    }
    return W;
}

// Where an axis line crosses the other axis, as a value of that other axis.
double OffsetValue(const TAxis& Own, const TAxis& Other)
{
    switch (Own.GetOffsetType()) {
    case ao_Maximum: return Other.GetMax();
    case ao_percentage: return Other.GetMin() + (Other.GetMax() - Other.GetMin()) * Own.GetOffset() / 100;
    case ao_absolute: return Own.GetOffset();
    case ao_Minimum: break;
    }
    return Other.GetMin();
}

} // namespace

int TPlotGraph::AxisValueToPixel(const TAxis& A, double V) const
{
    if (&A == FXAxis.get())
        return XValueToPixel(V);
    return &A == FYAxis_Second.get() ? Y2ValueToPixel(V) : YValueToPixel(V);
}

// Steps 2 to 4 of drawing an axis: the step the picture is ticked with.
void TPlotGraph::PictureStep(TAxis& X)
{
    const TAppearance& A = *FAppearance;
    if (X.FShowAsTime) {
        X.FStepSize = GetDateStep(X.FDateTickType, A.GetMinSteps(), X.FMin, X.FMax);
        // Coarsening ends at the custom step, which GetStep keeps within the step limits.
        while (X.FDateTickType >= dt_second && X.FDateTickType < dt_custom
               && (X.FMax - X.FMin) / X.FStepSize > A.GetMaxSteps()) {
            X.FDateTickType = Dateticks(int32_t(X.FDateTickType) + 1);
            X.ApplyAutoFormat();
            X.FStepSize = GetDateStep(X.FDateTickType, A.GetMinSteps(), X.FMin, X.FMax);
            if (X.FAutoSizing && X.FDateTickType != dt_custom && X.DataMin < X.DataMax) {
                X.FMin = X.DataMin;
                X.FMax = X.DataMax;
                X.DateAutoRange();
                CalcMetrics(X);
            }
        }
    } else if (!X.FLogScale && (!(X.FStepSize > 0) || (X.FMax - X.FMin) / X.FStepSize > A.GetMaxSteps())) {
        X.FStepSize = GetStep(A.GetMinSteps(), X.FMin, X.FMax);
    }
    if (X.FLogScale)
        X.BuildLogTable();
}

// --- The x axis

void TPlotGraph::DrawXAxis()
{
    TAxis& X = *FXAxis;
    const TAxis& Y = *FYAxis;
    const TAppearance& A = *FAppearance;
    const TDimensions& D = *FDimensions;
    TCanvas& C = *FDrawingCanvas;
    const int LineY = Y.GetRangeValid() ? YValueToPixel(OffsetValue(X, Y)) : FPlotHeight - D.FBottomMargin;
    std::string Title = A.GetErrorCaption();
    int LabelHeight = 0;
    if (X.GetRangeValid()) {
        const double Step = X.FStepSize;
        PictureStep(X);
        const int OldWidth = C.GetPen()->GetWidth();
        const int W = AxisPenWidth(OldWidth, A.PrintLineStyle);
        if (X.FGridlines && Y.GetRangeValid())
            DrawVerticalGrid();
        if (!X.FShowAxis) {
            C.GetPen()->SetWidth(OldWidth);
            return;
        }
        if (A.GetShowTicks())
            DrawXTicks(LineY, X.FReversed);
        LabelHeight = A.GetShowGraphLabels() ? DrawXLabels(LineY, X.FReversed) : 0;
        X.FStepSize = Step;
        C.GetPen()->SetColor(A.GetAxesColor());
        C.GetPen()->SetStyle(psSolid);
        C.GetPen()->SetWidth(W);
        DrawLine(XValueToPixel(X.FMin), LineY, XValueToPixel(X.FMax), LineY);
        C.GetPen()->SetWidth(OldWidth);
        Title = X.FTitle;
    }
    if (!X.FShowAxis)
        return;
    C.GetBrush()->SetStyle(bsClear);
    C.SetFont(*A.GetTitleFont());
    TCanvas& M = *GetMeasuringCanvas();
    M.SetFont(*A.GetTitleFont());
    const SIZE Text = M.TextExtent(Title);
    const int TitleX = D.FLeftMargin + (FPlotWidth - D.FLeftMargin - D.FRightMargin) / 2 - Text.cx / 2;
    const int64_t Off = int64_t(D.FTickLength) + D.FXAxisTitleOffset + LabelHeight;
    const int TitleY = TextPlace(X.FReversed ? int64_t(LineY) - Off - Text.cy : int64_t(LineY) + Off);
    SetDeviceBackground(C, A.GetMarginColor());
    C.TextOut(TitleX, TitleY, Title);
}

// --- The y axes

void TPlotGraph::DrawYAxis() { DrawYAxisOf(*FYAxis, false); }

void TPlotGraph::DrawY2Axis() { DrawYAxisOf(*FYAxis_Second, true); }

void TPlotGraph::DrawYAxisOf(TAxis& Y, bool Second)
{
    const TAxis& X = *FXAxis;
    const TAppearance& A = *FAppearance;
    const TDimensions& D = *FDimensions;
    TCanvas& C = *FDrawingCanvas;
    const int LineX = X.GetRangeValid() ? XValueToPixel(OffsetValue(Y, X))
                      : Second          ? FPlotWidth - D.FRightMargin
                                        : D.FLeftMargin;
    std::string Title = A.GetErrorCaption();
    int LabelWidth = 0;
    if (Y.GetRangeValid()) {
        const double Step = Y.FStepSize;
        PictureStep(Y);
        const int OldWidth = C.GetPen()->GetWidth();
        const int W = AxisPenWidth(OldWidth, A.PrintLineStyle);
        if (Y.FGridlines && X.GetRangeValid())
            DrawHorizontalGrid(Y);
        if (!Y.FShowAxis) {
            C.GetPen()->SetWidth(OldWidth);
            return;
        }
        if (A.GetShowTicks())
            DrawYTicks(Y, LineX, Y.FReversed);
        LabelWidth = A.GetShowGraphLabels() ? DrawYLabels(Y, LineX, Y.FReversed) : 0;
        Y.FStepSize = Step;
        C.GetPen()->SetColor(A.GetAxesColor());
        C.GetPen()->SetStyle(psSolid);
        C.GetPen()->SetWidth(W);
        DrawLine(LineX, AxisValueToPixel(Y, Y.FMin), LineX, AxisValueToPixel(Y, Y.FMax));
        C.GetPen()->SetWidth(OldWidth);
        Title = Y.FTitle;
    }
    if (!Y.FShowAxis)
        return;
    C.GetBrush()->SetStyle(bsClear);
    C.SetFont(*A.GetTitleFont());
    TCanvas& M = *GetMeasuringCanvas();
    M.SetFont(*A.GetTitleFont());
    const SIZE Text = M.TextExtent(Title);
    const int64_t Off = int64_t(D.FTickLength) + D.FYAxisTitleOffset + LabelWidth;
    const int TitleX = std::max(0, TextPlace(Y.FReversed ? int64_t(LineX) + Off : int64_t(LineX) - Off - Text.cy));
    const int TitleY = D.FTopMargin + (FPlotHeight - D.FTopMargin - D.FBottomMargin) / 2 + Text.cx / 2;
    SetDeviceBackground(C, A.GetMarginColor());
    // The canvas selects its own font first, so that the rotated one stays selected for the text.
    C.TextExtent(Title);
    LOGFONTA Font = C.GetFont()->LogFont();
    Font.lfEscapement = Font.lfOrientation = 900;
    Font.lfOutPrecision = TrueTypeOnly;
    HFONT Rotated = CreateFontIndirect(Font);
    HDC Dc = C.GetHandle();
    HGDIOBJ Previous = SelectObject(Dc, Rotated);
    C.TextOut(TitleX, TitleY, Title);
    SelectObject(Dc, Previous);
    DeleteObject(Rotated);
}

// --- Grid

void TPlotGraph::DrawVerticalGrid()
{
    TAxis& X = *FXAxis;
    TCanvas& C = *FDrawingCanvas;
    C.GetPen()->SetColor(FAppearance->GetGridColor());
    C.GetPen()->SetStyle(FAppearance->GetGridStyle());
    C.GetBrush()->SetStyle(bsSolid);
    C.GetBrush()->SetColor(GetColor());
    SetDeviceBackground(C, FAppearance->GetBackgroundColor());
    const int Top = YValueToPixel(FYAxis->FMin), Bottom = YValueToPixel(FYAxis->FMax);
    WalkTicks(X, [&](double V, bool, bool First, double) {
        // No grid line on the axis line itself.
        if (First && V < X.FMin + X.FStepSize * 0.01)
            return;
        const int Px = XValueToPixel(V);
        DrawLine(Px, Top, Px, Bottom);
    });
}

void TPlotGraph::DrawHorizontalGrid(TAxis& Y)
{
    TCanvas& C = *FDrawingCanvas;
    C.GetPen()->SetColor(FAppearance->GetGridColor());
    C.GetPen()->SetStyle(FAppearance->GetGridStyle());
    C.GetBrush()->SetStyle(bsSolid);
    C.GetBrush()->SetColor(GetColor());
    SetDeviceBackground(C, FAppearance->GetBackgroundColor());
    const int Left = XValueToPixel(FXAxis->FMin), Right = XValueToPixel(FXAxis->FMax);
    WalkTicks(Y, [&](double V, bool, bool First, double) {
        if (First && V < Y.FMin + Y.FStepSize * 0.01)
            return;
        const int Py = AxisValueToPixel(Y, V);
        DrawLine(Left, Py, Right, Py);
    });
}

// --- Ticks

void TPlotGraph::DrawXTicks(int Y, bool Reversed)
{
    TCanvas& C = *FDrawingCanvas;
    C.GetPen()->SetColor(FAppearance->GetAxesColor());
    C.GetPen()->SetStyle(psSolid);
    SetDeviceBackground(C, FAppearance->GetMarginColor());
    const int Length = Reversed ? -FDimensions->FTickLength : FDimensions->FTickLength;
    WalkTicks(*FXAxis, [&](double V, bool, bool, double) {
        const int Px = XValueToPixel(V);
        DrawLine(Px, Y, Px, Y + Length);
    });
}

void TPlotGraph::DrawYTicks(TAxis& Axis, int X, bool Reversed)
{
    TCanvas& C = *FDrawingCanvas;
    C.GetPen()->SetColor(FAppearance->GetAxesColor());
    C.GetPen()->SetStyle(psSolid);
    SetDeviceBackground(C, FAppearance->GetMarginColor());
    const int Length = Reversed ? FDimensions->FTickLength : -FDimensions->FTickLength;
    WalkTicks(Axis, [&](double V, bool, bool, double) {
        const int Py = AxisValueToPixel(Axis, V);
        DrawLine(X, Py, X + Length, Py);
    });
}

// --- Labels

// Labels are measured on the measuring canvas and drawn on the drawing canvas: both need the
// label font, and the text goes over the margin without a box.
TCanvas& TPlotGraph::PrepareLabelCanvases()
{
    TCanvas& C = *FDrawingCanvas;
    TCanvas& M = *GetMeasuringCanvas();
    C.SetFont(*FAppearance->GetLabelFont());
    M.SetFont(*FAppearance->GetLabelFont());
    C.GetBrush()->SetStyle(bsClear);
    SetDeviceBackground(C, FAppearance->GetMarginColor());
    return M;
}

int TPlotGraph::DrawXLabels(int Y, bool Reversed)
{
    TAxis& X = *FXAxis;
    TCanvas& C = *FDrawingCanvas;
    TCanvas& M = PrepareLabelCanvases();
    const int64_t Offset = int64_t(FDimensions->FTickLength) + FDimensions->FXAxisLabelOffset;
    struct Label {
        int64_t left;
        SIZE size;
        std::string text;
    };
    std::vector<Label> labels;
    WalkTicks(X, [&](double V, bool Labelled, bool, double End) {
        if (!Labelled && !(V > End - X.FStepSize))
            return;
        std::string Text = FormatAxisLabel(X, V);
        const SIZE Size = M.TextExtent(Text);
        labels.push_back({ int64_t(XValueToPixel(V)) - Size.cx / 2, Size, std::move(Text) });
    });
    // A label at every tick runs together where ticks stand closer than a label is wide (a run
    // of seconds over half a minute): only every n-th is drawn, the first n that keeps the
    // labels a character apart.
    const int Gap = M.TextWidth("0");
    auto apart = [&](size_t Every) {
        for (size_t i = Every; i < labels.size(); i += Every) {
            const Label &a = labels[i - Every], &b = labels[i];
            if (std::max(b.left - (a.left + a.size.cx), a.left - (b.left + b.size.cx)) < Gap)
                return false;
        }
        return true;
    };
    size_t every = 1;
    while (every < labels.size() && !apart(every))
        ++every;
    int Height = 0;
    for (size_t i = 0; i < labels.size(); i += every) {
        const Label& L = labels[i];
        const int Top = TextPlace(Reversed ? Y - Offset - L.size.cy : Y + Offset);
        C.TextOut(TextPlace(L.left), Top, L.text);
        Height = L.size.cy;
    }
    return Height;
}

int TPlotGraph::DrawYLabels(TAxis& Axis, int X, bool Reversed)
{
    TCanvas& C = *FDrawingCanvas;
    TCanvas& M = PrepareLabelCanvases();
    const int64_t Offset = int64_t(FDimensions->FTickLength) + FDimensions->FYAxisLabelOffset;
    int Width = 0;
    WalkTicks(Axis, [&](double V, bool Labelled, bool, double End) {
        if (!Labelled && !(V > End - Axis.FStepSize))
            return;
        const std::string Text = FormatAxisLabel(Axis, V);
        const SIZE Size = M.TextExtent(Text);
        const int Left = TextPlace(Reversed ? X + Offset : X - Offset - Size.cx);
        C.TextOut(Left, AxisValueToPixel(Axis, V) - Size.cy / 2, Text);
        Width = Size.cx;
    });
    return Width;
}

std::string TPlotGraph::FormatAxisLabel(TAxis& Axis, double V)
{
    if (Axis.FShowAsTime)
        return FormatDateTime(Axis.FDateTimeFormat, V);
    if (std::fabs(V) > 9999)
        Axis.FLabelDecimals = 0;
    if (std::fabs(V) < (Axis.FMax - Axis.FMin) * 0.001)
        return FloatToStrF(V, TFloatFormat::ffFixed, 2, 1);
    if (std::fabs(V) <= 0.000999)
        return FloatToStrF(V, TFloatFormat::ffExponent, 3, 0);
    return FloatToStrF(V, TFloatFormat::ffFixed, 5, Axis.FLabelDecimals);
}

// --- The graph title

void TPlotGraph::DrawGraphTitle()
{
    TCanvas& C = *FDrawingCanvas;
    TCanvas& M = *GetMeasuringCanvas();
    C.SetFont(*FAppearance->GetCaptionFont());
    M.SetFont(*FAppearance->GetCaptionFont());
    C.GetBrush()->SetStyle(bsClear);
    SetDeviceBackground(C, FAppearance->GetMarginColor());
    const TDimensions& D = *FDimensions;
    const std::string& Title = FAppearance->GetGraphTitle();
    const SIZE Text = M.TextExtent(Title);
    C.TextOut(D.FLeftMargin + (FPlotWidth - D.FLeftMargin - D.FRightMargin) / 2 - Text.cx / 2,
              TextPlace(int64_t(D.FTopMargin) - D.FGraphTitleOffset - Text.cy), Title);
}
