#include "app_info.h"

#include "product_info.h"

namespace vrayu {

ProgramVersion CurrentVersion() { return {VRAYU_VERSION_MAJOR, VRAYU_VERSION_MINOR, VRAYU_VERSION_PATCH}; }

QString VersionText(const ProgramVersion& v) {
    return QStringLiteral("%1.%2.%3").arg(v.major).arg(v.minor).arg(v.revision);
}

QString ProductSiteAddress() {
    return QString::fromLatin1(kProductSiteUrl.data(), static_cast<qsizetype>(kProductSiteUrl.size()));
}

QString AboutText(const ProgramVersion& v) {
    const QStringList lines = {
        "Version " + VersionText(v),
        "Vrayu is designed to assist in transliterating from English to Telugu.",
        "This software follows RIT standards for transliteration.",
        "It allows you to use Vrayu Fonts to write in Telugu.",
        "",
        "The Vrayu developers",
        "Web: " + ProductSiteAddress(),
    };
    return lines.join("\r\n");
}

QString WelcomeText(const ProgramVersion& v) {
    const QStringList lines = {
        "svAgatam" + QString(10, QLatin1Char(' ')) + "vrayu " + VersionText(v),
        "viy hOp yu vil laik dis prOgrAm.",
        "mee salahAlu ellappuDU svaagatam.",
        "",
        "#-- The Vrayu developers#",
    };
    return lines.join("\r\n");
}

}  // namespace vrayu
