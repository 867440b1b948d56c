//===- TControl.cpp - The base of every visible control --------------------===//
#include "platform/ui/controls/TControl.h"

#include "platform/ui/qt/Access_p.h"
#include "platform/ui/components/FormResource.h"
#include "platform/ui/controls/Menus.h"
#include "platform/ui/qt/PaintBuffer_p.h"
#include "platform/ui/components/Published.h"
#include "platform/ui/qt/QtConvert_p.h"
#include "platform/ui/controls/TWinControl.h"
#include "platform/ui/components/UiConsts.h"
#include "platform/ui/qt/View_p.h"

#include "platform/rtl/AnsiString.h"
#include "platform/rtl/Format.h"

#include <QWidget>

#include <algorithm>

namespace {

// A control that sets its own size inside Resize is asked again; a pair of controls that keep
// disagreeing stops here instead of recursing without end.
constexpr int MaxResizeDepth = 8;

struct CursorIdent {
    std::string_view Name;
    TCursor Cursor;
};
constexpr CursorIdent CursorIdents[] = {
    { "crDefault", crDefault },     { "crNone", crNone },           { "crArrow", crArrow },
    { "crCross", crCross },         { "crIBeam", crIBeam },         { "crSizeNESW", crSizeNESW },
    { "crSizeNS", crSizeNS },       { "crSizeNWSE", crSizeNWSE },   { "crSizeWE", crSizeWE },
    { "crUpArrow", crUpArrow },     { "crHourGlass", crHourGlass }, { "crNo", crNo },
    { "crHandPoint", crHandPoint }, { "crSizeAll", crSizeAll },
};

TControl* captureControl = nullptr;

/// The part of a hint before '|'.
std::string shortHint(const std::string& Hint)
{
    const size_t Bar = Hint.find('|');
    return Bar == std::string::npos ? Hint : Hint.substr(0, Bar);
}

void readCursor(TControl& Control, const TFormValue& Value)
{
    if (Value.Kind == TFormValueKind::Integer) {
        Control.SetCursor(static_cast<TCursor>(Value.Integer));
        return;
    }
    const std::optional<TCursor> Cursor =
        Value.Kind == TFormValueKind::Ident ? IdentToCursor(Value.Text) : std::nullopt;
    if (!Cursor)
        throw Exception(Format(SUnknownIdent, { Value.Text, std::string("TCursor") }));
    Control.SetCursor(*Cursor);
}

const PublishedClass& ControlClass = PublishClass<TControl, TComponent>("TControl", [](Published<TControl>& P) {
    P.Int("Left", &TControl::GetLeft, &TControl::SetLeft);
    P.Int("Top", &TControl::GetTop, &TControl::SetTop);
    P.Int("Width", &TControl::GetWidth, &TControl::SetWidth);
    P.Int("Height", &TControl::GetHeight, &TControl::SetHeight);
    P.Enum("Align", TAlignType, &TControl::GetAlign, &TControl::SetAlign);
    P.Bool("Visible", &TControl::GetVisible, &TControl::SetVisible);
    P.Bool("Enabled", &TControl::GetEnabled, &TControl::SetEnabled);
    P.Color("Color", &TControl::GetColor, &TControl::SetColor);
    P.Bool("ParentColor", &TControl::GetParentColor, &TControl::SetParentColor);
    P.Object("Font", &TControl::GetFont);
    P.Bool("ParentFont", &TControl::GetParentFont, &TControl::SetParentFont);
    P.String("Caption", &TControl::GetCaption, &TControl::SetCaption);
    P.String("Hint", &TControl::GetHint, &TControl::SetHint);
    P.Bool("ShowHint", &TControl::GetShowHint, &TControl::SetShowHint);
    P.Bool("ParentShowHint", &TControl::GetParentShowHint, &TControl::SetParentShowHint);
    P.Custom("Cursor", readCursor);
    P.Component("PopupMenu", &TControl::GetPopupMenu, &TControl::SetPopupMenu);
    P.Event("OnClick", &TControl::OnClick);
    P.Event("OnDblClick", &TControl::OnDblClick);
    P.Event("OnMouseDown", &TControl::OnMouseDown);
    P.Event("OnMouseMove", &TControl::OnMouseMove);
    P.Event("OnMouseUp", &TControl::OnMouseUp);
    P.Event("OnResize", &TControl::OnResize);
});

} // namespace

