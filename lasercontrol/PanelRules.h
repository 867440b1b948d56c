//===- PanelRules.h - What the front panel shows for a laser status, without any control -*- C++ -*-===//
//
// The main form redraws its panel from the status copy after every notice of the server. The
// decisions of that redraw live here, as plain functions of the copy and of the few flags the
// form keeps between notices, so that they can be read (and checked) apart from the controls
// they end up on. TForm_main applies their answers to its components.
//
#pragma once

#include "link/LinkRecords.h"

#include "platform/ui/components/Colors.h"

#include <cstddef>
#include <cstdint>
#include <string>

// --- Reading the status copy

/// The text of a fixed-size field of the status: up to its terminator, never past the field
/// (the server fills the fields to the last byte when a text is long).
std::string FieldText(const char* Field, size_t Size);
template <size_t N>
std::string FieldText(const char (&Field)[N])
{
    return FieldText(Field, N);
}

/// A server float rounded for a caption: blank when it is not finite; clamped to 32 bits before
/// the conversion, so that no value can stop the redraw.
std::string RoundedCaption(float Value);
/// A server float rounded into Min..Max for a gauge: Min when it is not finite.
int32_t RoundedWithin(float Value, int32_t Min, int32_t Max);

/// The port label: "COM" and the port's number, "COM?" for no port.
std::string ComPortText(uint8_t Port);
/// The high-voltage percentage: four characters wide and " %" ("  50 %").
std::string HvPercentText(uint8_t Percent);
/// The laser type as the panel names the device: " " + laserType + " " + laserType2.
std::string DeviceText(const LaserStatusCopy& S);
/// The energy unit caption: "µ&J" when the laser reports microjoules, else "m&J".
std::string EnergyUnitCaption(const LaserStatusCopy& S);

// --- The terms of the panel's rules

constexpr bool IsOnline(const LaserStatusCopy& S) { return (S.stateFlags & sf_online) != 0; }
constexpr bool IsReady(const LaserStatusCopy& S) { return (S.stateFlags & sf_ready) != 0; }
constexpr bool IsHighVoltage(const LaserStatusCopy& S) { return (S.stateFlags & sf_highvoltage) != 0; }
constexpr bool IsFiring(const LaserStatusCopy& S) { return (S.stateFlags & sf_firing) != 0; }
constexpr bool IsGasMode(const LaserStatusCopy& S) { return (S.stateFlags & sf_gasmode) != 0; }
constexpr bool IsWarmingUp(const LaserStatusCopy& S) { return (S.stateFlags & sf_warmup) != 0; }
/// The controller's gas-mode step, 0..15.
constexpr int GasStep(const LaserStatusCopy& S) { return S.gasState & 0x0F; }
constexpr bool Bit(uint8_t Flags, int N) { return (Flags >> N) & 1; }
/// The gas reservoir is too hot (lasers from controller version 179 report it).
constexpr bool GasReservoirHot(const LaserStatusCopy& S) { return S.deviceVersion > 178 && Bit(S.errorFlags2, 6); }

// --- Pressure and temperature bars

/// The pressure bar: red while the pressure is too low, yellow at bar value 5, else navy.
TColor PressureBarColor(const LaserStatusCopy& S);
/// The gas temperature bar: red at overtemperature, yellow while the reservoir is hot, else navy.
TColor TemperatureBarColor(const LaserStatusCopy& S);

// --- The gas-mode label

/// What the gas-mode label shows: text, text colour, background and whether it blinks.
struct GasLabel {
    std::string Text;
    TColor TextColor = clBlack;
    TColor Color = clBtnFace;
    bool Blinks = false;
};

/// The label's decision for one redraw.
struct GasLabelChoice {
    /// False outside gas mode (and for old controllers and the nitrogen state of the flushing
    /// variant): the leak tests are then dropped and the optic leak-test notice hidden.
    bool FollowsStep = false;
    GasLabel Label;
    /// The step of the last intern flushing (9) or optic exchange (11), or 0; kept between notices.
    int LastStep = 0;
};

