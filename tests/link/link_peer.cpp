//===- link_peer.cpp - A process that loads the link library, driven by a test ---===//
//
// Reads one command per line from standard input and answers with lines closed by ".".
// Message boxes and program starts are recorded as "BOX <caption>|<text>" and
// "EXEC <command line>" and reported by "events"; a real server start is "realexec".
//
#include "link/Varnex32.h"

#include "platform/kernel/NamedMutex.h"
#include "platform/kernel/WinExec.h"
#include "platform/user/Dialogs.h"
#include "platform/user/Messages.h"

#include <chrono>
#include <cstdio>
#include <cstring>
#include <deque>
#include <functional>
#include <iostream>
#include <poll.h>
#include <sstream>
#include <string>
#include <sys/mman.h>
#include <vector>

namespace {

std::vector<std::string> Events;
std::deque<MSG> Received;
std::unique_ptr<NamedMutex> HeldMutex;
uint8_t* LowBuffer = nullptr; // below 4 GiB, for extended data whose address must fit 32 bits

void say(const std::string& Line) { std::cout << Line << '\n'; }

LRESULT recordingProc(HWND Window, UINT Msg, WPARAM wParam, LPARAM lParam)
{
    Received.push_back(MSG { Window, Msg, wParam, lParam, 0 });
    return 0;
}

/// What a status window saw: each notice's wParam and the sequence of the status copy that
/// getstatuspointer gave its handler (countdowns[0], see "statusburst").
std::vector<std::pair<unsigned, unsigned>> Seen;

LRESULT statusProc(HWND, UINT, WPARAM wParam, LPARAM)
{
    const LaserStatus* s = getstatuspointer();
    Seen.push_back({ unsigned(wParam), s ? unsigned(s->countdowns[0]) : 0u });
    return 0;
}

void pump(
    size_t Wanted, int TimeoutMs, const std::function<size_t()>& Count = [] { return Received.size(); })
{
    // The time-out is counted on the clock: a wake-up that brings none of the wanted messages
    // must not use up the wait early.
    const auto giveUp = std::chrono::steady_clock::now() + std::chrono::milliseconds(TimeoutMs);
    for (;;) {
        MSG msg;
        while (PeekMessage(&msg))
            DispatchMessage(&msg);
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(giveUp - std::chrono::steady_clock::now()).count();
        if (Count() >= Wanted || left <= 0)
            break;
        pollfd p { MessageQueueFd(), POLLIN, 0 };
        poll(&p, 1, int(left));
    }
    MSG msg;
    while (PeekMessage(&msg))
        DispatchMessage(&msg);
}

std::string statusLine(const LaserStatus& S)
{
    std::ostringstream out;
    const LaserStatusCopy& c = S.copy;
    out << "ready=" << int(S.serverReady) << " backlog=" << int(S.serverBacklog)
        << " level=" << int(S.serverVersionLevel) << " countdowns=" << S.countdowns[0] << ',' << S.countdowns[1] << ','
        << S.countdowns[2] << ',' << S.countdowns[3] << " state=" << int(c.stateFlags) << " energy=" << c.energy
        << " energyPtr=" << c.energyPtr << " abscissaPtr=" << c.abscissaPtr << " histogramPtr=" << c.histogramPtr
        << " region4Ptr=" << c.region4Ptr << " banner=" << S.linkBanner;
    return out.str();
}

void command(std::istringstream& In)
{
    std::string verb;
    In >> verb;
    if (verb == "window") {
        say(std::to_string(CreateWindowHandle(recordingProc)));
    } else if (verb == "statuswindow") {
        say(std::to_string(CreateWindowHandle(statusProc)));
    } else if (verb == "seen") {
        // seen <count> <timeoutMs>: what the status windows saw, at least <count> if it comes
        size_t count = 0;
        int timeout = 0;
        In >> count >> timeout;
        pump(count, timeout, [] { return Seen.size(); });
        for (const auto& [notice, status] : Seen)
            say("seen " + std::to_string(notice) + " " + std::to_string(status));
        Seen.clear();
    } else if (verb == "statusburst") {
        // statusburst <count>: ex_status notices 1..count to every client, each with wParam k and
        // a status whose countdowns[0] is k; answers the first result that is not 0, else 0
        int count = 0;
        In >> count;
        int32_t result = 0;
        for (int k = 1; k <= count && result == 0; ++k) {
            LaserStatus status {};
            status.serverReady = 1;
            status.countdowns[0] = uint16_t(k);
            ServerNotice n { ex_status, '5', 0, 0, 0, uint16_t(k), 0 };
            result = excommand(&n, &status);
        }
        say(std::to_string(result));
    } else if (verb == "destroy") {
        HWND w = 0;
        In >> w;
        say(DestroyWindow(w) ? "1" : "0");
    } else if (verb == "register" || verb == "registeradl" || verb == "release") {
        uint32_t w = 0;
        In >> w;
        int32_t r = verb == "register"      ? registerapplication(w)
                    : verb == "registeradl" ? RegisterAdlApplication(w)
                                            : releasedll(w);
        say(std::to_string(r));
    } else if (verb == "msgnum") {
        say(std::to_string(getmessagenumber()));
    } else if (verb == "servermsg") {
        say(std::to_string(RegisterWindowMessage(LinkServerMessageName)));
    } else if (verb == "status") {
        LaserStatus* s = getstatuspointer();
        say(s ? statusLine(*s) : "null");
    } else if (verb == "readenergy") {
        // Reads EnergyArray[i] through the address the library put into the status copy.
        int i = 0;
        In >> i;
        LaserStatus* s = getstatuspointer();
        const float* energies = reinterpret_cast<const float*>(uintptr_t(s->copy.energyPtr));
        say(std::to_string(energies[i]));
    } else if (verb == "put") {
        // put <window> <sequence> <code> <argument>; argument "low" points at 140 bytes below 4 GiB
        uint32_t w = 0, seq = 0, code = 0;
        std::string arg;
        In >> w >> seq >> std::hex >> code >> std::dec >> arg;
        uint32_t argument = 0;
        if (arg == "low") {
            for (int i = 0; i < ExtendedDataSize; ++i)
                LowBuffer[i] = uint8_t(i + 1);
            argument = uint32_t(reinterpret_cast<uintptr_t>(LowBuffer));
        } else {
            argument = uint32_t(std::stoul(arg, nullptr, 0));
        }
        LaserCommand c { w, uint16_t(seq), uint16_t(code), argument };
        say(std::to_string(putcommand(&c)));
    } else if (verb == "post") {
        // post <window> <message> <wParam> <lParam>
        uint32_t w = 0, msg = 0;
        uint64_t wparam = 0;
        int64_t lparam = 0;
        In >> w >> msg >> wparam >> lparam;
        say(PostMessage(w, msg, wparam, lparam) ? "1" : "0");
    } else if (verb == "putnull") {
        say(std::to_string(putcommand(nullptr)));
    } else if (verb == "server") {
        uint32_t key = 0, w = 0;
        In >> std::hex >> key >> std::dec >> w;
        say(std::to_string(registerexcimer(key, w)));
    } else if (verb == "notice") {
        // notice <type> <event> <parameter> <target> <wParam> <high> [ready [backlog [countdown]]]
        int type = 0, event = 0, parameter = 0, wparam = 0, high = 0, ready = 1, backlog = 0, countdown = 0;
        uint32_t target = 0;
        In >> type >> event >> parameter >> target >> wparam >> high;
        if (!(In >> ready))
            ready = 1;
        if (!(In >> backlog))
            backlog = 0;
        if (!(In >> countdown))
            countdown = 0;
        LaserStatus status {};
        status.serverReady = uint8_t(ready);
        status.serverBacklog = uint8_t(backlog);
        status.serverVersionLevel = 'Y';
        for (uint16_t& c : status.countdowns)
            c = uint16_t(countdown);
        status.copy.energy = 12.5f;
        std::strcpy(status.serverVersionText, "simulated");
        ServerNotice n {
            uint8_t(type), uint8_t(event), uint8_t(parameter), 0, target, uint16_t(wparam), uint16_t(high)
        };
        say(std::to_string(excommand(&n, &status)));
    } else if (verb == "noticenull") {
        int type = 0;
        In >> type;
        ServerNotice n { uint8_t(type), 'B', 1, 0, 0, 0, 0 };
        say(std::to_string(excommand(&n, nullptr)) + " " + std::to_string(excommand(nullptr, nullptr)));
    } else if (verb == "info") {
        LaserInfo info {};
        ServerNotice n { ex_info, 0, 0, 0, 0, 0, 0 };
        int32_t r = excommand(&n, &info);
        say(std::to_string(r) + " clients=" + std::to_string(info.clientCount)
            + " adl=" + std::to_string(info.adlClientCount) + " processes=" + std::to_string(info.processCount)
            + " banner=" + info.linkBanner);
    } else if (verb == "fetch") {
        CommandRing ring {};
        ServerNotice n { ex_fetch, 0, 0, 0, 0, 0, 0 };
        int32_t r = excommand(&n, &ring);
        say(std::to_string(r) + " write=" + std::to_string(ring.writeIndex)
            + " read=" + std::to_string(ring.readIndex));
        for (int i = 0; i < ring.writeIndex && i < RingSlots; ++i) {
            const LaserCommand& c = ring.commands[i];
            say("cmd " + std::to_string(c.window) + " " + std::to_string(c.sequence) + " " + std::to_string(c.code)
                + " " + std::to_string(c.argument) + " ext0=" + std::to_string(ring.extended[i][0])
                + " ext139=" + std::to_string(ring.extended[i][139]));
        }
    } else if (verb == "writeenergy") {
        int i = 0;
        float value = 0;
        In >> i >> value;
        LaserStatus* s = getstatuspointer();
        reinterpret_cast<float*>(uintptr_t(s->copy.energyPtr))[i] = value;
        say("1");
    } else if (verb == "wait") {
        // wait <count> <timeoutMs>: prints the messages received so far, at least <count> if they come
        size_t count = 0;
        int timeout = 0;
        In >> count >> timeout;
        pump(count, timeout);
        while (!Received.empty()) {
            const MSG& m = Received.front();
            say("msg " + std::to_string(m.hwnd) + " " + std::to_string(m.message) + " " + std::to_string(m.wParam) + " "
                + std::to_string(m.lParam));
            Received.pop_front();
        }
    } else if (verb == "lock") {
        if (!HeldMutex)
            HeldMutex = NamedMutex::Create(LinkMutexName);
        say(std::to_string(HeldMutex->Wait(0)));
    } else if (verb == "unlock") {
        say(HeldMutex && HeldMutex->Release() ? "1" : "0");
    } else if (verb == "events") {
        for (const std::string& e : Events)
            say(e);
        Events.clear();
    } else if (verb == "realexec") {
        SetWinExecHook({});
        say("1");
    } else {
        say("unknown " + verb);
    }
}

} // namespace

int main()
{
    SetMessageBoxHook([](HWND, const std::string& Text, const std::string& Caption, UINT) {
        Events.push_back("BOX " + Caption + "|" + Text);
        return IDOK;
    });
    SetWinExecHook([](const std::string& CmdLine, uint32_t Show) {
        Events.push_back("EXEC " + CmdLine + " " + std::to_string(Show));
        return uint32_t(33);
    });
    void* low = mmap(nullptr, 4096, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS | MAP_32BIT, -1, 0);
    LowBuffer = low == MAP_FAILED ? nullptr : static_cast<uint8_t*>(low);

    std::string line;
    while (std::getline(std::cin, line)) {
        if (line == "exit") {
            std::cout << ".\n" << std::flush;
            break;
        }
        std::istringstream in(line);
        command(in);
        std::cout << ".\n" << std::flush;
    }
    return 0;
}
