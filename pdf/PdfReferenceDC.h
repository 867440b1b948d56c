//===- PdfReferenceDC.h - The device context that fixes the drawing resolution -*- C++ -*-===//
#pragma once

#include "platform/gdi/GdiTypes.h"

/// UseScreenDC true: the screen's context. Otherwise an information context of the first printer
/// the spooler lists; when there is none, or it gives no context, UseScreenDC becomes true and
/// the screen's context is answered. The caller releases the screen's context with ReleaseDC and
/// a printer's with DeleteDC.
HDC GetReferenceDC(bool& UseScreenDC);
