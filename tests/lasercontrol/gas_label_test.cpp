//===- gas_label_test.cpp - The gas-mode label through the gas steps and its blinking ---===//
#include "lasercontrol/TForm_main.h"

#include "lasercontrol/TForm_opt_teaktest.h"
#include "tests/lasercontrol/HeliantFixture.h"

#include "platform/ui/controls/StdCtrls.h"

namespace {

class GasLabelTest : public HeliantTest {
protected:
    void SetUp() override
    {
        HeliantTest::SetUp();
        registerPanel();
    }

    void showStatus(const LaserStatusCopy& S)
    {
        Form_main->takeStatus(S);
        Form_main->Lgetstatus();
    }

    /// What the label shows in blink phase 2, lit and dark.
    std::pair<std::string, std::string> blinkPhases()
    {
        Form_main->lblink2(true);
        std::string lit = Form_main->lab_gasmode->GetCaption();
        Form_main->lblink2(false);
        std::string dark = Form_main->lab_gasmode->GetCaption();
        return { lit, dark };
    }
};

LaserStatusCopy gasStep(int Step)
{
    LaserStatusCopy s = TypicalLaser();
    s.stateFlags = sf_online | sf_gasmode;
    s.gasState = uint8_t(Step);
    return s;
}

TEST_F(GasLabelTest, EachStepShowsItsTextBlackOnTheButtonFace)
{
    struct Row {
        int Step;
        const char* Text;
        bool Blinks;
    };
    const Row rows[] = {
        { 1, "manual gasmode", false },
        { 2, "fill-inert", false },
        { 3, "newfill", false },
        { 4, "extern flushing 1", false },
        { 5, "extern flushing leak test", false },
        { 6, "extern flushing 2", false },
        { 7, "extern flushing finished", true },
        { 8, "initialize gasmode on laser", false },
        { 9, "intern flushing", false },
        { 10, "please change optics or quit", true },
        { 11, "optic open", true },
        { 12, "optic leak test", true },
        { 13, "testmode-fill: Inert", false },
        { 14, "testmode-fill: Premix", false },
        { 0, "", false },
    };
    for (const Row& r : rows) {
        SCOPED_TRACE("step " + std::to_string(r.Step));
        showStatus(gasStep(r.Step));
        EXPECT_EQ(Form_main->GetPanelState().GasText().Text, r.Text);
        EXPECT_EQ(Form_main->GetPanelState().GasText().Blinks, r.Blinks);
        EXPECT_EQ(Form_main->GetPanelState().GasText().Color, clBtnFace);
        EXPECT_EQ(Form_main->GetPanelState().GasText().TextColor, clBlack);
        const auto [lit, dark] = blinkPhases();
        EXPECT_EQ(lit, r.Text);
        EXPECT_EQ(dark, r.Blinks ? "" : r.Text);
        EXPECT_EQ(Form_main->lab_gasmode->GetFont()->GetColor(), clBlack);
    }
}

TEST_F(GasLabelTest, SteadyTextsShowAtTheRedrawBlinkingOnesWaitForTheBlink)
{
    Form_main->lab_gasmode->SetCaption("before");
    showStatus(gasStep(3));
    EXPECT_EQ(Form_main->lab_gasmode->GetCaption(), "newfill");
    showStatus(gasStep(7));
    EXPECT_EQ(Form_main->lab_gasmode->GetCaption(), "newfill") << "a blinking text is written by the blink phases";
    Form_main->lblink2(true);
    EXPECT_EQ(Form_main->lab_gasmode->GetCaption(), "extern flushing finished");
}

TEST_F(GasLabelTest, OpticExchangeTurnsTheBlinkingRequestIntoASteadyWait)
{
    showStatus(gasStep(9));
    showStatus(gasStep(10));
    EXPECT_EQ(Form_main->GetPanelState().GasText().Text, "please change optics or quit");
    EXPECT_TRUE(Form_main->GetPanelState().GasText().Blinks);
    EXPECT_EQ(Form_main->btn_gmFlush->GetCaption(), "FL&USHING");
    showStatus(gasStep(11));
    showStatus(gasStep(10));
    EXPECT_EQ(Form_main->GetPanelState().GasText().Text, "waiting for start leaktest");
    EXPECT_FALSE(Form_main->GetPanelState().GasText().Blinks);
    EXPECT_EQ(Form_main->btn_gmFlush->GetCaption(), "&LEAKTEST");
    EXPECT_TRUE(Form_main->btn_gmFlush->GetEnabled());
}

TEST_F(GasLabelTest, LeavingGasModeClearsTextBlinkAndColour)
{
    showStatus(gasStep(7));
    ASSERT_TRUE(Form_main->GetPanelState().GasText().Blinks);
    LaserStatusCopy s = TypicalLaser();
    showStatus(s);
    EXPECT_EQ(Form_main->GetPanelState().GasText().Text, "");
    EXPECT_FALSE(Form_main->GetPanelState().GasText().Blinks);
    EXPECT_EQ(Form_main->GetPanelState().GasText().Color, clBtnFace);
    const auto [lit, dark] = blinkPhases();
    EXPECT_EQ(lit, "");
    EXPECT_EQ(dark, "");
    EXPECT_EQ(Form_main->lab_gasmode->GetColor(), clBtnFace);
}

TEST_F(GasLabelTest, LeavingGasModeDropsTheLeakTestsAndTheirNotice)
{
    LaserStatusCopy s = TypicalLaser();
    s.stateFlags |= sf_gasmode;
    s.gasState = 12;
    showStatus(s);
    ASSERT_TRUE(Form_main->GetLeakTests().OpticRunning());
    ASSERT_TRUE(Form_opt_teaktest->GetVisible());
    showStatus(TypicalLaser());
    EXPECT_FALSE(Form_opt_teaktest->GetVisible());
    EXPECT_FALSE(Form_main->GetLeakTests().OpticRunning());
}

TEST_F(GasLabelTest, TheOpticLeakTestCountdownRunsWithBlinkPhaseTwo)
{
    LaserStatusCopy s = TypicalLaser();
    s.stateFlags |= sf_gasmode;
    s.gasState = 12;
    showStatus(s);
    ASSERT_EQ(Form_main->GetLeakTests().Countdown(), LeakTests::OpticTestBlinks);
    Form_main->lblink2(true);
    Form_main->lblink2(false);
    EXPECT_EQ(Form_main->GetLeakTests().Countdown(), LeakTests::OpticTestBlinks - 2) << "both phases count";
}

TEST_F(GasLabelTest, TwoHeadPanelShowsTheNitrogenStateInItsColours)
{
    LaserStatusCopy s = TypicalLaser();
    s.deviceVersion = 186;
    s.deviceFlags = 0x31;
    s.capabilityFlags = 0x0F;
    Form_main->takeStatus(s);
    Form_main->enable_device(s.deviceFlags);
    Form_main->Lgetstatus();
    EXPECT_EQ(Form_main->lab_gasmode->GetCaption(), " semi-sealed-mode ");
    EXPECT_EQ(Form_main->lab_gasmode->GetColor(), clGray);
    EXPECT_EQ(Form_main->lab_gasmode->GetFont()->GetColor(), clYellow);

    s.errorFlags2 = 0x10; // nitrogen too low, the flushing variant's alarm
    showStatus(s);
    EXPECT_EQ(Form_main->GetPanelState().GasText().Text, " replace nitrogen ");
    EXPECT_TRUE(Form_main->GetPanelState().GasText().Blinks);
    const auto [lit, dark] = blinkPhases();
    EXPECT_EQ(lit, " replace nitrogen ");
    EXPECT_EQ(dark, "");

    s.errorFlags2 = 0;
    s.capabilityFlags = 0x4F;
    Form_main->enable_device(s.deviceFlags);
    showStatus(s);
    EXPECT_EQ(Form_main->lab_gasmode->GetCaption(), "flow-mode");
    EXPECT_EQ(Form_main->lab_gasmode->GetColor(), clBtnFace);
    EXPECT_EQ(Form_main->lab_gasmode->GetFont()->GetColor(), clGreen);
}

} // namespace
