//===- TWinControl.cpp - Controls that hold other controls and take the keyboard ---===//
#include "platform/ui/controls/TWinControl.h"

#include "platform/ui/controls/Mouse.h"
#include "platform/ui/components/Published.h"
#include "platform/ui/components/UiConsts.h"
#include "platform/ui/qt/View_p.h"

#include "platform/rtl/Format.h"
#include "platform/rtl/RtlConsts.h"

#include <algorithm>

namespace {

const PublishedClass& WinControlClass =
    PublishClass<TWinControl, TControl>("TWinControl", [](Published<TWinControl>& P) {
        P.Int("TabOrder", &TWinControl::GetTabOrder, &TWinControl::SetTabOrder);
        P.Bool("TabStop", &TWinControl::GetTabStop, &TWinControl::SetTabStop);
        P.Bool("Ctl3D", &TWinControl::GetCtl3D, &TWinControl::SetCtl3D);
        P.Bool("ParentCtl3D", &TWinControl::GetParentCtl3D, &TWinControl::SetParentCtl3D);
        P.Event("OnKeyDown", &TWinControl::OnKeyDown);
        P.Event("OnKeyUp", &TWinControl::OnKeyUp);
        P.Event("OnKeyPress", &TWinControl::OnKeyPress);
        P.Event("OnEnter", &TWinControl::OnEnter);
        P.Event("OnExit", &TWinControl::OnExit);
    });

// Aligned children are placed in this order, each group in the order of its edge.
constexpr TAlign AlignOrder[] = { alTop, alBottom, alLeft, alRight, alClient };

bool placedBefore(TAlign Align, const TControl* A, const TControl* B)
{
    switch (Align) {
    case alTop: return A->GetTop() < B->GetTop();
    case alBottom: return A->GetTop() + A->GetHeight() > B->GetTop() + B->GetHeight();
    case alLeft: return A->GetLeft() < B->GetLeft();
    case alRight: return A->GetLeft() + A->GetWidth() > B->GetLeft() + B->GetWidth();
    default: return false;
    }
}

} // namespace

TWinControl::TWinControl(TComponent* AOwner) : TControl(AOwner) {}

TWinControl::~TWinControl()
{
    // The newest first, as owners free theirs; each one leaves this list in its destructor.
    while (!FControls.empty())
        delete FControls.back();
}

// --- Controls held

TControl* TWinControl::Controls(int Index) const
{
    if (Index < 0 || Index >= ControlCount())
        throw EListError(Format(SListIndexError, { Index }));
    return FControls[Index];
}

bool TWinControl::ContainsControl(const TControl* Control) const
{
    for (const TControl* C = Control ? Control->GetParent() : nullptr; C; C = C->GetParent())
        if (C == this)
            return true;
    return false;
}

void TWinControl::insertControl(TControl* Control)
{
    FControls.push_back(Control);
    if (auto* Win = dynamic_cast<TWinControl*>(Control))
        FTabList.push_back(Win);
}

void TWinControl::removeControl(TControl* Control)
{
    topLevel()->ChildLeaving(Control);
    std::erase(FControls, Control);
    std::erase(FTabList, static_cast<TWinControl*>(dynamic_cast<TWinControl*>(Control)));
}

void TWinControl::createChildWidgets()
{
    for (TControl* Child : FControls)
        Child->createWidget();
}

TWinControl* TWinControl::topLevel() const
{
    const TWinControl* Top = this;
    while (Top->GetParent())
        Top = Top->GetParent();
    return const_cast<TWinControl*>(Top);
}

// --- Focus and tab order

bool TWinControl::Focused() const
{
    const TWinControl* Top = topLevel();
    return Top->HoldsFocus() && Top->FocusedChild() == this;
}

bool TWinControl::CanFocus() const
{
    if (!topLevel()->HoldsFocus())
        return false;
    for (const TControl* C = this; C; C = C->GetParent())
        if (!C->GetVisible() || !C->GetEnabled())
            return false;
    return true;
}

void TWinControl::SetFocus()
{
    if (!CanFocus())
        throw EInvalidOperation(SCannotFocus);
    topLevel()->FocusChild(this);
}

