//===- WindowSocket_p.h - The datagram socket behind each window -*- C++ -*-===//
#pragma once

#include "platform/rtl/UniqueFd.h"
#include "platform/user/Messages.h"

#include <cstdint>
#include <sys/socket.h>
#include <sys/types.h>
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

/// Every window owns a non-blocking datagram socket bound to the path
/// "<SessionObjectFolder()>/" + SessionObjectName("wnd", <handle as 8 hex digits>). The folder is
/// the user's own (mode 0700), so no other user can post to a window, receive what is posted to
/// it, or take its name. Beside it the window's overflow bell, bound under the same name followed
/// by "-full": a sender that finds the window's socket full rings it, so that the owner's receiver
/// thread takes over. A window that goes removes both files, and so does a process that ends
/// with windows open; those of a process that died are removed with the session's handle counter
/// (sweepWindowSockets), or replaced when their name is bound again.
struct WindowAddress {
    sockaddr_un Address;
    socklen_t Length; // 0 when the folder is refused or the path does not fit: every call fails
};
WindowAddress windowAddress(HWND Window);
WindowAddress bellAddress(HWND Window);

/// Binds a new socket to Window's name; Node receives the socket file's inode. Empty when the
/// name is taken (errno EADDRINUSE), the folder is refused or the socket cannot be made.
UniqueFd bindWindowSocket(HWND Window, ino_t* Node);
/// Binds a new socket to Window's bell; empty on failure.
UniqueFd bindWindowBell(HWND Window, ino_t* Node);
/// Removes the socket file at Address when it is still the one with inode Node.
void removeSocketFile(const WindowAddress& Address, ino_t Node);
/// Removes the session's window socket files from the open Folder; called while no process of
/// the session uses its handle counter, so none of them belongs to a living window.
void sweepWindowSockets(int Folder);

/// Makes Window's socket refuse every sender (their posts answer false at once) by connecting it
/// to itself; what it already holds stays readable. The owner does this while its queue is full.
bool refusePosts(int Socket, HWND Window);
/// Lets senders in again. The kernel drops what the socket holds when its connection changes, so
/// the socket must have been read empty since refusePosts.
bool acceptPosts(int Socket);

/// Queues Msg on Window's socket. False at once when nobody has bound the name or the receiver
/// refuses posts (its queue is full). When the socket itself is full, the receiving loop is busy:
/// this rings the window's bell and waits for the receiving process's receiver thread to make
/// room, briefly. A receiver that lets half a second pass is not running (stopped, frozen): Msg
/// and the posts after it wait in this process's Outbox until it runs again.
bool sendToWindow(HWND Window, const WireMessage& Msg);

/// Asks the owner's receiver thread to empty Window's socket, sending on the unconnected Socket.
/// A bell that holds rings already (its socket full) needs no more.
void ringBell(int Socket, HWND Window);

/// True when a socket is bound to Window's name, refusing or not; queues nothing.
bool windowSocketAlive(HWND Window);

/// The session file holding the handle counter; held by every process that makes windows, until
/// it ends.
inline constexpr const char* WindowHandleCounter = "handles";

/// The next handle to try for a new window: never 0, taken from a counter shared by all
/// processes of the session. Distinct until the 32-bit counter wraps; binding the name settles
/// the rest. 0 when the session's counter file cannot be used.
HWND nextWindowHandle();

} // namespace user_private
