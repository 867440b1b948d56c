//===- laserserver_test_client.cpp - A scripted client of the link for the simulator's tests ---===//
//
// Registers a window like the programs do (which starts Kelmor32 beside it), then runs the
// script given as its arguments, one command per argument, and prints what it sees, one line
// each, flushed:
//
//   send <code> [<argument>]       putcommand; "put <code> <result>". An argument "f:<x>" is
//                                   the bits of the float x
//   wait <event> [<count>]         until <count> (1) further notices of the event arrived
//   until <field> <op> <value>     until the status field holds: op is ==, >=, has (bits set)
//                                   or lacks (bits clear)
//   print <field>...               "<field>=<value>" for each
//   run                            the run's statistics, "energy <i> <value> <time>" per sample
//                                   and "bin <b> <count>" per non-empty histogram bin
//   steps                          the gas-mode steps seen so far, each change once
//   blinks                         the parameters of the blink phase 1 events so far
//   waitfile <path>                until the file exists (the test's signal to go on)
//   closeserver                    posts WM_CLOSE to the server's window
//
// Every notice is printed as "notice <event> <parameter>" (blink events only counted), a pulse
// notice also as "pulsedata samples=<n> written=<k> current=<c> total=<t>", where k counts the
// announced samples that are in the regions. An event is a character, or 0xNN. A wait that takes
// longer than the guard (30 s, or KELMOR32_TEST_GUARD ms) prints "timeout" and ends the client
// with 3. The option --no-register as first argument skips the registration (for cleaning up).
//
#include "link/Varnex32.h"

#include "platform/user/Messages.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <functional>
#include <map>
#include <string>
#include <vector>

