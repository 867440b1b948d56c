//===- UiTestForms.h - The forms that the GUI tests read from their resources -*- C++ -*-===//
#pragma once

#include "tests/platform/ui/UiFixture.h"

#include "platform/ui/controls/Buttons.h"
#include "platform/ui/controls/ExtCtrls.h"
#include "platform/ui/controls/Menus.h"
#include "platform/ui/controls/StdCtrls.h"
#include "platform/ui/controls/TCustomEdit.h"
#include "platform/ui/controls/TCustomPanel.h"
#include "platform/ui/forms/TForm.h"

#include <algorithm>
#include <string>
#include <vector>

/// A main form with one control of most kinds; its handlers record what they saw.
class TUiTestForm : public TForm {
public:
    using TForm::TForm;

    void FormCreate(TObject* Sender);
    void FormKeyDown(TObject* Sender, WORD& Key, TShiftState Shift);
    void Panel1Click(TObject* Sender);
    void btn_startClick(TObject* Sender);
    void btn_cancelClick(TObject* Sender);
    void Edit1Change(TObject* Sender);
    void Edit1KeyPress(TObject* Sender, char& Key);
    void Menu_ExitClick(TObject* Sender);

    TPanel* Panel1 = nullptr;
    TLabel* lab_inner = nullptr;
    TButton* btn_start = nullptr;
    TButton* btn_cancel = nullptr;
    TEdit* Edit1 = nullptr;
    TRadioGroup* RadioGroup1 = nullptr;
    TCheckBox* CheckBox1 = nullptr;
    TPanel* Bottom = nullptr;
    TMainMenu* MainMenu1 = nullptr;
    TMenuItem* Menu_File = nullptr;
    TMenuItem* Menu_Exit = nullptr;

    // What happened, in order ("btn_startClick", "Edit1Change abc" ...).
    std::vector<std::string> Calls;
    TObject* LastSender = nullptr;
    /// Keys that FormKeyDown consumes (sets to 0).
    std::vector<WORD> ConsumedKeys;
    /// Edit1KeyPress: characters dropped, and a replacement for one character.
    std::string DroppedChars;
    char ReplaceFrom = 0, ReplaceTo = 0;
};

/// A modal question with Yes (the Default button) and No (the Cancel button).
class TUiDialog : public TForm {
public:
    using TForm::TForm;

    void FormActivate(TObject* Sender);
    void FormShow(TObject* Sender);
    void FormCloseQuery(TObject* Sender, bool& CanClose);

    TLabel* lab_txt = nullptr;
    TBitBtn* btn_yes = nullptr;
    TBitBtn* btn_no = nullptr;

    std::vector<std::string> Calls;
    /// Set: FormActivate gives btn_no the focus.
    bool FocusNo = false;
    /// Cleared: the form refuses to close.
    bool MayClose = true;
};

/// The test form made and shown, what its handlers recorded on the way forgotten.
class ShownTestFormTest : public UiTest {
protected:
    void SetUp() override
    {
        UiTest::SetUp();
        Application->CreateForm(Form);
        Form->Show();
        Form->Calls.clear();
    }
    /// How often the form's handlers recorded Call.
    int count(const std::string& Call) const
    {
        return static_cast<int>(std::count(Form->Calls.begin(), Form->Calls.end(), Call));
    }

    TUiTestForm* Form = nullptr;
};
