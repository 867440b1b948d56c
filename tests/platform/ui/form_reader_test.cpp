//===- form_reader_test.cpp - Forms read from resources: components, properties, bindings -===//
#include "platform/gdi/bitmaps/Resources.h"

#include "tests/platform/ui/TestClasses.h"

#include "platform/rtl/Exception.h"
#include "platform/ui/components/FormReader.h"
#include "platform/ui/components/FormResource.h"

#include <gtest/gtest.h>
#include <memory>
#include <span>
#include <string>

namespace {

void addResource(std::string_view Name, std::string_view Text)
{
    RegisterResource(Name, std::span(reinterpret_cast<const uint8_t*>(Text.data()), Text.size()));
}

// Every kind of property, nesting, a reference to a component declared further down.
constexpr const char* MainForm = R"(object Form_main: TTestForm
  Caption = 'Test form'
  OnCreate = FormCreate
  ActiveControl = btn_start
  object panel: TTestControl
    Left = 8
    Color = clBtnFace
    object btn_start: TTestControl
      Left = 16
      LedTyp = 65535
      Visible = False
      Caption = '&Start'#13'now'
      Value = 2.5E-1
      LedOnColor = Gruen
      Styles = [fsBold, fsStrikeOut]
      Color = $00FF8000
      Items.Strings = (
        'COM1'
        'COM2')
      Font.Name = 'Arial'
      Font.Size = 11
      Font.Height = -15
      Font.Style = [fsBold]
      Font.Color = clBlue
      Font.Charset = 0
      PopupMenu = PopupMenu1
      OnClick = btn_startClick
      OnMouseDown = btn_startMouseDown
      OnKeyPress = edtKeyPress
      Counts = ( 'I' 0 )
      Tag = 7
    end
    object inner: TTestControl
      Value = 3
    end
  end
  object PopupMenu1: TTestMenu
  end
end
)";

class FormReaderTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { addResource("TTESTFORM_MAIN", MainForm); }
    void SetUp() override { TTestControl::LoadedOrder.clear(); }

    // Reads Text (registered under Name) into a new TTestForm and answers the error.
    static EFormReadError readError(const std::string& Name, const std::string& Text)
    {
        addResource(Name, Text);
        TTestForm Form(nullptr);
        try {
            ReadComponentRes(Name, Form);
        } catch (const EFormReadError& E) {
            return E;
        }
        ADD_FAILURE() << Name << ": no error";
        return EFormReadError(Name, 0, "none");
    }
};

TEST_F(FormReaderTest, CreatesComponentsAndAssignsFields)
{
    TTestForm Form(nullptr);
    ReadComponentRes("TTestForm_Main", Form); // resource names ignore case

    EXPECT_EQ(Form.GetName(), "Form_main");
    ASSERT_EQ(Form.ComponentCount(), 4) << "every component is owned by the form";
    EXPECT_EQ(Form.Components(0)->GetName(), "panel");
    EXPECT_EQ(Form.Components(1)->GetName(), "btn_start");
    EXPECT_EQ(Form.Components(2)->GetName(), "inner");
    EXPECT_EQ(Form.Components(3)->GetName(), "PopupMenu1");
    ASSERT_NE(Form.btn_start, nullptr);
    EXPECT_EQ(Form.btn_start, Form.FindComponent("btn_start"));
    EXPECT_EQ(Form.panel, Form.FindComponent("panel"));
    EXPECT_EQ(Form.inner, Form.FindComponent("inner"));
    EXPECT_EQ(Form.PopupMenu1, Form.FindComponent("popupmenu1"));
    EXPECT_EQ(Form.btn_start->Owner(), &Form);
}

TEST_F(FormReaderTest, NestingReachesSetParentComponent)
{
    TTestForm Form(nullptr);
    ReadComponentRes("TTESTFORM_MAIN", Form);
    EXPECT_EQ(Form.panel->ParentComponent, &Form);
    EXPECT_EQ(Form.btn_start->ParentComponent, Form.panel);
    EXPECT_EQ(Form.inner->ParentComponent, Form.panel);
}

