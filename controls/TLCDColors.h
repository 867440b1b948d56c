//===- TLCDColors.h - The sixteen colours of the lamps and digit displays -*- C++ -*-===//
//
// Form resources name the colours of the display controls by these identifiers
// (LCDOnColor = Gruen). The lamp offers the first eight as its on colours and the last eight
// as its off colours, each as an enumeration of its own, so a lamp cannot be given a dark
// colour where a bright one belongs.
//
#pragma once

#include "platform/ui/components/Colors.h"
#include "platform/ui/components/TypeInfo.h"

#include <cstdint>

enum class TLCDColors : uint8_t {
    Grau,
    Rot,
    Gruen,
    Gelb,
    Blau,
    Mangenta,
    Cyan,
    Weiss,
    Schwarz,
    drot,
    dGruen,
    dGelb,
    dBlau,
    dMangenta,
    dCyan,
    dGrau,
};

enum class TLedOnColors : uint8_t { Grau, Rot, Gruen, Gelb, Blau, Mangenta, Cyan, Weiss };

enum class TLedOffColors : uint8_t { Schwarz, drot, dGruen, dGelb, dBlau, dMangenta, dCyan, dGrau };

/// The colour an entry stands for (0x00BBGGRR).
TColor LCDColorValue(TLCDColors Color);
TColor LCDColorValue(TLedOnColors Color);
TColor LCDColorValue(TLedOffColors Color);

// --- Identifier tables of the form resources

inline constexpr EnumIdent TLCDColorsIdents[] = {
    { "Grau", TLCDColors::Grau },       { "Rot", TLCDColors::Rot },
    { "Gruen", TLCDColors::Gruen },     { "Gelb", TLCDColors::Gelb },
    { "Blau", TLCDColors::Blau },       { "Mangenta", TLCDColors::Mangenta },
    { "Cyan", TLCDColors::Cyan },       { "Weiss", TLCDColors::Weiss },
    { "Schwarz", TLCDColors::Schwarz }, { "drot", TLCDColors::drot },
    { "dGruen", TLCDColors::dGruen },   { "dGelb", TLCDColors::dGelb },
    { "dBlau", TLCDColors::dBlau },     { "dMangenta", TLCDColors::dMangenta },
    { "dCyan", TLCDColors::dCyan },     { "dGrau", TLCDColors::dGrau },
};
inline constexpr TEnumType<TLCDColors> TLCDColorsType { "TLCDColors", TLCDColorsIdents };

inline constexpr EnumIdent TLedOnColorsIdents[] = {
    { "Grau", TLedOnColors::Grau }, { "Rot", TLedOnColors::Rot },     { "Gruen", TLedOnColors::Gruen },
    { "Gelb", TLedOnColors::Gelb }, { "Blau", TLedOnColors::Blau },   { "Mangenta", TLedOnColors::Mangenta },
    { "Cyan", TLedOnColors::Cyan }, { "Weiss", TLedOnColors::Weiss },
};
inline constexpr TEnumType<TLedOnColors> TLedOnColorsType { "TLedOnColors", TLedOnColorsIdents };

inline constexpr EnumIdent TLedOffColorsIdents[] = {
    { "Schwarz", TLedOffColors::Schwarz }, { "drot", TLedOffColors::drot },   { "dGruen", TLedOffColors::dGruen },
    { "dGelb", TLedOffColors::dGelb },     { "dBlau", TLedOffColors::dBlau }, { "dMangenta", TLedOffColors::dMangenta },
    { "dCyan", TLedOffColors::dCyan },     { "dGrau", TLedOffColors::dGrau },
};
inline constexpr TEnumType<TLedOffColors> TLedOffColorsType { "TLedOffColors", TLedOffColorsIdents };
