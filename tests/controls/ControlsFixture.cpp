//===- ControlsFixture.cpp - A host form for the display controls, and pixel helpers ===//
#include "tests/controls/ControlsFixture.h"

#include "tests/platform/ui/support/UiTestSupport.h"
#include "tests/support/TestSupport.h"

#include "platform/gdi/Gdi.h"
#include "platform/rtl/Format.h"
#include "platform/rtl/SysUtils.h"
#include "platform/ui/forms/TApplication.h"
#include "platform/ui/graphics/TBitmap.h"
#include "platform/ui/controls/TControl.h"

namespace controlstest {

void ControlsTest::SetUp()
{
    testsupport::UsePrivateSession();
    Application->Initialize();
    Host = new TForm(Application);
    Host->SetClientWidth(400);
    Host->SetClientHeight(300);
}

void ControlsTest::TearDown() { delete Host; }

std::unique_ptr<Dib> Shot(TControl& Control) { return uitest::Grab(Control); }

TColor PixelAt(const Dib& Picture, int X, int Y) { return static_cast<TColor>(Picture.GetPixel(X, Y)); }

TColor Rgb(TColor Color) { return static_cast<TColor>(ColorToRGB(static_cast<uint32_t>(Color))); }

std::string Hex(TColor Color) { return "0x" + IntToHex(static_cast<int32_t>(Color), 8); }

std::unique_ptr<TBitmap> LoadStrip(const char* Name)
{
    auto Strip = std::make_unique<TBitmap>();
    Strip->LoadFromResourceName(Name);
    return Strip;
}

TColor DigitColor(TColor StripPixel, TColor On, TColor Off, TColor Frame)
{
    TColor C = StripPixel == clWhite ? Rgb(Off) : StripPixel;
    C = C == clRed ? Rgb(On) : C;
    return C == clBlack ? Rgb(Frame) : C;
}

std::string CompareWithStrip(const Dib& Shot, int X, int Y, int W, int H, const TBitmap& Strip, int SX, TColor On,
                             TColor Off, TColor Frame)
{
    for (int Dy = 0; Dy < H; ++Dy)
        for (int Dx = 0; Dx < W; ++Dx) {
            const TColor Want = DigitColor(static_cast<TColor>(Strip.GetDib()->GetPixel(SX + Dx, Dy)), On, Off, Frame);
            const TColor Got = PixelAt(Shot, X + Dx, Y + Dy);
            if (Want != Got)
                return Format("pixel (%d, %d): %s, expected %s", { X + Dx, Y + Dy, Hex(Got), Hex(Want) });
        }
    return "";
}

} // namespace controlstest
