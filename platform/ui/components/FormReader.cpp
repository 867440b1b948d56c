//===- FormReader.cpp - Creates a form's components from its form resource -===//
#include "platform/ui/components/FormReader.h"

#include "platform/ui/components/Colors.h"
#include "platform/ui/components/Filer.h"
#include "platform/ui/components/FormResource.h"
#include "platform/ui/components/Published.h"
#include "platform/ui/components/TComponent.h"
#include "platform/ui/components/UiConsts.h"

#include "platform/gdi/bitmaps/Resources.h"

#include "platform/rtl/AnsiString.h"
#include "platform/rtl/Format.h"
#include "platform/rtl/TStream.h"
#include "platform/rtl/TStringList.h"

#include <typeinfo>
#include <vector>

namespace {

std::vector<std::string_view> splitPath(std::string_view Path)
{
    std::vector<std::string_view> Parts;
    for (size_t Dot; (Dot = Path.find('.')) != std::string_view::npos; Path.remove_prefix(Dot + 1))
        Parts.push_back(Path.substr(0, Dot));
    Parts.push_back(Path);
    return Parts;
}

// How messages name an object of the resource.
std::string shownName(const TFormObject& Object) { return Object.Name.empty() ? Object.ClassName : Object.Name; }

/// Hands one value of the resource to the declared property of that name, if there is one.
class TDefinedPropertyReader : public TFiler {
public:
    TDefinedPropertyReader(std::string_view Name, const TFormValue& Value) : FName(Name), FValue(Value) {}

    void DefineProperty(std::string_view Name, const TValueReader& Read, const TValueWriter&, bool) override
    {
        if (!take(Name) || !Read)
            return;
        Read(FValue);
    }
    void DefineBinaryProperty(std::string_view Name, const TStreamProc& Read, const TStreamProc&, bool) override
    {
        if (!take(Name) || !Read)
            return;
        if (FValue.Kind != TFormValueKind::Binary)
            throw Exception(Format(SValueExpected, { "Binary data", std::string(Name) }));
        TMemoryStream Stream;
        Stream.WriteBuffer(FValue.Bytes.data(), int32_t(FValue.Bytes.size()));
        Stream.SetPosition(0);
        Read(Stream);
    }

    bool Found() const { return FFound; }

private:
    // Only the first declaration of the name reads the value.
    bool take(std::string_view Name)
    {
        if (FFound || !SameText(Name, FName))
            return false;
        FFound = true;
        return true;
    }

    std::string_view FName;
    const TFormValue& FValue;
    bool FFound = false;
};

} // namespace

/// Reads one resource into one form. A friend of TComponent: it marks the components it makes
/// as loading and calls their Loaded.
class TReader {
public:
    TReader(std::string_view Resource, TComponent& Root) : FResource(Resource), FRoot(Root) {}
    ~TReader();
    TReader(const TReader&) = delete;
    TReader& operator=(const TReader&) = delete;

    void read(const TFormObject& Object);

private:
    struct Fixup {
        TObject* Target;
        const PublishedProperty* Property;
        std::string Name;
        std::string Context;
        int Line;
    };
    struct Made {
        TComponent* Component;
        std::string Context;
        int Line;
    };

    const PublishedClass& findClass(const TFormObject& Object) const;
    void startLoading(TComponent& Component, const TFormObject& Object);
    void nameRoot(const TFormObject& Object);
    void readChild(const TFormObject& Object, TComponent& Parent);
    void bindField(const TFormObject& Object, TComponent& Component);
    void readProperties(TObject& Target, const PublishedClass& Class, const TFormObject& Object);
    void setProperty(TObject& Target, const PublishedClass& Class, const std::string& Context,
                     const TFormProperty& Property);
    /// Gives the value to a property that Target declares itself; false when it declares none of that name.
    bool readDefined(TObject& Target, const TFormProperty& Property, std::string_view Name, const std::string& Context);
    void assign(TObject& Target, const PublishedProperty& P, const TFormValue& V, const std::string& Context, int Line);
    void assignStrings(TObject& Target, const PublishedProperty& P, const TFormValue& V, const std::string& Context,
                       int Line);
    void bindEvent(TObject& Target, const PublishedProperty& P, const TFormValue& V, const std::string& Context,
                   int Line);
    void resolveReferences();
    void finishLoading();

    // Runs one step of the system's code (a constructor, a setter, Loaded) and turns its
    // exception into one that names the resource, the line and what was being read.
    template <class F>
    void guarded(int Line, const std::string& Context, F&& Step);
    [[noreturn]] void fail(int Line, const std::string& Reason) const;
    [[noreturn]] void failReading(int Line, const std::string& Context, const std::string& Reason) const;

