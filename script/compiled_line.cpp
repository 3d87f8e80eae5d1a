#include "compiled_line.h"

#include <cstring>
#include <string_view>

#include "context.h"
#include "errors.h"
#include "expression.h"
#include "int_operators.h"
#include "keywords.h"
#include "owned_value.h"
#include "string_heap.h"
#include "tokenizer.h"
#include "values.h"
#include "variables.h"

namespace tarn {
namespace {

constexpr int kMaxDepth = 32;

struct Token {
    std::uint8_t type;
    std::int16_t code;
    std::string text;
    std::uint16_t begin, end;  // where in the line it was read
};

bool IsKeyword(const Token& t, int code) { return t.type == kTokKeyword && t.code == code; }

bool IsEndWord(int code) {
    return code == kw::Endif || code == kw::Endwhile || code == kw::Next || code == kw::Endfor ||
           code == kw::Endswitch || code == kw::Endselect;
}

// Reads the whole line into tokens without entering variables; false when
// the tokenizer reports an error (the statement reader will report it).
// The tokenizer's state, put back however reading ahead ends (an
// allocation failure included): the statement reader goes on from it.
class SavedTokenizer {
public:
    explicit SavedTokenizer(State& s)
        : s_(s),
          cursor_(s.cursor),
          start_(s.token_start),
          type_(s.token_type),
          code_(s.token_code),
          error_(s.error),
          var_(s.token_var) {
        std::memcpy(token_, s.token, sizeof token_);
        s.lex_only = 1;
        s.error = 0;
    }
    SavedTokenizer(const SavedTokenizer&) = delete;
    SavedTokenizer& operator=(const SavedTokenizer&) = delete;
    ~SavedTokenizer() {
        s_.lex_only = 0;
        s_.cursor = cursor_;
        s_.token_start = start_;
        s_.token_type = type_;
        s_.token_code = code_;
        s_.error = error_;
        s_.token_var = var_;
        std::memcpy(s_.token, token_, sizeof token_);
    }

private:
    State& s_;
    const char* cursor_;
    const char* start_;
    std::uint8_t type_;
    std::int16_t code_, error_;
    std::uint16_t var_;
    char token_[kTextBuf + 1];
};

bool ReadTokens(ScriptContext* ctx, const char* line, std::vector<Token>* out) {
    State& s = S(ctx);
    const SavedTokenizer saved(s);
    StartLine(ctx, line);
    while (true) {
        const int type = get_token(ctx);
        if (s.error) return false;
        out->push_back(Token{static_cast<std::uint8_t>(type), s.token_code, s.token,
                             static_cast<std::uint16_t>(s.token_start - line),
                             static_cast<std::uint16_t>(s.cursor - line)});
        if (type == kTokEnd) return true;
    }
}

// Turns tokens into steps with the recursive evaluator's grammar; any form
// it would refuse (or that calls a function) fails, so the line is read as
// text and the reader reports it.
class Compiler {
public:
    Compiler(const std::vector<Token>& tokens, CompiledLine& root) : t_(tokens), root_(root) {}

    std::unique_ptr<CompiledLine> Statement() {
        auto c = std::make_unique<CompiledLine>();
        const Token& first = Peek();
        if (first.type == kTokVariable && IsKeyword(t_[i_ + 1], kw::Assign)) {
            c->kind = CompiledLine::Assign;
            c->target = VariableIndex(first.text);
            i_ += 2;
            if (!Expression(c->expr) || !AtEnd()) return nullptr;
            return c;
        }
        if (first.type != kTokKeyword) return nullptr;
        if (first.code == kw::While) {
            c->kind = CompiledLine::While;
            ++i_;
            if (!Expression(c->expr) || !AtEnd()) return nullptr;
            return c;
        }
        if (first.code == kw::If) {
            ++i_;
            if (!Expression(c->expr)) return nullptr;
            if (IsKeyword(Peek(), kw::Then)) ++i_;
            else if (!AtEnd()) return nullptr;
            if (AtEnd()) {
                c->kind = CompiledLine::BlockIf;
                return c;
            }
            c->kind = CompiledLine::SingleIf;
            c->then = Statement();
            return c->then ? std::move(c) : nullptr;
        }
        if (IsEndWord(first.code) && t_[i_ + 1].type == kTokEnd) {
            c->kind = CompiledLine::EndWord;
            c->end_code = first.code;
            return c;
        }
        return nullptr;
    }

