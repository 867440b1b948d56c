//===- outline_test.cpp - The outline tree: links, deletion, and what readers find in the file ===//
#include "tests/pdf/PdfTestSupport.h"

#include "tests/support/TestSupport.h"

#include "pdf/TPDFActions.h"
#include "pdf/TPDFDocument.h"
#include "pdf/TPDFOutlines.h"

#include <gtest/gtest.h>

#include <regex>

using namespace pdftest;

namespace {

class OutlineTest : public ::testing::Test {
protected:
    testsupport::TempDir Dir;
    std::string File = Dir.file("outline.pdf");
};

TEST_F(OutlineTest, DeletingAnEntryLinksItsOwnSiblings)
{
    TPDFDocument Doc(nullptr);
    TPDFOutlines& O = Doc.Outlines();
    TPDFOutlineEntry* A = O.Add(nullptr, "A");
    TPDFOutlineEntry* B = O.Add(nullptr, "B");
    O.Add(B, "B1");
    O.Add(B, "B2");
    TPDFOutlineEntry* C = O.Add(nullptr, "C");
    ASSERT_EQ(O.Count(), 5);
    // B's neighbours in the list are its own children; its siblings are A and C.
    B->Delete();
    EXPECT_EQ(O.Count(), 2);
    EXPECT_EQ(A->Next(), C);
    EXPECT_EQ(C->Prev(), A);
    C->Delete();
    EXPECT_EQ(A->Next(), nullptr);
    O.Clear();
    EXPECT_EQ(O.Count(), 0);
}

TEST_F(OutlineTest, ReadersFindTheTreeWithTitlesCountsAndStyles)
{
    const std::string Pdf = WritePdf(
        File, [](TPDFDocument& Doc) { Doc.SetVersion(v14); },
        [](TPDFDocument& Doc) {
            TPDFOutlines& O = Doc.Outlines();
            TPDFOutlineEntry* Run = O.Add(nullptr, "Run (1)");
            Run->Color = 0x0000FF; // red
            Run->Style = 3;
            for (const char* T : { "Energy", "Histogram", "Limits" })
                O.Add(Run, T);
            O.Add(nullptr, "Settings")->Opened = true;
        });
    ASSERT_EQ(RunTool({ "qpdf", "--check", File }).Status, 0);
    const ToolResult Json = RunTool({ "qpdf", "--json", "--json-key=outlines", File });
    const std::string& J = Json.Output;
    for (const char* T : { "Run (1)", "Energy", "Histogram", "Limits", "Settings" })
        EXPECT_NE(J.find(std::string("\"title\": \"") + T + "\""), std::string::npos) << T << J;
    // qpdf lists an entry's kids before its title: the children, in order, then their parent.
    EXPECT_LT(J.find("Energy"), J.find("Histogram"));
    EXPECT_LT(J.find("Limits"), J.find("Run (1)"));
    EXPECT_LT(J.find("Run (1)"), J.find("Settings"));
    EXPECT_NE(J.find("\"open\": false"), std::string::npos);
    EXPECT_NE(Pdf.find("/Count -3\r\n"), std::string::npos);
    EXPECT_NE(Pdf.find("/C [1 0 0 ]\r\n/F 3\r\n"), std::string::npos);
    EXPECT_NE(Pdf.find("/Type /Outlines\r\n/Count 5\r\n"), std::string::npos);
    EXPECT_TRUE(std::regex_search(Pdf, std::regex("/Outlines \\d+ 0 R\r\n")));
}

TEST_F(OutlineTest, ColourAndStyleNeedVersion14AndNoEntriesMeanNoOutlines)
{
    std::string Pdf = WritePdf(File, nullptr, [](TPDFDocument& Doc) {
        TPDFOutlineEntry* E = Doc.Outlines().Add(nullptr, "Plain");
        E->Color = 0xFF;
        E->Style = 1;
    });
    EXPECT_EQ(Pdf.find("/C ["), std::string::npos);
    EXPECT_EQ(Pdf.find("/F "), std::string::npos);
    Pdf = WritePdf(File, nullptr);
    EXPECT_EQ(Pdf.find("/Outlines"), std::string::npos);
}

TEST_F(OutlineTest, ProtectedTitlesAreEncryptedLiteralOrHexStrings)
{
    const std::string Pdf = WritePdf(
        File, [](TPDFDocument& Doc) { Doc.SetProtectionEnabled(true); },
        [](TPDFDocument& Doc) {
            Doc.Outlines().Add(nullptr, "Secret chapter");
            Doc.Outlines().Add(nullptr, "\xC6")->Charset = 204; // Cyrillic, written as UTF-16
        });
    EXPECT_EQ(Pdf.find("Secret"), std::string::npos);
    EXPECT_EQ(Pdf.find("FEFF"), std::string::npos);
    const ToolResult Json = RunTool({ "qpdf", "--json", "--json-key=outlines", File });
    EXPECT_NE(Json.Output.find("\"title\": \"Secret chapter\""), std::string::npos) << Json.Output;
    EXPECT_NE(Json.Output.find("\"title\": \"\xD0\x96\""), std::string::npos) << Json.Output; // U+0416 in UTF-8
}

TEST_F(OutlineTest, AnEntrysActionIsWrittenAndReferredToByA)
{
    const std::string Pdf = WritePdf(File, nullptr, [](TPDFDocument& Doc) {
        auto* Go = new TPDFURLAction; // the document takes it when it ends
        Go->SetURL("http://a.org/report");
        Doc.Outlines().Add(nullptr, "Web")->Action = Go;
        Doc.Outlines().Add(nullptr, "Plain");
    });
    ASSERT_EQ(RunTool({ "qpdf", "--check", File }).Status, 0);
    std::smatch A;
    ASSERT_TRUE(std::regex_search(
        Pdf, A, std::regex("/Title \\(Web\\)\r\n/Parent \\d+ 0 R\r\n/Next \\d+ 0 R\r\n/A (\\d+) 0 R\r\n>>")))
        << Pdf;
    EXPECT_NE(ObjectText(Pdf, std::stoi(A[1])).find("/URI (http://a.org/report)"), std::string::npos);
    EXPECT_EQ(std::regex_search(Pdf, std::regex("/Title \\(Plain\\)[^>]*/A ")), false);
}

} // namespace
