//===- RunAids.h - Aids for ./run and the end-to-end tests, off unless asked for -*- C++ -*-===//
//
//   TESSALY_SCREENSHOT=<file>  once the laser is ready, Start is pressed; when the run's
//                              histogram is shown, a picture of the main form's client area is
//                              saved (PNG; BMP for a name ending in ".bmp") and the program
//                              closes as if the operator closed it, the graphs counted as saved
//   TESSALY_REPORT=<file>      with TESSALY_SCREENSHOT: before closing, Save is pressed and its
//                              dialog answered with this file name, so the run's report is
//                              written as an operator would write it
//
#pragma once

#include <string>

class TForm_main;

void InstallTessalyRunAids(TForm_main& Form);
bool SaveTessalyScreenshot(TForm_main& Form, const std::string& FileName);
/// Presses Save with the save dialog answered by FileName; false when the report was not
/// written (Save disabled or the write failed).
bool SaveTessalyReport(TForm_main& Form, const std::string& FileName);
