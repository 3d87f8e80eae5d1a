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

TEST(DocumentFiles, ReadingSplitsOnCrCrLfAndEndOfFile) {
    struct Case {
        QByteArray file;
        QString text;
    } cases[] = {
        {"", ""},
        {"abc", "abc\r\n"},
        {"abc\r\n", "abc\r\n"},
        {"abc\r", "abc\r\n"},
        {"a\rb\r\nc", "a\r\nb\r\nc\r\n"},
        {"a\r\r\nb", "a\r\n\r\nb\r\n"},
        {"\r\n", "\r\n"},
        {"\r\n\r\n", "\r\n\r\n"},
        // A bare line feed does not end a line.
        {"one\ntwo\n", "one\ntwo\n\r\n"},
        {"\n", "\n\r\n"},
        {"x\n\ry", "x\n\r\ny\r\n"},
        {QByteArray("\xB3\xFF\r\n", 4), QString::fromLatin1("\xB3\xFF\r\n")},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(DocumentTextFromBytes(c.file), c.text) << c.file.toHex().toStdString();
    }
}

TEST(DocumentFiles, SaveOpenRoundTripAddsOneCrLfEachTime) {
    QTemporaryDir dir;
    const QString path = dir.filePath("doc.txt");
    const QString t = QString::fromLatin1("svAgatam\r\nline two \xE9");
    ASSERT_TRUE(WriteFileAtomically(path, DocumentBytes(t)));
    const QString once = DocumentTextFromBytes(*ReadWholeFile(path));
    EXPECT_EQ(once, t + "\r\n");
    ASSERT_TRUE(WriteFileAtomically(path, DocumentBytes(once)));
    EXPECT_EQ(*ReadWholeFile(path), (t + "\r\n\r\n").toLatin1());
    EXPECT_EQ(DocumentTextFromBytes(*ReadWholeFile(path)), t + "\r\n\r\n");
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
