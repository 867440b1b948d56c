//===- MessageQueue_p.h - The message queue and timers of this process -*- C++ -*-===//
#pragma once

#include <atomic>
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
/// Each window's socket is only the way in: a receiver thread of the process (started with the
/// first window) waits on all window sockets and moves every datagram at once into one local
/// queue, so the queue holds up to LocalQueueLimit messages however long the GUI thread is busy.
/// A look of the loop also takes what has arrived, so a message posted before PeekMessage is seen
/// by it. Each sender's messages to one window keep their order; messages to different windows
/// are taken socket by socket, so their relative order is that of arrival only roughly.
///
/// While the local queue is full, every window socket refuses senders (their posts answer false at
/// once) and what the sockets still held is taken as well, so the queue can end up that many
/// messages (at most the kernel's datagram queue of each socket) beyond the limit. As soon as the
/// loop takes one message the sockets accept posts again.
///
/// The queue descriptor (MessageQueueFd) is an epoll descriptor of a wake-up eventfd (set while
/// the local queue holds messages or a quit is pending) and a timerfd armed for the earliest
/// timer, so it polls readable exactly when something waits; the window sockets belong to the
/// receiver thread's own epoll descriptor.
///
/// The loop (peek, get) belongs to one thread, the GUI thread; the other members may be called
/// from any thread.
class MessageQueue {
public:
    /// The queue of this process; it is never destroyed, so the receiver thread and other modules'
    /// static destructors can rely on it to the end. A child made by fork gets a fresh one on
    /// first use, with a receiver thread of its own: the parent's windows and descriptors stay
    /// the parent's (the child closes its copies at once).
    static MessageQueue& instance();
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
    int descriptor() const { return loop_.get(); }

    // Timers
    uintptr_t setTimer(HWND Window, uintptr_t ID, UINT Elapse);
    bool killTimer(HWND Window, uintptr_t ID);

    /// Messages kept in the local queue; beyond it posts to this process answer false, as a full
    /// queue does on the original platform.
    static constexpr size_t LocalQueueLimit = 10000;

private:
    MessageQueue();
    /// Only for a queue whose receiver thread never started or lives in another process (a
    /// forked child's copy of its parent's queue).
    ~MessageQueue();

    struct WindowEntry {
        UniqueFd Socket;
        WNDPROC Proc;
        bool Refusing = false;   // connected to itself: see refusePosts
    };
    struct Timer {
        HWND Window;
        uintptr_t ID;
        int64_t Interval;   // ns
        int64_t Due;        // CLOCK_MONOTONIC ns
    };

    // Receiving (lock_ held, except in runReceiver)
    bool startReceiver();
    void runReceiver();
    void takeArrivedMessages();
    void receiveFrom(HWND Window, WindowEntry& Entry);
    bool receiveOne(HWND Window, int Socket);
    void refuseWhileFull();
    void acceptWhenRoom();
    void updateWake();

    // Timers (lock_ held)
    bool takeDueTimer(MSG* Msg);
    void armTimerFd();

    // Fork: the parent's lock is held across fork, so the child's copy is consistent.
    static void beforeFork();
    static void afterForkInParent();
    static void afterForkInChild();
    void closeDescriptors();

    mutable std::mutex lock_;
    UniqueFd sockets_;   // epoll of the window sockets, waited on by the receiver thread
    UniqueFd loop_;      // epoll of wake_ and timerFd_: the queue descriptor
    UniqueFd wake_;
    UniqueFd timerFd_;
    std::atomic<bool> receiverRunning_ { false };   // set by the thread itself once it runs
    bool full_ = false;   // the sockets refuse posts until the loop takes a message
    std::unordered_map<HWND, WindowEntry> windows_;
    std::deque<MSG> local_;
    std::vector<Timer> timers_;
    uintptr_t nextThreadTimerID_ = 1;
    bool quitPending_ = false;
    int quitCode_ = 0;
    bool wakeSet_ = false;
};

} // namespace platform
