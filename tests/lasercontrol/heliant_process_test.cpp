//===- heliant_process_test.cpp - The program and the simulator as real processes ---===//

#include "link/Varnex32.h"

#include "tests/lasercontrol/HeliantFixture.h"
#include "tests/support/TestSupport.h"

#include "platform/gdi/bitmaps/Dib.h"

#include <chrono>
#include <csignal>
#include <cstring>
#include <fstream>
#include <spawn.h>
#include <sstream>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

namespace {

/// Heliant started from bin/ with extra environment; killed when the object goes if it still runs.
class HeliantProcess {
public:
    explicit HeliantProcess(const std::vector<std::string>& Env)
    {
        // Qt's font database keeps fontconfig's caches to the end, which the leak check of a
        // sanitizer build would report as the program's.
        // The caller's entries come first, so that they win over the defaults (the first of a
        // name is the one a program reads).
        std::vector<std::string> env = Env;
        env.insert(env.end(), { "ASAN_OPTIONS=detect_leaks=0", "QT_QPA_PLATFORM=offscreen" });
        auto named = [&](const std::string& Entry) {
            const std::string name = Entry.substr(0, Entry.find('=') + 1);
            for (const std::string& e : env)
                if (e.compare(0, name.size(), name) == 0)
                    return true;
            return false;
        };
        for (char** e = environ; *e; ++e)
            if (!named(*e))
                env.push_back(*e);
        std::vector<char*> envp;
        for (std::string& e : env)
            envp.push_back(e.data());
        envp.push_back(nullptr);
        const std::string path = testsupport::BinDir() + "/Heliant";
        char* argv[] = { const_cast<char*>(path.c_str()), nullptr };
        if (posix_spawn(&pid_, path.c_str(), nullptr, nullptr, argv, envp.data()) != 0)
            pid_ = -1;
    }
    ~HeliantProcess()
    {
        if (pid_ > 0 && !ended_) {
            kill(pid_, SIGKILL);
            waitpid(pid_, nullptr, 0);
        }
    }
    bool Started() const { return pid_ > 0; }
    void Signal(int Number) { kill(pid_, Number); }
    /// The exit code once the program ended within the guard; -1 otherwise.
    int WaitForExit()
    {
        int status = 0;
        if (!testsupport::WaitFor([&] { return waitpid(pid_, &status, WNOHANG) == pid_; }))
            return -1;
        ended_ = true;
        return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    }

private:
    pid_t pid_ = -1;
    bool ended_ = false;
};

/// The simulator's window from the mark in the status it publishes; 0 without one.
HWND simulatorWindow()
{
    const LaserStatus* status = getstatuspointer();
    if (!status || status->serverReady == 0 || std::memcmp(status->rest, "K32S", 4) != 0)
        return 0;
    uint32_t window;
    std::memcpy(&window, status->rest + 4, sizeof window);
    return window;
}

class HeliantProcessTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ini = dir.file("Kelmor32.INI");
        std::ofstream(ini) << "[Simulator]\nBlinkPeriod=100\nStatusPeriod=100\nIdleSeconds=20\n";
    }
    void TearDown() override
    {
        const HWND window = simulatorWindow();
        if (window && IsWindow(window)) {
            PostMessage(window, WM_CLOSE, 0, 0);
            EXPECT_TRUE(testsupport::WaitFor([&] { return !IsWindow(window); })) << "the simulator did not close";
        }
    }

    testsupport::TempDir dir;
    std::string ini;
};

TEST_F(HeliantProcessTest, TheProgramShowsTheSimulatedLaserAndClosesWhenAskedTo)
{
    const std::string report = dir.file("panel.txt");
    HeliantProcess heliant({ "KELMOR32_INI=" + ini, "HELIANT_PANEL_REPORT=" + report });
    ASSERT_TRUE(heliant.Started());
    std::string state;
    const bool alive = testsupport::WaitFor([&] {
        state = testsupport::ReadFile(report);
        return state.find("Label_lastyp= KELMOR 248\n") != std::string::npos
               && state.find("led_onl=1\n") != std::string::npos && state.find("label_com=COM1\n") != std::string::npos;
    });
    EXPECT_TRUE(alive) << state;
    EXPECT_NE(state.find("Caption=Heliant 7.03              \n"), std::string::npos) << state;
    EXPECT_NE(state.find("registered=1\n"), std::string::npos);

    heliant.Signal(SIGTERM);
    EXPECT_EQ(heliant.WaitForExit(), 0);
    // Closing released the link: the simulator has no client left.
    EXPECT_TRUE(testsupport::WaitFor([] {
        LaserInfo info {};
        ServerNotice notice {};
        notice.type = ex_info;
        excommand(&notice, &info);
        return info.clientCount == 0;
    }));
}

TEST_F(HeliantProcessTest, TheScreenshotAidSavesThePanelAndEndsTheProgram)
{
    const std::string shot = dir.file("panel.bmp");
    HeliantProcess heliant({ "KELMOR32_INI=" + ini, "HELIANT_SCREENSHOT=" + shot });
    ASSERT_TRUE(heliant.Started());
    ASSERT_EQ(heliant.WaitForExit(), 0);
    const std::string file = testsupport::ReadFile(shot);
    std::string error;
    const std::unique_ptr<Dib> picture =
        Dib::LoadBmp(std::span<const uint8_t>(reinterpret_cast<const uint8_t*>(file.data()), file.size()), &error);
    ASSERT_NE(picture, nullptr) << error;
    EXPECT_EQ(picture->Width(), 451);
    EXPECT_EQ(picture->Height(), 266);
    // The simulated laser warms up for its first twenty seconds: the warm-up lamp is lit.
    EXPECT_EQ(picture->GetPixel(230, 11), COLORREF(0x00FFFF));
    // Yellow digits of the repetition rate in the operation panel.
    int lit = 0;
    for (int y = 39; y < 62; ++y)
        for (int x = 10; x < 50; ++x)
            lit += picture->GetPixel(x, y) == 0x00FFFF;
    EXPECT_GT(lit, 20);
}

} // namespace
