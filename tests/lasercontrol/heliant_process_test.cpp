//===- heliant_process_test.cpp - The program and the simulator as real processes ---===//

#include "link/Varnex32.h"

#include "tests/lasercontrol/HeliantFixture.h"
#include "tests/support/ProgramProcess.h"
#include "tests/support/Simulator.h"
#include "tests/support/TestSupport.h"

#include "platform/gdi/bitmaps/Dib.h"

#include <csignal>
#include <fstream>

namespace {

/// Heliant started from bin/ with extra environment; killed when the object goes if it still runs.
class HeliantProcess : public testsupport::ProgramProcess {
public:
    explicit HeliantProcess(const std::vector<std::string>& Env)
        : ProgramProcess(testsupport::BinDir() + "/Heliant", Env)
    {
    }
};

class HeliantProcessTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ini = dir.file("Kelmor32.INI");
        // The laser warms up for as long as any test may take, whatever the load.
        std::ofstream(ini) << "[Simulator]\nBlinkPeriod=100\nStatusPeriod=100\nIdleSeconds=20\nWarmupSeconds=3600\n";
    }
    void TearDown() override { EXPECT_TRUE(testsupport::CloseSimulator()) << "the simulator did not close"; }

    testsupport::TempDir dir;
    std::string ini;
};

TEST_F(HeliantProcessTest, TheProgramShowsTheSimulatedLaserAndClosesWhenAskedTo)
{
    const std::string report = dir.file("panel.txt");
    HeliantProcess heliant({ "KELMOR32_INI=" + ini, "HELIANT_PANEL_REPORT=" + report });
    ASSERT_TRUE(heliant.Started());
    std::string state;
    const ::testing::AssertionResult alive = testsupport::WaitFor([&] {
        state = testsupport::ReadFile(report);
        return state.find("Label_lastyp= KELMOR 248\n") != std::string::npos
               && state.find("led_onl=1\n") != std::string::npos && state.find("label_com=COM1\n") != std::string::npos;
    });
    EXPECT_TRUE(alive) << "the panel's report never showed the simulated laser online on COM1; the report:\n" << state;
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
    })) << "the simulator kept a client after Heliant closed";
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
    // The simulated laser is still warming up: the warm-up lamp is lit.
    EXPECT_EQ(picture->GetPixel(230, 11), COLORREF(0x00FFFF));
    // Yellow digits of the repetition rate in the operation panel.
    int lit = 0;
    for (int y = 39; y < 62; ++y)
        for (int x = 10; x < 50; ++x)
            lit += picture->GetPixel(x, y) == 0x00FFFF;
    EXPECT_GT(lit, 20);
}

} // namespace
