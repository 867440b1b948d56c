//===- FormResource.cpp - The parser of the text form format --------------===//
#include "platform/ui/components/FormResource.h"

#include "platform/ui/components/UiConsts.h"

#include "platform/rtl/AnsiString.h"
#include "platform/rtl/Format.h"

#include <charconv>
#include <optional>

namespace {

enum class TokenKind { End, Ident, Integer, Float, String, Symbol };

struct Token {
    TokenKind Kind = TokenKind::End;
    std::string Text; // Ident: the name; String: the characters
    int64_t Integer = 0;
    double Float = 0;
    char Symbol = 0;
    int Line = 1;
};

bool isLetter(char C) { return (C >= 'A' && C <= 'Z') || (C >= 'a' && C <= 'z') || C == '_'; }
bool isDigit(char C) { return C >= '0' && C <= '9'; }
bool isHexDigit(char C) { return isDigit(C) || (C >= 'A' && C <= 'F') || (C >= 'a' && C <= 'f'); }
int hexValue(char C) { return isDigit(C) ? C - '0' : (C | 0x20) - 'a' + 10; }

// How a character appears in a message: 'x' when printable, else its code.
std::string shown(char C)
{
    const auto Code = static_cast<unsigned char>(C);
    if (Code > 32 && Code < 127)
        return std::string("'") + C + "'";
    return "#" + std::to_string(Code);
}

class Lexer {
public:
    Lexer(std::string_view Resource, std::string_view Text) : FResource(Resource), FText(Text)
    {
        if (FText.starts_with("\xEF\xBB\xBF"))
            FPos = 3;
    }

    const Token& peek()
    {
        if (!FPeeked)
            FPeeked = scan();
        return *FPeeked;
    }

    Token next()
    {
        Token T = peek();
        FPeeked.reset();
        return T;
    }

    /// The hex digits after a '{' up to the '}'; call right after taking the '{'.
    std::vector<uint8_t> binary(int StartLine);

    [[noreturn]] void fail(int Line, const std::string& Reason) const
    {
        throw EParserError(std::string(FResource), Line, Reason);
    }

private:
    bool atEnd() const { return FPos >= FText.size(); }
    char at(size_t Pos) const { return Pos < FText.size() ? FText[Pos] : '\0'; }
    void skipBlanks();
    Token scan();
    Token scanIdent();
    Token scanNumber();
    Token scanString();
    void scanCharCode(std::string& Into);