TEST_F(FormReaderTest, SetsPropertiesOfEveryKind)
{
    TTestForm Form(nullptr);
    ReadComponentRes("TTESTFORM_MAIN", Form);
    const TTestControl& B = *Form.btn_start;
    EXPECT_EQ(Form.Caption, "Test form");
    EXPECT_EQ(Form.panel->GetLeft(), 8);
    EXPECT_EQ(Form.panel->Color, clBtnFace);
    EXPECT_EQ(B.GetLeft(), 16);
    EXPECT_EQ(B.LedTyp, 65535);
    EXPECT_FALSE(B.GetVisible());
    EXPECT_EQ(B.Caption, "&Start\rnow");
    EXPECT_DOUBLE_EQ(B.GetValue(), 0.25);
    EXPECT_DOUBLE_EQ(Form.inner->GetValue(), 3.0) << "an integer for a Double";
    EXPECT_EQ(B.LedOnColor, TLedOnColors::Gruen);
    EXPECT_EQ(B.Styles, (TFontStyles { fsBold, fsStrikeOut }));
    EXPECT_EQ(B.Color, 0xFF8000);
    ASSERT_EQ(B.GetItems().Count(), 2);
    EXPECT_EQ(B.GetItems()[0], "COM1");
    EXPECT_EQ(B.GetItems()[1], "COM2");
    EXPECT_EQ(B.Tag, 7);
    ASSERT_EQ(B.Counts.Kind, TFormValueKind::List) << "the custom reader got the value as written";
    EXPECT_EQ(B.Counts.Items.at(0).Text, "I");
    EXPECT_EQ(B.Counts.Items.at(1).Integer, 0);
}

TEST_F(FormReaderTest, DeclaredPropertiesReadAndStoreWhatTheClassDefines)
{
    addResource("TDEFINED", "object F: TTestForm\n  object btn_start: TTestControl\n    datasize = ( 'I' 3 )\n"
                            "    Data = { 0A0B0C }\n  end\nend\n");
    TTestForm Form(nullptr);
    ReadComponentRes("TDEFINED", Form);
    TTestControl& B = *Form.btn_start;
    EXPECT_EQ(B.Data, (std::vector<uint8_t> { 0x0A, 0x0B, 0x0C })) << "the bytes, as a stream of their own";
    ASSERT_EQ(B.DataSize.Kind, TFormValueKind::List);
    EXPECT_EQ(B.DataSize.Items.at(1).Integer, 3);

    // What is stored: every declaration whose HasData holds, in declaration order.
    std::vector<TFormProperty> Stored = DefinedProperties(B);
    ASSERT_EQ(Stored.size(), 2u);
    EXPECT_EQ(Stored[0].Path, "DataSize");
    EXPECT_EQ(Stored[0].Value.Integer, 3);
    EXPECT_EQ(Stored[1].Path, "Data");
    EXPECT_EQ(Stored[1].Value.Kind, TFormValueKind::Binary);
    EXPECT_EQ(Stored[1].Value.Bytes, B.Data);
    B.Data.clear();
    Stored = DefinedProperties(B);
    ASSERT_EQ(Stored.size(), 1u) << "no data, not stored";
    EXPECT_EQ(Stored[0].Value.Integer, 0);
}

TEST_F(FormReaderTest, NestedObjectGetsItsPropertiesThroughItsOwnTable)
{
    TTestForm Form(nullptr);
    ReadComponentRes("TTESTFORM_MAIN", Form);
    const TTestFont& F = *Form.btn_start->GetFont();
    EXPECT_EQ(F.Name, "Arial");
    EXPECT_EQ(F.GetSize(), 11);
    EXPECT_EQ(F.Height, -15);
    EXPECT_EQ(F.GetStyle(), (TFontStyles { fsBold }));
    EXPECT_EQ(F.Color, clBlue);
    EXPECT_EQ(F.Charset, 0);
    EXPECT_EQ(F.Changes, 2) << "Size and Style went through their setters";
    EXPECT_EQ(Form.panel->GetFont()->Name, "MS Sans Serif") << "other fonts untouched";
}