    std::string FResource;
    TComponent& FRoot;
    std::string FRootName;
    const PublishedClass* FFormClass = nullptr;
    std::vector<Made> FLoaded;
    std::vector<Fixup> FFixups;
    bool FDone = false;
};

TReader::~TReader()
{
    if (!FDone)
        for (const Made& M : FLoaded)
            M.Component->FComponentState.Exclude(csLoading);
}

void TReader::fail(int Line, const std::string& Reason) const { throw EFormReadError(FResource, Line, Reason); }

void TReader::failReading(int Line, const std::string& Context, const std::string& Reason) const
{
    fail(Line, Format(SErrorReading, { Context, Reason }));
}

template <class F>
void TReader::guarded(int Line, const std::string& Context, F&& Step)
{
    try {
        Step();
    } catch (const EFormReadError&) {
        throw;
    } catch (const Exception& E) {
        failReading(Line, Context, E.Message());
    } catch (const std::exception& E) {
        failReading(Line, Context, E.what());
    }
}

// --- The driver

void TReader::read(const TFormObject& Object)
{
    const PublishedClass& Class = findClass(Object);
    if (!Class.IsInstance(FRoot))
        fail(Object.Line, Format(SNotInstanceOf, { FRoot.ClassName(), Class.Name() }));
    // The form's own class may add methods and fields to the one its resource names.
    const PublishedClass* Actual = PublishedClass::Of(FRoot);
    FFormClass = Actual && Actual->InheritsFrom(Class) ? Actual : &Class;
    FRootName = Object.Name;

    startLoading(FRoot, Object);
    nameRoot(Object);
    readProperties(FRoot, Class, Object);
    for (const TFormObject& Child : Object.Children)
        readChild(Child, FRoot);
    resolveReferences();
    finishLoading();
}

const PublishedClass& TReader::findClass(const TFormObject& Object) const
{
    const PublishedClass* Class = PublishedClass::Find(Object.ClassName);
    if (!Class)
        throw EClassNotFound(FResource, Object.Line, Format(SClassNotFound, { Object.ClassName }));
    return *Class;
}

void TReader::startLoading(TComponent& Component, const TFormObject& Object)
{
    Component.FComponentState.Include(csLoading);
    FLoaded.push_back({ &Component, shownName(Object), Object.Line });
}

void TReader::nameRoot(const TFormObject& Object)
{
    if (Object.Name.empty())
        return;
    std::string Name = Object.Name;
    if (const TComponent* Owner = FRoot.Owner())
        for (int N = 1; Owner->FindComponent(Name) && Owner->FindComponent(Name) != &FRoot; ++N)
            Name = Object.Name + "_" + std::to_string(N);
    guarded(Object.Line, Object.Name, [&] { FRoot.SetName(Name); });
}

void TReader::readChild(const TFormObject& Object, TComponent& Parent)
{
    const PublishedClass& Class = findClass(Object);
    if (!Class.CanCreate())
        fail(Object.Line, Format(SCannotCreate, { Class.Name() }));
    const std::string Context = shownName(Object);
    TComponent* C = nullptr;
    guarded(Object.Line, Context, [&] { C = Class.Create(&FRoot); }); // the form owns it from here on
    startLoading(*C, Object);
    guarded(Object.Line, Context, [&] { C->SetName(Object.Name); });
    bindField(Object, *C);
    guarded(Object.Line, Context, [&] { C->SetParentComponent(&Parent); });
    readProperties(*C, Class, Object);
    for (const TFormObject& Child : Object.Children)
        readChild(Child, *C);
}

void TReader::bindField(const TFormObject& Object, TComponent& Component)
{
    if (Object.Name.empty())
        return;
    const PublishedField* Field = FFormClass->FindField(Object.Name);
    if (!Field)
        fail(Object.Line, Format(SFieldNotFound, { Object.Name, FFormClass->Name() }));
    if (!Field->Set(FRoot, &Component))
        fail(Object.Line, Format(SFieldMismatch, { Field->Name(), FFormClass->Name(),
                                                   PublishedClass::NameOf(Field->Type()), Component.ClassName() }));
}

// --- Properties

void TReader::readProperties(TObject& Target, const PublishedClass& Class, const TFormObject& Object)
{
    for (const TFormProperty& Property : Object.Properties)
        setProperty(Target, Class, shownName(Object) + "." + Property.Path, Property);
}

