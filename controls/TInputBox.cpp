//===- TInputBox.cpp - Asks the operator for one number in a modal dialog ---===//
#include "controls/TInputBox.h"

#include "controls/TMnumedit.h"
#include "controls/Tbox.h"
#include "platform/rtl/Format.h"
#include "platform/ui/controls/Buttons.h"
#include "platform/ui/components/Published.h"
#include "platform/ui/forms/TApplication.h"
#include "platform/user/Dialogs.h"

#include <memory>

namespace {

const PublishedClass& InputBoxClass = PublishClass<TInputBox, TComponent>("TInputBox", [](Published<TInputBox>& P) {
    P.String("inbox_mess", &TInputBox::inbox_mess);
    P.Double("inbox_min", &TInputBox::inbox_min);
    P.Double("inbox_max", &TInputBox::inbox_max);
    P.Bool("inbox_minmax", &TInputBox::inbox_minmax);
    P.Bool("inbox_minus", &TInputBox::inbox_minus);
    P.String("inbox_yesbut", &TInputBox::inbox_yesbut);
    P.String("inbox_nobut", &TInputBox::inbox_nobut);
});

tnumkind kindOf(uint8_t Kind)
{
    switch (Kind) {
    case 0: return csinteger;
    case 1: return csword;
    case 3: return cshex;
    case 4: return cslong;
    default: return cspoint;
    }
}

} // namespace

TInputBox::TInputBox(TComponent* AOwner) : TComponent(AOwner) {}

double TInputBox::Execute(const std::string& Message, uint8_t Digits, uint8_t Kind, uint8_t Decimals, double Default)
{
    ResultCode = 0;
    // Owned by the application like every form, but freed here when the dialog is over.
    std::unique_ptr<Tbox> Box(TForm::Create<Tbox>(Application));
    Box->SetCaption(Message);
    Box->BitBtn1->SetCaption(inbox_nobut);
    Box->BitBtn2->SetCaption(inbox_yesbut);
    Box->FocusOkOnClose = true;
    TMnumedit& Edit = *Box->Mnumedit1;
    Edit.minus = inbox_minus;
    Edit.NumKind = kindOf(Kind);
    Edit.SetUp(Digits, Decimals, Default);

    int Answer = Box->ShowModal();
    while (Answer == mrOk && inbox_minmax && (Edit.Getvalue() > inbox_max || !(Edit.Getvalue() >= inbox_min))) {
        const std::string Text =
            inbox_mess + Format("%6.3f", { inbox_min }) + " <...<  " + Format("%6.3f", { inbox_max });
        Application->MessageBox(Text, "Error", MB_OK | MB_ICONERROR);
        Answer = Box->ShowModal();
    }

    if (Edit.inputerror) {
        ResultCode = ResultInputError;
        return Default;
    }
    if (Answer == mrOk) {
        ResultCode = ResultOk;
        return Edit.Getvalue();
    }
    ResultCode = ResultCancel;
    return Default;
}
