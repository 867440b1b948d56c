//===- HeliantTexts.h - The texts Heliant shows in its message boxes and dialogs -*- C++ -*-===//
//
// Kept verbatim, odd spelling and spacing included: operators and their procedures know them so.
//
#pragma once

#include "link/LinkTexts.h"

// --- Link and server (and those of every client, in link/LinkTexts.h)
inline constexpr const char* SServerClosed = " Kelmor.exe was closed";

// --- Input dialogs
inline constexpr const char* SInputRepetitionRate = "Input repetition rate";
inline constexpr const char* SInputQuantity = "Input quantity";
inline constexpr const char* SInputEnergy = "Input energy";
inline constexpr const char* SPresetCounter = "Preset Counter";

// --- Gas procedures and leak tests
inline constexpr const char* SNewFill = "NEWFILL";
inline constexpr const char* SFillInert = "FILL INERT";
inline constexpr const char* SInternFlushing = "INTERN FLUSHING";
inline constexpr const char* SExternFlushing = "EXTERN FLUSHING";
inline constexpr const char* SAreYouSure = "Are You sure?";
inline constexpr const char* SOpenPremix = "Please open PREMIX !";
inline constexpr const char* SOpenInert = "Please open INERT ( >3 bar )!";
inline constexpr const char* SClosePremix = "Please close PREMIX bottle mainvalve !";
inline constexpr const char* SCheckPressureSensor = "check pressure sensor at gas bottle for leak test";
inline constexpr const char* SAttention = "ATTENTION";
inline constexpr const char* SContinue = "CONTINUE";
