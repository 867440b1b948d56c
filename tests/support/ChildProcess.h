//===- ChildProcess.h - A helper program driven line by line -----*- C++ -*-===//
#pragma once

#include <string>
#include <vector>

namespace testsupport {

/// Starts a program with its standard input and output on pipes. Commands go in as lines; the
/// program answers each with lines closed by a line holding only ".". Its standard error stays
/// the test's. The process is killed when the object goes, if it still runs.
class ChildProcess {
public:
    /// ExtraEnv entries ("NAME=value") replace or add to the test's environment; a non-empty
    /// StderrPath receives the program's standard error.
    explicit ChildProcess(const std::vector<std::string>& Argv, const std::vector<std::string>& ExtraEnv = {},
        const std::string& StderrPath = {});
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    /// Sends one command and answers its lines (without the closing "."). Throws when the
    /// program ends or stays silent for TimeoutMs (a guard against hung tests, not a measurement).
    std::vector<std::string> call(const std::string& Command, int TimeoutMs = 30000);
    /// The first line of call(), or "" when there is none.
    std::string call1(const std::string& Command, int TimeoutMs = 30000);

    void kill(int Signal);
    /// Waits for the end and answers the exit status (128 + signal for a killed one).
    int wait();
    int pid() const { return pid_; }

private:
    std::string readLine(int TimeoutMs);

    int pid_ = -1;
    int toChild_ = -1;
    int fromChild_ = -1;
    std::string buffer_;
    bool reaped_ = false;
    int status_ = 0;
};

} // namespace testsupport
