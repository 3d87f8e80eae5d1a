// Printing the Telugu pane through the control's selection print.
#pragma once

class QPrinter;

namespace vrayu {

class Tel1;

// True when the printer dialog left a printer to print to: a PDF file name,
// or a valid system printer.
bool PrinterSelected(const QPrinter& printer);

// Prints the Telugu pane's selection (everything when nothing is selected)
// to `printer` and ends the job.
void PrintSelection(Tel1& tel1, QPrinter& printer);

}  // namespace vrayu
