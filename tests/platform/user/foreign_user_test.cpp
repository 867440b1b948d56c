//===- foreign_user_test.cpp - Windows and session files out of other users' reach ===//
#include "platform/user/Messages.h"

#include "tests/platform/user/SessionTest.h"
#include "tests/platform/user/UserHelper.h"
#include "tests/support/OtherUser.h"

#include "platform/kernel/SessionNames.h"

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

namespace {

using namespace user_private;

std::string hexOf(const WindowAddress& Address)
{
    std::string hex;
    const auto* bytes = reinterpret_cast<const unsigned char*>(&Address.Address);
    for (socklen_t i = 0; i < Address.Length; ++i) {
        char pair[3];
        std::snprintf(pair, sizeof pair, "%02x", bytes[i]);
        hex += pair;
    }
    return hex;
}

/// The files of the current session wherever named objects were ever kept.
std::vector<std::string> sessionLeftovers()
{
    const std::string session = std::getenv("VARNEX_SESSION");
    std::vector<std::string> found;
    std::error_code none;
    for (const std::string& folder : { SessionObjectFolder(), std::string("/dev/shm") })
        for (const auto& entry : std::filesystem::directory_iterator(folder, none))
            if (std::string name = entry.path().filename().string();
                name.find("-" + session + "-") != std::string::npos)
                found.push_back(name);
    return found;
}

class ForeignUser : public SessionTest {};

TEST_F(ForeignUser, AnotherUserCanNeitherPostToAWindowNorTakeItsNames)
{
    const std::string helper = testsupport::BinDir() + "/user_test_helper";
    if (std::string why = testsupport::WhyNoOtherUser(helper); !why.empty())
        GTEST_SKIP() << why;
    UserHelper receiver({ "windows", "1" });
    const HWND window = handleOf(receiver.answer1());
    ASSERT_NE(window, 0u);

    // A close posted as a bare datagram to the window and to its bell, and the names of the
    // window's bell and of the next window taken by binding them first.
    struct Attempt {
        const char* action;
        WindowAddress to;
    };
    const std::vector<Attempt> attempts {
        { "send", windowAddress(window) },
        { "send", bellAddress(window) },
        { "bind", windowAddress(window + 1) },
        { "bind", bellAddress(window + 1) },
    };
    for (const Attempt& attempt : attempts) {
        testsupport::ChildProcess other(
            testsupport::AsOtherUser(testsupport::CommandLine(helper, { "raw", attempt.action, hexOf(attempt.to) })));
        std::vector<std::string> answer = other.answer();
        other.closeInput();
        ASSERT_EQ(answer.size(), 1u);
        EXPECT_EQ(answer[0], "failed " + std::to_string(EACCES))
            << attempt.action << " " << attempt.to.Address.sun_path;
        EXPECT_EQ(other.wait(), 0);
    }

    // The user's own post, made after the other's attempts, is the first the window gets.
    ASSERT_TRUE(PostMessage(window, WM_USER + 5, 55, 0));
    receiver.send("get 1");
    std::vector<Received> got = parseReceived(receiver.answer());
    ASSERT_EQ(got.size(), 1u);
    EXPECT_EQ(got[0].message, WM_USER + 5) << "another user's datagram reached the window";
}

TEST_F(ForeignUser, TheLastProcessOfASessionLeavesNoFilesEvenAfterACrash)
{
    // A process that dies with windows open cannot remove its sockets; the next one to use the
    // session's handle counter while nobody else does tidies them away.
    {
        UserHelper crashing({ "windows", "2" });
        ASSERT_EQ(crashing.answer().size(), 2u);
        crashing.kill(SIGKILL);
    }
    UserHelper windows({ "windows", "3" });
    UserHelper names({ "register", "wm_excimerapp32", "wm_excimerdll32" });
    ASSERT_EQ(windows.answer().size(), 3u);
    ASSERT_EQ(names.answer().size(), 2u);
    EXPECT_FALSE(sessionLeftovers().empty()) << "the living processes keep their files";
    EXPECT_EQ(windows.finish(), 0);
    EXPECT_EQ(names.finish(), 0);
    EXPECT_EQ(sessionLeftovers(), std::vector<std::string>());
}

} // namespace
