//===- energy_rules_test.cpp - The histogram window, labels and button rules ---===//
#include "energystats/EnergyRules.h"

#include <gtest/gtest.h>

#include <array>

namespace {

std::array<int32_t, HistogramBins> binsWith(std::initializer_list<int> Filled)
{
    std::array<int32_t, HistogramBins> bins {};
    for (int b : Filled)
        bins[size_t(b)] = 1;
    return bins;
}

} // namespace

TEST(HistogramWindow, FollowsTheCountsAndTheLimitLines)
{
    std::array<int32_t, HistogramBins> seventyTo120 {};
    for (int b = 70; b <= 120; ++b)
        seventyTo120[size_t(b)] = 5;
    const struct {
        const char* name;
        std::array<int32_t, HistogramBins> bins;
        int lo, hi, first, last;
    } rows[] = {
        { "counts inside the lines", seventyTo120, 50, 110, 50, 130 },
        { "all empty", binsWith({}), 50, 110, 0, 251 },
        { "only bin 253", binsWith({ 253 }), 50, 110, 50, 110 },
        { "only bin 255 is never looked at", binsWith({ 255 }), 50, 110, 0, 251 },
        { "counts near the bottom", binsWith({ 3, 250 }), 50, 110, 1, 254 },
        { "lines beyond the bins", binsWith({ 100 }), -5, 270, -5, 270 },
    };
    for (const auto& r : rows) {
        const HistogramWindow w = ChooseHistogramWindow(r.bins, r.lo, r.hi);
        EXPECT_EQ(w.first, r.first) << r.name;
        EXPECT_EQ(w.last, r.last) << r.name;
    }
}

TEST(HistogramWindow, PointsCoverOnlyTheHistogramAndNeverBinZero)
{
    auto bins = binsWith({ 1, 255 });
    const auto points = HistogramPoints(bins, { -5, 270 });
    ASSERT_EQ(points.size(), 255u);
    EXPECT_EQ(points.front().x, 1);
    EXPECT_EQ(points.front().y, 1);
    EXPECT_EQ(points.back().x, 255);
    EXPECT_EQ(points.back().y, 1);
}

TEST(Labels, TextsOfTheFormAndTheirLimits)
{
    EXPECT_EQ(DeviationText(2.5, 84.37), "dev = 2.5 %   mean = 84.37 \xB5J");
    EXPECT_EQ(PaintStamp(2026, 3, 9, 7, 5, 0), "2026_3_9_7_5_0");
    const std::pair<uint8_t, const char*> ports[] = {
        { 0, "COM0" }, { 1, "COM1" }, { 9, "COM9" }, { 10, "COM10" }, { 255, "COM255" }
    };
    for (auto [port, text] : ports)
        EXPECT_EQ(ComPortText(port), text);
    char full[10];
    std::fill(std::begin(full), std::end(full), 'K');
    EXPECT_EQ(StatusFieldText(full), "KKKKKKKKKK");
    LaserStatusCopy s {};
    s.samples = -4;
    EXPECT_EQ(UsableSamples(s), 0);
    s.samples = EnergyCapacity + 1;
    EXPECT_EQ(UsableSamples(s), EnergyCapacity);
}

TEST(Buttons, BusyAndRunningDecideWhatTheOperatorMayPress)
{
    LaserStatusCopy ready {};
    ready.stateFlags = sf_ready;
    const LaserStatusCopy notReady {};
    const struct {
        const char* name;
        LaserStatusCopy s;
        RunFlags flags;
        const char* caption;
        bool start, report, setup;
    } rows[] = {
        { "idle", ready, {}, "Start", true, false, true },
        { "data shown", ready, { false, false, true }, "Start", true, true, true },
        { "starting", ready, { true, false, false }, "Start", false, false, false },
        { "running with data", ready, { false, true, true }, "Stop", true, false, false },
        { "laser not ready", notReady, { false, false, true }, "Start", false, false, false },
    };
    for (const auto& r : rows) {
        const TessalyButtons b = ChooseTessalyButtons(r.s, r.flags);
        EXPECT_EQ(b.startCaption, r.caption) << r.name;
        EXPECT_EQ(b.start, r.start) << r.name;
        EXPECT_EQ(b.report, r.report) << r.name;
        EXPECT_EQ(b.setup, r.setup) << r.name;
    }
}

TEST(Blink, TheStateLabelAlternatesWithTheRunAndTheWarningFollowsTheFiring)
{
    LaserStatusCopy firing {};
    firing.stateFlags = sf_ready | sf_firing;
    LaserStatusCopy stopped {};
    stopped.stateFlags = sf_ready;
    const RunFlags run { false, true, false };
    EXPECT_EQ(ChooseBlink1(firing, run, false, true, " KELMOR").label, " KELMOR");
    EXPECT_EQ(ChooseBlink1(firing, run, false, false, " KELMOR").label, "Evaluation is running");
    EXPECT_EQ(ChooseBlink1(firing, { true, false, false }, false, false, " K").label, "starting laser");
    EXPECT_FALSE(ChooseBlink1(firing, run, false, false, " K").warning);
    EXPECT_TRUE(ChooseBlink1(stopped, run, false, false, " K").warning);
    EXPECT_FALSE(ChooseBlink1(stopped, {}, false, false, " K").warning);
    EXPECT_TRUE(WarningTextHidden(stopped, run, true));
    EXPECT_FALSE(WarningTextHidden(stopped, run, false));
}
