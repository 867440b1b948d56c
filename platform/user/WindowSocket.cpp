//===- WindowSocket.cpp - The datagram socket behind each window -------===//
#include "platform/user/WindowSocket_p.h"

#include "platform/kernel/SessionNames.h"
#include "platform/user/SessionFile_p.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <functional>
#include <mutex>
#include <string>
#include <string_view>
#include <sys/mman.h>
#include <sys/stat.h>
#include <sys/time.h>

namespace user_private {

namespace {

constexpr off_t CounterFileSize = 4096;

// How long a post waits for the receiver thread of a busy process to make room in its socket.
// That thread empties the socket within microseconds when it runs at all, so only a receiver
// that is not running (stopped, frozen) lets this pass; it is paid once per such receiver.
constexpr int64_t RoomWaitNs = 500 * int64_t(1000000);

UniqueFd datagramSocket() { return UniqueFd(socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC, 0)); }

bool sendOn(int Socket, const WindowAddress& To, const WireMessage& Msg)
{
    ssize_t sent;
    do
        sent = sendto(Socket, &Msg, sizeof Msg, MSG_DONTWAIT | MSG_NOSIGNAL,
                      reinterpret_cast<const sockaddr*>(&To.Address), To.Length);
    while (sent < 0 && errno == EINTR);
    return sent == static_cast<ssize_t>(sizeof Msg);
}

int64_t monotonicNs()
{
    timespec now {};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return int64_t(now.tv_sec) * 1000000000 + now.tv_nsec;
}

/// Asks the owner's receiver thread to empty Window's socket. A bell that holds rings already
/// (its socket full) needs no more.
void ringBell(int Socket, HWND Window)
{
    WindowAddress bell = bellAddress(Window);
    char ring = 1;
    sendto(Socket, &ring, sizeof ring, MSG_DONTWAIT | MSG_NOSIGNAL, reinterpret_cast<const sockaddr*>(&bell.Address),
           bell.Length);
}

/// Sends on a fresh socket that waits (in the kernel, woken by the receiver's reads) until the
/// receiving socket has room, the receiver refuses or goes, or RoomWaitNs pass (errno EAGAIN).
/// The bell is rung again every slice, so a ring that the receiver answered before this sender's
/// turn came round cannot leave it waiting.
bool sendWaitingForRoom(HWND Window, const WindowAddress& To, const WireMessage& Msg)
{
    constexpr int64_t SliceNs = 20 * int64_t(1000000);
    UniqueFd socket = datagramSocket();
    if (!socket)
        return false;
    const int64_t deadline = monotonicNs() + RoomWaitNs;
    for (;;) {
        int64_t left = deadline - monotonicNs();
        if (left <= 0) {
            errno = EAGAIN;
            return false;
        }
        ringBell(socket.get(), Window);
        left = std::min(left, SliceNs);
        // A zero timeout would mean "wait forever".
        timeval timeout { static_cast<time_t>(left / 1000000000), static_cast<suseconds_t>(left % 1000000000 / 1000) };
        if (timeout.tv_sec == 0 && timeout.tv_usec == 0)
            timeout.tv_usec = 1;
        if (setsockopt(socket.get(), SOL_SOCKET, SO_SNDTIMEO, &timeout, sizeof timeout) != 0)
            return false;
        ssize_t sent = sendto(socket.get(), &Msg, sizeof Msg, MSG_NOSIGNAL,
                              reinterpret_cast<const sockaddr*>(&To.Address), To.Length);
        if (sent == static_cast<ssize_t>(sizeof Msg))
            return true;
        if (sent >= 0 || (errno != EINTR && errno != EAGAIN))
            return false;
    }
}

// Receivers that let a whole wait for room pass. A few slots keyed by a hash of the address (so
// sessions never mix); a collision only costs one more wait. Lock-free, so a forked child never
// meets a lock that another thread of its parent held.
class StalledReceivers {
public:
    static uint64_t key(const WindowAddress& To)
    {
        std::string_view name(To.Address.sun_path, To.Length - offsetof(sockaddr_un, sun_path));
        return std::hash<std::string_view>()(name) | 1; // never 0, the empty slot
    }
    bool contains(uint64_t Key) const { return slot(Key).load(std::memory_order_relaxed) == Key; }
    void add(uint64_t Key) { slot(Key).store(Key, std::memory_order_relaxed); }
    void remove(uint64_t Key)
    {
        if (contains(Key)) {
            uint64_t expected = Key;
            slot(Key).compare_exchange_strong(expected, 0, std::memory_order_relaxed);
        }
    }

private:
    static constexpr size_t Slots = 16;
    std::atomic<uint64_t>& slot(uint64_t Key) const { return slots_[Key % Slots]; }
    mutable std::atomic<uint64_t> slots_[Slots] {};
};

StalledReceivers stalledReceivers;

// The session's handle counter: one 32-bit word in a shared page, counted up atomically.
// The mapping is kept per session name because tests switch sessions inside one process.
class HandleCounter {
public:
    ~HandleCounter() { unmap(); }

