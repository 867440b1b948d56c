//===- TControl.h - The base of every visible control -*- C++ -*-===//
//
// A control keeps its properties in its own fields and mirrors them onto a Qt widget, made when
// the control first has a parent with a widget (Qt stays behind the private View). Coordinates are
// pixels in the parent's client area. Event methods (Click, MouseDown, KeyPress ...) are virtual:
// the class library's own controls and the system's controls override them, and each raises its
// published event. An exception that leaves an event goes to Application->HandleException.
//
#pragma once

#include "platform/ui/components/Colors.h"
#include "platform/ui/components/Events.h"
#include "platform/ui/graphics/GraphicsObjects.h"
#include "platform/ui/components/TComponent.h"
#include "platform/ui/components/TypeInfo.h"
#include "platform/ui/controls/UiTypes.h"
#include "platform/user/Messages.h"

#include <memory>
#include <string>
#include <vector>

class TPopupMenu;
class TWinControl;

namespace ui_private {
class Access;
class View;
} // namespace ui_private

/// A window message handed to a control's WndProc; Result is what the sender gets back.
struct TMessage {
    UINT Msg = 0;
    WPARAM WParam = 0;
    LPARAM LParam = 0;
    LRESULT Result = 0;
};

/// What a control does with the mouse by itself.
enum class TControlStyleItem {
    csAcceptsControls, // may hold other controls
    csCaptureMouse,    // takes the mouse capture while a button is held
    csClickEvents,     // a left press and release inside raises Click
    csSetCaption,      // (kept for the original's component code; no effect here)
    csOpaque,          // paints its whole area: nothing of the parent shows through
    csDoubleClicks,    // a double click raises DblClick; otherwise it counts as a press
};
using enum TControlStyleItem;
using TControlStyle = TSet<TControlStyleItem>;

class TControl : public TComponent {
public:
    explicit TControl(TComponent* AOwner);
    ~TControl() override;

    // --- Position and size, in the parent's client coordinates
    int GetLeft() const { return FLeft; }
    void SetLeft(int Value) { SetBounds(Value, FTop, FWidth, FHeight); }
    int GetTop() const { return FTop; }
    void SetTop(int Value) { SetBounds(FLeft, Value, FWidth, FHeight); }
    int GetWidth() const { return FWidth; }
    void SetWidth(int Value) { SetBounds(FLeft, FTop, Value, FHeight); }
    int GetHeight() const { return FHeight; }
    void SetHeight(int Value) { SetBounds(FLeft, FTop, FWidth, Value); }
    /// Moves and sizes at once (negative sizes count as 0); a change of size calls Resize.
    /// A control may change its size again inside Resize or Paint: the last request wins.
    virtual void SetBounds(int ALeft, int ATop, int AWidth, int AHeight);
    TRect GetBoundsRect() const { return Bounds(FLeft, FTop, FWidth, FHeight); }
    void SetBoundsRect(const TRect& R) { SetBounds(R.Left, R.Top, R.Width(), R.Height()); }
    /// (0, 0, ClientWidth, ClientHeight).
    TRect GetClientRect() const;
    virtual int GetClientWidth() const { return FWidth; }
    virtual void SetClientWidth(int Value);
    virtual int GetClientHeight() const { return FHeight; }
    virtual void SetClientHeight(int Value);
    /// The screen position of the client area's top-left corner: the parent's client origin
    /// moved by Left and Top (a top-level window knows its own).
    virtual TPoint GetClientOrigin() const;
    TPoint ClientToScreen(TPoint P) const;
    TPoint ScreenToClient(TPoint P) const;
    TAlign GetAlign() const { return FAlign; }
    void SetAlign(TAlign Value);

    // --- Parent and visibility
    TWinControl* GetParent() const { return FParent; }
    /// Moves the control into AParent's client area (nullptr takes it out).
    virtual void SetParent(TWinControl* AParent);
    bool GetVisible() const { return FVisible; }
    virtual void SetVisible(bool Value);
    void Show() { SetVisible(true); }
    void Hide() { SetVisible(false); }
    /// Visible, and its parents (up to a form that is shown) too.
    virtual bool Showing() const;
    bool GetEnabled() const { return FEnabled; }
    virtual void SetEnabled(bool Value);
    void BringToFront();
    void SendToBack();

