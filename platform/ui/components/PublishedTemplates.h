//===- PublishedTemplates.h - The bodies of Published.h's templates -*- C++ -*-===//
//
// Included at the end of Published.h; include that header instead.
//
#pragma once

#include "platform/ui/components/Published.h"

#include <algorithm>
#include <any>
#include <functional>
#include <limits>
#include <memory>
#include <type_traits>
#include <typeinfo>

namespace ui_private {

// What an accessor reads or writes: a field (M C::*), a getter (R (C::*)() const) or a
// setter (R (C::*)(A)).
template <class A>
struct Accessor {
    static_assert(sizeof(A) == 0, "an accessor is a field, a getter or a setter of the class");
};
template <class C, class M>
requires(!std::is_function_v<M>) struct Accessor<M C::*> {
    using Class = C;
    using Value = M;
    static constexpr bool CanGet = true, CanSet = true;
};
template <class C, class R>
struct Accessor<R (C::*)() const> {
    using Class = C;
    using Value = std::remove_cvref_t<R>;
    static constexpr bool CanGet = true, CanSet = false;
};
template <class C, class R>
struct Accessor<R (C::*)()> {
    using Class = C;
    using Value = std::remove_cvref_t<R>;
    static constexpr bool CanGet = true, CanSet = false;
};
template <class C, class R, class Arg>
struct Accessor<R (C::*)(Arg)> {
    using Class = C;
    using Value = std::remove_cvref_t<Arg>;
    static constexpr bool CanGet = false, CanSet = true;
};

template <class A, class O>
decltype(auto) get(A Acc, O& Obj)
{
    if constexpr (std::is_member_object_pointer_v<A>)
        return (Obj.*Acc);
    else
        return (Obj.*Acc)();
}

template <class A, class O, class V>
void set(A Acc, O& Obj, V&& Value)
{
    if constexpr (std::is_member_object_pointer_v<A>)
        Obj.*Acc = std::forward<V>(Value);
    else
        (Obj.*Acc)(std::forward<V>(Value));
}

template <class F>
struct IsStdFunction : std::false_type {
};
template <class S>
struct IsStdFunction<std::function<S>> : std::true_type {
};

template <class P>
struct UniquePointee {
    using type = void;
};
template <class X, class D>
struct UniquePointee<std::unique_ptr<X, D>> {
    using type = X;
};

// The object behind what an object getter answers: a pointer, a unique_ptr or a reference.
template <class R>
using ObjectOf = std::conditional_t<
    std::is_pointer_v<R>, std::remove_pointer_t<R>,
    std::conditional_t<std::is_void_v<typename UniquePointee<R>::type>, R, typename UniquePointee<R>::type>>;

} // namespace ui_private

template <class T>
template <class V, class G, class S>
constexpr void Published<T>::checkAccessors()
{
    using GA = ui_private::Accessor<G>;
    using SA = ui_private::Accessor<S>;
    static_assert(GA::CanGet, "the getter must be a member function without arguments, or a field");
    static_assert(SA::CanSet, "the setter must be a member function with one argument, or a field");
    static_assert(std::is_base_of_v<typename GA::Class, T> && std::is_base_of_v<typename SA::Class, T>,
                  "the accessors must belong to the published class or an ancestor");
    static_assert(std::is_same_v<typename GA::Value, V> && std::is_same_v<typename SA::Value, V>,
                  "the getter and the setter must have the property's type");
}

template <class T>
template <class G>
constexpr void Published<T>::checkGetter()
{
    using GA = ui_private::Accessor<G>;
    static_assert(GA::CanGet, "the getter must be a member function without arguments, or a field");
    static_assert(std::is_base_of_v<typename GA::Class, T>,
                  "the getter must belong to the published class or an ancestor");
}

