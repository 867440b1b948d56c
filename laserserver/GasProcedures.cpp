//===- GasProcedures.cpp - The gas-mode steps of the simulated laser's controller ---===//
#include "laserserver/GasProcedures.h"

#include "laserserver/SimulatorSettings.h"

#include <algorithm>

namespace {

// The controller announces every procedure with a short initialisation step.
constexpr double InitializeSeconds = 2;

} // namespace

GasProcedures::GasProcedures(const LaserSettings& Settings) : settings_(Settings) {}

uint8_t GasProcedures::Step() const { return active_ ? phases_[index_].Step : gasstep::None; }

uint8_t GasProcedures::Valves() const { return active_ ? phases_[index_].Valves : 0; }

int GasProcedures::PercentDone() const
{
    if (!active_)
        return 0;
    double total = 0, done = 0;
    for (size_t i = 0; i < phases_.size(); ++i) {
        if (phases_[i].Ends != Until::Time)
            continue;
        total += phases_[i].Seconds;
        if (i < index_)
            done += phases_[i].Seconds;
        else if (i == index_)
            done += elapsed_;
    }
    return total > 0 ? std::clamp(int(100 * done / total), 0, 100) : 100;
}

std::vector<GasProcedures::Phase> GasProcedures::phasesFor(GasProcedure Procedure) const
{
    const LaserSettings& s = settings_;
    const double t = s.GasPhaseSeconds;
    auto init = [] { return Phase { gasstep::Initialize, 0, Flow::Hold, 0, InitializeSeconds, Until::Time, -1 }; };
    auto ramp = [t](uint8_t Step, uint8_t Valves, float Target) {
        return Phase { Step, Valves, Flow::Ramp, Target, t, Until::Time, -1 };
    };
    auto wait = [](uint8_t Step, Until Ends, int AfterContinue = -1) {
        return Phase { Step, 0, Flow::Hold, 0, 0, Ends, AfterContinue };
    };
    const uint8_t evacuate = gv_laserhead | gv_vacuum;
    const uint8_t inert = gv_laserhead | gv_inert;

    switch (Procedure) {
    case GasProcedure::NewFill:
        return { init(), ramp(gasstep::NewFill, evacuate, s.VacuumPressure),
                 ramp(gasstep::NewFill, gv_laserhead | gv_premix, s.FillPressure) };
    case GasProcedure::FillInert: {
        // Controllers from version 186 on have a step of its own for it.
        uint8_t step = s.DeviceVersion >= 186 ? gasstep::FillInert : gasstep::TestFillInert;
        return { init(), ramp(step, evacuate, s.VacuumPressure), ramp(step, inert, s.InertPressure),
                 wait(gasstep::Manual, Until::Operator) };
    }
    case GasProcedure::ExternFlushing:
        return { init(),
                 ramp(gasstep::ExternFlushing1, evacuate, s.VacuumPressure),
                 ramp(gasstep::ExternFlushing1, inert, s.InertPressure),
                 ramp(gasstep::ExternFlushing1, evacuate, s.VacuumPressure),
                 wait(gasstep::ExternLeakTest, Until::Continue, 5),
                 ramp(gasstep::ExternFlushing2, inert, s.InertPressure),
                 ramp(gasstep::ExternFlushing2, evacuate, s.VacuumPressure),
                 wait(gasstep::ExternFinished, Until::Operator) };
    case GasProcedure::InternFlushing: {
        // The laser head is left at the inert pressure, so the optic can be opened; the leak
        // test evacuates it again and then watches the pressure rise through a leak.
        std::vector<Phase> phases {
            init(),
            ramp(gasstep::InternFlushing, evacuate, s.VacuumPressure),
            ramp(gasstep::InternFlushing, inert, s.InertPressure),
            ramp(gasstep::InternFlushing, evacuate, s.VacuumPressure),
            ramp(gasstep::InternFlushing, inert, s.InertPressure),
            Phase { gasstep::ChangeOptics, 0, Flow::Hold, 0, s.OpticChangeSeconds, Until::Time, -1 },
            Phase { gasstep::OpticOpen, 0, Flow::Hold, 0, s.OpticOpenSeconds, Until::Time, -1 }
        };
        const int waitForTest = int(phases.size());
        phases.push_back(wait(gasstep::ChangeOptics, Until::Continue, waitForTest + 1));
        phases.push_back(ramp(gasstep::Initialize, evacuate, s.VacuumPressure));
        phases.push_back(Phase { gasstep::OpticLeakTest, 0, Flow::Leak, 0, 0, Until::Continue, waitForTest });
        return phases;
    }
    case GasProcedure::NitrogenFlushing:
        return { init(), ramp(gasstep::InternFlushing, evacuate, s.VacuumPressure),
                 ramp(gasstep::InternFlushing, inert, s.FillPressure) };
    }
    return {};
}

bool GasProcedures::CanStart(GasProcedure Procedure) const
{
    if (!active_)
        return true;
    if (phases_[index_].Ends == Until::Operator)
        return true;
    return Procedure == GasProcedure::NewFill && Step() == gasstep::ChangeOptics;
}

bool GasProcedures::Start(GasProcedure Procedure)
{
    if (!CanStart(Procedure))
        return false;
    phases_ = phasesFor(Procedure);
    procedure_ = Procedure;
    active_ = true;
    enter(0);
    return true;
}

bool GasProcedures::Continue()
{
    if (!active_ || phases_[index_].Ends != Until::Continue)
        return false;
    int after = phases_[index_].AfterContinue;
    if (after < 0 || size_t(after) >= phases_.size())
        next();
    else
        enter(size_t(after));
    return true;
}

void GasProcedures::Quit()
{
    active_ = false;
    phases_.clear();
    index_ = 0;
}

void GasProcedures::enter(size_t Index)
{
    index_ = Index;
    entered_ = false;
    elapsed_ = 0;
}

void GasProcedures::next()
{
    if (index_ + 1 < phases_.size())
        enter(index_ + 1);
    else
        Quit();
}

void GasProcedures::applyFlow(const Phase& P, double Seconds, float& Pressure)
{
    switch (P.Pressure) {
    case Flow::Hold: break;
    case Flow::Ramp:
        if (P.Seconds <= 0 || elapsed_ >= P.Seconds)
            Pressure = P.Target;
        else
            Pressure = float(startPressure_ + (P.Target - startPressure_) * (elapsed_ / P.Seconds));
        break;
    case Flow::Leak: Pressure += float(settings_.LeakRate * Seconds); break;
    }
}

bool GasProcedures::Advance(double Seconds, float& Pressure)
{
    if (!active_)
        return false;
    const uint8_t before = GasState();
    double left = std::max(0.0, Seconds);
    // A phase that ends within the time given hands the rest on to the next, so a large time
    // scale runs several phases in one step. A phase of no length still takes one pass.
    for (int guard = 0; active_ && guard < 1000; ++guard) {
        const Phase& phase = phases_[index_];
        if (!entered_) {
            entered_ = true;
            startPressure_ = Pressure;
            elapsed_ = 0;
        }
        if (phase.Ends != Until::Time) {
            applyFlow(phase, left, Pressure);
            break;
        }
        double take = std::min(left, std::max(0.0, phase.Seconds - elapsed_));
        elapsed_ += take;
        left -= take;
        applyFlow(phase, take, Pressure);
        if (elapsed_ < phase.Seconds)
            break;
        next();
    }
    return GasState() != before;
}
