//===- View_p.h - The Qt widget behind a control, and the widgets that report to it -*- C++ -*-===//
//
// A View owns the widget of one control and mirrors the control's properties onto it. The
// widgets are Qt's own classes with a Bridge mixed in, which hands every input event to Access
// (mouse, keys, focus) before or instead of the Qt class's own handling.
//
#pragma once

#include "platform/ui/components/Colors.h"
#include "platform/ui/controls/UiTypes.h"

#include <QPointer>
#include <QWidget>
#include <string>

class QFocusEvent;
class QKeyEvent;
class QMouseEvent;
class TControl;
class TFont;
class TWinControl;

namespace ui_private {

/// The part of every widget that knows its control. The control is null once the control is
/// gone and only the widget's deferred deletion is pending.
class BridgeBase {
public:
    virtual ~BridgeBase() = default;
    TControl* control = nullptr;
    /// A key press that was consumed: its release is consumed too (Space would click a button).
    int swallowedKey = 0;
    /// Qt turns a double click into a press as well; the control hears of it once.
    bool inDoubleClick = false;
};

class View {
public:
    View(TControl& Control, QWidget* Widget);
    /// Detaches the widget from the control, hides it and deletes it once Qt is back in its loop.
    virtual ~View();
    View(const View&) = delete;
    View& operator=(const View&) = delete;

    TControl& control() const { return control_; }
    QWidget* widget() const { return widget_; }
    /// The widget that holds the widgets of child controls.
    virtual QWidget* container() const { return widget_; }

    // --- The control's state, pushed onto the widget
    virtual void applyGeometry(int Left, int Top, int Width, int Height);
    virtual void applyVisible(bool Visible);
    virtual void applyEnabled(bool Enabled);
    virtual void applyText(const std::string& Text);
    virtual void applyFont(const TFont& Font);
    virtual void applyColor(TColor Color);
    virtual void applyHint(const std::string& Hint);
    virtual void applyCursor(TCursor Cursor);

protected:
    /// Sets the widget's background (and for parents the window colour) to Color.
    void paintBackground(TColor Color, bool Fill);

private:
    TControl& control_;
    QPointer<QWidget> widget_;
};

/// A Qt widget class with its input events reported to the control first.
template <class QBase>
class Bridge : public QBase, public BridgeBase {
public:
    template <class... A>
    explicit Bridge(TControl* Control, A&&... Args) : QBase(std::forward<A>(Args)...)
    {
        control = Control;
        this->setMouseTracking(true);
    }

protected:
    void mousePressEvent(QMouseEvent* Event) override;
    void mouseReleaseEvent(QMouseEvent* Event) override;
    void mouseDoubleClickEvent(QMouseEvent* Event) override;
    void mouseMoveEvent(QMouseEvent* Event) override;
    void leaveEvent(QEvent* Event) override;
    void keyPressEvent(QKeyEvent* Event) override;
    void keyReleaseEvent(QKeyEvent* Event) override;
    void focusInEvent(QFocusEvent* Event) override;
    /// Tab reaches keyPressEvent: the form moves the focus in its own tab order.
    bool focusNextPrevChild(bool) override { return false; }
};

} // namespace ui_private

#include "platform/ui/qt/BridgeTemplates_p.h"
