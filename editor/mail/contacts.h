// The address book: a text file of "Name <address>" lines (UTF-8; blank
// lines and lines starting with "#" are ignored). Name resolution looks a
// name up there; anything containing "@" is taken as an address itself.
#pragma once

#include <QString>
#include <optional>
#include <vector>

#include "mail_service.h"

namespace vrayu::mail {

struct Contact {
    QString name;
    QString address;
};

// $XDG_CONFIG_HOME/vrayu/contacts.txt (~/.config/vrayu/contacts.txt).
QString DefaultContactsFile();
std::vector<Contact> ReadContacts(const QString& path);
// Adds a line for `contact` (atomic replace); false when it cannot be written.
bool AddContact(const QString& path, const Contact& contact);
// "Name <address>" -> contact; a bare address gives itself as both.
std::optional<Contact> ParseContactLine(const QString& line);

// The contact whose name (without regard to case) or address is `name`; any
// text with "@" resolves to itself ("Name <a@b>" to its parts).
std::optional<Contact> Resolve(const std::vector<Contact>& contacts, const QString& name);

// The ";"-separated names of a To or Cc field as recipients of `type`,
// unresolved (name only) or resolved; names that do not resolve are listed
// in `unresolved` and left out.
std::vector<Recipient> ParseRecipients(const QString& field, int type, const std::vector<Contact>* contacts,
                                       QStringList* unresolved);

}  // namespace vrayu::mail
