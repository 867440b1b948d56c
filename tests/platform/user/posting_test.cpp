//===- posting_test.cpp - Posting to windows of other processes ---------===//
#include "platform/user/Messages.h"

#include "tests/platform/user/SessionTest.h"
#include "tests/platform/user/UserHelper.h"

#include "platform/user/MessageQueue_p.h"
#include "platform/user/WindowSocket_p.h"

#include <csignal>
#include <cstdint>
#include <map>
#include <string>
#include <sys/wait.h>
#include <vector>

namespace {

class Posting : public SessionTest {};

TEST_F(Posting, ThousandMessagesArriveInOrderWithExactValues)
{
    constexpr int Count = 1000;
    UserHelper receiver({ "windows", "1" });
    HWND window = handleOf(receiver.answer1());
    ASSERT_NE(window, 0u);
    receiver.send("get " + std::to_string(Count));

    // Every bit of the parameters travels: the high half of wParam and negative lParams.
    for (int i = 0; i < Count; ++i)
        ASSERT_TRUE(postWhenRoom(window, WM_USER + 7, (WPARAM(0xABCD) << 32) | WPARAM(i), -LPARAM(i) * 1000003))
            << "message " << i;

    std::vector<Received> got = parseReceived(receiver.answer());
    ASSERT_EQ(got.size(), size_t(Count));
    for (int i = 0; i < Count; ++i) {
        ASSERT_EQ(got[i].hwnd, window) << i;
        ASSERT_EQ(got[i].message, WM_USER + 7) << i;
        ASSERT_EQ(got[i].wParam, (WPARAM(0xABCD) << 32) | WPARAM(i)) << "order broken at " << i;
        ASSERT_EQ(got[i].lParam, -LPARAM(i) * 1000003) << i;
    }
}

TEST_F(Posting, EachSenderKeepsItsOrderAtOneReceiver)
{
    constexpr int Count = 400;
    HWND window = CreateWindowHandle(nullptr);
    ASSERT_NE(window, 0u);
    std::string target = std::to_string(window);
    UserHelper first({ "post", target, std::to_string(Count), "1" });
    UserHelper second({ "post", target, std::to_string(Count), "2" });

    std::map<uint64_t, uint64_t> nextOfTag { { 1, 0 }, { 2, 0 } };
    MSG m;
    for (int i = 0; i < 2 * Count; ++i) {
        ASSERT_TRUE(GetMessage(&m));
        ASSERT_EQ(m.hwnd, window);
        uint64_t tag = uint64_t(m.wParam) >> 32, sequence = uint64_t(m.wParam) & 0xFFFFFFFF;
        ASSERT_TRUE(nextOfTag.contains(tag)) << "tag " << tag;
        ASSERT_EQ(sequence, nextOfTag[tag]) << "sender " << tag;
        ASSERT_EQ(m.lParam, -LPARAM(sequence));
        ++nextOfTag[tag];
    }
    EXPECT_EQ(first.answer1(), "posted");
    EXPECT_EQ(second.answer1(), "posted");
    EXPECT_FALSE(PeekMessage(&m)) << "nothing more than was posted";
    DestroyWindow(window);
}

TEST_F(Posting, WindowOfAKilledProcessIsGone)
{
    // Killed while running, and killed while stopped with posts waiting for it in this process.
    for (bool stopped : { false, true }) {
        UserHelper owner({ "windows", "2" });
        std::vector<std::string> lines = owner.answer();
        ASSERT_EQ(lines.size(), 2u);
        HWND window = handleOf(lines[0]);
        EXPECT_TRUE(IsWindow(window));
        if (stopped) {
            owner.kill(SIGSTOP);
            int status = 0;
            ASSERT_EQ(waitpid(owner.pid(), &status, WUNTRACED), owner.pid());
        }
        const size_t posts = stopped ? kernelDatagramQueue() + 2 : 1;
        for (size_t i = 0; i < posts; ++i)
            EXPECT_TRUE(PostMessage(window, WM_USER, 1, 2)) << "a message left unread in the dying process";

        owner.kill(SIGKILL);
        EXPECT_EQ(owner.wait(), 128 + SIGKILL);
        EXPECT_FALSE(IsWindow(window));
        EXPECT_FALSE(IsWindow(handleOf(lines[1])));
        EXPECT_FALSE(PostMessage(window, WM_USER, 1, 2)) << (stopped ? "stopped" : "running");
    }
}

TEST_F(Posting, WindowDestroyedByItsOwnerIsGone)
{
    UserHelper owner({ "windows", "2" });
    std::vector<std::string> lines = owner.answer();
    ASSERT_EQ(lines.size(), 2u);
    HWND destroyed = handleOf(lines[0]), kept = handleOf(lines[1]);
    ASSERT_TRUE(PostMessage(destroyed, WM_USER, 1, 1));
    ASSERT_TRUE(PostMessage(kept, WM_USER, 2, 2));

    owner.send("destroy " + lines[0]);
    EXPECT_EQ(owner.answer1(), "1");
    EXPECT_FALSE(IsWindow(destroyed));
    EXPECT_FALSE(PostMessage(destroyed, WM_USER, 3, 3));
    EXPECT_TRUE(IsWindow(kept));
    EXPECT_TRUE(PostMessage(kept, WM_USER, 4, 4));

    // What waited for the destroyed window went with it; the other window's messages stay.
    owner.send("drain");
    std::vector<Received> got = parseReceived(owner.answer());
    ASSERT_EQ(got.size(), 2u);
    EXPECT_EQ(got[0].hwnd, kept);
    EXPECT_EQ(got[0].wParam, 2u);
    EXPECT_EQ(got[1].wParam, 4u);
}

TEST_F(Posting, FullQueueAnswersFalseAndKeepsWhatCameBefore)
{
    UserHelper receiver({ "windows", "1" });
    HWND window = handleOf(receiver.answer1());

    // The receiver does not read, so its queue fills up; a bound keeps a broken queue from
    // turning into an endless loop.
    constexpr size_t Limit = user_private::MessageQueue::LocalQueueLimit;
    constexpr size_t Bound = 1000000;
    size_t accepted = 0;
    while (accepted < Bound && PostMessage(window, WM_USER, WPARAM(accepted), LPARAM(accepted)))
        ++accepted;
    ASSERT_GE(accepted, Limit) << "the queue holds its full depth while its loop does not look";
    // What the socket held when the limit was reached was accepted as well, and no more.
    ASSERT_LE(accepted, Limit + kernelDatagramQueue()) << "the queue never filled";
    EXPECT_FALSE(PostMessage(window, WM_USER, 0, 0)) << "still full";
    EXPECT_TRUE(IsWindow(window)) << "full, not gone";

    // One full receiver holds up nobody else.
    HWND own = CreateWindowHandle(nullptr);
    EXPECT_TRUE(PostMessage(own, WM_USER + 1, 5, 6));
    MSG m;
    ASSERT_TRUE(PeekMessage(&m));
    EXPECT_EQ(m.hwnd, own);
    EXPECT_EQ(m.wParam, 5u);
    DestroyWindow(own);

    receiver.send("drain");
    std::vector<Received> got = parseReceived(receiver.answer());
    ASSERT_EQ(got.size(), accepted);
    for (size_t i = 0; i < accepted; ++i)
        ASSERT_EQ(got[i].wParam, WPARAM(i)) << "order broken at " << i;
    EXPECT_TRUE(PostMessage(window, WM_USER, 0, 0)) << "room again after reading";
}

TEST_F(Posting, NoWindowNoPost)
{
    EXPECT_FALSE(PostMessage(0, WM_USER, 0, 0));
    EXPECT_FALSE(IsWindow(0));
    HWND window = CreateWindowHandle(nullptr);
    // Handles come from a counter in this fresh session, so one far above it was never made.
    HWND neverMade = window + 0x10000;
    EXPECT_FALSE(IsWindow(neverMade));
    EXPECT_FALSE(PostMessage(neverMade, WM_USER, 0, 0));
    DestroyWindow(window);
}

TEST_F(Posting, StrayDatagramsAreDroppedAndTheQueueGoesOn)
{
    HWND window = CreateWindowHandle(nullptr);
    ASSERT_NE(window, 0u);
    user_private::WindowAddress to = user_private::windowAddress(window);
    UniqueFd sender(socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC, 0));
    const char shortOne[5] = "abcd";
    char longOne[100] = {};
    auto address = reinterpret_cast<const sockaddr*>(&to.Address);
    ASSERT_EQ(sendto(sender.get(), shortOne, sizeof shortOne, 0, address, to.Length), ssize_t(sizeof shortOne));
    ASSERT_EQ(sendto(sender.get(), longOne, sizeof longOne, 0, address, to.Length), ssize_t(sizeof longOne));
    ASSERT_EQ(sendto(sender.get(), nullptr, 0, 0, address, to.Length), 0);
    ASSERT_TRUE(PostMessage(window, WM_USER, 42, 43));

    MSG m;
    ASSERT_TRUE(PeekMessage(&m));
    EXPECT_EQ(m.message, WM_USER);
    EXPECT_EQ(m.wParam, 42u);
    EXPECT_EQ(m.lParam, 43);
    EXPECT_FALSE(PeekMessage(&m));
    DestroyWindow(window);
}

} // namespace
