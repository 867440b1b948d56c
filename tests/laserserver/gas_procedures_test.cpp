//===- gas_procedures_test.cpp - Gas-mode steps advance with time and sub-commands ---===//
#include "laserserver/GasProcedures.h"
#include "tests/laserserver/ModelFixture.h"

#include <vector>

namespace {

/// Drives GasProcedures alone and records every step it shows.
class GasSteps : public ::testing::Test {
protected:
    GasSteps()
    {
        Laser.GasPhaseSeconds = 10;
        Laser.OpticChangeSeconds = 20;
        Laser.OpticOpenSeconds = 30;
        Laser.LeakRate = 2;
    }

    /// Runs Seconds in one-second steps; answers the steps seen, each change once.
    std::vector<int> Run(double Seconds)
    {
        std::vector<int> seen;
        for (double t = 0; t < Seconds; t += 1) {
            Gas.Advance(1, Pressure);
            if (seen.empty() || seen.back() != Gas.Step())
                seen.push_back(Gas.Step());
        }
        return seen;
    }

    LaserSettings Laser;
    GasProcedures Gas { Laser };
    float Pressure = 2800;
};

TEST_F(GasSteps, NewFillEvacuatesFillsPremixAndLeavesGasMode)
{
    ASSERT_TRUE(Gas.Start(GasProcedure::NewFill));
    EXPECT_EQ(Gas.Step(), gasstep::Initialize);
    Gas.Advance(2, Pressure);
    EXPECT_EQ(Gas.GasState(), gasstep::NewFill | gv_laserhead | gv_vacuum);
    Gas.Advance(5, Pressure);
    EXPECT_NEAR(Pressure, (2800 + 40) / 2.0, 1) << "half way down";
    Gas.Advance(5, Pressure);
    EXPECT_EQ(Gas.GasState(), gasstep::NewFill | gv_laserhead | gv_premix);
    EXPECT_NEAR(Pressure, 40, 1e-3);
    Gas.Advance(10, Pressure);
    EXPECT_FALSE(Gas.Active());
    EXPECT_EQ(Gas.GasState(), 0);
    EXPECT_NEAR(Pressure, 2800, 1e-3);
}

TEST_F(GasSteps, ExternFlushingWaitsAtItsLeakTestAndThenForTheOperator)
{
    ASSERT_TRUE(Gas.Start(GasProcedure::ExternFlushing));
    EXPECT_EQ(Run(100), (std::vector<int> { 8, 4, 5 }));
    EXPECT_EQ(Run(100), (std::vector<int> { 5 })) << "step 5 waits for sub-command 5";
    ASSERT_TRUE(Gas.Continue());
    EXPECT_EQ(Run(100), (std::vector<int> { 6, 7 }));
    EXPECT_FALSE(Gas.Continue()) << "step 7 waits for a new fill or quit, not for sub-command 5";
    EXPECT_TRUE(Gas.CanStart(GasProcedure::NewFill));
    ASSERT_TRUE(Gas.Start(GasProcedure::NewFill));
    Run(100);
    EXPECT_FALSE(Gas.Active());
}

TEST_F(GasSteps, InternFlushingLeadsThroughTheOpticExchangeAndItsLeakTest)
{
    ASSERT_TRUE(Gas.Start(GasProcedure::InternFlushing));
    EXPECT_EQ(Run(41), (std::vector<int> { 8, 9 }));
    EXPECT_EQ(Run(20), (std::vector<int> { 10 })) << "please change optics or quit";
    EXPECT_FALSE(Gas.Continue()) << "no leak test before the optic was open";
    EXPECT_EQ(Run(30), (std::vector<int> { 11 })) << "optic open";
    EXPECT_EQ(Run(100), (std::vector<int> { 10 })) << "waiting for start leaktest";
    EXPECT_NEAR(Pressure, 1000, 1e-3) << "the laser head holds inert gas while the optic is out";

    ASSERT_TRUE(Gas.Continue());
    EXPECT_EQ(Run(10), (std::vector<int> { 8, 12 })) << "evacuate, then watch";
    EXPECT_NEAR(Pressure, 40, 1e-3);
    EXPECT_EQ(Run(50), (std::vector<int> { 12 }));
    EXPECT_NEAR(Pressure, 40 + 2 * 50, 1e-2) << "the leak rate fills the evacuated head";

    ASSERT_TRUE(Gas.Continue());
    EXPECT_EQ(Gas.Step(), gasstep::ChangeOptics);
    EXPECT_TRUE(Gas.Continue()) << "the leak test may be repeated";
    Gas.Quit();
    EXPECT_FALSE(Gas.Active());
}

TEST_F(GasSteps, FillInertHasItsOwnStepFromVersion186)
{
    struct Row {
        uint8_t Version;
        int Step;
    };
    for (Row row : { Row { 186, gasstep::FillInert }, Row { 185, gasstep::TestFillInert } }) {
        Laser.DeviceVersion = row.Version;
        GasProcedures gas(Laser);
        float pressure = 2800;
        gas.Start(GasProcedure::FillInert);
        gas.Advance(3, pressure);
        EXPECT_EQ(gas.Step(), row.Step) << "version " << int(row.Version);
        gas.Advance(100, pressure);
        EXPECT_EQ(gas.Step(), gasstep::Manual) << "then manual gas mode until quit";
        EXPECT_NEAR(pressure, 1000, 1e-3);
    }
}

TEST_F(GasSteps, ABusyProcedureRefusesAnotherOne)
{
    ASSERT_TRUE(Gas.Start(GasProcedure::ExternFlushing));
    Gas.Advance(5, Pressure);
    EXPECT_FALSE(Gas.Start(GasProcedure::InternFlushing));
    EXPECT_FALSE(Gas.Start(GasProcedure::NewFill));
    EXPECT_EQ(Gas.Step(), gasstep::ExternFlushing1);
}

TEST_F(GasSteps, OneLongStepRunsThroughSeveralPhases)
{
    Gas.Start(GasProcedure::NewFill);
    EXPECT_TRUE(Gas.Advance(1000, Pressure));
    EXPECT_FALSE(Gas.Active());
    EXPECT_NEAR(Pressure, 2800, 1e-3);
}

TEST_F(GasSteps, NitrogenFlushingRefillsAndLeavesGasMode)
{
    Pressure = 1200;
    Gas.Start(GasProcedure::NitrogenFlushing);
    EXPECT_EQ(Run(21), (std::vector<int> { 8, 9 }));
    Run(1);
    EXPECT_FALSE(Gas.Active());
    EXPECT_NEAR(Pressure, 2800, 1e-3);
}

// ---- Through the laser model -----------------------------------------------------------------

using GasCommands = ModelFixture;

TEST_F(GasCommands, GasModeArgumentMustCarryTwoInItsLowByte)
{
    Execute(cmd_gasmode, 0x0301);
    EXPECT_FALSE(StateFlag(sf_gasmode));
    EXPECT_TRUE(Contains(Notices(), ev_beep));
    Execute(cmd_gasmode, GasModeArgument(gas_externflushing) | 0x10000);
    EXPECT_FALSE(StateFlag(sf_gasmode));
}

TEST_F(GasCommands, StartingAProcedureSwitchesTheHighVoltageOffAndTakesReadiness)
{
    SwitchOn();
    Execute(cmd_repetition);
    Execute(cmd_gasmode, GasModeArgument(gas_externflushing));
    EXPECT_TRUE(StateFlag(sf_gasmode));
    EXPECT_FALSE(StateFlag(sf_highvoltage));
    EXPECT_FALSE(StateFlag(sf_firing));
    EXPECT_FALSE(StateFlag(sf_ready));
    Execute(cmd_laseron);
    EXPECT_TRUE(Contains(Notices(), ev_beep));
}

TEST_F(GasCommands, ExternFlushingThenNewFillAsTheConsoleDrivesIt)
{
    Settings.Laser.TimeScale = 10;
    Execute(cmd_gasmode, GasModeArgument(gas_externflushing));
    Advance(5000);
    EXPECT_EQ(Status().gasState & 0x0F, gasstep::ExternLeakTest);
    EXPECT_TRUE(Contains(Notices(), ev_device));
    Execute(cmd_gasmode, GasModeArgument(gas_nextleakstep));
    Advance(5000);
    EXPECT_EQ(Status().gasState & 0x0F, gasstep::ExternFinished);
    EXPECT_NEAR(+Status().pressure, 40, 1e-3) << "held at vacuum";
    Execute(cmd_laseroff); // the console sends it before the new fill
    Execute(cmd_newfill);
    Advance(5000);
    EXPECT_FALSE(StateFlag(sf_gasmode));
    EXPECT_EQ(Status().gasState, 0);
    EXPECT_TRUE(StateFlag(sf_ready));
    EXPECT_NEAR(+Status().pressure, 2800, 1e-3);
}

TEST_F(GasCommands, QuitLeavesGasModeAndIsRefusedOutsideIt)
{
    Execute(cmd_gasmode, GasModeArgument(gas_quit));
    EXPECT_TRUE(Contains(Notices(), ev_beep));
    Execute(cmd_gasmode, GasModeArgument(gas_fillinert));
    EXPECT_TRUE(StateFlag(sf_gasmode));
    Execute(cmd_gasmode, GasModeArgument(gas_quit));
    EXPECT_FALSE(StateFlag(sf_gasmode));
    EXPECT_EQ(Status().gasState, 0);
}

TEST_F(GasCommands, FlushingVariantReplacesNitrogenWithoutTheOpticExchange)
{
    Settings.Laser.DeviceFlags = 0x30;
    Settings.Laser.DeviceVersion = 185;
    Settings.Laser.Pressure = 1000;
    Settings.Laser.TimeScale = 10;
    Advance(20);
    EXPECT_NE(Status().errorFlags2 & 0x10, 0) << "replace nitrogen";
    Notices();
    Execute(cmd_gasmode, GasModeArgument(gas_internflushing));
    EXPECT_EQ(Status().modeFlags2 & mf2_nitrogen, mf2_nitrogen) << "nitrogen replacing";
    EXPECT_FALSE(StateFlag(sf_gasmode)) << "the panel shows the nitrogen state, not a gas-mode step";
    EXPECT_FALSE(StateFlag(sf_ready));
    Advance(1000);
    const uint8_t halfway = Status().warmupProgress;
    EXPECT_GT(halfway, 0);
    EXPECT_LT(halfway, 100);
    Advance(2000);
    EXPECT_FALSE(StateFlag(sf_gasmode));
    EXPECT_EQ(Status().modeFlags2 & mf2_nitrogen, 0);
    EXPECT_EQ(Status().errorFlags2 & 0x10, 0);
    std::vector<uint8_t> progress;
    for (const LaserNotice& n : Notices())
        if (n.Event == ev_warmup)
            progress.push_back(n.Parameter);
    ASSERT_FALSE(progress.empty());
    EXPECT_TRUE(std::is_sorted(progress.begin(), progress.end()));
    EXPECT_EQ(progress.back(), 100);
}

TEST_F(GasCommands, NoGasHandlingNoProcedure)
{
    Settings.Laser.CapabilityFlags = 0x37;
    Execute(cmd_newfill);
    Execute(cmd_gasmode, GasModeArgument(gas_internflushing));
    EXPECT_FALSE(StateFlag(sf_gasmode));
}

} // namespace
