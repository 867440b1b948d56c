//===- WindowSocket.cpp - The datagram socket behind each window -------===//
#include "platform/user/WindowSocket_p.h"

#include "platform/kernel/SessionNames.h"
#include "platform/user/SessionFile_p.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstddef>
#include <cstdio>
#include <cstring>
#include <mutex>
#include <string>
#include <sys/mman.h>
#include <sys/stat.h>

namespace platform {

namespace {

constexpr off_t CounterFileSize = 4096;

UniqueFd datagramSocket()
{
    return UniqueFd(socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC, 0));
}

bool sendOn(int Socket, const WindowAddress& To, const WireMessage& Msg)
{
    ssize_t sent;
    do
        sent = sendto(Socket, &Msg, sizeof Msg, MSG_DONTWAIT | MSG_NOSIGNAL,
            reinterpret_cast<const sockaddr*>(&To.Address), To.Length);
    while (sent < 0 && errno == EINTR);
    return sent == static_cast<ssize_t>(sizeof Msg);
}

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
        while (handle == 0);   // 0 means "no window"; skipped when the counter wraps
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

WindowAddress windowAddress(HWND Window)
{
    char hex[9];
    std::snprintf(hex, sizeof hex, "%08X", static_cast<unsigned>(Window));
    std::string name = SessionObjectName("wnd", hex);

    WindowAddress result {};
    result.Address.sun_family = AF_UNIX;
    // Abstract namespace: a leading NUL, then the name without terminator.
    size_t length = std::min(name.size(), sizeof result.Address.sun_path - 1);
    std::memcpy(result.Address.sun_path + 1, name.data(), length);
    result.Length = static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + 1 + length);
    return result;
}

UniqueFd bindWindowSocket(HWND Window)
{
    UniqueFd socket(::socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0));
    if (!socket)
        return {};
    WindowAddress address = windowAddress(Window);
    if (bind(socket.get(), reinterpret_cast<const sockaddr*>(&address.Address), address.Length) != 0)
        return {};
    return socket;
}

bool sendToWindow(HWND Window, const WireMessage& Msg)
{
    // One sending socket serves every thread of the process (sendto is thread-safe).
    static const UniqueFd shared = datagramSocket();
    WindowAddress to = windowAddress(Window);
    if (shared && sendOn(shared.get(), to, Msg))
        return true;
    if (errno != EAGAIN && errno != ENOBUFS && shared)
        return false;   // ECONNREFUSED, ENOENT: the window is gone
    // Undelivered datagrams count against their sender's buffer, so a few stuck receivers could
    // fill the shared socket and make posts to healthy windows fail. A fresh socket tells that
    // apart from a full receiver queue.
    UniqueFd fresh = datagramSocket();
    return fresh && sendOn(fresh.get(), to, Msg);
}

bool windowSocketAlive(HWND Window)
{
    UniqueFd probe = datagramSocket();
    if (!probe)
        return false;
    WindowAddress to = windowAddress(Window);
    // Connecting a datagram socket only checks that the name is bound; nothing is queued.
    return connect(probe.get(), reinterpret_cast<const sockaddr*>(&to.Address), to.Length) == 0;
}

HWND nextWindowHandle()
{
    // Never destroyed: windows may still be made from other modules' static destructors.
    static HandleCounter* counter = new HandleCounter;
    return counter->next();
}

} // namespace platform
