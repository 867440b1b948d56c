//===- Outbox.cpp - Posts held for windows whose process is not running -===//
#include "platform/user/Outbox_p.h"

#include <cerrno>
#include <csignal>
#include <poll.h>
#include <pthread.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <system_error>
#include <thread>
#include <unistd.h>
#include <vector>

namespace user_private {

namespace {

// How often the delivering thread tries a receiver that refused (its queue full; nothing tells
// a sender when it takes posts again), and rings the bell of one whose socket stays full.
constexpr int RetryMs = 100;

std::string keyOf(const WindowAddress& To) { return std::string(To.Address.sun_path); }

} // namespace

Outbox& Outbox::instance()
{
    // Never destroyed: the delivering thread may run while the process exits.
    static Outbox* outbox = new Outbox;
    return *outbox;
}

Outbox::Outbox() : bells_(socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC, 0))
{
    pthread_atfork(beforeFork, afterForkInParent, afterForkInChild);
}

// --- Fork ------------------------------------------------------------------

void Outbox::beforeFork() { instance().lock_.lock(); }

void Outbox::afterForkInParent() { instance().lock_.unlock(); }

void Outbox::afterForkInChild()
{
    // The child has no delivering thread, and what its parent holds is the parent's to deliver.
    Outbox& self = instance();
    for (auto& [key, receiver] : self.held_)
        receiver.Socket.reset();
    self.held_.clear();
    self.receivers_.store(0);
    self.wake_.reset();
    self.delivering_ = false;
    self.lock_.unlock();
}

// --- Posting ---------------------------------------------------------------

Outbox::Posted Outbox::postBehind(const WindowAddress& To, const WireMessage& Msg)
{
    if (receivers_.load(std::memory_order_acquire) == 0)
        return Posted::NothingHeld;
    std::lock_guard hold(lock_);
    auto receiver = held_.find(keyOf(To));
    if (receiver == held_.end())
        return Posted::NothingHeld;
    return queueBehind(receiver->second, Msg);
}

bool Outbox::hold(HWND Window, const WindowAddress& To, const WireMessage& Msg)
{
    std::lock_guard hold(lock_);
    const std::string key = keyOf(To);
    if (auto receiver = held_.find(key); receiver != held_.end())
        return queueBehind(receiver->second, Msg) == Posted::Queued;
    UniqueFd socket(::socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC, 0));
    // Connecting fails at once when nobody has bound the name (ECONNREFUSED) or the receiver
    // refuses posts (EPERM), as the post itself would.
    if (!socket || connect(socket.get(), reinterpret_cast<const sockaddr*>(&To.Address), To.Length) != 0)
        return false;
    if (!startDeliverer())
        return false;
    Receiver& receiver = held_.emplace(key, Receiver { Window, std::move(socket), {} }).first->second;
    receiver.Messages.push_back(Msg);
    receivers_.store(held_.size(), std::memory_order_release);
    uint64_t one = 1;
    (void)!write(wake_.get(), &one, sizeof one);
    return true;
}

Outbox::Posted Outbox::queueBehind(Receiver& R, const WireMessage& Msg)
{
    flush(R);
    if (R.Messages.empty() && !R.Gone && !R.Refusing) {
        // All delivered: this one goes straight on, unless the socket has filled again.
        R.Messages.push_back(Msg);
        flush(R);
        if (!R.Refusing && !R.Gone)
            return Posted::Queued;
        R.Messages.clear();
        return Posted::Refused;
    }
    if (R.Gone || R.Refusing || R.Messages.size() >= HeldLimit)
        return Posted::Refused;
    R.Messages.push_back(Msg);
    return Posted::Queued;
}

void Outbox::flush(Receiver& R)
{
    R.Refusing = false;
    while (!R.Messages.empty() && !R.Gone) {
        ssize_t sent;
        do
            sent = send(R.Socket.get(), &R.Messages.front(), sizeof(WireMessage), MSG_DONTWAIT | MSG_NOSIGNAL);
        while (sent < 0 && errno == EINTR);
        if (sent == static_cast<ssize_t>(sizeof(WireMessage))) {
            R.Messages.pop_front();
        } else if (sent < 0 && (errno == EAGAIN || errno == ENOBUFS)) {
            // The owner's receiver thread makes room once it runs again.
            ringBell(bells_.get(), R.Window);
            return;
        } else if (sent < 0 && errno == EPERM) {
            R.Refusing = true;
            return;
        } else {
            // ECONNREFUSED: the window is gone, and what waited for it with it.
            R.Gone = true;
            R.Messages.clear();
        }
    }
}

// --- Delivering ------------------------------------------------------------

bool Outbox::startDeliverer()
{
    if (delivering_)
        return true;
    wake_.reset(eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK));
    if (!wake_ || !bells_)
        return false;
    // The thread takes no signals, so the program's handlers run on the program's own threads.
    sigset_t all, previous;
    sigfillset(&all);
    pthread_sigmask(SIG_SETMASK, &all, &previous);
    std::atomic<bool> running { false };
    try {
        // Detached: it only touches this outbox, which is never destroyed.
        std::thread([this, &running] {
            pthread_setname_np(pthread_self(), "outbox");
            running.store(true);
            running.notify_all();
            deliver();
        }).detach();
        delivering_ = true;
    } catch (const std::system_error&) {
    }
    pthread_sigmask(SIG_SETMASK, &previous, nullptr);
    // The lock stays held until the thread runs, keeping fork out while it allocates its start
    // (see MessageQueue::startReceiver).
    if (delivering_)
        running.wait(false);
    return delivering_;
}

void Outbox::deliver()
{
    std::vector<pollfd> watched;
    for (;;) {
        {
            std::lock_guard hold(lock_);
            watched.clear();
            watched.push_back({ wake_.get(), POLLIN, 0 });
            for (auto receiver = held_.begin(); receiver != held_.end();) {
                Receiver& r = receiver->second;
                flush(r);
                if (r.Messages.empty()) {
                    receiver = held_.erase(receiver); // delivered: later posts go straight again
                    continue;
                }
                // One that refuses is only tried again after a while; one whose socket is full
                // wakes this thread when its receiver makes room.
                watched.push_back({ r.Socket.get(), short(r.Refusing ? 0 : POLLOUT), 0 });
                ++receiver;
            }
            receivers_.store(held_.size(), std::memory_order_release);
        }
        if (poll(watched.data(), watched.size(), watched.size() > 1 ? RetryMs : -1) > 0
            && (watched[0].revents & POLLIN)) {
            uint64_t count;
            (void)!read(watched[0].fd, &count, sizeof count);
        }
    }
}

} // namespace user_private
