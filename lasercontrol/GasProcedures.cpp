//===- GasProcedures.cpp - Heliant's gas procedures: new fill, inert fill, flushing ---===//
//
// Each procedure asks twice on the message form (red, then yellow) and ends in one command; any
// answer but Yes ends it without one. The controller's gas step in later notices tells the rest.
//
#include "lasercontrol/TForm_main.h"

#include "lasercontrol/Tmsgbox.h"

namespace {

const char* const AreYouSure = "Are You sure?";
const char* const OpenInert = "Please open INERT ( >3 bar )!";

} // namespace

void TForm_main::tnewfill()
{
    if (!msgbox || !msgbox->Confirm("NEWFILL", clRed, AreYouSure))
        return;
    // The laser stops before the operator touches the gas; a later Cancel leaves it stopped.
    lascommand(cmd_laseroff, 0);
    if (msgbox->Confirm("NEWFILL", clYellow, "Please open PREMIX !"))
        lascommand(cmd_newfill, 0);
}

void TForm_main::tfillinert()
{
    if (msgbox && msgbox->Confirm("FILL INERT", clRed, AreYouSure)
        && msgbox->Confirm("FILL INERT", clYellow, OpenInert))
        gasMode(gas_fillinert);
}

void TForm_main::tflushint()
{
    if (msgbox && msgbox->Confirm("INTERN FLUSHING", clRed, AreYouSure)
        && msgbox->Confirm("INTERN FLUSHING", clYellow, OpenInert))
        gasMode(gas_internflushing);
}

void TForm_main::tflushext()
{
    if (msgbox && msgbox->Confirm("EXTERN FLUSHING", clRed, "Please close PREMIX bottle mainvalve !")
        && msgbox->Confirm("EXTERN FLUSHING", clYellow, OpenInert))
        gasMode(gas_externflushing);
}
