// Saved state of a control: named values read with a default and written
// with a default; a value equal to its default is not stored.
#pragma once

#include <QString>
#include <QStringList>
#include <QVariant>
#include <optional>
#include <utility>
#include <vector>

namespace vrayu {

class PropertyBag {
public:
    virtual ~PropertyBag() = default;
    // The stored value of `name`, or `defaultValue` when none is stored.
    virtual QVariant ReadProperty(const QString& name, const QVariant& defaultValue) = 0;
    // Stores `value` under `name`; when it equals `defaultValue` nothing is
    // stored (and an older stored value is removed).
    virtual void WriteProperty(const QString& name, const QVariant& value, const QVariant& defaultValue) = 0;
};

// Whether two saved values are the same: Null only equals Null; numbers and
// Booleans compare by value (False equals 0); strings and fonts by content.
bool SamePropertyValue(const QVariant& a, const QVariant& b);

// A bag in memory, with a text form for files. The text form has one line per
// value, "Name=type:value", in the order the values were written; types are
// null, bool, int, double, string (with \\, \r, \n, \t and \xhh escapes) and
// font (QFont::toString()).
class MemoryPropertyBag : public PropertyBag {
public:
    QVariant ReadProperty(const QString& name, const QVariant& defaultValue) override;
    void WriteProperty(const QString& name, const QVariant& value, const QVariant& defaultValue) override;

    bool Contains(const QString& name) const;
    QStringList Names() const;
    QVariant Value(const QString& name) const;
    // Names read so far, in order (tests check the load order with it).
    const QStringList& ReadLog() const { return readLog_; }

    QString ToText() const;
    // No value when a line cannot be read.
    static std::optional<MemoryPropertyBag> FromText(const QString& text);
    // UTF-8 file with "\n" line ends; false when it cannot be read or written.
    bool SaveFile(const QString& path) const;
    static std::optional<MemoryPropertyBag> LoadFile(const QString& path);

private:
    std::vector<std::pair<QString, QVariant>> values_;
    QStringList readLog_;
};

}  // namespace vrayu