    std::string_view FResource;
    std::string_view FText;
    size_t FPos = 0;
    int FLine = 1;
    std::optional<Token> FPeeked;
};

void Lexer::skipBlanks()
{
    while (!atEnd()) {
        const char C = FText[FPos];
        if (C == '\n' || (C == '\r' && at(FPos + 1) != '\n'))
            ++FLine;
        else if (C != ' ' && C != '\t' && C != '\r')
            return;
        ++FPos;
    }
}

Token Lexer::scan()
{
    skipBlanks();
    if (atEnd()) {
        Token T;
        T.Line = FLine;
        return T;
    }
    const char C = FText[FPos];
    if (isLetter(C))
        return scanIdent();
    if (isDigit(C) || C == '$' || C == '-')
        return scanNumber();
    if (C == '\'' || C == '#')
        return scanString();
    if (std::string_view("=:[](),{}<>+").find(C) != std::string_view::npos) {
        Token T;
        T.Kind = TokenKind::Symbol;
        T.Symbol = C;
        T.Line = FLine;
        ++FPos;
        return T;
    }
    fail(FLine, Format(SInvalidCharacter, { shown(C) }));
}

Token Lexer::scanIdent()
{
    Token T;
    T.Kind = TokenKind::Ident;
    T.Line = FLine;
    const size_t Start = FPos;
    for (;;) {
        while (isLetter(at(FPos)) || isDigit(at(FPos)))
            ++FPos;
        // Dotted names are one token: Font.Style, Form2.PopupMenu1.
        if (at(FPos) == '.' && isLetter(at(FPos + 1)))
            ++FPos;
        else
            break;
    }
    T.Text = std::string(FText.substr(Start, FPos - Start));
    return T;
}

Token Lexer::scanNumber()
{
    Token T;
    T.Line = FLine;
    const size_t Start = FPos;
    const bool Negative = at(FPos) == '-';
    if (Negative)
        ++FPos;
    const auto Bad = [&] {
        while (isLetter(at(FPos)) || isDigit(at(FPos)) || at(FPos) == '.')
            ++FPos;
        fail(T.Line, Format(SInvalidNumber, { std::string(FText.substr(Start, FPos - Start)) }));
    };

    if (at(FPos) == '$') {
        const size_t Digits = ++FPos;
        while (isHexDigit(at(FPos)))
            ++FPos;
        const size_t Count = FPos - Digits;
        if (Count == 0 || Count > 16 || isLetter(at(FPos)))
            Bad();
        uint64_t Bits = 0;
        for (size_t I = Digits; I < FPos; ++I)
            Bits = Bits << 4 | static_cast<uint64_t>(hexValue(FText[I]));
        // Up to 8 digits is a 32-bit pattern, as colours like $8000000F are written.
        const int64_t Value =
            Count <= 8 ? static_cast<int32_t>(static_cast<uint32_t>(Bits)) : static_cast<int64_t>(Bits);
        T.Kind = TokenKind::Integer;
        T.Integer = Negative ? -Value : Value;
        return T;
    }

    if (!isDigit(at(FPos)))
        fail(T.Line, Format(SInvalidCharacter, { shown('-') }));
    while (isDigit(at(FPos)))
        ++FPos;
    bool IsFloat = false;
    if (at(FPos) == '.' && isDigit(at(FPos + 1))) {
        IsFloat = true;
        for (++FPos; isDigit(at(FPos));)
            ++FPos;
    }
    if ((at(FPos) == 'E' || at(FPos) == 'e')
        && (isDigit(at(FPos + 1)) || ((at(FPos + 1) == '+' || at(FPos + 1) == '-') && isDigit(at(FPos + 2))))) {
        IsFloat = true;
        FPos += 2;
        while (isDigit(at(FPos)))
            ++FPos;
    }
    if (isLetter(at(FPos)) || at(FPos) == '.')
        Bad();

    const char* First = FText.data() + Start;
    const char* Last = FText.data() + FPos;
    if (IsFloat) {
        T.Kind = TokenKind::Float;
        const auto R = std::from_chars(First, Last, T.Float);
        if (R.ec != std::errc())
            Bad();
    } else {
        T.Kind = TokenKind::Integer;
        const auto R = std::from_chars(First, Last, T.Integer);
        if (R.ec != std::errc())
            Bad();
    }
    return T;
}

// A string is quoted parts and #nn codes written without blanks between them: 'a'#13#10'b'.
Token Lexer::scanString()
{
    Token T;
    T.Kind = TokenKind::String;
    T.Line = FLine;
    for (;;) {
        if (at(FPos) == '#') {
            scanCharCode(T.Text);
        } else if (at(FPos) == '\'') {
            for (++FPos;; ++FPos) {
                if (atEnd() || FText[FPos] == '\n' || FText[FPos] == '\r')
                    fail(T.Line, SUnterminatedString);
                if (FText[FPos] == '\'') {
                    if (at(FPos + 1) != '\'')
                        break;
                    ++FPos; // '' is one quote
                }
                T.Text += FText[FPos];
            }
            ++FPos;
        } else {
            return T;
        }
    }
}

void Lexer::scanCharCode(std::string& Into)
{
    ++FPos;
    const bool Hex = at(FPos) == '$';
    if (Hex)
        ++FPos;
    const size_t Digits = FPos;
    int Code = 0;
    while (Hex ? isHexDigit(at(FPos)) : isDigit(at(FPos))) {
        Code = Code * (Hex ? 16 : 10) + hexValue(FText[FPos]);
        if (Code > 0xFFFF)
            Code = 0x10000; // far enough out of range; keeps the sum from overflowing
        ++FPos;
    }
    if (FPos == Digits)
        fail(FLine, Format(SExpected, { "Character code" }));
    if (Code > 255)
        fail(FLine, Format(SCharCodeRange, { Code }));
    Into += static_cast<char>(Code);
}

std::vector<uint8_t> Lexer::binary(int StartLine)
{
    std::vector<uint8_t> Bytes;
    int Pending = -1;
    for (;;) {
        skipBlanks();
        if (atEnd())
            fail(FLine, Format(SExpected, { "'}' of the binary data from line " + std::to_string(StartLine) }));
        const char C = FText[FPos++];
        if (C == '}')
            break;
        if (!isHexDigit(C))
            fail(FLine, Format(SInvalidCharacter, { shown(C) }));
        if (Pending < 0) {
            Pending = hexValue(C);
        } else {
            Bytes.push_back(static_cast<uint8_t>(Pending << 4 | hexValue(C)));
            Pending = -1;
        }
    }
    if (Pending >= 0)
        fail(FLine, SOddBinary);
    return Bytes;
}

/// Objects and lists nest by recursion; real forms stay below ten levels, and a damaged or
/// hostile resource must get an error instead of overflowing the stack.
constexpr int MaxNesting = 100;

class Parser {
public:
    Parser(std::string_view Resource, std::string_view Text) : FLex(Resource, Text) {}

