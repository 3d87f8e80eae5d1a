// Built-in function families: the handler interface and their registration.
//
// How to add a family
// -------------------
// 1. Create script/functions/<family>.cpp and add it to TARN_FAMILY_SOURCES
//    in script/CMakeLists.txt. Logic that needs no interpreter types (text,
//    numbers, files) goes into its own file in script/functions/logic/ (the
//    static library tarn_functions_logic) with a unit test in
//    tests/script/functions/logic/; the family file only converts arguments
//    and results around it. Headers are included by folder from script/:
//    "functions/logic/textops.h", "functions/family_util.h", "values.h".
// 2. Write one handler per built-in, `void Name(tarn::Call& c)`. Before the
//    handler runs, the dispatcher has parsed "(" args ")" with the exact
//    count of the keyword table and converted every argument by its
//    descriptor: read them with c.Int(i), c.Float(i), c.Str(i) (0-based).
//    Variadic functions (count TARN_VARIADIC) get the raw values instead:
//    c.Count(), c.Arg(i), and convert with c.ToInt / c.ToFloat / c.ToStr.
//    Arguments and results are owned by the caller (OwnedArgs, OwnedValue
//    in owned_value.h): a handler never releases a value itself, on any path.
// 3. Give the result with c.ReturnInt, c.ReturnFloat or c.ReturnText (a
//    handler that returns nothing gives integer 0); a handle (an integer of
//    the handle type, e.g. an open file) with c.ReturnHandle. An integer
//    argument that holds a handle keeps its type: test it with c.IsHandle(i).
//    On failure `return c.Fail(err::Name);` with the name of its message
//    (errors.h; add a name there for a message not named yet, the build
//    checks that the message exists). The statement loop reports it by
//    severity and error mode. c.Fail(tarn::kCodeCancel) is the user's
//    cancel; a function with no meaning on Linux fails with
//    err::NotAvailable and is listed in functions/LINUX-MEANINGS.md.
// 4. Ask the user through c.Message, c.AskLine, c.ChooseButton and
//    c.ChooseItem: they honour quiet mode (log and answer Cancel).
//    Per-context settings and resources are in c.State() (see context.h:
//    file slots, item delimiter, ...); variables by name through variables.h.
// 5. At the end of the file, one table per family:
//        constexpr tarn::BuiltinEntry kStrings[] = {
//            {"strlen", StrLen},
//            {"strcat", StrCat},
//        };
//        TARN_FAMILY(strings, kStrings)
//    Each name is resolved to its keyword code while the file compiles: a
//    name that is not a function of the keyword table (keywords.h), or "@"
//    for the handler of dotted object references (obj.member ...: it runs
//    with no arguments, finds the dotted name in c.State().token and reads
//    the rest of the statement itself with get_token), fails the build. A
//    built-in that no family registers raises err::FunctionNotDefined at
//    run time. A later registration of a name replaces an earlier one.
// 6. Tests: a case file per family in tests/script/functions/cases/
//    (tests/script/run_cases.sh: ";--- name" cases with ";= var=value" and
//    ";@error" expectations), unit tests for the logic, and the fuzzer's fence list
//    (tests/script/fuzz/fuzz_input.cpp) when a function touches files,
//    programs or the desktop.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "context.h"
#include "keywords.h"
#include "tarnproc.h"
#include "ui.h"
#include "variables.h"

