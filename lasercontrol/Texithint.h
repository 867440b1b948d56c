//===- Texithint.h - The question before the program ends while the laser works -*- C++ -*-===//
#pragma once

#include "platform/ui/forms/TForm.h"

class TButton;
class TLabel;

/// "Are You sure to EXIT ?" on red: Yes answers mrYes, No answers mrCancel. Shown modally by the
/// main form's closing while the laser fires or is in gas mode.
class Texithint : public TForm {
public:
    explicit Texithint(TComponent* AOwner);

    /// No takes the focus, so that Enter keeps the program running.
    void FormActivate(TObject* Sender);

    TLabel* Label1 = nullptr;
    TLabel* Label2 = nullptr;
    TButton* btn_no = nullptr;
    TButton* btn_yes = nullptr;
};

extern Texithint* exithint;
