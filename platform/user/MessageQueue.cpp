//===- MessageQueue.cpp - The message queue and timers of this process ===//
#include "platform/user/MessageQueue_p.h"

#include "platform/user/WindowSocket_p.h"
#include "platform/kernel/Clock.h"

#include <algorithm>
#include <atomic>
#include <cassert>
#include <cerrno>
#include <csignal>
#include <ctime>
#include <poll.h>
#include <pthread.h>
#include <sys/epoll.h>
#include <sys/eventfd.h>
#include <sys/timerfd.h>
#include <system_error>
#include <thread>
#include <unistd.h>

namespace user_private {

namespace {

// epoll tags: the queue descriptor's eventfd and timerfd, and a window's socket or bell with the
// window's handle in the low 32 bits.
constexpr uint64_t WakeTag = 1;
constexpr uint64_t TimerTag = 2;
constexpr uint64_t SocketTag = uint64_t(1) << 32;
constexpr uint64_t BellTag = uint64_t(1) << 33;

HWND windowOf(uint64_t Tag) { return static_cast<HWND>(Tag & 0xFFFFFFFF); }

// The original platform's bounds for a timer's interval.
constexpr UINT MinimumElapse = 10;
constexpr UINT MaximumElapse = 0x7FFFFFFF;

constexpr int64_t NsPerMs = 1000000;
constexpr int64_t NsPerSecond = 1000000000;

int64_t monotonicNs()
{
    timespec now {};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return int64_t(now.tv_sec) * NsPerSecond + now.tv_nsec;
}

bool watch(int Epoll, int Fd, uint64_t Tag, uint32_t Events = EPOLLIN, int Op = EPOLL_CTL_ADD)
{
    epoll_event event {};
    event.events = Events;
    event.data.u64 = Tag;
    return epoll_ctl(Epoll, Op, Fd, &event) == 0;
}

/// One posted message from Socket; false when it holds none. Stray datagrams of another size are
/// dropped on the way.
bool readWire(int Socket, WireMessage& Wire)
{
    for (;;) {
        // MSG_TRUNC answers the datagram's real size, so a longer stray one is not taken for ours.
        ssize_t size = recv(Socket, &Wire, sizeof Wire, MSG_DONTWAIT | MSG_TRUNC);
        if (size < 0 && errno == EINTR)
            continue;
        if (size < 0)
            return false;
        if (size == static_cast<ssize_t>(sizeof Wire))
            return true;
    }
}

/// The sending time of the posted message at the head of Socket; false when it holds none.
bool peekSent(int Socket, uint32_t& Sent)
{
    for (;;) {
        WireMessage wire;
        ssize_t size = recv(Socket, &wire, sizeof wire, MSG_DONTWAIT | MSG_TRUNC | MSG_PEEK);
        if (size < 0 && errno == EINTR)
            continue;
        if (size < 0)
            return false;
        if (size == static_cast<ssize_t>(sizeof wire)) {
            Sent = wire.Sent;
            return true;
        }
        recv(Socket, &wire, sizeof wire, MSG_DONTWAIT); // a stray datagram: dropped
    }
}

// Until the loop takes a message from the local queue, its time field holds the sending time,
// by which the messages moved there together are put in order.
MSG messageOf(HWND Window, const WireMessage& Wire)
{
    return MSG { Window, Wire.Message, static_cast<WPARAM>(Wire.WParam), static_cast<LPARAM>(Wire.LParam), Wire.Sent };
}

// Constant-initialised and trivially destroyed, so all three outlive every static destructor.
std::atomic<MessageQueue*> current { nullptr };
std::mutex creation;               // held while the queue is made, and across fork
MessageQueue* inherited = nullptr; // a forked child's copy of its parent's queue, freed later

} // namespace

MessageQueue& MessageQueue::instance()
{
    if (MessageQueue* queue = current.load(std::memory_order_acquire))
        return *queue;
    std::lock_guard hold(creation);
    static bool forkHandled = false; // a child inherits the registration with the flag
    if (!forkHandled)
        forkHandled = pthread_atfork(beforeFork, afterForkInParent, afterForkInChild) == 0;
    delete inherited;
    inherited = nullptr;
    if (!current.load(std::memory_order_relaxed))
        current.store(new MessageQueue, std::memory_order_release); // never destroyed
    return *current.load(std::memory_order_relaxed);
}

MessageQueue::MessageQueue()
    : overflow_(epoll_create1(EPOLL_CLOEXEC)), loop_(epoll_create1(EPOLL_CLOEXEC)),
      wake_(eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)),
      timerFd_(timerfd_create(CLOCK_MONOTONIC, TFD_CLOEXEC | TFD_NONBLOCK))
{
    // Without all of them the process has no loop; every window operation then answers failure.
    if (!overflow_ || !wake_ || !timerFd_ || !watch(loop_.get(), wake_.get(), WakeTag)
        || !watch(loop_.get(), timerFd_.get(), TimerTag))
        loop_.reset();
}

