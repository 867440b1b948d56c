//===- startup_test.cpp - Settings, binding to the link, notices and closing ---===//
#include "tests/energystats/TessalyFixture.h"

#include "controls/TMled.h"
#include "energystats/TFlatButton.h"
#include "energystats/TForm_main.h"
#include "energystats/Twarningform.h"
#include "link/Varnex32.h"
#include "platform/kernel/TIniFile.h"
#include "platform/ui/controls/StdCtrls.h"
#include "platform/ui/forms/TApplication.h"

#include <sys/stat.h>

TEST_F(TessalyTest, MissingSettingsGiveTheDefaultsAndTheMisspelledKeyIsRead)
{
    writeSettings("[Main]\nSecifiedEnergy=120\n[WND]\nXpos=0\nYpos=300\n");
    makeForms();
    const TessalySettings& s = Form_main->Settings();
    EXPECT_EQ(s.Freq, 50);
    EXPECT_EQ(s.Count, 6000);
    EXPECT_EQ(s.hv, 50);
    EXPECT_EQ(s.RedLine, 60);
    EXPECT_EQ(s.YellowLine, 85);
    EXPECT_EQ(s.GreenLine, 100);
    EXPECT_EQ(s.SecifiedEnergy, 120);
    EXPECT_EQ(s.DataPath, dir.path() + "/");
    // Only one of the two position keys: the window is not moved there.
    EXPECT_FALSE(s.PositionSet());
    EXPECT_NE(Form_main->GetTop(), 300);
}

TEST_F(TessalyTest, ClosingWritesTheWindowKeysAndTheDataPathOnly)
{
    writeSettings("[WND]\nXpos=40\nYpos=30\n[Main]\nDataPath=/data/\nCount=99\n");
    makeForms();
    Form_main->Close();
    const TIniFile ini(dir.file("Tessaly.INI"));
    EXPECT_EQ(ini.ReadInteger("WND", "Xpos", -1), 40);
    EXPECT_EQ(ini.ReadInteger("WND", "Form_mainW", -1), Form_main->GetWidth());
    EXPECT_EQ(ini.ReadInteger("WND", "Form_mainH", -1), Form_main->GetHeight());
    EXPECT_EQ(ini.ReadString("Main", "DataPath", ""), "/data/");
    EXPECT_EQ(ini.ReadInteger("Main", "Count", -1), 99);
    EXPECT_EQ(ini.ReadInteger("Main", "Freq", -1), -1);
    EXPECT_FALSE(Form_main->Registered());
}

TEST_F(TessalyTest, ASettingsFileThatCannotBeWrittenIsReportedAndTheProgramStillCloses)
{
    makeForms();
    // A folder where the file should be: it cannot be written.
    ASSERT_EQ(mkdir(dir.file("Tessaly.INI").c_str(), 0700), 0);
    Form_main->Close();
    ASSERT_EQ(boxes.Boxes().size(), 1u);
    EXPECT_TRUE(Form_main->Run().Closing());
    EXPECT_FALSE(Form_main->Registered());
}

TEST_F(TessalyTest, TheFirstCommandIsTheClientInitialisationWithSequenceZero)
{
    makeForms();
    notice(ev_comport);
    ASSERT_EQ(laser.Log.size(), 1u);
    EXPECT_EQ(laser.Log[0].code, cmd_clientinit);
    EXPECT_EQ(laser.Log[0].argument, 1u);
    EXPECT_EQ(laser.Log[0].sequence, 0);
    EXPECT_EQ(laser.Log[0].window, Application->GetHandle());
    Form_main->noCommandCheck1Click(nullptr);
    notice(ev_comport);
    ASSERT_EQ(laser.Log.size(), 2u);
    EXPECT_EQ(laser.Log[1].sequence, 1);
}

TEST_F(TessalyTest, AnOldServerIsToldAndTheProgramCloses)
{
    makeForms();
    const struct {
        char level;
        bool closes;
    } rows[] = { { 'X', false }, { 'W', true } };
    for (auto r : rows) {
        laser.Status.serverVersionLevel = uint8_t(r.level);
        std::fill(std::begin(laser.Status.serverVersionText), std::end(laser.Status.serverVersionText), '\0');
        laser.Status.serverVersionText[0] = 'V';
        laser.Status.serverVersionText[1] = '1';
        notice(ev_warmup);
        EXPECT_EQ(Form_main->Run().Closing(), r.closes) << r.level;
    }
    ASSERT_EQ(boxes.Boxes().size(), 1u);
    EXPECT_EQ(boxes.Boxes()[0].Text, "Old V1  :  Exit    ");
    EXPECT_EQ(boxes.Boxes()[0].Caption, "Error");
}