    HWND next()
    {
        std::lock_guard hold(lock_);
        std::string name = sessionFileName(WindowHandleCounter);
        if (name != name_ || !word_) {
            unmap();
            map(name);
        }
        if (!word_)
            return 0;
        std::atomic_ref<uint32_t> counter(*word_);
        HWND handle;
        do
            handle = counter.fetch_add(1) + 1;
        while (handle == 0); // 0 means "no window"; skipped when the counter wraps
        return handle;
    }

private:
    void map(const std::string& name)
    {
        UniqueFd file = openSessionFile(WindowHandleCounter);
        struct stat info {};
        if (!file || fstat(file.get(), &info) != 0)
            return;
        // Growing an existing file to the same size keeps its contents, so racing creators agree.
        if (info.st_size < CounterFileSize && ftruncate(file.get(), CounterFileSize) != 0)
            return;
        void* view = mmap(nullptr, CounterFileSize, PROT_READ | PROT_WRITE, MAP_SHARED, file.get(), 0);
        if (view == MAP_FAILED)
            return;
        word_ = static_cast<uint32_t*>(view);
        name_ = name;
    }

    void unmap()
    {
        if (word_)
            munmap(word_, CounterFileSize);
        word_ = nullptr;
    }

    std::mutex lock_;
    std::string name_;
    uint32_t* word_ = nullptr;
};

static_assert(std::atomic_ref<uint32_t>::is_always_lock_free, "the counter is shared between processes");

} // namespace

namespace {

/// The session-scoped part of the window names, "varnex-<uid>[-<session>]-wnd-", made once per
/// thread and session rather than at every post. Plain arrays: posts from static destructors
/// may come after a thread's objects are gone.
class WindowNamePrefix {
public:
    std::string_view get()
    {
        const char* session = std::getenv("VARNEX_SESSION");
        std::string_view current = session ? session : "";
        if (made_ && current == std::string_view(session_, sessionLength_))
            return std::string_view(prefix_, prefixLength_);
        // Longer names are cut at the socket name's end anyway.
        std::string prefix = SessionObjectName("wnd", "");
        prefixLength_ = std::min(prefix.size(), sizeof prefix_);
        std::memcpy(prefix_, prefix.data(), prefixLength_);
        // A session too long to keep is looked up again next time.
        made_ = current.size() <= sizeof session_;
        sessionLength_ = made_ ? current.size() : 0;
        if (sessionLength_ > 0)
            std::memcpy(session_, current.data(), sessionLength_);
        return std::string_view(prefix_, prefixLength_);
    }

private:
    bool made_ = false;
    char session_[128];
    size_t sessionLength_ = 0;
    char prefix_[sizeof(sockaddr_un::sun_path)];
    size_t prefixLength_ = 0;
};

thread_local WindowNamePrefix windowNamePrefix;

WindowAddress addressOf(HWND Window, std::string_view Suffix)
{
    static constexpr char Hex[] = "0123456789ABCDEF";
    char hex[8];
    for (int i = 0; i < 8; ++i)
        hex[i] = Hex[(Window >> (28 - 4 * i)) & 0xF];
    std::string_view prefix = windowNamePrefix.get();

    WindowAddress result {};
    result.Address.sun_family = AF_UNIX;
    // Abstract namespace: a leading NUL, then the name without terminator.
    char* out = result.Address.sun_path + 1;
    char* end = result.Address.sun_path + sizeof result.Address.sun_path;
    for (std::string_view part : { prefix, std::string_view(hex, 8), Suffix }) {
        size_t length = std::min(part.size(), size_t(end - out));
        if (length > 0)
            std::memcpy(out, part.data(), length);
        out += length;
    }
    result.Length = static_cast<socklen_t>(out - reinterpret_cast<char*>(&result.Address));
    return result;
}

UniqueFd bindTo(const WindowAddress& Address)
{
    UniqueFd socket(::socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0));
    if (!socket)
        return {};
    if (bind(socket.get(), reinterpret_cast<const sockaddr*>(&Address.Address), Address.Length) != 0)
        return {};
    return socket;
}

} // namespace

