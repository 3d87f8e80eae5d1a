#include "transliterate.h"

#include <QClipboard>
#include <QComboBox>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QScrollBar>
#include <QFontDatabase>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPrinter>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTextEdit>
#include <QToolButton>
#include <gtest/gtest.h>

#include "control_texts.h"
#include "convert.h"
#include "data_page.h"
#include "html_page.h"
#include "member_table.h"
#include "pane_formatted_text.h"
#include "scripted_dialogs.h"

using namespace vrayu;

namespace {

QString Glyphs(std::initializer_list<int> codes) {
    QString s;
    for (int c : codes) s += QChar(static_cast<char16_t>(c));
    return s;
}

const QString kSvagatam = Glyphs({179, 194, 237, 143, 193, 156, 193, 207});

QString Converted(const QString& english) {
    GlyphTables tables;
    std::string face;
    SelectGlyphTables("Vrayu", tables, face);
    return QString::fromLatin1(ConvertString(english.toStdString(), tables, face));
}

class Events final : public TransliterateEvents {
public:
    void OnEvent(int id, QVariantList&) override { events << id; }
    void OnPropertyChanged(int id, const QString& name) override { changes << qMakePair(id, name); }
    QList<int> events;
    QList<QPair<int, QString>> changes;
};

class ControlTest : public ::testing::Test {
protected:
    void SetUp() override {
        SetDialogs(&dialogs_);
        control_ = std::make_unique<Transliterate>();
        control_->resize(640, 480);
        control_->show();
        control_->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(control_.get()));
        dialogs_.Clear();
    }
    void TearDown() override {
        control_.reset();
        SetDialogs(nullptr);
    }
    template <class W>
    W* Child(const char* name) {
        W* w = control_->findChild<W*>(QLatin1String(name));
        EXPECT_NE(w, nullptr) << name;
        return w;
    }
    ScriptedDialogs dialogs_;
    std::unique_ptr<Transliterate> control_;
};

TEST_F(ControlTest, StartUpTextsAndChildren) {
    ScriptedDialogs fresh;
    SetDialogs(&fresh);
    Transliterate t;
    const bool fontInstalled = QFontDatabase::families().contains("Vrayu");
    if (fontInstalled) {
        EXPECT_TRUE(fresh.Questions().empty());
    } else {
        ASSERT_EQ(fresh.Questions().size(), 1u);
        EXPECT_EQ(fresh.Questions()[0].prompt,
                  "You haven't installed Vrayu Fonts.\r\nPlease down load from https://vrayu.example.org/download/ and "
                  "install.");
        EXPECT_EQ(fresh.Questions()[0].style, kOKOnly);
    }
    EXPECT_EQ(
        t.EnglishPane().Text(),
        "#English# lO ikkaDa #Type# caesi, paina #Convert Button Click# caeste, idi meeku telugulO kanabaDutundi");
    const QString welcome = WelcomeText(VRAYU_VERSION_MAJOR, VRAYU_VERSION_MINOR, VRAYU_VERSION_PATCH);
    EXPECT_TRUE(welcome.startsWith("svAgatam          vrayu " + QString::number(VRAYU_VERSION_MAJOR) + "."));
    EXPECT_TRUE(welcome.contains("\r\nviy hOp yu vil laik dis prOgrAm.\r\nmee salahAlu ellappuDU svaagatam.\r\n\r\n"));
    EXPECT_EQ(t.TeluguPane().Text(), Converted(welcome));
    EXPECT_FALSE(t.ib_English_changed);
    EXPECT_FALSE(t.ib_Telugu_changed);
    EXPECT_FALSE(t.ib_HTML_changed);
    EXPECT_TRUE(t.Auto_Convert);
    EXPECT_EQ(t.CurrentPane(), "");
    EXPECT_EQ(t.View(), ViewMode::Both);

    // Every child by its name, with its caption and tooltip.
    for (const ChildText& c : ChildTexts()) {
        QWidget* w = t.findChild<QWidget*>(QLatin1String(c.name));
        ASSERT_NE(w, nullptr) << c.name;
        EXPECT_EQ(w->toolTip(), QLatin1String(c.tooltip)) << c.name;
        if (auto* b = qobject_cast<QAbstractButton*>(w); b && *c.caption) {
            EXPECT_EQ(b->text(), QLatin1String(c.caption));
        }
    }
    EXPECT_EQ(t.findChild<QRadioButton*>("optBoth")->text(), "Telugu && English");
    auto* size = t.findChild<QComboBox*>("cboSize");
    EXPECT_EQ(size->currentText(), "16");
    EXPECT_EQ(size->count(), 11);
    EXPECT_EQ(size->itemText(10), "72");
    auto* font = t.findChild<QComboBox*>("cboFont");
    EXPECT_EQ(font->currentText(), "Vrayu");
    EXPECT_EQ(font->itemText(1), "abTelugu");
    EXPECT_EQ(font->count(), 2 + QFontDatabase::families().size());
    EXPECT_EQ(t.TeluguPane().Font().family(), "Vrayu");
    EXPECT_EQ(t.TeluguPane().Font().pointSize(), 16);
}

