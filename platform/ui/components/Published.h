//===- Published.h - Published properties, events, methods and fields, one table per class -*- C++ -*-===//
//
// Every class that a form resource names publishes one table, one line per name, in its .cpp:
//
//   const PublishedClass& MledClass = PublishClass<TMled, TCustomPanel>("TMled", [](Published<TMled>& P) {
//       P.Bool("LedOn", &TMled::GetLedOn, &TMled::SetLedOn);
//       P.Enum("LedOnColor", TLedOnColorsType, &TMled::GetLedOnColor, &TMled::SetLedOnColor);
//       P.Event("OnClick", &TMled::OnClick);
//   });
//
// A form also publishes the methods that its resource binds to events and the fields that
// receive its components:
//
//   P.Notify("btn_startClick", &TForm_main::btn_startClick);
//   P.Field("btn_start", &TForm_main::btn_start);
//
// The accessors are checked when the table is compiled: a getter, setter or field must belong
// to the class or an ancestor and have the property's type. The form reader then sets
// properties and binds events by name (ignoring case) through the type-erased entries.
//
// A class is published when its table's initialiser runs: at start-up for executables and
// shared libraries. An object file of a static library that nothing else refers to is left
// out by the linker, and its classes with it.
//
#pragma once

#include "platform/rtl/TStringList.h"
#include "platform/ui/components/Colors.h"
#include "platform/ui/components/Events.h"
#include "platform/ui/components/TComponent.h"
#include "platform/ui/components/TypeInfo.h"

#include <any>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <type_traits>
#include <typeindex>
#include <typeinfo>
#include <vector>

struct TFormValue;
template <class T>
class Published;

/// What a published property holds, and so which form resource values it takes.
enum class TPropertyKind {
    Integer,   // 12, -3, $1F (within the range of the C++ type)
    Bool,      // True, False
    String,    // 'text'#13'more'
    Double,    // 1.5, -2.0E3, 7
    Enum,      // an identifier of the property's table
    Set,       // [a, b] of identifiers of the table
    Color,     // an integer or a colour identifier
    Strings,   // Items.Strings = ( 'a' 'b' )
    Object,    // a persistent sub-object, addressed as Font.Size
    Component, // another component of the form, by name; resolved after the whole form is read
    Event,     // a method of the form, by name
    Custom,    // any value, handed to the class's own reader
};

/// One published property of a class.
class PublishedProperty {
public:
    PublishedProperty(const PublishedProperty&) = delete;
    PublishedProperty& operator=(const PublishedProperty&) = delete;

    const std::string& Name() const { return FName; }
    TPropertyKind Kind() const { return FKind; }
    /// Integer, Bool and Color: the range of the property's C++ type.
    int64_t MinValue() const { return FMin; }
    int64_t MaxValue() const { return FMax; }
    /// Enum and Set: the identifier table.
    const EnumType* Enum() const { return FEnum; }
    /// Object and Component: the declared class; Event: the std::function type.
    std::type_index Type() const { return FType; }
    /// The type's name in messages ("TFont", "TPopupMenu", "TNotifyEvent").
    std::string TypeName() const;
    /// A value the class shows but takes from nobody: the setters raise Exception.
    bool ReadOnly() const { return FReadOnly; }

    // --- Access; a call that does not suit Kind() raises Exception naming the property
    /// Integer, Color, Bool (0 or 1), Enum (the value) and Set (bit n for the value n). SetOrd
    /// raises Exception for an integer outside MinValue()..MaxValue() or a value that the
    /// table does not have, changing nothing.
    int64_t GetOrd(const TObject& Instance) const;
    void SetOrd(TObject& Instance, int64_t Value) const;
    double GetFloat(const TObject& Instance) const;
    void SetFloat(TObject& Instance, double Value) const;
    std::string GetStr(const TObject& Instance) const;
    void SetStr(TObject& Instance, const std::string& Value) const;
    TStringList GetStrings(const TObject& Instance) const;
    void SetStrings(TObject& Instance, const TStringList& Value) const;
    /// Object: the sub-object; nullptr when there is none.
    TPersistent* GetObject(TObject& Instance) const;
    TComponent* GetComponent(const TObject& Instance) const;
    /// False, changing nothing, when Value is not of the property's class (nullptr always fits).
    bool SetComponent(TObject& Instance, TComponent* Value) const;
    /// Handler holds a std::function of the event's type (Type()).
    void SetEvent(TObject& Instance, const std::any& Handler) const;
    void SetCustom(TObject& Instance, const TFormValue& Value) const;

private:
    template <class T>
    friend class Published;
    friend class PublishedClass;
    PublishedProperty(std::string_view Name, TPropertyKind Kind);
    [[noreturn]] void wrongKind(const char* Method) const;

