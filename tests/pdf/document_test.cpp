//===- document_test.cpp - Document structure, cross-reference table, life cycle and output modes ===//
#include "tests/pdf/PdfTestSupport.h"

#include "tests/support/TestSupport.h"

#include "pdf/TPDFDocInfo.h"
#include "pdf/TPDFDocument.h"
#include "pdf/TPDFException.h"
#include "pdf/TPDFJSFList.h"
#include "pdf/TPDFPage.h"

#include "platform/kernel/ShellExecute.h"
#include "platform/rtl/TStream.h"
#include "platform/ui/graphics/TMetafile.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <regex>

using namespace pdftest;

namespace {

class DocumentTest : public ::testing::Test {
protected:
    testsupport::TempDir Dir;
    std::string File = Dir.file("doc.pdf");
};

TEST_F(DocumentTest, AnEmptyPageIsACompleteA4Document)
{
    const std::string Pdf = WritePdf(File, nullptr);
    EXPECT_EQ(RunTool({ "qpdf", "--check", File }).Status, 0) << RunTool({ "qpdf", "--check", File }).Output;
    const ToolResult Info = RunTool({ "pdfinfo", File });
    EXPECT_TRUE(std::regex_search(Info.Output, std::regex("Pages: +1\n"))) << Info.Output;
    EXPECT_TRUE(std::regex_search(Info.Output, std::regex("Page size: +595 x 842 pts \\(A4\\)"))) << Info.Output;
    EXPECT_EQ(Pdf.substr(0, 17), "%PDF-1.3\r\n%\xD2\xE5\xD1\xF2\r\n");
    EXPECT_NE(ObjectText(Pdf, 1).find("/Type /Pages\r\n/Kids [\r\n2 0 R\r\n]\r\n/Count 1\r\n"), std::string::npos);
    // The page's content: its own "q" and the closing "Q".
    EXPECT_NE(Pdf.find("/Length 6\r\n>>\r\nstream\r\nq\r\nQ\r\n"), std::string::npos);
}

TEST_F(DocumentTest, EveryCrossReferenceEntryIsTwentyBytesAndPointsAtItsObject)
{
    const std::string Pdf = WritePdf(File, nullptr, [](TPDFDocument& Doc) {
        Doc.NewObjectNumber(); // reserved and never written: a free entry
    });
    const size_t Xref = Pdf.rfind("\r\nxref\r\n") + 2;
    const std::vector<std::string> Lines = CrLfLines(Pdf.substr(Xref));
    const int Count = std::stoi(Lines[1].substr(2));
    EXPECT_EQ(Lines[2], "0000000000 65535 f");
    int Free = 0;
    for (int N = 1; N < Count; ++N) {
        const std::string& E = Lines[2 + N];
        ASSERT_EQ(E.size() + 2, 20u) << E;
        if (E.ends_with(" f")) {
            EXPECT_EQ(E, "0000000000 00001 f");
            ++Free;
            continue;
        }
        EXPECT_EQ(Pdf.compare(std::stoul(E.substr(0, 10)), std::to_string(N).size() + 6, std::to_string(N) + " 0 obj"),
                  0)
            << "object " << N;
    }
    EXPECT_EQ(Free, 1);
    EXPECT_EQ(Pdf.substr(Pdf.rfind("startxref\r\n") + 11), std::to_string(Xref) + "\r\n%%EOF\r\n");
    EXPECT_EQ(RunTool({ "qpdf", "--check", File }).Status, 0);
}

TEST_F(DocumentTest, InformationCatalogAndTrailerCarryTheSettings)
{
    const std::string Pdf = WritePdf(File, [](TPDFDocument& Doc) {
        Doc.DocumentInfo().Title = "Run (3)";
        Doc.PageLayout = plTwoColumnLeft;
        Doc.PageMode = pmUseThumbs;
        Doc.ViewerPreferences = { vpHideMenuBar, vpCenterWindow };
    });
    const std::string Info = ObjectText(Pdf, 3); // after the page tree and the page
    EXPECT_NE(Info.find("/Title (Run \\(3\\))\r\n"), std::string::npos) << Info;
    EXPECT_NE(Info.find("/Keywords ()\r\n"), std::string::npos);
    EXPECT_NE(Info.find("/CreationDate (D:20260314150926)\r\n"), std::string::npos);
    EXPECT_NE(Pdf.find("/Type /Catalog\r\n /Pages 1 0 R\r\n/PageLayout /TwoColumnLeft\r\n/ViewerPreferences <<\r\n"
                       "/HideMenubar true\r\n/CenterWindow true\r\n>>\r\n/PageMode /UseThumbs\r\n>>"),
              std::string::npos);
    const std::smatch Id = [&] {
        std::smatch M;
        std::regex_search(Pdf, M, std::regex("/ID \\[<([0-9a-f]{32})><([0-9a-f]{32})>\\]"));
        return M;
    }();
    ASSERT_EQ(Id.size(), 3u);
    EXPECT_EQ(Id[1], Id[2]);
    EXPECT_EQ(RunTool({ "pdfinfo", File }).Output.find("Title:           Run (3)") != std::string::npos, true);
}

TEST_F(DocumentTest, OnePassWritesThePageBeforeTheInformation)
{
    const std::string Pdf = WritePdf(File, [](TPDFDocument& Doc) { Doc.SetOnePass(true); });
    EXPECT_LT(Pdf.find("/Type /Page\r\n"), Pdf.find("/Producer ("));
    EXPECT_EQ(RunTool({ "qpdf", "--check", File }).Status, 0);
}

TEST_F(DocumentTest, FlateContentIsReadBackByQpdf)
{
    const std::string Pdf = WritePdf(
        File, [](TPDFDocument& Doc) { Doc.Compression = ctFlate; },
        [](TPDFDocument& Doc) { Doc.CurrentPage->Rectangle(72, 72, 144, 144); });
    EXPECT_EQ(RunTool({ "qpdf", "--check", File }).Status, 0);
    std::smatch Contents;
    ASSERT_TRUE(std::regex_search(Pdf, Contents, std::regex("/Contents \\[(\\d+) 0 R\\]")));
    const ToolResult Plain = RunTool({ "qpdf", "--show-object=" + Contents[1].str(), "--filtered-stream-data", File });
    EXPECT_EQ(Plain.Output, "q\r\n72 770 72 -72 re\r\nQ\r\n");
}

TEST_F(DocumentTest, VersionAndKeyLengthFollowEachOther)
{
    TPDFDocument Doc(nullptr);
    EXPECT_EQ(Doc.GetVersion(), v13);
    Doc.SetProtectionKeyLength(kl128);
    EXPECT_EQ(Doc.GetVersion(), v14);
    Doc.SetVersion(v13);
    EXPECT_EQ(Doc.GetProtectionKeyLength(), kl40);
    Doc.SetProtectionKeyLength(kl128);
    Doc.SetFileName(File);
    Doc.BeginDoc();
    // 1.3 cannot carry the 128-bit key already derived for this file.
    EXPECT_THROW(Doc.SetVersion(v13), TPDFException);
    EXPECT_EQ(Doc.GetVersion(), v14);
    Doc.EndDoc();
    EXPECT_EQ(testsupport::ReadFile(File).substr(0, 8), "%PDF-1.4");
}

TEST_F(DocumentTest, GuardedSettersRefuseWhileGenerating)
{
    TPDFDocument Doc(nullptr);
    Doc.SetFileName(File);
    Doc.BeginDoc();
    auto message = [](const std::function<void()>& F) {
        try {
            F();
        } catch (const TPDFException& E) {
            return E.Message();
        }
        return std::string("no exception");
    };
    EXPECT_EQ(message([&] { Doc.SetFileName("x.pdf"); }), SGenerationInProgress);
    EXPECT_EQ(message([&] { Doc.SetProtectionEnabled(true); }), SGenerationInProgress);
    EXPECT_EQ(message([&] { Doc.SetUserPassword("u"); }), SGenerationInProgress);
    EXPECT_EQ(message([&] { Doc.SetOnePass(true); }), SGenerationInProgress);
    EXPECT_EQ(message([&] { Doc.SetUseScreenDC(false); }), SGenerationInProgress);
    EXPECT_EQ(message([&] { Doc.SetProtectionKeyLength(kl128); }), SCannotChangeValue);
    EXPECT_EQ(message([&] { Doc.SetEmulateStandardFont(true); }), SCannotChangeValue);
    EXPECT_EQ(message([&] { Doc.BeginDoc(); }), SGenerationInProgress);
    // The same value again is no change.
    EXPECT_EQ(message([&] { Doc.SetUseScreenDC(true); }), "no exception");
    EXPECT_EQ(message([&] { Doc.SetEmulateStandardFont(false); }), "no exception");
    EXPECT_EQ(Doc.GetFileName(), File);
    Doc.EndDoc();
    EXPECT_EQ(message([&] { Doc.EndDoc(); }), SGenerationNotActivated);
    EXPECT_EQ(message([&] { Doc.Abort(); }), SGenerationNotActivated);
}

TEST_F(DocumentTest, AFileThatCannotBeCreatedLeavesTheDocumentIdle)
{
    TPDFDocument Doc(nullptr);
    Doc.SetFileName(Dir.file("missing/doc.pdf"));
    EXPECT_THROW(Doc.BeginDoc(), EFCreateError);
    EXPECT_FALSE(Doc.Generating());
    EXPECT_EQ(Doc.CurrentPage, nullptr);
    Doc.SetFileName(File);
    Doc.BeginDoc();
    Doc.EndDoc();
    EXPECT_EQ(RunTool({ "qpdf", "--check", File }).Status, 0);
}

TEST_F(DocumentTest, StartObjectRefusesANumberNeverHandedOut)
{
    TPDFDocument Doc(nullptr);
    Doc.SetFileName(File);
    Doc.BeginDoc();
    int32_t Number = 99;
    EXPECT_THROW(Doc.StartObject(Number), TPDFException);
    Doc.EndDoc();
    // The refused object left no offset behind: the table stays clean.
    EXPECT_EQ(RunTool({ "qpdf", "--check", File }).Status, 0);
}

TEST_F(DocumentTest, AbortRemovesTheFileButNeverTouchesACallersStream)
{
    TPDFDocument Doc(nullptr);
    Doc.SetFileName(File);
    Doc.BeginDoc();
    EXPECT_TRUE(std::filesystem::exists(File));
    Doc.Abort();
    EXPECT_FALSE(std::filesystem::exists(File));
    EXPECT_FALSE(Doc.Generating());

    TMemoryStream Target;
    Target.WriteBuffer("keep", 4);
    Doc.OutputStream = &Target;
    Doc.BeginDoc();
    Doc.Abort();
    EXPECT_EQ(Target.GetSize(), 4);
}

TEST_F(DocumentTest, OutputStreamReceivesTheFileAndNothingIsOpened)
{
    int Opened = 0;
    std::string OpenedFile;
    const ShellExecuteHook Old =
        SetShellExecuteHook([&](const std::string&, const std::string& F, const std::string&, int) {
            ++Opened;
            OpenedFile = F;
            return uintptr_t(42);
        });
    TMemoryStream Target;
    Target.WriteBuffer("head", 4);
    {
        TPDFDocument Doc(nullptr);
        Doc.AutoLaunch = true;
        Doc.OutputStream = &Target;
        Doc.BeginDoc();
        Doc.EndDoc();
    }
    EXPECT_EQ(Opened, 0);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(Target.Memory()) + 4, 8), "%PDF-1.3");
    WritePdf(File, [](TPDFDocument& Doc) { Doc.AutoLaunch = true; });
    EXPECT_EQ(Opened, 1);
    EXPECT_EQ(OpenedFile, File);
    SetShellExecuteHook(Old);
}

