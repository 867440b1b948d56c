//===- PanelState.cpp - What the front panel keeps between notices for the operator's actions ---===//
#include "lasercontrol/PanelState.h"

#include "lasercontrol/PanelRules.h"

#include <algorithm>

namespace {

/// Blink phases that cover the charging time of the high voltage.
constexpr int LaserOnHoldPhases = 10;

} // namespace

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
