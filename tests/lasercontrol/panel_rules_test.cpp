//===- panel_rules_test.cpp - The panel's decisions for a status, without controls ---===//
#include "lasercontrol/PanelRules.h"

#include "tests/lasercontrol/HeliantFixture.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

TEST(StatusTexts, FieldsAreReadToTheirTerminatorButNeverPastTheirEnd)
{
    LaserStatusCopy s {};
    SetField(s.laserType, "KELMOR");
    EXPECT_EQ(FieldText(s.laserType), "KELMOR");
    // A type that fills its ten bytes has no terminator; the next field must not run into it.
    SetField(s.laserType, "ABCDEFGHIJ");
    SetField(s.laserType2, "XY");
    EXPECT_EQ(FieldText(s.laserType), "ABCDEFGHIJ");
    EXPECT_EQ(DeviceText(s), " ABCDEFGHIJ XY");
    SetField(s.laserType2, "123456789");
    EXPECT_EQ(FieldText(s.laserType2), "123456789");
}

TEST(StatusTexts, DeviceTextJoinsBothTypesWithBlanks)
{
    LaserStatusCopy s {};
    EXPECT_EQ(DeviceText(s), "  ");
    SetField(s.laserType, "KELMOR");
    SetField(s.laserType2, "248");
    EXPECT_EQ(DeviceText(s), " KELMOR 248");
}

TEST(StatusTexts, PortLabelNamesEveryPortWithItsNumber)
{
    EXPECT_EQ(ComPortText(0), "COM?");
    EXPECT_EQ(ComPortText(1), "COM1");
    EXPECT_EQ(ComPortText(7), "COM7");
    EXPECT_EQ(ComPortText(9), "COM9");
    // Beyond 9 the port's digit would be a punctuation character.
    EXPECT_EQ(ComPortText(10), "COM10");
    EXPECT_EQ(ComPortText(12), "COM12");
    EXPECT_EQ(ComPortText(255), "COM255");
}

TEST(StatusTexts, HighVoltageIsFourCharactersWideAndAPercentSign)
{
    EXPECT_EQ(HvPercentText(0), "   0 %");
    EXPECT_EQ(HvPercentText(50), "  50 %");
    EXPECT_EQ(HvPercentText(100), " 100 %");
    EXPECT_EQ(HvPercentText(255), " 255 %");
}

TEST(StatusTexts, EnergyUnitFollowsUnitBitFive)
{
    LaserStatusCopy s {};
    EXPECT_EQ(EnergyUnitCaption(s), "m&J");
    s.unitFlags = 0x20;
    EXPECT_EQ(EnergyUnitCaption(s), "\xB5&J");
    s.unitFlags = 0xDF;
    EXPECT_EQ(EnergyUnitCaption(s), "m&J");
}

TEST(ServerFloats, CaptionsRoundHalvesToEvenAndSurviveAnyValue)
{
    EXPECT_EQ(RoundedCaption(2800.4f), "2800");
    EXPECT_EQ(RoundedCaption(2800.5f), "2800");
    EXPECT_EQ(RoundedCaption(2801.5f), "2802");
    EXPECT_EQ(RoundedCaption(-3.5f), "-4");
    EXPECT_EQ(RoundedCaption(std::numeric_limits<float>::quiet_NaN()), "");
    EXPECT_EQ(RoundedCaption(std::numeric_limits<float>::infinity()), "");
    EXPECT_EQ(RoundedCaption(-std::numeric_limits<float>::infinity()), "");
    EXPECT_EQ(RoundedCaption(3.0e38f), "2147483647");
    EXPECT_EQ(RoundedCaption(-3.0e38f), "-2147483648");
}

TEST(ServerFloats, GaugeValuesStayInTheirRange)
{
    EXPECT_EQ(RoundedWithin(24.4f, 0, 60), 24);
    EXPECT_EQ(RoundedWithin(24.6f, 0, 60), 25);
    EXPECT_EQ(RoundedWithin(-5.0f, 0, 60), 0);
    EXPECT_EQ(RoundedWithin(1e30f, 0, 60), 60);
    EXPECT_EQ(RoundedWithin(std::numeric_limits<float>::quiet_NaN(), 10, 60), 10);
    EXPECT_EQ(RoundedWithin(-std::numeric_limits<float>::infinity(), 10, 60), 10);
}

TEST(Bars, PressureTooLowIsRedBeforeTooHighIsYellow)
{
    LaserStatusCopy s {};
    s.pressureBar = 3;
    EXPECT_EQ(PressureBarColor(s), clNavy);
    s.pressureBar = 5;
    EXPECT_EQ(PressureBarColor(s), clYellow);
    s.errorFlags2 = 0x10;
    EXPECT_EQ(PressureBarColor(s), clRed);
    s.pressureBar = 0;
    EXPECT_EQ(PressureBarColor(s), clRed);
}

