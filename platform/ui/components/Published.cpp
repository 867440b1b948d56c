//===- Published.cpp - The registry of published classes and its entries -===//
#include "platform/ui/components/Published.h"

#include "platform/ui/components/UiConsts.h"

#include "platform/rtl/AnsiString.h"
#include "platform/rtl/Exception.h"
#include "platform/rtl/Format.h"

#include <cstdlib>
#include <cxxabi.h>
#include <map>
#include <mutex>
#include <unordered_map>

namespace {

struct Registry {
    std::mutex Lock;
    std::vector<std::unique_ptr<PublishedClass>> Classes;
    std::unordered_map<std::type_index, const PublishedClass*> ByType;
    std::map<std::string, const PublishedClass*> ByName; // upper-case names
};

// Never destroyed: components that outlive static destruction may still ask for class names.
Registry& registry()
{
    static Registry* R = new Registry;
    return *R;
}

std::string demangle(const char* Name)
{
    int Status = 0;
    std::unique_ptr<char, void (*)(void*)> Plain(abi::__cxa_demangle(Name, nullptr, nullptr, &Status), std::free);
    return Status == 0 && Plain ? std::string(Plain.get()) : std::string(Name);
}

template <class Entry>
const Entry* findIn(const std::vector<std::unique_ptr<Entry>>& Entries, std::string_view Name)
{
    for (const auto& E : Entries)
        if (SameText(E->Name(), Name))
            return E.get();
    return nullptr;
}

} // namespace

// --- PublishedProperty

PublishedProperty::PublishedProperty(std::string_view Name, TPropertyKind Kind) : FName(Name), FKind(Kind) {}

std::string PublishedProperty::TypeName() const
{
    switch (FKind) {
    case TPropertyKind::Integer: return "Integer";
    case TPropertyKind::Bool: return "Boolean";
    case TPropertyKind::String: return "String";
    case TPropertyKind::Double: return "Double";
    case TPropertyKind::Enum:
    case TPropertyKind::Set: return std::string(FEnum->Name());
    case TPropertyKind::Color: return "TColor";
    case TPropertyKind::Strings: return "TStrings";
    case TPropertyKind::Object:
    case TPropertyKind::Component: return PublishedClass::NameOf(FType);
    case TPropertyKind::Event: return std::string(FEventName);
    case TPropertyKind::Custom: break;
    }
    return "value";
}

void PublishedProperty::wrongKind(const char* Method) const
{
    throw Exception(Format(SWrongPropertyKind, { std::string("PublishedProperty::") + Method, FName }));
}

int64_t PublishedProperty::GetOrd(const TObject& Instance) const
{
    if (!FGetOrd)
        wrongKind("GetOrd");
    return FGetOrd(Instance);
}

void PublishedProperty::SetOrd(TObject& Instance, int64_t Value) const
{
    if (FReadOnly)
        throw Exception(Format(SReadOnlyProperty, { FName }));
    if (!FSetOrd)
        wrongKind("SetOrd");
    if (FKind == TPropertyKind::Enum) {
        if (Value < INT32_MIN || Value > INT32_MAX || FEnum->IdentOf(static_cast<int>(Value)).empty())
            throw Exception(Format(SNotInTable, { Value, FEnum->Name() }));
    } else if (FKind == TPropertyKind::Set) {
        uint64_t Known = 0;
        for (const EnumIdent& I : FEnum->Idents())
            if (I.Value >= 0 && I.Value < 64)
                Known |= uint64_t(1) << I.Value;
        const auto Bits = static_cast<uint64_t>(Value);
        if (Bits & ~Known)
            throw Exception(Format(SNotInTable, { Value, FEnum->Name() }));
    } else if (Value < FMin || Value > FMax) {
        throw Exception(Format(SValueOutOfRange, { Value, FName, FMin, FMax }));
    }
    FSetOrd(Instance, Value);
}

double PublishedProperty::GetFloat(const TObject& Instance) const
{
    if (!FGetFloat)
        wrongKind("GetFloat");
    return FGetFloat(Instance);
}

void PublishedProperty::SetFloat(TObject& Instance, double Value) const
{
    if (!FSetFloat)
        wrongKind("SetFloat");
    FSetFloat(Instance, Value);
}

std::string PublishedProperty::GetStr(const TObject& Instance) const
{
    if (!FGetStr)
        wrongKind("GetStr");
    return FGetStr(Instance);
}

void PublishedProperty::SetStr(TObject& Instance, const std::string& Value) const
{
    if (FReadOnly)
        throw Exception(Format(SReadOnlyProperty, { FName }));
    if (!FSetStr)
        wrongKind("SetStr");
    FSetStr(Instance, Value);
}

TStringList PublishedProperty::GetStrings(const TObject& Instance) const
{
    if (!FGetStrings)
        wrongKind("GetStrings");
    return FGetStrings(Instance);
}

void PublishedProperty::SetStrings(TObject& Instance, const TStringList& Value) const
{
    if (!FSetStrings)
        wrongKind("SetStrings");
    FSetStrings(Instance, Value);
}

TPersistent* PublishedProperty::GetObject(TObject& Instance) const
{
    if (!FGetObject)
        wrongKind("GetObject");
    return FGetObject(Instance);
}

TComponent* PublishedProperty::GetComponent(const TObject& Instance) const
{
    if (!FGetComponent)
        wrongKind("GetComponent");
    return FGetComponent(Instance);
}

