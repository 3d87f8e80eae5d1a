// The HTML page of the Telugu text, and the helpers that go with web pages.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace vrayu {

// OLE colour &H80000005: the system window colour (as a signed 32-bit value).
inline constexpr std::int64_t kSystemWindowColor = static_cast<std::int32_t>(0x80000005u);

// Rich-text alignment values of a paragraph.
enum Alignment : int { kAlignLeft = 0, kAlignRight = 1, kAlignCenter = 2 };

// Selection attributes of the Telugu pane with the caret at one character.
struct CharFormat {
    int alignment = kAlignLeft;
    std::int64_t color = 0;  // OLE colour, red in the low byte
    std::string face;
    double pointSize = 0;
    bool bold = false;
    bool italic = false;
    bool underline = false;
};

// The formatted Telugu text a page is built from.
class FormattedText {
public:
    virtual ~FormattedText() = default;
    // Glyph codes, one byte per character; paragraphs end in a carriage return.
    virtual std::string_view Text() const = 0;
    // The selection colour as it stands before the page builder moves the caret.
    virtual std::int64_t SelectionColor() const = 0;
    // Format of character `position` (1-based; position 1 of an empty text is
    // the format at the caret).
    virtual CharFormat FormatAt(std::size_t position) const = 0;
    // The last position through which the format of `position` holds (at
    // least `position`); the page builder copies such a run in one piece.
    virtual std::size_t SameFormatUntil(std::size_t position) const { return position; }
    // Background colour of the Telugu pane (OLE colour; negative: system colour).
    virtual std::int64_t BackColor() const = 0;
};

// Text and formats held in memory; a run-length list of formats.
class InMemoryFormattedText : public FormattedText {
public:
    explicit InMemoryFormattedText(std::int64_t backColor = kSystemWindowColor);
    // Appends `text` in `format`.
    void Append(std::string_view text, const CharFormat& format);
    void SetSelectionColor(std::int64_t color) { selectionColor_ = color; }
    // Format reported for an empty text.
    void SetCaretFormat(const CharFormat& format) { caretFormat_ = format; }

    std::string_view Text() const override { return text_; }
    std::int64_t SelectionColor() const override { return selectionColor_; }
    CharFormat FormatAt(std::size_t position) const override;
    std::size_t SameFormatUntil(std::size_t position) const override;
    std::int64_t BackColor() const override { return backColor_; }

private:
    std::string text_;
    std::vector<std::pair<std::size_t, CharFormat>> runs_;  // (first position, format)
    CharFormat caretFormat_;
    std::int64_t selectionColor_ = 0;
    std::int64_t backColor_;
};

// Web colour "RRGGBB" of an OLE colour written as decimal text; leaves the
// argument holding the value in hexadecimal, padded to at least six digits.
std::string VBColor2WebColor(std::string& hexColor);

// HTML font size code ("1" to "7") for a point size; above 36 points no code
// fits and `previous` is kept.
std::string_view HtmlSizeCode(double pointSize, std::string_view previous);

// The page that shows the formatted Telugu text in a browser with the font.
std::string BuildHTMLPage(const FormattedText& text);

// Plain text of a fetched page: from "<body" on, "<!--ENGLISH-->" marks turned
// into "#", tags dropped. `page` is left holding the page from its body on,
// with the marks replaced.
std::string HTML2English(std::string& page);

}  // namespace vrayu
