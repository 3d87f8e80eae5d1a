#include "tokenizer.h"

#include <cstring>
#include <algorithm>

#include "builtins.h"
#include "context.h"
#include "errors.h"
#include "export_guard.h"
#include "keywords.h"
#include "variables.h"

namespace tarn {
namespace {

struct Range {
    std::int16_t first = -1;
    std::int16_t last = -2;
};
// Operators: the entries sharing a first character (the table is sorted).
Range g_ranges[256];

// Words: the entries of one first character and length, as positions in
// g_by_word, so a word is compared with the few names it could be.
constexpr int kWordMax = 14;
std::int16_t g_by_word[kKeywordCount];
Range g_word_ranges[256][kWordMax + 1];

void BuildIndex() {
    for (int i = 0; i < kKeywordCount; ++i) {
        const unsigned char c = static_cast<unsigned char>(kKeywordTable[i].name[0]);
        if (g_ranges[c].first < 0) g_ranges[c].first = static_cast<std::int16_t>(i);
        g_ranges[c].last = static_cast<std::int16_t>(i);
    }
    // Entries of one first character and length, in table order: count
    // them, then place each after the ranges before it.
    int count[256][kWordMax + 1] = {};
    for (const KeywordEntry& e : kKeywordTable)
        if (e.name_length >= 1 && e.name_length <= kWordMax)
            ++count[static_cast<unsigned char>(e.name[0])][e.name_length];
    int n = 0;
    for (int c = 0; c < 256; ++c)
        for (int len = 1; len <= kWordMax; ++len) {
            if (count[c][len] == 0) continue;
            g_word_ranges[c][len] = Range{static_cast<std::int16_t>(n), static_cast<std::int16_t>(n - 1)};
            n += count[c][len];
        }
    for (int i = 0; i < kKeywordCount; ++i) {
        const KeywordEntry& e = kKeywordTable[i];
        if (e.name_length < 1 || e.name_length > kWordMax) continue;
        Range& r = g_word_ranges[static_cast<unsigned char>(e.name[0])][e.name_length];
        g_by_word[++r.last] = static_cast<std::int16_t>(i);
    }
}

unsigned char Lower(unsigned char c) { return c >= 'A' && c <= 'Z' ? c + 32 : c; }

// Length of the entry's name if it matches at `p` (case-insensitive), else 0.
int Matches(const KeywordEntry& e, const char* p, bool word_mode) {
    const int n = e.name_length;
    if (n <= 0 || n > 14) return 0;
    for (int i = 0; i < n; ++i)
        if (Lower(static_cast<unsigned char>(p[i])) != static_cast<unsigned char>(e.name[i])) return 0;
    if (word_mode && IsWordChar(static_cast<unsigned char>(p[n]))) return 0;
    return n;
}

// Longest match among entries of one table, searched linearly; the host
// table ends at a zero name length.
int SearchTable(const KeywordEntry* t, int count, bool stop_at_zero, const char* p, bool word, int* len) {
    int best = -1;
    *len = 0;
    for (int i = 0; i < count; ++i) {
        if (stop_at_zero && t[i].name_length == 0) break;
        const int m = Matches(t[i], p, word);
        if (m > *len) {
            *len = m;
            best = i;
        }
    }
    return best;
}

void SetError(State& s, int code) {
    Error(s, code);
    s.token_type = kTokEnd;
    s.token[0] = 0;
}

// Builds the index once (thread-safe static initialisation).
void EnsureIndex() {
    static const bool built = (BuildIndex(), true);
    (void)built;
}

// Keyword lookup at the cursor; sets the token and advances on a match.
// In word mode a candidate must be followed by a character that cannot
// continue a word, so the only possible match is the whole word: it is
// compared with the names of its first character and length. Operators
// take the longest name of their first character's range.
bool LookupKeyword(ScriptContext* ctx, bool word_mode) {
    State& s = S(ctx);
    EnsureIndex();
    const char* p = s.cursor;
    int code = -1, len = 0;
    if (word_mode) {
        char word[kWordMax + 1];
        int n = 0;
        while (IsWordChar(static_cast<unsigned char>(p[n]))) {
            if (n < kWordMax) word[n] = static_cast<char>(Lower(static_cast<unsigned char>(p[n])));
            ++n;
        }
        if (n <= kWordMax) {
            const Range r = g_word_ranges[static_cast<unsigned char>(word[0])][n];
            for (int i = r.first; i >= 0 && i <= r.last; ++i) {
                const KeywordEntry& e = kKeywordTable[g_by_word[i]];
                if (std::memcmp(e.name, word, static_cast<std::size_t>(n)) == 0) {
                    code = g_by_word[i];
                    len = n;
                    break;
                }
            }
        }
    } else {
        const Range r = g_ranges[Lower(static_cast<unsigned char>(*p))];
        for (int i = r.first; i >= 0 && i <= r.last; ++i) {
            const int m = Matches(kKeywordTable[i], p, word_mode);
            if (m > len) {
                len = m;
                code = i;
            }
        }
    }
    if (code < 0 && ctx->extender_count > 0) {
        const int n = std::min<int>(ctx->extender_count, kExtenderMax);
        const int i = SearchTable(ctx->extenders, n, false, p, word_mode, &len);
        if (i >= 0) code = kExtenderCodeBase + i;
    }
    if (code < 0 && word_mode && s.host_table) {
        const int i = SearchTable(s.host_table, kHostCodeLimit - kHostCodeBase + 1, true, p, true, &len);
        if (i >= 0) code = kHostCodeBase + i;
    }
    if (code < 0) return false;
    std::memcpy(s.token, p, static_cast<std::size_t>(len));
    s.token[len] = 0;
    for (int i = 0; i < len; ++i) s.token[i] = static_cast<char>(Lower(static_cast<unsigned char>(s.token[i])));
    s.cursor = p + len;
    s.token_type = kTokKeyword;
    s.token_code = static_cast<std::int16_t>(code);
    return true;
}

void ReadNumber(State& s) {
    const char* p = s.cursor;
    int n = 0, dots = 0, exps = 0;
    bool fp = false;
    while (true) {
        const unsigned char c = static_cast<unsigned char>(*p);
        if (c == '.') {
            if (++dots > 1) return SetError(s, err::FloatTooManyDots);
            fp = true;
        } else if (c == 'e' || c == 'E') {
            if (++exps > 1) return SetError(s, err::FloatTooManyExponents);
            fp = true;
            if ((p[1] == '+' || p[1] == '-') && IsDigit(static_cast<unsigned char>(p[2]))) {
                if (n < kTextBuf - 2) s.token[n++] = static_cast<char>(c);
                ++p;
                if (n < kTextBuf - 2) s.token[n++] = *p;
                ++p;
                continue;
            }
        } else if (!IsDigit(c)) {
            break;
        }
        if (n < kTextBuf - 1) s.token[n++] = static_cast<char>(c);
        ++p;
    }
    s.token[n] = 0;
    s.cursor = p;
    s.token_type = fp ? kTokFloat : kTokInteger;
    s.token_code = -1;
}

void ReadString(State& s) {
    const char q = *s.cursor;
    const char* p = s.cursor + 1;
    int n = 0;
    while (*p) {
        if (*p == q) {
            if (p[1] == q) {
                if (n < kTextBuf - 1) s.token[n++] = q;
                p += 2;
                continue;
            }
            ++p;
            break;
        }
        // The run up to the next quote, at once; the text stops at 256
        // bytes and the rest is tokenized on.
        const char* e = std::strchr(p, q);
        if (!e) e = p + std::strlen(p);
        const auto run = static_cast<int>(e - p), room = kTextBuf - 1 - n;
        std::memcpy(s.token + n, p, static_cast<std::size_t>(std::min(run, room)));
        if (run > room) {
            n += room;
            p += room;
            break;
        }
        n += run;
        p = e;
    }
    s.token[n] = 0;
    s.cursor = p;
    s.token_type = kTokString;
    s.token_code = -1;
}

// A dotted object name at the cursor (letters and digits, "@" first, then ".").
bool ReadObjectName(State& s) {
    const char* p = s.cursor;
    int i = 0;
    if (p[0] == '@') ++i;
    while (i < 31 && (IsLetter(static_cast<unsigned char>(p[i])) || IsDigit(static_cast<unsigned char>(p[i])))) ++i;
    if (i == 0 || p[i] != '.' || (i == 1 && p[0] == '@')) return false;
    int n = 0;
    while ((IsWordChar(static_cast<unsigned char>(p[n])) || p[n] == '.') && n < kTextBuf - 1) {
        s.token[n] = p[n];
        ++n;
    }
    s.token[n] = 0;
    s.cursor = p + n;
    s.token_type = kTokKeyword;
    s.token_code = static_cast<std::int16_t>(kw::Object);
    return true;
}

void ReadVariable(ScriptContext* ctx) {
    State& s = S(ctx);
    const char* p = s.cursor;
    int n = 0;
    char name[TARN_NAME_MAX + 1];
    while (IsWordChar(static_cast<unsigned char>(*p)) || *p == '.') {
        if (n == TARN_NAME_MAX) return SetError(s, err::TokenNameTooLong);
        name[n++] = static_cast<char>(Lower(static_cast<unsigned char>(*p)));
        ++p;
    }
    name[n] = 0;
    std::memcpy(s.token, name, static_cast<std::size_t>(n) + 1);
    s.cursor = p;
    s.token_type = kTokVariable;
    s.token_code = -1;
    if (s.lex_only) {
        s.token_var = kNoVariable;
        return;
    }
    const std::uint16_t slot = EnterVariable(ctx, std::string_view(name, static_cast<std::size_t>(n)));
    if (slot == kNoVariable) return SetError(s, err::OutOfVariableMemory);
    s.token_var = slot;
}

// Skips blanks and marks where the next token starts; true (with an end
// token set) at the end of the statement: end of text or a ";" comment.
bool StartToken(State& s) {
    const char* p = s.cursor;
    while (*p == ' ' || *p == '\t') ++p;
    s.cursor = p;
    s.token_start = p;
    s.token_code = -1;
    if (*p != 0 && *p != ';') return false;
    s.token_type = kTokEnd;
    s.token[0] = 0;
    return true;
}

}  // namespace

void StartLine(ScriptContext* ctx, const char* line) {
    State& s = S(ctx);
    s.cursor = line;
    s.token_start = line;
    s.token_type = kTokEnd;
    s.token[0] = 0;
}

const KeywordEntry* KeywordOf(const ScriptContext* ctx, int code) {
    if (code >= 0 && code < kKeywordCount) return &kKeywordTable[code];
    if (code >= kExtenderCodeBase && code < kExtenderCodeBase + kExtenderMax &&
        code - kExtenderCodeBase < ctx->extender_count)
        return &ctx->extenders[code - kExtenderCodeBase];
    if (code >= kHostCodeBase && code <= kHostCodeLimit && S(ctx).host_table)
        return &S(ctx).host_table[code - kHostCodeBase];
    return nullptr;
}

}  // namespace tarn

