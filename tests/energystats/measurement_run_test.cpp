//===- measurement_run_test.cpp - Start, the waits, the pulses and the end of a run ---===//
#include "tests/energystats/TessalyFixture.h"

#include "controls/TMled.h"
#include "energystats/TFlatButton.h"
#include "energystats/TForm_main.h"
#include "plot/TAxis.h"
#include "plot/TGenericAnnotation.h"
#include "plot/TPlotGraph.h"
#include "plot/TSeries.h"

#include "platform/kernel/Clock.h"
#include "platform/ui/controls/StdCtrls.h"

namespace {

/// A clock that moves a second at every reading: a wait of 10000 ms gives up at once.
struct FastClock {
    FastClock()
    {
        SetTimeGetTimeOverride([this] { return now += 1000; });
    }
    ~FastClock() { SetTimeGetTimeOverride(nullptr); }
    uint32_t now = 0;
};

std::vector<std::pair<double, double>> pointsOf(const TSeries& Series)
{
    std::vector<std::pair<double, double>> points;
    for (const TPointNode* p = Series.FirstPoint(); p; p = p->Next)
        points.push_back({ p->X, p->Y });
    return points;
}

class RunTest : public TessalyTest {
protected:
    void SetUp() override
    {
        TessalyTest::SetUp();
        writeSettings("[Main]\nCount=70000\nFreq=50\nhv=55\n");
        makeForms();
        ObeyingLaser(laser);
        notice(ev_comport);
    }

    /// The server's end of a run: the histogram and figures, then '5' and 'z'.
    void endRun(int FromBin, int ToBin)
    {
        auto bins = laser.Histogram();
        ASSERT_EQ(bins.size(), size_t(HistogramBins));
        std::fill(bins.begin(), bins.end(), 0);
        for (int b = FromBin; b <= ToBin; ++b)
            bins[size_t(b)] = b;
        laser.Copy().deviation = 2.5f;
        laser.Copy().meanEnergy = 84.37f;
        laser.Copy().selected = 6000;
        laser.Copy().stateFlags &= uint8_t(~sf_firing);
        notice(ev_pulsedata);
        notice(ev_runend);
    }
};

} // namespace

TEST_F(RunTest, RunSendsTheSetUpFromTheSettingsAndLaserOffAfterTheEnd)
{
    Form_main->btn_startClick(nullptr);
    ASSERT_TRUE(Form_main->Run().Running());
    endRun(70, 120);
    ASSERT_TRUE(pumpUntil([&] { return !laser.Log.empty() && laser.Log.back().code == cmd_laseroff; }));

    const std::vector<std::pair<uint16_t, uint32_t>> expected = {
        { cmd_clientinit, 1 },   { cmd_laseron, 0 },      { cmd_runsetup1, 0 }, { cmd_runsetup2, 0 },
        { cmd_shutterclose, 0 }, { cmd_runcount, 70000 }, { cmd_reprate, 50 },  { cmd_hvset, 55 },
        { cmd_repetition, 0 },   { cmd_laseroff, 0 },
    };
    ASSERT_EQ(laser.Log.size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(laser.Log[i].code, expected[i].first) << "command " << i;
        EXPECT_EQ(laser.Log[i].argument, expected[i].second) << "command " << i;
        EXPECT_EQ(laser.Log[i].sequence, i) << "command " << i;
    }
    EXPECT_FALSE(Form_main->Run().Running());
    EXPECT_TRUE(Form_main->Run().Unsaved());
}

