//===- window_handles_test.cpp - Handles unique across the session's processes ===//
#include "platform/user/Messages.h"

#include "tests/platform/user/SessionTest.h"
#include "tests/platform/user/UserHelper.h"

#include <cerrno>
#include <memory>
#include <set>
#include <sys/stat.h>
#include <string>
#include <vector>

namespace {

class WindowHandles : public SessionTest {};

TEST_F(WindowHandles, ProcessesMakingWindowsAtOnceNeverCollide)
{
    constexpr int PerProcess = 50;
    std::vector<std::unique_ptr<UserHelper>> helpers;
    for (int i = 0; i < 4; ++i)
        helpers.push_back(
            std::make_unique<UserHelper>(std::vector<std::string> { "windows", std::to_string(PerProcess) }));
    std::vector<HWND> own;
    for (int i = 0; i < PerProcess; ++i)
        own.push_back(CreateWindowHandle(nullptr));

    // All are alive together: the helpers keep theirs until their input closes.
    std::multiset<HWND> all(own.begin(), own.end());
    for (auto& helper : helpers)
        for (const std::string& line : helper->answer())
            all.insert(static_cast<HWND>(std::stoul(line)));
    EXPECT_EQ(all.size(), size_t(5 * PerProcess));
    EXPECT_EQ(all.count(0), 0u);
    EXPECT_EQ(std::set<HWND>(all.begin(), all.end()).size(), all.size()) << "a handle was given twice";
    for (HWND window : all)
        EXPECT_TRUE(IsWindow(window)) << window;

    for (HWND window : own)
        EXPECT_TRUE(DestroyWindow(window));
}

TEST_F(WindowHandles, DestroyedHandleIsNotGivenAgain)
{
    HWND first = CreateWindowHandle(nullptr);
    ASSERT_NE(first, 0u);
    EXPECT_TRUE(IsWindow(first));
    EXPECT_TRUE(DestroyWindow(first));
    EXPECT_FALSE(IsWindow(first));
    EXPECT_FALSE(DestroyWindow(first)) << "twice";
    HWND second = CreateWindowHandle(nullptr);
    EXPECT_NE(second, first);
    EXPECT_TRUE(DestroyWindow(second));
}

TEST_F(WindowHandles, WindowsOfOtherProcessesCannotBeDestroyedHere)
{
    UserHelper owner({ "windows", "1" });
    HWND foreign = static_cast<HWND>(std::stoul(owner.answer1()));
    EXPECT_FALSE(DestroyWindow(foreign));
    EXPECT_TRUE(IsWindow(foreign));
    EXPECT_EQ(SetTimer(foreign, 1, 10), 0u) << "timers belong to the window's own process";
}

TEST_F(WindowHandles, AProcessEndingWithItsWindowsOpenTakesTheirFilesAlong)
{
    // A window of our own keeps the session in use, so no last user's sweep tidies up after the
    // helper: only the helper's own exit can.
    HWND own = CreateWindowHandle(nullptr);
    ASSERT_NE(own, 0u);
    UserHelper helper({ "windows", "3" });
    std::vector<std::string> paths;
    for (const std::string& line : helper.answer()) {
        HWND window = handleOf(line);
        paths.push_back(user_private::windowAddress(window).Address.sun_path);
        paths.push_back(user_private::bellAddress(window).Address.sun_path);
    }
    ASSERT_EQ(paths.size(), 6u);
    struct stat file {};
    for (const std::string& path : paths)
        ASSERT_EQ(stat(path.c_str(), &file), 0) << path;

    EXPECT_EQ(helper.wait(), 0) << "the helper ends normally once its input does";
    for (const std::string& path : paths)
        EXPECT_TRUE(stat(path.c_str(), &file) != 0 && errno == ENOENT) << path << " outlived its process";
    EXPECT_TRUE(DestroyWindow(own));
}

} // namespace
