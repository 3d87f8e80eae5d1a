// Debugging aids: debug() switches single stepping through the "DEBUG"
// dialog, debugdata() writes to the debugger output (the Ui provider's
// DebugOutput: standard error on the console).
#include "functions/debug.h"

#include <array>
#include <mutex>
#include <unordered_map>

#include "builtins.h"
#include "errors.h"
#include "messages.h"
#include "values.h"
#include "variables.h"

namespace tarn {
namespace {

struct Words {
    const char* yes;
    const char* no;
};
// Outcome words by statement kind: true, false.
constexpr std::array<Words, 13> kOutcomes{{
    {"VALUE=>", "VALUE=>"},
    {"==>TRUE=>", "==>FALSE=> (skipped)"},
    {"STATEMENT SKIPPED", "STATEMENT SKIPPED"},
    {"WHILE==>TRUE", "WHILE==>FALSE"},
    {"END OPERATOR", "END OPERATOR"},
    {"SWITCH==>", "SWITCH==>"},
    {"BREAKING", "BREAK IGNORED"},
    {"CONTINUING", "CONTINUE IGNORED"},
    {"FOR TRUE==>", "FOR FALSE==>"},
    {"GOSUB", "RETURN"},
    {"IF DO==>TRUE", "IF DO==>FALSE"},
    {"ELSE DO==>TRUE", "ELSE DO==>FALSE"},
    {"CASE TRUE==>", "CASE FALSE==>"},
}};

constexpr std::int8_t kNotStarted = -2;

// The value shown after "VALUE=>", per context.
std::mutex values_mutex;
std::unordered_map<const ScriptContext*, std::string> values;

std::string& ValueText(const ScriptContext* ctx) {
    std::lock_guard lock(values_mutex);
    return values[ctx];
}

std::string CurrentOutcome(ScriptContext* ctx) {
    const State& s = S(ctx);
    if (s.debug_kind == kNotStarted) return "*** Debug Initialized ***";
    if (s.debug_error) return DebugErrorOutcome(s.debug_error, s.debug_stopped);
    std::string out = DebugOutcome(s.debug_kind, s.debug_truth);
    if (s.debug_kind == kDebugExpression) out += ValueText(ctx);
    return out;
}

// The variable field: the typed text up to the first "=" or blank names
// the variable.
std::string ShowVariable(ScriptContext* ctx, std::string_view typed) {
    const std::size_t cut = typed.find_first_of("= \t");
    std::string name(typed.substr(0, cut));
    std::string lower = name;
    for (char& ch : lower) ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
    const std::uint16_t slot = lower.empty() ? kNoVariable : LookupVariable(ctx, lower);
    std::string value;
    if (slot != kNoVariable) {
        const VariableEntry& v = ctx->variables[slot];
        if (ValueAsString(ctx, Value{v.real, v.integer, v.type, v.text, -1}, &value))
            return name + " = \"" + value + "\"";
    }
    return name + " = ??? Unknown Variable";
}

int ShowDialog(ScriptContext* ctx, std::string_view statement, const std::string& outcome) {
    Call c(ctx, 0, nullptr, nullptr, 0);
    static const std::vector<std::string> kButtons{"&Next", "&Run", "&Cancel", "&Show Var"};
    std::string field;
    while (true) {
        std::string text = "Next Statement...\n" + std::string(statement) + "\n\n" + outcome;
        if (!field.empty()) text += "\n" + field;
        const int b = c.ChooseButton("DEBUG", text, kButtons);
        if (b != 3) return b;
        const auto typed = c.AskLine("DEBUG", "Show Var", field, false);
        if (typed) field = ShowVariable(ctx, *typed);
    }
}

void Debug(Call& c) {
    State& s = c.State();
    const std::int8_t previous = s.debug_mode;
    const std::int32_t p = c.Int(0);
    s.debug_mode = static_cast<std::int8_t>(p >= 1 ? 1 : p == 0 ? 0 : -1);
    if (previous <= 0 && s.debug_mode > 0) s.debug_kind = kNotStarted;
    c.ReturnInt(previous);
}

// debugdata(label, text): one line "label: text" on the debugger output.
void DebugData(Call& c) {
    if (c.State().quiet) return c.ReturnInt(1);
    std::string line(c.Str(0));
    if (!line.empty()) line += ": ";
    line += c.Str(1);
    c.UiProvider().DebugOutput(line + "\n");
    c.ReturnInt(1);
}

constexpr BuiltinEntry kDebug[] = {
    {"debug", Debug},
    {"debugdata", DebugData},
};

}  // namespace

std::string DebugOutcome(int kind, int truth) {
    if (kind < 0 || kind >= static_cast<int>(kOutcomes.size())) return "";
    return truth == 0 ? kOutcomes[kind].no : kOutcomes[kind].yes;
}

std::string DebugErrorOutcome(int code, bool stopped) {
    const bool extender =
        code == err::ExtenderMinor || code == err::ExtenderModerate || code == err::ExtenderSevere || code == 9013;
    const char* words = extender ? (stopped ? "TERMINAL EXTENDER ERROR=>" : "EXTENDER ERROR SUPPRESSED =>")
                                 : (stopped ? "TERMINAL Tarn ERROR=>" : "Tarn ERROR SUPPRESSED =>");
    return words + std::to_string(code);
}

void DebugNote(ScriptContext* ctx, int kind, int truth) {
    State& s = S(ctx);
    if (s.debug_mode <= 0) return;
    s.debug_kind = static_cast<std::int8_t>(kind);
    s.debug_truth = static_cast<std::int8_t>(truth);
}

void DebugNoteValue(ScriptContext* ctx, const Value& v) {
    if (S(ctx).debug_mode <= 0) return;
    DebugNote(ctx, kDebugExpression, 1);
    std::string text;
    if (HasValue(v)) ValueAsString(ctx, v, &text);
    ValueText(ctx) = text;
}

bool DebugStep(ScriptContext* ctx, std::string_view statement) {
    State& s = S(ctx);
    // Quiet mode turns the debugging aids off (a background run has nobody
    // to answer the dialog).
    if (s.debug_mode <= 0 || s.quiet) return true;
    const int b = ShowDialog(ctx, statement, CurrentOutcome(ctx));
    s.debug_kind = -1;
    s.debug_truth = -1;
    s.debug_error = 0;
    if (b == 1) s.debug_mode = 0;
    if (b == 0 || b == 1) return true;
    s.error = kCodeCancel;
    return false;
}

void DebugEnd(ScriptContext* ctx, int result) {
    State& s = S(ctx);
    const bool stopped_by_error = result != 0 && s.debug_error && s.debug_stopped;
    if (s.debug_mode > 0 && !s.quiet && (result == 0 || stopped_by_error))
        ShowDialog(ctx, "", stopped_by_error ? CurrentOutcome(ctx) : std::string(MessageText(805)));
    std::lock_guard lock(values_mutex);
    values.erase(ctx);
}

}  // namespace tarn

TARN_FAMILY(debug, tarn::kDebug)
