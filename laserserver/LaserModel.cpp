//===- LaserModel.cpp - The simulated laser: its state and its reactions ---===//
#include "laserserver/LaserModel.h"

#include <algorithm>
#include <bit>
#include <chrono>
#include <cmath>
#include <cstring>
#include <utility>

namespace {

constexpr double MsPerDay = 86400000.0;

// Errors that keep the high voltage off: every lamp of the first two error bytes except the
// unused bit 5 of the first, the energy measurement and the warm gas reservoir; and overheating.
constexpr uint8_t BlockingErrors1 = 0xDF;
constexpr uint8_t BlockingErrors2 = 0x9F;
constexpr uint8_t BlockingErrors3 = 0x01;

constexpr uint8_t err2_pressurelow = 0x10;
constexpr uint8_t err2_pemerror = 0x20;
constexpr uint8_t err2_reservoirhot = 0x40;
constexpr uint8_t err3_overtemperature = 0x01;
constexpr uint8_t opt_autosave = 0x08;

// Gas heats with every pulse; the reservoir cools towards the room with this time constant.
constexpr double HeatPerHertz = 0.04; // kelvin per Hz at full high voltage
constexpr double CoolingSeconds = 90;
constexpr double ReservoirHot = 40;
constexpr double Overtemperature = 50;

// The control loop moves the high voltage by this share of the error at every pulse.
constexpr double LoopGain = 0.05;

// A tick that lags far behind (a stopped process) does not fire a flood of pulses.
constexpr int MaxPulsesPerStep = 100000;

void copyText(char* Field, size_t Size, const std::string& Text)
{
    size_t n = std::min(Text.size(), Size - 1);
    std::memcpy(Field, Text.data(), n);
    std::memset(Field + n, 0, Size - n);
}

uint32_t seedFor(uint32_t Seed)
{
    if (Seed != 0)
        return Seed;
    return uint32_t(std::chrono::steady_clock::now().time_since_epoch().count());
}

} // namespace

LaserModel::LaserModel(const SimulatorSettings& Settings, RunRegions Regions, double ClockBase)
    : settings_(Settings), laser_(settings_.Laser), gas_(laser_), run_(Regions), clockBase_(ClockBase),
      random_(seedFor(Settings.Laser.Seed))
{
    const LaserSettings& s = laser_;
    st_.capabilityFlags = s.CapabilityFlags;
    st_.modeFlags2 = s.ModeFlags2;
    st_.errorFlags1 = s.ErrorFlags1;
    st_.errorFlags2 = s.ErrorFlags2;
    st_.errorFlags3 = s.ErrorFlags3;
    st_.optionFlags = settings_.AutoSave ? opt_autosave : 0;
    st_.repRate = std::clamp<uint16_t>(s.RepRate, 1, std::max<uint16_t>(1, s.MaxRepRate));
    st_.quantity = s.Quantity;
    st_.pulseCounter = s.PulseCounter;
    st_.pressure = s.Pressure;
    st_.hvPercent = std::min<uint8_t>(s.HighVoltage, 100);
    st_.energySet = s.EnergySet;
    st_.serialNumber = s.SerialNumber;
    st_.comPort = settings_.ComPort <= 9 ? settings_.ComPort : 0;
    st_.deviceVersion = s.DeviceVersion;
    st_.deviceFlags = s.DeviceFlags;
    st_.unitFlags = s.UnitFlags;
    copyText(st_.firmwareText, sizeof st_.firmwareText, s.FirmwareText);
    copyText(st_.laserType, sizeof st_.laserType, s.LaserType);
    copyText(st_.laserType2, sizeof st_.laserType2, s.LaserType2);
    hvExact_ = st_.hvPercent;
    temperature_ = s.AmbientTemperature;
    st_.gasTemperature = s.AmbientTemperature;
    portReaches_ = st_.comPort != 0 && (s.LaserPort == 0 || st_.comPort == s.LaserPort);
    connected_ = portReaches_;
    setFlag(sf_online, s.StartOnline);
    warmupLeft_ = s.WarmupSeconds;
    setFlag(sf_warmup, warmupLeft_ > 0);
    updateDerived();
}

