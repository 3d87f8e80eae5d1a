#include "statements.h"

#include <sys/stat.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <new>
#include <string>

#include "builtins.h"
#include "cache_switch.h"
#include "compiled_line.h"
#include "context.h"
#include "debug_hooks.h"
#include "errors.h"
#include "expression.h"
#include "keywords.h"
#include "label_table.h"
#include "line_cache.h"
#include "line_reader.h"
#include "messages.h"
#include "owned_value.h"
#include "string_heap.h"
#include "tokenizer.h"
#include "values.h"
#include "variables.h"

namespace tarn {
namespace {

constexpr unsigned char kGotoMark = 0x9F;
constexpr unsigned char kGosubMark = 0x9E;

// How the statement loop goes on after a statement.
enum class Flow { Next, EndScript, Stop };

bool IsToken(const State& s, int code) { return s.token_type == kTokKeyword && s.token_code == code; }
bool AtEnd(const State& s) { return s.token_type == kTokEnd; }

bool Skipping(const State& s) { return s.stack_top > 0 && s.stack[s.stack_top - 1].skip != kRun; }
StructEntry* Top(State& s) { return s.stack_top > 0 ? &s.stack[s.stack_top - 1] : nullptr; }

bool Push(State& s, StructKind kind, std::uint8_t skip, std::uint32_t offset) {
    if (s.stack_top >= kStructMax) return Error(s, err::NestingTooDeep);
    s.stack[s.stack_top++] = StructEntry{kind, skip, s.last_if, 0, offset};
    return true;
}

bool IsGosub(std::uint8_t kind) { return kind == kStructGosub0 || kind == kStructGosub1 || kind == kStructGosubNone; }

// Offset of the line ":label", or -1.
long FindLabel(const State& s, std::string_view label) {
    return s.labels ? s.labels->Find(s.text, s.text_length, label) : ScanForLabel(s.text, s.text_length, label);
}

std::string Version() { return TARN_VERSION_TEXT; }

void Trace(State& s, const char* line) {
    if (!s.trace || s.quiet) return;
    CurrentUi().DebugOutput(std::string(">>>>>") + line + "<<<<<\n");
}

// Reports a statement error (< 9000); true when execution goes on.
bool ReportError(ScriptContext* ctx, int code) {
    State& s = S(ctx);
    s.last_error = static_cast<std::int16_t>(code);
    const Severity sev = SeverityOf(code);
    if (s.error_mode == kModeOff && sev == Severity::Minor) return true;
    const char* line = s.subst[0] ? s.subst : s.line;
    std::string text(line, strnlen(line, 157));
    text += "\r\n\r\n";
    text += MessageText(849);
    text += Version();
    const bool stopBox = sev == Severity::Severe || s.error_mode == kModeCancel;
    PlaySystemSound(s, "SystemHand");
    const Answer a = ShowMessage(ctx, ErrorCaption(code), text, stopBox ? Buttons::Ok : Buttons::OkCancel,
                                 stopBox ? Icon::Stop : Icon::Warning);
    if (s.error_mode == kModeCancel || sev == Severity::Severe || a == Answer::Cancel) return false;
    return true;
}

// goto / gosub with the label token next.
Flow Jump(ScriptContext* ctx, bool gosub, std::uint32_t stmt_offset, bool cacheable) {
    State& s = S(ctx);
    get_string_token(ctx);
    if (s.error) {
        s.error = 0;
        Error(s, err::GotoLabelMissing);
        return Flow::Next;
    }
    if (AtEnd(s)) {
        Error(s, err::IncompleteStatement);
        return Flow::Next;
    }
    const std::string label = s.token;
    get_token(ctx);
    if (s.error) return Flow::Next;
    if (!AtEnd(s)) {
        Error(s, err::ExpressionContinues);
        return Flow::Next;
    }
    const long at = FindLabel(s, label);
    if (at < 0) {
        Error(s, err::GotoLabelNotFound);
        return Flow::Next;
    }
    // Cache the jump in the script text: marker byte, then four digits.
    if (cacheable && at <= 0xFFFF && stmt_offset + 5 <= s.text_length &&
        (s.text[stmt_offset] == 'g' || s.text[stmt_offset] == 'G')) {
        s.text[stmt_offset] = static_cast<char>(gosub ? kGosubMark : kGotoMark);
        for (int i = 0; i < 4; ++i)
            s.text[stmt_offset + 1 + i] = static_cast<char>(0x40 + ((at >> (12 - 4 * i)) & 0xF));
    }
    if (gosub) {
        const StructKind kind = s.last_if == 1 ? kStructGosub1 : s.last_if == 0 ? kStructGosub0 : kStructGosubNone;
        if (!Push(s, kind, kRun, s.next_offset)) return Flow::Next;
    }
    s.next_offset = static_cast<std::uint32_t>(at);
    return Flow::Next;
}

// A line starting with a cached jump marker.
Flow CachedJump(ScriptContext* ctx, const char* line) {
    State& s = S(ctx);
    std::uint32_t at = 0;
    for (int i = 1; i <= 4; ++i) {
        const unsigned char d = static_cast<unsigned char>(line[i]);
        if (d < 0x40 || d > 0x4F) {
            Error(s, err::UnrecognizableItem);
            return Flow::Next;
        }
        at = at * 16 + (d - 0x40);
    }
    // Only a label line is a valid target (a stray marker byte in a script
    // must not jump into the middle of a line).
    if (at >= s.text_length || s.text[at] != ':') {
        Error(s, err::GotoLabelNotFound);
        return Flow::Next;
    }
    if (static_cast<unsigned char>(line[0]) == kGosubMark) {
        const StructKind kind = s.last_if == 1 ? kStructGosub1 : s.last_if == 0 ? kStructGosub0 : kStructGosubNone;
        if (!Push(s, kind, kRun, s.next_offset)) return Flow::Next;
    }
    s.next_offset = at;
    return Flow::Next;
}

bool EvalInt(ScriptContext* ctx, std::int32_t* out, int bad = err::NotANumber) {
    State& s = S(ctx);
    if (AtEnd(s)) return Error(s, err::IncompleteStatement);
    OwnedValue v(ctx);
    if (!Evaluate(ctx, v)) return false;
    return ValueToInt(ctx, *v, out) || Error(s, bad);
}

// A switch or case value: an integer, or a string that converts to one
// (floating point is refused, not rounded); else error 3364.
bool EvalSwitchInt(ScriptContext* ctx, std::int32_t* out) {
    State& s = S(ctx);
    if (AtEnd(s)) return Error(s, err::IncompleteStatement);
    OwnedValue v(ctx);
    if (!Evaluate(ctx, v)) return false;
    return (NumericType(ctx, *v) == TARN_INT && ValueToInt(ctx, *v, out)) || Error(s, err::SwitchNotInteger);
}

// Hands a break/continue request of a closed entry to the enclosing one.
void PassOutward(State& s, std::uint8_t request) {
    if (!(request & (kBreak | kContinue))) return;
    StructEntry* outer = Top(s);
    if (!outer || IsGosub(outer->kind) || outer->kind == kStructCall) {
        Error(s, err::BreakContinueOutsideLoop);
        return;
    }
    outer->skip = request & (kBreak | kContinue);
}

// Checks the innermost entry for an end word.
StructEntry* Closing(State& s, std::uint8_t kind1, std::uint8_t kind2 = 0) {
    StructEntry* top = Top(s);
    if (!top) {
        Error(s, err::NoMatchingEnd);
        return nullptr;
    }
    if (top->kind != kind1 && (kind2 == 0 || top->kind != kind2)) {
        Error(s, err::EndWithoutMatch);
        return nullptr;
    }
    return top;
}

// Skips a for statement's start expression (tokens up to "to").
void SkipToTo(ScriptContext* ctx) {
    State& s = S(ctx);
    int depth = 0;
    while (!AtEnd(s) && !s.error) {
        if (IsToken(s, kw::Open)) ++depth;
        if (IsToken(s, kw::Close)) --depth;
        if (depth <= 0 && IsToken(s, kw::To)) return;
        get_token(ctx);
    }
}

// The "to" part of a for: adds the step from the second round on and
// decides whether the body runs.
Flow ForRound(ScriptContext* ctx, std::uint16_t slot, bool first) {
    State& s = S(ctx);
    get_token(ctx);  // past "to"
    if (AtEnd(s)) return Error(s, err::ForSyntax), Flow::Next;
    OwnedValue end(ctx);
    if (!Evaluate(ctx, end)) return Flow::Next;
    OwnedValue step(ctx);
    SetInt(*step, 1);
    if (IsToken(s, kw::By)) {
        get_token(ctx);
        if (AtEnd(s)) return Error(s, err::IncompleteStatement), Flow::Next;
        if (!Evaluate(ctx, step)) return Flow::Next;
    }
    if (!AtEnd(s)) return Error(s, err::ExpressionContinues), Flow::Next;
    const VariableEntry& var = ctx->variables[slot];
    OwnedValue cur(ctx);
    *cur = Value{var.real, var.integer, var.type, 0, -1};
    if (var.type & TARN_STRING) CopyValue(ctx, Value{var.real, var.integer, var.type, var.text, -1}, *cur);
    if (!NumericType(ctx, *cur) || !NumericType(ctx, *end) || !NumericType(ctx, *step))
        return Error(s, err::ForCounterNotNumber), Flow::Next;
    double stepValue = 0;
    ValueToFloat(ctx, *step, &stepValue);
    if (!first) {
        if (!ApplyBinary(ctx, kw::Plus, cur, step)) return Flow::Next;
        // A sum is a number without a string: the variable and `cur` share
        // no block.
        AssignVariable(ctx, slot, *cur);
    }
    Value counter = *cur;
    counter.text = 0;
    counter.type &= ~TARN_STRING;
    OwnedValue holds(ctx, counter);
    if (!ApplyBinary(ctx, stepValue >= 0 ? kw::LessEq : kw::GreaterEq, holds, end)) return Flow::Next;
    Top(s)->skip = holds->integer ? kRun : kFalse;
    return Flow::Next;
}

Flow For(ScriptContext* ctx, std::uint32_t line_offset) {
    State& s = S(ctx);
    const bool resume = s.for_resume;
    s.for_resume = 0;
    get_token(ctx);
    if (s.error) return Flow::Next;
    if (s.token_type != kTokVariable) {
        Error(s, err::ForSyntax);
        return Flow::Next;
    }
    const std::uint16_t slot = s.token_var;
    get_token(ctx);
    if (!IsToken(s, kw::Assign)) {
        Error(s, err::ForSyntax);
        return Flow::Next;
    }
    get_token(ctx);
    if (resume) {
        StructEntry* top = Top(s);
        if (top && top->kind == kStructFor && top->offset == line_offset) {
            SkipToTo(ctx);
            if (!IsToken(s, kw::To)) {
                Error(s, err::ForSyntax);
                return Flow::Next;
            }
            return ForRound(ctx, slot, false);
        }
    }
    if (AtEnd(s)) {
        Error(s, err::ForSyntax);
        return Flow::Next;
    }
    OwnedValue start(ctx);
    if (!Evaluate(ctx, start)) return Flow::Next;
    const unsigned t = NumericType(ctx, *start);
    if (!t) return Error(s, err::ForCounterNotNumber), Flow::Next;
    // The counter starts as the number alone.
    Value number;
    if (t == TARN_INT) SetInt(number, start->integer);
    else SetFloat(number, start->real);
    start.Reset();
    AssignVariable(ctx, slot, number);
    if (!IsToken(s, kw::To)) {
        Error(s, err::ForSyntax);
        return Flow::Next;
    }
    if (!Push(s, kStructFor, kRun, line_offset)) return Flow::Next;
    return ForRound(ctx, slot, true);
}

Flow EndWord(ScriptContext* ctx, int code) {
    State& s = S(ctx);
    DebugNote(ctx, kDebugEnd, 1);
    switch (code) {
        case kw::Endif: {
            StructEntry* top = Closing(s, kStructIf, kStructElse);
            if (!top) return Flow::Next;
            const std::uint8_t request = top->skip;
            --s.stack_top;
            PassOutward(s, request);
            return Flow::Next;
        }
        case kw::Endwhile: {
            StructEntry* top = Closing(s, kStructWhile);
            if (!top) return Flow::Next;
            const StructEntry e = *top;
            --s.stack_top;
            if (!(e.skip & (kFalse | kOuter | kBreak))) s.next_offset = e.offset;
            return Flow::Next;
        }
        case kw::Next:
        case kw::Endfor: {
            StructEntry* top = Closing(s, kStructFor);
            if (!top) return Flow::Next;
            if (top->skip & (kFalse | kOuter | kBreak)) {
                --s.stack_top;
            } else {
                top->skip = kRun;
                s.for_resume = 1;
                s.next_offset = top->offset;
            }
            return Flow::Next;
        }
        case kw::Endswitch:
        case kw::Endselect: {
            StructEntry* top = Closing(s, kStructSwitch);
            if (!top) return Flow::Next;
            const std::uint8_t request = top->skip;
            --s.stack_top;
            if (request & kContinue) PassOutward(s, kContinue);
            return Flow::Next;
        }
    }
    return Flow::Next;
}

// Structure words met while a block is skipped: keep the nesting balanced.
Flow SkippedStructure(ScriptContext* ctx, int code, std::uint32_t offset) {
    State& s = S(ctx);
    DebugNote(ctx, kDebugSkipped, 1);
    switch (code) {
        case kw::If: {
            // A single-line if ("then" followed by a statement) opens nothing.
            while (!AtEnd(s) && !IsToken(s, kw::Then) && !s.error) get_token(ctx);
            if (IsToken(s, kw::Then)) get_token(ctx);
            const bool single = !AtEnd(s) && !s.error;
            s.error = 0;
            if (!single) Push(s, kStructIf, kOuter, offset);
            return Flow::Next;
        }
        case kw::While: Push(s, kStructWhile, kOuter, offset); return Flow::Next;
        case kw::For: Push(s, kStructFor, kOuter, offset); return Flow::Next;
        case kw::Switch:
        case kw::Select: Push(s, kStructSwitch, kOuter, offset); return Flow::Next;
        case kw::Else: {
            get_token(ctx);
            const bool single = !AtEnd(s) || s.error;
            s.error = 0;
            if (single) return Flow::Next;
            StructEntry* top = Top(s);
            if (!top) return Error(s, err::NoMatchingEnd), Flow::Next;
            if (top->kind != kStructIf) return Error(s, err::ElseWithoutIf), Flow::Next;
            if (top->skip == kFalse) top->skip = kRun;
            top->kind = kStructElse;
            DebugNote(ctx, kDebugBlockElse, top->skip == kRun);
            return Flow::Next;
        }
        case kw::Case: {
            StructEntry* top = Top(s);
            if (!top || top->kind != kStructSwitch) return Error(s, err::CaseWithoutSwitch), Flow::Next;
            if (top->skip != kFalse) return Flow::Next;
            get_token(ctx);
            std::int32_t v;
            if (!EvalSwitchInt(ctx, &v)) return Flow::Next;
            if (static_cast<std::uint32_t>(v) == top->offset) top->skip = kRun;
            DebugNote(ctx, kDebugCase, top->skip == kRun);
            return Flow::Next;
        }
        case kw::End: {
            get_token(ctx);
            if (IsToken(s, kw::If)) return EndWord(ctx, kw::Endif);
            if (IsToken(s, kw::While)) return EndWord(ctx, kw::Endwhile);
            if (IsToken(s, kw::Switch) || IsToken(s, kw::Select)) return EndWord(ctx, kw::Endswitch);
            if (IsToken(s, kw::For)) return EndWord(ctx, kw::Next);
            s.error = 0;
            return Error(s, err::UnidentifiedEnd), Flow::Next;
        }
        case kw::Endif:
        case kw::Endwhile:
        case kw::Next:
        case kw::Endfor:
        case kw::Endswitch:
        case kw::Endselect: return EndWord(ctx, code);
        case kw::Break:
        case kw::Continue: DebugNote(ctx, code == kw::Break ? kDebugBreak : kDebugContinue, 0); return Flow::Next;
    }
    return Flow::Next;
}

Flow Return(State& s) {
    while (s.stack_top > 0) {
        const StructEntry& e = s.stack[s.stack_top - 1];
        if (e.kind == kStructCall) return Flow::EndScript;
        --s.stack_top;
        if (IsGosub(e.kind)) {
            s.next_offset = e.offset;
            s.last_if = e.kind == kStructGosub1 ? 1 : e.kind == kStructGosub0 ? 0 : -1;
            return Flow::Next;
        }
    }
    return Flow::EndScript;
}

// An expression or assignment statement.
Flow ExpressionStatement(ScriptContext* ctx) {
    State& s = S(ctx);
    if (s.debug_mode <= 0) {
        ProcessSubExpression(ctx, nullptr, 1);
    } else {
        // The debug dialog shows the value (of the assigned variable).
        const bool variable = s.token_type == kTokVariable;
        const std::uint16_t slot = s.token_var;
        OwnedValue v(ctx);
        ProcessSubExpression(ctx, v.get(), 1);
        if (!HasValue(*v) && variable && slot != kNoVariable) {
            const VariableEntry& e = ctx->variables[slot];
            DebugNoteValue(ctx, Value{e.real, e.integer, e.type, e.text, -1});
        } else {
            DebugNoteValue(ctx, *v);
        }
    }
    if (!s.error && !AtEnd(s)) Error(s, err::ExpressionContinues);
    return Flow::Next;
}

// Runs the statement whose first token is current.
Flow Statement(ScriptContext* ctx, std::uint32_t stmt_offset, bool cacheable) {
    State& s = S(ctx);
    if (s.error) return Flow::Next;
    if (AtEnd(s)) return Flow::Next;
    if (s.token_type != kTokKeyword) return ExpressionStatement(ctx);
    const int code = s.token_code;
    switch (code) {
        case kw::If: {
            get_token(ctx);
            std::int32_t v;
            if (!EvalInt(ctx, &v)) return Flow::Next;
            if (IsToken(s, kw::Then)) get_token(ctx);
            else if (!AtEnd(s)) return Error(s, err::ThenNotFound), Flow::Next;
            if (s.error) return Flow::Next;
            if (AtEnd(s)) {
                DebugNote(ctx, kDebugBlockIf, v ? 1 : 0);
                Push(s, kStructIf, v ? kRun : kFalse, stmt_offset);
                return Flow::Next;
            }
            DebugNote(ctx, kDebugSingleIf, v ? 1 : 0);
            s.last_if = v ? 1 : 0;
            if (!v) return Flow::Next;
            return Statement(ctx, stmt_offset, false);
        }
        case kw::Else: {
            get_token(ctx);
            if (s.error) return Flow::Next;
            if (!AtEnd(s)) {
                if (s.last_if == -1) return Error(s, err::NoIfForThenElse), Flow::Next;
                if (s.last_if != 0) return Flow::Next;
                return Statement(ctx, stmt_offset, false);
            }
            StructEntry* top = Top(s);
            if (!top) return Error(s, err::NoMatchingEnd), Flow::Next;
            if (top->kind != kStructIf) return Error(s, err::ElseWithoutIf), Flow::Next;
            if (top->skip == kRun) top->skip = kFalse;
            else if (top->skip == kFalse) top->skip = kRun;
            top->kind = kStructElse;
            DebugNote(ctx, kDebugBlockElse, top->skip == kRun);
            return Flow::Next;
        }
        case kw::While: {
            get_token(ctx);
            std::int32_t v;
            if (!EvalInt(ctx, &v)) return Flow::Next;
            DebugNote(ctx, kDebugWhile, v ? 1 : 0);
            Push(s, kStructWhile, v ? kRun : kFalse, s.line_offset);
            return Flow::Next;
        }
        case kw::For: {
            const Flow f = For(ctx, s.line_offset);
            const StructEntry* top = Top(s);
            DebugNote(ctx, kDebugFor, top && top->kind == kStructFor && top->skip == kRun);
            return f;
        }
        case kw::To: return Error(s, err::MisplacedTo), Flow::Next;
        case kw::Switch:
        case kw::Select: {
            get_token(ctx);
            std::int32_t i;
            if (!EvalSwitchInt(ctx, &i)) return Flow::Next;
            DebugNote(ctx, kDebugSwitch, 1);
            Push(s, kStructSwitch, kFalse, static_cast<std::uint32_t>(i));
            return Flow::Next;
        }
        case kw::Case: {
            StructEntry* top = Top(s);
            if (!top || top->kind != kStructSwitch) return Error(s, err::CaseWithoutSwitch), Flow::Next;
            DebugNote(ctx, kDebugCase, 1);
            return Flow::Next;  // a running switch falls through its cases
        }
        case kw::Break:
        case kw::Continue: {
            StructEntry* top = Top(s);
            if (!top)
                return Error(s, code == kw::Break ? err::BreakOutsideStructure : err::ContinueOutsideStructure),
                       Flow::Next;
            DebugNote(ctx, code == kw::Break ? kDebugBreak : kDebugContinue, 1);
            top->skip = code == kw::Break ? kBreak : kContinue;
            return Flow::Next;
        }
        case kw::End:
        case kw::Endif:
        case kw::Endwhile:
        case kw::Next:
        case kw::Endfor:
        case kw::Endswitch:
        case kw::Endselect: return SkippedStructure(ctx, code, stmt_offset);
        case kw::Gosub:
        case kw::Goto:
            if (code == kw::Gosub) DebugNote(ctx, kDebugGosub, 1);
            return Jump(ctx, code == kw::Gosub, stmt_offset, cacheable);
        case kw::Return: DebugNote(ctx, kDebugGosub, 0); return Return(s);
        case kw::Exit: return Flow::EndScript;
        case kw::Beep:
        case kw::Yield:
            if (code == kw::Beep && !s.quiet) DefaultBeep();
            get_token(ctx);
            if (!AtEnd(s) && !s.error) Error(s, err::ExpressionContinues);
            return Flow::Next;
        case kw::Execute: {
            const std::string rest = s.cursor;
            char saved[kTextBuf + 1];
            std::memcpy(saved, s.subst, sizeof saved);
            std::snprintf(s.subst, sizeof s.subst, "%s", rest.c_str());
            StartLine(ctx, s.subst);
            get_token(ctx);
            Flow f = Statement(ctx, stmt_offset, false);
            if (s.error && s.error < kCodeExit) {
                const int code2 = s.error;
                s.last_error = static_cast<std::int16_t>(code2);
                const Answer a = ShowMessage(ctx, std::string("EXECUTE::") + std::string(MessageText(code2)), saved,
                                             Buttons::OkCancel, Icon::Warning);
                if (a == Answer::Ok) s.error = 0;
                else f = Flow::Stop;
            }
            return f;
        }
        case kw::Then:
        case kw::By: return Error(s, err::IllegalSyntax), Flow::Next;
    }
    // Functions, constants, operators: an expression statement.
    return ExpressionStatement(ctx);
}

// Trace output and the host's statement notification before a statement
// runs (cached jumps included, so a host can always stop a loop); false
// when the host answers -6.
bool Announced(const State& s) { return s.trace || s.debug_mode > 0 || (s.host_flags & TARN_HOST_NOTIFY_STATEMENTS); }

bool Announce(ScriptContext* ctx, const char* line) {
    State& s = S(ctx);
    if (!Announced(s)) return true;
    Trace(s, line);
    if (!DebugStep(ctx, line)) return false;
    if (!(s.host_flags & TARN_HOST_NOTIFY_STATEMENTS) || !ctx->host_callback) return true;
    TarnAnswer answer{ctx, nullptr};
    char pos[16];
    std::snprintf(pos, sizeof pos, "%u", s.line_offset);
    return ctx->host_callback(s.window, s.instance, TARN_CALLBACK_WORD, TARN_CB_STATEMENT, ViperAnswer, &answer,
                              nullptr, "2", pos, line, "", "") != -6;
}

// A compiled condition as EvalInt has it.
bool CompiledInt(ScriptContext* ctx, CompiledLine& root, const CompiledExpr& expr, std::int32_t* out) {
    if (const IntResult r = IntValue(ctx, root, expr, out); r != IntResult::NotInt) return r == IntResult::Done;
    OwnedValue v(ctx);
    if (!EvaluateCompiled(ctx, root, expr, v)) return false;
    return ValueToInt(ctx, *v, out) || Error(S(ctx), err::NotANumber);
}

// Runs a compiled statement with the effects Statement() has on its text
// (debug mode off: the debugger's notes are not kept).
Flow RunCompiled(ScriptContext* ctx, CompiledLine& root, CompiledLine& c, std::uint32_t stmt_offset) {
    State& s = S(ctx);
    std::int32_t v = 0;
    switch (c.kind) {
        case CompiledLine::Assign: {
            const std::uint16_t slot = ResolveVariable(ctx, root.variables[c.target]);
            if (slot == kNoVariable) return Flow::Next;
            std::int32_t i;
            if (const IntResult r = IntValue(ctx, root, c.expr, &i); r != IntResult::NotInt) {
                if (r == IntResult::Done) AssignVariable(ctx, slot, Value{0.0, i, TARN_INT, 0, -1});
                return Flow::Next;
            }
            OwnedValue value(ctx);
            if (EvaluateCompiled(ctx, root, c.expr, value)) AssignVariable(ctx, slot, value.Release());
            return Flow::Next;
        }
        case CompiledLine::While:
            if (CompiledInt(ctx, root, c.expr, &v)) Push(s, kStructWhile, v ? kRun : kFalse, s.line_offset);
            return Flow::Next;
        case CompiledLine::BlockIf:
            if (CompiledInt(ctx, root, c.expr, &v)) Push(s, kStructIf, v ? kRun : kFalse, stmt_offset);
            return Flow::Next;
        case CompiledLine::SingleIf:
            if (!CompiledInt(ctx, root, c.expr, &v)) return Flow::Next;
            // Reading past "then" enters an assigned variable, run or not.
            if (c.then->kind == CompiledLine::Assign &&
                ResolveVariable(ctx, root.variables[c.then->target]) == kNoVariable)
                return Flow::Next;
            s.last_if = v ? 1 : 0;
            return v ? RunCompiled(ctx, root, *c.then, stmt_offset) : Flow::Next;
        // Debug mode is off here: the skipped-statement note is no loss.
        case CompiledLine::EndWord: return EndWord(ctx, c.end_code);
    }
    return Flow::Next;
}

// Copies a cached line to s.line, where the statement reader, messages and
// the host's notes read it.
void CopyLine(State& s, const CachedLine& line) {
    std::memcpy(s.line, s.text + line.at, line.length);
    s.line[line.length] = 0;
}

// The compiled form of a cached line, compiled on first use and again when
// the keyword tables it was read with change; null when it has none.
CompiledLine* Recompile(ScriptContext* ctx, CachedLine& line);

inline CompiledLine* CompiledFor(ScriptContext* ctx, CachedLine& line) {
    if (line.compile_tried && line.extender_count == ctx->extender_count && line.host_table == S(ctx).host_table)
        return line.compiled.get();
    return Recompile(ctx, line);
}

CompiledLine* Recompile(ScriptContext* ctx, CachedLine& line) {
    State& s = S(ctx);
    CopyLine(s, line);
    line.compile_tried = true;
    line.extender_count = ctx->extender_count;
    line.host_table = s.host_table;
    line.compiled = s.line[0] != ':' ? CompileLine(ctx, s.line) : nullptr;
    return line.compiled.get();
}

// A line with a compiled form, when it may run that way: not in debug mode
// (which shows each statement's kind and value), and while a block is
// skipped only the forms whose skipping needs no more than their first word.
bool RunCompiledLine(ScriptContext* ctx, CachedLine* cached, Flow* flow) {
    State& s = S(ctx);
    if (!cached) return false;
    CompiledLine* c = s.debug_mode > 0 ? nullptr : CompiledFor(ctx, *cached);
    const bool substituted = !c || !c->substitution.empty();
    if (!c ||
        (Skipping(s) && (substituted || (c->kind != CompiledLine::Assign && c->kind != CompiledLine::While &&
                                         c->kind != CompiledLine::EndWord))) ||
        (substituted && !SubstituteCompiled(ctx, *c, s.subst))) {
        CopyLine(s, *cached);
        return false;
    }
    *flow = Flow::Next;
    if (Announced(s)) {
        CopyLine(s, *cached);
        if (!Announce(ctx, substituted ? s.subst : s.line)) return *flow = Flow::Stop, true;
    }
    if (!Skipping(s)) {
        *flow = RunCompiled(ctx, *c, *c, s.line_offset);
    } else if (c->kind == CompiledLine::Assign) {
        // A skipped line still enters the variable its first word names.
        ResolveVariable(ctx, c->variables[c->target]);
        s.error = 0;
    } else {
        *flow = SkippedStructure(ctx, c->kind == CompiledLine::While ? kw::While : c->end_code, s.line_offset);
    }
    // Messages about the line read it from s.line.
    if (s.error) CopyLine(s, *cached);
    return true;
}

// Runs one line (already read into s.line); returns how to go on.
Flow RunLine(ScriptContext* ctx, CachedLine* cached) {
    State& s = S(ctx);
    if (Flow flow = Flow::Next; RunCompiledLine(ctx, cached, &flow)) return flow;
    const bool skipping = Skipping(s);
    const char* line = s.line;
    const unsigned char first = static_cast<unsigned char>(line[0]);
    if (first == kGotoMark || first == kGosubMark) {
        if (skipping) return Flow::Next;
        s.subst[0] = 0;
        if (!Announce(ctx, line)) return Flow::Stop;
        return CachedJump(ctx, line);
    }
    // Every line is substituted before the skip decision: a skipped line
    // can fail substitution, and one whose value is a structure word counts.
    const bool hasPercent = std::strchr(line, '%') != nullptr;
    if (hasPercent) {
        if (!SubstituteLine(ctx, line, s.subst)) return Flow::Next;
    } else {
        std::memcpy(s.subst, line, std::strlen(line) + 1);
    }
    StartLine(ctx, s.subst);
    std::uint32_t stmt_offset = s.line_offset;
    if (s.subst[0] == ':') {
        // A label: skip its word, run what follows.
        s.cursor = s.subst + 1;
        while (IsWordChar(static_cast<unsigned char>(*s.cursor))) ++s.cursor;
        while (*s.cursor == ' ' || *s.cursor == '\t') ++s.cursor;
        stmt_offset += static_cast<std::uint32_t>(s.cursor - s.subst);
        if (static_cast<unsigned char>(*s.cursor) == kGotoMark || static_cast<unsigned char>(*s.cursor) == kGosubMark) {
            if (skipping) return Flow::Next;
            if (!Announce(ctx, s.subst)) return Flow::Stop;
            return CachedJump(ctx, s.cursor);
        }
    }
    if (!Announce(ctx, s.subst)) return Flow::Stop;
    get_token(ctx);
    if (skipping) {
        if (s.error) {
            s.error = 0;
            return Flow::Next;
        }
        if (s.token_type == kTokKeyword && kKeywordTable[s.token_code].kind == TARN_KW_STRUCTURE &&
            s.token_code < kKeywordCount)
            return SkippedStructure(ctx, s.token_code, stmt_offset);
        DebugNote(ctx, kDebugSkipped, 1);
        return Flow::Next;
    }
    if (s.error) return Flow::Next;
    return Statement(ctx, stmt_offset, !hasPercent);
}

}  // namespace

std::string ErrorCaption(int code) { return std::to_string(code) + ":  " + std::string(MessageText(code)); }

bool SubstituteLine(ScriptContext* ctx, const char* line, char* out) {
    State& s = S(ctx);
    std::string r;
    r.reserve(kSubstMax + 1);
    for (const char* p = line; *p;) {
        if (*p != '%') {
            const char* q = std::strchr(p, '%');
            if (!q) q = p + std::strlen(p);
            r.append(p, static_cast<std::size_t>(q - p));
            p = q;
            continue;
        }
        if (p[1] == '%') {
            r.push_back('%');
            p += 2;
            continue;
        }
        const char* q = p + 1;
        std::string name;
        while (IsWordChar(static_cast<unsigned char>(*q))) {
            if (name.size() == TARN_NAME_MAX) return Error(s, err::VariableNameTooLong);
            char c = *q++;
            if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
            name.push_back(c);
        }
        if (*q != '%') return Error(s, err::SubstitutionUnclosed);
        p = q + 1;
        std::string value;
        if (name == "@crlf") value = "\r\n";
        else if (name == "@tab") value = "\t";
        else if (name == "@cr") value = "\r";
        else if (name == "@lf") value = "\n";
        else {
            const std::uint16_t slot = LookupVariable(ctx, name);
            if (slot != kNoVariable) {
                const VariableEntry& v = ctx->variables[slot];
                const Value val{v.real, v.integer, v.type, v.text, -1};
                // A string is added as it is, without a copy.
                if (v.type & TARN_STRING) r += TextOf(ctx, val);
                else ValueAsString(ctx, val, &value);
            }
        }
        r += value;
        if (r.size() > static_cast<std::size_t>(kSubstMax)) return Error(s, err::SubstitutedLineTooLong);
    }
    if (r.size() > static_cast<std::size_t>(kSubstMax)) return Error(s, err::SubstitutedLineTooLong);
    std::memcpy(out, r.c_str(), r.size() + 1);
    return true;
}

bool HasUtf16Mark(std::string_view bytes) { return bytes.starts_with("\xFF\xFE") || bytes.starts_with("\xFE\xFF"); }

std::optional<std::string> FromUtf16(std::string_view bytes) {
    if (!HasUtf16Mark(bytes)) return std::nullopt;
    const bool le = bytes[0] == '\xFF';
    // A host that ends the block with one zero byte (as for 8-bit text)
    // leaves an odd size: that byte ends the text, any other odd byte is bad.
    if (bytes.size() % 2) {
        if (bytes.back() != 0) return std::nullopt;
        bytes.remove_suffix(1);
    }
    std::string out;
    for (std::size_t i = 2; i + 1 < bytes.size(); i += 2) {
        const unsigned a = static_cast<unsigned char>(bytes[i]), b = static_cast<unsigned char>(bytes[i + 1]);
        const unsigned u = le ? a | (b << 8) : (a << 8) | b;
        if (u == 0) break;
        out.push_back(u < 256 ? static_cast<char>(u) : '?');
    }
    return out;
}

namespace {

// 1-based number of the line that starts at `offset` (CR, LF, CR LF and
// Ctrl-Z end lines, as the line reader has it).
std::uint32_t LineNumber(const char* text, std::uint32_t offset) {
    std::uint32_t n = 1;
    for (std::uint32_t i = 0; i < offset; ++i)
        if (text[i] == '\n' || text[i] == 26 || (text[i] == '\r' && (i + 1 >= offset || text[i + 1] != '\n'))) ++n;
    return n;
}

// Notes the error that stopped a script and its line, for the host. An
// error a function or a called script already showed (9013, 9002) stands
// for lasterror(); one noted inside a called script is kept as it is.
void NoteStop(ScriptContext* ctx, int code) {
    State& s = S(ctx);
    if (code == kCodeCallFailed || code == kCodeReported) {
        if (s.stop_from_call) return;
        code = s.last_error;
    }
    if (code <= 0 || code >= kCodeExit) return;
    s.stop_code = static_cast<std::int16_t>(code);
    s.stop_line = LineNumber(s.text, std::min(s.line_offset, s.text_length));
    std::snprintf(s.stop_text, sizeof s.stop_text, "%s", s.line);
    std::snprintf(s.stop_script, sizeof s.stop_script, "%s", s.script_name);
}

}  // namespace

int RunScript(ScriptContext* ctx, char* text, std::uint32_t length) {
    State& s = S(ctx);
    char* const saved_text = s.text;
    const std::uint32_t saved_length = s.text_length;
    LabelTable* const saved_labels = s.labels;
    s.text = text;
    s.text_length = static_cast<std::uint32_t>(strnlen(text, length));
    s.next_offset = 0;
    s.line[0] = 0;
    s.subst[0] = 0;
    LineCache cache(CachesEnabled(), s.text_length);
    LabelTable labels(CachesEnabled());
    s.labels = &labels;
    int result = 0;
    while (true) {
        if (s.terminate) {
            if (s.exit_code != 0 && !(s.exit_flags & 4))
                ShowMessage(ctx, MessageText(192), MessageText(193), Buttons::Ok, Icon::Stop);
            result = kCodeStop;
            break;
        }
        std::uint32_t next = 0;
        long at;
        CachedLine* cached = cache.Find(s.text, s.next_offset);
        if (cached) {
            // The line is copied to s.line only when something reads it.
            at = cached->at;
            next = cached->next;
        } else {
            at = ReadLineAt(s.text, s.text_length, s.next_offset, s.line, &next);
            if (at >= 0)
                cached = cache.Add(s.text, s.next_offset, static_cast<std::uint32_t>(at),
                                   static_cast<std::uint32_t>(std::strlen(s.line)), next);
        }
        if (at == -1) break;
        if (at == -2) {
            ShowMessage(ctx, MessageText(111), MessageText(err::LineTooLong), Buttons::Ok, Icon::Stop);
            s.line_offset = s.next_offset;
            while (s.line_offset < s.text_length && std::strchr(" \t\r\n", s.text[s.line_offset])) ++s.line_offset;
            s.line[0] = 0;
            result = err::LineTooLong;
            break;
        }
        s.line_offset = static_cast<std::uint32_t>(at);
        s.next_offset = next;
        if (s.text[at] == ';') continue;
        s.error = 0;
        s.stop_from_call = 0;
        s.subst[0] = 0;
        Flow flow = Flow::Next;
        // An allocation failure anywhere in a statement is its error, not
        // the end of the run.
        try {
            if (cached && cached->compiled && CompiledFor(ctx, *cached) && cached->compiled->substitution.empty() &&
                s.debug_mode <= 0 && !Announced(s) && !Skipping(s)) {
                // The common case of a loop, without the line's text.
                flow = RunCompiled(ctx, *cached->compiled, *cached->compiled, s.line_offset);
                if (!s.error && flow == Flow::Next) continue;
                CopyLine(s, *cached);
            } else {
                flow = RunLine(ctx, cached);
            }
        } catch (const std::bad_alloc&) {
            s.error = err::OutOfStringMemory;
        }
        const int code = s.error;
        if (flow == Flow::Stop) {
            result = code ? code : kCodeStop;
            break;
        }
        if (code == kCodeCancel) {
            s.last_error = kCodeCancel;
            const long cancel = FindLabel(s, "CANCEL");
            if (cancel >= 0) {
                s.error = 0;
                s.next_offset = static_cast<std::uint32_t>(cancel);
                continue;
            }
            result = kCodeCancel;
            break;
        }
        // terminate() ends the script as exit does.
        if (code == kCodeExit) break;
        if (code >= kCodeExit) {
            result = code;
            break;
        }
        if (code) {
            const bool goes_on = ReportError(ctx, code);
            if (s.debug_mode > 0) {
                s.debug_error = static_cast<std::int16_t>(code);
                s.debug_stopped = !goes_on;
            }
            if (goes_on) {
                s.error = 0;
            } else {
                result = code;
                break;
            }
        }
        if (flow == Flow::EndScript) break;
    }
    if (result) NoteStop(ctx, result);
    if (s.call_depth == 0) DebugEnd(ctx, result);
    if (result == 0 && s.trace && !s.quiet) CurrentUi().DebugOutput(std::string(MessageText(805)) + "\n");
    s.text = saved_text;
    s.text_length = saved_length;
    s.labels = saved_labels;
    return result;
}

void RunCall(ScriptContext* ctx, std::string_view file, std::string_view parameters) {
    State& s = S(ctx);
    if (s.call_depth >= kCallDepthMax) {
        Error(s, err::CallsTooDeep);
        return;
    }
    ++s.call_depth;
    // The caller's line position and buffers come back after the run.
    const std::uint32_t saved_next = s.next_offset, saved_line_offset = s.line_offset;
    const std::int8_t saved_last_if = s.last_if;
    char saved_line[kTextBuf + 1], saved_subst[kTextBuf + 1];
    std::memcpy(saved_line, s.line, sizeof saved_line);
    std::memcpy(saved_subst, s.subst, sizeof saved_subst);
    const std::ptrdiff_t cursor_at = s.cursor - s.subst;
    const std::ptrdiff_t start_at = s.token_start - s.subst;
    const std::int16_t saved_top = s.stack_top;
    char saved_name[kTextBuf];
    std::memcpy(saved_name, s.script_name, sizeof saved_name);
    auto restore = [&] {
        std::memcpy(s.script_name, saved_name, sizeof saved_name);
        s.next_offset = saved_next;
        s.line_offset = saved_line_offset;
        s.last_if = saved_last_if;
        std::memcpy(s.line, saved_line, sizeof saved_line);
        std::memcpy(s.subst, saved_subst, sizeof saved_subst);
        s.cursor = s.subst + cursor_at;
        s.token_start = s.subst + start_at;
        s.stack_top = saved_top;
        --s.call_depth;
    };

    SetParameters(ctx, parameters);
    std::string path(file);
    for (char& c : path)
        if (c == '\\') c = '/';
    struct stat st {};
    if (stat(path.c_str(), &st) != 0 && path[0] != '/' && s.module_name[0]) {
        std::string dir = s.module_name;
        const std::size_t slash = dir.rfind('/');
        if (slash != std::string::npos) {
            const std::string alt = dir.substr(0, slash + 1) + path;
            if (stat(alt.c_str(), &st) == 0) path = alt;
        }
    }
    if (stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) {
        restore();
        Error(s, err::CallFileNotFound);
        return;
    }
    if (!Push(s, kStructCall, kRun, 0)) {
        restore();
        return;
    }
    const bool notify = (s.host_flags & TARN_HOST_NOTIFY_CALL) && ctx->host_callback;
    if (notify) {
        TarnAnswer answer{ctx, nullptr};
        ctx->host_callback(s.window, s.instance, TARN_CALLBACK_WORD, TARN_CB_CALL, ViperAnswer, &answer, nullptr,
                           "before", path.c_str(), "", "", "");
    }
    std::string bytes;
    int failure = 0;
    if (FILE* f = std::fopen(path.c_str(), "rb")) {
        char buf[8192];
        std::size_t n;
        try {
            while ((n = std::fread(buf, 1, sizeof buf, f)) > 0 && bytes.size() <= 65536 * 4) bytes.append(buf, n);
            if (std::ferror(f)) failure = err::BatchReadError;
        } catch (const std::bad_alloc&) {
            failure = err::BatchNoMemory;
        }
        std::fclose(f);
    } else {
        failure = err::BatchNotFound;
    }
    if (!failure && HasUtf16Mark(bytes)) {
        auto converted = FromUtf16(bytes);
        if (!converted) failure = err::UnicodeBatch;
        else if (converted->size() > 65520) failure = err::BatchTooLarge;
        else bytes = std::move(*converted);
    } else if (!failure && bytes.size() >= 65521) {
        failure = err::BatchTooLarge;
    }
    int result = 0;
    s.stop_code = 0;
    if (failure) {
        ShowMessage(ctx, MessageText(111), MessageText(failure), Buttons::Ok, Icon::Stop);
        s.last_error = static_cast<std::int16_t>(failure);
        result = kCodeReported;
    } else {
        const TarnHandle h = GlobalAlloc(GHND, bytes.size() + 1);
        char* text = h ? static_cast<char*>(GlobalLock(h)) : nullptr;
        if (!h || !text) {
            ShowMessage(ctx, MessageText(111), MessageText(h ? err::BatchLockFailed : err::BatchNoMemory), Buttons::Ok,
                        Icon::Stop);
            s.last_error = static_cast<std::int16_t>(h ? err::BatchLockFailed : err::BatchNoMemory);
            result = kCodeReported;
        } else {
            std::memcpy(text, bytes.data(), bytes.size());
            text[bytes.size()] = 0;
            std::snprintf(s.script_name, sizeof s.script_name, "%s", path.c_str());
            result = RunScript(ctx, text, static_cast<std::uint32_t>(bytes.size()));
            GlobalUnlock(h);
        }
        if (h) GlobalFree(h);
    }
    if (notify) {
        TarnAnswer answer{ctx, nullptr};
        const std::string outcome = std::to_string(result);
        ctx->host_callback(s.window, s.instance, TARN_CALLBACK_WORD, TARN_CB_CALL, ViperAnswer, &answer, nullptr,
                           "after", path.c_str(), outcome.c_str(), "", "");
    }
    const bool terminate = s.terminate;
    restore();
    s.error = 0;
    // The user's cancel carries on into the caller (its cancel label, if any).
    if (terminate) Error(s, kCodeStop);
    else if (result == kCodeCancel) Error(s, kCodeCancel);
    else if (result != 0) Error(s, kCodeCallFailed);
    s.stop_from_call = result != 0 && s.stop_code != 0;
}

}  // namespace tarn
