//===- WinExec.cpp - Starting another program ----------------------------===//
#include "platform/kernel/WinExec.h"

#include "platform/kernel/StartProgram_p.h"

#include "platform/rtl/AnsiString.h"
#include "platform/rtl/UniqueFd.h"

#include <cctype>
#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <mutex>
#include <pthread.h>
#include <sched.h>
#include <string_view>
#include <sys/mman.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <utility>
#include <vector>

namespace {

// The original's answers besides ERROR_FILE_NOT_FOUND: 0 when out of resources, and this one
// for a file that is no program.
constexpr uint32_t ErrorBadFormat = 11;
// Any answer above 31 means success; this is the one the original gives.
constexpr uint32_t Started = 33;

std::mutex hookLock;
WinExecHook hook;

/// Blank-separated words; double quotes group blanks into a word and are dropped.
std::vector<std::string> splitCommandLine(std::string_view CmdLine)
{
    std::vector<std::string> words;
    std::string word;
    bool inWord = false, quoted = false;
    for (char c : CmdLine) {
        if (c == '"') {
            quoted = !quoted;
            inWord = true;
        } else if ((c == ' ' || c == '\t') && !quoted) {
            if (inWord)
                words.push_back(std::move(word));
            word.clear();
            inWord = false;
        } else {
            word += c;
            inWord = true;
        }
    }
    if (inWord)
        words.push_back(std::move(word));
    return words;
}

bool endsWithExe(std::string_view Name)
{
    if (Name.size() <= 4)
        return false;
    std::string_view suffix = Name.substr(Name.size() - 4);
    for (size_t i = 0; i < 4; ++i)
        if (std::tolower(static_cast<unsigned char>(suffix[i])) != ".exe"[i])
            return false;
    return true;
}

bool isProgram(const std::string& Path)
{
    struct stat info;
    return ::stat(Path.c_str(), &info) == 0 && S_ISREG(info.st_mode) && ::access(Path.c_str(), X_OK) == 0;
}

/// The path as the system spells it (UTF-8); the public functions speak ANSI.
std::string executablePathUtf8()
{
    std::string path(256, '\0');
    for (;;) {
        ssize_t length = ::readlink("/proc/self/exe", path.data(), path.size());
        if (length < 0)
            return {};
        if (size_t(length) < path.size()) {
            path.resize(size_t(length));
            return path;
        }
        path.resize(path.size() * 2);
    }
}

/// Where the program of that name lives: beside the calling executable first (the original
/// platform looks in the application's folder before the search path), then on PATH. A name
/// with a '/' is taken as a path. Empty when there is no such program.
std::string findProgram(std::string Name)
{
    if (endsWithExe(Name))
        Name.resize(Name.size() - 4);
    if (Name.find('/') != std::string::npos)
        return isProgram(Name) ? Name : std::string();
    std::string self = executablePathUtf8();
    if (std::string folder = self.substr(0, self.rfind('/') + 1); !folder.empty() && isProgram(folder + Name))
        return folder + Name;
    const char* path = std::getenv("PATH");
    if (!path)
        return {};
    std::string_view folders = path;
    for (;;) {
        size_t end = folders.find(':');
        std::string folder(folders.substr(0, end)); // an empty entry is the current folder
        std::string candidate = (folder.empty() ? "." : folder) + "/" + Name;
        if (isProgram(candidate))
            return candidate;
        if (end == std::string_view::npos)
            return {};
        folders.remove_prefix(end + 1);
    }
}

// The start runs in two processes that share the caller's memory (clone with CLONE_VM and
// CLONE_VFORK) instead of copies of it (fork): copying stops every thread of the caller until
// its page tables are copied and write-protected, and runs the fork handlers, which keep the
// message queue's receiver thread out of the queue meanwhile. On a loaded machine that took
// long enough for a server to give up posting to a client that had just registered (and so
// was starting the server). Sharing, only the calling thread waits, until the program runs.
// The code of both processes runs on stacks of its own, with every signal blocked until the
// program's defaults are set, and calls only system calls; it is not instrumented, because the
// sanitizers' bookkeeping of its stack frames would be the caller's.
#define NOT_INSTRUMENTED __attribute__((no_sanitize("address", "undefined")))

/// What the two processes share with the caller.
struct StartData {
    const char* Path;
    char* const* Argv;
    int Null;           // /dev/null, opened by the caller
    bool NullFor[3];    // which standard streams the program gets /dev/null for
    void* Stack;        // the top of the program's stack until it executes
    volatile int Error; // the errno of a failed start, 0 while none
};

/// Closes every descriptor from 3 on.
NOT_INSTRUMENTED void closeInheritedDescriptors()
{
    if (::close_range(3, UINT_MAX, 0) != 0) {
        rlimit limit;
        rlim_t last = ::getrlimit(RLIMIT_NOFILE, &limit) == 0 ? limit.rlim_cur : 1024;
        for (rlim_t fd = 3; fd < last && fd < (rlim_t(1) << 20); ++fd)
            ::close(int(fd));
    }
}

/// The started program's own beginning: a session of its own (no terminal signals of the
/// caller reach it), default signal handling and mask, none of the caller's descriptors.
/// Standard input is /dev/null, and so is a standard stream that is a pipe or socket: a program
/// that outlives its starter must not keep the starter's reader waiting for the end of a pipe.
/// Terminals and files stay, so its messages still show.
NOT_INSTRUMENTED int runProgram(void* Arg)
{
    auto* data = static_cast<StartData*>(Arg);
    ::setsid();
    for (int fd = 0; fd <= 2; ++fd) {
        if (!data->NullFor[fd] || data->Null < 0)
            continue;
        // A caller without that stream may have got it as /dev/null itself, close-on-exec.
        if (data->Null == fd)
            ::fcntl(fd, F_SETFD, 0);
        else
            ::dup2(data->Null, fd);
    }
    struct sigaction byDefault = {};
    byDefault.sa_handler = SIG_DFL;
    for (int signal = 1; signal < NSIG; ++signal)
        ::sigaction(signal, &byDefault, nullptr);
    closeInheritedDescriptors();
    sigset_t none;
    sigemptyset(&none);
    ::sigprocmask(SIG_SETMASK, &none, nullptr);
    ::execv(data->Path, data->Argv);
    data->Error = errno;
    ::_exit(127);
}

/// The intermediate: starts the program and ends once it runs (or failed to), so that the
/// program is adopted by init and outlives the caller without being its child.
NOT_INSTRUMENTED int startProgram(void* Arg)
{
    auto* data = static_cast<StartData*>(Arg);
    if (::clone(runProgram, data->Stack, CLONE_VM | CLONE_VFORK | SIGCHLD, data) < 0)
        data->Error = errno;
    ::_exit(0);
}

/// Starts the program as a grandchild whose parent, a short-lived intermediate, is waited for
/// here: the program is adopted by init, leaves no zombie and outlives the caller, and no other
/// child of the caller is touched.
uint32_t startDetached(const std::string& Path, const std::vector<std::string>& Words)
{
    // The program gets its resolved path as its name, the words after it as its arguments.
    std::vector<char*> argv { const_cast<char*>(Path.c_str()) };
    for (size_t i = 1; i < Words.size(); ++i)
        argv.push_back(const_cast<char*>(Words[i].c_str()));
    argv.push_back(nullptr);

    // Both processes share one mapping: the intermediate runs at its top, the program in its
    // lower half, and each waits for the next one to execute or end before going on.
    constexpr size_t StackBytes = 256 * 1024;
    void* stack = ::mmap(nullptr, StackBytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS | MAP_STACK, -1, 0);
    if (stack == MAP_FAILED)
        return 0;
    char* base = static_cast<char*>(stack);

    // The streams are looked at before /dev/null is opened, which may take a closed one's number.
    StartData data { Path.c_str(), argv.data(), -1, { true, false, false }, base + StackBytes / 2, 0 };
    for (int fd = 1; fd <= 2; ++fd) {
        struct stat info;
        data.NullFor[fd] = ::fstat(fd, &info) != 0 || S_ISFIFO(info.st_mode) || S_ISSOCK(info.st_mode);
    }
    UniqueFd null(::open("/dev/null", O_RDWR | O_CLOEXEC));
    data.Null = null.get();

    // No handler of the caller may run in the processes that share its memory.
    sigset_t all, previous;
    sigfillset(&all);
    pthread_sigmask(SIG_SETMASK, &all, &previous);
    pid_t intermediate = ::clone(startProgram, base + StackBytes, CLONE_VM | CLONE_VFORK | SIGCHLD, &data);
    int cloneError = errno;
    pthread_sigmask(SIG_SETMASK, &previous, nullptr);
    if (intermediate > 0) {
        // ECHILD when the caller ignores SIGCHLD: the intermediate was reaped already.
        while (::waitpid(intermediate, nullptr, 0) < 0 && errno == EINTR) {
        }
    }
    ::munmap(stack, StackBytes);
    if (intermediate < 0) {
        errno = cloneError;
        return 0;
    }
    const int error = data.Error;
    if (error == 0)
        return Started;
    if (error == ENOENT || error == ENOTDIR || error == EACCES)
        return ERROR_FILE_NOT_FOUND;
    if (error == ENOEXEC)
        return ErrorBadFormat;
    return 0;
}

} // namespace

uint32_t WinExec(const char* CmdLine, uint32_t CmdShow)
{
    std::string commandLine = CmdLine ? CmdLine : "";
    WinExecHook current;
    {
        std::lock_guard<std::mutex> guard(hookLock);
        current = hook;
    }
    if (current)
        return current(commandLine, CmdShow);
    // CmdShow has no meaning here: programs place their own windows.
    return StartProgram(splitCommandLine(AnsiToUtf8(commandLine)));
}

uint32_t StartProgram(const std::vector<std::string>& Words)
{
    if (Words.empty())
        return ERROR_FILE_NOT_FOUND;
    std::string path = findProgram(Words.front());
    if (path.empty())
        return ERROR_FILE_NOT_FOUND;
    return startDetached(path, Words);
}

WinExecHook SetWinExecHook(WinExecHook Hook)
{
    std::lock_guard<std::mutex> guard(hookLock);
    return std::exchange(hook, std::move(Hook));
}

std::string ExecutablePath() { return Utf8ToAnsi(executablePathUtf8()); }

std::string ExecutableDirectory()
{
    std::string path = ExecutablePath();
    return path.substr(0, path.rfind('/') + 1);
}
