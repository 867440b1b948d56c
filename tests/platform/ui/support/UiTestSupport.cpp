//===- UiTestSupport.cpp - Answering the GUI without a person, and driving it ===//
#include "tests/platform/ui/support/UiTestSupport.h"

#include "platform/ui/qt/Access_p.h"
#include "platform/ui/forms/Dialogs.h"
#include "platform/ui/controls/Menus.h"
#include "platform/ui/qt/QtConvert_p.h"
#include "platform/ui/forms/TApplication.h"
#include "platform/ui/forms/TForm.h"
#include "platform/ui/qt/View_p.h"
#include "platform/ui/controls/VirtualKeys.h"

#include "platform/gdi/bitmaps/Dib.h"

#include <QAbstractButton>
#include <QApplication>
#include <QClipboard>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMessageBox>
#include <QMouseEvent>
#include <QTimer>

#include <gtest/gtest.h>
#include <cctype>
#include <chrono>
#include <cstring>
#include <optional>
#include <stdexcept>

// Qt's font database holds fontconfig's caches until the process ends; fontconfig frees
// them nowhere, so leak checks of GUI tests leave them out.
extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig.so\n"; }

namespace uitest {

namespace {

int firstButton(UINT Type) { return (Type & 0x0F) == MB_YESNO || (Type & 0x0F) == MB_YESNOCANCEL ? IDYES : IDOK; }

QWidget* widgetOf(TControl& Control)
{
    Application->Initialize();
    ui_private::View* View = ui_private::Access::viewOf(Control);
    if (!View || !View->widget())
        throw std::logic_error(Control.GetName() + " has no widget: it is not on a form");
    // A form's input and picture are its client area's.
    if (dynamic_cast<TForm*>(&Control))
        return View->container();
    return View->widget();
}

Qt::MouseButton qtButton(TMouseButton Button)
{
    switch (Button) {
    case mbRight: return Qt::RightButton;
    case mbMiddle: return Qt::MiddleButton;
    default: return Qt::LeftButton;
    }
}

Qt::KeyboardModifiers qtModifiers(TShiftState Shift)
{
    Qt::KeyboardModifiers M;
    if (Shift.Contains(ssShift))
        M |= Qt::ShiftModifier;
    if (Shift.Contains(ssCtrl))
        M |= Qt::ControlModifier;
    if (Shift.Contains(ssAlt))
        M |= Qt::AltModifier;
    return M;
}

Qt::MouseButtons heldButtons(TShiftState Shift)
{
    Qt::MouseButtons B;
    if (Shift.Contains(ssLeft))
        B |= Qt::LeftButton;
    if (Shift.Contains(ssRight))
        B |= Qt::RightButton;
    if (Shift.Contains(ssMiddle))
        B |= Qt::MiddleButton;
    return B;
}

void sendMouse(TControl& Control, QEvent::Type Type, Qt::MouseButton Button, Qt::MouseButtons Buttons, int X, int Y,
               TShiftState Shift)
{
    QWidget* Widget = widgetOf(Control);
    const QPointF Local(X, Y);
    QMouseEvent Event(Type, Local, Widget->mapToGlobal(Local), Button, Buttons, qtModifiers(Shift));
    QApplication::sendEvent(Widget, &Event);
}

/// Where a key for Target goes: a form hands it to its active control.
QWidget* keyTarget(TWinControl& Target)
{
    if (auto* Form = dynamic_cast<TForm*>(&Target); Form && Form->GetActiveControl())
        return widgetOf(*Form->GetActiveControl());
    return widgetOf(Target);
}

/// The text a key types, as the keyboard would give it.
QString keyText(WORD Key, TShiftState Shift, bool Keypad)
{
    if (Shift.Contains(ssCtrl) || Shift.Contains(ssAlt))
        return QString();
    switch (Key) {
    case VK_RETURN: return QStringLiteral("\r");
    case VK_ESCAPE: return QStringLiteral("\x1b");
    case VK_BACK: return QStringLiteral("\b");
    case VK_TAB: return QStringLiteral("\t");
    case VK_SPACE: return QStringLiteral(" ");
    case VK_ADD: return QStringLiteral("+");
    case VK_SUBTRACT: return QStringLiteral("-");
    case VK_OEM_MINUS: return Shift.Contains(ssShift) ? QStringLiteral("_") : QStringLiteral("-");
    case VK_OEM_PLUS: return Shift.Contains(ssShift) ? QStringLiteral("+") : QStringLiteral("=");
    case VK_OEM_PERIOD:
    case VK_DECIMAL: return QStringLiteral(".");
    case VK_OEM_COMMA: return QStringLiteral(",");
    default: break;
    }
    if (Key >= 'A' && Key <= 'Z')
        return QString(QChar(Shift.Contains(ssShift) ? Key : std::tolower(Key)));
    if (Key >= '0' && Key <= '9')
        return QString(QChar(Key));
    if (Keypad && Key >= VK_NUMPAD0 && Key <= VK_NUMPAD0 + 9)
        return QString(QChar('0' + (Key - VK_NUMPAD0)));
    return QString();
}

void sendKey(QWidget* Widget, QEvent::Type Type, Qt::Key Key, Qt::KeyboardModifiers Modifiers, const QString& Text)
{
    QKeyEvent Event(Type, Key, Modifiers, Text);
    QApplication::sendEvent(Widget, &Event);
}

} // namespace

// --- Message boxes and beeps

MessageBoxAnswerer::MessageBoxAnswerer()
{
    previous_ = SetMessageBoxHook([this](HWND Owner, const std::string& Text, const std::string& Caption, UINT Type) {
        boxes_.push_back({ Owner, Text, Caption, Type });
        const BoxRecord Box = boxes_.back();
        if (WhileUp)
            WhileUp(Box);
        if (answers_.empty())
            return firstButton(Type);
        const int Answer = answers_.front();
        answers_.pop_front();
        return Answer;
    });
}

MessageBoxAnswerer::~MessageBoxAnswerer() { SetMessageBoxHook(std::move(previous_)); }

// Polls at every turn of the loop (a zero-interval timer fires whenever the loop is idle); it
// waits for a condition, not for time to pass. A box whose condition never holds is answered
// after a guard, failing the test, so that the test does not hang.
struct RealBoxAnswerer::Watch {
    QTimer Timer;
    std::optional<std::chrono::steady_clock::time_point> BoxSeen;
    static constexpr int GuardMs = 90000;
};

RealBoxAnswerer::RealBoxAnswerer(std::function<bool()> When, int Answer) : watch_(std::make_unique<Watch>())
{
    Application->Initialize();
    watch_->Timer.setInterval(0);
    QObject::connect(&watch_->Timer, &QTimer::timeout, [this, When = std::move(When), Answer] {
        auto* Box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!Box)
            return;
        if (!watch_->BoxSeen)
            watch_->BoxSeen = std::chrono::steady_clock::now();
        if (!When()) {
            if (std::chrono::steady_clock::now() - *watch_->BoxSeen < std::chrono::milliseconds(Watch::GuardMs))
                return;
            ADD_FAILURE() << "the message box '" << ui_private::fromQString(Box->text()) << "' was up for the guard of "
                          << Watch::GuardMs
                          << " ms without the condition for answering it; it is answered all the same";
        }
        const QMessageBox::StandardButton Wanted = Answer == IDYES      ? QMessageBox::Yes
                                                   : Answer == IDNO     ? QMessageBox::No
                                                   : Answer == IDCANCEL ? QMessageBox::Cancel
                                                                        : QMessageBox::Ok;
        text_ = ui_private::fromQString(Box->text());
        if (QAbstractButton* Button = Box->button(Wanted))
            Button->click();
        watch_->Timer.stop();
    });
    watch_->Timer.start();
}