uint32_t postClock() { return static_cast<uint32_t>(monotonicNs() >> 4); }

WindowAddress windowAddress(HWND Window) { return addressOf(Window, {}); }

WindowAddress bellAddress(HWND Window) { return addressOf(Window, "-full"); }

UniqueFd bindWindowSocket(HWND Window) { return bindTo(windowAddress(Window)); }

UniqueFd bindWindowBell(HWND Window) { return bindTo(bellAddress(Window)); }

bool refusePosts(int Socket, HWND Window)
{
    // A datagram socket connected to a peer takes datagrams from that peer only; its own address
    // is a peer that never sends, and other senders get EPERM.
    WindowAddress self = windowAddress(Window);
    return connect(Socket, reinterpret_cast<const sockaddr*>(&self.Address), self.Length) == 0;
}

bool acceptPosts(int Socket)
{
    sockaddr none {};
    none.sa_family = AF_UNSPEC;
    return connect(Socket, &none, sizeof none) == 0;
}

bool sendToWindow(HWND Window, const WireMessage& Msg)
{
    // One sending socket serves every thread of the process (sendto is thread-safe). Never
    // closed: other modules' static destructors may still post.
    static const int shared = socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    WindowAddress to = windowAddress(Window);
    uint64_t key = StalledReceivers::key(to);
    bool sent = shared >= 0 && sendOn(shared, to, Msg);
    if (!sent && shared >= 0 && errno != EAGAIN && errno != ENOBUFS)
        return false; // ECONNREFUSED, ENOENT: the window is gone; EPERM: its queue is full
    if (!sent && stalledReceivers.contains(key)) {
        ringBell(shared, Window);
        // Undelivered datagrams count against their sender's buffer, so a few stuck receivers
        // could fill the shared socket; a fresh one tells that apart from a full receiver.
        UniqueFd fresh = datagramSocket();
        sent = fresh && sendOn(fresh.get(), to, Msg);
    } else if (!sent) {
        sent = sendWaitingForRoom(Window, to, Msg);
        if (!sent && errno == EAGAIN)
            stalledReceivers.add(key);
    }
    if (sent)
        stalledReceivers.remove(key);
    return sent;
}

bool windowSocketAlive(HWND Window)
{
    UniqueFd probe = datagramSocket();
    if (!probe)
        return false;
    WindowAddress to = windowAddress(Window);
    // Connecting a datagram socket only checks that the name is bound; nothing is queued. A
    // socket that refuses posts answers EPERM, and is alive all the same.
    return connect(probe.get(), reinterpret_cast<const sockaddr*>(&to.Address), to.Length) == 0 || errno == EPERM;
}

HWND nextWindowHandle()
{
    // Never destroyed: windows may still be made from other modules' static destructors.
    static HandleCounter* counter = new HandleCounter;
    return counter->next();
}

} // namespace user_private
