//===- UserHelper.h - The helper program, run as a second process -*- C++ -*-===//
#pragma once

#include <string>
#include <vector>

#include "platform/user/Messages.h"

/// Runs user_test_helper with a verb (see user_test_helper.cpp) on pipes. The process is
/// killed and reaped when the object goes, if it still runs.
class UserHelper {
public:
    explicit UserHelper(const std::vector<std::string>& Args);
    ~UserHelper();
    UserHelper(const UserHelper&) = delete;
    UserHelper& operator=(const UserHelper&) = delete;

    /// Sends one command line; its answer is read later with answer().
    void send(const std::string& Command);
    /// The next answer: the lines up to the closing ".". Throws when the program ends first or
    /// stays silent for a minute (a guard against a hung test, not a measurement).
    std::vector<std::string> answer();
    std::string answer1();

    void kill(int Signal);
    /// Closes the program's input (it then ends) and answers its exit status, 128 + signal for
    /// a killed one.
    int wait();
    int pid() const { return pid_; }

private:
    std::string readLine();

    int pid_ = -1;
    int toChild_ = -1;
    int fromChild_ = -1;
    std::string buffer_;
    bool reaped_ = false;
    int status_ = 0;
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
