//===- BridgeTemplates_p.h - The bodies of Bridge's event handlers -*- C++ -*-===//
//
// Included at the end of View_p.h.
//
#pragma once

#include "platform/ui/qt/Access_p.h"
#include "platform/ui/qt/View_p.h"

#include <QFocusEvent>
#include <QKeyEvent>
#include <QMouseEvent>

namespace ui_private {

// The Qt class reacts first (a push button takes its pressed look, a check box toggles), then
// the control hears of it, as on the original platform where the control's own window handles
// the message before the class library raises the event.

template <class QBase>
void Bridge<QBase>::mousePressEvent(QMouseEvent* Event)
{
    QBase::mousePressEvent(Event);
    Event->accept();
    if (control && !inDoubleClick)
        Access::mousePress(control, *Event);
}

template <class QBase>
void Bridge<QBase>::mouseReleaseEvent(QMouseEvent* Event)
{
    QBase::mouseReleaseEvent(Event);
    Event->accept();
    if (control)
        Access::mouseRelease(control, *Event);
}

template <class QBase>
void Bridge<QBase>::mouseDoubleClickEvent(QMouseEvent* Event)
{
    inDoubleClick = true;
    QBase::mouseDoubleClickEvent(Event);
    inDoubleClick = false;
    Event->accept();
    if (control)
        Access::mouseDoubleClick(control, *Event);
}

template <class QBase>
void Bridge<QBase>::mouseMoveEvent(QMouseEvent* Event)
{
    QBase::mouseMoveEvent(Event);
    Event->accept();
    if (control)
        Access::mouseMove(control, *Event);
}

template <class QBase>
void Bridge<QBase>::leaveEvent(QEvent* Event)
{
    QBase::leaveEvent(Event);
    if (control)
        Access::mouseLeave(control);
}

template <class QBase>
void Bridge<QBase>::keyPressEvent(QKeyEvent* Event)
{
    // The class library decides first: the form's preview, KeyDown, KeyPress, dialog keys.
    if (control && Access::keyPress(control, *Event)) {
        swallowedKey = Event->key();
        Event->accept();
        return;
    }
    swallowedKey = 0;
    QBase::keyPressEvent(Event);
    // Handled here in full: a key the Qt class ignores must not reach the parent widgets, which
    // would run the form's key handling a second time.
    Event->accept();
}

template <class QBase>
void Bridge<QBase>::keyReleaseEvent(QKeyEvent* Event)
{
    if (swallowedKey != 0 && swallowedKey == Event->key()) {
        if (!Event->isAutoRepeat())
            swallowedKey = 0;
        Event->accept();
        return;
    }
    QBase::keyReleaseEvent(Event);
    Event->accept();
    if (control)
        Access::keyRelease(control, *Event);
}

template <class QBase>
void Bridge<QBase>::focusInEvent(QFocusEvent* Event)
{
    QBase::focusInEvent(Event);
    if (control)
        Access::focusIn(control, Event->reason() == Qt::MouseFocusReason);
}

} // namespace ui_private
