#include "data_page.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "dispatch.h"

namespace vrayu {
namespace {

QPlainTextEdit* AddBox(QVBoxLayout* layout, QWidget* parent, const char* label, const char* name) {
    layout->addWidget(new QLabel(QLatin1String(label), parent));
    auto* box = new QPlainTextEdit(parent);
    box->setObjectName(QLatin1String(name));
    layout->addWidget(box);
    return box;
}

}  // namespace

DataPage::DataPage(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("Data"));
    setWindowTitle(QStringLiteral("Data"));
    auto* layout = new QVBoxLayout(this);
    txtTextHTML_ = AddBox(layout, this, "TextHTML:", "txtTextHTML");
    txtTextTelugu_ = AddBox(layout, this, "TextTelugu:", "txtTextTelugu");
    txtTextEnglish_ = AddBox(layout, this, "TextEnglish:", "txtTextEnglish");
    auto* buttons =
        new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel | QDialogButtonBox::Apply, this);
    apply_ = buttons->button(QDialogButtonBox::Apply);
    apply_->setEnabled(false);
    layout->addWidget(buttons);
    connect(apply_, &QPushButton::clicked, this, &DataPage::Apply);
    connect(buttons, &QDialogButtonBox::accepted, this, [this] {
        if (changed_) Apply();
        accept();
    });
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    for (QPlainTextEdit* box : {txtTextHTML_, txtTextTelugu_, txtTextEnglish_})
        connect(box, &QPlainTextEdit::textChanged, this, &DataPage::MarkChanged);
}

void DataPage::SetSelectedObjects(const QList<Dispatch*>& objects) {
    objects_ = objects;
    if (objects_.isEmpty()) return;
    Dispatch* first = objects_.front();
    auto text = [first](const char* name) {
        return first->Get(QLatin1String(name)).toString().replace(QLatin1String("\r\n"), QLatin1String("\n"));
    };
    loading_ = true;
    txtTextHTML_->setPlainText(text("TextHTML"));
    txtTextTelugu_->setPlainText(text("TextTelugu"));
    txtTextEnglish_->setPlainText(text("TextEnglish"));
    loading_ = false;
    changed_ = false;
    apply_->setEnabled(false);
}

void DataPage::MarkChanged() {
    if (loading_) return;
    changed_ = true;
    apply_->setEnabled(true);
}

void DataPage::Apply() {
    if (objects_.isEmpty()) return;
    Dispatch* first = objects_.front();
    // The boxes hold "\n" line ends; the control's texts use "\r\n".
    auto text = [](const QPlainTextEdit* box) {
        return box->toPlainText().replace(QLatin1Char('\n'), QLatin1String("\r\n"));
    };
    first->Put(QStringLiteral("TextHTML"), text(txtTextHTML_));
    first->Put(QStringLiteral("TextTelugu"), text(txtTextTelugu_));
    first->Put(QStringLiteral("TextEnglish"), text(txtTextEnglish_));
    changed_ = false;
    apply_->setEnabled(false);
}

}  // namespace vrayu
