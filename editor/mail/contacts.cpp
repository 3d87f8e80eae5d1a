#include "contacts.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>
#include <QStandardPaths>
#include <QStringList>

namespace vrayu::mail {

QString DefaultContactsFile() {
    QString config = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (config.isEmpty()) config = QDir::homePath() + "/.config";
    return config + "/vrayu/contacts.txt";
}

std::optional<Contact> ParseContactLine(const QString& text) {
    const QString line = text.trimmed();
    if (line.isEmpty() || line.startsWith('#')) return std::nullopt;
    const qsizetype open = line.lastIndexOf('<');
    if (open >= 0 && line.endsWith('>')) {
        Contact c{line.left(open).trimmed(), line.mid(open + 1, line.size() - open - 2).trimmed()};
        if (c.name.size() >= 2 && c.name.startsWith('"') && c.name.endsWith('"'))
            c.name = c.name.mid(1, c.name.size() - 2);
        if (c.address.isEmpty()) return std::nullopt;
        if (c.name.isEmpty()) c.name = c.address;
        return c;
    }
    if (line.contains('@') && !line.contains(' ')) return Contact{line, line};
    return std::nullopt;
}

std::vector<Contact> ReadContacts(const QString& path) {
    std::vector<Contact> out;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return out;
    for (const QString& line : QString::fromUtf8(file.readAll()).split('\n'))
        if (auto c = ParseContactLine(line)) out.push_back(*c);
    return out;
}

bool AddContact(const QString& path, const Contact& contact) {
    QByteArray old;
    if (QFile in(path); in.open(QIODevice::ReadOnly)) old = in.readAll();
    if (!old.isEmpty() && !old.endsWith('\n')) old += '\n';
    QDir().mkpath(QFileInfo(path).absolutePath());
    QSaveFile out(path);
    if (!out.open(QIODevice::WriteOnly)) return false;
    out.write(old + (contact.name + " <" + contact.address + ">\n").toUtf8());
    return out.commit();
}

std::optional<Contact> Resolve(const std::vector<Contact>& contacts, const QString& name) {
    const QString wanted = name.trimmed();
    if (wanted.isEmpty()) return std::nullopt;
    for (const auto& c : contacts)
        if (c.name.compare(wanted, Qt::CaseInsensitive) == 0 || c.address.compare(wanted, Qt::CaseInsensitive) == 0)
            return c;
    if (wanted.contains('@')) return ParseContactLine(wanted);
    return std::nullopt;
}

std::vector<Recipient> ParseRecipients(const QString& field, int type, const std::vector<Contact>* contacts,
                                       QStringList* unresolved) {
    std::vector<Recipient> out;
    for (const QString& part : field.split(';')) {
        const QString name = part.trimmed();
        if (name.isEmpty()) continue;
        if (!contacts) {
            out.push_back({type, name, {}});
            continue;
        }
        if (const auto c = Resolve(*contacts, name)) out.push_back({type, c->name, c->address});
        else if (unresolved) *unresolved << name;
    }
    return out;
}

}  // namespace vrayu::mail