int TWinControl::GetTabOrder() const
{
    if (!GetParent())
        return -1;
    const auto& List = GetParent()->FTabList;
    return static_cast<int>(std::find(List.begin(), List.end(), this) - List.begin());
}

void TWinControl::SetTabOrder(int Value)
{
    if (!GetParent())
        return;
    auto& List = GetParent()->FTabList;
    std::erase(List, this);
    const size_t At = Value < 0 ? List.size() : std::min(static_cast<size_t>(Value), List.size());
    List.insert(List.begin() + static_cast<std::ptrdiff_t>(At), this);
}

bool TWinControl::WantsKey(WORD) const { return false; }

// --- Event methods

void TWinControl::KeyDown(WORD& Key, TShiftState Shift)
{
    if (OnKeyDown)
        OnKeyDown(this, Key, Shift);
}

void TWinControl::KeyUp(WORD& Key, TShiftState Shift)
{
    if (OnKeyUp)
        OnKeyUp(this, Key, Shift);
}

void TWinControl::KeyPress(char& Key)
{
    if (OnKeyPress)
        OnKeyPress(this, Key);
}

void TWinControl::DoEnter()
{
    if (OnEnter)
        OnEnter(this);
}

void TWinControl::DoExit()
{
    if (OnExit)
        OnExit(this);
}

// --- What children follow

void TWinControl::FontChanged()
{
    TControl::FontChanged();
    for (TControl* Child : FControls)
        Child->parentFontChanged();
}

void TWinControl::ColorChanged()
{
    TControl::ColorChanged();
    for (TControl* Child : FControls)
        Child->parentColorChanged();
}

void TWinControl::Loaded()
{
    TControl::Loaded();
    Realign();
}

// --- Alignment

void TWinControl::Realign()
{
    if (FAligning || ComponentState().Contains(csLoading))
        return;
    FAligning = true;
    try {
        TRect R = AlignRect();
        for (TAlign Align : AlignOrder) {
            std::vector<TControl*> Group;
            for (TControl* C : FControls)
                if (C->GetAlign() == Align && C->GetVisible())
                    Group.push_back(C);
            std::stable_sort(Group.begin(), Group.end(),
                             [Align](const TControl* A, const TControl* B) { return placedBefore(Align, A, B); });
            for (TControl* C : Group) {
                switch (Align) {
                case alTop:
                    C->SetBounds(R.Left, R.Top, R.Width(), C->GetHeight());
                    R.Top += C->GetHeight();
                    break;
                case alBottom:
                    C->SetBounds(R.Left, R.Bottom - C->GetHeight(), R.Width(), C->GetHeight());
                    R.Bottom -= C->GetHeight();
                    break;
                case alLeft:
                    C->SetBounds(R.Left, R.Top, C->GetWidth(), R.Height());
                    R.Left += C->GetWidth();
                    break;
                case alRight:
                    C->SetBounds(R.Right - C->GetWidth(), R.Top, C->GetWidth(), R.Height());
                    R.Right -= C->GetWidth();
                    break;
                default: C->SetBounds(R.Left, R.Top, R.Width(), R.Height()); break;
                }
            }
        }
    } catch (...) {
        FAligning = false;
        throw;
    }
    FAligning = false;
}

// --- Three-dimensional borders

bool TWinControl::GetCtl3D() const { return FParentCtl3D && GetParent() ? GetParent()->GetCtl3D() : FCtl3D; }

void TWinControl::SetCtl3D(bool Value)
{
    FCtl3D = Value;
    FParentCtl3D = false;
}

void TWinControl::SetParentCtl3D(bool Value)
{
    if (FParentCtl3D && !Value)
        FCtl3D = GetCtl3D();
    FParentCtl3D = Value;
}

// --- Messages

void TWinControl::WndProc(TMessage& Message)
{
    if (Message.Msg == WM_SYSCOMMAND && RunMoveSizeLoop(*this, Message.WParam)) {
        Message.Result = 0;
        return;
    }
    TControl::WndProc(Message);
}
