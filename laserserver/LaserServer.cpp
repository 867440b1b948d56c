//===- LaserServer.cpp - The simulator's window, timers and message handling ---===//
#include "laserserver/LaserServer.h"

#include "laserserver/LaserModel.h"
#include "laserserver/ServerLink.h"

#include "platform/kernel/Clock.h"
#include "platform/kernel/Signals.h"
#include "platform/rtl/DateUtils.h"

#include <cstdio>
#include <cstring>

namespace {

constexpr uintptr_t TickTimer = 1;
constexpr uintptr_t BlinkTimer = 2;

// The blink events' parameter: above 0 is the lit phase.
constexpr uint8_t Lit = 1;
constexpr uint8_t Dark = 0;

/// The status that goes out with the closing notice: with the server gone nothing fires and
/// nothing is ready, so no lamp may stay lit for it.
LaserStatusCopy laserOff(LaserStatusCopy Status)
{
    Status.stateFlags &= uint8_t(~(sf_firing | sf_highvoltage | sf_ready));
    Status.modeFlags &= uint8_t(~(mf_repetition | mf_burst));
    return Status;
}

} // namespace

LaserServer::LaserServer(SimulatorSettings Settings) : settings_(std::move(Settings)), log_(settings_.LogFile)
{
    window_ = CreateWindowHandle([this](HWND Window, UINT Msg, WPARAM wParam, LPARAM lParam) {
        return windowProc(Window, Msg, wParam, lParam);
    });
    if (window_ == 0)
        return;
    serverMessage_ = RegisterWindowMessage(LinkServerMessageName);
    announceMessage_ = RegisterWindowMessage(AnnounceMessageName);
    link_ = std::make_unique<ServerLink>(window_, ServerIdentity { settings_.VersionText, settings_.VersionLevel });
    model_ = std::make_unique<LaserModel>(settings_, link_->Regions(), Now());
    if (!settings_.LogFile.empty() && !log_.IsOpen())
        std::fprintf(stderr, "Kelmor32: cannot write the command log %s\n", settings_.LogFile.c_str());
}

LaserServer::~LaserServer()
{
    if (window_ != 0)
        DestroyWindow(window_);
}

int LaserServer::Run()
{
    if (!IsValid())
        return 1;
    const HWND window = window_;
    // The request arrives on another thread; the window's own thread does the closing.
    SetTerminateHandler([window] { PostMessage(window, WM_CLOSE, 0, 0); });

    dropLeftCommands();
    link_->Register();
    lastAdvance_ = timeGetTime();
    log_.Note("Kelmor32 ready, window " + std::to_string(window_));
    model_->Announce();
    publishNotices();
    SetTimer(window_, TickTimer, settings_.TickPeriod);
    SetTimer(window_, BlinkTimer, settings_.BlinkPeriod);
    std::printf("Kelmor32: laser simulator ready, window %u\n", unsigned(window_));
    std::fflush(stdout);

    MSG msg;
    while (GetMessage(&msg))
        DispatchMessage(&msg);
    SetTerminateHandler(nullptr);
    return 0;
}

LRESULT LaserServer::windowProc(HWND, UINT Msg, WPARAM wParam, LPARAM)
{
    if (closed_)
        return 0;
    if (Msg == serverMessage_)
        onCommands();
    else if (Msg == announceMessage_)
        onAnnounce();
    else if (Msg == WM_TIMER && wParam == TickTimer)
        onTick();
    else if (Msg == WM_TIMER && wParam == BlinkTimer)
        onBlink();
    else if (Msg == WM_CLOSE)
        onClose();
    return 0;
}

// ---- Handlers --------------------------------------------------------------------------------

void LaserServer::onCommands()
{
    CommandRing ring;
    if (!link_->Fetch(ring))
        return;
    // Indexes outside the ring mean a damaged block: nothing in it can be trusted.
    if (ring.readIndex < 0 || ring.readIndex >= RingSlots || ring.writeIndex < 0 || ring.writeIndex >= RingSlots) {
        log_.Note("ring with indexes " + std::to_string(ring.readIndex) + ".." + std::to_string(ring.writeIndex)
                  + " ignored");
        return;
    }
    if (ring.readIndex == ring.writeIndex)
        return;
    catchUp();
    publish(ev_txon, 0); // the transmit lamp is lit while the commands go to the laser
    for (int i = ring.readIndex; i != ring.writeIndex; i = (i + 1) % RingSlots)
        execute(ring.commands[i]);
    publishNotices();
    publish(ev_txoff, 0);
    saveOptions();
}

