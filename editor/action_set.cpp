#include "action_set.h"

#include <QAction>
#include <QIcon>
#include <QKeySequence>
#include <QMenu>
#include <QToolBar>

namespace vrayu {

ActionSet::ActionSet(QWidget* owner, std::span<const MenuRow> menus, std::span<const ToolButtonRow> buttons)
    : QObject(owner) {
    QMenu* current = nullptr;
    QString currentCaption;
    for (const MenuRow& row : menus) {
        if (!current || currentCaption != row.menu) {
            currentCaption = row.menu;
            current = new QMenu(currentCaption, owner);
            menus_.append(current);
        }
        if (!row.id) {
            current->addSeparator();
            continue;
        }
        QAction* action = current->addAction(row.caption);
        action->setObjectName(row.id);
        action->setCheckable(row.checkable);
        action->setChecked(row.checked);
        if (row.shortcut) action->setShortcut(QKeySequence(QLatin1String(row.shortcut)));
        actions_.insert(row.id, action);
    }

    toolBar_ = new QToolBar(owner);
    toolBar_->setObjectName("tbToolBar");
    toolBar_->setToolButtonStyle(Qt::ToolButtonFollowStyle);
    for (const ToolButtonRow& row : buttons) {
        QAction* button = toolBar_->addAction(QIcon::fromTheme(row.icon), row.key);
        button->setObjectName(QStringLiteral("tb") + row.key);
        button->setToolTip(row.tip);
        buttons_.insert(row.key, button);
        if (row.target) {
            const QString target = row.target;
            connect(button, &QAction::triggered, this, [this, target] {
                if (QAction* a = Action(target)) a->trigger();
            });
        } else {
            actions_.insert(button->objectName(), button);
        }
    }
}

QAction* ActionSet::Action(const QString& id) const { return actions_.value(id); }

QAction* ActionSet::ToolButton(const QString& key) const { return buttons_.value(key); }

void ActionSet::Bind(const QString& id, std::function<void()> handler) {
    QAction* action = Action(id);
    Q_ASSERT_X(action, "ActionSet::Bind", qPrintable(id));
    if (!action) return;
    bound_.insert(id);
    connect(action, &QAction::triggered, this, [handler = std::move(handler)] { handler(); });
}

QStringList ActionSet::Unbound() const {
    QStringList out;
    for (auto it = actions_.cbegin(); it != actions_.cend(); ++it)
        if (!bound_.contains(it.key())) out << it.key();
    out.sort();
    return out;
}

QString CaptionText(const QString& caption) {
    QString out;
    for (qsizetype i = 0; i < caption.size(); ++i) {
        if (caption[i] == '&' && i + 1 < caption.size()) ++i;
        out += caption[i];
    }
    return out;
}

}  // namespace vrayu
