//===- TForm.cpp - Forms: top-level windows made from form resources --------===//
#include "platform/ui/forms/TForm.h"

#include "platform/ui/qt/Access_p.h"
#include "platform/ui/components/FormReader.h"
#include "platform/ui/qt/FormView_p.h"
#include "platform/ui/controls/Menus.h"
#include "platform/ui/components/Published.h"
#include "platform/ui/qt/QtConvert_p.h"
#include "platform/ui/controls/StdCtrls.h"
#include "platform/ui/forms/TApplication.h"
#include "platform/ui/graphics/TBitmap.h"
#include "platform/ui/components/UiConsts.h"
#include "platform/ui/controls/VirtualKeys.h"
#include "platform/ui/qt/WidgetApplication_p.h"

#include "platform/gdi/bitmaps/Dib.h"
#include "platform/kernel/MulDiv.h"

#include <QImage>
#include <QPixmap>

#include <algorithm>
#include <utility>
#include <vector>

namespace {

TForm* currentActiveForm = nullptr;
TForm::ModalHook modalHook;

const PublishedClass& FormClass = PublishClass<TForm, TWinControl>("TForm", [](Published<TForm>& P) {
    P.Int("ClientWidth", &TForm::GetClientWidth, &TForm::SetClientWidth);
    P.Int("ClientHeight", &TForm::GetClientHeight, &TForm::SetClientHeight);
    P.Enum("BorderStyle", TFormBorderStyleType, &TForm::GetBorderStyle, &TForm::SetBorderStyle);
    P.Set("BorderIcons", TBorderIconType, &TForm::GetBorderIcons, &TForm::SetBorderIcons);
    P.Enum("Position", TPositionType, &TForm::GetPosition, &TForm::SetPosition);
    P.Enum("FormStyle", TFormStyleType, &TForm::GetFormStyle, &TForm::SetFormStyle);
    P.Component("Menu", &TForm::GetMenu, &TForm::SetMenu);
    P.Bool("KeyPreview", &TForm::KeyPreview);
    P.Bool("Scaled", &TForm::Scaled);
    P.Int("PixelsPerInch", &TForm::PixelsPerInch);
    P.Component("ActiveControl", &TForm::GetActiveControl, &TForm::SetActiveControl);
    P.Event("OnCreate", &TForm::OnCreate);
    P.Event("OnShow", &TForm::OnShow);
    P.Event("OnActivate", &TForm::OnActivate);
    P.Event("OnClose", &TForm::OnClose);
    P.Event("OnCloseQuery", &TForm::OnCloseQuery);
});

// Collects the window controls of Parent in tab order, depth first.
void collectTabOrder(const TWinControl& Parent, std::vector<TWinControl*>& Controls)
{
    std::vector<TWinControl*> Children;
    for (int I = 0; I < Parent.ControlCount(); ++I)
        if (auto* Win = dynamic_cast<TWinControl*>(Parent.Controls(I)))
            Children.push_back(Win);
    std::stable_sort(Children.begin(), Children.end(),
                     [](const TWinControl* A, const TWinControl* B) { return A->GetTabOrder() < B->GetTabOrder(); });
    for (TWinControl* Child : Children) {
        Controls.push_back(Child);
        collectTabOrder(*Child, Controls);
    }
}

bool sendDialogChar(TControl& Control, char Key);

} // namespace

TForm* GetParentForm(const TControl* Control)
{
    const TControl* Top = Control;
    while (Top && Top->GetParent())
        Top = Top->GetParent();
    return dynamic_cast<TForm*>(const_cast<TControl*>(Top));
}

// --- Construction

TForm::TForm(TComponent* AOwner) : TWinControl(AOwner)
{
    Application->Initialize();
    FVisible = false;
    FColor = clBtnFace;
    FParentFont = false;
    FParentColor = false;
    FParentShowHint = false;
    FWidth = 320;
    FHeight = 240;
    FView = CreateView();
    FView->applyFont(*GetFont());
    FView->applyColor(FColor);
    FView->applyGeometry(FLeft, FTop, FWidth, FHeight);
    applyWindowStyle();
    FHandle = CreateWindowHandle(
        [this](HWND, UINT Msg, WPARAM WParam, LPARAM LParam) { return Perform(Msg, WParam, LParam); });
    if (Screen)
        Screen->addForm(this);
}

