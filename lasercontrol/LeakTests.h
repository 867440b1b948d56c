//===- LeakTests.h - Heliant's leak tests: extern flushing's sensor check and the optic test -*- C++ -*-===//
//
// Both tests follow the controller's gas step in the redraws after the server's notices; the
// optic leak test counts the blink events of phase 2 and judges the pressure difference once
// they are over. This class holds their state and decisions; the main form asks the operator,
// sends the commands and shows the notice and the result it is told to.
//
#pragma once

#include <optional>
#include <string>

/// The optic leak test's verdict on the pressure change over the test, in mbar.
std::string OpticLeakTestResult(float PressureDifference);

class LeakTests {
public:
    /// Blink events of phase 2 that the optic leak test lasts.
    static constexpr int OpticTestBlinks = 300;

    // --- Redraws
    /// Gas mode left, or a panel whose gas label does not follow the step: both tests are dropped.
    void Drop();
    /// Extern flushing's sensor check for a redraw in gas mode: true when the operator is to be
    /// asked now (step 5 reached, not asked since, no question up). The form then asks, calls
    /// ExternQuestionAnswered and sends the next leak step.
    bool AskExternQuestion(int Step);
    void ExternQuestionAnswered();

    /// What the optic leak test has the form do after a redraw in gas mode, in this order.
    struct OpticSteps {
        bool ShowNotice = false;   // the leak-test form, while the test runs
        bool HideNotice = false;   // outside steps 9 and 12
        bool SendNextStep = false; // the blinks are over: the test ends
        /// The verdict to show, once the controller has moved on to step 10 or 11.
        std::optional<std::string> Result;
    };
    OpticSteps FollowOptic(int Step, float Pressure);

    // --- Blink phase 2
    /// One blink event of the running optic test.
    void Blink();

    // --- Operator actions
    /// QUIT during the optic test: it ends at the next blink and judges what it has seen.
    void EndAtNextBlink() { countdown_ = 1; }

    // --- The optic test's state, for showing
    bool OpticRunning() const { return countdownRunning_; }
    /// Blink events left; 0 once they are over.
    int Countdown() const { return countdown_; }

private:
    bool questionAsked_ = false;
    bool questionUp_ = false; // notices keep coming while the question is on the screen
    bool countdownRunning_ = false;
    int countdown_ = 0;
    float startPressure_ = 0;
    bool testSent_ = false;
    float pressureDifference_ = 0;
    bool resultPending_ = false;
};
