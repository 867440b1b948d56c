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
#include <string_view>
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

/// Closes every descriptor from 3 on except Keep. Runs between fork and exec: system calls only.
void closeInheritedDescriptors(int Keep)
{
    if (Keep > 3 && ::close_range(3, unsigned(Keep) - 1, 0) != 0)
        for (int fd = 3; fd < Keep; ++fd)
            ::close(fd);
    if (::close_range(unsigned(Keep) + 1, UINT_MAX, 0) != 0) {
        rlimit limit;
        rlim_t last = ::getrlimit(RLIMIT_NOFILE, &limit) == 0 ? limit.rlim_cur : 1024;
        for (rlim_t fd = rlim_t(Keep) + 1; fd < last && fd < (rlim_t(1) << 20); ++fd)
            ::close(int(fd));
    }
}

/// Gives the started program /dev/null in place of a standard stream that is a pipe or socket
/// (or for input, anything): a program that outlives its starter must not keep the starter's
/// reader waiting for the end of a pipe. Terminals and files stay, so its messages still show.
/// Runs between fork and exec: system calls only.
void detachStandardStreams()
{
    // Not close-on-exec: where the caller had closed a standard stream, this may be it.
    int null = ::open("/dev/null", O_RDWR);
    if (null < 0)
        return;
    ::dup2(null, 0);
    for (int fd = 1; fd <= 2; ++fd) {
        struct stat info;
        if (::fstat(fd, &info) != 0 || S_ISFIFO(info.st_mode) || S_ISSOCK(info.st_mode))
            ::dup2(null, fd);
    }
    if (null > 2)
        ::close(null);
}

/// The started program's own beginning: a session of its own (no terminal signals of the
/// caller reach it), default signal handling and mask, none of the caller's descriptors.
/// On failure the errno goes to Report.
[[noreturn]] void execDetached(const char* Path, char* const* Argv, int Report)
{
    ::setsid();
    detachStandardStreams();
    struct sigaction byDefault = {};
    byDefault.sa_handler = SIG_DFL;
    for (int signal = 1; signal < NSIG; ++signal)
        ::sigaction(signal, &byDefault, nullptr);
    sigset_t none;
    sigemptyset(&none);
    ::sigprocmask(SIG_SETMASK, &none, nullptr);
    closeInheritedDescriptors(Report);
    ::execv(Path, Argv);
    int error = errno;
    [[maybe_unused]] ssize_t ignored = ::write(Report, &error, sizeof error);
    ::_exit(127);
}

/// Moves Fd to 3 or above. A caller that closed a standard stream gets that number back from
/// pipe2, and the started program's standard streams, set up over 0..2, would then cover the
/// report pipe: a failed exec would pass for a start. -1 (and Fd closed) on failure.
int aboveStandardStreams(int Fd)
{
    if (Fd > 2)
        return Fd;
    int moved = ::fcntl(Fd, F_DUPFD_CLOEXEC, 3);
    ::close(Fd);
    return moved;
}

/// Starts the program as a grandchild whose parent, a short-lived intermediate, is waited for
/// here: the program is adopted by init, leaves no zombie and outlives the caller, and no other
/// child of the caller is touched. A close-on-exec pipe tells whether the exec succeeded.
uint32_t startDetached(const std::string& Path, const std::vector<std::string>& Words)
{
    // The program gets its resolved path as its name, the words after it as its arguments.
    std::vector<char*> argv { const_cast<char*>(Path.c_str()) };
    for (size_t i = 1; i < Words.size(); ++i)
        argv.push_back(const_cast<char*>(Words[i].c_str()));
    argv.push_back(nullptr);

    int ends[2];
    if (::pipe2(ends, O_CLOEXEC) != 0)
        return 0;
    UniqueFd readEnd(aboveStandardStreams(ends[0])), writeEnd(aboveStandardStreams(ends[1]));
    if (!readEnd || !writeEnd)
        return 0;

    pid_t intermediate = ::fork();
    if (intermediate < 0)
        return 0;
    if (intermediate == 0) {
        pid_t program = ::fork();
        if (program == 0)
            execDetached(Path.c_str(), argv.data(), writeEnd.get());
        if (program < 0) {
            int error = errno;
            [[maybe_unused]] ssize_t ignored = ::write(writeEnd.get(), &error, sizeof error);
        }
        ::_exit(0);
    }
    writeEnd.reset();
    // ECHILD when the caller ignores SIGCHLD: the intermediate was reaped already.
    while (::waitpid(intermediate, nullptr, 0) < 0 && errno == EINTR) {
    }

    int error = 0;
    ssize_t got;
    do
        got = ::read(readEnd.get(), &error, sizeof error);
    while (got < 0 && errno == EINTR);
    if (got != ssize_t(sizeof error))
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
