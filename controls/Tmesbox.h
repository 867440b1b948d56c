//===- Tmesbox.h - The small window of a modeless message -*- C++ -*-===//
#pragma once

#include "platform/ui/forms/TForm.h"

class TButton;
class TLabel;

/// Read from the form resource "Tmesbox": a label for the text and an OK button that closes
/// (hides) the window.
class Tmesbox : public TForm {
public:
    explicit Tmesbox(TComponent* AOwner);

    // --- Components of the resource
    TLabel* Label1 = nullptr;
    TButton* but1 = nullptr;

    // --- Handlers bound by the resource
    void but1Click(TObject* Sender);
};
