//===- Commands.cpp - Heliant's operator commands: buttons, inputs, keys, menus and options ---===//
//
// Every operator action ends in one lascommand. The program never waits for the laser: what a
// command did shows with the next notice.
//
#include "lasercontrol/TForm_main.h"

#include "controls/TInputBox.h"
#include "controls/TMLCD.h"
#include "controls/TMPLCD.h"
#include "controls/TMled.h"
#include "lasercontrol/HeliantTexts.h"
#include "lasercontrol/PanelRules.h"
#include "lasercontrol/TAbout.h"
#include "lasercontrol/Tconfigbox.h"
#include "lasercontrol/Tfenergy.h"
#include "lasercontrol/Tflushingform.h"
#include "platform/ui/controls/ExtCtrls.h"
#include "platform/ui/controls/StdCtrls.h"
#include "platform/ui/controls/TCustomPanel.h"
#include "platform/ui/controls/VirtualKeys.h"
#include "platform/user/Dialogs.h"

#include <algorithm>
#include <bit>
#include <cmath>

namespace {

constexpr UINT BeepType = 0xFFFF;
constexpr int HvStepPercent = 10;

/// Rounds Value into Min..Max; what is not a number becomes Min. Every double the operator typed
/// passes here before it becomes an integer argument.
uint32_t ClampedRound(double Value, double Min, double Max)
{
    if (!std::isfinite(Value))
        return uint32_t(Value > 0 ? Max : Min);
    return uint32_t(std::llround(std::clamp(Value, Min, Max)));
}

} // namespace

// --- Buttons

void TForm_main::Btn_Click(TObject* Sender)
{
    const LaserStatusCopy& s = link_.Status();
    if (Sender == Btn_Exit) {
        Close();
    } else if (Sender == LCD_mj) {
        if (Bit(s.capabilityFlags, 2) && fenergy) {
            if (fenergy->GetVisible())
                fenergy->Close();
            else
                fenergy->Show();
        }
    } else if (Sender == btn_onl) {
        lascommand(cmd_online, 0);
    } else if (Sender == btn_offline) {
        lascommand(cmd_offline, 0);
    } else if (Sender == btn_quant) {
        lascommand(cmd_burst, 0);
    } else if (Sender == btn_rep) {
        lascommand(cmd_repetition, 0);
    } else if (Sender == btn_off) {
        lascommand(cmd_triggeroff, 0);
    } else if (Sender == btn_watch) {
        lascommand(cmd_watchcount, 0);
    } else if (Sender == btn_exttrig) {
        lascommand(cmd_exttrigger, 0);
    } else if (Sender == btn_lasoff) {
        lascommand(cmd_laseroff, 0);
    } else if (Sender == btn_lason) {
        lascommand(cmd_laseron, 0);
        // The lamp stays lit over the charging time, until the laser reports the high voltage.
        panel_.LaserOnPressed(s);
    } else if (Sender == btn_contr) {
        lascommand(led_control->GetLedOn() ? cmd_controloff : cmd_controlon, 0);
    } else if (Sender == led_pemerror) {
        lascommand(cmd_pemreset, 0);
    } else if (Sender == btn_newfill) {
        tnewfill();
    } else if (Sender == btn_gmFlush) {
        if (panel_.FlushingVariant())
            gasMode(gas_internflushing);
        else if (panel_.LastStep() == 11 && GasStep(s) == 10)
            gasMode(gas_nextleakstep);
        else if (flushingform)
            flushingform->Show();
    } else if (Sender == btn_hvu) {
        lascommand(cmd_hvup, 0);
    } else if (Sender == btn_hvd) {
        lascommand(cmd_hvdown, 0);
    } else if (Sender == btn_hvuu) {
        hvStep(+HvStepPercent);
    } else if (Sender == btn_hvdd) {
        hvStep(-HvStepPercent);
    } else if (Sender == btn_gmquitt) {
        // The optic leak test ends with the next blink and judges what it has seen so far.
        if (GasStep(s) == 12)
            leakTests_.EndAtNextBlink();
        else
            gasMode(gas_quit);
    } else if (Sender == btn_shutter) {
        lascommand(Bit(s.modeFlags2, 4) ? cmd_shutterclose : cmd_shutteropen, 0);
    }
}

void TForm_main::hvStep(int Delta)
{
    const PanelState::HvStep step = panel_.StepHighVoltage(Delta);
    if (step.AtLimit)
        MessageBeep(BeepType);
    lascommand(cmd_hvset, step.Value);
}

void TForm_main::gasMode(uint8_t SubCommand) { lascommand(cmd_gasmode, GasModeArgument(SubCommand)); }

// --- Input displays

