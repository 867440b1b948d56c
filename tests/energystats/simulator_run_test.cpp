//===- simulator_run_test.cpp - A whole measurement by the program against the simulator ---===//
#include "platform/gdi/bitmaps/Dib.h"
#include "tests/pdf/PdfTestSupport.h"
#include "tests/support/ProgramProcess.h"
#include "tests/support/Simulator.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace {

namespace fs = std::filesystem;

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

    testsupport::ProgramProcess tessaly(
        program, { "KELMOR32_INI=" + ini, "TESSALY_SCREENSHOT=" + shot, "TESSALY_REPORT=" + report });
    ASSERT_TRUE(tessaly.Started());
    const int exitCode = tessaly.WaitForExit(90000);
    testsupport::CloseSimulator();
    ASSERT_NE(exitCode, -1) << "Tessaly did not finish its run";
    EXPECT_EQ(exitCode, 0);

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
