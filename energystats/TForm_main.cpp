//===- TForm_main.cpp - Tessaly's main form: start-up, link, notices and closing ---===//
#include "energystats/TForm_main.h"

#include "controls/TMled.h"
#include "energystats/TFlatButton.h"
#include "energystats/TessalyTexts.h"
#include "energystats/Twarningform.h"
#include "plot/TGenericAnnotation.h"
#include "plot/TPlotGraph.h"

#include "platform/kernel/TIniFile.h"
#include "platform/kernel/WinExec.h"
#include "platform/rtl/FileNames.h"
#include "platform/ui/forms/Dialogs.h"
#include "platform/ui/printing/Printers.h"
#include "platform/ui/components/Published.h"
#include "platform/ui/controls/StdCtrls.h"
#include "platform/ui/forms/TApplication.h"
#include "platform/ui/controls/TCustomPanel.h"
#include "platform/user/Dialogs.h"

TForm_main* Form_main = nullptr;
std::string TForm_main::ProgramPath;

namespace {

constexpr UINT BeepType = 0xFFFF;
constexpr int LabelSize = 12;

const PublishedClass& FormMainClass = PublishClass<TForm_main, TForm>("TForm_main", [](Published<TForm_main>& P) {
    P.Notify("FormCreate", &TForm_main::FormCreate);
    P.Close("FormClose", &TForm_main::FormClose);
    P.Notify("btn_startClick", &TForm_main::btn_startClick);
    P.Notify("btn_saveToFileClick", &TForm_main::btn_saveToFileClick);
    P.Notify("btn_printClick", &TForm_main::btn_printClick);
    P.Notify("copy1Click", &TForm_main::copy1Click);
    P.Notify("btn_setupClick", &TForm_main::btn_setupClick);
    P.Notify("btn_exitClick", &TForm_main::btn_exitClick);
    P.Notify("noCommandCheck1Click", &TForm_main::noCommandCheck1Click);
    P.Method("PlotGraph1PaintEnd", &TForm_main::PlotGraph1PaintEnd);

    P.Field("Panel_Exit", &TForm_main::Panel_Exit);
    P.Field("btn_start", &TForm_main::btn_start);
    P.Field("btn_save", &TForm_main::btn_save);
    P.Field("btn_print", &TForm_main::btn_print);
    P.Field("btn_setup", &TForm_main::btn_setup);
    P.Field("btn_copy", &TForm_main::btn_copy);
    P.Field("btn_exit", &TForm_main::btn_exit);
    P.Field("led_tx", &TForm_main::led_tx);
    P.Field("LED_RX", &TForm_main::LED_RX);
    P.Field("label_com", &TForm_main::label_com);
    P.Field("Label_lastyp", &TForm_main::Label_lastyp);
    P.Field("interval1", &TForm_main::interval1);
    P.Field("lab_dev", &TForm_main::lab_dev);
    P.Field("PlotGraph1", &TForm_main::PlotGraph1);
    P.Field("PlotGraph2", &TForm_main::PlotGraph2);
    P.Field("SaveDialog1", &TForm_main::SaveDialog1);
    P.Field("PrintDialog1", &TForm_main::PrintDialog1);
    P.Field("PrinterSetupDialog1", &TForm_main::PrinterSetupDialog1);
});

} // namespace

TForm_main::TForm_main(TComponent* AOwner) : TForm(AOwner) {}

TForm_main::~TForm_main()
{
    // The filter points into this form; posted notices must not reach it once it is gone.
    if (Application)
        Application->OnMessage = nullptr;
}

// --- Start-up

void TForm_main::FormCreate(TObject*)
{
    SetClientHeight(450);
    SetClientWidth(475);
    readSettings();
    if (settings.PositionSet()) {
        SetLeft(settings.Xpos);
        SetTop(settings.Ypos);
    }
    if (settings.SizeSet()) {
        SetHeight(settings.Form_mainH);
        SetWidth(settings.Form_mainW);
    }
    KeepOnScreen();
    Application->OnMessage = [this](MSG& Msg, bool& Handled) { OnAppMessage(Msg, Handled); };
    OnResize = [this](TObject* Sender) { FormResize(Sender); };
    registerlink();
    interval1->SetCaption("");
    ClearStatistics();
    ClearEnergyGraph();
    Printer()->SetOrientation(poPortrait);
    addMarks(*PlotGraph1);
    addMarks(*PlotGraph2);
    FormResize(this);
}

void TForm_main::addMarks(TPlotGraph& Graph)
{
    for (int32_t id = 1; id <= 3; ++id)
        if (!Graph.FindAnnotation(id))
            Graph.AddAnnotation(new TMark(id, "", 3));
}

std::string TForm_main::settingsFile() const
{
    return ChangeFileExt(ProgramPath.empty() ? ExecutablePath() : ProgramPath, ".INI");
}

void TForm_main::readSettings()
{
    const std::string program = ProgramPath.empty() ? ExecutablePath() : ProgramPath;
    const TIniFile ini(settingsFile());
    settings = TessalySettings::Read(ini, IncludeTrailingPathDelimiter(ExtractFilePath(program)));
    // Told once, at the start: nothing that was corrected reaches the laser as written.
    if (settings.Corrections.empty())
        return;
    std::string text = ExtractFileName(settingsFile()) + ":";
    for (const std::string& line : settings.Corrections)
        text += "\n" + line;
    Application->MessageBox(text, SAttention, MB_OK | MB_ICONWARNING);
}

void TForm_main::writeSettings()
{
    TIniFile ini(settingsFile());
    try {
        settings.Write(ini, GetLeft(), GetTop(), GetHeight(), GetWidth());
    } catch (const Exception& E) {
        // The operator hears of it; the program closes all the same.
        Application->ShowException(E);
    }
}

