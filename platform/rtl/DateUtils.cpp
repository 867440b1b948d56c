//===- DateUtils.cpp - Date-time numbers: days since 1899-12-30 -----------===//
#include "platform/rtl/DateUtils.h"

#include "platform/rtl/DateUtils_p.h"
#include "platform/rtl/Exception.h"
#include "platform/rtl/RtlConsts.h"
#include "platform/rtl/SysUtils.h"

#include <algorithm>
#include <cmath>
#include <ctime>
#include <mutex>

namespace {

constexpr int64_t msecsPerDay = 86400000;
// Day numbers of 0001-01-01 and 9999-12-31.
constexpr int64_t minDateNumber = -693593;
constexpr int64_t maxDateNumber = 2958465;
// 1970-01-01 is day 25569.
constexpr int64_t unixEpochDateNumber = 25569;

/// Days since 1970-01-01 of a proleptic Gregorian date (the well-known era computation).
int64_t daysFromCivil(int64_t Y, unsigned M, unsigned D)
{
    Y -= M <= 2;
    const int64_t Era = (Y >= 0 ? Y : Y - 399) / 400;
    const unsigned YearOfEra = static_cast<unsigned>(Y - Era * 400);
    const unsigned DayOfYear = (153 * (M + (M > 2 ? -3 : 9)) + 2) / 5 + D - 1;
    const unsigned DayOfEra = YearOfEra * 365 + YearOfEra / 4 - YearOfEra / 100 + DayOfYear;
    return Era * 146097 + static_cast<int64_t>(DayOfEra) - 719468;
}

void civilFromDays(int64_t Z, uint16_t& Year, uint16_t& Month, uint16_t& Day)
{
    Z += 719468;
    const int64_t Era = (Z >= 0 ? Z : Z - 146096) / 146097;
    const unsigned DayOfEra = static_cast<unsigned>(Z - Era * 146097);
    const unsigned YearOfEra = (DayOfEra - DayOfEra / 1460 + DayOfEra / 36524 - DayOfEra / 146096) / 365;
    const unsigned DayOfYear = DayOfEra - (365 * YearOfEra + YearOfEra / 4 - YearOfEra / 100);
    const unsigned Mp = (5 * DayOfYear + 2) / 153;
    Day = static_cast<uint16_t>(DayOfYear - (153 * Mp + 2) / 5 + 1);
    Month = static_cast<uint16_t>(Mp < 10 ? Mp + 3 : Mp - 9);
    Year = static_cast<uint16_t>(static_cast<int64_t>(YearOfEra) + Era * 400 + (Month <= 2));
}

std::mutex overrideMutex;
std::optional<TDateTime> nowOverride;

TDateTime systemNow()
{
    timespec Ts {};
    clock_gettime(CLOCK_REALTIME, &Ts);
    tm Local {};
    localtime_r(&Ts.tv_sec, &Local);
    const uint16_t Sec = static_cast<uint16_t>(std::min(Local.tm_sec, 59)); // a leap second stays in its minute
    return rtl_private::composeDateTime(
        EncodeDate(static_cast<uint16_t>(Local.tm_year + 1900), static_cast<uint16_t>(Local.tm_mon + 1),
                   static_cast<uint16_t>(Local.tm_mday)),
        EncodeTime(static_cast<uint16_t>(Local.tm_hour), static_cast<uint16_t>(Local.tm_min), Sec,
                   static_cast<uint16_t>(Ts.tv_nsec / 1000000)));
}

} // namespace

namespace rtl_private {

DayAndTime splitDateTime(TDateTime DateTime)
{
    if (!std::isfinite(DateTime) || DateTime <= minDateNumber - 1.0 || DateTime >= maxDateNumber + 1.0)
        throw EConvertError(SInvalidDateTimeValue);
    DayAndTime Out;
    Out.day = Trunc(DateTime);
    Out.msec = Round(std::fabs(DateTime - static_cast<double>(Out.day)) * msecsPerDay);
    if (Out.msec >= msecsPerDay) {
        // 23:59:59.9995 and later is midnight of the next day, never hour 24.
        Out.msec -= msecsPerDay;
        ++Out.day;
    }
    if (Out.day > maxDateNumber)
        throw EConvertError(SInvalidDateTimeValue);
    return Out;
}

TDateTime composeDateTime(TDateTime Date, TDateTime Time) { return Date < 0 ? Date - Time : Date + Time; }

} // namespace rtl_private

using rtl_private::splitDateTime;