MessageQueue::~MessageQueue() = default;

// --- Fork ------------------------------------------------------------------

void MessageQueue::beforeFork()
{
    // With both locks held across fork no other thread is half-way through the queue's state
    // (nor, through createWindow, through the handle counter's) when the child's copy is taken.
    creation.lock();
    if (MessageQueue* queue = current.load(std::memory_order_relaxed))
        queue->lock_.lock();
}

void MessageQueue::afterForkInParent()
{
    if (MessageQueue* queue = current.load(std::memory_order_relaxed))
        queue->lock_.unlock();
    creation.unlock();
}

void MessageQueue::afterForkInChild()
{
    // The child has no receiver thread, and its copies of the parent's window sockets would keep
    // the parent's window names alive: they are closed at once, the rest is freed on next use.
    if (MessageQueue* queue = current.exchange(nullptr, std::memory_order_relaxed)) {
        queue->lock_.unlock();
        queue->closeDescriptors();
        // Nothing older is pending: a queue in use means instance() has freed the last copy.
        assert(!inherited);
        inherited = queue;
    }
    creation.unlock();
}

void MessageQueue::closeDescriptors()
{
    // Only closing: epoll_ctl, or reading the eventfd, would act on what the parent still uses.
    for (auto& [handle, window] : windows_) {
        window.Socket.reset();
        window.Bell.reset();
    }
    overflow_.reset();
    loop_.reset();
    wake_.reset();
    timerFd_.reset();
}

// --- Windows ---------------------------------------------------------------

HWND MessageQueue::createWindow(WNDPROC Proc)
{
    std::lock_guard hold(lock_);
    if (!loop_ || !startReceiver())
        return 0;
    // A taken name means the counter has wrapped onto a living window: try the next number.
    for (int attempt = 0; attempt < 64; ++attempt) {
        HWND handle = nextWindowHandle();
        if (handle == 0)
            return 0;
        ino_t socketNode = 0, bellNode = 0;
        UniqueFd socket = bindWindowSocket(handle, &socketNode);
        if (!socket) {
            if (errno == EADDRINUSE)
                continue;
            return 0;
        }
        // The window's name is ours now, so the bell's name is free but for a crashed owner's.
        UniqueFd bell = bindWindowBell(handle, &bellNode);
        if (!bell) {
            removeSocketFile(windowAddress(handle), socketNode);
            return 0;
        }
        // A full queue refuses posts to each of its windows, a new one included.
        bool refusing = full_ && refusePosts(socket.get(), handle);
        if (!watch(loop_.get(), socket.get(), SocketTag | handle)
            || !watch(overflow_.get(), socket.get(), SocketTag | handle, inCharge_ ? EPOLLIN : 0)
            || !watch(overflow_.get(), bell.get(), BellTag | handle)) {
            epoll_ctl(loop_.get(), EPOLL_CTL_DEL, socket.get(), nullptr);
            epoll_ctl(overflow_.get(), EPOLL_CTL_DEL, socket.get(), nullptr);
            removeSocketFile(windowAddress(handle), socketNode);
            removeSocketFile(bellAddress(handle), bellNode);
            return 0;
        }
        auto proc = std::make_shared<const WNDPROC>(std::move(Proc));
        windows_.emplace(handle, WindowEntry { std::move(socket), std::move(bell), std::move(proc), refusing,
                                               socketNode, bellNode });
        return handle;
    }
    return 0;
}

