//===- TPlotHolder.h - Text rows placed on a form for data series to read -*- C++ -*-===//
#pragma once

#include "platform/rtl/TStringList.h"
#include "platform/ui/components/Events.h"
#include "platform/ui/components/TComponent.h"

#include <cstdint>
#include <string>

enum class TPaddingPolicy { ppTotal, ppExtra };
using enum TPaddingPolicy;
inline constexpr EnumIdent TPaddingPolicyIdents[] = { { "ppTotal", ppTotal }, { "ppExtra", ppExtra } };
inline constexpr TEnumType<TPaddingPolicy> TPaddingPolicyType { "TPaddingPolicy", TPaddingPolicyIdents };

/// Rows of text that a series with DataSource 5 finds by the holder's ID. The separators,
/// markers, padding policies and pad counts are only stored with the form: the series splits
/// the rows with its own separators and markers.
class TPlotHolder : public TComponent {
public:
    explicit TPlotHolder(TComponent* AOwner);

    const TStringList& Getdata() const { return Fdata; }
    /// Copies the rows, then raises OnChange.
    void Setdata(const TStringList& Value);
    /// The key by which a series finds the holder (compared exactly).
    std::string ID;
    /// Shown and set with the letter T in place of the first TAB.
    std::string GetTextseparators() const;
    void SetTextseparators(const std::string& Value);
    std::string TextMarkers = "'\"";
    TPaddingPolicy XPaddingPolicy = ppExtra;
    TPaddingPolicy YPaddingPolicy = ppExtra;
    int32_t XPadCount = 2;
    int32_t YPadCount = 10;
    TNotifyEvent OnChange;

private:
    TStringList Fdata;
    std::string FTextseparators = "\t,";
};

/// The first holder with this ID among the components of the data modules, then of the forms,
/// each in the screen's order; nullptr when none has it.
const TPlotHolder* FindPlotHolder(const std::string& ID);
