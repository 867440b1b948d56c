//===- ScriptedServer.cpp - A laser server played by the test through the real link library ---===//
#include "tests/support/ScriptedServer.h"

#include "link/Varnex32.h"

namespace testsupport {

ScriptedServer::ScriptedServer()
{
    const UINT serverMessage = RegisterWindowMessage(LinkServerMessageName);
    Window = CreateWindowHandle([this, serverMessage](HWND, UINT Msg, WPARAM, LPARAM) -> LRESULT {
        if (Msg == serverMessage && OnCommandsQueued)
            OnCommandsQueued();
        return 0;
    });
    Status.serverReady = 1;
    SetField(Status.linkBanner, LinkBanner);
    SetField(Status.serverVersionText, "Kelmor32 scripted test server");
    Status.serverVersionLevel = 'Y';
}

ScriptedServer::~ScriptedServer() { DestroyWindow(Window); }

int32_t ScriptedServer::Publish(uint8_t Event, uint8_t Parameter)
{
    registerexcimer(LinkKey, Window);
    ServerNotice notice {};
    notice.type = ex_status;
    notice.event = Event;
    notice.parameter = Parameter;
    return excommand(&notice, &Status);
}

int32_t ScriptedServer::PublishClosing()
{
    ServerNotice notice {};
    notice.type = ex_closing;
    notice.event = ev_serverclosed;
    return excommand(&notice, &Status);
}

std::vector<LaserCommand> ScriptedServer::Fetch()
{
    CommandRing ring {};
    ServerNotice notice {};
    notice.type = ex_fetch;
    excommand(&notice, &ring);
    std::vector<LaserCommand> commands;
    for (int i = ring.readIndex; i != ring.writeIndex; i = (i + 1) % RingSlots)
        commands.push_back(ring.commands[i]);
    return commands;
}

int ScriptedServer::ClientCount()
{
    LaserInfo info {};
    ServerNotice notice {};
    notice.type = ex_info;
    excommand(&notice, &info);
    return info.clientCount;
}

} // namespace testsupport
