//===- Printers.cpp - The printer object over Qt's print support -------------===//
#include "platform/ui/printing/Printers.h"

#include "platform/ui/printing/PrinterPage_p.h"
#include "platform/ui/printing/Printers_p.h"
#include "platform/ui/qt/QtConvert_p.h"
#include "platform/ui/forms/TApplication.h"
#include "platform/ui/graphics/TCanvas.h"

#include "platform/gdi/dc/DcBackend_p.h"
#include "platform/gdi/dc/DeviceContext_p.h"
#include "platform/gdi/Gdi.h"

#include "platform/rtl/Format.h"
#include "platform/rtl/AnsiString.h"

#include <QCoreApplication>
#include <QFile>
#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>

#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

constexpr const char* PrintToFileVariable = "VARNEX_PRINT_TO_PDF";
constexpr int DefaultPdfDpi = 300;
// Pages are drawn at 300 dpi on every printer: sharp on paper, and a page image of A4 stays
// near 35 MB.
constexpr int SystemPrinterDpi = 300;
// Pages beyond this many pixels (about A2 at 300 dpi) are refused rather than allocated.
constexpr int64_t MaxPagePixels = int64_t(64) << 20;

struct PrintToFile {
    bool set = false; // by SetPrintToFile; otherwise the environment decides
    std::string fileName;
    int dpi = DefaultPdfDpi;
};
PrintToFile printToFile;
bool systemPrintersListed = true;
// Every change of the configuration moves this on; printer objects read their list again.
int listGeneration = 0;

std::string pdfFileName()
{
    if (printToFile.set)
        return printToFile.fileName;
    const char* Variable = std::getenv(PrintToFileVariable);
    return Variable ? Variable : "";
}

struct PrinterEntry {
    std::string name;
    bool pdf = false;
};

void ensureQtApplication()
{
    // Print support and the clipboard need Qt's application; a program without one gets the
    // class library's, as it would when it opens its first window.
    if (!QCoreApplication::instance())
        Application->Initialize();
}

std::vector<PrinterEntry> listPrinters()
{
    std::vector<PrinterEntry> Entries;
    if (!pdfFileName().empty())
        Entries.push_back({ SPdfFilePrinter, true });
    if (systemPrintersListed) {
        ensureQtApplication();
        for (const QString& Name : QPrinterInfo::availablePrinterNames())
            Entries.push_back({ ui_private::fromQString(Name), false });
    }
    return Entries;
}

int defaultIndex(const std::vector<PrinterEntry>& Entries)
{
    if (Entries.empty())
        return -1;
    if (Entries.front().pdf)
        return 0;
    const std::string Default = ui_private::fromQString(QPrinterInfo::defaultPrinterName());
    for (size_t I = 0; I < Entries.size(); ++I)
        if (Entries[I].name == Default)
            return int(I);
    return 0;
}

const PrinterEntry* findEntry(const std::vector<PrinterEntry>& Entries, std::string_view Name)
{
    for (const PrinterEntry& E : Entries)
        if (SameText(E.name, Name))
            return &E;
    return nullptr;
}

/// Sets the printer up for an entry: where the output goes, its resolution, paper and
/// orientation.
void configure(QPrinter& P, const PrinterEntry& E, TPrinterOrientation Orientation)
{
    if (E.pdf) {
        P.setOutputFormat(QPrinter::PdfFormat);
        P.setOutputFileName(ui_private::toQString(pdfFileName()));
        P.setPageSize(QPageSize(QPageSize::A4));
        P.setPageMargins(QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter);
        P.setFullPage(true);
        P.setResolution(printToFile.set ? printToFile.dpi : DefaultPdfDpi);
    } else {
        // A file name left from the PDF file printer would keep the output going to a file.
        P.setOutputFileName(QString());
        P.setOutputFormat(QPrinter::NativeFormat);
        P.setPrinterName(ui_private::toQString(E.name));
        P.setFullPage(false);
        P.setResolution(SystemPrinterDpi);
    }
    P.setPageOrientation(Orientation == poLandscape ? QPageLayout::Landscape : QPageLayout::Portrait);
}

