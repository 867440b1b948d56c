//===- TComponent.h - Objects, persistent objects and components with owners -*- C++ -*-===//
#pragma once

#include "platform/ui/components/TypeInfo.h"

#include <memory>
#include <string>
#include <string_view>
#include <vector>

class TFiler;

/// The root of the class library's classes.
class TObject {
public:
    TObject() = default;
    virtual ~TObject();

    /// The name the class is published under ("TButton"); an unpublished class answers its C++ name.
    std::string ClassName() const;
};

/// An object whose state can be copied into another object and read from a form resource.
class TPersistent : public TObject {
public:
    /// Copies Source into this object. The default lets Source try (AssignTo), whose default raises
    /// EConvertError "Cannot assign a TFont to a TBrush".
    virtual void Assign(const TPersistent& Source);
    /// Declares the stored properties that the class does not publish (Filer.h); none here.
    virtual void DefineProperties(TFiler& Filer);

protected:
    virtual void AssignTo(TPersistent& Dest) const;
};

enum class TOperation { opInsert, opRemove };
using enum TOperation;

enum class TComponentStateItem {
    csLoading,    // being read from a form resource; cleared on the whole form before Loaded runs
    csDestroying, // its destructor has begun
};
using enum TComponentStateItem;
using TComponentState = TSet<TComponentStateItem>;

/// A component with an owner. The owner holds its components and frees them when it goes (the
/// newest first); everyone else holds plain pointers. A component with an owner must therefore
/// be made with new, and may be freed early with delete: it then leaves its owner's list, the
/// owner hears of it (Notification, opRemove) and a field of the owner that the owner's class
/// publishes for it is cleared.
class TComponent : public TPersistent {
public:
    explicit TComponent(TComponent* AOwner);
    ~TComponent() override;
    TComponent(const TComponent&) = delete;
    TComponent& operator=(const TComponent&) = delete;

    // --- Identity
    const std::string& GetName() const { return FName; }
    /// Raises Exception "'1x' is not a valid component name" for a name that is not empty and not
    /// an identifier, and "A component named X already exists" when another component of the
    /// same owner has it (ignoring case).
    void SetName(const std::string& Value);
    TComponent* Owner() const { return FOwner; }
    TComponentState ComponentState() const { return FComponentState; }
    int Tag = 0;

    // --- Owned components
    int ComponentCount() const { return static_cast<int>(FComponents.size()); }
    /// Index 0..ComponentCount()-1 in the order of insertion, else EListError.
    TComponent* Components(int Index) const;
    /// The owned component of that name, ignoring case; nullptr when none (and for "").
    TComponent* FindComponent(std::string_view AName) const;
    /// Takes AComponent, which has no owner, into this component's list. A name already taken
    /// raises Exception and AComponent stays with the caller.
    void InsertComponent(std::unique_ptr<TComponent>&& AComponent);
    /// Hands an owned component back to the caller; raises Exception for one that is not ours.
    std::unique_ptr<TComponent> RemoveComponent(TComponent* AComponent);
    /// Frees every owned component, the newest first.
    void DestroyComponents();
    /// Marks this component and those it owns as being destroyed (csDestroying), so that
    /// nothing they do on the way out raises events of half-destroyed objects. Destructors call
    /// it first; ~TComponent does it in any case.
    void Destroying();

    // --- Hearing about components that go
    /// AComponent (of any owner) hears through Notification(this, opRemove) when this component
    /// is destroyed, and this one when AComponent is.
    void FreeNotification(TComponent* AComponent);
    void RemoveFreeNotification(TComponent* AComponent);

    // --- Reading from form resources
    /// The reader calls this for every component read inside another object of the resource,
    /// with that object's component. Controls take it as their parent; the default does nothing.
    virtual void SetParentComponent(TComponent* Value);

protected:
    /// AComponent was inserted into or is leaving the owner's list, or is a component that asked
    /// for free notification and is being destroyed. The default passes the news to every owned
    /// component, so that siblings drop their pointers to one that goes; overrides call it.
    virtual void Notification(TComponent* AComponent, TOperation Operation);
    /// Called by the reader on every component of a form once the whole resource is read and its
    /// component references are resolved (the form first, then the others in reading order).
    virtual void Loaded();

private:
    friend class TReader;

    void insertOwned(std::unique_ptr<TComponent> AComponent);
    std::unique_ptr<TComponent> releaseOwned(TComponent* AComponent);
    void forgetNotify(TComponent* AComponent);

    std::string FName;
    TComponent* FOwner = nullptr;
    std::vector<std::unique_ptr<TComponent>> FComponents;
    std::vector<TComponent*> FFreeNotifies;
    TComponentState FComponentState;
};
