// Menus and toolbar buttons declared once, from tables of captions. Each
// action is registered under a string id (the menu item's name), which tests
// and the toolbar use to reach it.
#pragma once

#include <QHash>
#include <QList>
#include <QObject>
#include <QSet>
#include <QStringList>
#include <QString>
#include <functional>
#include <span>

class QAction;
class QMenu;
class QToolBar;
class QWidget;

namespace vrayu {

// One row of a menu table. Rows of the same `menu` caption form one menu, in
// table order; a row with a null `id` is a separator.
struct MenuRow {
    const char* menu;
    const char* id;
    const char* caption;
    bool checkable = false;
    bool checked = false;
    const char* shortcut = nullptr;  // portable text, "Ctrl+S"
};

// One toolbar button, by key. `target` names the menu action the button
// runs; a null target gets an action of its own under the id "tb" + key.
struct ToolButtonRow {
    const char* key;
    const char* tip;
    const char* icon;  // freedesktop icon name
    const char* target;
};

class ActionSet : public QObject {
public:
    ActionSet(QWidget* owner, std::span<const MenuRow> menus, std::span<const ToolButtonRow> buttons);

    // The action registered under `id` (menu id, or "tb" + toolbar key);
    // null when there is none.
    QAction* Action(const QString& id) const;
    // The action behind the toolbar button with `key`.
    QAction* ToolButton(const QString& key) const;
    // The top-level menus, in table order.
    const QList<QMenu*>& Menus() const { return menus_; }
    QToolBar* ToolBar() const { return toolBar_; }
    // Runs `handler` when the action `id` is triggered.
    void Bind(const QString& id, std::function<void()> handler);
    // Ids of the actions no handler is bound to (items that do nothing), sorted.
    QStringList Unbound() const;

private:
    QHash<QString, QAction*> actions_;
    QHash<QString, QAction*> buttons_;
    QSet<QString> bound_;
    QList<QMenu*> menus_;
    QToolBar* toolBar_ = nullptr;
};

// "&Save As..." -> "Save As...": a caption as shown, access-key mark removed.
QString CaptionText(const QString& caption);

}  // namespace vrayu
