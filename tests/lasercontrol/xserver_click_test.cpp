//===- xserver_click_test.cpp - Heliant on a real X server, driven by xdotool ---===//
//
// The program runs on Xvfb through Qt's xcb platform beside the simulator; xdotool clicks and
// types where the form resource puts the controls, the simulator's command log shows what
// reached it, and Xvfb's own copy of its screen (-fbdir) shows what a person would see. (xwd's
// dump of the root window is no witness: it shows a top-level window over another of the program
// as a black rectangle.) The program's panel report (HELIANT_PANEL_REPORT) tells when the panel
// has taken a state, so that each click comes once the panel offers it. The panel's picture of
// the click run, taken from Xvfb's screen, is kept beside the test binaries.
//
#include "lasercontrol/TForm_main.h"

#include "controls/TMLCD.h"
#include "tests/lasercontrol/HeliantFixture.h"
#include "tests/support/ChildProcess.h"
#include "tests/support/Simulator.h"
#include "tests/support/TestSupport.h"

#include "platform/gdi/bitmaps/Dib.h"
#include "platform/ui/controls/StdCtrls.h"
#include "platform/ui/graphics/TBitmap.h"

#include <cerrno>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fcntl.h>
#include <fstream>
#include <random>
#include <signal.h>
#include <spawn.h>
#include <sstream>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

namespace {

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
    /// Whether the program has ended, with its exit status (128 + signal for a killed one).
    bool Ended(int& Status)
    {
        int raw = 0;
        if (!ended_ && pid_ > 0 && waitpid(pid_, &raw, WNOHANG) == pid_) {
            ended_ = true;
            status_ = WIFEXITED(raw) ? WEXITSTATUS(raw) : 128 + WTERMSIG(raw);
        }
        Status = status_;
        return ended_;
    }

private:
    pid_t pid_ = -1;
    bool ended_ = false;
    int status_ = -1;
};

/// The socket file of display Number.
std::string displaySocket(const std::string& Number) { return "/tmp/.X11-unix/X" + Number; }

/// An X client that speaks the connection setup itself, so that a test can hold a connection at
/// the step it wants. Each answer it waits for is bounded by a generous guard against a hung
/// server.
class BareXClient {
public:
    explicit BareXClient(const std::string& Number)
    {
        fd_ = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_un address {};
        address.sun_family = AF_UNIX;
        std::snprintf(address.sun_path, sizeof address.sun_path, "%s", displaySocket(Number).c_str());
        const timeval guard { 90, 0 };
        if (fd_ < 0 || ::setsockopt(fd_, SOL_SOCKET, SO_RCVTIMEO, &guard, sizeof guard) != 0
            || ::connect(fd_, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0)
            Close();
    }
    ~BareXClient() { Close(); }
    bool Connected() const { return fd_ >= 0; }
    void Close()
    {
        if (fd_ >= 0)
            ::close(fd_);
        fd_ = -1;
    }
    /// Sends the setup request (little-endian, protocol 11.0, no authorisation) and reads the
    /// server's answer whole; true when the server took the client.
    bool Setup()
    {
        const unsigned char request[12] = { 'l', 0, 11, 0, 0, 0, 0, 0, 0, 0, 0, 0 };
        unsigned char head[8];
        if (!put(request, sizeof request) || !get(head, sizeof head) || head[0] != 1)
            return false;
        std::string rest(size_t(head[6] | head[7] << 8) * 4, '\0');
        return get(rest.data(), rest.size());
    }

private:
    bool put(const void* Bytes, size_t Size)
    {
        return fd_ >= 0 && ::send(fd_, Bytes, Size, MSG_NOSIGNAL) == ssize_t(Size);
    }
    bool get(void* Bytes, size_t Size)
    {
        for (size_t got = 0; got < Size;) {
            const ssize_t n = fd_ < 0 ? -1 : ::recv(fd_, static_cast<char*>(Bytes) + got, Size - got, 0);
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0)
                return false; // dropped, or no answer within the guard
            got += size_t(n);
        }
        return true;
    }

