//===- TypeInfo.cpp - Enumeration identifiers ------------------------------===//
#include "platform/ui/components/TypeInfo.h"

#include "platform/rtl/AnsiString.h"

std::optional<int> EnumType::ValueOf(std::string_view Ident) const
{
    for (const EnumIdent& I : FIdents)
        if (SameText(I.Name, Ident))
            return I.Value;
    return std::nullopt;
}

std::string_view EnumType::IdentOf(int Value) const
{
    for (const EnumIdent& I : FIdents)
        if (I.Value == Value)
            return I.Name;
    return {};
}
