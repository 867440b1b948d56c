//===- TRecordIndex.cpp - Points of a series by x, for insertion ----------===//
#include "plot/TRecordIndex.h"

#include <algorithm>
#include <cassert>
#include <cstring>

namespace {

// 64 entries: a leaf's keys fill eight cache lines, and an insertion moves 768 bytes on average.
constexpr int32_t LeafSize = 64;
constexpr int32_t InnerSize = 64;

} // namespace

struct TRecordIndex::TBlock {
    TInner* Parent = nullptr;
    int32_t Count = 0;
};

// The arrays are left uninitialised: only the first Count entries are ever read.
struct TRecordIndex::TLeaf : TBlock {
    TLeaf* PrevLeaf = nullptr;
    TLeaf* NextLeaf = nullptr;
    double Keys[LeafSize];
    TRecordPoint Points[LeafSize];
};

// Each child's highest key beside it: a search takes the first child whose highest key is not
// below the key sought.
struct TRecordIndex::TInner : TBlock {
    double Highest[InnerSize];
    TBlock* Children[InnerSize];
};

namespace {

// All the lines of a node's keys are asked for at once: the binary search then waits for memory
// about once per node instead of once per probe.
void Prefetch(const double* Keys, int32_t Count)
{
    for (int32_t I = 0; I < Count; I += 8)
        __builtin_prefetch(Keys + I);
}

template <class T> void MoveUp(T* Array, int32_t From, int32_t Count)
{
    std::memmove(Array + From + 1, Array + From, sizeof(T) * size_t(Count - From));
}

template <class T> void MoveDown(T* Array, int32_t From, int32_t Count)
{
    std::memmove(Array + From, Array + From + 1, sizeof(T) * size_t(Count - From - 1));
}

} // namespace

double TRecordIndex::Iterator::Key() const { return FLeaf->Keys[FPos]; }

TRecordPoint& TRecordIndex::Iterator::Point() const { return FLeaf->Points[FPos]; }

void TRecordIndex::Free(TBlock* Block, int32_t Height)
{
    if (Height == 0) {
        delete static_cast<TLeaf*>(Block);
        return;
    }
    auto* Inner = static_cast<TInner*>(Block);
    for (int32_t I = 0; I < Inner->Count; ++I)
        Free(Inner->Children[I], Height - 1);
    delete Inner;
}

void TRecordIndex::Clear()
{
    if (FRoot)
        Free(FRoot, FHeight);
    FRoot = nullptr;
    FHeight = 0;
    FFirst = FLast = nullptr;
}

double TRecordIndex::Highest(const TBlock* Block, bool IsLeaf)
{
    return IsLeaf ? static_cast<const TLeaf*>(Block)->Keys[Block->Count - 1]
                  : static_cast<const TInner*>(Block)->Highest[Block->Count - 1];
}

namespace {

template <class TInner, class TBlock> int32_t IndexIn(const TInner* Parent, const TBlock* Child)
{
    // From the end: appends, the common case, happen at the last child.
    int32_t I = Parent->Count - 1;
    while (Parent->Children[I] != Child)
        --I;
    return I;
}

} // namespace

TRecordIndex::Iterator TRecordIndex::Last() const { return { FLast, FLast->Count - 1 }; }

TRecordIndex::Iterator TRecordIndex::Next(Iterator It) const
{
    if (++It.FPos < It.FLeaf->Count)
        return It;
    return { It.FLeaf->NextLeaf, 0 };
}

TRecordIndex::Iterator TRecordIndex::LowerBound(double Key) const
{
    if (!FRoot)
        return End();
    const TBlock* Block = FRoot;
    for (int32_t Level = FHeight; Level > 0; --Level) {
        const auto* Inner = static_cast<const TInner*>(Block);
        Prefetch(Inner->Highest, Inner->Count);
        const int32_t I = int32_t(std::lower_bound(Inner->Highest, Inner->Highest + Inner->Count, Key) - Inner->Highest);
        if (I == Inner->Count)
            return End();
        Block = Inner->Children[I];
    }
    auto* Leaf = static_cast<TLeaf*>(const_cast<TBlock*>(Block));
    Prefetch(Leaf->Keys, Leaf->Count);
    const int32_t I = int32_t(std::lower_bound(Leaf->Keys, Leaf->Keys + Leaf->Count, Key) - Leaf->Keys);
    // Past the leaf only when the root is this leaf and every key is below Key.
    return I < Leaf->Count ? Iterator { Leaf, I } : End();
}

