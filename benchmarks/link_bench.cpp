//===- link_bench.cpp - Notice latency and command throughput of the link library ---===//
//
// Runs in a session of its own: it re-executes itself with VARNEX_SESSION set, since the
// library joins the session's block when it is loaded.
//
#include "benchmarks/bench_server.h"
#include "link/Varnex32.h"

#include "platform/kernel/WinExec.h"
#include "platform/user/Messages.h"

#include <algorithm>
#include <benchmark/benchmark.h>
#include <chrono>
#include <cstdlib>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;

int Echoes = 0;
int Registered = 0;
HWND ServerWindow = 0;

LRESULT serverProc(HWND, UINT Msg, WPARAM, LPARAM)
{
    if (Msg == WM_USER)
        ++Echoes;
    else if (Msg == WM_USER + 1)
        ++Registered;
    return 0;
}

std::vector<pid_t> startEchoes(int Count)
{
    std::vector<pid_t> pids;
    std::string exe = ExecutableDirectory() + "bench_link_echo";
    std::string window = std::to_string(ServerWindow);
    for (int i = 0; i < Count; ++i) {
        char* argv[] = { exe.data(), window.data(), nullptr };
        pid_t pid = 0;
        if (posix_spawn(&pid, exe.c_str(), nullptr, nullptr, argv, environ) == 0)
            pids.push_back(pid);
    }
    const int wanted = Registered + int(pids.size());
    bench::PumpUntil([&] { return Registered >= wanted; });
    return pids;
}

void stopEchoes(const std::vector<pid_t>& Pids)
{
    bench::Publish(ex_notify, ev_serverclosed);
    for (pid_t pid : Pids)
        waitpid(pid, nullptr, 0);
    Registered = 0;
}

double percentile(std::vector<double> Samples, double P)
{
    std::sort(Samples.begin(), Samples.end());
    return Samples[std::min(Samples.size() - 1, size_t(P * double(Samples.size())))];
}

/// From the server's excommand(ex_status) until every client's handler has run (each answers
/// with a post, so this is the time to the last client plus one post back).
void BM_NoticeLatency(benchmark::State& State)
{
    const int clients = int(State.range(0));
    std::vector<pid_t> pids = startEchoes(clients);
    std::vector<double> micros;
    for (auto _ : State) {
        Echoes = 0;
        auto start = Clock::now();
        bench::Publish(ex_status, ev_rxon);
        bench::PumpUntil([&] { return Echoes >= clients; });
        micros.push_back(std::chrono::duration<double, std::micro>(Clock::now() - start).count());
    }
    stopEchoes(pids);
    State.counters["median_us"] = percentile(micros, 0.5);
    State.counters["p99_us"] = percentile(micros, 0.99);
}
BENCHMARK(BM_NoticeLatency)->Arg(1)->Arg(10)->Iterations(2000)->UseRealTime();

/// putcommand into the ring; the ring is fetched, as the server would, whenever it fills.
void BM_PutCommand(benchmark::State& State)
{
    bench::Publish(ex_status, ev_blink1);
    LaserCommand command { ServerWindow, 1, cmd_reprate, 50 };
    CommandRing ring;
    ServerNotice fetch { ex_fetch, 0, 0, 0, 0, 0, 0 };
    MSG msg;
    for (auto _ : State) {
        if (putcommand(&command) == LINK_QUEUEFULL) {
            excommand(&fetch, &ring);
            while (PeekMessage(&msg)) {
            }
            putcommand(&command);
        }
        command.sequence = NextSequence(command.sequence);
    }
    State.SetItemsProcessed(State.iterations());
}
BENCHMARK(BM_PutCommand);

} // namespace

int main(int argc, char** argv)
{
    if (!std::getenv("VARNEX_SESSION")) {
        setenv("VARNEX_SESSION", ("bench" + std::to_string(getpid())).c_str(), 1);
        execv("/proc/self/exe", argv);
        return 1;
    }
    SetWinExecHook([](const std::string&, uint32_t) { return uint32_t(33); });
    ServerWindow = CreateWindowHandle(serverProc);
    registerexcimer(LinkKey, ServerWindow);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
