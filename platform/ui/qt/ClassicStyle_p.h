//===- ClassicStyle_p.h - The classic look of the Qt widgets behind the controls -*- C++ -*-===//
//
// Push buttons, check boxes, radio items, group boxes, menu bars and message boxes are Qt's
// widgets; this style gives them the original platform's classic look: the system colours,
// raised button faces in the button-face grey with a 3D bevel, sunk while pressed, a dotted
// focus rectangle and the default button's dark frame. Their captions are drawn by the font
// engine's own glyphs (the hinted bitmaps the canvas draws), and disabled captions are etched
// as the original draws them: a highlight copy one pixel down and right under grey text.
//
#pragma once

#include <QPalette>
#include <QSize>

class QFont;
class QString;

struct LOGFONTA;

namespace ui_private {

/// Installs the style, the classic palette and the default dialog font on the application.
void installClassicStyle();
/// The system colours as a palette; the disabled group keeps the grey text.
QPalette classicPalette();
/// The font a Qt font stands for, as the font engine realizes it.
LOGFONTA logFontOf(const QFont& Font);
/// The size a text takes as the style draws it (every line, wrapped at blanks beyond
/// MaxWidth): Qt's own measure of the font does not know the font engine's advances.
QSize engineTextSize(const QFont& Font, const QString& Text, int MaxWidth);

} // namespace ui_private
