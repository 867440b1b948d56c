//===- FrontPanel.cpp - TForm_main's front panel: redraw, leak tests, blink phases, enable rules, device ---===//
//
// The decisions come from PanelRules and LeakTests; this file puts them on the components.
//
#include "lasercontrol/TForm_main.h"

#include "controls/TMGauge.h"
#include "controls/TMLCD.h"
#include "controls/TMPLCD.h"
#include "controls/TMled.h"
#include "controls/ToaGauge.h"
#include "controls/tmbox.h"
#include "lasercontrol/HeliantTexts.h"
#include "lasercontrol/PanelRules.h"
#include "lasercontrol/TForm_opt_teaktest.h"
#include "lasercontrol/Tfenergy.h"
#include "platform/rtl/SysUtils.h"
#include "platform/ui/controls/Buttons.h"
#include "platform/ui/controls/Menus.h"
#include "platform/ui/controls/StdCtrls.h"
#include "platform/ui/forms/TApplication.h"
#include "platform/ui/controls/TCustomPanel.h"
#include "platform/user/Dialogs.h"

#include <initializer_list>

namespace {

/// A lamp that shows one bit of the status copy.
struct LampBit {
    TMled* TForm_main::*Lamp;
    uint8_t LaserStatusCopy::*Flags;
    int Bit;
};

// led_lon is not here: it also stays lit for a while after LASER ON is pressed.
const LampBit lampBits[] = {
    { &TForm_main::led_onl, &LaserStatusCopy::stateFlags, 0 },
    { &TForm_main::led_lready, &LaserStatusCopy::stateFlags, 4 },
    { &TForm_main::led_warm, &LaserStatusCopy::stateFlags, 1 },
    { &TForm_main::led_exttrigger, &LaserStatusCopy::stateFlags, 7 },
    { &TForm_main::led_nf, &LaserStatusCopy::stateFlags, 2 },
    { &TForm_main::led_freq, &LaserStatusCopy::modeFlags, 0 },
    { &TForm_main::led_quant, &LaserStatusCopy::modeFlags, 1 },
    { &TForm_main::led_watchmode, &LaserStatusCopy::modeFlags, 7 },
    { &TForm_main::led_box, &LaserStatusCopy::errorFlags2, 1 },
    { &TForm_main::led_loop, &LaserStatusCopy::errorFlags2, 2 },
    { &TForm_main::led_temp, &LaserStatusCopy::errorFlags2, 3 },
    { &TForm_main::led_pemerror, &LaserStatusCopy::errorFlags2, 5 },
    { &TForm_main::led_cpu, &LaserStatusCopy::errorFlags2, 7 },
    { &TForm_main::led_press, &LaserStatusCopy::errorFlags1, 1 },
    { &TForm_main::led_fill, &LaserStatusCopy::errorFlags1, 2 },
    { &TForm_main::led_hv, &LaserStatusCopy::errorFlags1, 3 },
    { &TForm_main::led_heiz, &LaserStatusCopy::errorFlags1, 4 },
    { &TForm_main::led_HVtoohigh, &LaserStatusCopy::errorFlags1, 6 },
    { &TForm_main::led_hvtemp, &LaserStatusCopy::errorFlags1, 7 },
    { &TForm_main::led_temperature, &LaserStatusCopy::errorFlags3, 0 },
    { &TForm_main::led_ee, &LaserStatusCopy::errorFlags3, 1 },
    { &TForm_main::led_inert, &LaserStatusCopy::gasState, 4 },
    { &TForm_main::led_pre, &LaserStatusCopy::gasState, 5 },
    { &TForm_main::led_lh, &LaserStatusCopy::gasState, 6 },
    { &TForm_main::led_vac, &LaserStatusCopy::gasState, 7 },
};

void showAll(std::initializer_list<TControl*> Controls, bool Visible)
{
    for (TControl* C : Controls)
        C->SetVisible(Visible);
}

void enableAll(std::initializer_list<TControl*> Controls, bool Enabled)
{
    for (TControl* C : Controls)
        C->SetEnabled(Enabled);
}

void showValveLabel(TLabel& Label, TMled& Lamp, const ValveLabel& Text)
{
    Label.SetCaption(Text.Caption);
    Label.SetHint(Text.Hint);
    Lamp.SetHint(Text.LampHint);
}

} // namespace

// --- The full redraw

void TForm_main::Lgetstatus()
{
    showLamps();
    showGasMode();
    showValues();
    showShutter();
    panel_.FollowHighVoltage(link_.Status());
    Sgetstatus();
    enable_btn();
}

void TForm_main::showLamps()
{
    const LaserStatusCopy& s = link_.Status();
    for (const LampBit& L : lampBits)
        (this->*L.Lamp)->SetLedOn(Bit(s.*L.Flags, L.Bit));
    led_lon->SetLedOn(panel_.LaserOnLamp(s));
    const bool control = Bit(s.modeFlags, 2);
    led_control->SetLedOn(control);
    btn_contr->SetColor(control ? clRed : clBtnFace);
    if (fenergy)
        fenergy->Mled1->SetLedOn(Bit(s.modeFlags, 3));
}

