// An extender for the tests: "extadd"(a, b) gives a + b, "extgreet"(s)
// gives "hello " + s; "extfail"(n) fails with status n. Built a second time
// with TEST_EXTENDER_REFUSE, it refuses to load.
#include <cstdio>
#include <cstring>
#include <string>

#include "tarn_extender.h"

namespace {

struct Function {
    const char* name;
    int code;
    uint32_t descriptor;
};
[[maybe_unused]] constexpr Function kFunctions[] = {
    {"extadd", 7, 2},
    {"extgreet", 8, 1 | TARN_ARG_STRING(0)},
    {"extfail", 9, 1},
};

intptr_t Bind(TarnExtenderBind* b) {
#ifdef TEST_EXTENDER_REFUSE
    (void)b;
    return TARN_EXT_BIND_REFUSE;
#else
    if (b->index < 0 || b->index >= static_cast<int>(std::size(kFunctions))) return TARN_EXT_BIND_DONE;
    if (b->services->version != TARN_EXTENDER_VERSION || !b->services->services) return TARN_EXT_BIND_REFUSE;
    const Function& f = kFunctions[b->index];
    std::snprintf(b->name, sizeof b->name, "%s", f.name);
    b->code = static_cast<int16_t>(f.code);
    b->kind = TARN_KW_FUNCTION;
    b->descriptor = f.descriptor;
    return TARN_EXT_BIND_MORE;
#endif
}

}  // namespace

extern "C" __attribute__((visibility("default"))) intptr_t TarnExtender(TarnHandle, TarnHandle, intptr_t,
                                                                        intptr_t request, TarnViperAnswer answer,
                                                                        TarnAnswer* record, void* slot,
                                                                        const char* text1, const char*, const char*,
                                                                        const char*, const char*) {
    if (request == TARN_EXT_BIND) return Bind(static_cast<TarnExtenderBind*>(slot));
    const auto* call = static_cast<const TarnExtenderCall*>(slot);
    switch (request) {
        case 7: return answer(0, 0, record, 0, call->args[0].integer + call->args[1].integer, nullptr);
        case 8: {
            const std::string text = std::string("hello ") + TarnArgumentText(call, 0);
            return answer(0, 0, record, 1, 0, text.c_str());
        }
        case 9: return answer(call->args[0].integer, 0, record, 1, 0, (std::string("failed with ") + text1).c_str());
    }
    return answer(-3, 0, record, 0, 0, nullptr);
}
