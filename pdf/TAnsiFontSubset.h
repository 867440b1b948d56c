//===- TAnsiFontSubset.h - The embedded program of a TrueType font used with WinAnsi text -*- C++ -*-===//
//
// Unlike the Unicode subset, this one renumbers: only the glyphs of the used characters (and
// their components) are kept, numbered from 3, under character maps, a name and a PostScript
// table of its own.
//
#pragma once

#include "pdf/TrueTypeTables.h"

#include <cstdint>
#include <string>

class TStream;

/// Builds the subset of an installed face for the code points (the used WinAnsi codes' Unicode
/// values, ascending) into Stream; with Count 0 nothing is written.
void MakeAnsiFontSubset(const std::string& FaceName, int Style, TStream& Stream, int Count, const uint16_t* CodePoints);
/// The same from tables given by the caller.
TTFBytes AnsiFontSubset(const TTFTableSource& Tables, bool FixedPitch, const std::vector<uint16_t>& CodePoints);
