//===- TApplication.cpp - The application object ----------------------------===//
#include "platform/ui/forms/TApplication.h"

#include "platform/ui/qt/Access_p.h"
#include "platform/ui/components/TDataModule.h"
#include "platform/ui/forms/TForm.h"
#include "platform/ui/qt/WidgetApplication_p.h"

#include "platform/user/Dialogs.h"

#include <QCoreApplication>
#include <QEventLoop>

#include <unistd.h>

#include <climits>
#include <string>

TApplication* Application = nullptr;

namespace {

/// The program's file name without folder and extension, the title until the program sets one.
std::string programName()
{
    char Path[PATH_MAX];
    const ssize_t Length = readlink("/proc/self/exe", Path, sizeof(Path) - 1);
    if (Length <= 0)
        return std::string();
    std::string Name(Path, static_cast<size_t>(Length));
    Name = Name.substr(Name.find_last_of('/') + 1);
    if (const size_t Dot = Name.find_last_of('.'); Dot != std::string::npos && Dot > 0)
        Name.resize(Dot);
    return Name;
}

// The application object is made when the class library is loaded and stays to the end of the
// process, with its forms and the Qt application: at exit Qt has already torn down the globals
// it made on first use, so nothing that reaches Qt may run then. The system does its closing
// work in OnClose and OnCloseQuery, before the loop ends, as on the original.
struct ApplicationLifetime {
    ApplicationLifetime() { Application = new TApplication(nullptr); }
} applicationLifetime;

} // namespace

// --- Construction

TApplication::TApplication(TComponent* AOwner) : TComponent(AOwner), FTitle(programName()) {}

TApplication::~TApplication()
{
    FTerminated = true;
    DestroyComponents();
    if (FHandle)
        DestroyWindow(FHandle);
    ui_private::shutdownWidgetApplication();
}

void TApplication::Initialize() { ui_private::ensureWidgetApplication(); }

void TApplication::SetTitle(const std::string& Value) { FTitle = Value; }

void TApplication::makeForm(TForm& Form)
{
    Form.readResource();
    if (!FMainForm)
        FMainForm = &Form;
    Form.DoCreate();
}

void TApplication::makeDataModule(TDataModule& Module)
{
    Module.readResource();
    Module.DoCreate();
}

void TApplication::formDestroyed(TForm* Form)
{
    if (Form == FMainForm)
        FMainForm = nullptr;
}

HWND TApplication::GetHandle()
{
    if (!FHandle)
        // Posted messages that nothing filtered end here; the link's notices among them are
        // dropped, as the original's application window does with messages it does not know.
        FHandle = CreateWindowHandle([](HWND, UINT, WPARAM, LPARAM) -> LRESULT { return 0; });
    return FHandle;
}

// --- The message loop

void TApplication::Run()
{
    Initialize();
    if (!FMainForm)
        return;
    ui_private::Access::guarded(this, [&] { FMainForm->Show(); });
    while (!FTerminated)
        HandleMessage();
}

void TApplication::ProcessMessages()
{
    Initialize();
    ui_private::flushDeletedWidgets();
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents(QEventLoop::AllEvents);
    ui_private::drainMessages();
}

void TApplication::HandleMessage()
{
    Initialize();
    ui_private::flushDeletedWidgets();
    // Anything waiting in the queue goes first; otherwise wait for Qt's next event, which the
    // queue's descriptor raises as well.
    MSG Msg;
    if (PeekMessage(&Msg)) {
        ui_private::deliverMessage(Msg);
        return;
    }
    QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
}

void TApplication::Terminate()
{
    FTerminated = true;
    ui_private::wakeLoop();
}

// --- Messages to the operator

int TApplication::MessageBox(const std::string& Text, const std::string& Caption, UINT Flags)
{
    HWND Owner = 0;
    for (int I = 0; I < ComponentCount(); ++I)
        if (auto* Form = dynamic_cast<TForm*>(Components(I)); Form && Form->GetActive())
            Owner = Form->GetHandle();
    return ::MessageBox(Owner ? Owner : GetHandle(), Text, Caption, Flags);
}

void TApplication::ShowException(const std::exception& E)
{
    const auto* Own = dynamic_cast<const Exception*>(&E);
    std::string Text = Own ? Own->Message() : std::string(E.what());
    // The original ends the sentence for the operator.
    if (!Text.empty() && static_cast<unsigned char>(Text.back()) > '.')
        Text += '.';
    MessageBox(Text, FTitle, MB_OK | MB_ICONERROR);
}

void TApplication::HandleException(TObject*)
{
    if (!std::current_exception())
        return;
    try {
        throw;
    } catch (const std::exception& E) {
        ShowException(E);
    } catch (...) {
        ShowException(Exception("Unknown exception"));
    }
}

LRESULT SendMessage(HWND Window, UINT Msg, WPARAM WParam, LPARAM LParam)
{
    MSG Message;
    Message.hwnd = Window;
    Message.message = Msg;
    Message.wParam = WParam;
    Message.lParam = LParam;
    return DispatchMessage(&Message);
}
