//===- RunningProgram.h - A started program whose output is read line by line -*- C++ -*-===//
#pragma once

#include "tests/support/ChildProcess.h"

#include <string>
#include <vector>

/// Starts Path with Args (the environment is this process's) and keeps every line of its output
/// that was read, for the failure messages. A child still running when the object goes is
/// killed and reaped.
class RunningProgram : public testsupport::ChildProcess {
public:
    RunningProgram(const std::string& Path, const std::vector<std::string>& Args);

    /// The next line of output without its newline; false at the end of the output, or when
    /// none came within the guard of a minute (the caller's test then fails on what it lacks).
    bool ReadLine(std::string& Line);
    /// Reads until a line that starts with Prefix, which is answered; empty at the end.
    std::string ReadUntil(const std::string& Prefix);
    /// Everything up to the end of the output, including the lines read so far.
    std::vector<std::string> ReadAll();
    /// Every line read so far.
    const std::vector<std::string>& Lines() const { return lines_; }

private:
    std::vector<std::string> lines_;
};
