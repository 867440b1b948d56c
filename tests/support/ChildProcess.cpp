//===- ChildProcess.cpp - A helper program driven line by line ----------===//
#include "tests/support/ChildProcess.h"

#include <gtest/gtest.h>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <fstream>
#include <poll.h>
#include <stdexcept>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace testsupport {

namespace {

/// Polls Fd for input for at most TimeoutMs; false on a time-out.
bool readable(int Fd, int TimeoutMs)
{
    pollfd p { Fd, POLLIN, 0 };
    int ready;
    do
        ready = poll(&p, 1, TimeoutMs);
    while (ready < 0 && errno == EINTR);
    return ready > 0;
}

/// The last Limit bytes of the file, or "" when it cannot be read.
std::string tailOf(const std::string& Path, size_t Limit)
{
    std::ifstream in(Path, std::ios::binary);
    std::string text((std::istreambuf_iterator<char>(in)), {});
    return text.size() > Limit ? "..." + text.substr(text.size() - Limit) : text;
}

std::string seconds(int Ms)
{
    return std::to_string(Ms / 1000) + (Ms % 1000 ? "." + std::to_string(Ms % 1000 / 100) : "") + " s";
}

} // namespace

ChildProcess::ChildProcess(const std::vector<std::string>& Argv, const std::vector<std::string>& ExtraEnv,
                           const std::string& StderrPath)
{
    // A write to a program that has ended must fail, not kill the test.
    signal(SIGPIPE, SIG_IGN);
    std::vector<std::string> env;
    for (char** e = environ; *e; ++e)
        env.emplace_back(*e);
    for (const std::string& extra : ExtraEnv) {
        std::string key = extra.substr(0, extra.find('=') + 1);
        std::erase_if(env, [&](const std::string& e) { return e.rfind(key, 0) == 0; });
        env.push_back(extra);
    }
    for (const std::string& a : Argv)
        program_ += (program_.empty() ? "" : " ") + a;
    if (program_.size() > 300)
        program_ = program_.substr(0, 300) + "...";
    stderrPath_ = StderrPath;
    std::vector<char*> argv, envp;
    for (const std::string& a : Argv)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    for (std::string& e : env)
        envp.push_back(e.data());
    envp.push_back(nullptr);

    int in[2], out[2];
    if (pipe2(in, O_CLOEXEC) != 0)
        throw std::runtime_error("ChildProcess: no pipe for " + program_);
    if (pipe2(out, O_CLOEXEC) != 0) {
        close(in[0]);
        close(in[1]);
        throw std::runtime_error("ChildProcess: no pipe for " + program_);
    }
    pid_ = fork();
    if (pid_ == 0) {
        // Only system calls until exec: this is a copy of the test process.
        dup2(in[0], STDIN_FILENO);
        dup2(out[1], STDOUT_FILENO);
        if (!StderrPath.empty()) {
            int err = open(StderrPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
            if (err >= 0)
                dup2(err, STDERR_FILENO);
        }
        execve(argv[0], argv.data(), envp.data());
        _exit(127);
    }
    close(in[0]);
    close(out[1]);
    if (pid_ < 0) {
        close(in[1]);
        close(out[0]);
        throw std::runtime_error("ChildProcess: fork failed for " + program_);
    }
    toChild_ = in[1];
    fromChild_ = out[0];
}

ChildProcess::~ChildProcess()
{
    if (!reaped_) {
        ::kill(pid_, SIGKILL);
        closeInput();
        reap(-1);
    }
    close(fromChild_);
}

void ChildProcess::send(const std::string& Line)
{
    lastCommand_ = Line;
    std::string text = Line + "\n";
    if (toChild_ < 0 || write(toChild_, text.data(), text.size()) != ssize_t(text.size()))
        throw std::runtime_error(account("it to take the line '" + Line + "'", "it does not take input"));
}

ChildProcess::Outcome ChildProcess::next(std::string& Line, int TimeoutMs)
{
    for (;;) {
        size_t end = buffer_.find('\n');
        if (end != std::string::npos) {
            Line = buffer_.substr(0, end);
            buffer_.erase(0, end + 1);
            return Outcome::Line;
        }
        if (!readable(fromChild_, TimeoutMs))
            return Outcome::Silent;
        char chunk[4096];
        ssize_t n = read(fromChild_, chunk, sizeof chunk);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            if (buffer_.empty())
                return Outcome::End;
            buffer_ += '\n'; // a last line without its end
            continue;
        }
        buffer_.append(chunk, size_t(n));
    }
}

bool ChildProcess::tryReadLine(std::string& Line, int TimeoutMs)
{
    const Outcome got = next(Line, TimeoutMs);
    if (got == Outcome::Silent)
        ADD_FAILURE() << lineAccount(got, TimeoutMs, "a line of output");
    return got == Outcome::Line;
}

std::string ChildProcess::readLine(int TimeoutMs)
{
    std::string line;
    if (const Outcome got = next(line, TimeoutMs); got != Outcome::Line)
        throw std::runtime_error(lineAccount(got, TimeoutMs, "a line of output"));
    return line;
}

