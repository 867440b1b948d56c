//===- laser_firing_test.cpp - Repetition, burst, watch counter and the energy they give ---===//
#include "tests/laserserver/ModelFixture.h"

#include <cmath>

namespace {

using LaserFiring = ModelFixture;

TEST_F(LaserFiring, FiringNeedsTheHighVoltage)
{
    Execute(cmd_repetition);
    EXPECT_FALSE(StateFlag(sf_firing));
    EXPECT_TRUE(Contains(Notices(), ev_beep));
}

TEST_F(LaserFiring, RepetitionFiresAtTheSetRateUntilTriggerOff)
{
    SwitchOn();
    Execute(cmd_reprate, 100);
    Execute(cmd_repetition);
    EXPECT_TRUE(StateFlag(sf_firing));
    EXPECT_NE(Status().modeFlags & mf_repetition, 0);
    Advance(1000);
    EXPECT_EQ(+Status().pulseCounter, 100);
    Execute(cmd_triggeroff);
    EXPECT_FALSE(StateFlag(sf_firing));
    EXPECT_EQ(Status().modeFlags & mf_repetition, 0);
    Advance(1000);
    EXPECT_EQ(+Status().pulseCounter, 100);
    EXPECT_TRUE(StateFlag(sf_highvoltage)) << "trigger off leaves the high voltage on";
}

TEST_F(LaserFiring, BurstStopsAfterItsQuantityAndCountsTheWatchCounter)
{
    Settings.Laser.PulseCounter = 1000;
    SwitchOn();
    Execute(cmd_quantity, 25);
    Execute(cmd_reprate, 200);
    Execute(cmd_burst);
    EXPECT_NE(Status().modeFlags & mf_burst, 0);
    Advance(2000);
    LaserStatusCopy s = Status();
    EXPECT_EQ(+s.pulseCounter, 1025);
    EXPECT_EQ(+s.watchCounter, 25);
    EXPECT_FALSE(StateFlag(sf_firing));
    EXPECT_EQ(s.modeFlags & mf_burst, 0);
    EXPECT_TRUE(Contains(Notices(), ev_device));
}

TEST_F(LaserFiring, BurstOfNothingIsRefused)
{
    SwitchOn();
    Execute(cmd_quantity, 0);
    Execute(cmd_burst);
    EXPECT_FALSE(StateFlag(sf_firing));
    EXPECT_TRUE(Contains(Notices(), ev_beep));
}

TEST_F(LaserFiring, WatchCounterModeCountsFromZeroWithoutEnd)
{
    SwitchOn();
    Execute(cmd_reprate, 100);
    Execute(cmd_repetition);
    Advance(300);
    Execute(cmd_watchcount);
    EXPECT_NE(Status().modeFlags & mf_watchcounter, 0);
    EXPECT_EQ(Status().modeFlags & mf_repetition, 0) << "one firing mode at a time";
    EXPECT_EQ(+Status().watchCounter, 0);
    Advance(500);
    EXPECT_EQ(+Status().watchCounter, 50);
    EXPECT_TRUE(StateFlag(sf_firing));
}

TEST_F(LaserFiring, ExternalTriggerFiresAndTriggerOffEndsIt)
{
    SwitchOn();
    Execute(cmd_exttrigger);
    EXPECT_TRUE(StateFlag(sf_exttrigger));
    EXPECT_TRUE(StateFlag(sf_firing));
    Execute(cmd_triggeroff);
    EXPECT_FALSE(StateFlag(sf_exttrigger));
    EXPECT_FALSE(StateFlag(sf_firing));
}

TEST_F(LaserFiring, MeasuredEnergyLiesNearTheLevelOfTheHighVoltage)
{
    SwitchOn();
    Execute(cmd_hvset, 50);
    Execute(cmd_reprate, 100);
    Execute(cmd_repetition);
    double sum = 0;
    for (int i = 0; i < 200; ++i) {
        Advance(10, 10);
        sum += Status().energy;
    }
    EXPECT_NEAR(sum / 200, 90.0, 2.0);
}

TEST_F(LaserFiring, ControlLoopBringsTheEnergyToTheSetPoint)
{
    SwitchOn();
    Execute(cmd_energyset, std::bit_cast<uint32_t>(120.0f));
    Execute(cmd_controlon);
    Execute(cmd_reprate, 200);
    Execute(cmd_repetition);
    Advance(5000);
    EXPECT_NEAR(Status().hvPercent, 67, 3); // 120 of 90 per 50 %
}

TEST_F(LaserFiring, GasIsUsedUpUntilThePressureIsTooLowAndTheLaserStops)
{
    Settings.Laser.Pressure = 1510;
    Settings.Laser.GasLossPerPulse = 1;
    SwitchOn();
    Execute(cmd_reprate, 100);
    Execute(cmd_repetition);
    Advance(300);
    EXPECT_NE(Status().errorFlags2 & 0x10, 0);
    EXPECT_FALSE(StateFlag(sf_highvoltage));
    EXPECT_FALSE(StateFlag(sf_firing));
    EXPECT_LT(+Status().pulseCounter, 20);
}

TEST_F(LaserFiring, FiringWarmsTheGasWhichCoolsAfterwards)
{
    SwitchOn();
    Execute(cmd_hvset, 100);
    Execute(cmd_reprate, 500);
    Execute(cmd_repetition);
    Advance(60000, 100);
    float warm = Status().gasTemperature;
    EXPECT_GT(warm, Settings.Laser.AmbientTemperature + 5);
    Execute(cmd_triggeroff);
    Advance(60000, 100);
    EXPECT_LT(+Status().gasTemperature, warm);
}

} // namespace
