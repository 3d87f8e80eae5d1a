#include "web_import.h"

#include <QByteArray>

#include "html_page.h"

namespace vrayu {

std::optional<QString> ImportAddress(const QString& entry) {
    // " - " has no letters: its place is the same in any case.
    const qsizetype dash = entry.indexOf(QLatin1String(" - "));
    if (dash >= 0) {
        const QString address = entry.mid(dash + 3);
        if (address.isEmpty()) return std::nullopt;
        return address;
    }
    if (entry.left(7).toLower() != QLatin1String("http://")) return std::nullopt;
    return entry;
}

QString RewriteLineFeeds(const QString& page) {
    QString out = page;
    out.replace(QLatin1Char('\n'), QLatin1String("\r\n"));
    return out;
}

QString EnglishFromPage(const QByteArray& page) {
    // The transfer returns the document as 8-bit text.
    std::string text = RewriteLineFeeds(QString::fromLatin1(page)).toLatin1().toStdString();
    const std::string english = HTML2English(text);
    return QString::fromLatin1(english.data(), static_cast<qsizetype>(english.size()));
}

}  // namespace vrayu
