//===- TDataSeriesRegression.cpp - Statistics and regression of a data series ===//
//
// The statistics and regression half of TDataSeries: the caches of x and y statistics and the
// seven regression kinds, which fill the points' fitted values or the sampled result list.
//
#include "plot/TDataSeries.h"

#include "plot/ExtendedReal.h"
#include "plot/PlotConsts.h"
#include "platform/rtl/Exception.h"

#include <algorithm>
#include <cmath>
#include <deque>
#include <vector>

namespace {

struct TXY {
    std::vector<double> X, Y;
};

TXY Collect(const TPointNode* Node)
{
    TXY P;
    for (; Node; Node = Node->Next) {
        P.X.push_back(Node->X);
        P.Y.push_back(Node->Y);
    }
    return P;
}

// Largest running-average window: the window size is held in 16 bits.
constexpr uint64_t MaxRunningAverageWindow = 65535;
// Sampled curves (kinds 4 and 5) have at most this many intervals.
constexpr int32_t MaxSampleIntervals = 65535;
// End derivatives above this ask for natural spline ends.
constexpr double NaturalEnds = 0.99e30;

} // namespace

// --- Statistics

void TDataSeries::CollectStatistics(bool OfX, TDataStats& Stats)
{
    std::vector<double> Values;
    if (FStatisticsEnabled)
        for (const TPointNode* Node = FHead; Node; Node = Node->Next)
            if (FStatisticsXLow <= Node->X && Node->X <= FStatisticsXHigh)
                Values.push_back(OfX ? Node->X : Node->Y);
    if (!OfX)
        MergeSortValues(Values);
    CalcStatistics(Values, NumericalTolerance, Stats);
}

void TDataSeries::GetXStatistics(TDataStats& Stats)
{
    if (!FXStats.Valid)
        CollectStatistics(true, FXStats);
    Stats = FXStats;
}

void TDataSeries::GetYStatistics(TDataStats& Stats)
{
    if (!FYStats.Valid)
        CollectStatistics(false, FYStats);
    Stats = FYStats;
}

// --- Regression

void TDataSeries::CalcRegression()
{
    if (!FRegressionInvalid)
        return;
    FRegressionInvalid = false;
    switch (FRegressionType) {
    case 0: throw Exception(SRegressionInternal);
    case 1: LeastSquaresLine(); break;
    case 2: MedianSlopeLine(); break;
    case 3: LeastSquaresParabola(); break;
    case 4: CubicSpline(); break;
    case 5: LocalLine(); break;
    case 6: ExponentialSmoothing(); break;
    case 7: RunningAverage(); break;
    default: throw Exception(SUnknownRegression);
    }
}

void TDataSeries::SetFittedFromCoefficients()
{
    for (TPointNode* Node = FHead; Node; Node = Node->Next)
        Node->Fitted = FRegressionIntercept + FRegressionSlope * Node->X + FRegressionQuadratic * Node->X * Node->X;
}

// Too few points, or x values without spread: no curve can be fitted.
void TDataSeries::FallBackLine(bool Quadratic)
{
    TDataStats XStats;
    GetXStatistics(XStats);
    FRegressionQuadratic = 0;
    if (XStats.Deviation != 0) {
        FRegressionIntercept = 0;
        if (!Quadratic)
            FRegressionSlope = 1;
    } else {
        FRegressionSlope = 0;
    }
    SetFittedFromCoefficients();
}

void TDataSeries::LeastSquaresLine()
{
    TDataStats XStats;
    GetXStatistics(XStats);
    if (FCount < 2 || XStats.Deviation == 0)
        return FallBackLine(false);
    // Extended sums, as for the statistics: the products cancel in n Sxy - Sx Sy.
    long double Sx = 0, Sy = 0, Sxy = 0, Sxx = 0;
    for (const TPointNode* P = FHead; P; P = P->Next) {
        const long double X = P->X, Y = P->Y;
        Sx += X;
        Sy += Y;
        Sxy += X * Y;
        Sxx += X * X;
    }
    const long double N = FCount;
    const long double Slope = (N * Sxy - Sx * Sy) / (N * Sxx - Sx * Sx);
    FRegressionSlope = static_cast<double>(Slope);
    FRegressionIntercept = static_cast<double>(Sy / N - (Sx / N) * Slope);
    FRegressionQuadratic = 0;
    SetFittedFromCoefficients();
}

