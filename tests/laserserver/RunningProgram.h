//===- RunningProgram.h - A started program whose output is read line by line -*- C++ -*-===//
#pragma once

#include <string>
#include <sys/types.h>
#include <vector>

/// Starts Path with Args (the environment is this process's), its standard output on a pipe.
/// A child still running when the object goes is killed and reaped.
class RunningProgram {
public:
    RunningProgram(const std::string& Path, const std::vector<std::string>& Args);
    ~RunningProgram();
    RunningProgram(const RunningProgram&) = delete;
    RunningProgram& operator=(const RunningProgram&) = delete;

    pid_t Pid() const { return pid_; }

    /// The next line of output without its newline; false at the end of the output, or when
    /// none came within the guard of 60 s (the caller's test then fails on what it lacks).
    bool ReadLine(std::string& Line);
    /// Reads until a line that starts with Prefix, which is answered; empty at the end.
    std::string ReadUntil(const std::string& Prefix);
    /// Everything up to the end of the output, including the lines read so far.
    std::vector<std::string> ReadAll();
    /// Every line read so far.
    const std::vector<std::string>& Lines() const { return lines_; }

    void Signal(int Number);
    /// Waits for the end: the exit code, or 128 + the signal that ended it.
    int Wait();

private:
    pid_t pid_ = -1;
    int out_ = -1;
    std::string pending_;
    std::vector<std::string> lines_;
    int status_ = -1;
};
