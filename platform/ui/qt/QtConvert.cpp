//===- QtConvert.cpp - Between the class library's values and Qt's ---------===//
#include "platform/ui/qt/QtConvert_p.h"

#include "platform/ui/graphics/GraphicsObjects.h"
#include "platform/ui/controls/VirtualKeys.h"

#include "platform/gdi/fonts/FontEngine.h"
#include "platform/gdi/Gdi.h"

#include "platform/rtl/AnsiString.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>

#include <cmath>

namespace ui_private {

namespace {

struct KeyPair {
    Qt::Key Key;
    WORD VirtualKey;
};

// Keys whose code does not follow from the key itself.
constexpr KeyPair SpecialKeys[] = {
    { Qt::Key_Space, VK_SPACE },
    { Qt::Key_Return, VK_RETURN },
    { Qt::Key_Enter, VK_RETURN },
    { Qt::Key_Escape, VK_ESCAPE },
    { Qt::Key_Tab, VK_TAB },
    { Qt::Key_Backtab, VK_TAB },
    { Qt::Key_Backspace, VK_BACK },
    { Qt::Key_Delete, VK_DELETE },
    { Qt::Key_Insert, VK_INSERT },
    { Qt::Key_Home, VK_HOME },
    { Qt::Key_End, VK_END },
    { Qt::Key_PageUp, VK_PRIOR },
    { Qt::Key_PageDown, VK_NEXT },
    { Qt::Key_Left, VK_LEFT },
    { Qt::Key_Right, VK_RIGHT },
    { Qt::Key_Up, VK_UP },
    { Qt::Key_Down, VK_DOWN },
    { Qt::Key_Shift, VK_SHIFT },
    { Qt::Key_Control, VK_CONTROL },
    { Qt::Key_Alt, VK_MENU },
    { Qt::Key_Pause, VK_PAUSE },
    { Qt::Key_Equal, VK_OEM_PLUS },
    { Qt::Key_Comma, VK_OEM_COMMA },
    { Qt::Key_Less, VK_OEM_COMMA },
    { Qt::Key_Underscore, VK_OEM_MINUS },
    { Qt::Key_Greater, VK_OEM_PERIOD },
    // Shifted digits of the main keyboard are the digit keys.
    { Qt::Key_Exclam, '1' },
    { Qt::Key_At, '2' },
    { Qt::Key_NumberSign, '3' },
    { Qt::Key_Dollar, '4' },
    { Qt::Key_Percent, '5' },
    { Qt::Key_AsciiCircum, '6' },
    { Qt::Key_Ampersand, '7' },
    { Qt::Key_ParenLeft, '9' },
    { Qt::Key_ParenRight, '0' },
};

// Keys that the numeric pad and the main keyboard share: the pad has codes of its own.
WORD sharedKey(int Key, bool Keypad)
{
    switch (Key) {
    case Qt::Key_Plus: return Keypad ? VK_ADD : VK_OEM_PLUS;
    case Qt::Key_Minus: return Keypad ? VK_SUBTRACT : VK_OEM_MINUS;
    case Qt::Key_Asterisk: return Keypad ? VK_MULTIPLY : WORD('8');
    case Qt::Key_Slash: return Keypad ? VK_DIVIDE : WORD(0xBF);
    case Qt::Key_Period: return Keypad ? VK_DECIMAL : VK_OEM_PERIOD;
    default: return 0;
    }
}

} // namespace

bool offscreenPlatform()
{
    static const bool Offscreen = QGuiApplication::platformName() == QLatin1String("offscreen");
    return Offscreen;
}

QString toQString(std::string_view Ansi) { return QString::fromStdString(AnsiToUtf8(Ansi)); }

std::string fromQString(const QString& Text) { return Utf8ToAnsi(Text.toStdString()); }

QString toQLines(std::string_view Ansi)
{
    QString Text = toQString(Ansi);
    Text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    Text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return Text;
}

QColor toQColor(TColor Color)
{
    const COLORREF C = ColorToRGB(static_cast<uint32_t>(Color));
    return QColor(GetRValue(C), GetGValue(C), GetBValue(C));
}

QFont toQFont(const TFont& Font)
{
    // The face the drawing layer picks for the name, so widget text and canvas text match.
    const auto Realized = RealizedFont::Realize(Font.LogFont());
    QFont Result(QString::fromStdString(Realized->FamilyName()));
    Result.setPixelSize(std::max(1, static_cast<int>(std::lround(Realized->PixelSize()))));
    const TFontStyles Style = Font.GetStyle();
    Result.setBold(Style.Contains(fsBold));
    Result.setItalic(Style.Contains(fsItalic));
    Result.setUnderline(Style.Contains(fsUnderline));
    Result.setStrikeOut(Style.Contains(fsStrikeOut));
    // Canvas text is never antialiased; widget text follows, so grabs are the same everywhere.
    Result.setStyleStrategy(QFont::NoAntialias);
    return Result;
}

Qt::CursorShape toQCursor(TCursor Cursor)
{
    switch (Cursor) {
    case crNone: return Qt::BlankCursor;
    case crCross: return Qt::CrossCursor;
    case crIBeam: return Qt::IBeamCursor;
    case crSizeNESW: return Qt::SizeBDiagCursor;
    case crSizeNS: return Qt::SizeVerCursor;
    case crSizeNWSE: return Qt::SizeFDiagCursor;
    case crSizeWE: return Qt::SizeHorCursor;
    case crUpArrow: return Qt::UpArrowCursor;
    case crHourGlass: return Qt::WaitCursor;
    case crNo: return Qt::ForbiddenCursor;
    case crHandPoint: return Qt::PointingHandCursor;
    case crSizeAll: return Qt::SizeAllCursor;
    default: return Qt::ArrowCursor;
    }
}

TShiftState shiftOf(Qt::KeyboardModifiers Modifiers, Qt::MouseButtons Buttons)
{
    TShiftState Shift;
    if (Modifiers & Qt::ShiftModifier)
        Shift.Include(ssShift);
    if (Modifiers & Qt::ControlModifier)
        Shift.Include(ssCtrl);
    if (Modifiers & Qt::AltModifier)
        Shift.Include(ssAlt);
    if (Buttons & Qt::LeftButton)
        Shift.Include(ssLeft);
    if (Buttons & Qt::RightButton)
        Shift.Include(ssRight);
    if (Buttons & Qt::MiddleButton)
        Shift.Include(ssMiddle);
    return Shift;
}

TShiftState shiftOf(const QMouseEvent& Event) { return shiftOf(Event.modifiers(), Event.buttons()); }

WORD virtualKeyOf(const QKeyEvent& Event)
{
    const int Key = Event.key();
    const bool Keypad = Event.modifiers() & Qt::KeypadModifier;
    if (Key >= Qt::Key_A && Key <= Qt::Key_Z)
        return static_cast<WORD>('A' + (Key - Qt::Key_A));
    if (Key >= Qt::Key_0 && Key <= Qt::Key_9)
        return static_cast<WORD>(Keypad ? VK_NUMPAD0 + (Key - Qt::Key_0) : '0' + (Key - Qt::Key_0));
    if (Key >= Qt::Key_F1 && Key <= Qt::Key_F12)
        return static_cast<WORD>(VK_F1 + (Key - Qt::Key_F1));
    if (const WORD Shared = sharedKey(Key, Keypad))
        return Shared;
    for (const KeyPair& P : SpecialKeys)
        if (P.Key == Key)
            return P.VirtualKey;
    return 0;
}

char typedCharOf(const QKeyEvent& Event)
{
    const int Key = Event.key();
    switch (Key) {
    case Qt::Key_Backspace: return '\b';
    case Qt::Key_Return:
    case Qt::Key_Enter: return '\r';
    case Qt::Key_Escape: return '\x1B';
    case Qt::Key_Tab: return '\t';
    default: break;
    }
    if ((Event.modifiers() & Qt::ControlModifier) && Key >= Qt::Key_A && Key <= Qt::Key_Z)
        return static_cast<char>(1 + (Key - Qt::Key_A));
    const QString Text = Event.text();
    if (Text.isEmpty()) {
        // With Alt the keyboard types nothing, but the key still names an accelerator.
        if (!(Event.modifiers() & Qt::AltModifier))
            return 0;
        if (Key >= Qt::Key_A && Key <= Qt::Key_Z)
            return static_cast<char>('a' + (Key - Qt::Key_A));
        if (Key >= Qt::Key_0 && Key <= Qt::Key_9)
            return static_cast<char>('0' + (Key - Qt::Key_0));
        return 0;
    }
    const std::string Ansi = fromQString(Text.left(1));
    if (Ansi.size() != 1 || static_cast<unsigned char>(Ansi[0]) < 32 || Ansi[0] == '\x7F')
        return 0;
    return Ansi[0];
}

Qt::Key qtKeyOf(WORD VirtualKey, bool& Keypad)
{
    Keypad = false;
    if (VirtualKey >= 'A' && VirtualKey <= 'Z')
        return static_cast<Qt::Key>(Qt::Key_A + (VirtualKey - 'A'));
    if (VirtualKey >= '0' && VirtualKey <= '9')
        return static_cast<Qt::Key>(Qt::Key_0 + (VirtualKey - '0'));
    if (VirtualKey >= VK_NUMPAD0 && VirtualKey <= VK_NUMPAD0 + 9) {
        Keypad = true;
        return static_cast<Qt::Key>(Qt::Key_0 + (VirtualKey - VK_NUMPAD0));
    }
    if (VirtualKey >= VK_F1 && VirtualKey <= VK_F12)
        return static_cast<Qt::Key>(Qt::Key_F1 + (VirtualKey - VK_F1));
    switch (VirtualKey) {
    case VK_ADD: Keypad = true; return Qt::Key_Plus;
    case VK_SUBTRACT: Keypad = true; return Qt::Key_Minus;
    case VK_MULTIPLY: Keypad = true; return Qt::Key_Asterisk;
    case VK_DIVIDE: Keypad = true; return Qt::Key_Slash;
    case VK_DECIMAL: Keypad = true; return Qt::Key_Period;
    case VK_OEM_MINUS: return Qt::Key_Minus;
    case VK_OEM_PERIOD: return Qt::Key_Period;
    default: break;
    }
    for (const KeyPair& P : SpecialKeys)
        if (P.VirtualKey == VirtualKey)
            return P.Key;
    return Qt::Key_unknown;
}

} // namespace ui_private
