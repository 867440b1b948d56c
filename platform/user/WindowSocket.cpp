//===- WindowSocket.cpp - The datagram socket behind each window -------===//
#include "platform/user/WindowSocket_p.h"

#include "platform/kernel/SessionNames.h"
#include "platform/user/Outbox_p.h"
#include "platform/user/SessionFile_p.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <cctype>
#include <cstring>
#include <ctime>
#include <dirent.h>
#include <fcntl.h>
#include <mutex>
#include <pthread.h>
#include <string>
#include <unordered_map>
#include <string_view>
#include <sys/mman.h>
#include <sys/stat.h>
#include <sys/time.h>
#include <unistd.h>

namespace user_private {

namespace {

constexpr off_t CounterFileSize = 4096;

// How long a post waits for the receiver thread of a busy process to make room in its socket.
// That thread empties the socket within microseconds when it runs at all, so only a receiver
// that is not running (stopped, frozen) lets this pass; it is paid once per such receiver, whose
// posts then wait in the Outbox.
constexpr int64_t RoomWaitNs = 500 * int64_t(1000000);

UniqueFd datagramSocket() { return UniqueFd(socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC, 0)); }

class BoundFiles;
// Never destroyed: windows may still be made or destroyed from other modules' static destructors.
extern BoundFiles* boundFiles;

/// The socket files this process bound and has not removed yet. A program that ends without
/// destroying its windows removes them at exit; otherwise they would stay until the session's
/// last process leaves, one pair for every run of a program beside a long-lived server.
class BoundFiles {
public:
    BoundFiles()
    {
        // A child forked while another thread binds must not inherit the list locked.
        pthread_atfork([] { boundFiles->lock_.lock(); }, [] { boundFiles->lock_.unlock(); },
                       [] { boundFiles->lock_.unlock(); });
    }
    void add(const WindowAddress& Address, ino_t Node)
    {
        std::lock_guard hold(lock_);
        files_[Address.Address.sun_path] = { Node, getpid() };
    }
    void remove(const WindowAddress& Address)
    {
        std::lock_guard hold(lock_);
        files_.erase(Address.Address.sun_path);
    }
    void removeAll()
    {
        std::lock_guard hold(lock_);
        const pid_t self = getpid();
        for (const auto& [path, file] : files_) {
            // A child forked without exec inherits the list, but not its parent's windows.
            struct stat named {};
            if (file.Binder == self && stat(path.c_str(), &named) == 0 && named.st_ino == file.Node)
                unlink(path.c_str());
        }
        files_.clear();
    }

private:
    struct File {
        ino_t Node;
        pid_t Binder;
    };
    std::mutex lock_;
    std::unordered_map<std::string, File> files_;
};

BoundFiles* boundFiles = new BoundFiles;


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

// The session's handle counter: one 32-bit word in a shared page, counted up atomically.
// The mapping is kept per session name because tests switch sessions inside one process. The
// counter's file is held until the process ends (see SessionFiles); the session's window
// sockets are tidied with it.
class HandleCounter {
public:
    HWND next()
    {
        std::lock_guard hold(lock_);
        std::string name = SessionObjectFolder() + "/" + SessionObjectName("user", WindowHandleCounter);
        // After leaving, each handle comes from a file opened for the moment.
        if (name != name_ || !word_ || left_) {
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

    /// At the end of the process: the counter's files are left, the last user removes them.
    void leave()
    {
        std::lock_guard hold(lock_);
        unmap();
        files_.leaveAll();
        left_ = true;
    }

private:
    void map(const std::string& name)
    {
        file_ = files_.get(WindowHandleCounter, CounterFileSize, sweepWindowSockets);
        if (!file_)
            return;
        void* view = mmap(nullptr, CounterFileSize, PROT_READ | PROT_WRITE, MAP_SHARED, file_->Fd(), 0);
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
        file_.reset();
    }

    std::mutex lock_;
    SessionFiles files_;
    std::shared_ptr<SharedFile> file_; // the one mapped
    std::string name_;
    uint32_t* word_ = nullptr;
    bool left_ = false;
};

static_assert(std::atomic_ref<uint32_t>::is_always_lock_free, "the counter is shared between processes");

} // namespace

namespace {

/// The session-scoped part of the window sockets' paths, "<folder>/varnex[-<session>]-wnd-",
/// made once per thread, session and folder rather than at every post. Plain arrays: posts from
/// static destructors may come after a thread's objects are gone.
class WindowNamePrefix {
public:
    /// Empty when the folder is refused or a socket's path would not fit in its address.
    std::string_view get()
    {
        const char* session = std::getenv("VARNEX_SESSION");
        const char* runtime = std::getenv("XDG_RUNTIME_DIR");
        std::string_view currentSession = session ? session : "";
        std::string_view currentRuntime = runtime ? runtime : "";
        if (made_ && currentSession == std::string_view(session_, sessionLength_)
            && currentRuntime == std::string_view(runtime_, runtimeLength_))
            return std::string_view(prefix_, prefixLength_);
        prefixLength_ = 0;
        std::string prefix = SessionObjectFolder() + "/" + SessionObjectName("wnd", "");
        if (prefix.size() + LongestSuffix >= sizeof prefix_) {
            errno = ENAMETOOLONG;
        } else if (OpenSessionObjectFolder()) {
            // Checked once: from then on the folder stays ours, as nobody else may remove or
            // replace it (it is ours in a sticky or private parent).
            prefixLength_ = prefix.size();
            std::memcpy(prefix_, prefix.data(), prefixLength_);
        }
        // A refused folder, or a session or folder too long to keep, is looked up again next time.
        made_ =
            prefixLength_ > 0 && currentSession.size() <= sizeof session_ && currentRuntime.size() <= sizeof runtime_;
        sessionLength_ = made_ ? currentSession.size() : 0;
        runtimeLength_ = made_ ? currentRuntime.size() : 0;
        if (sessionLength_ > 0)
            std::memcpy(session_, currentSession.data(), sessionLength_);
        if (runtimeLength_ > 0)
            std::memcpy(runtime_, currentRuntime.data(), runtimeLength_);
        return std::string_view(prefix_, prefixLength_);
    }

