//===- RunAids.h - Aids for ./run and the end-to-end tests, off unless asked for -*- C++ -*-===//
//
// Two environment variables switch them on; the program otherwise never looks at them:
//
//   HELIANT_PANEL_REPORT=<file>  after every notice of the server, the panel's state as
//                                "name=value" lines (the file is replaced whole each time), so
//                                that a test can follow a running program
//   HELIANT_SCREENSHOT=<file>    at the first lit blink phase after the sixth blink notice (about
//                                three seconds with the simulator), a picture of the main form's
//                                client area (PNG; BMP when the name ends in ".bmp"); then the
//                                program closes as if the operator closed it
//
#pragma once

#include <string>

class TForm_main;

/// Looks at the environment and, for each aid asked for, follows the form's notices.
void InstallRunAids(TForm_main& Form);

/// The report's lines for the form as it is now.
std::string PanelReport(TForm_main& Form);
/// Saves the form's picture (see TBitmap::SavePictureFile). False when the file cannot be
/// written.
bool SaveScreenshot(TForm_main& Form, const std::string& FileName);