TRecordIndex::Iterator TRecordIndex::LastNotAbove(double Key) const
{
    if (!FRoot)
        return End();
    // The first entry above Key, then one back.
    const TBlock* Block = FRoot;
    TLeaf* Leaf = nullptr;
    int32_t Pos = 0;
    for (int32_t Level = FHeight; Level > 0 && Block; --Level) {
        const auto* Inner = static_cast<const TInner*>(Block);
        const int32_t I = int32_t(std::upper_bound(Inner->Highest, Inner->Highest + Inner->Count, Key) - Inner->Highest);
        Block = I < Inner->Count ? Inner->Children[I] : nullptr;
    }
    if (Block) {
        Leaf = static_cast<TLeaf*>(const_cast<TBlock*>(Block));
        Pos = int32_t(std::upper_bound(Leaf->Keys, Leaf->Keys + Leaf->Count, Key) - Leaf->Keys);
        if (Pos == Leaf->Count)
            Leaf = nullptr;
    }
    if (!Leaf)
        return Last();
    if (Pos > 0)
        return { Leaf, Pos - 1 };
    if (Leaf->PrevLeaf)
        return { Leaf->PrevLeaf, Leaf->PrevLeaf->Count - 1 };
    return End();
}

// Passes a block's highest key, after it changed, to its parent, and on up while the block is
// its parent's last child.
void TRecordIndex::PassHighestUp(TBlock* Block, bool IsLeaf)
{
    const double H = Highest(Block, IsLeaf);
    for (TInner* Parent = Block->Parent; Parent; Block = Parent, Parent = Parent->Parent) {
        const int32_t I = IndexIn(Parent, Block);
        Parent->Highest[I] = H;
        if (I != Parent->Count - 1)
            break;
    }
}

// Right, which holds the upper part of what Left held, becomes Left's next sibling.
void TRecordIndex::AddBlockAfter(TBlock* Left, TBlock* Right, bool IsLeaf)
{
    TInner* Parent = Left->Parent;
    if (!Parent) {
        auto* Root = new TInner;
        Root->Count = 2;
        Root->Children[0] = Left;
        Root->Children[1] = Right;
        Root->Highest[0] = Highest(Left, IsLeaf);
        Root->Highest[1] = Highest(Right, IsLeaf);
        Left->Parent = Right->Parent = Root;
        FRoot = Root;
        ++FHeight;
        return;
    }
    int32_t I = IndexIn(Parent, Left);
    if (Parent->Count == InnerSize) {
        auto* Upper = new TInner;
        constexpr int32_t Half = InnerSize / 2;
        Upper->Count = InnerSize - Half;
        std::copy(Parent->Highest + Half, Parent->Highest + InnerSize, Upper->Highest);
        std::copy(Parent->Children + Half, Parent->Children + InnerSize, Upper->Children);
        for (int32_t J = 0; J < Upper->Count; ++J)
            Upper->Children[J]->Parent = Upper;
        Parent->Count = Half;
        AddBlockAfter(Parent, Upper, false);
        if (I >= Half) {
            Parent = Upper;
            I -= Half;
        }
    }
    Parent->Highest[I] = Highest(Left, IsLeaf);
    MoveUp(Parent->Highest, I + 1, Parent->Count);
    MoveUp(Parent->Children, I + 1, Parent->Count);
    Parent->Highest[I + 1] = Highest(Right, IsLeaf);
    Parent->Children[I + 1] = Right;
    Right->Parent = Parent;
    ++Parent->Count;
}

