//===- Tfenergy.cpp - The energy window: set point, its steps and lock lamp ---===//
#include "lasercontrol/Tfenergy.h"

#include "controls/TMPLCD.h"
#include "lasercontrol/PanelRules.h"
#include "lasercontrol/TForm_main.h"
#include "controls/TMled.h"
#include "platform/ui/controls/Buttons.h"
#include "platform/ui/components/Published.h"
#include "platform/ui/controls/StdCtrls.h"

Tfenergy* fenergy = nullptr;

namespace {

const PublishedClass& FenergyClass = PublishClass<Tfenergy, TForm>("Tfenergy", [](Published<Tfenergy>& P) {
    P.Notify("MPLCD9Click", &Tfenergy::MPLCD9Click);
    P.Notify("SpeedButton19Click", &Tfenergy::SpeedButton19Click);
    P.Notify("SpeedButton18Click", &Tfenergy::SpeedButton18Click);
    P.Field("Label_set", &Tfenergy::Label_set);
    P.Field("MPLCD9", &Tfenergy::MPLCD9);
    P.Field("lab_unit", &Tfenergy::lab_unit);
    P.Field("SpeedButton18", &Tfenergy::SpeedButton18);
    P.Field("SpeedButton19", &Tfenergy::SpeedButton19);
    P.Field("Mled1", &Tfenergy::Mled1);
    P.Field("Label_lock", &Tfenergy::Label_lock);
});

} // namespace

Tfenergy::Tfenergy(TComponent* AOwner) : TForm(AOwner) {}

void Tfenergy::MPLCD9Click(TObject*)
{
    if (Form_main)
        Form_main->InputClick(MPLCD9);
}

void Tfenergy::SpeedButton19Click(TObject*)
{
    if (Form_main && IsOnline(Form_main->Status()))
        Form_main->lascommand(cmd_energyup, 0);
}

void Tfenergy::SpeedButton18Click(TObject*)
{
    if (Form_main && IsOnline(Form_main->Status()))
        Form_main->lascommand(cmd_energydown, 0);
}
