//===- ReportPage.h - Tessaly's report page: its layout, header block and placement -*- C++ -*-===//
//
// The report page is one enhanced metafile of 600 x 1000 units: the maker's logo, the title, the
// header block of laser and run data, and the two graphs as the plot component draws them into
// metafiles. The same page goes into the PDF file, onto the printer and onto the clipboard; the
// placements on a PDF page and a printer page are worked out here too.
//
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

class TCanvas;
class TMetafile;

// --- The page
constexpr int ReportWidth = 600, ReportHeight = 1000;
/// Each graph is drawn 600 x 420 (420 = 600 x 0.7).
constexpr int ReportGraphWidth = 600, ReportGraphHeight = 420;
constexpr int ReportHistogramTop = 130, ReportEnergyTop = 580;
constexpr const char* ReportTitle = "Laser Pulse Energy Statistics Report";
/// The bitmap resource of the maker's logo (380 x 90).
constexpr const char* ReportLogo = "ORVANELOGO";

/// What the header block shows, as the main form knows it at the time.
struct ReportFacts {
    std::string dateTime;   // the short date, a blank and the long time
    std::string laserModel; // " " and the laser type text
    uint32_t serialNumber = 0;
    int32_t specifiedEnergy = 0; // µJ, from the settings
    double deviation = 0;        // %
    double meanEnergy = 0;       // µJ
    int32_t selectedPulses = 0;
};

/// One row of the header block: a label right-aligned to its column's edge and the value after
/// it; an empty label leaves that column blank.
struct ReportRow {
    int y = 0;
    std::string leftLabel, leftValue, rightLabel, rightValue;
};
std::vector<ReportRow> ReportRows(const ReportFacts& Facts);

/// Draws Text with its right end at RightX.
void TextOutRight(TCanvas& Canvas, int RightX, int Y, std::string_view Text);
/// The title and the rows of the header block.
void DrawReportHeader(TCanvas& Canvas, const ReportFacts& Facts);
/// Records the whole page into Target (which becomes 600 x 1000), the graphs drawn from their
/// own metafiles. Target stays the caller's; so do the graphs.
void ComposeReportPage(TMetafile& Target, const TMetafile& Histogram, const TMetafile& Energy,
                       const ReportFacts& Facts);

// --- Placement on paper
/// Where the page lands on a PDF page of Width x Height device units: inside margins of 10 %
/// of each side, filling them (the two scales need not be equal).
struct ReportPlacement {
    int x = 0, y = 0;
    double xScale = 1, yScale = 1;
};
ReportPlacement PlaceReportOnPdfPage(int PageWidth, int PageHeight, int MetafileWidth, int MetafileHeight);
/// The printer's margin on every side: 0.7 inch in its pixels.
int ReportPrintMargin(int PixelsPerInch);
/// The chosen file name, with ".pdf" when it has no extension.
std::string ReportFileName(const std::string& Chosen);
