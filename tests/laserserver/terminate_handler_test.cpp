//===- terminate_handler_test.cpp - Terminate requests reach the program instead of ending it ---===//
#include "platform/kernel/Signals.h"

#include <atomic>
#include <condition_variable>
#include <csignal>
#include <mutex>
#include <gtest/gtest.h>

namespace {

TEST(TerminateHandler, EachRequestCallsTheHandlerAndTheProcessGoesOn)
{
    std::mutex lock;
    std::condition_variable changed;
    int calls = 0;
    SetTerminateHandler([&] {
        std::lock_guard hold(lock);
        ++calls;
        changed.notify_all();
    });
    for (int signal : { SIGTERM, SIGINT, SIGHUP }) {
        int before;
        {
            std::lock_guard hold(lock);
            before = calls;
        }
        ASSERT_EQ(std::raise(signal), 0);
        std::unique_lock hold(lock);
        // The handler runs on its own thread; wait for it, not for a time.
        changed.wait(hold, [&] { return calls > before; });
        EXPECT_EQ(calls, before + 1) << "signal " << signal;
    }
    SetTerminateHandler(nullptr);
}

TEST(TerminateHandler, AnEmptyHandlerRestoresTheDefault)
{
    SetTerminateHandler([] {});
    SetTerminateHandler(nullptr);
    struct sigaction current {};
    ASSERT_EQ(sigaction(SIGTERM, nullptr, &current), 0);
    EXPECT_EQ(current.sa_handler, SIG_DFL);
}

} // namespace
