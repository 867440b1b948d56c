//===- device_profiles_test.cpp - The panel adapted to each kind of laser ---===//
#include "lasercontrol/TForm_main.h"

#include "controls/TMGauge.h"
#include "controls/TMPLCD.h"
#include "controls/TMled.h"
#include "lasercontrol/Tfenergy.h"
#include "tests/lasercontrol/HeliantFixture.h"

#include "platform/ui/controls/Menus.h"
#include "platform/ui/controls/StdCtrls.h"
#include "platform/ui/controls/TCustomPanel.h"

#include <map>

namespace {

class DeviceProfileTest : public HeliantTest {
protected:
    void SetUp() override
    {
        HeliantTest::SetUp();
        registerPanel();
    }

    /// The laser announces itself: its status arrives, then '3' adapts the panel to it.
    void connect(uint8_t Version, uint8_t DeviceFlags, uint8_t Capabilities, uint8_t UnitFlags = 0)
    {
        LaserStatusCopy s = TypicalLaser();
        s.deviceVersion = Version;
        s.deviceFlags = DeviceFlags;
        s.capabilityFlags = Capabilities;
        s.unitFlags = UnitFlags;
        server.Copy() = s;
        announce();
    }

    /// Which of the controls that enable_device governs are shown now.
    std::map<std::string, bool> shown() const
    {
        std::map<std::string, bool> m;
        TForm_main& f = *Form_main;
        for (TControl* c : std::initializer_list<TControl*> {
                 f.btn_onl,     f.btn_offline, f.led_onl,     f.led_temperature,   f.led_ee,
                 f.lab_ovtemp,  f.lab_eeprom,  f.Label_mbar,  f.Panel_prh1,        f.btn_newfill,
                 f.btn_gmFlush, f.btn_gmquitt, f.led_nf,      f.led_inert,         f.led_pre,
                 f.Label_nf,    f.Label_inert, f.Label_pre,   f.gauge_temperature, f.Label_gtemp,
                 f.led_gastemp, f.Label_temp,  f.led_control, f.btn_contr,         f.btn_shutter,
                 f.led_shutter, f.lab_shutter })
            m[c->GetName()] = c->GetVisible();
        m["Adjustenergy1"] = f.Adjustenergy1->GetVisible();
        m["SparkGap1"] = f.SparkGap1->GetVisible();
        return m;
    }