/// What GetDeviceCaps answers for the printer as configured.
DeviceCaps capsOf(const QPrinter& P)
{
    DeviceCaps Caps;
    Caps.technology = DT_RASPRINTER;
    Caps.logPixelsX = Caps.logPixelsY = P.resolution();
    Caps.bitsPixel = 24;
    const QRect Paper = P.paperRect(QPrinter::DevicePixel).toRect();
    const QRect Page = P.pageRect(QPrinter::DevicePixel).toRect();
    Caps.horzRes = Page.width();
    Caps.vertRes = Page.height();
    Caps.physicalWidth = Paper.width();
    Caps.physicalHeight = Paper.height();
    Caps.physicalOffsetX = Page.left() - Paper.left();
    Caps.physicalOffsetY = Page.top() - Paper.top();
    return Caps;
}

/// A context that answers the device's values and keeps state, and draws nowhere.
HDC createInformationContext(const DeviceCaps& Caps)
{
    return CreateDeviceContext(DeviceContext::Kind::Image, std::make_unique<NullBackend>(), Caps);
}

/// The printer's canvas: it takes the printer's context on its first call after each change.
class TPrinterCanvas : public TCanvas {
public:
    explicit TPrinterCanvas(TPrinter& Printer) : FPrinter(Printer) {}

protected:
    void CreateHandle() override
    {
        HDC Dc = FPrinter.GetHandle();
        if (!Dc)
            throw EPrinter(SInvalidPrinter);
        SetHandle(Dc);
    }

private:
    TPrinter& FPrinter;
};

} // namespace

struct TPrinter::Impl {
    bool listed = false;
    int generation = -1;
    std::vector<PrinterEntry> entries;
    TStringList names;
    int index = -1;

    std::unique_ptr<QPrinter> printer;
    HDC information = nullptr;

    // The job
    std::unique_ptr<QPainter> painter;
    std::unique_ptr<ui_private::PrinterPage> page;
    PrinterEntry jobEntry;

    QPrinter& device()
    {
        ensureQtApplication();
        if (!printer)
            printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
        return *printer;
    }
    const PrinterEntry* selected() const { return index >= 0 ? &entries[size_t(index)] : nullptr; }
    void endJob()
    {
        painter.reset();
        page.reset();
    }
};

TPrinter::TPrinter() : FImpl(std::make_unique<Impl>()), FCanvas(std::make_unique<TPrinterCanvas>(*this)) {}

TPrinter::~TPrinter()
{
    if (GetPrinting()) {
        try {
            Abort();
        } catch (const Exception&) {
            // A printer object that goes mid-job has nobody left to tell.
        }
    }
    FCanvas.reset();
    dropInformationContext();
}

// --- Printers

void TPrinter::checkList()
{
    if (!FImpl->listed || FImpl->generation != listGeneration)
        Refresh();
}

void TPrinter::Refresh()
{
    const PrinterEntry* Old = FImpl->selected();
    const std::string OldName = Old ? Old->name : std::string();
    FImpl->entries = listPrinters();
    FImpl->names.Clear();
    for (const PrinterEntry& E : FImpl->entries)
        FImpl->names.Add(E.name);
    FImpl->listed = true;
    FImpl->generation = listGeneration;
    const int Kept = OldName.empty() ? -1 : FImpl->names.IndexOf(OldName);
    FImpl->index = Kept >= 0 ? Kept : defaultIndex(FImpl->entries);
    dropInformationContext();
}

const TStringList& TPrinter::GetPrinters()
{
    checkList();
    return FImpl->names;
}

int TPrinter::GetPrinterIndex()
{
    checkList();
    return FImpl->index;
}

void TPrinter::SetPrinterIndex(int Value)
{
    checkList();
    if (GetPrinting())
        throw EPrinter(SPrinting);
    if (Value == -1)
        Value = defaultIndex(FImpl->entries);
    else if (Value < 0 || Value >= int(FImpl->entries.size()))
        throw EPrinter(SPrinterIndexError);
    FImpl->index = Value;
    dropInformationContext();
}

// --- Page settings

void TPrinter::SetOrientation(TPrinterOrientation Value)
{
    if (GetPrinting())
        throw EPrinter(SPrinting);
    if (Value == FOrientation)
        return;
    FOrientation = Value;
    dropInformationContext();
}

int TPrinter::GetPageWidth()
{
    HDC Dc = GetHandle();
    return Dc ? GetDeviceCaps(Dc, HORZRES) : 0;
}

int TPrinter::GetPageHeight()
{
    HDC Dc = GetHandle();
    return Dc ? GetDeviceCaps(Dc, VERTRES) : 0;
}

// --- Contexts

