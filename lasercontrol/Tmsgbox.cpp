//===- Tmsgbox.cpp - The confirmation form of the gas procedures ---===//
#include "lasercontrol/Tmsgbox.h"

#include "platform/ui/components/Published.h"
#include "platform/ui/controls/StdCtrls.h"

Tmsgbox* msgbox = nullptr;

namespace {

const PublishedClass& FormClass = PublishClass<Tmsgbox, TForm>("Tmsgbox", [](Published<Tmsgbox>& P) {
    P.Notify("FormActivate", &Tmsgbox::FormActivate);
    P.Field("lab_txt", &Tmsgbox::lab_txt);
    P.Field("btn_yes", &Tmsgbox::btn_yes);
    P.Field("btn_cancel", &Tmsgbox::btn_cancel);
});

} // namespace

Tmsgbox::Tmsgbox(TComponent* AOwner) : TForm(AOwner) {}

void Tmsgbox::FormActivate(TObject*)
{
    // A gas procedure must never start from a stray Enter.
    if (btn_cancel->CanFocus())
        btn_cancel->SetFocus();
}

bool Tmsgbox::Confirm(const std::string& Caption, TColor Color, const std::string& Text)
{
    SetCaption(Caption);
    SetColor(Color);
    lab_txt->SetCaption(Text);
    return ShowModal() == mrYes;
}