void TReader::setProperty(TObject& Target, const PublishedClass& Class, const std::string& Context,
                          const TFormProperty& Property)
{
    const int Line = Property.Line;
    const std::vector<std::string_view> Path = splitPath(Property.Path);
    TObject* Object = &Target;
    const PublishedClass* ObjectClass = &Class;
    for (size_t I = 0; I < Path.size(); ++I) {
        const PublishedProperty* P = nullptr;
        guarded(Line, Context, [&] { P = ObjectClass->FindProperty(Path[I]); });
        if (!P && I + 1 == Path.size() && readDefined(*Object, Property, Path[I], Context))
            return;
        if (!P)
            failReading(Line, Context, Format(SPropertyNotFound, { Path[I] }));
        // A string list is written as Items.Strings, the list's own property in the original.
        const bool ListOfStrings =
            P->Kind() == TPropertyKind::Strings && I + 2 == Path.size() && SameText(Path[I + 1], "Strings");
        if (I + 1 == Path.size() || ListOfStrings) {
            assign(*Object, *P, Property.Value, Context, Line);
            return;
        }
        if (P->Kind() != TPropertyKind::Object)
            failReading(Line, Context, Format(SNotObjectProperty, { P->Name() }));
        TPersistent* Sub = nullptr;
        guarded(Line, Context, [&] { Sub = P->GetObject(*Object); });
        if (!Sub)
            failReading(Line, Context, Format(SNoObject, { P->Name() }));
        const PublishedClass* SubClass = PublishedClass::Of(*Sub);
        if (!SubClass)
            SubClass = PublishedClass::Of(P->Type());
        if (!SubClass)
            failReading(Line, Context, Format(SClassNotFound, { PublishedClass::NameOf(typeid(*Sub)) }));
        Object = Sub;
        ObjectClass = SubClass;
    }
}

bool TReader::readDefined(TObject& Target, const TFormProperty& Property, std::string_view Name,
                          const std::string& Context)
{
    auto* Persistent = dynamic_cast<TPersistent*>(&Target);
    if (!Persistent)
        return false;
    TDefinedPropertyReader Filer(Name, Property.Value);
    guarded(Property.Line, Context, [&] { Persistent->DefineProperties(Filer); });
    return Filer.Found();
}

void TReader::assign(TObject& Target, const PublishedProperty& P, const TFormValue& V, const std::string& Context,
                     int Line)
{
    const auto Expected = [&](const std::string& What) {
        failReading(Line, Context, Format(SValueExpected, { What, P.Name() }));
    };
    const auto SetOrd = [&](int64_t Value) { guarded(Line, Context, [&] { P.SetOrd(Target, Value); }); };
    const auto Ident = [&](const EnumType& Type, const std::string& Text) {
        const std::optional<int> Value = Type.ValueOf(Text);
        if (!Value)
            failReading(Line, Context, Format(SUnknownIdent, { Text, Type.Name() }));
        return *Value;
    };
    if (V.Kind == TFormValueKind::Binary && P.Kind() != TPropertyKind::Custom)
        failReading(Line, Context, Format(SBinaryNotSupported, { P.Name() }));

    switch (P.Kind()) {
    case TPropertyKind::Integer:
        if (V.Kind != TFormValueKind::Integer)
            Expected("Integer");
        SetOrd(V.Integer);
        return;
    case TPropertyKind::Bool:
        if (V.Kind != TFormValueKind::Ident || !(SameText(V.Text, "True") || SameText(V.Text, "False")))
            Expected("True or False");
        SetOrd(SameText(V.Text, "True") ? 1 : 0);
        return;
    case TPropertyKind::String:
        if (V.Kind != TFormValueKind::String)
            Expected("String");
        guarded(Line, Context, [&] { P.SetStr(Target, V.Text); });
        return;
    case TPropertyKind::Double:
        if (V.Kind != TFormValueKind::Integer && V.Kind != TFormValueKind::Float)
            Expected("Number");
        guarded(Line, Context, [&] {
            P.SetFloat(Target, V.Kind == TFormValueKind::Float ? V.Float : static_cast<double>(V.Integer));
        });
        return;
    case TPropertyKind::Enum:
        if (V.Kind != TFormValueKind::Ident)
            Expected("Identifier of " + std::string(P.Enum()->Name()));
        SetOrd(Ident(*P.Enum(), V.Text));
        return;
    case TPropertyKind::Set: {
        if (V.Kind != TFormValueKind::Set)
            Expected("Set");
        uint64_t Bits = 0;
        for (const std::string& Element : V.Elements) {
            const int Value = Ident(*P.Enum(), Element);
            if (Value < 0 || Value >= 64)
                failReading(Line, Context, Format(SNotInTable, { Value, P.Enum()->Name() }));
            Bits |= uint64_t(1) << Value;
        }
        SetOrd(static_cast<int64_t>(Bits));
        return;
    }
    case TPropertyKind::Color:
        if (V.Kind == TFormValueKind::Integer) {
            SetOrd(V.Integer);
        } else if (V.Kind == TFormValueKind::Ident) {
            const std::optional<TColor> Color = IdentToColor(V.Text);
            if (!Color)
                failReading(Line, Context, Format(SUnknownIdent, { V.Text, "TColor" }));
            SetOrd(*Color);
        } else {
            Expected("Colour");
        }
        return;
    case TPropertyKind::Strings: assignStrings(Target, P, V, Context, Line); return;
    case TPropertyKind::Object: failReading(Line, Context, Format(SIsObjectProperty, { P.Name() }));
    case TPropertyKind::Component:
        if (V.Kind != TFormValueKind::Ident)
            Expected("Component name");
        FFixups.push_back({ &Target, &P, V.Text, Context, Line });
        return;
    case TPropertyKind::Event: bindEvent(Target, P, V, Context, Line); return;
    case TPropertyKind::Custom: guarded(Line, Context, [&] { P.SetCustom(Target, V); }); return;
    }
}

