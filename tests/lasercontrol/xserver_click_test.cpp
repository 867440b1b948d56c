//===- xserver_click_test.cpp - Heliant on a real X server, clicked by xdotool ---===//
//
// The program runs on Xvfb through Qt's xcb platform beside the simulator; xdotool clicks ONLINE
// and LASER ON where the form resource puts them, and the simulator's command log must show both
// commands. The panel's picture of that run is kept beside the test binaries.
//
#include "lasercontrol/TForm_main.h"

#include "platform/ui/StdCtrls.h"
#include "tests/lasercontrol/HeliantFixture.h"
#include "tests/support/TestSupport.h"

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <signal.h>
#include <spawn.h>
#include <sstream>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

namespace {

bool onPath(const std::string& Program)
{
    return std::system(("command -v " + Program + " >/dev/null 2>&1").c_str()) == 0;
}

/// A child process with extra environment entries in front; killed when the object goes.
class Child {
public:
    Child(const std::vector<std::string>& Argv, const std::vector<std::string>& Env)
    {
        std::vector<std::string> env = Env;
        for (char** e = environ; *e; ++e)
            env.push_back(*e);
        std::vector<char*> envp;
        for (std::string& e : env)
            envp.push_back(e.data());
        envp.push_back(nullptr);
        std::vector<std::string> args = Argv;
        std::vector<char*> argv;
        for (std::string& a : args)
            argv.push_back(a.data());
        argv.push_back(nullptr);
        if (posix_spawnp(&pid_, argv[0], nullptr, nullptr, argv.data(), envp.data()) != 0)
            pid_ = -1;
    }
    ~Child()
    {
        if (pid_ > 0 && waitpid(pid_, nullptr, WNOHANG) == 0) {
            kill(pid_, SIGTERM);
            waitpid(pid_, nullptr, 0);
        }
    }
    bool Started() const { return pid_ > 0; }

private:
    pid_t pid_ = -1;
};

/// Runs a command and answers its output; empty on failure.
std::string output(const std::string& Command)
{
    std::string text;
    if (FILE* pipe = popen(Command.c_str(), "r")) {
        char buffer[256];
        while (size_t n = fread(buffer, 1, sizeof buffer, pipe))
            text.append(buffer, n);
        pclose(pipe);
    }
    return text;
}

class XServerClickTest : public HeliantTest { };

TEST_F(XServerClickTest, OnlineAndLaserOnClickedOnTheScreenReachTheSimulator)
{
    if (!onPath("Xvfb") || !onPath("xdotool"))
        GTEST_SKIP() << "Xvfb and xdotool are needed (Debian packages xvfb and xdotool)";

    // Where the buttons lie in the main form's client area, from the same form resource.
    Form_main->Show();
    auto offset = [&](TControl* C) {
        const TPoint p = C->ClientToScreen(Point(C->GetWidth() / 2, C->GetHeight() / 2));
        const TPoint origin = Form_main->GetClientOrigin();
        return Point(p.X - origin.X, p.Y - origin.Y);
    };
    const TPoint online = offset(Form_main->btn_onl);
    const TPoint laserOn = offset(Form_main->btn_lason);
    Form_main->Hide();

    const int display = 100 + int(getpid() % 800);
    const std::string name = ":" + std::to_string(display);
    Child xvfb({ "Xvfb", name, "-screen", "0", "1280x1024x24", "-nolisten", "tcp" }, {});
    ASSERT_TRUE(xvfb.Started());
    ASSERT_TRUE(testsupport::WaitFor([&] { return std::filesystem::exists("/tmp/.X11-unix/X" + std::to_string(display)); }));

    // A controller 182 with one laser head offers ONLINE; it starts offline and warms up at once.
    const std::string ini = dir.file("Kelmor32.INI");
    const std::string log = dir.file("commands.log");
    std::ofstream(ini) << "[Laser]\nDeviceVersion=182\nStartOnline=0\n"
                          "[Simulator]\nBlinkPeriod=1000\nStatusPeriod=100\nIdleSeconds=20\nWarmupSeconds=0\n";
    const std::string artifacts = testsupport::BinDir() + "/../test-artifacts";
    std::filesystem::create_directories(artifacts);
    const std::string shot = artifacts + "/heliant_xserver_clicks.png";
    std::filesystem::remove(shot);
    const std::string path = testsupport::BinDir() + "/Heliant";
    Child heliant({ path }, { "DISPLAY=" + name, "QT_QPA_PLATFORM=xcb", "KELMOR32_INI=" + ini, "KELMOR32_LOG=" + log,
                              "HELIANT_SCREENSHOT=" + shot, "ASAN_OPTIONS=detect_leaks=0" });
    ASSERT_TRUE(heliant.Started());

    const std::string env = "DISPLAY=" + name + " ";
    std::string window;
    ASSERT_TRUE(testsupport::WaitFor([&] {
        window = output(env + "xdotool search --onlyvisible --name '^Heliant 7.03' 2>/dev/null | head -1");
        return !window.empty();
    })) << "no Heliant window on " << name;
    window.erase(window.find_last_not_of("\n ") + 1);
    const std::string geometry = output(env + "xdotool getwindowgeometry --shell " + window);
    int x = -1, y = -1, height = 0;
    std::istringstream lines(geometry);
    for (std::string line; std::getline(lines, line);) {
        if (line.rfind("X=", 0) == 0)
            x = std::stoi(line.substr(2));
        if (line.rfind("Y=", 0) == 0)
            y = std::stoi(line.substr(2));
        if (line.rfind("HEIGHT=", 0) == 0)
            height = std::stoi(line.substr(7));
    }
    ASSERT_GE(x, 0) << geometry;
    ASSERT_GE(y, 0) << geometry;
    // Without a window manager the window has no frame; the menu bar lies above the client area.
    ASSERT_GE(height, ShortClientHeight) << geometry;
    y += height - ShortClientHeight;

    auto click = [&](TPoint P) {
        return std::system((env + "xdotool mousemove --sync " + std::to_string(x + P.X) + " " + std::to_string(y + P.Y)
                               + " click 1")
                               .c_str());
    };
    // The simulator writes its log once it is up; the first click waits for it.
    ASSERT_TRUE(testsupport::WaitFor([&] { return std::filesystem::exists(log); }));
    ASSERT_EQ(click(online), 0);
    ASSERT_TRUE(testsupport::WaitFor([&] { return testsupport::ReadFile(log).find("cmd_online") != std::string::npos; }, 10000))
        << "log:\n" << testsupport::ReadFile(log);
    ASSERT_EQ(click(laserOn), 0);
    EXPECT_TRUE(testsupport::WaitFor([&] { return testsupport::ReadFile(log).find("cmd_laseron") != std::string::npos; }, 10000))
        << "log:\n" << testsupport::ReadFile(log);
    // The screenshot aid saves the panel and closes the program.
    EXPECT_TRUE(testsupport::WaitFor([&] { return std::filesystem::exists(shot); })) << shot;
}

} // namespace
