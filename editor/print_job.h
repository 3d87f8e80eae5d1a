// Printing the Telugu pane through the control's selection print, and the
// page setup that prepares the printer for it.
#pragma once

#include <QString>

class QPrinter;
class QWidget;

namespace vrayu {

class Tel1;
struct DialogStatus;

// True when the printer dialog left a printer to print to: a PDF file name,
// or a valid system printer.
bool PrinterSelected(const QPrinter& printer);

// Prints the Telugu pane's selection (everything when nothing is selected)
// to `printer` and ends the job.
void PrintSelection(Tel1& tel1, QPrinter& printer);

// "Error " + number + ": " + description.
QString DialogErrorText(const DialogStatus& status);

// Shows the page setup dialog for `printer`, which keeps what the user
// chose. A cancel is silent; a failure shows its error text.
void RunPageSetup(QWidget* parent, QPrinter& printer);

}  // namespace vrayu