void TForm_main::InputClick(TObject* Sender)
{
    const LaserStatusCopy& s = link_.Status();
    const bool online = IsOnline(s);
    if (Sender == LCD_Hz) {
        if (!online)
            return;
        const double value = InBox->Execute(SInputRepetitionRate, 3, 1, 0, s.repRate);
        if (InBox->ResultCode != TInputBox::ResultOk)
            return;
        lascommand(cmd_reprate, ClampedRound(value, 0, 200));
        if (IsOnline(link_.Status()) && IsFiring(link_.Status()))
            panel_.BlinkRepRate();
    } else if (Sender == LCD_quant) {
        if (!online)
            return;
        const double value = InBox->Execute(SInputQuantity, 5, 1, 0, s.quantity);
        if (InBox->ResultCode != TInputBox::ResultOk)
            return;
        lascommand(cmd_quantity, ClampedRound(value, 0, 0xFFFF));
        if (IsOnline(link_.Status()) && Bit(link_.Status().modeFlags, 1))
            panel_.BlinkQuantity();
    } else if (fenergy && Sender == fenergy->MPLCD9) {
        if (!online)
            return;
        const double value = InBox->Execute(SInputEnergy, 3, 2, 1, fenergy->MPLCD9->GetValue());
        if (InBox->ResultCode != TInputBox::ResultOk)
            return;
        lascommand(cmd_energyset, std::bit_cast<uint32_t>(float(value)));
    } else if (Sender == lab_count) {
        if (s.deviceVersion >= 185)
            return;
        const double value = InBox->Execute(SPresetCounter, 10, 4, 0, double(s.pulseCounter));
        if (InBox->ResultCode != TInputBox::ResultOk)
            return;
        lascommand(cmd_presetcounter, ClampedRound(value, 0, 2147483647.0));
    }
}

// --- Keys

void TForm_main::FormKeyDown(TObject*, WORD& Key, TShiftState)
{
    switch (Key) {
    case VK_SPACE: Btn_Click(btn_lasoff); break;
    case VK_PRIOR: Btn_Click(btn_hvuu); break;
    case VK_NEXT: Btn_Click(btn_hvdd); break;
    case 'C': Btn_Click(btn_contr); break;
    case 'E': InputClick(LCD_Hz); break;
    case 'J':
        if (fenergy)
            InputClick(fenergy->MPLCD9);
        break;
    case 'Y': InputClick(LCD_quant); break;
    case 'M': Btn_Click(led_pemerror); break;
    case VK_ADD:
    case VK_OEM_PLUS: Btn_Click(btn_hvu); break;
    case VK_SUBTRACT:
    case VK_OEM_MINUS: Btn_Click(btn_hvd); break;
    default: return; // the focused control has it
    }
    // Consumed: the focused button must not be pressed by the same key as well.
    Key = 0;
}

// --- Menu entries and the control panel

void TForm_main::Adjustenergy1Click(TObject*) { lascommand(cmd_adjustenergy, 0); }

void TForm_main::SparkGap1Click(TObject*) { lascommand(cmd_sparkgap, 0); }

void TForm_main::Menu_AboutClick(TObject*)
{
    if (About)
        About->ShowModal();
}

void TForm_main::btn_contrMouseDown(TObject*, TMouseButton, TShiftState, int, int)
{
    btn_contr->SetBevelInner(bvLowered);
}

void TForm_main::btn_contrMouseUp(TObject*, TMouseButton, TShiftState, int, int) { btn_contr->SetBevelInner(bvRaised); }

// --- Options

void TForm_main::Menu_configureClick(TObject*)
{
    if (!configbox)
        return;
    configbox->CheckBox1->SetChecked(GetShowHint());
    configbox->CheckBox2->SetChecked(Bit(link_.Status().optionFlags, 3));
    // A port the list does not have selects no item rather than a wrong one.
    const int port = link_.Status().comPort;
    configbox->RadioGroup1->SetItemIndex(port <= 9 ? port : -1);
    if (configbox->ShowModal() == mrOk)
        takeoptions();
}

void TForm_main::takeoptions()
{
    const bool showHints = configbox->CheckBox1->GetChecked();
    const bool autoSave = configbox->CheckBox2->GetChecked();
    if (showHints != GetShowHint() || autoSave != Bit(link_.Status().optionFlags, 3))
        settings_.Dirty = true;
    const int item = configbox->RadioGroup1->GetItemIndex();
    if (item >= 0 && item != link_.Status().comPort)
        lascommand(cmd_selectport, uint32_t(item));
    SetShowHint(showHints);
    if (fenergy)
        fenergy->SetShowHint(showHints);
    lascommand(cmd_autosave, autoSave ? 1 : 0);
}
