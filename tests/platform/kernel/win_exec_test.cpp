//===- win_exec_test.cpp - Starting programs, detached and with no inheritance -===//
#include "platform/kernel/WinExec.h"

#include "tests/platform/kernel/HelperProcess.h"
#include "tests/support/TestSupport.h"

#include "platform/kernel/FileMapping.h"

#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>
#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <pthread.h>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

using kerneltest::awaitFileLines;
using kerneltest::HelperProcess;

namespace {

using Lines = std::vector<std::string>;

class WinExecTest : public ::testing::Test {
protected:
    void SetUp() override { testsupport::UsePrivateSession(); }

    void TearDown() override
    {
        SetWinExecHook({});
        if (!savedPath_.empty())
            setenv("PATH", savedPath_.c_str(), 1);
    }

    void setPath(const std::string& Path)
    {
        if (savedPath_.empty())
            savedPath_ = std::getenv("PATH") ? std::getenv("PATH") : "/usr/bin:/bin";
        setenv("PATH", Path.c_str(), 1);
    }

    testsupport::TempDir dir_;
    std::string savedPath_;
};

TEST_F(WinExecTest, StartsTheProgramBesideTheCallerWithItsArguments)
{
    std::string out = dir_.file("args");
    std::string command = "kernel_test_helper.exe write-args " + out + " \"two  words\" plain \"\"";
    EXPECT_GT(WinExec(command.c_str(), SW_SHOWDEFAULT), 31u);
    EXPECT_EQ(awaitFileLines(out), (Lines { "two  words", "plain", "" }));
}

TEST_F(WinExecTest, NameWithoutTheExeSuffixWorksToo)
{
    std::string out = dir_.file("args");
    std::string command = "kernel_test_helper write-args " + out + " bare";
    EXPECT_GT(WinExec(command.c_str(), SW_SHOWDEFAULT), 31u);
    EXPECT_EQ(awaitFileLines(out), (Lines { "bare" }));
}

TEST_F(WinExecTest, StartedProgramInheritsOnlyTheStandardDescriptors)
{
    // Descriptors the caller might leak: one opened without close-on-exec on purpose, and a
    // named block whose lock must not be held by the started program.
    int leaky = open("/dev/null", O_RDONLY);
    ASSERT_GE(leaky, 3);
    auto mapping = FileMapping::Create("held", 4096);
    ASSERT_TRUE(mapping && mapping->MapView());

    std::string out = dir_.file("fds");
    std::string command = "kernel_test_helper.exe list-fds " + out;
    EXPECT_GT(WinExec(command.c_str(), SW_SHOWDEFAULT), 31u);
    Lines fds = awaitFileLines(out);
    EXPECT_FALSE(fds.empty());
    for (const std::string& fd : fds)
        EXPECT_LE(std::stoi(fd), 2) << "descriptor " << fd << " leaked into the started program";
    close(leaky);
}

TEST_F(WinExecTest, StartedProgramHoldsNoPipeOfTheCaller)
{
    // A program that outlives its starter must not keep the starter's output pipe open, or
    // whoever reads that pipe waits for it.
    int pipeEnds[2];
    ASSERT_EQ(pipe(pipeEnds), 0);
    int savedOut = dup(1);
    dup2(pipeEnds[1], 1);
    std::string out = dir_.file("fds");
    std::string command = "kernel_test_helper list-fds " + out;
    uint32_t started = WinExec(command.c_str(), SW_SHOWDEFAULT);
    dup2(savedOut, 1);
    close(savedOut);
    close(pipeEnds[0]);
    close(pipeEnds[1]);
    ASSERT_GT(started, 31u);

    Lines fds = awaitFileLines(out);
    ASSERT_GE(fds.size(), 2u);
    EXPECT_EQ(fds[0], "0 /dev/null");
    EXPECT_EQ(fds[1], "1 /dev/null");
}

TEST_F(WinExecTest, LeavesNoChildBehindInTheCaller)
{
    std::string out = dir_.file("args");
    std::string command = "kernel_test_helper.exe write-args " + out + " done";
    ASSERT_GT(WinExec(command.c_str(), SW_SHOWDEFAULT), 31u);
    ASSERT_EQ(awaitFileLines(out), (Lines { "done" }));
    errno = 0;
    EXPECT_EQ(waitpid(-1, nullptr, WNOHANG), -1) << "no child, not even a zombie";
    EXPECT_EQ(errno, ECHILD);
}

std::atomic<int> copiesOfTheCaller { 0 };

TEST_F(WinExecTest, StartingDoesNotCopyTheCaller)
{
    // A copy of the caller (fork) stops every thread of the caller until its memory is copied,
    // the message queue's receiver thread among them, which the fork handlers keep out of the
    // queue meanwhile: on a loaded machine that took long enough for a server to give up
    // posting to a client that had just registered and was starting the server.
    static const int registered = pthread_atfork([] { copiesOfTheCaller++; }, nullptr, nullptr);
    ASSERT_EQ(registered, 0);
    copiesOfTheCaller = 0;
    std::string out = dir_.file("args");
    std::string command = "kernel_test_helper.exe write-args " + out + " done";
    ASSERT_GT(WinExec(command.c_str(), SW_SHOWDEFAULT), 31u);
    ASSERT_EQ(awaitFileLines(out), (Lines { "done" }));
    EXPECT_EQ(copiesOfTheCaller, 0);
}

TEST_F(WinExecTest, StartedProgramOutlivesItsCaller)
{
    std::string gate = dir_.file("gate");
    std::string out = dir_.file("report");
    ASSERT_EQ(mkfifo(gate.c_str(), 0600), 0);
    HelperProcess caller({ "start", "kernel_test_helper.exe report-after-gate " + gate + " " + out });
    EXPECT_GT(std::stoul(caller.readLine()), 31u);
    EXPECT_EQ(caller.wait(), 0);

    // The caller has ended; the program it started opens the gate only now.
    int gateFd = open(gate.c_str(), O_WRONLY | O_CLOEXEC);
    ASSERT_GE(gateFd, 0);
    ASSERT_EQ(write(gateFd, "x", 1), 1);
    close(gateFd);
    Lines report = awaitFileLines(out);
    ASSERT_EQ(report.size(), 1u);
    EXPECT_EQ(report[0].rfind("alive ppid=", 0), 0u);
    EXPECT_NE(report[0], "alive ppid=" + std::to_string(caller.pid()));
}

TEST_F(WinExecTest, MissingProgramAnswersFileNotFound)
{
    std::string notAProgram = dir_.file("plain.txt");
    std::ofstream(notAProgram) << "text";
    for (const char* command : { "varnex-no-such-program.exe", "varnex-no-such-program", "", "   ",
                                 "/nonexistent/folder/Kelmor32.exe", "\"\"" })
        EXPECT_EQ(WinExec(command, SW_SHOWDEFAULT), ERROR_FILE_NOT_FOUND) << "'" << command << "'";
    EXPECT_EQ(WinExec(notAProgram.c_str(), SW_SHOWDEFAULT), ERROR_FILE_NOT_FOUND) << "a file that may not be executed";
    EXPECT_EQ(WinExec(nullptr, SW_SHOWDEFAULT), ERROR_FILE_NOT_FOUND);
}

TEST_F(WinExecTest, ExecutableFileThatIsNoProgramAnswersBadFormat)
{
    std::string garbage = dir_.file("garbage");
    std::ofstream(garbage) << "neither a binary nor a script\n";
    ASSERT_EQ(chmod(garbage.c_str(), 0700), 0);
    EXPECT_EQ(WinExec(garbage.c_str(), SW_SHOWDEFAULT), 11u) << "the original's ERROR_BAD_FORMAT";
}

TEST_F(WinExecTest, FailureIsReportedByACallerWithoutStandardStreams)
{
    std::string garbage = dir_.file("garbage");
    std::ofstream(garbage) << "neither a binary nor a script\n";
    ASSERT_EQ(chmod(garbage.c_str(), 0700), 0);
    std::string out = dir_.file("answer");
    HelperProcess caller({ "start-without-stdio", out, garbage });
    EXPECT_EQ(caller.wait(), 0);
    EXPECT_EQ(awaitFileLines(out), (Lines { "11" })) << "a failed start must not pass for one";
}

TEST_F(WinExecTest, CallerWithoutStandardStreamsGivesTheProgramNullOnes)
{
    std::string fds = dir_.file("fds");
    std::string out = dir_.file("answer");
    HelperProcess caller({ "start-without-stdio", out, "kernel_test_helper list-fds " + fds });
    EXPECT_EQ(caller.wait(), 0);
    ASSERT_EQ(awaitFileLines(out).size(), 1u);
    Lines list = awaitFileLines(fds);
    ASSERT_GE(list.size(), 2u);
    EXPECT_EQ(list[0], "0 /dev/null");
    EXPECT_EQ(list[1], "1 /dev/null");
}

TEST_F(WinExecTest, FindsAProgramOnPathWhenNotBesideTheCaller)
{
    std::filesystem::create_symlink(testsupport::BinDir() + "/kernel_test_helper", dir_.file("varnex-path-probe"));
    setPath("/nonexistent:" + dir_.path());
    std::string out = dir_.file("args");
    std::string command = "varnex-path-probe.EXE write-args " + out + " from-path";
    EXPECT_GT(WinExec(command.c_str(), SW_SHOWDEFAULT), 31u);
    EXPECT_EQ(awaitFileLines(out), (Lines { "from-path" }));
}

TEST_F(WinExecTest, ProgramBesideTheCallerComesBeforePath)
{
    std::string impostor = dir_.file("kernel_test_helper");
    std::ofstream(impostor) << "#!/bin/sh\necho impostor > \"$2\"\n";
    ASSERT_EQ(chmod(impostor.c_str(), 0700), 0);
    setPath(dir_.path());
    std::string out = dir_.file("args");
    std::string command = "kernel_test_helper.exe write-args " + out + " beside";
    EXPECT_GT(WinExec(command.c_str(), SW_SHOWDEFAULT), 31u);
    EXPECT_EQ(awaitFileLines(out), (Lines { "beside" }));
}

TEST_F(WinExecTest, HookSeesTheCommandLineAndNothingStarts)
{
    std::string seen;
    uint32_t seenShow = 0;
    WinExecHook previous = SetWinExecHook([&](const std::string& CmdLine, uint32_t CmdShow) {
        seen = CmdLine;
        seenShow = CmdShow;
        return uint32_t(42);
    });
    EXPECT_FALSE(previous);
    std::string out = dir_.file("args");
    std::string command = "kernel_test_helper.exe write-args " + out + " hooked";
    EXPECT_EQ(WinExec(command.c_str(), 7), 42u);
    EXPECT_EQ(seen, command);
    EXPECT_EQ(seenShow, 7u);

    WinExecHook mine = SetWinExecHook({});
    ASSERT_TRUE(mine);
    EXPECT_EQ(mine("x", 1), 42u) << "the old hook is handed back";
    EXPECT_EQ(WinExec("varnex-no-such-program.exe", SW_SHOWDEFAULT), ERROR_FILE_NOT_FOUND) << "the real start is back";
    EXPECT_FALSE(std::filesystem::exists(out));
}

TEST_F(WinExecTest, AFileThatNeverComesIsNamedWithWhatItsFolderHolds)
{
    // A writer that began its file but never renamed it into place differs from one that never ran.
    std::string out = dir_.file("args");
    std::ofstream(out + ".tmp") << "half";
    EXPECT_NONFATAL_FAILURE(
        EXPECT_TRUE(awaitFileLines(out, 100).empty()),
        "waited 100 ms for " + out
            + ", which the started program writes in one piece; it never came. Its folder holds: args.tmp");
}

TEST_F(WinExecTest, ExecutablePathAndFolderNameThisProgram)
{
    EXPECT_EQ(ExecutablePath(), testsupport::BinDir() + "/kernel_tests");
    EXPECT_EQ(ExecutableDirectory(), testsupport::BinDir() + "/");
}

} // namespace