    int fd_ = -1;
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

/// Where the shell finds Program; empty when it is not installed.
std::string pathOf(const std::string& Program)
{
    std::string path = output("command -v " + Program + " 2>/dev/null");
    path.erase(path.find_last_not_of("\n ") + 1);
    return path;
}

/// Connections waiting on the display's socket for the server to take them in (the kernel's
/// accept queue, as ss reads it); -1 when it cannot be told.
int waitingConnections(const std::string& Number)
{
    std::istringstream line(output("ss -xlnH src " + displaySocket(Number) + " 2>/dev/null"));
    std::string type, state;
    int queue = -1;
    line >> type >> state >> queue;
    return state == "LISTEN" ? queue : -1;
}

/// The screen in the XWD format that Xvfb keeps it in (ZPixmap, 24 or 32 bits per pixel); empty
/// when unreadable.
class ScreenPicture {
public:
    explicit ScreenPicture(const std::string& Bytes)
    {
        auto word = [&](size_t I) {
            const auto* b = reinterpret_cast<const unsigned char*>(Bytes.data()) + 4 * I;
            return uint32_t(b[0]) << 24 | uint32_t(b[1]) << 16 | uint32_t(b[2]) << 8 | b[3];
        };
        if (Bytes.size() < 100 || word(2) != 2 || (word(11) != 32 && word(11) != 24))
            return;
        width_ = int(word(4));
        height_ = int(word(5));
        bigEndian_ = word(7) != 0;
        bytesPerPixel_ = int(word(11)) / 8;
        stride_ = word(12);
        offset_ = size_t(word(0)) + size_t(word(19)) * 12;
        if (offset_ + size_t(stride_) * height_ > Bytes.size())
            width_ = height_ = 0;
        bytes_ = Bytes;
    }
    bool Empty() const { return width_ == 0; }
    /// 0xRRGGBB; black outside the picture.
    uint32_t At(int X, int Y) const
    {
        if (X < 0 || Y < 0 || X >= width_ || Y >= height_)
            return 0;
        const auto* p = reinterpret_cast<const unsigned char*>(bytes_.data()) + offset_ + size_t(Y) * stride_
                        + size_t(X) * bytesPerPixel_;
        uint32_t v = 0;
        for (int i = 0; i < bytesPerPixel_; ++i)
            v |= uint32_t(p[bigEndian_ ? bytesPerPixel_ - 1 - i : i]) << (8 * i);
        return v & 0xFFFFFF;
    }
    /// Saves the rectangle as a picture file (see TBitmap::SavePictureFile).
    bool Save(const TRect& R, const std::string& FileName) const
    {
        TBitmap picture;
        picture.SetPixelFormat(pf24bit);
        picture.SetSize(R.Width(), R.Height());
        if (Empty() || !picture.GetDib())
            return false;
        for (int y = R.Top; y < R.Bottom; ++y)
            for (int x = R.Left; x < R.Right; ++x) {
                const uint32_t rgb = At(x, y);
                picture.GetDib()->SetPixel(x - R.Left, y - R.Top, RGB(rgb >> 16, (rgb >> 8) & 0xFF, rgb & 0xFF));
            }
        return picture.SavePictureFile(FileName);
    }
    /// Pixels of Colour inside the rectangle.
    int Count(const TRect& R, uint32_t Colour) const
    {
        int n = 0;
        for (int y = R.Top; y < R.Bottom; ++y)
            for (int x = R.Left; x < R.Right; ++x)
                n += At(x, y) == Colour;
        return n;
    }

private:
    std::string bytes_;
    int width_ = 0, height_ = 0, bytesPerPixel_ = 4;
    uint32_t stride_ = 0;
    size_t offset_ = 0;
    bool bigEndian_ = false;
};

/// Heliant and the simulator on an Xvfb of the test's own.
class XServerTest : public HeliantTest {
protected:
    void SetUp() override
    {
        HeliantTest::SetUp();
        if (pathOf("Xvfb").empty() || pathOf("xdotool").empty())
            GTEST_SKIP() << "Xvfb and xdotool are needed (Debian packages xvfb, xdotool)";
    }
    void TearDown() override
    {
        // What the screen and the panel showed when the test failed.
        if (HasFailure() && xvfb) {
            const std::string picture = testsupport::BinDir() + "/../test-artifacts/xserver-failed-"
                                        + ::testing::UnitTest::GetInstance()->current_test_info()->name() + ".png";
            if (Screen().Save(Bounds(0, 0, 1280, 1024), picture))
                ADD_FAILURE() << "the screen is in " << picture << "; " << DisplayState() << "\nthe panel's report:\n"
                              << testsupport::ReadFile(report);
        }
        heliant.reset();
        // Heliant started the simulator, which would otherwise wait for a client that never comes.
        EXPECT_TRUE(testsupport::CloseSimulator()) << "the simulator did not close";
        endXvfb();
        releaseDisplay();
        HeliantTest::TearDown();
    }

