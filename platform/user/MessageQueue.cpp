//===- MessageQueue.cpp - The message queue and timers of this process ===//
#include "platform/user/MessageQueue_p.h"

#include "platform/user/WindowSocket_p.h"
#include "platform/kernel/Clock.h"

#include <algorithm>
#include <cerrno>
#include <ctime>
#include <poll.h>
#include <sys/epoll.h>
#include <sys/eventfd.h>
#include <sys/timerfd.h>
#include <unistd.h>

namespace platform {

namespace {

// epoll tags of the two descriptors that are not window sockets; window sockets carry their
// 32-bit handle, so tags above 2^32 never meet one.
constexpr uint64_t WakeTag = uint64_t(1) << 32;
constexpr uint64_t TimerTag = WakeTag + 1;

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

bool watch(int Epoll, int Fd, uint64_t Tag)
{
    epoll_event event {};
    event.events = EPOLLIN;
    event.data.u64 = Tag;
    return epoll_ctl(Epoll, EPOLL_CTL_ADD, Fd, &event) == 0;
}

} // namespace

MessageQueue& MessageQueue::instance()
{
    static std::mutex guard;
    static MessageQueue* queue = nullptr;   // never destroyed: other modules' static destructors may still post
    static pid_t owner = 0;
    std::lock_guard hold(guard);
    pid_t self = getpid();
    if (!queue || owner != self) {
        // In a forked child the old object only holds the child's copies of the parent's
        // descriptors; closing them leaves the parent's windows and registrations alone.
        delete queue;
        queue = new MessageQueue;
        owner = self;
    }
    return *queue;
}

MessageQueue::MessageQueue()
    : epoll_(epoll_create1(EPOLL_CLOEXEC))
    , wake_(eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK))
    , timerFd_(timerfd_create(CLOCK_MONOTONIC, TFD_CLOEXEC | TFD_NONBLOCK))
{
    // Without all three the process has no loop; every window operation then answers failure.
    if (!wake_ || !timerFd_ || !watch(epoll_.get(), wake_.get(), WakeTag)
        || !watch(epoll_.get(), timerFd_.get(), TimerTag))
        epoll_.reset();
}

MessageQueue::~MessageQueue() = default;

// --- Windows ---------------------------------------------------------------

HWND MessageQueue::createWindow(WNDPROC Proc)
{
    std::lock_guard hold(lock_);
    if (!epoll_)
        return 0;
    // A taken name means the counter has wrapped onto a living window: try the next number.
    for (int attempt = 0; attempt < 64; ++attempt) {
        HWND handle = nextWindowHandle();
        if (handle == 0)
            return 0;
        UniqueFd socket = bindWindowSocket(handle);
        if (!socket) {
            if (errno == EADDRINUSE)
                continue;
            return 0;
        }
        if (!watch(epoll_.get(), socket.get(), handle))
            return 0;
        windows_.emplace(handle, WindowEntry { std::move(socket), std::move(Proc) });
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
    epoll_ctl(epoll_.get(), EPOLL_CTL_DEL, window->second.Socket.get(), nullptr);
    // Closing the socket frees the name: from now on posts to the handle answer false, and what
    // still waited in the socket goes with it.
    windows_.erase(window);
    std::erase_if(local_, [Window](const MSG& m) { return m.hwnd == Window; });
    std::erase_if(timers_, [Window](const Timer& t) { return t.Window == Window; });
    armTimerFd();
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
    takeArrivedMessages();
    // Posted messages first, then the quit, then timers: the original's order of priority.
    if (!local_.empty()) {
        *Msg = local_.front();
        local_.pop_front();
    } else if (quitPending_) {
        quitPending_ = false;
        *Msg = MSG { 0, WM_QUIT, static_cast<WPARAM>(static_cast<intptr_t>(quitCode_)), 0, 0 };
    } else if (!takeDueTimer(Msg)) {
        updateWake();
        return false;
    }
    Msg->time = timeGetTime();
    updateWake();
    return true;
}

bool MessageQueue::get(MSG* Msg)
{
    if (!epoll_) {
        *Msg = MSG { 0, WM_QUIT, 0, 0, timeGetTime() };
        return false;
    }
    while (!peek(Msg)) {
        pollfd ready { epoll_.get(), POLLIN, 0 };
        if (poll(&ready, 1, -1) < 0 && errno != EINTR) {
            *Msg = MSG { 0, WM_QUIT, 0, 0, timeGetTime() };
            return false;
        }
    }
    return Msg->message != WM_QUIT;
}

LRESULT MessageQueue::dispatch(const MSG& Msg)
{
    WNDPROC proc;
    {
        std::lock_guard hold(lock_);
        auto window = windows_.find(Msg.hwnd);
        if (window == windows_.end())
            return 0;
        proc = window->second.Proc;
    }
    // Called without the lock: the procedure may post, make or destroy windows, itself included.
    return proc ? proc(Msg.hwnd, Msg.message, Msg.wParam, Msg.lParam) : 0;
}

void MessageQueue::takeArrivedMessages()
{
    constexpr int Batch = 32;
    epoll_event events[Batch];
    while (local_.size() < LocalQueueLimit) {
        int count = epoll_wait(epoll_.get(), events, Batch, 0);
        for (int i = 0; i < count; ++i) {
            uint64_t tag = events[i].data.u64;
            if (tag >= WakeTag)
                continue;
            auto window = windows_.find(static_cast<HWND>(tag));
            if (window != windows_.end())
                receiveFrom(window->first, window->second.Socket.get());
        }
        if (count < Batch)
            return;
    }
}

void MessageQueue::receiveFrom(HWND Window, int Socket)
{
    while (local_.size() < LocalQueueLimit) {
        WireMessage wire {};
        // MSG_TRUNC answers the datagram's real size, so a longer stray one is not taken for ours.
        ssize_t size = recv(Socket, &wire, sizeof wire, MSG_DONTWAIT | MSG_TRUNC);
        if (size < 0) {
            if (errno == EINTR)
                continue;
            return;
        }
        if (size != static_cast<ssize_t>(sizeof wire))
            continue;   // not a posted message: dropped
        local_.push_back(MSG { Window, wire.Message, static_cast<WPARAM>(wire.WParam),
            static_cast<LPARAM>(wire.LParam), 0 });
    }
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

// --- Timers ----------------------------------------------------------------

uintptr_t MessageQueue::setTimer(HWND Window, uintptr_t ID, UINT Elapse)
{
    std::lock_guard hold(lock_);
    if (!epoll_)
        return 0;
    if (Window != 0 && (ID == 0 || !windows_.contains(Window)))
        return 0;   // only windows of this process; ID 0 could not be told from failure
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
        *timer = fresh;   // setting an existing timer again restarts it with the new interval
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
    auto earliest = std::min_element(timers_.begin(), timers_.end(),
        [](const Timer& a, const Timer& b) { return a.Due < b.Due; });
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
    itimerspec spec {};   // all zero disarms
    auto earliest = std::min_element(timers_.begin(), timers_.end(),
        [](const Timer& a, const Timer& b) { return a.Due < b.Due; });
    if (earliest != timers_.end()) {
        int64_t due = std::max<int64_t>(earliest->Due, 1);   // a zero value would disarm
        spec.it_value.tv_sec = due / NsPerSecond;
        spec.it_value.tv_nsec = due % NsPerSecond;
    }
    // Setting the timer also clears an expiration not yet read, so a killed timer leaves the
    // queue descriptor quiet.
    timerfd_settime(timerFd_.get(), TFD_TIMER_ABSTIME, &spec, nullptr);
}

} // namespace platform
