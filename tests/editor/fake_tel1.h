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
            case dispid::TextEnglish: return english_;
            case dispid::TextTelugu: return telugu_->toPlainText();
            case dispid::TextHTML: return html_;
            case dispid::ib_English_changed: return englishChanged_;
            case dispid::Auto_Convert: return autoConvert_;
            case dispid::SelStart: return c.selectionStart();
            case dispid::SelLength: return c.selectionEnd() - c.selectionStart();
            case dispid::SelText: return c.selectedText();
            case dispid::SelRTF: return selRtf + "[" + c.selectedText() + "]";
            case dispid::SelBold: return Mixed(id) ? QVariant() : QVariant(f.fontWeight() >= QFont::Bold);
            case dispid::SelItalic: return Mixed(id) ? QVariant() : QVariant(f.fontItalic());
            case dispid::SelUnderline: return Mixed(id) ? QVariant() : QVariant(f.fontUnderline());
            case dispid::SelFontName:
                return Mixed(id) ? QVariant() : QVariant(f.fontFamilies().toStringList().value(0));
            case dispid::SelFontSize: return Mixed(id) ? QVariant() : QVariant(f.fontPointSize());
            case dispid::SelAlignment: return alignment_;
            case dispid::SelColor: return selColor_;
            case dispid::TeluguBackColor: return backColor_;
        }
        return {};
    }

    void Put(int id, const QVariant& v) override {
        log << QStringLiteral("put %1=%2").arg(Name(id), v.toString());
        QTextCursor c = telugu_->textCursor();
        QTextCharFormat f;
        switch (id) {
            case dispid::TextEnglish:
                english_ = v.toString();
                englishChanged_ = true;
                return;
            case dispid::TextTelugu: telugu_->setPlainText(v.toString()); return;
            case dispid::TextHTML: html_ = v.toString(); return;
            case dispid::ib_English_changed: englishChanged_ = v.toBool(); return;
            case dispid::Auto_Convert: autoConvert_ = v.toBool(); return;
            case dispid::SelStart:
                c.setPosition(v.toInt());
                telugu_->setTextCursor(c);
                return;
            case dispid::SelLength:
                c.setPosition(c.selectionStart());
                c.setPosition(c.position() + v.toInt(), QTextCursor::KeepAnchor);
                telugu_->setTextCursor(c);
                return;
            case dispid::SelBold: f.setFontWeight(v.toBool() ? QFont::Bold : QFont::Normal); break;
            case dispid::SelItalic: f.setFontItalic(v.toBool()); break;
            case dispid::SelUnderline: f.setFontUnderline(v.toBool()); break;
            case dispid::SelFontName: f.setFontFamilies({v.toString()}); break;
            case dispid::SelFontSize: f.setFontPointSize(v.toDouble()); break;
            case dispid::SelAlignment: alignment_ = v.toInt(); return;
            case dispid::SelColor: selColor_ = v.toLongLong(); return;
            case dispid::TeluguBackColor: backColor_ = v.toLongLong(); return;
            default: return;
        }
        c.mergeCharFormat(f);
        telugu_->setTextCursor(c);
    }

    QVariant Call(int id, const QVariantList& args) override {
        log << Name(id);
        if (id == dispid::ConvertNow) {
            const std::string latin = english_.toLatin1().toStdString();
            telugu_->setPlainText(QString::fromLatin1(ConvertEnglishPane(latin, 0, tables_, kVrayuFace).text));
        } else if (id == dispid::Convert2HTML) {
            html_ = "<HTML>" + telugu_->toPlainText() + "</HTML>";
        } else if (id == dispid::SelPrint && !args.isEmpty()) {
            auto* printer = reinterpret_cast<QPrinter*>(args[0].value<qintptr>());
            telugu_->print(printer);
        }
        return {};
    }

private:
    static QString Name(int id) {
        switch (id) {
            case dispid::ConvertNow: return "ConvertNow";
            case dispid::Convert2HTML: return "Convert2HTML";
            case dispid::SelPrint: return "SelPrint";
            case dispid::TextEnglish: return "TextEnglish";
            case dispid::TextTelugu: return "TextTelugu";
            case dispid::TextHTML: return "TextHTML";
            case dispid::Auto_Convert: return "Auto_Convert";
            case dispid::ib_English_changed: return "ib_English_changed";
            case dispid::SelBold: return "SelBold";
            case dispid::SelItalic: return "SelItalic";
            case dispid::SelUnderline: return "SelUnderline";
            case dispid::SelFontName: return "SelFontName";
            case dispid::SelFontSize: return "SelFontSize";
            case dispid::SelAlignment: return "SelAlignment";
            case dispid::SelColor: return "SelColor";
            case dispid::TeluguBackColor: return "TeluguBackColor";
            case dispid::SelStart: return "SelStart";
            case dispid::SelLength: return "SelLength";
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
                case dispid::SelBold: v = f.fontWeight() >= QFont::Bold; break;
                case dispid::SelItalic: v = f.fontItalic(); break;
                case dispid::SelUnderline: v = f.fontUnderline(); break;
                case dispid::SelFontName: v = f.fontFamilies().toStringList().value(0); break;
                case dispid::SelFontSize: v = f.fontPointSize(); break;
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
