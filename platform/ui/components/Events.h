//===- Events.h - The event types that components publish and forms handle -*- C++ -*-===//
//
// An event is a std::function member of a component (OnClick); a form resource binds it to a
// method of the form by name, and the binding checks that the method has the event's type.
//
#pragma once

#include "platform/ui/components/TypeInfo.h"

#include <cstdint>
#include <functional>
#include <string_view>

class TObject;

using WORD = uint16_t;

/// Keys and mouse buttons held during a mouse or key event.
enum class TShiftStateItem { ssShift, ssAlt, ssCtrl, ssLeft, ssRight, ssMiddle, ssDouble };
using enum TShiftStateItem;
using TShiftState = TSet<TShiftStateItem>;

enum class TMouseButton { mbLeft, mbRight, mbMiddle };
using enum TMouseButton;

/// What closing a form does with it; a close handler may change it.
enum class TCloseAction { caNone, caHide, caFree, caMinimize };
using enum TCloseAction;

using TNotifyEvent = std::function<void(TObject* Sender)>;
using TMouseEvent = std::function<void(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y)>;
using TMouseMoveEvent = std::function<void(TObject* Sender, TShiftState Shift, int X, int Y)>;
/// Setting Key to 0 consumes the key.
using TKeyEvent = std::function<void(TObject* Sender, WORD& Key, TShiftState Shift)>;
/// Changing Key changes the typed character; setting it to #0 drops it.
using TKeyPressEvent = std::function<void(TObject* Sender, char& Key)>;
using TCloseEvent = std::function<void(TObject* Sender, TCloseAction& Action)>;
using TCloseQueryEvent = std::function<void(TObject* Sender, bool& CanClose)>;

/// The name of an event type in messages of the form reader ("TNotifyEvent"). Components with
/// event types of their own may add a specialisation beside the type.
template <class F>
inline constexpr std::string_view EventTypeName = "event";
template <>
inline constexpr std::string_view EventTypeName<TNotifyEvent> = "TNotifyEvent";
template <>
inline constexpr std::string_view EventTypeName<TMouseEvent> = "TMouseEvent";
template <>
inline constexpr std::string_view EventTypeName<TMouseMoveEvent> = "TMouseMoveEvent";
template <>
inline constexpr std::string_view EventTypeName<TKeyEvent> = "TKeyEvent";
template <>
inline constexpr std::string_view EventTypeName<TKeyPressEvent> = "TKeyPressEvent";
template <>
inline constexpr std::string_view EventTypeName<TCloseEvent> = "TCloseEvent";
template <>
inline constexpr std::string_view EventTypeName<TCloseQueryEvent> = "TCloseQueryEvent";
