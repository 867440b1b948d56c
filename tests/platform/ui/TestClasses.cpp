//===- TestClasses.cpp - Small published classes that the form resource tests read -===//
#include "tests/platform/ui/TestClasses.h"

#include "platform/rtl/Exception.h"
#include "platform/rtl/TStream.h"
#include "platform/ui/components/Filer.h"
#include "platform/ui/components/Published.h"

int TTestControl::Alive = 0;
std::vector<std::string> TTestControl::LoadedOrder;

void TTestFont::SetSize(int Value)
{
    FSize = Value;
    ++Changes;
}

void TTestFont::SetStyle(TFontStyles Value)
{
    FStyle = Value;
    ++Changes;
}

void TTestFont::Assign(const TPersistent& Source)
{
    if (const auto* F = dynamic_cast<const TTestFont*>(&Source)) {
        Name = F->Name;
        Height = F->Height;
        Color = F->Color;
        Charset = F->Charset;
        FSize = F->FSize;
        FStyle = F->FStyle;
        return;
    }
    TPersistent::Assign(Source);
}

TTestControl::TTestControl(TComponent* AOwner) : TComponent(AOwner), FFont(std::make_unique<TTestFont>()) { ++Alive; }

TTestControl::~TTestControl() { --Alive; }

void TTestControl::SetLeft(int Value)
{
    FLeft = Value;
    LoadingWhenLeftSet = ComponentState().Contains(csLoading);
}

void TTestControl::SetValue(double Value)
{
    if (Value < 0)
        throw Exception("Value must not be negative");
    FValue = Value;
}

void TTestControl::DefineProperties(TFiler& Filer)
{
    TComponent::DefineProperties(Filer);
    Filer.DefineProperty(
        "DataSize", [this](const TFormValue& V) { DataSize = V; },
        [this] {
            TFormValue V;
            V.Integer = int64_t(Data.size());
            return V;
        },
        true);
    Filer.DefineBinaryProperty(
        "Data",
        [this](TStream& S) {
            Data.resize(size_t(S.GetSize()));
            S.ReadBuffer(Data.data(), int32_t(Data.size()));
        },
        [this](TStream& S) { S.WriteBuffer(Data.data(), int32_t(Data.size())); }, !Data.empty());
}

void TTestControl::Loaded()
{
    TComponent::Loaded();
    ++LoadedCalls;
    LoadingInLoaded = ComponentState().Contains(csLoading);
    LoadedOrder.push_back(GetName());
}

void TTestControl::Notification(TComponent* AComponent, TOperation Operation)
{
    TComponent::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == PopupMenu)
        PopupMenu = nullptr;
}

void TTestForm::btn_startMouseDown(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y)
{
    Calls.push_back("btn_startMouseDown " + std::to_string(static_cast<int>(Button)) + " "
                    + std::to_string(Shift.Bits()) + " " + std::to_string(X) + "," + std::to_string(Y));
    LastSender = Sender;
}

void TTestForm::edtKeyPress(TObject*, char& Key)
{
    if (Key == 'a')
        Key = 'A';
}

void TTestForm::Loaded()
{
    TComponent::Loaded();
    ++LoadedCalls;
    TTestControl::LoadedOrder.push_back(GetName());
}

namespace {

const PublishedClass& FontClass = PublishClass<TTestFont, TPersistent>("TTestFont", [](Published<TTestFont>& P) {
    P.String("Name", &TTestFont::Name);
    P.Int("Size", &TTestFont::GetSize, &TTestFont::SetSize);
    P.Int("Height", &TTestFont::Height);
    P.Set("Style", TFontStyleType, &TTestFont::GetStyle, &TTestFont::SetStyle);
    P.Color("Color", &TTestFont::Color);
    P.Int("Charset", &TTestFont::Charset);
});

const PublishedClass& MenuClass = PublishClass<TTestMenu, TComponent>("TTestMenu");

const PublishedClass& ControlClass =
    PublishClass<TTestControl, TComponent>("TTestControl", [](Published<TTestControl>& P) {
        P.Int("Left", &TTestControl::GetLeft, &TTestControl::SetLeft);
        P.Int("LedTyp", &TTestControl::LedTyp);
        P.Bool("Visible", &TTestControl::GetVisible, &TTestControl::SetVisible);
        P.String("Caption", &TTestControl::Caption);
        P.Double("Value", &TTestControl::GetValue, &TTestControl::SetValue);
        P.Enum("LedOnColor", TLedOnColorsType, &TTestControl::LedOnColor);
        P.Set("Styles", TFontStyleType, &TTestControl::Styles);
        P.Color("Color", &TTestControl::Color);
        P.Strings("Items", &TTestControl::GetItems, &TTestControl::SetItems);
        P.Object("Font", &TTestControl::GetFont);
        P.Component("PopupMenu", &TTestControl::PopupMenu);
        P.Event("OnClick", &TTestControl::OnClick);
        P.Event("OnMouseDown", &TTestControl::OnMouseDown);
        P.Event("OnKeyPress", &TTestControl::OnKeyPress);
        P.Custom("Counts", [](TTestControl& C, const TFormValue& V) { C.Counts = V; });
    });

const PublishedClass& FormClass = PublishClass<TTestForm, TComponent>("TTestForm", [](Published<TTestForm>& P) {
    P.String("Caption", &TTestForm::Caption);
    P.Event("OnCreate", &TTestForm::OnCreate);
    P.Component("ActiveControl", &TTestForm::ActiveControl);

    P.Notify("FormCreate", &TTestForm::FormCreate);
    P.Notify("btn_startClick", &TTestForm::btn_startClick);
    P.Mouse("btn_startMouseDown", &TTestForm::btn_startMouseDown);
    P.KeyPress("edtKeyPress", &TTestForm::edtKeyPress);

    P.Field("btn_start", &TTestForm::btn_start);
    P.Field("panel", &TTestForm::panel);
    P.Field("inner", &TTestForm::inner);
    P.Field("PopupMenu1", &TTestForm::PopupMenu1);
});

const PublishedClass& FormPlusClass = PublishClass<TTestFormPlus, TTestForm>(
    "TTestFormPlus", [](Published<TTestFormPlus>& P) { P.Notify("ExtraClick", &TTestFormPlus::ExtraClick); });

const PublishedClass& OtherClass = PublishClass<TOtherComponent, TComponent>("TOtherComponent");

} // namespace