using namespace tarn;

static int NextToken(ScriptContext* ctx) {
    State& s = S(ctx);
    if (StartToken(s)) return kTokEnd;
    const unsigned char c = static_cast<unsigned char>(*s.cursor);
    if (IsDigit(c)) {
        ReadNumber(s);
    } else if (!IsLetter(c) && c != '@' && c != '_') {
        if (!LookupKeyword(ctx, false)) {
            if (c == '"' || c == '\'' || c == '`') ReadString(s);
            else SetError(s, err::UnrecognizableItem);
        }
    } else if (!ReadObjectName(s) && !LookupKeyword(ctx, true)) {
        ReadVariable(ctx);
    }
    return s.token_type;
}

static int NextWordToken(ScriptContext* ctx) {
    State& s = S(ctx);
    if (StartToken(s)) return kTokEnd;
    const char* p = s.cursor;
    if (!IsWordChar(static_cast<unsigned char>(*p))) {
        SetError(s, err::UnrecognizableItem);
        return kTokEnd;
    }
    int n = 0;
    while (IsWordChar(static_cast<unsigned char>(*p))) {
        if (n >= kTextBuf - 1) {
            SetError(s, err::StringTooLong);
            return kTokEnd;
        }
        s.token[n++] = *p++;
    }
    s.token[n] = 0;
    s.cursor = p;
    s.token_type = kTokString;
    return kTokString;
}

static void StepBack(ScriptContext* ctx) {
    State& s = S(ctx);
    s.cursor = s.token_start;
}

extern "C" int get_token(ScriptContext* ctx) {
    return Guarded<int>(
        kTokEnd, [&] { return NextToken(ctx); }, ctx);
}

extern "C" int get_string_token(ScriptContext* ctx) {
    return Guarded<int>(
        kTokEnd, [&] { return NextWordToken(ctx); }, ctx);
}

extern "C" void putback(ScriptContext* ctx) {
    GuardedVoid([&] { StepBack(ctx); }, ctx);
}