LaserStatusCopy LaserModel::Status() const
{
    LaserStatusCopy published = st_;
    // Without a laser on the port nothing of its state is known.
    if (!connected_)
        published.stateFlags = 0;
    return published;
}

// ---- Commands --------------------------------------------------------------------------------

void LaserModel::Execute(uint16_t Code, uint32_t Argument)
{
    // The server's own commands work with or without a laser.
    switch (Code) {
    case cmd_selectport: selectPort(Argument); return;
    case cmd_clientinit: Announce(); return;
    case cmd_autosave: setAutoSave(Argument != 0); return;
    case cmd_nocommandcheck:
    case cmd_startserver: return;
    default: break;
    }
    if (Code >= cmd_extendedbase)
        return; // no laser command travels with extended data
    if (!connected_) {
        refuse();
        return;
    }
    if (Code == cmd_online || Code == cmd_offline) {
        setFlag(sf_online, Code == cmd_online);
        notify(ev_device);
        return;
    }
    // In manual operation the laser takes its orders from its own keys, not from the PC.
    if (!flag(sf_online)) {
        refuse();
        return;
    }
    executeLaser(Code, Argument);
    updateDerived();
}

void LaserModel::executeLaser(uint16_t Code, uint32_t Argument)
{
    switch (Code) {
    case cmd_laseron: laserOn(); break;
    case cmd_laseroff: laserOff(); break;
    case cmd_repetition: startFiring(FireMode::Repetition); break;
    case cmd_burst: startFiring(FireMode::Burst); break;
    case cmd_watchcount: startFiring(FireMode::WatchCounter); break;
    case cmd_exttrigger: startFiring(FireMode::External); break;
    case cmd_triggeroff: stopFiring(); break;
    case cmd_reprate:
        st_.repRate = uint16_t(std::clamp<uint32_t>(Argument, 1, std::max<uint16_t>(1, laser_.MaxRepRate)));
        break;
    case cmd_quantity: st_.quantity = uint16_t(std::min<uint32_t>(Argument, 0xFFFF)); break;
    case cmd_presetcounter: st_.pulseCounter = std::max(0, int32_t(Argument)); break;
    case cmd_newfill: startGas(GasProcedure::NewFill); break;
    case cmd_gasmode: gasMode(Argument); break;
    case cmd_controlon:
    case cmd_controloff:
        if (!capable(cap_energycontrol))
            break;
        st_.modeFlags = Code == cmd_controlon ? uint8_t(st_.modeFlags | mf_energycontrol)
                                              : uint8_t(st_.modeFlags & ~mf_energycontrol);
        notify(ev_device);
        break;
    case cmd_pemreset: st_.errorFlags2 &= uint8_t(~err2_pemerror); break;
    case cmd_hvup: setHighVoltage(st_.hvPercent + 1.0); break;
    case cmd_hvdown: setHighVoltage(st_.hvPercent - 1.0); break;
    case cmd_hvset: setHighVoltage(double(int32_t(Argument))); break;
    case cmd_energyup: setEnergy(st_.energySet + laser_.EnergyStep); break;
    case cmd_energydown: setEnergy(st_.energySet - laser_.EnergyStep); break;
    case cmd_energyset: setEnergy(std::bit_cast<float>(Argument)); break;
    case cmd_adjustenergy:
        if (capable(cap_energyset) && capable(cap_hvset) && energyPerPercent() > 0)
            setHighVoltage(st_.energySet / energyPerPercent());
        break;
    case cmd_shutteropen:
    case cmd_shutterclose:
        if (capable(cap_shutter))
            st_.modeFlags2 = Code == cmd_shutteropen ? uint8_t(st_.modeFlags2 | mf2_shutteropen)
                                                     : uint8_t(st_.modeFlags2 & ~mf2_shutteropen);
        break;
    case cmd_runsetup1:
    case cmd_runsetup2: run_.SetUp(); break;
    case cmd_runcount: run_.SetCount(int32_t(Argument)); break;
    case cmd_sparkgap: sparkGap(); break;
    default: break; // unknown to this laser: the log shows it
    }
}