TEST(Bars, TemperatureIsRedAtOvertemperatureAndYellowWhileTheReservoirIsHot)
{
    LaserStatusCopy s {};
    s.deviceVersion = 179;
    EXPECT_EQ(TemperatureBarColor(s), clNavy);
    s.errorFlags2 = 0x40;
    EXPECT_EQ(TemperatureBarColor(s), clYellow);
    s.errorFlags3 = 0x01;
    EXPECT_EQ(TemperatureBarColor(s), clRed);
    // Controllers up to 178 use the bit for something else.
    s.errorFlags3 = 0;
    s.deviceVersion = 178;
    EXPECT_EQ(TemperatureBarColor(s), clNavy);
    EXPECT_FALSE(GasReservoirHot(s));
}

// --- The gas-mode label

LaserStatusCopy inGasMode(int Step, uint8_t Version = 186)
{
    LaserStatusCopy s {};
    s.deviceVersion = Version;
    s.stateFlags = sf_gasmode;
    s.gasState = uint8_t(Step);
    return s;
}

TEST(GasLabel, OutsideGasModeOnlyTheTwoHeadPanelShowsTheNitrogenState)
{
    LaserStatusCopy s {};
    s.deviceVersion = 186;
    const GasLabelChoice plain = ChooseGasLabel(s, false, false, 11);
    EXPECT_FALSE(plain.FollowsStep);
    EXPECT_EQ(plain.Label.Text, "");
    EXPECT_FALSE(plain.Label.Blinks);
    EXPECT_EQ(plain.Label.Color, clBtnFace);
    EXPECT_EQ(plain.LastStep, 11) << "the last step outlives a notice outside gas mode";

    struct Row {
        uint8_t ModeFlags2, Capabilities, ErrorFlags2;
        bool Flushing;
        const char* Text;
        TColor TextColor, Color;
        bool Blinks;
    };
    const Row rows[] = {
        { 0x00, 0x00, 0x00, false, " semi-sealed-mode ", clYellow, clGray, false },
        { 0x00, 0x40, 0x00, false, "flow-mode", clGreen, clBtnFace, false },
        { 0x02, 0x00, 0x00, false, " replace nitrogen ", clYellow, clGray, true },
        { 0x02, 0x40, 0x00, false, "replacing nitrogen", clGreen, clBtnFace, false },
        { 0x00, 0x40, 0x10, true, " replace nitrogen ", clYellow, clGray, true },
        // Pressure too low means nothing to the label of a panel that is not the flushing variant.
        { 0x00, 0x40, 0x10, false, "flow-mode", clGreen, clBtnFace, false },
    };
    for (const Row& r : rows) {
        s.modeFlags2 = r.ModeFlags2;
        s.capabilityFlags = r.Capabilities;
        s.errorFlags2 = r.ErrorFlags2;
        const GasLabelChoice c = ChooseGasLabel(s, r.Flushing, true, 0);
        EXPECT_FALSE(c.FollowsStep);
        EXPECT_EQ(c.Label.Text, r.Text);
        EXPECT_EQ(c.Label.TextColor, r.TextColor) << r.Text;
        EXPECT_EQ(c.Label.Color, r.Color) << r.Text;
        EXPECT_EQ(c.Label.Blinks, r.Blinks) << r.Text;
    }
}

TEST(GasLabel, NitrogenAlarmOfTheFlushingVariantOverridesGasMode)
{
    LaserStatusCopy s = inGasMode(3);
    s.errorFlags2 = 0x10;
    const GasLabelChoice c = ChooseGasLabel(s, true, true, 0);
    EXPECT_FALSE(c.FollowsStep);
    EXPECT_EQ(c.Label.Text, " replace nitrogen ");
    EXPECT_TRUE(ChooseGasLabel(s, false, true, 0).FollowsStep);
}

TEST(GasLabel, ControllersBefore179ShowNoSteps)
{
    const GasLabelChoice c = ChooseGasLabel(inGasMode(3, 178), false, false, 0);
    EXPECT_FALSE(c.FollowsStep);
    EXPECT_EQ(c.Label.Text, "");
    EXPECT_TRUE(ChooseGasLabel(inGasMode(3, 179), false, false, 0).FollowsStep);
}

TEST(GasLabel, StepTwoNamesTheInertFillFromVersion186)
{
    EXPECT_EQ(ChooseGasLabel(inGasMode(2, 185), false, false, 0).Label.Text, "manual gasmode with laserkeys");
    EXPECT_EQ(ChooseGasLabel(inGasMode(2, 186), false, false, 0).Label.Text, "fill-inert");
}

