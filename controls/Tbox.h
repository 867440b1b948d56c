//===- Tbox.h - The form of the numeric input dialog -*- C++ -*-===//
//
// Read from the form resource "Tbox": one numeric edit between a CANCEL and an OK button. The
// edit takes the focus when the form is activated; Enter in it answers OK and Escape Cancel.
//
#pragma once

#include "platform/ui/forms/TForm.h"

class TBitBtn;
class TMnumedit;

class Tbox : public TForm {
public:
    explicit Tbox(TComponent* AOwner);

    // --- Components of the resource
    TMnumedit* Mnumedit1 = nullptr;
    TBitBtn* BitBtn2 = nullptr; // OK, the default button
    TBitBtn* BitBtn1 = nullptr; // CANCEL, the cancel button

    /// When set, closing the form leaves the focus on the OK button, else on CANCEL, so the
    /// next showing starts from the button that fits. The input box always sets it.
    bool FocusOkOnClose = false;

    // --- Handlers bound by the resource
    void FormActivate(TObject* Sender);
    void FormClose(TObject* Sender, TCloseAction& Action);
    void Mnumedit1KeyDown(TObject* Sender, WORD& Key, TShiftState Shift);
};
