//===- HelperProcess.cpp - kernel_test_helper as a child process ----------===//
#include "tests/platform/kernel/HelperProcess.h"

#include "tests/support/TestSupport.h"

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <csignal>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace kerneltest {

HelperProcess::HelperProcess(const std::vector<std::string>& Args)
{
    // A helper that died must fail the test through its answers, not kill it with SIGPIPE.
    std::signal(SIGPIPE, SIG_IGN);
    std::string program = testsupport::BinDir() + "/kernel_test_helper";
    std::vector<char*> argv { program.data() };
    std::vector<std::string> args = Args;
    for (std::string& arg : args)
        argv.push_back(arg.data());
    argv.push_back(nullptr);

    int input[2], output[2];
    if (pipe2(input, O_CLOEXEC) != 0 || pipe2(output, O_CLOEXEC) != 0)
        throw std::runtime_error("HelperProcess: pipe2 failed");
    pid_ = fork();
    if (pid_ < 0)
        throw std::runtime_error("HelperProcess: fork failed");
    if (pid_ == 0) {
        // Only system calls until exec: the child must never return into the test framework.
        dup2(input[0], 0);
        dup2(output[1], 1);
        execv(argv[0], argv.data());
        _exit(127);
    }
    close(input[0]);
    close(output[1]);
    toChild_ = input[1];
    fromChild_ = output[0];
}

HelperProcess::~HelperProcess()
{
    closeInput();
    // A guard against a hung helper, not a measurement.
    auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (!reaped_ && std::chrono::steady_clock::now() < giveUp) {
        int status = 0;
        if (waitpid(pid_, &status, WNOHANG) == pid_)
            reaped_ = true;
        else
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    if (!reaped_)
        kill();
    close(fromChild_);
}

void HelperProcess::send(const std::string& Line)
{
    std::string text = Line + "\n";
    if (toChild_ >= 0) {
        // A helper that is gone shows in its (missing) answer.
        [[maybe_unused]] ssize_t written = write(toChild_, text.data(), text.size());
    }
}

std::string HelperProcess::readLine()
{
    for (;;) {
        if (size_t end = buffer_.find('\n'); end != std::string::npos) {
            std::string line = buffer_.substr(0, end);
            buffer_.erase(0, end + 1);
            return line;
        }
        char chunk[256];
        ssize_t got = read(fromChild_, chunk, sizeof chunk);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            return "<eof>";
        buffer_.append(chunk, size_t(got));
    }
}

void HelperProcess::closeInput()
{
    if (toChild_ >= 0)
        close(toChild_);
    toChild_ = -1;
}

void HelperProcess::kill()
{
    if (!reaped_)
        ::kill(pid_, SIGKILL);
    wait();
}

int HelperProcess::wait()
{
    if (!reaped_) {
        int status = 0;
        while (waitpid(pid_, &status, 0) < 0 && errno == EINTR) {
        }
        reaped_ = true;
        status_ = WIFEXITED(status) ? WEXITSTATUS(status) : -WTERMSIG(status);
    }
    return status_;
}

std::vector<std::string> sessionFiles()
{
    const char* session = std::getenv("VARNEX_SESSION");
    std::string prefix = "varnex-" + std::to_string(getuid()) + "-" + (session ? session : "") + "-";
    std::vector<std::string> files;
    for (const auto& entry : std::filesystem::directory_iterator("/dev/shm"))
        if (std::string name = entry.path().filename().string(); name.rfind(prefix, 0) == 0)
            files.push_back(name);
    return files;
}

std::vector<std::string> awaitFileLines(const std::string& Path)
{
    auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (!std::filesystem::exists(Path) && std::chrono::steady_clock::now() < giveUp)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    std::vector<std::string> lines;
    std::ifstream in(Path);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

} // namespace kerneltest