void TDataSeries::MedianSlopeLine()
{
    TDataStats XStats;
    GetXStatistics(XStats);
    if (FCount < 2 || XStats.Deviation == 0)
        return FallBackLine(false);
    const double Tol = Tolerance();
    const TXY P = Collect(FHead);
    std::vector<double> Slopes;
    for (size_t I = 0; I < P.X.size(); ++I)
        for (size_t J = I + 1; J < P.X.size(); ++J)
            if (std::abs(P.X[J] - P.X[I]) > Tol)
                Slopes.push_back((P.Y[I] - P.Y[J]) / (P.X[I] - P.X[J]));
    TDataStats S;
    MergeSortValues(Slopes);
    CalcStatistics(Slopes, NumericalTolerance, S);
    FRegressionSlope = S.Median;
    FRegressionSlopeDeviation = S.Deviation;

    std::vector<double> Intercepts;
    for (size_t I = 0; I < P.X.size(); ++I)
        Intercepts.push_back(P.Y[I] - FRegressionSlope * P.X[I]);
    MergeSortValues(Intercepts);
    CalcStatistics(Intercepts, NumericalTolerance, S);
    FRegressionIntercept = S.Median;
    FRegressionInterceptDeviation = S.Deviation;
    FRegressionQuadratic = 0;
    SetFittedFromCoefficients();
}

void TDataSeries::LeastSquaresParabola()
{
    TDataStats XStats;
    GetXStatistics(XStats);
    if (FCount < 3 || XStats.Deviation == 0)
        return FallBackLine(true);
    // Extended sums: x^4 overflows a double long before x does, and the centred sums cancel.
    long double Sx = 0, Sy = 0, Sq = 0, Sxy = 0, Sqy = 0, Sx3 = 0, Sx4 = 0;
    for (const TPointNode* P = FHead; P; P = P->Next) {
        const long double X = P->X, Y = P->Y, Q = X * X;
        Sx += X;
        Sy += Y;
        Sq += Q;
        Sxy += X * Y;
        Sqy += Q * Y;
        Sx3 += Q * X;
        Sx4 += Q * Q;
    }
    const long double N = FCount;
    const long double XBar = Sx / N, YBar = Sy / N, QBar = Sq / N;
    const long double Cxy = Sxy - N * XBar * YBar;
    const long double Cqy = Sqy - N * QBar * YBar;
    const long double Cxx = Sq - N * XBar * XBar;
    const long double Cxq = Sx3 - N * XBar * QBar;
    const long double Cqq = Sx4 - N * QBar * QBar;
    const long double D = Cxx * Cqq - Cxq * Cxq;
    // Points on fewer than three distinct x have no parabola; D then cancels to rounding noise.
    if (!(D > Cxx * Cqq * 1e-12L))
        return FallBackLine(true);
    const long double C = (Cqy * Cxx - Cxy * Cxq) / D, B = (Cxy * Cqq - Cqy * Cxq) / D;
    FRegressionQuadratic = static_cast<double>(C);
    FRegressionSlope = static_cast<double>(B);
    FRegressionIntercept = static_cast<double>(YBar - B * XBar - C * QBar);
    SetFittedFromCoefficients();
}

// More samples than any drawing can show only fill the memory: a control value from a damaged
// graph file may ask for two thousand million.
int32_t TDataSeries::SampleIntervals() const { return std::min(FRegressionControlValue1, MaxSampleIntervals); }

// Samples are counted, not stepped until XMax: a step below the ulp of x, or an infinite
// bound, would never get there.
double TDataSeries::SampleAt(int64_t K, double Step) const { return FXMin + K * Step; }

void TDataSeries::AppendResult(TPointNode*& Tail, double X, double Value)
{
    auto* Node = new TPointNode;
    Node->X = X;
    Node->Fitted = Value;
    (Tail ? Tail->Next : FResultsHead) = Node;
    Tail = Node;
}

