#include "property_bag.h"

#include <QFile>
#include <QFont>
#include <QSaveFile>
#include <algorithm>

namespace vrayu {
namespace {

bool IsNumeric(const QVariant& v) {
    switch (v.typeId()) {
        case QMetaType::Bool:
        case QMetaType::Int:
        case QMetaType::UInt:
        case QMetaType::Long:
        case QMetaType::ULong:
        case QMetaType::LongLong:
        case QMetaType::ULongLong:
        case QMetaType::Short:
        case QMetaType::UShort:
        case QMetaType::Double:
        case QMetaType::Float: return true;
        default: return false;
    }
}

QString EscapeText(const QString& s) {
    QString out;
    out.reserve(s.size());
    for (QChar c : s) {
        switch (c.unicode()) {
            case '\\': out += QLatin1String("\\\\"); break;
            case '\r': out += QLatin1String("\\r"); break;
            case '\n': out += QLatin1String("\\n"); break;
            case '\t': out += QLatin1String("\\t"); break;
            default:
                if (c.unicode() < 0x20 || c.unicode() == 0x7f || (c.unicode() >= 0x80 && c.unicode() < 0xa0) ||
                    c.unicode() == 0x2028 || c.unicode() == 0x2029)
                    out += QStringLiteral("\\x%1;").arg(c.unicode(), 0, 16);
                else out += c;
        }
    }
    return out;
}

std::optional<QString> UnescapeText(QStringView s) {
    QString out;
    out.reserve(s.size());
    for (qsizetype i = 0; i < s.size(); ++i) {
        if (s[i] != QLatin1Char('\\')) {
            out += s[i];
            continue;
        }
        if (++i >= s.size()) return std::nullopt;
        switch (s[i].unicode()) {
            case '\\': out += QLatin1Char('\\'); break;
            case 'r': out += QLatin1Char('\r'); break;
            case 'n': out += QLatin1Char('\n'); break;
            case 't': out += QLatin1Char('\t'); break;
            case 'x': {
                const qsizetype end = s.indexOf(QLatin1Char(';'), i);
                if (end < 0) return std::nullopt;
                bool ok = false;
                const uint code = s.mid(i + 1, end - i - 1).toUInt(&ok, 16);
                if (!ok || code > 0xffff) return std::nullopt;
                out += QChar(static_cast<char16_t>(code));
                i = end;
                break;
            }
            default: return std::nullopt;
        }
    }
    return out;
}

QString FormatValue(const QVariant& v) {
    if (!v.isValid()) return QStringLiteral("null:");
    switch (v.typeId()) {
        case QMetaType::Bool: return QStringLiteral("bool:") + (v.toBool() ? "1" : "0");
        case QMetaType::Double:
        case QMetaType::Float: return QStringLiteral("double:") + QString::number(v.toDouble(), 'g', 17);
        case QMetaType::QFont: return QStringLiteral("font:") + EscapeText(v.value<QFont>().toString());
        default:
            if (IsNumeric(v)) return QStringLiteral("int:") + QString::number(v.toLongLong());
            return QStringLiteral("string:") + EscapeText(v.toString());
    }
}

std::optional<QVariant> ParseValue(QStringView s) {
    const qsizetype colon = s.indexOf(QLatin1Char(':'));
    if (colon < 0) return std::nullopt;
    const QStringView type = s.left(colon), body = s.mid(colon + 1);
    bool ok = true;
    if (type == QLatin1String("null")) return QVariant();
    if (type == QLatin1String("bool")) return QVariant(body == QLatin1String("1"));
    if (type == QLatin1String("int")) {
        const qlonglong n = body.toLongLong(&ok);
        if (!ok) return std::nullopt;
        if (n >= INT_MIN && n <= INT_MAX) return QVariant(static_cast<int>(n));
        return QVariant(n);
    }
    if (type == QLatin1String("double")) {
        const double d = body.toDouble(&ok);
        return ok ? std::optional<QVariant>(QVariant(d)) : std::nullopt;
    }
    const auto text = UnescapeText(body);
    if (!text) return std::nullopt;
    if (type == QLatin1String("string")) return QVariant(*text);
    if (type == QLatin1String("font")) {
        QFont font;
        if (!font.fromString(*text)) return std::nullopt;
        return QVariant(font);
    }
    return std::nullopt;
}

}  // namespace

bool SamePropertyValue(const QVariant& a, const QVariant& b) {
    if (!a.isValid() || !b.isValid()) return a.isValid() == b.isValid();
    if (IsNumeric(a) && IsNumeric(b)) return a.toDouble() == b.toDouble();
    if (IsNumeric(a) != IsNumeric(b)) return false;
    if (a.typeId() == QMetaType::QFont || b.typeId() == QMetaType::QFont)
        return a.typeId() == b.typeId() && a.value<QFont>() == b.value<QFont>();
    return a.toString() == b.toString();
}

QVariant MemoryPropertyBag::ReadProperty(const QString& name, const QVariant& defaultValue) {
    readLog_ << name;
    for (const auto& [n, v] : values_)
        if (n.compare(name, Qt::CaseInsensitive) == 0) return v;
    return defaultValue;
}

void MemoryPropertyBag::WriteProperty(const QString& name, const QVariant& value, const QVariant& defaultValue) {
    auto it = std::find_if(values_.begin(), values_.end(),
                           [&](const auto& nv) { return nv.first.compare(name, Qt::CaseInsensitive) == 0; });
    if (SamePropertyValue(value, defaultValue)) {
        if (it != values_.end()) values_.erase(it);
        return;
    }
    if (it != values_.end()) it->second = value;
    else values_.emplace_back(name, value);
}

bool MemoryPropertyBag::Contains(const QString& name) const {
    return std::any_of(values_.begin(), values_.end(),
                       [&](const auto& nv) { return nv.first.compare(name, Qt::CaseInsensitive) == 0; });
}

QStringList MemoryPropertyBag::Names() const {
    QStringList names;
    for (const auto& nv : values_) names << nv.first;
    return names;
}

QVariant MemoryPropertyBag::Value(const QString& name) const {
    for (const auto& [n, v] : values_)
        if (n.compare(name, Qt::CaseInsensitive) == 0) return v;
    return {};
}

QString MemoryPropertyBag::ToText() const {
    QString text;
    for (const auto& [name, value] : values_) text += name + QLatin1Char('=') + FormatValue(value) + QLatin1Char('\n');
    return text;
}

std::optional<MemoryPropertyBag> MemoryPropertyBag::FromText(const QString& text) {
    MemoryPropertyBag bag;
    for (QStringView line : QStringView(text).split(QLatin1Char('\n'))) {
        if (line.endsWith(QLatin1Char('\r'))) line.chop(1);
        if (line.isEmpty() || line.startsWith(QLatin1Char('#'))) continue;
        const qsizetype eq = line.indexOf(QLatin1Char('='));
        if (eq <= 0) return std::nullopt;
        auto value = ParseValue(line.mid(eq + 1));
        if (!value) return std::nullopt;
        bag.values_.emplace_back(line.left(eq).toString(), *value);
    }
    return bag;
}

bool MemoryPropertyBag::SaveFile(const QString& path) const {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) return false;
    file.write(ToText().toUtf8());
    return file.commit();
}

std::optional<MemoryPropertyBag> MemoryPropertyBag::LoadFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return std::nullopt;
    return FromText(QString::fromUtf8(file.readAll()));
}

}  // namespace vrayu