TEST(GasLabel, StepTenDependsOnTheStepBefore)
{
    GasLabelChoice c = ChooseGasLabel(inGasMode(9), false, false, 0);
    EXPECT_EQ(c.LastStep, 9);
    c = ChooseGasLabel(inGasMode(10), false, false, c.LastStep);
    EXPECT_EQ(c.Label.Text, "please change optics or quit");
    EXPECT_TRUE(c.Label.Blinks);
    c = ChooseGasLabel(inGasMode(11), false, false, c.LastStep);
    EXPECT_EQ(c.LastStep, 11);
    c = ChooseGasLabel(inGasMode(10), false, false, c.LastStep);
    EXPECT_EQ(c.Label.Text, "waiting for start leaktest");
    EXPECT_FALSE(c.Label.Blinks);
    EXPECT_EQ(c.LastStep, 11);
    c = ChooseGasLabel(inGasMode(0), false, false, c.LastStep);
    EXPECT_EQ(c.LastStep, 0);
}

// --- Enable rules

TEST(EnableRules, AllButtonsEnablesTheOperationsButNotTheGasProceduresOfAnOfflineLaser)
{
    LaserStatusCopy s {};
    s.capabilityFlags = 0x80 | 0x08;
    s.deviceVersion = 186;
    const ButtonStates b = ChooseButtonStates(s, {});
    EXPECT_TRUE(b.lasoff && b.off && b.lason && b.repQuant && b.onl && b.offline && b.hvSteps && b.contr);
    EXPECT_TRUE(b.shutter && b.gmFlush && b.gmquitt && b.energySteps && b.gaugeHv && b.watchExttrig);
    // NEW FILL always needs gas handling and an online laser.
    EXPECT_FALSE(b.newfill);
    s.stateFlags = sf_online;
    EXPECT_TRUE(ChooseButtonStates(s, {}).newfill);
}

TEST(EnableRules, TheOverrideMessageActsAsAllButtons)
{
    LaserStatusCopy s {};
    s.deviceVersion = 186;
    EXPECT_FALSE(ChooseButtonStates(s, {}).lasoff);
    PanelModes modes;
    modes.ButtonOverride = true;
    EXPECT_TRUE(ChooseButtonStates(s, modes).lasoff);
    EXPECT_FALSE(ChooseButtonStates(s, modes).showWarmupGauge) << "the warm-up gauge follows capability bit 7 only";
}

TEST(EnableRules, FiringModesNeedHighVoltageAndNoFiring)
{
    LaserStatusCopy s {};
    s.deviceVersion = 186;
    s.stateFlags = sf_online | sf_ready;
    ButtonStates b = ChooseButtonStates(s, {});
    EXPECT_TRUE(b.lason);
    EXPECT_FALSE(b.repQuant);
    EXPECT_FALSE(b.lasoff);
    s.stateFlags |= sf_highvoltage;
    b = ChooseButtonStates(s, {});
    EXPECT_FALSE(b.lason);
    EXPECT_TRUE(b.repQuant && b.lasoff && b.watchExttrig);
    s.stateFlags |= sf_firing;
    b = ChooseButtonStates(s, {});
    EXPECT_FALSE(b.repQuant || b.watchExttrig);
    EXPECT_TRUE(b.off);
    EXPECT_TRUE(b.keepLcdBlink);
}

TEST(EnableRules, LaserOnWaitsForTheEndOfAGasProcedure)
{
    LaserStatusCopy s {};
    s.deviceVersion = 186;
    s.stateFlags = sf_online | sf_ready;
    s.gasState = 3;
    EXPECT_FALSE(ChooseButtonStates(s, {}).lason);
}

TEST(EnableRules, FlushingBecomesLeakTestAfterAnOpticExchange)
{
    LaserStatusCopy s = inGasMode(10);
    s.capabilityFlags = 0x08;
    PanelModes modes;
    modes.LastStep = 11;
    ButtonStates b = ChooseButtonStates(s, modes);
    EXPECT_TRUE(b.leakTestCaption);
    EXPECT_TRUE(b.gmFlush);
    modes.LastStep = 9;
    b = ChooseButtonStates(s, modes);
    EXPECT_FALSE(b.leakTestCaption);
    EXPECT_FALSE(b.gmFlush);
    EXPECT_TRUE(b.gmquitt);
}

TEST(EnableRules, TheFlushingVariantFlushesWheneverTheLaserRestsInStepZero)
{
    LaserStatusCopy s {};
    s.deviceVersion = 186;
    PanelModes modes;
    modes.FlushingVariant = true;
    EXPECT_TRUE(ChooseButtonStates(s, modes).gmFlush);
    s.stateFlags = sf_firing;
    EXPECT_FALSE(ChooseButtonStates(s, modes).gmFlush);
}

