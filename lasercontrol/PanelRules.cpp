//===- PanelRules.cpp - What the front panel shows for a laser status, without any control ---===//
#include "lasercontrol/PanelRules.h"

#include "platform/rtl/Format.h"
#include "platform/rtl/SysUtils.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

constexpr double Int32Min = -2147483648.0;
constexpr double Int32Max = 2147483647.0;

/// The texts of the gas-mode steps; the label shows them in black on the button face.
GasLabel stepLabel(int Step, uint8_t Version, int& LastStep)
{
    auto steady = [](const char* Text) { return GasLabel { Text, clBlack, clBtnFace, false }; };
    auto blinking = [](const char* Text) { return GasLabel { Text, clBlack, clBtnFace, true }; };
    switch (Step) {
    case 1: return steady("manual gasmode");
    case 2: return steady(Version < 186 ? "manual gasmode with laserkeys" : "fill-inert");
    case 3: return steady("newfill");
    case 4: return steady("extern flushing 1");
    case 5: return steady("extern flushing leak test");
    case 6: return steady("extern flushing 2");
    case 7: return blinking("extern flushing finished");
    case 8: return steady("initialize gasmode on laser");
    case 9: LastStep = 9; return steady("intern flushing");
    case 10:
        // After the optic was open the controller waits for the operator to start the leak
        // test; after an intern flushing it waits for the optic to be changed.
        return LastStep == 11 ? steady("waiting for start leaktest") : blinking("please change optics or quit");
    case 11: LastStep = 11; return blinking("optic open");
    case 12: return blinking("optic leak test");
    case 13: return steady("testmode-fill: Inert");
    case 14: return steady("testmode-fill: Premix");
    default: LastStep = 0; return steady("");
    }
}

/// The nitrogen state that the two-laser-head panel shows outside gas mode.
GasLabel nitrogenLabel(const LaserStatusCopy& S, bool NitrogenAlarm)
{
    const GasLabel replace { " replace nitrogen ", clYellow, clGray, true };
    const bool replacing = Bit(S.modeFlags2, 1);
    const bool flowMode = Bit(S.capabilityFlags, 6);
    if (NitrogenAlarm)
        return replace;
    if (replacing && flowMode)
        return GasLabel { "replacing nitrogen", clGreen, clBtnFace, false };
    if (replacing)
        return replace;
    if (flowMode)
        return GasLabel { "flow-mode", clGreen, clBtnFace, false };
    return GasLabel { " semi-sealed-mode ", clYellow, clGray, false };
}

ProgressLook warmupLook(const LaserStatusCopy& S)
{
    if (!Bit(S.modeFlags2, 1) || Bit(S.errorFlags1, 0))
        return ProgressLook { "warm up time", clMaroon, clWhite };
    if (Bit(S.capabilityFlags, 6))
        return ProgressLook { "replacing progress", clMaroon, clWhite };
    // Without flow mode the nitrogen runs out: the gauge counts down to the laser's stop.
    return ProgressLook { "laseroperation stops at 100%", clWhite, clMaroon };
}

} // namespace

// --- Reading the status copy

std::string FieldText(const char* Field, size_t Size)
{
    const void* end = std::memchr(Field, '\0', Size);
    return std::string(Field, end ? static_cast<const char*>(end) - Field : Size);
}

std::string RoundedCaption(float Value)
{
    if (!std::isfinite(Value))
        return "";
    return IntToStr(Round(std::clamp(double(Value), Int32Min, Int32Max)));
}

int32_t RoundedWithin(float Value, int32_t Min, int32_t Max)
{
    if (!std::isfinite(Value) || Max < Min)
        return Min;
    return int32_t(Round(std::clamp(double(Value), double(Min), double(Max))));
}

std::string ComPortText(uint8_t Port) { return Port == 0 ? std::string("COM?") : "COM" + IntToStr(Port); }

std::string HvPercentText(uint8_t Percent) { return Format("%4.0f", { double(Percent) }) + " %"; }

std::string DeviceText(const LaserStatusCopy& S)
{
    return " " + FieldText(S.laserType) + " " + FieldText(S.laserType2);
}

std::string EnergyUnitCaption(const LaserStatusCopy& S) { return Bit(S.unitFlags, 5) ? "\xB5&J" : "m&J"; }

// --- Bars

TColor PressureBarColor(const LaserStatusCopy& S)
{
    if (Bit(S.errorFlags2, 4))
        return clRed;
    return S.pressureBar == 5 ? clYellow : clNavy;
}

TColor TemperatureBarColor(const LaserStatusCopy& S)
{
    if (Bit(S.errorFlags3, 0))
        return clRed;
    return GasReservoirHot(S) ? clYellow : clNavy;
}

// --- The gas-mode label

GasLabelChoice ChooseGasLabel(const LaserStatusCopy& S, bool FlushingVariant, bool GasPanelVariant, int LastStep)
{
    GasLabelChoice choice;
    choice.LastStep = LastStep;
    const bool nitrogenAlarm = FlushingVariant && Bit(S.errorFlags2, 4);
    if (S.deviceVersion < 179 || !IsGasMode(S) || nitrogenAlarm) {
        // Every other panel shows nothing here; the defaults are an empty, steady text on the
        // button face, so no blink or colour of an earlier gas mode survives.
        if (GasPanelVariant)
            choice.Label = nitrogenLabel(S, nitrogenAlarm);
        return choice;
    }
    choice.FollowsStep = true;
    choice.Label = stepLabel(GasStep(S), S.deviceVersion, choice.LastStep);
    return choice;
}

