//===- shell_execute_test.cpp - Opening documents and deleting files ------===//
#include "platform/kernel/FileCalls.h"

#include "tests/platform/kernel/HelperProcess.h"
#include "tests/support/TestSupport.h"

#include "platform/kernel/ShellExecute.h"
#include "platform/kernel/WinExec.h"

#include <gtest/gtest.h>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <sys/stat.h>

namespace {

class ShellExecuteTest : public ::testing::Test {
protected:
    void TearDown() override
    {
        SetShellExecuteHook({});
        if (!savedPath_.empty())
            setenv("PATH", savedPath_.c_str(), 1);
    }

    /// Puts an xdg-open first on PATH that writes the name it was given to "opened".
    void installOpener()
    {
        std::string script = dir_.file("xdg-open");
        std::ofstream(script) << "#!/bin/sh\nprintf '%s\\n' \"$1\" > \"" << dir_.file("opened") << ".tmp\"\n"
                              << "mv \"" << dir_.file("opened") << ".tmp\" \"" << dir_.file("opened") << "\"\n";
        chmod(script.c_str(), 0755);
        savedPath_ = std::getenv("PATH") ? std::getenv("PATH") : "/usr/bin:/bin";
        setenv("PATH", (dir_.path() + ":" + savedPath_).c_str(), 1);
    }

    testsupport::TempDir dir_;
    std::string savedPath_;
};

TEST_F(ShellExecuteTest, OpenHandsTheFileToTheDesktopOpener)
{
    installOpener();
    std::string document = dir_.file("Report \xE4.pdf"); // an ANSI name
    std::ofstream(dir_.file("Report \xC3\xA4.pdf")) << "%PDF";
    EXPECT_GT(ShellExecute(0, "open", document.c_str(), nullptr, nullptr, SW_SHOWNORMAL), 32u);
    EXPECT_EQ(kerneltest::awaitFileLines(dir_.file("opened")),
              std::vector<std::string> { dir_.file("Report \xC3\xA4.pdf") })
        << "the opener gets UTF-8";
}

TEST_F(ShellExecuteTest, UnknownVerbsAndMissingFilesAreRefused)
{
    installOpener();
    std::string document = dir_.file("here.pdf");
    std::ofstream(document) << "%PDF";
    struct Row {
        const char* Operation;
        std::string File;
        uintptr_t Expected;
    } rows[] = {
        { "print", document, SE_ERR_NOASSOC },
        { "open", dir_.file("missing.pdf"), ERROR_FILE_NOT_FOUND },
        { nullptr, "", ERROR_FILE_NOT_FOUND },
    };
    for (const Row& row : rows)
        EXPECT_EQ(ShellExecute(0, row.Operation, row.File.c_str(), nullptr, nullptr, SW_SHOWNORMAL), row.Expected)
            << (row.Operation ? row.Operation : "(no verb)") << " " << row.File;
    EXPECT_FALSE(std::filesystem::exists(dir_.file("opened"))) << "nothing was opened";
}

TEST_F(ShellExecuteTest, AHookSeesTheCallInsteadOfTheOpener)
{
    std::string seen;
    SetShellExecuteHook([&](const std::string& Operation, const std::string& File, const std::string&, int) {
        seen = Operation + " " + File;
        return uintptr_t(99);
    });
    EXPECT_EQ(ShellExecute(0, "open", "/nowhere/x.pdf", nullptr, nullptr, SW_SHOWNORMAL), 99u);
    EXPECT_EQ(seen, "open /nowhere/x.pdf");
}

TEST(DeleteFileTest, RemovesFilesOnly)
{
    testsupport::TempDir dir;
    std::string file = dir.file("gone.pdf");
    std::ofstream(file) << "x";
    EXPECT_TRUE(DeleteFile(file.c_str()));
    EXPECT_FALSE(std::filesystem::exists(file));
    EXPECT_FALSE(DeleteFile(file.c_str())) << "already gone";
    EXPECT_FALSE(DeleteFile(dir.path().c_str())) << "a folder";
    EXPECT_TRUE(std::filesystem::is_directory(dir.path()));
    EXPECT_FALSE(DeleteFile(nullptr));
}

} // namespace