TEST_F(ControlTest, TypingConvertsKeyByKey) {
    auto* english = Child<QTextEdit>("txtEnglish");
    control_->EnglishPane().SetText("");
    control_->ib_English_changed = false;
    english->setFocus();
    const QString word = "svAgatam";
    for (int i = 0; i < word.size(); ++i) {
        QTest::keyClicks(english, word.mid(i, 1));
        EXPECT_EQ(control_->TeluguPane().Text(), Converted(word.left(i + 1))) << i;
    }
    EXPECT_EQ(control_->TeluguPane().Text(), kSvagatam);
    EXPECT_TRUE(control_->ib_English_changed);
    EXPECT_EQ(control_->CurrentPane(), "English");
    // The Telugu caret follows the English caret's index.
    EXPECT_EQ(control_->TeluguPane().SelStart(), 8);

    // Enter converts: the new paragraph is in the Telugu pane at once.
    QTest::keyClick(english, Qt::Key_Return);
    EXPECT_EQ(control_->TeluguPane().Text(), kSvagatam + "\r\n");
    // A key outside the rules (a punctuation key) converts once its change is done.
    QTest::keyClick(english, Qt::Key_Comma);
    QCoreApplication::processEvents();
    EXPECT_EQ(control_->TeluguPane().Text(), kSvagatam + "\r\n,");
    control_->Auto_Convert = false;
    QTest::keyClicks(english, "a");
    QCoreApplication::processEvents();
    EXPECT_EQ(control_->TeluguPane().Text(), kSvagatam + "\r\n,");
    control_->Auto_Convert = true;
    QTest::keyClick(english, Qt::Key_B, Qt::ControlModifier);
    QCoreApplication::processEvents();
    EXPECT_EQ(control_->TeluguPane().Text(), kSvagatam + "\r\n,");
    QTest::keyClicks(english, "A");  // Shift alone is allowed
    EXPECT_EQ(control_->TeluguPane().Text(), Converted("svAgatam\r\n,aA"));
}

// Paste, undo and redo convert like typing; moving the caret converts nothing
// but takes the Telugu caret to the matching syllable.
TEST_F(ControlTest, EveryChangeOfTheEnglishTextConvertsAndTheTeluguCaretFollows) {
    auto* english = Child<QTextEdit>("txtEnglish");
    auto* telugu = Child<QTextEdit>("txtTelugu");
    control_->EnglishPane().SetText("");
    english->setFocus();
    auto settled = [] { QCoreApplication::processEvents(); };

    QGuiApplication::clipboard()->clear();
    QTest::keyClick(english, Qt::Key_V, Qt::ControlModifier);  // nothing to paste: nothing happens
    settled();
    EXPECT_EQ(control_->EnglishPane().Text(), "");

    // Typographic punctuation comes in plain, Unicode Telugu romanized.
    QGuiApplication::clipboard()->setText(QString::fromUtf8("“స్వాగతం” \u2014 తెలుగు\u2026"));
    QTest::keyClick(english, Qt::Key_V, Qt::ControlModifier);
    settled();
    const QString pasted = "\"svAgataM\" -- telugu...";
    EXPECT_EQ(control_->EnglishPane().Text(), pasted);
    EXPECT_EQ(control_->TeluguPane().Text(), Converted(pasted));
    QKeyEvent quote(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString::fromUtf8("\u2019"));
    QCoreApplication::sendEvent(english, &quote);  // a typed typographic quote too
    EXPECT_EQ(control_->EnglishPane().Text(), pasted + "'");

    // Undo takes back the paste and the quote typed after it (one edit).
    QTest::keyClick(english, Qt::Key_Z, Qt::ControlModifier);
    settled();
    EXPECT_EQ(control_->EnglishPane().Text(), "");
    EXPECT_EQ(control_->TeluguPane().Text(), "");
    QTest::keyClick(english, Qt::Key_Y, Qt::ControlModifier);
    settled();
    EXPECT_EQ(control_->TeluguPane().Text(), Converted(pasted + "'"));

    // The caret after "svAgataM" sits after its Telugu, not at the same index.
    control_->EnglishPane().SetSelStart(9);
    EXPECT_EQ(control_->TeluguPane().SelStart(), Converted("\"svAgataM").size());
    // Navigation keys convert nothing: a hand edit of the Telugu pane stays.
    control_->TeluguPane().SetText("X");
    QTest::keyClick(english, Qt::Key_End);
    QTest::keyClick(english, Qt::Key_Left);
    settled();
    EXPECT_EQ(control_->TeluguPane().Text(), "X");

    // A long document: typing at its end shows the end of the Telugu pane.
    QString big;
    while (big.size() < 200000) big += "svAgatam telugu vrAyaDam kRShNa\r\n";
    control_->Put(dispid::TextEnglish, big);
    control_->ConvertNow();
    control_->EnglishPane().SetSelStart(control_->EnglishPane().TextLength());
    telugu->verticalScrollBar()->setValue(0);
    QTest::keyClicks(english, "ka");
    settled();
    EXPECT_EQ(control_->TeluguPane().SelStart(), control_->TeluguPane().TextLength());
    EXPECT_GT(telugu->verticalScrollBar()->value(), 0);
    EXPECT_TRUE(telugu->viewport()->rect().contains(telugu->cursorRect()));
}

