//===- TMnumedit.cpp - Edit field for one number of a given kind ------------===//
#include "controls/TMnumedit.h"

#include "platform/rtl/Format.h"
#include "platform/rtl/SysUtils.h"
#include "platform/ui/components/Published.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr int MinDigits = 2, MaxDigits = 10, MaxHexDigits = 8;
constexpr uint8_t MaxPoints = 8;

const PublishedClass& MnumeditClass = PublishClass<TMnumedit, TMaskEdit>("TMnumedit", [](Published<TMnumedit>& P) {
    P.Enum("NumKind", tnumkindType, &TMnumedit::NumKind);
    P.Double("value", &TMnumedit::Getvalue, &TMnumedit::Setvalue);
    P.Int("points", &TMnumedit::Getpoints, &TMnumedit::Setpoints);
    P.Int("MaxLength", &TMnumedit::GetMaxLength, &TMnumedit::SetMaxLength);
    P.Bool("minus", &TMnumedit::minus);
    P.Double("inputdefault", &TMnumedit::inputdefault);
    P.Bool("inputerror", &TMnumedit::inputerror);
});

/// Sets a flag for the life of the object.
class FlagHold {
public:
    explicit FlagHold(bool& Flag) : FFlag(Flag) { FFlag = true; }
    ~FlagHold() { FFlag = false; }
    FlagHold(const FlagHold&) = delete;
    FlagHold& operator=(const FlagHold&) = delete;

private:
    bool& FFlag;
};

bool holds(const std::string& Text, char C) { return Text.find(C) != std::string::npos; }

bool isDigit(char C) { return C >= '0' && C <= '9'; }

bool accepted(tnumkind Kind, char Key)
{
    switch (Kind) {
    case csword: return isDigit(Key);
    case cspoint: return isDigit(Key) || Key == ',' || Key == '-' || Key == '.';
    case cshex: return isDigit(Key) || (Key >= 'A' && Key <= 'F') || (Key >= 'a' && Key <= 'f') || Key == '-';
    case csinteger:
    case cslong: return isDigit(Key) || Key == '-';
    }
    return false;
}

/// One '-' only, at the first non-blank position; one '.' only.
std::string withoutStraySigns(std::string Text)
{
    const size_t P = Text.find_first_not_of(' ');
    if (P == std::string::npos)
        return Text;
    const size_t Minus = Text.find('-', P + 1);
    if (Minus != std::string::npos)
        Text.erase(Minus, 1);
    const size_t First = Text.find('.', Text[P] == '-' ? P + 1 : P);
    if (First != std::string::npos) {
        const size_t Second = Text.find('.', First + 1);
        if (Second != std::string::npos)
            Text.erase(Second, 1);
    }
    return Text;
}

/// Leading blanks go, but the last two characters always stay.
std::string withoutLeadingBlanks(std::string Text)
{
    size_t Blanks = 0;
    while (Blanks + 2 < Text.size() && Text[Blanks] == ' ')
        ++Blanks;
    return Text.erase(0, Blanks);
}

} // namespace

TMnumedit::TMnumedit(TComponent* AOwner) : TMaskEdit(AOwner)
{
    FDigits = MinDigits;
    Setvalue(1.0);
    Setvalue(0);
}

// --- The number

void TMnumedit::Setvalue(double Value)
{
    if (Value == Fvalue)
        return;
    Fvalue = Value;
    showValue();
}

void TMnumedit::Setpoints(uint8_t Value)
{
    if (Value == Fpoints)
        return;
    Fpoints = std::min(Value, MaxPoints);
    showValue();
}

void TMnumedit::SetMaxLength(int Value)
{
    // Compared with the digit count, not with the edit's limit: that limit already counts a
    // sign and a point, so an equal number could hide a real change of digits.
    if (Value == FDigits)
        return;
    FDigits = std::clamp(Value, MinDigits, NumKind == cshex ? MaxHexDigits : MaxDigits);
    TCustomEdit::SetMaxLength(FDigits + (Fpoints > 0 ? 1 : 0) + (Fvalue < 0 ? 1 : 0));
    showValue();
}

