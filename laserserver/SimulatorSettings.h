//===- SimulatorSettings.h - The simulated laser and the simulator's own settings -*- C++ -*-===//
//
// Kelmor32 reads which laser it simulates from its settings file Kelmor32.INI beside the
// executable (or the file named by KELMOR32_INI). Every key is optional; the defaults describe a
// full-featured laser of controller version 186 with one laser head and a vacuum pump.
//
// The keys are the field names below, by section, except Firmware (FirmwareText) and Log
// (LogFile); flags may be written in hexadecimal ("$31" or "0x31"). For example, a laser with
// two laser heads of the flushing variant, the gas procedures ten times faster:
//
//   [Laser]
//   DeviceVersion=185
//   DeviceFlags=$30
//   [Simulator]
//   TimeScale=10
//   Log=/tmp/kelmor32.log
//   [Server]
//   ComPort=2
//
#pragma once

#include <cstdint>
#include <string>
#include <vector>

/// What the simulated laser is and how it behaves. Plain values, so the model can be built from
/// them in tests without any file.
struct LaserSettings {
    // [Laser]: the device as the panels show it
    uint8_t DeviceVersion = 186;
    uint8_t CapabilityFlags = 0x3F; // energy set, HV set, control loop, gas, spark gap, shutter
    uint8_t DeviceFlags = 0x10;     // bits 4..5 = 01: one laser head with vacuum pump
    uint8_t UnitFlags = 0x20;       // bit 5: energies in µJ
    std::string LaserType = "KELMOR";
    std::string LaserType2 = "248";
    std::string FirmwareText = "V186-B21";
    int32_t SerialNumber = 4711;
    uint8_t LaserPort = 0;   // 1..9: the only port the laser answers on; 0: every port
    bool StartOnline = true; // the controller comes up in PC operation

    // [Laser]: values at start
    uint16_t RepRate = 50;
    uint16_t Quantity = 100;
    uint16_t MaxRepRate = 500;
    int32_t PulseCounter = 0;
    uint8_t HighVoltage = 50;  // percent
    float EnergyLevel = 90.0f; // mean pulse energy at 50 % high voltage and full gas
    float EnergyNoise = 3.0f;  // relative standard deviation of the pulse energy, percent
    float EnergySet = 90.0f;
    float EnergyStep = 1.0f;         // one step of cmd_energyup / cmd_energydown
    float FillPressure = 2800.0f;    // mbar after a new fill
    float InertPressure = 1000.0f;   // mbar after an inert fill
    float VacuumPressure = 40.0f;    // mbar when evacuated
    float MinPressure = 1500.0f;     // below it: pressure too low, the laser stops
    float Pressure = 2800.0f;        // mbar at start
    float GasLossPerPulse = 0.0002f; // mbar the gas loses with every pulse
    float AmbientTemperature = 24.0f;
    uint8_t ErrorFlags1 = 0, ErrorFlags2 = 0, ErrorFlags3 = 0, ModeFlags2 = 0; // at start

    // [Simulator]: the time it takes
    double TimeScale = 1.0; // speeds up warm-up, charging and gas procedures
    double WarmupSeconds = 20;
    double LaserOnSeconds = 1; // charging until the high voltage is on
    double SparkGapSeconds = 8;
    double GasPhaseSeconds = 10;    // one evacuation or fill of a gas procedure
    double OpticChangeSeconds = 20; // until the simulated operator opens the optic
    double OpticOpenSeconds = 20;   // until the optic is closed again
    float LeakRate = 0.05f;         // mbar per second the laser head gains in the optic leak test
    /// Real seconds after the start when the serial link to the laser breaks once; 0: never.
    double LinkLostAfterSeconds = 0;
    /// Real seconds until the broken link answers again; 0: until a port is selected again.
    double LinkLostForSeconds = 0;
    uint32_t Seed = 0; // random noise; 0: a new seed at every start
};

/// The simulator's settings: the laser, the server's own options, periods and the log.
struct SimulatorSettings {
    LaserSettings Laser;

    // [Server]: the server's options, written back when automatic saving is on
    uint8_t ComPort = 1;
    bool AutoSave = false;
    std::string VersionText = "Kelmor32 laser simulator 3.2";
    char VersionLevel = 'Y';

    // [Simulator]: periods in milliseconds of real time
    uint32_t BlinkPeriod = 500;
    uint32_t TickPeriod = 20;
    uint32_t StatusPeriod = 250;
    uint32_t PulseNoticePeriod = 200;
    /// Seconds without any registered client after which the server closes; 0: never.
    double IdleSeconds = 0;

    std::string LogFile; // the command log; empty: none
    std::string Path;    // the file these came from

    /// Problems met while reading (unreadable numbers ...); each named key fell back to its
    /// default.
    std::vector<std::string> Warnings;

    /// Reads the file at Path; a missing file gives the defaults.
    static SimulatorSettings Load(const std::string& Path);
    /// KELMOR32_INI when set, else Kelmor32.INI beside the executable. KELMOR32_LOG, when set,
    /// overrides the log file of the settings.
    static SimulatorSettings LoadDefault();

    /// Writes the server's options (port, automatic saving) back to Path.
    bool SaveOptions(uint8_t Port, bool AutoSaveOn) const;
};
