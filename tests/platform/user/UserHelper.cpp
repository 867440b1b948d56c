//===- UserHelper.cpp - The helper program, run as a second process ------===//
#include "tests/platform/user/UserHelper.h"

#include "tests/support/TestSupport.h"

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <fstream>
#include <poll.h>
#include <sched.h>
#include <sstream>
#include <stdexcept>
#include <sys/wait.h>
#include <unistd.h>

UserHelper::UserHelper(const std::vector<std::string>& Args)
{
    // A write to a helper that has ended must fail, not end the test.
    signal(SIGPIPE, SIG_IGN);
    int in[2], out[2];
    if (pipe2(in, O_CLOEXEC) != 0)
        throw std::runtime_error("UserHelper: pipe failed");
    if (pipe2(out, O_CLOEXEC) != 0) {
        close(in[0]);
        close(in[1]);
        throw std::runtime_error("UserHelper: pipe failed");
    }
    std::vector<std::string> argv { testsupport::BinDir() + "/user_test_helper" };
    argv.insert(argv.end(), Args.begin(), Args.end());
    std::vector<char*> pointers;
    for (std::string& a : argv)
        pointers.push_back(a.data());
    pointers.push_back(nullptr);

    pid_ = fork();
    if (pid_ == 0) {
        // Only async-signal-safe calls from here: this is a copy of the test process.
        dup2(in[0], STDIN_FILENO);
        dup2(out[1], STDOUT_FILENO);
        execv(pointers[0], pointers.data());
        _exit(127);
    }
    close(in[0]);
    close(out[1]);
    if (pid_ < 0) {
        close(in[1]);
        close(out[0]);
        throw std::runtime_error("UserHelper: fork failed");
    }
    toChild_ = in[1];
    fromChild_ = out[0];
}

UserHelper::~UserHelper()
{
    if (!reaped_)
        kill(SIGKILL);
    wait();
    close(fromChild_);
}

void UserHelper::send(const std::string& Command)
{
    std::string line = Command + "\n";
    if (write(toChild_, line.data(), line.size()) != static_cast<ssize_t>(line.size()))
        throw std::runtime_error("UserHelper: the helper does not take input");
}

std::string UserHelper::readLine()
{
    constexpr int GuardMs = 60000;
    for (;;) {
        if (size_t end = buffer_.find('\n'); end != std::string::npos) {
            std::string line = buffer_.substr(0, end);
            buffer_.erase(0, end + 1);
            return line;
        }
        pollfd ready { fromChild_, POLLIN, 0 };
        int count = poll(&ready, 1, GuardMs);
        if (count < 0 && errno == EINTR)
            continue;
        if (count <= 0)
            throw std::runtime_error("UserHelper: no answer from the helper");
        char chunk[4096];
        ssize_t got = read(fromChild_, chunk, sizeof chunk);
        if (got <= 0)
            throw std::runtime_error("UserHelper: the helper ended");
        buffer_.append(chunk, static_cast<size_t>(got));
    }
}

std::vector<std::string> UserHelper::answer()
{
    std::vector<std::string> lines;
    for (std::string line = readLine(); line != "."; line = readLine())
        lines.push_back(line);
    return lines;
}

std::string UserHelper::answer1()
{
    std::vector<std::string> lines = answer();
    return lines.empty() ? std::string() : lines.front();
}

void UserHelper::kill(int Signal)
{
    if (!reaped_)
        ::kill(pid_, Signal);
}

int UserHelper::wait()
{
    if (toChild_ >= 0) {
        close(toChild_);
        toChild_ = -1;
    }
    if (reaped_)
        return status_;
    int raw = 0;
    while (waitpid(pid_, &raw, 0) < 0 && errno == EINTR) {
    }
    reaped_ = true;
    status_ = WIFEXITED(raw) ? WEXITSTATUS(raw) : 128 + WTERMSIG(raw);
    return status_;
}

Received parseReceived(const std::string& Line)
{
    std::istringstream in(Line);
    Received r {};
    in >> r.hwnd >> r.message >> r.wParam >> r.lParam;
    return r;
}

std::vector<Received> parseReceived(const std::vector<std::string>& Lines)
{
    std::vector<Received> result;
    for (const std::string& line : Lines)
        result.push_back(parseReceived(line));
    return result;
}

HWND handleOf(const std::string& Line)
{
    return static_cast<HWND>(std::stoul(Line));
}

bool postWhenRoom(HWND Window, UINT Msg, WPARAM wParam, LPARAM lParam)
{
    while (!PostMessage(Window, Msg, wParam, lParam)) {
        if (!IsWindow(Window))
            return false;
        sched_yield();
    }
    return true;
}

size_t kernelDatagramQueue()
{
    // The kernel admits a datagram while fewer than one more than this setting wait.
    size_t setting = 0;
    std::ifstream("/proc/sys/net/unix/max_dgram_qlen") >> setting;
    if (setting == 0)
        throw std::runtime_error("kernelDatagramQueue: cannot read net.unix.max_dgram_qlen");
    return setting + 1;
}
