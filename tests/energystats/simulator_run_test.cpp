//===- simulator_run_test.cpp - A whole measurement by the program against the simulator ---===//
#include "energystats/TFlatButton.h"
#include "energystats/TForm_main.h"
#include "energystats/Tessaly.h"
#include "energystats/Twarningform.h"
#include "link/Varnex32.h"
#include "tests/pdf/PdfTestSupport.h"
#include "tests/platform/ui/support/UiTestSupport.h"
#include "tests/support/MessagePump.h"
#include "tests/support/ProgramProcess.h"
#include "tests/support/Simulator.h"
#include "tests/support/TestSupport.h"

#include "platform/gdi/bitmaps/Dib.h"
#include "platform/ui/controls/StdCtrls.h"
#include "platform/ui/forms/TApplication.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include <poll.h>

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

namespace {

/// Tessaly's forms in this process, bound to the simulator that the link library starts beside
/// it, as the program runs them.
class SimulatedLaserRun : public ::testing::Test {
protected:
    void SetUp() override
    {
        Application->Initialize();
        const std::string ini = dir.file("Kelmor32.INI");
        std::ofstream(ini) << "[Simulator]\nBlinkPeriod=50\nIdleSeconds=20\nWarmupSeconds=0\nLaserOnSeconds=0.2\n";
        setenv("KELMOR32_INI", ini.c_str(), 1);
        std::ofstream(dir.file("Tessaly.INI")) << "[Main]\nFreq=200\nCount=400\n";
        TForm_main::ProgramPath = dir.file("Tessaly");
        CreateTessalyForms();
        Form_main->AfterNotice = [this](uint8_t Code, uint8_t) { blinks += Code == ev_blink1; };
    }
    void TearDown() override
    {
        if (Form_main && Form_main->Registered())
            releasedll(Application->GetHandle());
        delete warningform;
        warningform = nullptr;
        delete Form_main;
        Form_main = nullptr;
        TForm_main::ProgramPath.clear();
        EXPECT_TRUE(testsupport::CloseSimulator());
        unsetenv("KELMOR32_INI");
    }
    /// Runs the loop until the form has taken Count more blink notices: whatever the server
    /// posted before has been handled by then.
    bool takeBlinks(int Count)
    {
        const int target = blinks + Count;
        return testsupport::PumpUntil([&] { return blinks >= target; });
    }
    /// Nothing waits in the program's queue.
    static bool queueEmpty()
    {
        pollfd queue { MessageQueueFd(), POLLIN, 0 };
        return poll(&queue, 1, 0) == 0;
    }
    /// The server's side of the run, read from the block as the server published it. The server
    /// posts its notices while it holds the block, so the run's end has been posted once this
    /// holds.
    static bool serverRunOver()
    {
        const LaserStatus* status = getstatuspointer();
        return status && status->copy.intervalTotal == 400 && status->copy.intervalCurrent == 400
               && !(status->copy.stateFlags & sf_firing);
    }

    testsupport::TempDir dir;
    uitest::MessageBoxAnswerer boxes;
    int blinks = 0;
};

} // namespace

TEST_F(SimulatedLaserRun, ARunThatEndsWhileTheQuitQuestionIsUpEndsAsIfItWereNotAsked)
{
    TForm_main& form = *Form_main;
    ASSERT_TRUE(testsupport::PumpUntil([&] { return (form.Status().stateFlags & sf_ready) != 0; }));
    // A first run leaves unsaved graphs, so that closing asks.
    form.btn_startClick(nullptr);
    ASSERT_TRUE(testsupport::PumpUntil([&] { return form.Run().DataReady() && !form.Run().Running(); }));
    ASSERT_TRUE(form.Run().Unsaved());
    // The end of the run switched the laser off.
    ASSERT_TRUE(testsupport::PumpUntil([&] { return !(form.Status().stateFlags & sf_highvoltage); }));
    boxes.Answer(IDYES); // start anyway
    form.btn_startClick(nullptr);
    ASSERT_TRUE(form.Run().Running());

    // Exit while the second run fires; the question stays up, its loop running, until the
    // server has ended the run.
    boxes.Answer(IDNO);
    boxes.WhileUp = [](const uitest::BoxRecord& Box) {
        if (Box.Text == "Graphic was not saved, quit anyway?") {
            EXPECT_TRUE(testsupport::PumpUntil(serverRunOver) && testsupport::PumpUntil(queueEmpty));
        }
    };
    form.btn_exitClick(nullptr);
    ASSERT_EQ(boxes.Boxes().size(), 2u);
    ASSERT_EQ(boxes.Boxes()[1].Text, "Graphic was not saved, quit anyway?");
    ASSERT_TRUE(takeBlinks(2));

    EXPECT_FALSE(form.Run().Running()) << "the run's end was taken in";
    EXPECT_FALSE(form.Run().Closing());
    EXPECT_TRUE(form.Run().Unsaved());
    EXPECT_EQ(form.btn_start->GetCaption(), "Start");
    EXPECT_EQ(form.interval1->GetCaption(), "interval = 400 / 400");
    EXPECT_EQ(form.Results().SelectedPulses(), 400);
    EXPECT_FALSE(warningform->GetVisible()) << "no stop warning for a run that ended";
    EXPECT_TRUE(form.btn_save->GetEnabled());
}

TEST_F(SimulatedLaserRun, StartPressedAsSoonAsARunHasEndedStartsTheNextRun)
{
    TForm_main& form = *Form_main;
    ASSERT_TRUE(testsupport::PumpUntil([&] { return (form.Status().stateFlags & sf_ready) != 0; }));
    form.btn_startClick(nullptr);
    ASSERT_TRUE(testsupport::PumpUntil([&] { return form.Run().DataReady() && !form.Run().Running(); }));
    // The run's end has just sent laser off; the copy still shows the laser on.
    ASSERT_TRUE(form.Status().stateFlags & sf_highvoltage);
    boxes.Answer(IDYES); // start anyway
    form.btn_startClick(nullptr);
    ASSERT_EQ(boxes.Boxes().size(), 1u) << boxes.Boxes().back().Text;
    EXPECT_TRUE(form.Run().Running());
}
