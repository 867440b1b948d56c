//===- PanelLink.cpp - Heliant's side of the link: registration, commands, the status copy ---===//
#include "lasercontrol/PanelLink.h"

#include "link/Varnex32.h"

bool PanelLink::Register(HWND Window)
{
    if (registerapplication(Window) == LINK_FULL) {
        releasedll(Window);
        return false;
    }
    messageNumber = uint16_t(getmessagenumber() & 0xFFFF);
    statusPointer = getstatuspointer();
    registered = true;
    return true;
}

void PanelLink::Release(HWND Window) { releasedll(Window); }

bool PanelLink::Send(HWND Window, uint16_t Code, uint32_t Argument)
{
    LaserCommand command {};
    command.window = Window;
    command.sequence = numbers.Take();
    command.code = Code;
    command.argument = Argument;
    return putcommand(&command) <= 0;
}

bool PanelLink::Refresh()
{
    statusPointer = getstatuspointer();
    if (!statusPointer)
        return false;
    statusCopy = statusPointer->copy;
    return true;
}
