//===- form_resource.cpp - Fuzzes the parser of the text form format -----===//
//
// What parses is written out again in the same format (integers in decimal, reals in their
// shortest exact form, strings as quoted runs and #nnn codes) and must parse to the same tree.
//
#include "platform/ui/components/FormResource.h"

#include <charconv>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

namespace {

void check(bool Holds)
{
    if (!Holds)
        std::abort();
}

void WriteValue(const TFormValue& V, std::string& Out);

void WriteString(const std::string& Text, std::string& Out)
{
    if (Text.empty()) {
        Out += "''";
        return;
    }
    bool Quoted = false;
    for (const char C : Text) {
        const auto B = static_cast<uint8_t>(C);
        const bool Plain = B >= 0x20 && B < 0x7F && C != '\'';
        if (Plain != Quoted) {
            Out += '\'';
            Quoted = Plain;
        }
        if (Plain)
            Out += C;
        else
            Out += "#" + std::to_string(B);
    }
    if (Quoted)
        Out += '\'';
}

void WriteValue(const TFormValue& V, std::string& Out)
{
    switch (V.Kind) {
    case TFormValueKind::Integer: Out += std::to_string(V.Integer); break;
    case TFormValueKind::Float: {
        char Text[64];
        const auto R = std::to_chars(Text, Text + sizeof Text, V.Float);
        std::string S(Text, R.ptr);
        if (S.find_first_of(".eE") == std::string::npos)
            S += ".0";
        Out += S;
        break;
    }
    case TFormValueKind::String: WriteString(V.Text, Out); break;
    case TFormValueKind::Ident: Out += V.Text; break;
    case TFormValueKind::Set:
        Out += '[';
        for (size_t I = 0; I < V.Elements.size(); ++I)
            Out += (I ? ", " : "") + V.Elements[I];
        Out += ']';
        break;
    case TFormValueKind::List:
        Out += "(\n";
        for (const TFormValue& Item : V.Items) {
            WriteValue(Item, Out);
            Out += '\n';
        }
        Out += ')';
        break;
    case TFormValueKind::Binary: {
        static const char Hex[] = "0123456789ABCDEF";
        Out += "{\n";
        for (const uint8_t B : V.Bytes)
            Out += { Hex[B >> 4], Hex[B & 15] };
        Out += "\n}";
        break;
    }
    }
}

void WriteObject(const TFormObject& O, std::string& Out)
{
    Out += "object " + (O.Name.empty() ? O.ClassName : O.Name + ": " + O.ClassName) + "\n";
    for (const TFormProperty& P : O.Properties) {
        Out += P.Path + " = ";
        WriteValue(P.Value, Out);
        Out += '\n';
    }
    for (const TFormObject& Child : O.Children)
        WriteObject(Child, Out);
    Out += "end\n";
}

bool SameValue(const TFormValue& A, const TFormValue& B)
{
    if (A.Kind != B.Kind || A.Integer != B.Integer || std::memcmp(&A.Float, &B.Float, sizeof A.Float) != 0
        || A.Text != B.Text || A.Elements != B.Elements || A.Bytes != B.Bytes || A.Items.size() != B.Items.size())
        return false;
    for (size_t I = 0; I < A.Items.size(); ++I)
        if (!SameValue(A.Items[I], B.Items[I]))
            return false;
    return true;
}

bool SameObject(const TFormObject& A, const TFormObject& B)
{
    if (A.Name != B.Name || A.ClassName != B.ClassName || A.Properties.size() != B.Properties.size()
        || A.Children.size() != B.Children.size())
        return false;
    for (size_t I = 0; I < A.Properties.size(); ++I)
        if (A.Properties[I].Path != B.Properties[I].Path || !SameValue(A.Properties[I].Value, B.Properties[I].Value))
            return false;
    for (size_t I = 0; I < A.Children.size(); ++I)
        if (!SameObject(A.Children[I], B.Children[I]))
            return false;
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size)
{
    const std::string_view Text(reinterpret_cast<const char*>(Data), Size);
    TFormObject Root;
    try {
        Root = ParseFormResource("FUZZ", Text);
    } catch (const EParserError&) {
        return 0;
    }
    std::string Again;
    WriteObject(Root, Again);
    try {
        check(SameObject(ParseFormResource("FUZZ", Again), Root));
    } catch (const EParserError& E) {
        // What the parser took, written out plainly, it takes again.
        std::fprintf(stderr, "%s\n%s\n", E.Message().c_str(), Again.c_str());
        std::abort();
    }
    return 0;
}
