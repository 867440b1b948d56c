//===- main.cpp - Kelmor32: the laser simulator standing in for the laser server ---===//
//
// Started by the link library at every registration of a client. A copy that finds a live
// server leaves at once, after asking it to tell its clients about the laser; otherwise it
// becomes the server and runs until it is asked to close.
//
#include "laserserver/LaserServer.h"
#include "laserserver/ServerLink.h"
#include "laserserver/SimulatorSettings.h"

#include "platform/kernel/SessionNames.h"
#include "platform/user/Messages.h"

#include <cstdio>
#include <string>

int main()
{
    SimulatorSettings settings = SimulatorSettings::LoadDefault();
    for (const std::string& warning : settings.Warnings)
        std::fprintf(stderr, "Kelmor32: %s: %s\n", settings.Path.c_str(), warning.c_str());

    if (!ServerLink::HasBlock()) {
        std::fprintf(stderr, "Kelmor32: the link library has no shared block; no server can run\n");
        if (std::string refusal = SessionObjectRefusal(); !refusal.empty())
            std::fprintf(stderr, "Kelmor32: %s\n", refusal.c_str());
        return 1;
    }
    if (uint32_t running = ServerLink::RunningServer()) {
        PostMessage(running, RegisterWindowMessage(AnnounceMessageName), 0, 0);
        std::printf("Kelmor32: a laser server is running already (window %u); leaving\n", unsigned(running));
        return 0;
    }

    LaserServer server(std::move(settings));
    if (!server.IsValid()) {
        std::fprintf(stderr, "Kelmor32: cannot make the server window\n");
        return 1;
    }
    return server.Run();
}