template <class T>
template <class G>
void Published<T>::ReadOnlyInt(std::string_view Name, G Get)
{
    checkGetter<G>();
    using V = typename ui_private::Accessor<G>::Value;
    static_assert(std::is_integral_v<V> && !std::is_same_v<V, bool>, "ReadOnlyInt publishes an integer property");
    PublishedProperty& P = FClass.addProperty(Name, TPropertyKind::Integer);
    P.FReadOnly = true;
    P.FGetOrd = [Get](const TObject& O) { return static_cast<int64_t>(ui_private::get(Get, self(O))); };
    P.FMin = static_cast<int64_t>(std::numeric_limits<V>::min());
    P.FMax =
        static_cast<int64_t>(std::min<uint64_t>(std::numeric_limits<V>::max(), std::numeric_limits<int64_t>::max()));
}

template <class T>
template <class G>
void Published<T>::ReadOnlyString(std::string_view Name, G Get)
{
    checkGetter<G>();
    static_assert(std::is_same_v<typename ui_private::Accessor<G>::Value, std::string>,
                  "ReadOnlyString publishes a string property");
    PublishedProperty& P = FClass.addProperty(Name, TPropertyKind::String);
    P.FReadOnly = true;
    P.FGetStr = [Get](const TObject& O) { return std::string(ui_private::get(Get, self(O))); };
}

template <class T>
template <class V, class G, class S, class To, class From>
PublishedProperty& Published<T>::ordinal(std::string_view Name, TPropertyKind Kind, G Get, S Set, To ToOrd,
                                         From FromOrd)
{
    checkAccessors<V, G, S>();
    PublishedProperty& P = FClass.addProperty(Name, Kind);
    P.FGetOrd = [Get, ToOrd](const TObject& O) -> int64_t { return ToOrd(ui_private::get(Get, self(O))); };
    P.FSetOrd = [Set, FromOrd](TObject& O, int64_t X) { ui_private::set(Set, self(O), FromOrd(X)); };
    return P;
}

template <class T>
template <class G, class S>
void Published<T>::integer(std::string_view Name, G Get, S Set)
{
    using V = typename ui_private::Accessor<S>::Value;
    static_assert(std::is_integral_v<V> && !std::is_same_v<V, bool>, "Int publishes an integer property");
    PublishedProperty& P = ordinal<V>(
        Name, TPropertyKind::Integer, Get, Set, [](V X) { return static_cast<int64_t>(X); },
        [](int64_t X) { return static_cast<V>(X); });
    P.FMin = static_cast<int64_t>(std::numeric_limits<V>::min());
    if constexpr (std::is_unsigned_v<V> && sizeof(V) >= sizeof(int64_t))
        P.FMax = std::numeric_limits<int64_t>::max();
    else
        P.FMax = static_cast<int64_t>(std::numeric_limits<V>::max());
}

template <class T>
template <class G, class S>
void Published<T>::boolean(std::string_view Name, G Get, S Set)
{
    PublishedProperty& P = ordinal<bool>(
        Name, TPropertyKind::Bool, Get, Set, [](bool X) { return int64_t(X ? 1 : 0); },
        [](int64_t X) { return X != 0; });
    P.FMin = 0;
    P.FMax = 1;
}

template <class T>
template <class G, class S>
void Published<T>::color(std::string_view Name, G Get, S Set)
{
    PublishedProperty& P = ordinal<TColor>(
        Name, TPropertyKind::Color, Get, Set, [](TColor X) { return static_cast<int64_t>(X); },
        [](int64_t X) { return static_cast<TColor>(X); });
    P.FMin = std::numeric_limits<TColor>::min();
    P.FMax = std::numeric_limits<TColor>::max();
}

template <class T>
template <class E, class G, class S>
void Published<T>::enumeration(std::string_view Name, const TEnumType<E>& Type, G Get, S Set)
{
    PublishedProperty& P = ordinal<E>(
        Name, TPropertyKind::Enum, Get, Set, [](E X) { return static_cast<int64_t>(X); },
        [](int64_t X) { return static_cast<E>(X); });
    P.FEnum = &Type;
}

