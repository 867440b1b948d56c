//===- Colors.cpp - The colour identifiers ---------------------------------===//
#include "platform/ui/components/Colors.h"

#include "platform/rtl/AnsiString.h"

namespace {

struct ColorName {
    std::string_view Name;
    TColor Color;
};

constexpr ColorName ColorNames[] = {
    { "clBlack", clBlack },
    { "clMaroon", clMaroon },
    { "clGreen", clGreen },
    { "clOlive", clOlive },
    { "clNavy", clNavy },
    { "clPurple", clPurple },
    { "clTeal", clTeal },
    { "clGray", clGray },
    { "clSilver", clSilver },
    { "clRed", clRed },
    { "clLime", clLime },
    { "clYellow", clYellow },
    { "clBlue", clBlue },
    { "clFuchsia", clFuchsia },
    { "clAqua", clAqua },
    { "clWhite", clWhite },
    { "clScrollBar", clScrollBar },
    { "clBackground", clBackground },
    { "clActiveCaption", clActiveCaption },
    { "clInactiveCaption", clInactiveCaption },
    { "clMenu", clMenu },
    { "clWindow", clWindow },
    { "clWindowFrame", clWindowFrame },
    { "clMenuText", clMenuText },
    { "clWindowText", clWindowText },
    { "clCaptionText", clCaptionText },
    { "clActiveBorder", clActiveBorder },
    { "clInactiveBorder", clInactiveBorder },
    { "clAppWorkSpace", clAppWorkSpace },
    { "clHighlight", clHighlight },
    { "clHighlightText", clHighlightText },
    { "clBtnFace", clBtnFace },
    { "clBtnShadow", clBtnShadow },
    { "clGrayText", clGrayText },
    { "clBtnText", clBtnText },
    { "clInactiveCaptionText", clInactiveCaptionText },
    { "clBtnHighlight", clBtnHighlight },
    { "cl3DDkShadow", cl3DDkShadow },
    { "cl3DLight", cl3DLight },
    { "clInfoText", clInfoText },
    { "clInfoBk", clInfoBk },
    { "clNone", clNone },
    { "clDefault", clDefault },
};

} // namespace

std::optional<TColor> IdentToColor(std::string_view Ident)
{
    for (const ColorName& C : ColorNames)
        if (SameText(C.Name, Ident))
            return C.Color;
    return std::nullopt;
}

std::string_view ColorToIdent(TColor Color)
{
    for (const ColorName& C : ColorNames)
        if (C.Color == Color)
            return C.Name;
    return {};
}
