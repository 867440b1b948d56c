//===- WindowSocket_p.h - The datagram socket behind each window -*- C++ -*-===//
#pragma once

#include "platform/rtl/UniqueFd.h"
#include "platform/user/Messages.h"

#include <cstdint>
#include <sys/socket.h>
#include <sys/un.h>

namespace user_private {

/// One posted message as it travels between processes: one datagram, native byte order (both
/// ends are processes of this machine built from this library).
struct WireMessage {
    uint32_t Message;
    uint32_t Sent; // postClock() when posted: orders the messages waiting in different sockets
    uint64_t WParam;
    int64_t LParam;
};
static_assert(sizeof(WireMessage) == 24, "a posted message is one 24-byte datagram");

/// The machine's monotonic clock in 16 ns steps, cut to 32 bits: it wraps after a minute, so two
/// stamps are compared only through postedBefore, as a difference.
uint32_t postClock();
inline bool postedBefore(uint32_t A, uint32_t B) { return int32_t(A - B) < 0; }

/// Every window owns a non-blocking datagram socket bound in the abstract namespace under
/// SessionObjectName("wnd", <handle as 8 hex digits>). The kernel removes the name when the
/// socket closes, also when the owner crashes, so the name is alive exactly as long as the window.
/// Beside it the window's overflow bell, bound under the same name followed by "-full": a sender
/// that finds the window's socket full rings it, so that the owner's receiver thread takes over.
struct WindowAddress {
    sockaddr_un Address;
    socklen_t Length;
};
WindowAddress windowAddress(HWND Window);
WindowAddress bellAddress(HWND Window);

/// Binds a new socket to Window's name. Empty when the name is taken (errno EADDRINUSE) or the
/// socket cannot be made.
UniqueFd bindWindowSocket(HWND Window);
/// Binds a new socket to Window's bell; empty on failure.
UniqueFd bindWindowBell(HWND Window);

/// Makes Window's socket refuse every sender (their posts answer false at once) by connecting it
/// to itself; what it already holds stays readable. The owner does this while its queue is full.
bool refusePosts(int Socket, HWND Window);
/// Lets senders in again. The kernel drops what the socket holds when its connection changes, so
/// the socket must have been read empty since refusePosts.
bool acceptPosts(int Socket);

/// Queues Msg on Window's socket. False at once when nobody has bound the name or the receiver
/// refuses posts (its queue is full). When the socket itself is full, the receiving loop is busy:
/// this rings the window's bell and waits for the receiving process's receiver thread to make
/// room, briefly: the wait ends with false after half a second, and a receiver that let a whole
/// wait pass (a stopped or frozen process) is not waited for again until a post to it gets
/// through.
bool sendToWindow(HWND Window, const WireMessage& Msg);

/// True when a socket is bound to Window's name, refusing or not; queues nothing.
bool windowSocketAlive(HWND Window);

/// The session file holding the handle counter.
inline constexpr const char* WindowHandleCounter = "handles";

/// The next handle to try for a new window: never 0, taken from a counter shared by all
/// processes of the session. Distinct until the 32-bit counter wraps; binding the name settles
/// the rest. 0 when the session's counter file cannot be used.
HWND nextWindowHandle();

} // namespace user_private