template <class T>
template <class E, class G, class S>
void Published<T>::setOf(std::string_view Name, const TEnumType<E>& Type, G Get, S Set)
{
    PublishedProperty& P = ordinal<TSet<E>>(
        Name, TPropertyKind::Set, Get, Set, [](TSet<E> X) { return static_cast<int64_t>(X.Bits()); },
        [](int64_t X) { return TSet<E>::FromBits(static_cast<uint64_t>(X)); });
    P.FEnum = &Type;
}

template <class T>
template <class G, class S>
void Published<T>::text(std::string_view Name, G Get, S Set)
{
    checkAccessors<std::string, G, S>();
    PublishedProperty& P = FClass.addProperty(Name, TPropertyKind::String);
    P.FGetStr = [Get](const TObject& O) { return std::string(ui_private::get(Get, self(O))); };
    P.FSetStr = [Set](TObject& O, const std::string& X) { ui_private::set(Set, self(O), X); };
}

template <class T>
template <class G, class S>
void Published<T>::floating(std::string_view Name, G Get, S Set)
{
    using V = typename ui_private::Accessor<S>::Value;
    static_assert(std::is_floating_point_v<V>, "Double publishes a floating-point property");
    checkAccessors<V, G, S>();
    PublishedProperty& P = FClass.addProperty(Name, TPropertyKind::Double);
    P.FGetFloat = [Get](const TObject& O) { return static_cast<double>(ui_private::get(Get, self(O))); };
    P.FSetFloat = [Set](TObject& O, double X) { ui_private::set(Set, self(O), static_cast<V>(X)); };
}

template <class T>
template <class G, class S>
void Published<T>::strings(std::string_view Name, G Get, S Set)
{
    checkAccessors<TStringList, G, S>();
    PublishedProperty& P = FClass.addProperty(Name, TPropertyKind::Strings);
    P.FGetStrings = [Get](const TObject& O) { return TStringList(ui_private::get(Get, self(O))); };
    P.FSetStrings = [Set](TObject& O, const TStringList& X) { ui_private::set(Set, self(O), X); };
}

template <class T>
template <class G>
void Published<T>::Object(std::string_view Name, G Get)
{
    using GA = ui_private::Accessor<G>;
    static_assert(GA::CanGet, "the getter must be a member function without arguments, or a field");
    static_assert(std::is_base_of_v<typename GA::Class, T>, "the getter must belong to the class or an ancestor");
    using X = ui_private::ObjectOf<typename GA::Value>;
    static_assert(std::is_base_of_v<TPersistent, X>, "a published sub-object is persistent");
    PublishedProperty& P = FClass.addProperty(Name, TPropertyKind::Object);
    P.FType = typeid(X);
    P.FGetObject = [Get](TObject& O) -> TPersistent* {
        decltype(auto) R = ui_private::get(Get, self(O));
        using RV = std::remove_cvref_t<decltype(R)>;
        if constexpr (std::is_pointer_v<RV>)
            return R;
        else if constexpr (!std::is_void_v<typename ui_private::UniquePointee<RV>::type>)
            return R.get();
        else
            return &R;
    };
}

template <class T>
template <class G, class S>
void Published<T>::component(std::string_view Name, G Get, S Set)
{
    using V = typename ui_private::Accessor<S>::Value;
    static_assert(std::is_pointer_v<V> && std::is_base_of_v<TComponent, std::remove_pointer_t<V>>,
                  "Component publishes a pointer to a component");
    using X = std::remove_pointer_t<V>;
    checkAccessors<V, G, S>();
    PublishedProperty& P = FClass.addProperty(Name, TPropertyKind::Component);
    P.FType = typeid(X);
    P.FGetComponent = [Get](const TObject& O) -> TComponent* { return ui_private::get(Get, self(O)); };
    P.FSetComponent = [Set](TObject& O, TComponent* C) {
        X* Value = nullptr;
        if (C && !(Value = dynamic_cast<X*>(C)))
            return false;
        ui_private::set(Set, self(O), Value);
        return true;
    };
}

