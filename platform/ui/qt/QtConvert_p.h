//===- QtConvert_p.h - Between the class library's values and Qt's -*- C++ -*-===//
#pragma once

#include "platform/ui/components/Colors.h"
#include "platform/ui/components/Events.h"
#include "platform/ui/controls/UiTypes.h"

#include <QColor>
#include <QFont>
#include <QString>
#include <Qt>
#include <string>
#include <string_view>

class QKeyEvent;
class QMouseEvent;
class TFont;

namespace ui_private {

/// True on Qt's offscreen platform, which has no stacking order and no mouse grabs to ask for.
bool offscreenPlatform();

/// ANSI (Windows-1252) text and Qt's Unicode strings.
QString toQString(std::string_view Ansi);
std::string fromQString(const QString& Text);
/// A class library text with CR or CR LF line ends as Qt text with LF.
QString toQLines(std::string_view Ansi);

/// A TColor (system colours resolved through the drawing layer's table) as an opaque QColor.
QColor toQColor(TColor Color);
/// The font of the drawing layer's choice for these properties, at the same pixel height.
QFont toQFont(const TFont& Font);
Qt::CursorShape toQCursor(TCursor Cursor);

/// Modifier keys and held buttons of an input event.
TShiftState shiftOf(Qt::KeyboardModifiers Modifiers, Qt::MouseButtons Buttons);
TShiftState shiftOf(const QMouseEvent& Event);
/// The virtual-key code of a key event (VK_RETURN, 'A', VK_ADD ...); 0 for keys it has none for.
WORD virtualKeyOf(const QKeyEvent& Event);
/// The ANSI character a key event types (#8 for backspace, #13 for Enter, #27 for Escape,
/// #9 for Tab, control characters for Ctrl with a letter); 0 when it types none.
char typedCharOf(const QKeyEvent& Event);
/// The Qt key and text for a virtual key, for events that tests and accelerators send.
Qt::Key qtKeyOf(WORD VirtualKey, bool& Keypad);

} // namespace ui_private