TEST_F(TessalyTest, WithEveryClientSlotTakenTheProgramTellsAndEnds)
{
    std::vector<HWND> others;
    for (int i = 0; i < ClientSlots; ++i) {
        others.push_back(CreateWindowHandle([](HWND, UINT, WPARAM, LPARAM) -> LRESULT { return 0; }));
        ASSERT_EQ(registerapplication(others.back()), LINK_OK);
    }
    makeForms();
    EXPECT_FALSE(Form_main->Registered());
    EXPECT_EQ(warningform, nullptr);
    ASSERT_EQ(boxes.Boxes().size(), 1u);
    EXPECT_EQ(boxes.Boxes()[0].Text, "to much Application");
    EXPECT_EQ(boxes.Boxes()[0].Caption, "Error");
    for (HWND w : others) {
        releasedll(w);
        DestroyWindow(w);
    }
}

TEST_F(TessalyTest, NoticesDriveTheLabelsLampsAndButtons)
{
    makeForms();
    laser.Copy().comPort = 12;
    notice(ev_comport);
    EXPECT_EQ(Form_main->label_com->GetCaption(), "COM12");
    EXPECT_TRUE(Form_main->btn_start->GetEnabled());
    EXPECT_FALSE(Form_main->btn_save->GetEnabled());

    notice(ev_txon);
    EXPECT_TRUE(Form_main->led_tx->GetLedOn());
    notice(ev_noconnection);
    EXPECT_EQ(Form_main->Label_lastyp->GetCaption(), "NO CONNECTION");
    // Without a connection the blink leaves the label alone.
    notice(ev_blink1, 1);
    EXPECT_EQ(Form_main->Label_lastyp->GetCaption(), "NO CONNECTION");
    notice(ev_comport);
    notice(ev_blink1, 1);
    EXPECT_EQ(Form_main->Label_lastyp->GetCaption(), " KELMOR");
    notice(ev_serverclosed);
    EXPECT_FALSE(Form_main->led_tx->GetLedOn());
    EXPECT_EQ(Form_main->Label_lastyp->GetCaption(), "NO CONNECTION");

    laser.Copy().stateFlags = 0;
    notice(ev_warmup);
    EXPECT_FALSE(Form_main->btn_start->GetEnabled());
}

TEST_F(TessalyTest, ClosingAsksFirstAndARefusalLeavesTheRunAlone)
{
    makeForms();
    ObeyingLaser(laser);
    notice(ev_comport);
    // A finished run that was not saved; the next one starts on the operator's yes.
    Form_main->btn_startClick(nullptr);
    notice(ev_runend);
    ASSERT_TRUE(pumpUntil([&] { return codes().back() == cmd_laseroff; }));
    ASSERT_TRUE(Form_main->Run().Unsaved());
    Form_main->btn_startClick(nullptr);
    ASSERT_TRUE(Form_main->Run().Running());
    boxes.Answer(IDNO);
    Form_main->Close();
    pumpUntil([] { return false; }, 200);
    EXPECT_EQ(codes().back(), cmd_repetition);
    EXPECT_TRUE(Form_main->Run().Running());
    ASSERT_EQ(boxes.Boxes().size(), 2u);
    EXPECT_EQ(boxes.Boxes()[0].Text, "Graphic was not saved, start anyway?");
    EXPECT_EQ(boxes.Boxes()[1].Text, "Graphic was not saved, quit anyway?");

    Form_main->Close();
    EXPECT_TRUE(pumpUntil([&] { return codes().back() == cmd_laseroff; }));
    EXPECT_TRUE(Form_main->Run().Closing());
}

TEST_F(TessalyTest, TheWarningShowsWhileARunLacksPulsesAndItsTextBlinks)
{
    makeForms();
    ObeyingLaser(laser);
    notice(ev_comport);
    Form_main->btn_startClick(nullptr);
    ASSERT_TRUE(Form_main->Run().Running());
    notice(ev_blink1, 1);
    EXPECT_FALSE(warningform->GetVisible());
    laser.Copy().stateFlags &= uint8_t(~sf_firing);
    notice(ev_blink1, 0);
    EXPECT_TRUE(warningform->GetVisible());
    EXPECT_EQ(Form_main->Label_lastyp->GetCaption(), "Evaluation is running");
    notice(ev_blink2, 1);
    EXPECT_FALSE(warningform->Label1->GetVisible());
    notice(ev_blink2, 0);
    EXPECT_TRUE(warningform->Label1->GetVisible());
}

TEST_F(TessalyTest, TheStateIntervalAndStatisticsLabelsLeaveRoomForTheirLongestTexts)
{
    makeForms();
    notice(ev_device); // the state label at the size the program shows it in
    TLabel* state = Form_main->Label_lastyp;
    TLabel* interval = Form_main->interval1;
    TLabel* statistics = Form_main->lab_dev;
    state->SetCaption("Evaluation is running");
    interval->SetCaption("interval = 70000 / 70000");
    statistics->SetCaption("dev = 100.0 %   mean = 255.00 \xB5J");
    // Between two texts the room of a character: a blank and the letters' side bearings.
    EXPECT_GE(interval->GetLeft() - (state->GetLeft() + state->GetWidth()), 5);
    EXPECT_GE(statistics->GetLeft() - (interval->GetLeft() + interval->GetWidth()), 5);
    EXPECT_LE(statistics->GetLeft() + statistics->GetWidth(), Form_main->Panel_Exit->GetClientWidth());
}
