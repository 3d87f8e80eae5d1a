// Reading the attributes of Qt text formats with rich-text box meanings:
// colours as OLE colours, alignment as 0 left / 1 right / 2 centre, faces
// and sizes that fall back to the document's font.
#pragma once

#include <QColor>
#include <QFont>
#include <QString>
#include <QTextBlockFormat>
#include <QTextCharFormat>
#include <cstdint>
#include <optional>

namespace vrayu {

QString FaceOf(const QTextCharFormat& f, const QFont& base);
double SizeOf(const QTextCharFormat& f, const QFont& base);
// The explicit text colour, if any.
std::optional<QColor> ColorOf(const QTextCharFormat& f);
int AlignmentOf(const QTextBlockFormat& f);
Qt::Alignment QtAlignment(int alignment);

// OLE colour (red in the low byte) and back; a system colour (negative)
// becomes the matching colour of the application palette.
std::int64_t OleFromColor(const QColor& c);
QColor ColorFromOle(std::int64_t ole);

}  // namespace vrayu
