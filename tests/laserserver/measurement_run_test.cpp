//===- measurement_run_test.cpp - Pulse data and statistics of a measurement run ---===//
#include "laserserver/MeasurementRun.h"
#include "tests/laserserver/ModelFixture.h"

#include <cmath>
#include <numeric>

namespace {

class RunRecording : public ::testing::Test {
protected:
    std::vector<float> Energy = std::vector<float>(8);
    std::vector<double> Abscissa = std::vector<double>(8);
    std::vector<int32_t> Histogram = std::vector<int32_t>(HistogramBins);
    MeasurementRun Run { RunRegions { Energy, Abscissa, Histogram } };
};

TEST_F(RunRecording, StatisticsOfAKnownRun)
{
    Run.SetCount(4);
    Run.SetUp();
    const float pulses[] = { 90, 92, 88, 90 };
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(Run.AddPulse(pulses[i], 1000.0 + i), i == 3);
    EXPECT_TRUE(Run.Finished());
    EXPECT_FALSE(Run.Armed());
    EXPECT_EQ(Run.Selected(), 4);
    EXPECT_FLOAT_EQ(Run.Mean(), 90.0f);
    // sample deviation sqrt(8 / 3) = 1.633, relative to 90
    EXPECT_NEAR(Run.Deviation(), 100.0 * std::sqrt(8.0 / 3.0) / 90.0, 1e-4);
    EXPECT_EQ(Histogram[90], 2);
    EXPECT_EQ(Histogram[92], 1);
    EXPECT_EQ(Histogram[88], 1);
    EXPECT_EQ(std::accumulate(Histogram.begin(), Histogram.end(), 0), 4);
    EXPECT_EQ(Energy[2], 88.0f);
    EXPECT_EQ(Abscissa[3], 1003.0);
}

TEST_F(RunRecording, EnergiesBeyondTheBinsFallIntoTheOutermostOnes)
{
    Run.SetCount(3);
    Run.SetUp();
    Run.AddPulse(-4, 0);
    Run.AddPulse(300, 0);
    Run.AddPulse(254.6f, 0);
    EXPECT_EQ(Histogram[0], 1);
    EXPECT_EQ(Histogram[255], 2);
}

TEST_F(RunRecording, PulsesBeyondTheRegionsCountInTheStatisticsOnly)
{
    Run.SetCount(10);
    Run.SetUp();
    for (int i = 0; i < 10; ++i)
        Run.AddPulse(float(i), i);
    EXPECT_EQ(Run.Samples(), 8);
    EXPECT_EQ(Run.Current(), 10);
    EXPECT_EQ(Run.Selected(), 10);
    EXPECT_FLOAT_EQ(Run.Mean(), 4.5f);
    EXPECT_EQ(std::accumulate(Histogram.begin(), Histogram.end(), 0), 10);
}

TEST_F(RunRecording, SetUpClearsTheLastRun)
{
    Run.SetCount(2);
    Run.SetUp();
    Run.AddPulse(50, 0);
    Run.AddPulse(60, 0);
    Run.SetUp();
    EXPECT_TRUE(Run.Armed());
    EXPECT_EQ(Run.Current(), 0);
    EXPECT_EQ(Run.Samples(), 0);
    EXPECT_EQ(Run.Mean(), 0.0f);
    EXPECT_EQ(Histogram[50], 0);
    EXPECT_EQ(Run.Total(), 2) << "the count stays for the next run";
}

TEST_F(RunRecording, CountIsAtLeastOneAndUnarmedRunsTakeNothing)
{
    Run.SetCount(-5);
    EXPECT_EQ(Run.Total(), 1);
    EXPECT_FALSE(Run.AddPulse(10, 0));
    EXPECT_EQ(Run.Current(), 0);
    Run.SetUp();
    Run.Abort();
    EXPECT_FALSE(Run.AddPulse(10, 0));
}

TEST_F(RunRecording, SingleOrConstantPulsesHaveNoDeviation)
{
    Run.SetCount(1);
    Run.SetUp();
    Run.AddPulse(77, 0);
    EXPECT_EQ(Run.Deviation(), 0.0f);
    Run.SetCount(3);
    Run.SetUp();
    for (int i = 0; i < 3; ++i)
        Run.AddPulse(0, 0);
    EXPECT_EQ(Run.Deviation(), 0.0f) << "no division by a zero mean";
}

// ---- The run as the energy statistics program drives it --------------------------------------

class MeasurementRunThroughTheModel : public ModelFixture {
protected:
    /// The statistics program's set-up: setup 1, setup 2, shutter, count, rate, HV, repetition.
    void StartRun(uint32_t Count, uint32_t Rate)
    {
        SwitchOn();
        Execute(cmd_runsetup1);
        Execute(cmd_runsetup2);
        Execute(cmd_shutterclose);
        Execute(cmd_runcount, Count);
        Execute(cmd_reprate, Rate);
        Execute(cmd_hvset, 50);
        Execute(cmd_repetition);
    }
};

TEST_F(MeasurementRunThroughTheModel, PulsesAreWrittenBeforeEveryPulseNoticeAndTheRunEndsWithZ)
{
    StartRun(300, 500);
    ASSERT_TRUE(StateFlag(sf_firing));
    EXPECT_NE(Status().modeFlags & mf_energylocked, 0);
    int32_t lastSamples = 0;
    bool ended = false;
    for (int tick = 0; tick < 100 && !ended; ++tick) {
        Advance(20);
        for (const LaserNotice& n : Notices()) {
            if (n.Event == ev_pulsedata) {
                LaserStatusCopy s = Status();
                EXPECT_GT(+s.samples, lastSamples);
                lastSamples = s.samples;
                EXPECT_EQ(+s.intervalTotal, 300);
                EXPECT_EQ(+s.intervalCurrent, +s.samples);
                for (int i = 0; i < s.samples; ++i)
                    ASSERT_GT(Energy[i], 0.0f) << "sample " << i << " announced before it was written";
            }
            if (n.Event == ev_runend) {
                EXPECT_EQ(lastSamples, 300) << "the last pulses go out before the end";
                ended = true;
            }
        }
    }
    ASSERT_TRUE(ended);
    LaserStatusCopy s = Status();
    EXPECT_FALSE(StateFlag(sf_firing)) << "the run stops firing at its count";
    EXPECT_TRUE(StateFlag(sf_highvoltage));
    EXPECT_EQ(s.modeFlags & mf_energylocked, 0);
    EXPECT_EQ(+s.selected, 300);
    double sum = std::accumulate(Energy.begin(), Energy.begin() + 300, 0.0);
    double mean = sum / 300;
    double squares = 0;
    for (int i = 0; i < 300; ++i)
        squares += (Energy[i] - mean) * (Energy[i] - mean);
    EXPECT_NEAR(+s.meanEnergy, mean, 1e-3);
    EXPECT_NEAR(+s.deviation, 100.0 * std::sqrt(squares / 299) / mean, 1e-3);
    EXPECT_NEAR(+s.meanEnergy, 90.0, 2.0);
    EXPECT_NEAR(+s.deviation, 3.0, 0.6);
    std::vector<int32_t> bins(HistogramBins);
    for (int i = 0; i < 300; ++i)
        ++bins[size_t(std::lround(Energy[i]))];
    EXPECT_EQ(bins, Histogram);
}

TEST_F(MeasurementRunThroughTheModel, PulseTimesAreDayNumbersFromTheClockBase)
{
    StartRun(10, 100);
    Advance(200);
    ASSERT_EQ(+Status().samples, 10);
    // The first pulse comes one period after the start, the others one period apart.
    for (int i = 0; i < 10; ++i)
        EXPECT_NEAR((Abscissa[i] - ClockBase) * 86400000.0, 20 + 10.0 * (i + 1), 1e-3) << "pulse " << i;
}

TEST_F(MeasurementRunThroughTheModel, TriggerOffPausesTheRunAndLaserOffDropsIt)
{
    StartRun(100, 100);
    Advance(200);
    Execute(cmd_triggeroff);
    int32_t paused = Status().intervalCurrent;
    EXPECT_GT(paused, 0);
    Execute(cmd_repetition);
    Advance(100);
    EXPECT_GT(+Status().intervalCurrent, paused) << "firing again continues the run";
    Execute(cmd_laseroff);
    Execute(cmd_laseron);
    Advance(20);
    Execute(cmd_repetition);
    Advance(2000);
    EXPECT_FALSE(Contains(Notices(), ev_runend));
    EXPECT_LT(+Status().intervalCurrent, 100);
}

TEST_F(MeasurementRunThroughTheModel, EnergySetPointIsLockedDuringARun)
{
    StartRun(1000, 100);
    Notices();
    Execute(cmd_energyset, std::bit_cast<uint32_t>(50.0f));
    EXPECT_FLOAT_EQ(+Status().energySet, 90.0f);
    EXPECT_TRUE(Contains(Notices(), ev_beep));
}

} // namespace
