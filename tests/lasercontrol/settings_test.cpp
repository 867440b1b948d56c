//===- settings_test.cpp - Heliant.INI: reading, the dirty rule, placement and saving at closing ---===//
#include "lasercontrol/HeliantSettings.h"

#include "lasercontrol/TForm_main.h"
#include "lasercontrol/Texithint.h"
#include "lasercontrol/Tfenergy.h"
#include "link/Varnex32.h"
#include "tests/lasercontrol/HeliantFixture.h"

#include "platform/kernel/TIniFile.h"
#include "platform/rtl/FileNames.h"
#include "platform/ui/forms/TApplication.h"

#include <fstream>
#include <sstream>

namespace {

std::string readFile(const std::string& Path)
{
    std::ifstream in(Path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

void writeFile(const std::string& Path, const std::string& Text) { std::ofstream(Path, std::ios::binary) << Text; }

TEST(HeliantSettingsFile, OnlyAMissingOrUnreadableHintKeyMakesTheSettingsDirty)
{
    struct Row {
        const char* Name;
        const char* Text; // nullptr: no file
        bool ShowHint, Dirty, PositionSet;
        int Xpos, Ypos;
    };
    const Row rows[] = {
        { "missing file: defaults", nullptr, true, true, false, 0, 0 },
        { "keys there, whatever their value", "[Main]\r\nShowHint=0\r\n[WND]\r\nXpos=0\r\nYpos=40\r\n", false, false,
          true, 0, 40 },
        { "unreadable hint key counts as missing", "[Main]\nShowHint=perhaps\n", true, true, false, 0, 0 },
    };
    for (const Row& r : rows) {
        testsupport::TempDir dir;
        if (r.Text)
            writeFile(dir.file("Heliant.INI"), r.Text);
        const HeliantSettings s = HeliantSettings::Read(TIniFile(dir.file("Heliant.INI")));
        EXPECT_EQ(s.ShowHint, r.ShowHint) << r.Name;
        EXPECT_EQ(s.Dirty, r.Dirty) << r.Name;
        EXPECT_EQ(s.PositionSet, r.PositionSet) << r.Name;
        EXPECT_EQ(s.Xpos, r.Xpos) << r.Name;
        EXPECT_EQ(s.Ypos, r.Ypos) << r.Name;
    }
}

TEST(HeliantSettingsFile, WrittenSettingsReadBackAndKeepTheRestOfTheFile)
{
    testsupport::TempDir dir;
    const std::string path = dir.file("Heliant.INI");
    writeFile(path, "; set by the service\n[Service]\nLevel=3\n");
    TIniFile ini(path);
    HeliantSettings s = HeliantSettings::Read(ini);
    s.Write(ini, false, 120, -5);
    EXPECT_FALSE(s.Dirty);
    const HeliantSettings back = HeliantSettings::Read(ini);
    EXPECT_FALSE(back.ShowHint);
    EXPECT_EQ(back.Xpos, 120);
    EXPECT_EQ(back.Ypos, -5);
    EXPECT_FALSE(back.Dirty);
    EXPECT_EQ(ini.ReadInteger("Service", "Level", 0), 3);
    EXPECT_NE(readFile(path).find("; set by the service"), std::string::npos);
}

TEST(HeliantSettingsFile, AFailedWriteStaysDirty)
{
    testsupport::TempDir dir;
    TIniFile ini(dir.file("no such folder/Heliant.INI"));
    HeliantSettings s = HeliantSettings::Read(ini);
    EXPECT_THROW(s.Write(ini, true, 1, 2), EIniFileException);
    EXPECT_TRUE(s.Dirty);
}

class SettingsTest : public HeliantTest {
protected:
    std::string iniPath() const { return dir.file("Heliant.INI"); }
    /// The program started with this settings file.
    void startWith(const std::string& Text)
    {
        writeFile(iniPath(), Text);
        remakeForms();
        registerPanel();
    }
    /// The laser's status, with or without the server's automatic saving of options.
    void laserWith(bool AutoSave, uint8_t StateFlags = sf_online | sf_ready)
    {
        LaserStatusCopy s = TypicalLaser();
        s.stateFlags = StateFlags;
        s.optionFlags = AutoSave ? 0x08 : 0x00;
        Form_main->takeStatus(s);
    }
};

TEST_F(SettingsTest, ThePositionOfTheFilePlacesTheWindow)
{
    startWith("[Main]\nShowHint=1\n[WND]\nXpos=0\nYpos=40\n");
    EXPECT_EQ(Form_main->GetLeft(), 0);
    EXPECT_EQ(Form_main->GetTop(), 40);
    startWith("[Main]\nShowHint=1\n[WND]\nXpos=300\nYpos=0\n");
    EXPECT_EQ(Form_main->GetLeft(), 300);
    EXPECT_EQ(Form_main->GetTop(), 0);
    // A place the screen cannot show: the window comes onto it.
    startWith("[Main]\nShowHint=1\n[WND]\nXpos=99999\nYpos=-500\n");
    EXPECT_EQ(Form_main->GetLeft(), ScreenWidth - Form_main->GetWidth());
    EXPECT_EQ(Form_main->GetTop(), 0);
}

TEST_F(SettingsTest, NoPositionCentresTheWindow)
{
    startWith("[Main]\nShowHint=1\n[WND]\nXpos=0\nYpos=0\n");
    EXPECT_EQ(Form_main->GetLeft(), (ScreenWidth - Form_main->GetWidth()) / 2);
    EXPECT_EQ(Form_main->GetTop(), (ScreenHeight - Form_main->GetHeight()) / 2);
}

TEST_F(SettingsTest, HintSettingReachesTheMainFormAndTheEnergyWindow)
{
    startWith("[Main]\nShowHint=0\n");
    EXPECT_FALSE(Form_main->GetShowHint());
    EXPECT_FALSE(fenergy->GetShowHint());
    EXPECT_FALSE(Form_main->Settings().Dirty);
}

TEST_F(SettingsTest, MovingAndClosingWritesNothingWithoutAutomaticSaving)
{
    startWith("[Main]\nShowHint=1\n[WND]\nXpos=10\nYpos=20\n");
    const std::string before = readFile(iniPath());
    laserWith(false);
    Form_main->SetLeft(200);
    Form_main->Close();
    EXPECT_TRUE(Form_main->Closing());
    EXPECT_TRUE(Form_main->Settings().Dirty);
    EXPECT_EQ(readFile(iniPath()), before);
    EXPECT_EQ(server.ClientCount(), 0) << "closing releases the link";
}

TEST_F(SettingsTest, MovingAndClosingWithAutomaticSavingWritesTheKeys)
{
    startWith("[Main]\nShowHint=0\n[WND]\nXpos=10\nYpos=20\n");
    laserWith(true);
    Form_main->SetBounds(210, 130, Form_main->GetWidth(), Form_main->GetHeight());
    Form_main->Close();
    const TIniFile ini(iniPath());
    EXPECT_EQ(ini.ReadInteger("WND", "Xpos", -1), 210);
    EXPECT_EQ(ini.ReadInteger("WND", "Ypos", -1), 130);
    EXPECT_EQ(ini.ReadString("Main", "ShowHint", "?"), "0");
    EXPECT_FALSE(Form_main->Settings().Dirty);
}

TEST_F(SettingsTest, ClosingWithoutChangesWritesNothingEvenWithAutomaticSaving)
{
    startWith("[Main]\nShowHint=1\n[WND]\nXpos=10\nYpos=20\n");
    const std::string before = readFile(iniPath());
    laserWith(true);
    Form_main->Close();
    EXPECT_EQ(readFile(iniPath()), before);
}

TEST_F(SettingsTest, AMissingHintKeyIsAddedAtTheNextSavingClose)
{
    startWith("[WND]\nXpos=10\nYpos=20\n");
    ASSERT_TRUE(Form_main->Settings().Dirty);
    laserWith(true);
    Form_main->Close();
    const TIniFile ini(iniPath());
    EXPECT_EQ(ini.ReadString("Main", "ShowHint", "?"), "1");
    EXPECT_EQ(ini.ReadInteger("WND", "Xpos", -1), 10);
}

TEST_F(SettingsTest, WithoutAFileTheCentredWindowIsSavedWhenAutomaticSavingIsOn)
{
    remakeForms();
    registerPanel();
    laserWith(true);
    Form_main->Close();
    const TIniFile ini(iniPath());
    EXPECT_EQ(ini.ReadInteger("WND", "Xpos", -1), Form_main->GetLeft());
    EXPECT_EQ(ini.ReadInteger("WND", "Ypos", -1), Form_main->GetTop());
    EXPECT_TRUE(ini.ReadBool("Main", "ShowHint", false));
}

TEST_F(SettingsTest, ClosingWhileTheLaserFiresAsksAndNoKeepsEverything)
{
    uitest::ModalAnswerer modal;
    modal.ClickButton("btn_no");
    startWith("[Main]\nShowHint=1\n[WND]\nXpos=10\nYpos=20\n");
    const std::string before = readFile(iniPath());
    const int clients = server.ClientCount();
    laserWith(true, sf_online | sf_ready | sf_highvoltage | sf_firing);
    Form_main->SetLeft(222);
    Form_main->Close();
    ASSERT_EQ(modal.Shown().size(), 1u);
    EXPECT_EQ(modal.Shown()[0].ClassName, "Texithint");
    EXPECT_EQ(modal.Shown()[0].Caption, "EXIT");
    EXPECT_FALSE(Form_main->Closing());
    EXPECT_EQ(readFile(iniPath()), before);
    EXPECT_EQ(server.ClientCount(), clients) << "the link stays";
}

TEST_F(SettingsTest, ClosingInGasModeAsksAndYesCloses)
{
    uitest::ModalAnswerer modal;
    modal.ClickButton("btn_yes");
    startWith("[Main]\nShowHint=1\n[WND]\nXpos=10\nYpos=20\n");
    laserWith(false, sf_online | sf_gasmode);
    Form_main->Close();
    EXPECT_EQ(modal.Shown().size(), 1u);
    EXPECT_TRUE(Form_main->Closing());
    EXPECT_EQ(server.ClientCount(), 0);
}

TEST_F(SettingsTest, AnUnwritableSettingsFileIsReportedAndTheProgramStillCloses)
{
    TForm_main::ProgramPath = dir.file("no such folder/Heliant");
    remakeForms();
    registerPanel();
    laserWith(true);
    Form_main->Close();
    ASSERT_EQ(boxes.Boxes().size(), 1u);
    EXPECT_NE(boxes.Boxes()[0].Text.find("Heliant.INI"), std::string::npos) << boxes.Boxes()[0].Text;
    EXPECT_TRUE(Form_main->Closing());
    EXPECT_EQ(server.ClientCount(), 0);
}

} // namespace
