//===- simulator_run_test.cpp - A whole measurement by the program against the simulator ---===//
#include "link/Varnex32.h"
#include "platform/gdi/Dib.h"
#include "tests/pdf/PdfTestSupport.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <spawn.h>
#include <sys/wait.h>

extern char** environ;

namespace {

namespace fs = std::filesystem;

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

/// The program reads its settings beside itself: it runs from a folder of the test's own, with
/// the libraries and the simulator of bin/ linked in.
std::string installProgram(const testsupport::TempDir& Dir)
{
    const fs::path bin = testsupport::BinDir();
    for (const auto& entry : fs::directory_iterator(bin))
        if (entry.path().extension() == ".so" || entry.path().filename() == "Kelmor32")
            fs::create_symlink(entry.path(), fs::path(Dir.path()) / entry.path().filename());
    const fs::path program = fs::path(Dir.path()) / "Tessaly";
    fs::copy_file(bin / "Tessaly", program);
    return program.string();
}

} // namespace

TEST(SimulatorRun, TheRunAidsRunAMeasurementAndSaveThePlotsAndTheReport)
{
    testsupport::TempDir dir;
    const std::string program = installProgram(dir);
    std::ofstream(dir.file("Tessaly.INI")) << "[Main]\nFreq=200\nCount=400\n";
    const std::string ini = dir.file("Kelmor32.INI");
    std::ofstream(ini) << "[Simulator]\nTimeScale=20\nBlinkPeriod=100\nIdleSeconds=20\n";
    const std::string shot = dir.file("tessaly.bmp");
    const std::string report = dir.file("report.pdf");

    std::vector<std::string> env = { "KELMOR32_INI=" + ini, "TESSALY_SCREENSHOT=" + shot,
                                     "TESSALY_REPORT=" + report, "ASAN_OPTIONS=detect_leaks=0",
                                     "QT_QPA_PLATFORM=offscreen" };
    for (char** e = environ; *e; ++e)
        if (std::strncmp(*e, "ASAN_OPTIONS=", 13) != 0 && std::strncmp(*e, "QT_QPA_PLATFORM=", 16) != 0)
            env.push_back(*e);
    std::vector<char*> envp;
    for (std::string& e : env)
        envp.push_back(e.data());
    envp.push_back(nullptr);
    char* argv[] = { const_cast<char*>(program.c_str()), nullptr };
    pid_t pid = -1;
    ASSERT_EQ(posix_spawn(&pid, program.c_str(), nullptr, nullptr, argv, envp.data()), 0);

    int status = 0;
    const bool ended = testsupport::WaitFor([&] { return waitpid(pid, &status, WNOHANG) == pid; }, 90000);
    if (!ended) {
        kill(pid, SIGKILL);
        waitpid(pid, nullptr, 0);
    }
    if (const HWND window = simulatorWindow(); window && IsWindow(window))
        PostMessage(window, WM_CLOSE, 0, 0);
    ASSERT_TRUE(ended) << "Tessaly did not finish its run";
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);

    const std::string bytes = testsupport::ReadFile(shot);
    auto picture = Dib::LoadBmp(std::span(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()));
    ASSERT_NE(picture, nullptr);
    EXPECT_EQ(picture->Width(), 475);
    EXPECT_EQ(picture->Height(), 450);
    // Both graphs hold their blue series: the histogram above, the energies below.
    auto bluePixels = [&](int Top, int Bottom) {
        int n = 0;
        for (int y = Top; y < Bottom; ++y)
            for (int x = 0; x < picture->Width(); ++x)
                n += picture->GetPixel(x, y) == 0xFF0000;
        return n;
    };
    EXPECT_GT(bluePixels(62, 254), 50) << "no histogram";
    EXPECT_GT(bluePixels(256, 450), 50) << "no energies";

    // The report of the run, written through Save.
    const auto info = pdftest::RunTool({ "pdfinfo", report });
    ASSERT_EQ(info.Status, 0) << info.Output;
    EXPECT_NE(info.Output.find("Pages:           1"), std::string::npos) << info.Output;
    EXPECT_EQ(pdftest::RunTool({ "qpdf", "--check", report }).Status, 0);
}