    // Parts for substituting a line whose every % lies in a string literal
    // with no doubled quote; false for any other line with %.
    bool Substitution(const char* line) {
        std::vector<SubstitutionPart>& parts = root_.substitution;
        std::size_t done = 0;
        for (const Token& t : t_) {
            if (t.type != kTokString || t.text.find('%') == std::string::npos) continue;
            const std::string_view raw(line + t.begin, t.end - t.begin);
            const char q = raw[0];
            if (raw.size() < 2 || raw.back() != q || raw.substr(1, raw.size() - 2).find(q) != std::string_view::npos)
                return false;
            if (!Static(std::string_view(line + done, t.begin + 1u - done))) return false;
            const auto literal = static_cast<std::uint16_t>(literal_starts_.size());
            literal_starts_.push_back(t.begin);
            parts.push_back({SubstitutionPart::LiteralStart, {}, 0, literal});
            std::string_view body = raw.substr(1, raw.size() - 2);
            while (!body.empty()) {
                const std::size_t pct = body.find('%');
                parts.push_back({SubstitutionPart::Static, std::string(body.substr(0, pct))});
                if (pct == std::string_view::npos) break;
                if (body.substr(pct + 1).starts_with('%')) {
                    parts.push_back({SubstitutionPart::Static, "%"});
                    body.remove_prefix(pct + 2);
                    continue;
                }
                const std::size_t close = body.find('%', pct + 1);
                if (close == std::string_view::npos) return false;
                std::string name(body.substr(pct + 1, close - pct - 1));
                if (name.empty() || name.size() > TARN_NAME_MAX) return false;
                for (char& c : name) {
                    if (!IsWordChar(static_cast<unsigned char>(c))) return false;
                    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
                }
                parts.push_back({SubstitutionPart::Variable, std::move(name), q});
                body.remove_prefix(close + 1);
            }
            parts.push_back({SubstitutionPart::LiteralEnd, {}, 0, literal});
            done = t.end - 1u;
        }
        root_.literals.resize(literal_starts_.size());
        return Static(line + done);
    }

private:
    bool Static(std::string_view text) {
        if (text.find('%') != std::string_view::npos) return false;
        root_.substitution.push_back({SubstitutionPart::Static, std::string(text)});
        return true;
    }
    std::uint16_t LiteralAt(std::uint16_t begin) const {
        for (std::size_t i = 0; i < literal_starts_.size(); ++i)
            if (literal_starts_[i] == begin) return static_cast<std::uint16_t>(i);
        return 0;
    }

    const Token& Peek() const { return t_[i_]; }
    bool AtEnd() const { return Peek().type == kTokEnd; }

    std::uint16_t VariableIndex(const std::string& name) {
        for (std::size_t i = 0; i < root_.variables.size(); ++i)
            if (name == root_.variables[i].name) return static_cast<std::uint16_t>(i);
        VariableRef r;
        r.length = static_cast<std::uint8_t>(std::min<std::size_t>(name.size(), TARN_NAME_MAX));
        std::memcpy(r.name, name.c_str(), r.length);
        r.head = Load8(r.name);
        r.head_mask = r.length < 7 ? (std::uint64_t{1} << (8 * (r.length + 1))) - 1 : ~std::uint64_t{0};
        root_.variables.push_back(r);
        return static_cast<std::uint16_t>(root_.variables.size() - 1);
    }

    bool Emit(CompiledExpr& e, ExprStep step, int change) {
        e.steps.push_back(step);
        depth_ += change;
        if (depth_ > e.depth) e.depth = depth_;
        return e.depth <= kMaxDepth;
    }

    bool Expression(CompiledExpr& e) {
        depth_ = 0;
        return Level(e, 1);
    }