TEST_F(FormReaderTest, EventsAreBoundToTheFormsMethods)
{
    TTestForm Form(nullptr);
    ReadComponentRes("TTESTFORM_MAIN", Form);
    TTestControl& B = *Form.btn_start;
    ASSERT_TRUE(B.OnClick);
    B.OnClick(&B);
    ASSERT_TRUE(B.OnMouseDown);
    B.OnMouseDown(&B, mbRight, TShiftState { ssShift }, 3, 4);
    EXPECT_EQ(Form.Calls, (std::vector<std::string> { "btn_startClick", "btn_startMouseDown 1 1 3,4" }));
    EXPECT_EQ(Form.LastSender, &B);
    char Key = 'a';
    B.OnKeyPress(&B, Key);
    EXPECT_EQ(Key, 'A');
    ASSERT_TRUE(Form.OnCreate);
    Form.OnCreate(&Form);
    EXPECT_EQ(Form.Calls.back(), "FormCreate");
    EXPECT_FALSE(Form.panel->OnClick) << "unbound events stay empty";
}

TEST_F(FormReaderTest, ReferencesResolveAfterTheWholeFormIsRead)
{
    TTestForm Form(nullptr);
    ReadComponentRes("TTESTFORM_MAIN", Form);
    EXPECT_EQ(Form.btn_start->PopupMenu, Form.PopupMenu1) << "declared after its user";
    EXPECT_EQ(Form.ActiveControl, Form.btn_start);
}

TEST_F(FormReaderTest, LoadedRunsOnceOnEveryComponentAfterLoading)
{
    TTestForm Form(nullptr);
    ReadComponentRes("TTESTFORM_MAIN", Form);
    EXPECT_TRUE(Form.btn_start->LoadingWhenLeftSet) << "csLoading while properties are set";
    EXPECT_EQ(Form.btn_start->LoadedCalls, 1);
    EXPECT_FALSE(Form.btn_start->LoadingInLoaded);
    EXPECT_EQ(Form.LoadedCalls, 1);
    EXPECT_EQ(TTestControl::LoadedOrder, (std::vector<std::string> { "Form_main", "panel", "btn_start", "inner" }));
    EXPECT_FALSE(Form.ComponentState().Contains(csLoading));
    EXPECT_FALSE(Form.btn_start->ComponentState().Contains(csLoading));
}

TEST_F(FormReaderTest, OwnerFreesEveryComponentItRead)
{
    const int Before = TTestControl::Alive;
    {
        auto Form = std::make_unique<TTestForm>(nullptr);
        ReadComponentRes("TTESTFORM_MAIN", *Form);
        EXPECT_EQ(TTestControl::Alive, Before + 3);
    }
    EXPECT_EQ(TTestControl::Alive, Before);
}

TEST_F(FormReaderTest, FreeingAComponentClearsItsFieldAndReferences)
{
    TTestForm Form(nullptr);
    ReadComponentRes("TTESTFORM_MAIN", Form);
    TTestControl* Button = Form.btn_start;
    delete Form.PopupMenu1;
    EXPECT_EQ(Form.PopupMenu1, nullptr) << "the form's field";
    EXPECT_EQ(Button->PopupMenu, nullptr) << "the sibling heard of it";
    delete Form.btn_start;
    EXPECT_EQ(Form.btn_start, nullptr);
    EXPECT_EQ(Form.ComponentCount(), 2);
}