bool MessageQueue::destroyWindow(HWND Window)
{
    std::lock_guard hold(lock_);
    auto window = windows_.find(Window);
    if (window == windows_.end())
        return false;
    // Both threads read a socket only with the lock held and find it through windows_, so once
    // the entry is gone nothing reads this socket again; an event already taken for the handle
    // finds no window.
    epoll_ctl(loop_.get(), EPOLL_CTL_DEL, window->second.Socket.get(), nullptr);
    epoll_ctl(overflow_.get(), EPOLL_CTL_DEL, window->second.Socket.get(), nullptr);
    epoll_ctl(overflow_.get(), EPOLL_CTL_DEL, window->second.Bell.get(), nullptr);
    // Removing the files and closing the socket frees the name: from now on posts to the handle
    // answer false, and what still waited in the socket goes with it.
    removeSocketFile(windowAddress(Window), window->second.SocketNode);
    removeSocketFile(bellAddress(Window), window->second.BellNode);
    windows_.erase(window);
    std::erase_if(local_, [Window](const MSG& m) { return m.hwnd == Window; });
    if (std::erase_if(timers_, [Window](const Timer& t) { return t.Window == Window; }))
        armTimerFd();
    acceptWhenRoom();
    if (local_.empty())
        takeCharge(false);
    updateWake();
    return true;
}

// --- The loop --------------------------------------------------------------

void MessageQueue::postQuit(int ExitCode)
{
    std::lock_guard hold(lock_);
    quitPending_ = true;
    quitCode_ = ExitCode;
    updateWake();
}

bool MessageQueue::peek(MSG* Msg)
{
    std::lock_guard hold(lock_);
    // Posted messages first, then the quit, then timers: the original's order of priority. What
    // the receiver thread moved into the local queue came before what the sockets still hold.
    if (!local_.empty()) {
        *Msg = local_.front();
        local_.pop_front();
        acceptWhenRoom();
        // The loop has caught up: arrivals are its own again.
        if (local_.empty())
            takeCharge(false);
        updateWake();
    } else if (takeFromSocket(Msg)) {
        // What a sender posted before this look is taken now, straight from its socket.
    } else if (quitPending_) {
        quitPending_ = false;
        *Msg = MSG { 0, WM_QUIT, static_cast<WPARAM>(static_cast<intptr_t>(quitCode_)), 0, 0 };
        updateWake();
    } else if (timers_.empty() || !takeDueTimer(Msg)) {
        return false;
    }
    Msg->time = timeGetTime();
    return true;
}

bool MessageQueue::get(MSG* Msg)
{
    if (!loop_) {
        *Msg = MSG { 0, WM_QUIT, 0, 0, timeGetTime() };
        return false;
    }
    while (!peek(Msg)) {
        pollfd ready { loop_.get(), POLLIN, 0 };
        if (poll(&ready, 1, -1) < 0 && errno != EINTR) {
            *Msg = MSG { 0, WM_QUIT, 0, 0, timeGetTime() };
            return false;
        }
    }
    return Msg->message != WM_QUIT;
}

LRESULT MessageQueue::dispatch(const MSG& Msg)
{
    std::shared_ptr<const WNDPROC> proc;
    {
        std::lock_guard hold(lock_);
        auto window = windows_.find(Msg.hwnd);
        if (window == windows_.end())
            return 0;
        proc = window->second.Proc;
    }
    // Called without the lock: the procedure may post, make or destroy windows, itself included.
    return *proc ? (*proc)(Msg.hwnd, Msg.message, Msg.wParam, Msg.lParam) : 0;
}

void MessageQueue::updateWake()
{
    bool wanted = !local_.empty() || quitPending_;
    if (wanted == wakeSet_)
        return;
    uint64_t value = 1;
    ssize_t done = wanted ? write(wake_.get(), &value, sizeof value) : read(wake_.get(), &value, sizeof value);
    if (done == sizeof value)
        wakeSet_ = wanted;
}

// --- Receiving -------------------------------------------------------------

