//===- bench_server.h - The server side of the link benchmarks: its loop and its notices -*- C++ -*-===//
#pragma once

#include "link/Varnex32.h"

#include "platform/user/Messages.h"

#include <poll.h>

namespace bench {

/// Dispatches the server's messages until IsDone holds, sleeping in poll while none wait.
template <class Done>
void PumpUntil(Done IsDone)
{
    MSG msg;
    while (!IsDone()) {
        if (PeekMessage(&msg)) {
            DispatchMessage(&msg);
            continue;
        }
        pollfd p { MessageQueueFd(), POLLIN, 0 };
        poll(&p, 1, 1000);
    }
}

/// excommand with a ready server's status and the given notice.
inline void Publish(uint8_t Type, uint8_t Event)
{
    static LaserStatus status {};
    status.serverReady = 1;
    status.serverVersionLevel = 'Y';
    ServerNotice n { Type, Event, 0, 0, 0, 0, 0 };
    excommand(&n, &status);
}

} // namespace bench
