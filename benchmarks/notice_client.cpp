//===- notice_client.cpp - The receivers of bench_notice ---===//
//
// notice_client plain <server window>: a link client on a plain GetMessage loop.
// notice_client qt <server window>: a link client on the application's Qt loop, its notices taken
//   by OnMessage as the programs take them.
// Both answer each notice with WM_USER to the server window: wParam the CLOCK_MONOTONIC time (ns)
// at which the handler was entered, lParam the time after getstatuspointer; they end at 'p'.
// notice_client floor <name> <index>: the bare floor, a blocking AF_UNIX datagram socket bound
//   to <name>-<index> that answers each datagram with its arrival time to <name>-server.
//
#include "link/Varnex32.h"
#include "benchmarks/notice_floor.h"

#include "platform/kernel/WinExec.h"
#include "platform/ui/forms/TApplication.h"
#include "platform/user/Messages.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>
#include <sys/socket.h>
#include <sys/un.h>

namespace {

int64_t nowNs()
{
    timespec now {};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return int64_t(now.tv_sec) * 1000000000 + now.tv_nsec;
}

/// The handler's work: read the status as the programs do, then answer with both times.
/// False at the server's closing notice.
bool answer(HWND Server, LPARAM Notice)
{
    int64_t entered = nowNs();
    if ((Notice & 0xFF) == ev_serverclosed)
        return false;
    getstatuspointer();
    int64_t statusRead = nowNs();
    PostMessage(Server, WM_USER, WPARAM(entered), LPARAM(statusRead));
    return true;
}

int runPlain(HWND Server)
{
    const UINT notice = getmessagenumber();
    HWND self = CreateWindowHandle([&](HWND, UINT Msg, WPARAM, LPARAM lParam) -> LRESULT {
        if (Msg == notice && !answer(Server, lParam))
            PostQuitMessage(0);
        return 0;
    });
    if (registerapplication(self) != LINK_OK)
        return 1;
    PostMessage(Server, WM_USER + 1, self, 0);
    MSG msg;
    while (GetMessage(&msg))
        DispatchMessage(&msg);
    releasedll(self);
    return 0;
}

int runQt(HWND Server)
{
    Application->Initialize();
    const UINT notice = getmessagenumber() & 0xFFFF;
    Application->OnMessage = [&](MSG& Msg, bool& Handled) {
        if (Msg.message != notice)
            return;
        Handled = true;
        if (!answer(Server, Msg.lParam))
            Application->Terminate();
    };
    HWND self = Application->GetHandle();
    if (registerapplication(self) != LINK_OK)
        return 1;
    PostMessage(Server, WM_USER + 1, self, 0);
    while (!Application->GetTerminated())
        Application->HandleMessage();
    releasedll(self);
    return 0;
}

int runFloor(const char* Name, int Index)
{
    int own = socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    FloorAddress self = floorAddress(Name, std::to_string(Index));
    FloorAddress server = floorAddress(Name, "server");
    if (own < 0 || bind(own, self.address(), self.Length) != 0)
        return 1;
    FloorReply reply { Index, 0 };
    sendto(own, &reply, sizeof reply, 0, server.address(), server.Length); // ready
    for (;;) {
        int64_t ping = 0;
        if (recv(own, &ping, sizeof ping, 0) != sizeof ping)
            continue;
        reply.ArrivedNs = nowNs();
        if (ping == 0)
            return 0;
        sendto(own, &reply, sizeof reply, 0, server.address(), server.Length);
    }
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 3)
        return 2;
    SetWinExecHook([](const std::string&, uint32_t) { return uint32_t(33); });
    std::string mode = argv[1];
    if (mode == "floor")
        return argc < 4 ? 2 : runFloor(argv[2], std::atoi(argv[3]));
    const HWND server = HWND(std::strtoul(argv[2], nullptr, 10));
    return mode == "qt" ? runQt(server) : runPlain(server);
}
