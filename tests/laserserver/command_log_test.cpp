//===- command_log_test.cpp - The command log's lines ---===//
#include "laserserver/CommandLog.h"
#include "link/LinkRecords.h"
#include "tests/support/TestSupport.h"

#include <fstream>
#include <gtest/gtest.h>

namespace {

std::vector<std::string> ReadLines(const std::string& Path)
{
    std::ifstream in(Path);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

TEST(CommandLog, OneLinePerCommandVisibleAtOnceAndAppendedAcrossServers)
{
    testsupport::TempDir dir;
    const std::string path = dir.file("log");
    {
        CommandLog log(path);
        ASSERT_TRUE(log.IsOpen());
        log.Note("first server");
        log.Write(LaserCommand { 7, 12, cmd_hvset, 80 });
        // Flushed with every line: a reader sees it while the server runs.
        EXPECT_EQ(ReadLines(path), (std::vector<std::string> { "# first server", "12 0x1035 80 cmd_hvset" }));
    }
    CommandLog next(path);
    next.Write(LaserCommand { 7, 65520, 0xC123, 0x40001000 });
    next.Write(LaserCommand { 7, 1, 0x1FFF, 4294967295u });
    std::vector<std::string> lines = ReadLines(path);
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[2], "65520 0xC123 1073745920 cmd_extended");
    EXPECT_EQ(lines[3], "1 0x1FFF 4294967295 ");
}

TEST(CommandLog, WithoutAPathOrAWritableFileNothingIsLogged)
{
    CommandLog none("");
    EXPECT_FALSE(none.IsOpen());
    none.Write(LaserCommand { 1, 1, cmd_laseron, 0 }); // no effect, no crash
    CommandLog unwritable("/nonexistent-folder/log");
    EXPECT_FALSE(unwritable.IsOpen());
}

} // namespace
