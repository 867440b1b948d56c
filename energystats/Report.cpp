//===- Report.cpp - Tessaly's main form: the report page, the PDF file, printing and the clipboard ---===//
#include "energystats/TForm_main.h"

#include "energystats/ReportFile.h"
#include "energystats/TessalyTexts.h"
#include "plot/TPlotGraph.h"

#include "platform/gdi/Gdi.h"
#include "platform/rtl/FileNames.h"
#include "platform/rtl/DateTimeText.h"
#include "platform/rtl/DateUtils.h"
#include "platform/ui/printing/Clipbrd.h"
#include "platform/ui/forms/Dialogs.h"
#include "platform/ui/printing/Printers.h"
#include "platform/ui/forms/TApplication.h"
#include "platform/ui/graphics/TCanvas.h"
#include "platform/ui/graphics/TMetafile.h"
#include "platform/user/Dialogs.h"

#include <cstdio>

namespace {

/// Puts the graphs back where the window wants them, also when drawing them failed.
class ScreenLayoutBack {
public:
    explicit ScreenLayoutBack(TForm_main& Form) : FForm(Form) {}
    ~ScreenLayoutBack() { FForm.FormResize(&FForm); }
    ScreenLayoutBack(const ScreenLayoutBack&) = delete;
    ScreenLayoutBack& operator=(const ScreenLayoutBack&) = delete;

private:
    TForm_main& FForm;
};

void renderAtReportSize(TPlotGraph& Graph, TMetafile& Picture)
{
    Graph.SetBounds(Graph.GetLeft(), Graph.GetTop(), ReportGraphWidth, ReportGraphHeight);
    Graph.DrawToMetafile(Picture);
}

} // namespace

ReportFacts TForm_main::reportFacts() const
{
    const TDateTime now = Now();
    ReportFacts facts;
    facts.dateTime = DateToStr(now) + " " + TimeToStr(now);
    facts.laserModel = laserTypeText;
    facts.serialNumber = link.Status().serialNumber;
    facts.specifiedEnergy = settings.SecifiedEnergy;
    facts.deviation = results.Deviation();
    facts.meanEnergy = results.MeanEnergy();
    facts.selectedPulses = results.SelectedPulses();
    return facts;
}

void TForm_main::GetMetaFile(TMetafile& Metafile)
{
    TMetafile histogram, energy;
    {
        const ScreenLayoutBack layoutBack(*this);
        renderAtReportSize(*PlotGraph1, histogram);
        renderAtReportSize(*PlotGraph2, energy);
    }
    ComposeReportPage(Metafile, histogram, energy, reportFacts());
}

void TForm_main::btn_printClick(TObject*)
{
    if (!PrintDialog1->Execute())
        return;
    TPrinter* printer = Printer();
    // Selecting the printer again gives a fresh context for the resolution.
    printer->SetPrinterIndex(printer->GetPrinterIndex());
    const int pixelsPerInch = GetDeviceCaps(printer->GetHandle(), LOGPIXELSX);
    TMetafile page;
    GetMetaFile(page);
    const int margin = ReportPrintMargin(pixelsPerInch);
    printer->Title = results.ReportBaseName();
    if (printer->GetPrinting())
        return;
    printer->BeginDoc();
    try {
        printer->GetCanvas()->StretchDraw(
            Rect(margin, margin, printer->GetPageWidth() - margin, printer->GetPageHeight() - margin), page);
    } catch (...) {
        printer->EndDoc();
        throw;
    }
    printer->EndDoc();
}

void TForm_main::copy1Click(TObject*)
{
    TMetafile page;
    GetMetaFile(page);
    // Enhanced metafiles carry no palette of their own here, so the metafile is all there is.
    Clipboard()->Open();
    try {
        Clipboard()->Assign(page);
    } catch (...) {
        Clipboard()->Close();
        throw;
    }
    Clipboard()->Close();
}

void TForm_main::btn_saveToFileClick(TObject*)
{
    SaveDialog1->Title = SSaveReportTitle;
    SaveDialog1->InitialDir = settings.DataPath;
    SaveDialog1->FileName = results.ReportBaseName() + ".pdf";
    SaveDialog1->DefaultExt = "pdf";
    SaveDialog1->Filter = SSaveReportFilter;
    SaveDialog1->Options = { ofOverwritePrompt, ofPathMustExist };
    if (!SaveDialog1->Execute())
        return;
    settings.DataPath = ExtractFilePath(SaveDialog1->FileName);
    const std::string fileName = ReportFileName(SaveDialog1->FileName);
    TMetafile page;
    GetMetaFile(page);
    try {
        WriteReportPdf(page, fileName, ReportCreationDate());
    } catch (const std::exception& E) {
        // The message goes to the standard output, one line, as it always has; the operator
        // also sees it, and the graphs stay unsaved: closing or a new run still asks.
        const auto* own = dynamic_cast<const Exception*>(&E);
        const std::string message = own ? own->Message() : std::string(E.what());
        std::fputs((message + "\n").c_str(), stdout);
        std::fflush(stdout);
        Application->MessageBox(message, SError, MB_OK | MB_ICONERROR);
        return;
    }
    run.Saved();
}
