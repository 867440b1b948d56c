//===- date_time_test.cpp - Date-time numbers: encoding, decoding, the clock -===//
#include "tests/platform/rtl/RtlTestSupport.h"

#include "platform/rtl/DateUtils.h"
#include "platform/rtl/Exception.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

struct Ymd {
    uint16_t year, month, day;
};

Ymd decodeDate(TDateTime D)
{
    Ymd Out {};
    DecodeDate(D, Out.year, Out.month, Out.day);
    return Out;
}

struct Hms {
    uint16_t hour, min, sec, msec;
};

Hms decodeTime(TDateTime D)
{
    Hms Out {};
    DecodeTime(D, Out.hour, Out.min, Out.sec, Out.msec);
    return Out;
}

TEST(EncodeDate, DayNumbersCountFrom30December1899)
{
    struct Row {
        Ymd date;
        double number;
    };
    const Row Rows[] = {
        { { 1899, 12, 30 }, 0 },    { { 1899, 12, 31 }, 1 },  { { 1900, 1, 1 }, 2 },
        { { 1899, 12, 29 }, -1 },   { { 1900, 3, 1 }, 61 },   { { 2000, 1, 1 }, 36526 },
        { { 2024, 2, 29 }, 45351 }, { { 1, 1, 1 }, -693593 }, { { 9999, 12, 31 }, 2958465 },
    };
    for (const Row& R : Rows) {
        EXPECT_EQ(EncodeDate(R.date.year, R.date.month, R.date.day), R.number) << R.date.year << '-' << R.date.month;
        const Ymd Back = decodeDate(R.number);
        EXPECT_EQ(Back.year, R.date.year);
        EXPECT_EQ(Back.month, R.date.month);
        EXPECT_EQ(Back.day, R.date.day);
    }
}

TEST(EncodeDate, RefusesDatesThatDoNotExist)
{
    const Ymd Bad[] = { { 2023, 2, 29 }, { 1900, 2, 29 }, { 2024, 13, 1 }, { 2024, 0, 1 },
                        { 0, 1, 1 },     { 10000, 1, 1 }, { 2024, 4, 31 }, { 2024, 1, 0 } };
    for (const Ymd& D : Bad) {
        try {
            EncodeDate(D.year, D.month, D.day);
            ADD_FAILURE() << D.year << '-' << D.month << '-' << D.day << " was accepted";
        } catch (const EConvertError& E) {
            EXPECT_EQ(E.Message(), "Invalid argument to date encode");
        }
    }
    TDateTime Unchanged = 7;
    EXPECT_FALSE(TryEncodeDate(2023, 2, 29, Unchanged));
    EXPECT_EQ(Unchanged, 7);
}

TEST(EncodeTime, FractionsOfTheDay)
{
    EXPECT_EQ(EncodeTime(12, 0, 0, 0), 0.5);
    EXPECT_EQ(EncodeTime(6, 0, 0, 0), 0.25);
    EXPECT_DOUBLE_EQ(EncodeTime(23, 59, 59, 999), 86399999.0 / 86400000);
    for (const Hms& T : { Hms { 24, 0, 0, 0 }, Hms { 0, 60, 0, 0 }, Hms { 0, 0, 60, 0 }, Hms { 0, 0, 0, 1000 } })
        EXPECT_THROW(EncodeTime(T.hour, T.min, T.sec, T.msec), EConvertError);
}

TEST(DecodeDate, RoundTripsEveryDayOverCenturies)
{
    // Every day from 1 January 1600 to 31 December 2400 decodes to the date it was made from.
    for (double D = EncodeDate(1600, 1, 1); D <= EncodeDate(2400, 12, 31); D += 1) {
        const Ymd Back = decodeDate(D);
        ASSERT_EQ(EncodeDate(Back.year, Back.month, Back.day), D);
    }
}

TEST(DecodeTime, RoundTripsMilliseconds)
{
    // A prime step reaches every hour, minute, second and millisecond digit.
    for (int64_t Ms = 0; Ms < 86400000; Ms += 9973) {
        const Hms T { uint16_t(Ms / 3600000), uint16_t(Ms / 60000 % 60), uint16_t(Ms / 1000 % 60),
                      uint16_t(Ms % 1000) };
        const Hms Back = decodeTime(EncodeDate(2024, 3, 5) + EncodeTime(T.hour, T.min, T.sec, T.msec));
        ASSERT_EQ(Back.hour, T.hour) << Ms;
        ASSERT_EQ(Back.min, T.min) << Ms;
        ASSERT_EQ(Back.sec, T.sec) << Ms;
        ASSERT_EQ(Back.msec, T.msec) << Ms;
    }
}

