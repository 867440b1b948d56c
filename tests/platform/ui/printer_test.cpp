//===- printer_test.cpp - The printer object: its list, contexts, jobs and the PDF file printer ===//
//
// The PDF file printer stands in for paper: what it writes is read back with qpdf (structure),
// pdftotext (the words) and pdftoppm (the picture), programs that know nothing of ours.
//
#include "tests/platform/ui/MetafileTestSupport.h"
#include "tests/platform/ui/UiFixture.h"

#include "tests/support/TestSupport.h"

#include "platform/gdi/Gdi.h"
#include "platform/ui/printing/Printers.h"
#include "platform/ui/printing/Printers_p.h"
#include "platform/ui/graphics/TCanvas.h"
#include "platform/ui/graphics/TMetafile.h"

#include <gtest/gtest.h>

#include <QPrinter>

#include <sys/stat.h>
#include <unistd.h>

#include <cmath>
#include <fstream>

using namespace metatest;

// Qt's font database, which lays the printed words over the page, keeps fontconfig's parsed
// configuration for the process's life; the class library never tears the Qt application
// down, so the leak checker sees those allocations as lost at exit.
extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig.so\n"; }

namespace {

bool haveTool(const char* Path) { return access(Path, X_OK) == 0; }

/// A field of pdfinfo's report ("Title:     run 17" gives "run 17").
std::string infoField(const std::string& Info, const std::string& Name)
{
    const size_t At = Info.find(Name + ":");
    if (At == std::string::npos)
        return "";
    const size_t Start = Info.find_first_not_of(' ', At + Name.size() + 1);
    return Info.substr(Start, Info.find('\n', Start) - Start);
}

bool fileExists(const std::string& Path)
{
    struct stat St;
    return stat(Path.c_str(), &St) == 0;
}

/// Every test starts from a known list: no system printers, and the PDF file printer only where
/// the test names its file.
class PrinterTest : public UiTest {
protected:
    void SetUp() override
    {
        UiTest::SetUp();
        TPrinter::SetSystemPrinters(false);
        TPrinter::SetPrintToFile("");
    }
    void TearDown() override
    {
        TPrinter::SetPrintToFile("");
        TPrinter::SetSystemPrinters(true);
        UiTest::TearDown();
    }

    std::string usePdf(const std::string& Name, int Dpi = 100)
    {
        const std::string Path = Dir.file(Name);
        TPrinter::SetPrintToFile(Path, Dpi);
        return Path;
    }

    static std::string pdfText(const std::string& Path)
    {
        return commandOutput("/usr/bin/pdftotext -layout '" + Path + "' - 2>/dev/null");
    }
    static int pageCount(const std::string& Path)
    {
        int Status = 0;
        const std::string Out = commandOutput("/usr/bin/qpdf --show-npages '" + Path + "' 2>/dev/null", &Status);
        return Status == 0 ? std::atoi(Out.c_str()) : -1;
    }
    static void expectSoundPdf(const std::string& Path)
    {
        int Status = -1;
        const std::string Report = commandOutput("/usr/bin/qpdf --check '" + Path + "' 2>&1", &Status);
        EXPECT_EQ(Status, 0) << Report;
    }

    testsupport::TempDir Dir;
};

/// The report's kind of page: a frame, a title and a filled block.
std::unique_ptr<TMetafile> reportMetafile(const std::string& Title)
{
    return recordMetafile(600, 1000, [&](TCanvas& C) {
        C.GetPen()->SetColor(clBlack);
        C.Rectangle(0, 0, 600, 1000);
        C.GetFont()->SetName("Arial");
        C.GetFont()->SetSize(14);
        C.GetFont()->SetStyle(TFontStyles { fsBold });
        C.TextOut(40, 10, Title);
        C.GetFont()->SetSize(9);
        C.GetFont()->SetStyle(TFontStyles {});
        C.TextOut(40, 60, "Mean Energy : 84.37 \xB5J");
        C.GetBrush()->SetColor(clBlack);
        C.Rectangle(100, 300, 500, 700);
    });
}

} // namespace

// --- Without a printer

