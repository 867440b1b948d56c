//===- TPDFButton.h - The push button widget -*- C++ -*-===//
#pragma once

#include "pdf/TPDFControls.h"

class TPDFButton : public TPDFControl {
public:
    /// Silver face.
    TPDFButton(TPDFPage* Page, const std::string& Name);
    ~TPDFButton() override;

    /// Draws the normal and the down appearance.
    void Paint() override;
    /// Writes the appearances, then the widget.
    void Save() override;

    std::string Caption;

private:
    void paintNormal(TPDFPage& Page);
    void paintDown(TPDFPage& Page);
    void paintCaption(TPDFPage& Page, int TopInset);

    // Alive only while the button is written.
    std::unique_ptr<TPDFPage> FNormal, FDown;
};