void TForm_main::showGasMode()
{
    const GasLabelChoice choice = panel_.FollowGasStep(link_.Status());
    // The step's text stands before a leak-test question is asked: the operator reads the
    // question beside "extern flushing leak test", not beside the step before it.
    panel_.GasLabelShown(choice.Label);
    if (!choice.Label.Blinks)
        showGasText();
    if (!choice.FollowsStep) {
        leakTests_.Drop();
        if (Form_opt_teaktest)
            Form_opt_teaktest->Hide();
    } else {
        followLeakTests();
    }
}

void TForm_main::showGasText()
{
    const GasLabel& label = panel_.GasText();
    lab_gasmode->SetCaption(label.Text);
    lab_gasmode->SetColor(label.Color);
    lab_gasmode->GetFont()->SetColor(label.TextColor);
}

void TForm_main::followLeakTests()
{
    const int step = GasStep(link_.Status());
    if (leakTests_.AskExternQuestion(step)) {
        MessageBeep(MB_ICONINFORMATION);
        Application->MessageBox(SCheckPressureSensor, SExternFlushing, MB_OK);
        leakTests_.ExternQuestionAnswered();
        gasMode(gas_nextleakstep);
    }
    // The pressure as the notices handled while the question was up left it.
    const LeakTests::OpticSteps optic = leakTests_.FollowOptic(step, link_.Status().pressure);
    if (Form_opt_teaktest && optic.HideNotice)
        Form_opt_teaktest->Hide();
    if (Form_opt_teaktest && optic.ShowNotice)
        Form_opt_teaktest->Show();
    if (optic.SendNextStep)
        gasMode(gas_nextleakstep);
    if (optic.Result) {
        MessageBeep(MB_ICONINFORMATION);
        tmbox1->ShowMessage(SAttention, *optic.Result, SContinue);
    }
}

void TForm_main::showValues()
{
    const LaserStatusCopy& s = link_.Status();
    if (fenergy)
        fenergy->MPLCD9->SetValue(s.energySet);
    LCD_Hz->SetValue(s.repRate);
    LCD_quant->SetValue(s.quantity);
    LCD_mj->SetValue(s.energy);
    Gauge_press->Setvalue(s.pressureBar);
    Gauge_press->SetBarColor(PressureBarColor(s));
    Panel_prh1->SetCaption(RoundedCaption(s.pressure));
    gauge_temperature->Setvalue(
        RoundedWithin(s.gasTemperature, gauge_temperature->GetMinValue(), gauge_temperature->GetMaxValue()));
    gauge_temperature->SetBarColor(TemperatureBarColor(s));
    Gauge_hv->Setvalue(s.hvPercent);
    Label_85->SetCaption(HvPercentText(s.hvPercent));
    lab_impz->SetCaption(IntToStr(s.watchCounter));
    lab_count->SetCaption(IntToStr(s.pulseCounter));
}

void TForm_main::showShutter()
{
    const bool open = Bit(link_.Status().modeFlags2, 4);
    btn_shutter->SetCaption(open ? "CLOSE &SHUTTER" : "OPEN &SHUTTER");
    btn_shutter->SetHint(open ? "CLOSE SHUTTER" : "OPEN SHUTTER");
    led_shutter->SetHint(open ? "shutter open" : "shutter closed");
    led_shutter->SetLedOn(open);
}

void TForm_main::Sgetstatus() { label_com->SetCaption(ComPortText(link_.Status().comPort)); }

void TForm_main::showLaserType(const std::string& Text, int Size)
{
    Label_lastyp->SetCaption(Text);
    Label_lastyp->GetFont()->SetSize(Size);
}

// --- Blink phases

void TForm_main::lblink1(bool Lit)
{
    const LaserStatusCopy& s = link_.Status();
    const bool statusError = Bit(s.errorFlags2, 0);
    const bool operationError = Bit(s.errorFlags1, 0);
    const bool errors = statusError || operationError || Bit(s.errorFlags3, 1);
    SetClientHeight(errors ? TallClientHeight : ShortClientHeight);
    showAll({ Panel_Stat_error, Panel_Op_Error }, errors);

    if (Lit) {
        led_stat_err->SetLedOn(statusError);
        led_op_err->SetLedOn(operationError);
        led_gastemp->SetLedOn(panel_.ReservoirHot());
        Gauge_press->SetEnabled(true);
        showAll({ Label_stat_err, Label_op_err }, true);
        LCD_Hz->SetLCDOn(true);
        LCD_quant->SetLCDOn(true);
        if (panel_.UseLaserOnHold())
            led_lon->SetLedOn(true);
        if (!panel_.NoConnection())
            showLaserType(panel_.DeviceText(), 12);
        return;
    }
    led_gastemp->SetLedOn(false);
    led_stat_err->SetLedOn(false);
    led_op_err->SetLedOn(false);
    if (operationError)
        Label_op_err->Hide();
    if (statusError)
        Label_stat_err->Hide();
    if (Bit(s.errorFlags2, 4))
        Gauge_press->SetEnabled(false);
    if (panel_.LcdBlinkHz())
        LCD_Hz->SetLCDOn(false);
    if (panel_.LcdBlinkQuant())
        LCD_quant->SetLCDOn(false);
    led_lon->SetLedOn(IsHighVoltage(s));
    if (!panel_.NoConnection() && Bit(s.modeFlags2, 0))
        showLaserType("inspection necessary", 10);
}

