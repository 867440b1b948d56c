//===- form_parser_test.cpp - The text form format: values, nesting, errors with lines -===//
#include "platform/ui/components/FormResource.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// Parses "object X: TX\n  P = <value>\nend" and answers P's value.
TFormValue valueOf(const std::string& Value)
{
    const TFormObject O = ParseFormResource("TEST", "object X: TX\n  P = " + Value + "\nend\n");
    EXPECT_EQ(O.Properties.size(), 1u) << Value;
    return O.Properties.empty() ? TFormValue {} : O.Properties[0].Value;
}

struct ScalarRow {
    const char* Text;
    TFormValueKind Kind;
    int64_t Integer = 0;
    double Float = 0;
    std::string String = {};
};

constexpr auto Integer = TFormValueKind::Integer, Float = TFormValueKind::Float, String = TFormValueKind::String;

TEST(FormParser, IntegersFloatsAndStringsWithEscapesCodesAndContinuations)
{
    const ScalarRow Rows[] = {
        { "0", Integer, 0 },
        { "192", Integer, 192 },
        { "-3", Integer, -3 },
        { "$1F", Integer, 31 },
        { "$00C0C0C0", Integer, 0xC0C0C0 },
        { "$FFFFFFFF", Integer, -1 },                  // 32-bit pattern
        { "$8000000F", Integer, int32_t(0x8000000F) }, // clBtnFace
        { "$100000000", Integer, 0x100000000 },        // more than 8 digits: 64-bit
        { "-$10", Integer, -16 },
        { "9223372036854775807", Integer, INT64_MAX },
        { "1.5", Float, 0, 1.5 },
        { "-2.0E3", Float, 0, -2000.0 },
        { "1E5", Float, 0, 100000.0 },
        { "2.5e-1", Float, 0, 0.25 },
        { "100.000000000000000000", Float, 0, 100.0 },
        { "'Heliant'", String, 0, 0, "Heliant" },
        { "''", String, 0, 0, "" },
        { "'it''s'", String, 0, 0, "it's" },
        { "''''", String, 0, 0, "'" },
        { "'Heliant'#13'line two'", String, 0, 0, "Heliant\rline two" },
        { "#65#66", String, 0, 0, "AB" },
        { "'x'#$41", String, 0, 0, "xA" },
        { "'Energy ['#181'J]'", String, 0, 0, "Energy [\xB5J]" },
        { "#0", String, 0, 0, std::string(1, '\0') },
        { "'for other COM'#13'use OPTIONS MENU|'", String, 0, 0, "for other COM\ruse OPTIONS MENU|" },
        { "'first part ' +\n    'second part'", String, 0, 0, "first part second part" },
        { "'a' + #13 +\r\n 'b'", String, 0, 0, "a\rb" },
        { "'&Start'", String, 0, 0, "&Start" },
        { "'  blanks kept  '", String, 0, 0, "  blanks kept  " },
    };
    for (const ScalarRow& R : Rows) {
        const TFormValue V = valueOf(R.Text);
        EXPECT_EQ(V.Kind, R.Kind) << R.Text;
        if (R.Kind == Integer)
            EXPECT_EQ(V.Integer, R.Integer) << R.Text;
        else if (R.Kind == Float)
            EXPECT_DOUBLE_EQ(V.Float, R.Float) << R.Text;
        else
            EXPECT_EQ(V.Text, R.String) << R.Text;
    }
}

TEST(FormParser, IdentifiersSetsListsAndBinary)
{
    TFormValue V = valueOf("clBtnFace");
    EXPECT_EQ(V.Kind, TFormValueKind::Ident);
    EXPECT_EQ(V.Text, "clBtnFace");

    V = valueOf("Form2.PopupMenu1");
    EXPECT_EQ(V.Kind, TFormValueKind::Ident);
    EXPECT_EQ(V.Text, "Form2.PopupMenu1");

    V = valueOf("[fsBold, fsItalic]");
    EXPECT_EQ(V.Kind, TFormValueKind::Set);
    EXPECT_EQ(V.Elements, (std::vector<std::string> { "fsBold", "fsItalic" }));

    V = valueOf("[]");
    EXPECT_EQ(V.Kind, TFormValueKind::Set);
    EXPECT_TRUE(V.Elements.empty());

    V = valueOf("[\n  boMonoDisplay,\n  boPopupMark]");
    EXPECT_EQ(V.Elements, (std::vector<std::string> { "boMonoDisplay", "boPopupMark" }));

    V = valueOf("(\n    'COM1'\n    'COM2')");
    EXPECT_EQ(V.Kind, TFormValueKind::List);
    ASSERT_EQ(V.Items.size(), 2u);
    EXPECT_EQ(V.Items[0].Text, "COM1");
    EXPECT_EQ(V.Items[1].Text, "COM2");
    EXPECT_EQ(V.Items[1].Line, 4);

    V = valueOf("( 'I' 0 1.5 Ident )");
    ASSERT_EQ(V.Items.size(), 4u);
    EXPECT_EQ(V.Items[0].Kind, TFormValueKind::String);
    EXPECT_EQ(V.Items[1].Kind, TFormValueKind::Integer);
    EXPECT_EQ(V.Items[2].Kind, TFormValueKind::Float);
    EXPECT_EQ(V.Items[3].Kind, TFormValueKind::Ident);

    V = valueOf("()");
    EXPECT_EQ(V.Kind, TFormValueKind::List);
    EXPECT_TRUE(V.Items.empty());

    V = valueOf("{\n  0A1b\n  FF}");
    EXPECT_EQ(V.Kind, TFormValueKind::Binary);
    EXPECT_EQ(V.Bytes, (std::vector<uint8_t> { 0x0A, 0x1B, 0xFF }));
}

