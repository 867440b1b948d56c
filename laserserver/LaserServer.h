//===- LaserServer.h - The simulator's window, timers and message handling -*- C++ -*-===//
//
// Joins the laser model to the link: one window receives the library's "commands are waiting"
// message, a tick timer lets model time pass, a blink timer sends the blink events, and every
// notice of the model goes out with the whole status.
//
#pragma once

#include "laserserver/CommandLog.h"
#include "laserserver/SimulatorSettings.h"
#include "link/LinkRecords.h"

#include "platform/user/Messages.h"

#include <cstdint>
#include <memory>

class LaserModel;
class ServerLink;

/// A copy that finds a server running posts this to the server's window, so that the server
/// tells its clients (the one just registered among them) the port, the device and its type.
constexpr const char* AnnounceMessageName = "kelmor32_announce";

class LaserServer {
public:
    /// Makes the window and the model; IsValid() is false when no window could be made.
    explicit LaserServer(SimulatorSettings Settings);
    ~LaserServer();
    LaserServer(const LaserServer&) = delete;
    LaserServer& operator=(const LaserServer&) = delete;

    bool IsValid() const { return window_ != 0; }
    HWND Window() const { return window_; }

    /// Registers as the server, tells the clients about the laser and runs the message loop
    /// until the server is asked to close (WM_CLOSE, a terminate signal). Answers the exit code.
    int Run();

private:
    LRESULT windowProc(HWND Window, UINT Msg, WPARAM wParam, LPARAM lParam);

    // Handlers
    void onCommands();
    void onTick();
    void onBlink();
    void onAnnounce();
    void onClose();

    // Steps
    /// Empties the ring of what a server before this one left unfetched, and says so.
    void dropLeftCommands();
    void catchUp();
    void execute(const LaserCommand& Command);
    void publishNotices();
    void publish(uint8_t Event, uint8_t Parameter);
    void saveOptions();
    bool idleTooLong();

    SimulatorSettings settings_;
    HWND window_ = 0;
    UINT serverMessage_ = 0;
    UINT announceMessage_ = 0;
    std::unique_ptr<ServerLink> link_;
    std::unique_ptr<LaserModel> model_;
    CommandLog log_;
    uint32_t lastAdvance_ = 0;     // timeGetTime() of the model's last step
    uint32_t lastPublished_ = 0;   // timeGetTime() of the last notice
    LaserStatusCopy published_ {}; // the status that went out last
    uint32_t idleSince_ = 0;       // timeGetTime() since when no client is registered
    bool idle_ = false;
    bool blinkLit_ = false;
    bool closed_ = false;
};
