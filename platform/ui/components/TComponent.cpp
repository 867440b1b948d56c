//===- TComponent.cpp - Objects, persistent objects and components with owners ---===//
#include "platform/ui/components/TComponent.h"

#include "platform/ui/components/Published.h"
#include "platform/ui/components/UiConsts.h"

#include "platform/rtl/AnsiString.h"
#include "platform/rtl/Exception.h"
#include "platform/rtl/Format.h"
#include "platform/rtl/RtlConsts.h"

#include <algorithm>
#include <typeinfo>

namespace {

bool isIdentifier(std::string_view S)
{
    const auto Letter = [](char C) { return (C >= 'A' && C <= 'Z') || (C >= 'a' && C <= 'z') || C == '_'; };
    const auto Digit = [](char C) { return C >= '0' && C <= '9'; };
    if (S.empty() || !Letter(S[0]))
        return false;
    return std::all_of(S.begin() + 1, S.end(), [&](char C) { return Letter(C) || Digit(C); });
}

// The classes that every form resource may name.
const PublishedClass& PersistentClass = PublishClass<TPersistent>("TPersistent");
const PublishedClass& ComponentClass = PublishClass<TComponent, TPersistent>(
    "TComponent", [](Published<TComponent>& P) { P.Int("Tag", &TComponent::Tag); });

} // namespace

// --- TObject, TPersistent

TObject::~TObject() = default;

std::string TObject::ClassName() const { return PublishedClass::NameOf(typeid(*this)); }

void TPersistent::Assign(const TPersistent& Source) { Source.AssignTo(*this); }

void TPersistent::DefineProperties(TFiler&) {}

void TPersistent::AssignTo(TPersistent& Dest) const
{
    throw EConvertError(Format(SAssignError, { ClassName(), Dest.ClassName() }));
}

// --- Construction and destruction

TComponent::TComponent(TComponent* AOwner)
{
    if (!AOwner)
        return;
    // Constructed in place: should the list fail to grow, nothing deletes this half-made object.
    AOwner->FComponents.emplace_back(this);
    FOwner = AOwner;
    AOwner->Notification(this, opInsert);
}

TComponent::~TComponent()
{
    FComponentState.Include(csDestroying);
    std::vector<TComponent*> Notifies;
    Notifies.swap(FFreeNotifies);
    for (TComponent* C : Notifies) {
        C->forgetNotify(this);
        C->Notification(this, opRemove);
    }
    DestroyComponents();
    if (FOwner) {
        // The owner lets go without deleting: this destructor is already running.
        std::unique_ptr<TComponent> Self = FOwner->releaseOwned(this);
        (void)Self.release();
    }
}

// --- Identity

void TComponent::SetName(const std::string& Value)
{
    if (Value == FName)
        return;
    if (!Value.empty() && !isIdentifier(Value))
        throw Exception(Format(SInvalidName, { Value }));
    if (FOwner && !Value.empty()) {
        const TComponent* Other = FOwner->FindComponent(Value);
        if (Other && Other != this)
            throw Exception(Format(SDuplicateName, { Value }));
    }
    FName = Value;
}

// --- Owned components

TComponent* TComponent::Components(int Index) const
{
    if (Index < 0 || Index >= ComponentCount())
        throw EListError(Format(SListIndexError, { Index }));
    return FComponents[Index].get();
}

TComponent* TComponent::FindComponent(std::string_view AName) const
{
    if (AName.empty())
        return nullptr;
    for (const auto& C : FComponents)
        if (SameText(C->FName, AName))
            return C.get();
    return nullptr;
}

void TComponent::InsertComponent(std::unique_ptr<TComponent>&& AComponent)
{
    if (!AComponent)
        return;
    if (AComponent->FOwner)
        throw Exception(Format(SAlreadyOwned, { AComponent->FName, AComponent->FOwner->FName }));
    if (FindComponent(AComponent->FName))
        throw Exception(Format(SDuplicateName, { AComponent->FName }));
    insertOwned(std::move(AComponent));
}

std::unique_ptr<TComponent> TComponent::RemoveComponent(TComponent* AComponent)
{
    if (!AComponent || AComponent->FOwner != this)
        throw Exception(Format(SNotOwned, { AComponent ? AComponent->FName : std::string("nil"), FName }));
    return releaseOwned(AComponent);
}

void TComponent::DestroyComponents()
{
    while (!FComponents.empty()) {
        std::unique_ptr<TComponent> C = releaseOwned(FComponents.back().get());
        C.reset();
    }
}

void TComponent::Destroying()
{
    if (FComponentState.Contains(csDestroying))
        return;
    FComponentState.Include(csDestroying);
    for (const auto& C : FComponents)
        C->Destroying();
}

void TComponent::insertOwned(std::unique_ptr<TComponent> AComponent)
{
    TComponent* C = AComponent.get();
    FComponents.push_back(std::move(AComponent));
    C->FOwner = this;
    Notification(C, opInsert);
}

std::unique_ptr<TComponent> TComponent::releaseOwned(TComponent* AComponent)
{
    const auto It =
        std::find_if(FComponents.begin(), FComponents.end(), [&](const auto& C) { return C.get() == AComponent; });
    if (It == FComponents.end())
        return nullptr;
    std::unique_ptr<TComponent> C = std::move(*It);
    FComponents.erase(It);
    C->FOwner = nullptr;
    // The form's field for it must not dangle (only a living form has its published fields).
    if (!FComponentState.Contains(csDestroying))
        if (const PublishedClass* Class = PublishedClass::Of(*this))
            Class->ClearFields(*this, C.get());
    Notification(C.get(), opRemove);
    return C;
}

// --- Notification

void TComponent::FreeNotification(TComponent* AComponent)
{
    if (!AComponent || AComponent == this)
        return;
    if (std::find(FFreeNotifies.begin(), FFreeNotifies.end(), AComponent) == FFreeNotifies.end())
        FFreeNotifies.push_back(AComponent);
    auto& Theirs = AComponent->FFreeNotifies;
    if (std::find(Theirs.begin(), Theirs.end(), this) == Theirs.end())
        Theirs.push_back(this);
}

void TComponent::RemoveFreeNotification(TComponent* AComponent)
{
    if (!AComponent)
        return;
    forgetNotify(AComponent);
    AComponent->forgetNotify(this);
}

void TComponent::forgetNotify(TComponent* AComponent) { std::erase(FFreeNotifies, AComponent); }

void TComponent::Notification(TComponent* AComponent, TOperation Operation)
{
    // Backwards by index: a component told of the news may free itself or others.
    for (size_t I = FComponents.size(); I-- > 0;) {
        if (I >= FComponents.size())
            continue;
        TComponent* C = FComponents[I].get();
        if (C != AComponent)
            C->Notification(AComponent, Operation);
    }
}

// --- Reading hooks

void TComponent::SetParentComponent(TComponent*) {}

void TComponent::Loaded() {}
