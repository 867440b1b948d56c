//===- LinkLibrary.cpp - Load, unload and locking of the link library ---===//
#include "link/LinkLibrary_p.h"

#include "platform/kernel/FileMapping.h"
#include "platform/kernel/NamedMutex.h"
#include "platform/kernel/SessionNames.h"
#include "platform/kernel/WinExec.h"
#include "platform/user/Dialogs.h"
#include "platform/user/Messages.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

constexpr uint32_t DefaultMutexTimeoutMs = 20000;
constexpr uint32_t ProcessAttach = 1;
constexpr uint32_t ProcessDetach = 0;

LinkState* TheLink = nullptr;

// Tests shorten the wait through VARNEX_LINK_TIMEOUT_MS; the programs never set it.
uint32_t mutexTimeoutMs()
{
    static const uint32_t timeout = [] {
        const char* text = std::getenv("VARNEX_LINK_TIMEOUT_MS");
        if (!text || !*text)
            return DefaultMutexTimeoutMs;
        char* end = nullptr;
        unsigned long value = std::strtoul(text, &end, 10);
        return (*end == '\0' && value > 0 && value <= DefaultMutexTimeoutMs) ? uint32_t(value) : DefaultMutexTimeoutMs;
    }();
    return timeout;
}

void processattach(uint32_t Reason)
{
    LinkState& link = Link();
    if (!link.view)
        return;
    if (Reason == ProcessAttach) {
        MutexHold hold;
        link.view->info.processCount++;
    } else if (Reason == ProcessDetach) {
        {
            MutexHold hold;
            if (link.view->info.processCount > 0)
                link.view->info.processCount--;
        }
        if (!link.mapping->UnmapView())
            ShowLinkError("TFilemapping unmapviewoffile error");
        link.view = nullptr;
    }
}

void registerMessages(LinkState& link)
{
    link.serverMessage = RegisterWindowMessage(LinkServerMessageName);
    link.applicationMessage = RegisterWindowMessage(LinkAppMessageName);
}

/// After a failure's own box: when the system refused a named object that another user could
/// have planted, which one and why, so that the operator can act on it.
/// Shown tells what was shown already: a refused folder refuses the mutex and the block alike.
void showRefusal(int Error, std::string& Shown)
{
    if (Error != EACCES)
        return;
    if (std::string refusal = SessionObjectRefusal(); !refusal.empty() && refusal != Shown) {
        ShowLinkError(refusal.c_str());
        Shown = refusal;
    }
}

void startUp(LinkState& link)
{
    std::string refusalShown;
    link.mutex = NamedMutex::Create(LinkMutexName);
    if (!link.mutex) {
        int error = errno;
        ShowLinkError("cannot create ecximerdll32mutex");
        showRefusal(error, refusalShown);
    }
    bool held = waitmutex();

    link.view = nullptr;
    link.blockSize = sizeof(LinkSharedBlock);
    link.mapping = FileMapping::Create(LinkBlockName, link.blockSize);
    if (!link.mapping) {
        int error = errno;
        ShowLinkError("TSharedmemory createfilemapping error");
        showRefusal(error, refusalShown);
    } else {
        link.createdHere = link.mapping->CreatedHere();
        // A living block of that name that is smaller cannot hold the records: a view of it
        // would fault at the first field past its end, so it gets no view at all.
        if (link.mapping->Size() >= link.blockSize)
            link.view = static_cast<LinkSharedBlock*>(link.mapping->MapView());
    }
    if (!link.view)
        ShowLinkError("Tfilemapping map view error");

    if (link.view && link.createdHere) {
        std::memset(link.view, 0, link.blockSize);
        copylimited(link.view->info.linkBanner, LinkBanner, sizeof(link.view->info.linkBanner));
        link.view->ring.writeIndex = 0;
        link.view->ring.readIndex = 0;
    }
    if (held)
        link.mutex->Release();
}

} // namespace

LinkState::LinkState() = default;
LinkState::~LinkState() = default;

LinkState& Link() { return *TheLink; }

bool waitmutex()
{
    LinkState& link = Link();
    // Without a handle every wait fails; a stale "held" from an earlier wait must never count.
    if (!link.mutex)
        return false;
    link.lastWaitResult = link.mutex->Wait(mutexTimeoutMs());
    if (link.lastWaitResult == WAIT_TIMEOUT) {
        if (!link.timeoutShown)
            ShowLinkError("Mutex timeout");
        link.timeoutShown = true;
    } else {
        link.timeoutShown = false;
    }
    if (link.lastWaitResult == WAIT_ABANDONED)
        link.mutex->Release();
    return link.lastWaitResult == WAIT_OBJECT_0;
}

MutexHold::MutexHold() : held_(waitmutex()) {}

MutexHold::~MutexHold()
{
    if (held_)
        Link().mutex->Release();
}

void copylimited(char* Destination, const char* Source, size_t Size)
{
    if (Size == 0)
        return;
    size_t n = 0;
    while (n + 1 < Size && Source[n] != '\0') {
        Destination[n] = Source[n];
        ++n;
    }
    Destination[n] = '\0';
}

void ShowLinkError(const char* Text) { MessageBox(0, Text, "Error", MB_OK); }

NoticeTargets noticetargets(const LinkSharedBlock& Block, uint32_t Target)
{
    NoticeTargets targets;
    for (int i = 0; i < ClientSlots; ++i) {
        uint32_t window = Block.clientSlots[i];
        if (window == 0)
            continue;
        if (Target == LinkAllClients || (Target == LinkAdlClients && Block.adlFlags[i])) {
            targets.windows[targets.count++] = window;
        } else if (window == Target) {
            targets.windows[targets.count++] = window;
            break;
        }
    }
    return targets;
}

void notifyapplications(const NoticeTargets& Targets, uint16_t WParam, uint32_t LParam)
{
    const uint32_t message = Link().applicationMessage;
    for (int i = 0; i < Targets.count; ++i)
        PostMessage(Targets.windows[i], message, WParam, LParam);
}

void StartLaserServer() { WinExec(LaserServerProgram, SW_SHOWDEFAULT); }

// The original runs these from its DLL entry point; a shared object's constructor and
// destructor are the same moments here.
__attribute__((constructor)) static void LinkLibraryLoad()
{
    TheLink = new LinkState;
    registerMessages(*TheLink);
    startUp(*TheLink);
    processattach(ProcessAttach);
}

__attribute__((destructor)) static void LinkLibraryUnload()
{
    processattach(ProcessDetach);
    TheLink->mapping.reset();
    TheLink->mutex.reset();
    delete TheLink;
    TheLink = nullptr;
}