    // The handle's 8 hex digits, the bell's "-full" and the terminating NUL.
    static constexpr size_t LongestSuffix = 8 + 5 + 1;

private:
    bool made_ = false;
    char session_[128];
    size_t sessionLength_ = 0;
    char runtime_[sizeof(sockaddr_un::sun_path)];
    size_t runtimeLength_ = 0;
    char prefix_[sizeof(sockaddr_un::sun_path)];
    size_t prefixLength_ = 0;
};

thread_local WindowNamePrefix windowNamePrefix;

void hexDigits(HWND Window, char* Out)
{
    static constexpr char Hex[] = "0123456789ABCDEF";
    for (int i = 0; i < 8; ++i)
        Out[i] = Hex[(Window >> (28 - 4 * i)) & 0xF];
}

WindowAddress addressOf(HWND Window, std::string_view Suffix)
{
    char hex[8];
    hexDigits(Window, hex);
    std::string_view prefix = windowNamePrefix.get();

    WindowAddress result {};
    result.Address.sun_family = AF_UNIX;
    if (prefix.empty())
        return result; // Length 0: no socket call takes it
    // A path in the user's folder, where only the user can bind, connect or send.
    char* out = result.Address.sun_path;
    for (std::string_view part : { prefix, std::string_view(hex, 8), Suffix }) {
        if (!part.empty())
            std::memcpy(out, part.data(), part.size());
        out += part.size();
    }
    *out++ = '\0';
    result.Length = static_cast<socklen_t>(out - reinterpret_cast<char*>(&result.Address));
    return result;
}

bool bindSocket(int Socket, const WindowAddress& Address)
{
    return bind(Socket, reinterpret_cast<const sockaddr*>(&Address.Address), Address.Length) == 0;
}

/// A socket file of the name that no socket is bound to: its process died without removing it.
bool staleSocketFile(const WindowAddress& Address)
{
    UniqueFd probe = datagramSocket();
    return probe && connect(probe.get(), reinterpret_cast<const sockaddr*>(&Address.Address), Address.Length) != 0
           && errno == ECONNREFUSED;
}

UniqueFd bindTo(const WindowAddress& Address, ino_t* Node)
{
    if (Address.Length == 0) {
        if (errno != ENAMETOOLONG)
            errno = EACCES;
        return {};
    }
    // Checked at every bind, so a window never lives in a folder that others could reach.
    if (!OpenSessionObjectFolder())
        return {};
    UniqueFd socket(::socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0));
    if (!socket)
        return {};
    if (!bindSocket(socket.get(), Address)) {
        if (errno != EADDRINUSE || !staleSocketFile(Address))
            return {};
        unlink(Address.Address.sun_path);
        if (!bindSocket(socket.get(), Address))
            return {};
    }
    struct stat bound {};
    if (stat(Address.Address.sun_path, &bound) != 0) {
        unlink(Address.Address.sun_path);
        return {};
    }
    *Node = bound.st_ino;
    boundFiles->add(Address, bound.st_ino);
    return socket;
}

} // namespace

void ringBell(int Socket, HWND Window)
{
    WindowAddress bell = bellAddress(Window);
    char ring = 1;
    sendto(Socket, &ring, sizeof ring, MSG_DONTWAIT | MSG_NOSIGNAL, reinterpret_cast<const sockaddr*>(&bell.Address),
           bell.Length);
}

uint32_t postClock() { return static_cast<uint32_t>(monotonicNs() >> 4); }

WindowAddress windowAddress(HWND Window) { return addressOf(Window, {}); }

WindowAddress bellAddress(HWND Window) { return addressOf(Window, "-full"); }

UniqueFd bindWindowSocket(HWND Window, ino_t* Node) { return bindTo(windowAddress(Window), Node); }

UniqueFd bindWindowBell(HWND Window, ino_t* Node) { return bindTo(bellAddress(Window), Node); }

void removeSocketFile(const WindowAddress& Address, ino_t Node)
{
    // Only the file this process bound: after the session was tidied, another process may have
    // bound the same name anew.
    if (Address.Length == 0)
        return;
    boundFiles->remove(Address);
    struct stat named {};
    if (stat(Address.Address.sun_path, &named) == 0 && named.st_ino == Node)
        unlink(Address.Address.sun_path);
}

void sweepWindowSockets(int Folder)
{
    const std::string prefix = SessionObjectName("wnd", "");
    UniqueFd listing(openat(Folder, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    DIR* folder = listing ? fdopendir(listing.get()) : nullptr;
    if (!folder)
        return;
    listing.release(); // closedir closes it
    while (const dirent* entry = readdir(folder)) {
        std::string_view name = entry->d_name;
        if (name.size() < prefix.size() + 8 || name.compare(0, prefix.size(), prefix) != 0)
            continue;
        std::string_view rest = name.substr(prefix.size() + 8);
        bool hex =
            std::all_of(name.begin() + std::ptrdiff_t(prefix.size()), name.begin() + std::ptrdiff_t(prefix.size() + 8),
                        [](char c) { return std::isxdigit(static_cast<unsigned char>(c)); });
        if (hex && (rest.empty() || rest == "-full"))
            unlinkat(Folder, entry->d_name, 0);
    }
    closedir(folder);
}

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
    if (to.Length == 0)
        return false; // no folder of our own: no window can be reached
    Outbox& outbox = Outbox::instance();
    if (Outbox::Posted held = outbox.postBehind(to, Msg); held != Outbox::Posted::NothingHeld)
        return held == Outbox::Posted::Queued;
    if (shared >= 0 && sendOn(shared, to, Msg))
        return true;
    if (shared >= 0 && errno != EAGAIN && errno != ENOBUFS)
        return false; // ECONNREFUSED, ENOENT: the window is gone; EPERM: its queue is full
    if (sendWaitingForRoom(Window, to, Msg))
        return true;
    // A receiver that let a whole wait pass is not running: what is posted to it waits here.
    return errno == EAGAIN && outbox.hold(Window, to, Msg);
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

namespace {

// Never destroyed: windows may still be made from other modules' static destructors.
HandleCounter* handleCounter = new HandleCounter;

void leaveAtExit()
{
    boundFiles->removeAll();
    handleCounter->leave();
}

} // namespace

HWND nextWindowHandle()
{
    static const int registered = std::atexit(leaveAtExit);
    (void)registered;
    return handleCounter->next();
}

} // namespace user_private
