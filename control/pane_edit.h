// The text edit behind each pane. Paste and drop take only the text the
// clipboard or the drag really offers (a paste with nothing on the clipboard
// does nothing), and everything entered (typed, pasted, dropped) passes the
// pane's entry filter first.
#pragma once

#include <QTextEdit>
#include <functional>

namespace vrayu {

class PaneEdit : public QTextEdit {
public:
    using EntryFilter = std::function<QString(const QString&)>;
    explicit PaneEdit(QWidget* parent = nullptr);
    void SetEntryFilter(EntryFilter filter) { filter_ = std::move(filter); }
    // Pastes the clipboard's text at the caret (what Ctrl+V and the Edit menu do).
    void PasteText();

protected:
    bool canInsertFromMimeData(const QMimeData* source) const override;
    void insertFromMimeData(const QMimeData* source) override;
    void keyPressEvent(QKeyEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;

private:
    void Insert(const QString& text);
    EntryFilter filter_;
};

}  // namespace vrayu