void LaserModel::Announce()
{
    notify(ev_comport);
    if (connected_) {
        notify(ev_device);
        notify(ev_lasertype);
    } else {
        notify(ev_noconnection);
    }
}

void LaserModel::selectPort(uint32_t Port)
{
    if (Port > 9) {
        refuse();
        notify(ev_comport);
        return;
    }
    st_.comPort = uint8_t(Port);
    portReaches_ = Port != 0 && (laser_.LaserPort == 0 || Port == laser_.LaserPort);
    // Opening a port again mends a broken link.
    linkBroken_ = false;
    if (st_.optionFlags & opt_autosave)
        optionsToSave_ = true;
    notify(ev_comport);
    setConnected(portReaches_);
}

void LaserModel::setConnected(bool On)
{
    if (On == connected_)
        return;
    connected_ = On;
    if (!On) {
        // The laser is out of reach: nothing keeps it firing from the PC.
        laserOff();
        notify(ev_linklost);
        notify(ev_noconnection);
    } else {
        notify(ev_linkback);
        notify(ev_device);
        notify(ev_lasertype);
    }
}

void LaserModel::setAutoSave(bool On)
{
    st_.optionFlags = On ? uint8_t(st_.optionFlags | opt_autosave) : uint8_t(st_.optionFlags & ~opt_autosave);
    // The switch itself is an option: switching it off is saved too, or it would come back on.
    optionsToSave_ = true;
}

void LaserModel::laserOn()
{
    if (flag(sf_highvoltage) || chargeLeft_ >= 0)
        return;
    if (!flag(sf_ready) || gas_.Active() || blockingError()) {
        refuse();
        return;
    }
    chargeLeft_ = laser_.LaserOnSeconds;
    advanceCharging(0);
}

void LaserModel::laserOff()
{
    stopFiring();
    chargeLeft_ = -1;
    run_.Abort();
    if (flag(sf_highvoltage)) {
        setFlag(sf_highvoltage, false);
        notify(ev_device);
    }
}

void LaserModel::startFiring(FireMode Mode)
{
    if (!flag(sf_highvoltage)) {
        refuse();
        return;
    }
    if (Mode == FireMode::Burst && st_.quantity == 0) {
        refuse();
        return;
    }
    if (mode_ != FireMode::None)
        stopFiring();
    mode_ = Mode;
    nextPulseMs_ = clockMs_ + 1000.0 / st_.repRate;
    if (Mode == FireMode::Burst)
        burstLeft_ = st_.quantity;
    if (Mode == FireMode::Burst || Mode == FireMode::WatchCounter)
        st_.watchCounter = 0;
    switch (Mode) {
    case FireMode::Repetition: st_.modeFlags |= mf_repetition; break;
    case FireMode::Burst: st_.modeFlags |= mf_burst; break;
    case FireMode::WatchCounter: st_.modeFlags |= mf_watchcounter; break;
    case FireMode::External: st_.stateFlags |= sf_exttrigger; break;
    case FireMode::None: break;
    }
    setFlag(sf_firing, true);
    notify(ev_device);
}

void LaserModel::stopFiring()
{
    if (mode_ == FireMode::None)
        return;
    mode_ = FireMode::None;
    burstLeft_ = 0;
    st_.modeFlags &= uint8_t(~(mf_repetition | mf_burst | mf_watchcounter));
    setFlag(sf_exttrigger | sf_firing, false);
    notify(ev_device);
}

