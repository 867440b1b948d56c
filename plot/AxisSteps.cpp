//===- AxisSteps.cpp - The plot's logarithm, tick steps, label decimals and month steps ===//
#include "plot/AxisSteps.h"

#include "plot/PlotConsts.h"
#include "platform/rtl/Exception.h"

#include <cmath>

namespace {

// 0.4342944818, not the exact log10(e): tick positions at powers of ten depend on it.
constexpr long double LogE = 0.4342944818L;

} // namespace

long double PlotLog10(long double X) { return std::log(X) * LogE; }

long double PlotPower10(long double K) { return std::exp(K / LogE); }

bool IsPowerOfTen(double X, int& Exponent)
{
    if (!(X > 0) || !std::isfinite(X))
        return false;
    const long double R = std::nearbyint(PlotLog10(X));
    if (std::fabs(PlotLog10(X) - R) > 1e-6L)
        return false;
    long double P = 1;
    for (int I = 0; I < std::fabs(R); ++I)
        P *= 10;
    if (R < 0)
        P = 1 / P;
    if (std::fabs(X - P) > 1e-12L * P)
        return false;
    Exponent = static_cast<int>(R);
    return true;
}

double GetStep(uint16_t MinSteps, double Lo, double Hi)
{
    const long double D = static_cast<long double>(Hi) - Lo;
    if (!(D > 0) || !std::isfinite(D))
        throw Exception(SGetStepBadRange);
    long double X = PlotLog10(D);
    if (X < 0)
        X -= 1;
    // The factor lifts ranges just under a power of ten to that power (999 steps by 100).
    const long double M = PlotPower10(std::trunc(X * 1.001L));
    for (long double Divisor : { 1.0L, 2.0L, 5.0L, 10.0L, 20.0L, 50.0L })
        if (D / (M / Divisor) >= MinSteps)
            return static_cast<double>(M / Divisor);
    return static_cast<double>(M / 100);
}

double GetDateStep(Dateticks TickType, uint16_t MinSteps, double Lo, double Hi)
{
    switch (TickType) {
    case dt_second: return 1.0 / 86400;
    case dt_30second: return 30.0 / 86400;
    case dt_minute: return 60.0 / 86400;
    case dt_5minute: return 300.0 / 86400;
    case dt_halfhourly: return 1.0 / 48;
    case dt_hourly: return 1.0 / 24;
    case dt_daily: return 1;
    case dt_weekly: return 7;
    case dt_monthly: return 30;
    case dt_2monthly: return 61;
    case dt_quarterly: return 91;
    case dt_annually: return 365;
    case dt_decade: return 3654;
    case dt_century: return 36540;
    case dt_custom: return GetStep(MinSteps, Lo, Hi);
    }
    return 1;
}

int DecimalsFor(double V)
{
    const long double A = PlotLog10(static_cast<long double>(V) * 1.01L);
    if (!std::isfinite(A))
        return 0;
    const int T = static_cast<int>(std::trunc(A));
    return A >= 0 ? -T : 1 - T;
}

void AddMonths(uint16_t& Year, uint16_t& Month, int N)
{
    if (Month + N < 13) {
        Month = static_cast<uint16_t>(Month + N);
    } else {
        Year = static_cast<uint16_t>(Year + 1);
        Month = static_cast<uint16_t>(Month + N - 12);
    }
}
