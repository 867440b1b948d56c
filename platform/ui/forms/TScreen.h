//===- TScreen.h - The screen: its size, its forms, the active form and the cursor -*- C++ -*-===//
#pragma once

#include "platform/ui/components/TComponent.h"
#include "platform/ui/controls/UiTypes.h"

#include <vector>

class TDataModule;
class TForm;

/// The screen that forms are placed on when there is no display (Qt's offscreen platform):
/// 1920 x 1080 pixels, so that placement is the same everywhere. On a display the screen has the
/// primary monitor's size; drawing is at 96 dots per inch on both.
inline constexpr int ScreenWidth = 1920, ScreenHeight = 1080;

class TScreen : public TComponent {
public:
    explicit TScreen(TComponent* AOwner);

    int GetWidth() const;
    int GetHeight() const;
    /// The form the operator works in; nullptr when none is shown.
    TForm* GetActiveForm() const;
    /// A cursor other than crDefault shows over every window of the program until crDefault
    /// is set again (an hourglass while waiting, a cross while zooming).
    TCursor GetCursor() const { return FCursor; }
    void SetCursor(TCursor Value);

    // --- The forms and data modules that exist, each list in the order they were made
    int FormCount() const { return static_cast<int>(FForms.size()); }
    /// Index 0..FormCount()-1, else EListError.
    TForm* Forms(int Index) const;
    int DataModuleCount() const { return static_cast<int>(FDataModules.size()); }
    /// Index 0..DataModuleCount()-1, else EListError.
    TDataModule* DataModules(int Index) const;

private:
    friend class TForm;
    friend class TDataModule;
    void addForm(TForm* Form) { FForms.push_back(Form); }
    void removeForm(TForm* Form);
    void addDataModule(TDataModule* Module) { FDataModules.push_back(Module); }
    void removeDataModule(TDataModule* Module);

    TCursor FCursor = crDefault;
    std::vector<TForm*> FForms;
    std::vector<TDataModule*> FDataModules;
};

/// The screen object; it lives from the start of the program to its end.
extern TScreen* Screen;
