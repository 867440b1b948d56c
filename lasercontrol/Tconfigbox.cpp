//===- Tconfigbox.cpp - The Options dialog ---===//
#include "lasercontrol/Tconfigbox.h"

#include "lasercontrol/TForm_main.h"
#include "platform/ui/controls/ExtCtrls.h"
#include "platform/ui/components/Published.h"
#include "platform/ui/controls/StdCtrls.h"

Tconfigbox* configbox = nullptr;

namespace {

const PublishedClass& FormClass = PublishClass<Tconfigbox, TForm>("Tconfigbox", [](Published<Tconfigbox>& P) {
    P.Notify("FormActivate", &Tconfigbox::FormActivate);
    P.Notify("Button2Click", &Tconfigbox::Button2Click);
    P.Field("GroupBox1", &Tconfigbox::GroupBox1);
    P.Field("CheckBox1", &Tconfigbox::CheckBox1);
    P.Field("CheckBox2", &Tconfigbox::CheckBox2);
    P.Field("RadioGroup1", &Tconfigbox::RadioGroup1);
    P.Field("Button1", &Tconfigbox::Button1);
    P.Field("Button3", &Tconfigbox::Button3);
    P.Field("Button2", &Tconfigbox::Button2);
});

} // namespace

Tconfigbox::Tconfigbox(TComponent* AOwner) : TForm(AOwner) {}

void Tconfigbox::FormActivate(TObject*)
{
    if (Button1->CanFocus())
        Button1->SetFocus();
    if (Form_main)
        SetShowHint(Form_main->GetShowHint());
}

void Tconfigbox::Button2Click(TObject*)
{
    if (Form_main) {
        Form_main->takeoptions();
        Form_main->writeSettings();
    }
    ModalResult = mrCancel;
}
