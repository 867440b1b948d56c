//===- MessageQueue_p.h - The message queue and timers of this process -*- C++ -*-===//
#pragma once

#include <cstdint>
#include <deque>
#include <mutex>
#include <unordered_map>
#include <vector>

#include "platform/rtl/UniqueFd.h"
#include "platform/user/Messages.h"

namespace platform {

/// The process's windows, its queue of posted messages and its timers.
///
/// Posted messages wait in each window's socket until the loop looks; each look moves all that
/// arrived into one local queue (up to LocalQueueLimit), so a busy window's socket never stays
/// full while the loop runs. One epoll descriptor holds every window socket, a wake-up eventfd
/// (set while the local queue holds messages or a quit is pending) and a timerfd armed for the
/// earliest timer, so it polls readable exactly when something waits.
///
/// Between two looks a window's socket holds as many messages as the kernel queues for one
/// datagram socket (net.unix.max_dgram_qlen, 10 or so on many systems); posts beyond that answer
/// false until the loop runs again.
///
/// The loop (peek, get) belongs to one thread, the GUI thread; the other members may be called
/// from any thread.
class MessageQueue {
public:
    /// The queue of this process. A child made by fork gets a fresh one on first use: the
    /// parent's windows and descriptors stay the parent's.
    static MessageQueue& instance();
    ~MessageQueue();
    MessageQueue(const MessageQueue&) = delete;
    MessageQueue& operator=(const MessageQueue&) = delete;

    // Windows
    HWND createWindow(WNDPROC Proc);
    bool destroyWindow(HWND Window);

    // The loop
    void postQuit(int ExitCode);
    bool peek(MSG* Msg);
    bool get(MSG* Msg);
    LRESULT dispatch(const MSG& Msg);
    int descriptor() const { return epoll_.get(); }

    // Timers
    uintptr_t setTimer(HWND Window, uintptr_t ID, UINT Elapse);
    bool killTimer(HWND Window, uintptr_t ID);

    /// Messages kept in the local queue at most; beyond it the window sockets fill up and posts
    /// to this process answer false, as a full queue does on the original platform.
    static constexpr size_t LocalQueueLimit = 10000;

private:
    MessageQueue();

    struct WindowEntry {
        UniqueFd Socket;
        WNDPROC Proc;
    };
    struct Timer {
        HWND Window;
        uintptr_t ID;
        int64_t Interval;   // ns
        int64_t Due;        // CLOCK_MONOTONIC ns
    };

    void takeArrivedMessages();
    void receiveFrom(HWND Window, int Socket);
    bool takeDueTimer(MSG* Msg);
    void armTimerFd();
    void updateWake();

    mutable std::mutex lock_;
    UniqueFd epoll_;
    UniqueFd wake_;
    UniqueFd timerFd_;
    std::unordered_map<HWND, WindowEntry> windows_;
    std::deque<MSG> local_;
    std::vector<Timer> timers_;
    uintptr_t nextThreadTimerID_ = 1;
    bool quitPending_ = false;
    int quitCode_ = 0;
    bool wakeSet_ = false;
};

} // namespace platform