// --- Which operations the panel offers

ButtonStates ChooseButtonStates(const LaserStatusCopy& S, const PanelModes& Modes)
{
    const uint8_t cap = S.capabilityFlags;
    const bool all = Bit(cap, 7) || Modes.ButtonOverride;
    const bool online = IsOnline(S), ready = IsReady(S), hv = IsHighVoltage(S), firing = IsFiring(S);
    const int step = GasStep(S);
    const uint8_t version = S.deviceVersion;
    // Gas procedures may start from the panel: the laser handles gas, knows the gas-mode
    // steps, and the high voltage is off.
    const bool gasReady = Bit(cap, 3) && version >= 179 && !hv;

    ButtonStates b;
    b.lasoff = all || hv;
    b.off = all || firing;
    b.lason = all || (online && ready && !hv && step == 0);
    b.repQuant = all || (online && hv && !firing);
    b.onl = all || !online;
    b.offline = all || online;
    b.hvSteps = all || (Bit(cap, 1) && online);
    b.contr = all || (Bit(cap, 2) && online);
    b.shutter = all || (online && ready);
    const bool gasBusy = IsGasMode(S) && (Modes.LastStep == 11 || (step != 7 && step != 10));
    b.newfill = Bit(cap, 3) && online && (all || (!hv && !gasBusy));
    b.leakTestCaption = Modes.LastStep == 11 && step == 10;
    b.gmFlush = b.leakTestCaption || all || (gasReady && (step == 0 || step == 7))
                || (Modes.FlushingVariant && !firing && step == 0);
    b.gmquitt = all || (gasReady && (step == 1 || step == 5 || step == 7 || step == 10));
    b.energySteps = all || (Bit(cap, 0) && online);
    b.gaugeHv = all || (hv && Bit(cap, 1));
    b.watchExttrig = version > 177 && (all || (online && hv && !firing));
    b.showCount = version > 177;
    b.showImpz = version > 177 && (Bit(S.modeFlags, 1) || Bit(S.modeFlags, 7) || all);
    b.showWarmupGauge = IsWarmingUp(S) || Bit(cap, 7) || (Bit(S.modeFlags2, 1) && !Bit(S.errorFlags1, 0));
    b.warmLabelMaroon = IsWarmingUp(S);
    b.warmupLook = warmupLook(S);
    b.keepLcdBlink = online && firing;
    return b;
}

// --- Adapting the panel to the connected laser

uint8_t CapabilityMask(uint8_t Version, uint8_t DeviceFlags)
{
    uint8_t mask = 0xFF;
    if (DeviceFlags == 0)
        mask &= 0x80;
    if (Version < 177)
        mask &= 0x8A;
    return mask;
}

DeviceLayout ChooseDeviceLayout(const LaserStatusCopy& S, uint8_t DeviceFlags)
{
    const uint8_t v = S.deviceVersion;
    const uint8_t cap = S.capabilityFlags;
    const int heads = (DeviceFlags >> 4) & 3;

    DeviceLayout d;
    // Newer controllers go online by themselves; the operator gets no ONLINE and OFFLINE.
    d.onlineButtons = !((v > 182 && heads == 1) || (v > 184 && (DeviceFlags & 1)) || v > 185 || DeviceFlags == 0);
    d.newVersionLamps = v >= 185;
    if (heads == 3 && v > 184) {
        d.gasPanel = GasPanelKind::TwoHeads;
        if (Bit(cap, 3)) {
            d.flushButton = true;
            d.flushLeft = 25;
            d.flushingVariant = true;
            d.vac = { "LH1/2", "inlet/outlet\rvalve", "inlet/outlet\rvalve open" };
            d.lh = { "LH3", "flushing\rvalve", "flushing\rvalve open" };
        } else {
            d.vac = { "LH1", "laserhead1\rvalve", "laserhead1\rvalve open" };
            d.lh = { "LH2", "laserhead2\rvalve", "laserhead2\rvalve open" };
        }
        d.temperatureGauge = true;
        d.pressureReadout = true;
        d.gasPanelVariant = true;
        d.dischCaption = "ENCLOSURE";
        d.compChamCaption = "TEMPERATURE LIMIT";
    } else {
        d.gasPanel = heads == 1 ? GasPanelKind::OneHead : GasPanelKind::Other;
        d.pressureReadout = heads == 1;
        d.gasProcedures = true;
        d.flushButton = true;
        d.vac = { "VAC", "vacuum pump", "vacuum pump\ron" };
        d.lh = { "LH", "laserhead\rvalve", "laserhead\rvalve open" };
        d.gasTempLamp = v >= 180;
        d.dischCaption = "LASERHEAD CHAMB.";
        d.compChamCaption = "ELECTRONIC CHAMB.";
    }
    d.control = Bit(cap, 2);
    d.energy = Bit(cap, 0);
    d.adjustEnergy = Bit(cap, 0) && v > 180;
    d.sparkGap = Bit(cap, 4) && v > 185;
    d.shutter = Bit(cap, 5) && v > 185;
    return d;
}
