//===- TForm.h - Forms: top-level windows made from form resources -*- C++ -*-===//
//
// A form class publishes its fields and methods (Published.h) and is made with
// Application->CreateForm(Reference) or TForm::Create<T>(Owner): the constructor makes the window,
// then its form resource (named after the class, "TForm_main", unless FormResourceName says
// otherwise) creates the components, sets their properties and binds their events, and OnCreate
// runs. A form also has a window handle of platform/user, so that messages posted or sent to it
// reach WndProc, which descendants override per message number.
//
#pragma once

#include "platform/ui/forms/TScreen.h"
#include "platform/ui/controls/TWinControl.h"
#include "platform/ui/controls/UiTypes.h"
#include "platform/user/Messages.h"

#include <functional>
#include <memory>
#include <string>

class TBitmap;
class TMainMenu;
class TButton;

enum class TFormBorderStyle { bsNone, bsSingle, bsSizeable, bsDialog, bsToolWindow, bsSizeToolWin };
using enum TFormBorderStyle;
/// Panels and other controls use the first two.
using TBorderStyle = TFormBorderStyle;
inline constexpr EnumIdent TFormBorderStyleIdents[] = {
    { "bsNone", bsNone },     { "bsSingle", bsSingle },         { "bsSizeable", bsSizeable },
    { "bsDialog", bsDialog }, { "bsToolWindow", bsToolWindow }, { "bsSizeToolWin", bsSizeToolWin },
};
inline constexpr TEnumType<TFormBorderStyle> TFormBorderStyleType { "TFormBorderStyle", TFormBorderStyleIdents };

enum class TBorderIcon { biSystemMenu, biMinimize, biMaximize, biHelp };
using enum TBorderIcon;
using TBorderIcons = TSet<TBorderIcon>;
inline constexpr EnumIdent TBorderIconIdents[] = {
    { "biSystemMenu", biSystemMenu },
    { "biMinimize", biMinimize },
    { "biMaximize", biMaximize },
    { "biHelp", biHelp },
};
inline constexpr TEnumType<TBorderIcon> TBorderIconType { "TBorderIcon", TBorderIconIdents };

enum class TPosition { poDesigned, poDefault, poDefaultPosOnly, poDefaultSizeOnly, poScreenCenter };
using enum TPosition;
inline constexpr EnumIdent TPositionIdents[] = {
    { "poDesigned", poDesigned },
    { "poDefault", poDefault },
    { "poDefaultPosOnly", poDefaultPosOnly },
    { "poDefaultSizeOnly", poDefaultSizeOnly },
    { "poScreenCenter", poScreenCenter },
};
inline constexpr TEnumType<TPosition> TPositionType { "TPosition", TPositionIdents };

enum class TFormStyle { fsNormal, fsMDIChild, fsMDIForm, fsStayOnTop };
using enum TFormStyle;
inline constexpr EnumIdent TFormStyleIdents[] = {
    { "fsNormal", fsNormal },
    { "fsMDIChild", fsMDIChild },
    { "fsMDIForm", fsMDIForm },
    { "fsStayOnTop", fsStayOnTop },
};
inline constexpr TEnumType<TFormStyle> TFormStyleType { "TFormStyle", TFormStyleIdents };

class TForm : public TWinControl {
public:
    /// A form without components (nothing is read); see Create for forms of a resource.
    explicit TForm(TComponent* AOwner);
    ~TForm() override;

    /// Makes a T owned by AOwner from its form resource and runs OnCreate; when reading fails
    /// the form is freed and the exception passes on.
    template <class T>
    static T* Create(TComponent* AOwner);

    // --- Window
    /// Left, Top, Width and Height are the window's outer edges; the client area is smaller by
    /// the frame and caption that BorderStyle gives, and by the menu bar.
    int GetClientWidth() const override;
    void SetClientWidth(int Value) override;
    int GetClientHeight() const override;
    void SetClientHeight(int Value) override;
    TFormBorderStyle GetBorderStyle() const { return FBorderStyle; }
    /// The outer size stays; the client area follows.
    void SetBorderStyle(TFormBorderStyle Value);
    TBorderIcons GetBorderIcons() const { return FBorderIcons; }
    void SetBorderIcons(TBorderIcons Value);
    TPosition GetPosition() const { return FPosition; }
    void SetPosition(TPosition Value);
    TFormStyle GetFormStyle() const { return FFormStyle; }
    void SetFormStyle(TFormStyle Value);
    TMainMenu* GetMenu() const { return FMenu; }
    void SetMenu(TMainMenu* Value);
    /// Places the form in the middle of the screen.
    void CenterOnScreen();
    /// Brings a form that the screen cannot show (a stored size or place from an old or damaged
    /// settings file) onto it: at most as large as the screen, at least MinOnScreen pixels each
    /// way, and wholly on it.
    void KeepOnScreen();
    static constexpr int MinOnScreen = 100;
    /// The screen position of the client area's top-left corner, inside the frame and menu bar.
    TPoint GetClientOrigin() const override;
    /// A 24-bit picture of the client area as its controls draw themselves now.
    std::unique_ptr<TBitmap> GetFormImage();
    /// The dots per inch the form resource was made at. When Scaled, a form read from a resource
    /// of another value is scaled to the screen's 96 once it is read (sizes, places and fonts of
    /// the form and its controls), and PixelsPerInch becomes 96.
    int PixelsPerInch = 96;
    bool Scaled = true;

