//===- TForm_opt_teaktest.h - The notice shown while the optic leak test runs -*- C++ -*-===//
#pragma once

#include "platform/ui/forms/TForm.h"

class TLabel;

/// "Optic leaktest" on yellow, "Please wait !". The main form shows and hides it; it has no
/// behaviour of its own.
class TForm_opt_teaktest : public TForm {
public:
    explicit TForm_opt_teaktest(TComponent* AOwner);

    TLabel* Label1 = nullptr;
    TLabel* Label2 = nullptr;
};

extern TForm_opt_teaktest* Form_opt_teaktest;
