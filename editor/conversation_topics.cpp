#include "conversation_topics.h"

#include <QDir>
#include <QMdiSubWindow>
#include <QTimer>

#include "commands.h"
#include "document_files.h"
#include "document_window.h"
#include "main_frame.h"
#include "names.h"
#include "unicode_text.h"

namespace vrayu {
namespace {

using conversation::Command;
using conversation::FoldName;

bool Is(std::string_view name, const char* folded) { return FoldName(name) == folded; }

// Script paths are taken only whole: a relative one would depend on the
// folder the editor was started in.
std::optional<QString> AbsolutePath(const Command& c) {
    if (!c.has_argument) return std::nullopt;
    const QString path = QString::fromLocal8Bit(c.argument);
    if (!QDir::isAbsolutePath(path)) return std::nullopt;
    return QDir::cleanPath(path);
}

std::string Bytes(const QByteArray& b) { return std::string(b.constData(), static_cast<std::size_t>(b.size())); }

// Runs every command of an execute string in order; false at the first one
// refused (the ones before it have run).
template <class F>
bool RunCommands(std::string_view text, F&& run) {
    const auto commands = conversation::ParseCommands(text);
    if (!commands) return false;
    for (const Command& c : *commands)
        if (!run(c)) return false;
    return true;
}

}  // namespace

bool SystemTopic::Execute(std::string_view command) {
    return RunCommands(command, [&](const Command& c) {
        if (Is(c.name, "new") && !c.has_argument) return frame_.LoadNewDoc() != nullptr;
        if (Is(c.name, "open")) {
            const std::optional<QString> path = AbsolutePath(c);
            // A file that cannot be read opens no window.
            if (!path || !ReadWholeFile(*path)) return false;
            DocumentWindow* window = frame_.LoadNewDoc();
            if (!window) return false;
            window->OpenPath(*path);
            return true;
        }
        if (Is(c.name, "exit") && !c.has_argument) {
            QTimer::singleShot(0, &frame_, [frame = &frame_] { frame->close(); });
            return true;
        }
        return false;
    });
}

std::optional<std::string> SystemTopic::Request(std::string_view item) {
    if (Is(item, "sysitems")) return std::string("SysItems\tTopics");
    if (!Is(item, "topics")) return std::nullopt;
    QStringList names = topics_();
    names.prepend("System");
    return Bytes(names.join('\t').toLatin1());
}

bool DocumentTopic::Execute(std::string_view command) {
    if (!window_ || !window_->Control()) return false;
    return RunCommands(command, [&](const Command& c) {
        DocumentWindow& w = *window_;
        if (Is(c.name, "save") && !c.has_argument) return !w.FileName().isEmpty() && w.SaveTo(w.FileName());
        if (Is(c.name, "close") && !c.has_argument) {
            // Closed before the answer, so the next message no longer finds
            // the topic; the window itself is deleted later.
            QWidget* sub = w.parentWidget() ? w.parentWidget() : &w;
            return sub->close();
        }
        const std::optional<QString> path = AbsolutePath(c);
        if (!path) return false;
        if (Is(c.name, "saveas")) return w.SaveTo(*path);
        if (Is(c.name, "exporttelugu")) return w.ExportTeluguTo(*path);
        if (Is(c.name, "exporthtml")) return w.ExportHTMLTo(*path);
        return false;
    });
}

std::optional<std::string> DocumentTopic::Request(std::string_view item) {
    Tel1* tel1 = window_ ? window_->Control() : nullptr;
    if (!tel1) return std::nullopt;
    if (Is(item, "texttelugu")) return Bytes(tel1->TextTelugu().toLatin1());
    if (Is(item, "textenglish")) return Bytes(tel1->TextEnglish().toLatin1());
    // Unicode Telugu does not fit 8-bit text: it crosses as UTF-8 bytes.
    if (Is(item, "textunicode")) return Bytes(UnicodeFromGlyphText(tel1->TextTelugu()).toUtf8());
    if (Is(item, "texthtml")) {
        tel1->Convert2HTML();
        return Bytes(HtmlExportBytes(tel1->TextHTML()));
    }
    return std::nullopt;
}

bool DocumentTopic::Poke(std::string_view item, std::string_view data) {
    Tel1* tel1 = window_ ? window_->Control() : nullptr;
    if (!tel1 || !Is(item, "textenglish")) return false;
    // As typed: the romanized text replaces the English pane, is converted
    // at once and leaves the document changed.
    tel1->SetTextEnglish(QString::fromLatin1(data.data(), static_cast<qsizetype>(data.size())));
    tel1->ConvertNow();
    tel1->SetEnglishChanged(true);
    return true;
}

}  // namespace vrayu
