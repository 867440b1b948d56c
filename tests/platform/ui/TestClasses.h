//===- TestClasses.h - Small published classes that the form resource tests read -*- C++ -*-===//
#pragma once

#include "platform/rtl/TStringList.h"
#include "platform/ui/components/Colors.h"
#include "platform/ui/components/Events.h"
#include "platform/ui/components/Filer.h"
#include "platform/ui/components/FormResource.h"
#include "platform/ui/graphics/GraphicsObjects.h"
#include "platform/ui/components/TComponent.h"
#include "platform/ui/components/TypeInfo.h"

#include <memory>
#include <string>
#include <vector>

enum class TLedOnColors { Grau, Rot, Gruen, Gelb, Blau, Cyan, Magenta, Weiss };
inline constexpr EnumIdent TLedOnColorsIdents[] = {
    { "Grau", TLedOnColors::Grau },       { "Rot", TLedOnColors::Rot },     { "Gruen", TLedOnColors::Gruen },
    { "Gelb", TLedOnColors::Gelb },       { "Blau", TLedOnColors::Blau },   { "Cyan", TLedOnColors::Cyan },
    { "Magenta", TLedOnColors::Magenta }, { "Weiss", TLedOnColors::Weiss },
};
inline constexpr TEnumType<TLedOnColors> TLedOnColorsType { "TLedOnColors", TLedOnColorsIdents };

// Font styles are the class library's own (platform/ui/graphics/GraphicsObjects.h).

/// A font-like sub-object with its own table.
class TTestFont : public TPersistent {
public:
    int GetSize() const { return FSize; }
    void SetSize(int Value);
    TFontStyles GetStyle() const { return FStyle; }
    void SetStyle(TFontStyles Value);
    void Assign(const TPersistent& Source) override;

    std::string Name = "MS Sans Serif";
    int Height = -11;
    TColor Color = clWindowText;
    uint8_t Charset = 1;
    int Changes = 0; // setter calls

private:
    int FSize = 8;
    TFontStyles FStyle;
};

/// A persistent class that is never published.
class TUnpublishedThing : public TPersistent {};

/// Referenced by name from other components.
class TTestMenu : public TComponent {
public:
    using TComponent::TComponent;
};

/// A component with one property of every kind; it records what the reader does to it.
class TTestControl : public TComponent {
public:
    explicit TTestControl(TComponent* AOwner);
    ~TTestControl() override;

    int GetLeft() const { return FLeft; }
    void SetLeft(int Value);
    bool GetVisible() const { return FVisible; }
    void SetVisible(bool Value) { FVisible = Value; }
    double GetValue() const { return FValue; }
    /// Raises Exception "Value must not be negative" for a negative value.
    void SetValue(double Value);
    const TStringList& GetItems() const { return FItems; }
    void SetItems(const TStringList& Value) { FItems.Assign(Value); }
    TTestFont* GetFont() const { return FFont.get(); }
    void SetParentComponent(TComponent* Value) override { ParentComponent = Value; }

    uint16_t LedTyp = 0;
    std::string Caption;
    TLedOnColors LedOnColor = TLedOnColors::Rot;
    TFontStyles Styles;
    TColor Color = clBtnFace;
    TTestMenu* PopupMenu = nullptr;
    TNotifyEvent OnClick;
    TMouseEvent OnMouseDown;
    TKeyPressEvent OnKeyPress;
    TFormValue Counts; // a value of the class's own format
    // Declared, not published: DataSize is stored always, Data only when it holds bytes.
    std::vector<uint8_t> Data;
    TFormValue DataSize;
    void DefineProperties(TFiler& Filer) override;

    // What the reader did
    TComponent* ParentComponent = nullptr;
    bool LoadingWhenLeftSet = false;
    int LoadedCalls = 0;
    bool LoadingInLoaded = true;

    static int Alive;                            // constructed and not yet destroyed
    static std::vector<std::string> LoadedOrder; // names, in the order Loaded ran

protected:
    void Loaded() override;
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    int FLeft = 0;
    bool FVisible = true;
    double FValue = 0;
    TStringList FItems;
    std::unique_ptr<TTestFont> FFont;
};

/// A form: published fields for its components, methods for its events.
class TTestForm : public TComponent {
public:
    using TComponent::TComponent;

    void FormCreate(TObject* Sender)
    {
        Calls.push_back("FormCreate");
        LastSender = Sender;
    }
    void btn_startClick(TObject* Sender)
    {
        Calls.push_back("btn_startClick");
        LastSender = Sender;
    }
    void btn_startMouseDown(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
    void edtKeyPress(TObject* Sender, char& Key);

    TTestControl* btn_start = nullptr;
    TTestControl* panel = nullptr;
    TTestControl* inner = nullptr;
    TTestMenu* PopupMenu1 = nullptr;

    std::string Caption;
    TNotifyEvent OnCreate;
    TTestControl* ActiveControl = nullptr;

    std::vector<std::string> Calls;
    TObject* LastSender = nullptr;
    int LoadedCalls = 0;

protected:
    void Loaded() override;
};

/// A descendant form class that adds a method of its own.
class TTestFormPlus : public TTestForm {
public:
    using TTestForm::TTestForm;
    void ExtraClick(TObject*) { Calls.push_back("ExtraClick"); }
};

/// A component class that is not a form, for reading into the wrong instance.
class TOtherComponent : public TComponent {
public:
    using TComponent::TComponent;
};