void TForm_main::lblink2(bool Lit)
{
    leakTests_.Blink();
    if (Lit == panel_.GasText().Blinks) {
        showGasText();
    } else if (!Lit) {
        lab_gasmode->SetCaption("");
        lab_gasmode->SetColor(clBtnFace);
    }
}

// --- Enable rules

void TForm_main::enable_btn()
{
    const ButtonStates b = ChooseButtonStates(link_.Status(), panel_.Modes());
    btn_lasoff->SetEnabled(b.lasoff);
    btn_off->SetEnabled(b.off);
    btn_lason->SetEnabled(b.lason);
    enableAll({ btn_rep, btn_quant }, b.repQuant);
    btn_onl->SetEnabled(b.onl);
    btn_offline->SetEnabled(b.offline);
    enableAll({ btn_hvdd, btn_hvuu, btn_hvu, btn_hvd }, b.hvSteps);
    btn_contr->SetEnabled(b.contr);
    btn_shutter->SetEnabled(b.shutter);
    btn_newfill->SetEnabled(b.newfill);
    btn_gmFlush->SetCaption(b.leakTestCaption ? "&LEAKTEST" : "FL&USHING");
    btn_gmFlush->SetEnabled(b.gmFlush);
    btn_gmquitt->SetEnabled(b.gmquitt);
    if (fenergy)
        enableAll({ fenergy->SpeedButton18, fenergy->SpeedButton19 }, b.energySteps);
    Gauge_hv->SetEnabled(b.gaugeHv);
    enableAll({ btn_watch, btn_exttrig }, b.watchExttrig);
    // The captions beside the two counters come and go with them.
    showAll({ lab_count, Label_count }, b.showCount);
    showAll({ lab_impz, Label_impz }, b.showImpz);

    gauge_time->SetVisible(b.showWarmupGauge);
    if (!b.showWarmupGauge)
        gauge_time->SetProgress(0);
    Label_warm->GetFont()->SetColor(b.warmLabelMaroon ? clMaroon : clBlack);
    gauge_time->SetHint(b.warmupLook.Hint);
    gauge_time->SetForeColor(b.warmupLook.ForeColor);
    gauge_time->SetBackColor(b.warmupLook.BackColor);
    panel_.ButtonsChosen(b.keepLcdBlink);
}

// --- Adapting to the laser

void TForm_main::enable_device(uint8_t DeviceFlags)
{
    // Only this copy is cut; the next notice brings the server's bits again.
    link_.MaskCapabilities(CapabilityMask(link_.Status().deviceVersion, DeviceFlags));
    const DeviceLayout d = ChooseDeviceLayout(link_.Status(), DeviceFlags);

    // ONLINE's lamp has no caption of its own; OFFLINE has no lamp.
    showAll({ btn_onl, btn_offline, led_onl }, d.onlineButtons);
    showAll({ led_temperature, led_ee, lab_ovtemp, lab_eeprom }, d.newVersionLamps);

    showAll({ Label_mbar, Panel_prh1 }, d.pressureReadout);
    showAll({ btn_newfill, btn_gmquitt, led_nf, led_inert, led_pre, Label_nf, Label_inert, Label_pre },
            d.gasProcedures);
    btn_gmFlush->SetVisible(d.flushButton);
    btn_gmFlush->SetLeft(d.flushLeft);
    panel_.AdaptToDevice(d, DeviceText(link_.Status()));
    showValveLabel(*Label_vac, *led_vac, d.vac);
    showValveLabel(*Label_lh, *led_lh, d.lh);
    showAll({ gauge_temperature, Label_gtemp }, d.temperatureGauge);
    showAll({ led_gastemp, Label_temp }, d.gasTempLamp);
    Label_disch->SetCaption(d.dischCaption);
    Label_comp_cham->SetCaption(d.compChamCaption);

    showAll({ led_control, btn_contr }, d.control);
    enableAll({ led_pemerror, LCD_mj }, d.energy);
    if (fenergy)
        fenergy->MPLCD9->SetEnabled(d.energy);
    Adjustenergy1->SetVisible(d.adjustEnergy);
    SparkGap1->SetVisible(d.sparkGap);
    showAll({ btn_shutter, led_shutter, lab_shutter }, d.shutter);

    enable_btn();
    const std::string unit = EnergyUnitCaption(link_.Status());
    Label_mj->SetCaption(unit);
    if (fenergy)
        fenergy->lab_unit->SetCaption(unit);
    showAll({ Panel_pressure, Panel_Control, panel_Energy }, true);
}