/// The gas-mode label for a status. Outside gas mode only the two-laser-head panel shows a
/// text (its nitrogen state); every other panel shows nothing, steadily, on the button face.
/// LastStep is the step remembered from earlier notices.
GasLabelChoice ChooseGasLabel(const LaserStatusCopy& S, bool FlushingVariant, bool GasPanelVariant, int LastStep);

// --- Which operations the panel offers

/// The flags the form keeps that the enable rules read besides the status.
struct PanelModes {
    bool ButtonOverride = false;  // set by the button-override message
    bool FlushingVariant = false; // set by enable_device
    int LastStep = 0;             // see GasLabelChoice
};

/// The warm-up gauge's hint and colours.
struct ProgressLook {
    std::string Hint;
    TColor ForeColor = clMaroon;
    TColor BackColor = clWhite;
};

/// What enable_btn sets: one entry per control (or group of controls treated alike).
struct ButtonStates {
    bool lasoff = false, off = false, lason = false, repQuant = false;
    bool onl = false, offline = false, hvSteps = false, contr = false, shutter = false;
    bool newfill = false;
    /// FLUSHING turns into LEAKTEST after an optic exchange; enabled then whatever else holds.
    bool leakTestCaption = false;
    bool gmFlush = false, gmquitt = false;
    bool energySteps = false; // the energy window's "+" and "-"
    bool gaugeHv = false;
    bool watchExttrig = false;
    bool showCount = false, showImpz = false;
    bool showWarmupGauge = false;
    bool warmLabelMaroon = false;
    ProgressLook warmupLook;
    /// False clears the repetition and quantity displays' blink flags.
    bool keepLcdBlink = false;
};

/// The enable rules. "All" (capability bit 7 or the button override) enables every operation
/// button that the rules allow it for.
ButtonStates ChooseButtonStates(const LaserStatusCopy& S, const PanelModes& Modes);

// --- Adapting the panel to the connected laser

/// The capability bits enable_device keeps: only "all buttons" without device flags, and only
/// the bits old controllers (below version 177) really have.
uint8_t CapabilityMask(uint8_t Version, uint8_t DeviceFlags);

/// A valve lamp's label: caption, the label's hint and the lamp's hint.
struct ValveLabel {
    std::string Caption, Hint, LampHint;
};

/// Which gas panel a laser gets, from device flags bits 4 and 5.
enum class GasPanelKind {
    OneHead,  // 01: one laser head with a vacuum pump
    TwoHeads, // 11 on controllers above 184
    Other,    // as OneHead without the pressure readout
};

/// What enable_device shows, hides and writes for a laser.
struct DeviceLayout {
    bool onlineButtons = false;   // ONLINE, OFFLINE and led_onl
    bool newVersionLamps = false; // led_temperature, led_ee and their labels
    GasPanelKind gasPanel = GasPanelKind::Other;
    bool pressureReadout = false; // Label_mbar, Panel_prh1
    bool gasProcedures = false;   // NEW FILL, QUIT, led_nf, led_inert, led_pre and their labels
    bool flushButton = false;
    int flushLeft = 100;
    bool flushingVariant = false;
    bool gasPanelVariant = false;
    ValveLabel vac, lh;
    bool temperatureGauge = false; // gauge_temperature and its label
    bool gasTempLamp = false;      // led_gastemp and Label_temp
    std::string dischCaption, compChamCaption;
    bool control = false;      // led_control, btn_contr
    bool energy = false;       // energy display, led_pemerror, LCD_mj enabled
    bool adjustEnergy = false; // menu entry "Adjust &energy"
    bool sparkGap = false;     // menu entry "SparkGap adjusting"
    bool shutter = false;      // btn_shutter, led_shutter, lab_shutter
};

/// The panel for a laser; S holds the capabilities after CapabilityMask.
DeviceLayout ChooseDeviceLayout(const LaserStatusCopy& S, uint8_t DeviceFlags);
