//===- ServerLink.h - The server's side of the link: registering, fetching, publishing -*- C++ -*-===//
//
// Everything the simulator does with the link library goes through its server exports
// (registerexcimer, excommand) and getstatuspointer, as the real server's would. The block's
// server window field cannot be read through them, so the server also writes its window into a
// part of the status record that no client reads (ServerMark below); a starting copy reads it
// back to find a server that is still alive.
//
#pragma once

#include "laserserver/MeasurementRun.h"
#include "link/LinkRecords.h"

#include <cstdint>
#include <string>

/// The server's mark in LaserStatus.rest (status offset 307 on): a tag and the server window.
struct ServerMark {
    char Tag[4];
    uint32_t Window;
};

/// What the server tells about itself in every status it publishes.
struct ServerIdentity {
    std::string VersionText;
    char VersionLevel = 'Y';
};

class ServerLink {
public:
    // Finding a running server
    /// The window of a ready server whose window still lives, or 0. Reads the block through
    /// getstatuspointer; 0 as well when there is no block.
    static uint32_t RunningServer();
    /// False when the process has no view of the shared block (the link cannot work).
    static bool HasBlock();

    ServerLink(uint32_t Window, ServerIdentity Identity);

    // Registration
    /// Makes Window the server window of the block.
    void Register();
    /// False when another live server has published its mark after this one: this copy lost a
    /// race of two starting copies and should leave quietly.
    bool StillOwner() const;
    /// The data regions of the block as this process sees them.
    RunRegions Regions() const;

    // Notices
    /// Publishes the whole status (ready, with the server's texts and Status) with one event
    /// to every client: excommand(ex_status). Answers excommand's result.
    int32_t Publish(const LaserStatusCopy& Status, uint8_t Event, uint8_t Parameter);
    /// The last notice: excommand(ex_closing) with 'p'; clears readiness and the server window.
    int32_t Close(const LaserStatusCopy& Status);

    // Commands
    /// Takes the queued commands: excommand(ex_fetch). False when the library refused.
    bool Fetch(CommandRing& Ring);
    /// Registered client windows (excommand(ex_info)); -1 when the library refused.
    int ClientCount() const;

private:
    LaserStatus compose(const LaserStatusCopy& Status) const;

    uint32_t window_;
    ServerIdentity identity_;
};

/// The mark's tag: "K32S".
constexpr char ServerMarkTag[4] = { 'K', '3', '2', 'S' };
