//===- ChildProcess.h - A helper program driven line by line -----*- C++ -*-===//
#pragma once

#include <string>
#include <sys/types.h>
#include <vector>

namespace testsupport {

/// Starts a program with its standard input and output on pipes; its standard error stays the
/// test's unless a file is named for it. Commands go in as lines; a program that answers in
/// blocks closes each with a line holding only ".". A program still running when the object
/// goes is killed and reaped (finish() lets it end by itself first). Every failure names the
/// program, its pid, what was awaited and how the program stands, with the end of its standard
/// error when that went to a file.
class ChildProcess {
public:
    /// ExtraEnv entries ("NAME=value") replace or add to the test's environment; a non-empty
    /// StderrPath receives the program's standard error.
    explicit ChildProcess(const std::vector<std::string>& Argv, const std::vector<std::string>& ExtraEnv = {},
                          const std::string& StderrPath = {});
    virtual ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    // --- Talking to it
    /// Throws when the program no longer takes input.
    void send(const std::string& Line);
    /// The next line of output without its end; a last line without one counts too. Throws when
    /// the output ends or stays silent for TimeoutMs (a guard against hung tests, not a
    /// measurement).
    std::string readLine(int TimeoutMs = DefaultGuardMs);
    /// As readLine, but false at the end of the output; a guard that expires fails the test
    /// (and answers false).
    bool tryReadLine(std::string& Line, int TimeoutMs = DefaultGuardMs);
    /// The lines up to the next "." (without it).
    std::vector<std::string> answer(int TimeoutMs = DefaultGuardMs);
    /// Sends one command and answers its block of lines.
    std::vector<std::string> call(const std::string& Command, int TimeoutMs = DefaultGuardMs);
    /// The first line of call(), or "" when there is none.
    std::string call1(const std::string& Command, int TimeoutMs = DefaultGuardMs);
    /// Ends the program's input; programs that serve their input then end.
    void closeInput();

    // --- Its end
    void kill(int Signal);
    /// Ends the input, waits for the end and answers the exit status (128 + signal for a
    /// killed one). Throws when the program has not ended within EndGuardMs; it is then killed.
    int wait();
    /// Ends the input and gives the program GuardMs to end by itself (and leave what it holds
    /// the normal way) before it is killed, which fails the test; answers the exit status.
    int finish(int GuardMs = 20000);
    /// False once the program has ended.
    bool running();
    pid_t pid() const { return pid_; }

    static constexpr int DefaultGuardMs = 60000;
    static constexpr int EndGuardMs = 90000;

private:
    enum class Outcome { Line, End, Silent };
    Outcome next(std::string& Line, int TimeoutMs);
    /// Reaps the program if it ends within TimeoutMs (-1: however long it takes).
    bool reap(int TimeoutMs);
    /// The program, what was awaited, why it did not come, and how the program stands.
    std::string account(const std::string& Awaited, const std::string& Why);
    std::string lineAccount(Outcome Why, int TimeoutMs, const std::string& Awaited);

    std::string program_;
    std::string stderrPath_;
    std::string lastCommand_;
    pid_t pid_ = -1;
    int toChild_ = -1;
    int fromChild_ = -1;
    std::string buffer_;
    bool reaped_ = false;
    bool signalled_ = false;
    int status_ = 0;
};

/// Program followed by Args, as ChildProcess takes its command line.
std::vector<std::string> CommandLine(const std::string& Program, const std::vector<std::string>& Args);

} // namespace testsupport
