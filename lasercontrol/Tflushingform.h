//===- Tflushingform.h - The choice of flushing procedure -*- C++ -*-===//
#pragma once

#include "platform/ui/TForm.h"

/// Made at start and kept for the whole run; the FLUSHING button shows it.
class Tflushingform : public TForm {
public:
    explicit Tflushingform(TComponent* AOwner);
};

extern Tflushingform* flushingform;
