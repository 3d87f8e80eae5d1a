// Writing, reading and writing again gives the same RTF for every construct
// the writer emits, and the text never grows.
#include <QDir>
#include <QFile>
#include <QTextBlockFormat>
#include <QTextCharFormat>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextList>
#include <gtest/gtest.h>

#include "fuzz/rtf_stability.h"
#include "rtf_reader.h"
#include "rtf_writer.h"

using namespace vrayu;
using vrayu::test::WholeRtf;

namespace {

// The RTF read into a fresh document with the same default font.
void ReadInto(QTextDocument& doc, const QString& rtf, const QFont& font) {
    doc.setDefaultFont(font);
    QTextCursor cursor(&doc);
    InsertRtf(cursor, rtf);
}

TEST(RtfRoundTrip, EveryConstructSurvivesWriteReadWrite) {
    QTextDocument doc;
    doc.setDefaultFont(QFont("Vrayu", 16));
    QTextCursor c(&doc);
    QTextCharFormat plain;
    c.insertText(QStringLiteral("plain \\{braces}\ttab") + QChar(0x2028) + QStringLiteral(" after break"), plain);
    QTextCharFormat rich;
    rich.setFontWeight(QFont::Bold);
    rich.setFontItalic(true);
    rich.setFontUnderline(true);
    rich.setFontStrikeOut(true);
    rich.setForeground(QColor(10, 200, 30));
    rich.setFontFamilies({"Odd; {Face}\\"});
    rich.setFontPointSize(9.5);
    c.insertText(QString::fromLatin1("glyphs \xe0\xff\x80 ") + QString(QChar(0x0C05)) + QChar(0xFFFD), rich);
    QTextCharFormat other;
    other.setForeground(QColor(255, 0, 0));
    other.setFontPointSize(72);
    c.insertText(QStringLiteral(" red\x01"), other);
    for (int align : {Qt::AlignRight, Qt::AlignHCenter, Qt::AlignLeft}) {
        QTextBlockFormat bf;
        bf.setAlignment(Qt::Alignment(align));
        bf.setLeftMargin(20);
        bf.setTextIndent(-10);
        bf.setRightMargin(40);
        c.insertBlock(bf);
        c.insertText(QStringLiteral("aligned"), plain);
    }
    c.insertBlock(QTextBlockFormat());
    c.createList(QTextListFormat::ListDisc);
    c.insertText(QStringLiteral("bullet one"), plain);
    c.insertBlock();
    c.insertText(QStringLiteral("bullet two"), rich);
    c.insertBlock(QTextBlockFormat());  // an empty last paragraph
    if (QTextList* list = c.currentList()) list->remove(c.block());

    const QString first = WholeRtf(doc);
    QTextDocument again;
    ReadInto(again, first, doc.defaultFont());
    EXPECT_EQ(again.toPlainText(), doc.toPlainText());
    const QString second = WholeRtf(again);
    EXPECT_EQ(second.toStdString(), first.toStdString());
    // The bullet group is not followed by a space of text.
    EXPECT_TRUE(first.contains("{\\pntxtb\\'b7}}\\plain")) << first.toStdString();
}

TEST(RtfRoundTrip, RepeatedHandOversDoNotGrowTheText) {
    QTextDocument doc;
    QTextCursor c(&doc);
    c.createList(QTextListFormat::ListDisc);
    c.insertText(QStringLiteral("item"));
    QString rtf = WholeRtf(doc);
    for (int round = 0; round < 3; ++round) {
        QTextDocument next;
        ReadInto(next, rtf, doc.defaultFont());
        EXPECT_EQ(next.toPlainText(), "item");
        ASSERT_NE(next.begin().textList(), nullptr);
        rtf = WholeRtf(next);
    }
}

TEST(RtfRoundTrip, FuzzerFindingsStayFixed) {
    const QDir repro(QStringLiteral(VRAYU_RTF_REPRO_DIR));
    const QStringList files = repro.entryList(QDir::Files);
    ASSERT_FALSE(files.isEmpty());
    for (const QString& name : files) {
        QFile file(repro.filePath(name));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        EXPECT_EQ(vrayu::test::RtfDrift(file.readAll()).toStdString(), "") << name.toStdString();
    }
}

}  // namespace
