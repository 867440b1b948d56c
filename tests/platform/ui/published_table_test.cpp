//===- published_table_test.cpp - Published tables, identifiers, colours and sets -===//
#include "platform/rtl/Exception.h"

#include "tests/platform/ui/TestClasses.h"

#include "platform/ui/components/Colors.h"
#include "platform/ui/components/Published.h"

#include <gtest/gtest.h>
#include <any>
#include <memory>

namespace {

const PublishedProperty& property(const char* Class, const char* Name)
{
    const PublishedClass* C = PublishedClass::Find(Class);
    EXPECT_NE(C, nullptr) << Class;
    const PublishedProperty* P = C ? C->FindProperty(Name) : nullptr;
    EXPECT_NE(P, nullptr) << Class << "." << Name;
    if (!P)
        throw std::runtime_error("missing property");
    return *P;
}

TEST(PublishedTable, ClassesAreFoundByNameIgnoringCaseAndByType)
{
    const PublishedClass* Control = PublishedClass::Find("ttestcontrol");
    ASSERT_NE(Control, nullptr);
    EXPECT_EQ(Control->Name(), "TTestControl");
    EXPECT_EQ(PublishedClass::Of(typeid(TTestControl)), Control);
    EXPECT_EQ(PublishedClass::Find("TNoSuchClass"), nullptr);

    TTestControl Instance(nullptr);
    EXPECT_EQ(PublishedClass::Of(Instance), Control);
    EXPECT_TRUE(Control->IsInstance(Instance));
    EXPECT_FALSE(PublishedClass::Find("TTestMenu")->IsInstance(Instance));
    EXPECT_TRUE(Control->InheritsFrom(*PublishedClass::Find("TComponent")));
    EXPECT_FALSE(PublishedClass::Find("TComponent")->InheritsFrom(*Control));
    EXPECT_EQ(PublishedClass::Find("TPersistent")->Parent(), nullptr);
}

TEST(PublishedTable, PropertiesAreFoundIgnoringCaseThroughAncestors)
{
    const PublishedClass* Control = PublishedClass::Find("TTestControl");
    EXPECT_EQ(Control->FindProperty("LEDONCOLOR"), Control->FindProperty("LedOnColor"));
    const PublishedProperty* Tag = Control->FindProperty("tag");
    ASSERT_NE(Tag, nullptr) << "inherited from TComponent";
    EXPECT_EQ(Tag->Name(), "Tag");
    EXPECT_EQ(Control->FindProperty("Captoin"), nullptr);

    const PublishedClass* Plus = PublishedClass::Find("TTestFormPlus");
    EXPECT_NE(Plus->FindMethod("btn_startclick"), nullptr) << "inherited from TTestForm";
    EXPECT_NE(Plus->FindMethod("ExtraClick"), nullptr);
    EXPECT_EQ(PublishedClass::Find("TTestForm")->FindMethod("ExtraClick"), nullptr);
    EXPECT_NE(Plus->FindField("BTN_START"), nullptr);
}

TEST(PublishedTable, OnlyCreatableComponentsHaveAFactory)
{
    EXPECT_FALSE(PublishedClass::Find("TTestFont")->CanCreate()) << "persistent, not a component";
    EXPECT_EQ(PublishedClass::Find("TTestFont")->Create(nullptr), nullptr);
    const PublishedClass* Menu = PublishedClass::Find("TTestMenu");
    ASSERT_TRUE(Menu->CanCreate());
    TComponent Owner(nullptr);
    TComponent* Made = Menu->Create(&Owner);
    ASSERT_NE(Made, nullptr);
    EXPECT_NE(dynamic_cast<TTestMenu*>(Made), nullptr);
    EXPECT_EQ(Made->Owner(), &Owner);
    EXPECT_EQ(Owner.ComponentCount(), 1);
}

TEST(PublishedTable, OrdinalAccessKeepsTheRangeOfTheType)
{
    TTestControl C(nullptr);
    const PublishedProperty& LedTyp = property("TTestControl", "LedTyp"); // Word
    EXPECT_EQ(LedTyp.Kind(), TPropertyKind::Integer);
    EXPECT_EQ(LedTyp.MinValue(), 0);
    EXPECT_EQ(LedTyp.MaxValue(), 65535);
    LedTyp.SetOrd(C, 65535);
    EXPECT_EQ(C.LedTyp, 65535);
    try {
        LedTyp.SetOrd(C, 70000);
        ADD_FAILURE() << "no exception";
    } catch (const Exception& E) {
        EXPECT_EQ(E.Message(), "Value 70000 is out of range for LedTyp (0..65535)");
    }
    EXPECT_EQ(C.LedTyp, 65535) << "unchanged";
    EXPECT_THROW(LedTyp.SetOrd(C, -1), Exception);

    const PublishedProperty& Left = property("TTestControl", "Left");
    Left.SetOrd(C, -2147483648LL);
    EXPECT_EQ(Left.GetOrd(C), INT32_MIN);
    EXPECT_THROW(Left.SetOrd(C, 2147483648LL), Exception);

    const PublishedProperty& Visible = property("TTestControl", "Visible");
    Visible.SetOrd(C, 0);
    EXPECT_FALSE(C.GetVisible());
    EXPECT_EQ(Visible.GetOrd(C), 0);
    EXPECT_THROW(Visible.SetOrd(C, 2), Exception);
}

TEST(PublishedTable, EnumerationsAndSetsTakeOnlyValuesOfTheirTable)
{
    TTestControl C(nullptr);
    const PublishedProperty& Led = property("TTestControl", "LedOnColor");
    EXPECT_EQ(Led.Enum(), &TLedOnColorsType);
    EXPECT_EQ(Led.TypeName(), "TLedOnColors");
    Led.SetOrd(C, 2);
    EXPECT_EQ(C.LedOnColor, TLedOnColors::Gruen);
    EXPECT_EQ(Led.GetOrd(C), 2);
    try {
        Led.SetOrd(C, 8);
        ADD_FAILURE() << "no exception";
    } catch (const Exception& E) {
        EXPECT_EQ(E.Message(), "8 is not a value of TLedOnColors");
    }
    EXPECT_EQ(C.LedOnColor, TLedOnColors::Gruen);

    const PublishedProperty& Styles = property("TTestControl", "Styles");
    Styles.SetOrd(C, 0b0101);
    EXPECT_EQ(C.Styles, (TFontStyles { fsBold, fsUnderline }));
    EXPECT_EQ(Styles.GetOrd(C), 0b0101);
    EXPECT_THROW(Styles.SetOrd(C, 0b10000), Exception) << "bit 4 is no TFontStyle";
}

TEST(PublishedTable, OtherKindsReadAndWriteThroughTheirAccessors)
{
    TTestControl C(nullptr);
    property("TTestControl", "Caption").SetStr(C, "&Start");
    EXPECT_EQ(C.Caption, "&Start");
    EXPECT_EQ(property("TTestControl", "Caption").GetStr(C), "&Start");

    property("TTestControl", "Value").SetFloat(C, 2.5);
    EXPECT_EQ(property("TTestControl", "Value").GetFloat(C), 2.5);

    TStringList Items;
    Items.Add("COM1");
    property("TTestControl", "Items").SetStrings(C, Items);
    EXPECT_EQ(property("TTestControl", "Items").GetStrings(C).Get(0), "COM1");

    const PublishedProperty& Font = property("TTestControl", "Font");
    EXPECT_EQ(Font.GetObject(C), C.GetFont());
    EXPECT_EQ(Font.TypeName(), "TTestFont");

    const PublishedProperty& Popup = property("TTestControl", "PopupMenu");
    TTestMenu Menu(nullptr);
    TTestControl NotAMenu(nullptr);
    EXPECT_TRUE(Popup.SetComponent(C, &Menu));
    EXPECT_EQ(C.PopupMenu, &Menu);
    EXPECT_FALSE(Popup.SetComponent(C, &NotAMenu));
    EXPECT_EQ(C.PopupMenu, &Menu) << "unchanged";
    EXPECT_EQ(Popup.GetComponent(C), &Menu);
    EXPECT_TRUE(Popup.SetComponent(C, nullptr));
    EXPECT_EQ(C.PopupMenu, nullptr);
}

TEST(PublishedTable, AccessOfTheWrongKindNamesTheMethodAndProperty)
{
    TTestControl C(nullptr);
    try {
        property("TTestControl", "Caption").SetOrd(C, 1);
        ADD_FAILURE() << "no exception";
    } catch (const Exception& E) {
        EXPECT_EQ(E.Message(), "PublishedProperty::SetOrd: Caption is not a property of this kind");
    }
    EXPECT_THROW(property("TTestControl", "Left").GetStr(C), Exception);
    EXPECT_THROW(property("TTestControl", "OnClick").SetEvent(C, std::any(42)), Exception)
        << "a handler of another type";
}

TEST(PublishedTable, MethodsBindToTheirInstanceAndCarryTheirEventType)
{
    const PublishedClass* Form = PublishedClass::Find("TTestForm");
    const PublishedMethod* Click = Form->FindMethod("btn_startClick");
    const PublishedMethod* Mouse = Form->FindMethod("btn_startMouseDown");
    ASSERT_NE(Click, nullptr);
    ASSERT_NE(Mouse, nullptr);
    EXPECT_EQ(Click->TypeName(), "TNotifyEvent");
    EXPECT_EQ(Mouse->TypeName(), "TMouseEvent");
    EXPECT_EQ(Click->Type(), std::type_index(typeid(TNotifyEvent)));
    EXPECT_EQ(Form->FindProperty("OnCreate")->Type(), Click->Type());

    TTestForm A(nullptr), B(nullptr);
    const std::any Bound = Click->Bind(A);
    const TNotifyEvent* Handler = std::any_cast<TNotifyEvent>(&Bound);
    ASSERT_NE(Handler, nullptr);
    (*Handler)(&B);
    EXPECT_EQ(A.Calls, (std::vector<std::string> { "btn_startClick" }));
    EXPECT_EQ(A.LastSender, &B);
    EXPECT_TRUE(B.Calls.empty());

    // A key press handler changes the caller's character.
    const std::any Key = Form->FindMethod("edtKeyPress")->Bind(A);
    char Ch = 'a';
    std::any_cast<TKeyPressEvent>(Key)(&A, Ch);
    EXPECT_EQ(Ch, 'A');
}

TEST(PublishedTable, FieldsCheckTheComponentClass)
{
    const PublishedField* Field = PublishedClass::Find("TTestForm")->FindField("PopupMenu1");
    ASSERT_NE(Field, nullptr);
    TTestForm Form(nullptr);
    TTestMenu Menu(nullptr);
    TTestControl Control(nullptr);
    EXPECT_TRUE(Field->Set(Form, &Menu));
    EXPECT_EQ(Form.PopupMenu1, &Menu);
    EXPECT_FALSE(Field->Set(Form, &Control));
    EXPECT_EQ(Form.PopupMenu1, &Menu);
    EXPECT_EQ(Field->Get(Form), &Menu);
}

TEST(PublishedTable, AClassIsPublishedOnce)
{
    EXPECT_THROW((PublishClass<TTestMenu, TComponent>("TTestMenu2")), Exception) << "same C++ class";
    EXPECT_THROW((PublishClass<TUnpublishedThing, TPersistent>("ttestmenu")), Exception) << "same name";
    EXPECT_EQ(PublishedClass::Find("TTestMenu2"), nullptr);
    EXPECT_EQ(PublishedClass::Of(typeid(TUnpublishedThing)), nullptr);
}

TEST(EnumIdentifiers, ValuesAndIdentsBothWays)
{
    EXPECT_EQ(TLedOnColorsType.ValueOf("Gruen"), 2);
    EXPECT_EQ(TLedOnColorsType.ValueOf("gRUEN"), 2);
    EXPECT_EQ(TLedOnColorsType.ValueOf("Green"), std::nullopt);
    EXPECT_EQ(TLedOnColorsType.IdentOf(7), "Weiss");
    EXPECT_EQ(TLedOnColorsType.IdentOf(9), "");
}

struct ColorRow {
    const char* Ident;
    uint32_t Value;
};

TEST(Colors, IdentifiersHaveTheOriginalValues)
{
    const ColorRow Rows[] = {
        { "clBlack", 0x000000 },
        { "clMaroon", 0x000080 },
        { "clGreen", 0x008000 },
        { "clOlive", 0x008080 },
        { "clNavy", 0x800000 },
        { "clPurple", 0x800080 },
        { "clTeal", 0x808000 },
        { "clGray", 0x808080 },
        { "clSilver", 0xC0C0C0 },
        { "clRed", 0x0000FF },
        { "clLime", 0x00FF00 },
        { "clYellow", 0x00FFFF },
        { "clBlue", 0xFF0000 },
        { "clFuchsia", 0xFF00FF },
        { "clAqua", 0xFFFF00 },
        { "clWhite", 0xFFFFFF },
        { "clScrollBar", 0x80000000 },
        { "clBackground", 0x80000001 },
        { "clActiveCaption", 0x80000002 },
        { "clInactiveCaption", 0x80000003 },
        { "clMenu", 0x80000004 },
        { "clWindow", 0x80000005 },
        { "clWindowFrame", 0x80000006 },
        { "clMenuText", 0x80000007 },
        { "clWindowText", 0x80000008 },
        { "clCaptionText", 0x80000009 },
        { "clHighlight", 0x8000000D },
        { "clHighlightText", 0x8000000E },
        { "clBtnFace", 0x8000000F },
        { "clBtnShadow", 0x80000010 },
        { "clGrayText", 0x80000011 },
        { "clBtnText", 0x80000012 },
        { "clBtnHighlight", 0x80000014 },
        { "cl3DDkShadow", 0x80000015 },
        { "cl3DLight", 0x80000016 },
        { "clInfoText", 0x80000017 },
        { "clInfoBk", 0x80000018 },
        { "clNone", 0x1FFFFFFF },
        { "clDefault", 0x20000000 },
    };
    for (const ColorRow& R : Rows) {
        const std::optional<TColor> C = IdentToColor(R.Ident);
        ASSERT_TRUE(C.has_value()) << R.Ident;
        EXPECT_EQ(static_cast<uint32_t>(*C), R.Value) << R.Ident;
        EXPECT_EQ(ColorToIdent(*C), R.Ident);
    }
    EXPECT_EQ(IdentToColor("CLBTNFACE"), clBtnFace);
    EXPECT_EQ(IdentToColor("clOrange"), std::nullopt);
    EXPECT_EQ(ColorToIdent(0x123456), "");
}

TEST(Sets, UnionDifferenceIntersectionAndMembership)
{
    const TFontStyles A { fsBold, fsItalic };
    const TFontStyles B { fsItalic, fsUnderline };
    EXPECT_EQ(A + B, (TFontStyles { fsBold, fsItalic, fsUnderline }));
    EXPECT_EQ(A - B, (TFontStyles { fsBold }));
    EXPECT_EQ(A * B, (TFontStyles { fsItalic }));
    EXPECT_TRUE(A.Contains(fsBold));
    EXPECT_FALSE(A.Contains(fsStrikeOut));
    EXPECT_TRUE(TFontStyles {}.Empty());
    TFontStyles C;
    C.Include(fsStrikeOut).Include(fsBold).Exclude(fsBold);
    EXPECT_EQ(C.Bits(), 0b1000u);
    EXPECT_EQ(TFontStyles::FromBits(0b11), A);
}

} // namespace
