//===- PaintedView_p.h - The widget of controls that paint themselves -*- C++ -*-===//
#pragma once

#include "platform/ui/qt/View_p.h"

#include <QWidget>

namespace ui_private {

/// Shows the control's picture; brings it up to date first when it is out of date.
class PaintedWidget : public Bridge<QWidget> {
public:
    PaintedWidget(TControl* Control, QWidget* Parent);

protected:
    void paintEvent(QPaintEvent* Event) override;
    void showEvent(QShowEvent* Event) override;
};

class PaintedView : public View {
public:
    PaintedView(TControl& Control, QWidget* Parent);
    /// The picture carries the colour; the widget draws no background of its own.
    void applyColor(TColor) override {}
};

} // namespace ui_private
