//===- receiver_thread_test.cpp - The queue's depth while its loop is busy; fork and exit ===//
#include "platform/user/Messages.h"

#include "tests/platform/user/SessionTest.h"
#include "tests/platform/user/UserHelper.h"

#include "platform/user/MessageQueue_p.h"
#include "platform/user/Outbox_p.h"

#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdint>
#include <fcntl.h>
#include <functional>
#include <poll.h>
#include <stdexcept>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <thread>
#include <vector>

namespace {

constexpr size_t Limit = user_private::MessageQueue::LocalQueueLimit;

/// A forked copy of this test process running Body(input, output) on two pipes; Body's result is
/// the exit code. Killed and reaped when the object goes, if still running.
class ForkedChild {
public:
    explicit ForkedChild(const std::function<int(int In, int Out)>& Body)
    {
        int down[2], up[2];
        if (pipe2(down, O_CLOEXEC) != 0)
            throw std::runtime_error("ForkedChild: pipe failed");
        if (pipe2(up, O_CLOEXEC) != 0) {
            close(down[0]);
            close(down[1]);
            throw std::runtime_error("ForkedChild: pipe failed");
        }
        pid_ = fork();
        if (pid_ == 0) {
            close(down[1]);
            close(up[0]);
            int code = 99;
            try {
                code = Body(down[0], up[1]);
            } catch (...) {
            }
            _exit(code); // never back into the test framework
        }
        close(down[0]);
        close(up[1]);
        toChild_ = down[1];
        fromChild_ = up[0];
        if (pid_ < 0)
            throw std::runtime_error("ForkedChild: fork failed");
    }
    ~ForkedChild()
    {
        if (!reaped_) {
            kill(pid_, SIGKILL);
            waitpid(pid_, nullptr, 0);
        }
        close(toChild_);
        close(fromChild_);
    }

