//===- gas_procedures_test.cpp - New fill, inert fill, flushing and the two leak tests ---===//
#include "lasercontrol/TForm_main.h"

#include "controls/Tmesbox.h"
#include "controls/tmbox.h"
#include "lasercontrol/TForm_opt_teaktest.h"
#include "lasercontrol/Tflushingform.h"
#include "lasercontrol/Tmsgbox.h"
#include "tests/lasercontrol/HeliantFixture.h"

#include "platform/ui/controls/StdCtrls.h"
#include "platform/user/Dialogs.h"

#include <cmath>
#include <limits>

namespace {

struct Stage {
    std::string Caption;
    TColor Color;
    std::string Text;
};

class GasProceduresTest : public HeliantTest {
protected:
    /// Answers the next confirmation with Result and records what it showed.
    void answer(TModalResult Result)
    {
        modal.Then([this, Result](TForm& Form) {
            auto& box = dynamic_cast<Tmsgbox&>(Form);
            stages.push_back({ box.GetCaption(), box.GetColor(), box.lab_txt->GetCaption() });
            Form.ModalResult = Result;
        });
    }
    /// The laser in gas mode at Step, redrawn.
    void atStep(int Step, float Pressure = 2800.0f)
    {
        server.Copy().stateFlags |= sf_gasmode;
        server.Copy().gasState = uint8_t(Step);
        server.Copy().pressure = Pressure;
        // A notice that is no blink: only the blink events count the optic leak test down.
        notice(ev_txoff);
    }

