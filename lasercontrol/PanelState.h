//===- PanelState.h - What the front panel keeps between the server's notices -*- C++ -*-===//
//
// The connected laser's name and panel variants, the gas-mode label and the step it follows,
// LASER ON's lamp held lit over the charging time, the base of the 10 % high-voltage steps, the
// digit displays that blink after a new value was sent, and the button override. The notices
// and the operator's actions drive it; the main form shows what it answers.
//
#pragma once

#include "lasercontrol/PanelRules.h"
#include "link/LinkRecords.h"

#include <cstdint>
#include <string>

class PanelState {
public:
    // --- The connected laser
    /// The panel adapted to a laser (enable_device): its variants and its name; it is connected.
    void AdaptToDevice(const DeviceLayout& Layout, std::string DeviceText);
    /// No server or no laser (or the link lost): blink phase 1 then leaves the laser type alone.
    void ConnectionLost() { noConnection_ = true; }
    void ConnectionBack() { noConnection_ = false; }

    // --- Redraws
    /// The gas-mode label's decision for a redraw of S, with the step kept from earlier redraws
    /// (kept here at once). The form shows the label through GasLabelShown before the leak tests
    /// run, so that their questions stand beside the step they belong to.
    GasLabelChoice FollowGasStep(const LaserStatusCopy& S);
    void GasLabelShown(const GasLabel& Label) { gasLabel_ = Label; }
    /// LASER ON's lamp at a redraw: lit by the high voltage, which ends the hold, or by the hold.
    bool LaserOnLamp(const LaserStatusCopy& S);
    /// The end of a redraw: the laser's percentage becomes the base of the next 10 % step,
    /// unless a step just set it (the status still holds the old value then).
    void FollowHighVoltage(const LaserStatusCopy& S);
    /// The enable rules' answer: unless they keep it, the digit displays stop blinking.
    void ButtonsChosen(bool KeepLcdBlink);

    // --- Blink phase 1
    /// The lit phase: true while the hold keeps LASER ON's lamp lit; it uses one phase of it.
    bool UseLaserOnHold();

    // --- The button-override message
    /// wParam above 0 (read as a signed 32-bit number) enables every button at the next
    /// redraw; anything else gives the enable rules back. Answers whether it is on.
    bool SetButtonOverride(int32_t WParam);

    // --- Operator actions
    /// LASER ON: the lamp stays lit for ten blink phases, unless the laser has the high voltage.
    void LaserOnPressed(const LaserStatusCopy& S);
    /// A 10 % step of the high voltage from the base.
    struct HvStep {
        uint32_t Value = 0;
        /// The base already was at the end the step goes to: the value stays, with a beep.
        bool AtLimit = false;
    };
    HvStep StepHighVoltage(int Delta);
    /// A new repetition rate or quantity was sent while the laser uses it: its display blinks.
    void BlinkRepRate() { lcdBlinkHz_ = true; }
    void BlinkQuantity() { lcdBlinkQuant_ = true; }

    // --- For showing and for the enable rules
    bool NoConnection() const { return noConnection_; }
    /// The laser type as the panel names the device.
    const std::string& DeviceText() const { return deviceText_; }
    bool FlushingVariant() const { return flushingVariant_; }
    bool GasPanelVariant() const { return gasPanelVariant_; }
    /// The gas-mode label as the last redraw chose it; phase 2 blinks it when it says so.
    const GasLabel& GasText() const { return gasLabel_; }
    int LastStep() const { return lastStep_; }
    /// The gas reservoir was too hot at the last redraw (blink phase 1 lights led_gastemp).
    bool ReservoirHot() const { return reservoirHot_; }
    PanelModes Modes() const { return PanelModes { buttonOverride_, flushingVariant_, lastStep_ }; }
    int LaserOnHold() const { return laserOnHold_; }
    uint8_t HvBase() const { return hvBase_; }
    bool LcdBlinkHz() const { return lcdBlinkHz_; }
    bool LcdBlinkQuant() const { return lcdBlinkQuant_; }
    bool ButtonOverride() const { return buttonOverride_; }

private:
    bool noConnection_ = true;
    std::string deviceText_;
    bool flushingVariant_ = false;
    bool gasPanelVariant_ = false;
    GasLabel gasLabel_;
    int lastStep_ = 0;
    bool reservoirHot_ = false;
    /// Blink phases during which LASER ON's lamp stays lit after it was pressed.
    int laserOnHold_ = 0;
    uint8_t hvBase_ = 0;
    bool hvBaseSet_ = false;
    bool lcdBlinkHz_ = false;
    bool lcdBlinkQuant_ = false;
    bool buttonOverride_ = false;
};
