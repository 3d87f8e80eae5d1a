#include "dialogs.h"

#include <QCoreApplication>
#include <QStringList>
#include <QVariant>

#include "qt_dialogs.h"

namespace vrayu {
namespace {

// The control library and the editor each link their own copy of this file;
// the installed dialogs live on the one application object so that both see
// the same choice.
constexpr char kProperty[] = "vrayu.dialogs";
Dialogs* g_installed = nullptr;  // used before the application object exists

}  // namespace

Dialogs& CurrentDialogs() {
    if (auto* app = QCoreApplication::instance()) {
        const QVariant v = app->property(kProperty);
        if (v.isValid()) {
            if (void* installed = v.value<void*>()) return *static_cast<Dialogs*>(installed);
            static QtDialogs qtDialogs;
            return qtDialogs;  // explicitly restored
        }
    }
    if (g_installed) return *g_installed;
    static QtDialogs qtDialogs;
    return qtDialogs;
}

void SetDialogs(Dialogs* dialogs) {
    g_installed = dialogs;
    if (auto* app = QCoreApplication::instance())
        app->setProperty(kProperty, QVariant::fromValue(static_cast<void*>(dialogs)));
}

QString QtFilterFromWindows(const QString& windowsFilter) {
    const QStringList parts = windowsFilter.split(QLatin1Char('|'));
    QStringList filters;
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        QString description = parts[i].trimmed();
        const QString patterns = parts[i + 1].trimmed();
        if (description.isEmpty() && patterns.isEmpty()) continue;
        // Qt reads the patterns from the last parentheses, separated by spaces.
        if (description.endsWith(QLatin1Char(')'))) {
            const qsizetype open = description.lastIndexOf(QLatin1Char('('));
            if (open >= 0) description = description.left(open).trimmed();
        }
        QStringList list = patterns.split(QLatin1Char(';'), Qt::SkipEmptyParts);
        for (QString& p : list) {
            p = p.trimmed();
            // "*.*" means every file on Windows but only names with a dot here.
            if (p == QLatin1String("*.*")) p = QStringLiteral("*");
        }
        const QString joined = list.join(QLatin1Char(' '));
        filters << (description.isEmpty() ? joined : description + QStringLiteral(" (") + joined + QLatin1Char(')'));
    }
    return filters.join(QStringLiteral(";;"));
}

}  // namespace vrayu