void LaserModel::gasMode(uint32_t Argument)
{
    if ((Argument & 0xFF) != 2 || (Argument >> 16) != 0 || !capable(cap_gashandling)) {
        refuse();
        return;
    }
    switch (uint8_t(Argument >> 8)) {
    case gas_quit:
        if (!gas_.Active()) {
            refuse();
            return;
        }
        gas_.Quit();
        notify(ev_device);
        return;
    case gas_externflushing: startGas(GasProcedure::ExternFlushing); return;
    case gas_internflushing:
        startGas(flushingVariant() ? GasProcedure::NitrogenFlushing : GasProcedure::InternFlushing);
        return;
    case gas_fillinert: startGas(GasProcedure::FillInert); return;
    case gas_nextleakstep:
        if (gas_.Continue())
            notify(ev_device);
        else
            refuse();
        return;
    default: refuse(); return;
    }
}

void LaserModel::startGas(GasProcedure Procedure)
{
    if (!capable(cap_gashandling))
        return;
    if (!gas_.CanStart(Procedure) || sparkLeft_ >= 0) {
        refuse();
        return;
    }
    // No gas is moved under high voltage.
    laserOff();
    gas_.Start(Procedure);
    notify(ev_device);
    followNitrogen();
}

void LaserModel::setHighVoltage(double Percent)
{
    if (!capable(cap_hvset))
        return;
    hvExact_ = std::clamp(Percent, 0.0, 100.0);
    st_.hvPercent = uint8_t(std::lround(hvExact_));
}

void LaserModel::setEnergy(float Value)
{
    if (!capable(cap_energyset))
        return;
    if (!std::isfinite(Value) || (st_.modeFlags & mf_energylocked)) {
        refuse();
        return;
    }
    // Not above what full high voltage gives with a fresh fill.
    st_.energySet = std::clamp(Value, 0.0f, 2.0f * laser_.EnergyLevel);
}

void LaserModel::sparkGap()
{
    if (!capable(cap_sparkgap))
        return;
    if (sparkLeft_ >= 0 || gas_.Active() || !flag(sf_ready)) {
        refuse();
        return;
    }
    laserOff();
    sparkLeft_ = laser_.SparkGapSeconds;
    notify(ev_device);
}

// ---- Time ------------------------------------------------------------------------------------

void LaserModel::Advance(uint32_t Milliseconds)
{
    clockMs_ += Milliseconds;
    const double seconds = Milliseconds / 1000.0 * laser_.TimeScale;
    advanceWarmup(seconds);
    advanceCharging(seconds);
    advanceSparkGap(seconds);
    advanceGas(seconds);
    advanceLink();
    if (connected_)
        advanceFiring();
    advanceTemperature(Milliseconds);
    checkProtection();
    updateDerived();
}

void LaserModel::advanceWarmup(double Seconds)
{
    if (!flag(sf_warmup))
        return;
    warmupLeft_ -= Seconds;
    // Sums of many small steps miss zero by a rounding error; that much is no time left.
    const bool done = warmupLeft_ <= 1e-9;
    const double total = std::max(laser_.WarmupSeconds, 1e-9);
    uint8_t progress = done ? 100 : uint8_t(std::clamp(std::lround(100.0 * (1.0 - warmupLeft_ / total)), 0L, 99L));
    if (progress != st_.warmupProgress) {
        st_.warmupProgress = progress;
        notify(ev_warmup, progress);
    }
    if (done) {
        setFlag(sf_warmup, false);
        notify(ev_device);
    }
}

void LaserModel::advanceCharging(double Seconds)
{
    if (chargeLeft_ < 0)
        return;
    chargeLeft_ -= Seconds;
    if (chargeLeft_ > 0)
        return;
    chargeLeft_ = -1;
    setFlag(sf_highvoltage, true);
    notify(ev_device);
}

void LaserModel::advanceSparkGap(double Seconds)
{
    if (sparkLeft_ < 0)
        return;
    sparkLeft_ -= Seconds;
    if (sparkLeft_ > 0)
        return;
    sparkLeft_ = -1;
    notify(ev_device);
}

void LaserModel::advanceGas(double Seconds)
{
    float pressure = st_.pressure;
    if (gas_.Advance(Seconds, pressure))
        notify(ev_device);
    st_.pressure = pressure;
    followNitrogen();
}

