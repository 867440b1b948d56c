//===- tmbox.h - Shows a short message without waiting for the operator -*- C++ -*-===//
#pragma once

#include "platform/ui/components/TComponent.h"

#include <string>

class Tmesbox;

/// Each ShowMessage opens a new message window (Tmesbox) and returns at once; the program goes
/// on while the window stays up. Windows belong to the application: they stay open until the
/// operator closes them and are freed with the application.
class tmbox : public TComponent {
public:
    explicit tmbox(TComponent* AOwner);
    ~tmbox() override;

    /// Opens a window titled Caption showing Text above a button labelled ButtonCaption. A
    /// failure while the window is built frees it and goes no further.
    void ShowMessage(const std::string& Caption, const std::string& Text, const std::string& ButtonCaption);

    /// The newest window, while it exists; earlier ones are not remembered.
    Tmesbox* Form() const { return FForm; }

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    Tmesbox* FForm = nullptr;
};