bool MessageQueue::startReceiver()
{
    if (receiverRunning_.load())
        return true;
    // The thread takes no signals, so the program's handlers run on the program's own threads.
    sigset_t all, previous;
    sigfillset(&all);
    pthread_sigmask(SIG_SETMASK, &all, &previous);
    bool started = false;
    try {
        // Detached: it only touches this queue, which is never destroyed, so it may go on
        // running while the process exits.
        std::thread([this] { runReceiver(); }).detach();
        started = true;
    } catch (const std::system_error&) {
        // No thread, no window: posts to it would never wake the loop.
    }
    pthread_sigmask(SIG_SETMASK, &previous, nullptr);
    // A starting thread allocates outside the lock; a fork meanwhile could leave the child an
    // allocator lock that nobody releases (sanitizer allocators do not guard against that). So
    // the lock stays held, keeping fork out, until the thread runs; from then on it allocates
    // only under the lock.
    if (started)
        receiverRunning_.wait(false);
    return started;
}

void MessageQueue::runReceiver()
{
    pthread_setname_np(pthread_self(), "message queue");
    receiverRunning_.store(true);
    receiverRunning_.notify_all();
    constexpr int Batch = 32;
    epoll_event events[Batch];
    for (;;) {
        int count = epoll_wait(overflow_.get(), events, Batch, -1);
        if (count < 0 && errno == EINTR)
            continue;
        if (count < 0)
            return; // a broken descriptor; the loop's own looks still take messages
        std::lock_guard hold(lock_);
        overflowed(events, count);
    }
}

void MessageQueue::overflowed(const epoll_event* Events, int Count)
{
    bool rung = false;
    for (int i = 0; i < Count; ++i) {
        if (!(Events[i].data.u64 & BellTag))
            continue;
        auto window = windows_.find(windowOf(Events[i].data.u64));
        if (window == windows_.end())
            continue;
        // However often it was rung, one round of moving answers all of it.
        char ring[16];
        while (recv(window->second.Bell.get(), ring, sizeof ring, MSG_DONTWAIT) >= 0 || errno == EINTR) {
        }
        rung = true;
    }
    // An arrival while in charge, with the local queue taken empty meanwhile, is the loop's again.
    if (!rung && (!inCharge_ || local_.empty())) {
        takeCharge(false);
        return;
    }
    // Every socket, not only the full one, so that its window's messages stay behind the older
    // ones; what comes from different sockets is put in the order it was posted.
    const size_t before = local_.size();
    for (auto& [handle, window] : windows_)
        receiveFrom(handle, window);
    std::stable_sort(local_.begin() + std::ptrdiff_t(std::min(before, local_.size())), local_.end(),
                     [](const MSG& a, const MSG& b) { return postedBefore(a.time, b.time); });
    takeCharge(!local_.empty());
    updateWake();
}

bool MessageQueue::takeFromSocket(MSG* Msg)
{
    constexpr int Batch = 16;
    epoll_event events[Batch];
    int count = epoll_wait(loop_.get(), events, Batch, 0);
    // With messages waiting in several sockets, the one posted first goes first.
    WindowEntry* first = nullptr;
    HWND firstHandle = 0;
    uint32_t firstSent = 0;
    int ready = 0;
    for (int i = 0; i < count; ++i)
        ready += (events[i].data.u64 & SocketTag) != 0;
    for (int i = 0; i < count; ++i) {
        if (!(events[i].data.u64 & SocketTag))
            continue;
        HWND handle = windowOf(events[i].data.u64);
        auto window = windows_.find(handle);
        if (window == windows_.end())
            continue;
        uint32_t sent = 0;
        if (ready > 1 && !peekSent(window->second.Socket.get(), sent))
            continue;
        if (!first || postedBefore(sent, firstSent)) {
            first = &window->second;
            firstHandle = handle;
            firstSent = sent;
        }
    }
    WireMessage wire;
    if (!first || !readWire(first->Socket.get(), wire))
        return false;
    *Msg = messageOf(firstHandle, wire);
    return true;
}

void MessageQueue::receiveFrom(HWND Window, WindowEntry& Entry)
{
    // A refusing socket gets nothing new, so it is read empty whatever the queue holds.
    WireMessage wire;
    while (Entry.Refusing || local_.size() < LocalQueueLimit) {
        if (!readWire(Entry.Socket.get(), wire))
            return;
        local_.push_back(messageOf(Window, wire));
    }
    refuseWhileFull();
}

