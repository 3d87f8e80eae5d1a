#include "telugu_pane_update.h"

#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>
#include <cstring>

#include "rich_text_pane.h"

namespace vrayu {
namespace {

constexpr char16_t kParagraphSeparator = 0x2029;
constexpr char16_t kLineSeparator = 0x2028;

// Characters of the document that `text` [0, end) stands for: each "\r\n"
// is one paragraph break there.
int DocumentLength(std::string_view text, std::size_t end) {
    std::size_t pairs = 0;
    const char* p = text.data();
    const char* stop = p + end;
    while ((p = static_cast<const char*>(std::memchr(p, '\r', static_cast<std::size_t>(stop - p))))) {
        if (p + 1 < stop && p[1] == '\n') ++pairs;
        if (++p >= stop) break;
    }
    return static_cast<int>(end - pairs);
}

}  // namespace

std::string PaneLatin1(const RichTextPane& pane) {
    const QString raw = pane.Edit()->document()->toRawText();
    // Qt's own conversion first (characters above U+00FF become "?"), then
    // the paragraph and line separators, which it also made "?".
    const QByteArray latin1 = raw.toLatin1();
    std::string out;
    out.reserve(static_cast<std::size_t>(latin1.size()) + static_cast<std::size_t>(latin1.size()) / 32);
    const char16_t* u = reinterpret_cast<const char16_t*>(raw.utf16());
    qsizetype from = 0;
    for (qsizetype q = latin1.indexOf('?'); q >= 0; q = latin1.indexOf('?', q + 1)) {
        if (u[q] != kParagraphSeparator && u[q] != kLineSeparator) continue;
        out.append(latin1.constData() + from, static_cast<std::size_t>(q - from));
        out += u[q] == kParagraphSeparator ? "\r\n" : "\n";
        from = q + 1;
    }
    out.append(latin1.constData() + from, static_cast<std::size_t>(latin1.size() - from));
    return out;
}

namespace {

// Length of the common start of `a` and `b`, compared a block at a time.
std::size_t CommonPrefix(std::string_view a, std::string_view b) {
    const std::size_t most = std::min(a.size(), b.size());
    std::size_t n = 0;
    constexpr std::size_t kBlock = 256;
    while (n + kBlock <= most && std::memcmp(a.data() + n, b.data() + n, kBlock) == 0) n += kBlock;
    while (n < most && a[n] == b[n]) ++n;
    return n;
}

// Length of the common end of `a` and `b`, within their last `most` bytes.
std::size_t CommonSuffix(std::string_view a, std::string_view b, std::size_t most) {
    std::size_t n = 0;
    constexpr std::size_t kBlock = 256;
    while (n + kBlock <= most &&
           std::memcmp(a.data() + a.size() - n - kBlock, b.data() + b.size() - n - kBlock, kBlock) == 0)
        n += kBlock;
    while (n < most && a[a.size() - 1 - n] == b[b.size() - 1 - n]) ++n;
    return n;
}

}  // namespace

TeluguPaneUpdate::TeluguPaneUpdate(RichTextPane& telugu) : QObject(telugu.Edit()), telugu_(telugu) {
    // Any change made by someone else (text or format): the next update
    // compares with the pane itself.
    connect(telugu.Edit()->document(), &QTextDocument::contentsChange, this, [this] {
        if (!writing_) known_ = false;
    });
}

std::size_t TeluguPaneUpdate::Update(std::string_view english, const GlyphTables& tables, const std::string& face) {
    if (!converter_ || face != face_ || std::memcmp(&tables, &tables_, sizeof tables) != 0) {
        tables_ = tables;
        face_ = face;
        converter_ = std::make_unique<GlyphConverter>(tables_, face_);
    }
    std::string telugu;
    telugu.reserve(english.size() + english.size() / 2);
    converter_->AppendEnglishPane(english, telugu);
    Replace(telugu);
    shown_ = std::move(telugu);
    return shown_.size();
}

void TeluguPaneUpdate::Replace(const std::string& telugu) {
    writing_ = true;
    if (!known_) {
        telugu_.UpdateText(QString::fromLatin1(telugu.data(), static_cast<qsizetype>(telugu.size())));
        known_ = true;
        writing_ = false;
        return;
    }
    const std::string& now = shown_;
    if (now == telugu) {
        writing_ = false;
        return;
    }
    // The differing stretch, never cutting a "\r\n" (one character there).
    std::size_t prefix = CommonPrefix(now, telugu);
    if (prefix > 0 && now[prefix - 1] == '\r') --prefix;
    std::size_t suffix = CommonSuffix(now, telugu, std::min(now.size(), telugu.size()) - prefix);
    if (suffix > 0 && now[now.size() - suffix] == '\n') --suffix;

    QTextDocument* doc = telugu_.Edit()->document();
    const int from = DocumentLength(now, prefix);
    const int to = DocumentLength(now, now.size() - suffix);
    QTextCursor c(doc);
    c.setPosition(from);
    c.setPosition(to, QTextCursor::KeepAnchor);
    const std::string_view middle = std::string_view(telugu).substr(prefix, telugu.size() - prefix - suffix);
    const QString text = ToDocumentBreaks(QString::fromLatin1(middle.data(), static_cast<qsizetype>(middle.size())));
    if (from == 0 && c.hasSelection()) {
        // The new text starts the pane: it takes the format of the old start.
        QTextCursor first(doc);
        first.setPosition(1);
        c.insertText(text, first.charFormat());
    } else {
        c.insertText(text);
    }
    // Qt repaints only the changed blocks, but the font's marks reach above
    // and below a line: glyphs of the old text left in a neighbour's strip
    // would stay on screen. Repainting the visible part costs no layout.
    telugu_.Edit()->viewport()->update();
    writing_ = false;
}

}  // namespace vrayu
