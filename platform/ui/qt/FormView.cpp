//===- FormView.cpp - The top-level window of a form ------------------------===//
#include "platform/ui/qt/FormView_p.h"

#include "platform/ui/qt/Access_p.h"
#include "platform/ui/qt/QtConvert_p.h"
#include "platform/ui/forms/TForm.h"

#include <QCloseEvent>
#include <QMoveEvent>
#include <QResizeEvent>

namespace ui_private {

namespace {

/// The client area: the parent of the form's controls; its input is the form's.
class ClientWidget : public Bridge<QWidget> {
public:
    ClientWidget(TControl* Form, QWidget* Parent) : Bridge<QWidget>(Form, Parent)
    {
        setAutoFillBackground(true);
        setFocusPolicy(Qt::StrongFocus);
    }
};

} // namespace

FormWindow::FormWindow(TForm* Form) : Bridge<QWidget>(Form, nullptr), client_(new ClientWidget(Form, this))
{
    setAttribute(Qt::WA_DeleteOnClose, false);
    setAutoFillBackground(true);
}

QMenuBar* FormWindow::menuBar()
{
    if (!menuBar_) {
        menuBar_ = new QMenuBar(this);
        menuBar_->setNativeMenuBar(false);
        menuBar_->show();
        layoutChildren();
    }
    return menuBar_;
}

void FormWindow::removeMenuBar()
{
    delete menuBar_.data();
    layoutChildren();
}

int FormWindow::menuHeight() const { return menuBar_ ? MenuBarHeight : 0; }

void FormWindow::layoutChildren()
{
    if (menuBar_)
        menuBar_->setGeometry(0, 0, width(), MenuBarHeight);
    client_->setGeometry(0, menuHeight(), width(), std::max(0, height() - menuHeight()));
}

void FormWindow::closeEvent(QCloseEvent* Event)
{
    // The form decides (OnCloseQuery, OnClose); the window only closes when the form hides it.
    Event->ignore();
    if (control)
        Access::closeRequest(static_cast<TForm*>(control));
}

void FormWindow::resizeEvent(QResizeEvent* Event)
{
    Bridge<QWidget>::resizeEvent(Event);
    layoutChildren();
    reportGeometry();
}

void FormWindow::moveEvent(QMoveEvent* Event)
{
    Bridge<QWidget>::moveEvent(Event);
    reportGeometry();
}

void FormWindow::reportGeometry()
{
    if (settingGeometry || !control)
        return;
    auto* Form = static_cast<TForm*>(control);
    const QPoint Pos = pos();
    const int ClientHeight = std::max(0, height() - menuHeight());
    if (Pos.x() != Form->GetLeft() || Pos.y() != Form->GetTop() || width() != Form->GetClientWidth()
        || ClientHeight != Form->GetClientHeight())
        Access::formGeometry(Form, Pos.x(), Pos.y(), width(), ClientHeight);
}

void FormWindow::changeEvent(QEvent* Event)
{
    Bridge<QWidget>::changeEvent(Event);
    if (Event->type() == QEvent::ActivationChange && isActiveWindow() && control)
        Access::formActivated(static_cast<TForm*>(control));
}

// --- The view

FormView::FormView(TForm& Form) : View(Form, new FormWindow(&Form)) {}

QWidget* FormView::container() const { return window() ? window()->client() : nullptr; }

void FormView::applyGeometry(int Left, int Top, int, int)
{
    FormWindow* Window = window();
    if (!Window)
        return;
    auto& Form = static_cast<TForm&>(control());
    const int Width = Form.GetClientWidth(), Height = Form.GetClientHeight() + Window->menuHeight();
    Window->settingGeometry = true;
    Window->move(Left, Top);
    if (Form.GetBorderStyle() == bsSizeable || Form.GetBorderStyle() == bsSizeToolWin) {
        Window->setMinimumSize(0, 0);
        Window->setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
        Window->resize(Width, Height);
    } else {
        Window->setFixedSize(Width, Height);
    }
    Window->settingGeometry = false;
}

void FormView::applyText(const std::string& Text)
{
    if (window())
        window()->setWindowTitle(toQString(Text));
}

void FormView::applyColor(TColor Color)
{
    paintBackground(Color, true);
    if (!window())
        return;
    QPalette Palette = window()->client()->palette();
    Palette.setColor(QPalette::Window, toQColor(Color));
    window()->client()->setPalette(Palette);
}

void FormView::applyFont(const TFont& Font) { View::applyFont(Font); }

} // namespace ui_private
