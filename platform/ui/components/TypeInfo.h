//===- TypeInfo.h - Enumeration identifiers and sets of enumerations -*- C++ -*-===//
//
// Form resources spell enumeration values by name (LedOnColor = Gruen) and sets as lists of
// names (Style = [fsBold, fsItalic]); these tables connect the names to the C++ values.
//
#pragma once

#include <cassert>
#include <cstdint>
#include <initializer_list>
#include <optional>
#include <span>
#include <string_view>
#include <type_traits>

/// One identifier of an enumeration as form resources spell it, and its value.
struct EnumIdent {
    template <class E>
    requires std::is_enum_v<E> || std::is_integral_v<E>
    constexpr EnumIdent(std::string_view AName, E AValue) : Name(AName), Value(static_cast<int>(AValue)) {}

    std::string_view Name;
    int Value;
};

/// The identifiers of one enumeration type. Tables are constant arrays, so a class may publish
/// them before (or while) static initialisation runs.
class EnumType {
public:
    constexpr EnumType(std::string_view Name, std::span<const EnumIdent> Idents) : FName(Name), FIdents(Idents) {}

    std::string_view Name() const { return FName; }
    std::span<const EnumIdent> Idents() const { return FIdents; }
    /// The value of Ident, matched without regard to case; nothing for an unknown identifier.
    std::optional<int> ValueOf(std::string_view Ident) const;
    /// The first identifier with that value; empty when none has it.
    std::string_view IdentOf(int Value) const;

private:
    std::string_view FName;
    std::span<const EnumIdent> FIdents;
};

/// An identifier table tied to its C++ enumeration E: a property of type E (or a set of E) can
/// only be published with the table of E.
///   inline constexpr EnumIdent TFontStyleIdents[] = { { "fsBold", fsBold }, { "fsItalic", fsItalic } };
///   inline constexpr TEnumType<TFontStyle> TFontStyleType { "TFontStyle", TFontStyleIdents };
template <class E>
class TEnumType : public EnumType {
public:
    using EnumType::EnumType;
};

/// A set of enumeration values 0..63, the class library's "set of" type.
template <class E>
class TSet {
    static_assert(std::is_enum_v<E>, "TSet holds values of an enumeration");

public:
    constexpr TSet() = default;
    constexpr TSet(std::initializer_list<E> Items)
    {
        for (E Item : Items)
            Include(Item);
    }
    /// Bit n stands for the value n.
    static constexpr TSet FromBits(uint64_t Bits)
    {
        TSet S;
        S.FBits = Bits;
        return S;
    }

    constexpr uint64_t Bits() const { return FBits; }
    constexpr bool Contains(E Item) const { return (FBits & bit(Item)) != 0; }
    constexpr bool Empty() const { return FBits == 0; }
    constexpr TSet& Include(E Item)
    {
        FBits |= bit(Item);
        return *this;
    }
    constexpr TSet& Exclude(E Item)
    {
        FBits &= ~bit(Item);
        return *this;
    }

    friend constexpr TSet operator+(TSet A, TSet B) { return FromBits(A.FBits | B.FBits); }
    friend constexpr TSet operator-(TSet A, TSet B) { return FromBits(A.FBits & ~B.FBits); }
    friend constexpr TSet operator*(TSet A, TSet B) { return FromBits(A.FBits & B.FBits); }
    friend constexpr bool operator==(TSet A, TSet B) = default;

private:
    static constexpr uint64_t bit(E Item)
    {
        const auto N = static_cast<int64_t>(Item);
        assert(N >= 0 && N < 64 && "a set holds enumeration values 0..63");
        return uint64_t(1) << N;
    }

    uint64_t FBits = 0;
};
