//===- registered_messages_test.cpp - Message numbers shared by name across processes ===//
#include "platform/user/Messages.h"

#include "tests/platform/user/SessionTest.h"
#include "tests/platform/user/UserHelper.h"

#include <algorithm>
#include <csignal>
#include <fcntl.h>
#include <memory>
#include <set>
#include <string>
#include <unistd.h>
#include <vector>

using namespace user_private;

namespace {

class RegisteredMessages : public SessionTest {
protected:
    static UINT toNumber(const std::string& line) { return static_cast<UINT>(std::stoul(line)); }

    static std::vector<UINT> registerInHelper(const std::vector<std::string>& names)
    {
        std::vector<std::string> args { "register" };
        args.insert(args.end(), names.begin(), names.end());
        UserHelper helper(args);
        std::vector<UINT> numbers;
        for (const std::string& line : helper.answer())
            numbers.push_back(toNumber(line));
        EXPECT_EQ(helper.wait(), 0);
        return numbers;
    }

    /// Appends raw bytes to the session's table, as a writer that died would leave them.
    static void appendToTable(const std::string& bytes)
    {
        UniqueFd table = openRegisteredMessageTable();
        ASSERT_TRUE(table);
        off_t end = lseek(table.get(), 0, SEEK_END);
        ASSERT_EQ(pwrite(table.get(), bytes.data(), bytes.size(), end), static_cast<ssize_t>(bytes.size()));
    }
};

TEST_F(RegisteredMessages, TwoProcessesGetTheSameNumbersWithoutRegardToCase)
{
    // The numbers last while a process of the session uses the table; this one does throughout.
    ASSERT_TRUE(openRegisteredMessageTable());
    std::vector<UINT> first = registerInHelper({ "VarnexLinkMessage", "VarnexServerMessage" });
    std::vector<UINT> second = registerInHelper({ "varnexservermessage", "VARNEXLINKMESSAGE", "Other" });
    ASSERT_EQ(first.size(), 2u);
    ASSERT_EQ(second.size(), 3u);

    EXPECT_EQ(second[1], first[0]);
    EXPECT_EQ(second[0], first[1]);
    EXPECT_EQ(RegisterWindowMessage("VarnexLinkMessage"), first[0]) << "the test process itself";
    std::set<UINT> distinct { first[0], first[1], second[2] };
    EXPECT_EQ(distinct.size(), 3u) << "different names never share a number";
    for (UINT n : distinct) {
        EXPECT_GE(n, 0xC000u);
        EXPECT_LE(n, 0xFFFFu);
    }
}

TEST_F(RegisteredMessages, ProcessesRegisteringAtOnceAgree)
{
    std::vector<std::string> names;
    for (int i = 0; i < 30; ++i)
        names.push_back("Name" + std::to_string(i));
    std::vector<std::string> reversed(names.rbegin(), names.rend());

    // Started together, so the registrations of the four processes interleave.
    std::vector<std::unique_ptr<UserHelper>> helpers;
    for (int i = 0; i < 4; ++i) {
        std::vector<std::string> args { "register" };
        const std::vector<std::string>& order = i % 2 ? reversed : names;
        args.insert(args.end(), order.begin(), order.end());
        helpers.push_back(std::make_unique<UserHelper>(args));
    }
    std::vector<std::vector<UINT>> results;
    for (auto& helper : helpers) {
        std::vector<UINT> numbers;
        for (const std::string& line : helper->answer())
            numbers.push_back(toNumber(line));
        ASSERT_EQ(numbers.size(), names.size());
        if (results.size() % 2)
            std::reverse(numbers.begin(), numbers.end());
        results.push_back(numbers);
    }
    for (size_t i = 1; i < results.size(); ++i)
        EXPECT_EQ(results[i], results[0]) << "helper " << i;
    EXPECT_EQ(std::set<UINT>(results[0].begin(), results[0].end()).size(), names.size());
    EXPECT_EQ(std::count(results[0].begin(), results[0].end(), 0u), 0);
}

TEST_F(RegisteredMessages, NumberOfAKilledRegistrantStaysWhileTheSessionLives)
{
    ASSERT_TRUE(openRegisteredMessageTable());
    UserHelper helper({ "register", "LaserNotice" });
    UINT number = toNumber(helper.answer1());
    ASSERT_NE(number, 0u);
    helper.kill(SIGKILL);
    EXPECT_EQ(helper.wait(), 128 + SIGKILL);

    UINT other = RegisterWindowMessage("AnotherNotice");
    EXPECT_EQ(RegisterWindowMessage("lasernotice"), number);
    EXPECT_NE(other, number);
}

TEST_F(RegisteredMessages, LockOfAKilledProcessIsReleased)
{
    UINT before = RegisterWindowMessage("BeforeTheCrash");
    UserHelper holder({ "hold-table-lock" });
    ASSERT_EQ(holder.answer1(), "locked");
    holder.kill(SIGKILL);
    holder.wait();

    // Would wait for ever if the dead holder's lock stayed.
    EXPECT_EQ(RegisterWindowMessage("BeforeTheCrash"), before);
    EXPECT_EQ(RegisterWindowMessage("AfterTheCrash"), before + 1);
}

TEST_F(RegisteredMessages, RecordCutShortByADyingWriterIsDropped)
{
    UINT first = RegisterWindowMessage("First");
    appendToTable(std::string("\x0A") + "Trun"); // says 10 bytes, holds 4
    EXPECT_EQ(RegisterWindowMessage("FIRST"), first);
    UINT second = RegisterWindowMessage("Second");
    EXPECT_EQ(second, first + 1) << "the torn record must not take a number";
    EXPECT_EQ(RegisterWindowMessage("second"), second);
}

TEST_F(RegisteredMessages, BadNamesAnswerZeroAndLoseNothing)
{
    UINT kept = RegisterWindowMessage("Kept");
    EXPECT_EQ(RegisterWindowMessage(""), 0u);
    EXPECT_EQ(RegisterWindowMessage(std::string(256, 'x')), 0u);
    UINT longest = RegisterWindowMessage(std::string(255, 'x'));
    EXPECT_NE(longest, 0u);
    EXPECT_EQ(RegisterWindowMessage(std::string(255, 'X')), longest);
    EXPECT_EQ(RegisterWindowMessage("Kept"), kept);
}

TEST_F(RegisteredMessages, AnyBytesMakeAName)
{
    std::string withNul("a\0b", 3);
    UINT nul = RegisterWindowMessage(withNul);
    EXPECT_NE(nul, 0u);
    EXPECT_NE(RegisterWindowMessage("a"), nul) << "the NUL is part of the name";
    EXPECT_EQ(RegisterWindowMessage(withNul), nul);
    // Windows-1252 letters fold too: "ÄRGER" and "ärger", "ŠŒŽŸ" and "šœžÿ".
    EXPECT_EQ(RegisterWindowMessage("\xC4RGER"), RegisterWindowMessage("\xE4rger"));
    EXPECT_EQ(RegisterWindowMessage("\x8A\x8C\x8E\x9F"), RegisterWindowMessage("\x9A\x9C\x9E\xFF"));
    EXPECT_NE(RegisterWindowMessage("\xD7"), RegisterWindowMessage("\xF7")) << "x and / signs are no letters";
}

TEST_F(RegisteredMessages, FullTableAnswersZeroAndKeepsTheOldNumbers)
{
    std::string records;
    for (size_t i = 0; i < MaxRegisteredMessages; ++i) {
        std::string name = "n" + std::to_string(i);
        records += static_cast<char>(name.size()) + name;
    }
    appendToTable(records);
    EXPECT_EQ(RegisterWindowMessage("n0"), 0xC000u);
    EXPECT_EQ(RegisterWindowMessage("N16383"), 0xFFFFu);
    EXPECT_EQ(RegisterWindowMessage("OneTooMany"), 0u);
}

} // namespace
