// Romanized text into glyph-code text: the English pane's conversion with its
// "#" literal runs, and the conversion of one run of romanized text.
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "glyph_tables.h"

namespace vrayu {

// Rewrites `text` by the replacement rules, cuts it into syllables and turns
// each into glyph codes; non-letters are copied through.
std::string ConvertString(std::string_view text, const GlyphTables& tables, std::string_view face);

// ConvertString for many runs of one conversion (the runs between "#" marks,
// the blocks of a stream, the changed paragraphs of a pane): the converted
// words and syllables are kept from run to run.
class GlyphConverter {
public:
    // `tables` must outlive the converter and stay as they are.
    GlyphConverter(const GlyphTables& tables, std::string_view face);
    ~GlyphConverter();
    GlyphConverter(const GlyphConverter&) = delete;
    GlyphConverter& operator=(const GlyphConverter&) = delete;
    // Appends ConvertString(text) to `out`.
    void Append(std::string_view text, std::string& out);
    // Appends the English pane conversion of `english` ("#" runs kept) to `out`.
    void AppendEnglishPane(std::string_view english, std::string& out);

private:
    struct State;
    std::unique_ptr<State> state_;
};

// Walks the English pane text: text between a pair of "#" marks is kept as
// typed (marks dropped) and passed to keep(out, run), "##" gives one "#", an
// unpartnered "#" is converted as a non-letter, and everything else goes
// through convert(out, run), which appends its conversion to `out`.
template <class Convert, class Keep>
void AppendWithLiteralRuns(std::string_view s, std::string& out, Convert&& convert, Keep&& keep) {
    std::size_t segment = 0;
    while (true) {
        const std::size_t p = s.find('#', segment);
        if (p == std::string_view::npos) break;
        if (p > segment) convert(out, s.substr(segment, p - segment));
        if (p + 1 < s.size() && s[p + 1] == '#') {
            out.push_back('#');
            segment = p + 2;
            continue;
        }
        const std::size_t q = s.find('#', p + 1);
        if (q == std::string_view::npos) {
            segment = p;
            break;
        }
        keep(out, s.substr(p + 1, q - p - 1));
        segment = q + 1;
    }
    if (segment < s.size()) convert(out, s.substr(segment));
}

// Same, returning the text; `convert(run)` returns the conversion of a run.
// `keep` lets an output form re-encode the kept text.
template <class Convert, class Keep>
std::string ConvertWithLiteralRuns(std::string_view s, Convert&& convert, Keep&& keep) {
    std::string out;
    out.reserve(s.size() + s.size() / 4);
    AppendWithLiteralRuns(
        s, out, [&](std::string& o, std::string_view run) { o += convert(run); }, keep);
    return out;
}

// Same, keeping the text of "#" runs byte for byte (glyph-code output).
template <class Convert>
std::string ConvertWithLiteralRuns(std::string_view s, Convert&& convert) {
    return ConvertWithLiteralRuns(s, convert, [](std::string& out, std::string_view run) { out.append(run); });
}

struct PaneText {
    std::string text;
    int caret = 0;  // character index, as the rich-text SelStart
};

// The whole English pane into the Telugu pane; the Telugu caret goes where
// the text before the English caret ends up (TeluguCaret).
PaneText ConvertEnglishPane(std::string_view english, int englishCaret, const GlyphTables& tables,
                            std::string_view face);

// The Telugu position of an English caret: the length of the conversion of
// the text before it, so the caret sits behind the syllable typed last; a
// caret at the end of the English text is at the end of the Telugu text.
int TeluguCaret(std::string_view english, int englishCaret, int teluguLength, const GlyphTables& tables,
                std::string_view face);

}  // namespace vrayu