std::vector<std::string> ChildProcess::answer(int TimeoutMs)
{
    std::vector<std::string> lines;
    for (std::string l;;) {
        if (const Outcome got = next(l, TimeoutMs); got != Outcome::Line)
            throw std::runtime_error(lineAccount(got, TimeoutMs,
                                                 "the end (\".\") of an answer, " + std::to_string(lines.size())
                                                     + " lines read"
                                                     + (lines.empty() ? "" : ", the last '" + lines.back() + "'")));
        if (l == ".")
            return lines;
        lines.push_back(l);
    }
}

std::vector<std::string> ChildProcess::call(const std::string& Command, int TimeoutMs)
{
    send(Command);
    return answer(TimeoutMs);
}

std::string ChildProcess::call1(const std::string& Command, int TimeoutMs)
{
    std::vector<std::string> lines = call(Command, TimeoutMs);
    return lines.empty() ? std::string() : lines.front();
}

void ChildProcess::closeInput()
{
    if (toChild_ >= 0)
        close(toChild_);
    toChild_ = -1;
}

void ChildProcess::kill(int Signal)
{
    if (!reaped_)
        ::kill(pid_, Signal);
}

bool ChildProcess::running() { return !reap(0); }

bool ChildProcess::reap(int TimeoutMs)
{
    if (reaped_)
        return true;
    int raw = 0;
    auto collect = [&](int Options) {
        pid_t got;
        while ((got = waitpid(pid_, &raw, Options)) < 0 && errno == EINTR) {
        }
        return got == pid_;
    };
    bool ended = collect(WNOHANG);
    if (!ended && TimeoutMs < 0)
        ended = collect(0);
    else if (!ended && TimeoutMs > 0) {
        // The descriptor turns readable when the program ends: a wait for the end, not for a time.
        int ending = int(syscall(SYS_pidfd_open, pid_, 0));
        if (ending >= 0) {
            readable(ending, TimeoutMs);
            close(ending);
        }
        ended = collect(WNOHANG);
    }
    if (!ended)
        return false;
    reaped_ = true;
    signalled_ = !WIFEXITED(raw);
    status_ = signalled_ ? 128 + WTERMSIG(raw) : WEXITSTATUS(raw);
    return true;
}

int ChildProcess::wait()
{
    closeInput();
    if (!reap(EndGuardMs)) {
        const std::string why = account("its end after its input was closed",
                                        "the guard of " + seconds(EndGuardMs) + " expired; it was killed");
        ::kill(pid_, SIGKILL);
        reap(-1);
        throw std::runtime_error(why);
    }
    return status_;
}

int ChildProcess::finish(int GuardMs)
{
    closeInput();
    // The output reaches its end when the program exits; what it still writes is not wanted.
    auto giveUp = std::chrono::steady_clock::now() + std::chrono::milliseconds(GuardMs);
    bool ended = reaped_;
    while (!ended) {
        auto left = std::chrono::duration_cast<std::chrono::milliseconds>(giveUp - std::chrono::steady_clock::now());
        if (left.count() <= 0 || !readable(fromChild_, int(left.count())))
            break;
        char chunk[4096];
        ssize_t n = read(fromChild_, chunk, sizeof chunk);
        ended = n == 0 || (n < 0 && errno != EINTR);
    }
    if (!ended && !reap(0)) {
        ADD_FAILURE() << account("its end after its input was closed",
                                 "the guard of " + seconds(GuardMs) + " expired; it is killed");
        kill(SIGKILL);
    }
    return wait();
}

std::string ChildProcess::lineAccount(Outcome Why, int TimeoutMs, const std::string& Awaited)
{
    std::string what = Awaited;
    if (!lastCommand_.empty())
        what += " after the line '" + lastCommand_ + "'";
    if (Why == Outcome::Silent)
        return account(what, "it stayed silent for the guard of " + seconds(TimeoutMs));
    // The output ends as the program ends; its status follows at once.
    reap(5000);
    return account(what, "its output ended");
}

std::string ChildProcess::account(const std::string& Awaited, const std::string& Why)
{
    std::string text =
        "ChildProcess: " + program_ + " (pid " + std::to_string(pid_) + "): waited for " + Awaited + "; " + Why + "; ";
    if (reap(0))
        text += signalled_ ? "it was ended by signal " + std::to_string(status_ - 128)
                              : "it exited with status " + std::to_string(status_);
    else
        text += "it still runs";
    if (stderrPath_.empty())
        text += "; its standard error is the test's";
    else
        text += "; its standard error (" + stderrPath_ + "):\n" + tailOf(stderrPath_, 2000);
    return text;
}

std::vector<std::string> CommandLine(const std::string& Program, const std::vector<std::string>& Args)
{
    std::vector<std::string> argv { Program };
    argv.insert(argv.end(), Args.begin(), Args.end());
    return argv;
}

} // namespace testsupport