TForm::~TForm()
{
    if (Screen)
        Screen->removeForm(this);
    if (FHandle)
        DestroyWindow(FHandle);
    if (currentActiveForm == this)
        currentActiveForm = nullptr;
    // The form's own class is gone already: nothing may raise its events from here on.
    Destroying();
    // The menu and dialogs go while the window they belong to is still there; the menu bar
    // goes first, so that the items leaving one by one do not rebuild it each time.
    if (FMenu) {
        FMenu->RemoveFreeNotification(this);
        ui_private::Access::detachMenu(*FMenu);
        FMenu = nullptr;
    }
    DestroyComponents();
    if (Application)
        Application->formDestroyed(this);
}

std::unique_ptr<ui_private::View> TForm::CreateView() { return std::make_unique<ui_private::FormView>(*this); }

std::string TForm::FormResourceName() const { return ClassName(); }

void TForm::readResource() { ReadComponentRes(FormResourceName(), *this); }

void TForm::DoCreate()
{
    // As on the original, a failing OnCreate is reported and the form lives on.
    if (OnCreate)
        ui_private::Access::guarded(this, [&] { OnCreate(this); });
}

void TForm::Loaded()
{
    TWinControl::Loaded();
    applyWindowStyle();
    scaleToScreen();
}

namespace {

void scaleControls(TWinControl& Parent, int M, int D)
{
    for (int I = 0; I < Parent.ControlCount(); ++I) {
        TControl& C = *Parent.Controls(I);
        C.SetBounds(MulDiv(C.GetLeft(), M, D), MulDiv(C.GetTop(), M, D), MulDiv(C.GetWidth(), M, D),
                    MulDiv(C.GetHeight(), M, D));
        // A control with ParentFont follows its parent's scaled font by itself.
        if (!C.GetParentFont())
            C.GetFont()->SetHeight(MulDiv(C.GetFont()->GetHeight(), M, D));
        if (auto* Win = dynamic_cast<TWinControl*>(&C))
            scaleControls(*Win, M, D);
    }
}

} // namespace

void TForm::scaleToScreen()
{
    constexpr int ScreenPixelsPerInch = 96;
    if (!Scaled || PixelsPerInch <= 0 || PixelsPerInch == ScreenPixelsPerInch)
        return;
    const int M = ScreenPixelsPerInch, D = PixelsPerInch;
    SetClientWidth(MulDiv(GetClientWidth(), M, D));
    SetClientHeight(MulDiv(GetClientHeight(), M, D));
    GetFont()->SetHeight(MulDiv(GetFont()->GetHeight(), M, D));
    scaleControls(*this, M, D);
    PixelsPerInch = ScreenPixelsPerInch;
}

void TForm::Notification(TComponent* AComponent, TOperation Operation)
{
    if (Operation == opRemove) {
        if (AComponent == FActiveControl)
            FActiveControl = nullptr;
        if (AComponent == FMenu)
            SetMenu(nullptr);
    }
    TWinControl::Notification(AComponent, Operation);
}

void TForm::ChildLeaving(TControl* Control)
{
    if (FActiveControl
        && (FActiveControl == Control
            || (dynamic_cast<TWinControl*>(Control)
                && static_cast<TWinControl*>(Control)->ContainsControl(FActiveControl))))
        FActiveControl = nullptr;
}

// --- Window

namespace {

int borderOf(TFormBorderStyle Style)
{
    switch (Style) {
    case bsNone: return 0;
    case bsSizeable:
    case bsSizeToolWin: return 4;
    default: return 3;
    }
}

int captionOf(TFormBorderStyle Style)
{
    switch (Style) {
    case bsNone: return 0;
    case bsToolWindow:
    case bsSizeToolWin: return 16;
    default: return 19;
    }
}

} // namespace

int TForm::frameWidth() const { return 2 * borderOf(FBorderStyle); }

int TForm::frameHeight() const
{
    return 2 * borderOf(FBorderStyle) + captionOf(FBorderStyle) + (FMenu ? ui_private::MenuBarHeight : 0);
}

