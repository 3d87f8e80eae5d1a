// The editor's files as bytes, and how they reach the disk. Every file is
// ISO-8859-1 (byte b is character U+00bb, so glyph codes survive) with
// CR LF line ends, and every write ends with CR LF. No widgets here.
#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

namespace vrayu {

inline constexpr char kCrLf[] = "\r\n";
inline constexpr char kTeluguExportHeader[] = "The following text must be viewed using Vrayu font";

// Dialog filters and titles of the document window's file operations.
inline constexpr char kDocumentFilter[] = "Text Files (*.txt)|*.txt|";
inline constexpr char kTeluguFilter[] = "Telugu Files (*.tel)|*.tel|";
inline constexpr char kHtmlFilter[] = "Text Files (*.htm)|*.htm|";
inline constexpr char kOpenFilter[] = "All Files (*.*)|*.*|";
inline constexpr char kUnicodeFilter[] = "Text Files (*.txt)|*.txt|";

// How a document file was written, so that saving an opened file unchanged
// gives the same bytes: its line end (the first one found), whether its last
// line ended with one, and its encoding. A new document: CR LF, ended, 8-bit.
struct DocumentFormat {
    QByteArray lineEnd = "\r\n";
    bool finalLineEnd = true;
    bool utf8 = false;
};

// The romanized document: the English pane text with the format's line ends,
// then a line end (when the format's last line had one), in ISO-8859-1 or
// UTF-8.
QByteArray DocumentBytes(const QString& english, const DocumentFormat& format = {});
// The characters of `text` that ISO-8859-1 cannot hold, each once, in order.
QString UnsavableCharacters(const QString& text);
// The Telugu export: the header line, three CR LF, the glyph text, CR LF.
QByteArray TeluguExportBytes(const QString& telugu);
// The HTML export (and the preview file): the page, then CR LF.
QByteArray HtmlExportBytes(const QString& html);
// The word-processor hand-over file: the selection's rich text, then CR LF.
QByteArray RtfExportBytes(const QString& rtf);

// A document read back for the English pane: CR LF, LF and CR end lines
// (the pane holds CR LF), the line end of the last line is dropped (the save
// writes it again), and a file that is valid UTF-8 and not ASCII is decoded
// as UTF-8 and passed through the English pane's entry rules (typographic
// punctuation made plain, Unicode Telugu romanized); any other file is
// ISO-8859-1.
struct DocumentText {
    QString text;
    DocumentFormat format;
    int inexactTelugu = 0;  // Telugu places the romanization cannot type exactly
};
DocumentText DocumentTextFromBytes(const QByteArray& bytes);
// A Telugu export (glyph codes of the Vrayu font, with or without the export's
// header line) read back as romanized text for the English pane.
DocumentText DocumentTextFromTeluguExport(const QByteArray& bytes);

// `name` with the extension of `filter` ("Text Files (*.txt)|*.txt|") added
// when it has none.
QString WithFilterExtension(const QString& name, const QString& filter);

// Replaces `path` with `bytes` atomically (temporary file, flush, rename):
// on any failure the previous file is left as it was. False on failure.
bool WriteFileAtomically(const QString& path, const QByteArray& bytes);
// The whole file, or no value when it cannot be read.
std::optional<QByteArray> ReadWholeFile(const QString& path);

}  // namespace vrayu
