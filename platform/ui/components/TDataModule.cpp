//===- TDataModule.cpp - Data modules: forms without windows that hold components ===//
#include "platform/ui/components/TDataModule.h"

#include "platform/ui/qt/Access_p.h"
#include "platform/ui/components/FormReader.h"
#include "platform/ui/components/Published.h"
#include "platform/ui/forms/TScreen.h"

namespace {

const PublishedClass& DataModuleClass =
    PublishClass<TDataModule, TComponent>("TDataModule", [](Published<TDataModule>& P) {
        P.Int("Left", &TDataModule::Left);
        P.Int("Top", &TDataModule::Top);
        P.Int("Width", &TDataModule::Width);
        P.Int("Height", &TDataModule::Height);
        P.Bool("OldCreateOrder", &TDataModule::OldCreateOrder);
        P.Event("OnCreate", &TDataModule::OnCreate);
    });

} // namespace

TDataModule::TDataModule(TComponent* AOwner) : TComponent(AOwner)
{
    if (Screen)
        Screen->addDataModule(this);
}

TDataModule::~TDataModule()
{
    if (Screen)
        Screen->removeDataModule(this);
    // The module's own class is gone already: nothing may raise its events from here on.
    Destroying();
    DestroyComponents();
}

std::string TDataModule::FormResourceName() const { return ClassName(); }

void TDataModule::readResource() { ReadComponentRes(FormResourceName(), *this); }

void TDataModule::DoCreate()
{
    // As with forms, a failing OnCreate is reported and the module lives on.
    if (OnCreate)
        ui_private::Access::guarded(this, [&] { OnCreate(this); });
}