namespace tarn {

class Call;
using Builtin = void (*)(Call& c);

// Code of a name that a handler may be registered for: a function of the
// keyword table, or "@" (dotted object references). Evaluated at compile
// time only; any other name stops the build at the family's table.
consteval int BuiltinCode(std::string_view name) {
    const int code = KeywordCode(name);
    if (code < 0) throw "not a name of the keyword table";
    const int kind = kKeywordTable[code].kind;
    if (kind != TARN_KW_FUNCTION && kind != TARN_KW_VARFUNCTION && code != kw::Object)
        throw "not a function of the keyword table";
    return code;
}

// One row of a family's table: {"name", Handler}, resolved to its keyword
// code when the family file compiles.
struct BuiltinEntry {
    consteval BuiltinEntry(std::string_view name, Builtin h) : code(BuiltinCode(name)), handler(h) {}
    int code;
    Builtin handler;
};

// Functions that read their own arguments from the statement (no
// descriptor conversion): the handler runs with no arguments, with the
// function's name as the current token, and leaves the token after what
// it read current. Dotted object references and dllcall.
constexpr bool ParsesOwnArguments(int code) { return code == kw::Object || code == KeywordCode("dllcall"); }

// Functions that only read the string arguments they are given: a string
// variable standing alone as such an argument is lent to the handler, not
// copied, and the handler learns which variable it is (Call::Source), so
// that it may keep its place in a long list from one call to the next.
inline constexpr int kLentArgsMax = 3;  // only the first arguments are lent
constexpr bool ReadsStringsInPlace(int code) {
    return code == KeywordCode("itemextract") || code == KeywordCode("itemcount");
}

// Installs a family's table; TARN_FAMILY calls it at load time. A later
// registration of a code replaces an earlier one.
void RegisterFamily(std::span<const BuiltinEntry> table);
// Replaces one handler by code (test harnesses that fence functions off).
void SetBuiltin(int code, Builtin handler);

// The handler of a code (built-in keyword position), or null.
Builtin FindBuiltin(int code);

#define TARN_FAMILY(family, table)                                                    \
    namespace {                                                                       \
    [[maybe_unused]] const bool tarn_family_##family =                                \
        (::tarn::RegisterFamily(std::span<const ::tarn::BuiltinEntry>(table)), true); \
    }

// One function call in progress.
class Call {
public:
    Call(ScriptContext* ctx, int code, Value* result, Value* args, int count, const VariableStamp* sources = nullptr)
        : ctx_(ctx), code_(code), result_(result), args_(args), count_(count), sources_(sources) {}

    ScriptContext* Context() const { return ctx_; }
    tarn::State& State() const { return S(ctx_); }
    int Code() const { return code_; }
    std::string_view Name() const;

    // Arguments, 0-based. For fixed counts they are already converted.
    int Count() const { return count_; }
    std::int32_t Int(int i) const { return args_[i].integer; }
    double Float(int i) const { return args_[i].real; }
    std::string_view Str(int i) const;
    Value& Arg(int i) const { return args_[i]; }
    // The variable argument i was lent from, unchanged since the stamp;
    // an unknown stamp when it was not a lent variable.
    VariableStamp Source(int i) const { return sources_ && i < kLentArgsMax ? sources_[i] : VariableStamp{}; }
    // True when argument i is a value of the handle type (not a plain number).
    bool IsHandle(int i) const;

    // Conversions for variadic handlers; false with the error set on failure.
    bool ToInt(int i, std::int32_t* out);
    bool ToFloat(int i, double* out);
    bool ToStr(int i, std::string_view* out);

    // Results.
    void ReturnInt(std::int32_t v);
    void ReturnFloat(double v);
    void ReturnHandle(std::int32_t h);       // the integer h, of the handle type
    void ReturnObject(std::int32_t id);      // an object of the object helper
    bool ReturnText(std::string_view text);  // false: 3096 set (heap full)

    // Statement error (message number).
    void Fail(int code) { S(ctx_).error = static_cast<std::int16_t>(code); }
    bool Failed() const { return S(ctx_).error != 0; }

    // User interface, honouring quiet mode and sounds.
    Answer Message(std::string_view caption, std::string_view text, Buttons buttons, Icon icon);
    std::optional<std::string> AskLine(std::string_view title, std::string_view prompt, std::string_view initial,
                                       bool hidden);
    // A choice among buttons (position, or -1 when closed) and a choice
    // from a list (position, -1 confirmed without a choice, nullopt Cancel).
    int ChooseButton(std::string_view caption, std::string_view text, const std::vector<std::string>& buttons);
    std::optional<int> ChooseItem(std::string_view title, const std::vector<std::string>& items);
    Ui& UiProvider() const { return CurrentUi(); }
    // The dialogs of the dialog family, honouring quiet mode (logged,
    // Cancel), sounds ("SystemQuestion" first) and the button names of
    // buttonnames() (used up by the next dialog that has OK and Cancel).
    std::optional<std::string> AskText(std::string_view title, std::string_view prompt, std::string_view initial,
                                       bool hidden);
    std::optional<std::vector<int>> ChooseList(ListRequest r);
    int RunForm(Form& form);
    std::optional<std::vector<std::string>> AskFileName(const FileRequest& r);
    std::optional<std::string> AskDirectory(const DirectoryRequest& r);

private:
    ScriptContext* ctx_;
    int code_;
    Value* result_;
    Value* args_;
    int count_;
    const VariableStamp* sources_;
};

// Message box of the library for any caller (quiet mode: logged, Cancel).
Answer ShowMessage(ScriptContext* ctx, std::string_view caption, std::string_view text, Buttons buttons, Icon icon);

}  // namespace tarn
