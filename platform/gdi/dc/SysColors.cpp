//===- SysColors.cpp - The fixed classic table of system colours -----------===//
#include "platform/gdi/Gdi.h"

#include "platform/gdi/bitmaps/Dib.h"

namespace {

// The classic grey scheme, so that controls look alike on every machine and in every test.
constexpr COLORREF sysColours[] = {
    0xC0C0C0, // COLOR_SCROLLBAR
    0x808000, // COLOR_BACKGROUND (teal desktop)
    0x800000, // COLOR_ACTIVECAPTION (navy)
    0x808080, // COLOR_INACTIVECAPTION
    0xC0C0C0, // COLOR_MENU
    0xFFFFFF, // COLOR_WINDOW
    0x000000, // COLOR_WINDOWFRAME
    0x000000, // COLOR_MENUTEXT
    0x000000, // COLOR_WINDOWTEXT
    0xFFFFFF, // COLOR_CAPTIONTEXT
    0xC0C0C0, // COLOR_ACTIVEBORDER
    0xC0C0C0, // COLOR_INACTIVEBORDER
    0x808080, // COLOR_APPWORKSPACE
    0x800000, // COLOR_HIGHLIGHT (navy)
    0xFFFFFF, // COLOR_HIGHLIGHTTEXT
    0xC0C0C0, // COLOR_BTNFACE
    0x808080, // COLOR_BTNSHADOW
    0x808080, // COLOR_GRAYTEXT
    0x000000, // COLOR_BTNTEXT
    0xC0C0C0, // COLOR_INACTIVECAPTIONTEXT
    0xFFFFFF, // COLOR_BTNHIGHLIGHT
    0x000000, // COLOR_3DDKSHADOW
    0xC0C0C0, // COLOR_3DLIGHT
    0x000000, // COLOR_INFOTEXT
    0xE1FFFF, // COLOR_INFOBK (pale yellow)
    0x000000, // 25: not used
    0xFF0000, // COLOR_HOTLIGHT (blue)
    0xD08410, // COLOR_GRADIENTACTIVECAPTION
    0xB5B5B5, // COLOR_GRADIENTINACTIVECAPTION
    0x800000, // COLOR_MENUHILIGHT
    0xC0C0C0, // COLOR_MENUBAR
};
constexpr int sysColourCount = int(sizeof sysColours / sizeof sysColours[0]);

} // namespace

COLORREF GetSysColor(int Index)
{
    if (Index < 0 || Index >= sysColourCount)
        return 0;
    return sysColours[Index];
}

COLORREF ColorToRGB(uint32_t Colour)
{
    if (Colour & 0x80000000u)
        return GetSysColor(int(Colour & 0xFF));
    if ((Colour >> 24) == 0x01) {
        const auto& stock = Dib::StockPalette();
        uint32_t index = Colour & 0xFFFF;
        if (index >= stock.size())
            return 0;
        return RGB(stock[index].rgbRed, stock[index].rgbGreen, stock[index].rgbBlue);
    }
    return Colour & 0xFFFFFF;
}
