//===- ChildProcess.cpp - A helper program driven line by line ----------===//
#include "tests/support/ChildProcess.h"

#include <cerrno>
#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <poll.h>
#include <stdexcept>
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
    std::vector<char*> argv, envp;
    for (const std::string& a : Argv)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    for (std::string& e : env)
        envp.push_back(e.data());
    envp.push_back(nullptr);

    int in[2], out[2];
    if (pipe2(in, O_CLOEXEC) != 0)
        throw std::runtime_error("ChildProcess: pipe failed");
    if (pipe2(out, O_CLOEXEC) != 0) {
        close(in[0]);
        close(in[1]);
        throw std::runtime_error("ChildProcess: pipe failed");
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
        throw std::runtime_error("ChildProcess: fork failed");
    }
    toChild_ = in[1];
    fromChild_ = out[0];
}

ChildProcess::~ChildProcess()
{
    if (!reaped_) {
        ::kill(pid_, SIGKILL);
        wait();
    }
    close(fromChild_);
}

void ChildProcess::send(const std::string& Line)
{
    std::string text = Line + "\n";
    if (toChild_ < 0 || write(toChild_, text.data(), text.size()) != ssize_t(text.size()))
        throw std::runtime_error("ChildProcess: the program does not take input");
}

bool ChildProcess::tryReadLine(std::string& Line, int TimeoutMs)
{
    for (;;) {
        size_t end = buffer_.find('\n');
        if (end != std::string::npos) {
            Line = buffer_.substr(0, end);
            buffer_.erase(0, end + 1);
            return true;
        }
        if (!readable(fromChild_, TimeoutMs))
            return false;
        char chunk[4096];
        ssize_t n = read(fromChild_, chunk, sizeof chunk);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            if (buffer_.empty())
                return false;
            buffer_ += '\n'; // a last line without its end
            continue;
        }
        buffer_.append(chunk, size_t(n));
    }
}

std::string ChildProcess::readLine(int TimeoutMs)
{
    std::string line;
    if (!tryReadLine(line, TimeoutMs))
        throw std::runtime_error("ChildProcess: no answer; the program ended or stayed silent");
    return line;
}

std::vector<std::string> ChildProcess::answer(int TimeoutMs)
{
    std::vector<std::string> lines;
    for (std::string l = readLine(TimeoutMs); l != "."; l = readLine(TimeoutMs))
        lines.push_back(l);
    return lines;
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

int ChildProcess::wait()
{
    closeInput();
    if (reaped_)
        return status_;
    int raw = 0;
    while (waitpid(pid_, &raw, 0) < 0 && errno == EINTR) {
    }
    reaped_ = true;
    status_ = WIFEXITED(raw) ? WEXITSTATUS(raw) : 128 + WTERMSIG(raw);
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
    if (!ended)
        kill(SIGKILL);
    return wait();
}

std::vector<std::string> CommandLine(const std::string& Program, const std::vector<std::string>& Args)
{
    std::vector<std::string> argv { Program };
    argv.insert(argv.end(), Args.begin(), Args.end());
    return argv;
}

} // namespace testsupport
