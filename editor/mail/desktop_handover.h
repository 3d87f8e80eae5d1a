// Handing mail things to the desktop: a data-file attachment opens with the
// program its extension names in the "Extensions" section of WIN.INI (the
// Windows-directory stand-in the script library uses), else with xdg-open;
// "send with the platform's dialogs" hands a note to the desktop's composer
// through xdg-email.
#pragma once

#include <QString>
#include <QStringList>

#include "mail_service.h"

namespace vrayu::mail {

// The WIN.INI "Extensions" entry for the file's extension ("NOTFOUND" when
// there is none): "txt=gedit ^.txt" gives "gedit ^.txt".
QString ExtensionEntry(const QString& fileName);

// Saves a fetched attachment into a private folder and opens it. Returns ""
// or the message to show (the texts of the mail client).
QString OpenAttachment(const Attachment& attachment);

// The xdg-email arguments for a note (addresses where known, else names).
QStringList ComposerArguments(const OutgoingMessage& message);
// Starts xdg-email; "" or the reason it could not be started.
QString HandToDesktopComposer(const OutgoingMessage& message);

}  // namespace vrayu::mail
