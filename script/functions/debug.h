// Single-step debugging: the outcome words of the statement kinds the
// statement loop notes (debug_hooks.h) for the "DEBUG" dialog.
#pragma once

#include <string>

#include "debug_hooks.h"

namespace tarn {

// The outcome words of a statement kind ("" for an unknown kind).
std::string DebugOutcome(int kind, int truth);
// The outcome of an error code, by whether it stopped the script.
std::string DebugErrorOutcome(int code, bool stopped);

}  // namespace tarn
