//===- LinkTexts.h - The texts a client program shows about the link and the server -*- C++ -*-===//
//
// Kept verbatim, odd spelling and spacing included: operators and their procedures know them so.
//
#pragma once

inline constexpr const char* STooManyApplications = "to much Application";
inline constexpr const char* SNilStatusPointer = "get nil Statuspointer";
inline constexpr const char* SOldServerPrefix = "Old ";
inline constexpr const char* SOldServerSuffix = "  :  Exit    ";
inline constexpr const char* SNoConnection = "NO CONNECTION";
inline constexpr const char* SError = "Error";
