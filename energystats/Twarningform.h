//===- Twarningform.h - The warning that the laser stopped during a run -*- C++ -*-===//
#pragma once

#include "platform/ui/forms/TForm.h"

class TLabel;

/// "Laser was stopping while running Tessaly": shown by the main form's blink phases while a
/// run lasts and the laser does not fire; its text blinks with the second phase.
class Twarningform : public TForm {
public:
    explicit Twarningform(TComponent* AOwner);

    /// Centres the warning on the main form (also on creation).
    void FormShow(TObject* Sender);
    void CenterOnMainForm();

    TLabel* Label1 = nullptr;
};

extern Twarningform* warningform;
