//===- AxisTicks.cpp - The tick walk and the time boundaries of date axes ===//
#include "plot/TAxis.h"

#include "plot/AxisSteps.h"
#include "platform/rtl/DateUtils.h"

#include <cmath>
#include <limits>

namespace {

constexpr double NoMoreTicks = std::numeric_limits<double>::infinity();

// A date-time split into its date, its whole seconds and the milliseconds left over.
struct Moment {
    uint16_t Year, Month, Day, Hour, Minute, Second, MSec;
    double Date;

    explicit Moment(double V)
    {
        DecodeDateTime(V, Year, Month, Day, Hour, Minute, Second, MSec);
        Date = EncodeDate(Year, Month, Day);
    }
    int Seconds() const { return (Hour * 60 + Minute) * 60 + Second; }
    bool Midnight() const { return Seconds() == 0; }
    /// The date plus a count of seconds, which may run into the next days.
    double At(int Secs) const { return Date + Secs / 86400.0; }
    /// The second S rounded down (Up: up) to a multiple of Step.
    static int Down(int S, int Step) { return S / Step * Step; }
    static int Up(int S, int Step) { return (S + Step - 1) / Step * Step; }
};

double FirstOfMonth(uint16_t Year, uint16_t Month) { return EncodeDate(Year, Month, 1); }

// The 1st of the month of M when M is on it at 00:00, else of the next month.
void MonthAtOrAfter(const Moment& M, uint16_t& Year, uint16_t& Month)
{
    Year = M.Year;
    Month = M.Month;
    if (M.Day != 1 || !M.Midnight())
        AddMonths(Year, Month, 1);
}

// 1 January of the first year at or after M's that is a multiple of Span, M counting as "on"
// it only at 1 January 00:00.
double YearAtOrAfter(const Moment& M, int Span)
{
    int Year = M.Year / Span * Span;
    if (Year != M.Year || M.Month != 1 || M.Day != 1 || !M.Midnight())
        Year += Span;
    return EncodeDate(static_cast<uint16_t>(Year), 1, 1);
}

} // namespace

// --- The walk

double TAxis::FirstTick(TLogTicks& Copy)
{
    if (!FLogScale || Copy.LogLinearSteps) {
        if (FShowAsTime)
            return FirstDateTick();
        return LinearFirstTick();
    }
    return LogFirstTick(Copy);
}

double TAxis::LinearFirstTick()
{
    const double Step = FStepSize;
    if (!(Step > 0) || !std::isfinite(Step) || !std::isfinite(FMin))
        return NoMoreTicks;
    double T = std::trunc((FMin + 0.01 * Step) / Step) * Step;
    if (FMin < 0)
        T -= Step;
    if (FMin > T + 0.01 * Step)
        T += Step;
    UpdateLabelDecimals();
    return T;
}

double TAxis::LogFirstTick(TLogTicks& Copy)
{
    if (!(FMin > 0) || !std::isfinite(FMin))
        return NoMoreTicks;
    long double X = PlotLog10(FMin);
    if (X < 0)
        X -= 1;
    long double E = PlotPower10(std::trunc(X * 1.001L));
    if (E > FMin)
        E /= 10;
    const int Last = Copy.LogCycleDivisions + 1;
    for (int I = 0; I <= Last; ++I)
        Copy.LogDivisionValues[I] *= static_cast<double>(E);
    // Just above a power of ten below 1, the factor 1.001 lands a decade low, where no value
    // reaches Min: the search goes on in the next decade.
    for (int Decade = 0; Decade < 3; ++Decade) {
        for (int I = 0; I <= Last; ++I) {
            if (Copy.LogDivisionValues[I] < 0.999 * FMin)
                continue;
            // The decade's last entry is the next decade's first: the walk steps on from there.
            if (I == Last) {
                for (int J = 0; J <= Last; ++J)
                    Copy.LogDivisionValues[J] *= 10;
                I = 0;
            }
            Copy.TickIndex = static_cast<uint16_t>(I);
            LogLabelDecimals(Copy.LogDivisionValues[I]);
            return Copy.LogDivisionValues[I];
        }
        for (int J = 0; J <= Last; ++J)
            Copy.LogDivisionValues[J] *= 10;
    }
    return NoMoreTicks;
}