TEST_F(ControlTest, AListedFontThatIsNotInstalledIsToldOnce) {
    if (QFontDatabase::families().contains("abTelgu", Qt::CaseInsensitive)) GTEST_SKIP() << "abTelgu is installed";
    dialogs_.Clear();
    control_->OnFontChosen("abTelugu");
    control_->OnFontChosen("Vrayu");
    control_->OnFontChosen("abTelugu");
    ASSERT_EQ(dialogs_.Questions().size(), 1u);
    EXPECT_TRUE(dialogs_.Questions()[0].prompt.startsWith("The font \"abTelgu\" is not installed"));
}

TEST_F(ControlTest, EnglishOnlyViewConvertsNothingUntilTeluguIsChosen) {
    auto* english = Child<QTextEdit>("txtEnglish");
    control_->EnglishPane().SetText("");
    const QString before = control_->TeluguPane().Text();
    QTest::mouseClick(Child<QRadioButton>("optEnglish"), Qt::LeftButton);
    EXPECT_EQ(control_->View(), ViewMode::English);
    EXPECT_TRUE(english->isVisible());
    EXPECT_FALSE(Child<QTextEdit>("txtTelugu")->isVisible());
    english->setFocus();
    QTest::keyClicks(english, "a");
    EXPECT_EQ(control_->TeluguPane().Text(), before);
    // Choosing the Telugu view converts what changed.
    QTest::mouseClick(Child<QRadioButton>("optTelugu"), Qt::LeftButton);
    EXPECT_EQ(control_->TeluguPane().Text(), Converted("a"));
    EXPECT_FALSE(english->isVisible());
    // The HTML view builds the page.
    QTest::mouseClick(Child<QRadioButton>("optHTML"), Qt::LeftButton);
    EXPECT_TRUE(Child<QTextEdit>("txtHTML")->isVisible());
    EXPECT_TRUE(control_->HtmlPane().Text().startsWith("<html>"));
    EXPECT_EQ(control_->TeluguPane().SelStart(), control_->TeluguPane().TextLength());
}

TEST_F(ControlTest, SettingTextEnglishDoesNotConvert) {
    Events events;
    control_->SetEventSink(&events);
    const QString before = control_->TeluguPane().Text();
    control_->ib_English_changed = false;
    EXPECT_EQ(control_->Put(dispid::TextEnglish, "amma"), kS_OK);
    EXPECT_TRUE(control_->Get(dispid::ib_English_changed).toBool());
    EXPECT_EQ(control_->TeluguPane().Text(), before);
    EXPECT_EQ(control_->Call(dispid::ConvertNow), kS_OK);
    EXPECT_EQ(control_->Get(dispid::TextTelugu).toString(), Converted("amma"));
    ASSERT_FALSE(events.changes.isEmpty());
    EXPECT_EQ(events.changes.front(), qMakePair(dispid::TextEnglish, QString("TextEnglish")));
    EXPECT_TRUE(events.events.contains(eventid::SelChange));
    // Fields send no notification.
    events.changes.clear();
    EXPECT_EQ(control_->Put(dispid::ib_English_changed, false), kS_OK);
    EXPECT_TRUE(events.changes.isEmpty());
    control_->SetEventSink(nullptr);
}

