//===- operator_commands_test.cpp - Buttons, input displays, keys, menus and the energy window ---===//
//
// Every action is checked by what the scripted server fetches from the command ring.
//
#include "lasercontrol/TForm_main.h"

#include "controls/TInputBox.h"
#include "controls/TMLCD.h"
#include "controls/TMPLCD.h"
#include "controls/TMled.h"
#include "controls/TMnumedit.h"
#include "controls/Tbox.h"
#include "lasercontrol/PanelRules.h"
#include "lasercontrol/TAbout.h"
#include "lasercontrol/Tfenergy.h"
#include "lasercontrol/Tflushingform.h"
#include "tests/lasercontrol/HeliantFixture.h"

#include "platform/ui/controls/Buttons.h"
#include "platform/ui/controls/Menus.h"
#include "platform/ui/controls/StdCtrls.h"
#include "platform/ui/controls/TCustomPanel.h"
#include "platform/ui/controls/VirtualKeys.h"

#include <bit>
#include <filesystem>

namespace {

/// Types Text over the input dialog's edit and presses Enter (OK).
uitest::ModalAnswerer::Action Type(std::string Text)
{
    return [Text](TForm& Form) {
        auto* Box = dynamic_cast<Tbox*>(&Form);
        ASSERT_NE(Box, nullptr) << Form.ClassName();
        Box->Mnumedit1->SelectAll();
        uitest::TypeText(*Box->Mnumedit1, Text);
        uitest::PressKey(*Box->Mnumedit1, VK_RETURN);
    };
}

class OperatorCommandsTest : public HeliantTest {
protected:
    /// A new status with a redraw, as a notice brings it.
    void redraw(const LaserStatusCopy& Copy)
    {
        server.Copy() = Copy;
        notice(ev_blink2, 1);
        server.Fetch();
    }
    /// Shows the panel with the BURST button focused: a key it does not consume would press it.
    void focusBurst()
    {
        Form_main->Show();
        Form_main->Perform(WM_BUTTONOVERRIDE, 1, 0);
        Form_main->enable_btn();
        ASSERT_TRUE(Form_main->btn_quant->CanFocus());
        Form_main->btn_quant->SetFocus();
    }
    static void click(TControl* Control)
    {
        ASSERT_TRUE(Control->OnClick) << Control->GetName() << " has no click handler";
        Control->OnClick(Control);
    }

