//===- View.cpp - The Qt widget behind a control ---------------------------===//
#include "platform/ui/qt/View_p.h"

#include "platform/ui/qt/QtConvert_p.h"
#include "platform/ui/controls/TControl.h"

#include <QPalette>

namespace ui_private {

View::View(TControl& Control, QWidget* Widget) : control_(Control), widget_(Widget) {}

View::~View()
{
    if (!widget_)
        return;
    if (auto* Bridge = dynamic_cast<BridgeBase*>(widget_.data()))
        Bridge->control = nullptr;
    // The widget may be inside one of its own event handlers right now (a click that frees the
    // form): Qt deletes it once control is back in the loop.
    widget_->hide();
    widget_->deleteLater();
}

void View::applyGeometry(int Left, int Top, int Width, int Height)
{
    if (widget_)
        widget_->setGeometry(Left, Top, Width, Height);
}

void View::applyVisible(bool Visible)
{
    if (widget_)
        widget_->setVisible(Visible);
}

void View::applyEnabled(bool Enabled)
{
    if (widget_)
        widget_->setEnabled(Enabled);
}

void View::applyText(const std::string&) {}

void View::applyFont(const TFont& Font)
{
    if (!widget_)
        return;
    widget_->setFont(toQFont(Font));
    QPalette Palette = widget_->palette();
    const QColor Text = toQColor(Font.GetColor());
    // The disabled group keeps the grey of the system colours.
    for (QPalette::ColorGroup Group : { QPalette::Active, QPalette::Inactive }) {
        Palette.setColor(Group, QPalette::WindowText, Text);
        Palette.setColor(Group, QPalette::ButtonText, Text);
        Palette.setColor(Group, QPalette::Text, Text);
    }
    widget_->setPalette(Palette);
}

void View::applyColor(TColor Color) { paintBackground(Color, false); }

void View::paintBackground(TColor Color, bool Fill)
{
    if (!widget_)
        return;
    QPalette Palette = widget_->palette();
    const QColor Background = toQColor(Color);
    Palette.setColor(QPalette::Window, Background);
    Palette.setColor(QPalette::Base, Background);
    Palette.setColor(QPalette::Button, Background);
    widget_->setPalette(Palette);
    widget_->setAutoFillBackground(Fill);
}

void View::applyHint(const std::string& Hint)
{
    if (widget_)
        widget_->setToolTip(toQLines(Hint));
}

void View::applyCursor(TCursor Cursor)
{
    if (!widget_)
        return;
    if (Cursor == crDefault)
        widget_->unsetCursor();
    else
        widget_->setCursor(toQCursor(Cursor));
}

} // namespace ui_private