    std::string FName;
    TPropertyKind FKind;
    bool FReadOnly = false;
    int64_t FMin = 0, FMax = 0;
    const EnumType* FEnum = nullptr;
    std::type_index FType = typeid(void);
    std::string_view FEventName;
    std::function<int64_t(const TObject&)> FGetOrd;
    std::function<void(TObject&, int64_t)> FSetOrd;
    std::function<double(const TObject&)> FGetFloat;
    std::function<void(TObject&, double)> FSetFloat;
    std::function<std::string(const TObject&)> FGetStr;
    std::function<void(TObject&, const std::string&)> FSetStr;
    std::function<TStringList(const TObject&)> FGetStrings;
    std::function<void(TObject&, const TStringList&)> FSetStrings;
    std::function<TPersistent*(TObject&)> FGetObject;
    std::function<TComponent*(const TObject&)> FGetComponent;
    std::function<bool(TObject&, TComponent*)> FSetComponent;
    std::function<void(TObject&, const std::any&)> FSetEvent;
    std::function<void(TObject&, const TFormValue&)> FSetCustom;
};

/// A published method of a form: what an event of its resource is bound to.
class PublishedMethod {
public:
    PublishedMethod(const PublishedMethod&) = delete;
    PublishedMethod& operator=(const PublishedMethod&) = delete;

    const std::string& Name() const { return FName; }
    /// The std::function type that fits the method ("TNotifyEvent" for void(TObject*)).
    std::type_index Type() const { return FType; }
    std::string_view TypeName() const { return FTypeName; }
    /// A std::function of Type() that calls the method on Instance.
    std::any Bind(TObject& Instance) const { return FBind(Instance); }

private:
    template <class T>
    friend class Published;
    friend class PublishedClass;
    PublishedMethod(std::string_view Name, std::type_index Type, std::string_view TypeName,
                    std::function<std::any(TObject&)> Bind);

    std::string FName;
    std::type_index FType;
    std::string_view FTypeName;
    std::function<std::any(TObject&)> FBind;
};

/// A published field of a form: the pointer that receives the component of that name.
class PublishedField {
public:
    PublishedField(const PublishedField&) = delete;
    PublishedField& operator=(const PublishedField&) = delete;

    const std::string& Name() const { return FName; }
    /// The component class the field points to.
    std::type_index Type() const { return FType; }
    TComponent* Get(const TObject& Instance) const { return FGet(Instance); }
    /// False, changing nothing, when Value is not of the field's class (nullptr always fits).
    bool Set(TObject& Instance, TComponent* Value) const { return FSet(Instance, Value); }

private:
    template <class T>
    friend class Published;
    friend class PublishedClass;
    PublishedField(std::string_view Name, std::type_index Type, std::function<TComponent*(const TObject&)> Get,
                   std::function<bool(TObject&, TComponent*)> Set);

    std::string FName;
    std::type_index FType;
    std::function<TComponent*(const TObject&)> FGet;
    std::function<bool(TObject&, TComponent*)> FSet;
};

/// A published class: its name, its published ancestor, a factory for components and its table.
class PublishedClass {
public:
    using Factory = TComponent* (*)(TComponent* Owner);

    PublishedClass(const PublishedClass&) = delete;
    PublishedClass& operator=(const PublishedClass&) = delete;

    // --- The registry
    /// The class published under that name, ignoring case; nullptr when none is.
    static const PublishedClass* Find(std::string_view ClassName);
    /// The class published for exactly Instance's C++ class; nullptr when that class is not.
    static const PublishedClass* Of(const TObject& Instance);
    static const PublishedClass* Of(std::type_index Type);
    /// The published name of a C++ class; its C++ name when it is not published.
    static std::string NameOf(std::type_index Type);

