#include "variables.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "cache_switch.h"
#include "context.h"
#include "errors.h"
#include "string_heap.h"
#include "values.h"
#include "variable_index.h"

namespace tarn {

VariableEntry& Variable(ScriptContext* ctx, std::uint16_t slot) { return ctx->variables[slot]; }

namespace {

bool IsFree(const VariableEntry& v) { return v.type == 0 && v.name[0] == 0; }

// The index of the context's block, built or rebuilt as needed; null when
// caches are off or there is no memory for it (the block is then scanned).
VariableIndex* IndexOf(ScriptContext* ctx) {
    State& s = S(ctx);
    if (!CachesEnabled()) return nullptr;
    try {
        if (!s.variable_index) s.variable_index = new VariableIndex;
        if (!s.variable_index->Describes(ctx->variables, s.variables_capacity))
            s.variable_index->Build(ctx->variables, s.variables_capacity, s.variables_used);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
    return s.variable_index;
}

}  // namespace

std::uint16_t LookupVariable(ScriptContext* ctx, std::string_view name) {
    const State& s = S(ctx);
    if (!ctx->variables || name.empty()) return kNoVariable;
    if (const VariableIndex* index = IndexOf(ctx)) return index->Find(name, s.variables_used);
    for (std::uint16_t i = 0; i < s.variables_used; ++i) {
        const VariableEntry& v = ctx->variables[i];
        if (v.name[0] == name[0] && std::strncmp(v.name, name.data(), name.size()) == 0 && v.name[name.size()] == 0)
            return i;
    }
    return kNoVariable;
}

std::uint16_t EnterVariable(ScriptContext* ctx, std::string_view name) {
    State& s = S(ctx);
    std::uint16_t slot = LookupVariable(ctx, name);
    if (slot != kNoVariable) return slot;
    if (!ctx->variables) {
        s.error = err::OutOfVariableMemory;
        return kNoVariable;
    }
    // The lowest free slot is taken, else the next one.
    VariableIndex* index = IndexOf(ctx);
    slot = kNoVariable;
    for (std::uint16_t i = index ? index->free_from : 0; i < s.variables_used; ++i) {
        if (IsFree(ctx->variables[i])) {
            slot = i;
            break;
        }
    }
    if (slot == kNoVariable) {
        if (s.variables_used >= s.variables_capacity) {
            s.error = err::OutOfVariableMemory;
            return kNoVariable;
        }
        slot = s.variables_used++;
    }
    VariableEntry& v = ctx->variables[slot];
    std::memset(&v, 0, sizeof v);
    v.type = TARN_UNDEFINED;
    std::memcpy(v.name, name.data(), std::min<std::size_t>(name.size(), TARN_NAME_MAX));
    if (index) {
        index->Insert(VariableName(v), slot);
        index->free_from = static_cast<std::uint16_t>(slot + 1);
        index->Stamp(slot);
    }
    return slot;
}

VariableStamp StampOfVariable(ScriptContext* ctx, std::uint16_t slot) {
    const VariableIndex* index = ctx->variables ? IndexOf(ctx) : nullptr;
    if (!index || slot >= S(ctx).variables_used) return {};
    return {index->Identity(), index->StampOf(slot), slot};
}

void ForgetVariableIndex(ScriptContext* ctx) {
    State& s = S(ctx);
    delete s.variable_index;
    s.variable_index = nullptr;
}

std::string FoldName(std::string_view name) {
    std::string n;
    for (char c : name.substr(0, TARN_NAME_MAX)) n.push_back(static_cast<char>(c >= 'A' && c <= 'Z' ? c + 32 : c));
    std::size_t pos = 6;
    for (std::size_t i = TARN_NAME_MAX; i < name.size(); ++i) {
        char c = name[i];
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
        if (pos >= n.size()) pos = 6;
        n[pos] = static_cast<char>(static_cast<unsigned char>(n[pos]) + static_cast<unsigned char>(c));
        // A sum of zero would cut the name short.
        if (n[pos] == 0) n[pos] = 1;
        ++pos;
    }
    return n;
}

void AssignVariable(ScriptContext* ctx, std::uint16_t slot, const Value& val) {
    // An index that does not describe the block is rebuilt under a new
    // identity before it is used again: only a current one needs the stamp.
    const State& s = S(ctx);
    if (VariableIndex* index = s.variable_index; index && index->Describes(ctx->variables, s.variables_capacity))
        index->Stamp(slot);
    VariableEntry& v = ctx->variables[slot];
    if (v.text) FreeText(ctx, v.text);
    v.real = val.real;
    v.integer = val.integer;
    v.type = val.type;
    v.text = val.text;
}

void DropVariable(ScriptContext* ctx, std::uint16_t slot) {
    State& s = S(ctx);
    VariableEntry& v = ctx->variables[slot];
    if (v.text) FreeText(ctx, v.text);
    if (VariableIndex* index = IndexOf(ctx)) {
        if (v.name[0]) {
            index->Erase(VariableName(v), slot);
            index->free_from = std::min(index->free_from, slot);
        }
        index->Stamp(slot);
    }
    std::memset(&v, 0, sizeof v);
    while (s.variables_used > 0 && ctx->variables[s.variables_used - 1].type == 0 &&
           ctx->variables[s.variables_used - 1].name[0] == 0)
        --s.variables_used;
}

bool SetVariableText(ScriptContext* ctx, std::string_view name, std::string_view text) {
    const std::string n = FoldName(name);
    const std::uint16_t slot = EnterVariable(ctx, n);
    if (slot == kNoVariable) return false;
    const std::uint16_t off = StoreText(ctx, text);
    if (!off) return false;
    Value v;
    SetText(v, off);
    AssignVariable(ctx, slot, v);
    return true;
}

bool SetVariableInt(ScriptContext* ctx, std::string_view name, std::int32_t i) {
    const std::string n = FoldName(name);
    const std::uint16_t slot = EnterVariable(ctx, n);
    if (slot == kNoVariable) return false;
    Value v;
    SetInt(v, i);
    AssignVariable(ctx, slot, v);
    return true;
}

bool GetVariableText(ScriptContext* ctx, std::string_view name, std::string* out) {
    const std::uint16_t slot = LookupVariable(ctx, FoldName(name));
    if (slot == kNoVariable) return false;
    const VariableEntry& e = ctx->variables[slot];
    Value v{e.real, e.integer, e.type, e.text, -1};
    return ValueAsString(ctx, v, out);
}

std::vector<std::string> SplitParameters(std::string_view text) {
    std::vector<std::string> words;
    std::size_t i = 0;
    while (true) {
        while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
        if (i >= text.size()) break;
        std::string w;
        const char q = text[i];
        if (q == '"' || q == '\'' || q == '`') {
            ++i;
            while (i < text.size()) {
                if (text[i] == q) {
                    if (i + 1 < text.size() && text[i + 1] == q) {
                        w.push_back(q);
                        i += 2;
                        continue;
                    }
                    ++i;
                    break;
                }
                w.push_back(text[i++]);
            }
        } else {
            while (i < text.size() && text[i] != ' ' && text[i] != '\t') w.push_back(text[i++]);
        }
        words.push_back(std::move(w));
    }
    return words;
}

int SetParameters(ScriptContext* ctx, std::string_view text) {
    char name[16];
    for (int i = 1; i <= 9; ++i) {
        std::snprintf(name, sizeof name, "param%d", i);
        const std::uint16_t slot = LookupVariable(ctx, name);
        if (slot != kNoVariable) DropVariable(ctx, slot);
    }
    const std::vector<std::string> words = SplitParameters(text);
    const int count = static_cast<int>(words.size());
    for (int i = 0; i < count && i < 9; ++i) {
        std::snprintf(name, sizeof name, "param%d", i + 1);
        SetVariableText(ctx, name, words[static_cast<std::size_t>(i)]);
    }
    SetVariableInt(ctx, "Param0", count);
    return count;
}

}  // namespace tarn
