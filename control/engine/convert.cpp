#include "convert.h"

#include <algorithm>

#include "replacement_rules.h"
#include "syllable.h"
#include "syllable_cache.h"
#include "syllable_scan.h"
#include "word_runs.h"

namespace vrayu {
namespace {

// Syllables into glyph codes, with the syllables met before remembered: the
// rules depend only on the syllable, the tables and the face, which stay
// fixed during one conversion.
struct GlyphSink {
    const GlyphTables& tables;
    std::string_view face;
    std::string* out = nullptr;
    SyllableCache known;

    void Syllable(std::string_view s) {
        if (s.empty()) return;  // the scan hands one over between two non-letters
        std::string_view glyphs;
        if (known.Find(s, glyphs)) {
            out->append(glyphs);
            return;
        }
        const std::string converted = ConvertSyllable(s, tables, face);
        out->append(converted);
        known.Insert(s, converted);
    }
    void Literal(char c) { out->push_back(c); }
    void Anusvara() { out->push_back(static_cast<char>(static_cast<std::uint8_t>(tables.SignGlyph[code::kAnusvara]))); }
};

constexpr std::size_t kOnePiece = 2048;

}  // namespace

// The glyph-code form of ConvertByWords: a word goes through the rules and
// the syllable scan; separators are their own codes.
struct GlyphConverter::State {
    State(const GlyphTables& tables, std::string_view faceName) : face(faceName), sink{tables, face, nullptr, {}} {}
    std::string face;  // the converter's own copy: callers may pass a temporary
    GlyphSink sink;
    WordCache words;
    std::size_t seen = 0;  // bytes converted so far

    void ConvertWord(std::string_view word, std::string& out) {
        sink.out = &out;
        ScanSyllables(ApplyReplacementRules(word, sink.face), sink);
    }
    static void Separators(std::string_view run, std::string& out) { out.append(run); }
};

GlyphConverter::GlyphConverter(const GlyphTables& tables, std::string_view face)
    : state_(std::make_unique<State>(tables, face)) {}

GlyphConverter::~GlyphConverter() = default;

void GlyphConverter::Append(std::string_view text, std::string& out) {
    // The first few kilobytes are converted in one piece: a word cache pays
    // only once words repeat.
    state_->seen += text.size();
    state_->sink.known.Reserve(state_->seen);  // a small table for a short text, which is cheap to clear
    if (state_->seen < kOnePiece) return state_->ConvertWord(text, out);
    ConvertByWords(text, *state_, state_->words, out);
}

void GlyphConverter::AppendEnglishPane(std::string_view english, std::string& out) {
    AppendWithLiteralRuns(
        english, out, [this](std::string& o, std::string_view run) { Append(run, o); },
        [](std::string& o, std::string_view run) { o.append(run); });
}

std::string ConvertString(std::string_view text, const GlyphTables& tables, std::string_view face) {
    std::string out;
    out.reserve(text.size() + text.size() / 2);
    GlyphConverter(tables, face).Append(text, out);
    return out;
}

PaneText ConvertEnglishPane(std::string_view english, int englishCaret, const GlyphTables& tables,
                            std::string_view face) {
    PaneText pane;
    pane.text.reserve(english.size() + english.size() / 2);
    GlyphConverter(tables, face).AppendEnglishPane(english, pane.text);
    pane.caret = TeluguCaret(english, englishCaret, static_cast<int>(pane.text.size()), tables, face);
    return pane;
}

int TeluguCaret(std::string_view english, int englishCaret, int teluguLength, const GlyphTables& tables,
                std::string_view face) {
    if (englishCaret <= 0) return 0;
    if (static_cast<std::size_t>(englishCaret) >= english.size()) return teluguLength;
    std::string before;
    GlyphConverter(tables, face).AppendEnglishPane(english.substr(0, static_cast<std::size_t>(englishCaret)), before);
    return std::min(static_cast<int>(before.size()), teluguLength);
}

}  // namespace vrayu
