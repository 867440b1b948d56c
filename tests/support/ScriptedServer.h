//===- ScriptedServer.h - A laser server played by the test through the real link library -*- C++ -*-===//
#pragma once

#include "link/LinkRecords.h"
#include "platform/user/Messages.h"

#include <functional>
#include <string>
#include <vector>

namespace testsupport {

/// Copies Text into a fixed-size status field, cut to the field (no terminator when it fills it).
template <size_t N>
void SetField(char (&Field)[N], const std::string& Text)
{
    for (size_t i = 0; i < N; ++i)
        Field[i] = i < Text.size() ? Text[i] : '\0';
}

/// A laser server played by the test: it registers a window of its own as the server's and
/// publishes the status it holds through the real library, as the simulator does. Ready, with a
/// version the programs accept; a laser with all fields zero.
class ScriptedServer {
public:
    ScriptedServer();
    ~ScriptedServer();
    ScriptedServer(const ScriptedServer&) = delete;
    ScriptedServer& operator=(const ScriptedServer&) = delete;

    LaserStatus Status {};
    LaserStatusCopy& Copy() { return Status.copy; }

    /// excommand(ex_status): the whole status to the block, the event to every client.
    int32_t Publish(uint8_t Event, uint8_t Parameter = 0);
    /// excommand(ex_closing) with 'p', as a server that closes sends it.
    int32_t PublishClosing();
    /// The commands queued since the last fetch (excommand(ex_fetch)).
    std::vector<LaserCommand> Fetch();
    /// Registered client windows (excommand(ex_info)).
    int ClientCount();

    /// Called when the library tells the server's window that commands wait (once the loop
    /// delivers it); unset, the commands wait for Fetch.
    std::function<void()> OnCommandsQueued;

    HWND Window = 0;
};

} // namespace testsupport
