// The Telugu pane as the page builder's formatted text: one walk over the
// document's blocks and fragments collects the text (glyph codes, "\r\n"
// between paragraphs) and runs of formats; the caret never moves.
#pragma once

#include <string>
#include <vector>

#include "html_page.h"

namespace vrayu {

class RichTextPane;

class PaneFormattedText : public FormattedText {
public:
    explicit PaneFormattedText(const RichTextPane& pane);

    std::string_view Text() const override { return text_; }
    std::int64_t SelectionColor() const override { return selectionColor_; }
    CharFormat FormatAt(std::size_t position) const override;
    std::size_t SameFormatUntil(std::size_t position) const override;
    std::int64_t BackColor() const override { return backColor_; }

private:
    struct Run {
        std::size_t first;  // 1-based position of the run's first character
        CharFormat format;
    };
    std::string text_;
    std::vector<Run> runs_;
    CharFormat caretFormat_;
    std::int64_t selectionColor_ = 0;
    std::int64_t backColor_;
    mutable std::size_t hint_ = 0;  // run of the last lookup (reads go in order)
};

}  // namespace vrayu
