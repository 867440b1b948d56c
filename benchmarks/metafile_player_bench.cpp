//===- metafile_player_bench.cpp - Playing a path bracket cut by many clips into a PDF page ===//
//
// One POLYLINETO16 of P points inside a path bracket, followed by C INTERSECTCLIPRECT records
// before the bracket is stroked, played into a page: (P, C) = (2000, 800), (4000, 1600),
// (8000, 3200). Each doubling of both should about double the time, not quadruple it.
//
#include "pdf/TMetafilePlayer.h"
#include "pdf/TPDFDocument.h"
#include "pdf/TPDFPage.h"

#include "platform/rtl/TStream.h"
#include "platform/ui/graphics/TMetafile.h"

#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>

namespace {

class Records {
public:
    void put(uint32_t V)
    {
        for (int I = 0; I < 4; ++I)
            Bytes.push_back(uint8_t(V >> (8 * I)));
    }
    void record(uint32_t Type, std::initializer_list<uint32_t> Fields)
    {
        put(Type);
        put(uint32_t(8 + 4 * Fields.size()));
        for (uint32_t F : Fields)
            put(F);
        ++Count;
    }
    std::vector<uint8_t> Bytes;
    uint32_t Count = 0;
};

std::unique_ptr<TMetafile> Bracket(int Points, int Clips)
{
    Records R;
    R.record(59, {}); // BEGINPATH
    R.put(89);        // POLYLINETO16: bounds, count, points
    R.put(uint32_t(28 + 4 * Points));
    for (int I = 0; I < 4; ++I)
        R.put(0);
    R.put(uint32_t(Points));
    for (int I = 0; I < Points; ++I)
        R.put(uint32_t(I % 500) | uint32_t((I * 7) % 500) << 16);
    ++R.Count;
    for (int I = 0; I < Clips; ++I)
        R.record(30, { 0, 0, uint32_t(600 - I % 100), uint32_t(600 - I % 100) }); // INTERSECTCLIPRECT
    R.record(60, {});                                                             // ENDPATH
    R.record(64, { 0, 0, 9, 9 });                                                 // STROKEPATH
    std::vector<uint8_t> All(108, 0);
    auto at = [&](size_t Offset, uint32_t V) { std::memcpy(&All[Offset], &V, 4); };
    at(0, 1), at(4, 108), at(16, 599), at(20, 599), at(32, 15875), at(36, 15875), at(40, 0x464D4520);
    at(44, 0x10000), at(52, R.Count + 2), at(56, 1), at(72, 1920), at(76, 1080), at(80, 508), at(84, 286);
    All.insert(All.end(), R.Bytes.begin(), R.Bytes.end());
    for (uint32_t V : { 14u, 20u, 0u, 16u, 20u })
        All.insert(All.end(), { uint8_t(V), uint8_t(V >> 8), uint8_t(V >> 16), uint8_t(V >> 24) });
    at(48, uint32_t(All.size()));
    TMemoryStream Stream;
    Stream.WriteBuffer(All.data(), int32_t(All.size()));
    Stream.SetPosition(0);
    auto M = std::make_unique<TMetafile>();
    M->LoadFromStream(Stream);
    return M;
}

void BM_PathBracketCutByClips(benchmark::State& State)
{
    const auto M = Bracket(int(State.range(0)), int(State.range(1)));
    for (auto _ : State) {
        TPDFDocument Doc(nullptr);
        TPDFPage Page(Doc);
        TMetafilePlayer Player(Page);
        Player.LoadMetafile(*M);
        Player.ExecuteMetafile();
        benchmark::DoNotOptimize(Page.Content.size());
    }
}
BENCHMARK(BM_PathBracketCutByClips)
    ->Args({ 2000, 800 })
    ->Args({ 4000, 1600 })
    ->Args({ 8000, 3200 })
    ->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
