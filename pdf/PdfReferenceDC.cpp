//===- PdfReferenceDC.cpp - The device context that fixes the drawing resolution -===//
#include "pdf/PdfReferenceDC.h"

#include "platform/gdi/Gdi.h"
#include "platform/ui/printing/Printers.h"

#include <vector>

namespace {

HDC screenDC(bool& UseScreenDC)
{
    UseScreenDC = true;
    return GetDC(0);
}

} // namespace

HDC GetReferenceDC(bool& UseScreenDC)
{
    if (UseScreenDC)
        return GetDC(0);
    // The platform is of the NT kind: local printers and connections, level 4 (no port).
    constexpr uint32_t Flags = PRINTER_ENUM_LOCAL | PRINTER_ENUM_CONNECTIONS;
    uint32_t Needed = 0, Returned = 0;
    EnumPrintersA(Flags, nullptr, 4, nullptr, 0, &Needed, &Returned);
    if (Needed == 0)
        return screenDC(UseScreenDC);
    std::vector<uint8_t> Buffer(Needed);
    if (!EnumPrintersA(Flags, nullptr, 4, Buffer.data(), Needed, &Needed, &Returned) || Returned == 0)
        return screenDC(UseScreenDC);
    const auto* Info = reinterpret_cast<const PRINTER_INFO_4A*>(Buffer.data());
    HDC Dc = CreateICA("", Info->pPrinterName, nullptr, nullptr);
    // A printer that gives no context would leave every page without a resolution.
    if (!Dc || GetDeviceCaps(Dc, LOGPIXELSX) < 1 || GetDeviceCaps(Dc, LOGPIXELSY) < 1) {
        if (Dc)
            DeleteDC(Dc);
        return screenDC(UseScreenDC);
    }
    return Dc;
}
