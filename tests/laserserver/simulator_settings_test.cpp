//===- simulator_settings_test.cpp - Reading Kelmor32.INI ---===//
#include "laserserver/SimulatorSettings.h"
#include "tests/support/TestSupport.h"

#include <cstdlib>
#include <fstream>
#include <gtest/gtest.h>

namespace {

class SettingsFile : public ::testing::Test {
protected:
    SimulatorSettings Load(const std::string& Text)
    {
        std::ofstream(Path) << Text;
        return SimulatorSettings::Load(Path);
    }

    testsupport::TempDir Dir;
    std::string Path = Dir.file("Kelmor32.INI");
};

TEST_F(SettingsFile, MissingFileGivesAFullFeaturedLaser)
{
    SimulatorSettings s = SimulatorSettings::Load(Dir.file("none.INI"));
    EXPECT_TRUE(s.Warnings.empty());
    EXPECT_EQ(s.Laser.DeviceVersion, 186);
    EXPECT_EQ(s.Laser.CapabilityFlags, 0x3F);
    EXPECT_EQ(s.Laser.DeviceFlags, 0x10);
    EXPECT_EQ(s.ComPort, 1);
    EXPECT_EQ(s.VersionLevel, 'Y');
    EXPECT_EQ(s.BlinkPeriod, 500u);
}

TEST_F(SettingsFile, FlagsInDecimalOrHexadecimalAndOtherVariants)
{
    SimulatorSettings s = Load("[Laser]\nDeviceVersion=182\nCapabilityFlags=$0B\nDeviceFlags=0x31\n"
                               "LaserType=EX5\nLaserType2=ArF\nSerialNumber=1234\nEnergyLevel=12.5\n"
                               "[Simulator]\nTimeScale=50\nBlinkPeriod=20\nIdleSeconds=3\n"
                               "[Server]\nComPort=4\nAutoSave=1\nVersionLevel=Z\n");
    EXPECT_TRUE(s.Warnings.empty()) << s.Warnings.front();
    EXPECT_EQ(s.Laser.DeviceVersion, 182);
    EXPECT_EQ(s.Laser.CapabilityFlags, 0x0B);
    EXPECT_EQ(s.Laser.DeviceFlags, 0x31);
    EXPECT_EQ(s.Laser.LaserType, "EX5");
    EXPECT_EQ(s.Laser.LaserType2, "ArF");
    EXPECT_EQ(s.Laser.SerialNumber, 1234);
    EXPECT_FLOAT_EQ(s.Laser.EnergyLevel, 12.5f);
    EXPECT_DOUBLE_EQ(s.Laser.TimeScale, 50);
    EXPECT_EQ(s.BlinkPeriod, 20u);
    EXPECT_DOUBLE_EQ(s.IdleSeconds, 3);
    EXPECT_EQ(s.ComPort, 4);
    EXPECT_TRUE(s.AutoSave);
    EXPECT_EQ(s.VersionLevel, 'Z');
}

TEST_F(SettingsFile, UnusableValuesKeepTheDefaultAndAreNamed)
{
    SimulatorSettings s = Load("[Laser]\nDeviceVersion=300\nCapabilityFlags=lots\nHighVoltage=-1\n"
                               "LaserType=MUCH-TOO-LONG\n[Simulator]\nTimeScale=0\n[Server]\nComPort=12\n");
    EXPECT_EQ(s.Laser.DeviceVersion, 186);
    EXPECT_EQ(s.Laser.CapabilityFlags, 0x3F);
    EXPECT_EQ(s.Laser.HighVoltage, 50);
    EXPECT_DOUBLE_EQ(s.Laser.TimeScale, 1);
    EXPECT_EQ(s.ComPort, 1);
    EXPECT_EQ(s.Laser.LaserType, "MUCH-TOO-") << "cut to the status field";
    ASSERT_EQ(s.Warnings.size(), 6u);
    EXPECT_EQ(s.Warnings[0], "[Laser] DeviceVersion=300: expected a whole number from 0 to 255");
    EXPECT_EQ(s.Warnings[1], "[Laser] CapabilityFlags=lots: expected a whole number from 0 to 255");
}

TEST_F(SettingsFile, OptionsAreWrittenBackAndReadAgain)
{
    SimulatorSettings s = Load("[Laser]\nDeviceVersion=180\n");
    ASSERT_TRUE(s.SaveOptions(7, true));
    SimulatorSettings again = SimulatorSettings::Load(Path);
    EXPECT_EQ(again.ComPort, 7);
    EXPECT_TRUE(again.AutoSave);
    EXPECT_EQ(again.Laser.DeviceVersion, 180) << "the rest of the file stays";
}

TEST_F(SettingsFile, EnvironmentNamesTheFileAndTheLog)
{
    std::ofstream(Path) << "[Laser]\nSerialNumber=99\n[Simulator]\nLog=from-file.log\n";
    setenv("KELMOR32_INI", Path.c_str(), 1);
    setenv("KELMOR32_LOG", Dir.file("from-env.log").c_str(), 1);
    SimulatorSettings s = SimulatorSettings::LoadDefault();
    EXPECT_EQ(s.Laser.SerialNumber, 99);
    EXPECT_EQ(s.LogFile, Dir.file("from-env.log"));
    unsetenv("KELMOR32_LOG");
    EXPECT_EQ(SimulatorSettings::LoadDefault().LogFile, "from-file.log");
    unsetenv("KELMOR32_INI");
}

} // namespace
