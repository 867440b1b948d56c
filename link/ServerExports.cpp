//===- ServerExports.cpp - The laser server's registration and notices ---===//
//
// The road of a notice, from the server's excommand to a program's handler:
//
// 1. The server (Kelmor32, laserserver/ServerLink) calls excommand on its GUI thread with
//    ex_status and a whole LaserStatus.
// 2. excommand takes LinkMutex, copies the status into the shared block, reads the target
//    windows from the client slots (LinkAllClients, LinkAdlClients or one window) and releases
//    the mutex.
// 3. Then it posts LinkAppMessage to each target in slot order, lParam made by LinkEventLParam.
//    A post is one 24-byte datagram sent to the window's socket, bound under a session-scoped
//    name. While the socket has room it does not wait. A full socket makes the post ring the
//    window's bell and wait up to 500 ms for the receiver thread to make room; a receiver that
//    lets the whole wait pass (a stopped or frozen program) is remembered, and later posts to it
//    do not wait: they get through only while its socket has room. So an excommand can take
//    500 ms once for each receiver that stalls.
// 4. In the client, the window sockets belong to the wait set of the queue descriptor, so the
//    datagram wakes the GUI thread directly: GetMessage's poll on the plain loop, or Qt's event
//    dispatcher through the message pump's socket notifier in programs built on TApplication.
//    The look of the loop reads the datagram from the socket and delivers it: OnMessage, the
//    program's filter, decodes it with LinkEventOf and calls the main form's LASSHELLEvent.
// 5. The handler calls getstatuspointer, which takes the mutex and copies the status into the
//    process's own copy.
//
// Threads and queues on the way: the server's GUI thread, the kernel's queue of each window
// socket (a handful of datagrams) and the client's GUI thread. Each client process also has a
// receiver thread, asleep until a sender finds a socket full: that sender rings the window's
// bell, and the thread moves what the sockets hold into the process's local queue (10000 deep),
// and goes on doing so until the loop has taken that queue empty.
//
// What is protocol and what is stand-in: the block "excimermem" and its layout, the mutex
// "excimerdll32", the registered messages "wm_excimerdll32" and "wm_excimerapp32", the exports
// and their results, the wParam and lParam of a notice and posting rather than sending are the
// link's own and hold for every program and server. Everything below PostMessage and the named
// objects is this platform's stand-in for the original's: the named mutex and mapping
// (platform/kernel), windows as datagram sockets with their bells, the receiver thread and the
// local queue (platform/user), and the pump that feeds the queue into Qt's loop (platform/ui).
// The link's rule is to post while the mutex is held. Here a post can wait up to 500 ms for a
// stalled receiver (step 3), and holding the mutex over that wait would hold every client's
// getstatuspointer and putcommand behind one frozen program; so the posts follow the release.
// What a client sees stays the same: the status is in the block before its notice is posted, so
// the handler's getstatuspointer reads that status or a newer one, and one server's notices to
// one window arrive in the order posted.
//
#include "link/Varnex32.h"

#include "link/LinkLibrary_p.h"

#include "platform/user/Messages.h"

#include <cstring>

namespace {

/// Copies a whole status in from the server.
void takeStatus(LinkSharedBlock& Block, const void* Data) { std::memcpy(&Block.status, Data, sizeof(LaserStatus)); }

bool needsData(uint8_t Type)
{
    switch (Type) {
    case ex_status:
    case ex_info:
    case ex_statusone:
    case ex_closing:
    case ex_fetch:
    case ex_statusadl: return true;
    default: return false;
    }
}

/// Acts on the notice under the mutex; the clients it is for are left in Targets.
int32_t act(LinkSharedBlock& Block, const ServerNotice& Notice, void* Data, NoticeTargets& Targets)
{
    switch (Notice.type) {
    case ex_status:
        takeStatus(Block, Data);
        Targets = noticetargets(Block, LinkAllClients);
        return 0;
    case ex_info: std::memcpy(Data, &Block.info, sizeof(LaserInfo)); return 0;
    case ex_notify: Targets = noticetargets(Block, LinkAllClients); return 0;
    case ex_statusone:
        takeStatus(Block, Data);
        Targets = noticetargets(Block, Notice.target);
        return 0;
    case ex_closing:
        takeStatus(Block, Data);
        Block.status.serverReady = 0;
        Block.serverWindow = 0;
        for (int i = 0; i < 4; ++i)
            if (Block.status.countdowns[i] > 0)
                Block.status.countdowns[i] = uint16_t(Block.status.countdowns[i] - 1);
        Targets = noticetargets(Block, LinkAllClients);
        return 0;
    case ex_fetch:
        std::memcpy(Data, &Block.ring, sizeof(CommandRing));
        std::memset(&Block.ring, 0, sizeof(CommandRing));
        return 0;
    case ex_statusadl:
        takeStatus(Block, Data);
        Targets = noticetargets(Block, LinkAdlClients);
        return 0;
    case ex_notifyadl: Targets = noticetargets(Block, LinkAdlClients); return 0;
    default: return -1;
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

    int32_t result;
    NoticeTargets targets;
    uint32_t wakeServer = 0;
    {
        MutexHold hold;
        if (!hold)
            return LINK_TIMEOUT;
        LinkSharedBlock& block = *link.view;
        result = act(block, notice, Data, targets);
        const CommandRing& ring = block.ring;
        if (ring.writeIndex != ring.readIndex && block.status.serverReady != 0)
            wakeServer = block.serverWindow;
    }
    // Posted after the release, in the same order: a client's status read need not wait for the
    // fan-out, and the status it reads is at least the one announced.
    notifyapplications(targets, notice.wParam, lParam);
    if (wakeServer != 0)
        PostMessage(wakeServer, link.serverMessage, LinkServerWParam, 0);
    return result;
}
