//===- Tmsgbox.h - The confirmation form of the gas procedures -*- C++ -*-===//
#pragma once

#include "platform/ui/forms/TForm.h"

#include <string>

class TButton;
class TLabel;

/// Made at start and kept for the whole run; the gas procedures fill and show it. "Yes"
/// answers mrYes, "Cancel" mrCancel; Cancel has the focus when it opens.
class Tmsgbox : public TForm {
public:
    explicit Tmsgbox(TComponent* AOwner);

    void FormActivate(TObject* Sender);
    /// Shows Text on Color under Caption modally; true when the operator answered Yes.
    bool Confirm(const std::string& Caption, TColor Color, const std::string& Text);

    TLabel* lab_txt = nullptr;
    TButton* btn_yes = nullptr;
    TButton* btn_cancel = nullptr;
};

extern Tmsgbox* msgbox;
