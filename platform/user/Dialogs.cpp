//===- Dialogs.cpp - Message boxes and beeps ------------------------------===//
#include "platform/user/Dialogs.h"

#include "platform/rtl/AnsiString.h"

#include <cstdio>
#include <mutex>
#include <unistd.h>
#include <utility>

namespace {

// The hooks live in this shared library so that every module of a process (a program and the
// link library it loads) meets the same ones.
std::mutex hookLock;
MessageBoxHook boxHook;
MessageBeepHook beepHook;

/// The first button of the box's button set, which is its default.
int defaultButton(UINT Type)
{
    switch (Type & 0x0F) {
    case MB_YESNO:
    case MB_YESNOCANCEL: return IDYES;
    default: return IDOK;
    }
}

int consoleMessageBox(HWND, const std::string& Text, const std::string& Caption, UINT Type)
{
    std::string line = AnsiToUtf8(Caption) + ": " + AnsiToUtf8(Text) + "\n";
    std::fwrite(line.data(), 1, line.size(), stderr);
    std::fflush(stderr);
    return defaultButton(Type);
}

void consoleBeep(UINT)
{
    // A bell only means something on a terminal; in a log file it would be a stray byte.
    if (isatty(STDERR_FILENO)) {
        std::fputc('\a', stderr);
        std::fflush(stderr);
    }
}

} // namespace

int MessageBox(HWND Owner, const std::string& Text, const std::string& Caption, UINT Type)
{
    MessageBoxHook hook;
    {
        std::lock_guard hold(hookLock);
        hook = boxHook;
    }
    // Called without the lock: a real dialog runs a loop, and its code may show another box.
    return hook ? hook(Owner, Text, Caption, Type) : consoleMessageBox(Owner, Text, Caption, Type);
}

bool MessageBeep(UINT Type)
{
    MessageBeepHook hook;
    {
        std::lock_guard hold(hookLock);
        hook = beepHook;
    }
    if (hook)
        hook(Type);
    else
        consoleBeep(Type);
    return true;
}

MessageBoxHook SetMessageBoxHook(MessageBoxHook Hook)
{
    std::lock_guard hold(hookLock);
    return std::exchange(boxHook, std::move(Hook));
}

MessageBeepHook SetMessageBeepHook(MessageBeepHook Hook)
{
    std::lock_guard hold(hookLock);
    return std::exchange(beepHook, std::move(Hook));
}
