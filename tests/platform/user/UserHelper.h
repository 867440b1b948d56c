//===- UserHelper.h - The helper program, run as a second process -*- C++ -*-===//
#pragma once

#include "tests/support/ChildProcess.h"

#include "platform/user/Messages.h"

#include <string>
#include <vector>

/// Runs user_test_helper with a verb (see user_test_helper.cpp); it answers in blocks closed by
/// ".", and ends when its input does.
class UserHelper : public testsupport::ChildProcess {
public:
    explicit UserHelper(const std::vector<std::string>& Args);

    /// The first line of the next answer, or "" when it has none.
    std::string answer1()
    {
        std::vector<std::string> lines = answer();
        return lines.empty() ? std::string() : lines.front();
    }
};

/// One message as the helper answers it: "<hwnd> <message> <wParam> <lParam>".
struct Received {
    HWND hwnd;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};
Received parseReceived(const std::string& Line);
std::vector<Received> parseReceived(const std::vector<std::string>& Lines);
HWND handleOf(const std::string& Line);

/// Posts, waiting out a full queue of a receiver that is known to read; false when the window is
/// gone.
bool postWhenRoom(HWND Window, UINT Msg, WPARAM wParam, LPARAM lParam);

/// How many datagrams the kernel queues on one socket before senders have to wait: the most a
/// window's socket can hold that its process has not taken in.
size_t kernelDatagramQueue();
