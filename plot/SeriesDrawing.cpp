//===- SeriesDrawing.cpp - A series on the graph's drawing canvas: bounds, regression, line, points ===//
#include "plot/TSeries.h"

#include "plot/TAppearance.h"
#include "plot/TAxis.h"
#include "plot/TDimensions.h"
#include "plot/TPlotGraph.h"
#include "platform/rtl/SysUtils.h"
#include "platform/ui/graphics/TCanvas.h"

#include <algorithm>
#include <vector>

namespace {

// Points per polyline call: the line is drawn in batches, each starting at the last point of
// the one before, so it stays continuous.
constexpr size_t LineBatch = 1001;
constexpr size_t RegressionBatch = 15000;

void DrawBatched(TCanvas& Canvas, const std::vector<TPoint>& Points, size_t Batch)
{
    // A single point is no line.
    for (size_t Start = 0; Start + 1 < Points.size(); Start += Batch - 1) {
        const size_t Count = std::min(Batch, Points.size() - Start);
        Canvas.Polyline(std::span<const TPoint>(Points.data() + Start, Count));
    }
}

} // namespace

int TSeries::YPixel(double Y) const
{
    return FAxis == FGraph.GetYAxis() ? FGraph.YValueToPixel(Y) : FGraph.Y2ValueToPixel(Y);
}

void TSeries::Draw()
{
    if (!FActive || GetCount() == 0)
        return;
    const TAxis& X = *FGraph.GetXAxis();
    if (X.GetLogScale() || FAxis->GetLogScale()) {
        if (GetBoundsInvalid())
            RecalcBounds();
        if ((X.GetLogScale() && GetXMin() <= 0) || (FAxis->GetLogScale() && GetYMin() <= 0)) {
            if (FGraph.OnLogError)
                FGraph.OnLogError(this, FSeriesNumber);
            return;
        }
    }
    const bool Clipped = !FGraph.GetAppearance()->GetPlotOffGraph();
    if (Clipped)
        FGraph.ClipToPlotArea();
    DrawBounds();
    if (GetRegressionType() != 0)
        DrawRegression();
    if (FDrawLine)
        DrawLine();
    if (Clipped)
        FGraph.ClipToGraph();
    if (FDrawPoints)
        DrawPoints();
}

void TSeries::DrawBounds()
{
    std::vector<double> Levels;
    if (FBoundsMode == 1) {
        Levels = { FUpperBound, FLowerBound };
    } else if (FBoundsMode >= 2 && FBoundsMode <= 5) {
        TDataStats Stats;
        GetYStatistics(Stats);
        const double M = Stats.Mean, S = Stats.Deviation;
        for (int K = 1; K <= 3; ++K)
            if (FBoundsMode == 5 || FBoundsMode == K + 1)
                Levels.insert(Levels.end(), { M + K * S, M - K * S });
    }
    if (Levels.empty())
        return;
    TCanvas& C = *FGraph.GetDrawingCanvas();
    C.GetPen()->SetColor(FBoundsColor);
    C.GetPen()->SetStyle(PenStyleOf(FBoundLineMode));
    const int Left = FGraph.XValueToPixel(GetXMin()), Right = FGraph.XValueToPixel(GetXMax());
    // Bound lines go by the scale of the first y axis, whichever axis the series uses.
    for (double V : Levels) {
        const int Y = FGraph.YValueToPixel(V);
        FGraph.DrawLine(Left, Y, Right, Y);
    }
}

void TSeries::DrawRegression()
{
    if (GetCount() < 2)
        return;
    if (GetRegressionInvalid())
        CalcRegression();
    const bool Sampled = GetRegressionType() == 4 || GetRegressionType() == 5;
    std::vector<TPoint> Nodes;
    for (const TPointNode* P = Sampled ? FirstRegressionResult() : FirstPoint(); P; P = P->Next)
        Nodes.push_back({ FGraph.XValueToPixel(P->X), YPixel(P->Fitted - GetZeroValue()) });
    TCanvas& C = *FGraph.GetDrawingCanvas();
    C.GetPen()->SetColor(FRegressionLineColor);
    C.GetPen()->SetStyle(PenStyleOf(FRegressionLineStyle));
    DrawBatched(C, Nodes, RegressionBatch);
}

void TSeries::DrawLine()
{
    std::vector<TPoint> Points;
    Points.reserve(static_cast<size_t>(GetCount()));
    for (const TPointNode* P = FirstPoint(); P; P = P->Next)
        Points.push_back({ FGraph.XValueToPixel(P->X), YPixel(P->Y - GetZeroValue()) });
    TCanvas& C = *FGraph.GetDrawingCanvas();
    C.GetPen()->SetColor(FLineColor);
    C.GetPen()->SetStyle(PenStyleOf(FLineStyle));
    DrawBatched(C, Points, LineBatch);
}

