//===- ClientExports.cpp - Registration, status and commands of the clients ---===//
#include "link/Varnex32.h"

#include "link/LinkLibrary_p.h"

#include "platform/kernel/ProcessMemory.h"
#include "platform/user/Messages.h"

#include <cstring>

namespace {

bool ringIndexValid(int16_t Index) { return Index >= 0 && Index < RingSlots; }

/// Steps 3..6 of both registrations: under the mutex, store the window in the first free slot.
int32_t storeClient(uint32_t Window, bool Adl)
{
    MutexHold hold;
    if (!hold)
        return LINK_TIMEOUT;
    LinkSharedBlock& block = *Link().view;
    if (block.info.clientCount >= ClientSlots)
        return LINK_FULL;
    // Look for the window in every slot before taking a free one, so that a window released
    // from an earlier slot and registered again is never stored twice.
    for (uint32_t slot : block.clientSlots)
        if (slot == Window)
            return LINK_REGISTERED;
    for (int i = 0; i < ClientSlots; ++i) {
        if (block.clientSlots[i] != 0)
            continue;
        block.clientSlots[i] = Window;
        block.adlFlags[i] = Adl ? 1 : 0;
        block.info.clientCount++;
        if (Adl)
            block.info.adlClientCount++;
        return LINK_OK;
    }
    return LINK_FULL;
}

int32_t registerClient(uint32_t Window, bool Adl)
{
    if (!Link().view)
        return LINK_NOLINK;
    int32_t result = Window == 0 ? LINK_UNKNOWN : storeClient(Window, Adl);
    StartLaserServer();
    return result;
}

void fillRegionAddresses(LaserStatusCopy& Copy, LinkSharedBlock& Block)
{
    // The block lies below 4 GiB, so its addresses fit the 32-bit fields.
    Copy.energyPtr = uint32_t(reinterpret_cast<uintptr_t>(&Block.EnergyArray[0]));
    Copy.abscissaPtr = uint32_t(reinterpret_cast<uintptr_t>(&Block.AbscissaArray[0]));
    Copy.histogramPtr = uint32_t(reinterpret_cast<uintptr_t>(&Block.HistogramArray[0]));
    Copy.region4Ptr = uint32_t(reinterpret_cast<uintptr_t>(&Block.DataRegion4[0]));
}

/// Puts the command (and its extended data, when it has some) into the ring under the mutex;
/// answers LINK_OK with the server's window in Server, or why the command was refused.
int32_t queueCommand(const LaserCommand& Command, const uint8_t* Extended, uint32_t& Server)
{
    MutexHold hold;
    if (!hold)
        return LINK_TIMEOUT;
    LinkSharedBlock& block = *Link().view;
    CommandRing& ring = block.ring;
    if (block.status.serverReady == 0 || block.serverWindow == 0)
        return LINK_NOLINK;
    // A server that died without closing leaves itself registered and ready; a command queued
    // for it would lie in the ring until the next server fires it.
    if (!IsWindow(block.serverWindow))
        return LINK_NOLINK;
    // Indexes outside the ring would write outside it: refuse as if full.
    if (!ringIndexValid(ring.writeIndex) || !ringIndexValid(ring.readIndex))
        return LINK_QUEUEFULL;
    if (PendingCommands(ring.writeIndex, ring.readIndex) >= RingSlots - 1)
        return LINK_QUEUEFULL;
    if (block.status.serverBacklog >= 80)
        return LINK_QUEUEFULL;

    const int w = ring.writeIndex;
    std::memcpy(&ring.commands[w], &Command, sizeof(LaserCommand));
    if (Extended)
        std::memcpy(ring.extended[w], Extended, ExtendedDataSize);
    ring.writeIndex = int16_t(w == RingSlots - 1 ? 0 : w + 1);
    Server = block.serverWindow;
    return LINK_OK;
}

} // namespace

int32_t registerapplication(uint32_t Window) { return registerClient(Window, false); }

int32_t RegisterAdlApplication(uint32_t Window) { return registerClient(Window, true); }

int32_t releasedll(uint32_t Window)
{
    if (!Link().view)
        return LINK_NOLINK;
    if (Window == 0)
        return LINK_UNKNOWN;
    MutexHold hold;
    if (!hold)
        return LINK_TIMEOUT;
    LinkSharedBlock& block = *Link().view;
    if (block.info.clientCount == 0)
        return LINK_UNKNOWN;
    for (int i = 0; i < ClientSlots; ++i) {
        if (block.clientSlots[i] != Window)
            continue;
        block.clientSlots[i] = 0;
        block.info.clientCount--;
        if (block.adlFlags[i]) {
            if (block.info.adlClientCount > 0)
                block.info.adlClientCount--;
            block.adlFlags[i] = 0;
        }
        return LINK_OK;
    }
    return LINK_UNKNOWN;
}

uint32_t getmessagenumber() { return Link().applicationMessage; }

LaserStatus* getstatuspointer()
{
    LinkState& link = Link();
    if (!link.view)
        return nullptr;
    MutexHold hold;
    if (hold) {
        std::memcpy(&link.statusCopy, &link.view->status, sizeof(LaserStatus));
        fillRegionAddresses(link.statusCopy.copy, *link.view);
    }
    return &link.statusCopy;
}

int32_t putcommand(const LaserCommand* Command)
{
    if (!Command)
        return LINK_UNKNOWN;
    if (Command->code == cmd_startserver) {
        StartLaserServer();
        return LINK_OK;
    }
    LinkState& link = Link();
    if (!link.view)
        return LINK_NOLINK;

    // Extended data is read before the lock: an address that cannot be read refuses the
    // command instead of crashing the caller under the lock.
    uint8_t extended[ExtendedDataSize] {};
    const bool hasExtended = Command->code >= cmd_extendedbase;
    if (hasExtended
        && !ReadProcessMemory(reinterpret_cast<const void*>(uintptr_t(Command->argument)), extended, sizeof extended))
        return LINK_UNKNOWN;

    uint32_t server = 0;
    const int32_t result = queueCommand(*Command, hasExtended ? extended : nullptr, server);
    // Woken once the mutex is free again, the server need not wait for this client to let go.
    if (result == LINK_OK)
        PostMessage(server, link.serverMessage, LinkServerWParam, 0);
    return result;
}
