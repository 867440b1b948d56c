//===- TForm_main.cpp - Heliant's main form: start-up, link, notices and closing ---===//
#include "lasercontrol/TForm_main.h"

#include "controls/TInputBox.h"
#include "controls/TMGauge.h"
#include "controls/TMLCD.h"
#include "controls/TMPLCD.h"
#include "controls/TMled.h"
#include "controls/ToaGauge.h"
#include "controls/tmbox.h"
#include "lasercontrol/HeliantTexts.h"
#include "lasercontrol/PanelRules.h"
#include "lasercontrol/Texithint.h"
#include "lasercontrol/Tfenergy.h"
#include "platform/kernel/TIniFile.h"
#include "platform/kernel/WinExec.h"
#include "platform/rtl/FileNames.h"
#include "platform/ui/controls/Menus.h"
#include "platform/ui/components/Published.h"
#include "platform/ui/controls/StdCtrls.h"
#include "platform/ui/forms/TApplication.h"
#include "platform/ui/controls/TCustomPanel.h"
#include "platform/user/Dialogs.h"

TForm_main* Form_main = nullptr;
std::string TForm_main::ProgramPath;

namespace {

constexpr UINT BeepType = 0xFFFF;

// Published names: the form resource creates these components and binds these handlers.
const PublishedClass& FormMainClass = PublishClass<TForm_main, TForm>("TForm_main", [](Published<TForm_main>& P) {
    P.Notify("FormCreate", &TForm_main::FormCreate);
    P.Close("FormClose", &TForm_main::FormClose);
    P.Notify("Btn_Click", &TForm_main::Btn_Click);
    P.Notify("InputClick", &TForm_main::InputClick);
    P.KeyDown("FormKeyDown", &TForm_main::FormKeyDown);
    P.Notify("Adjustenergy1Click", &TForm_main::Adjustenergy1Click);
    P.Notify("SparkGap1Click", &TForm_main::SparkGap1Click);
    P.Notify("Menu_AboutClick", &TForm_main::Menu_AboutClick);
    P.Notify("Menu_configureClick", &TForm_main::Menu_configureClick);
    P.Mouse("btn_contrMouseDown", &TForm_main::btn_contrMouseDown);
    P.Mouse("btn_contrMouseUp", &TForm_main::btn_contrMouseUp);

    P.Field("MainMenu1", &TForm_main::MainMenu1);
    P.Field("Menu_configure", &TForm_main::Menu_configure);
    P.Field("Adjustenergy1", &TForm_main::Adjustenergy1);
    P.Field("SparkGap1", &TForm_main::SparkGap1);
    P.Field("Menu_About", &TForm_main::Menu_About);
    P.Field("Label_lastyp", &TForm_main::Label_lastyp);
    P.Field("led_lready", &TForm_main::led_lready);
    P.Field("Label_ready", &TForm_main::Label_ready);
    P.Field("led_warm", &TForm_main::led_warm);
    P.Field("Label_warm", &TForm_main::Label_warm);
    P.Field("label_com", &TForm_main::label_com);
    P.Field("led_tx", &TForm_main::led_tx);
    P.Field("Label_tx", &TForm_main::Label_tx);
    P.Field("LED_RX", &TForm_main::LED_RX);
    P.Field("Label_rx", &TForm_main::Label_rx);
    P.Field("Btn_Exit", &TForm_main::Btn_Exit);
    P.Field("Panel_Control", &TForm_main::Panel_Control);
    P.Field("Label_rep", &TForm_main::Label_rep);
    P.Field("LCD_Hz", &TForm_main::LCD_Hz);
    P.Field("Label_hz", &TForm_main::Label_hz);
    P.Field("Label_quantity", &TForm_main::Label_quantity);
    P.Field("LCD_quant", &TForm_main::LCD_quant);
    P.Field("Label_count", &TForm_main::Label_count);
    P.Field("lab_count", &TForm_main::lab_count);
    P.Field("Label_impz", &TForm_main::Label_impz);
    P.Field("lab_impz", &TForm_main::lab_impz);
    P.Field("gauge_time", &TForm_main::gauge_time);
    P.Field("led_onl", &TForm_main::led_onl);
    P.Field("btn_onl", &TForm_main::btn_onl);
    P.Field("btn_offline", &TForm_main::btn_offline);
    P.Field("led_lon", &TForm_main::led_lon);
    P.Field("btn_lason", &TForm_main::btn_lason);
    P.Field("btn_lasoff", &TForm_main::btn_lasoff);
    P.Field("led_freq", &TForm_main::led_freq);
    P.Field("btn_rep", &TForm_main::btn_rep);
    P.Field("led_quant", &TForm_main::led_quant);
    P.Field("btn_quant", &TForm_main::btn_quant);
    P.Field("btn_off", &TForm_main::btn_off);
    P.Field("led_exttrigger", &TForm_main::led_exttrigger);
    P.Field("btn_exttrig", &TForm_main::btn_exttrig);
    P.Field("led_watchmode", &TForm_main::led_watchmode);
    P.Field("btn_watch", &TForm_main::btn_watch);
    P.Field("led_shutter", &TForm_main::led_shutter);
    P.Field("lab_shutter", &TForm_main::lab_shutter);
    P.Field("btn_shutter", &TForm_main::btn_shutter);
    P.Field("panel_Energy", &TForm_main::panel_Energy);
    P.Field("LCD_mj", &TForm_main::LCD_mj);
    P.Field("Label_mj", &TForm_main::Label_mj);
    P.Field("led_control", &TForm_main::led_control);
    P.Field("btn_contr", &TForm_main::btn_contr);
    P.Field("led_pemerror", &TForm_main::led_pemerror);
    P.Field("Label_pem", &TForm_main::Label_pem);
    P.Field("Label_hv", &TForm_main::Label_hv);
    P.Field("Gauge_hv", &TForm_main::Gauge_hv);
    P.Field("Label_85", &TForm_main::Label_85);
    P.Field("btn_hvdd", &TForm_main::btn_hvdd);
    P.Field("btn_hvd", &TForm_main::btn_hvd);
    P.Field("btn_hvu", &TForm_main::btn_hvu);
    P.Field("btn_hvuu", &TForm_main::btn_hvuu);
    P.Field("Panel_pressure", &TForm_main::Panel_pressure);
    P.Field("lab_gasmode", &TForm_main::lab_gasmode);
    P.Field("Label_press", &TForm_main::Label_press);
    P.Field("Gauge_press", &TForm_main::Gauge_press);
    P.Field("Panel_prh1", &TForm_main::Panel_prh1);
    P.Field("Label_mbar", &TForm_main::Label_mbar);
    P.Field("Label_gtemp", &TForm_main::Label_gtemp);
    P.Field("gauge_temperature", &TForm_main::gauge_temperature);
    P.Field("led_vac", &TForm_main::led_vac);
    P.Field("Label_vac", &TForm_main::Label_vac);
    P.Field("led_lh", &TForm_main::led_lh);
    P.Field("Label_lh", &TForm_main::Label_lh);
    P.Field("led_inert", &TForm_main::led_inert);
    P.Field("Label_inert", &TForm_main::Label_inert);
    P.Field("led_pre", &TForm_main::led_pre);
    P.Field("Label_pre", &TForm_main::Label_pre);
    P.Field("led_nf", &TForm_main::led_nf);
    P.Field("Label_nf", &TForm_main::Label_nf);
    P.Field("btn_newfill", &TForm_main::btn_newfill);
    P.Field("btn_gmFlush", &TForm_main::btn_gmFlush);
    P.Field("btn_gmquitt", &TForm_main::btn_gmquitt);
    P.Field("Panel_errors", &TForm_main::Panel_errors);
    P.Field("led_press", &TForm_main::led_press);
    P.Field("Label_lpress", &TForm_main::Label_lpress);
    P.Field("led_fill", &TForm_main::led_fill);
    P.Field("Label_fill", &TForm_main::Label_fill);
    P.Field("led_hv", &TForm_main::led_hv);
    P.Field("Label_lhv", &TForm_main::Label_lhv);
    P.Field("led_HVtoohigh", &TForm_main::led_HVtoohigh);
    P.Field("Label_HVtoohigh", &TForm_main::Label_HVtoohigh);
    P.Field("led_hvtemp", &TForm_main::led_hvtemp);
    P.Field("Label_hvtemp", &TForm_main::Label_hvtemp);
    P.Field("led_heiz", &TForm_main::led_heiz);
    P.Field("Label_heiz", &TForm_main::Label_heiz);
    P.Field("led_temp", &TForm_main::led_temp);
    P.Field("Label_disch", &TForm_main::Label_disch);
    P.Field("led_box", &TForm_main::led_box);
    P.Field("Label_comp_cham", &TForm_main::Label_comp_cham);
    P.Field("led_loop", &TForm_main::led_loop);
    P.Field("Label_loop", &TForm_main::Label_loop);
    P.Field("led_cpu", &TForm_main::led_cpu);
    P.Field("Label_cpu", &TForm_main::Label_cpu);
    P.Field("led_gastemp", &TForm_main::led_gastemp);
    P.Field("Label_temp", &TForm_main::Label_temp);
    P.Field("led_temperature", &TForm_main::led_temperature);
    P.Field("lab_ovtemp", &TForm_main::lab_ovtemp);
    P.Field("led_ee", &TForm_main::led_ee);
    P.Field("lab_eeprom", &TForm_main::lab_eeprom);
    P.Field("Panel_Stat_error", &TForm_main::Panel_Stat_error);
    P.Field("led_stat_err", &TForm_main::led_stat_err);
    P.Field("Label_stat_err", &TForm_main::Label_stat_err);
    P.Field("Panel_Op_Error", &TForm_main::Panel_Op_Error);
    P.Field("led_op_err", &TForm_main::led_op_err);
    P.Field("Label_op_err", &TForm_main::Label_op_err);
    P.Field("InBox", &TForm_main::InBox);
    P.Field("tmbox1", &TForm_main::tmbox1);
});

} // namespace

