#include "pane_edit.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMimeData>

namespace vrayu {

PaneEdit::PaneEdit(QWidget* parent) : QTextEdit(parent) {}

void PaneEdit::Insert(const QString& text) {
    const QString entered = filter_ ? filter_(text) : text;
    if (entered.isEmpty()) return;
    insertPlainText(entered);
    ensureCursorVisible();
}

void PaneEdit::PasteText() {
    if (isReadOnly()) return;
    // Asking for the text alone is safe with no clipboard owner; the
    // toolkit's own paste reads every format and may not be.
    const QClipboard* clipboard = QGuiApplication::clipboard();
    Insert(clipboard ? clipboard->text(QClipboard::Clipboard) : QString());
}

bool PaneEdit::canInsertFromMimeData(const QMimeData* source) const { return source && source->hasText(); }

void PaneEdit::insertFromMimeData(const QMimeData* source) {
    if (!source || !source->hasText()) return;
    Insert(source->text());
}

void PaneEdit::keyPressEvent(QKeyEvent* event) {
    // Ctrl+Y redoes, as on most desktops, besides the toolkit's own keys.
    if (event->key() == Qt::Key_Y && event->modifiers() == Qt::ControlModifier && !isReadOnly()) {
        redo();
        event->accept();
        return;
    }
    if (event->matches(QKeySequence::Paste)) {
        PasteText();
        event->accept();
        return;
    }
    const QString text = event->text();
    if (filter_ && !text.isEmpty() && text[0].isPrint() && !isReadOnly()) {
        const QString entered = filter_(text);
        if (entered != text) {
            Insert(text);
            event->accept();
            return;
        }
    }
    QTextEdit::keyPressEvent(event);
}

void PaneEdit::inputMethodEvent(QInputMethodEvent* event) {
    const QString commit = event->commitString();
    if (filter_ && !commit.isEmpty() && filter_(commit) != commit) {
        QInputMethodEvent filtered(event->preeditString(), event->attributes());
        filtered.setCommitString(filter_(commit), event->replacementStart(), event->replacementLength());
        QTextEdit::inputMethodEvent(&filtered);
        return;
    }
    QTextEdit::inputMethodEvent(event);
}

}  // namespace vrayu