    uitest::ModalAnswerer modal;
};

TEST_F(OperatorCommandsTest, EachPanelButtonSendsItsCommand)
{
    start();
    const std::pair<TControl*, uint16_t> rows[] = {
        { Form_main->btn_onl, cmd_online },         { Form_main->btn_offline, cmd_offline },
        { Form_main->btn_quant, cmd_burst },        { Form_main->btn_rep, cmd_repetition },
        { Form_main->btn_off, cmd_triggeroff },     { Form_main->btn_watch, cmd_watchcount },
        { Form_main->btn_exttrig, cmd_exttrigger }, { Form_main->btn_lasoff, cmd_laseroff },
        { Form_main->btn_lason, cmd_laseron },      { Form_main->led_pemerror, cmd_pemreset },
        { Form_main->btn_hvu, cmd_hvup },           { Form_main->btn_hvd, cmd_hvdown },
        { Form_main->btn_contr, cmd_controlon },    { Form_main->btn_shutter, cmd_shutteropen },
    };
    for (const auto& [Control, Code] : rows) {
        click(Control);
        EXPECT_EQ(sent(), (Commands { { Code, 0 } })) << Control->GetName();
    }
}

TEST_F(OperatorCommandsTest, ControlAndShutterButtonsToggleByTheirState)
{
    LaserStatusCopy laser = TypicalLaser();
    laser.modeFlags |= 0x04;  // control loop on
    laser.modeFlags2 |= 0x10; // shutter open
    start(laser);
    click(Form_main->btn_contr);
    click(Form_main->btn_shutter);
    EXPECT_EQ(sent(), (Commands { { cmd_controloff, 0 }, { cmd_shutterclose, 0 } }));
}

TEST_F(OperatorCommandsTest, LaserOnHoldsTheLampOnlyWhileTheHighVoltageIsOff)
{
    start();
    click(Form_main->btn_lason);
    EXPECT_EQ(Form_main->GetPanelState().LaserOnHold(), 10);
    LaserStatusCopy laser = TypicalLaser();
    laser.stateFlags |= sf_highvoltage;
    redraw(laser);
    click(Form_main->btn_lason);
    EXPECT_EQ(Form_main->GetPanelState().LaserOnHold(), 0);
    EXPECT_EQ(sent(), (Commands { { cmd_laseron, 0 } }));
}

TEST_F(OperatorCommandsTest, TenPercentStepsStopAtTheLimitsWithABeep)
{
    LaserStatusCopy laser = TypicalLaser();
    laser.hvPercent = 95;
    start(laser);
    click(Form_main->btn_hvuu);
    EXPECT_EQ(sent(), (Commands { { cmd_hvset, 100 } }));
    EXPECT_TRUE(beeps.Beeps().empty());
    // The step set the base; the laser still reports 95 at the next redraw.
    redraw(laser);
    click(Form_main->btn_hvuu);
    EXPECT_EQ(sent(), (Commands { { cmd_hvset, 100 } }));
    EXPECT_EQ(beeps.Beeps().size(), 1u);

    laser.hvPercent = 5;
    redraw(laser);
    redraw(laser);
    click(Form_main->btn_hvdd);
    EXPECT_EQ(sent(), (Commands { { cmd_hvset, 0 } }));
    click(Form_main->btn_hvdd);
    EXPECT_EQ(sent(), (Commands { { cmd_hvset, 0 } }));
    EXPECT_EQ(beeps.Beeps().size(), 2u);
}

TEST_F(OperatorCommandsTest, AnOutOfRangeHighVoltageIsClampedBeforeTheStep)
{
    LaserStatusCopy laser = TypicalLaser();
    laser.hvPercent = 200;
    start(laser);
    click(Form_main->btn_hvdd);
    EXPECT_EQ(sent(), (Commands { { cmd_hvset, 90 } }));
    redraw(laser);
    redraw(laser);
    click(Form_main->btn_hvuu);
    EXPECT_EQ(sent(), (Commands { { cmd_hvset, 100 } }));
    EXPECT_EQ(beeps.Beeps().size(), 1u);
}

TEST_F(OperatorCommandsTest, QuitEndsTheOpticLeakTestOrLeavesGasMode)
{
    LaserStatusCopy laser = TypicalLaser();
    laser.stateFlags |= sf_gasmode;
    laser.gasState = 3;
    start(laser);
    click(Form_main->btn_gmquitt);
    EXPECT_EQ(sent(), (Commands { { cmd_gasmode, 0x0002 } }));

    laser.gasState = 12;
    redraw(laser);
    ASSERT_TRUE(Form_main->GetLeakTests().OpticRunning());
    ASSERT_GT(Form_main->GetLeakTests().Countdown(), 1);
    click(Form_main->btn_gmquitt);
    EXPECT_TRUE(sent().empty());
    EXPECT_EQ(Form_main->GetLeakTests().Countdown(), 1);
}

TEST_F(OperatorCommandsTest, FlushingStartsTheLeakTestAfterTheOpticOrOffersTheProcedures)
{
    LaserStatusCopy laser = TypicalLaser();
    start(laser);
    EXPECT_FALSE(flushingform->GetVisible());
    click(Form_main->btn_gmFlush);
    EXPECT_TRUE(flushingform->GetVisible());
    EXPECT_TRUE(sent().empty());
    flushingform->Hide();

    laser.stateFlags |= sf_gasmode;
    laser.gasState = 11;
    redraw(laser);
    ASSERT_EQ(Form_main->GetPanelState().LastStep(), 11) << "the optic was open";
    laser.gasState = 10;
    Form_main->takeStatus(laser);
    click(Form_main->btn_gmFlush);
    EXPECT_EQ(sent(), (Commands { { cmd_gasmode, GasModeArgument(5) } }));
    EXPECT_FALSE(flushingform->GetVisible());
}

TEST_F(OperatorCommandsTest, FlushingVariantStartsInternFlushingAtOnce)
{
    LaserStatusCopy laser = TypicalLaser();
    laser.deviceFlags = 0x31; // two laser heads with gas handling
    laser.capabilityFlags = 0x0F;
    start(laser);
    ASSERT_TRUE(Form_main->GetPanelState().FlushingVariant());
    click(Form_main->btn_gmFlush);
    EXPECT_EQ(sent(), (Commands { { cmd_gasmode, 0x0402 } }));
    EXPECT_TRUE(modal.Shown().empty()) << "no confirmation";
    EXPECT_FALSE(flushingform->GetVisible());
}

TEST_F(OperatorCommandsTest, EnergyDisplayTogglesTheEnergyWindowWhenTheLoopExists)
{
    LaserStatusCopy laser = TypicalLaser();
    start(laser);
    ASSERT_TRUE(Bit(Form_main->Status().capabilityFlags, 2));
    click(Form_main->LCD_mj);
    EXPECT_TRUE(fenergy->GetVisible());
    click(Form_main->LCD_mj);
    EXPECT_FALSE(fenergy->GetVisible());

    laser.capabilityFlags = 0x3F & ~0x04;
    redraw(laser);
    click(Form_main->LCD_mj);
    EXPECT_FALSE(fenergy->GetVisible());
    EXPECT_TRUE(sent().empty());
}

// --- Input displays

TEST_F(OperatorCommandsTest, RepetitionRateIsLimitedTo200AndBlinksWhileFiring)
{
    LaserStatusCopy laser = TypicalLaser();
    laser.stateFlags |= sf_firing;
    start(laser);
    modal.Then(Type("250"));
    click(Form_main->LCD_Hz);
    EXPECT_EQ(sent(), (Commands { { cmd_reprate, 200 } }));
    ASSERT_EQ(modal.Shown().size(), 1u);
    EXPECT_EQ(modal.Shown()[0].Caption, "Input repetition rate");
    EXPECT_TRUE(Form_main->GetPanelState().LcdBlinkHz());
}

TEST_F(OperatorCommandsTest, TheInputDialogStartsFromTheLasersValue)
{
    start();
    std::string shownText;
    modal.Then([&](TForm& Form) {
        shownText = dynamic_cast<Tbox&>(Form).Mnumedit1->GetText();
        Form.ModalResult = mrOk;
    });
    click(Form_main->LCD_quant);
    EXPECT_EQ(shownText, "100");
    EXPECT_EQ(sent(), (Commands { { cmd_quantity, 100 } }));
    EXPECT_FALSE(Form_main->GetPanelState().LcdBlinkQuant()) << "not in burst mode";
}

TEST_F(OperatorCommandsTest, CancelledOrOfflineInputsSendNothing)
{
    LaserStatusCopy laser = TypicalLaser();
    start(laser);
    modal.Answer(mrCancel);
    click(Form_main->LCD_Hz);
    EXPECT_TRUE(sent().empty());
    EXPECT_EQ(modal.Shown().size(), 1u);

    laser.stateFlags &= ~sf_online;
    redraw(laser);
    click(Form_main->LCD_Hz);
    click(Form_main->LCD_quant);
    click(fenergy->MPLCD9);
    EXPECT_EQ(modal.Shown().size(), 1u) << "no dialog while offline";
    EXPECT_TRUE(sent().empty());
}

TEST_F(OperatorCommandsTest, QuantityInBurstModeBlinksTheQuantityDisplay)
{
    LaserStatusCopy laser = TypicalLaser();
    laser.modeFlags |= 0x02;
    start(laser);
    modal.Then(Type("1234"));
    click(Form_main->LCD_quant);
    EXPECT_EQ(sent(), (Commands { { cmd_quantity, 1234 } }));
    EXPECT_TRUE(Form_main->GetPanelState().LcdBlinkQuant());
}

TEST_F(OperatorCommandsTest, EnergyInputSendsTheBitsOfAFloat)
{
    start();
    modal.Then(Type("12.5"));
    click(fenergy->MPLCD9);
    EXPECT_EQ(sent(), (Commands { { cmd_energyset, std::bit_cast<uint32_t>(12.5f) } }));
    ASSERT_EQ(modal.Shown().size(), 1u);
    EXPECT_EQ(modal.Shown()[0].Caption, "Input energy");
}

TEST_F(OperatorCommandsTest, PresetCounterIsClampedAndOnlyForOlderControllers)
{
    LaserStatusCopy laser = TypicalLaser();
    laser.deviceVersion = 184;
    start(laser);
    modal.Then(Type("9999999999"));
    click(Form_main->lab_count);
    modal.Then(Type("-5"));
    click(Form_main->lab_count);
    EXPECT_EQ(sent(), (Commands { { cmd_presetcounter, 2147483647u }, { cmd_presetcounter, 0 } }));
    EXPECT_EQ(modal.Shown().at(0).Caption, "Preset Counter");

    laser.deviceVersion = 185;
    redraw(laser);
    click(Form_main->lab_count);
    EXPECT_EQ(modal.Shown().size(), 2u);
    EXPECT_TRUE(sent().empty());
}

// --- Keys

TEST_F(OperatorCommandsTest, SpaceSendsLaserOffEvenDisabledAndNeverPressesTheFocusedButton)
{
    start();
    focusBurst();
    Form_main->btn_lasoff->SetEnabled(false);
    uitest::PressKey(*Form_main->btn_quant, VK_SPACE);
    EXPECT_EQ(sent(), (Commands { { cmd_laseroff, 0 } }));
}

TEST_F(OperatorCommandsTest, EachShortcutKeyActsAsItsControl)
{
    LaserStatusCopy laser = TypicalLaser();
    laser.hvPercent = 50;
    start(laser);
    focusBurst();
    const std::pair<WORD, Commands> rows[] = {
        { VK_PRIOR, { { cmd_hvset, 60 } } },    { VK_NEXT, { { cmd_hvset, 50 } } },
        { 'C', { { cmd_controlon, 0 } } },      { 'M', { { cmd_pemreset, 0 } } },
        { VK_ADD, { { cmd_hvup, 0 } } },        { VK_OEM_PLUS, { { cmd_hvup, 0 } } },
        { VK_SUBTRACT, { { cmd_hvdown, 0 } } }, { VK_OEM_MINUS, { { cmd_hvdown, 0 } } },
    };
    for (const auto& [Key, Expected] : rows) {
        uitest::PressKey(*Form_main->btn_quant, Key);
        EXPECT_EQ(sent(), Expected) << "key " << Key;
    }
}

TEST_F(OperatorCommandsTest, InputKeysOpenTheirDialogs)
{
    start();
    focusBurst();
    modal.Then(Type("30"));
    modal.Then(Type("7"));
    modal.Then(Type("55.5"));
    uitest::PressKey(*Form_main->btn_quant, 'E');
    uitest::PressKey(*Form_main->btn_quant, 'Y');
    uitest::PressKey(*Form_main->btn_quant, 'J');
    EXPECT_EQ(
        sent(),
        (Commands { { cmd_reprate, 30 }, { cmd_quantity, 7 }, { cmd_energyset, std::bit_cast<uint32_t>(55.5f) } }));
}

TEST_F(OperatorCommandsTest, OtherKeysPassToTheFocusedControl)
{
    start();
    WORD key = 'Q';
    Form_main->FormKeyDown(Form_main, key, {});
    EXPECT_EQ(key, 'Q');
    key = VK_SPACE;
    Form_main->FormKeyDown(Form_main, key, {});
    EXPECT_EQ(key, 0);
    EXPECT_EQ(sent(), (Commands { { cmd_laseroff, 0 } }));
}

// --- Menus, the control panel and the energy window

TEST_F(OperatorCommandsTest, MenuEntriesSendTheirCommandsOrShowTheAboutBox)
{
    start();
    Form_main->Adjustenergy1->Click();
    Form_main->SparkGap1->Click();
    EXPECT_EQ(sent(), (Commands { { cmd_adjustenergy, 0 }, { cmd_sparkgap, 0 } }));
    modal.Answer(mrOk);
    Form_main->Menu_About->Click();
    ASSERT_EQ(modal.Shown().size(), 1u);
    EXPECT_EQ(modal.Shown()[0].ClassName, "TAbout");
}

TEST_F(OperatorCommandsTest, ControlPanelShowsItsBevelPressedAndReleased)
{
    start();
    Form_main->Show();
    uitest::MousePress(*Form_main->btn_contr, mbLeft, 3, 3);
    EXPECT_EQ(Form_main->btn_contr->GetBevelInner(), bvLowered);
    uitest::MouseRelease(*Form_main->btn_contr, mbLeft, 3, 3);
    EXPECT_EQ(Form_main->btn_contr->GetBevelInner(), bvRaised);
}

TEST_F(OperatorCommandsTest, EnergyStepsOnlyWhileOnline)
{
    LaserStatusCopy laser = TypicalLaser();
    start(laser);
    click(fenergy->SpeedButton19);
    click(fenergy->SpeedButton18);
    EXPECT_EQ(sent(), (Commands { { cmd_energyup, 0 }, { cmd_energydown, 0 } }));
    laser.stateFlags &= ~sf_online;
    redraw(laser);
    click(fenergy->SpeedButton19);
    click(fenergy->SpeedButton18);
    EXPECT_TRUE(sent().empty());
}

TEST_F(OperatorCommandsTest, ExitWhileFiringAsksAndNoKeepsTheProgramRunning)
{
    LaserStatusCopy laser = TypicalLaser();
    laser.stateFlags |= sf_firing;
    laser.optionFlags |= 0x08; // settings saved at the end
    start(laser);
    ASSERT_TRUE(Form_main->Settings().Dirty) << "no settings file yet";
    Form_main->Show();
    modal.Then([](TForm& Form) {
        EXPECT_EQ(Form.ClassName(), "Texithint");
        Form.ModalResult = mrCancel; // "No"
    });
    click(Form_main->Btn_Exit);
    ASSERT_EQ(modal.Shown().size(), 1u);
    EXPECT_FALSE(Form_main->Closing());
    EXPECT_TRUE(Form_main->GetVisible());
    EXPECT_FALSE(std::filesystem::exists(dir.file("Heliant.INI")));
}

} // namespace
