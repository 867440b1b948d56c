//===- SessionFile_p.h - Small shared files of the session, and their locks -*- C++ -*-===//
#pragma once

#include "platform/rtl/UniqueFd.h"

#include <string>
#include <string_view>

namespace user_private {

/// The shared-memory name ("/varnex-...-user-<Name>") of one of the session's small files.
std::string sessionFileName(std::string_view Name);

/// Opens the session's file Name read-write, creating it empty (mode 0600) when missing; the
/// file outlives every process so that what it holds lasts as long as the session.
/// Empty on failure.
UniqueFd openSessionFile(std::string_view Name);

/// Holds an exclusive flock on a file for its lifetime. The kernel drops it when the holder
/// dies, so a crashed process never leaves the file locked.
class ExclusiveFileLock {
public:
    explicit ExclusiveFileLock(int Fd);
    ~ExclusiveFileLock();
    ExclusiveFileLock(const ExclusiveFileLock&) = delete;
    ExclusiveFileLock& operator=(const ExclusiveFileLock&) = delete;

    explicit operator bool() const { return fd_ >= 0; }

private:
    int fd_ = -1;
};

} // namespace user_private
