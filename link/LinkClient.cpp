//===- LinkClient.cpp - A program's side of the link: registration, notices, commands, the status copy ---===//
#include "link/LinkClient.h"

#include "link/LinkTexts.h"
#include "platform/kernel/SessionNames.h"
#include "platform/ui/forms/TApplication.h"
#include "platform/ui/forms/TForm.h"
#include "platform/user/Dialogs.h"

#include <cstring>

bool LinkClient::Register()
{
    const HWND window = Application->GetHandle();
    if (registerapplication(window) == LINK_FULL) {
        releasedll(window);
        MessageBox(0, STooManyApplications, SError, MB_OK);
        // The program ends before its loop runs; nothing of the link stays behind.
        Application->Terminate();
        return false;
    }
    messageNumber = uint16_t(getmessagenumber() & 0xFFFF);
    statusPointer = getstatuspointer();
    registered = true;
    // Without a block the program cannot follow the laser; a refused object says why.
    if (!statusPointer)
        if (const std::string refused = SessionObjectRefusal(); !refused.empty())
            Application->MessageBox(refused, SError, MB_OK);
    return true;
}

void LinkClient::Release()
{
    if (registered)
        releasedll(Application->GetHandle());
    registered = false;
}

std::optional<LinkEvent> LinkClient::OnAppMessage(MSG& Msg, bool& Handled)
{
    if (!IsNotice(Msg))
        return std::nullopt;
    Handled = true;
    const LinkEvent notice = LinkEventOf(Msg.lParam);
    try {
        handler(notice.event, notice.parameter);
    } catch (...) {
        Application->HandleException(&form);
    }
    return notice;
}

void LinkClient::getstatus()
{
    statusPointer = getstatuspointer();
    if (!statusPointer) {
        // The notice is still acted on, from the copy as it was.
        Application->MessageBox(SNilStatusPointer, SError, MB_OK);
        return;
    }
    statusCopy = statusPointer->copy;
    const char* text = statusPointer->serverVersionText;
    const std::string version(text, strnlen(text, sizeof statusPointer->serverVersionText));
    if (statusPointer->serverVersionLevel >= minimumServerLevel || version.empty() || oldServerTold)
        return;
    oldServerTold = true;
    Application->MessageBox(SOldServerPrefix + version + SOldServerSuffix, SError, MB_OK);
    form.Close();
}

bool LinkClient::Send(uint16_t Code, uint32_t Argument)
{
    LaserCommand command {};
    command.window = Application->GetHandle();
    command.sequence = numbers.Take();
    command.code = Code;
    command.argument = Argument;
    return putcommand(&command) <= 0;
}