int TForm::GetClientWidth() const { return std::max(0, FWidth - frameWidth()); }
void TForm::SetClientWidth(int Value) { SetWidth(Value + frameWidth()); }
int TForm::GetClientHeight() const { return std::max(0, FHeight - frameHeight()); }
void TForm::SetClientHeight(int Value) { SetHeight(Value + frameHeight()); }

TPoint TForm::GetClientOrigin() const
{
    const int Border = borderOf(FBorderStyle);
    return Point(FLeft + Border, FTop + Border + captionOf(FBorderStyle) + (FMenu ? ui_private::MenuBarHeight : 0));
}

void TForm::SetBorderStyle(TFormBorderStyle Value)
{
    if (Value == FBorderStyle)
        return;
    FBorderStyle = Value;
    applyWindowStyle();
    applyBounds();
    Realign();
}

void TForm::SetBorderIcons(TBorderIcons Value)
{
    FBorderIcons = Value;
    applyWindowStyle();
}

void TForm::SetPosition(TPosition Value) { FPosition = Value; }

void TForm::SetFormStyle(TFormStyle Value)
{
    if (Value == FFormStyle)
        return;
    FFormStyle = Value;
    applyWindowStyle();
}

void TForm::applyWindowStyle()
{
    auto* View = static_cast<ui_private::FormView*>(FView.get());
    QWidget* Window = View->window();
    Qt::WindowFlags Flags = (FBorderStyle == bsDialog ? Qt::Dialog : Qt::Window) | Qt::CustomizeWindowHint;
    if (FBorderStyle == bsNone)
        Flags |= Qt::FramelessWindowHint;
    else
        Flags |= Qt::WindowTitleHint;
    if (FBorderIcons.Contains(biSystemMenu))
        Flags |= Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
    if (FBorderIcons.Contains(biMinimize) && FBorderStyle != bsDialog)
        Flags |= Qt::WindowMinimizeButtonHint;
    if (FBorderIcons.Contains(biMaximize) && FBorderStyle != bsDialog)
        Flags |= Qt::WindowMaximizeButtonHint;
    if (FFormStyle == fsStayOnTop)
        Flags |= Qt::WindowStaysOnTopHint;
    if (Window->windowFlags() == Flags)
        return;
    // Qt hides a window whose flags change; a shown form stays shown.
    const bool Shown = Window->isVisible();
    Window->setWindowFlags(Flags);
    if (Shown)
        Window->show();
}

void TForm::SetMenu(TMainMenu* Value)
{
    if (Value == FMenu)
        return;
    if (FMenu) {
        FMenu->RemoveFreeNotification(this);
        ui_private::Access::detachMenu(*FMenu);
    }
    const int OldClientHeight = GetClientHeight();
    FMenu = Value;
    if (FMenu) {
        FMenu->FreeNotification(this);
        ui_private::Access::attachMenu(*FMenu, *this);
    }
    // The client area keeps its size; the window grows or shrinks by the menu bar.
    SetClientHeight(OldClientHeight);
    applyBounds();
}

void TForm::CenterOnScreen()
{
    SetBounds((Screen->GetWidth() - FWidth) / 2, (Screen->GetHeight() - FHeight) / 2, FWidth, FHeight);
}

void TForm::KeepOnScreen()
{
    const int screenWidth = Screen->GetWidth(), screenHeight = Screen->GetHeight();
    const int width = std::clamp(FWidth, std::min(MinOnScreen, screenWidth), screenWidth);
    const int height = std::clamp(FHeight, std::min(MinOnScreen, screenHeight), screenHeight);
    const int left = std::clamp(FLeft, 0, screenWidth - width);
    const int top = std::clamp(FTop, 0, screenHeight - height);
    if (left != FLeft || top != FTop || width != FWidth || height != FHeight)
        SetBounds(left, top, width, height);
}

// --- Keys and focus

void TForm::SetActiveControl(TWinControl* Value)
{
    if (Value == FActiveControl)
        return;
    if (Value && GetParentForm(Value) != this)
        throw EInvalidOperation(SCannotFocus);
    if (ComponentState().Contains(csLoading) || !FVisible || !Value) {
        FActiveControl = Value;
        return;
    }
    if (!Value->CanFocus())
        throw EInvalidOperation(SCannotFocus);
    ui_private::Access::setFocusTo(*this, Value);
}

