//===- LinkClient.cpp - Tessaly's side of the link: registration, commands, the status copy ---===//
#include "energystats/LinkClient.h"

#include "link/Varnex32.h"

bool LinkClient::Register(HWND Window)
{
    if (registerapplication(Window) == LINK_FULL) {
        releasedll(Window);
        return false;
    }
    messageNumber = uint16_t(getmessagenumber() & 0xFFFF);
    registered = true;
    return true;
}

void LinkClient::Release(HWND Window)
{
    if (registered)
        releasedll(Window);
    registered = false;
}

void LinkClient::Send(HWND Window, uint16_t Code, uint32_t Argument)
{
    LaserCommand command {};
    command.window = Window;
    command.sequence = sequence.Take();
    command.code = Code;
    command.argument = Argument;
    putcommand(&command);
}

bool LinkClient::Refresh()
{
    statusPointer = getstatuspointer();
    if (!statusPointer)
        return false;
    statusCopy = statusPointer->copy;
    return true;
}