    // --- The class
    const std::string& Name() const { return FName; }
    /// The nearest published ancestor; nullptr for a root.
    const PublishedClass* Parent() const;
    /// True for this class and its descendants.
    bool InheritsFrom(const PublishedClass& Ancestor) const;
    bool IsInstance(const TObject& Instance) const { return FIsA(Instance); }
    /// True for non-abstract components constructible from an owner.
    bool CanCreate() const { return FMake != nullptr; }
    /// A new component of this class owned by Owner; nullptr when CanCreate() is false.
    TComponent* Create(TComponent* Owner) const { return FMake ? FMake(Owner) : nullptr; }

    // --- Lookup by name, ignoring case: this class first, then its ancestors
    const PublishedProperty* FindProperty(std::string_view PropName) const;
    const PublishedMethod* FindMethod(std::string_view MethodName) const;
    const PublishedField* FindField(std::string_view FieldName) const;
    /// Sets every published field of Instance (an instance of this class) that points to
    /// Component to nullptr.
    void ClearFields(TObject& Instance, const TComponent* Component) const;

    // --- Registration (PublishClass below fills this in)
    struct Registration {
        std::string Name;
        std::type_index Type = typeid(void);
        std::optional<std::type_index> Base;
        Factory Make = nullptr;
        bool (*IsA)(const TObject&) = nullptr;
        std::function<void(PublishedClass&)> Publish;
    };
    /// Raises Exception "Class X is published twice" for a name or C++ class already taken.
    static const PublishedClass& Register(Registration R);

private:
    template <class T>
    friend class Published;
    PublishedClass(const Registration& R);

    PublishedProperty& addProperty(std::string_view PropName, TPropertyKind Kind);
    void addMethod(std::unique_ptr<PublishedMethod> Method);
    void addField(std::unique_ptr<PublishedField> Field);

    std::string FName;
    std::type_index FType;
    std::optional<std::type_index> FBase;
    Factory FMake;
    bool (*FIsA)(const TObject&);
    std::vector<std::unique_ptr<PublishedProperty>> FProperties;
    std::vector<std::unique_ptr<PublishedMethod>> FMethods;
    std::vector<std::unique_ptr<PublishedField>> FFields;
};

/// The table builder handed to a class's publishing function. T is the class being published;
/// accessors may belong to T or to an ancestor.
template <class T>
class Published {
public:
    explicit Published(PublishedClass& Class) : FClass(Class) {}

    // --- Properties: a getter and a setter, or one public field
    template <class G, class S>
    void Int(std::string_view Name, G Get, S Set)
    {
        integer(Name, Get, Set);
    }
    template <class F>
    void Int(std::string_view Name, F Field)
    {
        integer(Name, Field, Field);
    }
    template <class G, class S>
    void Bool(std::string_view Name, G Get, S Set)
    {
        boolean(Name, Get, Set);
    }
    template <class F>
    void Bool(std::string_view Name, F Field)
    {
        boolean(Name, Field, Field);
    }
    template <class G, class S>
    void String(std::string_view Name, G Get, S Set)
    {
        text(Name, Get, Set);
    }
    template <class F>
    void String(std::string_view Name, F Field)
    {
        text(Name, Field, Field);
    }
    template <class G, class S>
    void Double(std::string_view Name, G Get, S Set)
    {
        floating(Name, Get, Set);
    }
    template <class F>
    void Double(std::string_view Name, F Field)
    {
        floating(Name, Field, Field);
    }
    template <class G, class S>
    void Color(std::string_view Name, G Get, S Set)
    {
        color(Name, Get, Set);
    }
    template <class F>
    void Color(std::string_view Name, F Field)
    {
        color(Name, Field, Field);
    }
    template <class E, class G, class S>
    void Enum(std::string_view Name, const TEnumType<E>& Type, G Get, S Set)
    {
        enumeration(Name, Type, Get, Set);
    }
    template <class E, class F>
    void Enum(std::string_view Name, const TEnumType<E>& Type, F Field)
    {
        enumeration(Name, Type, Field, Field);
    }
    template <class E, class G, class S>
    void Set(std::string_view Name, const TEnumType<E>& Type, G Get, S Set)
    {
        setOf(Name, Type, Get, Set);
    }
    template <class E, class F>
    void Set(std::string_view Name, const TEnumType<E>& Type, F Field)
    {
        setOf(Name, Type, Field, Field);
    }
    /// Read-only properties: a getter only.
    template <class G>
    void ReadOnlyInt(std::string_view Name, G Get);
    template <class G>
    void ReadOnlyString(std::string_view Name, G Get);
    template <class G, class S>
    void Strings(std::string_view Name, G Get, S Set)
    {
        strings(Name, Get, Set);
    }
    template <class F>
    void Strings(std::string_view Name, F Field)
    {
        strings(Name, Field, Field);
    }
    /// A persistent sub-object whose own table takes the rest of a path like Font.Size; the
    /// getter answers a pointer or a reference, a field may be an object, pointer or unique_ptr.
    template <class G>
    void Object(std::string_view Name, G Get);
    /// A pointer to another component of the form, set by name once the whole form is read.
    template <class G, class S>
    void Component(std::string_view Name, G Get, S Set)
    {
        component(Name, Get, Set);
    }
    template <class F>
    void Component(std::string_view Name, F Field)
    {
        component(Name, Field, Field);
    }
    /// An event: a public std::function field, or a setter taking one.
    template <class A>
    void Event(std::string_view Name, A FieldOrSetter);
    /// A value in a format of the class's own, handed over as the resource has it.
    void Custom(std::string_view Name, std::function<void(T&, const TFormValue&)> Read);