TEST(FormParser, TreeKeepsNamesClassesOrderAndLines)
{
    const char* Text = "object Form_main: TForm_main\n"  // 1
                       "  Left = 192\n"                  // 2
                       "  Font.Style = [fsBold]\n"       // 3
                       "  OnCreate = FormCreate\n"       // 4
                       "  object panel: TPanel\n"        // 5
                       "    Caption = ''\n"              // 6
                       "    object btn_start: TButton\n" // 7
                       "      Caption = '&Start'\n"      // 8
                       "    end\n"                       // 9
                       "  end\n"                         // 10
                       "  OBJECT TTimer\n"               // 11: no name, keywords in any case
                       "  End\n"                         // 12
                       "end\n";
    const TFormObject Root = ParseFormResource("TFORM_MAIN", Text);
    EXPECT_EQ(Root.Name, "Form_main");
    EXPECT_EQ(Root.ClassName, "TForm_main");
    EXPECT_EQ(Root.Line, 1);
    ASSERT_EQ(Root.Properties.size(), 3u);
    EXPECT_EQ(Root.Properties[0].Path, "Left");
    EXPECT_EQ(Root.Properties[1].Path, "Font.Style");
    EXPECT_EQ(Root.Properties[1].Line, 3);
    EXPECT_EQ(Root.Properties[2].Value.Text, "FormCreate");
    ASSERT_EQ(Root.Children.size(), 2u);
    const TFormObject& Panel = Root.Children[0];
    EXPECT_EQ(Panel.Name, "panel");
    EXPECT_EQ(Panel.Line, 5);
    ASSERT_EQ(Panel.Children.size(), 1u);
    EXPECT_EQ(Panel.Children[0].Name, "btn_start");
    EXPECT_EQ(Panel.Children[0].ClassName, "TButton");
    EXPECT_EQ(Panel.Children[0].Properties[0].Line, 8);
    EXPECT_EQ(Root.Children[1].Name, "");
    EXPECT_EQ(Root.Children[1].ClassName, "TTimer");
    EXPECT_EQ(Root.Children[1].Line, 11);
}

TEST(FormParser, LinesCountAcrossCrLfAndMultiLineValues)
{
    const char* Text = "\xEF\xBB\xBFobject F: TF\r\n"
                       "  Items.Strings = (\r\n"
                       "    'a'\r\n"
                       "    'b')\r\n"
                       "  Caption = 'x' +\r\n"
                       "    'y'\r\n"
                       "  Tag = 1\r\n"
                       "end\r\n";
    const TFormObject Root = ParseFormResource("CRLF", Text);
    ASSERT_EQ(Root.Properties.size(), 3u);
    EXPECT_EQ(Root.Properties[1].Line, 5);
    EXPECT_EQ(Root.Properties[2].Line, 7);
}

struct ErrorRow {
    const char* Name;
    const char* Text;
    int Line;
    const char* Reason;
};

