//===- SessionFile_p.h - Small shared files of the session, and their locks -*- C++ -*-===//
#pragma once

#include "platform/kernel/SharedFile.h"
#include "platform/rtl/UniqueFd.h"

#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>

namespace user_private {

/// The session files ("user-<Name>", see SharedFile) that this process uses. Each is held from
/// its first use to the end of the process, so that what it holds lasts while any process of the
/// session may rely on it, and the last of them removes it. Files of earlier sessions stay held
/// too: the process may still have windows there. Not locked: the owner locks around it.
class SessionFiles {
public:
    /// The file Name of the current session, opened zero-filled with Size bytes when no process
    /// holds it (Tidy: see SharedFile). After leaveAll, a file only for the caller's use: the
    /// last holder of the pointer leaves it. Null when it cannot be opened.
    std::shared_ptr<SharedFile> get(std::string_view Name, uint32_t Size, SharedFile::TidyFn Tidy = {});
    /// Leaves every file held, at the end of the process.
    void leaveAll();

private:
    std::unordered_map<std::string, std::shared_ptr<SharedFile>> files_;
    bool left_ = false;
};

/// Holds an exclusive lock on a file for its lifetime, excluding every other open of the file
/// (in this process too) but not the descriptor's own duplicates. An open-file-description lock,
/// so it never meets the flock that holds the session file, and the kernel drops it when the
/// holder dies: a crashed process never leaves the file locked.
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