    // --- Appearance
    TColor GetColor() const { return FColor; }
    /// Clears ParentColor.
    void SetColor(TColor Value);
    bool GetParentColor() const { return FParentColor; }
    /// True takes the parent's colour now and whenever it changes.
    void SetParentColor(bool Value);
    TFont* GetFont() const { return FFont.get(); }
    void SetFont(const TFont& Value) { FFont->Assign(Value); }
    bool GetParentFont() const { return FParentFont; }
    /// True takes the parent's font now and whenever it changes; a change of Font clears it.
    void SetParentFont(bool Value);
    /// Caption and Text are one string (labels and buttons call it Caption, edits Text).
    const std::string& GetCaption() const { return GetText(); }
    void SetCaption(const std::string& Value) { SetText(Value); }
    virtual const std::string& GetText() const { return FText; }
    /// An equal text changes nothing.
    virtual void SetText(const std::string& Value);

    // --- Hints: "short|long"; the tool tip shows the short part, CR starts a new line
    const std::string& GetHint() const { return FHint; }
    void SetHint(const std::string& Value);
    bool GetShowHint() const { return FShowHint; }
    /// Clears ParentShowHint; controls that follow this one take the new value.
    void SetShowHint(bool Value);
    bool GetParentShowHint() const { return FParentShowHint; }
    void SetParentShowHint(bool Value);

    // --- Mouse
    TCursor GetCursor() const { return FCursor; }
    void SetCursor(TCursor Value);
    TPopupMenu* GetPopupMenu() const { return FPopupMenu; }
    /// Shown at the mouse on a right click.
    void SetPopupMenu(TPopupMenu* Value);
    /// The control that gets every mouse event while it holds the capture.
    bool GetMouseCapture() const;
    void SetMouseCapture(bool Value);
    TControlStyle ControlStyle;

    // --- Painting
    /// Asks for a paint soon; paints of many calls are merged.
    virtual void Invalidate();
    /// Paints what was invalidated, now.
    virtual void Update();
    /// Invalidate and Update: paints now.
    void Repaint();
    void Refresh() { Repaint(); }

    // --- Messages
    /// Hands the message to WndProc at once and answers its result.
    LRESULT Perform(UINT Msg, WPARAM WParam, LPARAM LParam);

    // --- Events
    TNotifyEvent OnClick;
    TNotifyEvent OnDblClick;
    TMouseEvent OnMouseDown;
    TMouseMoveEvent OnMouseMove;
    TMouseEvent OnMouseUp;
    TNotifyEvent OnResize;

protected:
    // --- Event methods; each raises its event
    virtual void Click();
    virtual void DblClick();
    virtual void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y);
    virtual void MouseMove(TShiftState Shift, int X, int Y);
    virtual void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y);
    /// The mouse left the control.
    virtual void MouseLeave();
    /// After a change of size.
    virtual void Resize();
    /// An accelerator typed while no control takes characters (or with Alt): true when this
    /// control acted on it. The default does nothing.
    virtual bool DialogChar(char Key);
    /// Messages sent with Perform; the default answers 0.
    virtual void WndProc(TMessage& Message);

    // --- Change notices for descendants
    virtual void TextChanged();
    virtual void FontChanged();
    virtual void ColorChanged();
    virtual void EnabledChanged();
    virtual void VisibleChanged();

    void SetParentComponent(TComponent* Value) override;
    void Loaded() override;
    void Notification(TComponent* AComponent, TOperation Operation) override;

    /// The text shown as the tool tip: the short part of Hint when hints are on, else "".
    std::string ShownHint() const;

private:
    friend class TForm;
    friend class TWinControl;
    friend class ui_private::Access;

    /// Makes the control's widget in its parent's widget; each kind makes its own.
    virtual std::unique_ptr<ui_private::View> CreateView();
    void createWidget();
    void destroyWidget();
    void applyBounds();
    void fontChanged(TObject* Sender);
    void parentFontChanged();
    void parentColorChanged();
    void parentShowHintChanged();
    void updateHint();

    int FLeft = 0, FTop = 0, FWidth = 0, FHeight = 0;
    TAlign FAlign = alNone;
    TWinControl* FParent = nullptr;
    bool FVisible = true;
    bool FEnabled = true;
    TColor FColor = clWindow;
    bool FParentColor = false;
    std::unique_ptr<TFont> FFont;
    bool FParentFont = true;
    bool FFontFromParent = false; // the font is being copied from the parent: ParentFont stays
    std::string FText;
    std::string FHint;
    bool FShowHint = false;
    bool FParentShowHint = true;
    TCursor FCursor = crDefault;
    TPopupMenu* FPopupMenu = nullptr;
    int FResizeDepth = 0;
    std::unique_ptr<ui_private::View> FView;
};