TEST(FormParser, ErrorsNameTheResourceAndLine)
{
    const ErrorRow Rows[] = {
        { "unterminated string", "object F: TF\n  Caption = 'abc\n  Left = 1\nend\n", 2, "Unterminated string" },
        { "missing end", "object F: TF\n  object B: TB\n    Left = 1\n  end\n", 5,
          "'end' of object F (line 1) expected" },
        { "missing inner end", "object F: TF\n  object B: TB\n", 3, "'end' of object B (line 2) expected" },
        { "bad character", "object F: TF\n  Left = 1\n  Top @ 2\nend\n", 3, "Invalid character '@'" },
        { "missing equals", "object F: TF\n  Left 12\nend\n", 2, "'=' expected" },
        { "no object keyword", "thing F: TF\nend\n", 1, "'object' expected" },
        { "no class name", "object F: 12\nend\n", 1, "Class name expected" },
        { "no value", "object F: TF\n  Left = ]\nend\n", 2, "Value expected" },
        { "character code too big", "object F: TF\n  Caption = 'a'#300\nend\n", 2,
          "Character code 300 is outside 0..255" },
        { "set without comma", "object F: TF\n  Style = [a b]\nend\n", 2, "',' or ']' expected" },
        { "unterminated list", "object F: TF\n  Items.Strings = (\n    'a'\n", 4,
          "')' of the list from line 2 expected" },
        { "odd binary", "object F: TF\n  Data = {\n    0A1 }\nend\n", 3, "odd number of hex digits" },
        { "binary with a bad digit", "object F: TF\n  Data = { 0G }\nend\n", 2, "Invalid character 'G'" },
        { "collection", "object F: TF\n  Items = <\n    item\n    end>\nend\n", 2, "Collections are not supported" },
        { "inherited", "inherited F: TF\nend\n", 1, "'inherited' objects are not supported" },
        { "inline child", "object F: TF\n  inline G: TG\n  end\nend\n", 2, "'inline' objects are not supported" },
        { "text after end", "object F: TF\nend\nobject G: TG\nend\n", 3, "Text after the last 'end'" },
        { "number glued to letters", "object F: TF\n  Left = 12px\nend\n", 2, "Invalid number 12px" },
        { "lonely dollar", "object F: TF\n  Left = $\nend\n", 2, "Invalid number $" },
        { "huge decimal", "object F: TF\n  Left = 99999999999999999999\nend\n", 2, "Invalid number" },
        { "continuation without string", "object F: TF\n  Caption = 'a' +\n  12\nend\n", 3, "String expected" },
        { "string cut by end of text", "object F: TF\n  Caption = 'abc", 2, "Unterminated string" },
        { "empty text", "", 1, "'object' expected" },
        { "lone minus", "object F: TF\n  Left = -x\nend\n", 2, "Invalid character '-'" },
    };
    for (const ErrorRow& R : Rows) {
        try {
            ParseFormResource("TFORM_TEST", R.Text);
            ADD_FAILURE() << R.Name << ": no error";
        } catch (const EParserError& E) {
            EXPECT_EQ(E.ResourceName(), "TFORM_TEST") << R.Name;
            EXPECT_EQ(E.Line(), R.Line) << R.Name << ": " << E.Message();
            EXPECT_NE(E.Message().find(R.Reason), std::string::npos) << R.Name << ": " << E.Message();
            EXPECT_EQ(E.Message().rfind("Form resource TFORM_TEST, line " + std::to_string(R.Line) + ": ", 0), 0u)
                << R.Name << ": " << E.Message();
        }
    }
}

// Deep nesting once overflowed the stack; 100 levels are far more than any form needs.
TEST(FormParser, NestingPastOneHundredLevelsIsRefusedAtItsLine)
{
    auto nestedObjects = [](int Levels) {
        std::string Text;
        for (int I = 0; I < Levels; ++I)
            Text += "object O" + std::to_string(I) + ": TO\n";
        for (int I = 0; I < Levels; ++I)
            Text += "end\n";
        return Text;
    };
    auto nestedLists = [](int Levels) {
        std::string Text = "object F: TF\n  Items = ";
        for (int I = 0; I < Levels; ++I)
            Text += "(\n";
        return Text + std::string(Levels, ')') + "\nend\n";
    };
    struct Row {
        const char* Name;
        std::string Deepest, TooDeep;
        int Line;
    };
    const Row Rows[] = {
        { "objects", nestedObjects(100), nestedObjects(101), 101 },
        // The root object is one level, so the hundredth list is the 101st.
        { "lists", nestedLists(99), nestedLists(100), 101 },
    };
    for (const Row& R : Rows) {
        EXPECT_NO_THROW(ParseFormResource("TFORM_TEST", R.Deepest)) << R.Name;
        try {
            ParseFormResource("TFORM_TEST", R.TooDeep);
            ADD_FAILURE() << R.Name << ": no error";
        } catch (const EParserError& E) {
            EXPECT_EQ(E.Line(), R.Line) << R.Name;
            EXPECT_NE(E.Message().find("nested deeper than 100 levels"), std::string::npos) << E.Message();
        }
    }
}

} // namespace
