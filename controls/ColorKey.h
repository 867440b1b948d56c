//===- ColorKey.h - Copying bitmap strips with one colour replaced -*- C++ -*-===//
//
// The display controls draw from bitmap strips whose parts are marked by exact colour keys
// (pure red for a lit lamp body or segment, olive for a lamp's surroundings ...) and recolour
// them at run time, one key at a time.
//
#pragma once

#include "platform/ui/components/Colors.h"
#include "platform/ui/controls/UiTypes.h"

class TBitmap;

/// Copies the area Source of From to To with its top-left corner at (X, Y); every pixel of the
/// colour Key becomes Replacement, all others are copied as they are. Colours may be system
/// colours; they are resolved first. Pixels outside either bitmap are left out. From and To
/// may be the same bitmap only when the areas are the same.
void CopyReplacingColor(const TBitmap& From, const TRect& Source, TBitmap& To, int X, int Y, TColor Key,
                        TColor Replacement);

/// The recolouring of the digit strips: Colored (at least as large as Strip) becomes Strip with
/// white turned into Off, then red into On, then black into Frame, in that order, so an off
/// colour of pure red shows as the on colour and a black on or off colour as the frame colour.
void RecolorDigitStrip(const TBitmap& Strip, TBitmap& Colored, TColor Off, TColor On, TColor Frame);
