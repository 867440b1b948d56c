//===- ExtCtrls.h - Bevels, images and radio groups -*- C++ -*-===//
#pragma once

#include "platform/rtl/TStringList.h"
#include "platform/ui/graphics/TGraphic.h"
#include "platform/ui/controls/TGraphicControl.h"
#include "platform/ui/controls/TWinControl.h"

#include <memory>

enum class TBevelShape { bsBox, bsFrame, bsTopLine, bsBottomLine, bsLeftLine, bsRightLine, bsSpacer };
using enum TBevelShape;
inline constexpr EnumIdent TBevelShapeIdents[] = {
    { "bsBox", bsBox },           { "bsFrame", bsFrame },
    { "bsTopLine", bsTopLine },   { "bsBottomLine", bsBottomLine },
    { "bsLeftLine", bsLeftLine }, { "bsRightLine", bsRightLine },
    { "bsSpacer", bsSpacer },
};
inline constexpr TEnumType<TBevelShape> TBevelShapeType { "TBevelShape", TBevelShapeIdents };

enum class TBevelStyle { bsLowered, bsRaised };
using enum TBevelStyle;
inline constexpr EnumIdent TBevelStyleIdents[] = { { "bsLowered", bsLowered }, { "bsRaised", bsRaised } };
inline constexpr TEnumType<TBevelStyle> TBevelStyleType { "TBevelStyle", TBevelStyleIdents };

/// An etched box, frame or line in the button shadow and highlight colours.
class TBevel : public TGraphicControl {
public:
    explicit TBevel(TComponent* AOwner);

    TBevelShape GetShape() const { return FShape; }
    void SetShape(TBevelShape Value);
    TBevelStyle GetStyle() const { return FStyle; }
    void SetStyle(TBevelStyle Value);

protected:
    void Paint() override;

private:
    TBevelShape FShape = bsBox;
    TBevelStyle FStyle = bsLowered;
};

/// Shows its Picture at the top-left (Center: in the middle; Stretch: filling the control).
class TImage : public TGraphicControl {
public:
    explicit TImage(TComponent* AOwner);
    ~TImage() override;

    TPicture* GetPicture() const { return FPicture.get(); }
    void SetPicture(const TPicture& Value) { FPicture->Assign(Value); }
    bool GetStretch() const { return FStretch; }
    void SetStretch(bool Value);
    bool GetCenter() const { return FCenter; }
    void SetCenter(bool Value);
    /// The picture leaves the parent visible where it holds its transparent colour.
    bool GetTransparent() const { return FTransparent; }
    void SetTransparent(bool Value);

protected:
    void Paint() override;

private:
    std::unique_ptr<TPicture> FPicture;
    bool FStretch = false;
    bool FCenter = false;
    bool FTransparent = false;
};

/// A group box of radio buttons, one per line of Items, arranged in Columns. ItemIndex is the
/// checked one (-1: none); the operator's choice raises OnClick.
class TRadioGroup : public TWinControl {
public:
    explicit TRadioGroup(TComponent* AOwner);

    const TStringList& GetItems() const { return FItems; }
    void SetItems(const TStringList& Value);
    int GetItemIndex() const { return FItemIndex; }
    /// Values outside the items become -1.
    void SetItemIndex(int Value);
    int GetColumns() const { return FColumns; }
    /// At least 1.
    void SetColumns(int Value);

protected:
    void Resize() override;
    void Loaded() override;

private:
    friend class ui_private::Access;
    std::unique_ptr<ui_private::View> CreateView() override;
    void itemsChanged();
    /// The operator checked button Index.
    void chosen(int Index);

    TStringList FItems;
    int FItemIndex = -1;
    int FColumns = 1;
};
