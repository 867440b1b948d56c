//===- ServerExports.cpp - The laser server's registration and notices ---===//
#include "link/Varnex32.h"

#include <cstring>

#include "link/LinkLibrary_p.h"
#include "platform/user/Messages.h"

namespace {

/// Copies a whole status in from the server.
void takeStatus(LinkSharedBlock& Block, const void* Data)
{
    std::memcpy(&Block.status, Data, sizeof(LaserStatus));
}

bool needsData(uint8_t Type)
{
    switch (Type) {
    case ex_status:
    case ex_info:
    case ex_statusone:
    case ex_closing:
    case ex_fetch:
    case ex_statusadl:
        return true;
    default:
        return false;
    }
}

int32_t act(LinkSharedBlock& Block, const ServerNotice& Notice, void* Data, uint32_t LParam)
{
    switch (Notice.type) {
    case ex_status:
        takeStatus(Block, Data);
        notifyapplications(0, Notice.wParam, LParam);
        return 0;
    case ex_info:
        std::memcpy(Data, &Block.info, sizeof(LaserInfo));
        return 0;
    case ex_notify:
        notifyapplications(0, Notice.wParam, LParam);
        return 0;
    case ex_statusone:
        takeStatus(Block, Data);
        notifyapplications(Notice.target, Notice.wParam, LParam);
        return 0;
    case ex_closing:
        takeStatus(Block, Data);
        Block.status.serverReady = 0;
        Block.serverWindow = 0;
        for (int i = 0; i < 4; ++i)
            if (Block.status.countdowns[i] > 0)
                Block.status.countdowns[i] = uint16_t(Block.status.countdowns[i] - 1);
        notifyapplications(0, Notice.wParam, LParam);
        return 0;
    case ex_fetch:
        std::memcpy(Data, &Block.ring, sizeof(CommandRing));
        std::memset(&Block.ring, 0, sizeof(CommandRing));
        return 0;
    case ex_statusadl:
        takeStatus(Block, Data);
        notifyapplications(0xFFFFFFFF, Notice.wParam, LParam);
        return 0;
    case ex_notifyadl:
        notifyapplications(0xFFFFFFFF, Notice.wParam, LParam);
        return 0;
    default:
        return -1;
    }
}

} // namespace

int32_t registerexcimer(uint32_t Key, uint32_t Window)
{
    LinkState& link = Link();
    MutexHold hold;
    // Stored even when the wait failed: a single 32-bit store, as the server relies on it.
    if (Key == LinkKey && link.view)
        link.view->serverWindow = Window;
    return 0;
}

int32_t excommand(const ServerNotice* Notice, void* Data)
{
    LinkState& link = Link();
    if (!link.view)
        return LINK_NOLINK;
    // A notice that needs a buffer and has none is refused like an unknown type.
    if (!Notice || (!Data && needsData(Notice->type)))
        return -1;
    const ServerNotice notice = *Notice;
    const uint32_t lParam = LinkEventLParam(notice.event, notice.parameter, notice.high);

    MutexHold hold;
    if (!hold)
        return LINK_TIMEOUT;
    LinkSharedBlock& block = *link.view;
    int32_t result = act(block, notice, Data, lParam);

    const CommandRing& ring = block.ring;
    if (ring.writeIndex != ring.readIndex && block.status.serverReady != 0 && block.serverWindow != 0)
        PostMessage(block.serverWindow, link.serverMessage, LinkServerWParam, 0);
    return result;
}
