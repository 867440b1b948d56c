//===- AxisScaling.cpp - Automatic ranges: linear, logarithmic and time axes ===//
#include "plot/TAxis.h"

#include "plot/AxisSteps.h"
#include "plot/PlotConsts.h"
#include "plot/TDimensions.h"
#include "plot/TPlotGraph.h"
#include "platform/rtl/DateUtils.h"
#include "platform/rtl/Exception.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace {

// The division values of one decade by division count (0, 1, 2, 5, 7, 9).
struct DivisionRow {
    uint16_t Count;
    double Values[9];
};
constexpr DivisionRow DivisionRows[] = {
    { 0, {} },
    { 1, { 5 } },
    { 2, { 2, 5 } },
    { 5, { 1.5, 2, 3, 5, 7 } },
    { 7, { 1.5, 2, 3, 4, 5, 6, 8 } },
    { 9, { 1.2, 1.5, 2, 2.5, 3, 4, 5, 6, 8 } },
};

uint16_t UsableDivisions(uint16_t N)
{
    N = std::min<uint16_t>(N, 9);
    switch (N) {
    case 3: return 2;
    case 4:
    case 6: return 5;
    case 8: return 7;
    default: return N;
    }
}

// The largest division <= X, else 1.
double Down(const TLogTicks& T, double X)
{
    double R = 1;
    for (int I = 1; I <= T.LogCycleDivisions; ++I)
        if (T.LogDivisionValues[I] <= X)
            R = T.LogDivisionValues[I];
    return R;
}

// The first division >= X, else 10.
double Up(const TLogTicks& T, double X)
{
    for (int I = 1; I <= T.LogCycleDivisions; ++I)
        if (T.LogDivisionValues[I] >= X)
            return T.LogDivisionValues[I];
    return 10;
}

} // namespace

// --- Linear

void SetMinMax(TAxis& A)
{
    const uint16_t MinSteps = A.MinSteps();
    if (A.DataMin > A.DataMax)
        throw Exception(SSetMinMaxImpossible);
    if (A.DataMin == A.DataMax) {
        const double V = A.DataMin;
        if (V == 0) {
            A.FMin = -1;
            A.FMax = 1;
            A.FStepSize = GetStep(MinSteps, -1, 1);
            return;
        }
        if (V < 0) {
            A.FMin = V * 1.2;
            A.FMax = 0;
        } else if (A.FShowAsTime) {
            const double S = GetDateStep(A.FDateTickType, MinSteps, A.FMin, A.FMax);
            A.FMax = V;
            A.FMin = V - 5 * S;
        } else {
            A.FMin = 0;
            A.FMax = V * 1.2;
        }
        A.FStepSize = GetStep(MinSteps, A.FMin, A.FMax);
        A.FMax = (std::trunc(A.FMax / A.FStepSize) + 1) * A.FStepSize;
        return;
    }
    A.FMin = A.DataMin;
    A.FMax = A.DataMax;
    // A step that is not a positive finite number would never reach the end of the axis.
    if (A.FAutoStepping || !(A.FStepSize > 0) || !std::isfinite(A.FStepSize)
        || 1.0 / A.MaxSteps() > A.FStepSize / (A.DataMax - A.DataMin))
        A.FStepSize = GetStep(MinSteps, A.DataMin, A.DataMax);
    const double Step = A.FStepSize;

    A.FMin = std::trunc(A.FMin / Step) * Step;
    if (A.DataMin < 0)
        A.FMin -= Step;
    if (A.DataMin - 0.01 * Step < A.FMin)
        A.FMin -= Step;

    A.FMax = (std::trunc(A.FMax / Step) + 1) * Step;
    if (A.DataMax < 0)
        A.FMax -= Step;
    if (A.DataMax + 0.01 * Step > A.FMax)
        A.FMax += Step;

    if (A.DataMin > 0 && A.DataMin / (A.FMax - A.FMin) < 0.25)
        A.FMin = 0;
    else if (A.DataMax < 0 && -A.DataMax / (A.FMax - A.FMin) < 0.25)
        A.FMax = 0;

    if (!(A.FMin < A.FMax))
        throw Exception(SSetMinMaxFailed);
}