TEST_F(ControlTest, DispatchByIdAndByName) {
    for (const Member& m : TransliterateMembers()) {
        EXPECT_EQ(control_->GetIDsOfNames(QString::fromLatin1(m.name).toUpper()), m.dispid) << m.name;
    }
    EXPECT_EQ(TransliterateMembers().size(), 42u);
    EXPECT_EQ(control_->GetIDsOfNames("NoSuchMember"), kDispidUnknown);
    QVariantList none;
    EXPECT_EQ(control_->Invoke(0x12345, kDispatchPropertyGet, none, nullptr), kDispE_MemberNotFound);

    // Boolean fields take any number, and text only when it is a Boolean or
    // a number (as SelStart refuses text that is not a number).
    EXPECT_EQ(control_->Put("Auto_Convert", -1), kS_OK);
    EXPECT_EQ(control_->Get(dispid::Auto_Convert), QVariant(true));
    EXPECT_EQ(control_->Put(dispid::Auto_Convert, 0), kS_OK);
    EXPECT_FALSE(control_->Auto_Convert);
    for (const char* text : {"true", " TRUE ", "-1", "2.5"}) {
        control_->Auto_Convert = false;
        EXPECT_EQ(control_->Put(dispid::Auto_Convert, QString(text)), kS_OK) << text;
        EXPECT_TRUE(control_->Auto_Convert) << text;
    }
    for (const char* text : {"False", "0"}) {
        EXPECT_EQ(control_->Put(dispid::Auto_Convert, QString(text)), kS_OK) << text;
        EXPECT_FALSE(control_->Auto_Convert) << text;
    }
    for (int id : {dispid::Auto_Convert, dispid::ib_English_changed, dispid::Enabled, dispid::SelBold,
                   dispid::SelBullet, dispid::SelStart}) {
        for (const char* text : {"maybe", "", "1x"})
            EXPECT_EQ(control_->Put(id, QString(text)), kDispE_TypeMismatch) << id << ' ' << text;
    }
    EXPECT_FALSE(control_->Auto_Convert);
    QVariantList maybe{QString("maybe")};
    EXPECT_EQ(control_->Call(dispid::anySelBold, maybe), kDispE_TypeMismatch);

    // Colours: the system window colour is the default of both backgrounds.
    EXPECT_EQ(control_->Get(dispid::TeluguBackColor).toInt(), static_cast<int>(0x80000005u));
    EXPECT_EQ(control_->Put(dispid::TeluguBackColor, 0xFF), kS_OK);
    EXPECT_EQ(control_->Get("TeluguBackColor").toInt(), 0xFF);
    EXPECT_EQ(Child<QTextEdit>("txtTelugu")->palette().color(QPalette::Base), QColor(Qt::red));

    // Method arguments: counts are checked; VBColor2WebColor changes its argument.
    QVariantList args{QString("255")};
    QVariant result;
    EXPECT_EQ(control_->Invoke(dispid::VBColor2WebColor, kDispatchMethod, args, &result), kS_OK);
    EXPECT_EQ(result.toString(), "FF0000");
    EXPECT_EQ(args[0].toString(), "0000FF");
    QVariantList gif{QString("a"), QString("b"), QString("c")};
    EXPECT_EQ(control_->Call(dispid::ConvertToGIF, gif), kS_OK);
    gif << true;
    EXPECT_EQ(control_->Call(dispid::ConvertToGIF, gif), kS_OK);
    QVariantList two{QString("a"), QString("b")};
    EXPECT_EQ(control_->Call(dispid::ConvertToGIF, two), kDispE_BadParamCount);
    EXPECT_EQ(control_->Call(dispid::SetURL), kDispE_BadParamCount);
    QVariantList put{1};
    EXPECT_EQ(control_->Invoke(dispid::ConvertNow, kDispatchPropertyPut, put, nullptr), kDispE_MemberNotFound);

    // Selection properties act on the Telugu pane.
    control_->Put(dispid::TextTelugu, "abcdef");
    control_->Put(dispid::SelStart, 2);
    control_->Put(dispid::SelLength, 3);
    EXPECT_EQ(control_->Get(dispid::SelText).toString(), "cde");
    control_->Put(dispid::SelBold, true);
    EXPECT_EQ(control_->Get(dispid::SelBold), QVariant(true));
    control_->Put(dispid::SelLength, 4);                     // one more character, not bold
    EXPECT_FALSE(control_->Get(dispid::SelBold).isValid());  // Null: mixed
    QString error;
    QVariantList bad{0};
    EXPECT_EQ(control_->Invoke(dispid::SelFontSize, kDispatchPropertyPut, bad, nullptr, &error), kDispE_Exception);
    EXPECT_EQ(error, "Invalid property value");
    QVariantList nullValue{QVariant()};
    EXPECT_EQ(control_->Invoke(dispid::SelBold, kDispatchPropertyPut, nullValue, nullptr), kDispE_TypeMismatch);
}

