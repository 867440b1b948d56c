//===- plot_bench.cpp - Costs of the plot component's point store and stream ===//
#include "plot/TDataSeries.h"
#include "plot/TPlotReader.h"
#include "plot/TPlotWriter.h"
#include "platform/rtl/TStream.h"

#include <benchmark/benchmark.h>

#include <random>
#include <vector>

namespace {

constexpr int Points = 100000;

/// A measurement run appends every pulse behind the last one: constant cost per point.
void BM_AppendAscending(benchmark::State& State)
{
    for (auto _ : State) {
        TDataSeries S;
        S.MaxPoints = 0;
        for (int I = 0; I < Points; ++I)
            S.AddPoint(I, I % 17);
        benchmark::DoNotOptimize(S.GetCount());
    }
    State.SetItemsProcessed(State.iterations() * Points);
}
BENCHMARK(BM_AppendAscending)->Unit(benchmark::kMillisecond);

/// Points in random x walk the list from its head: the cost per point grows with the count.
void BM_AppendRandom(benchmark::State& State)
{
    std::mt19937 Random(7);
    std::uniform_real_distribution<double> X(0, 1e6);
    std::vector<double> Xs(Points);
    for (double& V : Xs)
        V = X(Random);
    for (auto _ : State) {
        TDataSeries S;
        S.MaxPoints = 0;
        for (double V : Xs)
            S.AddPoint(V, 1);
        benchmark::DoNotOptimize(S.GetCount());
    }
    State.SetItemsProcessed(State.iterations() * Points);
}
BENCHMARK(BM_AppendRandom)->Unit(benchmark::kMillisecond)->Iterations(1);

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

BENCHMARK_MAIN();