void TForm::SelectNext(TWinControl* CurControl, bool GoForward)
{
    std::vector<TWinControl*> Order;
    collectTabOrder(*this, Order);
    std::vector<TWinControl*> Candidates;
    for (TWinControl* C : Order)
        if ((C->GetTabStop() && C->CanFocus()) || C == CurControl)
            Candidates.push_back(C);
    if (Candidates.empty())
        return;
    const auto At = std::find(Candidates.begin(), Candidates.end(), CurControl);
    size_t Index;
    if (At == Candidates.end())
        Index = GoForward ? 0 : Candidates.size() - 1;
    else {
        const size_t Here = static_cast<size_t>(At - Candidates.begin());
        Index = GoForward ? (Here + 1) % Candidates.size() : (Here + Candidates.size() - 1) % Candidates.size();
    }
    TWinControl* Next = Candidates[Index];
    if (Next != CurControl || At == Candidates.end())
        if (Next->GetTabStop() && Next->CanFocus())
            ui_private::Access::setFocusTo(*this, Next);
}

bool TForm::GetActive() const { return currentActiveForm == this; }

void TForm::SetFocus()
{
    if (GetParent())
        TWinControl::SetFocus();
    else
        Show();
}

void TForm::FocusChild(TWinControl* Control) { ui_private::Access::setFocusTo(*this, Control); }

TForm* TForm::activeForm() { return currentActiveForm; }

bool TForm::DialogKey(WORD Key, TShiftState Shift)
{
    if (Key == VK_TAB) {
        SelectNext(FActiveControl, !Shift.Contains(ssShift));
        return true;
    }
    if (!(Shift - TShiftState { ssLeft, ssRight, ssMiddle }).Empty())
        return false;
    TButton* Button = nullptr;
    if (Key == VK_RETURN) {
        // A button with the focus takes Enter itself; otherwise the Default button does.
        Button = dynamic_cast<TButton*>(FActiveControl);
        if (!Button)
            Button = findButton(true);
    } else if (Key == VK_ESCAPE) {
        Button = findButton(false);
    }
    if (!Button || !Button->CanFocus())
        return false;
    Button->Click();
    return true;
}

TButton* TForm::findButton(bool Default) const
{
    std::vector<TWinControl*> All;
    collectTabOrder(*this, All);
    for (TWinControl* C : All)
        if (auto* Button = dynamic_cast<TButton*>(C))
            if (Default ? Button->GetDefault() : Button->Cancel)
                return Button;
    return nullptr;
}

namespace {

bool sendDialogChar(TControl& Control, char Key)
{
    if (ui_private::Access::dialogChar(Control, Key))
        return true;
    if (auto* Win = dynamic_cast<TWinControl*>(&Control))
        for (int I = 0; I < Win->ControlCount(); ++I)
            if (sendDialogChar(*Win->Controls(I), Key))
                return true;
    return false;
}

} // namespace

bool TForm::dispatchDialogChar(char Key)
{
    for (int I = 0; I < ControlCount(); ++I)
        if (sendDialogChar(*Controls(I), Key))
            return true;
    return false;
}

// --- Showing and closing

bool TForm::Showing() const { return FVisible; }

void TForm::placeOnShow()
{
    if (FPosition == poScreenCenter)
        CenterOnScreen();
    if (FPlaced)
        return;
    FPlaced = true;
    // The window's first size message: forms lay themselves out in OnResize.
    Resize();
}

void TForm::SetVisible(bool Value)
{
    auto* View = static_cast<ui_private::FormView*>(FView.get());
    if (Value == FVisible) {
        if (Value && !ui_private::offscreenPlatform())
            View->window()->raise();
        return;
    }
    if (!Value) {
        FVisible = false;
        View->window()->hide();
        if (currentActiveForm == this)
            currentActiveForm = nullptr;
        return;
    }
    placeOnShow();
    FVisible = true;
    DoShow();
    View->window()->show();
    if (!ui_private::offscreenPlatform())
        View->window()->raise();
    View->window()->activateWindow();
    applyActiveControl();
    becameActive();
}

void TForm::Show() { SetVisible(true); }

