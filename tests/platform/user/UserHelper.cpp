//===- UserHelper.cpp - The helper program, run as a second process ------===//
#include "tests/platform/user/UserHelper.h"

#include "tests/support/TestSupport.h"

#include <fstream>
#include <sched.h>
#include <sstream>
#include <stdexcept>

UserHelper::UserHelper(const std::vector<std::string>& Args)
    : ChildProcess(testsupport::CommandLine(testsupport::BinDir() + "/user_test_helper", Args))
{
}

Received parseReceived(const std::string& Line)
{
    std::istringstream in(Line);
    Received r {};
    in >> r.hwnd >> r.message >> r.wParam >> r.lParam;
    return r;
}

std::vector<Received> parseReceived(const std::vector<std::string>& Lines)
{
    std::vector<Received> result;
    for (const std::string& line : Lines)
        result.push_back(parseReceived(line));
    return result;
}

HWND handleOf(const std::string& Line) { return static_cast<HWND>(std::stoul(Line)); }

bool postWhenRoom(HWND Window, UINT Msg, WPARAM wParam, LPARAM lParam)
{
    while (!PostMessage(Window, Msg, wParam, lParam)) {
        if (!IsWindow(Window))
            return false;
        sched_yield();
    }
    return true;
}

size_t kernelDatagramQueue()
{
    // The kernel admits a datagram while fewer than one more than this setting wait.
    size_t setting = 0;
    std::ifstream("/proc/sys/net/unix/max_dgram_qlen") >> setting;
    if (setting == 0)
        throw std::runtime_error("kernelDatagramQueue: cannot read net.unix.max_dgram_qlen");
    return setting + 1;
}