    // --- Keys and focus
    /// The form sees every key before the focused control does.
    bool KeyPreview = false;
    TWinControl* GetActiveControl() const { return FActiveControl; }
    /// Moves the focus there (while the form is being read, once it is shown).
    void SetActiveControl(TWinControl* Value);
    /// Moves the focus to the next (or previous) control with TabStop in tab order.
    void SelectNext(TWinControl* CurControl, bool GoForward);
    /// True while this is the active form.
    bool GetActive() const;
    /// Shows the form and makes it the active one; a form held by another control takes the
    /// focus as any control does.
    void SetFocus() override;

    // --- Showing and closing
    void SetVisible(bool Value) override;
    bool Showing() const override;
    /// Shows the form and makes it the active one.
    void Show();
    void Hide() { SetVisible(false); }
    /// Asks OnCloseQuery, then OnClose with the action caHide; caHide hides the form, caFree
    /// frees it soon after (Release), caNone leaves it. Closing the main form ends the
    /// application. A modal form is closed by setting its ModalResult to mrCancel.
    void Close();
    /// True when OnCloseQuery lets the form close.
    virtual bool CloseQuery();
    /// Frees the form once the handler that asked for it has returned (at the next turn of the
    /// message loop that runs no event handler).
    void Release();
    /// Shows the form modally: other forms take no input, and the message loop runs (posted
    /// messages pass OnMessage as always) until ModalResult is set (a button with a ModalResult
    /// sets it) and the form agrees to close; answers that result. May be called again.
    int ShowModal();
    TModalResult ModalResult = mrNone;

    // --- Window handle and messages
    /// The form's window of platform/user; messages to it reach WndProc.
    HWND GetHandle() const { return FHandle; }
    /// The name of the form resource the form is read from: its class name unless overridden.
    virtual std::string FormResourceName() const;

    // --- Events
    TNotifyEvent OnCreate;
    TNotifyEvent OnShow;
    TNotifyEvent OnActivate;
    TCloseEvent OnClose;
    TCloseQueryEvent OnCloseQuery;

    /// Called by ShowModal, while the form is up, instead of waiting for a person; tests answer
    /// modal forms with it (by clicking a button, setting ModalResult or running the loop until
    /// something happened). When it returns without a result, the form answers mrCancel.
    using ModalHook = std::function<void(TForm& Form)>;
    /// Answers the old hook; an empty hook restores waiting for the operator.
    static ModalHook SetModalHook(ModalHook Hook);

protected:
    virtual void DoCreate();
    virtual void DoShow();
    virtual void Activate();
    virtual void DoClose(TCloseAction& Action);
    /// Messages posted or sent to the form's window and Perform. The default closes the form on
    /// WM_CLOSE and answers 0 otherwise; descendants handle their own numbers and call it.
    void WndProc(TMessage& Message) override;
    /// Enter, Escape and Tab that the focused control left alone: true when the form used it.
    virtual bool DialogKey(WORD Key, TShiftState Shift);
    void Loaded() override;
    void Notification(TComponent* AComponent, TOperation Operation) override;
    bool HoldsFocus() const override { return FVisible; }
    TWinControl* FocusedChild() const override { return FActiveControl; }
    void FocusChild(TWinControl* Control) override;
    void ChildLeaving(TControl* Control) override;

private:
    friend class TApplication;
    friend class TScreen;
    static TForm* activeForm();
    friend class ui_private::Access;

    std::unique_ptr<ui_private::View> CreateView() override;
    void readResource();
    int frameWidth() const;
    int frameHeight() const;
    void placeOnShow();
    void applyActiveControl();
    void closeModal();
    void becameActive();
    void applyWindowStyle();
    void scaleToScreen();
    bool dispatchDialogChar(char Key);
    TButton* findButton(bool Default) const;

    TFormBorderStyle FBorderStyle = bsSizeable;
    TBorderIcons FBorderIcons { biSystemMenu, biMinimize, biMaximize };
    TPosition FPosition = poDesigned;
    TFormStyle FFormStyle = fsNormal;
    TMainMenu* FMenu = nullptr;
    TWinControl* FActiveControl = nullptr;
    HWND FHandle = 0;
    bool FModal = false;
    bool FPlaced = false;
    bool FReleasing = false;
};

/// The form a control sits on (the control itself for a form); nullptr when it sits on none.
TForm* GetParentForm(const TControl* Control);

template <class T>
T* TForm::Create(TComponent* AOwner)
{
    T* Form = new T(AOwner);
    try {
        static_cast<TForm*>(Form)->readResource();
        static_cast<TForm*>(Form)->DoCreate();
    } catch (...) {
        delete Form;
        throw;
    }
    return Form;
}
