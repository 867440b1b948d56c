//===- StdCtrls.cpp - Labels, push buttons, check boxes, radio buttons, group boxes ===//
#include "platform/ui/controls/StdCtrls.h"

#include "platform/ui/qt/Access_p.h"
#include "platform/ui/components/Published.h"
#include "platform/ui/qt/QtConvert_p.h"
#include "platform/ui/graphics/TCanvas.h"
#include "platform/ui/forms/TForm.h"
#include "platform/ui/qt/View_p.h"

#include "platform/gdi/Gdi.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QKeySequence>
#include <QPushButton>
#include <QRadioButton>

#include <cctype>

namespace {

const PublishedClass& LabelClass = PublishClass<TLabel, TGraphicControl>("TLabel", [](Published<TLabel>& P) {
    P.Enum("Alignment", TAlignmentType, &TLabel::GetAlignment, &TLabel::SetAlignment);
    P.Bool("AutoSize", &TLabel::GetAutoSize, &TLabel::SetAutoSize);
    P.Bool("Transparent", &TLabel::GetTransparent, &TLabel::SetTransparent);
    P.Bool("WordWrap", &TLabel::GetWordWrap, &TLabel::SetWordWrap);
    P.Bool("ShowAccelChar", &TLabel::GetShowAccelChar, &TLabel::SetShowAccelChar);
});

const PublishedClass& ButtonClass = PublishClass<TButton, TWinControl>("TButton", [](Published<TButton>& P) {
    P.Bool("Default", &TButton::GetDefault, &TButton::SetDefault);
    P.Bool("Cancel", &TButton::Cancel);
    P.Int("ModalResult", &TButton::ModalResult);
});

const PublishedClass& CheckBoxClass = PublishClass<TCheckBox, TWinControl>("TCheckBox", [](Published<TCheckBox>& P) {
    P.Bool("Checked", &TCheckBox::GetChecked, &TCheckBox::SetChecked);
    P.Bool("AllowGrayed", &TCheckBox::AllowGrayed);
});

const PublishedClass& RadioButtonClass =
    PublishClass<TRadioButton, TWinControl>("TRadioButton", [](Published<TRadioButton>& P) {
        P.Bool("Checked", &TRadioButton::GetChecked, &TRadioButton::SetChecked);
    });

const PublishedClass& GroupBoxClass = PublishClass<TGroupBox, TWinControl>("TGroupBox");

/// A check box or radio button that takes the mouse on its whole area, as the original's do;
/// Qt's own take it only on the box and the text.
template <class QBox>
class WholeAreaButton : public ui_private::Bridge<QBox> {
public:
    using ui_private::Bridge<QBox>::Bridge;

protected:
    bool hitButton(const QPoint& Pos) const override { return this->rect().contains(Pos); }
};

/// Qt would make its own shortcut from '&'; the form handles accelerators itself.
template <class W>
void setCaption(W* Widget, const std::string& Caption)
{
    Widget->setText(ui_private::toQString(Caption));
    Widget->setShortcut(QKeySequence());
}

class ButtonView : public ui_private::View {
public:
    ButtonView(TButton& Button, QWidget* Parent)
        : View(Button, new ui_private::Bridge<QPushButton>(&Button, Parent)), button_(widget())
    {
        auto* Push = static_cast<QPushButton*>(widget());
        Push->setAutoDefault(false);
        Push->setFocusPolicy(Qt::StrongFocus);
        TControl* Control = &Button;
        QObject::connect(Push, &QPushButton::clicked, Push, [Push, Control] {
            if (dynamic_cast<ui_private::BridgeBase*>(Push)->control)
                ui_private::Access::click(Control);
        });
    }
    void applyText(const std::string& Text) override
    {
        if (button_)
            setCaption(static_cast<QPushButton*>(button_.data()), Text);
    }
    /// The face is the system's button face whatever the control's Color, as on the original.
    void applyColor(TColor) override {}
    void setDefault(bool Value)
    {
        if (button_)
            static_cast<QPushButton*>(button_.data())->setDefault(Value);
    }

private:
    QPointer<QWidget> button_;
};

class CheckBoxView : public ui_private::View {
public:
    CheckBoxView(TCheckBox& Box, QWidget* Parent) : View(Box, new WholeAreaButton<QCheckBox>(&Box, Parent))
    {
        auto* Check = static_cast<QCheckBox*>(widget());
        Check->setFocusPolicy(Qt::StrongFocus);
        TControl* Control = &Box;
        QObject::connect(Check, &QCheckBox::clicked, Check, [Check, Control] {
            if (dynamic_cast<ui_private::BridgeBase*>(Check)->control)
                ui_private::Access::checkBoxToggled(Control);
        });
    }
    void applyText(const std::string& Text) override
    {
        if (widget())
            setCaption(static_cast<QCheckBox*>(widget()), Text);
    }
    void setState(TCheckBoxState State)
    {
        auto* Check = static_cast<QCheckBox*>(widget());
        if (!Check)
            return;
        const QSignalBlocker Quiet(Check);
        Check->setTristate(State == cbGrayed || static_cast<TCheckBox&>(control()).AllowGrayed);
        Check->setCheckState(State == cbChecked  ? Qt::Checked
                             : State == cbGrayed ? Qt::PartiallyChecked
                                                 : Qt::Unchecked);
    }
};

class RadioButtonView : public ui_private::View {
public:
    RadioButtonView(TRadioButton& Button, QWidget* Parent)
        : View(Button, new WholeAreaButton<QRadioButton>(&Button, Parent))
    {
        auto* Radio = static_cast<QRadioButton*>(widget());
        Radio->setFocusPolicy(Qt::StrongFocus);
        TControl* Control = &Button;
        QObject::connect(Radio, &QRadioButton::clicked, Radio, [Radio, Control] {
            if (dynamic_cast<ui_private::BridgeBase*>(Radio)->control)
                ui_private::Access::radioButtonChecked(Control);
        });
    }
    void applyText(const std::string& Text) override
    {
        if (widget())
            setCaption(static_cast<QRadioButton*>(widget()), Text);
    }
    void setChecked(bool Value)
    {
        auto* Radio = static_cast<QRadioButton*>(widget());
        if (!Radio)
            return;
        // The class library unchecks the siblings itself.
        const QSignalBlocker Quiet(Radio);
        Radio->setAutoExclusive(false);
        Radio->setChecked(Value);
        Radio->setAutoExclusive(true);
    }
};

class GroupBoxView : public ui_private::View {
public:
    GroupBoxView(TGroupBox& Box, QWidget* Parent) : View(Box, new ui_private::Bridge<QGroupBox>(&Box, Parent)) {}
    void applyText(const std::string& Text) override
    {
        if (widget())
            static_cast<QGroupBox*>(widget())->setTitle(ui_private::toQString(Text));
    }
};

} // namespace

