//===- RunAids.cpp - Aids for ./run and the end-to-end tests, off unless asked for ---===//
#include "lasercontrol/RunAids.h"

#include "controls/TMLCD.h"
#include "controls/TMled.h"
#include "lasercontrol/TForm_main.h"
#include "platform/ui/controls/StdCtrls.h"
#include "platform/ui/forms/TApplication.h"
#include "platform/ui/graphics/TBitmap.h"
#include "platform/ui/controls/TCustomPanel.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>

namespace {

constexpr int BlinksBeforeScreenshot = 6;

std::string environment(const char* Name)
{
    const char* value = std::getenv(Name);
    return value ? std::string(value) : std::string();
}

/// Writes the whole file under a temporary name and renames it, so a reader never sees half.
bool replaceFile(const std::string& FileName, const void* Data, size_t Size)
{
    const std::string temporary = FileName + ".part";
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        if (!out.write(static_cast<const char*>(Data), std::streamsize(Size)))
            return false;
    }
    return std::rename(temporary.c_str(), FileName.c_str()) == 0;
}

struct AidState {
    std::string reportFile;
    std::string screenshotFile;
    int blinks = 0;
    bool shot = false;
};

void afterNotice(TForm_main& Form, AidState& State, uint8_t Code, uint8_t Parameter)
{
    if (!State.reportFile.empty()) {
        const std::string report = PanelReport(Form);
        replaceFile(State.reportFile, report.data(), report.size());
    }
    if (State.screenshotFile.empty() || State.shot || Code != ev_blink1)
        return;
    if (++State.blinks < BlinksBeforeScreenshot || Parameter == 0)
        return;
    State.shot = true;
    if (!SaveScreenshot(Form, State.screenshotFile))
        std::fprintf(stderr, "Heliant: cannot write the screenshot %s\n", State.screenshotFile.c_str());
    Form.Close();
}

} // namespace

std::string PanelReport(TForm_main& F)
{
    auto line = [](const char* Name, const std::string& Value) { return std::string(Name) + "=" + Value + "\n"; };
    auto lamp = [&](const char* Name, const TMled* Lamp) { return line(Name, Lamp->GetLedOn() ? "1" : "0"); };
    return line("Caption", F.GetCaption()) + line("Label_lastyp", F.Label_lastyp->GetCaption())
           + line("label_com", F.label_com->GetCaption()) + lamp("led_onl", F.led_onl)
           + lamp("led_lready", F.led_lready) + lamp("led_lon", F.led_lon) + lamp("led_warm", F.led_warm)
           + line("LCD_Hz", std::to_string(F.LCD_Hz->GetValue()))
           + line("LCD_quant", std::to_string(F.LCD_quant->GetValue())) + line("Panel_prh1", F.Panel_prh1->GetCaption())
           + line("lab_gasmode", F.lab_gasmode->GetCaption())
           + line("ClientHeight", std::to_string(F.GetClientHeight())) + line("registered", F.Registered() ? "1" : "0")
           + line("noConnection", F.GetPanelState().NoConnection() ? "1" : "0");
}

bool SaveScreenshot(TForm_main& Form, const std::string& FileName)
{
    return Form.GetFormImage()->SavePictureFile(FileName);
}

void InstallRunAids(TForm_main& Form)
{
    auto state = std::make_shared<AidState>();
    state->reportFile = environment("HELIANT_PANEL_REPORT");
    state->screenshotFile = environment("HELIANT_SCREENSHOT");
    if (state->reportFile.empty() && state->screenshotFile.empty())
        return;
    TMessageEvent filter = Application->OnMessage;
    TForm_main* form = &Form;
    Application->OnMessage = [filter, form, state](MSG& Msg, bool& Handled) {
        const bool notice = form->GetLink().IsNotice(Msg);
        if (filter)
            filter(Msg, Handled);
        if (notice)
            afterNotice(*form, *state, LinkEventOf(Msg.lParam).event, LinkEventOf(Msg.lParam).parameter);
    };
}
