//===- GasProcedures.cpp - Heliant's gas procedures: new fill, inert fill, flushing ---===//
//
// Each procedure asks twice on the message form (red, then yellow) and ends in one command; any
// answer but Yes ends it without one. The controller's gas step in later notices tells the rest.
//
#include "lasercontrol/TForm_main.h"

#include "lasercontrol/HeliantTexts.h"
#include "lasercontrol/Tmsgbox.h"

void TForm_main::tnewfill()
{
    if (!msgbox || !msgbox->Confirm(SNewFill, clRed, SAreYouSure))
        return;
    // The laser stops before the operator touches the gas; a later Cancel leaves it stopped.
    lascommand(cmd_laseroff, 0);
    if (msgbox->Confirm(SNewFill, clYellow, SOpenPremix))
        lascommand(cmd_newfill, 0);
}

void TForm_main::tfillinert()
{
    if (msgbox && msgbox->Confirm(SFillInert, clRed, SAreYouSure) && msgbox->Confirm(SFillInert, clYellow, SOpenInert))
        gasMode(gas_fillinert);
}

void TForm_main::tflushint()
{
    if (msgbox && msgbox->Confirm(SInternFlushing, clRed, SAreYouSure)
        && msgbox->Confirm(SInternFlushing, clYellow, SOpenInert))
        gasMode(gas_internflushing);
}

void TForm_main::tflushext()
{
    if (msgbox && msgbox->Confirm(SExternFlushing, clRed, SClosePremix)
        && msgbox->Confirm(SExternFlushing, clYellow, SOpenInert))
        gasMode(gas_externflushing);
}
