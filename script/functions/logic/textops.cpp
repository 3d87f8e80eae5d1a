#include "functions/logic/textops.h"

#include "functions/logic/charset.h"

#include <algorithm>
#include <vector>

namespace tarn::fn {

std::string strSub(std::string_view s, long start, long length) {
    auto starts = charStarts(s);
    long n = static_cast<long>(starts.size()) - 1;
    if (length == 0) return {};
    if (start <= 0 || (length < 0 && length != -1) || start > n) return {};
    long avail = n - start + 1;
    if (length == -1 || length > avail) length = avail;
    return std::string(s.substr(starts[start - 1], starts[start - 1 + length] - starts[start - 1]));
}

namespace {

// Resolves the start argument of the scanning functions to a 1-based
// character position; 0 when nothing can match.
long resolveStart(long start, long n, bool backward) {
    if (start == 0) start = backward ? n : 1;
    if (start < 1 || start > n) return 0;
    return start;
}

}  // namespace

long strIndex(std::string_view s, std::string_view sub, long start, bool backward, bool ignoreCase) {
    auto starts = charStarts(s);
    long n = static_cast<long>(starts.size()) - 1;
    if (sub.empty()) {
        if (start == 0) start = backward ? n : 1;
        return start;
    }
    start = resolveStart(start, n, backward);
    if (start == 0) return 0;
    std::string hay, needle;
    if (ignoreCase) {
        hay = toUpper(s);
        needle = toUpper(sub);
        s = hay;
        sub = needle;
    }
    auto matchAt = [&](long c) {
        std::size_t b = starts[c - 1];
        return b + sub.size() <= s.size() && s.compare(b, sub.size(), sub) == 0;
    };
    if (!backward) {
        for (long c = start; c <= n; ++c)
            if (matchAt(c)) return c;
    } else {
        for (long c = start; c >= 1; --c)
            if (matchAt(c)) return c;
    }
    return 0;
}

long strScan(std::string_view s, std::string_view delims, long start, bool backward) {
    auto starts = charStarts(s);
    long n = static_cast<long>(starts.size()) - 1;
    start = resolveStart(start, n, backward);
    if (start == 0 || delims.empty()) return 0;
    auto dstarts = charStarts(delims);
    auto isDelim = [&](long c) {
        std::string_view ch = s.substr(starts[c - 1], starts[c] - starts[c - 1]);
        for (std::size_t k = 0; k + 1 < dstarts.size(); ++k)
            if (delims.substr(dstarts[k], dstarts[k + 1] - dstarts[k]) == ch) return true;
        return false;
    };
    for (long c = start; backward ? c >= 1 : c <= n; backward ? --c : ++c)
        if (isDelim(c)) return c;
    return 0;
}

std::uint64_t strReplaceSize(std::string_view s, std::string_view from, std::string_view to) {
    if (s.empty() || from.empty()) return s.size();
    std::uint64_t count = 0;
    for (std::size_t p = s.find(from); p != std::string_view::npos; p = s.find(from, p + from.size())) ++count;
    return s.size() + count * to.size() - count * from.size();
}

std::string strReplace(std::string_view s, std::string_view from, std::string_view to) {
    if (s.empty() || from.empty()) return std::string(s);
    std::string out;
    out.reserve(strReplaceSize(s, from, to));
    std::size_t last = 0;
    for (std::size_t p = s.find(from); p != std::string_view::npos; p = s.find(from, last)) {
        out.append(s.substr(last, p - last));
        out.append(to);
        last = p + from.size();
    }
    out.append(s.substr(last));
    return out;
}

std::string strTrim(std::string_view s) {
    auto blank = [](char c) { return c == ' ' || c == '\t'; };
    std::size_t b = 0, e = s.size();
    while (b < e && blank(s[b])) ++b;
    while (e > b && blank(s[e - 1])) --e;
    return std::string(s.substr(b, e - b));
}

namespace {

// The first `count` characters of an endless repetition of `unit`.
std::string repeatChars(std::string_view unit, long count) {
    auto u = charStarts(unit);
    long un = static_cast<long>(u.size()) - 1;
    std::string out;
    for (long i = 0; i < count; ++i) {
        long k = i % un;
        out.append(unit.substr(u[k], u[k + 1] - u[k]));
    }
    return out;
}

}  // namespace

std::string strFix(std::string_view s, std::string_view pad, long length, bool padLeft) {
    if (pad.empty()) pad = " ";
    auto starts = charStarts(s);
    long n = static_cast<long>(starts.size()) - 1;
    if (n >= length) {
        if (padLeft) return std::string(s.substr(starts[n - length]));
        return std::string(s.substr(0, starts[length]));
    }
    std::string padding = repeatChars(pad, length - n);
    return padLeft ? padding + std::string(s) : std::string(s) + padding;
}

std::string strFill(std::string_view s, long length) {
    if (s.empty()) s = " ";
    return length > 0 ? repeatChars(s, length) : std::string();
}

int strCompare(std::string_view a, std::string_view b, bool ignoreCase) {
    std::size_t n = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < n; ++i) {
        unsigned char x = lowerByte(static_cast<unsigned char>(a[i]));
        unsigned char y = lowerByte(static_cast<unsigned char>(b[i]));
        if (x != y) return x < y ? -1 : 1;
    }
    if (a.size() != b.size()) return a.size() < b.size() ? -1 : 1;
    if (ignoreCase) return 0;
    // Same letters: the first difference in case decides, lower case first.
    for (std::size_t i = 0; i < n; ++i) {
        if (a[i] == b[i]) continue;
        bool aLower = lowerByte(static_cast<unsigned char>(a[i])) == static_cast<unsigned char>(a[i]);
        return aLower ? -1 : 1;
    }
    return 0;
}