std::optional<TCursor> IdentToCursor(std::string_view Ident)
{
    for (const CursorIdent& C : CursorIdents)
        if (SameText(C.Name, Ident))
            return C.Cursor;
    return std::nullopt;
}

// --- Construction

TControl::TControl(TComponent* AOwner) : TComponent(AOwner), FFont(std::make_unique<TFont>())
{
    ControlStyle = { csCaptureMouse, csClickEvents, csDoubleClicks };
    FFont->OnChange = [this](TObject* Sender) { fontChanged(Sender); };
    ui_private::Access::born(this);
}

TControl::~TControl()
{
    if (captureControl == this)
        captureControl = nullptr;
    if (FPopupMenu)
        FPopupMenu->RemoveFreeNotification(this);
    if (FParent)
        FParent->removeControl(this);
    FView.reset();
    ui_private::Access::died(this);
}

std::unique_ptr<ui_private::View> TControl::CreateView() { return nullptr; }

void TControl::createWidget()
{
    if (FView || !FParent || !FParent->FView)
        return;
    FView = CreateView();
    if (!FView)
        return;
    FView->applyFont(*FFont);
    FView->applyColor(FColor);
    FView->applyText(GetText());
    FView->applyHint(ShownHint());
    FView->applyCursor(FCursor);
    FView->applyEnabled(FEnabled);
    FView->applyGeometry(FLeft, FTop, FWidth, FHeight);
    FView->applyVisible(FVisible);
    if (auto* Win = dynamic_cast<TWinControl*>(this))
        Win->createChildWidgets();
}

void TControl::destroyWidget()
{
    if (auto* Win = dynamic_cast<TWinControl*>(this))
        for (TControl* Child : Win->FControls)
            Child->destroyWidget();
    FView.reset();
}

// --- Position and size

void TControl::SetBounds(int ALeft, int ATop, int AWidth, int AHeight)
{
    AWidth = std::max(0, AWidth);
    AHeight = std::max(0, AHeight);
    if (ALeft == FLeft && ATop == FTop && AWidth == FWidth && AHeight == FHeight)
        return;
    const bool Sized = AWidth != FWidth || AHeight != FHeight;
    FLeft = ALeft;
    FTop = ATop;
    FWidth = AWidth;
    FHeight = AHeight;
    applyBounds();
    if (FParent && FAlign != alNone)
        FParent->Realign();
    if (!Sized)
        return;
    if (auto* Win = dynamic_cast<TWinControl*>(this))
        Win->Realign();
    if (ComponentState().Contains(csLoading) || ComponentState().Contains(csDestroying)
        || FResizeDepth >= MaxResizeDepth)
        return;
    ++FResizeDepth;
    try {
        Resize();
    } catch (...) {
        --FResizeDepth;
        throw;
    }
    --FResizeDepth;
}

void TControl::applyBounds()
{
    if (ui_private::PaintBuffer* Buffer = ui_private::Access::buffer(*this))
        Buffer->resize(FWidth, FHeight);
    if (FView)
        FView->applyGeometry(FLeft, FTop, FWidth, FHeight);
}

TRect TControl::GetClientRect() const { return Rect(0, 0, GetClientWidth(), GetClientHeight()); }

void TControl::SetClientWidth(int Value) { SetWidth(Value); }

void TControl::SetClientHeight(int Value) { SetHeight(Value); }

TPoint TControl::GetClientOrigin() const
{
    const TPoint Origin = FParent ? FParent->GetClientOrigin() : Point(0, 0);
    return Point(Origin.X + FLeft, Origin.Y + FTop);
}

