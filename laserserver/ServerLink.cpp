//===- ServerLink.cpp - The server's side of the link: registering, fetching, publishing ---===//
#include "laserserver/ServerLink.h"

#include "link/Varnex32.h"

#include "platform/user/Messages.h"

#include <algorithm>
#include <cstring>

static_assert(sizeof(ServerMark) <= sizeof(LaserStatus::rest));

namespace {

/// The mark in a status record; a zero window when the record carries none.
ServerMark readMark(const LaserStatus& Status)
{
    ServerMark mark;
    std::memcpy(&mark, Status.rest, sizeof mark);
    if (std::memcmp(mark.Tag, ServerMarkTag, sizeof mark.Tag) != 0)
        mark.Window = 0;
    return mark;
}

void copyText(char* Field, size_t Size, const std::string& Text)
{
    size_t n = std::min(Text.size(), Size - 1);
    std::memcpy(Field, Text.data(), n);
    Field[n] = 0;
}

template <typename T>
std::span<T> region(uint32_t Address, size_t Count)
{
    if (Address == 0)
        return {};
    return std::span<T>(reinterpret_cast<T*>(uintptr_t(Address)), Count);
}

ServerNotice notice(uint8_t Type, uint8_t Event = 0, uint8_t Parameter = 0)
{
    ServerNotice n {};
    n.type = Type;
    n.event = Event;
    n.parameter = Parameter;
    return n;
}

} // namespace

bool ServerLink::HasBlock() { return getstatuspointer() != nullptr; }

uint32_t ServerLink::RunningServer()
{
    const LaserStatus* status = getstatuspointer();
    if (!status || status->serverReady == 0)
        return 0;
    uint32_t window = readMark(*status).Window;
    return window != 0 && IsWindow(window) ? window : 0;
}

ServerLink::ServerLink(uint32_t Window, ServerIdentity Identity) : window_(Window), identity_(std::move(Identity)) {}

void ServerLink::Register() { registerexcimer(LinkKey, window_); }

bool ServerLink::StillOwner() const
{
    uint32_t other = RunningServer();
    return other == 0 || other == window_;
}

RunRegions ServerLink::Regions() const
{
    const LaserStatus* status = getstatuspointer();
    if (!status)
        return {};
    // The library puts this process's addresses of the block's regions into the copy.
    return RunRegions { region<float>(status->copy.energyPtr, EnergyCapacity),
                        region<double>(status->copy.abscissaPtr, EnergyCapacity),
                        region<int32_t>(status->copy.histogramPtr, HistogramBins) };
}

LaserStatus ServerLink::compose(const LaserStatusCopy& Status) const
{
    LaserStatus status {};
    status.serverReady = 1;
    status.serverBacklog = 0; // every command is carried out as soon as it is fetched
    copyText(status.linkBanner, sizeof status.linkBanner, LinkBanner);
    copyText(status.serverVersionText, sizeof status.serverVersionText, identity_.VersionText);
    status.serverVersionLevel = uint8_t(identity_.VersionLevel);
    status.copy = Status;
    ServerMark mark {};
    std::memcpy(mark.Tag, ServerMarkTag, sizeof mark.Tag);
    mark.Window = window_;
    std::memcpy(status.rest, &mark, sizeof mark);
    return status;
}

int32_t ServerLink::Publish(const LaserStatusCopy& Status, uint8_t Event, uint8_t Parameter)
{
    LaserStatus status = compose(Status);
    ServerNotice n = notice(ex_status, Event, Parameter);
    return excommand(&n, &status);
}

int32_t ServerLink::Close(const LaserStatusCopy& Status)
{
    LaserStatus status = compose(Status);
    status.serverReady = 0;
    ServerNotice n = notice(ex_closing, ev_serverclosed);
    return excommand(&n, &status);
}

bool ServerLink::Fetch(CommandRing& Ring)
{
    ServerNotice n = notice(ex_fetch);
    return excommand(&n, &Ring) == 0;
}

int ServerLink::ClientCount() const
{
    ServerNotice n = notice(ex_info);
    LaserInfo info {};
    if (excommand(&n, &info) != 0)
        return -1;
    return info.clientCount;
}