void LaserServer::onTick()
{
    catchUp();
    publishNotices();
    // Values that change without an event of their own (counters, pressure, temperature) go out
    // as a status read from the laser: the receive lamp flashes.
    uint32_t now = timeGetTime();
    if (now - lastPublished_ >= settings_.StatusPeriod) {
        LaserStatusCopy status = model_->Status();
        if (std::memcmp(&status, &published_, sizeof status) != 0) {
            publish(ev_rxon, 0);
            publish(ev_rxoff, 0);
        }
    }
}

void LaserServer::onBlink()
{
    if (!link_->StillOwner()) {
        // Two copies started at once and the other one published last: it is the server.
        std::printf("Kelmor32: another laser server took over; leaving\n");
        std::fflush(stdout);
        closed_ = true;
        PostQuitMessage(0);
        return;
    }
    if (idleTooLong()) {
        std::printf("Kelmor32: no client left; closing\n");
        onClose();
        return;
    }
    // Registering again keeps the block's server window ours after such a race.
    link_->Register();
    blinkLit_ = !blinkLit_;
    publish(ev_blink1, blinkLit_ ? Lit : Dark);
    publish(ev_blink2, blinkLit_ ? Lit : Dark);
}

void LaserServer::onAnnounce()
{
    catchUp();
    model_->Announce();
    publishNotices();
}

void LaserServer::onClose()
{
    closed_ = true;
    KillTimer(window_, TickTimer);
    KillTimer(window_, BlinkTimer);
    link_->Close(laserOff(model_->Status()));
    log_.Note("Kelmor32 closed");
    std::printf("Kelmor32: closed\n");
    std::fflush(stdout);
    PostQuitMessage(0);
}

// ---- Steps -----------------------------------------------------------------------------------

void LaserServer::dropLeftCommands()
{
    // Commands that a server which died left in the ring were meant for a laser in the state
    // it knew: firing them now could switch on a laser nobody is watching.
    CommandRing ring;
    if (!link_->Fetch(ring))
        return;
    const bool valid =
        ring.readIndex >= 0 && ring.readIndex < RingSlots && ring.writeIndex >= 0 && ring.writeIndex < RingSlots;
    const int left = valid ? PendingCommands(ring.writeIndex, ring.readIndex) : 0;
    if (left == 0)
        return;
    const std::string text =
        "dropped " + std::to_string(left) + " command(s) left in the ring by a server that is gone";
    log_.Note(text);
    std::printf("Kelmor32: %s\n", text.c_str());
}

void LaserServer::catchUp()
{
    uint32_t now = timeGetTime();
    model_->Advance(now - lastAdvance_);
    lastAdvance_ = now;
}

void LaserServer::execute(const LaserCommand& Command)
{
    log_.Write(Command);
    model_->Execute(Command.code, Command.argument);
}

void LaserServer::publishNotices()
{
    for (const LaserNotice& notice : model_->TakeNotices())
        publish(notice.Event, notice.Parameter);
}

void LaserServer::publish(uint8_t Event, uint8_t Parameter)
{
    published_ = model_->Status();
    link_->Publish(published_, Event, Parameter);
    lastPublished_ = timeGetTime();
}

bool LaserServer::idleTooLong()
{
    if (settings_.IdleSeconds <= 0)
        return false;
    uint32_t now = timeGetTime();
    if (link_->ClientCount() != 0) {
        idle_ = false;
        return false;
    }
    if (!idle_) {
        idle_ = true;
        idleSince_ = now;
    }
    return now - idleSince_ >= settings_.IdleSeconds * 1000.0;
}

void LaserServer::saveOptions()
{
    if (!model_->TakeOptionsToSave())
        return;
    LaserStatusCopy status = model_->Status();
    if (!settings_.SaveOptions(status.comPort, (status.optionFlags & 0x08) != 0))
        std::fprintf(stderr, "Kelmor32: cannot save the options to %s\n", settings_.Path.c_str());
}
