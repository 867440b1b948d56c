//===- report_test.cpp - The report page: the PDF file, printing, the clipboard and the printer set-up ---===//
//
// The saved file and the printed page (on the PDF file printer) are read by real readers.
//
#include "tests/energystats/TessalyFixture.h"

#include "tests/pdf/PdfTestSupport.h"
#include "energystats/ReportPage.h"
#include "energystats/TForm_main.h"
#include "plot/TPlotGraph.h"

#include "platform/rtl/DateTimeText.h"
#include "platform/rtl/DateUtils.h"
#include "platform/ui/printing/Clipbrd.h"
#include "platform/ui/printing/Printers.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <sstream>
#include <unistd.h>

namespace {

using pdftest::RunTool;

/// A finished run: the histogram of bins 70 to 120 is shown and the report buttons are enabled.
class ReportTest : public TessalyTest {
protected:
    void SetUp() override
    {
        TessalyTest::SetUp();
        ShortDateFormat = "dd.mm.yyyy";
        LongTimeFormat = "hh:nn:ss";
        TPrinter::SetSystemPrinters(false);
        TPrinter::SetPrintToFile("");
        makeForms();
        ObeyingLaser(laser);
        notice(ev_comport);
        Form_main->btn_startClick(nullptr);
        // 600 pulses at 50 Hz around 85 µJ, on a fixed day.
        auto energies = laser.Energies();
        auto times = laser.Times();
        for (size_t i = 0; i < 600; ++i) {
            energies[i] = float(85 + 6 * std::sin(double(i) * 0.7) + 3 * std::cos(double(i) * 0.13));
            times[i] = 46000.5 + double(i) / 50 / 86400;
        }
        laser.Copy().samples = 600;
        notice(ev_pulsedata);
        auto bins = laser.Histogram();
        std::fill(bins.begin(), bins.end(), 0);
        for (int b = 70; b <= 120; ++b)
            bins[size_t(b)] = b;
        laser.Copy().deviation = 2.5f;
        laser.Copy().meanEnergy = 84.37f;
        laser.Copy().selected = 6000;
        laser.Copy().stateFlags &= uint8_t(~sf_firing);
        notice(ev_runend);
    }
    void TearDown() override
    {
        TPrinter::SetPrintToFile("");
        TPrinter::SetSystemPrinters(true);
        TessalyTest::TearDown();
    }

    uitest::DialogAnswerer dialogs;
};

} // namespace

// The PDF page's placement is checked through the saved file's word positions below.
TEST(ReportPageRules, PrintMarginsAndFileNames)
{
    // 0.7 inch; 52.5 goes to the even neighbour.
    const std::pair<int, int> margins[] = { { 600, 420 }, { 96, 67 }, { 75, 52 } };
    for (auto [dpi, margin] : margins)
        EXPECT_EQ(ReportPrintMargin(dpi), margin) << dpi;
    const std::pair<const char*, const char*> names[] = { { "/data/run", "/data/run.pdf" },
                                                          { "/data/run.pdf", "/data/run.pdf" },
                                                          { "/data/run.PDF", "/data/run.PDF" } };
    for (auto [chosen, written] : names)
        EXPECT_EQ(ReportFileName(chosen), written) << chosen;
}

TEST_F(ReportTest, PrintingOnThePdfFilePrinterGivesOnePageWithTheReport)
{
    const std::string file = dir.file("printed.pdf");
    TPrinter::SetPrintToFile(file, 150);
    dialogs.Answer(true);
    Form_main->btn_printClick(nullptr);
    ASSERT_EQ(dialogs.Shown().size(), 1u);
    EXPECT_EQ(dialogs.Shown()[0].ClassName, "TPrintDialog");
    const auto info = RunTool({ "pdfinfo", file });
    ASSERT_EQ(info.Status, 0) << info.Output;
    EXPECT_NE(info.Output.find("Pages:           1"), std::string::npos) << info.Output;
    const auto text = RunTool({ "pdftotext", "-layout", file, "-" });
    for (const char* words : { ReportTitle, "Standard Deviation :", "84.37", "ENERGY DEVIATION" })
        EXPECT_NE(text.Output.find(words), std::string::npos) << words << " in\n" << text.Output;

    // A cancelled dialog prints nothing.
    std::remove(file.c_str());
    dialogs.Answer(false);
    Form_main->btn_printClick(nullptr);
    EXPECT_NE(access(file.c_str(), F_OK), 0);
}

