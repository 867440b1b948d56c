//===- Tconfigbox.h - The Options dialog -*- C++ -*-===//
#pragma once

#include "platform/ui/forms/TForm.h"

class TButton;
class TCheckBox;
class TGroupBox;
class TRadioGroup;

/// Made at start and kept for the whole run; the main form fills and evaluates it. OK answers
/// mrOk, CANCEL mrCancel; Save applies the options itself, writes the settings file and then
/// answers mrCancel, so that they are not applied twice.
class Tconfigbox : public TForm {
public:
    explicit Tconfigbox(TComponent* AOwner);

    /// OK takes the focus; the hints follow the main form's.
    void FormActivate(TObject* Sender);
    /// "&Save".
    void Button2Click(TObject* Sender);

    TGroupBox* GroupBox1 = nullptr;
    TCheckBox* CheckBox1 = nullptr; // "Show&Hints"
    TCheckBox* CheckBox2 = nullptr; // "&AutoSaveOptions"
    /// Item 0 is "off", items 1..9 the ports COM1..COM9.
    TRadioGroup* RadioGroup1 = nullptr;
    TButton* Button1 = nullptr; // OK
    TButton* Button3 = nullptr; // CANCEL
    TButton* Button2 = nullptr; // &Save
};

extern Tconfigbox* configbox;
