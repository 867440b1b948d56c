//===- TPlotHolder.cpp - Text rows placed on a form for data series to read ===//
#include "plot/TPlotHolder.h"

#include "platform/ui/components/Published.h"
#include "platform/ui/components/TDataModule.h"
#include "platform/ui/forms/TForm.h"
#include "platform/ui/forms/TScreen.h"

namespace {

const PublishedClass& PlotHolderClass =
    PublishClass<TPlotHolder, TComponent>("TPlotHolder", [](Published<TPlotHolder>& P) {
        P.Strings("data", &TPlotHolder::Getdata, &TPlotHolder::Setdata);
        P.String("ID", &TPlotHolder::ID);
        P.String("Textseparators", &TPlotHolder::GetTextseparators, &TPlotHolder::SetTextseparators);
        P.String("TextMarkers", &TPlotHolder::TextMarkers);
        P.Enum("XPaddingPolicy", TPaddingPolicyType, &TPlotHolder::XPaddingPolicy);
        P.Enum("YPaddingPolicy", TPaddingPolicyType, &TPlotHolder::YPaddingPolicy);
        P.Int("XPadCount", &TPlotHolder::XPadCount);
        P.Int("YPadCount", &TPlotHolder::YPadCount);
        P.Event("OnChange", &TPlotHolder::OnChange);
    });

const TPlotHolder* HolderAmong(const TComponent& Owner, const std::string& ID)
{
    for (int I = 0; I < Owner.ComponentCount(); ++I)
        if (const auto* Holder = dynamic_cast<const TPlotHolder*>(Owner.Components(I)); Holder && Holder->ID == ID)
            return Holder;
    return nullptr;
}

} // namespace

TPlotHolder::TPlotHolder(TComponent* AOwner) : TComponent(AOwner) {}

void TPlotHolder::Setdata(const TStringList& Value)
{
    Fdata.Assign(Value);
    if (OnChange)
        OnChange(this);
}

std::string TPlotHolder::GetTextseparators() const
{
    std::string Shown = FTextseparators;
    if (const size_t Tab = Shown.find('\t'); Tab != std::string::npos)
        Shown[Tab] = 'T';
    return Shown;
}

void TPlotHolder::SetTextseparators(const std::string& Value)
{
    FTextseparators = Value;
    if (const size_t T = FTextseparators.find('T'); T != std::string::npos)
        FTextseparators[T] = '\t';
}

const TPlotHolder* FindPlotHolder(const std::string& ID)
{
    if (!Screen)
        return nullptr;
    for (int I = 0; I < Screen->DataModuleCount(); ++I)
        if (const TPlotHolder* Holder = HolderAmong(*Screen->DataModules(I), ID))
            return Holder;
    for (int I = 0; I < Screen->FormCount(); ++I)
        if (const TPlotHolder* Holder = HolderAmong(*Screen->Forms(I), ID))
            return Holder;
    return nullptr;
}
