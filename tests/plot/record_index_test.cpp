//===- record_index_test.cpp - The series' index of points by x against std::map ===//
#include "plot/TRecordIndex.h"

#include "plot/TDataSeries.h"

#include <gtest/gtest.h>

#include <iterator>
#include <map>
#include <random>
#include <vector>

namespace {

using Model = std::map<double, TRecordPoint>;

// Every entry, in order, with its point; and the first and last entry.
::testing::AssertionResult SameEntries(const TRecordIndex& Index, const Model& M)
{
    auto It = Index.Begin();
    for (const auto& [Key, Point] : M) {
        if (It == Index.End())
            return ::testing::AssertionFailure() << "the index ends before " << Key;
        if (It.Key() != Key || It.Point().Node != Point.Node || It.Point().Prev != Point.Prev)
            return ::testing::AssertionFailure() << "found " << It.Key() << " where " << Key << " belongs";
        It = Index.Next(It);
    }
    if (It != Index.End())
        return ::testing::AssertionFailure() << "the index goes on past " << M.size() << " entries";
    if (M.empty() != Index.Empty() || (!M.empty() && Index.Last().Key() != M.rbegin()->first))
        return ::testing::AssertionFailure() << "the last entry differs";
    return ::testing::AssertionSuccess();
}

// The searches the series makes, for a key present, absent, below and above all.
::testing::AssertionResult SameSearches(const TRecordIndex& Index, const Model& M, double Key)
{
    const auto Low = Index.LowerBound(Key);
    const auto ModelLow = M.lower_bound(Key);
    if ((Low == Index.End()) != (ModelLow == M.end()) || (ModelLow != M.end() && Low.Key() != ModelLow->first))
        return ::testing::AssertionFailure() << "LowerBound(" << Key << ")";
    const auto Up = Index.LastNotAbove(Key);
    const auto ModelUp = M.upper_bound(Key);
    if ((Up == Index.End()) != (ModelUp == M.begin()) || (ModelUp != M.begin() && Up.Key() != std::prev(ModelUp)->first))
        return ::testing::AssertionFailure() << "LastNotAbove(" << Key << ")";
    return ::testing::AssertionSuccess();
}

// Thousands of entries make leaves split and inner nodes split under a root two levels up;
// removals, single and in runs, then empty leaves and inner nodes and shrink the root again,
// down to nothing, and the index grows once more from empty.
TEST(RecordIndex, HoldsWhatAnOrderedMapHoldsThroughSplitsAndRemovals)
{
    std::vector<TPointNode> Nodes(64);
    std::mt19937 Random(20261209);
    auto AnyPoint = [&] {
        return TRecordPoint { &Nodes[Random() % Nodes.size()], &Nodes[Random() % Nodes.size()] };
    };
    TRecordIndex Index;
    Model M;
    int Checks = 0;
    for (const int Phase : { 0, 1, 2, 3 }) {
        // Grow (even phases) to about 20 000 entries, or shrink until empty.
        const bool Grow = Phase % 2 == 0;
        for (int Step = 0; Grow ? M.size() < 20000 : !M.empty(); ++Step) {
            const double Key = double(Random() % 200000) * 0.5 - (Phase >= 2 ? 5000 : 0);
            const int Pick = int(Random() % 64);
            if (Grow ? Pick < 52 : Pick < 8) {
                const TRecordPoint Point = AnyPoint();
                if (Pick == 0) {
                    Index.Assign(Key, Point);
                    M.insert_or_assign(Key, Point);
                } else if (!M.count(Key)) {
                    Index.InsertBefore(Index.LowerBound(Key), Key, Point);
                    M.emplace(Key, Point);
                }
            } else if (!M.empty()) {
                // One entry, or a run of twenty, from the first not below Key, as the series
                // removes the records a new point reaches.
                auto It = Index.LowerBound(Key);
                auto ModelIt = M.lower_bound(Key);
                for (int Run = Pick == 63 ? 20 : 1; Run > 0 && ModelIt != M.end(); --Run) {
                    It = Index.Erase(It);
                    ModelIt = M.erase(ModelIt);
                }
                ASSERT_EQ(It == Index.End(), ModelIt == M.end()) << "step " << Step;
                if (ModelIt != M.end()) {
                    ASSERT_EQ(It.Key(), ModelIt->first) << "step " << Step;
                    // What Erase gives is an entry the caller may change.
                    It.Point().Prev = ModelIt->second.Prev = &Nodes[Step % Nodes.size()];
                }
            }
            ASSERT_TRUE(SameSearches(Index, M, Key)) << "phase " << Phase << ", step " << Step;
            if (Step % 997 == 0) {
                ASSERT_TRUE(SameEntries(Index, M)) << "phase " << Phase << ", step " << Step;
                ++Checks;
            }
        }
        ASSERT_TRUE(SameEntries(Index, M)) << "end of phase " << Phase;
    }
    EXPECT_GT(Checks, 40);
    Index.Clear();
    EXPECT_TRUE(Index.Empty());
    EXPECT_TRUE(Index.LowerBound(0) == Index.End());
}

} // namespace