TEST(DecodeTime, NeverGivesHour24)
{
    Hms T = decodeTime(0.99999999);
    EXPECT_EQ(T.hour, 23);
    EXPECT_EQ(T.min, 59);
    EXPECT_EQ(T.sec, 59);
    EXPECT_EQ(T.msec, 999);

    // Within half a millisecond of midnight: midnight of the next day.
    for (TDateTime D : { 0.999999999, 0.9999999999999, 45351.99999999999 }) {
        T = decodeTime(D);
        EXPECT_EQ(T.hour, 0) << D;
        EXPECT_EQ(T.min, 0) << D;
        EXPECT_EQ(T.sec, 0) << D;
        EXPECT_EQ(T.msec, 0) << D;
    }
    const Ymd Next = decodeDate(0.999999999);
    EXPECT_EQ(Next.day, 31) << "1899-12-30 23:59:59.9999 is 1899-12-31 00:00";
    const Ymd Leap = decodeDate(45351.99999999999);
    EXPECT_EQ(Leap.month, 3);
    EXPECT_EQ(Leap.day, 1);
}

TEST(DecodeDate, ValuesBefore1899CountTheTimeForward)
{
    const Ymd D = decodeDate(-1.25);
    EXPECT_EQ(D.year, 1899);
    EXPECT_EQ(D.month, 12);
    EXPECT_EQ(D.day, 29);
    EXPECT_EQ(decodeTime(-1.25).hour, 6);
    EXPECT_EQ(decodeDate(-0.5).day, 30);
    EXPECT_EQ(decodeTime(-0.5).hour, 12);
}

TEST(DecodeDate, RefusesValuesOutsideTheCalendar)
{
    uint16_t Y, M, D;
    for (double V : { std::nan(""), std::numeric_limits<double>::infinity(), 1e10, -1e10, 2958466.0, -693594.0 })
        EXPECT_THROW(DecodeDate(V, Y, M, D), EConvertError) << V;
}

TEST(DayOfWeek, SundayIsOne)
{
    const std::pair<Ymd, int> Rows[] = {
        { { 1899, 12, 30 }, 7 }, { { 1899, 12, 31 }, 1 }, { { 1899, 12, 29 }, 6 }, { { 2000, 1, 1 }, 7 },
        { { 2024, 3, 5 }, 3 },   { { 2024, 3, 10 }, 1 },  { { 1, 1, 1 }, 2 },
    };
    for (const auto& [Date, Expected] : Rows)
        EXPECT_EQ(DayOfWeek(EncodeDate(Date.year, Date.month, Date.day)), Expected)
            << Date.year << '-' << Date.month << '-' << Date.day;
    EXPECT_EQ(DayOfWeek(EncodeDate(2024, 3, 5) + 0.75), 3) << "the time of day does not matter";
    EXPECT_EQ(DayOfWeek(-1.75), 6) << "1899-12-29 18:00 is a Friday";
}

TEST(Calendar, LeapYearsAndMonthLengths)
{
    EXPECT_TRUE(IsLeapYear(2000));
    EXPECT_TRUE(IsLeapYear(2024));
    EXPECT_FALSE(IsLeapYear(1900));
    EXPECT_FALSE(IsLeapYear(2023));
    EXPECT_EQ(DaysInAMonth(2024, 2), 29);
    EXPECT_EQ(DaysInAMonth(2023, 2), 28);
    EXPECT_EQ(DaysInAMonth(2023, 4), 30);
    EXPECT_EQ(DaysInAMonth(2023, 12), 31);
    EXPECT_EQ(DaysInAMonth(2023, 13), 0);
}

TEST(IncMonth, KeepsTheDayWhereTheMonthHasIt)
{
    EXPECT_EQ(IncMonth(EncodeDate(2024, 1, 31)), EncodeDate(2024, 2, 29));
    EXPECT_EQ(IncMonth(EncodeDate(2023, 1, 31)), EncodeDate(2023, 2, 28));
    EXPECT_EQ(IncMonth(EncodeDate(2024, 3, 15) + 0.5, -3), EncodeDate(2023, 12, 15) + 0.5);
    EXPECT_EQ(IncMonth(EncodeDate(2024, 11, 1), 14), EncodeDate(2026, 1, 1));
    // Before 1899-12-30 the time counts forward from midnight: 1899-12-01 06:00 is -29.25.
    EXPECT_EQ(IncMonth(-29.25, -1), -59.25) << "1899-11-01 06:00";
    EXPECT_THROW(IncMonth(EncodeDate(9999, 12, 1)), EConvertError);
}

TEST(Now, FollowsTheFixedClockAndReturnsToTheRealOne)
{
    const TDateTime At = EncodeDate(2024, 3, 5) + EncodeTime(13, 14, 15, 16);
    {
        FixedNow Fixed(At);
        EXPECT_EQ(Now(), At);
        EXPECT_EQ(Date(), EncodeDate(2024, 3, 5));
        EXPECT_NEAR(Time(), EncodeTime(13, 14, 15, 16), 1e-9); // the day number costs some bits
    }
    const TDateTime Real = Now();
    EXPECT_NE(Real, At);
    EXPECT_GE(decodeDate(Real).year, 2024);
    EXPECT_LE(Date(), Real);
    EXPECT_LT(Real, Date() + 1.001);
}

} // namespace
