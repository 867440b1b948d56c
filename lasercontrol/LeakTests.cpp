//===- LeakTests.cpp - Heliant's leak tests: extern flushing's sensor check and the optic test ---===//
#include "lasercontrol/LeakTests.h"

#include <cmath>

namespace {

/// The largest pressure change, in mbar, that still counts as tight.
constexpr float LeakLimit = 200.0f;

} // namespace

std::string OpticLeakTestResult(float PressureDifference)
{
    // A reading that is no number cannot prove the chamber tight.
    const bool leakage = !std::isfinite(PressureDifference) || std::fabs(PressureDifference) > LeakLimit;
    return leakage ? "leakage error  => please check the O-ring" : "last leak test successful";
}

void LeakTests::Drop()
{
    countdownRunning_ = false;
    testSent_ = false;
    resultPending_ = false;
}

bool LeakTests::AskExternQuestion(int Step)
{
    if (Step != 5) {
        questionAsked_ = false;
        return false;
    }
    if (questionAsked_ || questionUp_)
        return false;
    questionAsked_ = true;
    questionUp_ = true;
    return true;
}

void LeakTests::ExternQuestionAnswered() { questionUp_ = false; }

LeakTests::OpticSteps LeakTests::FollowOptic(int Step, float Pressure)
{
    OpticSteps steps;
    if (Step != 12) {
        countdownRunning_ = false;
        testSent_ = false;
    }
    steps.HideNotice = Step != 9 && Step != 12;

    if (Step == 12) {
        steps.ShowNotice = true;
        if (!countdownRunning_) {
            countdown_ = OpticTestBlinks;
            countdownRunning_ = true;
            startPressure_ = Pressure;
            resultPending_ = false;
        }
        if (countdown_ == 0 && !testSent_) {
            testSent_ = true;
            steps.SendNextStep = true;
            pressureDifference_ = Pressure - startPressure_;
            resultPending_ = true;
        }
    }

    if (Step < 9 || Step > 12)
        resultPending_ = false;
    if ((Step == 10 || Step == 11) && resultPending_) {
        resultPending_ = false;
        steps.Result = OpticLeakTestResult(pressureDifference_);
    }
    return steps;
}

void LeakTests::Blink()
{
    if (countdownRunning_ && countdown_ > 0)
        --countdown_;
}
