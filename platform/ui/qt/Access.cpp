//===- Access.cpp - Where Qt's events enter the class library ----------------===//
#include "platform/ui/qt/Access_p.h"

#include "platform/ui/controls/ExtCtrls.h"
#include "platform/ui/controls/Menus.h"
#include "platform/ui/qt/PaintBuffer_p.h"
#include "platform/ui/qt/QtConvert_p.h"
#include "platform/ui/controls/StdCtrls.h"
#include "platform/ui/forms/TApplication.h"
#include "platform/ui/controls/TCustomControl.h"
#include "platform/ui/controls/TCustomEdit.h"
#include "platform/ui/forms/TForm.h"
#include "platform/ui/controls/TGraphicControl.h"
#include "platform/ui/qt/View_p.h"
#include "platform/ui/controls/VirtualKeys.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QKeySequence>
#include <QMouseEvent>
#include <QPainter>

#include <unordered_set>

namespace ui_private {

namespace {

// Never destroyed: forms freed during static destruction still report their controls' end.
std::unordered_set<const TControl*>& living()
{
    static auto* Controls = new std::unordered_set<const TControl*>;
    return *Controls;
}

// The control that took a left press with csClickEvents: releasing over it clicks it.
const TControl* clickedControl = nullptr;

bool buttonOf(Qt::MouseButton Qt, TMouseButton& Button)
{
    switch (Qt) {
    case Qt::LeftButton: Button = mbLeft; return true;
    case Qt::RightButton: Button = mbRight; return true;
    case Qt::MiddleButton: Button = mbMiddle; return true;
    default: return false;
    }
}

TPoint positionOf(const QMouseEvent& Event)
{
    const QPoint P = Event.position().toPoint();
    return Point(P.x(), P.y());
}

/// The popup menu of the control, or of the nearest parent that has one.
TPopupMenu* popupMenuOf(TControl* Control)
{
    for (TControl* C = Control; C; C = C->GetParent())
        if (C->GetPopupMenu())
            return C->GetPopupMenu();
    return nullptr;
}

void pressed(TControl* Control, TMouseButton Button)
{
    if (Button == mbLeft) {
        if (Control->ControlStyle.Contains(csCaptureMouse))
            Control->SetMouseCapture(true);
        if (Control->ControlStyle.Contains(csClickEvents))
            clickedControl = Control;
    }
}

} // namespace

// --- Living controls

bool Access::alive(const TControl* Control) { return Control && living().contains(Control); }
void Access::born(TControl* Control) { living().insert(Control); }

void Access::died(TControl* Control)
{
    living().erase(Control);
    if (clickedControl == Control)
        clickedControl = nullptr;
}

void Access::handleException(TObject* Sender)
{
    if (Application)
        Application->HandleException(Sender);
}

// --- Mouse

void Access::mousePress(TControl* Control, const QMouseEvent& Event)
{
    TMouseButton Button;
    if (!buttonOf(Event.button(), Button))
        return;
    const TShiftState Shift = shiftOf(Event);
    const TPoint P = positionOf(Event);
    guarded(Control, [&] {
        pressed(Control, Button);
        Control->MouseDown(Button, Shift, P.X, P.Y);
    });
}

void Access::mouseRelease(TControl* Control, const QMouseEvent& Event)
{
    TMouseButton Button;
    if (!buttonOf(Event.button(), Button))
        return;
    const TShiftState Shift = shiftOf(Event);
    const TPoint P = positionOf(Event);
    guarded(Control, [&] {
        if (Button == mbLeft) {
            if (Control->ControlStyle.Contains(csCaptureMouse))
                Control->SetMouseCapture(false);
            if (clickedControl == Control) {
                clickedControl = nullptr;
                if (PtInRect(Control->GetClientRect(), P))
                    Control->Click();
            }
        }
        if (!alive(Control))
            return;
        Control->MouseUp(Button, Shift, P.X, P.Y);
        if (Button == mbRight && alive(Control))
            if (TPopupMenu* Menu = popupMenuOf(Control)) {
                Menu->PopupComponent = Control;
                const TPoint Screen = Control->ClientToScreen(P);
                Menu->Popup(Screen.X, Screen.Y);
            }
    });
}

void Access::mouseDoubleClick(TControl* Control, const QMouseEvent& Event)
{
    TMouseButton Button;
    if (!buttonOf(Event.button(), Button))
        return;
    if (Button != mbLeft || !Control->ControlStyle.Contains(csDoubleClicks)) {
        mousePress(Control, Event);
        return;
    }
    TShiftState Shift = shiftOf(Event);
    Shift.Include(ssDouble);
    const TPoint P = positionOf(Event);
    guarded(Control, [&] {
        if (Control->ControlStyle.Contains(csCaptureMouse))
            Control->SetMouseCapture(true);
        if (Control->ControlStyle.Contains(csClickEvents))
            Control->DblClick();
        if (alive(Control))
            Control->MouseDown(mbLeft, Shift, P.X, P.Y);
    });
}

void Access::mouseMove(TControl* Control, const QMouseEvent& Event)
{
    const TPoint P = positionOf(Event);
    guarded(Control, [&] { Control->MouseMove(shiftOf(Event), P.X, P.Y); });
}

void Access::mouseLeave(TControl* Control)
{
    guarded(Control, [&] { Control->MouseLeave(); });
}

// --- Keys

bool Access::keyPress(TControl* Control, const QKeyEvent& Event)
{
    auto* Win = dynamic_cast<TWinControl*>(Control);
    if (!Win)
        return false;
    bool Consumed = true; // a key whose handler raised is not handled any further
    guarded(Control, [&] { Consumed = handleKey(*Win, Event); });
    return Consumed;
}

bool Access::handleKey(TWinControl& Control, const QKeyEvent& Event)
{
    TForm* Form = GetParentForm(&Control);
    const bool Preview = Form && Form != &Control && Form->KeyPreview;
    const TShiftState Shift = shiftOf(Event.modifiers(), Qt::NoButton);

    if (WORD Key = virtualKeyOf(Event)) {
        if (Preview) {
            Form->KeyDown(Key, Shift);
            if (Key == 0 || !alive(&Control))
                return true;
        }
        Control.KeyDown(Key, Shift);
        if (Key == 0 || !alive(&Control))
            return true;
        if ((Key == VK_RETURN || Key == VK_ESCAPE || Key == VK_TAB) && !Control.WantsKey(Key) && Form
            && Form->DialogKey(Key, Shift))
            return true;
    }

    auto* Edit = dynamic_cast<TCustomEdit*>(&Control);
    if (Edit && Event.matches(QKeySequence::Paste)) {
        Edit->PasteText(fromQString(QGuiApplication::clipboard()->text()));
        return true;
    }
    // Ctrl+A would reach KeyPress as #1, which a filtering edit drops.
    if (Edit && Event.matches(QKeySequence::SelectAll)) {
        Edit->SelectAll();
        return true;
    }

    char Ch = typedCharOf(Event);
    if (Ch == 0)
        return false; // arrows, Delete, Home ... belong to the widget
    if (Preview) {
        Form->KeyPress(Ch);
        if (Ch == 0 || !alive(&Control))
            return true;
    }
    Control.KeyPress(Ch);
    if (Ch == 0 || !alive(&Control))
        return true;
    if ((Shift.Contains(ssAlt) || !Control.WantsChars()) && Form && Form->dispatchDialogChar(Ch))
        return true;
    if (Edit) {
        if (Ch == '\r' || Ch == '\x1B' || Ch == '\t')
            return true;
        if (static_cast<unsigned char>(Ch) >= 32 || Ch == '\b') {
            Edit->typeChar(Ch);
            return true;
        }
    }
    return false; // Space on a button, Ctrl+C in an edit ...
}

void Access::keyRelease(TControl* Control, const QKeyEvent& Event)
{
    auto* Win = dynamic_cast<TWinControl*>(Control);
    WORD Key = virtualKeyOf(Event);
    if (!Win || Key == 0)
        return;
    const TShiftState Shift = shiftOf(Event.modifiers(), Qt::NoButton);
    guarded(Control, [&] {
        TForm* Form = GetParentForm(Win);
        if (Form && Form != Win && Form->KeyPreview) {
            Form->KeyUp(Key, Shift);
            if (Key == 0 || !alive(Win))
                return;
        }
        Win->KeyUp(Key, Shift);
    });
}

// --- Focus and activation

void Access::focusIn(TControl* Control, bool ByMouse)
{
    auto* Win = dynamic_cast<TWinControl*>(Control);
    TForm* Form = Win ? GetParentForm(Win) : nullptr;
    if (!Form || Form == Win || Form->FActiveControl == Win)
        return;
    auto* Edit = dynamic_cast<TCustomEdit*>(Win);
    if (Edit)
        Edit->FEnteredByMouse = ByMouse;
    setFocusTo(*Form, Win);
    if (Edit && alive(Edit))
        Edit->FEnteredByMouse = false;
}

void Access::setFocusTo(TForm& Form, TWinControl* Control)
{
    TWinControl* Old = Form.FActiveControl;
    if (Old != Control) {
        Form.FActiveControl = Control;
        guarded(&Form, [&] {
            if (Old && alive(Old))
                Old->DoExit();
            if (Control && alive(Control))
                Control->DoEnter();
        });
    }
    if (Control && alive(Control) && Control->FView && Control->FView->widget())
        Control->FView->widget()->setFocus(Qt::OtherFocusReason);
}

void Access::closeRequest(TForm* Form)
{
    guarded(Form, [&] { Form->Close(); });
}

void Access::formGeometry(TForm* Form, int Left, int Top, int ClientWidth, int ClientHeight)
{
    guarded(Form,
            [&] { Form->SetBounds(Left, Top, ClientWidth + Form->frameWidth(), ClientHeight + Form->frameHeight()); });
}

void Access::formActivated(TForm* Form)
{
    guarded(Form, [&] { Form->becameActive(); });
}

// --- Widgets and painting

QWidget* Access::containerOf(TControl& Parent) { return Parent.FView ? Parent.FView->container() : nullptr; }

bool Access::hasWidget(const TControl& Control) { return Control.FView && Control.FView->widget(); }

View* Access::viewOf(TControl& Control) { return Control.FView.get(); }

PaintBuffer* Access::buffer(TControl& Control)
{
    if (auto* Graphic = dynamic_cast<TGraphicControl*>(&Control))
        return Graphic->FBuffer.get();
    if (auto* Custom = dynamic_cast<TCustomControl*>(&Control))
        return Custom->FBuffer.get();
    return nullptr;
}

void Access::paint(TControl& Control)
{
    if (auto* Graphic = dynamic_cast<TGraphicControl*>(&Control))
        Graphic->Paint();
    else if (auto* Custom = dynamic_cast<TCustomControl*>(&Control))
        Custom->PaintWindow(Custom->GetCanvas()->GetHandle());
}

void Access::paintWidget(TControl* Control, QWidget& Widget)
{
    PaintBuffer* Buffer = buffer(*Control);
    if (!Buffer)
        return;
    guarded(Control, [&] { Buffer->render(); });
    if (!alive(Control))
        return;
    QPainter Painter(&Widget);
    Painter.drawImage(QPoint(0, 0), Buffer->image());
}

void Access::showPicture(TControl& Control)
{
    if (hasWidget(Control))
        Control.FView->widget()->update();
}

// --- Calls into controls

void Access::click(TControl* Control)
{
    guarded(Control, [&] { Control->Click(); });
}

void Access::checkBoxToggled(TControl* Control)
{
    if (auto* Box = dynamic_cast<TCheckBox*>(Control))
        guarded(Control, [&] { Box->toggle(); });
}

void Access::radioButtonChecked(TControl* Control)
{
    if (auto* Button = dynamic_cast<TRadioButton*>(Control))
        guarded(Control, [&] { Button->SetChecked(true); });
}

void Access::radioGroupChosen(TRadioGroup* Group, int Index)
{
    guarded(Group, [&] { Group->chosen(Index); });
}

void Access::editEdited(TCustomEdit* Edit, const std::string& Text)
{
    guarded(Edit, [&] { Edit->textEdited(Text); });
}

void Access::menuItemClick(TMenuItem* Item)
{
    guarded(Item, [&] { Item->Click(); });
}

} // namespace ui_private

namespace ui_private {

bool Access::dialogChar(TControl& Control, char Key) { return Control.GetVisible() && Control.DialogChar(Key); }

} // namespace ui_private
