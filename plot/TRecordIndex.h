//===- TRecordIndex.h - Points of a series by x, for insertion -*- C++ -*-===//
//
// A B+tree of (key, node, node before it) entries with distinct keys in ascending order, for a
// series that finds where a point goes without walking its list. Leaves and inner nodes hold
// their entries in arrays, so a search touches a few cache lines per level instead of one node
// per comparison, and an insertion allocates a node only when one splits.
//
#pragma once

#include <cstdint>

struct TPointNode;

struct TRecordPoint {
    TPointNode* Node;
    TPointNode* Prev;
};

class TRecordIndex {
    struct TBlock;
    struct TLeaf;
    struct TInner;

public:
    /// An entry, or the end. Valid until the next insertion or removal; both return a valid one.
    class Iterator {
    public:
        double Key() const;
        TRecordPoint& Point() const;
        bool operator==(const Iterator&) const = default;

    private:
        friend class TRecordIndex;
        Iterator(TLeaf* Leaf, int32_t Pos) : FLeaf(Leaf), FPos(Pos) {}
        TLeaf* FLeaf;
        int32_t FPos;
    };

    TRecordIndex() = default;
    ~TRecordIndex() { Clear(); }
    TRecordIndex(const TRecordIndex&) = delete;
    TRecordIndex& operator=(const TRecordIndex&) = delete;

    void Clear();
    bool Empty() const { return !FRoot; }
    Iterator Begin() const { return { FFirst, 0 }; }
    Iterator End() const { return { nullptr, 0 }; }
    /// The entry with the highest key; the index must not be empty.
    Iterator Last() const;
    Iterator Next(Iterator It) const;
    /// The first entry whose key is not below Key (NaN: the first entry).
    Iterator LowerBound(double Key) const;
    /// The last entry whose key is not above Key, or the end when there is none.
    Iterator LastNotAbove(double Key) const;
    /// Inserts before At (the end: after the last); Key must lie between At's neighbours' keys.
    Iterator InsertBefore(Iterator At, double Key, TRecordPoint Point);
    /// Sets the point of Key's entry, adding one when there is none.
    Iterator Assign(double Key, TRecordPoint Point);
    /// Removes At; gives the entry that followed it.
    Iterator Erase(Iterator At);

private:
    static void Free(TBlock* Block, int32_t Height);
    static double Highest(const TBlock* Block, bool IsLeaf);
    void AddBlockAfter(TBlock* Left, TBlock* Right, bool IsLeaf);
    void RemoveBlock(TBlock* Block, int32_t Level);
    void PassHighestUp(TBlock* Block, bool IsLeaf);

    TBlock* FRoot = nullptr;
    // Levels of inner nodes above the leaves.
    int32_t FHeight = 0;
    TLeaf* FFirst = nullptr;
    TLeaf* FLast = nullptr;
};