TEST_F(FormReaderTest, FormMadeTwiceUnderOneOwnerGetsANewName)
{
    TComponent Application(nullptr);
    auto* First = new TTestForm(&Application);
    auto* Second = new TTestForm(&Application);
    auto* Third = new TTestForm(&Application);
    ReadComponentRes("TTESTFORM_MAIN", *First);
    ReadComponentRes("TTESTFORM_MAIN", *Second);
    ReadComponentRes("TTESTFORM_MAIN", *Third);
    EXPECT_EQ(First->GetName(), "Form_main");
    EXPECT_EQ(Second->GetName(), "Form_main_1");
    EXPECT_EQ(Third->GetName(), "Form_main_2");
    EXPECT_EQ(Second->ActiveControl, Second->btn_start) << "each form has components of its own";
    EXPECT_NE(Second->btn_start, First->btn_start);
}

TEST_F(FormReaderTest, NamesOfClassesPropertiesAndIdentifiersIgnoreCase)
{
    addResource("TCASEFORM", "object Case_form: ttestform\n"
                             "  CAPTION = 'x'\n"
                             "  onCreate = FORMCREATE\n"
                             "  object BTN_START: TTESTCONTROL\n"
                             "    ledoncolor = gelb\n"
                             "    visible = TRUE\n"
                             "    color = CLWHITE\n"
                             "    items.strings = ( 'a' )\n"
                             "    FONT.STYLE = [FSITALIC]\n"
                             "  end\n"
                             "end\n");
    TTestForm Form(nullptr);
    ReadComponentRes("tCaseForm", Form);
    ASSERT_NE(Form.btn_start, nullptr);
    EXPECT_EQ(Form.btn_start->GetName(), "BTN_START") << "the name as written";
    EXPECT_EQ(Form.Caption, "x");
    EXPECT_EQ(Form.btn_start->LedOnColor, TLedOnColors::Gelb);
    EXPECT_EQ(Form.btn_start->Color, clWhite);
    EXPECT_EQ(Form.btn_start->GetItems().Count(), 1);
    EXPECT_EQ(Form.btn_start->GetFont()->GetStyle(), (TFontStyles { fsItalic }));
    EXPECT_TRUE(Form.OnCreate);
}

TEST_F(FormReaderTest, DescendantFormFindsItsOwnAndInheritedMethods)
{
    addResource("TPLUSFORM", "object Plus: TTestForm\n"
                             "  OnCreate = ExtraClick\n"
                             "  object btn_start: TTestControl\n"
                             "    OnClick = btn_startClick\n"
                             "  end\n"
                             "end\n");
    TTestFormPlus Form(nullptr);
    ReadComponentRes("TPLUSFORM", Form);
    Form.OnCreate(&Form);
    Form.btn_start->OnClick(Form.btn_start);
    EXPECT_EQ(Form.Calls, (std::vector<std::string> { "ExtraClick", "btn_startClick" }));
}

TEST_F(FormReaderTest, UnknownPropertyIsReportedWithItsLine)
{
    const EFormReadError E = readError("TBADPROP", "object F: TTestForm\n"
                                                   "  object btn_start: TTestControl\n"
                                                   "    Left = 1\n"
                                                   "    Captoin = 'x'\n"
                                                   "  end\n"
                                                   "end\n");
    EXPECT_EQ(E.ResourceName(), "TBADPROP");
    EXPECT_EQ(E.Line(), 4);
    EXPECT_EQ(E.Message(),
              "Form resource TBADPROP, line 4: Error reading btn_start.Captoin: Property Captoin does not exist");
}

TEST_F(FormReaderTest, WrongMethodSignatureIsReported)
{
    const EFormReadError E = readError("TBADSIG", "object F: TTestForm\n"
                                                  "  object btn_start: TTestControl\n"
                                                  "    OnClick = btn_startMouseDown\n"
                                                  "  end\n"
                                                  "end\n");
    EXPECT_EQ(E.Line(), 3);
    EXPECT_EQ(E.Message(), "Form resource TBADSIG, line 3: Error reading btn_start.OnClick: Method btn_startMouseDown "
                           "(TMouseEvent) does not fit event OnClick (TNotifyEvent)");
}

