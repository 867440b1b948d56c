//===- Tmsgbox.h - The confirmation form of the gas procedures -*- C++ -*-===//
#pragma once

#include "platform/ui/TForm.h"

/// Made at start and kept for the whole run; the gas procedures fill and show it.
class Tmsgbox : public TForm {
public:
    explicit Tmsgbox(TComponent* AOwner);
};

extern Tmsgbox* msgbox;
