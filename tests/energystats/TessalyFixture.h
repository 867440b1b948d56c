//===- TessalyFixture.h - Tessaly's forms, a laser server of the test's own, and the loop -*- C++ -*-===//
#pragma once

#include "link/LinkRecords.h"
#include "tests/platform/ui/support/UiTestSupport.h"
#include "tests/support/MessagePump.h"
#include "tests/support/ScriptedServer.h"
#include "tests/support/TestSupport.h"

#include "platform/kernel/WinExec.h"
#include "platform/user/Messages.h"

#include <gtest/gtest.h>

#include <array>
#include <functional>
#include <span>
#include <string>
#include <vector>

/// The test's laser server, answering the commands queued for it as soon as the loop delivers
/// the library's message, through OnCommand, logging each.
class ScriptedLaser : public testsupport::ScriptedServer {
public:
    ScriptedLaser();

    /// Every command fetched so far, in order.
    std::vector<LaserCommand> Log;
    std::function<void(const LaserCommand&)> OnCommand;
    /// Fetches and forgets what earlier tests left in the ring (it lives in the shared block).
    void Drain();
    /// Fetches, logs and obeys what waits in the ring now, without waiting for the loop to
    /// deliver the library's message: everything the program sent so far is then in the log.
    void Take() { fetch(); }
    /// The block's data regions as this process maps them (valid once the library is loaded).
    std::span<float> Energies();
    std::span<double> Times();
    std::span<int32_t> Histogram();

private:
    void fetch();
};

/// A laser that obeys: laser on charges at once, repetition fires, laser off and trigger off
/// stop; each change is published with the event the simulator uses.
void ObeyingLaser(ScriptedLaser& Laser);

/// Tessaly's forms made as the program makes them (the main form registers at once), the
/// settings file in a folder of the test's own, boxes recorded and answered.
class TessalyTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    /// Writes the settings file before the forms are made.
    void writeSettings(const std::string& Text);
    void makeForms();
    void freeForms();
    /// Publishes an event and runs the loop until the form handled it.
    void notice(uint8_t Event, uint8_t Parameter = 0);
    static ::testing::AssertionResult pumpUntil(const std::function<bool()>& Done, int GuardMs = 90000)
    {
        return testsupport::PumpUntil(Done, GuardMs);
    }
    /// The codes of the logged commands.
    std::vector<uint16_t> codes() const;

    testsupport::TempDir dir;
    ScriptedLaser laser;
    uitest::MessageBoxAnswerer boxes;
    int noticesHandled = 0;
    /// How many notices of each event code the form handled.
    std::array<int, 256> handledByCode {};

private:
    WinExecHook previousExec_;
};