RealBoxAnswerer::~RealBoxAnswerer() = default;

BeepRecorder::BeepRecorder()
{
    previous_ = SetMessageBeepHook([this](UINT Type) { beeps_.push_back(Type); });
}

BeepRecorder::~BeepRecorder() { SetMessageBeepHook(std::move(previous_)); }

// --- Modal forms

ModalAnswerer::ModalAnswerer()
{
    previous_ = TForm::SetModalHook([this](TForm& Form) {
        shown_.push_back({ Form.ClassName(), Form.GetCaption() });
        if (actions_.empty()) {
            Form.ModalResult = mrCancel;
            return;
        }
        Action A = std::move(actions_.front());
        actions_.pop_front();
        A(Form);
    });
}

ModalAnswerer::~ModalAnswerer() { TForm::SetModalHook(std::move(previous_)); }

void ModalAnswerer::ClickButton(const std::string& Name)
{
    Then([Name](TForm& Form) {
        auto* Control = dynamic_cast<TControl*>(Form.FindComponent(Name));
        if (!Control)
            throw std::logic_error(Form.GetName() + " has no control " + Name);
        Click(*Control);
    });
}

void ModalAnswerer::Answer(TModalResult Result)
{
    Then([Result](TForm& Form) { Form.ModalResult = Result; });
}