void MessageQueue::takeCharge(bool InCharge)
{
    if (InCharge == inCharge_)
        return;
    inCharge_ = InCharge;
    for (auto& [handle, window] : windows_)
        watch(overflow_.get(), window.Socket.get(), SocketTag | handle, InCharge ? EPOLLIN : 0, EPOLL_CTL_MOD);
}

void MessageQueue::refuseWhileFull()
{
    // Every socket first stops taking posts, then gives up what it took before: those posts were
    // answered true, so they are delivered, even beyond the limit.
    full_ = true;
    for (auto& [handle, window] : windows_)
        if (!window.Refusing)
            window.Refusing = refusePosts(window.Socket.get(), handle);
    for (auto& [handle, window] : windows_)
        if (window.Refusing)
            receiveFrom(handle, window);
}

void MessageQueue::acceptWhenRoom()
{
    if (!full_ || local_.size() >= LocalQueueLimit)
        return;
    full_ = false;
    for (auto& [handle, window] : windows_) {
        if (!window.Refusing)
            continue;
        // Changing the connection drops what the socket holds: it is read empty first.
        receiveFrom(handle, window);
        window.Refusing = !acceptPosts(window.Socket.get());
    }
}

// --- Timers ----------------------------------------------------------------

uintptr_t MessageQueue::setTimer(HWND Window, uintptr_t ID, UINT Elapse)
{
    std::lock_guard hold(lock_);
    if (!loop_)
        return 0;
    if (Window != 0 && (ID == 0 || !windows_.contains(Window)))
        return 0; // only windows of this process; ID 0 could not be told from failure
    auto same = [&](const Timer& t) { return t.Window == Window && t.ID == ID; };
    auto timer = std::find_if(timers_.begin(), timers_.end(), same);
    if (Window == 0 && timer == timers_.end()) {
        // A timer without a window gets a fresh ID, as on the original platform.
        do
            ID = nextThreadTimerID_++;
        while (ID == 0 || std::any_of(timers_.begin(), timers_.end(), same));
    }
    int64_t interval = int64_t(std::clamp(Elapse, MinimumElapse, MaximumElapse)) * NsPerMs;
    Timer fresh { Window, ID, interval, monotonicNs() + interval };
    if (timer != timers_.end())
        *timer = fresh; // setting an existing timer again restarts it with the new interval
    else
        timers_.push_back(fresh);
    armTimerFd();
    return ID;
}

bool MessageQueue::killTimer(HWND Window, uintptr_t ID)
{
    std::lock_guard hold(lock_);
    size_t removed = std::erase_if(timers_, [&](const Timer& t) { return t.Window == Window && t.ID == ID; });
    if (removed)
        armTimerFd();
    return removed != 0;
}

bool MessageQueue::takeDueTimer(MSG* Msg)
{
    // Reading clears the descriptor's readiness; the due times below decide what fires.
    uint64_t expirations;
    ssize_t ignored = read(timerFd_.get(), &expirations, sizeof expirations);
    (void)ignored;
    auto earliest =
        std::min_element(timers_.begin(), timers_.end(), [](const Timer& a, const Timer& b) { return a.Due < b.Due; });
    int64_t now = monotonicNs();
    bool due = earliest != timers_.end() && earliest->Due <= now;
    if (due) {
        *Msg = MSG { earliest->Window, WM_TIMER, static_cast<WPARAM>(earliest->ID), 0, 0 };
        // Missed periods are not made up for: one WM_TIMER stands for all of them.
        earliest->Due = now + earliest->Interval;
    }
    armTimerFd();
    return due;
}

void MessageQueue::armTimerFd()
{
    itimerspec spec {}; // all zero disarms
    auto earliest =
        std::min_element(timers_.begin(), timers_.end(), [](const Timer& a, const Timer& b) { return a.Due < b.Due; });
    if (earliest != timers_.end()) {
        int64_t due = std::max<int64_t>(earliest->Due, 1); // a zero value would disarm
        spec.it_value.tv_sec = due / NsPerSecond;
        spec.it_value.tv_nsec = due % NsPerSecond;
    }
    // Setting the timer also clears an expiration not yet read, so a killed timer leaves the
    // queue descriptor quiet.
    timerfd_settime(timerFd_.get(), TFD_TIMER_ABSTIME, &spec, nullptr);
}

} // namespace user_private