TPoint TControl::ClientToScreen(TPoint P) const
{
    const TPoint Origin = GetClientOrigin();
    return Point(P.X + Origin.X, P.Y + Origin.Y);
}

TPoint TControl::ScreenToClient(TPoint P) const
{
    const TPoint Origin = ClientToScreen(Point(0, 0));
    return Point(P.X - Origin.X, P.Y - Origin.Y);
}

void TControl::SetAlign(TAlign Value)
{
    if (Value == FAlign)
        return;
    FAlign = Value;
    if (FParent)
        FParent->Realign();
}

// --- Parent and visibility

void TControl::SetParent(TWinControl* AParent)
{
    if (AParent == FParent)
        return;
    if (AParent == this
        || (AParent && dynamic_cast<TWinControl*>(this) && static_cast<TWinControl*>(this)->ContainsControl(AParent)))
        throw EInvalidOperation(SControlParentSelf);
    if (FParent)
        FParent->removeControl(this);
    destroyWidget();
    FParent = AParent;
    if (!FParent)
        return;
    FParent->insertControl(this);
    if (FParentFont)
        parentFontChanged();
    if (FParentColor)
        parentColorChanged();
    if (FParentShowHint)
        parentShowHintChanged();
    createWidget();
    if (FAlign != alNone)
        FParent->Realign();
}

void TControl::SetVisible(bool Value)
{
    if (Value == FVisible)
        return;
    FVisible = Value;
    if (FView)
        FView->applyVisible(Value);
    if (Value)
        Invalidate();
    VisibleChanged();
    if (FParent && FAlign != alNone)
        FParent->Realign();
}

bool TControl::Showing() const { return FVisible && FParent && FParent->Showing(); }

void TControl::SetEnabled(bool Value)
{
    if (Value == FEnabled)
        return;
    FEnabled = Value;
    if (FView)
        FView->applyEnabled(Value);
    EnabledChanged();
}

void TControl::BringToFront()
{
    if (FParent) {
        auto& Siblings = FParent->FControls;
        std::erase(Siblings, this);
        Siblings.push_back(this);
    }
    if (FView && FView->widget())
        FView->widget()->raise();
}

void TControl::SendToBack()
{
    if (FParent) {
        auto& Siblings = FParent->FControls;
        std::erase(Siblings, this);
        Siblings.insert(Siblings.begin(), this);
    }
    if (FView && FView->widget())
        FView->widget()->lower();
}

// --- Appearance

void TControl::SetColor(TColor Value)
{
    FParentColor = false;
    if (Value == FColor)
        return;
    FColor = Value;
    ColorChanged();
}

void TControl::SetParentColor(bool Value)
{
    FParentColor = Value;
    if (Value)
        parentColorChanged();
}

void TControl::parentColorChanged()
{
    if (!FParentColor || !FParent || FParent->FColor == FColor)
        return;
    FColor = FParent->FColor;
    ColorChanged();
}

void TControl::SetParentFont(bool Value)
{
    FParentFont = Value;
    if (Value)
        parentFontChanged();
}

void TControl::parentFontChanged()
{
    if (!FParentFont || !FParent)
        return;
    FFontFromParent = true;
    try {
        FFont->Assign(*FParent->FFont);
    } catch (...) {
        FFontFromParent = false;
        throw;
    }
    FFontFromParent = false;
}

void TControl::fontChanged(TObject*)
{
    // A font set on the control itself is its own from now on.
    if (!FFontFromParent)
        FParentFont = false;
    FontChanged();
}

void TControl::SetText(const std::string& Value)
{
    if (Value == FText)
        return;
    FText = Value;
    TextChanged();
}

// --- Hints

void TControl::SetHint(const std::string& Value)
{
    if (Value == FHint)
        return;
    FHint = Value;
    updateHint();
}

void TControl::SetShowHint(bool Value)
{
    FParentShowHint = false;
    if (Value == FShowHint)
        return;
    FShowHint = Value;
    updateHint();
}

void TControl::SetParentShowHint(bool Value)
{
    FParentShowHint = Value;
    if (Value)
        parentShowHintChanged();
}

