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

// The romanized document: the English pane text, then CR LF.
QByteArray DocumentBytes(const QString& english);
// The Telugu export: the header line, three CR LF, the glyph text, CR LF.
QByteArray TeluguExportBytes(const QString& telugu);
// The HTML export (and the preview file): the page, then CR LF.
QByteArray HtmlExportBytes(const QString& html);
// The word-processor hand-over file: the selection's rich text, then CR LF.
QByteArray RtfExportBytes(const QString& rtf);

// Text of a document read back: every line, ended by CR, CR LF or the end
// of the file, followed by CR LF. A bare LF stays inside its line.
QString DocumentTextFromBytes(const QByteArray& bytes);

// Replaces `path` with `bytes` atomically (temporary file, flush, rename):
// on any failure the previous file is left as it was. False on failure.
bool WriteFileAtomically(const QString& path, const QByteArray& bytes);
// The whole file, or no value when it cannot be read.
std::optional<QByteArray> ReadWholeFile(const QString& path);

}  // namespace vrayu
