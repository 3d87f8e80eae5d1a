#include "glyph_decoder.h"

#include <array>
#include <cstdint>
#include <vector>

#include "glyph_tables.h"
#include "syllable_scan.h"
#include "unicode.h"

namespace vrayu {
namespace {

// What a glyph of "Vrayu" can be; a glyph may be more than one (175, ksha,
// is both a base and a subjoined form).
struct GlyphRole {
    bool head = false, independent = false, sign = false, subjoined = false, raw = false;
    std::u32string_view headLetter, independentLetter, signText, subjoinedLetter, rawText;
};

// The inverse of the "Vrayu" glyph tables, built from the same two tables the
// engine writes with and the Unicode letter of every syllable code.
struct DecodeTable {
    std::array<GlyphRole, 256> role{};
    std::uint8_t inherent, separator, anusvara, visarga, hA, eSign, uSign, longASign, mHead, yHead, vocalicRSign,
        vocalicRRSign;

    DecodeTable() {
        GlyphTables t;
        LoadVrayuTables(t);
        auto base = [&](std::uint8_t c) { return static_cast<std::uint8_t>(t.BaseGlyph[c]); };
        auto sign = [&](std::uint8_t c) { return static_cast<std::uint8_t>(t.SignGlyph[c]); };
        inherent = sign('a');
        separator = sign(0xA0);
        anusvara = sign(code::kAnusvara);
        visarga = sign(code::kVisarga);
        hA = base(code::kHA);
        eSign = sign('e');
        uSign = sign('u');
        longASign = sign('A');
        mHead = base('m');
        yHead = base('y');
        vocalicRSign = sign(code::kVocalicR);
        vocalicRRSign = sign(code::kVocalicRR);

        // The first row that claims a glyph names it (UnicodeLetterRows ORDER).
        for (const UnicodeLetterRow& row : UnicodeLetterRows()) {
            if (row.consonant) {
                GlyphRole& h = role[base(row.code)];
                if (!h.head) {
                    h.head = true;
                    h.headLetter = row.letter;
                }
                if (row.code == code::kHA) continue;  // a base form only
                GlyphRole& s = role[sign(row.code)];
                if (!s.subjoined) {
                    s.subjoined = true;
                    s.subjoinedLetter = row.letter;
                }
            } else if (row.code >= code::kAnusvara && row.code <= code::kVirama) {
                GlyphRole& m = role[sign(row.code)];
                m.sign = true;
                m.signText = row.sign;
            } else {
                GlyphRole& v = role[base(row.code)];
                if (!v.independent) {
                    v.independent = true;
                    v.independentLetter = row.letter;
                }
                GlyphRole& s = role[sign(row.code)];
                if (!s.sign) {
                    s.sign = true;
                    s.signText = row.sign;
                }
            }
        }
        role[separator].sign = true;  // no letter of its own
        for (const RawGlyphRow& r : RawGlyphRows()) {
            GlyphRole& g = role[r.glyph];
            if (g.head || g.sign) continue;  // 165 and 247 decode as m and virama already
            g.raw = true;
            g.rawText = r.text;
        }
    }
};

const DecodeTable& Table() {
    static const DecodeTable table;
    return table;
}

std::uint8_t At(std::string_view s, std::size_t i) { return static_cast<std::uint8_t>(s[i]); }

// One syllable starting at the head glyph s[i]: base, vowel signs, subjoined
// consonants, maybe the vocalic r sign of a key. Returns the index behind it.
std::size_t DecodeSyllable(std::string_view s, std::size_t i, std::string& out) {
    const DecodeTable& T = Table();
    const std::uint8_t head = At(s, i++);
    std::vector<std::uint8_t> signs, subjoined;
    while (i < s.size() && T.role[At(s, i)].sign) signs.push_back(At(s, i++));
    while (i < s.size() && T.role[At(s, i)].subjoined) {
        // A glyph that is also a base starts the next syllable when vowel
        // signs follow it; the anusvara and the vocalic r sign may follow a
        // subjoined consonant (the scan's anusvara, a key's extra sign).
        if (T.role[At(s, i)].head && i + 1 < s.size()) {
            const std::uint8_t next = At(s, i + 1);
            if (T.role[next].sign && next != T.anusvara && next != T.vocalicRSign && next != T.vocalicRRSign) break;
        }
        subjoined.push_back(At(s, i++));
    }
    std::uint8_t extra = 0;
    if (!subjoined.empty() && i < s.size() && (At(s, i) == T.vocalicRSign || At(s, i) == T.vocalicRRSign))
        extra = At(s, i++);

    AppendUtf8(out, T.role[head].headLetter);
    for (std::uint8_t c : subjoined) {
        AppendUtf8(out, kTeluguVirama);
        AppendUtf8(out, T.role[c].subjoinedLetter);
    }

    // Undo the shape steps: y + i is the bare y, y + I is y, separator, A;
    // the o-vowels of m and y are e + u and e + A; hA is its own base.
    std::vector<std::uint8_t> marks;
    std::size_t k = 0;
    if (head == T.yHead) {
        bool onlyAnusvara = true;
        for (std::uint8_t c : signs) onlyAnusvara = onlyAnusvara && c == T.anusvara;
        if (onlyAnusvara) AppendUtf8(out, U'\u0C3F');
        if (signs.size() >= 2 && signs[0] == T.separator && signs[1] == T.longASign) {
            AppendUtf8(out, U'\u0C40');
            k = 2;
        }
    }
    for (; k < signs.size(); ++k) {
        const std::uint8_t c = signs[k];
        if ((head == T.mHead || head == T.yHead) && c == T.eSign && k + 1 < signs.size() &&
            (signs[k + 1] == T.uSign || signs[k + 1] == T.longASign)) {
            AppendUtf8(out, signs[k + 1] == T.uSign ? U'\u0C4A' : U'\u0C4B');
            ++k;
        } else if (c == T.anusvara || c == T.visarga) {
            marks.push_back(c);
        } else if (head == T.hA && c == T.inherent) {
            AppendUtf8(out, U'\u0C3E');
        } else {
            AppendUtf8(out, T.role[c].signText);
        }
    }
    if (extra) AppendUtf8(out, T.role[extra].signText);
    for (std::uint8_t c : marks) AppendUtf8(out, T.role[c].signText);
    return i;
}

}  // namespace

std::string DecodeVrayuGlyphs(std::string_view s) {
    const DecodeTable& T = Table();
    std::string out;
    out.reserve(s.size() * 3);
    std::size_t i = 0;
    while (i < s.size()) {
        const std::uint8_t c = At(s, i);
        const GlyphRole& r = T.role[c];
        if (r.head) {
            i = DecodeSyllable(s, i, out);
            continue;
        }
        if (r.independent) {
            AppendUtf8(out, r.independentLetter);
        } else if (r.raw) {
            AppendUtf8(out, r.rawText);
        } else if (r.sign && c != T.inherent && c != T.separator) {
            AppendUtf8(out, r.signText);  // a mark standing alone, or a stray sign
        } else if (r.subjoined) {
            AppendUtf8(out, kTeluguVirama);  // a stray subjoined form
            AppendUtf8(out, r.subjoinedLetter);
        } else {
            AppendUtf8(out, static_cast<char32_t>(c));
        }
        ++i;
    }
    return out;
}

}  // namespace vrayu