bool IsAccel(char Key, std::string_view Caption)
{
    for (size_t I = 0; I + 1 < Caption.size(); ++I) {
        if (Caption[I] != '&')
            continue;
        if (Caption[I + 1] == '&') {
            ++I; // "&&" is a plain '&'
            continue;
        }
        return std::toupper(static_cast<unsigned char>(Caption[I + 1]))
               == std::toupper(static_cast<unsigned char>(Key));
    }
    return false;
}

// --- TLabel

TLabel::TLabel(TComponent* AOwner) : TGraphicControl(AOwner)
{
    ControlStyle.Include(csOpaque);
    SetBounds(0, 0, 65, 17);
    SetParentColor(true);
}

unsigned TLabel::textFormat() const
{
    unsigned Format = DT_EXPANDTABS;
    if (FWordWrap)
        Format |= DT_WORDBREAK;
    if (!FShowAccelChar)
        Format |= DT_NOPREFIX;
    if (FAlignment == taRightJustify)
        Format |= DT_RIGHT;
    else if (FAlignment == taCenter)
        Format |= DT_CENTER;
    return Format;
}

void TLabel::Paint()
{
    TCanvas& Canvas = *GetCanvas();
    const TRect Client = GetClientRect();
    if (!FTransparent) {
        Canvas.GetBrush()->SetColor(GetColor());
        Canvas.FillRect(Client);
    }
    Canvas.GetBrush()->SetStyle(bsClear);
    Canvas.SetFont(*GetFont());
    RECT R = Client;
    if (GetEnabled()) {
        DrawText(Canvas.GetHandle(), GetCaption(), &R, textFormat());
        return;
    }
    // Disabled text is etched: a highlight copy one pixel down and right, the shadow on top.
    RECT Shifted { R.left + 1, R.top + 1, R.right + 1, R.bottom + 1 };
    Canvas.GetFont()->SetColor(clBtnHighlight);
    DrawText(Canvas.GetHandle(), GetCaption(), &Shifted, textFormat());
    Canvas.GetFont()->SetColor(clBtnShadow);
    DrawText(Canvas.GetHandle(), GetCaption(), &R, textFormat());
}

void TLabel::adjustBounds()
{
    if (!FAutoSize || ComponentState().Contains(csLoading))
        return;
    TCanvas& Canvas = *GetCanvas();
    Canvas.SetFont(*GetFont());
    std::string Text = GetCaption();
    // An empty caption still takes the height of a line.
    if (Text.empty() || (FShowAccelChar && Text == "&"))
        Text += ' ';
    RECT R { 0, 0, FWordWrap ? GetWidth() : 0, 0 };
    DrawText(Canvas.GetHandle(), Text, &R, textFormat() | DT_CALCRECT);
    int Left = GetLeft();
    if (FAlignment == taRightJustify)
        Left += GetWidth() - R.right;
    SetBounds(Left, GetTop(), R.right, R.bottom);
}

void TLabel::SetAlignment(TAlignment Value)
{
    if (Value == FAlignment)
        return;
    FAlignment = Value;
    Invalidate();
}

void TLabel::SetAutoSize(bool Value)
{
    if (Value == FAutoSize)
        return;
    FAutoSize = Value;
    adjustBounds();
}

void TLabel::SetTransparent(bool Value)
{
    if (Value == FTransparent)
        return;
    FTransparent = Value;
    if (Value)
        ControlStyle.Exclude(csOpaque);
    else
        ControlStyle.Include(csOpaque);
    Invalidate();
}

