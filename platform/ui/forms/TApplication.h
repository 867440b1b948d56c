//===- TApplication.h - The application object: title, window, message loop, forms -*- C++ -*-===//
//
// One per process, reached through Application. It owns the forms made with CreateForm and the
// application window (Handle) that other processes post to, and runs the message loop: Qt's
// event loop, fed by platform/user's queue. Each posted message passes OnMessage first, which may
// mark it handled; the rest go to their window's procedure. Every loop does so: Run, modal
// forms, message boxes, the common dialogs and ProcessMessages. A program whose filter takes the
// server's notices keeps following them behind any box; a handler that could open a box of its
// own while one is up decides itself whether it may.
//
#pragma once

#include "platform/rtl/Exception.h"
#include "platform/ui/components/TComponent.h"
#include "platform/user/Messages.h"

#include <functional>
#include <memory>
#include <string>
#include <type_traits>

class TForm;
class TDataModule;

/// The application-wide filter: Handled = true keeps the message from its window's procedure.
using TMessageEvent = std::function<void(MSG& Msg, bool& Handled)>;

class TApplication : public TComponent {
public:
    explicit TApplication(TComponent* AOwner);
    /// Frees the forms, then the application window and the Qt application.
    ~TApplication() override;

    // --- Start-up
    /// Makes the GUI toolkit's application (on Qt's offscreen platform when there is no display)
    /// and installs the real message box and beep. Every call that needs windows does it
    /// itself; programs call it first, as the original's project files do.
    void Initialize();
    const std::string& GetTitle() const { return FTitle; }
    void SetTitle(const std::string& Value);
    /// Makes a T (a form or a data module) owned by the application from its form resource, sets
    /// Reference to it before the resource is read (so OnCreate may use it), then raises its
    /// OnCreate. The first form made becomes MainForm (a data module never does). When reading fails the form is freed, Reference is cleared and the
    /// exception passes on.
    template <class T>
    void CreateForm(T*& Reference);
    TForm* GetMainForm() const { return FMainForm; }

    // --- The application window
    /// Made on first use; posted messages for it pass OnMessage and are then dropped.
    HWND GetHandle();

    // --- The message loop
    /// Shows the main form and handles messages until Terminate (the main form's closing calls
    /// it). Without a main form it returns at once.
    void Run();
    /// Handles every event and message that waits, without waiting.
    void ProcessMessages();
    /// Handles what waits, or waits for the next event or message and handles it.
    void HandleMessage();
    /// Ends Run at the next turn of the loop.
    void Terminate();
    bool GetTerminated() const { return FTerminated; }
    /// Sees every posted message before its window does, in every loop (modal ones included).
    TMessageEvent OnMessage;

    // --- Messages to the operator
    /// The platform's MessageBox (Text and Caption are ANSI), owned by the active form.
    int MessageBox(const std::string& Text, const std::string& Caption, UINT Flags);
    /// A box with E's message, titled with the title, an error icon and OK.
    void ShowException(const std::exception& E);
    /// Called for an exception that escaped an event handler: shows it; the program goes on.
    void HandleException(TObject* Sender);

private:
    friend class TForm;
    void formDestroyed(TForm* Form);
    void makeForm(TForm& Form);
    void makeDataModule(TDataModule& Module);

    std::string FTitle;
    HWND FHandle = 0;
    TForm* FMainForm = nullptr;
    bool FTerminated = false;
};

/// The application object; it lives from the start of the program to its end.
extern TApplication* Application;

/// Sends a message to a window of this process: its procedure runs at once and its answer is
/// returned. 0 for windows that are not of this process.
LRESULT SendMessage(HWND Window, UINT Msg, WPARAM WParam, LPARAM LParam);

template <class T>
void TApplication::CreateForm(T*& Reference)
{
    Initialize();
    T* Form = new T(this);
    Reference = Form;
    try {
        if constexpr (std::is_base_of_v<TForm, T>)
            makeForm(*Form);
        else
            makeDataModule(*Form);
    } catch (...) {
        Reference = nullptr;
        delete Form;
        throw;
    }
}