TEST_F(ControlTest, AnySelActsOnTheLastFocusedPane) {
    {
        Transliterate hidden;  // no pane ever had the focus
        hidden.TeluguPane().SetText("abc");
        hidden.TeluguPane().SetSelLength(3);
        hidden.anySelBold(true);
        EXPECT_EQ(hidden.TeluguPane().SelBold(), QVariant(false));
        EXPECT_EQ(hidden.CurrentPane(), "");
    }
    control_->EnglishPane().SetText("abc");
    control_->TeluguPane().SetText("abc");
    for (RichTextPane* pane : {&control_->EnglishPane(), &control_->TeluguPane()}) {
        pane->SetSelStart(0);
        pane->SetSelLength(3);
    }
    Child<QTextEdit>("txtEnglish")->setFocus();
    QVariantList on{true};
    EXPECT_EQ(control_->Call(dispid::anySelItalic, on), kS_OK);
    EXPECT_EQ(control_->EnglishPane().SelItalic(), QVariant(true));
    EXPECT_EQ(control_->TeluguPane().SelItalic(), QVariant(false));
    Child<QTextEdit>("txtTelugu")->setFocus();
    EXPECT_EQ(control_->CurrentPane(), "Telugu");
    control_->anySelSelStrikeThru(true);
    EXPECT_EQ(control_->TeluguPane().SelStrikeThru(), QVariant(true));
}

TEST_F(ControlTest, ColourAnswersAndSizeList) {
    struct Case {
        const char* answer;
        std::int64_t color;
    } cases[] = {{"20", 0x000000}, {"7", 0xC0C0C0}, {"", 0x000000}, {"12", 0x0000FF}, {"4abc", 0x000080}};
    for (const Case& c : cases) {
        control_->TeluguPane().SetText("abcd");
        control_->TeluguPane().SetSelStart(0);
        control_->TeluguPane().SetSelLength(4);
        control_->TeluguPane().SetSelColor(0x123456);
        dialogs_.Clear();
        dialogs_.QueueMsgBox(kYes);
        dialogs_.QueueInput(c.answer);
        control_->OnSizeChosen("20");
        EXPECT_EQ(control_->TeluguPane().SelColor().toLongLong(), c.color) << c.answer;
        ASSERT_EQ(dialogs_.Questions().size(), 2u);
        EXPECT_EQ(dialogs_.Questions()[0].prompt, "Do you want to change text color also?");
        EXPECT_EQ(dialogs_.Questions()[0].style, kYesNo);
        EXPECT_EQ(dialogs_.Questions()[1].title, "Text Color");
        EXPECT_EQ(dialogs_.Questions()[1].prompt,
                  "0. Black\r\n1-Blue\r\n2-Green\r\n3-Cyan\r\n4-Red\r\n5-Magenta\r\n6-Yellow\r\n7-White\r\n8-Gray\r\n"
                  "9-Light Blue\r\n10-Light Green\r\n11-Light Cyan\r\n12-Light Red\r\n13-Light Magenta\r\n"
                  "14-Light Yellow\r\n15-Bright White\r\nPlease give me a color code between 1 - 15");
    }
    // A cancelled input box (no answer) selects black too.
    dialogs_.Clear();
    dialogs_.QueueMsgBox(kYes);
    control_->TeluguPane().SetSelColor(0x123456);
    control_->OnSizeChosen("20");
    EXPECT_EQ(control_->TeluguPane().SelColor().toLongLong(), 0);

    // With a selection only the selection changes size.
    RichTextPane& t = control_->TeluguPane();
    t.SetText("abcd");
    t.SetSelStart(1);
    t.SetSelLength(2);
    dialogs_.Clear();
    dialogs_.QueueMsgBox(kNo);
    control_->OnSizeChosen("30");
    EXPECT_EQ(dialogs_.Questions().size(), 1u);
    EXPECT_EQ(t.SelFontSize(), QVariant(30.0));
    t.SetSelStart(0);
    t.SetSelLength(4);
    EXPECT_FALSE(t.SelFontSize().isValid());
    // Without one, the whole pane.
    t.SetSelStart(0);
    dialogs_.QueueMsgBox(kNo);
    control_->OnSizeChosen("24");
    t.SetSelLength(4);
    EXPECT_EQ(t.SelFontSize(), QVariant(24.0));
    EXPECT_EQ(t.Font().pointSize(), 24);
}

// The face the pane shows: its font as the host reads it, the font of every
// character and the font of text typed next.
void ExpectPaneFace(Transliterate& control, const QString& face) {
    EXPECT_EQ(control.Get(dispid::TeluguFont).value<QFont>().family(), face);
    auto* pane = control.findChild<QTextEdit*>("txtTelugu");
    for (QTextBlock b = pane->document()->begin(); b.isValid(); b = b.next())
        for (auto it = b.begin(); !it.atEnd(); ++it)
            EXPECT_EQ(it.fragment().charFormat().font().family(), face) << it.fragment().text().toStdString();
    EXPECT_EQ(QFontInfo(pane->currentCharFormat().font()).family(),
              QFontInfo(QFont(face)).family());  // what the caret's text is drawn in
    const int start = control.Get(dispid::SelStart).toInt(), length = control.Get(dispid::SelLength).toInt();
    control.Put(dispid::SelStart, 0);
    control.Put(dispid::SelLength, control.Get(dispid::TextTelugu).toString().size());
    EXPECT_EQ(control.Get(dispid::SelFontName), QVariant(face));
    control.Put(dispid::SelStart, start);
    control.Put(dispid::SelLength, length);
}

