// Conversion of the English pane into the Telugu pane that touches only what
// changed. The whole English text is converted again (the "#" runs make any
// part depend on the rest), with the words converted before kept in a cache;
// the result is compared with what the Telugu pane was last given, and only
// the differing stretch of the pane is replaced, in one edit, so Qt lays out
// only the paragraphs around it. The pane then reads exactly as if its whole
// text had been replaced.
#pragma once

#include <QObject>
#include <memory>
#include <string>

#include "convert.h"
#include "glyph_tables.h"

namespace vrayu {

class RichTextPane;

class TeluguPaneUpdate : public QObject {
public:
    // Watches `telugu` so that a change made by anyone else is noticed.
    explicit TeluguPaneUpdate(RichTextPane& telugu);

    // Converts `english` (pane text: Latin-1, "\r\n" between paragraphs) with
    // the tables and face given and brings the Telugu pane up to date.
    // Returns the converted text's length.
    std::size_t Update(std::string_view english, const GlyphTables& tables, const std::string& face);

private:
    void Replace(const std::string& telugu);

    RichTextPane& telugu_;
    std::unique_ptr<GlyphConverter> converter_;
    GlyphTables tables_;  // what converter_ was made for
    std::string face_;
    std::string shown_;     // the text last written to the pane
    bool known_ = false;    // whether the pane still holds exactly shown_
    bool writing_ = false;  // the pane changes because of this object
};

// The text of a pane as the rich-text box gives it, in Latin-1 (characters
// above U+00FF read as "?"), read straight from the document.
std::string PaneLatin1(const RichTextPane& pane);

}  // namespace vrayu
