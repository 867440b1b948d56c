//===- simulator_test.cpp - The panel comes alive with the laser simulator Kelmor32 ---===//
#include "lasercontrol/TForm_main.h"

#include "controls/TMLCD.h"
#include "controls/TMled.h"
#include "controls/TMnumedit.h"
#include "controls/Tbox.h"
#include "controls/Tmesbox.h"
#include "controls/tmbox.h"
#include "lasercontrol/PanelRules.h"
#include "lasercontrol/TForm_opt_teaktest.h"
#include "lasercontrol/Tflushingform.h"
#include "link/Varnex32.h"
#include "tests/lasercontrol/HeliantFixture.h"
#include "tests/support/Simulator.h"

#include "platform/ui/controls/VirtualKeys.h"
#include "platform/ui/controls/StdCtrls.h"

#include <cstdlib>
#include <cstring>
#include <fstream>

namespace {

class SimulatorTest : public HeliantTest {
protected:
    void SetUp() override
    {
        HeliantTest::SetUp();
        // Quick blinks and notices; a simulator left behind by a failing test leaves by itself.
        writeSettings("");
        allowProgramStarts();
    }
    /// The simulator's settings file: the quick times and Extra (lines of further keys).
    void writeSettings(const std::string& Extra)
    {
        const std::string ini = dir.file("Kelmor32.INI");
        std::ofstream(ini) << "[Simulator]\nBlinkPeriod=10\nStatusPeriod=100\nIdleSeconds=20\n"
                              "WarmupSeconds=0\nLaserOnSeconds=0.2\nGasPhaseSeconds=0.3\n"
                              "OpticChangeSeconds=0.3\nOpticOpenSeconds=0.3\n"
                           << Extra;
        setenv("KELMOR32_INI", ini.c_str(), 1);
    }
    void TearDown() override
    {
        closeSimulator();
        unsetenv("KELMOR32_INI");
        HeliantTest::TearDown();
    }
    /// Closes the simulator and waits for its last notice, so that no notice of it is left for
    /// a later test of the same process.
    void closeSimulator()
    {
        const HWND window = testsupport::SimulatorWindow();
        if (window && IsWindow(window)) {
            const size_t before = boxes.Boxes().size();
            PostMessage(window, WM_CLOSE, 0, 0);
            EXPECT_TRUE(pumpUntil([&] { return boxes.Boxes().size() > before && !IsWindow(window); }))
                << "the simulator did not close";
        }
    }
};

TEST_F(SimulatorTest, ThePanelComesAliveWithTheSimulatedLaser)
{
    registerPanel();
    TForm_main& f = *Form_main;
    ASSERT_TRUE(pumpUntil([&] {
        return f.Label_lastyp->GetCaption() == " KELMOR 248" && f.label_com->GetCaption() == "COM1"
               && f.led_onl->GetLedOn();
    })) << "laser type '"
        << f.Label_lastyp->GetCaption() << "', port '" << f.label_com->GetCaption() << "'";
    EXPECT_EQ(f.GetPanelState().DeviceText(), " KELMOR 248");
    EXPECT_FALSE(f.GetPanelState().NoConnection());
    EXPECT_EQ(f.LCD_Hz->GetValue(), 50);
    EXPECT_EQ(f.Panel_prh1->GetCaption(), "2800");
    // The simulated laser is a controller 186 with one laser head: no ONLINE button, a shutter.
    EXPECT_FALSE(f.btn_onl->GetVisible());
    EXPECT_TRUE(f.btn_shutter->GetVisible());
    EXPECT_EQ(f.Label_mj->GetCaption(), "\xB5&J");
    EXPECT_TRUE(boxes.Boxes().empty());
}

TEST_F(SimulatorTest, ACommandReachesTheSimulatedLaser)
{
    registerPanel();
    TForm_main& f = *Form_main;
    ASSERT_TRUE(pumpUntil([&] { return f.Label_lastyp->GetCaption() == " KELMOR 248"; }));
    f.lascommand(cmd_reprate, 120);
    EXPECT_TRUE(pumpUntil([&] { return f.LCD_Hz->GetValue() == 120; }));
    EXPECT_TRUE(beeps.Beeps().empty());
}

TEST_F(SimulatorTest, AClosingSimulatorLeavesThePanelWithoutConnection)
{
    registerPanel();
    TForm_main& f = *Form_main;
    ASSERT_TRUE(pumpUntil(
        [&] { return f.Label_lastyp->GetCaption() == " KELMOR 248" && testsupport::SimulatorWindow() != 0; }));
    const HWND window = testsupport::SimulatorWindow();
    ASSERT_TRUE(boxes.Boxes().empty());
    PostMessage(window, WM_CLOSE, 0, 0);
    ASSERT_TRUE(pumpUntil([&] { return !boxes.Boxes().empty(); }));
    EXPECT_EQ(boxes.Boxes()[0].Text, " Kelmor.exe was closed");
    EXPECT_EQ(f.Label_lastyp->GetCaption(), "NO CONNECTION");
    EXPECT_TRUE(f.GetPanelState().NoConnection());
    EXPECT_FALSE(f.led_tx->GetLedOn());
    EXPECT_FALSE(f.LED_RX->GetLedOn());
    EXPECT_FALSE(f.led_lready->GetLedOn()) << "the closing status shows the laser off";
    // No blink follows: the laser type stays away.
    EXPECT_TRUE(pumpUntil([&] { return !IsWindow(window); }));
    EXPECT_EQ(f.Label_lastyp->GetCaption(), "NO CONNECTION");
}

TEST_F(SimulatorTest, ALostSerialLinkShowsNoConnectionUntilItIsBack)
{
    // The link stays lost until the port is opened again: the panel takes the status as it
    // stands when it handles a notice, so a link back after a fixed time could be back before a
    // lagging loop handled its loss.
    writeSettings("LinkLostAfterSeconds=1\nLinkLostForSeconds=0\n");
    registerPanel();
    TForm_main& f = *Form_main;
    ASSERT_TRUE(pumpUntil([&] { return f.Label_lastyp->GetCaption() == " KELMOR 248"; }));
    ASSERT_TRUE(pumpUntil([&] { return f.Label_lastyp->GetCaption() == "NO CONNECTION"; }));
    EXPECT_TRUE(f.GetPanelState().NoConnection());
    EXPECT_FALSE(f.led_onl->GetLedOn()) << "nothing is known of the laser";
    f.lascommand(cmd_selectport, 1);
    ASSERT_TRUE(pumpUntil([&] { return f.Label_lastyp->GetCaption() == " KELMOR 248"; }));
    EXPECT_FALSE(f.GetPanelState().NoConnection());
    EXPECT_EQ(beeps.Beeps().size(), 2u) << "one for the link lost, one for it back";
}

TEST_F(SimulatorTest, ABurstCountsThePulseCounterUpByThePresetQuantity)
{
    registerPanel();
    TForm_main& f = *Form_main;
    ASSERT_TRUE(pumpUntil([&] { return f.led_lready->GetLedOn() && f.led_onl->GetLedOn(); }));
    uitest::ModalAnswerer modal;
    modal.Then([](TForm& Form) {
        auto& box = dynamic_cast<Tbox&>(Form);
        box.Mnumedit1->SelectAll();
        uitest::TypeText(*box.Mnumedit1, "25");
        uitest::PressKey(*box.Mnumedit1, VK_RETURN);
    });
    f.LCD_quant->OnClick(f.LCD_quant);
    ASSERT_TRUE(pumpUntil([&] { return f.LCD_quant->GetValue() == 25; }));
    f.btn_lason->OnClick(f.btn_lason);
    ASSERT_TRUE(pumpUntil([&] { return IsHighVoltage(f.Status()); }));
    const int32_t before = f.Status().pulseCounter;
    f.btn_quant->OnClick(f.btn_quant);
    // The panel takes the status as it stands when it handles a notice: a loop that lags behind
    // by more than the burst may never see it firing, only its end.
    ASSERT_TRUE(pumpUntil([&] {
        return !IsFiring(f.Status()) && f.lab_count->GetCaption() == std::to_string(before + 25);
    })) << "counter shows "
        << f.lab_count->GetCaption() << ", from " << before;
    EXPECT_EQ(int32_t(f.Status().pulseCounter), before + 25); // a copy: the record is packed
}

TEST_F(SimulatorTest, InternFlushingWalksThroughTheOpticExchangeAndItsLeakTest)
{
    registerPanel();
    TForm_main& f = *Form_main;
    ASSERT_TRUE(pumpUntil([&] { return f.led_lready->GetLedOn(); }));
    uitest::ModalAnswerer modal;
    modal.Answer(mrYes);
    modal.Answer(mrYes);
    f.btn_gmFlush->OnClick(f.btn_gmFlush);
    ASSERT_TRUE(flushingform->GetVisible());
    flushingform->btn_flushint->Click();
    ASSERT_EQ(modal.Shown().size(), 2u);
    ASSERT_TRUE(pumpUntil([&] { return GasStep(f.Status()) == 9; })) << "step " << GasStep(f.Status());
    ASSERT_TRUE(pumpUntil([&] { return GasStep(f.Status()) == 11; })) << "step " << GasStep(f.Status());
    ASSERT_TRUE(pumpUntil([&] { return GasStep(f.Status()) == 10 && f.GetPanelState().LastStep() == 11; }))
        << "step " << GasStep(f.Status());
    EXPECT_EQ(f.btn_gmFlush->GetCaption(), "&LEAKTEST");
    f.btn_gmFlush->OnClick(f.btn_gmFlush);
    ASSERT_TRUE(pumpUntil([&] { return GasStep(f.Status()) == 12; }));
    EXPECT_TRUE(Form_opt_teaktest->GetVisible());
    // 300 blinks later the test ends and its verdict comes back to step 10.
    ASSERT_TRUE(pumpUntil([&] { return f.tmbox1->Form() != nullptr; }));
    EXPECT_EQ(f.tmbox1->Form()->GetCaption(), "ATTENTION");
    EXPECT_FALSE(Form_opt_teaktest->GetVisible());
}

TEST_F(SimulatorTest, ExternFlushingAsksForTheSensorCheckAndGoesOnAfterIt)
{
    registerPanel();
    TForm_main& f = *Form_main;
    ASSERT_TRUE(pumpUntil([&] { return f.led_lready->GetLedOn(); }));
    uitest::ModalAnswerer modal;
    modal.Answer(mrYes);
    modal.Answer(mrYes);
    f.btn_gmFlush->OnClick(f.btn_gmFlush);
    flushingform->btn_flushext->Click();
    ASSERT_TRUE(pumpUntil([&] { return !boxes.Boxes().empty(); })) << "step " << GasStep(f.Status());
    EXPECT_EQ(boxes.Boxes()[0].Text, "check pressure sensor at gas bottle for leak test");
    // The box was answered: the controller flushes on and finishes.
    ASSERT_TRUE(pumpUntil([&] { return GasStep(f.Status()) == 7; })) << "step " << GasStep(f.Status());
    EXPECT_EQ(boxes.Boxes().size(), 1u);
}

} // namespace