TEST_F(PrinterTest, WithoutAPrinterLookingIsQuietAndPrintingRaises)
{
    TPrinter P;
    EXPECT_EQ(P.GetPrinters().Count(), 0);
    EXPECT_EQ(P.GetPrinterIndex(), -1);
    EXPECT_EQ(P.GetHandle(), nullptr);
    EXPECT_EQ(P.GetPageWidth(), 0);
    EXPECT_EQ(P.GetPageHeight(), 0);
    P.SetOrientation(poLandscape);
    P.SetPrinterIndex(-1);
    EXPECT_FALSE(P.GetPrinting());

    auto ExpectPrinterError = [](auto Call, const char* Text) {
        try {
            Call();
            ADD_FAILURE() << "no exception; expected " << Text;
        } catch (const EPrinter& E) {
            EXPECT_EQ(E.Message(), Text);
        }
    };
    ExpectPrinterError([&] { P.BeginDoc(); }, "Printer selected is not valid");
    ExpectPrinterError([&] { P.GetCanvas()->Rectangle(0, 0, 10, 10); }, "Printer selected is not valid");
    ExpectPrinterError([&] { P.SetPrinterIndex(0); }, "Printer index out of range");
    ExpectPrinterError([&] { P.EndDoc(); }, "Printer is not currently printing");
    ExpectPrinterError([&] { P.NewPage(); }, "Printer is not currently printing");
    ExpectPrinterError([&] { P.Abort(); }, "Printer is not currently printing");
    EXPECT_FALSE(P.GetPrinting());

    uint32_t Needed = 99, Returned = 99;
    EXPECT_TRUE(EnumPrintersA(PRINTER_ENUM_LOCAL, nullptr, 4, nullptr, 0, &Needed, &Returned));
    EXPECT_EQ(Needed, 0u);
    EXPECT_EQ(Returned, 0u);
    EXPECT_EQ(CreateICA("", "PDF file", nullptr, nullptr), nullptr);
}

// --- The list and the contexts

TEST_F(PrinterTest, ThePdfFilePrinterIsListedFirstAsTheDefault)
{
    TPrinter P;
    EXPECT_EQ(P.GetPrinters().Count(), 0);
    usePdf("listed.pdf");
    // The printer object notices the change without a Refresh.
    ASSERT_EQ(P.GetPrinters().Count(), 1);
    EXPECT_EQ(P.GetPrinters()[0], "PDF file");
    EXPECT_EQ(P.GetPrinterIndex(), 0);
    TPrinter::SetPrintToFile("");
    EXPECT_EQ(P.GetPrinters().Count(), 0);
    EXPECT_EQ(P.GetPrinterIndex(), -1);
}

TEST_F(PrinterTest, InformationContextAnswersThePrintersResolutionAndPaper)
{
    usePdf("caps.pdf", 300);
    TPrinter P;
    HDC Dc = P.GetHandle();
    ASSERT_NE(Dc, nullptr);
    EXPECT_EQ(GetDeviceCaps(Dc, TECHNOLOGY), DT_RASPRINTER);
    EXPECT_EQ(GetDeviceCaps(Dc, LOGPIXELSX), 300);
    EXPECT_EQ(GetDeviceCaps(Dc, LOGPIXELSY), 300);
    // A4 at 300 dpi is 2480 x 3508 pixels; Qt may cut the last fraction of a pixel.
    EXPECT_NEAR(GetDeviceCaps(Dc, HORZRES), 2480, 1);
    EXPECT_NEAR(GetDeviceCaps(Dc, VERTRES), 3508, 1);
    EXPECT_EQ(GetDeviceCaps(Dc, PHYSICALWIDTH), GetDeviceCaps(Dc, HORZRES)); // no margins on a file
    EXPECT_EQ(GetDeviceCaps(Dc, PHYSICALOFFSETX), 0);
    EXPECT_EQ(GetDeviceCaps(Dc, HORZSIZE), 210);
    EXPECT_EQ(P.GetPageWidth(), GetDeviceCaps(Dc, HORZRES));
    EXPECT_EQ(P.GetPageHeight(), GetDeviceCaps(Dc, VERTRES));

    P.SetOrientation(poLandscape);
    EXPECT_GT(P.GetPageWidth(), P.GetPageHeight());
    EXPECT_NEAR(P.GetPageWidth(), 3508, 1);
}

