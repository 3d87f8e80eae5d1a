#include "print_job.h"

#include <QPrinter>

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

}  // namespace vrayu
