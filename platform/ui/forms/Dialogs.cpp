//===- Dialogs.cpp - The save, print and printer set-up dialogs ---------------===//
#include "platform/ui/forms/Dialogs.h"

#include "platform/ui/printing/Printers_p.h"
#include "platform/ui/components/Published.h"
#include "platform/ui/qt/QtConvert_p.h"
#include "platform/ui/forms/TApplication.h"

#include <QApplication>
#include <QFileDialog>
#include <QPageSetupDialog>
#include <QPrintDialog>
#include <QPrinter>

#include <utility>

namespace {

TCommonDialog::DialogHook dialogHook;

const PublishedClass& CommonDialogClass = PublishClass<TCommonDialog, TComponent>("TCommonDialog");
const PublishedClass& SaveDialogClass =
    PublishClass<TSaveDialog, TCommonDialog>("TSaveDialog", [](Published<TSaveDialog>& P) {
        P.String("Title", &TSaveDialog::Title);
        P.String("InitialDir", &TSaveDialog::InitialDir);
        P.String("FileName", &TSaveDialog::FileName);
        P.String("DefaultExt", &TSaveDialog::DefaultExt);
        P.String("Filter", &TSaveDialog::Filter);
        P.Int("FilterIndex", &TSaveDialog::FilterIndex);
        P.Set("Options", TOpenOptionType, &TSaveDialog::Options);
    });
const PublishedClass& PrintDialogClass = PublishClass<TPrintDialog, TCommonDialog>("TPrintDialog");
const PublishedClass& PrinterSetupDialogClass = PublishClass<TPrinterSetupDialog, TCommonDialog>("TPrinterSetupDialog");

/// "pdf-files(*.pdf)|*.pdf|All files(*.*)|*.*" as Qt's name filters.
QStringList nameFilters(const std::string& Filter)
{
    QStringList Parts = ui_private::toQString(Filter).split(QLatin1Char('|'));
    QStringList Filters;
    for (qsizetype I = 0; I + 1 < Parts.size(); I += 2) {
        QString Patterns = Parts[I + 1];
        Patterns.replace(QLatin1Char(';'), QLatin1Char(' '));
        // A description that names its patterns already is shown as it stands; Qt reads the
        // patterns from its end, and adding them again would show them twice.
        const QString Named = QLatin1Char('(') + Patterns + QLatin1Char(')');
        Filters << (Parts[I].endsWith(Named) ? Parts[I] : Parts[I] + QLatin1Char(' ') + Named);
    }
    return Filters;
}

/// The printer the dialogs set up: the one Printer() prints on.
QPrinter& sharedPrinter() { return ui_private::printerForDialogs(); }

} // namespace

TCommonDialog::TCommonDialog(TComponent* AOwner) : TComponent(AOwner) {}

bool TCommonDialog::Execute()
{
    if (dialogHook) {
        DialogHook Hook = dialogHook;
        return Hook(*this);
    }
    Application->Initialize();
    return ExecuteDialog();
}

TCommonDialog::DialogHook TCommonDialog::SetDialogHook(DialogHook Hook)
{
    return std::exchange(dialogHook, std::move(Hook));
}

// --- TSaveDialog

TSaveDialog::TSaveDialog(TComponent* AOwner) : TCommonDialog(AOwner) {}

bool TSaveDialog::ExecuteDialog()
{
    QFileDialog Dialog(QApplication::activeWindow(), ui_private::toQString(Title), ui_private::toQString(InitialDir));
    Dialog.setAcceptMode(QFileDialog::AcceptSave);
    Dialog.setFileMode(QFileDialog::AnyFile);
    Dialog.setOption(QFileDialog::DontConfirmOverwrite, !Options.Contains(ofOverwritePrompt));
    const QStringList Filters = nameFilters(Filter);
    if (!Filters.isEmpty()) {
        Dialog.setNameFilters(Filters);
        if (FilterIndex >= 1 && FilterIndex <= Filters.size())
            Dialog.selectNameFilter(Filters[FilterIndex - 1]);
    }
    if (!DefaultExt.empty())
        Dialog.setDefaultSuffix(ui_private::toQString(DefaultExt));
    if (!FileName.empty())
        Dialog.selectFile(ui_private::toQString(FileName));
    if (Dialog.exec() != QDialog::Accepted || Dialog.selectedFiles().isEmpty())
        return false;
    FileName = ui_private::fromQString(Dialog.selectedFiles().first());
    if (!Filters.isEmpty())
        FilterIndex = static_cast<int>(Filters.indexOf(Dialog.selectedNameFilter())) + 1;
    return true;
}

// --- Printing

bool TPrintDialog::ExecuteDialog()
{
    QPrintDialog Dialog(&sharedPrinter(), QApplication::activeWindow());
    const bool Accepted = Dialog.exec() == QDialog::Accepted;
    if (Accepted)
        ui_private::adoptPrinterChoice();
    return Accepted;
}

bool TPrinterSetupDialog::ExecuteDialog()
{
    QPageSetupDialog Dialog(&sharedPrinter(), QApplication::activeWindow());
    const bool Accepted = Dialog.exec() == QDialog::Accepted;
    if (Accepted)
        ui_private::adoptPrinterChoice();
    return Accepted;
}
