//===- ProgramProcess.cpp - A program of the tree started by a test ---===//
#include "tests/support/ProgramProcess.h"

#include "tests/support/TestSupport.h"

#include <csignal>
#include <spawn.h>
#include <sys/wait.h>

extern char** environ;

namespace testsupport {

ProgramProcess::ProgramProcess(const std::string& Path, const std::vector<std::string>& Env)
{
    // Qt's font database keeps fontconfig's caches to the end, which the leak check of a
    // sanitizer build would report as the program's. The caller's entries come first, so that
    // they win over the defaults (the first of a name is the one a program reads).
    std::vector<std::string> env = Env;
    env.insert(env.end(), { "ASAN_OPTIONS=detect_leaks=0", "QT_QPA_PLATFORM=offscreen" });
    auto named = [&](const std::string& Entry) {
        const std::string name = Entry.substr(0, Entry.find('=') + 1);
        for (const std::string& e : env)
            if (e.compare(0, name.size(), name) == 0)
                return true;
        return false;
    };
    for (char** e = environ; *e; ++e)
        if (!named(*e))
            env.push_back(*e);
    std::vector<char*> envp;
    for (std::string& e : env)
        envp.push_back(e.data());
    envp.push_back(nullptr);
    path_ = Path;
    char* argv[] = { const_cast<char*>(Path.c_str()), nullptr };
    if (posix_spawn(&pid_, Path.c_str(), nullptr, nullptr, argv, envp.data()) != 0)
        pid_ = -1;
}

ProgramProcess::~ProgramProcess()
{
    if (pid_ > 0 && !ended_) {
        kill(pid_, SIGKILL);
        waitpid(pid_, nullptr, 0);
    }
}

void ProgramProcess::Signal(int Number)
{
    if (pid_ > 0 && !ended_)
        kill(pid_, Number);
}

int ProgramProcess::WaitForExit(int GuardMs)
{
    if (pid_ <= 0)
        return -1;
    if (ended_)
        return exitCode_;
    int status = 0;
    if (!WaitFor([&] { return waitpid(pid_, &status, WNOHANG) == pid_; }, GuardMs)) {
        ADD_FAILURE() << "ProgramProcess: " << path_ << " (pid " << pid_ << ") did not end within the guard of "
                      << GuardMs << " ms";
        return -1;
    }
    ended_ = true;
    exitCode_ = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    return exitCode_;
}

} // namespace testsupport
