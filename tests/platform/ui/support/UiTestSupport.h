//===- UiTestSupport.h - Answering the GUI without a person, and driving it -*- C++ -*-===//
//
// Answerers install a hook for as long as they live (and put the previous one back): message
// boxes, modal forms, common dialogs and popup menus are answered from a queue and recorded,
// beeps are recorded. The helpers send real Qt input events to a control's widget, so input
// takes the same road as the operator's (key preview, KeyPress, dialog keys, click detection).
//
#pragma once

#include "platform/ui/components/Events.h"
#include "platform/ui/controls/UiTypes.h"
#include "platform/user/Dialogs.h"

#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

class Dib;
class TCommonDialog;
class TControl;
class TForm;
class TPopupMenu;
class TWinControl;

namespace uitest {

// --- Message boxes and beeps

struct BoxRecord {
    HWND Owner = 0;
    std::string Text;
    std::string Caption;
    UINT Type = 0;
};

/// Answers every platform message box: the queued answers in order, then the box's first
/// button (IDOK, or IDYES for Yes/No boxes).
class MessageBoxAnswerer {
public:
    MessageBoxAnswerer();
    ~MessageBoxAnswerer();
    MessageBoxAnswerer(const MessageBoxAnswerer&) = delete;
    MessageBoxAnswerer& operator=(const MessageBoxAnswerer&) = delete;

    void Answer(int Result) { answers_.push_back(Result); }
    /// Runs while a box is up, before the box is answered; it gets the box's record. A loop it
    /// runs stands for the box's own.
    std::function<void(const BoxRecord& Box)> WhileUp;
    const std::vector<BoxRecord>& Boxes() const { return boxes_; }

private:
    MessageBoxHook previous_;
    std::deque<int> answers_;
    std::vector<BoxRecord> boxes_;
};

/// Answers the real message box (the platform's default, a Qt dialog) for as long as it lives:
/// once When() holds, with the box up, the box's button for Answer (IDOK, IDYES ...) is
/// pressed. When is asked at every turn of the box's own loop.
class RealBoxAnswerer {
public:
    RealBoxAnswerer(std::function<bool()> When, int Answer);
    ~RealBoxAnswerer();
    RealBoxAnswerer(const RealBoxAnswerer&) = delete;
    RealBoxAnswerer& operator=(const RealBoxAnswerer&) = delete;

    /// The text of the box that was answered.
    const std::string& Text() const { return text_; }

private:
    struct Watch;
    std::unique_ptr<Watch> watch_;
    std::string text_;
};

class BeepRecorder {
public:
    BeepRecorder();
    ~BeepRecorder();
    BeepRecorder(const BeepRecorder&) = delete;
    BeepRecorder& operator=(const BeepRecorder&) = delete;

    /// The types of the beeps so far (0xFFFF, MB_ICONINFORMATION ...).
    const std::vector<UINT>& Beeps() const { return beeps_; }

private:
    MessageBeepHook previous_;
    std::vector<UINT> beeps_;
};

// --- Modal forms, dialogs and popup menus

struct ModalRecord {
    std::string ClassName;
    std::string Caption;
};

/// Answers ShowModal: each queued action runs while the form is up (click a button, type keys,
/// set ModalResult, run the loop ...); without one the form answers mrCancel.
class ModalAnswerer {
public:
    using Action = std::function<void(TForm& Form)>;
    ModalAnswerer();
    ~ModalAnswerer();
    ModalAnswerer(const ModalAnswerer&) = delete;
    ModalAnswerer& operator=(const ModalAnswerer&) = delete;

    void Then(Action A) { actions_.push_back(std::move(A)); }
    /// Queues a click on the form's component of that name.
    void ClickButton(const std::string& Name);
    /// Queues the answer Result (the form's ModalResult).
    void Answer(TModalResult Result);
    const std::vector<ModalRecord>& Shown() const { return shown_; }

private:
    std::function<void(TForm&)> previous_;
    std::deque<Action> actions_;
    std::vector<ModalRecord> shown_;
};

struct DialogRecord {
    std::string ClassName;
    std::string Title;    // save dialogs
    std::string FileName; // the file name the dialog was opened with
};

/// Answers TSaveDialog, TPrintDialog and TPrinterSetupDialog: the queued answers in order
/// (true with a file name sets the save dialog's FileName), then false.
class DialogAnswerer {
public:
    DialogAnswerer();
    ~DialogAnswerer();
    DialogAnswerer(const DialogAnswerer&) = delete;
    DialogAnswerer& operator=(const DialogAnswerer&) = delete;

    void Answer(bool Ok, const std::string& FileName = {}) { answers_.push_back({ Ok, FileName }); }
    const std::vector<DialogRecord>& Shown() const { return shown_; }

private:
    struct Queued {
        bool Ok;
        std::string FileName;
    };
    std::function<bool(TCommonDialog&)> previous_;
    std::deque<Queued> answers_;
    std::vector<DialogRecord> shown_;
};

struct PopupRecord {
    std::string MenuName;
    int X = 0, Y = 0;
};

/// Records popup menus instead of showing them; a queued item name chooses that item.
class PopupAnswerer {
public:
    PopupAnswerer();
    ~PopupAnswerer();
    PopupAnswerer(const PopupAnswerer&) = delete;
    PopupAnswerer& operator=(const PopupAnswerer&) = delete;

    void Choose(const std::string& ItemName) { choices_.push_back(ItemName); }
    const std::vector<PopupRecord>& Shown() const { return shown_; }

private:
    std::function<void(TPopupMenu&, int, int)> previous_;
    std::deque<std::string> choices_;
    std::vector<PopupRecord> shown_;
};

// --- Input

/// A left click (press and release) at (X, Y) of the control, or at its middle.
void Click(TControl& Control);
void Click(TControl& Control, int X, int Y);
void DoubleClick(TControl& Control, int X, int Y);
void MousePress(TControl& Control, TMouseButton Button, int X, int Y, TShiftState Shift = {});
void MouseRelease(TControl& Control, TMouseButton Button, int X, int Y, TShiftState Shift = {});
void MouseMove(TControl& Control, int X, int Y, TShiftState Shift = {});
/// Presses and releases a key (a virtual-key code) on Target; a form passes it to its active
/// control, or takes it itself when none has the focus.
void PressKey(TWinControl& Target, WORD Key, TShiftState Shift = {});
/// Types each ANSI character as one key press and release.
void TypeText(TWinControl& Target, std::string_view Text);
/// Puts Text on the clipboard and presses Ctrl+V on Target.
void Paste(TWinControl& Target, std::string_view Text);

// --- Looking

/// The control as it shows on the screen (a form: its client area), painted now.
std::unique_ptr<Dib> Grab(TControl& Control);
/// The tool tip the control's widget would show.
std::string ToolTipOf(TControl& Control);
/// True while the control's widget would be seen (it and its parents shown).
bool WidgetVisible(TControl& Control);
/// The text the widget of a button, check box, group box or edit shows.
std::string WidgetText(TControl& Control);

/// What the window manager is asked for a form's window.
struct WindowHints {
    bool StaysOnTop = false;
    bool MinimizeButton = false;
    bool MaximizeButton = false;
    bool CloseButton = false;
    bool Resizable = false;
    bool Dialog = false;
};
WindowHints HintsOf(TForm& Form);
/// True while the application shows a cursor of its own over every window.
bool OverrideCursorShown();

} // namespace uitest
