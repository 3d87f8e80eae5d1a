#include "document_files.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

namespace vrayu {
namespace {

TEST(DocumentFiles, BytesOfEachFileKind) {
    // Glyph codes above 127 must come out as the same single bytes.
    const QString glyphs = QString::fromLatin1("\xB3\xC2\xED\x8F");
    EXPECT_EQ(DocumentBytes("svAgatam"), QByteArray("svAgatam\r\n"));
    EXPECT_EQ(DocumentBytes(""), QByteArray("\r\n"));
    EXPECT_EQ(TeluguExportBytes(glyphs),
              QByteArray("The following text must be viewed using Vrayu font\r\n\r\n\r\n\xB3\xC2\xED\x8F\r\n"));
    EXPECT_EQ(HtmlExportBytes("<html>\r\n</html>"), QByteArray("<html>\r\n</html>\r\n"));
    EXPECT_EQ(RtfExportBytes("{\\rtf1 \\'b3}"), QByteArray("{\\rtf1 \\'b3}\r\n"));
}

TEST(DocumentFiles, TeluguExportReadsBackAsRomanizedText) {
    // "svAgatam" exported as glyph codes, with and without the header line.
    const QString glyphs = QString::fromLatin1("\xB3\xC2\xED\x8F\xC1\x9C\xC1\xCF");
    EXPECT_EQ(DocumentTextFromTeluguExport(TeluguExportBytes(glyphs)).text, "svAgataM");
    EXPECT_EQ(DocumentTextFromTeluguExport(glyphs.toLatin1()).text, "svAgataM");
    EXPECT_EQ(DocumentTextFromTeluguExport(TeluguExportBytes(glyphs + "\r\n" + glyphs)).text, "svAgataM\r\nsvAgataM");
}

TEST(DocumentFiles, ReadingSplitsOnEveryLineEndAndSavingGivesTheSameBytes) {
    struct Case {
        QByteArray file;
        QString text;
        QByteArray lineEnd;
        bool utf8;
    } cases[] = {
        {"", "", "\r\n", false},
        {"abc", "abc", "\r\n", false},
        {"abc\r\n", "abc", "\r\n", false},
        {"abc\r", "abc", "\r", false},
        {"one\ntwo\n", "one\r\ntwo", "\n", false},
        {"\n", "", "\n", false},
        {"\r\n\r\n", "\r\n", "\r\n", false},
        {"a\r\n\r\nb\r\n", "a\r\n\r\nb", "\r\n", false},
        {QByteArray("\xB3\xFF\r\n", 4), QString::fromLatin1("\xB3\xFF"), "\r\n", false},
        {"caf\xC3\xA9\n", QString::fromUtf8("caf\xC3\xA9"), "\n", true},
        {"caf\xC3", QString::fromLatin1("caf\xC3"), "\r\n", false},  // not UTF-8: ISO-8859-1
    };
    for (const Case& c : cases) {
        const DocumentText read = DocumentTextFromBytes(c.file);
        EXPECT_EQ(read.text, c.text) << c.file.toHex().toStdString();
        EXPECT_EQ(read.format.lineEnd, c.lineEnd) << c.file.toHex().toStdString();
        EXPECT_EQ(read.format.utf8, c.utf8) << c.file.toHex().toStdString();
        EXPECT_EQ(DocumentBytes(read.text, read.format), c.file) << c.file.toHex().toStdString();
    }
    // Mixed line ends take the first one's style.
    const DocumentText mixed = DocumentTextFromBytes("a\nb\r\nc\rd");
    EXPECT_EQ(mixed.text, "a\r\nb\r\nc\r\nd");
    EXPECT_EQ(DocumentBytes(mixed.text, mixed.format), QByteArray("a\nb\nc\nd"));
    // Unicode Telugu and typographic punctuation come in romanized and plain.
    EXPECT_EQ(DocumentTextFromBytes(QString("“తెలుగు” – ok").toUtf8()).text,
              "\"telugu\" - #ok#");  // English stays English
    EXPECT_EQ(UnsavableCharacters(QString::fromUtf8("a\xE2\x82\xAC\xC3\xA9\xE2\x82\xAC\xE0\xA4\x95")),
              QString::fromUtf8("\xE2\x82\xAC\xE0\xA4\x95"));
    EXPECT_EQ(WithFilterExtension("/d/a", "Text Files (*.txt)|*.txt|"), "/d/a.txt");
    EXPECT_EQ(WithFilterExtension("/d/a.TXT", "Telugu Files (*.tel)|*.tel|"), "/d/a.TXT");
    EXPECT_EQ(WithFilterExtension("/d.x/a", "Text Files (*.htm)|*.htm|"), "/d.x/a.htm");
}

TEST(DocumentFiles, SaveOpenRoundTripKeepsTheBytes) {
    QTemporaryDir dir;
    const QString path = dir.filePath("doc.txt");
    const QString t = QString::fromLatin1("svAgatam\r\nline two \xE9");
    ASSERT_TRUE(WriteFileAtomically(path, DocumentBytes(t)));
    const DocumentText once = DocumentTextFromBytes(*ReadWholeFile(path));
    EXPECT_EQ(once.text, t);
    ASSERT_TRUE(WriteFileAtomically(path, DocumentBytes(once.text, once.format)));
    EXPECT_EQ(*ReadWholeFile(path), (t + "\r\n").toLatin1());
    // A save through a link replaces the file it points to; the link stays.
    const QString link = dir.filePath("link.txt");
    ASSERT_TRUE(QFile::link(path, link));
    ASSERT_TRUE(WriteFileAtomically(link, "via link\r\n"));
    EXPECT_TRUE(QFileInfo(link).isSymLink());
    EXPECT_EQ(*ReadWholeFile(path), QByteArray("via link\r\n"));
}

TEST(DocumentFiles, FailedWriteLeavesPreviousFileIntact) {
    QTemporaryDir dir;
    const QString path = dir.filePath("keep.txt");
    ASSERT_TRUE(WriteFileAtomically(path, "first\r\n"));
    // The target is a directory: nothing can be renamed over it.
    const QString asDir = dir.filePath("sub");
    ASSERT_TRUE(QDir().mkdir(asDir));
    EXPECT_FALSE(WriteFileAtomically(asDir, "x"));
    EXPECT_FALSE(WriteFileAtomically(dir.filePath("missing/folder/file.txt"), "x"));
    // A folder that refuses new files makes the temporary file fail; the
    // old file must stay. (Root ignores permissions, so only check if it bites.)
    QFile::setPermissions(dir.path(), QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    const bool refused = !WriteFileAtomically(path, "second\r\n");
    QFile::setPermissions(dir.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    EXPECT_EQ(*ReadWholeFile(path), QByteArray(refused ? "first\r\n" : "second\r\n"));
    EXPECT_FALSE(ReadWholeFile(dir.filePath("nope.txt")).has_value());
    // No temporary files are left behind.
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"keep.txt"});
}

}  // namespace
}  // namespace vrayu
