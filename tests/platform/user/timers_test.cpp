//===- timers_test.cpp - WM_TIMER from SetTimer, silence after KillTimer ===//
#include "platform/user/Messages.h"

#include "tests/platform/user/SessionTest.h"

#include <map>
#include <poll.h>
#include <set>
#include <vector>

namespace {

class Timers : public SessionTest {
protected:
    void SetUp() override
    {
        SessionTest::SetUp();
        window_ = CreateWindowHandle([this](HWND h, UINT m, WPARAM w, LPARAM) -> LRESULT {
            if (h == window_ && m == WM_TIMER)
                ++dispatched_[w];
            return 0;
        });
        ASSERT_NE(window_, 0u);
    }
    void TearDown() override
    {
        DestroyWindow(window_);
        SessionTest::TearDown();
    }

    /// Waits for the next message with GetMessage and dispatches it.
    MSG next()
    {
        MSG m {};
        EXPECT_TRUE(GetMessage(&m));
        DispatchMessage(&m);
        return m;
    }

    /// True when nothing at all comes within a wait many times a timer's interval.
    static bool staysQuiet()
    {
        constexpr int GenerousMs = 300;
        pollfd ready { MessageQueueFd(), POLLIN, 0 };
        MSG m;
        return poll(&ready, 1, GenerousMs) == 0 && !PeekMessage(&m);
    }

    HWND window_ = 0;
    std::map<WPARAM, int> dispatched_;
};

TEST_F(Timers, TimerPostsWmTimerWithItsIdAgainAndAgain)
{
    EXPECT_EQ(SetTimer(window_, 42, 10), 42u);
    for (int i = 0; i < 3; ++i) {
        MSG m = next();
        EXPECT_EQ(m.hwnd, window_);
        EXPECT_EQ(m.message, WM_TIMER);
        EXPECT_EQ(m.wParam, 42u);
    }
    EXPECT_EQ(dispatched_[42], 3) << "WM_TIMER goes to the window procedure";
    EXPECT_TRUE(KillTimer(window_, 42));
}

TEST_F(Timers, KilledTimerFallsSilent)
{
    SetTimer(window_, 1, 10);
    EXPECT_EQ(next().message, WM_TIMER);
    EXPECT_TRUE(KillTimer(window_, 1));
    EXPECT_TRUE(staysQuiet());
    EXPECT_FALSE(KillTimer(window_, 1)) << "already killed";
}

TEST_F(Timers, SeveralTimersEachArrive)
{
    SetTimer(window_, 1, 10);
    SetTimer(window_, 2, 15);
    std::set<WPARAM> seen;
    while (seen.size() < 2) {
        MSG m = next();
        ASSERT_EQ(m.message, WM_TIMER);
        seen.insert(m.wParam);
    }
    EXPECT_EQ(seen, (std::set<WPARAM> { 1, 2 }));
    KillTimer(window_, 1);
    KillTimer(window_, 2);
    EXPECT_TRUE(staysQuiet());
}

TEST_F(Timers, SettingTheSameIdAgainKeepsOneTimer)
{
    SetTimer(window_, 5, 10);
    // Restarted with an interval far beyond the quiet wait: a 10 ms timer left beside it would
    // fire within that wait.
    EXPECT_EQ(SetTimer(window_, 5, 600000), 5u);
    EXPECT_TRUE(staysQuiet()) << "the first timer of the same ID did not survive";
    EXPECT_TRUE(KillTimer(window_, 5));
}

TEST_F(Timers, PostedMessagesComeBeforeADueTimer)
{
    SetTimer(window_, 3, 10);
    // With nothing posted, the queue descriptor turns readable only once the timer is due.
    pollfd ready { MessageQueueFd(), POLLIN, 0 };
    ASSERT_EQ(poll(&ready, 1, 60000), 1) << "the timer never came due";
    ASSERT_TRUE(PostMessage(window_, WM_USER, 0, 0));
    EXPECT_EQ(next().message, WM_USER);
    EXPECT_EQ(next().message, WM_TIMER);
    KillTimer(window_, 3);
}

TEST_F(Timers, DestroyingTheWindowKillsItsTimers)
{
    HWND other = CreateWindowHandle(nullptr);
    SetTimer(other, 8, 10);
    EXPECT_TRUE(DestroyWindow(other));
    EXPECT_FALSE(KillTimer(other, 8));
    EXPECT_TRUE(staysQuiet());
}

TEST_F(Timers, RefusedTimers)
{
    EXPECT_EQ(SetTimer(window_ + 1000, 1, 10), 0u) << "no such window";
    EXPECT_EQ(SetTimer(window_, 0, 10), 0u) << "ID 0 could not be told from failure";
    EXPECT_FALSE(KillTimer(window_, 99));
}

TEST_F(Timers, TimerWithoutAWindowGetsAFreshId)
{
    uintptr_t first = SetTimer(0, 0, 10);
    uintptr_t second = SetTimer(0, 0, 10);
    EXPECT_NE(first, 0u);
    EXPECT_NE(second, 0u);
    EXPECT_NE(first, second);
    std::set<WPARAM> seen;
    while (seen.size() < 2) {
        MSG m = next();
        ASSERT_EQ(m.message, WM_TIMER);
        EXPECT_EQ(m.hwnd, 0u);
        seen.insert(m.wParam);
    }
    EXPECT_EQ(seen, (std::set<WPARAM> { first, second }));
    EXPECT_TRUE(KillTimer(0, first));
    EXPECT_TRUE(KillTimer(0, second));
    EXPECT_TRUE(staysQuiet());
}

} // namespace
