//===- status_copy.cpp - Fuzzes the front panel's reading of the laser status copy ===//
//
// The status comes from the laser server, another process; Heliant must read any bytes there
// without stopping. The input is the copy's bytes (zero-filled when short) and one byte of the
// flags the form keeps between notices.
//
#include "lasercontrol/PanelRules.h"
#include "link/LinkRecords.h"

#include <cstddef>
#include <cstdint>
#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size)
{
    LaserStatusCopy S {};
    std::memcpy(&S, Data, Size < sizeof S ? Size : sizeof S);
    const uint8_t Modes = Size > sizeof S ? Data[sizeof S] : 0;

    FieldText(S.firmwareText);
    FieldText(S.laserType);
    FieldText(S.laserType2);
    for (float F : { S.pressure, S.energy, S.energySet, S.gasTemperature, S.deviation, S.meanEnergy }) {
        RoundedCaption(F);
        RoundedWithin(F, -40, 120);
    }
    ComPortText(S.comPort);
    HvPercentText(S.hvPercent);
    DeviceText(S);
    EnergyUnitCaption(S);
    PressureBarColor(S);
    TemperatureBarColor(S);

    // As enable_device and the redraw after it: the mask first, then the panel's choices.
    S.capabilityFlags = CapabilityMask(S.deviceVersion, S.deviceFlags) & S.capabilityFlags;
    const DeviceLayout Layout = ChooseDeviceLayout(S, S.deviceFlags);
    const GasLabelChoice Gas = ChooseGasLabel(S, Layout.flushingVariant, Layout.gasPanelVariant, Modes & 0x0F);
    PanelModes Panel;
    Panel.ButtonOverride = Modes & 0x80;
    Panel.FlushingVariant = Layout.flushingVariant;
    Panel.LastStep = Gas.LastStep;
    ChooseButtonStates(S, Panel);
    return 0;
}
