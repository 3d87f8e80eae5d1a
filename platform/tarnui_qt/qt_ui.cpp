#include "qt_ui.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>
#include <cstdio>

#include "form_dialog.h"

namespace tarn::qtui {
namespace {

QString Text(std::string_view s) { return QString::fromLatin1(s.data(), static_cast<qsizetype>(s.size())); }
std::string Bytes(const QString& s) { return s.toLatin1().toStdString(); }

// The program's QApplication, or one made for the interpreter's dialogs
// and kept for the rest of the process.
void EnsureApplication() {
    if (QApplication::instance()) return;
    static int argc = 1;
    static char name[] = "tarn";
    static char* argv[] = {name, nullptr};
    new QApplication(argc, argv);
}

QMessageBox::Icon BoxIcon(Icon i) {
    switch (i) {
        case Icon::Stop: return QMessageBox::Critical;
        case Icon::Warning: return QMessageBox::Warning;
        case Icon::Question: return QMessageBox::Question;
        case Icon::Information: return QMessageBox::Information;
        case Icon::None: break;
    }
    return QMessageBox::NoIcon;
}

// A dialog with a text above its main widget and OK/Cancel buttons below.
class Framed : public QDialog {
public:
    Framed(std::string_view title, std::string_view text, std::string_view ok, std::string_view cancel) {
        setWindowTitle(Text(title));
        layout_ = new QVBoxLayout(this);
        if (!text.empty()) {
            auto* label = new QLabel(Text(text), this);
            label->setWordWrap(true);
            layout_->addWidget(label);
        }
        buttons_ = new QDialogButtonBox(this);
        buttons_->addButton(Text(ok), QDialogButtonBox::AcceptRole);
        buttons_->addButton(Text(cancel), QDialogButtonBox::RejectRole);
        connect(buttons_, &QDialogButtonBox::accepted, this, &QDialog::accept);
        connect(buttons_, &QDialogButtonBox::rejected, this, &QDialog::reject);
    }
    // The main widget, which has the focus when the dialog opens.
    void Add(QWidget* w) {
        layout_->addWidget(w);
        layout_->addWidget(buttons_);
        setFocusProxy(w);
        w->setFocus();
    }

private:
    QVBoxLayout* layout_;
    QDialogButtonBox* buttons_;
};

QStringList NameFilters(const FileRequest& r) {
    QStringList out;
    for (const auto& [name, masks] : r.filters) {
        QString m = Text(masks);
        m.replace(QLatin1Char(';'), QLatin1Char(' '));
        out << Text(name) + QStringLiteral(" (") + m + QLatin1Char(')');
    }
    return out;
}

class QtUi : public Ui {
public:
    QtUi() { EnsureApplication(); }

    Answer MessageBox(std::string_view caption, std::string_view text, Buttons buttons, Icon icon) override {
        QMessageBox box(BoxIcon(icon), Text(caption), Text(text));
        switch (buttons) {
            case Buttons::Ok: box.setStandardButtons(QMessageBox::Ok); break;
            case Buttons::OkCancel: box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel); break;
            case Buttons::YesNo: box.setStandardButtons(QMessageBox::Yes | QMessageBox::No); break;
            case Buttons::YesNoCancel:
                box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
                break;
        }
        switch (box.exec()) {
            case QMessageBox::Ok: return Answer::Ok;
            case QMessageBox::Yes: return Answer::Yes;
            case QMessageBox::No: return Answer::No;
            default: return buttons == Buttons::Ok ? Answer::Ok : Answer::Cancel;
        }
    }

    std::optional<std::string> AskLine(std::string_view title, std::string_view prompt, std::string_view initial,
                                       bool hidden) override {
        return AskText(title, prompt, initial, hidden, "&OK", "&Cancel");
    }

    std::optional<std::string> AskText(std::string_view title, std::string_view prompt, std::string_view initial,
                                       bool hidden, std::string_view ok, std::string_view cancel) override {
        Framed d(title, prompt, ok, cancel);
        auto* edit = new QLineEdit(Text(initial), &d);
        edit->setObjectName(QStringLiteral("entry"));
        if (hidden) edit->setEchoMode(QLineEdit::Password);
        d.Add(edit);
        if (d.exec() != QDialog::Accepted) return std::nullopt;
        return Bytes(edit->text());
    }

