//===- PdfSelectedFont.cpp - A font selected into a memory context of its own -===//
#include "pdf/PdfSelectedFont.h"

#include "platform/gdi/Gdi.h"

PdfSelectedFont::PdfSelectedFont(const LOGFONTA& Font)
    : FDc(CreateCompatibleDC(nullptr)), FFont(CreateFontIndirect(Font))
{
    if (FDc && FFont)
        FOld = SelectObject(FDc, FFont);
}

PdfSelectedFont::~PdfSelectedFont()
{
    if (FOld)
        SelectObject(FDc, FOld);
    if (FFont)
        DeleteObject(FFont);
    if (FDc)
        DeleteDC(FDc);
}
