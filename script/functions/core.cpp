// Interpreter functions: call, error mode, last error, decimals, versions.
#include <algorithm>

#include "builtins.h"
#include "errors.h"
#include "statements.h"

namespace tarn {
namespace {

void CallScript(Call& c) {
    RunCall(c.Context(), c.Str(0), c.Str(1));
    if (!c.Failed()) c.ReturnInt(1);
}

// The external-call variant of call exists only in other products.
void CallExt(Call& c) { c.Fail(err::CallExtDisabled); }

void ErrorModeFn(Call& c) {
    State& s = c.State();
    const int previous = s.error_mode;
    const int mode = c.Int(0);
    if (mode == kModeOff || mode == kModeCancel || mode == kModeNotify) s.error_mode = static_cast<std::int8_t>(mode);
    c.ReturnInt(previous);
}

// The code of the last reported (or suppressed) error; reading clears it.
void LastError(Call& c) {
    State& s = c.State();
    const int code = s.last_error;
    s.last_error = 0;
    c.ReturnInt(code);
}

void Decimals(Call& c) {
    State& s = c.State();
    const int previous = s.decimals;
    s.decimals = static_cast<std::int16_t>(std::clamp(c.Int(0), -1, 15));
    c.ReturnInt(previous);
}

void Version(Call& c) { c.ReturnText(TARN_VERSION_TEXT); }

constexpr BuiltinEntry kCore[] = {
    {"call", CallScript},   {"callext", CallExt}, {"errormode", ErrorModeFn}, {"lasterror", LastError},
    {"decimals", Decimals}, {"version", Version}, {"versiondll", Version},
};

}  // namespace
}  // namespace tarn

TARN_FAMILY(core, tarn::kCore)