// --- Construction

TForm_main::TForm_main(TComponent* AOwner) : TForm(AOwner) {}

TForm_main::~TForm_main()
{
    // The filter points into this form; posted notices must not reach it once it is gone.
    if (Application)
        Application->OnMessage = nullptr;
}

void TForm_main::FormCreate(TObject*)
{
    const std::string program = ProgramPath.empty() ? ExecutablePath() : ProgramPath;
    const std::string programStem = ChangeFileExt(ExtractFileName(program), "");

    closing_ = false;
    panel_ = PanelState {};
    leakTests_ = LeakTests {};
    SetCaption(programStem + " " + HeliantVersion + std::string(14, ' '));
    lab_gasmode->SetCaption("");

    readSettings();
    Application->OnMessage = [this](MSG& Msg, bool& Handled) { OnAppMessage(Msg, Handled); };
    placeWindow();
}

// --- Settings

std::string TForm_main::settingsFile() const
{
    return ChangeFileExt(ProgramPath.empty() ? ExecutablePath() : ProgramPath, ".INI");
}

void TForm_main::readSettings()
{
    const TIniFile ini(settingsFile());
    settings_ = HeliantSettings::Read(ini);
    SetShowHint(settings_.ShowHint);
}

void TForm_main::writeSettings()
{
    TIniFile ini(settingsFile());
    try {
        settings_.Write(ini, GetShowHint(), GetLeft(), GetTop());
    } catch (const Exception& E) {
        // The settings stay dirty, so a later saving tries again; the program goes on.
        Application->ShowException(E);
    }
}

