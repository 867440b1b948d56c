//===- Messages.h - Windows, registered messages, posting and the loop -*- C++ -*-===//
#pragma once

#include <cstdint>
#include <functional>
#include <string_view>

using HWND = uint32_t; // 32-bit like the original's, so it fits the shared records
using UINT = uint32_t;
using WPARAM = uintptr_t;
using LPARAM = intptr_t;
using LRESULT = intptr_t;

constexpr UINT WM_NULL = 0x0000;
constexpr UINT WM_CLOSE = 0x0010;
constexpr UINT WM_QUIT = 0x0012;
constexpr UINT WM_TIMER = 0x0113;
constexpr UINT WM_SYSCOMMAND = 0x0112;
// System commands (WM_SYSCOMMAND's WParam; the low four bits carry a detail, such as the edge)
constexpr UINT SC_SIZE = 0xF000, SC_MOVE = 0xF010;
constexpr UINT WMSZ_BOTTOMRIGHT = 8;
constexpr UINT WM_USER = 0x0400;

struct MSG {
    HWND hwnd = 0;
    UINT message = 0;
    WPARAM wParam = 0;
    LPARAM lParam = 0;
    uint32_t time = 0; // timeGetTime() when it was taken from the queue
};

using WNDPROC = std::function<LRESULT(HWND, UINT, WPARAM, LPARAM)>;

// Windows
/// Makes a window of this process; its handle is never 0 and unique among all processes of the
/// session while this process lives. Posted messages for it go to Proc on dispatch. The first
/// window starts the process's receiving thread, which takes posts in while the loop is too busy
/// to (again in a forked child, whose queue starts empty); 0 when it cannot be started.
HWND CreateWindowHandle(WNDPROC Proc);
/// Only windows of this process; their waiting messages and timers go with them. False for others.
bool DestroyWindow(HWND Window);
/// True for a living window of any process of the session.
bool IsWindow(HWND Window);

// Registered messages
/// The same name (case-insensitive) gives the same number in 0xC000..0xFFFF in every process of
/// the session, for as long as the session lasts; 0 on failure.
UINT RegisterWindowMessage(std::string_view Name);

// Posting
/// Queues a message for a window of any process of the session; order is kept per sender and
/// receiver. The receiving process queues up to 10000 messages whether or not its GUI thread is
/// looking (a thread of its own takes them in when its GUI thread falls behind). Never waits for
/// the receiving program; it may wait briefly (half a second at most) for that receiving thread
/// when it has fallen behind or is not running. False, with no other effect, when the window or
/// its process is gone or its queue is full.
bool PostMessage(HWND Window, UINT Msg, WPARAM wParam, LPARAM lParam);
/// WM_QUIT for this thread's loop.
void PostQuitMessage(int ExitCode);

// The loop
// The queue belongs to the process's GUI thread: GetMessage, PeekMessage and DispatchMessage are
// called from that one thread. Posting, PostQuitMessage and the window and timer calls may come
// from any thread.
/// Waits for the next message (timers included); false on WM_QUIT.
bool GetMessage(MSG* Msg);
/// Takes the next message if there is one, without waiting.
bool PeekMessage(MSG* Msg);
/// Hands the message to its window's procedure; 0 for unknown windows.
LRESULT DispatchMessage(const MSG* Msg);
/// A descriptor that polls readable exactly while a message, a quit or a due timer waits, so that
/// another event loop (the GUI toolkit's) can feed this one. A posted message makes it readable
/// as soon as it arrives, without any look at the queue.
int MessageQueueFd();

// Timers
/// WM_TIMER to Window every Elapse ms with wParam = IDEvent; answers IDEvent, or 0 on failure.
/// Window must be one of this process (IDEvent then not 0); setting an existing timer again
/// restarts it. Window 0 makes a timer of its own with a fresh ID, which is answered. A due timer
/// comes after the posted messages, and once however many periods passed.
uintptr_t SetTimer(HWND Window, uintptr_t IDEvent, UINT Elapse);
bool KillTimer(HWND Window, uintptr_t IDEvent);