bool TryEncodeDate(uint16_t Year, uint16_t Month, uint16_t Day, TDateTime& Date)
{
    if (Year < 1 || Year > 9999 || Day < 1 || Day > DaysInAMonth(Year, Month))
        return false;
    Date = static_cast<double>(daysFromCivil(Year, Month, Day) + unixEpochDateNumber);
    return true;
}

bool TryEncodeTime(uint16_t Hour, uint16_t Min, uint16_t Sec, uint16_t MSec, TDateTime& Time)
{
    if (Hour >= 24 || Min >= 60 || Sec >= 60 || MSec >= 1000)
        return false;
    Time = (Hour * 3600000.0 + Min * 60000.0 + Sec * 1000.0 + MSec) / msecsPerDay;
    return true;
}

TDateTime EncodeDate(uint16_t Year, uint16_t Month, uint16_t Day)
{
    TDateTime Date;
    if (!TryEncodeDate(Year, Month, Day, Date))
        throw EConvertError(SDateEncodeError);
    return Date;
}

TDateTime EncodeTime(uint16_t Hour, uint16_t Min, uint16_t Sec, uint16_t MSec)
{
    TDateTime Time;
    if (!TryEncodeTime(Hour, Min, Sec, MSec, Time))
        throw EConvertError(STimeEncodeError);
    return Time;
}

void DecodeDate(TDateTime DateTime, uint16_t& Year, uint16_t& Month, uint16_t& Day)
{
    civilFromDays(splitDateTime(DateTime).day - unixEpochDateNumber, Year, Month, Day);
}

void DecodeTime(TDateTime DateTime, uint16_t& Hour, uint16_t& Min, uint16_t& Sec, uint16_t& MSec)
{
    const int64_t Ms = splitDateTime(DateTime).msec;
    Hour = static_cast<uint16_t>(Ms / 3600000);
    Min = static_cast<uint16_t>(Ms / 60000 % 60);
    Sec = static_cast<uint16_t>(Ms / 1000 % 60);
    MSec = static_cast<uint16_t>(Ms % 1000);
}

void DecodeDateTime(TDateTime DateTime, uint16_t& Year, uint16_t& Month, uint16_t& Day, uint16_t& Hour, uint16_t& Min,
                    uint16_t& Sec, uint16_t& MSec)
{
    DecodeDate(DateTime, Year, Month, Day);
    DecodeTime(DateTime, Hour, Min, Sec, MSec);
}

int DayOfWeek(TDateTime DateTime)
{
    // Day 0, 1899-12-30, was a Saturday.
    const int64_t Day = splitDateTime(DateTime).day;
    return static_cast<int>(((Day + 6) % 7 + 7) % 7) + 1;
}

bool IsLeapYear(uint16_t Year) { return Year % 4 == 0 && (Year % 100 != 0 || Year % 400 == 0); }

uint16_t DaysInAMonth(uint16_t Year, uint16_t Month)
{
    static constexpr uint16_t Days[12] = { 31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31 };
    if (Month < 1 || Month > 12)
        return 0;
    return Month == 2 && IsLeapYear(Year) ? 29 : Days[Month - 1];
}

TDateTime IncMonth(TDateTime DateTime, int NumberOfMonths)
{
    uint16_t Year, Month, Day;
    DecodeDate(DateTime, Year, Month, Day);
    const int64_t MonthIndex = int64_t(Year) * 12 + (Month - 1) + NumberOfMonths;
    if (MonthIndex < 12 || MonthIndex >= 10000 * 12)
        throw EConvertError(SDateEncodeError);
    const uint16_t NewYear = static_cast<uint16_t>(MonthIndex / 12);
    const uint16_t NewMonth = static_cast<uint16_t>(MonthIndex % 12 + 1);
    const uint16_t NewDay = std::min(Day, DaysInAMonth(NewYear, NewMonth));
    const double Time = static_cast<double>(splitDateTime(DateTime).msec) / msecsPerDay;
    return rtl_private::composeDateTime(EncodeDate(NewYear, NewMonth, NewDay), Time);
}

TDateTime Now()
{
    {
        std::lock_guard Lock(overrideMutex);
        if (nowOverride)
            return *nowOverride;
    }
    return systemNow();
}

TDateTime Date() { return std::trunc(Now()); }

TDateTime Time() { return std::fabs(Frac(Now())); }

void SetNowOverride(std::optional<TDateTime> Fixed)
{
    std::lock_guard Lock(overrideMutex);
    nowOverride = Fixed;
}
