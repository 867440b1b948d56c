//===- ReportFile.cpp - Tessaly's report page written as a one-page PDF file ---===//
#include "energystats/ReportFile.h"

#include "energystats/ReportPage.h"
#include "pdf/TPDFDocInfo.h"
#include "pdf/TPDFDocument.h"
#include "pdf/TPDFPage.h"
#include "platform/gdi/Gdi.h"
#include "platform/kernel/Clock.h"
#include "platform/ui/graphics/TMetafile.h"

namespace {

constexpr uint8_t PageSizeA4 = 2;

void describe(TPDFDocument& Doc, const std::string& FileName, TDateTime CreationDate)
{
    Doc.SetFileName(FileName);
    Doc.DocumentInfo().Title = ReportDocumentTitle;
    Doc.DocumentInfo().Creator = ReportDocumentCreator;
    Doc.DocumentInfo().Keywords = ReportDocumentKeywords;
    Doc.AutoLaunch = false;
    Doc.PageLayout = plOneColumn;
    Doc.Compression = ctFlate;
    Doc.SetUseScreenDC(true);
    Doc.SetOnePass(false);
    Doc.DocumentInfo().CreationDate = CreationDate;
    Doc.Resolution = GetDeviceCaps(Doc.ReferenceDC(), LOGPIXELSY);
}

} // namespace

TDateTime ReportCreationDate() { return Now() - LocalUtcOffsetMinutes() / (24.0 * 60); }

void WriteReportPdf(const TMetafile& Page, const std::string& FileName, TDateTime CreationDate)
{
    TPDFDocument doc(nullptr);
    describe(doc, FileName, CreationDate);
    try {
        doc.BeginDoc();
        TPDFPage& page = *doc.CurrentPage;
        page.SetSize(PageSizeA4);
        const ReportPlacement at =
            PlaceReportOnPdfPage(page.GetWidth(), page.GetHeight(), Page.GetWidth(), Page.GetHeight());
        page.PlayMetaFile(Page, at.x, at.y, at.xScale, at.yScale);
        doc.EndDoc();
    } catch (...) {
        // EndDoc has already aborted a document it failed to write; a second Abort would raise
        // "Generation PDF file not activated" in place of the real failure.
        if (doc.Generating())
            doc.Abort();
        throw;
    }
}
