#include "form_dialog.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QWindow>
#include <map>

#include "dialog_units.h"

namespace tarn::qtui {
namespace {

QString Text(const std::string& s) { return QString::fromLatin1(s.data(), static_cast<qsizetype>(s.size())); }

// A label shows "&" as written; a caption's mnemonic marks are dropped.
QString Plain(const std::string& s) {
    QString t = Text(s);
    t.replace(QStringLiteral("&&"), QStringLiteral("\x01"));
    t.remove(QLatin1Char('&'));
    t.replace(QLatin1Char('\x01'), QLatin1Char('&'));
    return t;
}

}  // namespace

FormDialog::FormDialog(Form& form, QWidget* parent) : QDialog(parent), form_(form) {
    setWindowTitle(Text(form.caption));
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    Build();
    Place();
}

void FormDialog::Build() {
    const DialogUnits du(font());
    std::map<std::string, QButtonGroup*> groups;
    for (std::size_t i = 0; i < form_.controls.size(); ++i) {
        const FormControl& c = form_.controls[i];
        QWidget* w = nullptr;
        switch (c.kind) {
            case ControlKind::PushButton: {
                auto* b = new QPushButton(Text(c.text), this);
                b->setAutoDefault(false);
                const int value = c.value;
                connect(b, &QPushButton::clicked, this, [this, value] { done(value); });
                w = b;
                break;
            }
            case ControlKind::RadioButton: {
                auto* b = new QRadioButton(Text(c.text), this);
                QButtonGroup*& g = groups[c.variable];
                if (!g) g = new QButtonGroup(this);
                g->addButton(b);
                b->setChecked(c.checked);
                w = b;
                break;
            }
            case ControlKind::CheckBox: {
                auto* b = new QCheckBox(Text(c.text), this);
                b->setChecked(c.checked);
                w = b;
                break;
            }
            case ControlKind::EditBox: w = new QLineEdit(Text(c.edit), this); break;
            case ControlKind::StaticText: w = new QLabel(Plain(c.text), this); break;
            case ControlKind::VaryText: w = new QLabel(Plain(c.edit), this); break;
            case ControlKind::FileListBox:
            case ControlKind::ItemBox: {
                auto* l = new QListWidget(this);
                l->setSelectionMode(c.kind == ControlKind::ItemBox ? QAbstractItemView::ExtendedSelection
                                                                   : QAbstractItemView::SingleSelection);
                if (c.kind == ControlKind::FileListBox)
                    connect(l, &QListWidget::itemActivated, this,
                            [this, i](QListWidgetItem* item) { EnterDirectory(i, item); });
                w = l;
                break;
            }
        }
        w->setObjectName(QStringLiteral("control%1").arg(i + 1, 2, 10, QLatin1Char('0')));
        w->setGeometry(du.Rect(c.x, c.y, c.width, c.height));
        widgets_.push_back(w);
        if (c.kind == ControlKind::FileListBox || c.kind == ControlKind::ItemBox) FillList(i);
    }
    setFixedSize(du.X(form_.width), du.Y(form_.height));
}

// At the dialog-unit position on the screen (centred when negative), kept
// on the screen, and above the host's window when it gave one.
void FormDialog::Place() {
    const DialogUnits du(font());
    QScreen* screen = QGuiApplication::primaryScreen();
    const QRect area = screen ? screen->availableGeometry() : QRect();
    QRect r(du.X(form_.x), du.Y(form_.y), du.X(form_.width), du.Y(form_.height));
    if (form_.x < 0 || form_.y < 0) r.moveCenter(area.center());
    r = KeptOnScreen(r, area);
    move(r.topLeft());
    if (form_.owner) {
        winId();
        if (QWindow* owner = QWindow::fromWinId(static_cast<WId>(form_.owner)); owner && windowHandle())
            windowHandle()->setTransientParent(owner);
    }
}

void FormDialog::FillList(std::size_t i) {
    auto* l = static_cast<QListWidget*>(widgets_[i]);
    const FormControl& c = form_.controls[i];
    l->clear();
    for (std::size_t k = 0; k < c.items.size(); ++k) {
        l->addItem(Text(c.items[k]));
        if (std::find(c.selected.begin(), c.selected.end(), static_cast<int>(k)) != c.selected.end())
            l->item(static_cast<int>(k))->setSelected(true);
    }
}

// A "[dir]" or "[..]" entry chosen in a file list box: the directory
// changes and the list shows its entries.
bool FormDialog::EnterDirectory(std::size_t i, QListWidgetItem* item) {
    if (!item) return false;
    const std::string entry = item->text().toLatin1().toStdString();
    if (!Form::IsDirectoryEntry(entry)) return false;
    if (form_.Pick(i, entry)) FillList(i);
    return true;
}

void FormDialog::keyPressEvent(QKeyEvent* e) {
    if (e->key() == Qt::Key_Escape) return done(0);
    if (e->key() != Qt::Key_Return && e->key() != Qt::Key_Enter) return QDialog::keyPressEvent(e);
    QWidget* focus = focusWidget();
    for (std::size_t i = 0; i < widgets_.size(); ++i) {
        if (widgets_[i] != focus) continue;
        const FormControl& c = form_.controls[i];
        if (c.kind == ControlKind::PushButton) return done(c.value);
        if (c.kind == ControlKind::FileListBox &&
            EnterDirectory(i, static_cast<QListWidget*>(widgets_[i])->currentItem()))
            return;
    }
    done(1);
}

void FormDialog::StoreState() {
    for (std::size_t i = 0; i < form_.controls.size(); ++i) {
        FormControl& c = form_.controls[i];
        switch (c.kind) {
            case ControlKind::RadioButton:
            case ControlKind::CheckBox: c.checked = static_cast<QAbstractButton*>(widgets_[i])->isChecked(); break;
            case ControlKind::EditBox:
                c.edit = static_cast<QLineEdit*>(widgets_[i])->text().toLatin1().toStdString();
                break;
            case ControlKind::FileListBox:
            case ControlKind::ItemBox: {
                auto* l = static_cast<QListWidget*>(widgets_[i]);
                c.selected.clear();
                for (int k = 0; k < l->count(); ++k) {
                    const bool dir = c.kind == ControlKind::FileListBox &&
                                     Form::IsDirectoryEntry(l->item(k)->text().toLatin1().toStdString());
                    if (l->item(k)->isSelected() && !dir) c.selected.push_back(k);
                }
                break;
            }
            default: break;
        }
    }
}

int FormDialog::Run() {
    const int result = exec();
    if (result != 0) StoreState();
    return result;
}

}  // namespace tarn::qtui