TEST_F(ReportTest, PrinterSetUpAndOrientationWorkWithoutAPrinter)
{
    ASSERT_EQ(Printer()->GetPrinters().Count(), 0);
    dialogs.Answer(true);
    Form_main->btn_setupClick(nullptr);
    EXPECT_EQ(dialogs.Shown().size(), 1u);
    Printer()->SetOrientation(poLandscape);
    EXPECT_EQ(Printer()->GetOrientation(), poLandscape);
    Printer()->SetOrientation(poPortrait);
}

TEST_F(ReportTest, CopyPutsThePageOnTheClipboardAndTheGraphsGoBackToTheWindow)
{
    const TRect histogram = Form_main->PlotGraph1->GetBoundsRect(), energy = Form_main->PlotGraph2->GetBoundsRect();
    Form_main->copy1Click(nullptr);
    EXPECT_EQ(Form_main->PlotGraph1->GetBoundsRect(), histogram);
    EXPECT_EQ(Form_main->PlotGraph2->GetBoundsRect(), energy);
    ASSERT_TRUE(Clipboard()->HasFormat(CF_ENHMETAFILE));
    const std::vector<uint8_t> emf = Clipboard()->GetAsHandle(CF_ENHMETAFILE);
    ASSERT_GE(emf.size(), 88u);
    int32_t bounds[4];
    std::memcpy(bounds, emf.data() + 8, sizeof bounds);
    EXPECT_EQ(std::vector<int32_t>(bounds, bounds + 4), (std::vector<int32_t> { 0, 0, 599, 999 }));
}

namespace {

/// The words pdftotext -bbox finds, with their boxes in points from the page's top left.
struct Word {
    std::string text;
    double xMin, yMin, xMax, yMax;
};
std::vector<Word> wordsOf(const std::string& File)
{
    const auto html = RunTool({ "pdftotext", "-bbox", File, "-" }).Output;
    std::vector<Word> words;
    for (size_t at = html.find("<word "); at != std::string::npos; at = html.find("<word ", at + 1)) {
        Word w {};
        if (std::sscanf(html.c_str() + at, "<word xMin=\"%lf\" yMin=\"%lf\" xMax=\"%lf\" yMax=\"%lf\"", &w.xMin,
                        &w.yMin, &w.xMax, &w.yMax)
            != 4)
            continue;
        const size_t open = html.find('>', at) + 1;
        w.text = html.substr(open, html.find("</word>", open) - open);
        words.push_back(w);
    }
    return words;
}

const Word* findWord(const std::vector<Word>& Words, const std::string& Text)
{
    for (const Word& w : Words)
        if (w.text == Text)
            return &w;
    return nullptr;
}

} // namespace