struct ErrorRow {
    const char* Name;
    const char* Body; // between "object F: TTestForm" and "end"; its first line is line 2
    int Line;
    const char* Reason;
};

TEST_F(FormReaderTest, FaultsNameTheLineAndWhatWasWrong)
{
    const ErrorRow Rows[] = {
        { "unknown class", "  object btn_start: TNoSuchButton\n  end\n", 2, "Class TNoSuchButton not found" },
        { "unknown method", "  OnCreate = FormDestroy\n", 2, "Method FormDestroy not found in TTestForm" },
        { "unknown field", "  object btn_stop: TTestControl\n  end\n", 2, "Field btn_stop not found in TTestForm" },
        { "field of another class", "  object PopupMenu1: TTestControl\n  end\n", 2,
          "Field PopupMenu1 of TTestForm is a TTestMenu and cannot hold a TTestControl" },
        { "unknown enumeration identifier", "  object btn_start: TTestControl\n    LedOnColor = Green\n  end\n", 3,
          "'Green' is not a value of TLedOnColors" },
        { "unknown set element", "  object btn_start: TTestControl\n    Styles = [fsBold, fsWide]\n  end\n", 3,
          "'fsWide' is not a value of TFontStyle" },
        { "unknown colour", "  object btn_start: TTestControl\n    Color = clOrange\n  end\n", 3,
          "'clOrange' is not a value of TColor" },
        { "Word out of range", "  object btn_start: TTestControl\n    LedTyp = 70000\n  end\n", 3,
          "Value 70000 is out of range for LedTyp (0..65535)" },
        { "string for an integer", "  object btn_start: TTestControl\n    Left = '12'\n  end\n", 3,
          "Integer expected for Left" },
        { "integer for a string", "\n  Caption = 12\n", 3, "String expected for Caption" },
        { "bad boolean", "  object btn_start: TTestControl\n    Visible = Yes\n  end\n", 3,
          "True or False expected for Visible" },
        { "set for an enumeration", "  object btn_start: TTestControl\n    LedOnColor = [Rot]\n  end\n", 3,
          "Identifier of TLedOnColors expected for LedOnColor" },
        { "string for a list", "  object btn_start: TTestControl\n    Items.Strings = 'a'\n  end\n", 3,
          "String list expected for Items" },
        { "number in a string list",
          "  object btn_start: TTestControl\n    Items.Strings = (\n      'a'\n      1)\n  end\n", 5,
          "String expected for Items" },
        { "object set as a whole", "  object btn_start: TTestControl\n    Font = 1\n  end\n", 3,
          "Font is an object; set its properties instead" },
        { "path through a plain property", "  object btn_start: TTestControl\n    Left.Size = 1\n  end\n", 3,
          "Left is not an object property" },
        { "unknown sub-property", "  object btn_start: TTestControl\n    Font.Weight = 1\n  end\n", 3,
          "Property Weight does not exist" },
        { "binary data", "  object btn_start: TTestControl\n    Caption = { 00 }\n  end\n", 3,
          "Binary data is not supported for Caption" },
        { "value for a declared binary property", "  object btn_start: TTestControl\n    Data = 'x'\n  end\n", 3,
          "Error reading btn_start.Data: Binary data expected for Data" },
        { "unresolved reference", "  object btn_start: TTestControl\n    PopupMenu = PopupMenu9\n  end\n", 3,
          "Component PopupMenu9 not found" },
        { "reference of the wrong class",
          "  object btn_start: TTestControl\n  end\n  object panel: TTestControl\n    PopupMenu = btn_start\n  end\n",
          5, "Component btn_start (TTestControl) does not fit property PopupMenu (TTestMenu)" },
        { "duplicate component name",
          "  object btn_start: TTestControl\n  end\n  object BTN_START: TTestControl\n  end\n", 4,
          "A component named BTN_START already exists" },
        { "setter refuses the value", "  object btn_start: TTestControl\n    Value = -1\n  end\n", 3,
          "Error reading btn_start.Value: Value must not be negative" },
        { "class that cannot be created", "  object f: TTestFont\n  end\n", 2,
          "Class TTestFont cannot be created from a form resource" },
    };
    for (const ErrorRow& R : Rows) {
        const std::string Name = std::string("TERR_") + std::to_string(&R - Rows);
        const EFormReadError E = readError(Name, std::string("object F: TTestForm\n") + R.Body + "end\n");
        EXPECT_EQ(E.Line(), R.Line) << R.Name << ": " << E.Message();
        EXPECT_NE(E.Message().find(R.Reason), std::string::npos) << R.Name << ": " << E.Message();
        EXPECT_EQ(E.Message().rfind("Form resource " + Name + ", line ", 0), 0u) << R.Name << ": " << E.Message();
    }
}

