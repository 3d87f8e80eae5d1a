// Copies of unsaved documents, so that a crash loses no work: one file per
// document window in $XDG_STATE_HOME/vrayu/recovery (~/.local/state when the
// variable is unset), named after the process and the window, replaced
// atomically. A window that is saved, cleared or closed removes its copy; at
// start the copies of processes that are gone are offered back.
#pragma once

#include <QList>
#include <QString>

namespace vrayu {

QString RecoveryFolder();
// A fresh copy path for a window of this process.
QString NewRecoveryPath();
// Writes the copy: the document's file name (may be empty) and its text.
bool WriteRecoveryCopy(const QString& path, const QString& fileName, const QString& text);

struct RecoveredDocument {
    QString path;      // the copy itself
    QString fileName;  // the document's file, empty when it had none
    QString text;
};
// Copies left by editor processes that no longer run, oldest first.
QList<RecoveredDocument> OrphanedRecoveryCopies();

}  // namespace vrayu
