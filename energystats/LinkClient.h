//===- LinkClient.h - Tessaly's side of the link: registration, commands, the status copy -*- C++ -*-===//
#pragma once

#include "energystats/CommandSequence.h"
#include "link/LinkRecords.h"
#include "platform/user/Messages.h"

#include <cstdint>

class LinkClient {
public:
    /// Registers Window as a client; false when every client slot is taken (the window is let go
    /// again and stays unregistered).
    bool Register(HWND Window);
    /// Lets the window go, when it is registered.
    void Release(HWND Window);
    bool Registered() const { return registered; }

    /// Whether Msg is one of the server's notices.
    bool IsNotice(const MSG& Msg) const { return messageNumber != 0 && Msg.message == messageNumber; }
    /// Queues a command for the server, numbered in turn.
    void Send(HWND Window, uint16_t Code, uint32_t Argument);

    /// Takes the server's status anew; false when the library has none (the copy stays as it was).
    bool Refresh();
    const LaserStatusCopy& Status() const { return statusCopy; }
    /// The library's whole status for this process; null before the first refresh.
    const LaserStatus* Whole() const { return statusPointer; }

private:
    bool registered = false;
    uint16_t messageNumber = 0;
    CommandSequence sequence;
    LaserStatusCopy statusCopy {};
    LaserStatus* statusPointer = nullptr;
};