TEST_F(PrinterTest, SelectingThePrinterAgainGivesAFreshContext)
{
    usePdf("fresh.pdf");
    TPrinter P;
    HDC Old = P.GetHandle();
    ASSERT_NE(Old, nullptr);
    P.SetPrinterIndex(P.GetPrinterIndex());
    HDC New = P.GetHandle();
    ASSERT_NE(New, nullptr);
    EXPECT_NE(New, Old);
    EXPECT_EQ(GetObjectType(Old), 0u); // the old context is gone
    EXPECT_EQ(GetDeviceCaps(New, LOGPIXELSX), 100);
}

TEST_F(PrinterTest, EnumPrintersListsThePdfPrinterWithItsPort)
{
    usePdf("enum.pdf");
    for (uint32_t Level : { 4u, 5u }) {
        uint32_t Needed = 0, Returned = 0;
        EXPECT_FALSE(EnumPrintersA(PRINTER_ENUM_LOCAL, nullptr, Level, nullptr, 0, &Needed, &Returned));
        ASSERT_GT(Needed, 0u);
        std::vector<uint8_t> Buffer(Needed);
        EXPECT_FALSE(EnumPrintersA(PRINTER_ENUM_LOCAL, nullptr, Level, Buffer.data(), Needed - 1, &Needed, &Returned));
        ASSERT_TRUE(EnumPrintersA(PRINTER_ENUM_LOCAL, nullptr, Level, Buffer.data(), Needed, &Needed, &Returned));
        ASSERT_EQ(Returned, 1u);
        if (Level == 4) {
            const auto* Info = reinterpret_cast<const PRINTER_INFO_4A*>(Buffer.data());
            EXPECT_STREQ(Info->pPrinterName, "PDF file");
            EXPECT_EQ(Info->pServerName, nullptr);
            EXPECT_TRUE(Info->Attributes & PRINTER_ATTRIBUTE_DEFAULT);
        } else {
            const auto* Info = reinterpret_cast<const PRINTER_INFO_5A*>(Buffer.data());
            EXPECT_STREQ(Info->pPrinterName, "PDF file");
            EXPECT_STREQ(Info->pPortName, "FILE:");
        }
    }
    uint32_t Needed = 7;
    EXPECT_FALSE(EnumPrintersA(PRINTER_ENUM_LOCAL, nullptr, 2, nullptr, 0, &Needed, nullptr));
    EXPECT_EQ(Needed, 0u);

    HDC Ic = CreateICA("", "PDF file", "FILE:", nullptr);
    ASSERT_NE(Ic, nullptr);
    EXPECT_EQ(GetDeviceCaps(Ic, LOGPIXELSY), 100);
    EXPECT_TRUE(DeleteDC(Ic));
    HDC Display = CreateICA("DISPLAY", nullptr, nullptr, nullptr);
    ASSERT_NE(Display, nullptr);
    EXPECT_EQ(GetDeviceCaps(Display, LOGPIXELSX), 96);
    DeleteDC(Display);
}

TEST_F(PrinterTest, AMetafileRecordedOnThePrintersContextKeepsItsSize)
{
    usePdf("reference.pdf", 300);
    TPrinter P;
    TMetafile M;
    M.SetWidth(2480);
    M.SetHeight(3508);
    {
        TMetafileCanvas C(M, P.GetHandle());
        EXPECT_EQ(GetDeviceCaps(C.GetHandle(), LOGPIXELSX), 300);
        C.Rectangle(0, 0, 100, 100);
    }
    EXPECT_EQ(M.GetWidth(), 2480);
    EXPECT_EQ(M.GetHeight(), 3508);
}

// --- Print jobs on the PDF file printer

