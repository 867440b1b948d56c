//===- RunAids.cpp - Aids for ./run and the end-to-end tests, off unless asked for ---===//
#include "energystats/RunAids.h"

#include "energystats/TFlatButton.h"
#include "energystats/TForm_main.h"
#include "platform/ui/forms/Dialogs.h"
#include "platform/ui/forms/TApplication.h"
#include "platform/ui/graphics/TBitmap.h"

#include <cstdio>
#include <cstdlib>
#include <memory>

bool SaveTessalyScreenshot(TForm_main& Form, const std::string& FileName)
{
    return Form.GetFormImage()->SavePictureFile(FileName);
}

bool SaveTessalyReport(TForm_main& Form, const std::string& FileName)
{
    if (!Form.btn_save->GetEnabled() || !Form.btn_save->OnClick)
        return false;
    const TCommonDialog::DialogHook previous = TCommonDialog::SetDialogHook([&FileName](TCommonDialog& Dialog) {
        auto* save = dynamic_cast<TSaveDialog*>(&Dialog);
        if (save)
            save->FileName = FileName;
        return save != nullptr;
    });
    Form.btn_save->OnClick(Form.btn_save);
    TCommonDialog::SetDialogHook(previous);
    return !Form.Run().Unsaved();
}

void InstallTessalyRunAids(TForm_main& Form)
{
    const char* shot = std::getenv("TESSALY_SCREENSHOT");
    if (!shot || !*shot)
        return;
    struct State {
        std::string file, report;
        bool started = false, saved = false;
    };
    auto state = std::make_shared<State>();
    state->file = shot;
    const char* report = std::getenv("TESSALY_REPORT");
    state->report = report ? report : "";
    TForm_main* form = &Form;
    Form.AfterNotice = [form, state](uint8_t Code, uint8_t) {
        if (!state->started && !form->Run().Running() && !form->Run().Starting()
            && (form->Status().stateFlags & sf_ready) && Code == ev_blink1) {
            state->started = true;
            form->btn_startClick(nullptr);
            return;
        }
        if (state->saved || !form->Run().DataReady() || Code != ev_blink1)
            return;
        state->saved = true;
        if (!SaveTessalyScreenshot(*form, state->file))
            std::fprintf(stderr, "Tessaly: cannot write the screenshot %s\n", state->file.c_str());
        if (!state->report.empty() && !SaveTessalyReport(*form, state->report))
            std::fprintf(stderr, "Tessaly: the report %s was not written\n", state->report.c_str());
        form->ReportSaved();
        form->Close();
    };
}
