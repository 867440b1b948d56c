//===- ReportFile.h - Tessaly's report page written as a one-page PDF file -*- C++ -*-===//
#pragma once

#include "platform/rtl/DateUtils.h"

#include <string>

class TMetafile;

constexpr const char* ReportDocumentTitle = "Laser Pulse Energy Statistic";
constexpr const char* ReportDocumentCreator = "Tessaly";
constexpr const char* ReportDocumentKeywords = "Laser Pulse Energy Statistic Brelline Orvane";

/// The local time now as UTC: the creation date the report's document information carries.
TDateTime ReportCreationDate();

/// Writes Page onto one A4 page of FileName, inside margins of 10 %, compressed. Raises the
/// writer's exception when the file cannot be made or written; a partial file is removed.
void WriteReportPdf(const TMetafile& Page, const std::string& FileName, TDateTime CreationDate);
