//===- ChildProcess.cpp - A helper program driven line by line ----------===//
#include "tests/support/ChildProcess.h"

#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <stdexcept>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace testsupport {

ChildProcess::ChildProcess(const std::vector<std::string>& Argv, const std::vector<std::string>& ExtraEnv,
    const std::string& StderrPath)
{
    // A write to a program that has ended must fail, not kill the test.
    signal(SIGPIPE, SIG_IGN);
    int in[2], out[2];
    if (pipe2(in, O_CLOEXEC) != 0 || pipe2(out, O_CLOEXEC) != 0)
        throw std::runtime_error("ChildProcess: pipe failed");

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

    pid_ = fork();
    if (pid_ < 0)
        throw std::runtime_error("ChildProcess: fork failed");
    if (pid_ == 0) {
        dup2(in[0], 0);
        dup2(out[1], 1);
        if (!StderrPath.empty()) {
            int err = open(StderrPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
            if (err >= 0)
                dup2(err, 2);
        }
        execve(argv[0], argv.data(), envp.data());
        _exit(127);
    }
    close(in[0]);
    close(out[1]);
    toChild_ = in[1];
    fromChild_ = out[0];
}

ChildProcess::~ChildProcess()
{
    if (!reaped_) {
        ::kill(pid_, SIGKILL);
        wait();
    }
    close(toChild_);
    close(fromChild_);
}

std::string ChildProcess::readLine(int TimeoutMs)
{
    for (;;) {
        size_t end = buffer_.find('\n');
        if (end != std::string::npos) {
            std::string line = buffer_.substr(0, end);
            buffer_.erase(0, end + 1);
            return line;
        }
        pollfd p { fromChild_, POLLIN, 0 };
        int ready = poll(&p, 1, TimeoutMs);
        if (ready == 0)
            throw std::runtime_error("ChildProcess: no answer");
        if (ready < 0) {
            if (errno == EINTR)
                continue;
            throw std::runtime_error("ChildProcess: poll failed");
        }
        char chunk[4096];
        ssize_t n = read(fromChild_, chunk, sizeof chunk);
        if (n <= 0)
            throw std::runtime_error("ChildProcess: the program ended");
        buffer_.append(chunk, size_t(n));
    }
}

std::vector<std::string> ChildProcess::call(const std::string& Command, int TimeoutMs)
{
    std::string line = Command + "\n";
    if (write(toChild_, line.data(), line.size()) != ssize_t(line.size()))
        throw std::runtime_error("ChildProcess: write failed");
    std::vector<std::string> lines;
    for (std::string l = readLine(TimeoutMs); l != "."; l = readLine(TimeoutMs))
        lines.push_back(l);
    return lines;
}

std::string ChildProcess::call1(const std::string& Command, int TimeoutMs)
{
    std::vector<std::string> lines = call(Command, TimeoutMs);
    return lines.empty() ? std::string() : lines.front();
}

void ChildProcess::kill(int Signal)
{
    if (!reaped_)
        ::kill(pid_, Signal);
}

int ChildProcess::wait()
{
    if (reaped_)
        return status_;
    int raw = 0;
    while (waitpid(pid_, &raw, 0) < 0 && errno == EINTR) { }
    reaped_ = true;
    status_ = WIFEXITED(raw) ? WEXITSTATUS(raw) : 128 + WTERMSIG(raw);
    return status_;
}

} // namespace testsupport
