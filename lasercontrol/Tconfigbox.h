//===- Tconfigbox.h - The Options dialog -*- C++ -*-===//
#pragma once

#include "platform/ui/TForm.h"

/// Made at start and kept for the whole run; the main form fills and evaluates it.
class Tconfigbox : public TForm {
public:
    explicit Tconfigbox(TComponent* AOwner);
};

extern Tconfigbox* configbox;
