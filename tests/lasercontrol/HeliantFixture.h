//===- HeliantFixture.h - Heliant's forms, a laser server of the test's own, and the loop -*- C++ -*-===//
#pragma once

#include "link/LinkRecords.h"
#include "tests/platform/ui/support/UiTestSupport.h"
#include "tests/support/ScriptedServer.h"
#include "tests/support/TestSupport.h"

#include "platform/kernel/WinExec.h"
#include "platform/user/Messages.h"

#include <gtest/gtest.h>

#include <functional>
#include <ostream>
#include <string>
#include <vector>

using testsupport::ScriptedServer;
using testsupport::SetField;

/// A laser as the panels tests use it: controller version 186, one laser head with a vacuum
/// pump, every capability but "all buttons", online, ready, type "KELMOR" "248".
LaserStatusCopy TypicalLaser();

/// A command as the scripted server took it from the ring.
struct SentCommand {
    uint16_t Code;
    uint32_t Argument;
    bool operator==(const SentCommand&) const = default;
};
std::ostream& operator<<(std::ostream& Out, const SentCommand& S);
using Commands = std::vector<SentCommand>;

/// Heliant's eight forms made as the program makes them, its settings file in a folder of the
/// test's own, boxes and beeps recorded, programs that the library would start only recorded.
class HeliantTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    /// The program's registerlink (the panel then takes notices).
    void registerPanel();
    /// The panel registered and adapted to Laser, as '3' adapts it; the ring emptied.
    void start(const LaserStatusCopy& Laser = TypicalLaser());
    /// The commands the panel sent since the last look, taken from the ring.
    Commands sent();
    /// Frees the forms and makes them again, reading the settings file again.
    void remakeForms();
    /// Publishes the server's status with an event and runs the loop until the panel handled it.
    void notice(uint8_t Event, uint8_t Parameter = 0);
    /// '3' with the server's status: the panel adapts itself to the laser and redraws.
    void announce() { notice(ev_device); }
    /// Runs the application's loop until Done holds; false when it did not within the guard.
    static ::testing::AssertionResult pumpUntil(const std::function<bool()>& Done, int GuardMs = 90000);
    /// Lets the library start programs for real from now on (the simulator tests).
    void allowProgramStarts();

    testsupport::TempDir dir;
    ScriptedServer server;
    uitest::MessageBoxAnswerer boxes;
    uitest::BeepRecorder beeps;
    /// The command lines the library asked to start.
    std::vector<std::string> started;
    int noticesHandled = 0;

private:
    void makeForms();
    void freeForms();

    WinExecHook previousExec_;
};