bool TAxis::ScaleWithoutData()
{
    bool Changed = false;
    if (FLogScale) {
        if (FMin > FMax) {
            std::swap(FMin, FMax);
            Changed = true;
        }
        if (FMax > 0 && FMin <= 0) {
            FMin = FMax / 10;
        } else if (FMax <= 0) {
            FMin = 1;
            FMax = 10;
        }
        return Changed;
    }
    if (FShowAsTime) {
        const double S = GetDateStep(FDateTickType, MinSteps(), FMin, FMax);
        FMax = Now();
        FMin = FMax - 5 * S;
        return true;
    }
    if (FMin > FMax) {
        std::swap(FMin, FMax);
        Changed = true;
    } else if (FMin == FMax) {
        // Equal limits other than 0 take 0 as Min: equal negative limits are left upside down,
        // and the step search below refuses them with its error.
        if (FMin != 0)
            FMin = 0;
        else {
            FMin = -1;
            FMax = 1;
        }
        Changed = true;
    }
    FStepSize = GetStep(MinSteps(), FMin, FMax);
    return Changed;
}

bool TAxis::AutoScale()
{
    if (DataMax - DataMin < FMinScaleLength)
        DataMax = DataMin + FMinScaleLength;
    if (!HasData()) {
        const bool Result = ScaleWithoutData();
        if (FLogScale)
            UpdateLogLabelling();
        return Result;
    }
    if (!FAutoSizing)
        return false;
    if (FLogScale) {
        if (DataMin <= 0)
            return false;
        LogAutoRange();
        if (FAutoStepping && DataMin < DataMax && !FLogTicks.LogLinearSteps) {
            ChooseLogDivisions();
            LogAutoRange();
        }
    } else if (FShowAsTime && FDateTickType != dt_custom) {
        if (DataMin < DataMax) {
            FMin = DataMin;
            FMax = DataMax;
        }
        DateAutoRange();
    } else {
        SetMinMax(*this);
        if (FAutoStepping && DataMin < DataMax) {
            FStepSize = GetStep(MinSteps(), FMin, FMax);
            SetMinMax(*this);
        }
    }
    return FMin != DataMin || FMax != DataMax;
}

// --- Logarithmic

void TAxis::BuildLogTable()
{
    TLogTicks& T = FLogTicks;
    T.LabelAllLogTicks = true;
    T.LogCycleDivisions = UsableDivisions(T.LogCycleDivisions);
    std::fill(std::begin(T.LogDivisionValues), std::end(T.LogDivisionValues), 0.0);
    T.LogDivisionValues[0] = 1;
    for (const DivisionRow& Row : DivisionRows)
        if (Row.Count == T.LogCycleDivisions)
            std::copy(Row.Values, Row.Values + Row.Count, T.LogDivisionValues + 1);
    T.LogDivisionValues[T.LogCycleDivisions + 1] = 10;
}

void TAxis::ChooseLogDivisions()
{
    const long double R = MinSteps() / PlotLog10(static_cast<long double>(FMax) / FMin);
    uint16_t N = 0;
    if (R > 10)
        N = 9;
    else if (R > 8)
        N = 7;
    else if (R > 6)
        N = 5;
    else if (R > 3)
        N = 2;
    else if (R > 2)
        N = 1;
    FLogTicks.LogCycleDivisions = N;
    BuildLogTable();
}

void TAxis::UpdateLogLabelling()
{
    FLogTicks.LabelAllLogTicks =
        FLogTicks.LogLinearSteps || PlotLog10(static_cast<long double>(FMax) / FMin) * FLogTicks.LogCycleDivisions < 10;
}

