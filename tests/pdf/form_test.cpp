//===- form_test.cpp - The interactive form: push buttons, radio groups, appearances and the form dictionary ===//
#include "tests/pdf/PdfTestSupport.h"

#include "tests/support/TestSupport.h"

#include "pdf/TPDFAcroForm.h"
#include "pdf/TPDFActions.h"
#include "pdf/TPDFButton.h"
#include "pdf/TPDFDocument.h"
#include "pdf/TPDFException.h"
#include "pdf/TPDFPage.h"
#include "pdf/TPDFRadioButton.h"

#include <gtest/gtest.h>

#include <functional>
#include <regex>
#include <sstream>

using namespace pdftest;

namespace {

class FormTest : public ::testing::Test {
protected:
    testsupport::TempDir Dir;
    std::string File = Dir.file("form.pdf");
};

void place(TPDFCustomAnnotation& A, int Left, int Bottom, int Right, int Top)
{
    A.Left = Left;
    A.Bottom = Bottom;
    A.Right = Right;
    A.Top = Top;
}

/// Three radio buttons of one group, the second checked, and a push button.
void drawForm(TPDFDocument& Doc)
{
    for (int I = 0; I < 3; ++I) {
        auto* R = new TPDFRadioButton(Doc.CurrentPage, "Mode");
        place(*R, 100 + 40 * I, 700, 120 + 40 * I, 720);
        R->Checked = I == 1;
    }
    auto* B = new TPDFButton(Doc.CurrentPage, "Go");
    place(*B, 100, 600, 200, 630);
    B->Caption = "Start (now)";
    B->Hint->Text = "\xCF\xF3\xF1\xEA"; // "Start" in code page 1251
    B->Hint->Charset = 204;
}

std::vector<std::string> allMatches(const std::string& Text, const std::string& Pattern)
{
    std::vector<std::string> Found;
    const std::regex R(Pattern);
    for (auto It = std::sregex_iterator(Text.begin(), Text.end(), R); It != std::sregex_iterator(); ++It)
        Found.push_back((*It)[1]);
    return Found;
}

/// The grey level at a point of page 1 rendered at 72 dpi (origin top left).
int greyAt(const std::string& Pgm, int X, int Y)
{
    std::istringstream In(Pgm);
    std::string Magic;
    int Width = 0, Height = 0, Max = 0;
    In >> Magic >> Width >> Height >> Max;
    In.get();
    return static_cast<uint8_t>(Pgm[static_cast<size_t>(In.tellg()) + static_cast<size_t>(Y) * Width + X]);
}

TEST_F(FormTest, RadioGroupAndPushButtonAreFormFieldsThatReadersShow)
{
    const std::string Pdf = WritePdf(File, nullptr, drawForm);
    EXPECT_EQ(RunTool({ "qpdf", "--check", File }).Status, 0) << RunTool({ "qpdf", "--check", File }).Output;
    const std::string Json = RunTool({ "qpdf", "--json", "--json-key=acroform", File }).Output;
    // Each kid of the group is a field of qpdf's list, under the group's name.
    EXPECT_EQ(allMatches(Json, R"re("fullname": "(Mode)")re").size(), 3u) << Json;
    EXPECT_EQ(allMatches(Json, R"re("fullname": "(Go)")re").size(), 1u);
    EXPECT_EQ(allMatches(Json, R"re("fieldflags": (49152))re").size(), 3u);
    EXPECT_EQ(allMatches(Json, R"re("fieldflags": (65536))re").size(), 1u);
    EXPECT_EQ(allMatches(Json, R"re("value": "(/Mode2)")re").size(), 3u);
    const std::vector<std::string> Parents = allMatches(Json, R"re("parent": "(\d+ 0 R)")re");
    ASSERT_EQ(Parents.size(), 3u);
    EXPECT_TRUE(Parents[0] == Parents[1] && Parents[1] == Parents[2]);
    // Distinct on-states, one per button; only the checked one shows its own.
    EXPECT_EQ(allMatches(Pdf, R"re(/N << /(\w+) )re"), (std::vector<std::string> { "Mode1", "Mode2", "Mode3" }));
    EXPECT_EQ(allMatches(Pdf, R"re(/AS /(\w+))re"), (std::vector<std::string> { "Off", "Mode2", "Off" }));
    EXPECT_NE(Pdf.find("/MK <</CA (Start \\(now\\)) /BC [0 0 0 ]/BG [0.7529 0.7529 0.7529 ]>>"), std::string::npos);

    ASSERT_EQ(RunTool({ "pdftoppm", "-gray", "-r", "72", "-singlefile", File, Dir.file("form") }).Status, 0);
    const std::string Page = testsupport::ReadFile(Dir.file("form.pgm"));
    // Centres of the three buttons (842 - 710 = 132 from the top): only the checked one is dark.
    EXPECT_GT(greyAt(Page, 110, 132), 200);
    EXPECT_LT(greyAt(Page, 150, 132), 60);
    EXPECT_GT(greyAt(Page, 190, 132), 200);
    // The push button's silver face.
    EXPECT_NEAR(greyAt(Page, 104, 842 - 604), 192, 8);
}

TEST_F(FormTest, AProtectedFormStaysReadable)
{
    WritePdf(
        File, [](TPDFDocument& Doc) { Doc.SetProtectionEnabled(true); }, drawForm);
    EXPECT_EQ(RunTool({ "qpdf", "--check", File }).Status, 0) << RunTool({ "qpdf", "--check", File }).Output;
    const std::string Json = RunTool({ "qpdf", "--json", "--json-key=acroform", File }).Output;
    EXPECT_EQ(allMatches(Json, R"re("fullname": "(Mode|Go)")re").size(), 4u) << Json;
    // The hint, written as encrypted UTF-16 hex.
    EXPECT_NE(Json.find(R"re("alternativename": "Пуск")re"), std::string::npos);
}

TEST_F(FormTest, ExportValuesFollowTheGroupRules)
{
    WritePdf(File, nullptr, [](TPDFDocument& Doc) {
        auto* A = new TPDFRadioButton(Doc.CurrentPage, "Pick one");
        auto* B = new TPDFRadioButton(Doc.CurrentPage, "PICK ONE"); // the same group
        EXPECT_EQ(&A->RadioGroup(), &B->RadioGroup());
        EXPECT_EQ(A->GetExportValue(), "Pick_one1");
        A->SetExportValue("Pick one3"); // takes the value a third button would have been given
        auto* C = new TPDFRadioButton(Doc.CurrentPage, "Pick one");
        EXPECT_EQ((std::vector<std::string> { B->GetExportValue(), C->GetExportValue() }),
                  (std::vector<std::string> { "Pick_one2", "Pick_one4" }));
        auto expectRaise = [](const std::function<void()>& Call, const char* Text) {
            try {
                Call();
                ADD_FAILURE() << "no exception, expected " << Text;
            } catch (const TPDFException& E) {
                EXPECT_STREQ(E.what(), Text);
            }
        };
        expectRaise([&] { B->SetExportValue("pick_ONE3"); }, "In this radiogroup such exportvalue present");
        expectRaise([&] { B->SetExportValue(""); }, "Cannot set empty export value for radiobutton");
        EXPECT_EQ(B->GetExportValue(), "Pick_one2");
    });
}

/// A form field of the simplest kind, listed in the form, for the calculation order.
class TCalculatedField : public TPDFInputControl {
public:
    using TPDFInputControl::TPDFInputControl;
    void Paint() override {}
    void Save() override
    {
        TPDFDocument& Doc = OwnerPage().Document;
        Doc.StartObject(ObjectNumber);
        Doc.WriteText("/Type /Annot /Subtype /Widget /FT /Tx /T (" + Name + ") " + rectEntry());
        writeActions();
        Doc.WriteText(">>");
        Doc.CloseDictionary();
        Doc.CloseObject();
    }
};

TEST_F(FormTest, ADeletedControlLeavesItsGroupAndTheForm)
{
    const std::string Pdf = WritePdf(File, nullptr, [](TPDFDocument& Doc) {
        delete new TPDFRadioButton(Doc.CurrentPage, "Mode");
        auto* Kept = new TPDFRadioButton(Doc.CurrentPage, "Mode");
        place(*Kept, 10, 10, 30, 30);
        delete new TPDFRadioButton(Doc.CurrentPage, "Mode");
        EXPECT_EQ(Kept->RadioGroup().Controls.Count(), 1);
        delete new TCalculatedField(Doc.CurrentPage, "Sum");
        EXPECT_EQ(Doc.AcroForm().Controls.Count(), 0);
    });
    EXPECT_EQ(RunTool({ "qpdf", "--check", File }).Status, 0) << RunTool({ "qpdf", "--check", File }).Output;
    // The group keeps its one remaining kid.
    EXPECT_EQ(allMatches(Pdf, R"re(/Kids \[(\d+ 0 R )\])re").size(), 1u) << Pdf;
}

TEST_F(FormTest, ControlActionsHaveTheirOwnKeysAndCalculatedFieldsAreReferenced)
{
    const std::string Pdf = WritePdf(File, nullptr, [](TPDFDocument& Doc) {
        auto* B = new TPDFButton(Doc.CurrentPage, "B");
        place(*B, 10, 10, 60, 30);
        B->BackgroundColor = 0xFFFFFF; // a highlight of white stays white
        auto url = [](const char* U) {
            auto* A = new TPDFURLAction;
            A->SetURL(U);
            return A;
        };
        B->OnActivate = url("http://a/");
        B->OnMouseEnter = url("http://e/");
        B->OnMouseExit = url("http://x/");
        B->OnMouseDown = url("http://d/");
        B->OnLostFocus = url("http://bl/");
        B->OnSetFocus = url("http://fo/");
        auto* R = new TPDFRadioButton(Doc.CurrentPage, "R");
        place(*R, 10, 40, 30, 60);
        R->OnKeyPress = url("http://k/");
        R->OnFormat = url("http://f/");
        R->OnValidate = url("http://v/");
        R->OnCalculate = B->OnActivate; // shared: written once
        auto* F = new TCalculatedField(Doc.CurrentPage, "Sum");
        place(*F, 10, 70, 60, 90);
        F->OnCalculate = url("http://c/");
    });
    EXPECT_EQ(RunTool({ "qpdf", "--check", File }).Status, 0) << RunTool({ "qpdf", "--check", File }).Output;
    EXPECT_TRUE(std::regex_search(
        Pdf, std::regex(R"re(/A \d+ 0 R\r\n/AA <</E \d+ 0 R /X \d+ 0 R /D \d+ 0 R /Bl \d+ 0 R /Fo \d+ 0 R >>)re")))
        << Pdf;
    EXPECT_TRUE(std::regex_search(Pdf, std::regex(R"re(/AA <</K \d+ 0 R /F \d+ 0 R /V \d+ 0 R /C \d+ 0 R >>)re")));
    EXPECT_EQ(allMatches(Pdf, R"re(/URI \((http://a/)\))re").size(), 1u);
    std::smatch Field, Co;
    ASSERT_TRUE(
        std::regex_search(Pdf, Field, std::regex(R"re((\d+) 0 obj\r\n<</Type /Annot /Subtype /Widget /FT /Tx)re")));
    ASSERT_TRUE(std::regex_search(Pdf, Co, std::regex(R"re(/CO \[(.*)\])re")));
    EXPECT_EQ(Co[1], Field[1].str() + " 0 R ");
    // The button's bevel: 1.4 times white is written as white.
    EXPECT_NE(Pdf.find("\r\n1 1 1 RG\r\n"), std::string::npos);
    EXPECT_EQ(Pdf.find("1.4 1.4 1.4"), std::string::npos);
}

} // namespace
