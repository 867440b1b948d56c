//===- kernel_test_helper.cpp - The other process in the kernel tests -----===//
//
// Two ways to drive it:
//   kernel_test_helper serve          answers commands on stdin, one line each (see serve())
//   kernel_test_helper <verb> args    does one thing for the WinExec tests and ends
//
#include "platform/kernel/FileMapping.h"
#include "platform/kernel/NamedMutex.h"
#include "platform/kernel/SessionNames.h"
#include "platform/kernel/WinExec.h"

#include <atomic>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <fstream>
#include <iostream>
#include <csignal>
#include <memory>
#include <sched.h>
#include <sstream>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

/// Writes the file under a temporary name first: the test polls for it and must never see
/// half of it.
void writeWhole(const std::string& Path, const std::string& Text)
{
    std::string temporary = Path + ".part";
    {
        std::ofstream out(temporary, std::ios::binary);
        out << Text;
    }
    std::rename(temporary.c_str(), Path.c_str());
}

std::string hex(uint64_t Value)
{
    std::ostringstream text;
    text << std::hex << Value;
    return text.str();
}

bool allZero(const void* Memory, uint32_t Size)
{
    auto bytes = static_cast<const unsigned char*>(Memory);
    for (uint32_t i = 0; i < Size; ++i)
        if (bytes[i] != 0)
            return false;
    return true;
}

/// Opens and leaves one block over and over, counting the living users in the block itself.
/// If a block were ever started afresh under a living user, the count would drop below the
/// number of users and some user's leaving would take it below zero.
std::string churn(const std::string& Name, int Cycles)
{
    int created = 0;
    for (int i = 0; i < Cycles; ++i) {
        auto mapping = FileMapping::Create(Name, 4096);
        auto* users = mapping ? static_cast<std::atomic<int32_t>*>(mapping->MapView()) : nullptr;
        if (!users)
            return "null";
        if (mapping->CreatedHere())
            ++created;
        if (users->fetch_add(1) < 0 || users->fetch_sub(1) < 1)
            return "broken";
    }
    return "ok " + std::to_string(created);
}

/// The body of lendMemory's process: it lets go of every descriptor and waits to be killed.
int keepMemory(void*)
{
    ::close_range(0, ~0U, 0);
    for (;;)
        ::pause();
}

/// Starts a process that shares this one's memory (and so its mappings) but none of its
/// descriptors, as a /proc reader holds a dying process's memory for a moment; answers its pid
/// once it holds no descriptor. It starts with copies of all of them (the named objects' locks
/// among them), and a pid answered before it let go of them lets the test kill the owner while
/// its locks still live on in the lender.
std::string lendMemory()
{
    static std::vector<char> stack(256 * 1024);
    int letGo[2];
    if (::pipe2(letGo, O_CLOEXEC) != 0)
        return "null";
    pid_t pid = ::clone(keepMemory, stack.data() + stack.size(), CLONE_VM | SIGCHLD, nullptr);
    ::close(letGo[1]);
    // The end of the pipe comes when the lender's copy of the writing end is closed too.
    char none;
    ssize_t n;
    do
        n = ::read(letGo[0], &none, 1);
    while (n < 0 && errno == EINTR);
    ::close(letGo[0]);
    return pid > 0 ? std::to_string(pid) : "null";
}

