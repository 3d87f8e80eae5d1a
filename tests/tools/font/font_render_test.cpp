// Rendering check of glyfa.ttf: each word of words.tsv, converted by
// vrayu-convert and drawn in "Vrayu" as ISO-8859-1 text, must look like the
// same word in Unicode drawn in Noto Sans Telugu at the same size.
//
// Set VRAYU_FONT_SHEET=file.png to also write a contact sheet of all words
// (Vrayu rendering, then the overlay: Noto-only ink red, Vrayu-only ink blue),
// and VRAYU_FONT_SCORES=prefix for every similarity, lowest first.
#include <gtest/gtest.h>

#include <QFile>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QGlyphRun>
#include <QGuiApplication>
#include <QPainter>
#include <QProcess>
#include <QStringList>
#include <QTextLayout>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "ink_compare.h"

namespace {

using vrayu::fonttest::CompareInk;

// Lowest similarity a word may have, set from the rendered words: every word
// that reads as Noto's scores 0.957 or more. Drawn without the font's GSUB
// (p, ph, s, sh with o read as v with o; subjoined forms under the vowel sign)
// 26 words score 0.829 to 0.942; without its GPOS, 197 fall below 0.95.
constexpr double kMinSimilarity = 0.95;
constexpr int kPixelSize = 48;

struct Word {
    QString roman;
    QString unicode;
    QString glyphCodes;  // vrayu-convert output read as ISO-8859-1
};

std::vector<Word> ReadWords() {
    QFile f(QStringLiteral(WORDS_TSV));
    EXPECT_TRUE(f.open(QIODevice::ReadOnly)) << WORDS_TSV;
    std::vector<Word> words;
    for (const QByteArray& line : f.readAll().split('\n')) {
        if (line.isEmpty() || line.startsWith('#')) continue;
        const QList<QByteArray> cols = line.split('\t');
        EXPECT_EQ(cols.size(), 2) << line.constData();
        if (cols.size() == 2) words.push_back({QString::fromLatin1(cols[0]), QString::fromUtf8(cols[1]), {}});
    }
    return words;
}

// Runs vrayu-convert once over all words, one word per line, and returns its
// output lines.
QList<QByteArray> RunConverter(const std::vector<Word>& words, const QStringList& args) {
    QByteArray input;
    for (const Word& w : words) input += w.roman.toLatin1() + '\n';
    QProcess p;
    p.start(QStringLiteral(VRAYU_CONVERT), args);
    EXPECT_TRUE(p.waitForStarted());
    p.write(input);
    p.closeWriteChannel();
    EXPECT_TRUE(p.waitForFinished());
    EXPECT_EQ(p.exitCode(), 0);
    QList<QByteArray> lines = p.readAllStandardOutput().split('\n');
    EXPECT_GE(lines.size(), qsizetype(words.size()));
    lines.resize(words.size());
    return lines;
}

// Fills in each word's glyph codes, after checking that the Unicode it is
// compared with is what the engine itself reads the romanization as.
void Convert(std::vector<Word>& words) {
    const QList<QByteArray> unicode = RunConverter(words, {QStringLiteral("--unicode")});
    const QList<QByteArray> codes = RunConverter(words, {});
    for (std::size_t i = 0; i < words.size(); ++i) {
        EXPECT_EQ(QString::fromUtf8(unicode[i]), words[i].unicode) << qPrintable(words[i].roman);
        words[i].glyphCodes = QString::fromLatin1(codes[i]);
    }
}

QFont FontOf(const QString& family) {
    QFont f(family);
    f.setPixelSize(kPixelSize);
    f.setStyleStrategy(QFont::NoFontMerging);  // a missing glyph must not come from elsewhere
    f.setHintingPreference(QFont::PreferNoHinting);
    return f;
}

QImage Render(const QString& text, const QFont& font, QSize size) {
    QImage img(size, QImage::Format_Grayscale8);
    img.fill(255);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    p.setFont(font);
    p.setPen(Qt::black);
    p.drawText(QPointF(12, kPixelSize * 1.3), text);
    return img;
}

QString LoadFamily(const QString& path) {
    const int id = QFontDatabase::addApplicationFont(path);
    if (id < 0) return {};
    const QStringList families = QFontDatabase::applicationFontFamilies(id);
    return families.isEmpty() ? QString() : families.first();
}

struct Scored {
    const Word* word;
    double similarity;
    QImage vrayu, overlay;
};

void WriteSheet(const std::vector<Scored>& scored, const QString& vrayuFamily, const QString& path) {
    constexpr int kColumns = 4, kCellW = 330, kCellH = 76;
    const int rows = int(scored.size() + kColumns - 1) / kColumns;
    QImage sheet(kColumns * kCellW, rows * kCellH + 30, QImage::Format_RGB32);
    sheet.fill(Qt::white);
    QPainter p(&sheet);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    QFont label(vrayuFamily);  // the font's own Latin letters
    label.setPixelSize(11);
    p.setFont(label);
    p.setPen(Qt::black);
    p.drawText(8, 18,
               QStringLiteral("Vrayu (glyfa.ttf): each word as rendered, then overlaid on Noto Sans "
                              "Telugu (red: Noto only, blue: Vrayu only, black: both)"));
    for (std::size_t i = 0; i < scored.size(); ++i) {
        const int x = int(i % kColumns) * kCellW, y = 30 + int(i / kColumns) * kCellH;
        const QRect half(0, 0, kCellW / 2 - 4, kCellH - 14);
        p.drawImage(half.translated(x, y + 12),
                    scored[i].vrayu.scaled(half.size(), Qt::KeepAspectRatio, Qt::SmoothTransformation));
        p.drawImage(half.translated(x + kCellW / 2, y + 12),
                    scored[i].overlay.scaled(half.size(), Qt::KeepAspectRatio, Qt::SmoothTransformation));
        p.drawText(x + 4, y + 11,
                   QStringLiteral("%1  %2").arg(scored[i].word->roman).arg(scored[i].similarity, 0, 'f', 3));
    }
    p.end();
    // Sixteen greys for the antialiased renderings and the overlay's colours
    // keep the sheet small.
    QList<QRgb> palette{qRgb(220, 40, 40), qRgb(40, 90, 230)};
    for (int g = 0; g < 16; ++g) palette.push_back(qRgb(g * 17, g * 17, g * 17));
    sheet.convertToFormat(QImage::Format_Indexed8, palette, Qt::ThresholdDither).save(path);
}

// Renders every word in both fonts and scores it; prints the lowest scores.
// VRAYU_FONT_SCORES=prefix writes every score, lowest first, to prefix-NAME.txt.
std::vector<Scored> ScoreAll(std::vector<Word>& words, const char* name) {
    const QString vrayu = LoadFamily(QStringLiteral(GLYFA_PATH));
    EXPECT_EQ(vrayu, QStringLiteral("Vrayu")) << GLYFA_PATH;
    const QString noto = LoadFamily(QStringLiteral(NOTO_TELUGU_PATH));
    EXPECT_FALSE(noto.isEmpty()) << NOTO_TELUGU_PATH;
    Convert(words);

    const QFont vrayuFont = FontOf(vrayu), notoFont = FontOf(noto);
    std::vector<Scored> scored;
    for (const Word& w : words) {
        const int width = 40 + std::max(QFontMetrics(vrayuFont).horizontalAdvance(w.glyphCodes),
                                        QFontMetrics(notoFont).horizontalAdvance(w.unicode));
        const QSize size(width, kPixelSize * 2);
        const QImage ref = Render(w.unicode, notoFont, size);
        const QImage cand = Render(w.glyphCodes, vrayuFont, size);
        auto cmp = CompareInk(ref, cand);
        scored.push_back({&w, cmp.similarity, cand, cmp.overlay});
    }

    std::vector<const Scored*> order;
    for (const Scored& s : scored) order.push_back(&s);
    std::sort(order.begin(), order.end(), [](auto* a, auto* b) { return a->similarity < b->similarity; });
    std::printf("lowest similarities of the %s:", name);
    for (std::size_t i = 0; i < std::min<std::size_t>(order.size(), 12); ++i)
        std::printf(" %s %.3f", qPrintable(order[i]->word->roman), order[i]->similarity);
    std::printf("\n");
    if (const char* prefix = std::getenv("VRAYU_FONT_SCORES")) {
        QFile f(QStringLiteral("%1-%2.txt").arg(QString::fromLocal8Bit(prefix), QLatin1String(name)));
        if (f.open(QIODevice::WriteOnly)) {
            for (const Scored* s : order)
                f.write(QStringLiteral("%1\t%2\t%3\n")
                            .arg(s->similarity, 0, 'f', 3)
                            .arg(s->word->roman, s->word->unicode)
                            .toUtf8());
        }
    }
    return scored;
}

TEST(FontRender, WordsReadAsNotoSansTeluguDrawsThem) {
    std::vector<Word> words = ReadWords();
    ASSERT_GE(words.size(), 200u);
    const std::vector<Scored> scored = ScoreAll(words, "words");
    for (const Scored& s : scored)
        EXPECT_GE(s.similarity, kMinSimilarity) << qPrintable(s.word->roman) << " = " << qPrintable(s.word->unicode);
    if (const char* sheet = std::getenv("VRAYU_FONT_SHEET"))
        WriteSheet(scored, QStringLiteral("Vrayu"), QString::fromLocal8Bit(sheet));
}

// Every consonant with every vowel sign, and clusters of ten heads with
// twenty-one subjoined consonants under five vowels: what the words above
// might miss.
struct Letter {
    const char* roman;
    const char* unicode;
};
constexpr Letter kConsonants[] = {
    {"k", "క"},  {"kh", "ఖ"}, {"g", "గ"},  {"gh", "ఘ"}, {"c", "చ"}, {"C", "ఛ"},  {"j", "జ"}, {"jh", "ఝ"}, {"T", "ట"},
    {"Th", "ఠ"}, {"D", "డ"},  {"Dh", "ఢ"}, {"N", "ణ"},  {"t", "త"}, {"th", "థ"}, {"d", "ద"}, {"dh", "ధ"}, {"n", "న"},
    {"p", "ప"},  {"ph", "ఫ"}, {"b", "బ"},  {"bh", "భ"}, {"m", "మ"}, {"y", "య"},  {"r", "ర"}, {"l", "ల"},  {"v", "వ"},
    {"S", "శ"},  {"sh", "ష"}, {"s", "స"},  {"h", "హ"},  {"L", "ళ"}, {"x", "క్ష"}, {"~r", "ఱ"}};
constexpr Letter kVowelSigns[] = {{"a", ""}, {"A", "ా"}, {"i", "ి"},  {"I", "ీ"}, {"u", "ు"}, {"U", "ూ"}, {"R", "ృ"},
                                  {"e", "ె"}, {"E", "ే"}, {"ai", "ై"}, {"o", "ొ"}, {"O", "ో"},  {"au", "ౌ"}};
// "&" keeps a nasal head a cluster member instead of the anusvara.
constexpr Letter kClusterHeads[] = {{"k", "క"}, {"s", "స"},  {"t", "త"},  {"p", "ప"}, {"d", "ద"},
                                    {"g", "గ"}, {"sh", "ష"}, {"m&", "మ"}, {"l", "ల"}, {"T", "ట"}};
constexpr Letter kSubjoined[] = {{"k", "క"},  {"g", "గ"}, {"c", "చ"},  {"T", "ట"}, {"D", "డ"},  {"N", "ణ"}, {"t", "త"},
                                 {"th", "థ"}, {"d", "ద"}, {"dh", "ధ"}, {"n", "న"}, {"p", "ప"},  {"b", "బ"}, {"m", "మ"},
                                 {"y", "య"},  {"r", "ర"}, {"l", "ల"},  {"v", "వ"}, {"sh", "ష"}, {"s", "స"}, {"L", "ళ"}};
constexpr Letter kClusterVowels[] = {{"a", ""}, {"u", "ు"}, {"A", "ా"}, {"o", "ొ"}, {"i", "ి"}};

// Lowest similarity a syllable may have: a syllable has little ink, so one
// piece weighs more. The i-sign on j, n, c, ch and v, which reads right but
// only roughly follows Noto's joined forms, scores 0.926; without the font's
// GSUB 390 syllables fall below 0.92, without its GPOS 576.
constexpr double kMinSyllableSimilarity = 0.92;

TEST(FontRender, EverySyllableReadsAsNotoSansTeluguDrawsIt) {
    std::vector<Word> syllables;
    auto add = [&](const std::string& roman, const std::string& unicode) {
        syllables.push_back({QString::fromStdString(roman), QString::fromUtf8(unicode.c_str()), {}});
    };
    for (const Letter& c : kConsonants)
        for (const Letter& v : kVowelSigns) add(std::string(c.roman) + v.roman, std::string(c.unicode) + v.unicode);
    for (const Letter& h : kClusterHeads)
        for (const Letter& s : kSubjoined)
            for (const Letter& v : kClusterVowels)
                add(std::string(h.roman) + s.roman + v.roman, std::string(h.unicode) + "్" + s.unicode + v.unicode);
    const std::vector<Scored> scored = ScoreAll(syllables, "syllables");
    for (const Scored& s : scored) {
        EXPECT_GE(s.similarity, kMinSyllableSimilarity)
            << qPrintable(s.word->roman) << " = " << qPrintable(s.word->unicode);
    }
}

// Qt shapes glyph-code text with the font's own lookups: a syllable the font
// draws as one ligature comes out as one glyph, the separator 160 included.
TEST(FontRender, QtAppliesTheLigaturesToGlyphCodeText) {
    ASSERT_EQ(LoadFamily(QStringLiteral(GLYFA_PATH)), QStringLiteral("Vrayu"));
    const QFont font = FontOf(QStringLiteral("Vrayu"));
    const char* const syllables[] = {"\xb1\xcc",          // p with o
                                     "\xa5\xc1\xa0\xc2",  // mA
                                     "\xa6\xa0\xc2",      // yI
                                     "\xf6\xc1",          // hA
                                     "\xa1\xcb"};         // pai
    for (const char* codes : syllables) {
        QTextLayout layout(QString::fromLatin1(codes), font);
        layout.beginLayout();
        layout.createLine();
        layout.endLayout();
        const QList<QGlyphRun> runs = layout.glyphRuns();
        ASSERT_EQ(runs.size(), 1) << codes;
        EXPECT_EQ(runs[0].glyphIndexes().size(), 1) << QByteArray(codes).toHex().constData();
    }
}

// Shaped words, with their marks and subjoined forms placed, stay inside the
// line the font's metrics give, so no line cuts off a below-base form.
TEST(FontRender, ShapedWordsStayWithinTheLineMetrics) {
    ASSERT_EQ(LoadFamily(QStringLiteral(GLYFA_PATH)), QStringLiteral("Vrayu"));
    std::vector<Word> words = ReadWords();
    Convert(words);
    const QFont font = FontOf(QStringLiteral("Vrayu"));
    const QFontMetricsF metrics(font);
    double lowest = 0;
    for (const Word& w : words) {
        QTextLayout layout(w.glyphCodes, font);
        layout.beginLayout();
        QTextLine line = layout.createLine();
        layout.endLayout();
        ASSERT_TRUE(line.isValid());
        // No code breaks the line (U+0085, the independent U, is a line break
        // character in Unicode).
        EXPECT_EQ(line.textLength(), w.glyphCodes.size()) << qPrintable(w.roman);
        for (const QGlyphRun& run : line.glyphRuns()) {
            const QRectF ink = run.boundingRect();  // baseline at line.ascent()
            const double below = ink.bottom() - line.ascent(), above = line.ascent() - ink.top();
            lowest = std::max(lowest, below);
            EXPECT_LE(below, metrics.descent()) << qPrintable(w.roman);
            EXPECT_LE(above, metrics.ascent()) << qPrintable(w.roman);
        }
    }
    EXPECT_GT(lowest, metrics.descent() * 0.5);  // the words do reach down
}

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