HDC TPrinter::GetHandle()
{
    if (FImpl->page)
        return FImpl->page->dc();
    checkList();
    if (!FImpl->information) {
        const PrinterEntry* Entry = FImpl->selected();
        if (!Entry)
            return nullptr;
        QPrinter& P = FImpl->device();
        configure(P, *Entry, FOrientation);
        FImpl->information = createInformationContext(capsOf(P));
    }
    return FImpl->information;
}

void TPrinter::dropInformationContext()
{
    if (!FImpl->information)
        return;
    // The canvas asks for the new context at its next call.
    if (FCanvas && !FImpl->page)
        FCanvas->SetHandle(nullptr);
    DeleteDC(FImpl->information);
    FImpl->information = nullptr;
}

void TPrinter::attachCanvas() { FCanvas->SetHandle(FImpl->page ? FImpl->page->dc() : nullptr); }

TCanvas* TPrinter::GetCanvas() { return FCanvas.get(); }

// --- Print jobs

bool TPrinter::GetPrinting() const { return FImpl->painter != nullptr; }

void TPrinter::BeginDoc()
{
    checkList();
    if (GetPrinting())
        throw EPrinter(SPrinting);
    const PrinterEntry* Entry = FImpl->selected();
    if (!Entry)
        throw EPrinter(SInvalidPrinter);
    QPrinter& P = FImpl->device();
    configure(P, *Entry, FOrientation);
    P.setDocName(ui_private::toQString(Title));
    P.setCreator(QStringLiteral("Varnex"));
    const DeviceCaps Caps = capsOf(P);
    const std::string Refused = Format(SCannotBeginDoc, { Entry->name });
    if (Caps.horzRes <= 0 || Caps.vertRes <= 0 || int64_t(Caps.horzRes) * Caps.vertRes > MaxPagePixels)
        throw EPrinter(Refused);
    auto Page = std::make_unique<ui_private::PrinterPage>(QSize(Caps.horzRes, Caps.vertRes), Caps);
    if (Page->image().isNull())
        throw EPrinter(Refused);
    auto Painter = std::make_unique<QPainter>();
    if (!Painter->begin(&P))
        throw EPrinter(Refused);
    FImpl->jobEntry = *Entry;
    FImpl->page = std::move(Page);
    FImpl->painter = std::move(Painter);
    FPageNumber = 1;
    FAborted = false;
    attachCanvas();
}

void TPrinter::NewPage()
{
    if (!GetPrinting())
        throw EPrinter(SNotPrinting);
    FImpl->page->paintOnto(*FImpl->painter);
    FImpl->printer->newPage();
    FImpl->page->clear();
    ++FPageNumber;
    attachCanvas();
}

void TPrinter::EndDoc()
{
    if (!GetPrinting())
        throw EPrinter(SNotPrinting);
    FImpl->page->paintOnto(*FImpl->painter);
    const bool Ended = FImpl->painter->end() && FImpl->printer->printerState() != QPrinter::Error;
    FImpl->endJob();
    FPageNumber = 0;
    attachCanvas();
    if (!Ended)
        throw EPrinter(Format(SCannotEndDoc, { FImpl->jobEntry.name }));
}

void TPrinter::Abort()
{
    if (!GetPrinting())
        throw EPrinter(SNotPrinting);
    QPrinter& P = *FImpl->printer;
    // Qt's file and spooler engines cannot always drop a job: what they were handed goes out
    // when the painter ends, except the PDF file, which is deleted here.
    P.abort();
    if (FImpl->painter->isActive())
        FImpl->painter->end();
    if (FImpl->jobEntry.pdf)
        QFile::remove(P.outputFileName());
    FImpl->endJob();
    FPageNumber = 0;
    FAborted = true;
    attachCanvas();
}

// --- The print-to-file printer

void TPrinter::SetPrintToFile(const std::string& FileName, int Dpi)
{
    printToFile.set = true;
    printToFile.fileName = FileName;
    printToFile.dpi = Dpi > 0 ? Dpi : DefaultPdfDpi;
    ++listGeneration;
}

void TPrinter::SetSystemPrinters(bool Listed)
{
    systemPrintersListed = Listed;
    ++listGeneration;
}

TPrinter* Printer()
{
    // Kept for the program's run, like the original's printer object.
    static TPrinter* Instance = new TPrinter;
    return Instance;
}

// --- The print dialogs

