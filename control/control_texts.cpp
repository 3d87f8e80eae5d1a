#include "control_texts.h"

#include <cstring>

#include "product_info.h"

namespace vrayu {
namespace {

const ChildText kChildren[] = {
    {"Frame1", "", ""},
    {"cmdConvert", "&Convert", "Click here to Convert the Text Now."},
    {"cboSize", "", "Click Here to Change the Font Size in Telugu Window"},
    {"cboFont", "", "Click Here to Change the Font in Telugu Window"},
    {"cmdHelp", "", "Click Here to Read About Vrayu"},
    {"optEnglish", "English", "Click Here to See English Window Only"},
    {"optTelugu", "Telugu", "Click Here to See Telugu Window Only"},
    {"optBoth", "Telugu && English", "Click Here to See Both Telugu and English Windows in the same frame."},
    {"optHTML", "HTML", "Click Here to see HTML Window"},
    {"txtURL", "", ""},
    {"txtURL1", "", "Type the URL of a RIT file that you would like to get and Read in Telugu."},
    {"cmdGO", "Get It", "Click Here to Get a RIT formatted file from a URL."},
    {"txtEnglish", "", ""},
    {"txtTelugu", "", ""},
    {"txtHTML", "", "HTML Window - Your Converted Telugu Text as A HTML file"},
};

constexpr char kCrLf[] = "\r\n";

}  // namespace

std::span<const ChildText> ChildTexts() { return kChildren; }

const ChildText& ChildTextOf(const char* name) {
    for (const ChildText& c : kChildren)
        if (std::strcmp(c.name, name) == 0) return c;
    static const ChildText kNone{"", "", ""};
    return kNone;
}

QString MissingFontMessage() {
    return QStringLiteral("You haven't installed Vrayu Fonts.") + kCrLf + QStringLiteral("Please down load from ") +
           kDownloadUrl + QStringLiteral(" and install.");
}

QString FaceMissingMessage(const QString& face) {
    return QStringLiteral("The font \"%1\" is not installed on this computer.").arg(face) + kCrLf +
           QStringLiteral(
               "The Telugu pane shows other characters until it is installed; \"Vrayu\" is always available.");
}

QString WelcomeText(int major, int minor, int revision) {
    const QString first = QStringLiteral("svAgatam") + QString(10, QLatin1Char(' ')) + QStringLiteral("vrayu ") +
                          QStringLiteral("%1.%2.%3").arg(major).arg(minor).arg(revision);
    return first + kCrLf + QStringLiteral("viy hOp yu vil laik dis prOgrAm.") + kCrLf +
           QStringLiteral("mee salahAlu ellappuDU svaagatam.") + kCrLf + kCrLf + QStringLiteral("- vrayu rUpakartalu");
}

QString InstructionsText() {
    return QStringLiteral(
        "#English# lO ikkaDa #Type# caesi, paina #Convert Button Click# caeste, idi meeku telugulO kanabaDutundi");
}

QString ColorPrompt() {
    static const char* const kLines[] = {
        "0. Black",     "1-Blue",           "2-Green",         "3-Cyan",          "4-Red",          "5-Magenta",
        "6-Yellow",     "7-White",          "8-Gray",          "9-Light Blue",    "10-Light Green", "11-Light Cyan",
        "12-Light Red", "13-Light Magenta", "14-Light Yellow", "15-Bright White",
    };
    QString prompt;
    for (const char* line : kLines) prompt += QLatin1String(line) + kCrLf;
    return prompt + QStringLiteral("Please give me a color code between 1 - 15");
}

QString AboutText() {
    return QStringLiteral("Vrayu is designed to assist in transliterating from English to Telugu.") + kCrLf +
           QStringLiteral("This software follows RIT standards for transliteration.") + kCrLf +
           QStringLiteral("It allows you to use Vrayu Fonts to write in Telugu.") + kCrLf + kCrLf +
           QStringLiteral("Comments and suggestions: ") + kMakerContact + kCrLf + QStringLiteral("Web: ") +
           QString::fromLatin1(kProductSiteUrl.data(), kProductSiteUrl.size());
}

QString PageTooLargeMessage(qint64 maxBytes) {
    const qint64 mib = maxBytes >> 20;
    const QString limit = mib > 0 && (maxBytes & 0xFFFFF) == 0 ? QStringLiteral("%1 MB").arg(mib)
                                                               : QStringLiteral("%1 bytes").arg(maxBytes);
    return QStringLiteral("The page is larger than %1 and was not imported.").arg(limit);
}

}  // namespace vrayu