    // --- Methods of a form, bound to events by name
    template <class C, class... A>
    void Method(std::string_view Name, void (C::*M)(A...));
    void Notify(std::string_view Name, void (T::*M)(TObject*)) { Method(Name, M); }
    void Mouse(std::string_view Name, void (T::*M)(TObject*, TMouseButton, TShiftState, int, int)) { Method(Name, M); }
    void MouseMove(std::string_view Name, void (T::*M)(TObject*, TShiftState, int, int)) { Method(Name, M); }
    void KeyDown(std::string_view Name, void (T::*M)(TObject*, WORD&, TShiftState)) { Method(Name, M); }
    void KeyPress(std::string_view Name, void (T::*M)(TObject*, char&)) { Method(Name, M); }
    void Close(std::string_view Name, void (T::*M)(TObject*, TCloseAction&)) { Method(Name, M); }
    void CloseQuery(std::string_view Name, void (T::*M)(TObject*, bool&)) { Method(Name, M); }

    // --- Fields of a form, set to the component of that name
    template <class C, class X>
    void Field(std::string_view Name, X* C::*F);

private:
    template <class V, class G, class S>
    static constexpr void checkAccessors();
    template <class G>
    static constexpr void checkGetter();
    template <class V, class G, class S, class To, class From>
    PublishedProperty& ordinal(std::string_view Name, TPropertyKind Kind, G Get, S Set, To ToOrd, From FromOrd);
    template <class G, class S>
    void integer(std::string_view Name, G Get, S Set);
    template <class G, class S>
    void boolean(std::string_view Name, G Get, S Set);
    template <class G, class S>
    void color(std::string_view Name, G Get, S Set);
    template <class E, class G, class S>
    void enumeration(std::string_view Name, const TEnumType<E>& Type, G Get, S Set);
    template <class E, class G, class S>
    void setOf(std::string_view Name, const TEnumType<E>& Type, G Get, S Set);
    template <class G, class S>
    void text(std::string_view Name, G Get, S Set);
    template <class G, class S>
    void floating(std::string_view Name, G Get, S Set);
    template <class G, class S>
    void strings(std::string_view Name, G Get, S Set);
    template <class G, class S>
    void component(std::string_view Name, G Get, S Set);

    static const T& self(const TObject& O) { return static_cast<const T&>(O); }
    static T& self(TObject& O) { return static_cast<T&>(O); }

    PublishedClass& FClass;
};

/// Publishes T under Name with Base as its nearest published ancestor (void for a root).
/// Components with a constructor taking the owner get a factory, so resources can create them.
template <class T, class Base = void, class F>
const PublishedClass& PublishClass(std::string_view Name, F Publish);
template <class T, class Base = void>
const PublishedClass& PublishClass(std::string_view Name)
{
    return PublishClass<T, Base>(Name, [](Published<T>&) {});
}

#include "platform/ui/components/PublishedTemplates.h"
