//===- Outbox_p.h - Posts held for windows whose process is not running -*- C++ -*-===//
#pragma once

#include "platform/rtl/UniqueFd.h"
#include "platform/user/WindowSocket_p.h"

#include <atomic>
#include <cstddef>
#include <deque>
#include <mutex>
#include <string>
#include <unordered_map>

namespace user_private {

/// Posts to a window whose process has stopped taking messages in (stopped by a signal, frozen)
/// wait here, in the sending process, as they would wait in the receiver's queue on the original
/// platform: in the order posted, up to HeldLimit per window. A thread of the sender delivers
/// them as soon as the window's socket has room, and until they are all delivered every later
/// post to that window queues behind them, so each sender's order holds.
///
/// What waits for a window that goes is dropped, as its queue would be; so is what waits when
/// the sending process ends. A forked child starts with nothing held: its parent delivers its own.
class Outbox {
public:
    static Outbox& instance();
    Outbox(const Outbox&) = delete;
    Outbox& operator=(const Outbox&) = delete;

    /// As many as a receiver's own queue takes in (MessageQueue::LocalQueueLimit).
    static constexpr size_t HeldLimit = 10000;

    enum class Posted {
        NothingHeld, // nothing waits for the window: the caller sends as usual
        Queued,      // delivered, or queued behind what waits
        Refused,     // the window is gone, refuses posts (its queue is full), or HeldLimit wait
    };
    /// Delivers what it can of what waits for To, then Msg after it.
    Posted postBehind(const WindowAddress& To, const WireMessage& Msg);

    /// Holds Msg for Window (at To), whose socket stayed full for a whole wait. False when the
    /// window is gone or refuses posts.
    bool hold(HWND Window, const WindowAddress& To, const WireMessage& Msg);

private:
    Outbox();

    struct Receiver {
        HWND Window;
        UniqueFd Socket; // connected to the window: polls writable when its socket has room
        std::deque<WireMessage> Messages;
        bool Refusing = false; // the receiver refused the last try: retried after a while
        bool Gone = false;
    };

    // lock_ held
    void flush(Receiver& R);
    Posted queueBehind(Receiver& R, const WireMessage& Msg);
    bool startDeliverer();
    void deliver(); // the delivering thread

    static void beforeFork();
    static void afterForkInParent();
    static void afterForkInChild();

    std::mutex lock_;
    std::atomic<size_t> receivers_ { 0 }; // held_.size(), read without the lock by every post
    std::unordered_map<std::string, Receiver> held_; // by the window's socket path
    UniqueFd wake_;      // eventfd: a receiver was added
    UniqueFd bells_;     // unconnected, for ringing the receivers' bells
    bool delivering_ = false;
};

} // namespace user_private
