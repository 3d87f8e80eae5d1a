// The conversation family's per-context state, released at shutdown.
#pragma once

#include "context.h"

namespace tarn {

// Ends every conversation of the context and leaves the bus.
void EndConversations(State& s);

}  // namespace tarn
