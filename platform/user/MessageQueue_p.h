//===- MessageQueue_p.h - The message queue and timers of this process -*- C++ -*-===//
#pragma once

#include "platform/rtl/UniqueFd.h"
#include "platform/user/Messages.h"

#include <atomic>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <unordered_map>
#include <vector>
#include <sys/epoll.h>
#include <sys/types.h>

namespace user_private {

/// The process's windows, its queue of posted messages and its timers.
///
/// Each window owns a datagram socket, the way in. The sockets are members of the queue
/// descriptor's own wait set, so an arriving message wakes the GUI thread directly, and a look of
/// the loop takes it straight from its socket. A socket holds only a few datagrams, though: when a
/// sender finds one full it rings that window's overflow bell, and the receiver thread (started
/// with the first window, asleep on the bells otherwise) steps in: it moves what every socket
/// holds into one local queue, and goes on moving arrivals there until the loop has taken the
/// local queue empty. So the process queues up to LocalQueueLimit messages however long its GUI
/// thread is busy, and a post waits at most for the receiver thread, never for the loop.
///
/// The local queue holds the older messages of each window, so a look takes from it first and
/// reads the sockets only while it is empty: each sender's messages to one window keep their
/// order; messages to different windows come socket by socket, in the order of arrival only
/// roughly.
///
/// While the local queue is full, every window socket refuses senders (their posts answer false at
/// once) and what the sockets still held is taken as well, so the queue can end up that many
/// messages (at most the kernel's datagram queue of each socket) beyond the limit. As soon as the
/// loop takes one message the sockets accept posts again.
///
/// The queue descriptor (MessageQueueFd) is an epoll descriptor of the window sockets, a wake-up
/// eventfd (set while the local queue holds messages or a quit is pending) and a timerfd armed for
/// the earliest timer, so it polls readable exactly when something waits.
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
        UniqueFd Bell;                       // rung by senders that found Socket full
        std::shared_ptr<const WNDPROC> Proc; // shared, so a dispatch copies no closure
        bool Refusing = false;               // connected to itself: see refusePosts
        ino_t SocketNode = 0;                // the socket files this window bound, removed with it
        ino_t BellNode = 0;
    };
    struct Timer {
        HWND Window;
        uintptr_t ID;
        int64_t Interval; // ns
        int64_t Due;      // CLOCK_MONOTONIC ns
    };

    // Receiving (lock_ held, except in runReceiver)
    bool startReceiver();
    void runReceiver();
    void overflowed(const epoll_event* Events, int Count);
    bool takeFromSocket(MSG* Msg);
    void receiveFrom(HWND Window, WindowEntry& Entry);
    void takeCharge(bool InCharge);
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
    UniqueFd overflow_; // epoll of the bells, and of the window sockets while inCharge_
    UniqueFd loop_;     // epoll of the window sockets, wake_ and timerFd_: the queue descriptor
    UniqueFd wake_;
    UniqueFd timerFd_;
    std::atomic<bool> receiverRunning_ { false }; // set by the thread itself once it runs
    bool full_ = false;                           // the sockets refuse posts until the loop takes a message
    bool inCharge_ = false;                       // the receiver thread moves arrivals into local_
    std::unordered_map<HWND, WindowEntry> windows_;
    std::deque<MSG> local_;
    std::vector<Timer> timers_;
    uintptr_t nextThreadTimerID_ = 1;
    bool quitPending_ = false;
    int quitCode_ = 0;
    bool wakeSet_ = false;
};

} // namespace user_private
