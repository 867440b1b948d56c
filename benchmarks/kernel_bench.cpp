//===- kernel_bench.cpp - Costs of the kernel stand-in ---------------------===//
#include "platform/kernel/Clock.h"
#include "platform/kernel/NamedMutex.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <string>
#include <unistd.h>

namespace {

std::unique_ptr<NamedMutex> benchmarkMutex()
{
    // A session of its own, so that a benchmark never meets a running program's mutex.
    setenv("VARNEX_SESSION", ("bench" + std::to_string(getpid())).c_str(), 1);
    return NamedMutex::Create("bench");
}

/// What every call into the link library pays for its guard on the shared block.
void BM_MutexWaitReleaseUncontended(benchmark::State& State)
{
    auto mutex = benchmarkMutex();
    if (!mutex) {
        State.SkipWithError("NamedMutex::Create failed");
        return;
    }
    for (auto _ : State) {
        benchmark::DoNotOptimize(mutex->Wait(20000));
        mutex->Release();
    }
}
BENCHMARK(BM_MutexWaitReleaseUncontended);

void BM_MutexTryWaitReleaseUncontended(benchmark::State& State)
{
    auto mutex = benchmarkMutex();
    if (!mutex) {
        State.SkipWithError("NamedMutex::Create failed");
        return;
    }
    for (auto _ : State) {
        benchmark::DoNotOptimize(mutex->Wait(0));
        mutex->Release();
    }
}
BENCHMARK(BM_MutexTryWaitReleaseUncontended);

void BM_TimeGetTime(benchmark::State& State)
{
    for (auto _ : State)
        benchmark::DoNotOptimize(timeGetTime());
}
BENCHMARK(BM_TimeGetTime);

} // namespace
