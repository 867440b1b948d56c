//===- RunAids.h - Aids for ./run and the end-to-end tests, off unless asked for -*- C++ -*-===//
//
//   TESSALY_SCREENSHOT=<file>  once the laser is ready, Start is pressed; when the run's
//                              histogram is shown, a picture of the main form's client area is
//                              saved (PNG; BMP for a name ending in ".bmp") and the program
//                              closes as if the operator closed it, the graphs counted as saved
//
#pragma once

#include <string>

class TForm_main;

void InstallTessalyRunAids(TForm_main& Form);
bool SaveTessalyScreenshot(TForm_main& Form, const std::string& FileName);