    uitest::ModalAnswerer modal;
    std::vector<Stage> stages;
};

// --- The confirmations

TEST_F(GasProceduresTest, NewFillAsksTwiceAndStopsTheLaserInBetween)
{
    start();
    answer(mrYes);
    answer(mrYes);
    Form_main->btn_newfill->Click();
    EXPECT_EQ(sent(), (Commands { { cmd_laseroff, 0 }, { cmd_newfill, 0 } }));
    ASSERT_EQ(stages.size(), 2u);
    EXPECT_EQ(stages[0].Caption, "NEWFILL");
    EXPECT_EQ(stages[0].Color, clRed);
    EXPECT_EQ(stages[0].Text, "Are You sure?");
    EXPECT_EQ(stages[1].Color, clYellow);
    EXPECT_EQ(stages[1].Text, "Please open PREMIX !");
}

TEST_F(GasProceduresTest, NewFillCancelledAtEitherStage)
{
    start();
    answer(mrCancel);
    Form_main->btn_newfill->Click();
    EXPECT_TRUE(sent().empty());
    answer(mrYes);
    answer(mrCancel);
    Form_main->btn_newfill->Click();
    EXPECT_EQ(sent(), (Commands { { cmd_laseroff, 0 } })) << "the laser stays off";
}

TEST_F(GasProceduresTest, ConfirmationOpensWithCancelFocused)
{
    start();
    bool cancelFocused = false;
    modal.Then([&](TForm& Form) {
        cancelFocused = dynamic_cast<Tmsgbox&>(Form).btn_cancel->Focused();
        Form.ModalResult = mrCancel;
    });
    msgbox->Confirm("NEWFILL", clRed, "Are You sure?");
    EXPECT_TRUE(cancelFocused);
}

struct FlushRow {
    TButton* Tflushingform::*Button;
    std::string Caption;
    std::string FirstText;
    uint8_t SubCommand;
};

TEST_F(GasProceduresTest, EachFlushingButtonClosesTheFormAndRunsItsProcedure)
{
    start();
    const FlushRow rows[] = {
        { &Tflushingform::btn_flushext, "EXTERN FLUSHING", "Please close PREMIX bottle mainvalve !", 3 },
        { &Tflushingform::btn_flushint, "INTERN FLUSHING", "Are You sure?", 4 },
        { &Tflushingform::btn_fillinert, "FILL INERT", "Are You sure?", 6 },
    };
    for (const FlushRow& R : rows) {
        stages.clear();
        Form_main->btn_gmFlush->Click();
        ASSERT_TRUE(flushingform->GetVisible());
        answer(mrYes);
        answer(mrYes);
        (flushingform->*R.Button)->Click();
        EXPECT_FALSE(flushingform->GetVisible()) << R.Caption;
        EXPECT_EQ(sent(), (Commands { { cmd_gasmode, GasModeArgument(R.SubCommand) } })) << R.Caption;
        ASSERT_EQ(stages.size(), 2u);
        EXPECT_EQ(stages[0].Caption, R.Caption);
        EXPECT_EQ(stages[0].Text, R.FirstText);
        EXPECT_EQ(stages[1].Text, "Please open INERT ( >3 bar )!");
        EXPECT_EQ(stages[1].Color, clYellow);
    }
    Form_main->btn_gmFlush->Click();
    flushingform->btn_exit->Click();
    EXPECT_FALSE(flushingform->GetVisible());
    EXPECT_TRUE(sent().empty());
}

TEST_F(GasProceduresTest, CancelAtTheSecondStageOfAFlushingSendsNothing)
{
    start();
    answer(mrYes);
    answer(mrCancel);
    Form_main->tflushext();
    EXPECT_TRUE(sent().empty());
    EXPECT_EQ(stages.size(), 2u);
}

// --- Extern flushing leak test

TEST_F(GasProceduresTest, StepFiveAsksOnceThenStartsTheLeakTest)
{
    start();
    atStep(3);
    sent();
    atStep(5);
    ASSERT_EQ(boxes.Boxes().size(), 1u);
    EXPECT_EQ(boxes.Boxes()[0].Text, "check pressure sensor at gas bottle for leak test");
    EXPECT_EQ(boxes.Boxes()[0].Type & 0x0F, UINT(MB_OK));
    ASSERT_FALSE(beeps.Beeps().empty());
    EXPECT_EQ(beeps.Beeps().back(), UINT(MB_ICONINFORMATION));
    EXPECT_EQ(sent(), (Commands { { cmd_gasmode, GasModeArgument(5) } }));
    atStep(5);
    EXPECT_EQ(boxes.Boxes().size(), 1u);
    EXPECT_TRUE(sent().empty());
    // Back at step 5 after another step: asked again.
    atStep(6);
    atStep(5);
    EXPECT_EQ(boxes.Boxes().size(), 2u);
    EXPECT_EQ(sent(), (Commands { { cmd_gasmode, GasModeArgument(5) } }));
}

TEST_F(GasProceduresTest, TheLeakTestQuestionStandsBesideItsStepsText)
{
    start();
    atStep(4);
    std::string shown;
    boxes.WhileUp = [&](const uitest::BoxRecord&) { shown = Form_main->lab_gasmode->GetCaption(); };
    atStep(5);
    ASSERT_EQ(boxes.Boxes().size(), 1u);
    EXPECT_EQ(shown, "extern flushing leak test");
}

TEST_F(GasProceduresTest, NoticesDuringTheQuestionNeverAskASecondTime)
{
    start();
    boxes.WhileUp = [&](const uitest::BoxRecord&) {
        // The controller moves away and back while the operator reads.
        LaserStatusCopy copy = server.Copy();
        copy.gasState = 6;
        Form_main->takeStatus(copy);
        Form_main->Lgetstatus();
        copy.gasState = 5;
        Form_main->takeStatus(copy);
        Form_main->Lgetstatus();
    };
    atStep(5);
    EXPECT_EQ(boxes.Boxes().size(), 1u);
    EXPECT_EQ(sent(), (Commands { { cmd_gasmode, GasModeArgument(5) } }));
}

// --- Optic leak test

class OpticLeakTest : public GasProceduresTest {
protected:
    /// Intern flushing, the optic changed, the test started and run over Blinks blink events
    /// while the pressure goes from 2800 mbar to End.
    void runTest(float End, int Blinks = 300)
    {
        start();
        atStep(9);
        atStep(10);
        atStep(11);
        atStep(12);
        EXPECT_TRUE(Form_opt_teaktest->GetVisible());
        EXPECT_EQ(Form_main->GetLeakTests().Countdown(), 300);
        server.Copy().pressure = End;
        for (int i = 0; i < Blinks; ++i)
            notice(ev_blink2, 1);
        sent();
    }
    std::string resultShown()
    {
        Tmesbox* box = Form_main->tmbox1->Form();
        return box ? box->Label1->GetCaption() : "";
    }
};

TEST_F(OpticLeakTest, ARiseOfExactly200MbarIsTight)
{
    runTest(3000.0f);
    atStep(12, 3000.0f);
    EXPECT_EQ(sent(), (Commands { { cmd_gasmode, GasModeArgument(5) } }));
    atStep(12, 3000.0f);
    EXPECT_TRUE(sent().empty()) << "the end is sent once";
    EXPECT_EQ(resultShown(), "");
    const size_t beepsBefore = beeps.Beeps().size();
    atStep(10, 3000.0f);
    EXPECT_FALSE(Form_opt_teaktest->GetVisible());
    ASSERT_NE(Form_main->tmbox1->Form(), nullptr);
    EXPECT_EQ(Form_main->tmbox1->Form()->GetCaption(), "ATTENTION");
    EXPECT_EQ(resultShown(), "last leak test successful");
    EXPECT_EQ(Form_main->tmbox1->Form()->but1->GetCaption(), "CONTINUE");
    ASSERT_EQ(beeps.Beeps().size(), beepsBefore + 1);
    EXPECT_EQ(beeps.Beeps().back(), UINT(MB_ICONINFORMATION));
}

TEST_F(OpticLeakTest, ARiseOf200Point5MbarIsLeakage)
{
    runTest(3000.5f);
    atStep(12, 3000.5f);
    atStep(11, 3000.5f);
    EXPECT_EQ(resultShown(), "leakage error  => please check the O-ring");
}

TEST_F(OpticLeakTest, TheTestNeedsAll300BlinkEvents)
{
    runTest(2800.0f, 299);
    atStep(12);
    EXPECT_TRUE(sent().empty());
    EXPECT_EQ(Form_main->GetLeakTests().Countdown(), 1);
}

TEST_F(OpticLeakTest, LeavingStep12EarlyDropsTheTestWithoutAMessage)
{
    runTest(2800.0f, 100);
    atStep(10);
    EXPECT_EQ(resultShown(), "");
    EXPECT_FALSE(Form_main->GetLeakTests().OpticRunning());
    EXPECT_TRUE(sent().empty());
}

TEST_F(OpticLeakTest, QuitEndsTheTestAtTheNextBlink)
{
    runTest(2850.0f, 10);
    Form_main->btn_gmquitt->Click();
    EXPECT_TRUE(sent().empty());
    notice(ev_blink2, 1);
    atStep(12, 2850.0f);
    EXPECT_EQ(sent(), (Commands { { cmd_gasmode, GasModeArgument(5) } }));
    atStep(10, 2850.0f);
    EXPECT_EQ(resultShown(), "last leak test successful");
}

TEST(OpticLeakTestResultTest, DifferencesBeyond200EitherWayOrNoNumberAreLeakage)
{
    EXPECT_EQ(OpticLeakTestResult(-200.0f), "last leak test successful");
    EXPECT_EQ(OpticLeakTestResult(-200.5f), "leakage error  => please check the O-ring");
    EXPECT_EQ(OpticLeakTestResult(std::numeric_limits<float>::quiet_NaN()),
              "leakage error  => please check the O-ring");
    EXPECT_EQ(OpticLeakTestResult(std::numeric_limits<float>::infinity()), "leakage error  => please check the O-ring");
}

} // namespace