void TReader::assignStrings(TObject& Target, const PublishedProperty& P, const TFormValue& V,
                            const std::string& Context, int Line)
{
    if (V.Kind != TFormValueKind::List)
        failReading(Line, Context, Format(SValueExpected, { "String list", P.Name() }));
    TStringList Strings;
    for (const TFormValue& Item : V.Items) {
        if (Item.Kind != TFormValueKind::String)
            failReading(Item.Line, Context, Format(SValueExpected, { "String", P.Name() }));
        Strings.Add(Item.Text);
    }
    guarded(Line, Context, [&] { P.SetStrings(Target, Strings); });
}

void TReader::bindEvent(TObject& Target, const PublishedProperty& P, const TFormValue& V, const std::string& Context,
                        int Line)
{
    if (V.Kind != TFormValueKind::Ident)
        failReading(Line, Context, Format(SValueExpected, { "Method name", P.Name() }));
    const PublishedMethod* M = FFormClass->FindMethod(V.Text);
    if (!M)
        failReading(Line, Context, Format(SMethodNotFound, { V.Text, FFormClass->Name() }));
    if (M->Type() != P.Type())
        failReading(Line, Context, Format(SMethodMismatch, { M->Name(), M->TypeName(), P.Name(), P.TypeName() }));
    guarded(Line, Context, [&] { P.SetEvent(Target, M->Bind(FRoot)); });
}

// --- The end of reading

void TReader::resolveReferences()
{
    for (const Fixup& F : FFixups) {
        TComponent* C = SameText(F.Name, FRootName) ? &FRoot : FRoot.FindComponent(F.Name);
        if (!C)
            failReading(F.Line, F.Context, Format(SReferenceNotFound, { F.Name }));
        bool Fits = false;
        guarded(F.Line, F.Context, [&] { Fits = F.Property->SetComponent(*F.Target, C); });
        if (!Fits)
            failReading(
                F.Line, F.Context,
                Format(SReferenceMismatch, { F.Name, C->ClassName(), F.Property->Name(), F.Property->TypeName() }));
    }
}

void TReader::finishLoading()
{
    FDone = true;
    for (const Made& M : FLoaded)
        M.Component->FComponentState.Exclude(csLoading);
    for (const Made& M : FLoaded)
        guarded(M.Line, M.Context, [&] { M.Component->Loaded(); });
}

// --- Entry points

EFormReadError::EFormReadError(std::string ResourceName, int Line, const std::string& Reason)
    : EReadError(Format(SFormErrorAt, { ResourceName, Line, Reason })), FResourceName(std::move(ResourceName)),
      FLine(Line)
{
}

void ReadComponent(const TFormObject& Root, std::string_view ResourceName, TComponent& Instance)
{
    TReader(ResourceName, Instance).read(Root);
}

void ReadComponentRes(std::string_view ResourceName, TComponent& Instance)
{
    const std::span<const uint8_t> Bytes = FindResource(ResourceName);
    if (Bytes.empty())
        throw EResNotFound(Format(SResNotFound, { ResourceName }));
    const std::string_view Text(reinterpret_cast<const char*>(Bytes.data()), Bytes.size());
    ReadComponent(ParseFormResource(ResourceName, Text), ResourceName, Instance);
}
