//===- TWinControl.h - Controls that hold other controls and take the keyboard -*- C++ -*-===//
//
// Keys travel as on the original platform: a form with KeyPreview sees each key first, then the
// focused control (KeyDown, then KeyPress with the character); a handler that sets the key to 0
// consumes it. Enter and Escape that no one consumed press the form's Default and Cancel buttons
// (Enter presses the focused button when a button has the focus), Tab moves the focus, and a
// character that the focused control does not take (or any with Alt) tries the accelerators.
//
#pragma once

#include "platform/rtl/Exception.h"
#include "platform/ui/components/Events.h"
#include "platform/ui/controls/TControl.h"

#include <vector>

class TWinControl : public TControl {
public:
    explicit TWinControl(TComponent* AOwner);
    /// Frees the controls it holds, whoever owns them (their owners hear of it).
    ~TWinControl() override;

    // --- Controls held
    int ControlCount() const { return static_cast<int>(FControls.size()); }
    /// Index 0..ControlCount()-1, in the order they came; else EListError.
    TControl* Controls(int Index) const;
    /// True for this control's children, grandchildren ...
    bool ContainsControl(const TControl* Control) const;

    /// True once the control has its window: a form from the start, any other control once it
    /// sits on a form.
    bool HandleAllocated() const { return FView != nullptr; }

    // --- Focus and tab order
    /// True while the control has the focus of its form and the form is shown.
    bool Focused() const;
    /// Showing and enabled, and so are its parents.
    virtual bool CanFocus() const;
    /// Makes the control the active control of its form; OnExit of the old one and OnEnter of
    /// the new one follow. Raises EInvalidOperation "Cannot focus a disabled or invisible window"
    /// when it cannot take the focus.
    virtual void SetFocus();
    int GetTabOrder() const;
    /// Moves the control to that place among its siblings (out-of-range values go last).
    void SetTabOrder(int Value);
    bool GetTabStop() const { return FTabStop; }
    void SetTabStop(bool Value) { FTabStop = Value; }

    // --- Three-dimensional borders: kept for the form resources; the look here is always 3-D
    /// With ParentCtl3D, the parent's value (the own one while there is no parent).
    bool GetCtl3D() const;
    /// Clears ParentCtl3D.
    void SetCtl3D(bool Value);
    bool GetParentCtl3D() const { return FParentCtl3D; }
    /// False keeps the value the parent gave.
    void SetParentCtl3D(bool Value);

    // --- Events
    TKeyEvent OnKeyDown;
    TKeyEvent OnKeyUp;
    TKeyPressEvent OnKeyPress;
    TNotifyEvent OnEnter;
    TNotifyEvent OnExit;

protected:
    virtual void KeyDown(WORD& Key, TShiftState Shift);
    virtual void KeyUp(WORD& Key, TShiftState Shift);
    virtual void KeyPress(char& Key);
    virtual void DoEnter();
    virtual void DoExit();
    /// True for controls that take typed characters themselves (edits): the accelerators then
    /// need Alt.
    virtual bool WantsChars() const { return false; }
    /// True for keys the control uses itself instead of the form (arrows in a list ...).
    virtual bool WantsKey(WORD Key) const;
    /// The part of the client area that aligned children share (panels leave their borders out).
    virtual TRect AlignRect() const { return GetClientRect(); }
    /// Places the aligned children (alTop first, then alBottom, alLeft, alRight, alClient).
    void Realign();

    void FontChanged() override;
    void ColorChanged() override;
    void Loaded() override;
    /// Runs the move and size system commands (Mouse.h).
    void WndProc(TMessage& Message) override;

    // --- What a top-level window does for the controls it holds (a form overrides them)
    /// True while the window is shown, so its controls may take the focus.
    virtual bool HoldsFocus() const { return false; }
    /// The control with the focus in this window; a hidden window only remembers it.
    virtual TWinControl* FocusedChild() const { return nullptr; }
    /// Gives Control, one of this window's controls that can take it, the focus.
    virtual void FocusChild(TWinControl*) {}
    /// Control is leaving this window: the focus must not stay with it.
    virtual void ChildLeaving(TControl*) {}

private:
    friend class TControl;
    friend class ui_private::Access;

    void insertControl(TControl* Control);
    void removeControl(TControl* Control);
    void createChildWidgets();
    /// The outermost control this one sits in (itself when it sits in none).
    TWinControl* topLevel() const;

    std::vector<TControl*> FControls;
    std::vector<TWinControl*> FTabList;
    bool FTabStop = false;
    bool FAligning = false;
    bool FCtl3D = true;
    bool FParentCtl3D = true;
};

/// An operation that the control's state does not allow ("Cannot focus a disabled or invisible window").
class EInvalidOperation : public Exception {
public:
    using Exception::Exception;
};