TEST_F(PrinterTest, PrintingAMetafileGivesAOnePagePdfWithItsText)
{
    if (!haveTool("/usr/bin/qpdf") || !haveTool("/usr/bin/pdftotext"))
        GTEST_SKIP() << "qpdf and poppler-utils are not installed (scripts/install-deps installs them)";
    const std::string Path = usePdf("report.pdf");
    auto Report = reportMetafile("Laser Pulse Energy Statistics Report");
    TPrinter P;
    P.Title = "run 17";
    const int Margin = int(std::lround(GetDeviceCaps(P.GetHandle(), LOGPIXELSX) * 0.7));
    EXPECT_EQ(Margin, 70);
    P.BeginDoc();
    EXPECT_TRUE(P.GetPrinting());
    EXPECT_EQ(P.GetPageNumber(), 1);
    EXPECT_EQ(GetDeviceCaps(P.GetCanvas()->GetHandle(), LOGPIXELSX), 100);
    P.GetCanvas()->StretchDraw(Rect(Margin, Margin, P.GetPageWidth() - Margin, P.GetPageHeight() - Margin), *Report);
    P.EndDoc();
    EXPECT_FALSE(P.GetPrinting());
    EXPECT_EQ(P.GetPageNumber(), 0);

    ASSERT_TRUE(fileExists(Path));
    expectSoundPdf(Path);
    EXPECT_EQ(pageCount(Path), 1);
    const std::string Text = pdfText(Path);
    EXPECT_NE(Text.find("Laser Pulse Energy Statistics Report"), std::string::npos) << Text;
    EXPECT_NE(Text.find("Mean Energy : 84.37 \xC2\xB5J"), std::string::npos) << Text; // UTF-8 from pdftotext
    if (haveTool("/usr/bin/pdfinfo")) {
        const std::string Info = commandOutput("/usr/bin/pdfinfo '" + Path + "' 2>/dev/null");
        EXPECT_EQ(infoField(Info, "Title"), "run 17") << Info;
    }
}

TEST_F(PrinterTest, ThePrintedPageShowsTheDrawingWhereItWasDrawn)
{
    if (!haveTool("/usr/bin/pdftoppm"))
        GTEST_SKIP() << "poppler-utils is not installed (scripts/install-deps installs it)";
    const std::string Path = usePdf("picture.pdf", 50);
    TPrinter P;
    P.BeginDoc();
    TCanvas& C = *P.GetCanvas();
    C.GetBrush()->SetColor(clBlack);
    C.FillRect(Rect(100, 200, 300, 300));
    P.EndDoc();
    // Rendered at the page's own resolution, pixel (x, y) of the image is pixel (x, y) of the page.
    const std::string Out = Dir.file("picture");
    ASSERT_EQ(std::system(("/usr/bin/pdftoppm -r 50 -gray '" + Path + "' '" + Out + "'").c_str()), 0);
    std::string Pgm = testsupport::ReadFile(Out + "-1.pgm");
    if (Pgm.empty())
        Pgm = testsupport::ReadFile(Out + "-01.pgm");
    ASSERT_FALSE(Pgm.empty());
    int Width = 0, Height = 0, Max = 0, Used = 0;
    ASSERT_EQ(std::sscanf(Pgm.c_str(), "P5 %d %d %d%n", &Width, &Height, &Max, &Used), 3);
    const size_t Start = size_t(Used) + 1;
    ASSERT_GE(Pgm.size(), Start + size_t(Width) * size_t(Height));
    auto Grey = [&](int X, int Y) { return uint8_t(Pgm[Start + size_t(Y) * size_t(Width) + size_t(X)]); };
    EXPECT_NEAR(Width, P.GetPageWidth(), 1);
    EXPECT_LT(Grey(200, 250), 40);
    EXPECT_LT(Grey(102, 202), 40);
    EXPECT_GT(Grey(200, 195), 215);
    EXPECT_GT(Grey(305, 250), 215);
    EXPECT_GT(Grey(50, 50), 215);
}

TEST_F(PrinterTest, NewPageStartsASecondBlankPage)
{
    if (!haveTool("/usr/bin/qpdf") || !haveTool("/usr/bin/pdftotext"))
        GTEST_SKIP() << "qpdf and poppler-utils are not installed (scripts/install-deps installs them)";
    const std::string Path = usePdf("two.pdf");
    TPrinter P;
    P.BeginDoc();
    P.GetCanvas()->GetFont()->SetName("Arial");
    P.GetCanvas()->GetFont()->SetSize(12);
    P.GetCanvas()->TextOut(100, 100, "first page");
    P.NewPage();
    EXPECT_EQ(P.GetPageNumber(), 2);
    P.GetCanvas()->TextOut(100, 300, "second page");
    P.EndDoc();
    expectSoundPdf(Path);
    EXPECT_EQ(pageCount(Path), 2);
    const std::string Text = pdfText(Path);
    const size_t First = Text.find("first page"), Second = Text.find("second page"), Break = Text.find('\f');
    ASSERT_NE(First, std::string::npos) << Text;
    ASSERT_NE(Second, std::string::npos) << Text;
    EXPECT_LT(First, Break);
    EXPECT_GT(Second, Break); // not left over from the first page
}