void LaserModel::followNitrogen()
{
    const bool replacing = gas_.Active() && gas_.Running() == GasProcedure::NitrogenFlushing;
    const bool ended = nitrogenReplacing_ && !replacing;
    if (replacing != nitrogenReplacing_) {
        nitrogenReplacing_ = replacing;
        st_.modeFlags2 = replacing ? uint8_t(st_.modeFlags2 | mf2_nitrogen) : uint8_t(st_.modeFlags2 & ~mf2_nitrogen);
        notify(ev_device);
    }
    // The panel shows the replacing's progress on the warm-up gauge.
    if (!(replacing || ended) || flag(sf_warmup))
        return;
    const uint8_t progress = ended ? 100 : uint8_t(gas_.PercentDone());
    if (progress != st_.warmupProgress) {
        st_.warmupProgress = progress;
        notify(ev_warmup, progress);
    }
}

void LaserModel::advanceLink()
{
    const double after = laser_.LinkLostAfterSeconds, lostFor = laser_.LinkLostForSeconds;
    if (after <= 0)
        return;
    if (!linkBrokeOnce_ && clockMs_ >= after * 1000) {
        linkBrokeOnce_ = true;
        linkBroken_ = true;
        linkBrokenAtMs_ = clockMs_;
    } else if (linkBroken_ && lostFor > 0 && clockMs_ - linkBrokenAtMs_ >= lostFor * 1000) {
        linkBroken_ = false;
    }
    setConnected(portReaches_ && !linkBroken_);
}

void LaserModel::advanceFiring()
{
    int pulses = 0;
    while (mode_ != FireMode::None && nextPulseMs_ <= clockMs_) {
        if (++pulses > MaxPulsesPerStep) {
            nextPulseMs_ = clockMs_ + 1000.0 / st_.repRate;
            break;
        }
        const double at = nextPulseMs_;
        nextPulseMs_ += 1000.0 / st_.repRate;
        pulse(at);
    }
    if (pulsesUnannounced_ && clockMs_ - lastPulseNoticeMs_ >= settings_.PulseNoticePeriod) {
        pulsesUnannounced_ = false;
        lastPulseNoticeMs_ = clockMs_;
        notify(ev_pulsedata);
    }
}

void LaserModel::pulse(double AtMs)
{
    double mean = energyPerPercent() * hvExact_;
    float energy = float(std::max(0.0, mean * (1.0 + laser_.EnergyNoise / 100.0 * noise_(random_))));
    st_.energy = energy;
    st_.pulseCounter = int32_t(uint32_t(st_.pulseCounter) + 1u);
    if (mode_ == FireMode::Burst || mode_ == FireMode::WatchCounter)
        st_.watchCounter = uint16_t(st_.watchCounter + 1);
    st_.pressure = std::max(0.0f, st_.pressure - laser_.GasLossPerPulse);

    if ((st_.modeFlags & mf_energycontrol) && energyPerPercent() > 0) {
        hvExact_ = std::clamp(hvExact_ + LoopGain * (st_.energySet - energy) / energyPerPercent(), 0.0, 100.0);
        st_.hvPercent = uint8_t(std::lround(hvExact_));
    }

    if (run_.Armed()) {
        bool complete = run_.AddPulse(energy, clockBase_ + AtMs / MsPerDay);
        pulsesUnannounced_ = true;
        if (complete) {
            // The run fires its count like a burst and stops; its data go out before its end.
            stopFiring();
            updateDerived();
            pulsesUnannounced_ = false;
            lastPulseNoticeMs_ = clockMs_;
            notify(ev_pulsedata);
            notify(ev_runend);
        }
    }

    if (mode_ == FireMode::Burst && --burstLeft_ == 0)
        stopFiring();
}

