// Built-in function families: the handler interface and their registration.
//
// How to add a family
// -------------------
// 1. Create script/functions/<family>.cpp and add it to TARN_FAMILY_SOURCES
//    in script/CMakeLists.txt.
// 2. Write one handler per built-in, `void Name(tarn::Call& c)`. Before the
//    handler runs, the dispatcher has parsed "(" args ")" with the exact
//    count of the keyword table and converted every argument by its
//    descriptor: read them with c.Int(i), c.Float(i), c.Str(i) (0-based).
//    Variadic functions (count TARN_VARIADIC) get the raw values instead:
//    c.Count(), c.Arg(i), and convert with c.ToInt / c.ToFloat / c.ToStr.
// 3. Give the result with c.ReturnInt, c.ReturnFloat or c.ReturnText (a
//    handler that returns nothing gives integer 0); a handle (an integer of
//    the handle type, e.g. an open file) with c.ReturnHandle. An integer
//    argument that holds a handle keeps its type: test it with c.IsHandle(i). On failure call
//    c.Fail(code) with the message number and return; the statement loop
//    reports it by severity and error mode. c.Fail(tarn::kCodeCancel)
//    is the user's cancel.
// 4. Ask the user through c.Message, c.AskLine, c.ChooseButton and
//    c.ChooseItem: they honour quiet
//    mode (log and answer Cancel). Per-context settings and resources are in
//    c.State() (see context.h: file slots, item delimiter, ...); variables
//    by name through variables.h.
// 5. At the end of the file, one table per family:
//        constexpr tarn::BuiltinEntry kStrings[] = {
//            {"strlen", StrLen},
//            {"strcat", StrCat},
//        };
//        TARN_FAMILY(strings, kStrings)
//    Every name must be a function of the keyword table (keywords.h), or
//    "@" for the handler of dotted object references (obj.member ...): it
//    runs with no arguments, finds the dotted name in c.State().token and
//    reads the rest of the statement itself with get_token;
//    a built-in that no family registers raises 3046 "Internal Error 3046.
//    Function not defined". A later registration of a name replaces an
//    earlier one.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "context.h"
#include "tarnproc.h"
#include "ui.h"

namespace tarn {

class Call;
using Builtin = void (*)(Call& c);

struct BuiltinEntry {
    const char* name;  // lower-case keyword name
    Builtin handler;
};

// Adds a family's table; called by TARN_FAMILY at load time. Returns the
// number of names that are not functions of the keyword table (0 expected).
int RegisterFamily(const char* family, std::span<const BuiltinEntry> table);

// The handler of a code (built-in keyword position), or null.
Builtin FindBuiltin(int code);
// Names registered per family, for tests and diagnostics.
int RegisteredCount();

#define TARN_FAMILY(family, table)                                            \
    namespace {                                                               \
    [[maybe_unused]] const int tarn_family_##family =                         \
        ::tarn::RegisterFamily(#family, std::span<const ::tarn::BuiltinEntry>(table)); \
    }

// One function call in progress.
class Call {
public:
    Call(ScriptContext* ctx, int code, Value* result, Value* args, int count)
        : ctx_(ctx), code_(code), result_(result), args_(args), count_(count) {}

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
    // True when argument i is a value of the handle type (not a plain number).
    bool IsHandle(int i) const;

    // Conversions for variadic handlers; false with the error set on failure.
    bool ToInt(int i, std::int32_t* out);
    bool ToFloat(int i, double* out);
    bool ToStr(int i, std::string_view* out);

    // Results.
    void ReturnInt(std::int32_t v);
    void ReturnFloat(double v);
    void ReturnHandle(std::int32_t h);  // the integer h, of the handle type
    bool ReturnText(std::string_view text);  // false: 3096 set (heap full)

    // Statement error (message number).
    void Fail(int code) { S(ctx_).error = static_cast<std::int16_t>(code); }
    bool Failed() const { return S(ctx_).error != 0; }

    // User interface, honouring quiet mode and sounds.
    Answer Message(std::string_view caption, std::string_view text, Buttons buttons, Icon icon);
    std::optional<std::string> AskLine(std::string_view title, std::string_view prompt,
                                       std::string_view initial, bool hidden);
    // A choice among buttons (position, or -1 when closed) and a choice
    // from a list (position, -1 confirmed without a choice, nullopt Cancel).
    int ChooseButton(std::string_view caption, std::string_view text, const std::vector<std::string>& buttons);
    std::optional<int> ChooseItem(std::string_view title, const std::vector<std::string>& items);
    Ui& UiProvider() const { return CurrentUi(); }

private:
    ScriptContext* ctx_;
    int code_;
    Value* result_;
    Value* args_;
    int count_;
};

// Message box of the library for any caller (quiet mode: logged, Cancel).
Answer ShowMessage(ScriptContext* ctx, std::string_view caption, std::string_view text,
                   Buttons buttons, Icon icon);

}  // namespace tarn