QString ConvertedIn(const char* list, std::string_view face, const std::string& english) {
    GlyphTables tables;
    std::string listFace;
    SelectGlyphTables(list, tables, listFace);
    return QString::fromLatin1(ConvertString(english, tables, face));
}

TEST_F(ControlTest, FontListChangesSelectionFontOrTables) {
    RichTextPane& t = control_->TeluguPane();
    ExpectPaneFace(*control_, "Vrayu");
    control_->EnglishPane().SetText("ka");
    t.SetText("xyz");
    t.SetSelStart(0);
    t.SetSelLength(2);
    control_->OnFontChosen("abTelugu");
    EXPECT_EQ(t.SelFontName(), QVariant("abTelugu"));
    EXPECT_EQ(control_->FaceName(), "Vrayu");
    EXPECT_EQ(t.Text(), "xyz");  // a selection: no conversion
    t.SetSelStart(0);
    control_->OnFontChosen("abTelugu");
    ExpectPaneFace(*control_, "abTelgu");
    EXPECT_EQ(t.Text(), ConvertedIn("abTelugu", "abTelgu", "ka"));
    control_->OnFontChosen("DejaVu Sans");  // any other name keeps the tables and the face
    ExpectPaneFace(*control_, "abTelgu");
    EXPECT_EQ(t.Text(), ConvertedIn("abTelugu", "abTelgu", "ka"));
    control_->OnFontChosen("Vrayu");
    ExpectPaneFace(*control_, "Vrayu");
    EXPECT_EQ(t.Text(), ConvertedIn("Vrayu", "Vrayu", "ka"));
}

// "|" becomes "!" only in the face "abTelgu"; the separator in "mA" is 160
// only in the face "Vrayu". The face is the Telugu pane's font name, however
// it was set, on every path that converts.
TEST_F(ControlTest, ThePaneFontNameDecidesTheFaceRules) {
    const std::string english = "a|b mA jA";
    const QString vrayu = ConvertedIn("Vrayu", "Vrayu", english);
    ASSERT_TRUE(vrayu.contains(QChar(160)) && vrayu.contains(QLatin1Char('|')));
    const struct {
        const char* family;
        QString expected;
    } cases[] = {
        {"abTelgu", ConvertedIn("Vrayu", "abTelgu", english)},
        {"DejaVu Sans", ConvertedIn("Vrayu", "DejaVu Sans", english)},
        {"Vrayu", vrayu},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.family);
        ASSERT_EQ(control_->Put(dispid::TeluguFont, QFont(c.family, 16)), kS_OK);
        control_->Put(dispid::TextEnglish, QString::fromStdString(english));
        control_->Call(dispid::ConvertNow);
        EXPECT_EQ(control_->Get(dispid::TextTelugu).toString(), c.expected);
        control_->Put(dispid::TextTelugu, "");
        control_->OnConvertClicked();
        EXPECT_EQ(control_->Get(dispid::TextTelugu).toString(), c.expected);
        control_->Put(dispid::TextTelugu, "");
        control_->SetView(ViewMode::Telugu);  // converts: the English text changed
        EXPECT_EQ(control_->Get(dispid::TextTelugu).toString(), c.expected);
        control_->SetView(ViewMode::Both);
    }
    EXPECT_NE(cases[0].expected, cases[1].expected);
    EXPECT_NE(cases[1].expected, vrayu);

    // A saved state without "TeluguFont" gives the pane the container's font,
    // whose name is not "Vrayu": no 160 separator.
    QWidget container;
    container.setFont(QFont("DejaVu Sans", 9));
    Transliterate loaded(&container);
    MemoryPropertyBag bag;
    bag.WriteProperty("TextEnglish", QString::fromStdString(english), QString());
    ASSERT_EQ(loaded.Load(bag), kS_OK);
    ASSERT_NE(loaded.FaceName(), "Vrayu");
    loaded.Call(dispid::ConvertNow);
    EXPECT_EQ(loaded.Get(dispid::TextTelugu).toString(), ConvertedIn("Vrayu", loaded.FaceName(), english));
    EXPECT_FALSE(loaded.Get(dispid::TextTelugu).toString().contains(QChar(160)));
}

TEST_F(ControlTest, LayoutFollowsTheSizeInTwips) {
    const double tpp = control_->TwipsPerPixel();
    control_->resize(static_cast<int>(9000 / tpp), static_cast<int>(6000 / tpp));
    const PaneGeometry& g = control_->Geometry();
    EXPECT_EQ(g.url.width, 7000);
    EXPECT_EQ(g.english.height, 1905);
    const int h = static_cast<int>(control_->height() * tpp + 0.5);
    EXPECT_EQ(g.english.top, h - 1955);
    auto* telugu = Child<QTextEdit>("txtTelugu");
    EXPECT_NEAR(telugu->geometry().top() * tpp, 525 + 300 + 25, tpp);
    // Too small: nothing moves.
    const PaneGeometry before = g;
    control_->resize(static_cast<int>(4000 / tpp), static_cast<int>(6000 / tpp));
    EXPECT_EQ(control_->Geometry().url, before.url);
    EXPECT_EQ(control_->Geometry().telugu, before.telugu);
}