TEST_F(RunTest, TheEndShowsTheHistogramWindowTheMarksAndEnablesSave)
{
    Form_main->btn_startClick(nullptr);
    endRun(70, 120);

    const auto points = pointsOf(*Form_main->PlotGraph1->GetSeries(1));
    ASSERT_EQ(points.size(), 81u);
    EXPECT_EQ(points.front(), std::make_pair(50.0, 0.0));
    EXPECT_EQ(points[20], std::make_pair(70.0, 70.0));
    EXPECT_EQ(points.back(), std::make_pair(130.0, 0.0));
    EXPECT_TRUE(Form_main->btn_save->GetEnabled());
    EXPECT_TRUE(Form_main->btn_print->GetEnabled());
    EXPECT_EQ(Form_main->btn_start->GetCaption(), "Start");

    // Yellow, red and green at the settings' lines, vertical on the histogram.
    const std::pair<double, TColor> marks[] = { { 85, 0x00FFFF }, { 60, 0x0000FF }, { 100, 0x008000 } };
    for (int id = 1; id <= 3; ++id) {
        auto* mark = dynamic_cast<TMark*>(Form_main->PlotGraph1->FindAnnotation(id));
        ASSERT_NE(mark, nullptr);
        EXPECT_EQ(mark->GetX1(), marks[id - 1].first) << "mark " << id;
        EXPECT_EQ(mark->GetColor(), marks[id - 1].second) << "mark " << id;
        EXPECT_EQ(mark->GetMarkType(), 0) << "mark " << id;
        auto* line = dynamic_cast<TMark*>(Form_main->PlotGraph2->FindAnnotation(id));
        ASSERT_NE(line, nullptr);
        EXPECT_EQ(line->GetY1(), marks[id - 1].first) << "mark " << id;
        EXPECT_EQ(line->GetMarkType(), 1) << "mark " << id;
    }

    // The label follows every paint of the histogram graph.
    Form_main->PlotGraph1->OnPaintEnd(Form_main->PlotGraph1, nullptr);
    EXPECT_EQ(Form_main->lab_dev->GetCaption(), "dev = 2.5 %   mean = 84.37 \xB5J");
    EXPECT_TRUE(Form_main->lab_dev->GetVisible());
}

TEST_F(RunTest, PulseNoticesPlotTheNewSamplesAndANewIntervalClearsTheGraph)
{
    Form_main->btn_startClick(nullptr);
    auto energies = laser.Energies();
    auto times = laser.Times();
    for (int i = 0; i < 5; ++i) {
        energies[size_t(i)] = float(80 + i);
        times[size_t(i)] = 46000.0 + i / 86400.0;
    }
    laser.Copy().samples = 1;
    laser.Copy().intervalCurrent = 3;
    laser.Copy().intervalTotal = 7;
    notice(ev_pulsedata);
    // One sample: nothing is plotted yet.
    EXPECT_EQ(Form_main->PlotGraph2->GetSeries(1)->GetCount(), 0);
    EXPECT_EQ(Form_main->interval1->GetCaption(), "interval = 3 / 7");

    laser.Copy().samples = 3;
    notice(ev_pulsedata);
    EXPECT_EQ(Form_main->PlotGraph2->GetSeries(1)->GetCount(), 3);
    EXPECT_EQ(Form_main->PlotGraph2->GetYAxis()->GetMax(), 180);

    // The interval counter went back: a new interval starts on an empty graph.
    laser.Copy().samples = 5;
    laser.Copy().intervalCurrent = 1;
    notice(ev_pulsedata);
    EXPECT_EQ(Form_main->PlotGraph2->GetSeries(1)->GetCount(), 5);
    EXPECT_EQ(pointsOf(*Form_main->PlotGraph2->GetSeries(1)).front().second, 80.0);
}

TEST_F(RunTest, ASampleCountBeyondTheArraysIsCut)
{
    Form_main->btn_startClick(nullptr);
    laser.Copy().samples = 0x7FFFFFF0;
    notice(ev_pulsedata);
    // Read to the arrays' end and no further (their times repeat, so the points merge).
    EXPECT_EQ(Form_main->Results().LastPlotted(), EnergyCapacity - 1);
    EXPECT_GT(Form_main->PlotGraph2->GetSeries(1)->GetCount(), 0);
}

TEST_F(RunTest, AServerThatIgnoresLaserOnIsReportedAfterTheWait)
{
    laser.OnCommand = nullptr;
    FastClock clock;
    Form_main->btn_startClick(nullptr);
    ASSERT_FALSE(boxes.Boxes().empty());
    EXPECT_EQ(boxes.Boxes().back().Text, " cannot start laser");
    EXPECT_EQ(boxes.Boxes().back().Caption, "Error");
    EXPECT_FALSE(Form_main->Run().Starting());
    EXPECT_FALSE(Form_main->Run().Running());
    EXPECT_EQ(codes().back(), cmd_laseron);
}

TEST_F(RunTest, ALaserThatKeepsFiringIsReportedAfterTheWait)
{
    laser.Copy().stateFlags |= sf_firing | sf_highvoltage;
    notice(ev_device);
    laser.OnCommand = nullptr;
    FastClock clock;
    Form_main->btn_startClick(nullptr);
    ASSERT_FALSE(boxes.Boxes().empty());
    EXPECT_EQ(boxes.Boxes().back().Text, " cannot stop laser");
    EXPECT_EQ(codes().back(), cmd_triggeroff);
}

