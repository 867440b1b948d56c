//===- notice_bench.cpp - A server notice to each client's handler, against a bare datagram ---===//
//
// For 1 and 10 client processes on the plain GetMessage loop and on the application's Qt loop:
// from the excommand(ex_status) call to each client's handler (notice_us) and to the end of its
// getstatuspointer (status_us). Each iteration then sends one bare AF_UNIX datagram to each of as
// many receiver processes blocked in recv (floor_us), so the floor is measured in the same run
// under the same load. The ratio counters are notice / floor and status / floor.
//
// Runs in a session of its own: it re-executes itself with VARNEX_SESSION set, since the link
// library joins the session's block when it is loaded.
//
#include "benchmarks/bench_server.h"
#include "link/Varnex32.h"
#include "benchmarks/notice_floor.h"

#include "platform/kernel/WinExec.h"
#include "platform/user/Messages.h"

#include <algorithm>
#include <benchmark/benchmark.h>
#include <cstdlib>
#include <ctime>
#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <string>
#include <sys/socket.h>
#include <sys/time.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace {

int64_t nowNs()
{
    timespec now {};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return int64_t(now.tv_sec) * 1000000000 + now.tv_nsec;
}

struct Answer {
    int64_t EnteredNs;
    int64_t StatusReadNs;
};

std::vector<Answer> Answers;
int Registered = 0;
HWND ServerWindow = 0;
std::string FloorName;
int FloorSocket = -1;

LRESULT serverProc(HWND, UINT Msg, WPARAM wParam, LPARAM lParam)
{
    if (Msg == WM_USER)
        Answers.push_back(Answer { int64_t(wParam), int64_t(lParam) });
    else if (Msg == WM_USER + 1)
        ++Registered;
    return 0;
}

pid_t spawn(std::vector<std::string> Args)
{
    std::string exe = ExecutableDirectory() + "bench_notice_client";
    std::vector<char*> argv { exe.data() };
    for (std::string& arg : Args)
        argv.push_back(arg.data());
    argv.push_back(nullptr);
    // The toolkit's start-up notes (no runtime folder, offscreen platform) would drown the table.
    posix_spawn_file_actions_t quiet;
    posix_spawn_file_actions_init(&quiet);
    posix_spawn_file_actions_addopen(&quiet, 2, "/dev/null", O_WRONLY, 0);
    pid_t pid = 0;
    int failed = posix_spawn(&pid, exe.c_str(), &quiet, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&quiet);
    return failed ? 0 : pid;
}

class Receivers {
public:
    Receivers(int Count, const char* Loop) : count_(Count)
    {
        for (int i = 0; i < Count; ++i) {
            pids_.push_back(spawn({ Loop, std::to_string(ServerWindow) }));
            pids_.push_back(spawn({ "floor", FloorName, std::to_string(i) }));
        }
        bench::PumpUntil([&] { return Registered == Count; });
        for (int i = 0; i < Count; ++i) {
            FloorReply ready;
            recv(FloorSocket, &ready, sizeof ready, 0);
            floors_.push_back(floorAddress(FloorName, std::to_string(i)));
        }
    }
    ~Receivers()
    {
        bench::Publish(ex_notify, ev_serverclosed);
        for (const FloorAddress& floor : floors_) {
            int64_t stop = 0;
            sendto(FloorSocket, &stop, sizeof stop, 0, floor.address(), floor.Length);
        }
        for (pid_t pid : pids_)
            waitpid(pid, nullptr, 0);
        Registered = 0;
    }

    /// One notice to every client: each client's time to its handler and to its status read.
    void notice(std::vector<double>& Handler, std::vector<double>& Status)
    {
        Answers.clear();
        int64_t start = nowNs();
        bench::Publish(ex_status, ev_rxon);
        bench::PumpUntil([&] { return int(Answers.size()) == count_; });
        for (const Answer& a : Answers) {
            Handler.push_back(double(a.EnteredNs - start) / 1000);
            Status.push_back(double(a.StatusReadNs - start) / 1000);
        }
    }

    /// One bare datagram to every floor receiver, in turn from one socket as the link posts.
    void floor(std::vector<double>& Floor)
    {
        int64_t start = nowNs(), ping = 1;
        for (const FloorAddress& to : floors_)
            sendto(FloorSocket, &ping, sizeof ping, 0, to.address(), to.Length);
        for (int i = 0; i < count_; ++i) {
            FloorReply reply;
            if (recv(FloorSocket, &reply, sizeof reply, 0) == sizeof reply)
                Floor.push_back(double(reply.ArrivedNs - start) / 1000);
        }
    }

private:
    int count_;
    std::vector<pid_t> pids_;
    std::vector<FloorAddress> floors_;
};

double percentile(std::vector<double> Samples, double P)
{
    if (Samples.empty())
        return 0;
    std::sort(Samples.begin(), Samples.end());
    return Samples[std::min(Samples.size() - 1, size_t(P * double(Samples.size())))];
}

void BM_Notice(benchmark::State& State, const char* Loop)
{
    Receivers receivers(int(State.range(0)), Loop);
    std::vector<double> handler, status, floor;
    for (auto _ : State) {
        receivers.notice(handler, status);
        receivers.floor(floor);
    }
    const double floor50 = percentile(floor, 0.5), floor99 = percentile(floor, 0.99);
    State.counters["notice_p50_us"] = percentile(handler, 0.5);
    State.counters["notice_p99_us"] = percentile(handler, 0.99);
    State.counters["status_p50_us"] = percentile(status, 0.5);
    State.counters["status_p99_us"] = percentile(status, 0.99);
    State.counters["floor_p50_us"] = floor50;
    State.counters["floor_p99_us"] = floor99;
    State.counters["ratio_p50"] = percentile(handler, 0.5) / floor50;
    State.counters["ratio_p99"] = percentile(handler, 0.99) / floor99;
    State.counters["status_ratio_p50"] = percentile(status, 0.5) / floor50;
    State.counters["status_ratio_p99"] = percentile(status, 0.99) / floor99;
}
BENCHMARK_CAPTURE(BM_Notice, plain, "plain")->Arg(1)->Arg(10)->Iterations(2000)->UseRealTime();
BENCHMARK_CAPTURE(BM_Notice, qt, "qt")->Arg(1)->Arg(10)->Iterations(2000)->UseRealTime();

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
    FloorName = "varnex-bench-floor-" + std::to_string(getpid());
    FloorSocket = socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    FloorAddress own = floorAddress(FloorName, "server");
    timeval patience { 5, 0 }; // a lost receiver ends the wait instead of the run
    setsockopt(FloorSocket, SOL_SOCKET, SO_RCVTIMEO, &patience, sizeof patience);
    if (FloorSocket < 0 || bind(FloorSocket, own.address(), own.Length) != 0)
        return 1;
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
