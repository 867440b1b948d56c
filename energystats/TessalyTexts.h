//===- TessalyTexts.h - The texts Tessaly shows in its message boxes and dialogs -*- C++ -*-===//
//
// Kept verbatim, odd spelling and spacing included: operators and their procedures know them so.
//
#pragma once

// --- Link and server
inline constexpr const char* STooManyApplications = "to much Application";
inline constexpr const char* SNilStatusPointer = "get nil Statuspointer";
inline constexpr const char* SOldServerPrefix = "Old ";
inline constexpr const char* SOldServerSuffix = "  :  Exit    ";
inline constexpr const char* SNoConnection = "NO CONNECTION";
inline constexpr const char* SError = "Error";
inline constexpr const char* SAttention = "Attention";

// --- The run
inline constexpr const char* SCannotStopLaser = " cannot stop laser";
inline constexpr const char* SCannotStartLaser = " cannot start laser";
inline constexpr const char* SStartUnsaved = "Graphic was not saved, start anyway?";
inline constexpr const char* SQuitUnsaved = "Graphic was not saved, quit anyway?";

// --- The report's save dialog
inline constexpr const char* SSaveReportTitle = "Save Energy Deviation";
inline constexpr const char* SSaveReportFilter = "pdf-files(*.pdf)|*.pdf|All files(*.*)|*.*";
