//===- Printers.h - The printer object: printers, their contexts, print jobs and the page canvas -*- C++ -*-===//
//
// TPrinter prints through Qt's print support. A print job draws each page on a canvas over an
// image of the printable area at the printer's resolution (the same raster rules as bitmaps and
// the screen); the page goes to the printer at NewPage and EndDoc, with its texts laid over it
// invisibly so that a PDF reader can find and copy them.
//
// Besides the system's printers there may be one print-to-file printer, "PDF file", which writes
// a PDF file through Qt. It is listed (first, and as the default) only while a file is named for
// it, by SetPrintToFile or by the environment variable VARNEX_PRINT_TO_PDF; tests and unattended
// runs print on it in place of a real printer.
//
// Without any printer nothing is raised by looking: the list is empty, PrinterIndex is -1, the
// Handle is null and the page size 0 x 0. Asking to print (BeginDoc, or drawing on the Canvas)
// raises EPrinter "Printer selected is not valid".
//
#pragma once

#include "platform/gdi/GdiTypes.h"
#include "platform/rtl/Exception.h"
#include "platform/rtl/TStringList.h"
#include "platform/ui/components/TComponent.h"
#include "platform/ui/components/TypeInfo.h"

#include <cstdint>
#include <memory>
#include <string>

class TCanvas;

inline constexpr const char* SInvalidPrinter = "Printer selected is not valid";
inline constexpr const char* SPrinterIndexError = "Printer index out of range";
inline constexpr const char* SPrinting = "Printing in progress";
inline constexpr const char* SNotPrinting = "Printer is not currently printing";
inline constexpr const char* SCannotBeginDoc = "Printing on %s cannot begin";
inline constexpr const char* SCannotEndDoc = "Printing on %s did not complete";
/// The name the print-to-file printer is listed under.
inline constexpr const char* SPdfFilePrinter = "PDF file";

class EPrinter : public Exception {
public:
    using Exception::Exception;
};

enum class TPrinterOrientation { poPortrait, poLandscape };
using enum TPrinterOrientation;
inline constexpr EnumIdent TPrinterOrientationIdents[] = { { "poPortrait", poPortrait },
                                                           { "poLandscape", poLandscape } };
inline constexpr TEnumType<TPrinterOrientation> TPrinterOrientationType { "TPrinterOrientation",
                                                                          TPrinterOrientationIdents };

class TPrinter : public TObject {
public:
    TPrinter();
    ~TPrinter() override;
    TPrinter(const TPrinter&) = delete;
    TPrinter& operator=(const TPrinter&) = delete;

    // --- Printers
    /// The printers' names, read on first use and again after Refresh (or after the
    /// print-to-file printer was named or removed).
    const TStringList& GetPrinters();
    /// The selected printer; -1 when there is none.
    int GetPrinterIndex();
    /// -1 selects the default printer. Any other value outside the list raises EPrinter "Printer
    /// index out of range"; changing printers while printing raises "Printing in progress".
    /// Setting the same index again makes a fresh information context.
    void SetPrinterIndex(int Value);
    /// Reads the list again, keeping the selected printer when it is still there.
    void Refresh();

    // --- Page settings
    TPrinterOrientation GetOrientation() const { return FOrientation; }
    /// Raises "Printing in progress" during a job.
    void SetOrientation(TPrinterOrientation Value);
    /// The printable area in device pixels (HORZRES x VERTRES); 0 without a printer.
    int GetPageWidth();
    int GetPageHeight();
    /// The job's name in the spooler (and the PDF file's title).
    std::string Title;

    // --- Print jobs
    /// Raises "Printer selected is not valid" without a printer, "Printing in progress" during a
    /// job, and EPrinter "Printing on X cannot begin" when the printer (or the PDF file) refuses.
    void BeginDoc();
    /// Sends the last page and ends the job. Raises "Printer is not currently printing" without
    /// a job; a printer that fails to complete it raises "Printing on X did not complete" (the
    /// job is over either way).
    void EndDoc();
    /// Sends the page and starts a blank one; the context keeps its state.
    void NewPage();
    /// Ends the job without sending the page being drawn; a PDF file is deleted. (Pages that
    /// NewPage sent to a system printer may still be printed: Qt's spooler cannot take them back.)
    void Abort();
    bool GetPrinting() const;
    bool GetAborted() const { return FAborted; }
    /// The page being drawn, from 1; 0 outside a job.
    int GetPageNumber() const { return FPageNumber; }

    // --- Drawing
    /// During a job the canvas draws on the page; otherwise on the information context, which
    /// draws nowhere.
    TCanvas* GetCanvas();
    /// During a job the page's context; otherwise an information context of the selected
    /// printer (GetDeviceCaps answers its resolution, printable area and paper), null without a
    /// printer.
    HDC GetHandle();

    // --- The print-to-file printer
    /// Names the PDF file that "PDF file" writes, at Dpi dots per inch on A4 paper without
    /// margins; an empty name removes the printer. Overrides VARNEX_PRINT_TO_PDF.
    static void SetPrintToFile(const std::string& FileName, int Dpi = 300);
    /// Whether the system's own printers are listed (they are by default); tests leave them out
    /// so that the list is known.
    static void SetSystemPrinters(bool Listed);

private:
    struct Impl;
    friend struct PrinterDialogAccess;
    void checkList();
    void dropInformationContext();
    void attachCanvas();

    std::unique_ptr<Impl> FImpl;
    std::unique_ptr<TCanvas> FCanvas;
    TPrinterOrientation FOrientation = poPortrait;
    bool FAborted = false;
    int FPageNumber = 0;
};

/// The program's printer object, made on first use.
TPrinter* Printer();

// --- The spooler's view, for code that picks a reference device itself

inline constexpr uint32_t PRINTER_ENUM_DEFAULT = 0x1, PRINTER_ENUM_LOCAL = 0x2, PRINTER_ENUM_CONNECTIONS = 0x4;
inline constexpr uint32_t PRINTER_ATTRIBUTE_DEFAULT = 0x4, PRINTER_ATTRIBUTE_LOCAL = 0x40;

struct PRINTER_INFO_4A {
    char* pPrinterName = nullptr;
    char* pServerName = nullptr;
    uint32_t Attributes = 0;
};

struct PRINTER_INFO_5A {
    char* pPrinterName = nullptr;
    char* pPortName = nullptr; // "FILE:" for the print-to-file printer, "CUPS:" for the system's
    uint32_t Attributes = 0;
    uint32_t DeviceNotSelectedTimeout = 0;
    uint32_t TransmissionRetryTimeout = 0;
};

/// The printers TPrinter lists, as records of Level 4 or 5 followed by their strings. With
/// Buffer null or BufferSize too small it answers false and sets Needed; with no printers it
/// answers true with Needed and Returned 0. Other levels answer false with Needed 0. Name must
/// be null (the local machine).
bool EnumPrintersA(uint32_t Flags, const char* Name, uint32_t Level, uint8_t* Buffer, uint32_t BufferSize,
                   uint32_t* Needed, uint32_t* Returned);
/// An information context of a printer that EnumPrintersA lists (by name, in portrait), or of
/// the screen when Driver is "DISPLAY"; null otherwise. Free it with DeleteDC.
HDC CreateICA(const char* Driver, const char* Device, const char* Port, const void* DevMode);
