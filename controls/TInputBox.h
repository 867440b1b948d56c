//===- TInputBox.h - Asks the operator for one number in a modal dialog -*- C++ -*-===//
#pragma once

#include "platform/ui/components/TComponent.h"

#include <string>

/// Runs the form Tbox modally around one numeric edit, optionally repeating it until the value
/// lies in inbox_min..inbox_max, and answers the value with a result code.
class TInputBox : public TComponent {
public:
    explicit TInputBox(TComponent* AOwner);

    // --- Settings
    /// Put before the range in the message that refuses a value.
    std::string inbox_mess;
    double inbox_min = 0.0;
    double inbox_max = 100.0;
    /// Refuse values outside inbox_min..inbox_max and ask again.
    bool inbox_minmax = false;
    /// Whether a '-' may be typed.
    bool inbox_minus = true;
    std::string inbox_yesbut = "OK";
    std::string inbox_nobut = "CANCEL";

    /// Result codes of Execute.
    static constexpr int ResultOk = 1, ResultCancel = 2, ResultInputError = 5;
    /// The result of the last Execute: 1 OK, 2 cancelled, 5 the text could not be read; 0
    /// while the dialog is open.
    int ResultCode = 0;

    /// Shows Message as the dialog's caption over an edit of Digits digits and Decimals
    /// decimals holding Default. Kind: 0 signed 16-bit, 1 unsigned 16-bit, 3 hexadecimal,
    /// 4 signed 32-bit, anything else decimal with point. Answers the value for OK, Default
    /// otherwise (see ResultCode). The dialog is freed whatever happens.
    double Execute(const std::string& Message, uint8_t Digits, uint8_t Kind, uint8_t Decimals, double Default);
};