    bool Level(CompiledExpr& e, int level) {
        if (level == 8) return Unary(e);
        if (!Level(e, level + 1)) return false;
        while (Peek().type == kTokKeyword && BinaryLevel(Peek().code) == level) {
            const std::int16_t op = Peek().code;
            ++i_;
            if (!Level(e, level + 1) || !Emit(e, {ExprStep::Binary, op}, -1)) return false;
        }
        return !(level == 3 && IsKeyword(Peek(), kw::Assign));
    }

    bool Unary(CompiledExpr& e) {
        if (Peek().type == kTokKeyword && IsUnaryOperator(Peek().code)) {
            const std::int16_t op = Peek().code;
            ++i_;
            return Unary(e) && Emit(e, {ExprStep::Unary, op}, 0);
        }
        return Primary(e);
    }

    bool Primary(CompiledExpr& e) {
        const Token& t = Peek();
        switch (t.type) {
            case kTokInteger:
            case kTokFloat: {
                std::int32_t v;
                ExprStep step{ExprStep::Int};
                if (t.type == kTokInteger && ParseInteger(t.text, &v)) {
                    step.integer = v;
                } else {
                    double d = LiteralValue(t.text);
                    if (!CheckFloat(&d)) return false;
                    step = ExprStep{ExprStep::Float};
                    step.real = d;
                }
                ++i_;
                return Emit(e, step, 1);
            }
            case kTokString: {
                ExprStep step{ExprStep::Text};
                if (t.text.find('%') != std::string::npos) {
                    step.op = ExprStep::SubstitutedText;
                    step.index = LiteralAt(t.begin);
                } else {
                    step.index = static_cast<std::uint16_t>(root_.texts.size());
                    root_.texts.push_back(t.text);
                }
                ++i_;
                return Emit(e, step, 1);
            }
            case kTokVariable: {
                ExprStep step{ExprStep::Variable};
                step.index = VariableIndex(t.text);
                ++i_;
                return Emit(e, step, 1);
            }
            case kTokKeyword: break;
            default: return false;
        }
        if (t.code == kw::Open) {
            ++i_;
            if (!Level(e, 1) || !IsKeyword(Peek(), kw::Close)) return false;
            ++i_;
            return true;
        }
        if (t.code < 0 || t.code >= kKeywordCount || t.code == kw::Object ||
            kKeywordTable[t.code].kind != TARN_KW_CONSTANT)
            return false;
        ExprStep step{ExprStep::Constant};
        step.integer = static_cast<std::int32_t>(kKeywordTable[t.code].value);
        ++i_;
        return Emit(e, step, 1);
    }

