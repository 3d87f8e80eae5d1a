// A script line turned, once, into a form that runs without reading its
// text again: assignments, while, if (block or single-line) and the end
// words, with expressions of variables, literals, constants, operators and
// parentheses. Lines with anything else (function calls, jumps, for, switch,
// errors while reading them) are left to the statement reader, which also
// gives every error its usual place and code.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "context.h"
#include "same_bytes.h"
#include "tarnproc.h"

namespace tarn {

class OwnedValue;

// A variable named in the line: its slot is looked up once and checked by
// name on every use (a dropped variable's slot can be reused by another).
struct VariableRef {
    char name[TARN_NAME_MAX + 1] = {};
    std::uint8_t length = 0;
    std::uint16_t slot = 0xFFFF;
    // The name's first eight bytes with its terminator, and which of them
    // count: a short name is checked with one comparison.
    std::uint64_t head = 0, head_mask = 0;
};

// One step of an expression in evaluation order (operands before their
// operator, as the recursive reader evaluates them).
struct ExprStep {
    enum Op : std::uint8_t { Int, Float, Text, SubstitutedText, Variable, Constant, Unary, Binary } op;
    std::int16_t code = 0;     // operator code (Unary, Binary)
    std::uint16_t index = 0;   // into texts, literals or variables
    std::int32_t integer = 0;  // Int; Constant's table value
    double real = 0;           // Float
};

struct CompiledExpr {
    std::vector<ExprStep> steps;
    int depth = 0;  // values held at once while evaluating
};

// A line with %name% substitutions, all inside string literals whose
// extent no value can change: the line is substituted from these parts and
// each such literal's text is its stretch of the substituted line.
struct SubstitutionPart {
    enum Kind : std::uint8_t { Static, Variable, LiteralStart, LiteralEnd } kind;
    std::string text;             // Static: the characters; Variable: the name
    char quote = 0;               // Variable: its literal's quote, which a value must not hold
    std::uint16_t literal = 0;    // LiteralStart, LiteralEnd
    std::uint16_t slot = 0xFFFF;  // Variable: where it was found last (checked by name on use)
};
struct SubstitutedLiteral {
    std::uint16_t begin = 0, end = 0;  // in the substituted line, set by each substitution
};

struct CompiledLine {
    enum Kind : std::uint8_t { Assign, While, BlockIf, SingleIf, EndWord } kind = Assign;
    std::uint16_t target = 0;            // Assign: index into variables
    int end_code = 0;                    // EndWord: the keyword
    CompiledExpr expr;                   // Assign's value, While's and If's condition
    std::unique_ptr<CompiledLine> then;  // SingleIf: the statement after "then"
    std::vector<VariableRef> variables;  // shared with `then`
    std::vector<std::string> texts;
    std::vector<SubstitutionPart> substitution;  // empty: the line has no %
    std::vector<SubstitutedLiteral> literals;
};

// Compiles a line (after any label); nullptr when it is not one of the
// forms above. Reading it has no effect on the run.
std::unique_ptr<CompiledLine> CompileLine(ScriptContext* ctx, const char* line);

// Looks a variable up again by name and enters it as reading the line would.
std::uint16_t EnterVariableRef(ScriptContext* ctx, VariableRef& ref);

// Substitutes a compiled line into `out` (the line buffer for substituted
// text), as the statement reader would; false when the result would differ
// in form (a value holding its literal's quote) or be too long: the line is
// then read as text, which reports what needs reporting.
bool SubstituteCompiled(ScriptContext* ctx, CompiledLine& line, char* out);

// The slot of a variable named in a compiled line, entering it as reading
// the line would; kNoVariable with the error set when there is no room.
[[gnu::always_inline]] inline std::uint16_t ResolveVariable(ScriptContext* ctx, VariableRef& ref) {
    if (ctx->variables && ref.slot < S(ctx).variables_used) {
        const char* name = ctx->variables[ref.slot].name;
        if ((Load8(name) & ref.head_mask) == ref.head &&
            (ref.length <= 7 || SameBytes(name + 8, ref.name + 8, ref.length - 7u)))
            return ref.slot;
    }
    return EnterVariableRef(ctx, ref);
}

// An expression of at most one operator on plain integers, evaluated
// directly: NotInt (nothing done that evaluating it would not do first)
// sends it to EvaluateCompiled.
enum class IntResult { Done, Failed, NotInt };
IntResult IntValue(ScriptContext* ctx, CompiledLine& line, const CompiledExpr& expr, std::int32_t* out);

// Evaluates a compiled expression into `out`, with the results and errors
// of the recursive evaluator. False with the statement error set.
bool EvaluateCompiled(ScriptContext* ctx, CompiledLine& line, const CompiledExpr& expr, OwnedValue& out);

}  // namespace tarn
