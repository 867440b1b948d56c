//===- dialogs_test.cpp - The Options dialog, the About box and the exit question ---===//
#include "lasercontrol/TForm_main.h"

#include "lasercontrol/PanelRules.h"
#include "lasercontrol/TAbout.h"
#include "lasercontrol/Tconfigbox.h"
#include "lasercontrol/Texithint.h"
#include "lasercontrol/Tfenergy.h"
#include "tests/lasercontrol/HeliantFixture.h"

#include "platform/kernel/TIniFile.h"
#include "platform/ui/controls/Buttons.h"
#include "platform/ui/controls/ExtCtrls.h"
#include "platform/ui/controls/Menus.h"
#include "platform/ui/controls/StdCtrls.h"

#include <filesystem>
#include <fstream>

namespace {

class DialogsTest : public HeliantTest {
protected:
    /// As start, with a settings file that lacks nothing, so that the settings start clean.
    void startClean(const LaserStatusCopy& Laser)
    {
        std::ofstream(dir.file("Heliant.INI")) << "[Main]\nShowHint=1\n";
        remakeForms();
        start(Laser);
        ASSERT_FALSE(Form_main->Settings().Dirty);
    }
    uitest::ModalAnswerer modal;
};

// --- Options

TEST_F(DialogsTest, OptionsAreFilledFromThePanelAndWithoutAPortChangeSendOnlyAutoSave)
{
    LaserStatusCopy laser = TypicalLaser();
    laser.comPort = 3;
    laser.optionFlags = 0x08;
    startClean(laser);
    Form_main->SetShowHint(true);
    modal.Then([](TForm& Form) {
        auto& box = dynamic_cast<Tconfigbox&>(Form);
        EXPECT_TRUE(box.CheckBox1->GetChecked());
        EXPECT_TRUE(box.CheckBox2->GetChecked());
        EXPECT_EQ(box.RadioGroup1->GetItemIndex(), 3);
        EXPECT_EQ(box.RadioGroup1->GetItems().Count(), 10);
        Form.ModalResult = mrOk;
    });
    Form_main->Menu_configure->Click();
    ASSERT_EQ(modal.Shown().size(), 1u);
    EXPECT_EQ(modal.Shown()[0].Caption, "Options");
    EXPECT_EQ(sent(), (Commands { { cmd_autosave, 1 } }));
    EXPECT_FALSE(Form_main->Settings().Dirty);
}

TEST_F(DialogsTest, ThePortLabelOpensTheOptionsToo)
{
    start();
    modal.Answer(mrCancel);
    ASSERT_TRUE(Form_main->label_com->OnClick);
    Form_main->label_com->OnClick(Form_main->label_com);
    ASSERT_EQ(modal.Shown().size(), 1u);
    EXPECT_EQ(modal.Shown()[0].ClassName, "Tconfigbox");
    EXPECT_TRUE(sent().empty()) << "cancelled";
}

TEST_F(DialogsTest, ChangedOptionsSelectThePortMarkDirtyAndSetTheHints)
{
    LaserStatusCopy laser = TypicalLaser();
    laser.comPort = 1;
    startClean(laser);
    Form_main->SetShowHint(true);
    modal.Then([](TForm& Form) {
        auto& box = dynamic_cast<Tconfigbox&>(Form);
        box.CheckBox1->SetChecked(false);
        box.RadioGroup1->SetItemIndex(4);
        Form.ModalResult = mrOk;
    });
    Form_main->Menu_configure->Click();
    EXPECT_EQ(sent(), (Commands { { cmd_selectport, 4 }, { cmd_autosave, 0 } }));
    EXPECT_TRUE(Form_main->Settings().Dirty);
    EXPECT_FALSE(Form_main->GetShowHint());
    EXPECT_FALSE(fenergy->GetShowHint());
}

TEST_F(DialogsTest, APortBeyondTheListSelectsNothingAndIsNotChangedByOk)
{
    LaserStatusCopy laser = TypicalLaser();
    laser.comPort = 12;
    start(laser);
    modal.Then([](TForm& Form) {
        EXPECT_EQ(dynamic_cast<Tconfigbox&>(Form).RadioGroup1->GetItemIndex(), -1);
        Form.ModalResult = mrOk;
    });
    Form_main->Menu_configure->Click();
    EXPECT_EQ(sent(), (Commands { { cmd_autosave, 0 } }));
}

TEST_F(DialogsTest, SaveAppliesOnceWritesTheSettingsAndClosesAsCancelled)
{
    start();
    const std::string ini = dir.file("Heliant.INI");
    ASSERT_FALSE(std::filesystem::exists(ini));
    modal.Then([](TForm& Form) {
        auto& box = dynamic_cast<Tconfigbox&>(Form);
        box.CheckBox2->SetChecked(true);
        box.Button2->Click();
    });
    Form_main->Menu_configure->Click();
    EXPECT_EQ(sent(), (Commands { { cmd_autosave, 1 } })) << "applied once only";
    EXPECT_TRUE(std::filesystem::exists(ini));
    EXPECT_EQ(configbox->ModalResult, mrCancel);
}

TEST_F(DialogsTest, OptionsDialogFocusesOkAndFollowsTheMainFormsHints)
{
    start();
    Form_main->SetShowHint(true);
    configbox->SetShowHint(false);
    configbox->Show();
    configbox->FormActivate(configbox);
    EXPECT_TRUE(configbox->GetShowHint());
    EXPECT_TRUE(configbox->Button1->Focused());
    configbox->Hide();
}

// --- About

TEST_F(DialogsTest, AboutShowsTheVersionsOfProgramServerLinkAndLaser)
{
    LaserStatusCopy laser = TypicalLaser();
    laser.deviceVersion = 181;
    laser.serialNumber = 4711;
    SetField(laser.firmwareText, "V181-B21");
    start(laser);
    modal.Answer(mrOk);
    Form_main->Menu_About->Click();
    EXPECT_EQ(About->Label16->GetCaption(), "Version 7.03");
    EXPECT_EQ(About->lab_exim->GetCaption(), "Kelmor32 scripted test server");
    EXPECT_EQ(About->lab_dll->GetCaption(), FieldText(server.Status.linkBanner));
    EXPECT_FALSE(About->lab_dll->GetCaption().empty());
    EXPECT_EQ(About->label_version->GetCaption(), "version: V181-B21  ");
    EXPECT_TRUE(About->lab_ser->GetVisible());
    EXPECT_EQ(About->lab_ser->GetCaption(), "serial no.: 4711");
}

TEST_F(DialogsTest, SerialNumberNamesWhereItIsKept)
{
    LaserStatusCopy laser {};
    laser.serialNumber = 1234;
    SetField(laser.firmwareText, "V181-B21");
    EXPECT_EQ(SerialNumberCaption(laser), "serial no.: 1234");
    SetField(laser.firmwareText, "V181-A21");
    EXPECT_EQ(SerialNumberCaption(laser), "cls-eprom serial no.: 1234");
    SetField(laser.firmwareText, "V181-B"); // one character from the sixth on
    EXPECT_EQ(SerialNumberCaption(laser), "cls-eprom serial no.: 1234");
    SetField(laser.firmwareText, "V181-");
    EXPECT_EQ(SerialNumberCaption(laser), "cls-eprom serial no.: 1234");
    SetField(laser.firmwareText, "V181-Bx");
    EXPECT_EQ(SerialNumberCaption(laser), "serial no.: 1234");
    SetField(laser.firmwareText, "V181-\xC4"
                                 "1"); // a letter of the upper half of the code page
    EXPECT_EQ(SerialNumberCaption(laser), "serial no.: 1234");
}

TEST_F(DialogsTest, AboutHidesTheSerialNumberOfOlderControllers)
{
    LaserStatusCopy laser = TypicalLaser();
    laser.deviceVersion = 180;
    start(laser);
    modal.Answer(mrOk);
    Form_main->Menu_About->Click();
    EXPECT_FALSE(About->lab_ser->GetVisible());
}

TEST_F(DialogsTest, AboutBeforeAnyNoticeShowsEmptyVersionTexts)
{
    // Not registered: no shared block to read from.
    ASSERT_EQ(Form_main->GetLink().Whole(), nullptr);
    modal.Then([](TForm& Form) { dynamic_cast<TAbout&>(Form).BitBtn3->Click(); });
    EXPECT_EQ(About->ShowModal(), mrOk);
    EXPECT_EQ(About->lab_exim->GetCaption(), "");
    EXPECT_EQ(About->lab_dll->GetCaption(), "");
    EXPECT_EQ(About->label_version->GetCaption(), "version:   ");
    EXPECT_FALSE(About->lab_ser->GetVisible());
}

// --- Exit question

TEST_F(DialogsTest, ExitQuestionFocusesNo)
{
    exithint->Show();
    exithint->FormActivate(exithint);
    EXPECT_TRUE(exithint->btn_no->Focused());
    EXPECT_EQ(exithint->btn_no->ModalResult, mrCancel);
    EXPECT_EQ(exithint->btn_yes->ModalResult, mrYes);
    exithint->Hide();
}

} // namespace