void TForm_main::placeWindow()
{
    if (settings_.PositionSet) {
        SetPosition(poDesigned);
        SetTop(settings_.Ypos);
        SetLeft(settings_.Xpos);
        KeepOnScreen();
    } else {
        SetPosition(poScreenCenter);
        CenterOnScreen();
    }
}

// --- The link

void TForm_main::registerlink()
{
    if (fenergy)
        fenergy->SetShowHint(GetShowHint());
    SetClientHeight(ShortClientHeight);
    shortHeight_ = GetHeight();
    SetClientWidth(PanelClientWidth);
    enable_device(0);

    link_.Register();
}

void TForm_main::OnAppMessage(MSG& Msg, bool& Handled) { link_.OnAppMessage(Msg, Handled); }

void TForm_main::takeStatus(const LaserStatusCopy& Copy) { link_.Take(Copy); }

void TForm_main::lascommand(uint16_t Code, uint32_t Argument)
{
    if (!link_.Send(Code, Argument))
        beep();
}

// --- Notices

void TForm_main::LASSHELLEvent(uint8_t Code, uint8_t Parameter)
{
    // Even for a server too old: after a refused exit the panel must go on following it.
    link_.getstatus();
    if (link_.Registered())
        Lgetstatus();
    switch (Code) {
    case ev_blink1: lblink1(Parameter > 0); break;
    case ev_blink2: lblink2(Parameter > 0); break;
    case ev_warmup: gauge_time->SetProgress(link_.Status().warmupProgress); break;
    case ev_device:
    case ev_pulsedata:
        if (link_.Registered())
            enable_device(link_.Status().deviceFlags);
        break;
    case ev_comport:
        if (link_.Registered())
            Sgetstatus();
        break;
    case ev_txon: led_tx->SetLedOn(true); break;
    case ev_txoff: led_tx->SetLedOn(false); break;
    case ev_rxon: LED_RX->SetLedOn(true); break;
    case ev_rxoff: LED_RX->SetLedOn(false); break;
    case ev_noconnection:
        showLaserType(SNoConnection, 10);
        panel_.ConnectionLost();
        break;
    case ev_lasertype: showLaserType(panel_.DeviceText(), 12); break;
    case ev_linklost:
        beep();
        panel_.ConnectionLost();
        break;
    case ev_linkback:
        beep();
        panel_.ConnectionBack();
        break;
    case ev_beep:
    case ev_beep80:
    case ev_beep82:
    case ev_beep83:
    case ev_beep84:
    case ev_beep85:
    case ev_beep86: beep(); break;
    case ev_serverclosed: onServerClosed(); break;
    default: break;
    }
}

