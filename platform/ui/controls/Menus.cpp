//===- Menus.cpp - Menu items, the main menu of a form, popup menus ----------===//
#include "platform/ui/controls/Menus.h"

#include "platform/ui/qt/Access_p.h"
#include "platform/ui/qt/FormView_p.h"
#include "platform/ui/qt/MenuView_p.h"
#include "platform/ui/components/Published.h"
#include "platform/ui/qt/QtConvert_p.h"
#include "platform/ui/forms/TApplication.h"
#include "platform/ui/forms/TForm.h"
#include "platform/ui/components/UiConsts.h"

#include "platform/rtl/Format.h"

#include <QAction>
#include <QMenuBar>

#include <algorithm>
#include <utility>

namespace {

TPopupMenu::PopupHook popupHook;

const PublishedClass& MenuItemClass = PublishClass<TMenuItem, TComponent>("TMenuItem", [](Published<TMenuItem>& P) {
    P.String("Caption", &TMenuItem::GetCaption, &TMenuItem::SetCaption);
    P.Bool("Checked", &TMenuItem::GetChecked, &TMenuItem::SetChecked);
    P.Bool("Enabled", &TMenuItem::GetEnabled, &TMenuItem::SetEnabled);
    P.Bool("Visible", &TMenuItem::GetVisible, &TMenuItem::SetVisible);
    P.Event("OnClick", &TMenuItem::OnClick);
});
const PublishedClass& MenuClass = PublishClass<TMenu, TComponent>("TMenu");
const PublishedClass& MainMenuClass = PublishClass<TMainMenu, TMenu>("TMainMenu");
const PublishedClass& PopupMenuClass = PublishClass<TPopupMenu, TMenu>(
    "TPopupMenu", [](Published<TPopupMenu>& P) { P.Event("OnPopup", &TPopupMenu::OnPopup); });

/// The menus of the Qt side and the operator's choice.
template <class Target>
void fillInto(Target& Into, const TMenuItem& Parent, QObject& Holder, std::vector<QPointer<QMenu>>& Menus)
{
    for (int I = 0; I < Parent.GetCount(); ++I) {
        TMenuItem* Item = Parent.GetItem(I);
        if (!Item->GetVisible())
            continue;
        if (Item->GetCaption() == "-") {
            Into.addSeparator();
            continue;
        }
        if (Item->GetCount() > 0) {
            auto* Sub = new QMenu(ui_private::toQString(Item->GetCaption()));
            Sub->setEnabled(Item->GetEnabled());
            Menus.emplace_back(Sub);
            ui_private::fillMenu(*Sub, *Item, Holder, Menus);
            Into.addMenu(Sub);
            continue;
        }
        auto* Action = new QAction(ui_private::toQString(Item->GetCaption()), &Holder);
        Action->setEnabled(Item->GetEnabled());
        Action->setCheckable(Item->GetChecked());
        Action->setChecked(Item->GetChecked());
        QObject::connect(Action, &QAction::triggered, &Holder, [Item] { ui_private::Access::menuItemClick(Item); });
        Into.addAction(Action);
    }
}

} // namespace

namespace ui_private {

void fillMenu(QWidget& Target, const TMenuItem& Parent, QObject& Holder, std::vector<QPointer<QMenu>>& Menus)
{
    if (auto* Bar = qobject_cast<QMenuBar*>(&Target))
        fillInto(*Bar, Parent, Holder, Menus);
    else if (auto* Menu = qobject_cast<QMenu*>(&Target))
        fillInto(*Menu, Parent, Holder, Menus);
}

MenuView::~MenuView() { detach(); }

void MenuView::attach(FormWindow& Window)
{
    window_ = &Window;
    rebuild();
}

void MenuView::detach()
{
    clear();
    if (window_)
        window_->removeMenuBar();
    window_ = nullptr;
}

void MenuView::clear()
{
    // An action may be choosing its item right now; Qt deletes them once it is done.
    if (holder_)
        holder_->deleteLater();
    for (const QPointer<QMenu>& Menu : menus_)
        if (Menu)
            Menu->deleteLater();
    menus_.clear();
}

void MenuView::rebuild()
{
    if (!window_)
        return;
    clear();
    QMenuBar* Bar = window_->menuBar();
    Bar->clear();
    holder_ = new QObject(Bar);
    fillMenu(*Bar, *menu_.GetItems(), *holder_, menus_);
}

} // namespace ui_private

// --- TMenuItem

TMenuItem::TMenuItem(TComponent* AOwner) : TComponent(AOwner) {}