    int ChooseButton(std::string_view caption, std::string_view text,
                     const std::vector<std::string>& buttons) override {
        QDialog d;
        d.setWindowTitle(Text(caption));
        auto* layout = new QVBoxLayout(&d);
        auto* label = new QLabel(Text(text), &d);
        layout->addWidget(label);
        auto* row = new QHBoxLayout;
        for (std::size_t i = 0; i < buttons.size(); ++i) {
            auto* b = new QPushButton(Text(buttons[i]), &d);
            b->setAutoDefault(i == 0);
            const int code = static_cast<int>(i) + 1;
            QObject::connect(b, &QPushButton::clicked, &d, [&d, code] { d.done(code); });
            row->addWidget(b);
        }
        layout->addLayout(row);
        return d.exec() - 1;  // closed without a button: -1
    }

    std::optional<int> ChooseItem(std::string_view title, const std::vector<std::string>& items) override {
        ListRequest r;
        r.title = std::string(title);
        r.items = items;
        const auto chosen = ChooseList(r);
        if (!chosen) return std::nullopt;
        return chosen->empty() ? -1 : chosen->front();
    }

    std::optional<std::vector<int>> ChooseList(const ListRequest& r) override {
        Framed d(r.title, "", r.ok, r.cancel);
        auto* list = new QListWidget(&d);
        list->setObjectName(QStringLiteral("list"));
        list->setSelectionMode(r.multiple ? QAbstractItemView::ExtendedSelection : QAbstractItemView::SingleSelection);
        for (const std::string& i : r.items) list->addItem(Text(i));
        if (!r.multiple) QObject::connect(list, &QListWidget::itemDoubleClicked, &d, &QDialog::accept);
        d.Add(list);
        if (d.exec() != QDialog::Accepted) return std::nullopt;
        std::vector<int> chosen;
        for (int k = 0; k < list->count(); ++k)
            if (list->item(k)->isSelected()) chosen.push_back(k);
        return chosen;
    }

    // The box closes by itself after `seconds` (Escape closes it earlier).
    void Display(int seconds, std::string_view title, std::string_view text) override {
        QDialog d;
        d.setWindowTitle(Text(title));
        auto* layout = new QVBoxLayout(&d);
        layout->addWidget(new QLabel(Text(text), &d));
        QTimer::singleShot(std::max(0, seconds) * 1000, &d, &QDialog::accept);
        d.exec();
    }

    void DebugOutput(std::string_view text) override { std::fwrite(text.data(), 1, text.size(), stderr); }
    void Beep() override { QApplication::beep(); }

    int RunForm(Form& form) override {
        FormDialog d(form);
        return d.Run();
    }

    std::optional<std::vector<std::string>> AskFileName(const FileRequest& r) override {
        QFileDialog d(nullptr, Text(r.title), Text(r.directory));
        d.setOption(QFileDialog::DontUseNativeDialog);
        d.setNameFilters(NameFilters(r));
        d.setAcceptMode(r.mode == FileMode::Save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
        d.setFileMode(r.mode == FileMode::Save   ? QFileDialog::AnyFile
                      : r.mode == FileMode::Open ? QFileDialog::ExistingFile
                                                 : QFileDialog::ExistingFiles);
        if (!r.name.empty()) d.selectFile(Text(r.name));
        if (d.exec() != QDialog::Accepted) return std::nullopt;
        std::vector<std::string> out;
        for (const QString& f : d.selectedFiles()) out.push_back(Bytes(f));
        return out;
    }

    std::optional<std::string> AskDirectory(const DirectoryRequest& r) override {
        QFileDialog d(nullptr, Text(r.prompt), Text(r.start.empty() ? r.root : r.start));
        d.setOption(QFileDialog::DontUseNativeDialog);
        d.setOption(QFileDialog::ShowDirsOnly);
        d.setFileMode(r.may_create ? QFileDialog::AnyFile : QFileDialog::Directory);
        if (d.exec() != QDialog::Accepted || d.selectedFiles().isEmpty()) return std::nullopt;
        return Bytes(d.selectedFiles().front());
    }
};

}  // namespace

std::unique_ptr<Ui> MakeQtUi() { return std::make_unique<QtUi>(); }

}  // namespace tarn::qtui
