//===- LaserModel.h - The simulated laser: its state and its reactions -*- C++ -*-===//
//
// The laser as its controller would report it: online, warm-up, high voltage, firing modes,
// energy and its control loop, gas procedures and measurement runs. Commands and the passing of
// time change the state; every change that the programs should hear of queues a notice (an
// event code and its parameter). The model knows nothing of the link: the server publishes
// Status() with each notice it takes.
//
#pragma once

#include "laserserver/GasProcedures.h"
#include "laserserver/MeasurementRun.h"
#include "laserserver/SimulatorSettings.h"
#include "link/LinkRecords.h"

#include <cstdint>
#include <random>
#include <vector>

/// One notice for the programs: an event code (ev_...) and its parameter.
struct LaserNotice {
    uint8_t Event;
    uint8_t Parameter;
    bool operator==(const LaserNotice&) const = default;
};

class LaserModel {
public:
    /// ClockBase: the day number (days since 1899-12-30, local time) at which the model's
    /// clock starts; pulse times are counted from it.
    LaserModel(const SimulatorSettings& Settings, RunRegions Regions, double ClockBase);
    LaserModel(const LaserModel&) = delete;
    LaserModel& operator=(const LaserModel&) = delete;

    // Status
    /// The status slice as the server publishes it (the region address fields left 0).
    LaserStatusCopy Status() const;
    bool Connected() const { return connected_; }
    /// Milliseconds of model time since the start.
    double Clock() const { return clockMs_; }

    // Commands
    /// Carries out one command of a client.
    void Execute(uint16_t Code, uint32_t Argument);
    /// Queues what a client needs to know after it binds: the port, the device, the type text.
    void Announce();

    // Time
    /// Lets Milliseconds of real time pass: warm-up, charging, firing, gas procedures, heat.
    void Advance(uint32_t Milliseconds);

    // Notices and options
    /// The notices queued since the last call, in order.
    std::vector<LaserNotice> TakeNotices();
    /// True once after the server's options (port, automatic saving) changed while automatic
    /// saving is on: the server should write them to its settings file.
    bool TakeOptionsToSave();

private:
    enum class FireMode { None, Repetition, Burst, WatchCounter, External };

    // Commands, one small handler per family
    void executeLaser(uint16_t Code, uint32_t Argument);
    void selectPort(uint32_t Port);
    /// Follows the serial link: a change tells the programs (lost: 'P', 'D'; back: 'Q', '3', 'E').
    void setConnected(bool On);
    void setAutoSave(bool On);
    void laserOn();
    void laserOff();
    void startFiring(FireMode Mode);
    void stopFiring();
    void gasMode(uint32_t Argument);
    void startGas(GasProcedure Procedure);
    void setHighVoltage(double Percent);
    void setEnergy(float Value);
    void sparkGap();

    // Time, one small step per part of the laser
    void advanceWarmup(double Seconds);
    void advanceCharging(double Seconds);
    void advanceSparkGap(double Seconds);
    void advanceGas(double Seconds);
    void advanceLink();
    /// The second mode word's "nitrogen replacing" bit and its progress follow the procedure.
    void followNitrogen();
    void advanceFiring();
    void pulse(double AtMs);
    void advanceTemperature(uint32_t Milliseconds);
    void checkProtection();

    bool flag(uint8_t Mask) const { return (st_.stateFlags & Mask) != 0; }
    void setFlag(uint8_t Mask, bool On);
    bool capable(uint8_t Mask) const { return (st_.capabilityFlags & Mask) != 0; }
    bool blockingError() const;
    bool flushingVariant() const;
    double energyPerPercent() const;
    void updateDerived();
    void notify(uint8_t Event, uint8_t Parameter = 0);
    void refuse() { notify(ev_beep); }

    SimulatorSettings settings_;
    const LaserSettings& laser_;
    LaserStatusCopy st_ {};
    GasProcedures gas_;
    MeasurementRun run_;
    double clockBase_;
    double clockMs_ = 0;

    bool connected_ = false;
    bool portReaches_ = false; // the selected port is the one the laser answers on
    bool linkBroken_ = false;  // the simulated cable is pulled (LinkLostAfterSeconds)
    bool linkBrokeOnce_ = false;
    double linkBrokenAtMs_ = 0;
    bool nitrogenReplacing_ = false;
    double warmupLeft_ = 0;  // seconds of procedure time
    double chargeLeft_ = -1; // below 0: not charging
    double sparkLeft_ = -1;  // below 0: not adjusting
    FireMode mode_ = FireMode::None;
    double nextPulseMs_ = 0;
    uint32_t burstLeft_ = 0;
    double hvExact_ = 0; // the control loop's unrounded high voltage
    double temperature_ = 0;
    double lastPulseNoticeMs_ = 0;
    bool pulsesUnannounced_ = false;
    bool optionsToSave_ = false;

    std::mt19937 random_;
    std::normal_distribution<double> noise_ { 0.0, 1.0 };
    std::vector<LaserNotice> notices_;
};
