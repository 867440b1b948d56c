//===- laser_commands_test.cpp - How the simulated laser answers single commands ---===//
#include "tests/laserserver/ModelFixture.h"

#include <bit>
#include <cstring>

namespace {

using LaserCommands = ModelFixture;

TEST_F(LaserCommands, StartsOnlineReadyAndAnnouncesPortDeviceAndType)
{
    EXPECT_TRUE(StateFlag(sf_online));
    EXPECT_TRUE(StateFlag(sf_ready));
    EXPECT_FALSE(StateFlag(sf_highvoltage));
    Model().Announce();
    EXPECT_EQ(Notices(), (std::vector<LaserNotice> { { ev_comport, 0 }, { ev_device, 0 }, { ev_lasertype, 0 } }));
    LaserStatusCopy s = Status();
    EXPECT_EQ(s.deviceVersion, 186);
    EXPECT_EQ(s.capabilityFlags, 0x3F);
    EXPECT_EQ(s.comPort, 1);
    EXPECT_STREQ(s.laserType, "KELMOR");
    EXPECT_STREQ(s.firmwareText, "V186-B21");
}

TEST_F(LaserCommands, TextsLongerThanTheirFieldsAreCutWithTheTerminatorKept)
{
    Settings.Laser.LaserType = "ABCDEFGHIJKLMNOP";
    LaserStatusCopy s = Status();
    EXPECT_EQ(std::strlen(s.laserType), sizeof s.laserType - 1);
    EXPECT_EQ(std::string(s.laserType), "ABCDEFGHI");
}

TEST_F(LaserCommands, OfflineRefusesLaserCommandsUntilOnlineAgain)
{
    Execute(cmd_offline);
    EXPECT_FALSE(StateFlag(sf_online));
    Notices();
    Execute(cmd_laseron);
    Advance(20);
    EXPECT_FALSE(StateFlag(sf_highvoltage));
    EXPECT_TRUE(Contains(Notices(), ev_beep));
    Execute(cmd_online);
    Execute(cmd_laseron);
    Advance(20);
    EXPECT_TRUE(StateFlag(sf_highvoltage));
}

TEST_F(LaserCommands, LaserOnChargesForItsTimeThenReportsHighVoltage)
{
    Settings.Laser.LaserOnSeconds = 1;
    Execute(cmd_laseron);
    Advance(900);
    EXPECT_FALSE(StateFlag(sf_highvoltage));
    Notices();
    Advance(200);
    EXPECT_TRUE(StateFlag(sf_highvoltage));
    EXPECT_TRUE(Contains(Notices(), ev_device));
}

TEST_F(LaserCommands, LaserOnWaitsForTheWarmUpWhichReportsItsProgress)
{
    Settings.Laser.WarmupSeconds = 10;
    Settings.Laser.TimeScale = 10; // one second of real time is the whole warm-up
    EXPECT_TRUE(StateFlag(sf_warmup));
    EXPECT_FALSE(StateFlag(sf_ready));
    Execute(cmd_laseron);
    EXPECT_TRUE(Contains(Notices(), ev_beep));
    Advance(500);
    EXPECT_EQ(Status().warmupProgress, 50);
    std::vector<LaserNotice> notices = Notices();
    EXPECT_TRUE(Contains(notices, ev_warmup));
    EXPECT_EQ(notices.back(), (LaserNotice { ev_warmup, 50 }));
    Advance(500);
    EXPECT_EQ(Status().warmupProgress, 100);
    EXPECT_FALSE(StateFlag(sf_warmup));
    EXPECT_TRUE(StateFlag(sf_ready));
    EXPECT_TRUE(Contains(Notices(), ev_device));
}

TEST_F(LaserCommands, LaserOffDropsHighVoltageAndFiring)
{
    SwitchOn();
    Execute(cmd_repetition);
    EXPECT_TRUE(StateFlag(sf_firing));
    Execute(cmd_laseroff);
    EXPECT_FALSE(StateFlag(sf_highvoltage));
    EXPECT_FALSE(StateFlag(sf_firing));
    EXPECT_EQ(Status().modeFlags & mf_repetition, 0);
    EXPECT_TRUE(StateFlag(sf_ready));
}

TEST_F(LaserCommands, HighVoltageStepsAndSetStayWithinZeroToHundred)
{
    struct Row {
        uint8_t Start;
        uint16_t Code;
        uint32_t Argument;
        uint8_t Expected;
    };
    const Row rows[] = {
        { 50, cmd_hvup, 0, 51 },
        { 100, cmd_hvup, 0, 100 },
        { 50, cmd_hvdown, 0, 49 },
        { 0, cmd_hvdown, 0, 0 },
        { 50, cmd_hvset, 73, 73 },
        { 50, cmd_hvset, 250, 100 },
        { 50, cmd_hvset, uint32_t(-5), 0 },
    };
    for (const Row& row : rows) {
        Settings.Laser.HighVoltage = row.Start;
        LaserModel model(Settings, {}, ClockBase);
        model.Execute(row.Code, row.Argument);
        EXPECT_EQ(model.Status().hvPercent, row.Expected) << "from " << int(row.Start) << " code " << row.Code;
    }
}

TEST_F(LaserCommands, HighVoltageIsNotAdjustableWithoutTheCapability)
{
    Settings.Laser.CapabilityFlags = cap_energyset;
    Execute(cmd_hvset, 80);
    EXPECT_EQ(Status().hvPercent, 50);
}

TEST_F(LaserCommands, EnergySetTakesTheBitsOfAFloat)
{
    Execute(cmd_energyset, std::bit_cast<uint32_t>(72.5f));
    EXPECT_FLOAT_EQ(+Status().energySet, 72.5f);
    Execute(cmd_energyup);
    EXPECT_FLOAT_EQ(+Status().energySet, 73.5f);
    Execute(cmd_energydown);
    Execute(cmd_energydown);
    EXPECT_FLOAT_EQ(+Status().energySet, 71.5f);
}

TEST_F(LaserCommands, EnergySetRefusesWhatIsNoNumberAndClampsTheRest)
{
    Notices();
    Execute(cmd_energyset, std::bit_cast<uint32_t>(std::numeric_limits<float>::quiet_NaN()));
    EXPECT_FLOAT_EQ(+Status().energySet, 90.0f);
    EXPECT_TRUE(Contains(Notices(), ev_beep));
    Execute(cmd_energyset, std::bit_cast<uint32_t>(-3.0f));
    EXPECT_FLOAT_EQ(+Status().energySet, 0.0f);
    Execute(cmd_energyset, std::bit_cast<uint32_t>(1e9f));
    EXPECT_FLOAT_EQ(+Status().energySet, 180.0f); // twice the energy at 50 % high voltage
}

TEST_F(LaserCommands, RepetitionRateQuantityAndPresetCounterAreKeptInRange)
{
    Execute(cmd_reprate, 200);
    EXPECT_EQ(+Status().repRate, 200);
    Execute(cmd_reprate, 0);
    EXPECT_EQ(+Status().repRate, 1);
    Execute(cmd_reprate, 100000);
    EXPECT_EQ(+Status().repRate, Settings.Laser.MaxRepRate);
    Execute(cmd_quantity, 70000);
    EXPECT_EQ(+Status().quantity, 65535);
    Execute(cmd_presetcounter, 123456);
    EXPECT_EQ(+Status().pulseCounter, 123456);
    Execute(cmd_presetcounter, uint32_t(-1));
    EXPECT_EQ(+Status().pulseCounter, 0);
}

TEST_F(LaserCommands, ShutterOpensAndClosesOnlyWhereThereIsOne)
{
    Execute(cmd_shutteropen);
    EXPECT_NE(Status().modeFlags2 & mf2_shutteropen, 0);
    Execute(cmd_shutterclose);
    EXPECT_EQ(Status().modeFlags2 & mf2_shutteropen, 0);

    Settings.Laser.CapabilityFlags = 0x1F;
    LaserModel noShutter(Settings, {}, ClockBase);
    noShutter.Execute(cmd_shutteropen, 0);
    EXPECT_EQ(noShutter.Status().modeFlags2 & mf2_shutteropen, 0);
    EXPECT_FALSE(Contains(noShutter.TakeNotices(), ev_beep)) << "a missing shutter is no refusal";
}

TEST_F(LaserCommands, ControlLoopAndEnergyErrorReset)
{
    Settings.Laser.ErrorFlags2 = 0x20;
    Execute(cmd_controlon);
    EXPECT_NE(Status().modeFlags & mf_energycontrol, 0);
    Execute(cmd_controloff);
    EXPECT_EQ(Status().modeFlags & mf_energycontrol, 0);
    Execute(cmd_pemreset);
    EXPECT_EQ(Status().errorFlags2 & 0x20, 0);
}

TEST_F(LaserCommands, PortSelectionAnswersWithThePortEventAndFollowsTheConnection)
{
    Settings.Laser.LaserPort = 2;
    Settings.ComPort = 2;
    Execute(cmd_selectport, 3);
    EXPECT_EQ(Notices(), (std::vector<LaserNotice> { { ev_comport, 0 }, { ev_linklost, 0 }, { ev_noconnection, 0 } }));
    EXPECT_EQ(Status().comPort, 3);
    EXPECT_FALSE(Model().Connected());
    EXPECT_EQ(Status().stateFlags, 0) << "nothing is known of a laser out of reach";

    Execute(cmd_laseron);
    EXPECT_TRUE(Contains(Notices(), ev_beep));

    Execute(cmd_selectport, 2);
    EXPECT_EQ(Notices(), (std::vector<LaserNotice> {
                             { ev_comport, 0 }, { ev_linkback, 0 }, { ev_device, 0 }, { ev_lasertype, 0 } }));
    EXPECT_TRUE(Model().Connected());
    EXPECT_TRUE(StateFlag(sf_online));
}

TEST_F(LaserCommands, SerialLinkBreaksAndComesBackAfterTheSetTimes)
{
    Settings.Laser.LinkLostAfterSeconds = 1;
    Settings.Laser.LinkLostForSeconds = 2;
    SwitchOn();
    Advance(1000);
    std::vector<LaserNotice> notices = Notices();
    ASSERT_GE(notices.size(), 2u);
    EXPECT_EQ(std::vector<LaserNotice>(notices.end() - 2, notices.end()),
              (std::vector<LaserNotice> { { ev_linklost, 0 }, { ev_noconnection, 0 } }));
    EXPECT_FALSE(Model().Connected());
    Advance(1960); // switching on took 20 ms: the link broke at 1000
    EXPECT_FALSE(Model().Connected());
    Advance(20);
    EXPECT_EQ(Notices(), (std::vector<LaserNotice> { { ev_linkback, 0 }, { ev_device, 0 }, { ev_lasertype, 0 } }));
    EXPECT_TRUE(StateFlag(sf_online));
    EXPECT_FALSE(StateFlag(sf_highvoltage)) << "the lost link switched the laser off";
    Advance(5000);
    EXPECT_TRUE(Model().Connected()) << "it breaks once";
}

TEST_F(LaserCommands, ABrokenLinkWithoutReturnIsMendedBySelectingAPort)
{
    Settings.Laser.LinkLostAfterSeconds = 0.5;
    Advance(60000);
    EXPECT_FALSE(Model().Connected());
    Execute(cmd_selectport, 1);
    EXPECT_TRUE(Model().Connected());
}

TEST_F(LaserCommands, PortBeyondNineIsRefusedAndTheLabelRefreshed)
{
    Execute(cmd_selectport, 10);
    EXPECT_EQ(Status().comPort, 1);
    std::vector<LaserNotice> notices = Notices();
    EXPECT_TRUE(Contains(notices, ev_beep));
    EXPECT_TRUE(Contains(notices, ev_comport));
}

TEST_F(LaserCommands, OptionsAreToBeSavedOnlyWithAutomaticSaving)
{
    Execute(cmd_selectport, 4);
    EXPECT_FALSE(Model().TakeOptionsToSave());
    Execute(cmd_autosave, 1);
    EXPECT_NE(Status().optionFlags & 0x08, 0);
    EXPECT_TRUE(Model().TakeOptionsToSave());
    EXPECT_FALSE(Model().TakeOptionsToSave()) << "told once";
    Execute(cmd_selectport, 5);
    EXPECT_TRUE(Model().TakeOptionsToSave());
    Execute(cmd_autosave, 0);
    EXPECT_EQ(Status().optionFlags & 0x08, 0);
    EXPECT_TRUE(Model().TakeOptionsToSave()) << "switching it off is saved too";
}

TEST_F(LaserCommands, ClientInitAnnouncesTheLaserAgain)
{
    Notices();
    Execute(cmd_clientinit, 1);
    EXPECT_EQ(Notices(), (std::vector<LaserNotice> { { ev_comport, 0 }, { ev_device, 0 }, { ev_lasertype, 0 } }));
}

TEST_F(LaserCommands, UnknownAndExtendedCodesChangeNothing)
{
    LaserStatusCopy before = Status();
    Execute(0x1FFF, 5);
    Execute(cmd_extendedbase + 3, 0x12345678);
    Execute(cmd_nocommandcheck);
    LaserStatusCopy after = Status();
    EXPECT_EQ(std::memcmp(&before, &after, sizeof before), 0);
}

TEST_F(LaserCommands, SparkGapAdjustingTakesTheLaserOutOfReadinessForAWhile)
{
    Settings.Laser.SparkGapSeconds = 2;
    SwitchOn();
    Execute(cmd_sparkgap);
    EXPECT_FALSE(StateFlag(sf_highvoltage));
    EXPECT_FALSE(StateFlag(sf_ready));
    Execute(cmd_laseron);
    EXPECT_TRUE(Contains(Notices(), ev_beep));
    Advance(2100);
    EXPECT_TRUE(StateFlag(sf_ready));
}

TEST_F(LaserCommands, BlockingErrorsKeepTheHighVoltageOff)
{
    Settings.Laser.ErrorFlags2 = 0x04; // safety interlock open
    Execute(cmd_laseron);
    Advance(20);
    EXPECT_FALSE(StateFlag(sf_highvoltage));
    EXPECT_TRUE(Contains(Notices(), ev_beep));
}

TEST_F(LaserCommands, AdjustEnergySetsTheHighVoltageThatGivesTheSetPoint)
{
    Execute(cmd_energyset, std::bit_cast<uint32_t>(45.0f));
    Execute(cmd_adjustenergy);
    EXPECT_EQ(Status().hvPercent, 25); // 90 at 50 %
}

} // namespace