TEST(EnableRules, NewFillIsRefusedDuringGasModeExceptInItsPauses)
{
    LaserStatusCopy s = inGasMode(3);
    s.stateFlags |= sf_online;
    s.capabilityFlags = 0x08;
    EXPECT_FALSE(ChooseButtonStates(s, {}).newfill);
    s.gasState = 7;
    EXPECT_TRUE(ChooseButtonStates(s, {}).newfill);
    PanelModes afterOptic;
    afterOptic.LastStep = 11;
    s.gasState = 10;
    EXPECT_FALSE(ChooseButtonStates(s, afterOptic).newfill);
}

TEST(EnableRules, WarmupGaugeHintAndColours)
{
    LaserStatusCopy s {};
    s.stateFlags = sf_warmup;
    ButtonStates b = ChooseButtonStates(s, {});
    EXPECT_TRUE(b.showWarmupGauge);
    EXPECT_TRUE(b.warmLabelMaroon);
    EXPECT_EQ(b.warmupLook.Hint, "warm up time");
    s.stateFlags = 0;
    s.modeFlags2 = 0x02;
    b = ChooseButtonStates(s, {});
    EXPECT_TRUE(b.showWarmupGauge);
    EXPECT_EQ(b.warmupLook.Hint, "laseroperation stops at 100%");
    EXPECT_EQ(b.warmupLook.ForeColor, clWhite);
    EXPECT_EQ(b.warmupLook.BackColor, clMaroon);
    s.capabilityFlags = 0x40;
    EXPECT_EQ(ChooseButtonStates(s, {}).warmupLook.Hint, "replacing progress");
    s.errorFlags1 = 0x01;
    b = ChooseButtonStates(s, {});
    EXPECT_FALSE(b.showWarmupGauge);
    EXPECT_EQ(b.warmupLook.Hint, "warm up time");
}

// --- Adapting to the laser

TEST(DeviceRules, CapabilityMaskKeepsAllButtonsWithoutDeviceFlagsAndTheOldBitsOfOldControllers)
{
    EXPECT_EQ(CapabilityMask(186, 0x10), 0xFF);
    EXPECT_EQ(CapabilityMask(186, 0x00), 0x80);
    EXPECT_EQ(CapabilityMask(176, 0x10), 0x8A);
    EXPECT_EQ(CapabilityMask(176, 0x00), 0x80);
    EXPECT_EQ(CapabilityMask(177, 0x01), 0xFF);
}

TEST(DeviceRules, OnlineButtonsDisappearWhereTheControllerGoesOnlineItself)
{
    struct Row {
        uint8_t Version, Flags;
        bool Shown;
    };
    const Row rows[] = {
        { 182, 0x10, true },  { 183, 0x10, false }, { 183, 0x20, true },  { 184, 0x21, true },
        { 185, 0x21, false }, { 185, 0x20, true },  { 186, 0x20, false }, { 150, 0x00, false },
    };
    for (const Row& r : rows) {
        LaserStatusCopy s {};
        s.deviceVersion = r.Version;
        EXPECT_EQ(ChooseDeviceLayout(s, r.Flags).onlineButtons, r.Shown)
            << "version " << int(r.Version) << " flags " << int(r.Flags);
    }
}

TEST(DeviceRules, TwoHeadsNeedAController185)
{
    LaserStatusCopy s {};
    s.deviceVersion = 184;
    EXPECT_EQ(ChooseDeviceLayout(s, 0x30).gasPanel, GasPanelKind::Other);
    s.deviceVersion = 185;
    EXPECT_EQ(ChooseDeviceLayout(s, 0x30).gasPanel, GasPanelKind::TwoHeads);
    EXPECT_EQ(ChooseDeviceLayout(s, 0x10).gasPanel, GasPanelKind::OneHead);
    EXPECT_EQ(ChooseDeviceLayout(s, 0x20).gasPanel, GasPanelKind::Other);
}

TEST(DeviceRules, MenuEntriesAndShutterNeedTheirCapabilityAndVersion)
{
    LaserStatusCopy s {};
    s.capabilityFlags = 0x3F;
    s.deviceVersion = 180;
    DeviceLayout d = ChooseDeviceLayout(s, 0x10);
    EXPECT_FALSE(d.adjustEnergy || d.sparkGap || d.shutter);
    EXPECT_TRUE(d.energy && d.control);
    s.deviceVersion = 181;
    EXPECT_TRUE(ChooseDeviceLayout(s, 0x10).adjustEnergy);
    EXPECT_FALSE(ChooseDeviceLayout(s, 0x10).sparkGap);
    s.deviceVersion = 186;
    d = ChooseDeviceLayout(s, 0x10);
    EXPECT_TRUE(d.sparkGap && d.shutter);
    s.capabilityFlags = 0x00;
    d = ChooseDeviceLayout(s, 0x10);
    EXPECT_FALSE(d.adjustEnergy || d.sparkGap || d.shutter || d.energy || d.control);
}

} // namespace
