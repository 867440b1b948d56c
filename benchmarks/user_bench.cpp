//===- user_bench.cpp - Round trip of a posted message between two processes ---===//
//
// A forked echo process answers every ping posted to its window with a pong posted back; the
// benchmark times each ping-pong and reports the median and the 99th percentile besides the mean.
//
#include "platform/user/Messages.h"
#include "platform/user/SessionFile_p.h"
#include "platform/user/WindowSocket_p.h"

#include <algorithm>
#include <benchmark/benchmark.h>
#include <chrono>
#include <cstdlib>
#include <fcntl.h>
#include <string>
#include <sys/mman.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

constexpr UINT Ping = WM_USER + 1;
constexpr UINT Pong = WM_USER + 2;

void postWhenRoom(HWND Window, UINT Msg, WPARAM wParam, LPARAM lParam)
{
    while (!PostMessage(Window, Msg, wParam, lParam) && IsWindow(Window)) {
    }
}

/// The echo process: answers each ping to the window named in its wParam, ends with WM_CLOSE.
[[noreturn]] void runEcho(int ToParent)
{
    HWND own = CreateWindowHandle(nullptr);
    if (write(ToParent, &own, sizeof own) != sizeof own)
        _exit(1);
    close(ToParent);
    MSG msg;
    while (GetMessage(&msg) && msg.message != WM_CLOSE)
        if (msg.message == Ping)
            postWhenRoom(static_cast<HWND>(msg.wParam), Pong, 0, msg.lParam);
    _exit(0);
}

class Echo {
public:
    Echo()
    {
        int channel[2];
        if (pipe2(channel, O_CLOEXEC) != 0)
            return;
        pid_ = fork();
        if (pid_ == 0)
            runEcho(channel[1]);
        close(channel[1]);
        if (read(channel[0], &window_, sizeof window_) != sizeof window_)
            window_ = 0;
        close(channel[0]);
    }
    ~Echo()
    {
        PostMessage(window_, WM_CLOSE, 0, 0);
        if (pid_ > 0)
            waitpid(pid_, nullptr, 0);
    }
    HWND window() const { return window_; }

private:
    pid_t pid_ = -1;
    HWND window_ = 0;
};

double percentile(std::vector<double> samples, double fraction)
{
    if (samples.empty())
        return 0;
    size_t at = std::min(samples.size() - 1, static_cast<size_t>(fraction * samples.size()));
    std::nth_element(samples.begin(), samples.begin() + at, samples.end());
    return samples[at];
}

void BM_PostedRoundTrip(benchmark::State& State)
{
    Echo echo;
    HWND own = CreateWindowHandle(nullptr);
    if (echo.window() == 0 || own == 0) {
        State.SkipWithError("no echo window");
        return;
    }
    std::vector<double> micros;
    LPARAM sequence = 0;
    for (auto _ : State) {
        auto start = std::chrono::steady_clock::now();
        postWhenRoom(echo.window(), Ping, own, ++sequence);
        MSG msg;
        while (GetMessage(&msg) && !(msg.message == Pong && msg.lParam == sequence)) {
        }
        std::chrono::duration<double, std::micro> took = std::chrono::steady_clock::now() - start;
        State.SetIterationTime(took.count() / 1e6);
        micros.push_back(took.count());
    }
    DestroyWindow(own);
    State.counters["median_us"] = percentile(micros, 0.5);
    State.counters["p99_us"] = percentile(micros, 0.99);
}
BENCHMARK(BM_PostedRoundTrip)->UseManualTime()->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv)
{
    // A session of its own, so the benchmark never meets a running system's windows.
    std::string session = "bench-user-" + std::to_string(getpid());
    setenv("VARNEX_SESSION", session.c_str(), 1);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
