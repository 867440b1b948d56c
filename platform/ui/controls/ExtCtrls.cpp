//===- ExtCtrls.cpp - Bevels, images and radio groups -----------------------===//
#include "platform/ui/controls/ExtCtrls.h"

#include "platform/ui/qt/Access_p.h"
#include "platform/ui/components/Published.h"
#include "platform/ui/qt/QtConvert_p.h"
#include "platform/ui/graphics/TCanvas.h"
#include "platform/ui/qt/View_p.h"

#include <QGroupBox>
#include <QRadioButton>

#include <algorithm>
#include <cstdlib>
#include <vector>

namespace {

const PublishedClass& BevelClass = PublishClass<TBevel, TGraphicControl>("TBevel", [](Published<TBevel>& P) {
    P.Enum("Shape", TBevelShapeType, &TBevel::GetShape, &TBevel::SetShape);
    P.Enum("Style", TBevelStyleType, &TBevel::GetStyle, &TBevel::SetStyle);
});

const PublishedClass& ImageClass = PublishClass<TImage, TGraphicControl>("TImage", [](Published<TImage>& P) {
    P.Bool("Stretch", &TImage::GetStretch, &TImage::SetStretch);
    P.Bool("Center", &TImage::GetCenter, &TImage::SetCenter);
    P.Bool("Transparent", &TImage::GetTransparent, &TImage::SetTransparent);
});

const PublishedClass& RadioGroupClass =
    PublishClass<TRadioGroup, TWinControl>("TRadioGroup", [](Published<TRadioGroup>& P) {
        P.Strings("Items", &TRadioGroup::GetItems, &TRadioGroup::SetItems);
        P.Int("ItemIndex", &TRadioGroup::GetItemIndex, &TRadioGroup::SetItemIndex);
        P.Int("Columns", &TRadioGroup::GetColumns, &TRadioGroup::SetColumns);
    });

/// A group box holding one Qt radio button per item; the buttons are no controls of their own.
class RadioGroupView : public ui_private::View {
public:
    RadioGroupView(TRadioGroup& Group, QWidget* Parent)
        : View(Group, new ui_private::Bridge<QGroupBox>(&Group, Parent)), group_(Group)
    {
    }

    void applyText(const std::string& Text) override
    {
        if (widget())
            static_cast<QGroupBox*>(widget())->setTitle(ui_private::toQString(Text));
    }

    void rebuild()
    {
        auto* Box = static_cast<QGroupBox*>(widget());
        if (!Box)
            return;
        for (QRadioButton* Button : buttons_)
            Button->deleteLater();
        buttons_.clear();
        const TStringList& Items = group_.GetItems();
        for (int I = 0; I < Items.Count(); ++I) {
            auto* Button = new QRadioButton(ui_private::toQString(Items[I]), Box);
            Button->setFont(Box->font());
            TRadioGroup* Group = &group_;
            QObject::connect(Button, &QRadioButton::clicked, Box, [Box, Group, I] {
                if (dynamic_cast<ui_private::BridgeBase*>(Box)->control)
                    ui_private::Access::radioGroupChosen(Group, I);
            });
            Button->show();
            buttons_.push_back(Button);
        }
        arrange();
        check();
    }

    /// Column by column, each column filled from the top.
    void arrange()
    {
        if (buttons_.empty())
            return;
        const int Count = static_cast<int>(buttons_.size());
        const int Columns = std::max(1, std::min(group_.GetColumns(), Count));
        const int Rows = (Count + Columns - 1) / Columns;
        const int TopMargin = std::abs(group_.GetFont()->GetHeight()) + 4;
        const int ButtonWidth = std::max(0, (group_.GetWidth() - 10) / Columns);
        const int ButtonHeight = std::max(0, (group_.GetHeight() - TopMargin - 5) / Rows);
        for (int I = 0; I < Count; ++I)
            buttons_[I]->setGeometry(8 + (I / Rows) * ButtonWidth, TopMargin + (I % Rows) * ButtonHeight, ButtonWidth,
                                     ButtonHeight);
    }

    void check()
    {
        for (size_t I = 0; I < buttons_.size(); ++I) {
            const QSignalBlocker Quiet(buttons_[I]);
            buttons_[I]->setAutoExclusive(false);
            buttons_[I]->setChecked(static_cast<int>(I) == group_.GetItemIndex());
            buttons_[I]->setAutoExclusive(true);
        }
    }

private:
    TRadioGroup& group_;
    std::vector<QRadioButton*> buttons_;
};

RadioGroupView* viewOf(TRadioGroup& Group) { return dynamic_cast<RadioGroupView*>(ui_private::Access::viewOf(Group)); }

} // namespace

// --- TBevel

TBevel::TBevel(TComponent* AOwner) : TGraphicControl(AOwner) { SetBounds(0, 0, 50, 50); }

void TBevel::SetShape(TBevelShape Value)
{
    FShape = Value;
    Invalidate();
}

void TBevel::SetStyle(TBevelStyle Value)
{
    FStyle = Value;
    Invalidate();
}

