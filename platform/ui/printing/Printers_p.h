//===- Printers_p.h - The printer object as the print dialogs see it -*- C++ -*-===//
#pragma once

class QPrinter;

namespace ui_private {

/// The Qt printer behind Printer(), set up for the selected printer and orientation, for the
/// print and printer set-up dialogs to show and change.
QPrinter& printerForDialogs();
/// Takes over what a dialog chose on that printer: a file to print to (the PDF file printer
/// then writes it), another printer of the list, the orientation. Changes nothing during a job.
void adoptPrinterChoice();

} // namespace ui_private