/// Commands, one per line, each answered with one line:
///   map <name> <size>   -> "created|opened size=<n> first=<hex> zero=<0|1> addr=<hex>" or "null"
///   write <hex>         -> "ok"  (into the first 32 bits of the mapped block)
///   mutex <name>        -> "created|opened" or "null"
///   wait <ms>           -> the answer of NamedMutex::Wait, in decimal
///   release             -> "1" or "0"
///   churn <name> <n>    -> "ok <times created>" or "broken": opens and leaves the block n times
///   lend-memory         -> the pid of a process sharing this one's memory (see lendMemory)
///   refusal             -> SessionObjectRefusal(): why the latest named object was refused
///   exit                -> ends normally without an answer; so does the end of the input
int serve()
{
    std::unique_ptr<FileMapping> mapping;
    uint32_t* view = nullptr;
    std::unique_ptr<NamedMutex> mutex;
    std::string line;
    while (std::getline(std::cin, line)) {
        std::istringstream words(line);
        std::string verb;
        words >> verb;
        std::string answer;
        if (verb == "map") {
            std::string name;
            uint32_t size = 0;
            words >> name >> size;
            mapping = FileMapping::Create(name, size);
            view = mapping ? static_cast<uint32_t*>(mapping->MapView()) : nullptr;
            if (!view)
                answer = "null";
            else
                answer = std::string(mapping->CreatedHere() ? "created" : "opened")
                         + " size=" + std::to_string(mapping->Size()) + " first=" + hex(view[0])
                         + " zero=" + (allZero(view, mapping->Size()) ? "1" : "0")
                         + " addr=" + hex(reinterpret_cast<uintptr_t>(view));
        } else if (verb == "write" && view) {
            std::string value;
            words >> value;
            view[0] = uint32_t(std::stoul(value, nullptr, 16));
            answer = "ok";
        } else if (verb == "mutex") {
            std::string name;
            words >> name;
            mutex = NamedMutex::Create(name);
            answer = !mutex ? "null" : mutex->CreatedHere() ? "created" : "opened";
        } else if (verb == "wait" && mutex) {
            uint32_t timeout = 0;
            words >> timeout;
            answer = std::to_string(mutex->Wait(timeout));
        } else if (verb == "release" && mutex) {
            answer = std::to_string(int(mutex->Release()));
        } else if (verb == "churn") {
            std::string name;
            int cycles = 0;
            words >> name >> cycles;
            answer = churn(name, cycles);
        } else if (verb == "lend-memory") {
            answer = lendMemory();
        } else if (verb == "refusal") {
            answer = SessionObjectRefusal();
        } else if (verb == "exit") {
            return 0;
        } else {
            answer = "unknown command: ";
            answer += line;
        }
        std::cout << answer << std::endl;
    }
    return 0;
}

/// Lists the descriptors this process was started with into Out, one per line: the number and
/// what it refers to.
int listDescriptors(const std::string& Out)
{
    DIR* folder = opendir("/proc/self/fd");
    if (!folder)
        return 1;
    std::string list;
    while (dirent* entry = readdir(folder)) {
        if (entry->d_name[0] == '.' || std::atoi(entry->d_name) == dirfd(folder))
            continue;
        char target[256] = {};
        std::string link = std::string("/proc/self/fd/") + entry->d_name;
        [[maybe_unused]] ssize_t length = readlink(link.c_str(), target, sizeof target - 1);
        list += std::string(entry->d_name) + " " + target + "\n";
    }
    closedir(folder);
    writeWhole(Out, list);
    return 0;
}

/// Writes the arguments after Out into Out, one per line.
int writeArguments(const std::string& Out, int Argc, char** Argv)
{
    std::string text;
    for (int i = 0; i < Argc; ++i)
        text += std::string(Argv[i]) + "\n";
    writeWhole(Out, text);
    return 0;
}

/// Starts CmdLine with WinExec, prints the answer and ends at once.
int startAndEnd(const char* CmdLine)
{
    std::cout << WinExec(CmdLine, SW_SHOWDEFAULT) << std::endl;
    return 0;
}

/// Closes its standard input and output, starts CmdLine with WinExec and writes the answer
/// into Out.
int startWithoutStdio(const std::string& Out, const char* CmdLine)
{
    close(STDIN_FILENO);
    close(STDOUT_FILENO);
    writeWhole(Out, std::to_string(WinExec(CmdLine, SW_SHOWDEFAULT)) + "\n");
    return 0;
}

/// Waits until somebody writes into the FIFO Gate, then reports its parent into Out: proof that
/// it lived on after whatever the test waited for before opening the gate.
int reportAfterGate(const std::string& Gate, const std::string& Out)
{
    int gate = open(Gate.c_str(), O_RDONLY | O_CLOEXEC);
    char byte = 0;
    if (gate < 0 || read(gate, &byte, 1) != 1)
        return 1;
    close(gate);
    writeWhole(Out, "alive ppid=" + std::to_string(getppid()) + "\n");
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    std::string verb = argc > 1 ? argv[1] : "";
    if (verb == "serve")
        return serve();
    if (verb == "list-fds" && argc == 3)
        return listDescriptors(argv[2]);
    if (verb == "write-args" && argc >= 3)
        return writeArguments(argv[2], argc - 3, argv + 3);
    if (verb == "start" && argc == 3)
        return startAndEnd(argv[2]);
    if (verb == "start-without-stdio" && argc == 4)
        return startWithoutStdio(argv[2], argv[3]);
    if (verb == "report-after-gate" && argc == 4)
        return reportAfterGate(argv[2], argv[3]);
    std::cerr << "kernel_test_helper: unknown verb or arguments" << std::endl;
    return 2;
}
