//===- FileMapping.h - Named shared-memory blocks -------------*- C++ -*-===//
#pragma once

#include <cstdint>
#include <memory>
#include <string_view>

/// A named block of shared memory with the original platform's lifetime: it lives while any
/// process uses it and disappears with the last one, crashed users included. A block whose
/// users have all ended is never handed out again; the next opener starts a fresh one.
class FileMapping {
public:
    /// Creates the block or opens the living one of that name (CreateFileMapping). Null when
    /// the system refuses (a name it cannot hold, no memory ...).
    static std::unique_ptr<FileMapping> Create(std::string_view Name, uint32_t Size);
    ~FileMapping(); // unmaps any view and leaves the block

    FileMapping(const FileMapping&) = delete;
    FileMapping& operator=(const FileMapping&) = delete;

    /// True when this call made the block, which then starts zero-filled; false is the
    /// original's "already exists" answer (error 183).
    bool CreatedHere() const;
    uint32_t Size() const;

    /// Maps the whole block, read and write, below 4 GiB so that 32-bit address fields can
    /// hold its addresses (MapViewOfFile). Null when no such view can be made. One view at a time:
    /// while mapped, it is answered again.
    void* MapView();
    /// Unmaps the view (UnmapViewOfFile); false when there is none or the system refuses.
    bool UnmapView();

private:
    struct Impl;
    explicit FileMapping(std::unique_ptr<Impl>);
    std::unique_ptr<Impl> impl_;
};
