//===- run_model_test.cpp - Where a run stands and what it measured ---===//
#include "energystats/RunResults.h"
#include "energystats/RunState.h"

#include <gtest/gtest.h>

TEST(RunStateTest, ARunEndStopsARunningRunOnceAndLeavesItUnsaved)
{
    RunState run;
    ASSERT_TRUE(run.BeginStart());
    run.LaserStarting();
    run.RunStarted();
    EXPECT_FALSE(run.EndStart(true));
    EXPECT_FALSE(run.CheckStopping());
    run.RunEnded();
    EXPECT_TRUE(run.CheckStopping());
    EXPECT_FALSE(run.Running());
    EXPECT_TRUE(run.Unsaved());
    EXPECT_TRUE(run.CloseNeedsConfirmation());
    // A second end finds no run to stop.
    run.RunEnded();
    EXPECT_FALSE(run.CheckStopping());
    run.Saved();
    EXPECT_FALSE(run.CloseNeedsConfirmation());
}

TEST(RunStateTest, AStartIsNotEnteredTwiceAndAnEndDuringItIsApplied)
{
    RunState run;
    ASSERT_TRUE(run.BeginStart());
    EXPECT_FALSE(run.BeginStart());
    run.RunEnded();
    run.RunStarted();
    EXPECT_TRUE(run.EndStart(true));
    EXPECT_TRUE(run.CheckStopping());
    EXPECT_FALSE(run.Running());
}

TEST(RunStateTest, ClosingSendsLaserOffOnceAndIsHeldWhileStartWaits)
{
    RunState run;
    ASSERT_TRUE(run.BeginStart());
    run.LaserStarting();
    EXPECT_TRUE(run.Close());
    EXPECT_TRUE(run.HoldCloseDuringStart());
    EXPECT_FALSE(run.Close());
    run.StartFailed();
    EXPECT_FALSE(run.EndStart(false));
    EXPECT_TRUE(run.TakeHeldClose());
    EXPECT_FALSE(run.TakeHeldClose());
    EXPECT_FALSE(run.HoldCloseDuringStart());
    EXPECT_TRUE(run.Closing());
}

TEST(RunResultsTest, NewSamplesJoinTheLastPlottedAndAnIntervalGoingBackRestarts)
{
    RunResults r;
    EXPECT_TRUE(r.TakeNewSamples(1).Empty());
    const auto first = r.TakeNewSamples(EnergyCapacity);
    EXPECT_EQ(first.First, 0);
    EXPECT_EQ(first.End, EnergyCapacity);
    EXPECT_EQ(r.LastPlotted(), EnergyCapacity - 1);
    EXPECT_TRUE(r.TakeNewSamples(EnergyCapacity).Empty());
    EXPECT_FALSE(r.IntervalRestarted(3));
    EXPECT_TRUE(r.IntervalRestarted(2));
    r.EnergyGraphCleared();
    EXPECT_EQ(r.TakeNewSamples(3).First, 0);
}

TEST(RunResultsTest, TheRunEndTakesTheFiguresAndNamesTheReportAfterTheLastPaint)
{
    RunResults r;
    r.Painted("2026_1_2_3_4_5");
    LaserStatusCopy s {};
    s.serialNumber = 4711;
    s.deviation = 2.5f;
    s.meanEnergy = 84.5f;
    s.selected = 6000;
    std::array<int32_t, HistogramBins> bins {};
    bins[7] = 9;
    r.TakeRunEnd(s, bins.data());
    EXPECT_EQ(r.ReportBaseName(), "Energy_4711_2026_1_2_3_4_5");
    EXPECT_EQ(r.Histogram()[7], 9);
    EXPECT_EQ(r.Deviation(), 2.5);
    EXPECT_EQ(r.MeanEnergy(), 84.5);
    EXPECT_EQ(r.SelectedPulses(), 6000);
    r.TakeRunEnd(s, nullptr);
    EXPECT_EQ(r.Histogram()[7], 0);
    r.ClearStatistics();
    EXPECT_EQ(r.ReportBaseName(), "");
    EXPECT_EQ(r.Deviation(), 0);
}
