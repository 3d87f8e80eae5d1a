// Conversion that replaces only the changed stretch of the Telugu pane: after
// any sequence of edits, host writes and font changes, the pane reads exactly
// as a pane given the whole conversion, and text far from an edit keeps its
// format.
#include "telugu_pane_update.h"

#include <QTextEdit>
#include <gtest/gtest.h>

#include <random>

#include "convert.h"
#include "scripted_dialogs.h"
#include "transliterate.h"

namespace vrayu {
namespace {

// What the Telugu pane reads as when the whole conversion is put into it.
QString WholeConversion(const QString& english, const char* font, const std::string& face) {
    GlyphTables tables;
    std::string listFace;
    SelectGlyphTables(font, tables, listFace);
    const std::string text = ConvertEnglishPane(english.toLatin1().toStdString(), 0, tables, face).text;
    QTextEdit edit;
    RichTextPane pane(&edit);
    pane.SetText(QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size())));
    return pane.Text();
}

TEST(TeluguPaneUpdate, PaneEqualsTheWholeConversionAfterAnyEdits) {
    ScriptedDialogs dialogs;
    SetDialogs(&dialogs);
    Transliterate control;
    RichTextPane& english = control.EnglishPane();
    std::mt19937 rng(3);
    auto below = [&](int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng); };
    const char* pieces[] = {"svAgatam ", "a", "#", "##", "\r\n", "\n", "\r", "nna", "m'", " ", "kSh", "#OK# ", "mA"};
    const char* font = "Vrayu";
    english.SetText("amma nAnna\r\nikkaDa #English# lO\r\n");
    for (int step = 0; step < 600; ++step) {
        // An edit at a random place: insert a piece or delete a few characters.
        english.SetSelStart(below(english.TextLength() + 1));
        if (below(3)) {
            english.SetSelText(QString::fromLatin1(pieces[below(std::size(pieces))]));
        } else {
            english.SetSelLength(1 + below(4));
            english.SetSelText(QString());
        }
        const int other = below(40);
        if (other == 0) control.Put(dispid::TextTelugu, "host text");  // the pane changed by someone else
        if (other == 1) {
            control.TeluguPane().SetSelStart(below(control.TeluguPane().TextLength() + 1));
            control.Put(dispid::SelText, "x");
        }
        if (other == 2) {
            font = below(2) ? "abTelugu" : "Vrayu";
            control.OnFontChosen(font);  // new tables and face: converts
        }
        control.ConvertNow();
        ASSERT_EQ(control.TeluguPane().Text(), WholeConversion(english.Text(), font, control.FaceName()))
            << "step " << step << " English \"" << english.Text().toStdString() << '"';
    }
    SetDialogs(nullptr);
}

TEST(TeluguPaneUpdate, FormatFarFromTheEditStays) {
    ScriptedDialogs dialogs;
    SetDialogs(&dialogs);
    Transliterate control;
    control.EnglishPane().SetText("amma\r\nnAnna\r\nikkaDa");
    control.ConvertNow();
    RichTextPane& telugu = control.TeluguPane();
    telugu.SetSelStart(0);
    telugu.SetSelLength(2);
    telugu.SetSelBold(true);
    control.EnglishPane().SetSelStart(control.EnglishPane().TextLength());
    control.EnglishPane().SetSelText("lO");
    control.ConvertNow();
    telugu.SetSelStart(0);
    telugu.SetSelLength(2);
    EXPECT_EQ(telugu.SelBold(), QVariant(true));
    EXPECT_EQ(telugu.Text(), WholeConversion(control.EnglishPane().Text(), "Vrayu", "Vrayu"));
    SetDialogs(nullptr);
}

TEST(TeluguPaneUpdate, PaneLatin1ReadsAsTheRichTextBoxText) {
    QTextEdit edit;
    RichTextPane pane(&edit);
    const QString text = QString::fromUtf8("a?b\r\nc\nd\xE2\x80\xA6\r\n\xC3\xA9");  // "?", breaks, U+2026, U+00E9
    pane.SetText(text);
    EXPECT_EQ(PaneLatin1(pane), pane.Text().toLatin1().toStdString());
    EXPECT_EQ(PaneLatin1(pane), std::string("a?b\r\nc\nd?\r\n\xE9"));
}

}  // namespace
}  // namespace vrayu
