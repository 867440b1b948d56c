//===- LinkClient.h - A program's side of the link: registration, commands, the status copy -*- C++ -*-===//
#pragma once

#include "link/CommandNumbers.h"
#include "link/LinkRecords.h"
#include "link/Varnex32.h"
#include "platform/kernel/SessionNames.h"
#include "platform/user/Messages.h"

#include <cstdint>
#include <string>

/// What a client program keeps of the link: whether its window is registered, the number of the
/// server's notices, the numbering of its commands and its copy of the server's status.
class LinkClient {
public:
    /// FirstNumber is the sequence number of the program's first command.
    explicit LinkClient(uint16_t FirstNumber) : numbers(FirstNumber) {}

    /// Registers Window as a client; false when every client slot is taken (the window is let go
    /// again and stays unregistered).
    bool Register(HWND Window)
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
    /// Lets the window go, when it is registered.
    void Release(HWND Window)
    {
        if (registered)
            releasedll(Window);
        registered = false;
    }
    bool Registered() const { return registered; }
    /// When the link has no block because the system refused one of its named objects (one that
    /// another user could have planted), the refusal naming it; empty otherwise.
    std::string RefusedObject() const { return statusPointer ? std::string() : SessionObjectRefusal(); }

    /// Whether Msg is one of the server's notices; before registration the number is 0, which no
    /// notice has.
    bool IsNotice(const MSG& Msg) const { return messageNumber != 0 && Msg.message == messageNumber; }
    uint16_t MessageNumber() const { return messageNumber; }

    /// Queues a command for the server, numbered in turn; false when the library refused it.
    bool Send(HWND Window, uint16_t Code, uint32_t Argument)
    {
        LaserCommand command {};
        command.window = Window;
        command.sequence = numbers.Take();
        command.code = Code;
        command.argument = Argument;
        return putcommand(&command) <= 0;
    }
    /// The number the next command will carry.
    uint16_t NextNumber() const { return numbers.Next(); }

    /// Takes the server's status anew; false when the library has none (the copy stays as it was).
    bool Refresh()
    {
        statusPointer = getstatuspointer();
        if (!statusPointer)
            return false;
        statusCopy = statusPointer->copy;
        return true;
    }
    /// Takes Copy as Refresh does with the library's (tests hand in crafted copies).
    void Take(const LaserStatusCopy& Copy) { statusCopy = Copy; }
    /// Keeps of the capability flags only those in Mask: a program offers no more than the
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