void TForm_main::onServerClosed()
{
    Application->MessageBox(SServerClosed, SError, MB_OK);
    panel_.ConnectionLost();
    led_tx->SetLedOn(false);
    LED_RX->SetLedOn(false);
    showLaserType(SNoConnection, 10);
    if (link_.Registered())
        Lgetstatus();
}

void TForm_main::beep() { MessageBeep(BeepType); }

void TForm_main::WndProc(TMessage& Message)
{
    if (Message.Msg == WM_BUTTONOVERRIDE) {
        Message.Result = panel_.SetButtonOverride(int32_t(uint32_t(Message.WParam))) ? 1 : 0;
        return;
    }
    TForm::WndProc(Message);
}

// --- Closing

void TForm_main::FormClose(TObject*, TCloseAction& Action)
{
    // Notices go on while the exit question is up; a close one of them asks for (an old
    // server's) is the question's to answer.
    if (exitAsking_) {
        Action = caNone;
        return;
    }
    closing_ = true;
    if ((link_.Status().stateFlags & (sf_firing | sf_gasmode)) && exithint) {
        exitAsking_ = true;
        const int answer = exithint->ShowModal();
        exitAsking_ = false;
        if (answer != mrYes)
            closing_ = false;
    }
    if (GetLeft() != settings_.Xpos || GetTop() != settings_.Ypos)
        settings_.Dirty = true;
    if (closing_ && Bit(link_.Status().optionFlags, 3) && settings_.Dirty)
        writeSettings();
    if (!closing_) {
        link_.CloseRefused();
        Action = caNone;
        return;
    }
    Action = caFree;
    link_.Release();
}
