//===- ModelFixture.h - A laser model with its own data regions, for the model tests -*- C++ -*-===//
#pragma once

#include "laserserver/LaserModel.h"

#include <algorithm>
#include <memory>
#include <vector>
#include <gtest/gtest.h>

// Assertions read the multi-byte fields of the packed status with a unary plus ("+s.samples"):
// the macros bind references, which a misaligned packed field cannot give.

/// Builds a model on demand from Settings (warm-up and charging off, a fixed seed), with data
/// regions of its own.
class ModelFixture : public ::testing::Test {
protected:
    ModelFixture()
    {
        Settings.Laser.WarmupSeconds = 0;
        Settings.Laser.LaserOnSeconds = 0;
        Settings.Laser.Seed = 7;
        Settings.PulseNoticePeriod = 100;
    }

    LaserModel& Model()
    {
        if (!model_)
            model_ = std::make_unique<LaserModel>(Settings, RunRegions { Energy, Abscissa, Histogram }, ClockBase);
        return *model_;
    }

    LaserStatusCopy Status() { return Model().Status(); }
    bool StateFlag(uint8_t Mask) { return (Status().stateFlags & Mask) != 0; }
    void Execute(uint16_t Code, uint32_t Argument = 0) { Model().Execute(Code, Argument); }
    std::vector<LaserNotice> Notices() { return Model().TakeNotices(); }

    /// Lets time pass in steps of a server tick.
    void Advance(uint32_t Milliseconds, uint32_t Step = 20)
    {
        for (uint32_t done = 0; done < Milliseconds; done += Step)
            Model().Advance(std::min(Step, Milliseconds - done));
    }

    static bool Contains(const std::vector<LaserNotice>& Notices, uint8_t Event)
    {
        return std::any_of(Notices.begin(), Notices.end(), [&](const LaserNotice& N) { return N.Event == Event; });
    }

    /// Online with the high voltage on, notices taken.
    void SwitchOn()
    {
        Execute(cmd_laseron);
        Advance(20);
        ASSERT_TRUE(StateFlag(sf_highvoltage));
        Notices();
    }

    SimulatorSettings Settings;
    double ClockBase = 45000.5;
    std::vector<float> Energy = std::vector<float>(1000);
    std::vector<double> Abscissa = std::vector<double>(1000);
    std::vector<int32_t> Histogram = std::vector<int32_t>(HistogramBins);

private:
    std::unique_ptr<LaserModel> model_;
};
