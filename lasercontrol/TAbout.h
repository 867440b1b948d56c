//===- TAbout.h - The About box -*- C++ -*-===//
#pragma once

#include "platform/ui/TForm.h"

/// Made at start and kept for the whole run; its texts come with the operator commands.
class TAbout : public TForm {
public:
    explicit TAbout(TComponent* AOwner);
};

extern TAbout* About;
