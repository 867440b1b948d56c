//===- Format.cpp - Format: text from a pattern and a list of values ------===//
#include "platform/rtl/Format.h"

#include "platform/rtl/Exception.h"
#include "platform/rtl/RtlConsts.h"
#include "platform/rtl/SysUtils.h"

#include <algorithm>
#include <optional>

namespace {

/// One "%..." directive of the pattern.
struct Directive {
    bool leftJustify = false;
    std::optional<int> width;
    std::optional<int> precision;
    char type = 0;
};

/// Walks the pattern, reads the directives and hands out the values.
class Formatter {
public:
    Formatter(std::string_view Pattern, std::initializer_list<TVarRec> Args) : Pattern(Pattern), Args(Args) {}

    std::string run()
    {
        for (size_t I = 0; I < Pattern.size();) {
            const size_t Percent = Pattern.find('%', I);
            Out += Pattern.substr(I, Percent == std::string_view::npos ? std::string_view::npos : Percent - I);
            if (Percent == std::string_view::npos)
                break;
            if (Percent + 1 < Pattern.size() && Pattern[Percent + 1] == '%') {
                Out += '%';
                I = Percent + 2;
                continue;
            }
            DirectiveStart = Percent;
            Pos = Percent + 1;
            const Directive S = readDirective();
            I = Pos;
            pad(convert(S), S);
        }
        return Out;
    }

private:
    std::string_view currentDirective() const { return Pattern.substr(DirectiveStart, Pos - DirectiveStart); }

    [[noreturn]] void invalid() const { throw EConvertError(Format(SInvalidFormat, { currentDirective() })); }

    const TVarRec& nextArg()
    {
        if (Next >= Args.size())
            throw EConvertError(Format(SArgumentMissing, { currentDirective() }));
        return Args.begin()[Next++];
    }

    std::optional<int> readNumber()
    {
        if (Pos < Pattern.size() && Pattern[Pos] == '*') {
            ++Pos;
            const TVarRec& A = nextArg();
            if (A.kind() != TVarRec::Kind::Integer && A.kind() != TVarRec::Kind::Int64)
                invalid();
            return static_cast<int>(std::clamp<int64_t>(A.integer(), -1000000, 1000000));
        }
        if (Pos >= Pattern.size() || Pattern[Pos] < '0' || Pattern[Pos] > '9')
            return std::nullopt;
        int N = 0;
        while (Pos < Pattern.size() && Pattern[Pos] >= '0' && Pattern[Pos] <= '9')
            N = std::min(N * 10 + (Pattern[Pos++] - '0'), 1000000);
        return N;
    }

    Directive readDirective()
    {
        Directive S;
        // Index first: "%1:s"; digits not followed by ':' are the width.
        const size_t Start = Pos;
        int Index = 0;
        while (Pos < Pattern.size() && Pattern[Pos] >= '0' && Pattern[Pos] <= '9')
            Index = std::min(Index * 10 + (Pattern[Pos++] - '0'), 1000000);
        if (Pos > Start && Pos < Pattern.size() && Pattern[Pos] == ':') {
            Next = static_cast<size_t>(Index);
            ++Pos;
        } else {
            Pos = Start;
        }
        if (Pos < Pattern.size() && Pattern[Pos] == '-') {
            S.leftJustify = true;
            ++Pos;
        }
        S.width = readNumber();
        if (Pos < Pattern.size() && Pattern[Pos] == '.') {
            ++Pos;
            S.precision = readNumber().value_or(0);
        }
        if (Pos >= Pattern.size())
            invalid();
        S.type = static_cast<char>(Pattern[Pos++] | 0x20); // lower case
        return S;
    }

    std::string convert(const Directive& S)
    {
        const TVarRec& A = nextArg();
        const bool IsInt = A.kind() == TVarRec::Kind::Integer || A.kind() == TVarRec::Kind::Int64;
        const int Precision = S.precision.value_or(-1);
        switch (S.type) {
        case 'd':
            if (!IsInt)
                invalid();
            return withMinDigits(std::to_string(A.integer()), Precision);
        case 'u':
            if (!IsInt)
                invalid();
            return withMinDigits(std::to_string(unsignedBits(A)), Precision);
        case 'x':
            if (!IsInt)
                invalid();
            return withMinDigits(IntToHex(static_cast<int64_t>(unsignedBits(A)), 0), Precision);
        case 'p':
            if (A.kind() != TVarRec::Kind::Pointer)
                invalid();
            return IntToHex(A.integer(), 8);
        case 's':
            if (A.kind() != TVarRec::Kind::String)
                invalid();
            return std::string(Precision >= 0 ? A.string().substr(0, Precision) : A.string());
        case 'f':
        case 'n':
        case 'e':
        case 'g':
            if (A.kind() != TVarRec::Kind::Float)
                invalid();
            return floatText(S.type, A.floating(), Precision);
        default: invalid();
        }
    }

    /// A 32-bit value shows its 32-bit two's complement, as it did where int was the only integer.
    static uint64_t unsignedBits(const TVarRec& A)
    {
        if (A.kind() == TVarRec::Kind::Integer)
            return static_cast<uint32_t>(A.integer());
        return static_cast<uint64_t>(A.integer());
    }

    static std::string withMinDigits(std::string Digits, int MinDigits)
    {
        const size_t Sign = !Digits.empty() && Digits[0] == '-' ? 1 : 0;
        if (MinDigits > 0 && Digits.size() - Sign < static_cast<size_t>(MinDigits))
            Digits.insert(Sign, MinDigits - (Digits.size() - Sign), '0');
        return Digits;
    }

    static std::string floatText(char Type, double Value, int Precision)
    {
        switch (Type) {
        case 'f': return FloatToStrF(Value, ffFixed, 18, Precision < 0 ? 2 : Precision);
        case 'n': return FloatToStrF(Value, ffNumber, 18, Precision < 0 ? 2 : Precision);
        case 'e': return FloatToStrF(Value, ffExponent, Precision < 0 ? 15 : Precision, 3);
        default: return FloatToStrF(Value, ffGeneral, Precision < 0 ? 15 : Precision, 0);
        }
    }

    void pad(const std::string& Text, const Directive& S)
    {
        const size_t Width = static_cast<size_t>(std::max(0, S.width.value_or(0)));
        const size_t Fill = Text.size() < Width ? Width - Text.size() : 0;
        if (!S.leftJustify)
            Out.append(Fill, ' ');
        Out += Text;
        if (S.leftJustify)
            Out.append(Fill, ' ');
    }

    std::string_view Pattern;
    std::initializer_list<TVarRec> Args; // Format's own argument, alive for the whole call
    std::string Out;
    size_t Next = 0;
    size_t Pos = 0;
    size_t DirectiveStart = 0;
};

} // namespace

std::string Format(std::string_view Pattern, std::initializer_list<TVarRec> Args)
{
    return Formatter(Pattern, Args).run();
}