TEST_F(RunTest, ARunThatEndsDuringTheStartIsOverAfterIt)
{
    // The server fires the whole run before Start sees the laser fire.
    laser.OnCommand = [this](const LaserCommand& C) {
        if (C.code == cmd_laseron) {
            laser.Copy().stateFlags |= sf_highvoltage;
            laser.Publish(ev_device);
        } else if (C.code == cmd_repetition) {
            laser.Publish(ev_runend);
        }
    };
    Form_main->btn_startClick(nullptr);
    EXPECT_FALSE(Form_main->Run().Running());
    EXPECT_FALSE(Form_main->Run().Starting());
    EXPECT_TRUE(Form_main->Run().DataReady());
    EXPECT_TRUE(Form_main->btn_start->GetEnabled());
    EXPECT_TRUE(boxes.Boxes().empty());
    EXPECT_TRUE(Form_main->Run().Unsaved());
    EXPECT_TRUE(pumpUntil([&] { return codes().back() == cmd_laseroff; }));
}

TEST_F(RunTest, ClosingDuringTheStartEndsTheWaitAndSendsLaserOff)
{
    laser.OnCommand = [](const LaserCommand& C) {
        if (C.code == cmd_laseron)
            Form_main->Close();
    };
    Form_main->btn_startClick(nullptr);
    EXPECT_TRUE(Form_main->Run().Closing());
    EXPECT_TRUE(pumpUntil([&] { return codes().back() == cmd_laseroff; }));
    EXPECT_TRUE(boxes.Boxes().empty());
}

TEST_F(RunTest, WithAnOldServerEveryNoticeIsStillActedOn)
{
    Form_main->btn_startClick(nullptr);
    endRun(70, 120);
    ASSERT_TRUE(Form_main->Run().Unsaved());
    boxes.Answer(IDYES); // start anyway
    Form_main->btn_startClick(nullptr);
    ASSERT_TRUE(Form_main->Run().Running());
    // Each notice tells of the old server and closes; the operator refuses every exit.
    for (int i = 0; i < 20; ++i) {
        boxes.Answer(IDOK);
        boxes.Answer(IDNO);
    }
    const size_t before = boxes.Boxes().size();
    laser.Status.serverVersionLevel = 'W';
    testsupport::SetField(laser.Status.serverVersionText, "V1");
    // A notice handled while the old-server box is up.
    boxes.WhileUp = [](const uitest::BoxRecord& Box) {
        if (Box.Text == "Old V1  :  Exit    ")
            Form_main->LASSHELLEvent(ev_rxon, 0);
    };
    notice(ev_txon);
    ASSERT_GE(boxes.Boxes().size(), before + 2);
    for (size_t i = before; i < boxes.Boxes().size(); ++i)
        EXPECT_EQ(boxes.Boxes()[i].Text,
                  (i - before) % 2 ? "Graphic was not saved, quit anyway?" : "Old V1  :  Exit    ");
    EXPECT_FALSE(Form_main->Run().Closing()) << "every exit was refused";
    EXPECT_TRUE(Form_main->led_tx->GetLedOn()) << "the notice that told of the old server";
    EXPECT_TRUE(Form_main->LED_RX->GetLedOn()) << "the notice during the box";
    // The run goes on after the refused exits and its end is taken in.
    endRun(70, 120);
    EXPECT_FALSE(Form_main->Run().Running());
    EXPECT_EQ(Form_main->btn_start->GetCaption(), "Start");
}

TEST_F(RunTest, AnOldServerToldWhileTheQuitQuestionIsUpLeavesTheAnswerToIt)
{
    Form_main->btn_startClick(nullptr);
    endRun(70, 120);
    ASSERT_TRUE(Form_main->Run().Unsaved());
    const size_t before = boxes.Boxes().size();
    boxes.WhileUp = [this](const uitest::BoxRecord& Box) {
        if (Box.Text != "Graphic was not saved, quit anyway?")
            return;
        laser.Status.serverVersionLevel = 'W';
        testsupport::SetField(laser.Status.serverVersionText, "V1");
        // Notices that come while the question is up.
        notice(ev_txon);
        notice(ev_txoff);
    };
    boxes.Answer(IDOK); // the old-server box, answered while the question is up
    boxes.Answer(IDNO);
    Form_main->btn_exitClick(nullptr);
    ASSERT_EQ(boxes.Boxes().size(), before + 2) << "one question and one old-server box";
    EXPECT_EQ(boxes.Boxes()[before + 1].Text, "Old V1  :  Exit    ");
    EXPECT_FALSE(Form_main->Run().Closing()) << "the question's No holds";
    EXPECT_FALSE(Form_main->led_tx->GetLedOn());
}