TEST_F(ReportTest, SaveWritesTheReportAsOneA4PageThatReadersAccept)
{
    const std::string offered = Form_main->Results().ReportBaseName() + ".pdf";
    dialogs.Answer(true, dir.file("report"));
    Form_main->btn_saveToFileClick(nullptr);
    ASSERT_EQ(dialogs.Shown().size(), 1u);
    EXPECT_EQ(dialogs.Shown()[0].Title, "Save Energy Deviation");
    EXPECT_EQ(dialogs.Shown()[0].FileName, offered);
    EXPECT_TRUE(boxes.Boxes().empty()) << boxes.Boxes()[0].Text;
    EXPECT_FALSE(Form_main->Run().Unsaved());
    EXPECT_EQ(Form_main->Settings().DataPath, dir.path() + "/");
    const std::string file = dir.file("report.pdf");

    const auto info = RunTool({ "pdfinfo", file });
    ASSERT_EQ(info.Status, 0) << info.Output;
    for (const char* line :
         { "Pages:           1", "Page size:       595 x 842 pts (A4)", "Title:           Laser Pulse Energy Statistic",
           "Creator:         Tessaly", "Keywords:        Laser Pulse Energy Statistic Brelline Orvane" })
        EXPECT_NE(info.Output.find(line), std::string::npos) << line << " in\n" << info.Output;
    const auto check = RunTool({ "qpdf", "--check", file });
    EXPECT_EQ(check.Status, 0) << check.Output;
    const std::string bytes = testsupport::ReadFile(file);
    EXPECT_NE(bytes.find("/Filter /FlateDecode"), std::string::npos);

    // The creation date is UTC, within a minute or two of now.
    const size_t date = bytes.find("/CreationDate (D:");
    ASSERT_NE(date, std::string::npos);
    std::tm stored {};
    ASSERT_NE(strptime(bytes.substr(date + 17, 14).c_str(), "%Y%m%d%H%M%S", &stored), nullptr);
    EXPECT_LT(std::abs(double(timegm(&stored) - std::time(nullptr))), 120.0);

    const std::string text = RunTool({ "pdftotext", "-layout", file, "-" }).Output;
    const std::string today = FormatDateTime("dd.mm.yyyy", Date());
    for (const char* words : { ReportTitle,
                               "Date :",
                               today.c_str(),
                               "Laser Model :",
                               "Serial Number :",
                               "4711",
                               "Specified Energy :",
                               "100 \xC2\xB5J",
                               "Standard Deviation :",
                               "2.5 %",
                               "Mean Energy :",
                               "84.37 \xC2\xB5J",
                               "Selected Pulses :",
                               "6000",
                               "Total Pulses about :",
                               "50.000",
                               "ENERGY DEVIATION",
                               "Energy [\xC2\xB5J]",
                               "Pulses",
                               "Time" })
        EXPECT_NE(text.find(words), std::string::npos) << words << " in\n" << text;

    const auto words = wordsOf(file);
    const Word* title = findWord(words, "Laser");
    ASSERT_NE(title, nullptr);
    EXPECT_NEAR(title->xMin, 246, 3);
    EXPECT_NEAR(title->yMin, 86, 3);
    const Word* histogram = findWord(words, "DEVIATION");
    ASSERT_NE(histogram, nullptr);
    EXPECT_GT(histogram->yMin, 172);
    EXPECT_LT(histogram->yMax, 455);

    // Every font is embedded: the "emb" column of each font's line reads yes.
    std::istringstream fonts(RunTool({ "pdffonts", file }).Output);
    std::string header, rule, font;
    std::getline(fonts, header);
    std::getline(fonts, rule);
    const size_t emb = header.find(" emb ") + 1;
    int embedded = 0;
    while (std::getline(fonts, font))
        embedded += font.substr(emb, 3) == "yes" ? 1 : -100;
    EXPECT_GT(embedded, 0) << header;
    const std::string images = RunTool({ "pdfimages", "-list", file }).Output;
    EXPECT_NE(images.find("  380    90 "), std::string::npos) << images;
    const auto rendered = RunTool({ "pdftoppm", "-png", "-r", "40", "-singlefile", file, dir.file("page") });
    EXPECT_EQ(rendered.Status, 0) << rendered.Output;
    EXPECT_GT(testsupport::ReadFile(dir.file("page.png")).size(), 1000u);
}

TEST_F(ReportTest, AReportThatCannotBeWrittenIsToldAndTheGraphsStayUnsaved)
{
    dialogs.Answer(true, dir.file("no/such/folder/report.pdf"));
    testing::internal::CaptureStdout();
    Form_main->btn_saveToFileClick(nullptr);
    const std::string printed = testing::internal::GetCapturedStdout();
    ASSERT_EQ(boxes.Boxes().size(), 1u);
    EXPECT_EQ(boxes.Boxes()[0].Caption, "Error");
    EXPECT_NE(boxes.Boxes()[0].Text.find("report.pdf"), std::string::npos) << boxes.Boxes()[0].Text;
    EXPECT_EQ(printed, boxes.Boxes()[0].Text + "\n") << "the writer's message, one line on the standard output";
    EXPECT_TRUE(Form_main->Run().Unsaved());

    // A cancelled dialog writes nothing and changes nothing.
    dialogs.Answer(false);
    Form_main->btn_saveToFileClick(nullptr);
    EXPECT_EQ(boxes.Boxes().size(), 1u);
    EXPECT_TRUE(Form_main->Run().Unsaved());
}

