//===- TLCDColors.cpp - The sixteen colours of the lamps and digit displays -===//
#include "controls/TLCDColors.h"

namespace {

constexpr TColor Values[16] = {
    0xC0C0C0, 0x0000FF, 0x00FF00, 0x00FFFF, 0xFF0000, 0xFF00FF, 0xFFFF00, 0xFFFFFF,
    0x000000, 0x000080, 0x008000, 0x008080, 0x800000, 0x800080, 0x808000, 0x808080,
};

// The lamp's off colours are the second half of the table.
constexpr int FirstOffColor = 8;

} // namespace

TColor LCDColorValue(TLCDColors Color) { return Values[static_cast<int>(Color) & 15]; }

TColor LCDColorValue(TLedOnColors Color) { return Values[static_cast<int>(Color) & 7]; }

TColor LCDColorValue(TLedOffColors Color) { return Values[FirstOffColor + (static_cast<int>(Color) & 7)]; }
