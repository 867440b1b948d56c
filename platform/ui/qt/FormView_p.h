//===- FormView_p.h - The top-level window of a form -*- C++ -*-===//
#pragma once

#include "platform/ui/qt/View_p.h"

#include <QMenuBar>
#include <QPointer>
#include <QWidget>

class TForm;

namespace ui_private {

/// The form's window: the menu bar (when the form has a menu) above the client area.
class FormWindow : public Bridge<QWidget> {
public:
    explicit FormWindow(TForm* Form);

    QWidget* client() const { return client_; }
    /// Made on first use, placed above the client area.
    QMenuBar* menuBar();
    void removeMenuBar();
    int menuHeight() const;
    /// Geometry the form set itself: the window's own move and resize events then carry no news.
    bool settingGeometry = false;

protected:
    void closeEvent(QCloseEvent* Event) override;
    void resizeEvent(QResizeEvent* Event) override;
    void moveEvent(QMoveEvent* Event) override;
    void changeEvent(QEvent* Event) override;

private:
    void layoutChildren();
    void reportGeometry();

    QWidget* client_;
    QPointer<QMenuBar> menuBar_;
};

class FormView : public View {
public:
    explicit FormView(TForm& Form);

    FormWindow* window() const { return static_cast<FormWindow*>(widget()); }
    QWidget* container() const override;

    void applyGeometry(int Left, int Top, int Width, int Height) override;
    void applyText(const std::string& Text) override;
    void applyColor(TColor Color) override;
    void applyFont(const TFont& Font) override;
    void applyHint(const std::string&) override {}
};

/// The height of a form's menu bar, which the form's height includes.
inline constexpr int MenuBarHeight = 20;

} // namespace ui_private
