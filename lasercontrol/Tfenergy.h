//===- Tfenergy.h - The energy window: set point, its steps and lock lamp -*- C++ -*-===//
#pragma once

#include "platform/ui/forms/TForm.h"

class TLabel;
class TMPLCD;
class TMled;
class TSpeedButton;

/// Shown beside the main form for the energy control loop. The main form's redraw fills its
/// display and lamp, enable_device its unit and enable_btn its buttons.
class Tfenergy : public TForm {
public:
    explicit Tfenergy(TComponent* AOwner);

    /// The set point's input dialog (only while online).
    void MPLCD9Click(TObject* Sender);
    /// "+" and "-": one step of the set point (only while online).
    void SpeedButton19Click(TObject* Sender);
    void SpeedButton18Click(TObject* Sender);

    TLabel* Label_set = nullptr;
    TMPLCD* MPLCD9 = nullptr;
    TLabel* lab_unit = nullptr;
    TSpeedButton* SpeedButton18 = nullptr; // "-"
    TSpeedButton* SpeedButton19 = nullptr; // "+"
    TMled* Mled1 = nullptr;                // the energy set point is locked
    TLabel* Label_lock = nullptr;
};

extern Tfenergy* fenergy;