void LaserModel::advanceTemperature(uint32_t Milliseconds)
{
    double rate = mode_ != FireMode::None ? st_.repRate : 0;
    double target = laser_.AmbientTemperature + HeatPerHertz * rate * hvExact_ / 100.0;
    temperature_ += (target - temperature_) * (1.0 - std::exp(-(Milliseconds / 1000.0) / CoolingSeconds));
    // Published to a tenth of a degree, so a reservoir that has settled stops changing.
    st_.gasTemperature = float(std::round(temperature_ * 10.0) / 10.0);
}

void LaserModel::checkProtection()
{
    const uint8_t before2 = st_.errorFlags2, before3 = st_.errorFlags3;
    const bool low = !gas_.Active() && st_.pressure < laser_.MinPressure;
    st_.errorFlags2 = low ? uint8_t(st_.errorFlags2 | err2_pressurelow) : uint8_t(st_.errorFlags2 & ~err2_pressurelow);
    st_.errorFlags2 = temperature_ > ReservoirHot ? uint8_t(st_.errorFlags2 | err2_reservoirhot)
                                                  : uint8_t(st_.errorFlags2 & ~err2_reservoirhot);
    if (temperature_ > Overtemperature)
        st_.errorFlags3 |= err3_overtemperature;
    if (st_.errorFlags2 != before2 || st_.errorFlags3 != before3)
        notify(ev_device);
    if (blockingError() && (flag(sf_highvoltage) || chargeLeft_ >= 0))
        laserOff();
}

// ---- Derived state ---------------------------------------------------------------------------

void LaserModel::setFlag(uint8_t Mask, bool On)
{
    st_.stateFlags = On ? uint8_t(st_.stateFlags | Mask) : uint8_t(st_.stateFlags & ~Mask);
}

bool LaserModel::blockingError() const
{
    return (st_.errorFlags1 & BlockingErrors1) || (st_.errorFlags2 & BlockingErrors2)
           || (st_.errorFlags3 & BlockingErrors3);
}

bool LaserModel::flushingVariant() const
{
    return (laser_.DeviceFlags & 0x30) == 0x30 && laser_.DeviceVersion > 184 && capable(cap_gashandling);
}

double LaserModel::energyPerPercent() const
{
    // Pulse energy grows with the high voltage and falls with the gas as it is used up.
    double gas = std::clamp(double(st_.pressure) / std::max(laser_.FillPressure, 1.0f), 0.0, 1.2);
    return laser_.EnergyLevel / 50.0 * gas;
}

void LaserModel::updateDerived()
{
    setFlag(sf_ready, !flag(sf_warmup) && sparkLeft_ < 0 && !gas_.Active());
    // Replacing the nitrogen of a laser with two laser heads keeps the laser out of gas mode,
    // so the panel shows the nitrogen state instead of a gas-mode step.
    setFlag(sf_gasmode, gas_.Active() && !nitrogenReplacing_);
    st_.gasState = gas_.GasState();
    const float fill = std::max(laser_.FillPressure, 1.0f);
    st_.pressureBar =
        st_.pressure > fill * 1.15f ? 5 : uint8_t(std::clamp(std::lround(st_.pressure * 4.0f / fill), 0L, 4L));
    st_.modeFlags = run_.Armed() ? uint8_t(st_.modeFlags | mf_energylocked) : uint8_t(st_.modeFlags & ~mf_energylocked);
    st_.intervalTotal = run_.Total();
    st_.intervalCurrent = run_.Current();
    st_.samples = run_.Samples();
    st_.deviation = run_.Deviation();
    st_.meanEnergy = run_.Mean();
    st_.selected = run_.Selected();
}

void LaserModel::notify(uint8_t Event, uint8_t Parameter)
{
    LaserNotice notice { Event, Parameter };
    // A change told twice in a row is told once.
    if (!notices_.empty() && notices_.back() == notice)
        return;
    notices_.push_back(notice);
}

std::vector<LaserNotice> LaserModel::TakeNotices() { return std::exchange(notices_, {}); }

bool LaserModel::TakeOptionsToSave() { return std::exchange(optionsToSave_, false); }
