//===- Texithint.cpp - The question before the program ends while the laser works ---===//
#include "lasercontrol/Texithint.h"

#include "platform/ui/components/Published.h"
#include "platform/ui/controls/StdCtrls.h"

Texithint* exithint = nullptr;

namespace {

const PublishedClass& ExithintClass = PublishClass<Texithint, TForm>("Texithint", [](Published<Texithint>& P) {
    P.Notify("FormActivate", &Texithint::FormActivate);
    P.Field("Label1", &Texithint::Label1);
    P.Field("Label2", &Texithint::Label2);
    P.Field("btn_no", &Texithint::btn_no);
    P.Field("btn_yes", &Texithint::btn_yes);
});

} // namespace

Texithint::Texithint(TComponent* AOwner) : TForm(AOwner) {}

void Texithint::FormActivate(TObject*)
{
    if (btn_no->CanFocus())
        btn_no->SetFocus();
}