void TMnumedit::SetUp(int Digits, int Decimals, double Default)
{
    // All three first, shown once: shown with the old digits and decimals, the default would be
    // cut to them and read back.
    Fvalue = Default;
    inputdefault = Default;
    Fpoints = static_cast<uint8_t>(std::clamp(Decimals, 0, int(MaxPoints)));
    FDigits = std::clamp(Digits, MinDigits, NumKind == cshex ? MaxHexDigits : MaxDigits);
    TCustomEdit::SetMaxLength(FDigits + (Fpoints > 0 ? 1 : 0) + (Fvalue < 0 ? 1 : 0));
    showValue();
}

void TMnumedit::showValue()
{
    const double Shown = clampToKind(Fvalue);
    std::string Text;
    if (NumKind == cshex) {
        const int64_t V = Round(Shown);
        // The magnitude in 64 unsigned bits: the most negative value has no positive twin.
        const uint64_t Magnitude = V < 0 ? 0 - static_cast<uint64_t>(V) : static_cast<uint64_t>(V);
        Text = (V < 0 ? "-" : "") + IntToHex(Magnitude, FDigits);
    } else {
        const int Width = FDigits + (Shown < 0 ? 1 : 0) + (Fpoints > 0 ? 1 : 0);
        Text = Format("%*.*f", { Width, int(Fpoints), Shown });
        if (static_cast<int>(Text.size()) > Width)
            Text.resize(Width);
    }
    SetText(Text);
    // The value is what the operator sees: read back even when the text did not change.
    Fvalue = clampToKind(readText());
}

// --- Typing

void TMnumedit::KeyPress(char& Key)
{
    TMaskEdit::KeyPress(Key);
    if (Key == '\b' || Key == '\0')
        return;
    if (!accepted(NumKind, Key) || (Key == '-' && !minus)) {
        Key = '\0';
        return;
    }
    if (Key == ',')
        Key = '.';
    const std::string& Text = GetText();
    if (GetSelLength() == 0 && (Key == '.' || Key == '-') && holds(Text, Key)) {
        Key = '\0';
        return;
    }
    if (Key == '-' || Key == '.')
        TCustomEdit::SetMaxLength(FDigits + (holds(Text, '-') ? 1 : 0) + (holds(Text, '.') ? 1 : 0) + 1);
}

void TMnumedit::Change()
{
    if (FTidying)
        return;
    const std::string Text = GetText();
    const std::string Tidy = withoutLeadingBlanks(withoutStraySigns(Text));
    if (Tidy != Text) {
        const int Caret = std::max(0, GetSelStart() - static_cast<int>(Text.size() - Tidy.size()));
        FlagHold Tidying(FTidying);
        SetText(Tidy);
        SetSelStart(Caret);
    }
    Fvalue = clampToKind(readText());
    fitLengthLimit();
    TMaskEdit::Change();
}

void TMnumedit::fitLengthLimit()
{
    const std::string& Text = GetText();
    const int Limit = FDigits + (holds(Text, '-') ? 1 : 0) + (holds(Text, '.') ? 1 : 0);
    if (Limit != TCustomEdit::GetMaxLength())
        TCustomEdit::SetMaxLength(Limit);
}

// --- Reading

double TMnumedit::readText()
{
    inputerror = false;
    const std::string& Text = GetText();
    const size_t Start = Text.find_first_not_of(' ');
    if (Start == std::string::npos)
        return 0;
    const size_t End = Text.find(' ', Start);
    std::string Token = Text.substr(Start, End == std::string::npos ? std::string::npos : End - Start);
    if (NumKind == cshex) {
        const bool Negative = Token[0] == '-';
        if (Negative)
            Token.erase(0, 1);
        int64_t V = 0;
        if (TryStrToInt64("$" + Token, V))
            return Negative ? -double(V) : double(V);
    } else {
        double V = 0;
        if (TryStrToFloat(Token, V))
            return V;
    }
    inputerror = true;
    return inputdefault;
}

double TMnumedit::clampToKind(double Value) const
{
    switch (NumKind) {
    case csword: return std::clamp(Value, 0.0, 65535.0);
    case csinteger: return std::clamp(Value, -32768.0, 32767.0);
    default: return Value;
    }
}
