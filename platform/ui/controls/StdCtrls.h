//===- StdCtrls.h - Labels, push buttons, check boxes, radio buttons, group boxes -*- C++ -*-===//
#pragma once

#include "platform/ui/controls/TGraphicControl.h"
#include "platform/ui/controls/TWinControl.h"
#include "platform/ui/controls/UiTypes.h"

#include <string>
#include <string_view>

/// True when Caption marks Key as its accelerator ("&Start" and 's' or 'S'); "&&" is a plain '&'.
bool IsAccel(char Key, std::string_view Caption);

/// Text on the parent's background. '&' underlines the next character (ShowAccelChar), CR LF and
/// LF break lines. With AutoSize the label takes the size of its text whenever text or font change.
class TLabel : public TGraphicControl {
public:
    explicit TLabel(TComponent* AOwner);

    TAlignment GetAlignment() const { return FAlignment; }
    void SetAlignment(TAlignment Value);
    bool GetAutoSize() const { return FAutoSize; }
    void SetAutoSize(bool Value);
    /// False fills the label's rectangle with Color first.
    bool GetTransparent() const { return FTransparent; }
    void SetTransparent(bool Value);
    bool GetWordWrap() const { return FWordWrap; }
    void SetWordWrap(bool Value);
    bool GetShowAccelChar() const { return FShowAccelChar; }
    void SetShowAccelChar(bool Value);

protected:
    void Paint() override;
    void TextChanged() override;
    void FontChanged() override;
    void Loaded() override;

private:
    unsigned textFormat() const;
    void adjustBounds();

    TAlignment FAlignment = taLeftJustify;
    bool FAutoSize = true;
    bool FTransparent = false;
    bool FWordWrap = false;
    bool FShowAccelChar = true;
};

/// A push button. Click sets the form's ModalResult to the button's (when not mrNone), then
/// raises OnClick. Enter presses the form's Default button and Escape its Cancel button; the
/// caption's accelerator presses it too.
class TButton : public TWinControl {
public:
    explicit TButton(TComponent* AOwner);

    bool GetDefault() const { return FDefault; }
    void SetDefault(bool Value);
    bool Cancel = false;
    TModalResult ModalResult = mrNone;

    /// Presses the button as the operator would.
    void Click() override;

protected:
    bool DialogChar(char Key) override;

private:
    std::unique_ptr<ui_private::View> CreateView() override;

    bool FDefault = false;
};

enum class TCheckBoxState { cbUnchecked, cbChecked, cbGrayed };
using enum TCheckBoxState;

/// A check box. Every change of Checked, by the operator or by the program, raises OnClick.
class TCheckBox : public TWinControl {
public:
    explicit TCheckBox(TComponent* AOwner);

    bool GetChecked() const { return FState == cbChecked; }
    void SetChecked(bool Value) { SetState(Value ? cbChecked : cbUnchecked); }
    TCheckBoxState GetState() const { return FState; }
    void SetState(TCheckBoxState Value);
    bool AllowGrayed = false;

protected:
    bool DialogChar(char Key) override;

private:
    friend class ui_private::Access;
    std::unique_ptr<ui_private::View> CreateView() override;
    /// The operator toggled it.
    void toggle();

    TCheckBoxState FState = cbUnchecked;
};

/// A radio button: checking one unchecks the other radio buttons of the same parent; becoming
/// checked raises OnClick.
class TRadioButton : public TWinControl {
public:
    explicit TRadioButton(TComponent* AOwner);

    bool GetChecked() const { return FChecked; }
    void SetChecked(bool Value);

protected:
    bool DialogChar(char Key) override;

private:
    friend class ui_private::Access;
    std::unique_ptr<ui_private::View> CreateView() override;

    bool FChecked = false;
};

/// A framed group with a caption; its children sit in its client area.
class TGroupBox : public TWinControl {
public:
    explicit TGroupBox(TComponent* AOwner);

private:
    std::unique_ptr<ui_private::View> CreateView() override;
};
