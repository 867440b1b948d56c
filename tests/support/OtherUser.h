//===- OtherUser.h - Acting as a second user of the machine -*- C++ -*-===//
#pragma once

#include "tests/support/TestSupport.h"

#include <string>
#include <sys/types.h>
#include <vector>

namespace testsupport {

/// Empty when this process can run programs as the second user "nobody" (it runs as root and
/// setpriv is there) and, when Program is given, that user can reach and run it; otherwise why
/// not, for GTEST_SKIP.
std::string WhyNoOtherUser(const std::string& Program = {});

/// The uid of the second user.
uid_t OtherUserId();

/// Argv run as the second user through setpriv, without any group of this user.
std::vector<std::string> AsOtherUser(const std::vector<std::string>& Argv);

/// Runs Argv as the second user to its end; answers its exit status.
int RunAsOtherUser(const std::vector<std::string>& Argv);

/// A fresh runtime folder (XDG_RUNTIME_DIR) for this process and the ones it starts, open to
/// every user with the sticky bit, as /dev/shm is, so that the second user can plant things in
/// it. The previous value comes back when the object goes.
class SharedRuntimeFolder {
public:
    SharedRuntimeFolder();
    ~SharedRuntimeFolder();
    SharedRuntimeFolder(const SharedRuntimeFolder&) = delete;
    SharedRuntimeFolder& operator=(const SharedRuntimeFolder&) = delete;

    const std::string& path() const { return path_; }
    /// Where this user's named objects live now.
    std::string objects() const { return path_ + "/varnex"; }

private:
    std::string path_; // under /tmp: the test's own temporary folder may be closed to others
    bool hadPrevious_ = false;
    std::string previous_;
};

} // namespace testsupport