void TDataSeries::CubicSpline()
{
    FreeList(FResultsHead);
    if (FBoundsInvalid)
        RecalcBounds();
    // A control value <= 0 would sample without end.
    if (FDuplicatesAllowed || FRegressionControlValue1 <= 0 || FCount < 2 || FXMin == FXMax)
        return;
    const TXY P = Collect(FHead);
    const size_t N = P.X.size();
    std::vector<double> Y2(N), U(N);
    const double Slope = FRegressionControlValue2;
    const bool Clamped = Slope <= NaturalEnds;
    if (Clamped) {
        Y2[0] = -0.5;
        U[0] = 3 / (P.X[1] - P.X[0]) * ((P.Y[1] - P.Y[0]) / (P.X[1] - P.X[0]) - Slope);
    }
    for (size_t I = 1; I + 1 < N; ++I) {
        const double Sig = (P.X[I] - P.X[I - 1]) / (P.X[I + 1] - P.X[I - 1]);
        const double Pv = Sig * Y2[I - 1] + 2;
        Y2[I] = (Sig - 1) / Pv;
        const double D = (P.Y[I + 1] - P.Y[I]) / (P.X[I + 1] - P.X[I]) - (P.Y[I] - P.Y[I - 1]) / (P.X[I] - P.X[I - 1]);
        U[I] = (6 * D / (P.X[I + 1] - P.X[I - 1]) - Sig * U[I - 1]) / Pv;
    }
    double Qn = 0, Un = 0;
    if (Clamped) {
        const double H = P.X[N - 1] - P.X[N - 2];
        Qn = 0.5;
        Un = 3 / H * (Slope - (P.Y[N - 1] - P.Y[N - 2]) / H);
    }
    Y2[N - 1] = (Un - Qn * U[N - 2]) / (Qn * Y2[N - 2] + 1);
    for (size_t K = N - 1; K-- > 0;)
        Y2[K] = Y2[K] * Y2[K + 1] + U[K];
    size_t I = 0;
    for (TPointNode* Node = FHead; Node; Node = Node->Next)
        Node->Fitted = Y2[I++];

    const int32_t Intervals = SampleIntervals();
    const double Step = (FXMax - FXMin) / Intervals;
    TPointNode* Tail = nullptr;
    size_t Lo = 0;
    for (int64_t K = 0; K <= Intervals; ++K) {
        const double X = SampleAt(K, Step);
        // The search goes on from the last sample's interval; the last sample, a hair beyond
        // the last point, stays in the last interval.
        while (Lo + 2 < N && P.X[Lo + 1] < X)
            ++Lo;
        const size_t Hi = Lo + 1;
        const double H = P.X[Hi] - P.X[Lo];
        const double A = (P.X[Hi] - X) / H, B = (X - P.X[Lo]) / H;
        AppendResult(Tail, X,
                     A * P.Y[Lo] + B * P.Y[Hi] + ((A * A * A - A) * Y2[Lo] + (B * B * B - B) * Y2[Hi]) * H * H / 6);
    }
}

void TDataSeries::LocalLine()
{
    FreeList(FResultsHead);
    if (FBoundsInvalid)
        RecalcBounds();
    if (FRegressionControlValue1 <= 0 || FXMin == FXMax || !FHead)
        return;
    const double Span = FXMax - FXMin;
    std::vector<double> R, Y;
    for (const TPointNode* P = FHead; P; P = P->Next) {
        R.push_back((P->X - FXMin + Span) / Span);
        Y.push_back(P->Y);
    }
    const int32_t Intervals = SampleIntervals();
    const double Step = Span / Intervals;
    TPointNode* Tail = nullptr;
    for (int64_t K = 0; K <= Intervals; ++K) {
        const double X = SampleAt(K, Step);
        const double D = (X - FXMin + Span) / Span;
        // Extended weighted sums, as for the straight line.
        long double Sw = 0, Sr = 0, Sy = 0, Srr = 0, Sry = 0;
        for (size_t I = 0; I < R.size(); ++I) {
            const long double U = std::abs(D - R[I]);
            const long double W = std::exp(U) / (U * U * U + FRegressionControlValue2);
            Sw += W;
            Sr += W * R[I];
            Sy += W * Y[I];
            Srr += W * R[I] * R[I];
            Sry += W * R[I] * Y[I];
        }
        const long double Denominator = Sw * Srr - Sr * Sr;
        // Weights that leave no spread (or blow up) give this sample no line.
        if (Denominator == 0 || Sw == 0 || !std::isfinite(Denominator))
            continue;
        const long double Slope = (Sw * Sry - Sr * Sy) / Denominator;
        AppendResult(Tail, X, static_cast<double>(Slope * D + Sy / Sw - Slope * Sr / Sw));
    }
}

// Kinds 6 and 7 smooth raw y, like every other kind: the drawing takes fitted values in the
// units of raw y and subtracts ZeroValue itself.
void TDataSeries::ExponentialSmoothing()
{
    const double Alpha = FRegressionControlValue2;
    if (!FHead)
        return;
    FHead->Fitted = FHead->Y;
    for (TPointNode* Prev = FHead; Prev->Next; Prev = Prev->Next)
        Prev->Next->Fitted = Alpha * Prev->Next->Y + (1 - Alpha) * Prev->Fitted;
}

void TDataSeries::RunningAverage()
{
    // The window is 1 / value truncated in extended precision: 0.05 gives 19, not 20.
    const std::optional<uint64_t> Window = ExtendedReciprocalTrunc(FRegressionControlValue2);
    if (!Window || *Window <= 1 || *Window > MaxRunningAverageWindow)
        throw Exception(SInvalidRunningAverage);
    std::deque<double> Held;
    double Sum = 0;
    for (TPointNode* Node = FHead; Node; Node = Node->Next) {
        if (Held.size() == *Window) {
            Sum -= Held.front();
            Held.pop_front();
        }
        Held.push_back(Node->Y);
        Sum += Node->Y;
        Node->Fitted = Sum / Held.size();
    }
}
