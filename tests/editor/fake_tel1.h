// A stand-in for the transliteration control with the same dispatch ids,
// for the document-window flows: the English text is a string, the Telugu
// pane a QTextEdit (so selection attributes and printing are real), and
// ConvertNow runs the real engine. Every call is logged.
#pragma once

#include <QColor>
#include <QPrinter>
#include <QStringList>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextEdit>

#include "convert.h"
#include "glyph_tables.h"
#include "tel1.h"

namespace vrayu {

class FakeTel1 : public Tel1 {
public:
    explicit FakeTel1(QWidget* parent) : telugu_(new QTextEdit(parent)) { LoadVrayuTables(tables_); }

    QWidget* Widget() const override { return telugu_; }
    QTextEdit& Telugu() const { return *telugu_; }
    QStringList log;
    QString selRtf = "{\\rtf1 sel}";

    QVariant Get(int id) const override {
        const QTextCursor c = telugu_->textCursor();
        const QTextCharFormat f = c.charFormat();
        switch (id) {
            case dispid::kTextEnglish: return english_;
            case dispid::kTextTelugu: return telugu_->toPlainText();
            case dispid::kTextHTML: return html_;
            case dispid::kIbEnglishChanged: return englishChanged_;
            case dispid::kAutoConvert: return autoConvert_;
            case dispid::kSelStart: return c.selectionStart();
            case dispid::kSelLength: return c.selectionEnd() - c.selectionStart();
            case dispid::kSelText: return c.selectedText();
            case dispid::kSelRTF: return selRtf + "[" + c.selectedText() + "]";
            case dispid::kSelBold: return Mixed(id) ? QVariant() : QVariant(f.fontWeight() >= QFont::Bold);
            case dispid::kSelItalic: return Mixed(id) ? QVariant() : QVariant(f.fontItalic());
            case dispid::kSelUnderline: return Mixed(id) ? QVariant() : QVariant(f.fontUnderline());
            case dispid::kSelFontName: return Mixed(id) ? QVariant() : QVariant(f.fontFamilies().toStringList().value(0));
            case dispid::kSelFontSize: return Mixed(id) ? QVariant() : QVariant(f.fontPointSize());
            case dispid::kSelAlignment: return alignment_;
            case dispid::kSelColor: return selColor_;
            case dispid::kTeluguBackColor: return backColor_;
        }
        return {};
    }

    void Put(int id, const QVariant& v) override {
        log << QStringLiteral("put %1=%2").arg(Name(id), v.toString());
        QTextCursor c = telugu_->textCursor();
        QTextCharFormat f;
        switch (id) {
            case dispid::kTextEnglish: english_ = v.toString(); englishChanged_ = true; return;
            case dispid::kTextTelugu: telugu_->setPlainText(v.toString()); return;
            case dispid::kTextHTML: html_ = v.toString(); return;
            case dispid::kIbEnglishChanged: englishChanged_ = v.toBool(); return;
            case dispid::kAutoConvert: autoConvert_ = v.toBool(); return;
            case dispid::kSelStart: c.setPosition(v.toInt()); telugu_->setTextCursor(c); return;
            case dispid::kSelLength:
                c.setPosition(c.selectionStart());
                c.setPosition(c.position() + v.toInt(), QTextCursor::KeepAnchor);
                telugu_->setTextCursor(c);
                return;
            case dispid::kSelBold: f.setFontWeight(v.toBool() ? QFont::Bold : QFont::Normal); break;
            case dispid::kSelItalic: f.setFontItalic(v.toBool()); break;
            case dispid::kSelUnderline: f.setFontUnderline(v.toBool()); break;
            case dispid::kSelFontName: f.setFontFamilies({v.toString()}); break;
            case dispid::kSelFontSize: f.setFontPointSize(v.toDouble()); break;
            case dispid::kSelAlignment: alignment_ = v.toInt(); return;
            case dispid::kSelColor: selColor_ = v.toLongLong(); return;
            case dispid::kTeluguBackColor: backColor_ = v.toLongLong(); return;
            default: return;
        }
        c.mergeCharFormat(f);
        telugu_->setTextCursor(c);
    }

    QVariant Call(int id, const QVariantList& args) override {
        log << Name(id);
        if (id == dispid::kConvertNow) {
            const std::string latin = english_.toLatin1().toStdString();
            telugu_->setPlainText(QString::fromLatin1(ConvertEnglishPane(latin, 0, tables_, kVrayuFace).text));
        } else if (id == dispid::kConvert2HTML) {
            html_ = "<HTML>" + telugu_->toPlainText() + "</HTML>";
        } else if (id == dispid::kSelPrint && !args.isEmpty()) {
            auto* printer = reinterpret_cast<QPrinter*>(args[0].value<qintptr>());
            telugu_->print(printer);
        }
        return {};
    }

private:
    static QString Name(int id) {
        switch (id) {
            case dispid::kConvertNow: return "ConvertNow";
            case dispid::kConvert2HTML: return "Convert2HTML";
            case dispid::kSelPrint: return "SelPrint";
            case dispid::kTextEnglish: return "TextEnglish";
            case dispid::kTextTelugu: return "TextTelugu";
            case dispid::kTextHTML: return "TextHTML";
            case dispid::kAutoConvert: return "Auto_Convert";
            case dispid::kIbEnglishChanged: return "ib_English_changed";
            case dispid::kSelBold: return "SelBold";
            case dispid::kSelItalic: return "SelItalic";
            case dispid::kSelUnderline: return "SelUnderline";
            case dispid::kSelFontName: return "SelFontName";
            case dispid::kSelFontSize: return "SelFontSize";
            case dispid::kSelAlignment: return "SelAlignment";
            case dispid::kSelColor: return "SelColor";
            case dispid::kTeluguBackColor: return "TeluguBackColor";
            case dispid::kSelStart: return "SelStart";
            case dispid::kSelLength: return "SelLength";
        }
        return QString::number(id, 16);
    }

    // True when the selection's characters disagree on the attribute `id`.
    bool Mixed(int id) const {
        const QTextCursor c = telugu_->textCursor();
        if (!c.hasSelection()) return false;
        QVariant first;
        for (int p = c.selectionStart() + 1; p <= c.selectionEnd(); ++p) {
            QTextCursor at(telugu_->document());
            at.setPosition(p);
            const QTextCharFormat f = at.charFormat();
            QVariant v;
            switch (id) {
                case dispid::kSelBold: v = f.fontWeight() >= QFont::Bold; break;
                case dispid::kSelItalic: v = f.fontItalic(); break;
                case dispid::kSelUnderline: v = f.fontUnderline(); break;
                case dispid::kSelFontName: v = f.fontFamilies().toStringList().value(0); break;
                case dispid::kSelFontSize: v = f.fontPointSize(); break;
            }
            if (p == c.selectionStart() + 1) first = v;
            else if (v != first) return true;
        }
        return false;
    }

    QTextEdit* telugu_;
    GlyphTables tables_;
    QString english_;
    QString html_;
    bool englishChanged_ = false;
    bool autoConvert_ = true;
    int alignment_ = 0;
    qint64 selColor_ = 0;
    qint64 backColor_ = 0;
};

}  // namespace vrayu
