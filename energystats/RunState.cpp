//===- RunState.cpp - Where Tessaly's measurement run stands, apart from the form ---===//
#include "energystats/RunState.h"

void RunState::RunEnded()
{
    stopRequested = true;
    runEndSeen = true;
}

bool RunState::BeginStart()
{
    if (inStart)
        return false;
    inStart = true;
    runEndSeen = false;
    stopRequested = false;
    return true;
}

bool RunState::EndStart(bool Started)
{
    inStart = false;
    if (!(Started && runEndSeen))
        return false;
    stopRequested = true;
    return true;
}

bool RunState::StopByOperator()
{
    if (!running)
        return false;
    running = false;
    laserOffPending = true;
    return true;
}

void RunState::RunStarted()
{
    starting = false;
    running = true;
}

bool RunState::CheckStopping()
{
    if (!stopRequested)
        return false;
    stopRequested = false;
    if (!running)
        return false;
    unsaved = true;
    running = false;
    laserOffPending = true;
    return true;
}

bool RunState::Close()
{
    closeConfirmed = true;
    const bool laserOff = (running || starting) && !closing;
    closing = true;
    return laserOff;
}

bool RunState::HoldCloseDuringStart()
{
    if (!inStart)
        return false;
    closePending = true;
    return true;
}

bool RunState::TakeHeldClose()
{
    const bool held = closePending;
    closePending = false;
    return held;
}
