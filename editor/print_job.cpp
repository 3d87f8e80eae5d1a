#include "print_job.h"

#include <QPrinter>

#include "app_info.h"
#include "dialogs.h"
#include "tel1.h"

namespace vrayu {

bool PrinterSelected(const QPrinter& printer) {
    if (printer.outputFormat() == QPrinter::PdfFormat) return !printer.outputFileName().isEmpty();
    return printer.isValid() && !printer.printerName().isEmpty();
}

void PrintSelection(Tel1& tel1, QPrinter& printer) {
    // The printer stands in for the device context: its address crosses the
    // dispatch interface as a pointer-sized integer.
    tel1.Call(dispid::SelPrint, {QVariant::fromValue(reinterpret_cast<qintptr>(&printer))});
}

QString DialogErrorText(const DialogStatus& status) {
    return QStringLiteral("Error ") + QString::number(status.error) + QStringLiteral(": ") + status.description;
}

void RunPageSetup(QWidget* parent, QPrinter& printer) {
    const DialogStatus status = CurrentDialogs().PageSetup(parent, printer);
    // Cancelling is the user's choice, not a failure: like every other
    // dialog's cancel it ends the operation without a message.
    if (status.Accepted() || status.Cancelled()) return;
    CurrentDialogs().MsgBox(parent, DialogErrorText(status), kOKOnly, kAppTitle);
}

}  // namespace vrayu