template <class T>
template <class A>
void Published<T>::Event(std::string_view Name, A FieldOrSetter)
{
    using SA = ui_private::Accessor<A>;
    using V = typename SA::Value;
    static_assert(SA::CanSet, "an event is a std::function field or a setter");
    static_assert(std::is_base_of_v<typename SA::Class, T>, "the event must belong to the class or an ancestor");
    static_assert(ui_private::IsStdFunction<V>::value, "an event is a std::function");
    PublishedProperty& P = FClass.addProperty(Name, TPropertyKind::Event);
    P.FType = typeid(V);
    P.FEventName = EventTypeName<V>;
    P.FSetEvent = [FieldOrSetter, &P](TObject& O, const std::any& Handler) {
        const V* H = std::any_cast<V>(&Handler);
        if (!H)
            P.wrongKind("SetEvent");
        ui_private::set(FieldOrSetter, self(O), *H);
    };
}

template <class T>
void Published<T>::Custom(std::string_view Name, std::function<void(T&, const TFormValue&)> Read)
{
    PublishedProperty& P = FClass.addProperty(Name, TPropertyKind::Custom);
    P.FSetCustom = [Read = std::move(Read)](TObject& O, const TFormValue& V) { Read(self(O), V); };
}

template <class T>
template <class C, class... A>
void Published<T>::Method(std::string_view Name, void (C::*M)(A...))
{
    static_assert(std::is_base_of_v<C, T>, "the method must belong to the class or an ancestor");
    using F = std::function<void(A...)>;
    FClass.addMethod(std::unique_ptr<PublishedMethod>(
        new PublishedMethod(Name, typeid(F), EventTypeName<F>, [M](TObject& O) -> std::any {
            T* Self = &self(O);
            return F([Self, M](A... Args) { (Self->*M)(std::forward<A>(Args)...); });
        })));
}

template <class T>
template <class C, class X>
void Published<T>::Field(std::string_view Name, X* C::*F)
{
    static_assert(std::is_base_of_v<C, T>, "the field must belong to the class or an ancestor");
    static_assert(std::is_base_of_v<TComponent, X>, "a published field points to a component");
    FClass.addField(std::unique_ptr<PublishedField>(new PublishedField(
        Name, typeid(X), [F](const TObject& O) -> TComponent* { return self(O).*F; },
        [F](TObject& O, TComponent* Component) {
            X* Value = nullptr;
            if (Component && !(Value = dynamic_cast<X*>(Component)))
                return false;
            self(O).*F = Value;
            return true;
        })));
}

template <class T, class Base, class F>
const PublishedClass& PublishClass(std::string_view Name, F Publish)
{
    static_assert(std::is_base_of_v<TPersistent, T>, "published classes are persistent");
    static_assert(std::is_void_v<Base> || (std::is_base_of_v<Base, T> && !std::is_same_v<Base, T>),
                  "Base must be an ancestor of T");
    PublishedClass::Registration R;
    R.Name = std::string(Name);
    R.Type = typeid(T);
    if constexpr (!std::is_void_v<Base>)
        R.Base = std::type_index(typeid(Base));
    if constexpr (std::is_base_of_v<TComponent, T> && std::is_constructible_v<T, TComponent*> && !std::is_abstract_v<T>)
        R.Make = [](TComponent* Owner) -> TComponent* { return new T(Owner); };
    R.IsA = [](const TObject& O) { return dynamic_cast<const T*>(&O) != nullptr; };
    R.Publish = [Publish](PublishedClass& Class) {
        Published<T> P(Class);
        Publish(P);
    };
    return PublishedClass::Register(std::move(R));
}
