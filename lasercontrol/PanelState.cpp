//===- PanelState.cpp - What the front panel keeps between the server's notices ---===//
#include "lasercontrol/PanelState.h"

#include <algorithm>
#include <utility>

namespace {

/// Blink phases that cover the charging time of the high voltage.
constexpr int LaserOnHoldPhases = 10;

} // namespace

void PanelState::AdaptToDevice(const DeviceLayout& Layout, std::string DeviceText)
{
    flushingVariant_ = Layout.flushingVariant;
    gasPanelVariant_ = Layout.gasPanelVariant;
    deviceText_ = std::move(DeviceText);
    noConnection_ = false;
}

GasLabelChoice PanelState::FollowGasStep(const LaserStatusCopy& S)
{
    reservoirHot_ = GasReservoirHot(S);
    GasLabelChoice choice = ChooseGasLabel(S, flushingVariant_, gasPanelVariant_, lastStep_);
    lastStep_ = choice.LastStep;
    return choice;
}

bool PanelState::LaserOnLamp(const LaserStatusCopy& S)
{
    if (IsHighVoltage(S))
        laserOnHold_ = 0;
    return IsHighVoltage(S) || laserOnHold_ > 0;
}

void PanelState::FollowHighVoltage(const LaserStatusCopy& S)
{
    if (hvBaseSet_)
        hvBaseSet_ = false;
    else
        hvBase_ = S.hvPercent;
}

void PanelState::ButtonsChosen(bool KeepLcdBlink)
{
    if (!KeepLcdBlink)
        lcdBlinkHz_ = lcdBlinkQuant_ = false;
}

bool PanelState::UseLaserOnHold()
{
    if (laserOnHold_ <= 0)
        return false;
    --laserOnHold_;
    return true;
}

bool PanelState::SetButtonOverride(int32_t WParam)
{
    buttonOverride_ = WParam > 0;
    return buttonOverride_;
}

void PanelState::LaserOnPressed(const LaserStatusCopy& S)
{
    if (!IsHighVoltage(S))
        laserOnHold_ = LaserOnHoldPhases;
}

PanelState::HvStep PanelState::StepHighVoltage(int Delta)
{
    // The base comes from the laser; a value out of range must not step further out.
    const int base = std::clamp<int>(hvBase_, 0, 100);
    HvStep step;
    step.Value = uint32_t(base);
    if ((Delta > 0 && base >= 100) || (Delta < 0 && base <= 0))
        step.AtLimit = true;
    else
        step.Value = uint32_t(std::clamp(base + Delta, 0, 100));
    hvBase_ = uint8_t(step.Value);
    hvBaseSet_ = true;
    return step;
}
