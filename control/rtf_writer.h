// Rich text of a part of a document, in RTF: fonts, sizes, colours, bold,
// italic, underline, strike-through, alignment, indents, bullets and
// paragraphs. Characters 128 to 255 are written as \'hh, so glyph codes keep
// their byte values; characters above 255 as \uN.
#pragma once

#include <QString>
#include <QStringView>

class QTextDocument;

namespace vrayu {

// Twips per document unit (a pixel at 96 dpi).
inline constexpr int kTwipsPerDocUnit = 15;

// Text escaped for RTF: \ { } escaped, tabs and line breaks as control
// words, 8-bit characters as \'hh, others above 255 as \uN.
QString EscapeRtfText(QStringView text);

// RTF of the document between positions `from` and `to` (QTextDocument
// positions; a range that crosses a paragraph end writes \par for it).
QString WriteRtf(const QTextDocument& doc, int from, int to);

}  // namespace vrayu