// --- Dialogs

DialogAnswerer::DialogAnswerer()
{
    previous_ = TCommonDialog::SetDialogHook([this](TCommonDialog& Dialog) {
        DialogRecord Record { Dialog.ClassName(), {}, {} };
        auto* Save = dynamic_cast<TSaveDialog*>(&Dialog);
        if (Save) {
            Record.Title = Save->Title;
            Record.FileName = Save->FileName;
        }
        shown_.push_back(Record);
        if (answers_.empty())
            return false;
        const Queued Answer = answers_.front();
        answers_.pop_front();
        if (Answer.Ok && Save && !Answer.FileName.empty())
            Save->FileName = Answer.FileName;
        return Answer.Ok;
    });
}

DialogAnswerer::~DialogAnswerer() { TCommonDialog::SetDialogHook(std::move(previous_)); }

// --- Popup menus

PopupAnswerer::PopupAnswerer()
{
    previous_ = TPopupMenu::SetPopupHook([this](TPopupMenu& Menu, int X, int Y) {
        shown_.push_back({ Menu.GetName(), X, Y });
        if (choices_.empty())
            return;
        const std::string Name = choices_.front();
        choices_.pop_front();
        std::function<TMenuItem*(TMenuItem&)> Find = [&](TMenuItem& Parent) -> TMenuItem* {
            for (int I = 0; I < Parent.GetCount(); ++I) {
                TMenuItem* Item = Parent.GetItem(I);
                if (Item->GetName() == Name)
                    return Item;
                if (TMenuItem* Inner = Find(*Item))
                    return Inner;
            }
            return nullptr;
        };
        if (TMenuItem* Item = Find(*Menu.GetItems()))
            Item->Click();
    });
}

PopupAnswerer::~PopupAnswerer() { TPopupMenu::SetPopupHook(std::move(previous_)); }

// --- Input

void Click(TControl& Control) { Click(Control, Control.GetClientWidth() / 2, Control.GetClientHeight() / 2); }

void Click(TControl& Control, int X, int Y)
{
    MousePress(Control, mbLeft, X, Y);
    MouseRelease(Control, mbLeft, X, Y);
}

void DoubleClick(TControl& Control, int X, int Y)
{
    Click(Control, X, Y);
    sendMouse(Control, QEvent::MouseButtonDblClick, Qt::LeftButton, Qt::LeftButton, X, Y, {});
    MouseRelease(Control, mbLeft, X, Y);
}

void MousePress(TControl& Control, TMouseButton Button, int X, int Y, TShiftState Shift)
{
    const Qt::MouseButton B = qtButton(Button);
    sendMouse(Control, QEvent::MouseButtonPress, B, heldButtons(Shift) | B, X, Y, Shift);
}

void MouseRelease(TControl& Control, TMouseButton Button, int X, int Y, TShiftState Shift)
{
    const Qt::MouseButton B = qtButton(Button);
    sendMouse(Control, QEvent::MouseButtonRelease, B, heldButtons(Shift) & ~Qt::MouseButtons(B), X, Y, Shift);
}

void MouseMove(TControl& Control, int X, int Y, TShiftState Shift)
{
    sendMouse(Control, QEvent::MouseMove, Qt::NoButton, heldButtons(Shift), X, Y, Shift);
}

