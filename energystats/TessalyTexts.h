//===- TessalyTexts.h - The texts Tessaly shows in its message boxes and dialogs -*- C++ -*-===//
//
// Kept verbatim, odd spelling and spacing included: operators and their procedures know them so.
//
#pragma once

#include "link/LinkTexts.h"

// --- Link and server (and those of every client, in link/LinkTexts.h)
inline constexpr const char* SAttention = "Attention";

// --- The run
inline constexpr const char* SCannotStopLaser = " cannot stop laser";
inline constexpr const char* SCannotStartLaser = " cannot start laser";
inline constexpr const char* SStartUnsaved = "Graphic was not saved, start anyway?";
inline constexpr const char* SQuitUnsaved = "Graphic was not saved, quit anyway?";

// --- The report's save dialog
inline constexpr const char* SSaveReportTitle = "Save Energy Deviation";
inline constexpr const char* SSaveReportFilter = "pdf-files(*.pdf)|*.pdf|All files(*.*)|*.*";
