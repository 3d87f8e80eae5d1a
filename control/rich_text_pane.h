// A QTextEdit with the meanings of the classic rich-text box:
// - Text has "\r\n" between paragraphs, and SelStart / SelLength count
//   characters of that text (a paragraph break is two characters);
// - selection attributes read as Null (an invalid QVariant) when the
//   selection mixes values; with no selection they describe the caret, and a
//   setting then applies to the text typed next;
// - SelRTF is the selection as RTF; indents are in twips; colours are OLE
//   colours (red in the low byte).
#pragma once

#include <QFont>
#include <QString>
#include <QVariant>
#include <cstdint>

class QPrinter;
class QTextBlockFormat;
class QTextCharFormat;
class QTextCursor;
class QTextEdit;

namespace vrayu {

class RichTextPane {
public:
    explicit RichTextPane(QTextEdit* edit);
    QTextEdit* Edit() const { return edit_; }

    QString Text() const;
    // Replaces the whole text; the new text takes the format at the caret.
    void SetText(const QString& text);
    // Replaces only the part of the text that differs from `text`, so the
    // formats of the unchanged parts stay (used by conversion as you type).
    void UpdateText(const QString& text);
    int TextLength() const;

    int SelStart() const;
    // Moves the caret (no selection); clamped to the text.
    void SetSelStart(int start);
    int SelLength() const;
    void SetSelLength(int length);
    QString SelText() const;
    void SetSelText(const QString& text);
    QString SelRTF() const;
    void SetSelRTF(const QString& rtf);

    QVariant SelBold() const;
    void SetSelBold(bool on);
    QVariant SelItalic() const;
    void SetSelItalic(bool on);
    QVariant SelUnderline() const;
    void SetSelUnderline(bool on);
    QVariant SelStrikeThru() const;
    void SetSelStrikeThru(bool on);
    QVariant SelColor() const;  // OLE colour
    void SetSelColor(std::int64_t oleColor);
    QVariant SelFontName() const;
    void SetSelFontName(const QString& name);
    QVariant SelFontSize() const;
    void SetSelFontSize(double points);
    QVariant SelAlignment() const;  // 0 left, 1 right, 2 centre
    void SetSelAlignment(int alignment);
    QVariant SelBullet() const;
    void SetSelBullet(bool on);
    QVariant SelIndent() const;  // twips
    void SetSelIndent(int twips);
    QVariant SelHangingIndent() const;
    void SetSelHangingIndent(int twips);
    QVariant SelRightIndent() const;
    void SetSelRightIndent(int twips);

    // The pane's font: setting it changes every character's face, size and
    // styles (colours stay) and the format of text typed next.
    QFont Font() const;
    void SetFont(const QFont& font);
    // Changes only the name of the pane's font, everywhere (size and styles stay).
    void SetFontName(const QString& name);
    std::int64_t BackColor() const { return backColor_; }
    void SetBackColor(std::int64_t oleColor);

    // Prints the selection, or everything when nothing is selected.
    void SelPrint(QPrinter& printer) const;

    // Text position <-> document position.
    int DocPosition(int textPosition) const;
    int TextPosition(int docPosition) const;

private:
    QTextCursor Cursor() const;
    template <class Get>
    QVariant CharAttribute(Get get) const;
    template <class Get>
    QVariant BlockAttribute(Get get) const;
    void MergeChar(const QTextCharFormat& f);
    void MergeBlock(const QTextBlockFormat& f);
    void MergeEverywhere(const QTextCharFormat& f);

    QTextEdit* edit_;
    std::int64_t backColor_;
};

// Line ends of pane text and of the document: "\r\n" and a lone "\r" end a
// paragraph ("\n" for QTextCursor::insertText, read back as "\r\n"); a lone
// "\n" is a line break inside the paragraph (U+2028, read back as "\n"), so
// every text set is read back as it was, but for lone carriage returns.
QString ToDocumentBreaks(const QString& text);
QString FromDocumentBreaks(QString raw);

}  // namespace vrayu