// The decade and mantissa of Min: 10^floor(log10 Min) and Min over it. An exact power of ten
// is its own decade with mantissa 1; by the plot's logarithm alone, 100 would fall in the decade
// of 10 with mantissa 9.99999999 and data from 100 would scale from 50.
void TAxis::DecadeOfMin(double& LowDecade, double& LowMantissa) const
{
    int Exponent = 0;
    if (IsPowerOfTen(FMin, Exponent)) {
        LowDecade = FMin;
        LowMantissa = 1;
        return;
    }
    const long double X = PlotLog10(FMin);
    const long double G = std::floor(X);
    LowDecade = static_cast<double>(PlotPower10(G));
    LowMantissa = static_cast<double>(PlotPower10(X - G));
}

// The decade and mantissa of Max, the decade lowered for values below 1. An exact power of ten
// is the top of the decade below (mantissa 10), as Max = 1 is, so that it stays the top of the
// axis.
void TAxis::DecadeOfMax(double& HighDecade, double& HighMantissa) const
{
    int Exponent = 0;
    if (IsPowerOfTen(FMax, Exponent)) {
        HighDecade = FMax / 10;
        HighMantissa = 10;
        return;
    }
    const long double X = PlotLog10(FMax);
    long double F = std::trunc(X);
    if ((X < 0 && X != F) || X == 0)
        F -= 1;
    HighDecade = static_cast<double>(PlotPower10(F));
    HighMantissa = static_cast<double>(PlotPower10(X - F));
}

void TAxis::LogAutoRange()
{
    FMin = DataMin == DataMax ? DataMax * 0.5 : DataMin;
    FMax = DataMax;
    double LowDecade, LowMantissa, HighDecade, HighMantissa;
    DecadeOfMin(LowDecade, LowMantissa);
    DecadeOfMax(HighDecade, HighMantissa);
    if (FAutoStepping)
        ChooseLogDivisions();
    if (FMax / FMin >= 4) {
        FLogTicks.LogLinearSteps = false;
        if (FMax / FMin >= 30) {
            FMin = LowDecade;
            FMax = HighDecade * 10;
        } else {
            FMin = LowDecade * Down(FLogTicks, LowMantissa);
            FMax = HighDecade * Up(FLogTicks, HighMantissa);
        }
    } else {
        FLogTicks.LogLinearSteps = true;
        SetMinMax(*this);
    }
    UpdateLogLabelling();
}

// --- Checks and metrics

bool TAxis::CheckRange()
{
    FRangeValid = std::isfinite(FMin) && std::isfinite(FMax) && FMin < FMax && (!FLogScale || FMin > 0)
                  && (!FShowAsTime || FMin >= 1);
    return FRangeValid;
}

void CalcMetrics(TAxis& A)
{
    if (!(A.FMin < A.FMax))
        throw Exception(A.FTitle + SCalcMetrics);
    const TPlotGraph& G = A.FGraph;
    const TDimensions& D = *G.GetDimensions();
    const double Length = &A == G.GetXAxis() ? double(G.GetPlotWidth()) - D.GetLeftMargin() - D.GetRightMargin()
                                             : double(G.GetPlotHeight()) - D.GetTopMargin() - D.GetBottomMargin();
    const double Units = A.FLogScale ? std::log(A.FMax) - std::log(A.FMin) : A.FMax - A.FMin;
    A.FPixelsPerUnit = Length / Units;
}

// --- Label decimals

void TAxis::UpdateLabelDecimals()
{
    if (AutoLabelDecimals)
        FLabelDecimals = std::max(0, DecimalsFor(FStepSize * 1.01));
}

void TAxis::LogLabelDecimals(double V)
{
    const int D = DecimalsFor(V * 1.01) + (FLogTicks.LogCycleDivisions >= 5 ? 1 : 0);
    FLabelDecimals = std::max(0, D);
}
