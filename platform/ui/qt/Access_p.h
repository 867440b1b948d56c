//===- Access_p.h - Where Qt's events enter the class library -*- C++ -*-===//
//
// The widgets report input here; Access turns it into the class library's order of events
// (the form's key preview, the control's KeyDown and KeyPress, dialog keys, accelerators; mouse
// presses with capture and click detection) and calls the controls' protected event methods.
// Every call into system code runs guarded: an exception goes to Application->HandleException.
//
#pragma once

#include "platform/ui/controls/TControl.h"

#include <exception>

class QKeyEvent;
class QMouseEvent;
class QPaintEvent;
class QWidget;
class TCustomEdit;
class TForm;
class TMainMenu;
class TMenuItem;
class TRadioGroup;

namespace ui_private {

class PaintBuffer;
class View;

class Access {
public:
    // --- Input from widgets
    static void mousePress(TControl* Control, const QMouseEvent& Event);
    static void mouseRelease(TControl* Control, const QMouseEvent& Event);
    static void mouseDoubleClick(TControl* Control, const QMouseEvent& Event);
    static void mouseMove(TControl* Control, const QMouseEvent& Event);
    static void mouseLeave(TControl* Control);
    /// True when the key was consumed (the widget must not see it).
    static bool keyPress(TControl* Control, const QKeyEvent& Event);
    static void keyRelease(TControl* Control, const QKeyEvent& Event);
    /// ByMouse: a click gave the widget the focus.
    static void focusIn(TControl* Control, bool ByMouse);
    /// The operator asked to close the form's window.
    static void closeRequest(TForm* Form);
    /// The operator moved or sized the form's window.
    static void formGeometry(TForm* Form, int Left, int Top, int ClientWidth, int ClientHeight);
    static void formActivated(TForm* Form);

    // --- Widgets
    /// The widget that a child of Parent goes into.
    static QWidget* containerOf(TControl& Parent);
    static bool hasWidget(const TControl& Control);
    static View* viewOf(TControl& Control);

    // --- Painting
    static PaintBuffer* buffer(TControl& Control);
    /// Brings the control's picture up to date and draws it on the widget.
    static void paintWidget(TControl* Control, QWidget& Widget);
    static void paint(TControl& Control);
    /// The picture changed outside Paint: the widget shows it at its next paint.
    static void showPicture(TControl& Control);

    // --- Calls into the controls
    static void click(TControl* Control);
    static void checkBoxToggled(TControl* Control);
    static void radioButtonChecked(TControl* Control);
    static void radioGroupChosen(TRadioGroup* Group, int Index);
    static void editEdited(TCustomEdit* Edit, const std::string& Text);
    static void menuItemClick(TMenuItem* Item);
    static bool dialogChar(TControl& Control, char Key);
    static void attachMenu(TMainMenu& Menu, TForm& Form);
    static void detachMenu(TMainMenu& Menu);
    static void setFocusTo(TForm& Form, TWinControl* Control);

    /// Controls that exist now (an event handler may free the control it belongs to).
    static bool alive(const TControl* Control);
    static void born(TControl* Control);
    static void died(TControl* Control);

    /// Runs Step, system code called from the loop; an exception goes to
    /// Application->HandleException(Sender).
    template <class F>
    static void guarded(TObject* Sender, F&& Step)
    {
        ++depth_;
        try {
            Step();
        } catch (...) {
            handleException(Sender);
        }
        --depth_;
    }
    /// How many guarded calls are running: at 0 no widget's own event handler is on the stack,
    /// so widgets left for deletion may go.
    static int handlerDepth() { return depth_; }

private:
    static void handleException(TObject* Sender);
    static bool handleKey(TWinControl& Control, const QKeyEvent& Event);
    static inline int depth_ = 0;
};

} // namespace ui_private
