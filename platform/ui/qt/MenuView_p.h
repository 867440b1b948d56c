//===- MenuView_p.h - Menus as Qt menu bars and menus -*- C++ -*-===//
#pragma once

#include <QMenu>
#include <QPointer>

#include <vector>

class TMainMenu;
class TMenuItem;

namespace ui_private {

class FormWindow;

/// Adds the visible sub-items of Parent to a menu bar or a menu: separators for "-", menus for
/// items with sub-items, actions that choose the item for the others. Actions are children of
/// Holder; the sub-menus made are appended to Menus (they have no parent widget).
void fillMenu(QWidget& Target, const TMenuItem& Parent, QObject& Holder, std::vector<QPointer<QMenu>>& Menus);

/// The menu bar of the form a main menu belongs to, rebuilt whenever the menu changes.
class MenuView {
public:
    explicit MenuView(TMainMenu& Menu) : menu_(Menu) {}
    ~MenuView();
    MenuView(const MenuView&) = delete;
    MenuView& operator=(const MenuView&) = delete;

    void attach(FormWindow& Window);
    void detach();
    void rebuild();

private:
    void clear();

    TMainMenu& menu_;
    QPointer<FormWindow> window_;
    QPointer<QObject> holder_;
    std::vector<QPointer<QMenu>> menus_;
};

} // namespace ui_private
