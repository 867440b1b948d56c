//===- TDataModule.h - Data modules: forms without windows that hold components -*- C++ -*-===//
//
// A data module is read from its form resource as a form is (Application->CreateForm(Reference)
// or TDataModule::Create<T>(Owner)) and holds components that are not controls. The screen lists
// the data modules in the order they were made (Screen->DataModules).
//
#pragma once

#include "platform/ui/components/Events.h"
#include "platform/ui/components/TComponent.h"

#include <string>

class TDataModule : public TComponent {
public:
    /// A data module without components (nothing is read); see Create for those of a resource.
    explicit TDataModule(TComponent* AOwner);
    ~TDataModule() override;

    /// Makes a T owned by AOwner from its form resource and runs OnCreate; when reading fails
    /// the data module is freed and the exception passes on.
    template <class T>
    static T* Create(TComponent* AOwner);

    /// The name of the form resource it is read from: its class name unless overridden.
    virtual std::string FormResourceName() const;

    // --- Kept from the resource: where the designer showed it
    int Left = 0, Top = 0, Width = 0, Height = 0;
    bool OldCreateOrder = false;

    TNotifyEvent OnCreate;

protected:
    virtual void DoCreate();

private:
    friend class TApplication;
    void readResource();
};

template <class T>
T* TDataModule::Create(TComponent* AOwner)
{
    T* Module = new T(AOwner);
    try {
        static_cast<TDataModule*>(Module)->readResource();
        static_cast<TDataModule*>(Module)->DoCreate();
    } catch (...) {
        delete Module;
        throw;
    }
    return Module;
}
