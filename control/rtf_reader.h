// Inserts RTF at a text cursor (replacing its selection): what the writer
// writes and the common subset other programs write. Unknown control words
// are skipped, unknown destinations ("{\*\...}", pictures, style sheets) are
// dropped. Text that does not begin with "{\rtf" is inserted as plain text.
#pragma once

#include <QString>

class QTextCursor;

namespace vrayu {

void InsertRtf(QTextCursor& cursor, const QString& rtf);

}  // namespace vrayu