TEST_F(PrinterTest, TextOutsideTheClipIsNeitherShownNorInThePdf)
{
    if (!haveTool("/usr/bin/pdftotext"))
        GTEST_SKIP() << "poppler-utils is not installed (scripts/install-deps installs it)";
    const std::string Path = usePdf("clip.pdf");
    TPrinter P;
    P.BeginDoc();
    TCanvas& C = *P.GetCanvas();
    IntersectClipRect(C.GetHandle(), 0, 0, 300, 300);
    C.TextOut(50, 50, "inside");
    C.TextOut(50, 600, "outside");
    P.EndDoc();
    const std::string Text = pdfText(Path);
    EXPECT_NE(Text.find("inside"), std::string::npos) << Text;
    EXPECT_EQ(Text.find("outside"), std::string::npos) << Text;
}

TEST_F(PrinterTest, AbortEndsTheJobAndDeletesThePdf)
{
    const std::string Path = usePdf("aborted.pdf");
    TPrinter P;
    P.BeginDoc();
    P.GetCanvas()->Rectangle(10, 10, 100, 100);
    P.Abort();
    EXPECT_FALSE(P.GetPrinting());
    EXPECT_TRUE(P.GetAborted());
    EXPECT_FALSE(fileExists(Path));
    // The printer can print again afterwards.
    P.BeginDoc();
    EXPECT_FALSE(P.GetAborted());
    P.EndDoc();
    EXPECT_TRUE(fileExists(Path));
}

TEST_F(PrinterTest, AJobRefusesASecondJobAndChangesOfPrinterOrPaper)
{
    usePdf("busy.pdf");
    TPrinter P;
    P.BeginDoc();
    auto ExpectPrinting = [](auto Call) {
        try {
            Call();
            ADD_FAILURE() << "no exception";
        } catch (const EPrinter& E) {
            EXPECT_EQ(E.Message(), "Printing in progress");
        }
    };
    ExpectPrinting([&] { P.BeginDoc(); });
    ExpectPrinting([&] { P.SetPrinterIndex(0); });
    ExpectPrinting([&] { P.SetOrientation(poLandscape); });
    EXPECT_EQ(P.GetOrientation(), poPortrait);
    EXPECT_TRUE(P.GetPrinting());
    P.EndDoc();
}

TEST_F(PrinterTest, AFileThatCannotBeWrittenRefusesTheJob)
{
    TPrinter::SetPrintToFile(Dir.file("no/such/folder/out.pdf"), 100);
    TPrinter P;
    try {
        P.BeginDoc();
        ADD_FAILURE() << "the job began";
    } catch (const EPrinter& E) {
        EXPECT_EQ(E.Message(), "Printing on PDF file cannot begin");
    }
    EXPECT_FALSE(P.GetPrinting());
    EXPECT_EQ(P.GetPageNumber(), 0);
}

TEST_F(PrinterTest, TheGlobalPrinterIsOneObject)
{
    usePdf("global.pdf");
    EXPECT_EQ(Printer(), Printer());
    EXPECT_EQ(Printer()->GetPrinters().Count(), 1);
}

TEST_F(PrinterTest, WhatThePrintDialogChoosesIsWhatThePrinterPrintsOn)
{
    usePdf("offered.pdf");
    // The dialog shows the printer object's own printer.
    QPrinter& Device = ui_private::printerForDialogs();
    EXPECT_EQ(Device.outputFormat(), QPrinter::PdfFormat);
    EXPECT_EQ(Device.outputFileName().toStdString(), Dir.file("offered.pdf"));
    // What a person does there: another file, landscape paper.
    Device.setOutputFileName(QString::fromStdString(Dir.file("chosen.pdf")));
    Device.setPageOrientation(QPageLayout::Landscape);
    ui_private::adoptPrinterChoice();
    EXPECT_EQ(Printer()->GetOrientation(), poLandscape);
    EXPECT_GT(Printer()->GetPageWidth(), Printer()->GetPageHeight());
    Printer()->BeginDoc();
    Printer()->EndDoc();
    EXPECT_TRUE(fileExists(Dir.file("chosen.pdf")));
    EXPECT_FALSE(fileExists(Dir.file("offered.pdf")));
    Printer()->SetOrientation(poPortrait);
}
