//===- message_loop_test.cpp - The queue, dispatching, quitting and the queue descriptor ===//
#include "platform/user/Messages.h"

#include "tests/platform/user/SessionTest.h"

#include "platform/kernel/Clock.h"

#include <poll.h>
#include <thread>
#include <vector>

namespace {

bool queueReadable(int waitMs = 0)
{
    pollfd ready { MessageQueueFd(), POLLIN, 0 };
    return poll(&ready, 1, waitMs) == 1 && (ready.revents & POLLIN);
}

/// Readable within a minute: a message becomes visible once the receiver thread has taken it in.
/// The minute only guards against a hung test; nothing is timed.
bool queueTurnsReadable()
{
    constexpr int GuardMs = 60000;
    return queueReadable(GuardMs);
}

class MessageLoop : public SessionTest {
protected:
    void TearDown() override
    {
        MSG m;
        while (PeekMessage(&m)) {
        }
        for (HWND window : windows_)
            DestroyWindow(window);
        SessionTest::TearDown();
    }

    HWND makeWindow(WNDPROC proc = nullptr)
    {
        HWND window = CreateWindowHandle(std::move(proc));
        EXPECT_NE(window, 0u);
        windows_.push_back(window);
        return window;
    }

private:
    std::vector<HWND> windows_;
};

struct Call {
    HWND hwnd;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    bool operator==(const Call&) const = default;
};

TEST_F(MessageLoop, DispatchHandsTheMessageToItsWindowProcedure)
{
    std::vector<Call> calls;
    HWND window = makeWindow([&](HWND h, UINT m, WPARAM w, LPARAM l) -> LRESULT {
        calls.push_back({ h, m, w, l });
        return 77;
    });
    ASSERT_TRUE(PostMessage(window, WM_USER + 3, 11, -12));
    MSG m;
    ASSERT_TRUE(GetMessage(&m));
    EXPECT_EQ(DispatchMessage(&m), 77);
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0], (Call { window, WM_USER + 3, 11, -12 }));

    MSG unknown { window + 1000, WM_USER, 0, 0, 0 };
    EXPECT_EQ(DispatchMessage(&unknown), 0);
    EXPECT_EQ(calls.size(), 1u);
}

TEST_F(MessageLoop, ProcedureMayDestroyItsOwnWindow)
{
    int calls = 0;
    HWND window = makeWindow([&](HWND h, UINT, WPARAM, LPARAM) -> LRESULT {
        ++calls;
        return DestroyWindow(h) ? 1 : 0;
    });
    ASSERT_TRUE(PostMessage(window, WM_CLOSE, 0, 0));
    ASSERT_TRUE(PostMessage(window, WM_CLOSE, 0, 0));
    MSG m;
    ASSERT_TRUE(GetMessage(&m));
    EXPECT_EQ(DispatchMessage(&m), 1);
    EXPECT_FALSE(IsWindow(window));
    EXPECT_FALSE(PeekMessage(&m)) << "the second message went with the window";
    EXPECT_EQ(calls, 1);
}

TEST_F(MessageLoop, MessageCarriesTheClockOfWhenItWasTaken)
{
    HWND window = makeWindow();
    ASSERT_TRUE(PostMessage(window, WM_USER, 0, 0));
    uint32_t before = timeGetTime();
    MSG m;
    ASSERT_TRUE(PeekMessage(&m));
    uint32_t after = timeGetTime();
    // Differences, not values: the clock wraps like the original's.
    EXPECT_LE(m.time - before, after - before);
}

TEST_F(MessageLoop, QuitComesAfterWhatWasPostedBefore)
{
    HWND window = makeWindow();
    ASSERT_TRUE(PostMessage(window, WM_USER, 1, 0));
    PostQuitMessage(-3);
    MSG m;
    ASSERT_TRUE(GetMessage(&m));
    EXPECT_EQ(m.wParam, 1u);
    EXPECT_FALSE(GetMessage(&m));
    EXPECT_EQ(m.message, WM_QUIT);
    EXPECT_EQ(static_cast<int>(m.wParam), -3) << "the exit code";
    EXPECT_FALSE(PeekMessage(&m)) << "one quit, taken once";
}

TEST_F(MessageLoop, OtherThreadsWakeABlockedGetMessage)
{
    HWND window = makeWindow();
    // Each thread starts only after the loop has nothing left, so GetMessage has to wait.
    std::thread poster([window] { PostMessage(window, WM_USER + 9, 5, 0); });
    MSG m;
    ASSERT_TRUE(GetMessage(&m));
    EXPECT_EQ(m.message, WM_USER + 9);
    poster.join();

    std::thread quitter([] { PostQuitMessage(4); });
    EXPECT_FALSE(GetMessage(&m));
    EXPECT_EQ(m.message, WM_QUIT);
    EXPECT_EQ(m.wParam, 4u);
    quitter.join();
}

TEST_F(MessageLoop, QueueDescriptorIsReadableExactlyWhileAMessageWaits)
{
    HWND window = makeWindow();
    EXPECT_FALSE(queueReadable());
    ASSERT_TRUE(PostMessage(window, WM_USER, 1, 0));
    EXPECT_TRUE(queueTurnsReadable()) << "without any look at the queue";
    ASSERT_TRUE(PostMessage(window, WM_USER, 2, 0));

    MSG m;
    ASSERT_TRUE(PeekMessage(&m));
    EXPECT_EQ(m.wParam, 1u);
    EXPECT_TRUE(queueReadable()) << "the second one, already in the queue, still waits";
    ASSERT_TRUE(PeekMessage(&m));
    EXPECT_EQ(m.wParam, 2u);
    EXPECT_FALSE(queueReadable());

    PostQuitMessage(0);
    EXPECT_TRUE(queueReadable());
    EXPECT_FALSE(GetMessage(&m));
    EXPECT_FALSE(queueReadable());
}

TEST_F(MessageLoop, DestroyingAWindowDropsOnlyItsWaitingMessages)
{
    HWND gone = makeWindow(), kept = makeWindow();
    ASSERT_TRUE(PostMessage(gone, WM_USER, 101, 0));
    ASSERT_TRUE(PostMessage(gone, WM_USER, 102, 0));
    ASSERT_TRUE(PostMessage(kept, WM_USER, 1, 0));
    ASSERT_TRUE(PostMessage(kept, WM_USER, 2, 0));
    // One look moves everything from both sockets into the local queue and takes the first.
    MSG m;
    ASSERT_TRUE(PeekMessage(&m));
    std::vector<WPARAM> ofKept;
    if (m.hwnd == kept)
        ofKept.push_back(m.wParam);

    EXPECT_TRUE(DestroyWindow(gone));
    while (PeekMessage(&m)) {
        EXPECT_EQ(m.hwnd, kept) << "message " << m.wParam << " of the destroyed window";
        ofKept.push_back(m.wParam);
    }
    EXPECT_EQ(ofKept, (std::vector<WPARAM> { 1, 2 }));
}

} // namespace