struct PrinterDialogAccess {
    static QPrinter& device(TPrinter& P)
    {
        QPrinter& Device = P.FImpl->device();
        P.checkList();
        if (const PrinterEntry* Entry = P.FImpl->selected(); Entry && !P.GetPrinting())
            configure(Device, *Entry, P.FOrientation);
        return Device;
    }
    static void adopt(TPrinter& P)
    {
        if (P.GetPrinting())
            return;
        const QPrinter& Device = P.FImpl->device();
        if (Device.outputFormat() == QPrinter::PdfFormat && !Device.outputFileName().isEmpty()) {
            TPrinter::SetPrintToFile(ui_private::fromQString(Device.outputFileName()),
                                     printToFile.set ? printToFile.dpi : DefaultPdfDpi);
            P.SetPrinterIndex(P.GetPrinters().IndexOf(SPdfFilePrinter));
        } else if (const int Index = P.GetPrinters().IndexOf(ui_private::fromQString(Device.printerName()));
                   Index >= 0) {
            P.SetPrinterIndex(Index);
        }
        P.SetOrientation(Device.pageLayout().orientation() == QPageLayout::Landscape ? poLandscape : poPortrait);
    }
};

QPrinter& ui_private::printerForDialogs() { return PrinterDialogAccess::device(*Printer()); }

void ui_private::adoptPrinterChoice() { PrinterDialogAccess::adopt(*Printer()); }

// --- The spooler's view

bool EnumPrintersA(uint32_t /*Flags*/, const char* Name, uint32_t Level, uint8_t* Buffer, uint32_t BufferSize,
                   uint32_t* Needed, uint32_t* Returned)
{
    uint32_t Ignored = 0;
    if (!Needed)
        Needed = &Ignored;
    if (!Returned)
        Returned = &Ignored;
    *Needed = 0;
    *Returned = 0;
    if ((Level != 4 && Level != 5) || (Name && *Name))
        return false;
    const std::vector<PrinterEntry> Entries = listPrinters();
    const size_t Record = Level == 4 ? sizeof(PRINTER_INFO_4A) : sizeof(PRINTER_INFO_5A);
    auto PortOf = [](const PrinterEntry& E) { return std::string(E.pdf ? "FILE:" : "CUPS:"); };
    size_t Size = Record * Entries.size();
    for (const PrinterEntry& E : Entries)
        Size += E.name.size() + 1 + (Level == 5 ? PortOf(E).size() + 1 : 0);
    *Needed = uint32_t(Size);
    if (Entries.empty())
        return true;
    if (!Buffer || BufferSize < Size)
        return false;
    // Records first, then their strings, as the original lays out the buffer.
    char* Strings = reinterpret_cast<char*>(Buffer) + Record * Entries.size();
    auto Put = [&](const std::string& Text) {
        char* At = Strings;
        std::memcpy(At, Text.c_str(), Text.size() + 1);
        Strings += Text.size() + 1;
        return At;
    };
    const int Default = defaultIndex(Entries);
    for (size_t I = 0; I < Entries.size(); ++I) {
        const uint32_t Attributes = PRINTER_ATTRIBUTE_LOCAL | (int(I) == Default ? PRINTER_ATTRIBUTE_DEFAULT : 0);
        if (Level == 4) {
            PRINTER_INFO_4A Info;
            Info.pPrinterName = Put(Entries[I].name);
            Info.Attributes = Attributes;
            std::memcpy(Buffer + I * Record, &Info, Record);
        } else {
            PRINTER_INFO_5A Info;
            Info.pPrinterName = Put(Entries[I].name);
            Info.pPortName = Put(PortOf(Entries[I]));
            Info.Attributes = Attributes;
            std::memcpy(Buffer + I * Record, &Info, Record);
        }
    }
    *Returned = uint32_t(Entries.size());
    return true;
}

HDC CreateICA(const char* Driver, const char* Device, const char* /*Port*/, const void* /*DevMode*/)
{
    if (Driver && SameText(Driver, "DISPLAY"))
        return createInformationContext(DeviceCaps {});
    if (!Device)
        return nullptr;
    const std::vector<PrinterEntry> Entries = listPrinters();
    const PrinterEntry* Entry = findEntry(Entries, Device);
    if (!Entry)
        return nullptr;
    ensureQtApplication();
    QPrinter P(QPrinter::HighResolution);
    configure(P, *Entry, poPortrait);
    return createInformationContext(capsOf(P));
}
