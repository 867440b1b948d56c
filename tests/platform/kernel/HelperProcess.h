//===- HelperProcess.h - kernel_test_helper as a child process -*- C++ -*-===//
#pragma once

#include <string>
#include <sys/types.h>
#include <vector>

namespace kerneltest {

/// Runs kernel_test_helper (beside the test binary) with its standard input and output on pipes;
/// its standard error stays the test's. A helper still running when the object goes gets the
/// end of its input, so that it leaves its objects normally; it is killed only if it hangs.
class HelperProcess {
public:
    explicit HelperProcess(const std::vector<std::string>& Args);
    ~HelperProcess();
    HelperProcess(const HelperProcess&) = delete;
    HelperProcess& operator=(const HelperProcess&) = delete;

    void send(const std::string& Line);
    /// The next line of output without its end, or "<eof>" when the helper ended.
    std::string readLine();
    std::string ask(const std::string& Line)
    {
        send(Line);
        return readLine();
    }
    /// Ends its input, which makes a serving helper end normally.
    void closeInput();

    /// SIGKILL, then waits for the end.
    void kill();
    /// Waits for the end: the exit code, or minus the signal that ended it.
    int wait();
    pid_t pid() const { return pid_; }

private:
    pid_t pid_ = -1;
    int toChild_ = -1;
    int fromChild_ = -1;
    std::string buffer_;
    bool reaped_ = false;
    int status_ = 0;
};

/// The files under /dev/shm that belong to the current session (VARNEX_SESSION).
std::vector<std::string> sessionFiles();

/// Waits for a file that a started program writes in one piece, and answers its lines. Empty
/// when it does not come within half a minute (a guard against a hung test, not a measurement).
std::vector<std::string> awaitFileLines(const std::string& Path);

} // namespace kerneltest
