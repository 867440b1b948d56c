//===- Tbox.cpp - The form of the numeric input dialog ----------------------===//
#include "controls/Tbox.h"

#include "controls/TMnumedit.h"
#include "platform/ui/controls/Buttons.h"
#include "platform/ui/components/Published.h"
#include "platform/ui/controls/VirtualKeys.h"

namespace {

const PublishedClass& BoxClass = PublishClass<Tbox, TForm>("Tbox", [](Published<Tbox>& P) {
    P.Field("Mnumedit1", &Tbox::Mnumedit1);
    P.Field("BitBtn2", &Tbox::BitBtn2);
    P.Field("BitBtn1", &Tbox::BitBtn1);
    P.Notify("FormActivate", &Tbox::FormActivate);
    P.Close("FormClose", &Tbox::FormClose);
    P.KeyDown("Mnumedit1KeyDown", &Tbox::Mnumedit1KeyDown);
});

} // namespace

Tbox::Tbox(TComponent* AOwner) : TForm(AOwner) {}

void Tbox::FormActivate(TObject*)
{
    if (Mnumedit1 && Mnumedit1->CanFocus())
        Mnumedit1->SetFocus();
}

void Tbox::FormClose(TObject*, TCloseAction&)
{
    TBitBtn* Next = FocusOkOnClose ? BitBtn2 : BitBtn1;
    if (Next && Next->CanFocus())
        Next->SetFocus();
}

void Tbox::Mnumedit1KeyDown(TObject*, WORD& Key, TShiftState)
{
    if (Key == VK_RETURN) {
        ModalResult = mrOk;
        Key = 0;
    } else if (Key == VK_ESCAPE) {
        ModalResult = mrCancel;
        Key = 0;
    }
}