void PressKey(TWinControl& Target, WORD Key, TShiftState Shift)
{
    bool Keypad = false;
    const Qt::Key QtKey = ui_private::qtKeyOf(Key, Keypad);
    Qt::KeyboardModifiers Modifiers = qtModifiers(Shift);
    if (Keypad)
        Modifiers |= Qt::KeypadModifier;
    const QString Text = keyText(Key, Shift, Keypad);
    // The key goes where the focus was when it went down, and comes up there too.
    QWidget* Widget = keyTarget(Target);
    sendKey(Widget, QEvent::KeyPress, QtKey, Modifiers, Text);
    sendKey(Widget, QEvent::KeyRelease, QtKey, Modifiers, Text);
}

void TypeText(TWinControl& Target, std::string_view Text)
{
    for (char C : Text) {
        const QString Typed = ui_private::toQString(std::string_view(&C, 1));
        const unsigned char U = static_cast<unsigned char>(C);
        Qt::Key Key = static_cast<Qt::Key>(QChar(Typed[0]).toUpper().unicode());
        Qt::KeyboardModifiers Modifiers;
        if (C == '\b')
            Key = Qt::Key_Backspace;
        else if (C == '\r')
            Key = Qt::Key_Return;
        else if (C == '\x1b')
            Key = Qt::Key_Escape;
        else if (std::isupper(U))
            Modifiers = Qt::ShiftModifier;
        QWidget* Widget = keyTarget(Target);
        sendKey(Widget, QEvent::KeyPress, Key, Modifiers, Typed);
        sendKey(Widget, QEvent::KeyRelease, Key, Modifiers, Typed);
    }
}

void Paste(TWinControl& Target, std::string_view Text)
{
    Application->Initialize();
    QApplication::clipboard()->setText(ui_private::toQString(Text));
    PressKey(Target, 'V', { ssCtrl });
}

// --- Looking

std::unique_ptr<Dib> Grab(TControl& Control)
{
    const QImage Image = widgetOf(Control)->grab().toImage().convertToFormat(QImage::Format_RGB32);
    auto Picture = std::make_unique<Dib>(std::max(1, Image.width()), std::max(1, Image.height()), 32, true);
    for (int Y = 0; Y < Image.height(); ++Y)
        std::memcpy(Picture->ScanLine(Y), Image.constScanLine(Y), static_cast<size_t>(Image.width()) * 4);
    return Picture;
}

std::string ToolTipOf(TControl& Control) { return ui_private::fromQString(widgetOf(Control)->toolTip()); }

bool WidgetVisible(TControl& Control) { return widgetOf(Control)->isVisibleTo(widgetOf(Control)->window()); }

std::string WidgetText(TControl& Control)
{
    QWidget* Widget = widgetOf(Control);
    if (auto* Button = qobject_cast<QAbstractButton*>(Widget))
        return ui_private::fromQString(Button->text());
    if (auto* Line = qobject_cast<QLineEdit*>(Widget))
        return ui_private::fromQString(Line->text());
    if (auto* Box = qobject_cast<QGroupBox*>(Widget))
        return ui_private::fromQString(Box->title());
    return ui_private::fromQString(Widget->window()->windowTitle());
}

WindowHints HintsOf(TForm& Form)
{
    QWidget* Window = widgetOf(Form)->window();
    const Qt::WindowFlags Flags = Window->windowFlags();
    WindowHints Hints;
    Hints.StaysOnTop = Flags & Qt::WindowStaysOnTopHint;
    Hints.MinimizeButton = Flags & Qt::WindowMinimizeButtonHint;
    Hints.MaximizeButton = Flags & Qt::WindowMaximizeButtonHint;
    Hints.CloseButton = Flags & Qt::WindowCloseButtonHint;
    Hints.Dialog = (Flags & Qt::WindowType_Mask) == Qt::Dialog;
    Hints.Resizable = Window->minimumSize() != Window->maximumSize();
    return Hints;
}

bool OverrideCursorShown() { return QApplication::overrideCursor() != nullptr; }

} // namespace uitest
