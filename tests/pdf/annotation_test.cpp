//===- annotation_test.cpp - Link annotations, URI actions and the document's action list ===//
#include "tests/pdf/PdfTestSupport.h"

#include "tests/support/TestSupport.h"

#include "pdf/TPDFActions.h"
#include "pdf/TPDFAnnotations.h"
#include "pdf/TPDFDocument.h"
#include "pdf/TPDFException.h"
#include "pdf/TPDFPage.h"

#include "platform/ui/controls/UiTypes.h"

#include <gtest/gtest.h>

#include <array>
#include <functional>
#include <regex>

using namespace pdftest;

namespace {

class AnnotationTest : public ::testing::Test {
protected:
    testsupport::TempDir Dir;
    std::string File = Dir.file("links.pdf");
};

int countOf(const std::string& Text, const std::string& Pattern)
{
    int N = 0;
    for (size_t At = Text.find(Pattern); At != std::string::npos; At = Text.find(Pattern, At + 1))
        ++N;
    return N;
}

TEST_F(AnnotationTest, AnAddressInPageTextBecomesOneBorderlessYellowLink)
{
    const std::string Pdf = WritePdf(
        File, nullptr, [](TPDFDocument& Doc) { Doc.CurrentPage->TextOut(100, 80, 0, "see http://a.org/x(y)"); });
    EXPECT_EQ(RunTool({ "qpdf", "--check", File }).Status, 0) << RunTool({ "qpdf", "--check", File }).Output;
    EXPECT_EQ(countOf(Pdf, "/Subtype /Link"), 1);
    EXPECT_TRUE(std::regex_search(
        Pdf, std::regex("/Type /Annot\r\n/Subtype /Link\r\n/Border \\[\\]\r\n/F 0\r\n/C \\[1 1 0 \\]\r\n"
                        "/Rect \\[1\\d\\d 7\\d\\d \\d+ 7\\d\\d\\]\r\n/A \\d+ 0 R\r\n>>")))
        << Pdf;
    EXPECT_NE(Pdf.find("/S /URI /URI (http://a.org/x\\(y\\))\r\n"), std::string::npos);
    const ToolResult Json = RunTool({ "qpdf", "--json", File });
    EXPECT_TRUE(std::regex_search(Json.Output, std::regex(R"("/Annots": \[\s*"\d+ 0 R")"))) << Json.Output;
}

TEST_F(AnnotationTest, AReversedRectangleGivesTheNormalisedOne)
{
    const TRect Rows[] = { { 10, 20, 30, 40 }, { 30, 20, 10, 40 }, { 10, 40, 30, 20 }, { 30, 40, 10, 20 } };
    WritePdf(File, nullptr, [&](TPDFDocument& Doc) {
        for (const TRect& R : Rows) {
            auto* Link = new TPDFActionAnnotation(Doc.CurrentPage);
            Link->SetRect(R);
            EXPECT_EQ((std::array { Link->Left, Link->Bottom, Link->Right, Link->Top }),
                      (std::array { 10, 802, 30, 822 }))
                << R.Left << "," << R.Top << "," << R.Right << "," << R.Bottom;
        }
    });
}

TEST_F(AnnotationTest, ALinkWithoutActionHasNoActionEntry)
{
    const std::string Pdf = WritePdf(File, nullptr, [](TPDFDocument& Doc) {
        auto* Link = new TPDFActionAnnotation(Doc.CurrentPage);
        Link->Flags = { afPrint, afReadOnly };
        Link->Color = 0xFF0000; // blue
    });
    EXPECT_NE(Pdf.find("/F 68\r\n/C [0 0 1 ]\r\n/Rect [0 0 0 0]\r\n>>"), std::string::npos) << Pdf;
    EXPECT_EQ(RunTool({ "qpdf", "--check", File }).Status, 0);
}

TEST_F(AnnotationTest, AnActionRegisteredTwiceIsWrittenOnceAndItsFollowUpWithIt)
{
    const std::string Pdf = WritePdf(File, nullptr, [](TPDFDocument& Doc) {
        TPDFActionAnnotation* First = Doc.CurrentPage->CreateURLLink({ 0, 0, 10, 10 }, "http://a.org/");
        auto* Second = new TPDFActionAnnotation(Doc.CurrentPage);
        Second->SetAction(First->GetAction());
        auto* Next = new TPDFURLAction;
        Next->SetURL("ftp://b.org/");
        First->GetAction()->Next = Next; // the document takes it over at the end
        Doc.OpenAction = Next;
    });
    EXPECT_EQ(RunTool({ "qpdf", "--check", File }).Status, 0) << RunTool({ "qpdf", "--check", File }).Output;
    EXPECT_EQ(countOf(Pdf, "/URI (http://a.org/)"), 1);
    EXPECT_EQ(countOf(Pdf, "/URI (ftp://b.org/)"), 1);
    std::smatch A, Next, Open;
    ASSERT_TRUE(std::regex_search(Pdf, A, std::regex("/A (\\d+) 0 R\r\n>>")));
    EXPECT_EQ(countOf(Pdf, A.str(0)), 2);
    ASSERT_TRUE(std::regex_search(Pdf, Next, std::regex("/Next (\\d+) 0 R")));
    ASSERT_TRUE(std::regex_search(Pdf, Open, std::regex("/OpenAction (\\d+) 0 R")));
    EXPECT_EQ(Next[1], Open[1]);
    EXPECT_NE(ObjectText(Pdf, std::stoi(Next[1])).find("/URI (ftp://b.org/)"), std::string::npos);
}

TEST_F(AnnotationTest, AProtectedFileShowsTheAddressOnceDecrypted)
{
    WritePdf(
        File, [](TPDFDocument& Doc) { Doc.SetProtectionEnabled(true); },
        [](TPDFDocument& Doc) { Doc.CurrentPage->TextOut(100, 80, 0, "see http://a.org/x(y)"); });
    EXPECT_EQ(testsupport::ReadFile(File).find("a.org"), std::string::npos);
    const std::string Plain = Dir.file("plain.pdf");
    ASSERT_EQ(RunTool({ "qpdf", "--decrypt", File, Plain }).Status, 0);
    const ToolResult Json = RunTool({ "qpdf", "--json", Plain });
    EXPECT_NE(Json.Output.find("\"/URI\": \"u:http://a.org/x(y)\""), std::string::npos) << Json.Output;
}

TEST_F(AnnotationTest, MisuseRaisesTheWritersTexts)
{
    TPDFDocument Idle(nullptr);
    TPDFURLAction Action;
    const std::pair<std::function<void()>, const char*> Rows[] = {
        { [] { TPDFActionAnnotation A(nullptr); }, "Annotation must have TPDFPage as owner" },
        { [&] { Action.SetURL(""); }, "URL cannot be empty" },
        { [&] { Idle.RegisterAction(&Action); }, "Generation PDF file not activated" },
        { [&] {
             TPDFPage Watermark(Idle);
             Watermark.IsForm = true;
             Watermark.CreateURLLink({ 0, 0, 10, 10 }, "http://a.org/");
         },
          "Cannot create URL to watermark" },
    };
    for (const auto& [Call, Text] : Rows) {
        try {
            Call();
            ADD_FAILURE() << "no exception, expected " << Text;
        } catch (const TPDFException& E) {
            EXPECT_STREQ(E.what(), Text);
        }
    }
}

} // namespace
