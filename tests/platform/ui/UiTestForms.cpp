//===- UiTestForms.cpp - The forms that the GUI tests read from their resources ===//
#include "tests/platform/ui/UiTestForms.h"

#include "platform/ui/components/Published.h"

#include <algorithm>

namespace {

const PublishedClass& UiTestFormClass = PublishClass<TUiTestForm, TForm>("TUiTestForm", [](Published<TUiTestForm>& P) {
    P.Notify("FormCreate", &TUiTestForm::FormCreate);
    P.KeyDown("FormKeyDown", &TUiTestForm::FormKeyDown);
    P.Notify("Panel1Click", &TUiTestForm::Panel1Click);
    P.Notify("btn_startClick", &TUiTestForm::btn_startClick);
    P.Notify("btn_cancelClick", &TUiTestForm::btn_cancelClick);
    P.Notify("Edit1Change", &TUiTestForm::Edit1Change);
    P.KeyPress("Edit1KeyPress", &TUiTestForm::Edit1KeyPress);
    P.Notify("Menu_ExitClick", &TUiTestForm::Menu_ExitClick);
    P.Field("Panel1", &TUiTestForm::Panel1);
    P.Field("lab_inner", &TUiTestForm::lab_inner);
    P.Field("btn_start", &TUiTestForm::btn_start);
    P.Field("btn_cancel", &TUiTestForm::btn_cancel);
    P.Field("Edit1", &TUiTestForm::Edit1);
    P.Field("RadioGroup1", &TUiTestForm::RadioGroup1);
    P.Field("CheckBox1", &TUiTestForm::CheckBox1);
    P.Field("Bottom", &TUiTestForm::Bottom);
    P.Field("MainMenu1", &TUiTestForm::MainMenu1);
    P.Field("Menu_File", &TUiTestForm::Menu_File);
    P.Field("Menu_Exit", &TUiTestForm::Menu_Exit);
});

const PublishedClass& UiDialogClass = PublishClass<TUiDialog, TForm>("TUiDialog", [](Published<TUiDialog>& P) {
    P.Notify("FormActivate", &TUiDialog::FormActivate);
    P.Notify("FormShow", &TUiDialog::FormShow);
    P.CloseQuery("FormCloseQuery", &TUiDialog::FormCloseQuery);
    P.Field("lab_txt", &TUiDialog::lab_txt);
    P.Field("btn_yes", &TUiDialog::btn_yes);
    P.Field("btn_no", &TUiDialog::btn_no);
});

} // namespace

void TUiTestForm::FormCreate(TObject* Sender)
{
    Calls.push_back("FormCreate");
    LastSender = Sender;
}

void TUiTestForm::FormKeyDown(TObject*, WORD& Key, TShiftState)
{
    Calls.push_back("FormKeyDown " + std::to_string(Key));
    if (std::find(ConsumedKeys.begin(), ConsumedKeys.end(), Key) != ConsumedKeys.end())
        Key = 0;
}

void TUiTestForm::Panel1Click(TObject* Sender)
{
    Calls.push_back("Panel1Click");
    LastSender = Sender;
}

void TUiTestForm::btn_startClick(TObject* Sender)
{
    Calls.push_back("btn_startClick");
    LastSender = Sender;
}

void TUiTestForm::btn_cancelClick(TObject* Sender)
{
    Calls.push_back("btn_cancelClick");
    LastSender = Sender;
}

void TUiTestForm::Edit1Change(TObject*) { Calls.push_back("Edit1Change " + Edit1->GetText()); }

void TUiTestForm::Edit1KeyPress(TObject*, char& Key)
{
    Calls.push_back(std::string("Edit1KeyPress ") + (Key == '\b' ? std::string("#8") : std::string(1, Key)));
    if (DroppedChars.find(Key) != std::string::npos)
        Key = 0;
    else if (Key == ReplaceFrom)
        Key = ReplaceTo;
}

void TUiTestForm::Menu_ExitClick(TObject* Sender)
{
    Calls.push_back("Menu_ExitClick");
    LastSender = Sender;
}

void TUiDialog::FormActivate(TObject*)
{
    Calls.push_back("FormActivate");
    if (FocusNo)
        btn_no->SetFocus();
}

void TUiDialog::FormShow(TObject*) { Calls.push_back("FormShow"); }

void TUiDialog::FormCloseQuery(TObject*, bool& CanClose)
{
    Calls.push_back("FormCloseQuery");
    CanClose = MayClose;
}