void TForm::applyActiveControl()
{
    if (FActiveControl && FActiveControl->CanFocus()) {
        TWinControl* Target = std::exchange(FActiveControl, nullptr);
        ui_private::Access::setFocusTo(*this, Target);
    } else {
        FActiveControl = nullptr;
        SelectNext(nullptr, true);
    }
}

void TForm::becameActive()
{
    if (currentActiveForm == this || !FVisible)
        return;
    currentActiveForm = this;
    Activate();
}

void TForm::DoShow()
{
    if (OnShow)
        OnShow(this);
}

void TForm::Activate()
{
    if (OnActivate)
        OnActivate(this);
}

bool TForm::CloseQuery()
{
    bool CanClose = true;
    if (OnCloseQuery)
        OnCloseQuery(this, CanClose);
    return CanClose;
}

void TForm::DoClose(TCloseAction& Action)
{
    if (OnClose)
        OnClose(this, Action);
}

void TForm::Close()
{
    if (FModal) {
        ModalResult = mrCancel;
        return;
    }
    if (!CloseQuery())
        return;
    TCloseAction Action = caHide;
    DoClose(Action);
    if (Action == caNone)
        return;
    if (Application->GetMainForm() == this)
        Application->Terminate();
    else if (Action == caFree)
        Release();
    else
        Hide();
}

void TForm::Release()
{
    if (FReleasing)
        return;
    FReleasing = true;
    Hide();
    ui_private::releaseLater(this);
}

TForm::ModalHook TForm::SetModalHook(ModalHook Hook) { return std::exchange(modalHook, std::move(Hook)); }

void TForm::closeModal()
{
    try {
        TCloseAction Action = caNone;
        if (CloseQuery()) {
            Action = caHide;
            DoClose(Action);
        }
        if (Action == caNone)
            ModalResult = mrNone;
        else if (Action == caFree)
            Release();
    } catch (...) {
        ModalResult = mrNone;
        Application->HandleException(this);
    }
}

int TForm::ShowModal()
{
    if (FVisible || FModal)
        throw EInvalidOperation(SCannotShowModal);
    auto* View = static_cast<ui_private::FormView*>(FView.get());
    ModalResult = mrNone;
    FModal = true;
    View->window()->setWindowModality(Qt::ApplicationModal);
    struct Restore {
        TForm& Form;
        ~Restore()
        {
            Form.FModal = false;
            Form.Hide();
            static_cast<ui_private::FormView*>(Form.FView.get())->window()->setWindowModality(Qt::NonModal);
        }
    } Restorer { *this };
    Show();
    if (modalHook) {
        ModalHook Hook = modalHook;
        Hook(*this);
        if (ModalResult != mrNone)
            closeModal();
        if (ModalResult == mrNone)
            ModalResult = mrCancel;
        return ModalResult;
    }
    while (true) {
        if (Application->GetTerminated()) {
            ModalResult = mrCancel;
            break;
        }
        if (ModalResult != mrNone) {
            closeModal();
            if (ModalResult != mrNone)
                break;
        }
        Application->HandleMessage();
    }
    return ModalResult;
}

// --- Messages

void TForm::WndProc(TMessage& Message)
{
    if (Message.Msg == WM_CLOSE) {
        Close();
        Message.Result = 0;
        return;
    }
    TWinControl::WndProc(Message);
}

// --- Picture

std::unique_ptr<TBitmap> TForm::GetFormImage()
{
    auto* View = static_cast<ui_private::FormView*>(FView.get());
    const QImage Image = View->window()->client()->grab().toImage().convertToFormat(QImage::Format_RGB32);
    auto Bitmap = std::make_unique<TBitmap>();
    Bitmap->SetPixelFormat(pf24bit);
    Bitmap->SetSize(Image.width(), Image.height());
    Dib& Picture = *Bitmap->GetDib();
    for (int Y = 0; Y < Image.height(); ++Y) {
        const auto* Row = reinterpret_cast<const QRgb*>(Image.constScanLine(Y));
        for (int X = 0; X < Image.width(); ++X)
            Picture.SetPixel(X, Y, RGB(qRed(Row[X]), qGreen(Row[X]), qBlue(Row[X])));
    }
    return Bitmap;
}
