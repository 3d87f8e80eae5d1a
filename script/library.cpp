// The exported entry points: handshake and lifecycle, script runs, the
// services hosts and extenders use, and the answer function of callbacks.
#include <dlfcn.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <thread>

#include "builtins.h"
#include "context.h"
#include "errors.h"
#include "export_guard.h"
#include "functions/dde.h"
#include "functions/libraries.h"
#include "messages.h"
#include "windows_directory.h"
#include "statements.h"
#include "string_heap.h"
#include "tokenizer.h"
#include "ui_plugin.h"
#include "values.h"
#include "variables.h"

namespace tarn {
namespace {

std::atomic<int> g_busy{0};

// Serialises DoDaDllInit across threads: test and raise in one step.
class BusyGuard {
public:
    BusyGuard() {
        int expected = 0;
        while (!g_busy.compare_exchange_strong(expected, 1)) {
            expected = 0;
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
    }
    ~BusyGuard() { g_busy.store(0); }
};

void Copy(char* dst, std::size_t size, const char* src) { std::snprintf(dst, size, "%s", src ? src : ""); }

std::string PelrunIni() { return WindowsFile("PELRUN.INI"); }

void Initialise(ScriptContext* ctx, TarnHandle handle, TarnHandle window, intptr_t instance, const char* name) {
    std::memset(ctx->internal, 0, sizeof ctx->internal);
    State& s = *new (ctx->internal) State{};
    s.magic = kStateMagic;
    s.context_handle = handle;
    s.window = window;
    s.parent = window;
    s.instance = instance;
    Copy(s.host_name, sizeof s.host_name, name);
    s.error_mode = kModeCancel;
    s.decimals = -1;
    s.last_if = -1;
    s.host_intcontrol = -1;
    s.host_dialog = -1;
    const std::string ini = PelrunIni();
    s.sounds = ReadProfileInt(ini, "MAIN", "Sounds", 0) != 0;
    s.pretty_dialogs = ReadProfileInt(ini, "MAIN", "PrettyDialogs", 1) != 0;
    s.dde_timeout = 3000;
    s.item_delimiter = '\t';
    s.share_read = 1;
    s.share_write = 0;
    s.line_terminator = 1;
    s.four_digit_years = 1;
    s.window_wait = 9;
    s.activation_window = 3;
    s.activation_dialog = 3;
}

void Shutdown(ScriptContext* ctx) {
    State& s = S(ctx);
    fn::ReleaseLibraries(ctx);
    if (ctx->host_callback) {
        TarnAnswer answer{ctx, nullptr};
        ctx->host_callback(s.window, s.instance, TARN_CALLBACK_WORD, TARN_CB_SHUTDOWN, ViperAnswer, &answer, nullptr,
                           "", "", "", "", "");
    }
    EndConversations(s);
    for (std::intptr_t& f : s.files) {
        if (f) std::fclose(reinterpret_cast<FILE*>(f));
        f = 0;
    }
    for (TarnHandle& b : s.binaries) {
        if (b) {
            while (GlobalUnlock(b) > 0) {
            }
            GlobalFree(b);
        }
        b = 0;
    }
    fn::ReleaseObjectHelper(ctx);
    ForgetVariableIndex(ctx);
    s.magic = 0;
}

// Index of a named entry in the host table, or -1.
std::int32_t HostEntry(const KeywordEntry* table, const char* name) {
    if (!table) return -1;
    for (int i = 0; i <= 999 && table[i].name_length != 0; ++i)
        if (std::strncmp(table[i].name, name, sizeof table[i].name) == 0) return i;
    return -1;
}

}  // namespace
}  // namespace tarn

using namespace tarn;

extern "C" {

intptr_t DoDaDllInit(TarnHandle window, TarnHandle context, intptr_t third, uint16_t request, intptr_t number,
                     const char* text1, const char* text2) {
    (void)text2;
    return Guarded<intptr_t>(0, [&]() -> intptr_t {
        BusyGuard busy;
        switch (request) {
            case 0:
                if (((static_cast<uintptr_t>(third) >> 8) & 0xFF) == 19) return TARN_CONTEXT_SIZE;
                ShowMessage(nullptr, "DLL mismatch", "Version Interface Incompatible", Buttons::Ok, Icon::Stop);
                return 0;
            case 1: {
                if (GlobalSize(context) < TARN_CONTEXT_SIZE) return 0;
                Locked l(context);
                if (!l) return 0;
                auto* ctx = static_cast<ScriptContext*>(l.get());
                Initialise(ctx, context, window, number, text1);
                return 52;
            }
            case 2: {
                LockedContext l(context);
                if (!l) return 0;
                ScriptContext* ctx = l.get();
                const std::size_t size = GlobalSize(third);
                if (!size || number <= 0) return 0;
                State& s = S(ctx);
                s.variables_handle = third;
                // Never trust a capacity larger than the block.
                const std::size_t fits = size / sizeof(VariableEntry);
                s.variables_capacity = static_cast<std::uint16_t>(
                    std::min<std::size_t>({static_cast<std::size_t>(number), fits, std::size_t{0xFFFE}}));
                s.variables_used = 0;
                ForgetVariableIndex(ctx);
                s.window = window;
                s.parent = window;
                char exe[kTextBuf] = {};
                const ssize_t n = readlink("/proc/self/exe", exe, sizeof exe - 1);
                if (n > 0) exe[n] = 0;
                Copy(s.module_name, sizeof s.module_name, exe);
                return 1;
            }
            case 3: {
                LockedContext l(context);
                if (!l) return 0;
                ScriptContext* ctx = l.get();
                Locked heap(third);
                if (!heap || number <= 0) return 0;
                const std::size_t size = std::min<std::size_t>(static_cast<std::size_t>(number), GlobalSize(third));
                if (!FormatHeap(static_cast<StringHeap*>(heap.get()), static_cast<std::uint32_t>(size))) return 0;
                S(ctx).heap_handle = third;
                S(ctx).heap_size = static_cast<std::uint32_t>(size);
                return 1;
            }
            case 99: {
                LockedContext l(context);
                if (!l) return 0;
                Attached a(l.get());
                Shutdown(l.get());
                return 1;
            }
            default: return 0;
        }
    });
}

intptr_t ProcessDaBatBuffer(TarnHandle window, TarnHandle context, TarnHandle script, TarnCallback host_callback,
                            const KeywordEntry* host_table) {
    return Guarded<intptr_t>(0, [&]() -> intptr_t {
        LockedContext l(context);
        if (!l) return 0;
        ScriptContext* ctx = l.get();
        Locked t(script);
        if (!t) return 0;
        char* text = static_cast<char*>(t.get());
        std::uint32_t length = static_cast<std::uint32_t>(GlobalSize(script));
        std::string converted;
        if (HasUtf16Mark(std::string_view(text, length))) {
            auto c = FromUtf16(std::string_view(text, length));
            if (!c) {
                ShowMessage(ctx, MessageText(111), MessageText(215), Buttons::Ok, Icon::Stop);
                return 0;
            }
            converted = std::move(*c);
            text = converted.data();
            length = static_cast<std::uint32_t>(converted.size());
        }
        Attached a(ctx);
        if (!a.ok()) return 0;
        State& s = S(ctx);
        s.window = window;
        s.parent = window;
        ctx->host_callback = host_callback;
        s.host_table = host_table;
        s.host_intcontrol = HostEntry(host_table, "intcontrol");
        s.host_dialog = HostEntry(host_table, "dialog");
        s.terminate = 0;
        s.exit_code = 0;
        s.error = 0;
        s.last_error = 0;
        s.stack_top = 0;
        s.call_depth = 0;
        s.debug_mode = 0;
        s.for_resume = 0;
        s.error_mode = kModeCancel;
        s.last_if = -1;
        s.stop_code = 0;
        s.stop_from_call = 0;
        s.script_name[0] = 0;
        const int result = RunScript(ctx, text, length);
        s.outcome = (result == 0) ? 1 : 0;
        s.outcome_code = static_cast<std::int16_t>(result ? result : s.last_error);
        return 1;
    });
}

intptr_t DLLServices(TarnHandle context, uint16_t request, const char* text_in, char* text_out, intptr_t number,
                     intptr_t number2) {
    (void)number2;
    return Guarded<intptr_t>(0, [&]() -> intptr_t {
        LockedContext l(context);
        if (!l) return 0;
        ScriptContext* ctx = l.get();
        State& s = l.state();
        switch (request) {
            case 1: {
                Attached a(ctx);
                if (!a.ok() || !text_in) return 0;
                const std::int16_t saved = s.error;
                const bool ok = SetVariableText(ctx, text_in, text_out ? text_out : "");
                s.error = saved;
                return ok ? 1 : 0;
            }
            case 2: {
                Attached a(ctx);
                if (!a.ok() || !text_in || !text_out || number <= 0) return 0;
                std::string v;
                if (!GetVariableText(ctx, text_in, &v)) return 0;
                const std::size_t n = std::min<std::size_t>(v.size(), static_cast<std::size_t>(number) - 1);
                std::memcpy(text_out, v.data(), n);
                text_out[n] = 0;
                return 1;
            }
            case 3: {
                const intptr_t previous = s.host_flags;
                s.host_flags = static_cast<std::uint32_t>(number);
                return previous;
            }
            case 7:
                s.exit_code = static_cast<std::int32_t>(number);
                s.terminate = 1;
                return 1;
            case 11: {
                Attached a(ctx);
                if (!a.ok()) return 0;
                const std::int16_t saved = s.error;
                const int n = SetParameters(ctx, text_in ? text_in : "");
                s.error = saved;
                return n;
            }
            case 23: {
                const intptr_t previous = s.quiet;
                s.quiet = number != 0;
                if (s.quiet) s.sounds = 0;
                if (text_in && *text_in) Copy(s.quiet_log, 261, text_in);
                return previous;
            }
            default: return 0;
        }
    });
}

intptr_t ViperAnswer(intptr_t status, intptr_t ignored, TarnAnswer* answer, intptr_t text_flag, intptr_t number,
                     const char* text) {
    (void)ignored;
    if (!answer || !answer->context) return status;
    return Guarded<intptr_t>(-4, [&]() -> intptr_t {
        ScriptContext* ctx = answer->context;
        State& s = S(ctx);
        if (status >= 0) {
            if (!answer->result) return status;
            ReleaseValue(ctx, *answer->result);
            if (text_flag) {
                const std::int16_t saved = s.error;
                const std::uint16_t off = StoreText(ctx, text ? text : "");
                s.error = saved;
                if (!off) return -4;
                SetText(*answer->result, off);
            } else {
                SetInt(*answer->result, static_cast<std::int32_t>(number));
            }
            return status;
        }
        if (text_flag && text) Copy(s.error_detail, sizeof s.error_detail, text);
        else Copy(s.error_detail, sizeof s.error_detail, std::string(MessageText(866)).c_str());
        return status;
    });
}

uint32_t find_var(ScriptContext* ctx, const char* name) {
    return Guarded<uint32_t>(
        0xFFFF,
        [&]() -> uint32_t {
            State& s = S(ctx);
            std::string n;
            for (const char* p = name; p && *p && n.size() < TARN_NAME_MAX; ++p)
                n.push_back(static_cast<char>(std::tolower(static_cast<unsigned char>(*p))));
            const std::uint16_t slot = LookupVariable(ctx, n);
            if (slot == kNoVariable) {
                s.error = err::UndefinedVariable;
                return 0xFFFF;
            }
            if (!HasValue(Value{0, 0, ctx->variables[slot].type, 0, -1})) {
                s.error = err::UninitializedVariable;
                return 0xFFFF;
            }
            return slot;
        },
        ctx);
}

void DoDllAbout(TarnHandle window, TarnHandle context) {
    (void)window;
    GuardedVoid([&] {
        LockedContext l(context);
        ShowMessage(l.get(), MessageText(834), std::string(MessageText(849)) + TARN_VERSION_TEXT, Buttons::Ok,
                    Icon::Information);
    });
}

int TarnSelectUi(const char* name, const char* answers) {
    return Guarded(0, [&] {
        const std::string_view n = name ? name : "";
        if (n == "console") SetUi(MakeConsoleUi());
        else if (n == "quiet") SetUi(MakeQuietUi());
        else if (n == "qt") SetUi(MakeQtUi());
        else if (n == "auto") SetUi(DisplayPresent() ? MakeQtUi() : MakeConsoleUi());
        else if (n == "scripted") SetUi(std::make_unique<ScriptedUi>(SplitAnswers(answers ? answers : "")));
        else return 0;
        return 1;
    });
}

int TarnLastOutcome(TarnHandle context, int* code, char* message, size_t message_size) {
    return Guarded(0, [&]() -> int {
        LockedContext l(context);
        if (!l) return 0;
        const State& s = l.state();
        // A stopped run reports the error that stopped it; a termination
        // request (or one the host answered) is 9013, message 193.
        int outcome = s.outcome_code;
        if (s.outcome == 0 && s.stop_code) outcome = s.stop_code;
        else if (outcome == kCodeStop) outcome = kCodeCallFailed;
        if (code) *code = outcome;
        // Internal stop codes have no text of their own.
        std::string_view text = MessageText(outcome);
        if (text.empty()) text = MessageText(193);
        if (message && message_size)
            std::snprintf(message, message_size, "%.*s", static_cast<int>(text.size()), text.data());
        return s.outcome;
    });
}

int TarnLastStop(TarnHandle context, unsigned* line, char* script, size_t script_size, char* text, size_t text_size) {
    return Guarded(0, [&]() -> int {
        LockedContext l(context);
        if (!l) return 0;
        const State& s = l.state();
        if (s.outcome != 0 || !s.stop_code) return 0;
        if (line) *line = s.stop_line;
        if (script && script_size) Copy(script, script_size, s.stop_script);
        if (text && text_size) Copy(text, text_size, s.stop_text);
        return 1;
    });
}

}  // extern "C"