void TSeries::DrawPoints()
{
    TCanvas& C = *FGraph.GetDrawingCanvas();
    TPen& Pen = *C.GetPen();
    TBrush& Brush = *C.GetBrush();
    const TColor Background = FGraph.GetColor();
    const int PreviousWidth = Pen.GetWidth();
    Pen.SetColor(FPointColor);
    Pen.SetStyle(psSolid);
    Brush.SetColor(FFillPoints ? FPointColor : Background);
    Brush.SetStyle(bsSolid);
    const bool Tested = !FGraph.GetAppearance()->GetPlotOffGraph();
    if (FPointShape == 4) {
        Pen.SetWidth(int(Round((FPointSize / 2) * FGraph.GetSizeFactor())));
        DrawSteps(Tested);
        Pen.SetWidth(PreviousWidth);
    } else if (FPointShape == 5) {
        Pen.SetColor(FLineColor);
        DrawBars(Tested);
    } else {
        DrawSymbols(Tested);
    }
    Brush.SetColor(Background);
    Brush.SetStyle(bsClear);
}

void TSeries::DrawSymbols(bool Tested)
{
    const TAxis& X = *FGraph.GetXAxis();
    const int R = int(Round((FPointSize / 2) * FGraph.GetSizeFactor()));
    const TPointNode* P = FirstPoint();
    if (Tested)
        while (P && P->X < X.GetMin())
            P = P->Next;
    for (; P; P = P->Next) {
        const double Y = P->Y - GetZeroValue();
        if (Tested && P->X > X.GetMax())
            break;
        if (Tested && !(Y >= FAxis->GetMin() && Y <= FAxis->GetMax()))
            continue;
        DrawSymbol(FGraph.XValueToPixel(P->X), YPixel(Y), R);
    }
}

void TSeries::DrawSymbol(int X, int Y, int R)
{
    switch (FPointShape) {
    case 0: DrawSquare(X, Y, R); break;
    case 1: DrawCircle(X, Y, R); break;
    case 2: DrawDiamond(X, Y, R); break;
    case 3: DrawPlus(X, Y, R); break;
    default: break; // a shape that is none draws nothing
    }
}

// Steps and bars stand at y itself, not at y less the zero reference.
void TSeries::DrawSteps(bool Tested)
{
    const TAxis& X = *FGraph.GetXAxis();
    const TPointNode* P = FirstPoint();
    if (Tested)
        while (P && P->X < X.GetMin())
            P = P->Next;
    if (!P)
        return;
    for (; P->Next; P = P->Next) {
        if (Tested && P->Next->X >= X.GetMax())
            break;
        const int Y = YPixel(P->Y);
        FGraph.DrawLine(FGraph.XValueToPixel(P->X), Y, FGraph.XValueToPixel(P->Next->X), Y);
    }
    if (P->X < X.GetMax()) {
        const int Y = YPixel(P->Y);
        FGraph.DrawLine(FGraph.XValueToPixel(P->X), Y, FGraph.XValueToPixel(X.GetMax()), Y);
    }
}

void TSeries::DrawBars(bool Tested)
{
    const TAxis& X = *FGraph.GetXAxis();
    const int Bottom = FGraph.GetHeight() - FGraph.GetDimensions()->GetBottomMargin();
    const int PlotTop = FGraph.GetDimensions()->GetTopMargin();
    const TPointNode* P = FirstPoint();
    if (Tested)
        while (P && P->X < X.GetMin())
            P = P->Next;
    for (; P; P = P->Next) {
        double Left = P->X + FBarOffset, Right = Left + FBarWidth;
        int Top = YPixel(P->Y);
        if (Tested) {
            Left = std::clamp(Left, X.GetMin(), X.GetMax());
            Right = std::clamp(Right, X.GetMin(), X.GetMax());
            Top = std::max(Top, PlotTop);
        }
        DrawBar(FGraph.XValueToPixel(Left), FGraph.XValueToPixel(Right), Top, Bottom);
    }
}

// --- Symbol painters: centre (X, Y), radius R

void TSeries::DrawSquare(int X, int Y, int R)
{
    const TPoint P[] = { { X - R, Y - R }, { X + R, Y - R }, { X + R, Y + R }, { X - R, Y + R } };
    FGraph.GetDrawingCanvas()->Polygon(P);
}

void TSeries::DrawCircle(int X, int Y, int R) { FGraph.GetDrawingCanvas()->Ellipse(X - R, Y - R, X + R, Y + R); }

void TSeries::DrawDiamond(int X, int Y, int R)
{
    const TPoint P[] = { { X, Y - R }, { X + R, Y }, { X, Y + R }, { X - R, Y } };
    FGraph.GetDrawingCanvas()->Polygon(P);
}

void TSeries::DrawPlus(int X, int Y, int R)
{
    FGraph.DrawLine(X - R, Y, X + R, Y);
    FGraph.DrawLine(X, Y - R, X, Y + R);
}

void TSeries::DrawBar(int Left, int Right, int Top, int Bottom)
{
    if (Left != Right)
        FGraph.GetDrawingCanvas()->Rectangle(Left, Top, Right, Bottom);
}
