//===- WidgetApplication.cpp - The Qt application, its message pump and real dialogs ===//
#include "platform/ui/qt/WidgetApplication_p.h"

#include "platform/ui/qt/Access_p.h"
#include "platform/ui/qt/ClassicStyle_p.h"
#include "platform/ui/qt/QtConvert_p.h"
#include "platform/ui/forms/TApplication.h"
#include "platform/ui/forms/TForm.h"
#include "platform/ui/components/UiConsts.h"

#include "platform/user/Dialogs.h"

#include <QAbstractButton>
#include <QApplication>
#include <QEvent>
#include <QFontMetrics>
#include <QGridLayout>
#include <QLabel>
#include <QMessageBox>
#include <QSocketNotifier>
#include <QSpacerItem>

#include <vector>

namespace ui_private {

namespace {

/// Feeds posted messages into Qt's loop: the notifier takes one message and delivers it itself.
/// The descriptor stays readable while more wait, so Qt's loop comes back for the next one after
/// its other events; a delivery that runs a nested loop (a modal form) is served by the same
/// notifier from inside, as the dispatcher lets a notifier fire again while its handler runs.
class MessagePump : public QObject {
public:
    MessagePump() : notifier_(MessageQueueFd(), QSocketNotifier::Read)
    {
        QObject::connect(&notifier_, &QSocketNotifier::activated, this, [] {
            MSG Msg;
            if (PeekMessage(&Msg))
                deliverMessage(Msg);
        });
    }

private:
    QSocketNotifier notifier_;
};

QApplication* application = nullptr;

std::vector<TForm*>& released()
{
    static auto* Forms = new std::vector<TForm*>;
    return *Forms;
}
bool ownApplication = false;
MessagePump* pump = nullptr;

/// Room on a title bar beside its caption: the window icon, three buttons and the padding.
constexpr int TitleBarExtra = 100;

/// A box as wide as its caption needs: sized by a short text alone, the title bar cuts a
/// caption such as "Error" to "E...".
void widenForCaption(QMessageBox& Box, const QString& Caption)
{
    auto* Grid = qobject_cast<QGridLayout*>(Box.layout());
    if (!Grid)
        return;
    QFont TitleFont = Box.font();
    TitleFont.setBold(true);
    const int Width = QFontMetrics(TitleFont).horizontalAdvance(Caption) + TitleBarExtra;
    Grid->addItem(new QSpacerItem(Width, 0, QSizePolicy::Minimum, QSizePolicy::Minimum), Grid->rowCount(), 0, 1,
                  Grid->columnCount());
}

/// Beyond this width a message wraps at its blanks, as the original's boxes do.
constexpr int MaxBoxTextWidth = 640;

/// The text's label as large as the text the style draws in it: sized by Qt's measure of the
/// font, narrower than the font engine's, the label cut off the last characters of a line
/// ("... start anyway" without its "?").
void fitTextAsDrawn(QMessageBox& Box)
{
    auto* Label = Box.findChild<QLabel*>(QStringLiteral("qt_msgbox_label"));
    if (!Label)
        return;
    const QSize Drawn = engineTextSize(Label->font(), Label->text(), MaxBoxTextWidth);
    const QMargins Frame = Label->contentsMargins();
    Label->setMinimumSize(Drawn.grownBy(Frame) + QSize(2 * Label->margin(), 2 * Label->margin()));
}

int realMessageBox(HWND, const std::string& Text, const std::string& Caption, UINT Type)
{
    QMessageBox::Icon Icon = QMessageBox::NoIcon;
    switch (Type & 0xF0) {
    case MB_ICONERROR: Icon = QMessageBox::Critical; break;
    case MB_ICONQUESTION: Icon = QMessageBox::Question; break;
    case MB_ICONWARNING: Icon = QMessageBox::Warning; break;
    case MB_ICONINFORMATION: Icon = QMessageBox::Information; break;
    default: break;
    }
    QMessageBox::StandardButtons Buttons = QMessageBox::Ok;
    switch (Type & 0x0F) {
    case MB_OKCANCEL: Buttons = QMessageBox::Ok | QMessageBox::Cancel; break;
    case MB_YESNO: Buttons = QMessageBox::Yes | QMessageBox::No; break;
    case MB_YESNOCANCEL: Buttons = QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel; break;
    default: break;
    }
    QMessageBox Box(Icon, toQString(Caption), toQLines(Text), Buttons, QApplication::activeWindow());
    widenForCaption(Box, Box.windowTitle());
    fitTextAsDrawn(Box);
    Box.exec();
    switch (Box.standardButton(Box.clickedButton())) {
    case QMessageBox::Ok: return IDOK;
    case QMessageBox::Yes: return IDYES;
    case QMessageBox::No: return IDNO;
    default: return (Type & 0x0F) == MB_YESNO ? IDNO : IDCANCEL;
    }
}

void realBeep(UINT) { QApplication::beep(); }

using BoxFunction = int (*)(HWND, const std::string&, const std::string&, UINT);
using BeepFunction = void (*)(UINT);

/// Installs Ours unless a hook is installed already.
template <class Hook, class Setter>
void installUnlessHooked(Setter Set, Hook Ours)
{
    auto Old = Set(Ours);
    if (Old)
        Set(std::move(Old));
}

/// Removes the hook when it is Ours; anyone else's stays.
template <class Fn, class Setter>
void removeIfOurs(Setter Set, Fn Ours)
{
    auto Current = Set({});
    const Fn* Target = Current.template target<Fn>();
    if (!Target || *Target != Ours)
        Set(std::move(Current));
}

} // namespace

void ensureWidgetApplication()
{
    if (application)
        return;
    if (QCoreApplication::instance()) {
        application = qobject_cast<QApplication*>(QCoreApplication::instance());
        if (!application)
            throw Exception(SNoWidgets);
    } else {
        // Headless runs (tests, a server) must not depend on a display.
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY")
            && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
        // Qt keeps argc and argv for the application's lifetime.
        static int Argc = 1;
        static char Name[] = "varnex";
        static char* Argv[] = { Name, nullptr };
        application = new QApplication(Argc, Argv);
        ownApplication = true;
    }
    // Our loops end when the program says so, not when a window closes.
    QApplication::setQuitOnLastWindowClosed(false);
    installClassicStyle();
    pump = new MessagePump;
    installUnlessHooked<MessageBoxHook>(SetMessageBoxHook, MessageBoxHook(BoxFunction(realMessageBox)));
    installUnlessHooked<MessageBeepHook>(SetMessageBeepHook, MessageBeepHook(BeepFunction(realBeep)));
}

bool widgetApplicationExists() { return application != nullptr; }

void releaseLater(TForm* Form)
{
    released().push_back(Form);
    wakeLoop();
}

void flushDeletedWidgets()
{
    if (!application || Access::handlerDepth() != 0)
        return;
    // A form's destructor may release others: take the list as it stands, then look again.
    while (!released().empty()) {
        std::vector<TForm*> Forms;
        Forms.swap(released());
        for (TForm* Form : Forms)
            if (Access::alive(Form))
                delete Form;
    }
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

void shutdownWidgetApplication()
{
    if (!application)
        return;
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    delete pump;
    pump = nullptr;
    removeIfOurs<BoxFunction>(SetMessageBoxHook, BoxFunction(realMessageBox));
    removeIfOurs<BeepFunction>(SetMessageBeepHook, BeepFunction(realBeep));
    if (ownApplication)
        delete application;
    application = nullptr;
    ownApplication = false;
}

void drainMessages()
{
    MSG Msg;
    while (PeekMessage(&Msg))
        deliverMessage(Msg);
}

void deliverMessage(MSG& Msg)
{
    if (Msg.message == WM_QUIT) {
        if (Application)
            Application->Terminate();
        return;
    }
    Access::guarded(Application, [&] {
        // Inside a box or dialog too: a program must not lose what it is told while the operator
        // reads a question.
        if (Application && Application->OnMessage) {
            bool Handled = false;
            Application->OnMessage(Msg, Handled);
            if (Handled)
                return;
        }
        DispatchMessage(&Msg);
    });
}

void wakeLoop()
{
    if (pump)
        QCoreApplication::postEvent(pump, new QEvent(QEvent::None));
}

} // namespace ui_private
