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
#include "platform/ui/forms/TScreen.h"

#include <fstream>

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
    laser.Take();
    EXPECT_EQ(codes().back(), cmd_repetition) << "the refused close sent a command";
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

TEST(TessalySettingsTest, AValueOutsideItsRangeOrNoNumberIsCorrectedAndNamed)
{
    testsupport::TempDir dir;
    using S = TessalySettings;
    const struct {
        const char* file;
        int32_t S::*key;
        int32_t used;
        const char* note; // none: used as written
    } rows[] = {
        { "[Main]\nhv=55", &S::hv, 55, nullptr },
        { "[Main]\nhv=-7", &S::hv, 0, "hv=-7 is outside 0 to 100; 0 is used" },
        { "[Main]\nhv=250", &S::hv, 100, "hv=250 is outside 0 to 100; 100 is used" },
        { "[Main]\nFreq=abc", &S::Freq, 50, "Freq=abc is not a number; 50 is used" },
        { "[Main]\nFreq=0", &S::Freq, 1, "Freq=0 is outside 1 to 500; 1 is used" },
        { "[Main]\nFreq=500", &S::Freq, 500, nullptr },
        { "[Main]\nCount=70000", &S::Count, 70000, nullptr },
        { "[Main]\nCount=-3", &S::Count, 1, "Count=-3 is outside 1 to 2147483647; 1 is used" },
        { "[Main]\nRedLine=zzz", &S::RedLine, 60, "RedLine=zzz is not a number; 60 is used" },
        { "[Main]\nYellowLine=1e9", &S::YellowLine, 255, "YellowLine=1e9 is outside 0 to 255; 255 is used" },
        { "[Main]\nGreenLine=-40", &S::GreenLine, 0, "GreenLine=-40 is outside 0 to 255; 0 is used" },
        { "[Main]\nGreenLine=99.6", &S::GreenLine, 100, "GreenLine=99.6 is not a whole number; 100 is used" },
        { "[WND]\nForm_mainH=-5", &S::Form_mainH, 0,
          "Form_mainH=-5 is outside 0 to 32767; the window's own size is used" },
        { "[WND]\nForm_mainW=99999", &S::Form_mainW, 0,
          "Form_mainW=99999 is outside 0 to 32767; the window's own size is used" },
    };
    for (const auto& r : rows) {
        std::ofstream(dir.file("Tessaly.INI")) << r.file << "\n";
        const TessalySettings s = TessalySettings::Read(TIniFile(dir.file("Tessaly.INI")), "/");
        EXPECT_EQ(s.*r.key, r.used) << r.file;
        if (r.note)
            EXPECT_EQ(s.Corrections, std::vector<std::string> { r.note }) << r.file;
        else
            EXPECT_TRUE(s.Corrections.empty()) << r.file;
    }
}

TEST_F(TessalyTest, WrongSettingsAreToldOnceAndNothingOutsideItsRangeIsSent)
{
    writeSettings("[Main]\nhv=-7\nFreq=abc\nCount=400\n");
    makeForms();
    ASSERT_EQ(boxes.Boxes().size(), 1u);
    EXPECT_EQ(boxes.Boxes()[0].Caption, "Attention");
    EXPECT_EQ(boxes.Boxes()[0].Text,
              "Tessaly.INI:\nFreq=abc is not a number; 50 is used\nhv=-7 is outside 0 to 100; 0 is used");
    ObeyingLaser(laser);
    notice(ev_comport);
    Form_main->btn_startClick(nullptr);
    ASSERT_TRUE(Form_main->Run().Running());
    std::vector<std::pair<uint16_t, uint32_t>> sent;
    for (const LaserCommand& c : laser.Log)
        if (c.code == cmd_hvset || c.code == cmd_reprate || c.code == cmd_runcount)
            sent.push_back({ c.code, c.argument });
    const std::vector<std::pair<uint16_t, uint32_t>> expected = { { cmd_runcount, 400 },
                                                                  { cmd_reprate, 50 },
                                                                  { cmd_hvset, 0 } };
    EXPECT_EQ(sent, expected);
    EXPECT_EQ(boxes.Boxes().size(), 1u);
}

TEST_F(TessalyTest, AStoredWindowTheScreenCannotShowIsBroughtOntoIt)
{
    const struct {
        const char* file;
        int left, top, width, height;
    } rows[] = {
        { "[WND]\nXpos=5000\nYpos=-4000\nForm_mainH=3000\nForm_mainW=40\n", ScreenWidth - 100, 0, 100, ScreenHeight },
        { "[WND]\nXpos=-300\nYpos=900\nForm_mainH=400\nForm_mainW=500\n", 0, ScreenHeight - 400, 500, 400 },
        { "[WND]\nXpos=10\nYpos=20\nForm_mainH=400\nForm_mainW=500\n", 10, 20, 500, 400 },
    };
    for (const auto& r : rows) {
        writeSettings(r.file);
        makeForms();
        EXPECT_EQ(Form_main->GetLeft(), r.left) << r.file;
        EXPECT_EQ(Form_main->GetTop(), r.top) << r.file;
        EXPECT_EQ(Form_main->GetWidth(), r.width) << r.file;
        EXPECT_EQ(Form_main->GetHeight(), r.height) << r.file;
        releasedll(Application->GetHandle());
        freeForms();
    }
}