TEST_F(ControlTest, PersistenceRoundTripAndDefaults) {
    MemoryPropertyBag empty;
    control_->InitNew();
    ASSERT_EQ(control_->Load(empty), kS_OK);
    EXPECT_EQ(control_->Get(dispid::TextTelugu).toString(), "felugau");
    EXPECT_EQ(control_->Get(dispid::TextEnglish).toString(), "");
    const QStringList order = {"BackColor",       "ForeColor",      "Enabled",          "Font",      "BackStyle",
                               "BorderStyle",     "TextEnglish",    "TextTelugu",       "TextHTML",  "TeluguFont",
                               "TeluguBackColor", "SelAlignment",   "SelBold",          "SelBullet", "SelColor",
                               "SelFontName",     "SelFontSize",    "SelHangingIndent", "SelIndent", "SelItalic",
                               "SelLength",       "SelRightIndent", "SelRTF",           "SelStart",  "SelStrikeThru",
                               "SelText",         "SelUnderline"};
    EXPECT_EQ(empty.ReadLog(), order);

    // Values equal to their defaults are not stored.
    MemoryPropertyBag defaults;
    control_->Save(defaults);
    for (const char* name : {"BackColor", "ForeColor", "Enabled", "Font", "BackStyle", "BorderStyle", "TextEnglish",
                             "TextTelugu", "TextHTML", "TeluguBackColor", "SelBold", "SelColor", "SelStart", "SelText"})
        EXPECT_FALSE(defaults.Contains(name)) << name;

    control_->Put(dispid::TextEnglish, "amma\r\nnAnna");
    control_->Call(dispid::ConvertNow);
    control_->Put(dispid::ForeColor, 0x00FF00);
    control_->Put(dispid::Enabled, true);
    control_->Put(dispid::BackStyle, 1);
    control_->Put(dispid::BorderStyle, 1);
    control_->Put(dispid::BackColor, 0x0000FF);
    control_->Put(dispid::TeluguBackColor, 0xFFFFFF);
    QFont stored("DejaVu Serif", 11);
    control_->Put(dispid::Font, stored);
    control_->Call(dispid::Convert2HTML);
    MemoryPropertyBag saved;
    control_->Save(saved);
    EXPECT_EQ(saved.Names().first(), "BackColor");
    const auto reread = MemoryPropertyBag::FromText(saved.ToText());
    ASSERT_TRUE(reread.has_value());

    Transliterate other;
    MemoryPropertyBag copy = *reread;
    ASSERT_EQ(other.Load(copy), kS_OK);
    for (int id : {dispid::TextEnglish, dispid::TextTelugu, dispid::TextHTML, dispid::ForeColor, dispid::Enabled,
                   dispid::BackStyle, dispid::BorderStyle, dispid::BackColor, dispid::TeluguBackColor, dispid::Font,
                   dispid::TeluguFont})
        EXPECT_EQ(other.Get(id), control_->Get(id)) << id;
    EXPECT_EQ(other.Get(dispid::TextTelugu).toString(), Converted("amma\r\nnAnna"));
}

TEST_F(ControlTest, HtmlPageEqualsTheEnginePage) {
    RichTextPane& t = control_->TeluguPane();
    t.SetText("abc\r\ndef\r\nxyz");
    t.SetSelStart(5);  // "def": a paragraph break is two characters
    t.SetSelLength(3);
    EXPECT_EQ(t.SelText(), "def");
    t.SetSelBold(true);
    t.SetSelColor(0x0000FF);
    t.SetSelAlignment(2);
    t.SetSelStart(10);
    t.SetSelLength(3);
    t.SetSelFontSize(40);
    t.SetSelFontName("Other");
    t.SetSelStart(0);
    control_->Put(dispid::TeluguBackColor, 0x00FF00);

    InMemoryFormattedText expected(0x00FF00);
    CharFormat plain;
    plain.face = "Vrayu";
    plain.pointSize = 16;
    CharFormat bold = plain;
    bold.bold = true;
    bold.color = 0x0000FF;
    bold.alignment = kAlignCenter;
    CharFormat centredBreak = plain;
    centredBreak.alignment = kAlignCenter;
    CharFormat big = plain;
    big.pointSize = 40;
    big.face = "Other";
    expected.Append("abc\r\n", plain);
    expected.Append("def\r\n", bold);
    expected.Append("xyz", big);
    const std::string enginePage = BuildHTMLPage(expected);

    control_->Call(dispid::Convert2HTML);
    const std::string page = control_->HtmlPane().Text().toLatin1().toStdString();
    PaneFormattedText paneText(t);
    EXPECT_EQ(BuildHTMLPage(paneText), enginePage);
    EXPECT_EQ(page, enginePage);
    EXPECT_NE(page.find("<strong>def<br>\n</p><p align=\"Left\"></font>"), std::string::npos) << page;
}

