//===- ControlsFixture.h - A host form for the display controls, and pixel helpers -*- C++ -*-===//
#pragma once

#include "platform/gdi/bitmaps/Dib.h"
#include "platform/ui/components/Colors.h"
#include "platform/ui/forms/TForm.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

class TBitmap;
class TControl;

namespace controlstest {

/// A private session (forms make windows) and a plain form, freed after each test, that the
/// controls of a test sit on.
class ControlsTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    /// A new T owned by and placed on the host form at (Left, Top).
    template <class T>
    T& Make(int Left = 8, int Top = 8)
    {
        T* Control = new T(Host);
        Control->SetParent(Host);
        Control->SetLeft(Left);
        Control->SetTop(Top);
        return *Control;
    }

    TForm* Host = nullptr;
};

/// The control as it shows now (painted first).
std::unique_ptr<Dib> Shot(TControl& Control);
/// The colour at (X, Y) of a picture, 0x00BBGGRR; system colours are resolved first by the
/// callers through Rgb.
TColor PixelAt(const Dib& Picture, int X, int Y);
/// A colour as the screen shows it (system colours resolved).
TColor Rgb(TColor Color);
/// "0x00BBGGRR", for failure messages.
std::string Hex(TColor Color);

/// A bitmap strip as the controls load it.
std::unique_ptr<TBitmap> LoadStrip(const char* Name);
/// The colour a strip pixel takes after the digit displays' recolouring: white to Off, then
/// red to On, then black to Frame.
TColor DigitColor(TColor StripPixel, TColor On, TColor Off, TColor Frame);

/// Compares the area (X, Y, X + W, Y + H) of a shot with the same-sized area of a recoloured
/// strip at (SX, 0); answers the first difference as text, or "" when they agree.
std::string CompareWithStrip(const Dib& Shot, int X, int Y, int W, int H, const TBitmap& Strip, int SX, TColor On,
                             TColor Off, TColor Frame);

} // namespace controlstest