void TBevel::Paint()
{
    TCanvas& Canvas = *GetCanvas();
    // The first colour draws the top and left edges, the second the bottom and right ones.
    const TColor First = FStyle == bsLowered ? clBtnShadow : clBtnHighlight;
    const TColor Second = FStyle == bsLowered ? clBtnHighlight : clBtnShadow;
    const int W = GetWidth(), H = GetHeight();
    Canvas.GetPen()->SetWidth(1);
    const auto Line = [&](TColor Color, int X1, int Y1, int X2, int Y2) {
        Canvas.GetPen()->SetColor(Color);
        Canvas.MoveTo(X1, Y1);
        Canvas.LineTo(X2, Y2);
    };
    const auto Box = [&](TColor TopLeft, TColor BottomRight, int L, int T, int R, int B) {
        Line(TopLeft, L, B, L, T);
        Line(TopLeft, L, T, R, T);
        Line(BottomRight, R, T, R, B);
        Line(BottomRight, R, B, L - 1, B);
    };
    switch (FShape) {
    case bsBox: Box(First, Second, 0, 0, W - 1, H - 1); break;
    case bsFrame:
        // An etched frame: the same frame twice, one pixel apart, in the two colours.
        Box(Second, Second, 1, 1, W - 1, H - 1);
        Box(First, First, 0, 0, W - 2, H - 2);
        break;
    case bsTopLine:
        Line(First, 0, 0, W, 0);
        Line(Second, 0, 1, W, 1);
        break;
    case bsBottomLine:
        Line(First, 0, H - 2, W, H - 2);
        Line(Second, 0, H - 1, W, H - 1);
        break;
    case bsLeftLine:
        Line(First, 0, 0, 0, H);
        Line(Second, 1, 0, 1, H);
        break;
    case bsRightLine:
        Line(First, W - 2, 0, W - 2, H);
        Line(Second, W - 1, 0, W - 1, H);
        break;
    case bsSpacer: break;
    }
}

// --- TImage

TImage::TImage(TComponent* AOwner) : TGraphicControl(AOwner), FPicture(std::make_unique<TPicture>())
{
    FPicture->OnChange = [this](TObject*) {
        if (TGraphic* Graphic = FPicture->GetGraphic())
            Graphic->SetTransparent(FTransparent);
        Invalidate();
    };
    SetBounds(0, 0, 105, 105);
}

TImage::~TImage() = default;

void TImage::SetStretch(bool Value)
{
    FStretch = Value;
    Invalidate();
}

void TImage::SetCenter(bool Value)
{
    FCenter = Value;
    Invalidate();
}

void TImage::SetTransparent(bool Value)
{
    FTransparent = Value;
    if (Value)
        ControlStyle.Exclude(csOpaque);
    if (TGraphic* Graphic = FPicture->GetGraphic())
        Graphic->SetTransparent(Value);
    Invalidate();
}

void TImage::Paint()
{
    TGraphic* Graphic = FPicture->GetGraphic();
    if (!Graphic || Graphic->Empty())
        return;
    TRect R = Bounds(0, 0, Graphic->GetWidth(), Graphic->GetHeight());
    if (FStretch)
        R = GetClientRect();
    else if (FCenter)
        R = Bounds((GetWidth() - R.Width()) / 2, (GetHeight() - R.Height()) / 2, R.Width(), R.Height());
    GetCanvas()->StretchDraw(R, *Graphic);
}

// --- TRadioGroup

TRadioGroup::TRadioGroup(TComponent* AOwner) : TWinControl(AOwner)
{
    ControlStyle = { csCaptureMouse, csClickEvents, csDoubleClicks };
    SetTabStop(true);
    SetBounds(0, 0, 185, 105);
}

std::unique_ptr<ui_private::View> TRadioGroup::CreateView()
{
    auto View = std::make_unique<RadioGroupView>(*this, ui_private::Access::containerOf(*GetParent()));
    View->rebuild();
    return View;
}

void TRadioGroup::SetItems(const TStringList& Value)
{
    FItems.Assign(Value);
    itemsChanged();
}

void TRadioGroup::itemsChanged()
{
    if (FItemIndex >= FItems.Count() && !ComponentState().Contains(csLoading))
        FItemIndex = -1;
    if (RadioGroupView* View = viewOf(*this))
        View->rebuild();
}

void TRadioGroup::SetItemIndex(int Value)
{
    // Form resources give ItemIndex before Items: while reading, the index waits for them.
    if (ComponentState().Contains(csLoading)) {
        FItemIndex = Value;
        return;
    }
    if (Value < -1 || Value >= FItems.Count())
        Value = -1;
    FItemIndex = Value;
    if (RadioGroupView* View = viewOf(*this))
        View->check();
}

void TRadioGroup::SetColumns(int Value)
{
    FColumns = std::max(1, Value);
    if (RadioGroupView* View = viewOf(*this))
        View->arrange();
}

void TRadioGroup::chosen(int Index)
{
    FItemIndex = Index;
    Click();
}

void TRadioGroup::Loaded()
{
    TWinControl::Loaded();
    SetItemIndex(FItemIndex);
}

void TRadioGroup::Resize()
{
    if (RadioGroupView* View = viewOf(*this))
        View->arrange();
    TWinControl::Resize();
}
