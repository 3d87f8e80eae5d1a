#include "fuzz_input.h"

#include <cstdlib>
#include <cstring>
#include <mutex>
#include <string_view>

#include "builtins.h"
#include "keywords.h"
#include "tarnproc.h"

namespace tarn::fuzz {
namespace {

constexpr int kStatementBudget = 5000;
int g_statements = 0;

intptr_t Budget(TarnHandle, TarnHandle, intptr_t, intptr_t request, TarnViperAnswer, TarnAnswer*, void*, const char*,
                const char*, const char*, const char*, const char*) {
    if (request == TARN_CB_STATEMENT && ++g_statements > kStatementBudget) return -6;
    return 0;
}

void OutOfReach(Call& c) { c.Fail(3472); }

// Functions that touch files, programs, libraries, the registry or the
// desktop are replaced for the fuzzer.
void FenceFunctions() {
    static constexpr std::string_view kPrefixes[] = {
        "file",       "dir",         "disk",      "run",        "dll",          "addextender", "call",
        "shell",      "ini",         "reg",       "binaryread", "binarywrite",  "binaryclip",  "clip",
        "intcontrol", "win",         "send",      "mouse",      "play",         "dde",         "object",
        "environset", "installfile", "icon",      "endsession", "terminate",    "wallpaper",   "print",
        "snapshot",   "timewait",    "timedelay", "delay",      "appwaitclose", "waitforkey",  "keytoggle",
        "dialog",     "textbox",     "debug",     "shortcut",   "logdisk",      "askfile",     "askdirectory",
        "netinfo",
    };
    for (const KeywordEntry& e : kKeywordTable) {
        const std::string_view name(e.name, strnlen(e.name, sizeof e.name));
        for (std::string_view p : kPrefixes)
            if (name.substr(0, p.size()) == p && (e.kind == TARN_KW_FUNCTION)) SetBuiltin(e.index, OutOfReach);
    }
}

}  // namespace

int RunInput(const std::uint8_t* data, std::size_t size) {
    static std::once_flag once;
    std::call_once(once, [] {
        FenceFunctions();
        TarnSelectUi("quiet", nullptr);
        // beep and the boxes' system sounds stay silent.
        setenv("TARN_SOUND", "off", 1);
    });
    g_statements = 0;
    constexpr int kVariables = 100;
    const TarnHandle ctx = GlobalAlloc(GHND, TARN_CONTEXT_SIZE);
    const TarnHandle vars = GlobalAlloc(GHND, kVariables * sizeof(VariableEntry));
    const TarnHandle heap = GlobalAlloc(GHND, 65536);
    const TarnHandle text = GlobalAlloc(GHND, size + 1);
    std::memcpy(GlobalLock(text), data, size);
    GlobalUnlock(text);
    DoDaDllInit(0, ctx, 0, 1, 0, "fuzz", nullptr);
    DoDaDllInit(0, ctx, vars, 2, kVariables, nullptr, nullptr);
    DoDaDllInit(0, ctx, heap, 3, 65536, nullptr, nullptr);
    DLLServices(ctx, 23, "", nullptr, 1, 0);
    DLLServices(ctx, 3, nullptr, nullptr, TARN_HOST_NOTIFY_STATEMENTS, 0);
    DLLServices(ctx, 11, "one 'two three'", nullptr, 0, 0);
    ProcessDaBatBuffer(0, ctx, text, Budget, nullptr);
    DoDaDllInit(0, ctx, 0, 99, 0, nullptr, nullptr);
    GlobalFree(text);
    GlobalFree(heap);
    GlobalFree(vars);
    GlobalFree(ctx);
    return g_statements;
}

}  // namespace tarn::fuzz
