//===- ReportPage.cpp - Tessaly's report page: its layout, header block and placement ---===//
#include "energystats/ReportPage.h"

#include "energystats/EnergyRules.h"
#include "platform/gdi/Gdi.h"
#include "platform/rtl/FileNames.h"
#include "platform/rtl/SysUtils.h"
#include "platform/ui/graphics/TBitmap.h"
#include "platform/ui/graphics/TCanvas.h"
#include "platform/ui/graphics/TMetafile.h"

namespace {

constexpr int TitleX = 235, TitleY = 3, TitleSize = 14, RowSize = 9;
/// The two columns: labels end at the edge, values start five units after it.
constexpr int LeftEdge = 315, RightEdge = 525, ValueGap = 5;
constexpr TRect LogoBox = { 15, 5, 205, 50 };

void useFont(TCanvas& Canvas, int Size, TFontStyles Style)
{
    TFont* font = Canvas.GetFont();
    font->SetName("Arial");
    font->SetColor(clBlack);
    font->SetStyle(Style);
    font->SetSize(Size);
}

/// The screen's device context for as long as the page is recorded on it.
class ScreenDC {
public:
    ScreenDC() : FDc(GetDC(0)) {}
    ~ScreenDC() { ReleaseDC(0, FDc); }
    ScreenDC(const ScreenDC&) = delete;
    ScreenDC& operator=(const ScreenDC&) = delete;
    HDC Get() const { return FDc; }

private:
    HDC FDc;
};

} // namespace

std::vector<ReportRow> ReportRows(const ReportFacts& Facts)
{
    return {
        { 33, "Date :", Facts.dateTime, "", "" },
        { 48, "Laser Model :", Facts.laserModel,
          "Standard Deviation :", FormatFixed(1, float(Facts.deviation)) + " %" },
        { 63, "Serial Number :", std::to_string(Facts.serialNumber),
          "Mean Energy :", FormatFixed(2, float(Facts.meanEnergy)) + " \xB5J" },
        { 78, "Specified Energy :", std::to_string(Facts.specifiedEnergy) + " \xB5J",
          "Selected Pulses :", std::to_string(Facts.selectedPulses) },
        { 93, "", "", "Total Pulses about :", "50.000" },
    };
}

void TextOutRight(TCanvas& Canvas, int RightX, int Y, std::string_view Text)
{
    Canvas.TextOut(RightX - Canvas.TextWidth(Text), Y, Text);
}

void DrawReportHeader(TCanvas& Canvas, const ReportFacts& Facts)
{
    useFont(Canvas, TitleSize, { fsBold, fsUnderline });
    Canvas.TextOut(TitleX, TitleY, ReportTitle);
    useFont(Canvas, RowSize, {});
    for (const ReportRow& row : ReportRows(Facts)) {
        if (!row.leftLabel.empty()) {
            TextOutRight(Canvas, LeftEdge, row.y, row.leftLabel);
            Canvas.TextOut(LeftEdge + ValueGap, row.y, row.leftValue);
        }
        if (!row.rightLabel.empty()) {
            TextOutRight(Canvas, RightEdge, row.y, row.rightLabel);
            Canvas.TextOut(RightEdge + ValueGap, row.y, row.rightValue);
        }
    }
}

void ComposeReportPage(TMetafile& Target, const TMetafile& Histogram, const TMetafile& Energy, const ReportFacts& Facts)
{
    const ScreenDC screen;
    Target.SetHeight(ReportHeight);
    Target.SetWidth(ReportWidth);
    TMetafileCanvas canvas(Target, screen.Get());
    IntersectClipRect(canvas.GetHandle(), 0, 0, ReportWidth, ReportHeight);
    canvas.GetPen()->SetColor(clWhite);
    canvas.Rectangle(0, 0, ReportWidth, ReportHeight);
    {
        TBitmap logo;
        logo.LoadFromResourceName(ReportLogo);
        canvas.StretchDraw(LogoBox, logo);
    }
    DrawReportHeader(canvas, Facts);
    canvas.Draw(0, ReportHistogramTop, Histogram);
    canvas.Draw(0, ReportEnergyTop, Energy);
}

ReportPlacement PlaceReportOnPdfPage(int PageWidth, int PageHeight, int MetafileWidth, int MetafileHeight)
{
    ReportPlacement p;
    p.x = int(Round(PageWidth * 0.1));
    p.y = int(Round(PageHeight * 0.1));
    p.xScale = double(PageWidth - 2 * p.x) / MetafileWidth;
    p.yScale = double(PageHeight - 2 * p.y) / MetafileHeight;
    return p;
}

int ReportPrintMargin(int PixelsPerInch) { return int(Round(PixelsPerInch * 0.7)); }

std::string ReportFileName(const std::string& Chosen)
{
    return ExtractFileExt(Chosen).empty() ? Chosen + ".pdf" : Chosen;
}