TEST_F(DocumentTest, JavaScriptNamesAndFunctionsAreWritten)
{
    WritePdf(File, nullptr, [](TPDFDocument& Doc) { Doc.JSFunctions().Add("Check", "a", "return (a);"); });
    EXPECT_EQ(RunTool({ "qpdf", "--check", File }).Status, 0);
    const ToolResult Json = RunTool({ "qpdf", "--json", "--json-key=qpdf", File });
    EXPECT_NE(Json.Output.find("u:function Check(a){return (a);}"), std::string::npos) << Json.Output;
}

} // namespace

namespace {

TEST(DocumentDeterminism, TheSameBytesUnderTheCAndACommaDecimalLocale)
{
    testsupport::TempDir Dir;
    const std::string Writer = testsupport::BinDir() + "/pdf_sample_writer";
    // The same name both times: the file's ID is made from it.
    const std::string File = Dir.file("sample.pdf");
    const ToolResult C = RunTool({ "env", "LC_ALL=C", Writer, File });
    ASSERT_EQ(C.Status, 0) << C.Output;
    const std::string A = testsupport::ReadFile(File);
    const ToolResult De = RunTool({ "env", "LC_ALL=de_DE.UTF-8", Writer, File });
    ASSERT_EQ(De.Status, 0) << De.Output;
    if (De.Output != ",\n")
        GTEST_SKIP() << "de_DE.UTF-8 is not installed (scripts/install-deps generates it)";
    EXPECT_FALSE(A.empty());
    EXPECT_EQ(A, testsupport::ReadFile(File));
    EXPECT_EQ(RunTool({ "qpdf", "--check", "--password=u", File }).Status, 0);
}

} // namespace
