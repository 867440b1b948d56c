//===- MessagePump.cpp - Running the program's message loop in a test ---===//
#include "tests/support/MessagePump.h"

#include "tests/support/TestSupport.h"

#include "platform/ui/forms/TApplication.h"
#include "platform/user/Messages.h"

#include <chrono>

namespace testsupport {

::testing::AssertionResult PumpUntil(const std::function<bool()>& Done, int GuardMs)
{
    // The timer only wakes the loop now and then, so that the guard is looked at; the loop
    // itself waits for the messages.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(GuardMs);
    const uintptr_t timer = SetTimer(0, 0, 50);
    bool done = Done();
    while (!done && std::chrono::steady_clock::now() < deadline) {
        Application->HandleMessage();
        done = Done();
    }
    KillTimer(0, timer);
    return done ? ::testing::AssertionSuccess() : GuardExpired(GuardMs);
}

} // namespace testsupport
