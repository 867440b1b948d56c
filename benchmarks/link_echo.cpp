//===- link_echo.cpp - A link client that answers every notice, for the benchmarks ---===//
//
// link_echo <server window>: registers a window and posts WM_USER back to the server window
// for each LinkAppMessage it receives; ends when the server closes ('p').
//
#include "link/Varnex32.h"

#include "platform/kernel/WinExec.h"
#include "platform/user/Messages.h"

#include <cstdlib>

int main(int argc, char** argv)
{
    if (argc < 2)
        return 2;
    const HWND server = HWND(std::strtoul(argv[1], nullptr, 10));
    SetWinExecHook([](const std::string&, uint32_t) { return uint32_t(33); });
    const UINT notice = getmessagenumber();
    HWND self = CreateWindowHandle([&](HWND Window, UINT Msg, WPARAM, LPARAM lParam) -> LRESULT {
        if (Msg != notice)
            return 0;
        if ((lParam & 0xFF) == ev_serverclosed) {
            PostQuitMessage(0);
            return 0;
        }
        PostMessage(server, WM_USER, Window, lParam);
        return 0;
    });
    if (registerapplication(self) != LINK_OK)
        return 1;
    PostMessage(server, WM_USER + 1, self, 0); // "registered"
    MSG msg;
    while (GetMessage(&msg))
        DispatchMessage(&msg);
    releasedll(self);
    return 0;
}