TMenuItem::~TMenuItem()
{
    while (!FItems.empty())
        delete FItems.back();
    if (FParent)
        FParent->Remove(this);
}

void TMenuItem::SetCaption(const std::string& Value)
{
    if (Value == FCaption)
        return;
    FCaption = Value;
    changed();
}

void TMenuItem::SetChecked(bool Value)
{
    if (Value == FChecked)
        return;
    FChecked = Value;
    changed();
}

void TMenuItem::SetEnabled(bool Value)
{
    if (Value == FEnabled)
        return;
    FEnabled = Value;
    changed();
}

void TMenuItem::SetVisible(bool Value)
{
    if (Value == FVisible)
        return;
    FVisible = Value;
    changed();
}

TMenuItem* TMenuItem::GetItem(int Index) const
{
    if (Index < 0 || Index >= GetCount())
        throw EListError(SMenuIndexError);
    return FItems[Index];
}

void TMenuItem::Add(TMenuItem* Item) { Insert(GetCount(), Item); }

void TMenuItem::Insert(int Index, TMenuItem* Item)
{
    if (!Item)
        return;
    if (Item->FParent)
        throw Exception(SMenuReinserted);
    if (Index < 0 || Index > GetCount())
        throw EListError(SMenuIndexError);
    FItems.insert(FItems.begin() + Index, Item);
    Item->FParent = this;
    changed();
}

void TMenuItem::Remove(TMenuItem* Item)
{
    const auto It = std::find(FItems.begin(), FItems.end(), Item);
    if (It == FItems.end())
        return;
    FItems.erase(It);
    Item->FParent = nullptr;
    changed();
}

int TMenuItem::IndexOf(const TMenuItem* Item) const
{
    const auto It = std::find(FItems.begin(), FItems.end(), Item);
    return It == FItems.end() ? -1 : static_cast<int>(It - FItems.begin());
}

void TMenuItem::Click()
{
    if (FEnabled && OnClick)
        OnClick(this);
}

void TMenuItem::SetParentComponent(TComponent* Value)
{
    if (auto* Menu = dynamic_cast<TMenu*>(Value))
        Menu->GetItems()->Add(this);
    else if (auto* Item = dynamic_cast<TMenuItem*>(Value))
        Item->Add(this);
}

TMenu* TMenuItem::menu() const
{
    const TMenuItem* Root = this;
    while (Root->FParent)
        Root = Root->FParent;
    return Root->FMenu;
}

void TMenuItem::changed()
{
    if (TMenu* Menu = menu())
        Menu->MenuChanged();
}

// --- TMenu

TMenu::TMenu(TComponent* AOwner) : TComponent(AOwner), FItems(std::make_unique<TMenuItem>(nullptr))
{
    FItems->FMenu = this;
}

TMenu::~TMenu()
{
    // The items go first, while the menu can still hear of it.
    FItems.reset();
}

void TMenu::MenuChanged() {}

// --- TMainMenu

TMainMenu::TMainMenu(TComponent* AOwner) : TMenu(AOwner), FView(std::make_unique<ui_private::MenuView>(*this)) {}

TMainMenu::~TMainMenu()
{
    // The view goes before the items: their removal must not rebuild a menu bar.
    FView.reset();
}

void TMainMenu::MenuChanged()
{
    if (FView)
        FView->rebuild();
}

// --- TPopupMenu

TPopupMenu::TPopupMenu(TComponent* AOwner) : TMenu(AOwner) {}

TPopupMenu::~TPopupMenu() = default;

TPopupMenu::PopupHook TPopupMenu::SetPopupHook(PopupHook Hook) { return std::exchange(popupHook, std::move(Hook)); }

void TPopupMenu::Popup(int X, int Y)
{
    if (OnPopup)
        OnPopup(this);
    if (popupHook) {
        PopupHook Hook = popupHook;
        Hook(*this, X, Y);
        return;
    }
    Application->Initialize();
    QMenu Menu;
    QObject Holder;
    std::vector<QPointer<QMenu>> Menus;
    ui_private::fillMenu(Menu, *GetItems(), Holder, Menus);
    Menu.exec(QPoint(X, Y));
    for (const QPointer<QMenu>& Sub : Menus)
        delete Sub.data();
}

namespace ui_private {

void Access::attachMenu(TMainMenu& Menu, TForm& Form)
{
    if (auto* View = dynamic_cast<FormView*>(Form.FView.get()); View && View->window())
        Menu.FView->attach(*View->window());
}

void Access::detachMenu(TMainMenu& Menu)
{
    if (Menu.FView)
        Menu.FView->detach();
}

} // namespace ui_private
