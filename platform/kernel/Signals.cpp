//===- Signals.cpp - Being asked to terminate ----------------------------===//
#include "platform/kernel/Signals.h"

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <mutex>
#include <thread>
#include <unistd.h>

namespace {

constexpr int TerminateSignals[] = { SIGTERM, SIGINT, SIGHUP };

std::mutex handlerLock;
std::function<void()> handler;
int wakeFds[2] = { -1, -1 };

// Only async-signal-safe work here: one byte into the pipe, errno kept for the interrupted code.
extern "C" void onSignal(int)
{
    int saved = errno;
    char byte = 1;
    [[maybe_unused]] ssize_t ignored = ::write(wakeFds[1], &byte, 1);
    errno = saved;
}

void watch()
{
    for (;;) {
        char byte;
        ssize_t n = ::read(wakeFds[0], &byte, 1);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return;
        std::function<void()> current;
        {
            std::lock_guard hold(handlerLock);
            current = handler;
        }
        if (current)
            current();
    }
}

/// The pipe and its watching thread, made once; they live as long as the process.
bool startWatching()
{
    static bool started = [] {
        if (::pipe2(wakeFds, O_CLOEXEC) != 0)
            return false;
        // A flood of signals must never block the handler: extra bytes are simply dropped.
        ::fcntl(wakeFds[1], F_SETFL, O_NONBLOCK);
        std::thread(watch).detach();
        return true;
    }();
    return started;
}

} // namespace

void SetTerminateHandler(std::function<void()> Handler)
{
    const bool restore = !Handler;
    {
        std::lock_guard hold(handlerLock);
        handler = std::move(Handler);
    }
    struct sigaction action {};
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    if (restore || !startWatching())
        action.sa_handler = SIG_DFL;
    else
        action.sa_handler = onSignal;
    for (int signal : TerminateSignals)
        ::sigaction(signal, &action, nullptr);
}
