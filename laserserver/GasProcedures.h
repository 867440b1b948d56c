//===- GasProcedures.h - The gas-mode steps of the simulated laser's controller -*- C++ -*-===//
//
// A gas procedure is a list of phases. Each phase shows one gas-mode step with a set of open
// valves and either moves the pressure for a while (evacuating, filling) or waits: for the
// operator's next leak-test command (sub-command 5), or for the operator to quit or to start
// another procedure. The step numbers and valve bits are those the operator console shows.
//
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

struct LaserSettings;

/// Gas-mode steps (low nibble of LaserStatusCopy.gasState).
namespace gasstep {
constexpr uint8_t None = 0;
constexpr uint8_t Manual = 1;
constexpr uint8_t FillInert = 2;
constexpr uint8_t NewFill = 3;
constexpr uint8_t ExternFlushing1 = 4;
constexpr uint8_t ExternLeakTest = 5;
constexpr uint8_t ExternFlushing2 = 6;
constexpr uint8_t ExternFinished = 7;
constexpr uint8_t Initialize = 8;
constexpr uint8_t InternFlushing = 9;
constexpr uint8_t ChangeOptics = 10;
constexpr uint8_t OpticOpen = 11;
constexpr uint8_t OpticLeakTest = 12;
constexpr uint8_t TestFillInert = 13;
} // namespace gasstep

// Valves and pump (high nibble of LaserStatusCopy.gasState).
constexpr uint8_t gv_inert = 0x10;
constexpr uint8_t gv_premix = 0x20;
constexpr uint8_t gv_laserhead = 0x40;
constexpr uint8_t gv_vacuum = 0x80;

enum class GasProcedure {
    NewFill,          // evacuate, fill premix, leave gas mode
    FillInert,        // evacuate, fill inert, wait in manual gas mode
    ExternFlushing,   // flush, wait for the gas-line leak test, flush, wait for a new fill
    InternFlushing,   // flush the laser head, the optic exchange and its leak test
    NitrogenFlushing, // lasers with two laser heads: replace the nitrogen, leave gas mode
};

class GasProcedures {
public:
    /// Settings must outlive the object: the phases are built from it at every start.
    explicit GasProcedures(const LaserSettings& Settings);
    GasProcedures(const GasProcedures&) = delete;
    GasProcedures& operator=(const GasProcedures&) = delete;

    // State
    bool Active() const { return active_; }
    uint8_t Step() const;
    uint8_t Valves() const;
    uint8_t GasState() const { return uint8_t(Step() | Valves()); }
    /// The procedure that runs; meaningful only while Active().
    GasProcedure Running() const { return procedure_; }
    /// How much of the running procedure's timed phases has passed, 0 to 100.
    int PercentDone() const;

    // Operator commands
    /// Whether Procedure may start now: no procedure runs, or the running one waits for the
    /// operator (manual gas mode, extern flushing finished), or a new fill at the optic exchange.
    bool CanStart(GasProcedure Procedure) const;
    /// Starts Procedure; false (and nothing changes) when it may not start now.
    bool Start(GasProcedure Procedure);
    /// Sub-command 5 (next leak-test step); false when the current step does not wait for it.
    bool Continue();
    /// Sub-command 0: closes every valve and leaves gas mode.
    void Quit();

    // Time
    /// Runs Seconds of procedure time: moves Pressure as the phases say and steps on. Answers
    /// true when the step or the valves changed (the procedure's end included).
    bool Advance(double Seconds, float& Pressure);

private:
    enum class Until { Time, Continue, Operator };
    enum class Flow { Hold, Ramp, Leak };
    struct Phase {
        uint8_t Step;
        uint8_t Valves;
        Flow Pressure;
        float Target;   // Ramp: the pressure at the phase's end
        double Seconds; // Until::Time: the phase's length
        Until Ends;
        int AfterContinue; // Until::Continue: the phase that sub-command 5 leads to
    };

    std::vector<Phase> phasesFor(GasProcedure Procedure) const;
    void enter(size_t Index);
    /// Moves on past the current phase; ends the procedure after its last.
    void next();
    void applyFlow(const Phase& P, double Seconds, float& Pressure);

    const LaserSettings& settings_;
    bool active_ = false;
    GasProcedure procedure_ = GasProcedure::NewFill;
    std::vector<Phase> phases_;
    size_t index_ = 0;
    bool entered_ = false; // the phase's start pressure and clock are taken
    float startPressure_ = 0;
    double elapsed_ = 0;
};
