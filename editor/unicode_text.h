// Unicode Telugu from the Telugu pane's glyph-code text, for "Copy as
// Unicode" and "Export As Unicode Text...". No widgets here.
#pragma once

#include <QByteArray>
#include <QString>

namespace vrayu {

// Decodes pane text (one "Vrayu" glyph code per character, ISO-8859-1) into
// Unicode Telugu. Characters beyond ISO-8859-1 (Unicode pasted into the pane)
// are no glyph codes and pass through unchanged; line ends stay as they are.
QString UnicodeFromGlyphText(const QString& glyphs);

// Text for the clipboard: line ends as LF, as the panes' own Copy gives them.
QString UnicodeClipboardText(const QString& unicode);

// The Unicode text export: the text as UTF-8 (no byte order mark), then CR LF
// like every file the editor writes.
QByteArray UnicodeExportBytes(const QString& unicode);

}  // namespace vrayu