double TAxis::NextTick(TLogTicks& Copy, double Value, bool& Labelled)
{
    if (!FLogScale || Copy.LogLinearSteps) {
        Labelled = true;
        if (FShowAsTime)
            return NextDateTick(Value);
        const double Next = Value + FStepSize;
        // A step below the value's resolution would leave the walk where it is.
        return Next > Value && std::isfinite(Next) ? Next : NoMoreTicks;
    }
    const int Last = Copy.LogCycleDivisions + 1;
    if (++Copy.TickIndex >= Last) {
        for (int J = 0; J <= Last; ++J)
            Copy.LogDivisionValues[J] *= 10;
        Copy.TickIndex = 0;
    }
    const double Next = Copy.LogDivisionValues[Copy.TickIndex];
    if (Copy.TickIndex == 0)
        LogLabelDecimals(Next);
    Labelled = Copy.LabelAllLogTicks || Copy.TickIndex == 0;
    return Next > Value && std::isfinite(Next) ? Next : NoMoreTicks;
}

// --- Time ticks

double TAxis::FirstDateTick()
{
    if (!std::isfinite(FMin))
        return NoMoreTicks;
    if (FDateTickType == dt_custom)
        return FMin;
    if (static_cast<int32_t>(FDateTickType) < 0 || FDateTickType > dt_custom)
        return 1;
    const Moment M(FMin);
    const int S = M.Seconds();
    uint16_t Year, Month;
    switch (FDateTickType) {
    // The next whole second: a tick before Min would be drawn, with its label, left of the axis.
    case dt_second: return M.At(M.MSec == 0 ? S : S + 1);
    case dt_30second: return M.At(M.Second == 0 ? S : M.Second < 30 ? S - M.Second + 30 : Moment::Up(S, 60));
    case dt_minute: return M.At(Moment::Up(S, 60));
    case dt_5minute: return M.At(Moment::Up(S, 300));
    case dt_halfhourly:
        return M.At(S % 3600 == 0 ? S : M.Minute < 30 ? Moment::Down(S, 3600) + 1800 : Moment::Up(S, 3600));
    case dt_hourly: return M.At(Moment::Up(S, 3600));
    case dt_daily: return M.Date + (M.Midnight() ? 0 : 1);
    case dt_weekly: return M.Date + (8 - DayOfWeek(M.Date));
    case dt_monthly:
    case dt_2monthly:
    case dt_quarterly:
        MonthAtOrAfter(M, Year, Month);
        if (FDateTickType == dt_2monthly && Month % 2 == 1)
            AddMonths(Year, Month, 1);
        while (FDateTickType == dt_quarterly && Month % 3 != 0)
            AddMonths(Year, Month, 1);
        return FirstOfMonth(Year, Month);
    case dt_annually: return YearAtOrAfter(M, 1);
    case dt_decade: return YearAtOrAfter(M, 10);
    case dt_century: return YearAtOrAfter(M, 100);
    case dt_custom: break;
    }
    return FMin;
}

double TAxis::NextDateTick(double Value)
{
    static constexpr double Days[] = {
        1.0 / 86400, 30.0 / 86400, 60.0 / 86400, 300.0 / 86400, 1.0 / 48, 1.0 / 24, 1, 7
    };
    const auto Type = static_cast<int32_t>(FDateTickType);
    double Next;
    if (Type >= 0 && Type < 8) {
        Next = Value + Days[Type];
    } else if (FDateTickType >= dt_monthly && FDateTickType <= dt_century) {
        if (!std::isfinite(Value))
            return NoMoreTicks;
        const Moment M(Value);
        uint16_t Year = M.Year, Month = M.Month;
        switch (FDateTickType) {
        case dt_monthly: AddMonths(Year, Month, 1); break;
        case dt_2monthly: AddMonths(Year, Month, 2); break;
        case dt_quarterly: AddMonths(Year, Month, 3); break;
        case dt_annually: return EncodeDate(static_cast<uint16_t>(M.Year + 1), 1, 1);
        case dt_decade: return EncodeDate(static_cast<uint16_t>(M.Year + 10), 1, 1);
        default: return EncodeDate(static_cast<uint16_t>(M.Year + 100), 1, 1);
        }
        return FirstOfMonth(Year, Month);
    } else {
        Next = Value + FStepSize;
    }
    return Next > Value && std::isfinite(Next) ? Next : NoMoreTicks;
}

