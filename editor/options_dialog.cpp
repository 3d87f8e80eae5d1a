#include "options_dialog.h"

#include <QDialogButtonBox>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

#include "dialogs.h"

namespace vrayu {

OptionsDialog::OptionsDialog(QWidget* parent) : QDialog(parent), tabs_(new QTabWidget(this)) {
    setObjectName("frmOptions");
    setWindowTitle("Options");
    for (const char* name : {"General", "View", "Edit", "Print"}) {
        auto* panel = new QLabel(QStringLiteral("%1 options will be placed here.").arg(name));
        panel->setAlignment(Qt::AlignCenter);
        tabs_->addTab(panel, name);
    }
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel | QDialogButtonBox::Apply);
    connect(buttons->button(QDialogButtonBox::Ok), &QPushButton::clicked, this, [this] {
        CurrentDialogs().MsgBox(this, kOptionsOkMessage, kOKOnly, windowTitle());
        accept();
    });
    connect(buttons->button(QDialogButtonBox::Apply), &QPushButton::clicked, this,
            [this] { CurrentDialogs().MsgBox(this, kOptionsApplyMessage, kOKOnly, windowTitle()); });
    connect(buttons->button(QDialogButtonBox::Cancel), &QPushButton::clicked, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(tabs_);
    layout->addWidget(buttons);
    resize(420, 320);
}

void OptionsDialog::keyPressEvent(QKeyEvent* event) {
    const bool ctrl = event->modifiers() & Qt::ControlModifier;
    if (ctrl && (event->key() == Qt::Key_Tab || event->key() == Qt::Key_Backtab)) {
        const bool backwards = event->key() == Qt::Key_Backtab || (event->modifiers() & Qt::ShiftModifier);
        tabs_->setCurrentIndex(NextTabIndex(tabs_->currentIndex(), tabs_->count(), backwards));
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

int NextTabIndex(int current, int count, bool backwards) {
    if (count <= 0) return -1;
    return ((backwards ? current - 1 : current + 1) % count + count) % count;
}

}  // namespace vrayu
