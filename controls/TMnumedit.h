//===- TMnumedit.h - Edit field for one number of a given kind -*- C++ -*-===//
//
// Accepts only the characters of its number kind and keeps text and value in step: every change
// of the text is read into value (clamped to the kind's range), and every change of value,
// points or digits is shown as text and read back, so value is always what the operator sees. MaxLength is the number of digits; the
// edit's own length limit adds room for a sign and a decimal point as they appear.
//
#pragma once

#include "platform/ui/controls/TCustomEdit.h"

#include <cstdint>
#include <string>

enum class tnumkind { csword, csinteger, cspoint, cshex, cslong };
using enum tnumkind;
inline constexpr EnumIdent tnumkindIdents[] = {
    { "csword", csword }, { "csinteger", csinteger }, { "cspoint", cspoint }, { "cshex", cshex }, { "cslong", cslong },
};
inline constexpr TEnumType<tnumkind> tnumkindType { "tnumkind", tnumkindIdents };

class TMnumedit : public TMaskEdit {
public:
    /// Two digits, no decimals, unsigned 16-bit, showing 0.
    explicit TMnumedit(TComponent* AOwner);

    // --- The number
    /// Which characters are accepted and which range value is held to. Takes effect with the
    /// next character typed and the next change of the text.
    tnumkind NumKind = csword;
    double Getvalue() const { return Fvalue; }
    /// When different: stores and shows it.
    void Setvalue(double Value);
    uint8_t Getpoints() const { return Fpoints; }
    /// Decimals shown, at most 8; when different: stores and shows the value.
    void Setpoints(uint8_t Value);
    /// The number of digits (not the edit's length limit, which it hides).
    int GetMaxLength() const { return FDigits; }
    /// 2 to 10 digits (2 to 8 for cshex); ignored when equal to the digit count; shows the value.
    void SetMaxLength(int Value);
    /// A '-' may be typed.
    bool minus = true;
    /// The value taken when the text cannot be read.
    double inputdefault = 0;
    /// True when the last reading of the text failed.
    bool inputerror = false;

    /// What the input box does before it shows the edit: value and inputdefault := Default,
    /// points := Decimals, MaxLength := Digits, then shows the value.
    void SetUp(int Digits, int Decimals, double Default);

protected:
    /// Drops the characters the kind does not take.
    void KeyPress(char& Key) override;
    /// Tidies the text, reads it into value and adjusts the length limit; then OnChange.
    void Change() override;

private:
    void showValue();
    double readText();
    double clampToKind(double Value) const;
    void fitLengthLimit();

    double Fvalue = 0;
    uint8_t Fpoints = 0;
    int FDigits = 2;
    bool FTidying = false; // Change is rewriting the text it was called for
};
