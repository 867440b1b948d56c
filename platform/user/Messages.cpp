//===- Messages.cpp - Windows, posting and the loop ----------------------===//
#include "platform/user/Messages.h"

#include "platform/user/MessageQueue_p.h"
#include "platform/user/WindowSocket_p.h"

using user_private::MessageQueue;

// --- Windows -----------------------------------------------------------------

HWND CreateWindowHandle(WNDPROC Proc) { return MessageQueue::instance().createWindow(std::move(Proc)); }

bool DestroyWindow(HWND Window) { return Window != 0 && MessageQueue::instance().destroyWindow(Window); }

bool IsWindow(HWND Window) { return Window != 0 && user_private::windowSocketAlive(Window); }

// --- Posting -----------------------------------------------------------------

bool PostMessage(HWND Window, UINT Msg, WPARAM wParam, LPARAM lParam)
{
    if (Window == 0)
        return false;
    user_private::WireMessage wire { Msg, user_private::postClock(), static_cast<uint64_t>(wParam),
                                     static_cast<int64_t>(lParam) };
    return user_private::sendToWindow(Window, wire);
}

void PostQuitMessage(int ExitCode) { MessageQueue::instance().postQuit(ExitCode); }

// --- The loop ----------------------------------------------------------------

bool GetMessage(MSG* Msg) { return Msg && MessageQueue::instance().get(Msg); }

bool PeekMessage(MSG* Msg) { return Msg && MessageQueue::instance().peek(Msg); }

LRESULT DispatchMessage(const MSG* Msg) { return Msg ? MessageQueue::instance().dispatch(*Msg) : 0; }

int MessageQueueFd() { return MessageQueue::instance().descriptor(); }

// --- Timers ------------------------------------------------------------------

uintptr_t SetTimer(HWND Window, uintptr_t IDEvent, UINT Elapse)
{
    return MessageQueue::instance().setTimer(Window, IDEvent, Elapse);
}

bool KillTimer(HWND Window, uintptr_t IDEvent) { return MessageQueue::instance().killTimer(Window, IDEvent); }
