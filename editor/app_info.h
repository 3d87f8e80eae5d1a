// Facts about the editor that its windows print or send: title, version,
// addresses and the lines of the about message.
#pragma once

#include <QString>
#include <QStringList>

namespace vrayu {

// The application's title: the settings store is kept under it.
inline constexpr char kAppTitle[] = "VrayuEditor";
// Title of the about message and prefix of a saved document's window title.
inline constexpr char kEditorCaption[] = "Vrayu Editor";

struct ProgramVersion {
    int major = 0;
    int minor = 0;
    int revision = 0;
};

// The version the program was built as.
ProgramVersion CurrentVersion();
// "4.0.2".
QString VersionText(const ProgramVersion& v);

// The product's web site (the base of the update check).
QString ProductSiteAddress();

// The about message: "Version " + version, then the product lines, then the
// maker's contact details and web address, lines joined by CR LF.
QString AboutText(const ProgramVersion& v);

// The welcome text the document window converts at start: greeting with the
// product name and version, two sentences, an empty line and the signature.
QString WelcomeText(const ProgramVersion& v);
// The romanized instructions the English pane shows after the welcome.
inline constexpr char kInstructionText[] =
    "#English# lO ikkaDa #Type# caesi, paina #Convert Button Click# caeste, idi meeku telugulO "
    "kanabaDutundi";

}  // namespace vrayu