    /// The next word the child wrote; 0 when it ended or stayed silent for a minute (a guard
    /// against a hung test, not a measurement, whose expiry fails the test).
    uint32_t read()
    {
        uint32_t word = 0;
        return readable("its next word") && ::read(fromChild_, &word, sizeof word) == sizeof word ? word : 0;
    }
    void write(uint32_t Word)
    {
        if (::write(toChild_, &Word, sizeof Word) != sizeof Word)
            throw std::runtime_error("ForkedChild: the child does not take input");
    }
    /// The exit code; -1 for a child killed by a signal or one that hung for a minute.
    int wait()
    {
        // The pipe reaches its end when the child's copy of it closes, at exit.
        bool ended = false;
        for (char rest; !ended && readable("its end");)
            ended = ::read(fromChild_, &rest, 1) <= 0;
        if (!ended)
            kill(pid_, SIGKILL);
        int status = 0;
        while (waitpid(pid_, &status, 0) < 0 && errno == EINTR) {
        }
        reaped_ = true;
        return ended && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

private:
    bool readable(const char* Awaited)
    {
        constexpr int GuardMs = 60000;
        pollfd ready { fromChild_, POLLIN, 0 };
        int count;
        do
            count = poll(&ready, 1, GuardMs);
        while (count < 0 && errno == EINTR);
        if (count == 0)
            ADD_FAILURE() << "the forked child (pid " << pid_ << ") stayed silent for the guard of " << GuardMs
                          << " ms while the test waited for " << Awaited;
        return count == 1;
    }

    pid_t pid_ = -1;
    int toChild_ = -1;
    int fromChild_ = -1;
    bool reaped_ = false;
};

uint64_t sequenceOf(WPARAM wParam) { return uint64_t(wParam) & 0xFFFFFFFF; }

class ReceiverThread : public SessionTest {};

TEST_F(ReceiverThread, BusyReceiverGetsEveryMessageInOrder)
{
    // The receiver makes its window and then does not look at its queue until told to drain, as
    // if its GUI thread were busy for the whole burst.
    constexpr int Count = 5000;
    UserHelper receiver({ "windows", "1" });
    HWND window = handleOf(receiver.answer1());
    ASSERT_NE(window, 0u);
    for (int i = 0; i < Count; ++i)
        ASSERT_TRUE(PostMessage(window, WM_USER + 2, WPARAM(i), -LPARAM(i))) << "post " << i << " refused";

    receiver.send("drain");
    std::vector<Received> got = parseReceived(receiver.answer());
    ASSERT_EQ(got.size(), size_t(Count));
    for (int i = 0; i < Count; ++i) {
        ASSERT_EQ(got[i].hwnd, window) << i;
        ASSERT_EQ(got[i].message, WM_USER + 2) << i;
        ASSERT_EQ(got[i].wParam, WPARAM(i)) << "order broken at " << i;
        ASSERT_EQ(got[i].lParam, -LPARAM(i)) << i;
    }
    EXPECT_EQ(receiver.wait(), 0) << "ends cleanly with its receiver thread running";
}

TEST_F(ReceiverThread, LoopBusyByTurnsLosesNothingAndKeepsEachSendersOrder)
{
    // The loop takes messages straight from its socket, then now and then stays away long enough
    // for the socket to fill: the receiver thread must take over at once (the senders go on well
    // past what a socket holds), and hand back when the loop has caught up, again and again.
    constexpr int Count = 3000, Senders = 2, BusyEvery = 500;
    HWND window = CreateWindowHandle(nullptr);
    ASSERT_NE(window, 0u);
    std::atomic<int> posted { 0 }, refused { 0 };
    std::vector<std::thread> senders;
    for (int tag = 0; tag < Senders; ++tag)
        senders.emplace_back([&, tag] {
            for (int i = 0; i < Count; ++i) {
                refused += !PostMessage(window, WM_USER, (WPARAM(tag) << 32) + WPARAM(i), 0);
                ++posted;
            }
        });

    std::vector<int> next(Senders, 0);
    int taken = 0, overtaken = 0;
    MSG m;
    while (taken < Senders * Count && GetMessage(&m)) {
        const int tag = int(m.wParam >> 32);
        ASSERT_LT(tag, Senders);
        ASSERT_EQ(int(m.wParam & 0xFFFFFFFF), next[tag]) << "sender " << tag << " out of order";
        ++next[tag];
        if (++taken % BusyEvery == 0) {
            // Busy until the senders have put more in than the socket could hold, or are done.
            for (int wait = 0; wait < 2000 && posted - taken <= int(kernelDatagramQueue()) && posted < Senders * Count;
                 ++wait)
                usleep(1000);
            overtaken += posted - taken > int(kernelDatagramQueue());
        }
    }
    for (std::thread& sender : senders)
        sender.join();
    EXPECT_EQ(taken, Senders * Count);
    EXPECT_EQ(refused, 0) << "no post may fail below the queue's limit";
    EXPECT_GT(overtaken, 0) << "the senders never got past a full socket while the loop was busy";
    EXPECT_FALSE(PeekMessage(&m));
    DestroyWindow(window);
}

TEST_F(ReceiverThread, FullQueueRefusesEveryWindowOfItsProcessUntilTheLoopMakesRoom)
{
    UserHelper receiver({ "windows", "2" });
    std::vector<std::string> lines = receiver.answer();
    ASSERT_EQ(lines.size(), 2u);
    HWND filled = handleOf(lines[0]), other = handleOf(lines[1]);

    constexpr size_t Bound = 1000000;
    size_t accepted = 0;
    while (accepted < Bound && PostMessage(filled, WM_USER, WPARAM(accepted), 0))
        ++accepted;
    ASSERT_GE(accepted, Limit);
    ASSERT_LE(accepted, Limit + kernelDatagramQueue());
    EXPECT_FALSE(PostMessage(other, WM_USER + 1, 0, 0)) << "the queue is the process's, not the window's";
    EXPECT_TRUE(IsWindow(filled)) << "full, not gone";
    EXPECT_TRUE(IsWindow(other));

    // Taking messages until one fewer than the limit waits makes room for one more.
    size_t taken = accepted - Limit + 1;
    receiver.send("get " + std::to_string(taken));
    std::vector<Received> first = parseReceived(receiver.answer());
    ASSERT_EQ(first.size(), taken);
    for (size_t i = 0; i < taken; ++i)
        ASSERT_EQ(first[i].wParam, WPARAM(i));
    EXPECT_TRUE(PostMessage(other, WM_USER + 1, 7, 0)) << "room again";

    receiver.send("drain");
    std::vector<Received> rest = parseReceived(receiver.answer());
    ASSERT_EQ(rest.size(), accepted - taken + 1);
    for (size_t i = 0; i + 1 < rest.size(); ++i)
        ASSERT_EQ(rest[i].wParam, WPARAM(taken + i)) << "order broken at " << taken + i;
    EXPECT_EQ(rest.back().hwnd, other);
    EXPECT_EQ(rest.back().wParam, 7u);
}

TEST_F(ReceiverThread, StoppedReceiverGetsWhatWasPostedMeanwhileInOrder)
{
    UserHelper receiver({ "windows", "1" });
    HWND window = handleOf(receiver.answer1());
    receiver.kill(SIGSTOP);
    int status = 0;
    ASSERT_EQ(waitpid(receiver.pid(), &status, WUNTRACED), receiver.pid());
    ASSERT_TRUE(WIFSTOPPED(status));

    // A stopped process takes nothing in: its window's socket holds a few posts, and the rest wait
    // in the sender, up to what a queue holds.
    constexpr size_t Bound = 100000;
    size_t accepted = 0;
    while (accepted < Bound && PostMessage(window, WM_USER, WPARAM(accepted), 0))
        ++accepted;
    EXPECT_EQ(accepted, kernelDatagramQueue() + user_private::Outbox::HeldLimit);
    EXPECT_FALSE(PostMessage(window, WM_USER, WPARAM(accepted), 0)) << "still stopped";
    EXPECT_TRUE(IsWindow(window)) << "stopped, not gone";

    receiver.kill(SIGCONT);
    receiver.send("get " + std::to_string(accepted));
    std::vector<Received> got = parseReceived(receiver.answer());
    ASSERT_EQ(got.size(), accepted);
    for (size_t i = 0; i < got.size(); ++i)
        ASSERT_EQ(got[i].wParam, WPARAM(i)) << "order broken at " << i;

    // Everything delivered, posts go straight on again.
    EXPECT_TRUE(PostMessage(window, WM_USER, WPARAM(accepted), 0));
    receiver.send("get 1");
    got = parseReceived(receiver.answer());
    ASSERT_EQ(got.size(), 1u);
    EXPECT_EQ(got[0].wParam, WPARAM(accepted));
}

TEST_F(ReceiverThread, DestroyingAWindowDuringAFloodDropsOnlyItsMessages)
{
    HWND doomed = CreateWindowHandle(nullptr), kept = CreateWindowHandle(nullptr);
    ASSERT_NE(doomed, 0u);
    ASSERT_NE(kept, 0u);
    constexpr uint64_t Count = 3000;
    constexpr int TakenBeforeDestroying = 100;
    UserHelper toDoomed({ "post", std::to_string(doomed), std::to_string(Count), "1" });
    UserHelper toKept({ "post", std::to_string(kept), std::to_string(Count), "2" });

    // The window goes while its sender still posts and the receiver thread still takes its
    // messages in.
    int ofDoomed = 0;
    bool destroyed = false;
    uint64_t nextOfKept = 0;
    MSG m;
    while (!destroyed || nextOfKept < Count) {
        ASSERT_TRUE(GetMessage(&m));
        if (m.hwnd == doomed) {
            ASSERT_FALSE(destroyed) << "message " << sequenceOf(m.wParam) << " of the destroyed window";
            ASSERT_EQ(sequenceOf(m.wParam), uint64_t(ofDoomed));
            if (++ofDoomed == TakenBeforeDestroying) {
                ASSERT_TRUE(DestroyWindow(doomed));
                destroyed = true;
            }
            continue;
        }
        ASSERT_EQ(m.hwnd, kept);
        ASSERT_EQ(sequenceOf(m.wParam), nextOfKept) << "order broken";
        ++nextOfKept;
    }
    EXPECT_FALSE(IsWindow(doomed));
    EXPECT_FALSE(PeekMessage(&m)) << "nothing of the destroyed window is left";
    EXPECT_EQ(toKept.answer1(), "posted");
    std::string doomedSender = toDoomed.answer1();
    EXPECT_TRUE(doomedSender == "posted" || doomedSender.starts_with("target gone at ")) << doomedSender;
    DestroyWindow(kept);
}

TEST_F(ReceiverThread, ProcessEndsCleanlyWhileMessagesPourIn)
{
    UserHelper receiver({ "windows", "1" });
    std::string window = receiver.answer1();
    UserHelper flood({ "post", window, "100000000", "4" });
    receiver.send("get 100");
    EXPECT_EQ(parseReceived(receiver.answer()).size(), 100u);
    // End of input ends the helper's main while its receiver thread is busy taking messages in.
    EXPECT_EQ(receiver.wait(), 0);
    EXPECT_TRUE(flood.answer1().starts_with("target gone at "));
}

TEST_F(ReceiverThread, ForkedChildHasAQueueOfItsOwn)
{
    HWND parents = CreateWindowHandle(nullptr);
    ASSERT_NE(parents, 0u);
    ASSERT_TRUE(PostMessage(parents, WM_USER, 1, 0));

    enum Failure { SawParentsMessage = 1, DestroyedParentsWindow = 2, OwnPostLost = 4, ParentsPostLost = 8 };
    ForkedChild child([parents](int, int out) {
        int failures = 0;
        MSG m;
        if (PeekMessage(&m))
            failures |= SawParentsMessage;
        if (DestroyWindow(parents))
            failures |= DestroyedParentsWindow;
        HWND own = CreateWindowHandle(nullptr);
        if (!PostMessage(own, WM_USER, 5, 0) || !GetMessage(&m) || m.hwnd != own || m.wParam != 5)
            failures |= OwnPostLost;
        if (::write(out, &own, sizeof own) != sizeof own)
            return 100;
        if (!GetMessage(&m) || m.hwnd != own || m.wParam != 6)
            failures |= ParentsPostLost;
        return failures;
    });
    HWND childs = child.read();
    ASSERT_NE(childs, 0u);
    EXPECT_NE(childs, parents);
    EXPECT_TRUE(IsWindow(childs));

    MSG m;
    ASSERT_TRUE(PeekMessage(&m)) << "the parent's message stays the parent's";
    EXPECT_EQ(m.hwnd, parents);
    EXPECT_EQ(m.wParam, 1u);
    ASSERT_TRUE(DestroyWindow(parents));
    EXPECT_FALSE(IsWindow(parents)) << "the living child holds no copy of the parent's window";
    ASSERT_TRUE(PostMessage(childs, WM_USER, 6, 0));
    EXPECT_EQ(child.wait(), 0) << "failures in the child (see enum Failure)";
}

TEST_F(ReceiverThread, ForkWhileTheReceiverThreadIsBusy)
{
    HWND window = CreateWindowHandle(nullptr);
    ASSERT_NE(window, 0u);
    constexpr uint64_t Count = 4000;
    constexpr int Forks = 16;
    UserHelper flood({ "post", std::to_string(window), std::to_string(Count), "3" });

    uint64_t next = 0;
    auto take = [&](uint64_t howMany) {
        MSG m;
        for (uint64_t i = 0; i < howMany && next < Count; ++i, ++next) {
            ASSERT_TRUE(GetMessage(&m));
            ASSERT_EQ(sequenceOf(m.wParam), next) << "order broken";
        }
    };
    // Each fork meets the receiver thread at some point of taking the flood in; the child must
    // find a queue of its own that works, never a lock held by a thread it does not have.
    for (int i = 0; i < Forks; ++i) {
        ForkedChild child([](int, int) {
            HWND own = CreateWindowHandle(nullptr);
            MSG m;
            bool works =
                own != 0 && PostMessage(own, WM_USER, 9, 0) && GetMessage(&m) && m.hwnd == own && m.wParam == 9;
            return works ? 0 : 1;
        });
        EXPECT_EQ(child.wait(), 0) << "child " << i;
        take(Count / Forks / 2);
    }
    take(Count);
    EXPECT_EQ(next, Count);
    EXPECT_EQ(flood.answer1(), "posted");
    DestroyWindow(window);
}

} // namespace
