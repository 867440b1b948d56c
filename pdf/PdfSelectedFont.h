//===- PdfSelectedFont.h - A font selected into a memory context of its own -*- C++ -*-===//
#pragma once

#include "platform/gdi/GdiTypes.h"

/// Creates the font and a memory context, selects the one into the other and releases both
/// when it goes.
class PdfSelectedFont {
public:
    explicit PdfSelectedFont(const LOGFONTA& Font);
    ~PdfSelectedFont();
    PdfSelectedFont(const PdfSelectedFont&) = delete;
    PdfSelectedFont& operator=(const PdfSelectedFont&) = delete;

    /// The context with the font selected; null when either could not be made.
    HDC Dc() const { return FOld ? FDc : nullptr; }

private:
    HDC FDc = nullptr;
    HFONT FFont = nullptr;
    HGDIOBJ FOld = nullptr;
};
