//===- LinkLibrary_p.h - The link library's per-process state -*- C++ -*-===//
#pragma once

#include "link/LinkRecords.h"

#include <cstddef>
#include <cstdint>
#include <memory>

class FileMapping;
class NamedMutex;

/// What each process that loads the library keeps for itself; never shared.
struct LinkState {
    uint32_t serverMessage = 0;
    uint32_t applicationMessage = 0;
    std::unique_ptr<NamedMutex> mutex;
    std::unique_ptr<FileMapping> mapping;
    LinkSharedBlock* view = nullptr;
    uint32_t blockSize = 0;
    bool createdHere = false;
    uint32_t lastWaitResult = 0;
    bool timeoutShown = false;
    LaserStatus statusCopy {};

    LinkState();
    ~LinkState();
};

/// The state of this process; made at load, gone at unload.
LinkState& Link();

/// Takes LinkMutex for at most 20000 ms; true when held. Shows "Mutex timeout" once per run of
/// time-outs. An abandoned mutex is released again at once and answers false, so the export
/// reports LINK_TIMEOUT and nobody stays blocked by the dead owner.
bool waitmutex();

/// Holds LinkMutex for one export and releases it only when it was taken.
class MutexHold {
public:
    MutexHold();
    ~MutexHold();
    MutexHold(const MutexHold&) = delete;
    MutexHold& operator=(const MutexHold&) = delete;
    explicit operator bool() const { return held_; }

private:
    bool held_;
};

/// Copies at most Size - 1 characters of the zero-terminated Source and always terminates.
void copylimited(char* Destination, const char* Source, size_t Size);

/// Shows one of the library's boxes: no owner, title "Error", OK only.
void ShowLinkError(const char* Text);

/// The client windows that a notice to Target reaches, in slot order: every client
/// (LinkAllClients), the ADL clients (LinkAdlClients), or the first slot that holds exactly that
/// window. Read under the mutex.
struct NoticeTargets {
    uint32_t windows[ClientSlots];
    int count = 0;
};
NoticeTargets noticetargets(const LinkSharedBlock& Block, uint32_t Target);

/// Posts LinkAppMessage to each of Targets. Called after the mutex is released: a client's
/// handler reads the status under the mutex, and should not wait for the rest of the fan-out.
void notifyapplications(const NoticeTargets& Targets, uint16_t WParam, uint32_t LParam);

/// Starts the laser server program; called only without the mutex.
void StartLaserServer();
