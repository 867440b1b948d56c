//===- Menus.h - Menu items, the main menu of a form, popup menus -*- C++ -*-===//
//
// In form resources menu items are nested objects of their menu or of their parent item:
//   object MainMenu1: TMainMenu
//     object Menu_File: TMenuItem
//       Caption = '&File'
//       object Menu_Exit: TMenuItem
//         Caption = 'E&xit'
//         OnClick = Menu_ExitClick
//       end
//     end
//   end
// A caption of '-' is a separator.
//
#pragma once

#include "platform/ui/components/Events.h"
#include "platform/ui/components/TComponent.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

class TMenu;

namespace ui_private {
class Access;
class MenuView;
} // namespace ui_private

class TMenuItem : public TComponent {
public:
    explicit TMenuItem(TComponent* AOwner);
    /// Leaves its parent item; frees the items it holds.
    ~TMenuItem() override;

    // --- Properties
    const std::string& GetCaption() const { return FCaption; }
    void SetCaption(const std::string& Value);
    bool GetChecked() const { return FChecked; }
    void SetChecked(bool Value);
    bool GetEnabled() const { return FEnabled; }
    void SetEnabled(bool Value);
    bool GetVisible() const { return FVisible; }
    void SetVisible(bool Value);

    // --- Sub-items
    int GetCount() const { return static_cast<int>(FItems.size()); }
    /// Index 0..Count-1, else EListError.
    TMenuItem* GetItem(int Index) const;
    TMenuItem* GetParent() const { return FParent; }
    /// Takes Item (which must have no parent item) as the last sub-item.
    void Add(TMenuItem* Item);
    void Insert(int Index, TMenuItem* Item);
    /// Takes Item out without freeing it.
    void Remove(TMenuItem* Item);
    int IndexOf(const TMenuItem* Item) const;

    /// Chooses the item as the operator does: raises OnClick when the item is enabled.
    virtual void Click();
    TNotifyEvent OnClick;

protected:
    void SetParentComponent(TComponent* Value) override;

private:
    friend class TMenu;
    void changed();
    TMenu* menu() const;

    std::string FCaption;
    bool FChecked = false;
    bool FEnabled = true;
    bool FVisible = true;
    TMenuItem* FParent = nullptr;
    TMenu* FMenu = nullptr; // set on the root item of a menu
    std::vector<TMenuItem*> FItems;
};

/// A menu: the root item whose sub-items are the menu's entries.
class TMenu : public TComponent {
public:
    explicit TMenu(TComponent* AOwner);
    ~TMenu() override;

    TMenuItem* GetItems() const { return FItems.get(); }

protected:
    friend class TMenuItem;
    /// A caption, state or sub-item changed somewhere in the menu.
    virtual void MenuChanged();

private:
    std::unique_ptr<TMenuItem> FItems;
};

/// The menu bar of the form it is the Menu of.
class TMainMenu : public TMenu {
public:
    explicit TMainMenu(TComponent* AOwner);
    ~TMainMenu() override;

protected:
    void MenuChanged() override;

private:
    friend class TForm;
    friend class ui_private::Access;
    std::unique_ptr<ui_private::MenuView> FView;
};

class TPopupMenu : public TMenu {
public:
    explicit TPopupMenu(TComponent* AOwner);
    ~TPopupMenu() override;

    /// Shows the menu with its top-left corner at the screen point (X, Y) and returns when it
    /// closes; a chosen item's OnClick has run by then.
    virtual void Popup(int X, int Y);
    /// The control whose right click or drop-down showed the menu last.
    TComponent* PopupComponent = nullptr;
    /// Raised before the menu shows.
    TNotifyEvent OnPopup;

    /// Called by Popup instead of showing the menu; tests choose items with it.
    using PopupHook = std::function<void(TPopupMenu& Menu, int X, int Y)>;
    static PopupHook SetPopupHook(PopupHook Hook);
};
