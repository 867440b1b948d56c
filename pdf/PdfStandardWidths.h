//===- PdfStandardWidths.h - Widths of the fourteen standard fonts -*- C++ -*-===//
#pragma once

#include <cstdint>

/// The width in 1/1000 em of a WinAnsi code in standard font Index (0 Helvetica .. 13
/// ZapfDingbats, the resource order); 0 for an index outside 0..13.
uint16_t StandardFontWidth(int Index, uint8_t Code);