TRecordIndex::Iterator TRecordIndex::InsertBefore(Iterator At, double Key, TRecordPoint Point)
{
    if (!FRoot) {
        auto* Leaf = new TLeaf;
        Leaf->Count = 1;
        Leaf->Keys[0] = Key;
        Leaf->Points[0] = Point;
        FRoot = FFirst = FLast = Leaf;
        FHeight = 0;
        return { Leaf, 0 };
    }
    TLeaf* Leaf = At.FLeaf ? At.FLeaf : FLast;
    int32_t Pos = At.FLeaf ? At.FPos : FLast->Count;
    assert((Pos > 0 ? Leaf->Keys[Pos - 1] < Key : !Leaf->PrevLeaf || Leaf->PrevLeaf->Keys[Leaf->PrevLeaf->Count - 1] < Key)
        && (Pos == Leaf->Count || Key < Leaf->Keys[Pos]) && "a key out of order");
    TLeaf* Upper = nullptr;
    if (Leaf->Count == LeafSize) {
        // Appending at the very end starts a new leaf and leaves this one full, so that points
        // added in ascending x fill their leaves.
        const int32_t Half = Pos == LeafSize && !Leaf->NextLeaf ? LeafSize : LeafSize / 2;
        Upper = new TLeaf;
        Upper->Count = LeafSize - Half;
        std::copy(Leaf->Keys + Half, Leaf->Keys + LeafSize, Upper->Keys);
        std::copy(Leaf->Points + Half, Leaf->Points + LeafSize, Upper->Points);
        Leaf->Count = Half;
        Upper->PrevLeaf = Leaf;
        Upper->NextLeaf = Leaf->NextLeaf;
        (Leaf->NextLeaf ? Leaf->NextLeaf->PrevLeaf : FLast) = Upper;
        Leaf->NextLeaf = Upper;
        if (Pos >= Half) {
            Leaf = Upper;
            Pos -= Half;
        }
    }
    MoveUp(Leaf->Keys, Pos, Leaf->Count);
    MoveUp(Leaf->Points, Pos, Leaf->Count);
    Leaf->Keys[Pos] = Key;
    Leaf->Points[Pos] = Point;
    ++Leaf->Count;
    // Both halves hold entries now, as their parent's highest keys need.
    if (Upper)
        AddBlockAfter(Upper->PrevLeaf, Upper, true);
    if (Pos == Leaf->Count - 1)
        PassHighestUp(Leaf, true);
    return { Leaf, Pos };
}

TRecordIndex::Iterator TRecordIndex::Assign(double Key, TRecordPoint Point)
{
    const Iterator At = LowerBound(Key);
    if (At != End() && At.Key() == Key) {
        At.Point() = Point;
        return At;
    }
    return InsertBefore(At, Key, Point);
}

TRecordIndex::Iterator TRecordIndex::Erase(Iterator At)
{
    TLeaf* Leaf = At.FLeaf;
    const int32_t Pos = At.FPos;
    MoveDown(Leaf->Keys, Pos, Leaf->Count);
    MoveDown(Leaf->Points, Pos, Leaf->Count);
    --Leaf->Count;
    if (Leaf->Count == 0) {
        TLeaf* Next = Leaf->NextLeaf;
        (Leaf->PrevLeaf ? Leaf->PrevLeaf->NextLeaf : FFirst) = Leaf->NextLeaf;
        (Leaf->NextLeaf ? Leaf->NextLeaf->PrevLeaf : FLast) = Leaf->PrevLeaf;
        RemoveBlock(Leaf, 0);
        return { Next, 0 };
    }
    if (Pos == Leaf->Count) {
        PassHighestUp(Leaf, true);
        return { Leaf->NextLeaf, 0 };
    }
    return { Leaf, Pos };
}

// Frees an empty block (Level 0: a leaf) and takes it out of its parent, and the parent too
// when that leaves it empty.
void TRecordIndex::RemoveBlock(TBlock* Block, int32_t Level)
{
    TInner* Parent = Block->Parent;
    const int32_t I = Parent ? IndexIn(Parent, Block) : 0;
    Free(Block, Level);
    if (!Parent) {
        // The root: the index is empty.
        FRoot = nullptr;
        FHeight = 0;
        FFirst = FLast = nullptr;
        return;
    }
    MoveDown(Parent->Highest, I, Parent->Count);
    MoveDown(Parent->Children, I, Parent->Count);
    --Parent->Count;
    if (Parent->Count == 0) {
        RemoveBlock(Parent, Level + 1);
        return;
    }
    if (I == Parent->Count)
        PassHighestUp(Parent, false);
    // A root left with one child gives way to it.
    while (FHeight > 0 && FRoot->Count == 1) {
        auto* Root = static_cast<TInner*>(FRoot);
        FRoot = Root->Children[0];
        FRoot->Parent = nullptr;
        delete Root;
        --FHeight;
    }
}
