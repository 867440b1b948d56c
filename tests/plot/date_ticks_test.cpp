//===- date_ticks_test.cpp - Time ticks: first and next tick, automatic ranges, label formats ===//
#include "tests/plot/PlotFixture.h"

#include "plot/AxisSteps.h"
#include "plot/TAxis.h"
#include "platform/rtl/DateUtils.h"

using namespace plottest;

namespace {

double At(uint16_t Y, uint16_t M, uint16_t D, uint16_t H = 0, uint16_t N = 0, uint16_t S = 0, uint16_t MS = 0)
{
    return EncodeDate(Y, M, D) + EncodeTime(H, N, S, MS);
}

// Equal to the millisecond.
::testing::AssertionResult SameMoment(double Got, double Want)
{
    if (std::abs(Got - Want) * 86400000 < 0.5)
        return ::testing::AssertionSuccess();
    uint16_t Y, M, D, H, N, S, MS;
    DecodeDateTime(Got, Y, M, D, H, N, S, MS);
    return ::testing::AssertionFailure() << "got " << Y << "-" << M << "-" << D << " " << H << ":" << N << ":" << S;
}

} // namespace

// Wednesday 16 July 2003, 10:17:45.250, to Friday 18 July 2003, 14:42:10.
TEST_F(PlotTest, EachTickTypeHasItsRangeAndTicks)
{
    struct Row {
        Dateticks Type;
        double First, Next, RangeMin, RangeMax;
    } Rows[] = {
        // The first second tick is the next whole second, never one before the axis starts.
        { dt_second, At(2003, 7, 16, 10, 17, 46), At(2003, 7, 16, 10, 17, 47), At(2003, 7, 16, 10, 17, 45),
          At(2003, 7, 18, 14, 42, 11) },
        { dt_30second, At(2003, 7, 16, 10, 18), At(2003, 7, 16, 10, 18, 30), At(2003, 7, 16, 10, 17, 30),
          At(2003, 7, 18, 14, 42, 30) },
        { dt_minute, At(2003, 7, 16, 10, 18), At(2003, 7, 16, 10, 19), At(2003, 7, 16, 10, 17),
          At(2003, 7, 18, 14, 43) },
        { dt_5minute, At(2003, 7, 16, 10, 20), At(2003, 7, 16, 10, 25), At(2003, 7, 16, 10, 15),
          At(2003, 7, 18, 14, 45) },
        { dt_halfhourly, At(2003, 7, 16, 10, 30), At(2003, 7, 16, 11), At(2003, 7, 16, 10), At(2003, 7, 18, 15) },
        { dt_hourly, At(2003, 7, 16, 11), At(2003, 7, 16, 12), At(2003, 7, 16, 10), At(2003, 7, 18, 15) },
        { dt_daily, At(2003, 7, 17), At(2003, 7, 18), At(2003, 7, 16), At(2003, 7, 19) },
        { dt_weekly, At(2003, 7, 20), At(2003, 7, 27), At(2003, 7, 13), At(2003, 7, 20) },
        { dt_monthly, At(2003, 8, 1), At(2003, 9, 1), At(2003, 7, 1), At(2003, 8, 1) },
        // The range starts on odd months, the ticks fall on even ones.
        { dt_2monthly, At(2003, 8, 1), At(2003, 10, 1), At(2003, 7, 1), At(2003, 9, 1) },
        // The range runs from January, April, July, October; ticks on March, June ...
        { dt_quarterly, At(2003, 9, 1), At(2003, 12, 1), At(2003, 7, 1), At(2003, 10, 1) },
        { dt_annually, At(2004, 1, 1), At(2005, 1, 1), At(2003, 1, 1), At(2004, 1, 1) },
        { dt_decade, At(2010, 1, 1), At(2020, 1, 1), At(2000, 1, 1), At(2010, 1, 1) },
        { dt_century, At(2100, 1, 1), At(2200, 1, 1), At(2000, 1, 1), At(2100, 1, 1) },
        { dt_custom, At(2003, 7, 16, 10, 17, 45, 250), At(2003, 7, 16, 10, 17, 45, 250) + 0.5,
          At(2003, 7, 16, 10, 17, 45, 250), At(2003, 7, 18, 14, 42, 10) },
    };
    const double Lo = At(2003, 7, 16, 10, 17, 45, 250), Hi = At(2003, 7, 18, 14, 42, 10);
    TAxis& A = *Graph->GetXAxis();
    A.SetShowAsTime(true);
    for (const Row& R : Rows) {
        const int Type = static_cast<int>(R.Type);
        A.SetDateTickType(R.Type);
        A.SetMin(Lo);
        A.SetMax(Hi);
        A.SetStepSize(0.5);
        TLogTicks Copy = A.GetLogTicks();
        bool Labelled = false;
        const double First = A.FirstTick(Copy);
        EXPECT_TRUE(SameMoment(First, R.First)) << "first tick, type " << Type;
        EXPECT_TRUE(SameMoment(A.NextTick(Copy, First, Labelled), R.Next)) << "next tick, type " << Type;
        A.DataMin = Lo;
        A.DataMax = Hi;
        A.DateAutoRange();
        EXPECT_TRUE(SameMoment(A.GetMin(), R.RangeMin)) << "range start, type " << Type;
        EXPECT_TRUE(SameMoment(A.GetMax(), R.RangeMax)) << "range end, type " << Type;
    }
    // An axis that starts on a whole second has its first tick there.
    A.SetDateTickType(dt_second);
    A.SetMin(At(2003, 7, 16, 10, 17, 45));
    A.SetMax(Hi);
    TLogTicks Copy = A.GetLogTicks();
    EXPECT_TRUE(SameMoment(A.FirstTick(Copy), At(2003, 7, 16, 10, 17, 45)));
}

TEST_F(PlotTest, TicksRollIntoTheNextDayAndYear)
{
    TAxis& A = *Graph->GetXAxis();
    A.SetShowAsTime(true);
    A.SetDateTickType(dt_5minute);
    A.SetMin(At(2003, 12, 31, 23, 58));
    TLogTicks Copy = A.GetLogTicks();
    EXPECT_TRUE(SameMoment(A.FirstTick(Copy), At(2004, 1, 1)));
    A.SetDateTickType(dt_quarterly);
    A.SetMin(At(2003, 12, 31, 23, 58));
    EXPECT_TRUE(SameMoment(A.FirstTick(Copy), At(2004, 3, 1)));
}

TEST_F(PlotTest, TheAutomaticFormatFollowsTheTickType)
{
    TAxis& A = *Graph->GetXAxis();
    A.SetDateTimeAutomode(true);
    A.SetDateTickType(dt_hourly);
    EXPECT_EQ(A.GetDateTimeFormat(), "h\"h\"");
    A.SetDateTickType(dt_daily);
    EXPECT_EQ(A.GetDateTimeFormat(), "dd.mmm");
    // A format set while the automatic mode is on gives way to the tick type's at once.
    A.SetDateTimeFormat("yyyy");
    EXPECT_EQ(A.GetDateTimeFormat(), "dd.mmm");
    // A number that is no tick type (from a stored graph) leaves the format and ticks at 1.
    A.SetDateTickType(static_cast<Dateticks>(15));
    EXPECT_EQ(A.GetDateTimeFormat(), "dd.mmm");
    EXPECT_DOUBLE_EQ(GetDateStep(A.GetDateTickType(), 5, 0, 1), 1);
    TLogTicks Copy = A.GetLogTicks();
    A.SetShowAsTime(true);
    EXPECT_DOUBLE_EQ(A.FirstTick(Copy), 1);
}
