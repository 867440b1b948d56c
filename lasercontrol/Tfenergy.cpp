//===- Tfenergy.cpp - The energy window: set point, its steps and lock lamp ---===//
#include "lasercontrol/Tfenergy.h"

#include "controls/TMPLCD.h"
#include "controls/TMled.h"
#include "platform/ui/Buttons.h"
#include "platform/ui/Published.h"
#include "platform/ui/StdCtrls.h"

Tfenergy* fenergy = nullptr;

namespace {

const PublishedClass& FenergyClass = PublishClass<Tfenergy, TForm>("Tfenergy", [](Published<Tfenergy>& P) {
    P.Field("Label_set", &Tfenergy::Label_set);
    P.Field("MPLCD9", &Tfenergy::MPLCD9);
    P.Field("lab_unit", &Tfenergy::lab_unit);
    P.Field("SpeedButton18", &Tfenergy::SpeedButton18);
    P.Field("SpeedButton19", &Tfenergy::SpeedButton19);
    P.Field("Mled1", &Tfenergy::Mled1);
    P.Field("Label_lock", &Tfenergy::Label_lock);
});

} // namespace

Tfenergy::Tfenergy(TComponent* AOwner) : TForm(AOwner) { }
