//===- RunningProgram.cpp - A started program whose output is read line by line ---===//
#include "tests/laserserver/RunningProgram.h"

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <stdexcept>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace {

// Only against a hang: every waiting script step of the test client has its own guard.
constexpr int ReadGuardMs = 60000;

} // namespace

RunningProgram::RunningProgram(const std::string& Path, const std::vector<std::string>& Args)
{
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC) != 0)
        throw std::runtime_error("RunningProgram: pipe failed");
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, fds[1], STDOUT_FILENO);
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(Path.c_str()));
    for (const std::string& a : Args)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    int error = posix_spawn(&pid_, Path.c_str(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    ::close(fds[1]);
    out_ = fds[0];
    if (error != 0) {
        ::close(out_);
        throw std::runtime_error("RunningProgram: cannot start " + Path);
    }
}

RunningProgram::~RunningProgram()
{
    if (status_ < 0 && pid_ > 0) {
        ::kill(pid_, SIGKILL);
        Wait();
    }
    if (out_ >= 0)
        ::close(out_);
}

bool RunningProgram::ReadLine(std::string& Line)
{
    for (;;) {
        size_t newline = pending_.find('\n');
        if (newline != std::string::npos) {
            Line = pending_.substr(0, newline);
            pending_.erase(0, newline + 1);
            lines_.push_back(Line);
            return true;
        }
        pollfd p { out_, POLLIN, 0 };
        int ready = ::poll(&p, 1, ReadGuardMs);
        if (ready < 0 && errno == EINTR)
            continue;
        if (ready <= 0)
            return false;
        char buffer[4096];
        ssize_t n = ::read(out_, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            if (pending_.empty())
                return false;
            pending_ += '\n';   // a last line without its newline
            continue;
        }
        pending_.append(buffer, size_t(n));
    }
}

std::string RunningProgram::ReadUntil(const std::string& Prefix)
{
    std::string line;
    while (ReadLine(line))
        if (line.rfind(Prefix, 0) == 0)
            return line;
    return {};
}

std::vector<std::string> RunningProgram::ReadAll()
{
    std::string line;
    while (ReadLine(line)) {
    }
    return lines_;
}

void RunningProgram::Signal(int Number)
{
    if (status_ < 0)
        ::kill(pid_, Number);
}

int RunningProgram::Wait()
{
    if (status_ >= 0)
        return status_;
    int raw = 0;
    while (::waitpid(pid_, &raw, 0) < 0 && errno == EINTR) {
    }
    status_ = WIFEXITED(raw) ? WEXITSTATUS(raw) : 128 + WTERMSIG(raw);
    return status_;
}
