// The editor's conversation topics without a bus: what a script's execute,
// request and poke do to the frame and its document windows.
#include "conversation_topics.h"

#include "convert.h"
#include "glyph_tables.h"
#include "editor_fixture.h"

namespace vrayu {
namespace {

class ConversationTopics : public EditorFixture {};

TEST_F(ConversationTopics, SystemOpensNewAndFileWindowsAndListsTopics) {
    MainFrame& f = Frame();
    SystemTopic system(f, [&] {
        QStringList names;
        for (DocumentWindow* d : f.Documents()) names << d->windowTitle();
        return names;
    });
    const QString path = tmp.filePath("docs/a.txt");
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("telugu\r\n");
    file.close();

    EXPECT_TRUE(system.Execute("[New]"));
    EXPECT_TRUE(system.Execute("[Open(\"" + path.toStdString() + "\")]"));
    ASSERT_EQ(f.Documents().size(), 3);
    EXPECT_EQ(Tel(*f.Documents()[2]).TextEnglish(), "telugu");
    EXPECT_EQ(system.Request("TOPICS"), "System\tNew Document 1\tNew Document 2\t" + path.toStdString());
    // Nothing opens for a missing file, a relative path or an unknown command.
    EXPECT_FALSE(system.Execute("[Open(" + tmp.filePath("docs/none.txt").toStdString() + ")]"));
    EXPECT_FALSE(system.Execute("[Open(docs/a.txt)]"));
    EXPECT_FALSE(system.Execute("[Format(c:)]"));
    EXPECT_FALSE(system.Execute("New"));
    EXPECT_EQ(f.Documents().size(), 3);
    EXPECT_FALSE(system.Request("Formats"));
}

TEST_F(ConversationTopics, DocumentPokeConvertsAndCommandsWriteFiles) {
    DocumentWindow& d = Doc();
    DocumentTopic topic(&d);
    EXPECT_TRUE(topic.Poke("textenglish", "svAgatam"));
    EXPECT_TRUE(Tel().EnglishChanged());
    GlyphTables tables;
    LoadVrayuTables(tables);
    const std::string telugu = ConvertString("svAgatam", tables, "Vrayu");
    ASSERT_FALSE(telugu.empty());
    EXPECT_EQ(topic.Request("TextTelugu"), telugu);
    EXPECT_EQ(topic.Request("TextEnglish"), "svAgatam");
    EXPECT_FALSE(topic.Request("Selection"));
    EXPECT_FALSE(topic.Poke("TextTelugu", "x"));

    EXPECT_FALSE(topic.Execute("[Save]"));  // no file name yet: no dialog for a script
    const QString saved = tmp.filePath("docs/s.txt"), tel = tmp.filePath("docs/s.tel");
    EXPECT_TRUE(topic.Execute("[SaveAs(" + saved.toStdString() + ")][ExportTelugu(" + tel.toStdString() + ")]"));
    EXPECT_EQ(ReadWholeFile(saved), QByteArray("svAgatam\r\n"));
    EXPECT_EQ(ReadWholeFile(tel), TeluguExportBytes(QString::fromLatin1(telugu)));
    EXPECT_FALSE(Tel().EnglishChanged());
    EXPECT_FALSE(topic.Execute("[SaveAs(relative.txt)]"));

    EXPECT_TRUE(topic.Execute("[Close]"));
    QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(Frame().Documents().isEmpty());
    EXPECT_FALSE(topic.Request("TextEnglish"));  // the window is gone
}

}  // namespace
}  // namespace vrayu
