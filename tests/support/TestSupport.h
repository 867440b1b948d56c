//===- TestSupport.h - Temporary folders and private sessions for tests -*- C++ -*-===//
#pragma once

#include <gtest/gtest.h>
#include <functional>
#include <string>

namespace testsupport {

/// A fresh folder under the system's temporary folder, removed with everything in it when the
/// object goes.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::string& path() const { return path_; }
    std::string file(const std::string& name) const { return path_ + "/" + name; }

private:
    std::string path_;
};

/// Gives this process (and the children it starts afterwards) a session of its own, so that its
/// named objects never meet those of tests running beside it. Call before the first named object.
/// Answers the session name.
std::string UsePrivateSession();

/// The folder of the built executables (the test binary's own folder).
std::string BinDir();

/// The file's bytes; empty when it cannot be read.
std::string ReadFile(const std::string& Path);

/// Polls Done every 20 ms until it holds; a failure after GuardMs that says the guard expired
/// (the assertion's text names the condition). A guard against a hung program, not a measurement.
::testing::AssertionResult WaitFor(const std::function<bool()>& Done, int GuardMs = 90000);
/// The failure of a wait whose guard of GuardMs expired before its condition held.
::testing::AssertionResult GuardExpired(int GuardMs);
/// Replaces the file's contents with Bytes, unchanged.
void WriteFile(const std::string& Path, const std::string& Bytes);

} // namespace testsupport