namespace {

/// One glyph as mutool's structured text shows it: its advance box along the baseline and the
/// size of its font, in points.
struct Glyph {
    char c;
    double x0, x1, size;
};

/// The text lines of a PDF page, glyph by glyph.
std::vector<std::vector<Glyph>> glyphLinesOf(const std::string& File)
{
    const std::string xml = RunTool({ "mutool", "draw", "-q", "-F", "stext", "-o", "-", File }).Output;
    std::vector<std::vector<Glyph>> lines;
    double size = 0;
    for (size_t at = 0; (at = xml.find('<', at)) != std::string::npos; ++at) {
        if (xml.compare(at, 6, "<line ") == 0)
            lines.emplace_back();
        else if (xml.compare(at, 6, "<font ") == 0)
            std::sscanf(xml.c_str() + xml.find("size=\"", at) + 6, "%lf", &size);
        else if (xml.compare(at, 6, "<char ") == 0 && !lines.empty()) {
            Glyph g { 0, 0, 0, size };
            double y;
            std::sscanf(xml.c_str() + at, "<char quad=\"%lf %lf %lf", &g.x0, &y, &g.x1);
            const size_t c = xml.find(" c=\"", at) + 4;
            g.c = xml[c] == '&' ? '?' : xml[c];
            lines.back().push_back(g);
        }
    }
    return lines;
}

/// Checks that Phrase stands on a line of the page and that inside each of its words every
/// glyph starts where the face's advances of the glyphs before it end, within a tenth of the
/// font size; Where names the file in failures.
void expectEvenlySpaced(const std::vector<std::vector<Glyph>>& Lines, const std::string& Phrase,
                        const std::string& Where)
{
    for (const auto& line : Lines) {
        std::string text;
        for (const Glyph& g : line)
            text += g.c;
        const size_t at = text.find(Phrase);
        if (at == std::string::npos)
            continue;
        double start = 0, advances = 0;
        for (size_t i = at; i < at + Phrase.size(); ++i) {
            const Glyph& g = line[i];
            if (i == at || Phrase[i - at - 1] == ' ')
                start = g.x0, advances = 0;
            if (g.c == ' ')
                continue;
            EXPECT_LE(std::abs(g.x0 - start - advances), 0.1 * g.size)
                << "'" << g.c << "' of \"" << Phrase << "\" at " << g.x0 << ", the word's advances end at "
                << start + advances << ", in " << Where;
            advances += g.x1 - g.x0;
        }
        return;
    }
    ADD_FAILURE() << "no line reads \"" << Phrase << "\" in " << Where;
}

} // namespace

// Text on paper and in the saved file is spaced by the advances of the face that shows it: the
// screen's whole hinted pixels spread letters apart ("Num ber") and squeeze blanks at print sizes.
TEST_F(ReportTest, SavedAndPrintedReportTextIsEvenlySpaced)
{
    dialogs.Answer(true, dir.file("saved.pdf"));
    Form_main->btn_saveToFileClick(nullptr);
    const std::string printed = dir.file("printed.pdf");
    TPrinter::SetPrintToFile(printed, 150);
    dialogs.Answer(true);
    Form_main->btn_printClick(nullptr);
    // The header rows; the title and the graphs' texts of the saved file also carry the
    // whole-point font sizes of the PDF writer, which this does not measure.
    const char* header[] = { "Laser Model :", "Serial Number :",   "Specified Energy :",  "Standard Deviation :",
                             "Mean Energy :", "Selected Pulses :", "Total Pulses about :" };
    for (const std::string& file : { dir.file("saved.pdf"), printed }) {
        const auto lines = glyphLinesOf(file);
        for (const char* phrase : header)
            expectEvenlySpaced(lines, phrase, file);
    }
    for (const char* phrase : { ReportTitle, "ENERGY DEVIATION" })
        expectEvenlySpaced(glyphLinesOf(printed), phrase, printed);
}
