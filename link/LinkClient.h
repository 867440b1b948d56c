//===- LinkClient.h - A program's side of the link: registration, notices, commands, the status copy -*- C++ -*-===//
//
// Both client programs join the laser server the same way, and this class is that way: it
// registers the application window, picks the server's notices out of the application's messages
// and hands them to the main form, refreshes the status copy at each notice (an old server is told
// and the form closed), numbers the commands and lets the window go on closing. The form keeps
// what is its own: what each notice does to it, and the questions of its close.
//
#pragma once

#include "link/CommandNumbers.h"
#include "link/LinkRecords.h"
#include "link/Varnex32.h"
#include "platform/user/Messages.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

class TForm;

class LinkClient {
public:
    /// What the main form does with one notice (its LASSHELLEvent).
    using NoticeHandler = std::function<void(uint8_t Code, uint8_t Parameter)>;

    /// MainForm handles the notices through Handler and is closed for a server whose version
    /// letter is below MinimumServerLevel; FirstNumber is the sequence number of the first command.
    LinkClient(TForm& MainForm, NoticeHandler Handler, uint16_t FirstNumber, uint8_t MinimumServerLevel)
        : form(MainForm), handler(std::move(Handler)), numbers(FirstNumber), minimumServerLevel(MinimumServerLevel)
    {
    }

    // --- Registration
    /// Registers the application window. With every client slot taken the operator is told, the
    /// program ends and the answer is false. A registration without a block, because the system
    /// refused one of its named objects, is told with the refusal's text.
    bool Register();
    /// Lets the application window go, when it is registered.
    void Release();
    bool Registered() const { return registered; }

    // --- Notices
    /// The application's message filter: a notice of the server is marked handled and handed to
    /// the form (what the form throws is the application's to show), and answered. Every other
    /// message passes untouched.
    std::optional<LinkEvent> OnAppMessage(MSG& Msg, bool& Handled);
    /// Whether Msg is one of the server's notices; before registration the number is 0, which no
    /// notice has.
    bool IsNotice(const MSG& Msg) const { return messageNumber != 0 && Msg.message == messageNumber; }
    uint16_t MessageNumber() const { return messageNumber; }

    // --- The status copy
    /// Takes the server's status anew. Without one the operator is told and the copy stays as it
    /// was. A server too old is told and the form asked to close, once: notices go on while the box
    /// is up and while the close asks its questions.
    void getstatus();
    /// The form refused to close: a server still too old is told again at its next notice.
    void CloseRefused() { oldServerTold = false; }
    /// Takes Copy as getstatus does with the library's (tests hand in crafted copies).
    void Take(const LaserStatusCopy& Copy) { statusCopy = Copy; }
    /// Keeps of the capability flags only those in Mask: a program offers no more than the
    /// connected device has.
    void MaskCapabilities(uint8_t Mask) { statusCopy.capabilityFlags &= Mask; }
    const LaserStatusCopy& Status() const { return statusCopy; }
    /// The library's whole status for this process; null before registration.
    const LaserStatus* Whole() const { return statusPointer; }

    // --- Commands
    /// Queues a command for the server from the application window, numbered in turn; false when
    /// the library refused it.
    bool Send(uint16_t Code, uint32_t Argument);
    /// The number the next command will carry.
    uint16_t NextNumber() const { return numbers.Next(); }

private:
    TForm& form;
    NoticeHandler handler;
    bool registered = false;
    uint16_t messageNumber = 0;
    CommandNumbers numbers;
    uint8_t minimumServerLevel;
    bool oldServerTold = false;
    LaserStatusCopy statusCopy {};
    LaserStatus* statusPointer = nullptr;
};
