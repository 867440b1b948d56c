//===- Simulator.cpp - Finding and closing the laser simulator a test started ---===//
#include "tests/support/Simulator.h"

#include "link/Varnex32.h"
#include "tests/support/TestSupport.h"

#include <cstring>

namespace testsupport {

HWND SimulatorWindow()
{
    const LaserStatus* status = getstatuspointer();
    if (!status || status->serverReady == 0 || std::memcmp(status->rest, "K32S", 4) != 0)
        return 0;
    uint32_t window;
    std::memcpy(&window, status->rest + 4, sizeof window);
    return window;
}

bool CloseSimulator()
{
    const HWND window = SimulatorWindow();
    if (!window || !IsWindow(window))
        return true;
    PostMessage(window, WM_CLOSE, 0, 0);
    return WaitFor([&] { return !IsWindow(window); });
}

} // namespace testsupport
