//===- PanelLink.h - Heliant's side of the link: registration, commands, the status copy -*- C++ -*-===//
#pragma once

#include "lasercontrol/CommandNumbers.h"
#include "link/LinkRecords.h"
#include "platform/user/Messages.h"

#include <cstdint>

class PanelLink {
public:
    /// Registers Window as a client; false when every client slot is taken (the window is let go
    /// again and stays unregistered).
    bool Register(HWND Window);
    /// Lets the window go.
    void Release(HWND Window);
    bool Registered() const { return registered; }

    /// Whether Msg is one of the server's notices; before registration the number is 0, which no
    /// notice has.
    bool IsNotice(const MSG& Msg) const { return messageNumber != 0 && Msg.message == messageNumber; }
    uint16_t MessageNumber() const { return messageNumber; }
    /// Queues a command for the server, numbered in turn; false when the library refused it.
    bool Send(HWND Window, uint16_t Code, uint32_t Argument);
    /// The number the next command will carry.
    uint16_t NextNumber() const { return numbers.Next(); }

    /// Takes the server's status anew; false when the library has none (the copy stays as it was).
    bool Refresh();
    /// Takes Copy as Refresh does with the library's (tests hand in crafted copies).
    void Take(const LaserStatusCopy& Copy) { statusCopy = Copy; }
    /// Keeps of the capability flags only those in Mask: the panel offers no more than the
    /// connected device has.
    void MaskCapabilities(uint8_t Mask) { statusCopy.capabilityFlags &= Mask; }
    const LaserStatusCopy& Status() const { return statusCopy; }
    /// The library's whole status for this process; null before registration.
    const LaserStatus* Whole() const { return statusPointer; }

private:
    bool registered = false;
    uint16_t messageNumber = 0;
    CommandNumbers numbers;
    LaserStatusCopy statusCopy {};
    LaserStatus* statusPointer = nullptr;
};