// --- The automatic range of a time axis: Min down and Max up to the tick type's boundaries

void TAxis::DateAutoRange()
{
    if (!(DataMax - DataMin > 0) || !(DataMin >= 1) || !std::isfinite(FMin) || !std::isfinite(FMax))
        return;
    const Moment Lo(FMin), Hi(FMax);
    const int LS = Lo.Seconds(), HS = Hi.Seconds();
    uint16_t Year, Month;
    switch (FDateTickType) {
    case dt_second:
        FMin = Lo.At(LS);
        FMax = Hi.At(HS + 1);
        if (FMax == FMin)
            FMax = Hi.At(HS + 2);
        break;
    case dt_30second:
        FMin = Lo.At(Moment::Down(LS, 30));
        FMax = Hi.At(Hi.Second < 30 ? HS - Hi.Second + 30 : Moment::Down(HS, 60) + 60);
        if (FMax == FMin)
            FMax += 30.0 / 86400;
        break;
    case dt_minute:
        FMin = Lo.At(Moment::Down(LS, 60));
        FMax = Hi.At(Moment::Down(HS, 60) + 60);
        break;
    case dt_5minute:
        FMin = Lo.At(Moment::Down(LS, 300));
        FMax = Hi.At(Moment::Up(HS, 300));
        break;
    case dt_halfhourly:
        FMin = Lo.At(Moment::Down(LS, 1800));
        FMax = Hi.At(HS % 3600 == 0 ? HS : Hi.Minute < 30 ? Moment::Down(HS, 3600) + 1800 : Moment::Up(HS, 3600));
        break;
    case dt_hourly:
        FMin = Lo.At(Moment::Down(LS, 3600));
        FMax = Hi.At(Moment::Up(HS, 3600));
        break;
    case dt_daily:
        FMin = Lo.Date;
        FMax = Hi.Date + (Hi.Midnight() ? 0 : 1);
        break;
    case dt_weekly:
        FMin = Lo.Date - (DayOfWeek(Lo.Date) - 1);
        FMax = Hi.Date + (8 - DayOfWeek(Hi.Date));
        break;
    case dt_monthly:
    case dt_2monthly:
    case dt_quarterly:
        Year = Lo.Year;
        Month = Lo.Month;
        if (FDateTickType == dt_2monthly && Month % 2 == 0)
            --Month;
        if (FDateTickType == dt_quarterly)
            Month = static_cast<uint16_t>((Month - 1) / 3 * 3 + 1);
        FMin = FirstOfMonth(Year, Month);
        MonthAtOrAfter(Hi, Year, Month);
        if (FDateTickType == dt_2monthly && Month % 2 == 0)
            AddMonths(Year, Month, 1);
        while (FDateTickType == dt_quarterly && Month % 3 != 1)
            AddMonths(Year, Month, 1);
        FMax = FirstOfMonth(Year, Month);
        break;
    case dt_annually:
    case dt_decade:
    case dt_century: {
        const int Span = FDateTickType == dt_annually ? 1 : FDateTickType == dt_decade ? 10 : 100;
        const int Low = Lo.Year / Span * Span;
        FMin = EncodeDate(static_cast<uint16_t>(std::max(Low, 1)), 1, 1);
        FMax = FDateTickType == dt_annually ? YearAtOrAfter(Hi, 1)
                                            : EncodeDate(static_cast<uint16_t>(Hi.Year / Span * Span + Span), 1, 1);
        break;
    }
    case dt_custom: break;
    }
}
