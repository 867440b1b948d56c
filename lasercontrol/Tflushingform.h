//===- Tflushingform.h - The choice of flushing procedure -*- C++ -*-===//
#pragma once

#include "platform/ui/forms/TForm.h"

class TButton;

/// Made at start and kept for the whole run; the FLUSHING button shows it modelessly. Each
/// button closes it first, then runs the procedure named on it; EXIT only closes.
class Tflushingform : public TForm {
public:
    explicit Tflushingform(TComponent* AOwner);

    void btn_flushextClick(TObject* Sender);
    void btn_flushintClick(TObject* Sender);
    void btn_fillinertClick(TObject* Sender);
    void btn_exitClick(TObject* Sender);

    TButton* btn_flushext = nullptr;
    TButton* btn_flushint = nullptr;
    TButton* btn_fillinert = nullptr;
    TButton* btn_exit = nullptr;
};

extern Tflushingform* flushingform;
