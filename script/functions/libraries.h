// What the core needs of the library, extender and object families: the
// release of everything a context loaded (shutdown), and the extender
// entry behind an extender function's code (function calls).
#pragma once

#include <cstdint>

#include "context.h"
#include "tarn_extender.h"

namespace tarn::fn {

// dllload's libraries (functions/dll.cpp).
void CloseScriptLibraries(State& s);
// Bound extenders and their table (functions/extenders.cpp).
void ReleaseExtenders(ScriptContext* ctx);
// The object helper: its objects of this context, then the library
// (functions/objects.cpp).
void ReleaseObjectHelper(ScriptContext* ctx);

// The libraries of dllload and the extenders (shutdown frees them first;
// the object helper last).
inline void ReleaseLibraries(ScriptContext* ctx) {
    CloseScriptLibraries(S(ctx));
    ReleaseExtenders(ctx);
}

// The entry, request (the extender's own code) and slot of extender
// function `code`; false when the code names no bound extender function.
bool FindExtender(ScriptContext* ctx, int code, TarnCallback* entry, std::intptr_t* request, std::int32_t* slot);

}  // namespace tarn::fn