    TFormObject root()
    {
        TFormObject Root = object();
        if (FLex.peek().Kind != TokenKind::End)
            FLex.fail(FLex.peek().Line, STextAfterEnd);
        return Root;
    }

private:
    static bool isWord(const Token& T, std::string_view Word)
    {
        return T.Kind == TokenKind::Ident && SameText(T.Text, Word);
    }
    static bool isSymbol(const Token& T, char C) { return T.Kind == TokenKind::Symbol && T.Symbol == C; }
    static bool startsObject(const Token& T)
    {
        return isWord(T, "object") || isWord(T, "inherited") || isWord(T, "inline");
    }

    TFormObject object();
    TFormValue value();
    void setOf(TFormValue& V);
    void listOf(TFormValue& V);
    Token expectIdent(const char* What);

    /// One level of nesting while it lives; refuses the level past MaxNesting.
    class Level {
    public:
        Level(Parser& P, int Line) : FDepth(P.FDepth)
        {
            if (++FDepth > MaxNesting)
                P.FLex.fail(Line, Format(SNestedTooDeep, { MaxNesting }));
        }
        ~Level() { --FDepth; }
        Level(const Level&) = delete;
        Level& operator=(const Level&) = delete;

    private:
        int& FDepth;
    };

    Lexer FLex;
    int FDepth = 0;
};

TFormObject Parser::object()
{
    const Token Start = FLex.next();
    if (isWord(Start, "inherited") || isWord(Start, "inline"))
        FLex.fail(Start.Line, Format(SNotSupported, { "'" + LowerCase(Start.Text) + "' objects" }));
    if (!isWord(Start, "object"))
        FLex.fail(Start.Line, Format(SExpected, { "'object'" }));

    const Level Nested(*this, Start.Line);
    TFormObject O;
    O.Line = Start.Line;
    const Token First = expectIdent("Object name");
    if (isSymbol(FLex.peek(), ':')) {
        FLex.next();
        O.Name = First.Text;
        O.ClassName = expectIdent("Class name").Text;
    } else {
        O.ClassName = First.Text;
    }

    for (;;) {
        const Token& T = FLex.peek();
        if (T.Kind == TokenKind::End)
            FLex.fail(T.Line, Format(SMissingEnd, { O.Name.empty() ? O.ClassName : O.Name, O.Line }));
        if (isWord(T, "end")) {
            FLex.next();
            return O;
        }
        if (startsObject(T)) {
            O.Children.push_back(object());
            continue;
        }
        const Token Path = expectIdent("Property name, 'object' or 'end'");
        const Token Equals = FLex.next();
        if (!isSymbol(Equals, '='))
            FLex.fail(Equals.Line, Format(SExpected, { "'='" }));
        TFormProperty P;
        P.Path = Path.Text;
        P.Line = Path.Line;
        P.Value = value();
        O.Properties.push_back(std::move(P));
    }
}

Token Parser::expectIdent(const char* What)
{
    Token T = FLex.next();
    if (T.Kind != TokenKind::Ident)
        FLex.fail(T.Line, Format(SExpected, { What }));
    return T;
}

TFormValue Parser::value()
{
    Token T = FLex.next();
    TFormValue V;
    V.Line = T.Line;
    switch (T.Kind) {
    case TokenKind::Integer:
        V.Kind = TFormValueKind::Integer;
        V.Integer = T.Integer;
        return V;
    case TokenKind::Float:
        V.Kind = TFormValueKind::Float;
        V.Float = T.Float;
        return V;
    case TokenKind::Ident:
        V.Kind = TFormValueKind::Ident;
        V.Text = std::move(T.Text);
        return V;
    case TokenKind::String:
        V.Kind = TFormValueKind::String;
        V.Text = std::move(T.Text);
        // 'part one' + (line break) 'part two': long strings are split this way.
        while (isSymbol(FLex.peek(), '+')) {
            FLex.next();
            const Token More = FLex.next();
            if (More.Kind != TokenKind::String)
                FLex.fail(More.Line, Format(SExpected, { "String" }));
            V.Text += More.Text;
        }
        return V;
    case TokenKind::Symbol:
        if (T.Symbol == '[') {
            setOf(V);
            return V;
        }
        if (T.Symbol == '(') {
            const Level Nested(*this, T.Line);
            listOf(V);
            return V;
        }
        if (T.Symbol == '{') {
            V.Kind = TFormValueKind::Binary;
            V.Bytes = FLex.binary(T.Line);
            return V;
        }
        if (T.Symbol == '<')
            FLex.fail(T.Line, Format(SNotSupported, { "Collections" }));
        break;
    case TokenKind::End: break;
    }
    FLex.fail(T.Line, Format(SExpected, { "Value" }));
}

void Parser::setOf(TFormValue& V)
{
    V.Kind = TFormValueKind::Set;
    if (isSymbol(FLex.peek(), ']')) {
        FLex.next();
        return;
    }
    for (;;) {
        V.Elements.push_back(expectIdent("Set element").Text);
        const Token T = FLex.next();
        if (isSymbol(T, ']'))
            return;
        if (!isSymbol(T, ','))
            FLex.fail(T.Line, Format(SExpected, { "',' or ']'" }));
    }
}

void Parser::listOf(TFormValue& V)
{
    V.Kind = TFormValueKind::List;
    for (;;) {
        const Token& T = FLex.peek();
        if (isSymbol(T, ')')) {
            FLex.next();
            return;
        }
        if (T.Kind == TokenKind::End)
            FLex.fail(T.Line, Format(SExpected, { "')' of the list from line " + std::to_string(V.Line) }));
        V.Items.push_back(value());
    }
}

} // namespace

EParserError::EParserError(std::string ResourceName, int Line, const std::string& Reason)
    : Exception(Format(SFormErrorAt, { ResourceName, Line, Reason })), FResourceName(std::move(ResourceName)),
      FLine(Line)
{
}

TFormObject ParseFormResource(std::string_view ResourceName, std::string_view Text)
{
    return Parser(ResourceName, Text).root();
}