    const std::vector<Token>& t_;
    CompiledLine& root_;
    std::size_t i_ = 0;
    int depth_ = 0;
    std::vector<std::uint16_t> literal_starts_;
};

// The values an evaluation holds; whatever is left on a failure is freed.
class ValueStack {
public:
    explicit ValueStack(ScriptContext* ctx) : ctx_(ctx) {}
    ValueStack(const ValueStack&) = delete;
    ValueStack& operator=(const ValueStack&) = delete;
    ~ValueStack() {
        while (n_ > 0) ReleaseValue(ctx_, v_[--n_]);
    }
    Value& Push() {
        SetUndefined(v_[n_]);
        return v_[n_++];
    }
    Value Pop() { return v_[--n_]; }
    Value& Top(int from_top = 0) { return v_[n_ - 1 - from_top]; }
    void Drop() { --n_; }

private:
    ScriptContext* ctx_;
    Value v_[kMaxDepth];
    int n_ = 0;
};

}  // namespace

std::unique_ptr<CompiledLine> CompileLine(ScriptContext* ctx, const char* line) {
    std::vector<Token> tokens;
    if (!ReadTokens(ctx, line, &tokens) || tokens.size() < 2) return nullptr;
    auto root = std::make_unique<CompiledLine>();
    Compiler compiler(tokens, *root);
    if (std::strchr(line, '%') && !compiler.Substitution(line)) return nullptr;
    std::unique_ptr<CompiledLine> statement = compiler.Statement();
    if (!statement) return nullptr;
    statement->variables = std::move(root->variables);
    statement->texts = std::move(root->texts);
    statement->substitution = std::move(root->substitution);
    statement->literals = std::move(root->literals);
    return statement;
}

namespace {

// The slot of a %variable% of a line (not entered when missing), the one
// found last while it still holds that name.
std::uint16_t SubstitutedSlot(ScriptContext* ctx, SubstitutionPart& part) {
    const std::size_t n = part.text.size();
    if (ctx->variables && part.slot < S(ctx).variables_used && n <= TARN_NAME_MAX) {
        const char* name = ctx->variables[part.slot].name;
        if (std::memcmp(name, part.text.data(), n) == 0 && name[n] == 0) return part.slot;
    }
    part.slot = LookupVariable(ctx, part.text);
    return part.slot;
}

}  // namespace

bool SubstituteCompiled(ScriptContext* ctx, CompiledLine& line, char* out) {
    std::size_t n = 0;
    const auto add = [&](std::string_view text) {
        if (n + text.size() > static_cast<std::size_t>(kSubstMax)) return out[0] = 0, false;
        if (text.empty()) return true;  // an empty view may carry a null pointer
        std::memcpy(out + n, text.data(), text.size());
        n += text.size();
        return true;
    };
    std::string number;
    // A line that cannot be substituted here leaves the buffer empty, as
    // the reader expects of a line it substitutes itself.
    out[0] = 0;
    for (SubstitutionPart& part : line.substitution) {
        switch (part.kind) {
            case SubstitutionPart::Static:
                if (!add(part.text)) return false;
                break;
            case SubstitutionPart::LiteralStart:
                line.literals[part.literal].begin = static_cast<std::uint16_t>(n);
                break;
            case SubstitutionPart::LiteralEnd: line.literals[part.literal].end = static_cast<std::uint16_t>(n); break;
            case SubstitutionPart::Variable: {
                std::string_view value;
                if (part.text == "@crlf") value = "\r\n";
                else if (part.text == "@tab") value = "\t";
                else if (part.text == "@cr") value = "\r";
                else if (part.text == "@lf") value = "\n";
                else if (const std::uint16_t slot = SubstitutedSlot(ctx, part); slot != kNoVariable) {
                    const VariableEntry& v = ctx->variables[slot];
                    const Value val{v.real, v.integer, v.type, v.text, -1};
                    if (v.type & TARN_STRING) value = TextOf(ctx, val);
                    else if (ValueAsString(ctx, val, &number)) value = number;
                }
                if (value.find(part.quote) != std::string_view::npos) return out[0] = 0, false;
                if (!add(value)) return false;
                break;
            }
        }
    }
    out[n] = 0;
    return true;
}

std::uint16_t EnterVariableRef(ScriptContext* ctx, VariableRef& ref) {
    State& s = S(ctx);
    ref.slot = EnterVariable(ctx, ref.name);
    if (ref.slot == kNoVariable) Error(s, err::OutOfVariableMemory);
    return ref.slot;
}

namespace {

// A plain integer operand (a literal, or a variable holding only an integer),
// or false: the general loop then evaluates from the start, having done
// nothing a reading of the line would not do in the same order.
[[gnu::always_inline]] inline bool IntOperand(ScriptContext* ctx, CompiledLine& line, const ExprStep& step,
                                              std::int32_t* out) {
    if (step.op == ExprStep::Int) {
        *out = step.integer;
        return true;
    }
    if (step.op != ExprStep::Variable) return false;
    const std::uint16_t slot = ResolveVariable(ctx, line.variables[step.index]);
    if (slot == kNoVariable) return false;
    const VariableEntry& v = ctx->variables[slot];
    if (!(v.type & TARN_INT) || v.text) return false;
    *out = v.integer;
    return true;
}

}  // namespace

IntResult IntValue(ScriptContext* ctx, CompiledLine& line, const CompiledExpr& expr, std::int32_t* out) {
    const std::vector<ExprStep>& steps = expr.steps;
    if (steps.size() == 3 && steps[2].op == ExprStep::Binary) {
        // `a op b`, the most common expression in loops.
        std::int32_t a, b;
        if (!IntOperand(ctx, line, steps[0], &a) || !IntOperand(ctx, line, steps[1], &b))
            return S(ctx).error ? IntResult::Failed : IntResult::NotInt;
        return IntBinary(S(ctx), steps[2].code, a, b, out) ? IntResult::Done : IntResult::Failed;
    }
    if (steps.size() == 1 && steps[0].op == ExprStep::Variable) {
        // A lone variable is copied with all it holds (a handle's mark, a
        // number's other form): only a bare integer is taken here.
        const std::uint16_t slot = ResolveVariable(ctx, line.variables[steps[0].index]);
        if (slot == kNoVariable) return IntResult::Failed;
        const VariableEntry& v = ctx->variables[slot];
        if (v.type != TARN_INT || v.text) return IntResult::NotInt;
        *out = v.integer;
        return IntResult::Done;
    }
    std::int32_t stack[kMaxDepth];
    int n = 0;
    for (const ExprStep& step : steps) {
        switch (step.op) {
            case ExprStep::Binary:
                --n;
                if (!IntBinary(S(ctx), step.code, stack[n - 1], stack[n], &stack[n - 1])) return IntResult::Failed;
                break;
            case ExprStep::Unary: stack[n - 1] = IntUnary(step.code, stack[n - 1]); break;
            default:
                if (!IntOperand(ctx, line, step, &stack[n]))
                    return S(ctx).error ? IntResult::Failed : IntResult::NotInt;
                ++n;
        }
    }
    *out = stack[0];
    return IntResult::Done;
}

bool EvaluateCompiled(ScriptContext* ctx, CompiledLine& line, const CompiledExpr& expr, OwnedValue& out) {
    State& s = S(ctx);
    out.Reset();
    ValueStack stack(ctx);
    for (const ExprStep& step : expr.steps) {
        switch (step.op) {
            case ExprStep::Int: SetInt(stack.Push(), step.integer); break;
            case ExprStep::Float: SetFloat(stack.Push(), step.real); break;
            case ExprStep::Text: {
                const std::uint16_t off = StoreText(ctx, line.texts[step.index]);
                if (!off) return false;
                SetText(stack.Push(), off);
                break;
            }
            case ExprStep::SubstitutedText: {
                const SubstitutedLiteral& l = line.literals[step.index];
                const std::uint16_t off =
                    StoreText(ctx, std::string_view(S(ctx).subst + l.begin, static_cast<std::size_t>(l.end - l.begin)));
                if (!off) return false;
                SetText(stack.Push(), off);
                break;
            }
            case ExprStep::Variable: {
                const std::uint16_t slot = ResolveVariable(ctx, line.variables[step.index]);
                if (slot == kNoVariable) return false;
                const VariableEntry& v = ctx->variables[slot];
                if (!(v.type & (TARN_INT | TARN_STRING | TARN_FLOAT))) return Error(s, err::UninitializedVariable);
                const Value value{v.real, v.integer, v.type, v.text, -1};
                if (!v.text) stack.Push() = value;
                else if (!CopyValue(ctx, value, stack.Push())) return false;
                break;
            }
            case ExprStep::Constant: {
                OwnedValue c(ctx);
                if (!ConstantValue(ctx, static_cast<std::uint32_t>(step.integer), c)) return false;
                stack.Push() = c.Release();
                break;
            }
            case ExprStep::Unary: {
                OwnedValue v(ctx, stack.Pop());
                if (!ApplyUnary(ctx, step.code, v)) return false;
                stack.Push() = v.Release();
                break;
            }
            case ExprStep::Binary: {
                Value& b = stack.Top();
                Value& a = stack.Top(1);
                if ((a.type & b.type & TARN_INT) && !a.text && !b.text) {
                    std::int32_t r;
                    if (!IntBinary(s, step.code, a.integer, b.integer, &r)) return false;
                    stack.Drop();
                    SetInt(stack.Top(), r);
                    break;
                }
                OwnedValue right(ctx, stack.Pop());
                OwnedValue left(ctx, stack.Pop());
                if (!ApplyBinary(ctx, step.code, left, right)) return false;
                stack.Push() = left.Release();
                break;
            }
        }
    }
    *out = stack.Pop();
    return true;
}

}  // namespace tarn
