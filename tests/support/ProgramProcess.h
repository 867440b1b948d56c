//===- ProgramProcess.h - A program of the tree started by a test -*- C++ -*-===//
#pragma once

#include <string>
#include <sys/types.h>
#include <vector>

namespace testsupport {

/// Starts Path with the caller's environment entries ("NAME=value") first, then the defaults a
/// test program wants, then the test's own environment; a program still running when the object
/// goes is killed and reaped.
class ProgramProcess {
public:
    ProgramProcess(const std::string& Path, const std::vector<std::string>& Env);
    ~ProgramProcess();
    ProgramProcess(const ProgramProcess&) = delete;
    ProgramProcess& operator=(const ProgramProcess&) = delete;

    bool Started() const { return pid_ > 0; }
    void Signal(int Number);
    /// The exit code once the program ended within GuardMs (128 + signal for a killed one);
    /// otherwise -1, and the test fails naming the program.
    int WaitForExit(int GuardMs = 90000);

private:
    std::string path_;
    pid_t pid_ = -1;
    bool ended_ = false;
    int exitCode_ = -1;
};

} // namespace testsupport