    static void expectShown(const std::map<std::string, bool>& Actual, std::initializer_list<std::string> Shown)
    {
        for (const auto& [name, visible] : Actual) {
            const bool expected = std::find(Shown.begin(), Shown.end(), name) != Shown.end();
            EXPECT_EQ(visible, expected) << name;
        }
    }
};

TEST_F(DeviceProfileTest, OneLaserHeadWithVacuumPump)
{
    connect(186, 0x10, 0x3F, 0x20);
    expectShown(shown(),
                { "led_temperature", "led_ee",      "lab_ovtemp",  "lab_eeprom",  "Label_mbar",    "Panel_prh1",
                  "btn_newfill",     "btn_gmFlush", "btn_gmquitt", "led_nf",      "led_inert",     "led_pre",
                  "Label_nf",        "Label_inert", "Label_pre",   "led_gastemp", "Label_temp",    "led_control",
                  "btn_contr",       "btn_shutter", "led_shutter", "lab_shutter", "Adjustenergy1", "SparkGap1" });
    TForm_main& f = *Form_main;
    EXPECT_EQ(f.btn_gmFlush->GetLeft(), 100);
    EXPECT_EQ(f.Label_vac->GetCaption(), "VAC");
    EXPECT_EQ(f.Label_vac->GetHint(), "vacuum pump");
    EXPECT_EQ(f.led_vac->GetHint(), "vacuum pump\ron");
    EXPECT_EQ(f.Label_lh->GetCaption(), "LH");
    EXPECT_EQ(f.Label_lh->GetHint(), "laserhead\rvalve");
    EXPECT_EQ(f.led_lh->GetHint(), "laserhead\rvalve open");
    EXPECT_EQ(f.Label_disch->GetCaption(), "LASERHEAD CHAMB.");
    EXPECT_EQ(f.Label_comp_cham->GetCaption(), "ELECTRONIC CHAMB.");
    EXPECT_EQ(f.Label_mj->GetCaption(), "\xB5&J");
    EXPECT_EQ(fenergy->lab_unit->GetCaption(), "\xB5&J");
    EXPECT_TRUE(f.LCD_mj->GetEnabled());
    EXPECT_TRUE(f.led_pemerror->GetEnabled());
    EXPECT_TRUE(fenergy->MPLCD9->GetEnabled());
    EXPECT_FALSE(f.GetPanelState().FlushingVariant());
    EXPECT_FALSE(f.GetPanelState().GasPanelVariant());
    EXPECT_EQ(f.GetPanelState().DeviceText(), " KELMOR 248");
    EXPECT_FALSE(f.GetPanelState().NoConnection());
}

TEST_F(DeviceProfileTest, TwoLaserHeadsWithGasHandlingAreTheFlushingVariant)
{
    connect(185, 0x31, 0x0F);
    expectShown(shown(),
                { "led_temperature", "led_ee", "lab_ovtemp", "lab_eeprom", "Label_mbar", "Panel_prh1", "btn_gmFlush",
                  "gauge_temperature", "Label_gtemp", "led_control", "btn_contr", "Adjustenergy1" });
    TForm_main& f = *Form_main;
    EXPECT_EQ(f.btn_gmFlush->GetLeft(), 25);
    EXPECT_TRUE(f.GetPanelState().FlushingVariant());
    EXPECT_TRUE(f.GetPanelState().GasPanelVariant());
    EXPECT_EQ(f.Label_vac->GetCaption(), "LH1/2");
    EXPECT_EQ(f.Label_vac->GetHint(), "inlet/outlet\rvalve");
    EXPECT_EQ(f.led_vac->GetHint(), "inlet/outlet\rvalve open");
    EXPECT_EQ(f.Label_lh->GetCaption(), "LH3");
    EXPECT_EQ(f.Label_lh->GetHint(), "flushing\rvalve");
    EXPECT_EQ(f.led_lh->GetHint(), "flushing\rvalve open");
    EXPECT_EQ(f.Label_disch->GetCaption(), "ENCLOSURE");
    EXPECT_EQ(f.Label_comp_cham->GetCaption(), "TEMPERATURE LIMIT");
    EXPECT_EQ(f.Label_mj->GetCaption(), "m&J");
}

TEST_F(DeviceProfileTest, TwoLaserHeadsWithoutGasHandling)
{
    connect(185, 0x30, 0x07);
    expectShown(shown(), { "led_temperature", "led_ee", "lab_ovtemp", "lab_eeprom", "Label_mbar", "Panel_prh1",
                           "gauge_temperature", "Label_gtemp", "led_control", "btn_contr", "Adjustenergy1", "btn_onl",
                           "btn_offline", "led_onl" });
    TForm_main& f = *Form_main;
    EXPECT_EQ(f.btn_gmFlush->GetLeft(), 100);
    EXPECT_FALSE(f.GetPanelState().FlushingVariant());
    EXPECT_TRUE(f.GetPanelState().GasPanelVariant());
    EXPECT_EQ(f.Label_vac->GetCaption(), "LH1");
    EXPECT_EQ(f.Label_vac->GetHint(), "laserhead1\rvalve");
    EXPECT_EQ(f.led_vac->GetHint(), "laserhead1\rvalve open");
    EXPECT_EQ(f.Label_lh->GetCaption(), "LH2");
    EXPECT_EQ(f.Label_lh->GetHint(), "laserhead2\rvalve");
    EXPECT_EQ(f.led_lh->GetHint(), "laserhead2\rvalve open");
}

TEST_F(DeviceProfileTest, LaserWithoutPressureReadoutOnAnOlderController)
{
    connect(180, 0x20, 0x01);
    expectShown(shown(),
                { "btn_onl", "btn_offline", "led_onl", "btn_newfill", "btn_gmFlush", "btn_gmquitt", "led_nf",
                  "led_inert", "led_pre", "Label_nf", "Label_inert", "Label_pre", "led_gastemp", "Label_temp" });
    EXPECT_TRUE(Form_main->LCD_mj->GetEnabled());
    EXPECT_EQ(Form_main->Label_disch->GetCaption(), "LASERHEAD CHAMB.");
}

TEST_F(DeviceProfileTest, OldControllersKeepOnlyTheCapabilitiesTheyHave)
{
    connect(176, 0x10, 0xFF);
    EXPECT_EQ(Form_main->Status().capabilityFlags, 0x8A);
    expectShown(shown(),
                { "btn_onl", "btn_offline", "led_onl", "Label_mbar", "Panel_prh1", "btn_newfill", "btn_gmFlush",
                  "btn_gmquitt", "led_nf", "led_inert", "led_pre", "Label_nf", "Label_inert", "Label_pre" });
    EXPECT_FALSE(Form_main->LCD_mj->GetEnabled());
    EXPECT_FALSE(Form_main->led_pemerror->GetEnabled());
    EXPECT_FALSE(fenergy->MPLCD9->GetEnabled());
    // Only that copy was cut: the next notice brings the server's bits again.
    notice(ev_blink2, 1);
    EXPECT_EQ(Form_main->Status().capabilityFlags, 0xFF);
}

TEST_F(DeviceProfileTest, WatchCounterNeedsController178)
{
    LaserStatusCopy s = TypicalLaser();
    s.stateFlags |= sf_highvoltage;
    s.modeFlags = 0x80;
    s.deviceVersion = 177;
    server.Copy() = s;
    announce();
    EXPECT_FALSE(Form_main->lab_count->GetVisible());
    EXPECT_FALSE(Form_main->lab_impz->GetVisible());
    EXPECT_FALSE(Form_main->btn_watch->GetEnabled());
    EXPECT_FALSE(Form_main->btn_exttrig->GetEnabled());
    server.Copy().deviceVersion = 178;
    announce();
    EXPECT_TRUE(Form_main->lab_count->GetVisible());
    EXPECT_TRUE(Form_main->lab_impz->GetVisible());
    EXPECT_TRUE(Form_main->btn_watch->GetEnabled());
    EXPECT_TRUE(Form_main->btn_exttrig->GetEnabled());
    server.Copy().modeFlags = 0;
    notice(ev_blink2, 1);
    EXPECT_FALSE(Form_main->lab_impz->GetVisible()) << "the watch counter shows in watch or burst mode";
}

TEST_F(DeviceProfileTest, LeavingTheFlushingVariantClearsIt)
{
    connect(186, 0x31, 0x0F);
    ASSERT_TRUE(Form_main->GetPanelState().FlushingVariant());
    connect(186, 0x10, 0x0F);
    EXPECT_FALSE(Form_main->GetPanelState().FlushingVariant());
    EXPECT_FALSE(Form_main->GetPanelState().GasPanelVariant());
    EXPECT_EQ(Form_main->btn_gmFlush->GetLeft(), 100);
    connect(186, 0x31, 0x0F);
    connect(186, 0x30, 0x07);
    EXPECT_FALSE(Form_main->GetPanelState().FlushingVariant());
    EXPECT_FALSE(Form_main->btn_gmFlush->GetVisible());
}

TEST_F(DeviceProfileTest, PulseDataNoticesAdaptThePanelToo)
{
    LaserStatusCopy s = TypicalLaser();
    s.deviceFlags = 0x31;
    s.capabilityFlags = 0x0F;
    s.deviceVersion = 185;
    server.Copy() = s;
    notice(ev_pulsedata);
    EXPECT_TRUE(Form_main->GetPanelState().FlushingVariant());
    EXPECT_EQ(Form_main->btn_gmFlush->GetLeft(), 25);
}

} // namespace
