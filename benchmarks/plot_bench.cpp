//===- plot_bench.cpp - Costs of the plot component's point store and stream ===//
#include "plot/TDataSeries.h"
#include "plot/TPlotReader.h"
#include "plot/TPlotWriter.h"
#include "platform/rtl/TStream.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <malloc.h>
#include <random>
#include <vector>

namespace {

constexpr int Points = 100000;

/// 100 000 x in random order, and the same x ascending.
const std::vector<double>& RandomXs()
{
    static const std::vector<double> Xs = [] {
        std::mt19937 Random(7);
        std::uniform_real_distribution<double> X(0, 1e6);
        std::vector<double> V(Points);
        for (double& Value : V)
            Value = X(Random);
        return V;
    }();
    return Xs;
}

const std::vector<double>& AscendingXs()
{
    static const std::vector<double> Xs = [] {
        std::vector<double> V = RandomXs();
        std::sort(V.begin(), V.end());
        return V;
    }();
    return Xs;
}

void AddAll(benchmark::State& State, const std::vector<double>& Xs)
{
    for (auto _ : State) {
        TDataSeries S;
        S.MaxPoints = 0;
        for (double V : Xs)
            S.AddPoint(V, 1);
        benchmark::DoNotOptimize(S.GetCount());
    }
    State.SetItemsProcessed(State.iterations() * Points);
}

/// A measurement run appends every pulse behind the last one: constant cost per point.
void BM_AppendAscending(benchmark::State& State) { AddAll(State, AscendingXs()); }
BENCHMARK(BM_AppendAscending)->Unit(benchmark::kMillisecond);

/// The same points in random x: each lands by a search, not by a walk from the head.
void BM_AppendRandom(benchmark::State& State) { AddAll(State, RandomXs()); }
BENCHMARK(BM_AppendRandom)->Unit(benchmark::kMillisecond);

/// A stored series section with default settings and the points in the given order.
TMemoryStream& SectionOf(const std::vector<double>& Xs, TMemoryStream& Stream)
{
    if (Stream.GetSize() != 0)
        return Stream;
    TPlotWriter W(Stream, 4096);
    W.WriteSectionEnd();
    W.WritePointBlockHeader(int32_t(Xs.size()));
    for (double V : Xs)
        W.WritePoint(V, 1);
    W.FlushBuffer();
    return Stream;
}

void LoadSection(benchmark::State& State, TMemoryStream& Stream)
{
    for (auto _ : State) {
        Stream.SetPosition(0);
        TDataSeries S;
        S.MaxPoints = 0;
        TPlotReader R(Stream, 4096);
        S.ReadFromStream(R);
        benchmark::DoNotOptimize(S.GetCount());
    }
    State.SetItemsProcessed(State.iterations() * Points);
}

/// Opening a stored graph whose 100 000 points stand in ascending x, and the same points stored
/// in random order, each of which is placed by a search of the series' index.
void BM_LoadSectionAscending(benchmark::State& State)
{
    static TMemoryStream Stream;
    LoadSection(State, SectionOf(AscendingXs(), Stream));
}
BENCHMARK(BM_LoadSectionAscending)->Unit(benchmark::kMillisecond);

void BM_LoadSectionRandom(benchmark::State& State)
{
    static TMemoryStream Stream;
    LoadSection(State, SectionOf(RandomXs(), Stream));
}
BENCHMARK(BM_LoadSectionRandom)->Unit(benchmark::kMillisecond);

TMemoryStream& SectionOf100000Points()
{
    static TMemoryStream Stream;
    if (Stream.GetSize() == 0) {
        TDataSeries S;
        S.MaxPoints = 0;
        for (int I = 0; I < Points; ++I)
            S.AddPoint(I * 0.001, I % 101 * 0.25);
        TPlotWriter W(Stream, 4096);
        S.WriteToStream(W, true);
    }
    return Stream;
}

void BM_WriteSeriesSection(benchmark::State& State)
{
    TDataSeries S;
    S.MaxPoints = 0;
    for (int I = 0; I < Points; ++I)
        S.AddPoint(I * 0.001, I % 101 * 0.25);
    for (auto _ : State) {
        TMemoryStream Stream;
        TPlotWriter W(Stream, 4096);
        S.WriteToStream(W, true);
        W.FlushBuffer();
        benchmark::DoNotOptimize(Stream.GetSize());
    }
    State.SetItemsProcessed(State.iterations() * Points);
}
BENCHMARK(BM_WriteSeriesSection)->Unit(benchmark::kMillisecond);

void BM_ReadSeriesSection(benchmark::State& State)
{
    TMemoryStream& Stream = SectionOf100000Points();
    for (auto _ : State) {
        Stream.SetPosition(0);
        TDataSeries S;
        S.MaxPoints = 0;
        TPlotReader R(Stream, 4096);
        S.ReadFromStream(R);
        benchmark::DoNotOptimize(S.GetCount());
    }
    State.SetItemsProcessed(State.iterations() * Points);
}
BENCHMARK(BM_ReadSeriesSection)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    // glibc hands the top of the heap back to the kernel when a series is freed, or keeps it,
    // by heuristics that flip from run to run; on a virtual machine where a page touched anew
    // costs 20-40 us, that decided most of a repetition's time (30 ms or 1 ms for the same
    // ascending points). Keeping freed memory in the heap measures the insertion itself, the
    // same way for every benchmark here.
    mallopt(M_TRIM_THRESHOLD, 1 << 30);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
