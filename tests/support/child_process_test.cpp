//===- child_process_test.cpp - What a failed wait on a child process says ---===//
#include "tests/support/ChildProcess.h"

#include "tests/support/TestSupport.h"

#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

using testsupport::ChildProcess;

/// The message of what Act throws; empty when it throws nothing.
std::string thrown(const std::function<void()>& Act)
{
    try {
        Act();
    } catch (const std::runtime_error& e) {
        return e.what();
    }
    return {};
}

TEST(ChildProcessTest, AFailedWaitNamesTheProgramWhatWasAwaitedAndHowItStands)
{
    testsupport::TempDir dir;
    const std::string errors = dir.file("stderr");
    struct Row {
        const char* Case;
        std::vector<std::string> Argv;
        std::string StderrPath;
        std::function<void(ChildProcess&)> Act;
        std::vector<std::string> Said;
    } rows[] = {
        { "ended",
          { "/bin/sh", "-c", "read line; echo broken >&2; exit 3" },
          errors,
          [](ChildProcess& C) {
              C.send("ping");
              C.readLine();
          },
          { "/bin/sh -c read line;", "waited for a line of output after the line 'ping'", "its output ended",
            "exited with status 3", "its standard error (" + errors + "):\nbroken" } },
        { "silent",
          { "/bin/sh", "-c", "read line; read line" },
          "",
          [](ChildProcess& C) {
              C.send("ping");
              C.readLine(100);
          },
          { "waited for a line of output after the line 'ping'", "stayed silent for the guard of 0.1 s",
            "it still runs", "its standard error is the test's" } },
        { "answer cut short",
          { "/bin/sh", "-c", "printf 'a\\nb\\n'" },
          "",
          [](ChildProcess& C) { C.answer(); },
          { "waited for the end (\".\") of an answer, 2 lines read, the last 'b'", "exited with status 0" } },
        { "killed",
          { "/bin/sh", "-c", "kill -KILL $$" },
          "",
          [](ChildProcess& C) { C.readLine(); },
          { "its output ended", "it was ended by signal 9" } },
        { "exit status above 128",
          { "/bin/sh", "-c", "exit 130" },
          "",
          [](ChildProcess& C) { C.readLine(); },
          { "it exited with status 130" } },
    };
    for (Row& row : rows) {
        ChildProcess child(row.Argv, {}, row.StderrPath);
        const std::string said = thrown([&] { row.Act(child); });
        EXPECT_NE(said.find("(pid " + std::to_string(child.pid()) + ")"), std::string::npos)
            << row.Case << ": " << said;
        for (const std::string& part : row.Said)
            EXPECT_NE(said.find(part), std::string::npos) << row.Case << ": '" << part << "' missing from: " << said;
    }
}

TEST(ChildProcessTest, AnExpiredGuardOfTryReadLineFailsTheTestSayingWhatItAwaited)
{
    // Only the end of the output answers false quietly; a guard that expires is a hang.
    ChildProcess child({ "/bin/sh", "-c", "read line" });
    std::string line;
    EXPECT_NONFATAL_FAILURE(EXPECT_FALSE(child.tryReadLine(line, 100)),
                            "waited for a line of output; it stayed silent for the guard of 0.1 s; it still runs");
    ChildProcess ended({ "/bin/sh", "-c", "exit 0" });
    EXPECT_FALSE(ended.tryReadLine(line));
}

} // namespace