    /// The middle (or the whole rectangle) of a control in the main form's client area, from
    /// the same form resource.
    TRect Place(TControl* C)
    {
        Form_main->Show();
        const TPoint p = C->ClientToScreen(Point(0, 0));
        const TPoint origin = Form_main->GetClientOrigin();
        Form_main->Hide();
        return Bounds(p.X - origin.X, p.Y - origin.Y, C->GetWidth(), C->GetHeight());
    }
    static TPoint Middle(const TRect& R) { return Point((R.Left + R.Right) / 2, (R.Top + R.Bottom) / 2); }

    /// Starts Xvfb on a display nobody uses and answers its number; empty when none could be had.
    /// Xvfb's own free-display search (-displayfd alone) races with Xvfb servers starting beside
    /// it, so the number is chosen here: one without an X lock file, claimed by a lock of ours
    /// that tests starting together respect, and given up for the next when Xvfb refuses it.
    std::string startXvfb()
    {
        std::mt19937 pick(std::random_device {}());
        for (int attempt = 0; attempt < 20; ++attempt) {
            const std::string number = std::to_string(100 + pick() % 800);
            if (std::filesystem::exists("/tmp/.X" + number + "-lock"))
                continue;
            releaseDisplay();
            if (!claimDisplay("/tmp/varnex-test-display-" + number))
                continue;
            displayNumber = number;
            // With a display given, -displayfd names it once Xvfb takes connections. A server
            // resets when its last client leaves and drops every connection not yet set up: the
            // tests' xdotool probes come and go while Heliant connects, so it must not reset.
            xvfb = std::make_unique<testsupport::ChildProcess>(
                std::vector<std::string> { pathOf("Xvfb"), ":" + number, "-displayfd", "1", "-noreset", "-screen", "0",
                                           "1280x1024x24", "-nolisten", "tcp", "-fbdir", dir.path() },
                std::vector<std::string> {}, dir.file("Xvfb.stderr"));
            std::string named;
            if (xvfb->tryReadLine(named) && named == number)
                return number;
            endXvfb();
        }
        releaseDisplay();
        return "";
    }
    /// What a test that could not use its display needs to know: the number, whether Xvfb runs
    /// and its socket file is there, and what Xvfb wrote on its standard error.
    std::string DisplayState()
    {
        std::ostringstream text;
        const std::string socket = displaySocket(displayNumber);
        text << "display :" << displayNumber << ", Xvfb " << (xvfb && xvfb->running() ? "runs" : "has ended")
             << ", its socket " << socket << (std::filesystem::exists(socket) ? " is there" : " is missing")
             << "; Xvfb's standard error:\n"
             << testsupport::ReadFile(dir.file("Xvfb.stderr"));
        return text.str();
    }
    void endXvfb()
    {
        // Ended as a person would end it, so that it takes its socket and lock file with it.
        if (xvfb) {
            xvfb->kill(SIGTERM);
            xvfb->wait();
            xvfb.reset();
        }
    }
    /// Takes the claim file exclusively. Its holder removes it before letting go, so a claim
    /// taken on a file that no longer has that name is no claim.
    bool claimDisplay(const std::string& Path)
    {
        displayClaim = ::open(Path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
        struct stat held, named;
        if (displayClaim >= 0 && ::flock(displayClaim, LOCK_EX | LOCK_NB) == 0 && ::fstat(displayClaim, &held) == 0
            && ::stat(Path.c_str(), &named) == 0 && held.st_dev == named.st_dev && held.st_ino == named.st_ino) {
            claimPath = Path;
            return true;
        }
        releaseDisplay();
        return false;
    }
    void releaseDisplay()
    {
        if (!claimPath.empty())
            ::unlink(claimPath.c_str());
        claimPath.clear();
        if (displayClaim >= 0)
            ::close(displayClaim);
        displayClaim = -1;
    }

    /// Starts the server, then Heliant beside a controller 182 with one laser head that offers
    /// ONLINE, starts offline and warms up at once; finds the client area on the screen.
    void Start(std::vector<std::string> ExtraEnv = {})
    {
        const std::string number = startXvfb();
        ASSERT_FALSE(number.empty()) << "no display could be had for Xvfb; the last one tried: " << DisplayState();
        const std::string name = ":" + number;
        env = "DISPLAY=" + name + " ";
        const std::string ini = dir.file("Kelmor32.INI");
        log = dir.file("commands.log");
        report = dir.file("panel.txt");
        std::ofstream(ini) << "[Laser]\nDeviceVersion=182\nStartOnline=0\n"
                              "[Simulator]\nBlinkPeriod=1000\nStatusPeriod=100\nIdleSeconds=20\nWarmupSeconds=0\n";
        std::vector<std::string> variables = { "DISPLAY=" + name,
                                               "QT_QPA_PLATFORM=xcb",
                                               "KELMOR32_INI=" + ini,
                                               "KELMOR32_LOG=" + log,
                                               "HELIANT_PANEL_REPORT=" + report,
                                               "ASAN_OPTIONS=detect_leaks=0" };
        variables.insert(variables.end(), ExtraEnv.begin(), ExtraEnv.end());
        heliant = std::make_unique<Child>(std::vector<std::string> { testsupport::BinDir() + "/Heliant" }, variables);
        ASSERT_TRUE(heliant->Started());

        std::string window;
        int status = -1;
        testsupport::WaitFor([&] {
            window = output(env + "xdotool search --onlyvisible --name '^Heliant 7.03' 2>/dev/null | head -1");
            return !window.empty() || heliant->Ended(status);
        });
        ASSERT_FALSE(window.empty()) << "no Heliant window on " << name << ": Heliant "
                                     << (heliant->Ended(status) ? "ended with status " + std::to_string(status)
                                                                : std::string("still runs after the guard of 90 s"))
                                     << " (its standard error is the test's); " << DisplayState();
        window.erase(window.find_last_not_of("\n ") + 1);
        const TRect frame = WindowRect(window);
        x = frame.Left;
        y = frame.Top;
        ASSERT_GE(x, 0) << "window " << window;
        ASSERT_GE(y, 0) << "window " << window;
        // Without a window manager the window has no frame; the menu bar lies above the client area.
        ASSERT_GE(frame.Height(), ShortClientHeight) << "window " << window;
        y += frame.Height() - ShortClientHeight;
        // The pointer starts in the middle of the screen, over the panel's buttons, where its
        // picture would stand among the pixels the tests look at.
        ASSERT_EQ(std::system((env + "xdotool mousemove --sync 0 0").c_str()), 0);
        // The panel takes its state from the simulator's notices; until then its buttons may
        // not be the ones it offers.
        ASSERT_TRUE(Panel({ "registered=1", "noConnection=0" }))
            << "the panel never showed the simulator's laser; its report:\n"
            << testsupport::ReadFile(report);
    }

    /// Waits until the panel's report holds every one of the lines.
    ::testing::AssertionResult Panel(const std::vector<std::string>& Lines)
    {
        return testsupport::WaitFor([&] {
            const std::string state = "\n" + testsupport::ReadFile(report);
            for (const std::string& line : Lines)
                if (state.find("\n" + line + "\n") == std::string::npos)
                    return false;
            return true;
        });
    }

    /// A window's rectangle on the screen, from xdotool; empty when it has none.
    TRect WindowRect(const std::string& Window)
    {
        int left = 0, top = 0, width = 0, height = 0;
        std::istringstream lines(output(env + "xdotool getwindowgeometry --shell " + Window));
        for (std::string line; std::getline(lines, line);) {
            const size_t at = line.find('=');
            const std::string key = line.substr(0, at), value = at == std::string::npos ? "" : line.substr(at + 1);
            if (key == "X")
                left = std::stoi(value);
            else if (key == "Y")
                top = std::stoi(value);
            else if (key == "WIDTH")
                width = std::stoi(value);
            else if (key == "HEIGHT")
                height = std::stoi(value);
        }
        return Bounds(left, top, width, height);
    }

    int Click(TPoint P)
    {
        return std::system(
            (env + "xdotool mousemove --sync " + std::to_string(x + P.X) + " " + std::to_string(y + P.Y) + " click 1")
                .c_str());
    }
    ::testing::AssertionResult Logged(const std::string& Text, int Milliseconds = 90000)
    {
        return testsupport::WaitFor([&] { return testsupport::ReadFile(log).find(Text) != std::string::npos; },
                                    Milliseconds);
    }
    ScreenPicture Screen() { return ScreenPicture(testsupport::ReadFile(dir.file("Xvfb_screen0"))); }
    /// A rectangle of the client area on the screen, without a button's bevel and focus frame.
    TRect Inside(const TRect& R, int Margin) const
    {
        return Rect(x + R.Left + Margin, y + R.Top + Margin, x + R.Right - Margin, y + R.Bottom - Margin);
    }

    std::string env, log, report;
    std::string displayNumber; // of the running Xvfb
    int x = -1, y = -1;
    int displayClaim = -1;
    std::string claimPath; // set while displayClaim holds the claim
    std::unique_ptr<testsupport::ChildProcess> xvfb;
    std::unique_ptr<Child> heliant;
};

TEST_F(XServerTest, AClientConnectingAsTheLastOneLeavesIsServed)
{
    // Heliant connects while the test's xdotool probes come and go. A server that resets when its
    // last client leaves drops a connection that is not set up yet, and Heliant then ends with
    // "could not connect to display".
    if (pathOf("ss").empty())
        GTEST_SKIP() << "ss is needed to see the server take a connection in (Debian package iproute2)";
    const std::string number = startXvfb();
    ASSERT_FALSE(number.empty()) << "no display could be had for Xvfb; the last one tried: " << DisplayState();
    BareXClient last(number);
    ASSERT_TRUE(last.Setup()) << DisplayState();
    BareXClient connecting(number);
    ASSERT_TRUE(connecting.Connected()) << DisplayState();
    ASSERT_TRUE(testsupport::WaitFor([&] { return waitingConnections(number) == 0; }))
        << "the server never took in the second connection; " << DisplayState();
    last.Close();
    // Set up after the server has seen the last client go: its end was there before this one came.
    BareXClient later(number);
    EXPECT_TRUE(later.Setup()) << "a client that came after the last one left; " << DisplayState();
    EXPECT_TRUE(connecting.Setup()) << "a client that connected before the last one left; " << DisplayState();
}

TEST_F(XServerTest, OnlineAndLaserOnClickedOnTheScreenReachTheSimulator)
{
    const TPoint online = Middle(Place(Form_main->btn_onl));
    const TPoint laserOn = Middle(Place(Form_main->btn_lason));
    const std::string artifacts = testsupport::BinDir() + "/../test-artifacts";
    std::filesystem::create_directories(artifacts);
    const std::string shot = artifacts + "/heliant_xserver_clicks.png";
    std::filesystem::remove(shot);
    ASSERT_NO_FATAL_FAILURE(Start());

    ASSERT_EQ(Click(online), 0);
    ASSERT_TRUE(Logged("cmd_online")) << "log:\n" << testsupport::ReadFile(log);
    // LASER ON is offered once the panel has seen the laser online and ready.
    ASSERT_TRUE(Panel({ "led_onl=1", "led_lready=1" }))
        << "the panel never showed the laser online and ready; its report:\n"
        << testsupport::ReadFile(report);
    ASSERT_EQ(Click(laserOn), 0);
    EXPECT_TRUE(Logged("cmd_laseron")) << "log:\n" << testsupport::ReadFile(log);
    EXPECT_TRUE(Panel({ "led_lon=1" })) << "the laser-on lamp never lit; the panel's report:\n"
                                        << testsupport::ReadFile(report);
    const TRect client = Inside(Bounds(0, 0, Form_main->GetClientWidth(), ShortClientHeight), 0);
    EXPECT_TRUE(testsupport::WaitFor([&] { return Screen().Save(client, shot); })) << shot;
}

TEST_F(XServerTest, WithoutAKeptPositionTheWindowOpensInTheMiddleOfTheScreen)
{
    if (std::filesystem::exists(testsupport::BinDir() + "/Heliant.INI"))
        GTEST_SKIP() << "a settings file beside the program keeps a position";
    ASSERT_NO_FATAL_FAILURE(Start());
    std::string window = output(env + "xdotool search --onlyvisible --name '^Heliant 7.03' 2>/dev/null | head -1");
    window.erase(window.find_last_not_of("\n ") + 1);
    const TRect r = WindowRect(window);
    // The screen is 1280 x 1024; without a window manager the window is the form inside the
    // frame and caption that the form counts in its size.
    EXPECT_NEAR((r.Left + r.Right) / 2, 640, 4);
    EXPECT_NEAR((r.Top + r.Bottom) / 2, 512, 16);
}

TEST_F(XServerTest, ADisabledButtonShowsGreyEtchedTextOnTheButtonFace)
{
    // Offline without high voltage: ONLINE is live, LASER OFF is not.
    const TRect online = Place(Form_main->btn_onl);
    const TRect laserOff = Place(Form_main->btn_lasoff);
    ASSERT_NO_FATAL_FAILURE(Start());
    constexpr uint32_t Black = 0x000000, Grey = 0x808080, White = 0xFFFFFF, Face = 0xC0C0C0;
    ScreenPicture screen("");
    // The panel takes its form from the simulator's first notices.
    const ::testing::AssertionResult settled = testsupport::WaitFor([&] {
        screen = Screen();
        return !screen.Empty() && screen.Count(Inside(online, 4), Black) > 0
               && screen.Count(Inside(laserOff, 4), Grey) > 0;
    });
    ASSERT_FALSE(screen.Empty()) << "Xvfb kept no picture of its screen";
    EXPECT_TRUE(settled) << "ONLINE's text is black and LASER OFF's grey";
    const TRect live = Inside(online, 4), dead = Inside(laserOff, 4);
    EXPECT_EQ(screen.Count(live, Grey), 0) << "enabled text is not grey";
    EXPECT_EQ(screen.Count(dead, Black), 0) << "disabled text is not black";
    EXPECT_GT(screen.Count(dead, White), 0) << "the etched highlight under the grey text";
    // Both faces are the button-face grey, not white.
    EXPECT_GT(screen.Count(live, Face), live.Width() * live.Height() / 2);
    EXPECT_GT(screen.Count(dead, Face), dead.Width() * dead.Height() / 2);
}

TEST_F(XServerTest, TypingInTheRepetitionRateDialogReplacesTheShownValue)
{
    const TPoint online = Middle(Place(Form_main->btn_onl));
    const TPoint repRate = Middle(Place(Form_main->LCD_Hz));
    ASSERT_NO_FATAL_FAILURE(Start());
    ASSERT_EQ(Click(online), 0);
    ASSERT_TRUE(Logged("cmd_online")) << "log:\n" << testsupport::ReadFile(log);
    // The dialog opens only once the panel knows the laser is online.
    ASSERT_TRUE(Panel({ "led_onl=1" })) << "the panel never showed the laser online; its report:\n"
                                        << testsupport::ReadFile(report);
    ASSERT_EQ(Click(repRate), 0);
    std::string dialog;
    ASSERT_TRUE(testsupport::WaitFor([&] {
        dialog = output(env + "xdotool search --onlyvisible --name '^Input repetition rate' 2>/dev/null | head -1");
        return !dialog.empty();
    })) << "no repetition-rate dialog";
    dialog.erase(dialog.find_last_not_of("\n ") + 1);
    // The modal dialog is painted: its face is the button-face grey, not the black of a window
    // nothing has drawn on.
    const TRect box = WindowRect(dialog);
    ASSERT_GT(box.Width() * box.Height(), 0) << "no geometry for the dialog";
    EXPECT_NEAR((box.Left + box.Right) / 2, 640, 4) << "the dialog is centred on the screen";
    EXPECT_NEAR((box.Top + box.Bottom) / 2, 512, 16);
    ScreenPicture screen("");
    EXPECT_TRUE(testsupport::WaitFor([&] {
        screen = Screen();
        return screen.Count(box, 0xC0C0C0) > box.Width() * box.Height() / 2;
    })) << "the dialog is not painted; black pixels: "
        << screen.Count(box, 0x000000);
    ASSERT_EQ(std::system((env + "xdotool windowfocus --sync " + dialog + " type --delay 50 75").c_str()), 0);
    ASSERT_EQ(std::system((env + "xdotool key Return").c_str()), 0);
    EXPECT_TRUE(Logged(" 75 cmd_reprate")) << "log:\n" << testsupport::ReadFile(log);
}

} // namespace
