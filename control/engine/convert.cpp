#include "convert.h"

#include <algorithm>
#include <unordered_map>

#include "replacement_rules.h"
#include "syllable.h"
#include "syllable_scan.h"

namespace vrayu {
namespace {

struct StringHash {
    using is_transparent = void;
    std::size_t operator()(std::string_view s) const { return std::hash<std::string_view>{}(s); }
};

struct GlyphSink {
    const GlyphTables& tables;
    std::string_view face;
    std::string& out;
    // Prose repeats its syllables; the rules depend only on the syllable, the
    // tables and the face, which stay fixed during one conversion.
    std::unordered_map<std::string, std::string, StringHash, std::equal_to<>> known;

    void Syllable(std::string_view s) {
        if (auto it = known.find(s); it != known.end()) {
            out += it->second;
            return;
        }
        std::string glyphs = ConvertSyllable(s, tables, face);
        out += glyphs;
        if (known.size() < kMaxKnownSyllables) known.emplace(s, std::move(glyphs));
    }
    static constexpr std::size_t kMaxKnownSyllables = 1 << 16;
    void Literal(char c) { out.push_back(c); }
    void Anusvara() {
        out.push_back(static_cast<char>(static_cast<std::uint8_t>(tables.SignGlyph[code::kAnusvara])));
    }
};

}  // namespace

std::string ConvertString(std::string_view text, const GlyphTables& tables, std::string_view face) {
    const std::string rewritten = ApplyReplacementRules(text, face);
    std::string out;
    out.reserve(rewritten.size() + rewritten.size() / 2);
    GlyphSink sink{tables, face, out, {}};
    ScanSyllables(rewritten, sink);
    return out;
}

PaneText ConvertEnglishPane(std::string_view english, int englishCaret, const GlyphTables& tables,
                            std::string_view face) {
    PaneText pane;
    pane.text = ConvertWithLiteralRuns(
        english, [&](std::string_view run) { return ConvertString(run, tables, face); });
    pane.caret = TeluguCaret(english, englishCaret, static_cast<int>(pane.text.size()), tables, face);
    return pane;
}

int TeluguCaret(std::string_view english, int englishCaret, int teluguLength, const GlyphTables& tables,
                std::string_view face) {
    if (englishCaret <= 0) return 0;
    if (static_cast<std::size_t>(englishCaret) >= english.size()) return teluguLength;
    const std::string before = ConvertWithLiteralRuns(
        english.substr(0, static_cast<std::size_t>(englishCaret)),
        [&](std::string_view run) { return ConvertString(run, tables, face); });
    return std::min(static_cast<int>(before.size()), teluguLength);
}

}  // namespace vrayu