void TControl::parentShowHintChanged()
{
    if (!FParentShowHint || !FParent || FParent->FShowHint == FShowHint)
        return;
    FShowHint = FParent->FShowHint;
    updateHint();
}

void TControl::updateHint()
{
    if (FView)
        FView->applyHint(ShownHint());
    if (auto* Win = dynamic_cast<TWinControl*>(this))
        for (TControl* Child : Win->FControls)
            Child->parentShowHintChanged();
}

std::string TControl::ShownHint() const { return FShowHint ? shortHint(FHint) : std::string(); }

// --- Mouse

void TControl::SetCursor(TCursor Value)
{
    FCursor = Value;
    if (FView)
        FView->applyCursor(Value);
}

void TControl::SetPopupMenu(TPopupMenu* Value)
{
    if (Value == FPopupMenu)
        return;
    if (FPopupMenu)
        FPopupMenu->RemoveFreeNotification(this);
    FPopupMenu = Value;
    if (FPopupMenu)
        FPopupMenu->FreeNotification(this);
}

bool TControl::GetMouseCapture() const { return captureControl == this; }

void TControl::SetMouseCapture(bool Value)
{
    QWidget* Widget = FView ? FView->widget() : nullptr;
    if (Value) {
        if (captureControl && captureControl != this)
            captureControl->SetMouseCapture(false);
        captureControl = this;
        if (Widget && Widget->isVisible() && !ui_private::offscreenPlatform())
            Widget->grabMouse();
    } else if (captureControl == this) {
        captureControl = nullptr;
        if (Widget && QWidget::mouseGrabber() == Widget)
            Widget->releaseMouse();
    }
}

// --- Painting

void TControl::Invalidate()
{
    if (FView && FView->widget())
        FView->widget()->update();
}

void TControl::Update()
{
    if (FView && FView->widget() && FView->widget()->isVisible())
        FView->widget()->repaint();
}

void TControl::Repaint()
{
    Invalidate();
    Update();
}

// --- Messages

LRESULT TControl::Perform(UINT Msg, WPARAM WParam, LPARAM LParam)
{
    TMessage Message { Msg, WParam, LParam, 0 };
    WndProc(Message);
    return Message.Result;
}

void TControl::WndProc(TMessage&) {}

// --- Event methods

void TControl::Click()
{
    if (OnClick)
        OnClick(this);
}

void TControl::DblClick()
{
    if (OnDblClick)
        OnDblClick(this);
}

void TControl::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    if (OnMouseDown)
        OnMouseDown(this, Button, Shift, X, Y);
}

void TControl::MouseMove(TShiftState Shift, int X, int Y)
{
    if (OnMouseMove)
        OnMouseMove(this, Shift, X, Y);
}

void TControl::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    if (OnMouseUp)
        OnMouseUp(this, Button, Shift, X, Y);
}

void TControl::MouseLeave() {}

void TControl::Resize()
{
    if (OnResize)
        OnResize(this);
}

bool TControl::DialogChar(char) { return false; }

// --- Change notices

void TControl::TextChanged()
{
    if (FView)
        FView->applyText(GetText());
    Invalidate();
}

void TControl::FontChanged()
{
    if (FView)
        FView->applyFont(*FFont);
    Invalidate();
}

void TControl::ColorChanged()
{
    if (FView)
        FView->applyColor(FColor);
    Invalidate();
}

void TControl::EnabledChanged() { Invalidate(); }

void TControl::VisibleChanged() {}

// --- Reading

void TControl::SetParentComponent(TComponent* Value)
{
    if (auto* Parent = dynamic_cast<TWinControl*>(Value))
        SetParent(Parent);
}

void TControl::Loaded() { TComponent::Loaded(); }

void TControl::Notification(TComponent* AComponent, TOperation Operation)
{
    if (Operation == opRemove && AComponent == FPopupMenu)
        FPopupMenu = nullptr;
    TComponent::Notification(AComponent, Operation);
}