void TLabel::SetWordWrap(bool Value)
{
    if (Value == FWordWrap)
        return;
    FWordWrap = Value;
    adjustBounds();
    Invalidate();
}

void TLabel::SetShowAccelChar(bool Value)
{
    if (Value == FShowAccelChar)
        return;
    FShowAccelChar = Value;
    adjustBounds();
    Invalidate();
}

void TLabel::TextChanged()
{
    TGraphicControl::TextChanged();
    adjustBounds();
}

void TLabel::FontChanged()
{
    TGraphicControl::FontChanged();
    adjustBounds();
}

void TLabel::Loaded()
{
    TGraphicControl::Loaded();
    adjustBounds();
}

// --- TButton

TButton::TButton(TComponent* AOwner) : TWinControl(AOwner)
{
    ControlStyle = { csDoubleClicks };
    SetTabStop(true);
    SetBounds(0, 0, 75, 25);
}

std::unique_ptr<ui_private::View> TButton::CreateView()
{
    auto View = std::make_unique<ButtonView>(*this, ui_private::Access::containerOf(*GetParent()));
    View->setDefault(FDefault);
    return View;
}

void TButton::SetDefault(bool Value)
{
    FDefault = Value;
    if (auto* View = dynamic_cast<ButtonView*>(ui_private::Access::viewOf(*this)))
        View->setDefault(Value);
}

void TButton::Click()
{
    // The form's ModalResult first: OnClick may look at it, or change it.
    if (ModalResult != mrNone)
        if (TForm* Form = GetParentForm(this))
            Form->ModalResult = ModalResult;
    TWinControl::Click();
}

bool TButton::DialogChar(char Key)
{
    if (!IsAccel(Key, GetCaption()) || !CanFocus())
        return false;
    Click();
    return true;
}

// --- TCheckBox

TCheckBox::TCheckBox(TComponent* AOwner) : TWinControl(AOwner)
{
    ControlStyle = { csDoubleClicks };
    SetTabStop(true);
    SetBounds(0, 0, 97, 17);
}

std::unique_ptr<ui_private::View> TCheckBox::CreateView()
{
    auto View = std::make_unique<CheckBoxView>(*this, ui_private::Access::containerOf(*GetParent()));
    View->setState(FState);
    return View;
}

void TCheckBox::SetState(TCheckBoxState Value)
{
    if (Value == FState)
        return;
    FState = Value;
    if (auto* View = dynamic_cast<CheckBoxView*>(ui_private::Access::viewOf(*this)))
        View->setState(Value);
    Click();
}

void TCheckBox::toggle()
{
    switch (FState) {
    case cbUnchecked: SetState(cbChecked); break;
    case cbChecked: SetState(AllowGrayed ? cbGrayed : cbUnchecked); break;
    case cbGrayed: SetState(cbUnchecked); break;
    }
}

bool TCheckBox::DialogChar(char Key)
{
    if (!IsAccel(Key, GetCaption()) || !CanFocus())
        return false;
    SetFocus();
    toggle();
    return true;
}

// --- TRadioButton

TRadioButton::TRadioButton(TComponent* AOwner) : TWinControl(AOwner)
{
    ControlStyle = { csDoubleClicks };
    SetBounds(0, 0, 113, 17);
}

std::unique_ptr<ui_private::View> TRadioButton::CreateView()
{
    auto View = std::make_unique<RadioButtonView>(*this, ui_private::Access::containerOf(*GetParent()));
    View->setChecked(FChecked);
    return View;
}

void TRadioButton::SetChecked(bool Value)
{
    if (Value == FChecked) {
        // Qt may have checked the widget already; keep it in step.
        if (auto* View = dynamic_cast<RadioButtonView*>(ui_private::Access::viewOf(*this)))
            View->setChecked(Value);
        return;
    }
    FChecked = Value;
    if (auto* View = dynamic_cast<RadioButtonView*>(ui_private::Access::viewOf(*this)))
        View->setChecked(Value);
    if (!Value)
        return;
    SetTabStop(true);
    if (TWinControl* Parent = GetParent())
        for (int I = 0; I < Parent->ControlCount(); ++I)
            if (auto* Sibling = dynamic_cast<TRadioButton*>(Parent->Controls(I)); Sibling && Sibling != this)
                Sibling->SetChecked(false);
    Click();
}

bool TRadioButton::DialogChar(char Key)
{
    if (!IsAccel(Key, GetCaption()) || !CanFocus())
        return false;
    SetFocus();
    SetChecked(true);
    return true;
}

// --- TGroupBox

TGroupBox::TGroupBox(TComponent* AOwner) : TWinControl(AOwner)
{
    ControlStyle = { csAcceptsControls, csCaptureMouse, csClickEvents, csDoubleClicks };
    SetBounds(0, 0, 185, 105);
}

std::unique_ptr<ui_private::View> TGroupBox::CreateView()
{
    return std::make_unique<GroupBoxView>(*this, ui_private::Access::containerOf(*GetParent()));
}