// --- The link

void TForm_main::registerlink()
{
    if (link.Register())
        lascommand(cmd_clientinit, 1);
}

void TForm_main::OnAppMessage(MSG& Msg, bool& Handled)
{
    if (const std::optional<LinkEvent> notice = link.OnAppMessage(Msg, Handled); notice && AfterNotice)
        AfterNotice(notice->event, notice->parameter);
}

void TForm_main::lascommand(uint16_t Code, uint32_t Argument) { link.Send(Code, Argument); }

void TForm_main::Lgetstatus() { Sgetstatus(); }

void TForm_main::Sgetstatus()
{
    label_com->SetCaption(ComPortText(link.Status().comPort));
    const TessalyButtons b = ChooseTessalyButtons(link.Status(), flags());
    if (btn_start->GetCaption() != b.startCaption)
        btn_start->SetCaption(b.startCaption);
    btn_start->SetEnabled(b.start);
    btn_save->SetEnabled(b.report);
    btn_print->SetEnabled(b.report);
    btn_copy->SetEnabled(b.report);
    btn_setup->SetEnabled(b.setup);
}

void TForm_main::enable_device(uint8_t) { Label_lastyp->GetFont()->SetSize(LabelSize); }

// --- Notices

void TForm_main::LASSHELLEvent(uint8_t Code, uint8_t Parameter)
{
    // Even for a server too old: after a refused exit the run and the panel go on following it.
    link.getstatus();
    run.LaserSeen((link.Status().stateFlags & sf_highvoltage) != 0);
    if (link.Registered())
        Lgetstatus();
    const bool lit = Parameter != 0;
    switch (Code) {
    case ev_blink1: lblink1(lit); break;
    case ev_blink2: lblink2(lit); break;
    case ev_device:
    case ev_device7:
    case ev_device8:
        if (link.Registered())
            enable_device(link.Status().deviceFlags);
        break;
    case ev_pulsedata: ShowActualValues(); [[fallthrough]];
    case ev_comport:
        run.Connected();
        Sgetstatus();
        break;
    case ev_txon: led_tx->SetLedOn(true); break;
    case ev_txoff: led_tx->SetLedOn(false); break;
    case ev_rxon: LED_RX->SetLedOn(true); break;
    case ev_rxoff: LED_RX->SetLedOn(false); break;
    case ev_noconnection:
        showLaserType(SNoConnection);
        run.ConnectionLost();
        break;
    case ev_lasertype: showLaserType(laserTypeText); break;
    case ev_linklost:
    case ev_linkback:
    case ev_beep:
    case ev_beep80:
    case ev_beep82:
    case ev_beep83:
    case ev_beep84:
    case ev_beep85:
    case ev_beep86: MessageBeep(BeepType); break;
    case ev_serverclosed:
        led_tx->SetLedOn(false);
        LED_RX->SetLedOn(false);
        showLaserType(SNoConnection);
        if (link.Registered())
            Lgetstatus();
        break;
    case ev_runend:
        run.RunEnded();
        PaintSD();
        break;
    default: break;
    }
}

void TForm_main::showLaserType(const std::string& Text)
{
    Label_lastyp->SetCaption(Text);
    Label_lastyp->GetFont()->SetSize(LabelSize);
}

void TForm_main::lblink1(bool Lit)
{
    laserTypeText = " " + StatusFieldText(link.Status().laserType);
    const BlinkChoice c = ChooseBlink1(link.Status(), flags(), run.NoConnection(), Lit, laserTypeText);
    if (!run.NoConnection() && !c.label.empty())
        showLaserType(c.label);
    if (!warningform)
        return;
    if (c.warning)
        warningform->Show();
    else
        warningform->Hide();
}

void TForm_main::lblink2(bool Lit)
{
    if (warningform && warningform->Label1)
        warningform->Label1->SetVisible(!WarningTextHidden(link.Status(), flags(), Lit));
}

// --- Buttons

void TForm_main::btn_setupClick(TObject*)
{
    if (PrinterSetupDialog1)
        PrinterSetupDialog1->Execute();
}

void TForm_main::btn_exitClick(TObject*) { Close(); }

void TForm_main::noCommandCheck1Click(TObject*) { lascommand(cmd_nocommandcheck, 0); }

void TForm_main::FormResize(TObject*)
{
    if (!Panel_Exit || !PlotGraph1 || !PlotGraph2)
        return;
    const int top = Panel_Exit->GetHeight() + 1;
    const int h = (GetClientHeight() - top) / 2;
    PlotGraph1->SetBounds(0, top, GetClientWidth(), h);
    PlotGraph2->SetBounds(0, top + h, GetClientWidth(), h);
}

// --- Closing

void TForm_main::FormClose(TObject*, TCloseAction& Action)
{
    // Notices go on while the question is up; a close one of them asks for (an old server's)
    // is the question's to answer.
    if (closeAsking_) {
        Action = caNone;
        return;
    }
    // The operator is asked before anything is stopped: a refused close leaves the run alone.
    if (run.CloseNeedsConfirmation()) {
        closeAsking_ = true;
        const int answer = Application->MessageBox(SQuitUnsaved, SAttention, MB_YESNO);
        closeAsking_ = false;
        if (answer != IDYES) {
            link.CloseRefused();
            Action = caNone;
            return;
        }
    }
    if (run.Close())
        lascommand(cmd_laseroff, 0);
    if (run.HoldCloseDuringStart()) {
        // Start is inside its waits on this form; it ends them and closes again.
        Action = caNone;
        return;
    }
    writeSettings();
    link.Release();
    Action = caFree;
}
