//===- TPointPool.cpp - The nodes of one series' points -------------------===//
#include "plot/TPointPool.h"

#include "plot/TDataSeries.h"

#include <cstddef>
#include <new>

// Nodes not handed out, or given back, are poisoned under AddressSanitizer, so that a point
// read after its removal is still caught as it was when each node had its own allocation.
#if defined(__SANITIZE_ADDRESS__)
#define VARNEX_POOL_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define VARNEX_POOL_ASAN 1
#endif
#endif
#ifdef VARNEX_POOL_ASAN
#include <sanitizer/asan_interface.h>
#define POISON(Address, Size) ASAN_POISON_MEMORY_REGION(Address, Size)
#define UNPOISON(Address, Size) ASAN_UNPOISON_MEMORY_REGION(Address, Size)
#else
#define POISON(Address, Size) ((void)(Address), (void)(Size))
#define UNPOISON(Address, Size) ((void)(Address), (void)(Size))
#endif

namespace {

// 10 KiB: a few points cost little, and 100 000 points take 400 allocations instead of 100 000.
constexpr int32_t BlockNodes = 256;

} // namespace

// Storage only: a node is constructed when it is taken.
struct TPointPool::TBlock {
    alignas(TPointNode) std::byte Bytes[sizeof(TPointNode) * BlockNodes];
};

TPointPool::TPointPool() = default;

TPointPool::~TPointPool() { Clear(); }

TPointNode* TPointPool::Take()
{
    std::byte* Storage;
    if (FFree) {
        UNPOISON(FFree, sizeof(TPointNode));
        Storage = reinterpret_cast<std::byte*>(FFree);
        FFree = FFree->Next;
    } else {
        if (FBlocks.empty() || FUsed == BlockNodes) {
            FBlocks.push_back(std::unique_ptr<TBlock>(new TBlock));
            POISON(FBlocks.back()->Bytes, sizeof(TBlock::Bytes));
            FUsed = 0;
        }
        Storage = FBlocks.back()->Bytes + sizeof(TPointNode) * size_t(FUsed++);
        UNPOISON(Storage, sizeof(TPointNode));
    }
    return new (Storage) TPointNode;
}

void TPointPool::Give(TPointNode* Node)
{
    Node->Next = FFree;
    FFree = Node;
    // The link stays readable to Take alone, which unpoisons it first.
    POISON(Node, sizeof(TPointNode));
}

void TPointPool::Clear()
{
    // The sanitizer would report the next owner of this memory touching poisoned bytes.
    for (const auto& Block : FBlocks)
        UNPOISON(Block->Bytes, sizeof(TBlock::Bytes));
    FBlocks.clear();
    FUsed = 0;
    FFree = nullptr;
}
