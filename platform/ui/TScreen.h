//===- TScreen.h - The screen: its size, the active form and the application's cursor -*- C++ -*-===//
#pragma once

#include "platform/ui/TComponent.h"
#include "platform/ui/UiTypes.h"

class TForm;

/// The screen that forms are placed on: 1920 x 1080 pixels at 96 dots per inch, whatever the
/// machine, so that placement and drawing are the same everywhere.
inline constexpr int ScreenWidth = 1920, ScreenHeight = 1080;

class TScreen : public TComponent {
public:
    explicit TScreen(TComponent* AOwner);

    int GetWidth() const { return ScreenWidth; }
    int GetHeight() const { return ScreenHeight; }
    /// The form the operator works in; nullptr when none is shown.
    TForm* GetActiveForm() const;
    /// A cursor other than crDefault shows over every window of the program until crDefault
    /// is set again (an hourglass while waiting, a cross while zooming).
    TCursor GetCursor() const { return FCursor; }
    void SetCursor(TCursor Value);

private:
    TCursor FCursor = crDefault;
};

/// The screen object; it lives from the start of the program to its end.
extern TScreen* Screen;
