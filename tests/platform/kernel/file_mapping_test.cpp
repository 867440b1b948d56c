//===- file_mapping_test.cpp - Named blocks across real processes ---------===//
#include "platform/kernel/FileMapping.h"

#include "tests/platform/kernel/HelperProcess.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <csignal>
#include <memory>
#include <string>
#include <vector>

using kerneltest::HelperProcess;
using kerneltest::sessionFiles;

namespace {

constexpr uint32_t BlockSize = 4096;

class FileMappingTest : public ::testing::Test {
protected:
    void SetUp() override { testsupport::UsePrivateSession(); }
    // Every test ends with its users gone, so the last of them must have removed every file.
    void TearDown() override { EXPECT_EQ(sessionFiles(), std::vector<std::string>()); }

    static bool allZero(const void* Memory, size_t Size)
    {
        auto bytes = static_cast<const unsigned char*>(Memory);
        for (size_t i = 0; i < Size; ++i)
            if (bytes[i] != 0)
                return false;
        return true;
    }

    /// Opens the block in this process and checks that it was started afresh, zero-filled.
    void expectFreshBlock(const std::string& Name)
    {
        auto mapping = FileMapping::Create(Name, BlockSize);
        ASSERT_TRUE(mapping);
        EXPECT_TRUE(mapping->CreatedHere());
        void* view = mapping->MapView();
        ASSERT_TRUE(view);
        EXPECT_TRUE(allZero(view, BlockSize)) << "old contents handed to a new user";
    }
};

TEST_F(FileMappingTest, OneOfTwoProcessesCreatesAndTheOtherSeesItsData)
{
    HelperProcess first({ "serve" }), second({ "serve" });
    std::string created = first.ask("map shared 4096");
    EXPECT_EQ(created.rfind("created size=4096 first=0 zero=1", 0), 0u) << created;
    EXPECT_EQ(first.ask("write 5eed0001"), "ok");

    std::string opened = second.ask("map shared 4096");
    EXPECT_EQ(opened.rfind("opened size=4096 first=5eed0001 zero=0", 0), 0u) << opened;

    // And this process, a third user while both live, sees the same block.
    auto mapping = FileMapping::Create("shared", BlockSize);
    ASSERT_TRUE(mapping);
    EXPECT_FALSE(mapping->CreatedHere());
    auto* view = static_cast<uint32_t*>(mapping->MapView());
    ASSERT_TRUE(view);
    EXPECT_EQ(view[0], 0x5eed0001u);
    view[0] = 0x5eed0002;
    EXPECT_EQ(first.ask("map shared 4096").rfind("opened size=4096 first=5eed0002", 0), 0u);
}

TEST_F(FileMappingTest, BlockStartsAfreshWhenAllUsersEndedAndLeavesNoFiles)
{
    {
        HelperProcess first({ "serve" }), second({ "serve" });
        ASSERT_EQ(first.ask("map gone 4096").rfind("created", 0), 0u);
        ASSERT_EQ(first.ask("write abcd"), "ok");
        ASSERT_EQ(second.ask("map gone 4096").rfind("opened", 0), 0u);
        first.closeInput();
        second.closeInput();
        EXPECT_EQ(first.wait(), 0);
        EXPECT_EQ(second.wait(), 0);
    }
    EXPECT_EQ(sessionFiles(), std::vector<std::string>()) << "the last user leaves nothing behind";
    expectFreshBlock("gone");
    EXPECT_EQ(sessionFiles(), std::vector<std::string>());
}

TEST_F(FileMappingTest, KilledUserDoesNotKeepTheBlockAlive)
{
    HelperProcess killed({ "serve" }), ending({ "serve" });
    ASSERT_EQ(killed.ask("map crash 4096").rfind("created", 0), 0u);
    ASSERT_EQ(killed.ask("write dead"), "ok");
    ASSERT_EQ(ending.ask("map crash 4096").rfind("opened size=4096 first=dead", 0), 0u);
    killed.kill(SIGKILL);
    killed.wait();
    // The survivor still sees the block while it lives ...
    auto whileAlive = FileMapping::Create("crash", BlockSize);
    ASSERT_TRUE(whileAlive);
    EXPECT_FALSE(whileAlive->CreatedHere());
    whileAlive.reset();
    // ... and once it ends too, nothing of it is left for the next opener.
    ending.closeInput();
    EXPECT_EQ(ending.wait(), 0);
    expectFreshBlock("crash");
    EXPECT_EQ(sessionFiles(), std::vector<std::string>());
}

TEST_F(FileMappingTest, BlockLeftByCrashedProcessesIsNeverHandedOut)
{
    HelperProcess first({ "serve" }), second({ "serve" });
    ASSERT_EQ(first.ask("map stale 4096").rfind("created", 0), 0u);
    ASSERT_EQ(first.ask("write 57a1e"), "ok");
    ASSERT_EQ(second.ask("map stale 4096").rfind("opened", 0), 0u);
    first.kill(SIGKILL);
    first.wait();
    second.kill(SIGKILL);
    second.wait();
    EXPECT_FALSE(sessionFiles().empty()) << "crashed users cannot clean up; the next opener must";

    HelperProcess next({ "serve" });
    EXPECT_EQ(next.ask("map stale 4096").rfind("created size=4096 first=0 zero=1", 0), 0u);
    next.closeInput();
    EXPECT_EQ(next.wait(), 0);
    EXPECT_EQ(sessionFiles(), std::vector<std::string>());
}

TEST_F(FileMappingTest, ProcessesStartingTogetherSeeExactlyOneCreator)
{
    constexpr int Processes = 8;
    for (int round = 0; round < 6; ++round) {
        std::vector<std::unique_ptr<HelperProcess>> helpers;
        for (int i = 0; i < Processes; ++i)
            helpers.push_back(std::make_unique<HelperProcess>(std::vector<std::string> { "serve" }));
        // All are running and waiting for a command; they get it at nearly the same moment.
        std::string name = "race" + std::to_string(round);
        for (auto& helper : helpers)
            helper->send("map " + name + " 4096");
        int creators = 0;
        for (auto& helper : helpers) {
            std::string answer = helper->readLine();
            if (answer.rfind("created", 0) == 0)
                ++creators;
            else
                EXPECT_EQ(answer.rfind("opened", 0), 0u) << answer;
        }
        EXPECT_EQ(creators, 1) << "round " << round;
        for (auto& helper : helpers)
            helper->closeInput();
        for (auto& helper : helpers)
            EXPECT_EQ(helper->wait(), 0);
        EXPECT_EQ(sessionFiles(), std::vector<std::string>()) << "round " << round;
    }
}

TEST_F(FileMappingTest, BlockIsNeverStartedAfreshUnderALivingUser)
{
    constexpr int Processes = 8;
    std::vector<std::unique_ptr<HelperProcess>> helpers;
    for (int i = 0; i < Processes; ++i)
        helpers.push_back(std::make_unique<HelperProcess>(std::vector<std::string> { "serve" }));
    for (auto& helper : helpers)
        helper->send("churn churn 300");
    for (auto& helper : helpers) {
        std::string answer = helper->readLine();
        EXPECT_EQ(answer.rfind("ok ", 0), 0u) << answer;
    }
    EXPECT_EQ(sessionFiles(), std::vector<std::string>());
}

TEST_F(FileMappingTest, ViewLiesBelow4GiBInEveryProcess)
{
    auto mapping = FileMapping::Create("low", 3 * BlockSize);
    ASSERT_TRUE(mapping);
    void* view = mapping->MapView();
    ASSERT_TRUE(view);
    EXPECT_LE(uint64_t(reinterpret_cast<uintptr_t>(view)) + 3 * BlockSize, uint64_t(1) << 32);

    HelperProcess other({ "serve" });
    std::string answer = other.ask("map low 12288");
    size_t at = answer.find("addr=");
    ASSERT_NE(at, std::string::npos) << answer;
    uint64_t address = std::stoull(answer.substr(at + 5), nullptr, 16);
    EXPECT_NE(address, 0u);
    EXPECT_LE(address + 3 * BlockSize, uint64_t(1) << 32);
}

TEST_F(FileMappingTest, TwoHandlesInOneProcessShareTheBlock)
{
    auto first = FileMapping::Create("twice", BlockSize);
    auto second = FileMapping::Create("twice", BlockSize);
    ASSERT_TRUE(first && second);
    EXPECT_TRUE(first->CreatedHere());
    EXPECT_FALSE(second->CreatedHere());
    auto* a = static_cast<volatile uint32_t*>(first->MapView());
    auto* b = static_cast<volatile uint32_t*>(second->MapView());
    ASSERT_TRUE(a && b);
    EXPECT_NE(a, b);
    a[100] = 0x1234;
    EXPECT_EQ(b[100], 0x1234u);

    first.reset();
    // The second handle keeps the block alive on its own.
    auto third = FileMapping::Create("twice", BlockSize);
    ASSERT_TRUE(third);
    EXPECT_FALSE(third->CreatedHere());
    EXPECT_EQ(static_cast<uint32_t*>(third->MapView())[100], 0x1234u);
}

TEST_F(FileMappingTest, OpenerAskingForAnotherSizeGetsTheLivingBlock)
{
    auto creator = FileMapping::Create("sized", BlockSize);
    ASSERT_TRUE(creator);
    auto bigger = FileMapping::Create("sized", 4 * BlockSize);
    ASSERT_TRUE(bigger);
    EXPECT_FALSE(bigger->CreatedHere());
    EXPECT_EQ(bigger->Size(), BlockSize);
    EXPECT_TRUE(bigger->MapView());
}

TEST_F(FileMappingTest, ViewCanBeUnmappedOnceAndMappedAgain)
{
    auto mapping = FileMapping::Create("view", BlockSize);
    ASSERT_TRUE(mapping);
    EXPECT_FALSE(mapping->UnmapView()) << "no view yet";
    auto* view = static_cast<uint32_t*>(mapping->MapView());
    ASSERT_TRUE(view);
    EXPECT_EQ(mapping->MapView(), view) << "one view at a time";
    view[0] = 77;
    EXPECT_TRUE(mapping->UnmapView());
    EXPECT_FALSE(mapping->UnmapView());
    auto* again = static_cast<uint32_t*>(mapping->MapView());
    ASSERT_TRUE(again);
    EXPECT_EQ(again[0], 77u) << "unmapping keeps the block";
}

TEST_F(FileMappingTest, BlockTooLargeForTheLowRangeGivesNoView)
{
    auto mapping = FileMapping::Create("huge", 0xFFFFF000u);
    ASSERT_TRUE(mapping) << "the block itself costs nothing until it is touched";
    EXPECT_EQ(mapping->MapView(), nullptr);
    EXPECT_FALSE(mapping->UnmapView());
}

TEST_F(FileMappingTest, UnnamedBlocksArePrivate)
{
    auto first = FileMapping::Create("", BlockSize);
    auto second = FileMapping::Create("", BlockSize);
    ASSERT_TRUE(first && second);
    EXPECT_TRUE(first->CreatedHere());
    EXPECT_TRUE(second->CreatedHere());
    static_cast<uint32_t*>(first->MapView())[0] = 1;
    EXPECT_EQ(static_cast<uint32_t*>(second->MapView())[0], 0u);
    EXPECT_TRUE(sessionFiles().empty());
}

TEST_F(FileMappingTest, ImpossibleRequestsAnswerNull)
{
    EXPECT_FALSE(FileMapping::Create("empty", 0)) << "a block of no bytes";
    EXPECT_FALSE(FileMapping::Create(std::string(300, 'n'), BlockSize)) << "a name too long for a file";
    // A name with a slash is still one object, not a path.
    auto slashed = FileMapping::Create("a/b", BlockSize);
    ASSERT_TRUE(slashed);
    EXPECT_TRUE(slashed->CreatedHere());
    EXPECT_TRUE(slashed->MapView());
}

} // namespace
