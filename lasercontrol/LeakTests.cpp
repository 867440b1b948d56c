//===- LeakTests.cpp - Heliant's leak tests: extern flushing's sensor check and the optic test ---===//
//
// Both tests follow the controller's gas step in the redraws; the optic leak test counts the
// blink events of phase 2 and judges the pressure difference once they are over.
//
#include "lasercontrol/TForm_main.h"

#include "controls/tmbox.h"
#include "lasercontrol/PanelRules.h"
#include "lasercontrol/TForm_opt_teaktest.h"
#include "platform/ui/TApplication.h"
#include "platform/user/Dialogs.h"

#include <cmath>

namespace {

constexpr int OpticLeakTestBlinks = 300;
/// The largest pressure change, in mbar, that still counts as tight.
constexpr float LeakLimit = 200.0f;

} // namespace

void TForm_main::followLeakTests()
{
    const int step = GasStep(statusCopy);
    externLeakTest(step);
    opticLeakTest(step);
}

void TForm_main::externLeakTest(int Step)
{
    if (Step != 5) {
        leakTest.questionAsked = false;
        return;
    }
    // Notices keep coming while the question is up; they must not ask a second time.
    if (leakTest.questionAsked || leakQuestionUp_)
        return;
    leakTest.questionAsked = true;
    leakQuestionUp_ = true;
    MessageBeep(MB_ICONINFORMATION);
    Application->MessageBox("check pressure sensor at gas bottle for leak test", "EXTERN FLUSHING", MB_OK);
    leakQuestionUp_ = false;
    gasMode(gas_nextleakstep);
}

void TForm_main::opticLeakTest(int Step)
{
    if (Step != 12) {
        leakTest.countdownRunning = false;
        leakTest.testSent = false;
    }
    if (Step != 9 && Step != 12 && Form_opt_teaktest)
        Form_opt_teaktest->Hide();

    if (Step == 12) {
        if (Form_opt_teaktest)
            Form_opt_teaktest->Show();
        if (!leakTest.countdownRunning) {
            leakTest.countdown = OpticLeakTestBlinks;
            leakTest.countdownRunning = true;
            leakTest.startPressure = statusCopy.pressure;
            leakTest.resultPending = false;
        }
        if (leakTest.countdown == 0 && !leakTest.testSent) {
            leakTest.testSent = true;
            gasMode(gas_nextleakstep);
            leakTest.pressureDifference = statusCopy.pressure - leakTest.startPressure;
            leakTest.resultPending = true;
        }
    }

    if (Step < 9 || Step > 12)
        leakTest.resultPending = false;
    if ((Step == 10 || Step == 11) && leakTest.resultPending) {
        leakTest.resultPending = false;
        MessageBeep(MB_ICONINFORMATION);
        tmbox1->ShowMessage("ATTENTION", OpticLeakTestResult(leakTest.pressureDifference), "CONTINUE");
    }
}

std::string OpticLeakTestResult(float PressureDifference)
{
    // A reading that is no number cannot prove the chamber tight.
    const bool leakage = !std::isfinite(PressureDifference) || std::fabs(PressureDifference) > LeakLimit;
    return leakage ? "leakage error  => please check the O-ring" : "last leak test successful";
}