namespace {

constexpr uintptr_t GuardTimer = 77;

struct Client {
    HWND window = 0;
    UINT appMessage = 0;
    LaserStatus status {};
    std::map<int, int> received; // notices per event
    std::map<int, int> consumed; // of those, taken by waits
    std::vector<int> steps;
    std::vector<int> blinks; // parameters of the blink phase 1 events
    bool timedOut = false;
};

Client client;

void out(const char* Format, auto... Args)
{
    std::printf(Format, Args...);
    std::fflush(stdout);
}

std::string eventName(int Event)
{
    if (Event > 0x20 && Event < 0x7F)
        return std::string(1, char(Event));
    char text[8];
    std::snprintf(text, sizeof text, "0x%02X", unsigned(Event));
    return text;
}

int parseEvent(const std::string& Text)
{
    if (Text.size() == 1)
        return (unsigned char)Text[0];
    return int(std::stoul(Text, nullptr, 0));
}

void refresh()
{
    if (const LaserStatus* s = getstatuspointer())
        client.status = *s;
    int step = client.status.copy.gasState & 0x0F;
    if (client.steps.empty() || client.steps.back() != step)
        client.steps.push_back(step);
}

void onNotice(LPARAM lParam)
{
    int event = int(lParam & 0xFF);
    int parameter = int((lParam >> 8) & 0xFF);
    refresh();
    ++client.received[event];
    if (event == ev_blink1)
        client.blinks.push_back(parameter);
    if (event == ev_blink1 || event == ev_blink2)
        return;
    out("notice %s %d\n", eventName(event).c_str(), parameter);
    if (event == ev_pulsedata) {
        const LaserStatusCopy& c = client.status.copy;
        const float* energy = reinterpret_cast<const float*>(uintptr_t(c.energyPtr));
        const double* time = reinterpret_cast<const double*>(uintptr_t(c.abscissaPtr));
        int written = 0;
        for (int i = 0; i < c.samples && i < EnergyCapacity; ++i)
            written += energy[i] > 0 && time[i] > 0;
        out("pulsedata samples=%d written=%d current=%d total=%d\n", int(c.samples), written, int(c.intervalCurrent),
            int(c.intervalTotal));
    }
}

/// Runs the loop until Done holds; false after the guard's time.
bool pumpUntil(const std::function<bool()>& Done)
{
    if (Done())
        return true;
    const char* guard = std::getenv("KELMOR32_TEST_GUARD");
    SetTimer(client.window, GuardTimer, guard ? UINT(std::atoi(guard)) : 30000);
    MSG msg;
    while (GetMessage(&msg)) {
        if (msg.message == client.appMessage)
            onNotice(msg.lParam);
        else if (msg.message == WM_TIMER && msg.wParam == GuardTimer) {
            client.timedOut = true;
            break;
        } else
            DispatchMessage(&msg);
        if (Done())
            break;
    }
    KillTimer(client.window, GuardTimer);
    return !client.timedOut;
}

int64_t field(const std::string& Name)
{
    const LaserStatusCopy& c = client.status.copy;
    const std::map<std::string, std::function<int64_t()>> fields {
        { "serverReady", [] { return int64_t(client.status.serverReady); } },
        { "serverVersionLevel", [] { return int64_t(client.status.serverVersionLevel); } },
        { "stateFlags", [&] { return int64_t(c.stateFlags); } },
        { "capabilityFlags", [&] { return int64_t(c.capabilityFlags); } },
        { "modeFlags", [&] { return int64_t(c.modeFlags); } },
        { "modeFlags2", [&] { return int64_t(c.modeFlags2); } },
        { "errorFlags2", [&] { return int64_t(c.errorFlags2); } },
        { "optionFlags", [&] { return int64_t(c.optionFlags); } },
        { "repRate", [&] { return int64_t(c.repRate); } },
        { "quantity", [&] { return int64_t(c.quantity); } },
        { "pulseCounter", [&] { return int64_t(c.pulseCounter); } },
        { "watchCounter", [&] { return int64_t(c.watchCounter); } },
        { "hvPercent", [&] { return int64_t(c.hvPercent); } },
        { "pressure", [&] { return int64_t(c.pressure); } },
        { "gasState", [&] { return int64_t(c.gasState); } },
        { "step", [&] { return int64_t(c.gasState & 0x0F); } },
        { "samples", [&] { return int64_t(c.samples); } },
        { "intervalCurrent", [&] { return int64_t(c.intervalCurrent); } },
        { "comPort", [&] { return int64_t(c.comPort); } },
        { "deviceVersion", [&] { return int64_t(c.deviceVersion); } },
        { "deviceFlags", [&] { return int64_t(c.deviceFlags); } },
        { "warmupProgress", [&] { return int64_t(c.warmupProgress); } },
        { "serialNumber", [&] { return int64_t(c.serialNumber); } },
    };
    auto it = fields.find(Name);
    if (it == fields.end()) {
        out("error unknown field %s\n", Name.c_str());
        std::exit(2);
    }
    return it->second();
}

bool holds(const std::string& Name, const std::string& Op, int64_t Value)
{
    int64_t v = field(Name);
    if (Op == "==")
        return v == Value;
    if (Op == ">=")
        return v >= Value;
    if (Op == "has")
        return (v & Value) == Value;
    if (Op == "lacks")
        return (v & Value) == 0;
    out("error unknown operator %s\n", Op.c_str());
    std::exit(2);
}

void printRun()
{
    const LaserStatusCopy& c = client.status.copy;
    out("run samples=%d mean=%.9g deviation=%.9g selected=%d total=%d current=%d\n", int(c.samples),
        double(c.meanEnergy), double(c.deviation), int(c.selected), int(c.intervalTotal), int(c.intervalCurrent));
    const float* energy = reinterpret_cast<const float*>(uintptr_t(c.energyPtr));
    const double* time = reinterpret_cast<const double*>(uintptr_t(c.abscissaPtr));
    const int32_t* bins = reinterpret_cast<const int32_t*>(uintptr_t(c.histogramPtr));
    for (int i = 0; i < c.samples && i < EnergyCapacity; ++i)
        out("energy %d %.9g %.12f\n", i, double(energy[i]), time[i]);
    for (int b = 0; b < HistogramBins; ++b)
        if (bins[b] != 0)
            out("bin %d %d\n", b, int(bins[b]));
}

uint32_t parseArgument(const std::string& Text)
{
    if (Text.rfind("f:", 0) == 0) {
        float value = std::stof(Text.substr(2));
        uint32_t bits;
        std::memcpy(&bits, &value, sizeof bits);
        return bits;
    }
    return uint32_t(std::stoll(Text, nullptr, 0));
}

std::vector<std::string> words(const std::string& Line)
{
    std::vector<std::string> result;
    size_t at = 0;
    while ((at = Line.find_first_not_of(' ', at)) != std::string::npos) {
        size_t end = Line.find(' ', at);
        result.push_back(Line.substr(at, end == std::string::npos ? std::string::npos : end - at));
        at = end;
    }
    return result;
}

/// Runs one script command; false when it timed out.
bool runCommand(const std::vector<std::string>& W)
{
    const std::string& cmd = W[0];
    if (cmd == "send") {
        LaserCommand command {};
        static uint16_t sequence = 0;
        sequence = NextSequence(sequence);
        command.window = client.window;
        command.sequence = sequence;
        command.code = uint16_t(std::stoul(W.at(1), nullptr, 0));
        command.argument = W.size() > 2 ? parseArgument(W[2]) : 0;
        out("put 0x%04X %d\n", unsigned(command.code), int(putcommand(&command)));
        return true;
    }
    if (cmd == "wait") {
        int event = parseEvent(W.at(1));
        int count = W.size() > 2 ? std::stoi(W[2]) : 1;
        int target = client.consumed[event] + count;
        client.consumed[event] = target;
        return pumpUntil([&] { return client.received[event] >= target; });
    }
    if (cmd == "until") {
        const std::string name = W.at(1), op = W.at(2);
        int64_t value = std::stoll(W.at(3), nullptr, 0);
        refresh();
        return pumpUntil([&] { return holds(name, op, value); });
    }
    if (cmd == "print") {
        refresh();
        for (size_t i = 1; i < W.size(); ++i)
            out("%s=%lld\n", W[i].c_str(), (long long)field(W[i]));
        return true;
    }
    if (cmd == "run") {
        refresh();
        printRun();
        return true;
    }
    if (cmd == "steps") {
        std::string line = "steps";
        for (int step : client.steps)
            line += " " + std::to_string(step);
        out("%s\n", line.c_str());
        return true;
    }
    if (cmd == "blinks") {
        std::string line = "blinks";
        for (int parameter : client.blinks)
            line += " " + std::to_string(parameter);
        out("%s\n", line.c_str());
        return true;
    }
    if (cmd == "waitfile") {
        // The loop keeps running (notices are taken) while the test prepares its next move.
        const std::string path = W.at(1);
        SetTimer(client.window, GuardTimer + 1, 10);
        bool ok = pumpUntil([&] { return std::filesystem::exists(path); });
        KillTimer(client.window, GuardTimer + 1);
        return ok;
    }
    if (cmd == "closeserver") {
        refresh();
        uint32_t server;
        std::memcpy(&server, client.status.rest + 4, sizeof server);
        out("closeserver %d\n", int(server != 0 && PostMessage(server, WM_CLOSE, 0, 0)));
        return true;
    }
    out("error unknown command %s\n", cmd.c_str());
    std::exit(2);
}

} // namespace

int main(int argc, char** argv)
{
    int first = 1;
    bool registering = true;
    if (argc > 1 && std::strcmp(argv[1], "--no-register") == 0) {
        registering = false;
        first = 2;
    }
    client.window = CreateWindowHandle([](HWND, UINT, WPARAM, LPARAM) -> LRESULT { return 0; });
    client.appMessage = getmessagenumber();
    if (registering)
        out("registered %d\n", int(registerapplication(client.window)));
    refresh();

    int result = 0;
    for (int i = first; i < argc; ++i) {
        std::vector<std::string> w = words(argv[i]);
        if (w.empty())
            continue;
        bool done = false;
        try {
            done = runCommand(w);
        } catch (const std::exception&) {
            out("bad command %s\n", argv[i]);
            result = 2;
            break;
        }
        if (!done) {
            out("timeout %s\n", argv[i]);
            result = 3;
            break;
        }
    }
    if (registering)
        out("released %d\n", int(releasedll(client.window)));
    out("done\n");
    return result;
}