TEST_F(ControlTest, AboutBoxAndPropertyPage) {
    control_->OnHelpClicked();
    ASSERT_EQ(dialogs_.Questions().size(), 1u);
    EXPECT_EQ(dialogs_.Questions()[0].title, "About Vrayu");
    EXPECT_TRUE(dialogs_.Questions()[0].prompt.startsWith(
        "Vrayu is designed to assist in transliterating from English to Telugu.\r\n"
        "This software follows RIT standards for transliteration.\r\n"
        "It allows you to use Vrayu Fonts to write in Telugu."));

    control_->Put(dispid::TextEnglish, "amma");
    std::unique_ptr<QDialog> dialog(control_->CreatePropertyPage(nullptr));
    auto* page = qobject_cast<DataPage*>(dialog.get());
    ASSERT_NE(page, nullptr);
    auto* englishBox = page->findChild<QPlainTextEdit*>("txtTextEnglish");
    ASSERT_NE(englishBox, nullptr);
    EXPECT_EQ(englishBox->toPlainText(), "amma");
    EXPECT_FALSE(page->Changed());
    englishBox->setPlainText("nAnna\nakka");
    EXPECT_TRUE(page->Changed());
    Events events;
    control_->SetEventSink(&events);
    page->Apply();
    EXPECT_FALSE(page->Changed());
    EXPECT_EQ(control_->Get(dispid::TextEnglish).toString(), "nAnna\r\nakka");
    ASSERT_EQ(events.changes.size(), 3);
    EXPECT_EQ(events.changes[0].second, "TextHTML");
    EXPECT_EQ(events.changes[1].second, "TextTelugu");
    EXPECT_EQ(events.changes[2].second, "TextEnglish");
    control_->SetEventSink(nullptr);
}

// Text of a PDF file, through pdftotext.
QString PdfText(const QString& pdf) {
    QProcess p;
    p.start("pdftotext", {pdf, "-"});
    if (!p.waitForFinished(20000)) return "(pdftotext failed)";
    return QString::fromUtf8(p.readAllStandardOutput());
}

TEST_F(ControlTest, SelPrintPrintsTheSelectionOrEverything) {
    QTemporaryDir dir;
    control_->Put(dispid::TeluguFont, QFont("DejaVu Sans", 12));
    control_->Put(dispid::TextTelugu, "Hello\r\nWorld");
    control_->Put(dispid::SelStart, 7);
    control_->Put(dispid::SelLength, 5);
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(dir.filePath("selection.pdf"));
    QVariantList args{QVariant::fromValue(static_cast<void*>(&printer))};
    ASSERT_EQ(control_->Call(dispid::SelPrint, args), kS_OK);
    QString text = PdfText(dir.filePath("selection.pdf"));
    EXPECT_TRUE(text.contains("World")) << text.toStdString();
    EXPECT_FALSE(text.contains("Hello")) << text.toStdString();

    control_->Put(dispid::SelLength, 0);
    printer.setOutputFileName(dir.filePath("all.pdf"));
    QVariantList handle{static_cast<qulonglong>(reinterpret_cast<quintptr>(&printer))};
    ASSERT_EQ(control_->Call(dispid::SelPrint, handle), kS_OK);
    text = PdfText(dir.filePath("all.pdf"));
    EXPECT_TRUE(text.contains("Hello")) << text.toStdString();
    EXPECT_TRUE(text.contains("World")) << text.toStdString();
    QVariantList none{0};
    EXPECT_EQ(control_->Call(dispid::SelPrint, none), kDispE_Exception);
}

TEST_F(ControlTest, AddUrlAndSetUrlWithoutHttpDoNothingElse) {
    control_->AddURL("Amma - http://127.0.0.1:1/amma.htm");
    EXPECT_EQ(Child<QComboBox>("txtURL1")->itemText(0), "Amma - http://127.0.0.1:1/amma.htm");
    EXPECT_EQ(Child<QLineEdit>("txtURL")->text(), "Amma - http://127.0.0.1:1/amma.htm");
    const QString english = control_->EnglishPane().Text();
    control_->SetURL("ftp://example.org/x.txt");
    EXPECT_EQ(control_->EnglishPane().Text(), english);
    EXPECT_EQ(control_->View(), ViewMode::Both);
}

}  // namespace