TEST_F(FormReaderTest, UnknownClassRaisesEClassNotFound)
{
    addResource("TNOCLASS", "object F: TTestForm\n  object x: TNoSuchThing\n  end\nend\n");
    TTestForm Form(nullptr);
    EXPECT_THROW(ReadComponentRes("TNOCLASS", Form), EClassNotFound);
    addResource("TNOROOT", "object F: TNoSuchForm\nend\n");
    EXPECT_THROW(ReadComponentRes("TNOROOT", Form), EClassNotFound);
}

TEST_F(FormReaderTest, AFailedReadLeavesOwnedComponentsThatTheFormFrees)
{
    const int Before = TTestControl::Alive;
    addResource("TPARTIAL", "object F: TTestForm\n"
                            "  object btn_start: TTestControl\n"
                            "  end\n"
                            "  object panel: TTestControl\n"
                            "    Nonsense = 1\n"
                            "  end\n"
                            "end\n");
    {
        TTestForm Form(nullptr);
        EXPECT_THROW(ReadComponentRes("TPARTIAL", Form), EFormReadError);
        EXPECT_EQ(Form.ComponentCount(), 2);
        EXPECT_EQ(Form.btn_start->LoadedCalls, 0) << "Loaded runs only after a complete read";
        EXPECT_FALSE(Form.btn_start->ComponentState().Contains(csLoading));
        EXPECT_FALSE(Form.ComponentState().Contains(csLoading));
    }
    EXPECT_EQ(TTestControl::Alive, Before);
}

TEST_F(FormReaderTest, ResourceThatDoesNotExistOrCannotBeParsed)
{
    TTestForm Form(nullptr);
    try {
        ReadComponentRes("TNOTHERE", Form);
        ADD_FAILURE() << "no exception";
    } catch (const EResNotFound& E) {
        EXPECT_EQ(E.Message(), "Resource TNOTHERE not found");
    }
    addResource("TUNPARSABLE", "object F: TTestForm\n  Caption = 'open\nend\n");
    EXPECT_THROW(ReadComponentRes("TUNPARSABLE", Form), EParserError);
    EXPECT_EQ(Form.ComponentCount(), 0);
}

TEST_F(FormReaderTest, ResourceOfAnotherFormClassIsRefused)
{
    TOtherComponent Other(nullptr);
    try {
        ReadComponentRes("TTESTFORM_MAIN", Other);
        ADD_FAILURE() << "no exception";
    } catch (const EFormReadError& E) {
        EXPECT_EQ(E.Line(), 1);
        EXPECT_NE(E.Message().find("The form is a TOtherComponent, not a TTestForm"), std::string::npos);
    }
    EXPECT_EQ(Other.ComponentCount(), 0);
}

TEST_F(FormReaderTest, AlreadyParsedTreeReadsTheSame)
{
    const TFormObject Root = ParseFormResource("PARSED", MainForm);
    TTestForm Form(nullptr);
    ReadComponent(Root, "PARSED", Form);
    EXPECT_EQ(Form.ComponentCount(), 4);
    EXPECT_EQ(Form.btn_start->PopupMenu, Form.PopupMenu1);
}

} // namespace