namespace {

// Shortest matches of a "*" pattern, memoised per (text position, pattern
// position) so that many stars stay polynomial.
struct WildMatcher {
    std::string_view s, p;
    std::vector<std::size_t> ss, ps;
    std::vector<long> memo;  // -2 unknown, -1 no match, else bytes

    WildMatcher(std::string_view text, std::string_view pat)
        : s(text), p(pat), ss(charStarts(text)), ps(charStarts(pat)), memo(ss.size() * ps.size(), -2) {}

    // Length in bytes of the shortest match of the pattern from character pc
    // at character sc, or -1.
    long at(std::size_t sc, std::size_t pc) {
        long& slot = memo[sc * ps.size() + pc];
        if (slot == -2) slot = compute(sc, pc);
        return slot;
    }

    long compute(std::size_t sc, std::size_t pc) {
        std::size_t pn = ps.size() - 1, sn = ss.size() - 1;
        if (pc == pn) return 0;
        std::string_view pch = p.substr(ps[pc], ps[pc + 1] - ps[pc]);
        if (pch == "*") {
            if (pc + 1 == pn) return static_cast<long>(ss[sn] - ss[sc]);  // final star: the rest
            for (std::size_t k = sc; k <= sn; ++k) {
                long r = at(k, pc + 1);
                if (r >= 0) return static_cast<long>(ss[k] - ss[sc]) + r;
            }
            return -1;
        }
        if (sc == sn || s.substr(ss[sc], ss[sc + 1] - ss[sc]) != pch) return -1;
        long r = at(sc + 1, pc + 1);
        return r < 0 ? -1 : static_cast<long>(ss[sc + 1] - ss[sc]) + r;
    }
};

}  // namespace

WildMatch strWild(std::string_view s, std::string_view pattern, long start) {
    WildMatch m;
    if (pattern.empty()) return m;
    WildMatcher w(s, pattern);
    const auto& ss = w.ss;
    long n = static_cast<long>(ss.size()) - 1;
    if (start < 1) start = 1;
    for (long c = start; c <= n; ++c) {
        long bytes = w.at(c - 1, 0);
        if (bytes < 0) continue;
        m.pos = c;
        m.text = std::string(s.substr(ss[c - 1], bytes));
        m.length = static_cast<long>(charCount(m.text));
        return m;
    }
    return m;
}

}  // namespace tarn::fn
