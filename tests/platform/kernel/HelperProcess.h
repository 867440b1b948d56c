//===- HelperProcess.h - kernel_test_helper as a child process -*- C++ -*-===//
#pragma once

#include "tests/support/ChildProcess.h"

#include <string>
#include <vector>

namespace kerneltest {

/// Runs kernel_test_helper (beside the test binary) with Args. A helper still running when the
/// object goes gets the end of its input, so that it leaves its named objects normally (the
/// tests check that a session leaves no files); it is killed only if it hangs.
class HelperProcess : public testsupport::ChildProcess {
public:
    explicit HelperProcess(const std::vector<std::string>& Args);
    ~HelperProcess() override;

    /// Sends one command and answers the one line of its answer.
    std::string ask(const std::string& Line)
    {
        send(Line);
        return readLine();
    }
};

/// The files in the folder of named objects that belong to the current session (VARNEX_SESSION).
std::vector<std::string> sessionFiles();

/// Waits for a file that a started program writes in one piece, and answers its lines. When it
/// does not come within GuardMs (a guard against a hung test, not a measurement) the test fails,
/// naming the file and what its folder holds, and the answer is empty.
std::vector<std::string> awaitFileLines(const std::string& Path, int GuardMs = 90000);

} // namespace kerneltest
