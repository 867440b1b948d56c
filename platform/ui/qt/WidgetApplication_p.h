//===- WidgetApplication_p.h - The Qt application, its message pump and real dialogs -*- C++ -*-===//
#pragma once

#include "platform/user/Messages.h"

class TForm;

namespace ui_private {

/// Makes the QApplication (on Qt's offscreen platform when there is no display), starts the
/// message pump and installs the real message box and beep unless hooks are installed already.
/// Raises Exception when the process already has a Qt application without widgets.
void ensureWidgetApplication();
bool widgetApplicationExists();
/// Deletes widgets left for deletion, stops the pump, takes back the hooks it installed and
/// deletes the QApplication.
void shutdownWidgetApplication();
/// Frees released forms and deletes the widgets of freed controls, unless an event handler is
/// running (its form or widget could be among them).
void flushDeletedWidgets();
/// Frees Form at the next flush.
void releaseLater(TForm* Form);

/// Takes every posted message and timer that waits and delivers it: OnMessage first, then the
/// window's procedure (only the procedure while a message box is up).
void drainMessages();
void deliverMessage(MSG& Msg);
/// Wakes a loop that waits for events, so that it looks at Terminated.
void wakeLoop();

} // namespace ui_private