bool PublishedProperty::SetComponent(TObject& Instance, TComponent* Value) const
{
    if (!FSetComponent)
        wrongKind("SetComponent");
    return FSetComponent(Instance, Value);
}

void PublishedProperty::SetEvent(TObject& Instance, const std::any& Handler) const
{
    if (!FSetEvent)
        wrongKind("SetEvent");
    FSetEvent(Instance, Handler);
}

void PublishedProperty::SetCustom(TObject& Instance, const TFormValue& Value) const
{
    if (!FSetCustom)
        wrongKind("SetCustom");
    FSetCustom(Instance, Value);
}

// --- PublishedMethod, PublishedField

PublishedMethod::PublishedMethod(std::string_view Name, std::type_index Type, std::string_view TypeName,
                                 std::function<std::any(TObject&)> Bind)
    : FName(Name), FType(Type), FTypeName(TypeName), FBind(std::move(Bind))
{
}

PublishedField::PublishedField(std::string_view Name, std::type_index Type,
                               std::function<TComponent*(const TObject&)> Get,
                               std::function<bool(TObject&, TComponent*)> Set)
    : FName(Name), FType(Type), FGet(std::move(Get)), FSet(std::move(Set))
{
}

// --- The registry

PublishedClass::PublishedClass(const Registration& R)
    : FName(R.Name), FType(R.Type), FBase(R.Base), FMake(R.Make), FIsA(R.IsA)
{
}

const PublishedClass& PublishedClass::Register(Registration R)
{
    // Built and filled outside the lock, so a publishing function may look classes up.
    std::unique_ptr<PublishedClass> Class(new PublishedClass(R));
    if (R.Publish)
        R.Publish(*Class);

    Registry& Reg = registry();
    const std::lock_guard Hold(Reg.Lock);
    const std::string Key = UpperCase(R.Name);
    if (Reg.ByName.count(Key) || Reg.ByType.count(R.Type))
        throw Exception(Format(SDuplicateClass, { R.Name }));
    const PublishedClass* Result = Class.get();
    Reg.Classes.push_back(std::move(Class));
    Reg.ByName.emplace(Key, Result);
    Reg.ByType.emplace(R.Type, Result);
    return *Result;
}

const PublishedClass* PublishedClass::Find(std::string_view ClassName)
{
    Registry& Reg = registry();
    const std::lock_guard Hold(Reg.Lock);
    const auto It = Reg.ByName.find(UpperCase(ClassName));
    return It == Reg.ByName.end() ? nullptr : It->second;
}

const PublishedClass* PublishedClass::Of(const TObject& Instance) { return Of(std::type_index(typeid(Instance))); }

const PublishedClass* PublishedClass::Of(std::type_index Type)
{
    Registry& Reg = registry();
    const std::lock_guard Hold(Reg.Lock);
    const auto It = Reg.ByType.find(Type);
    return It == Reg.ByType.end() ? nullptr : It->second;
}

std::string PublishedClass::NameOf(std::type_index Type)
{
    if (const PublishedClass* Class = Of(Type))
        return Class->FName;
    return demangle(Type.name());
}

// --- The class

const PublishedClass* PublishedClass::Parent() const
{
    if (!FBase)
        return nullptr;
    // Looked up on use: classes publish themselves in whatever order start-up runs them.
    const PublishedClass* P = Of(*FBase);
    if (!P)
        throw Exception(Format(SParentNotPublished, { FName }));
    return P;
}

bool PublishedClass::InheritsFrom(const PublishedClass& Ancestor) const
{
    for (const PublishedClass* C = this; C; C = C->Parent())
        if (C == &Ancestor)
            return true;
    return false;
}

const PublishedProperty* PublishedClass::FindProperty(std::string_view PropName) const
{
    for (const PublishedClass* C = this; C; C = C->Parent())
        if (const PublishedProperty* P = findIn(C->FProperties, PropName))
            return P;
    return nullptr;
}

const PublishedMethod* PublishedClass::FindMethod(std::string_view MethodName) const
{
    for (const PublishedClass* C = this; C; C = C->Parent())
        if (const PublishedMethod* M = findIn(C->FMethods, MethodName))
            return M;
    return nullptr;
}

const PublishedField* PublishedClass::FindField(std::string_view FieldName) const
{
    for (const PublishedClass* C = this; C; C = C->Parent())
        if (const PublishedField* F = findIn(C->FFields, FieldName))
            return F;
    return nullptr;
}

void PublishedClass::ClearFields(TObject& Instance, const TComponent* Component) const
{
    // Runs inside destructors, so an unpublished ancestor ends the walk instead of raising.
    for (const PublishedClass* C = this; C; C = C->FBase ? Of(*C->FBase) : nullptr)
        for (const auto& F : C->FFields)
            if (F->Get(Instance) == Component)
                F->Set(Instance, nullptr);
}

PublishedProperty& PublishedClass::addProperty(std::string_view PropName, TPropertyKind Kind)
{
    FProperties.push_back(std::unique_ptr<PublishedProperty>(new PublishedProperty(PropName, Kind)));
    return *FProperties.back();
}

void PublishedClass::addMethod(std::unique_ptr<PublishedMethod> Method) { FMethods.push_back(std::move(Method)); }

void PublishedClass::addField(std::unique_ptr<PublishedField> Field) { FFields.push_back(std::move(Field)); }
