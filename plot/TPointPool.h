//===- TPointPool.h - The nodes of one series' points ----------*- C++ -*-===//
//
// A series takes its point nodes from blocks that it owns instead of one heap allocation each: a
// removed point's node serves the next point added, and the blocks go all at once when the
// series is cleared or destroyed, without a walk over its list (which, for points added out of
// order, jumps all over memory).
//
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

struct TPointNode;

class TPointPool {
public:
    TPointPool();
    ~TPointPool();
    TPointPool(const TPointPool&) = delete;
    TPointPool& operator=(const TPointPool&) = delete;

    /// A node with the defaults of a new one.
    TPointNode* Take();
    /// Takes back a node taken from this pool; it must no longer be linked or read.
    void Give(TPointNode* Node);
    /// Frees every block: every node taken is gone.
    void Clear();

private:
    struct TBlock;
    std::vector<std::unique_ptr<TBlock>> FBlocks;
    // Nodes handed out from the last block.
    int32_t FUsed = 0;
    // Nodes given back, linked through Next.
    TPointNode* FFree = nullptr;
};
