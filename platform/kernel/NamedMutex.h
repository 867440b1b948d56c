//===- NamedMutex.h - Named mutex shared between processes ----*- C++ -*-===//
#pragma once

#include <cstdint>
#include <memory>
#include <string_view>

// Answers of NamedMutex::Wait, with the original platform's values.
constexpr uint32_t WAIT_OBJECT_0 = 0;
constexpr uint32_t WAIT_ABANDONED = 0x80;
constexpr uint32_t WAIT_TIMEOUT = 0x102;
constexpr uint32_t WAIT_FAILED = 0xFFFFFFFF;

/// A mutex named across the processes of a session, recursive per thread like the original.
/// A holder that dies leaves it abandoned: the next waiter is told so once (WAIT_ABANDONED),
/// holds it, and it never blocks anybody again on that account.
class NamedMutex {
public:
    /// Creates the mutex or opens the living one of that name (CreateMutex, not owned). Null
    /// when the system refuses.
    static std::unique_ptr<NamedMutex> Create(std::string_view Name);
    ~NamedMutex();

    NamedMutex(const NamedMutex&) = delete;
    NamedMutex& operator=(const NamedMutex&) = delete;

    bool CreatedHere() const;

    /// WaitForSingleObject: WAIT_OBJECT_0 (held), WAIT_ABANDONED (held; its owner died),
    /// WAIT_TIMEOUT or WAIT_FAILED. A time-out of 0 only tries; 0xFFFFFFFF waits without limit.
    /// Ownership outlives the handle: destroying it while held does not release the mutex.
    uint32_t Wait(uint32_t TimeoutMs);
    /// ReleaseMutex: false when the calling thread does not hold it.
    bool Release();

private:
    struct Impl;
    explicit NamedMutex(std::unique_ptr<Impl>);
    std::unique_ptr<Impl> impl_;
};
