//===- RunState.h - Where Tessaly's measurement run stands, apart from the form -*- C++ -*-===//
//
// The flags of the link and the run, changed only by the notices and the operator's actions
// that move them. Where a change calls for a command to the laser, the call says so and the form
// sends it.
//
#pragma once

#include "energystats/EnergyRules.h"

class RunState {
public:
    bool NoConnection() const { return noConnection; }
    bool Starting() const { return starting; }
    bool Running() const { return running; }
    bool StopRequested() const { return stopRequested; }
    bool Closing() const { return closing; }
    bool Unsaved() const { return unsaved; }
    bool DataReady() const { return dataReady; }
    RunFlags Flags() const { return { starting, running, dataReady }; }

    // --- Notices
    /// Port or pulse data came: the server talks to the laser.
    void Connected() { noConnection = false; }
    void ConnectionLost() { noConnection = true; }
    /// The server's run end: the run stops at the next look.
    void RunEnded();
    /// The run's end was shown; the report can be made.
    void ResultsShown() { dataReady = true; }
    /// A status was taken: once it shows the laser off, a laser off sent before has arrived.
    void LaserSeen(bool HighVoltage)
    {
        if (!HighVoltage)
            laserOffPending = false;
    }

    // --- Start
    /// Start begins: false when a Start is already in its waits (a click from inside the loop).
    bool BeginStart();
    /// Start left its waits; true when the run it started ended during them (then it is over).
    bool EndStart(bool Started);
    /// A Start that stops the running run: true when laser off must be sent.
    bool StopByOperator();
    void LaserStarting() { starting = true; }
    void StartFailed() { starting = false; }
    void RunStarted();
    /// Whether the run's end came since Start began.
    bool RunEndSeen() const { return runEndSeen; }
    /// A laser off this program sent (a run's end, Stop) has not shown in a status yet: the high
    /// voltage a status shows till then is the laser's before the command.
    bool LaserOffPending() const { return laserOffPending; }

    /// Applies a requested stop: true when laser off must be sent (the graphs are then unsaved).
    bool CheckStopping();
    /// The report was written; closing or a new run no longer asks.
    void Saved() { unsaved = false; }

    // --- Closing
    /// Whether closing must ask the operator first.
    bool CloseNeedsConfirmation() const { return !closeConfirmed && unsaved; }
    /// The close goes ahead: true when laser off must be sent (once, for a run or a start).
    bool Close();
    /// A close inside Start's waits is held until Start ends; true when it was held.
    bool HoldCloseDuringStart();
    /// Start ended: true when a held close must be made now.
    bool TakeHeldClose();

private:
    bool noConnection = true;
    bool starting = false;
    bool running = false;
    bool stopRequested = false;
    bool closing = false;
    bool unsaved = false;
    bool dataReady = false;

    bool runEndSeen = false;      // a run end came since Start began (the stop clears stopRequested)
    bool inStart = false;         // Start is in its waits; a second Start waits for it
    bool closePending = false;    // a close came during Start's waits
    bool laserOffPending = false; // a laser off was sent and no status has shown it yet
    bool closeConfirmed = false;  // the operator agreed to lose the graphs
};
