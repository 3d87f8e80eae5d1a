#include "send_command.h"

#include <QDialogButtonBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSettings>
#include <QVBoxLayout>

#include "app_info.h"
#include "document_files.h"
#include "document_window.h"
#include "mail_settings.h"
#include "mail_window.h"
#include "program_dir.h"

namespace vrayu::mail {
namespace {

struct FormatOption {
    const char* name;
    const char* format;
    const char* caption;
    const char* explanation;
};

// In the order Ok checks them.
constexpr FormatOption kOptions[] = {
    {"optText", "text", "Send as text in the mail body",
     "Use this Option only if you are sending mail with in your Company with Mail system that supports "
     "formatting.  In other words don't use this option."},
    {"optHtml", "html", "Send as 'html' file attachment (Preferred)",
     "Use this option if your recipient also have Vrayu Fonts (Doesn't have to have Vrayu Editor) and have any "
     "Internet Browser"},
    {"optjpg", "jpg", "Send as 'JPG' picture as attachment",
     "This method works for any platform but the attachment makes the mail size big."},
};
// Shown top to bottom: html, jpg, text.
constexpr int kShownOrder[] = {1, 2, 0};

QString AskFormat(QWidget* parent, bool jpegAvailable) {
    SendTypeDialog dialog(jpegAvailable, parent);
    dialog.exec();
    return dialog.MailFormat();
}

QString TwoLines(const QString& first, const QString& second) { return first + "\r\n" + second + "\r\n"; }

}  // namespace

QString TextNote(const QString& site) {
    return TwoLines("The following text is in Vrayu Font.", "If you don't have it visit " + site);
}
QString HtmlNote(const QString& site) {
    return TwoLines(
        "This note includes an attachment in HTML format with Vrayu Font. If you have Vrayu Fonts open "
        "the attached file to read it in Telugu",
        "If you don't have Vrayu Font, visit " + site);
}
QString JpegNote(const QString& site) {
    return TwoLines("This note includes an attachment in JPG format created by Vrayu.",
                    "For more information on Vrayu, visit " + site);
}

SendTypeDialog::SendTypeDialog(bool jpegAvailable, QWidget* parent) : QDialog(parent) {
    setObjectName("frmSendType");
    setWindowTitle("Mail Format");
    setWindowFlags(windowFlags() & ~Qt::WindowContextHelpButtonHint);
    auto* frame = new QGroupBox("Mail Format", this);
    auto* frameLayout = new QVBoxLayout(frame);
    for (int i : kShownOrder) {
        const FormatOption& o = kOptions[i];
        auto* option = new QRadioButton(o.caption, frame);
        option->setObjectName(o.name);
        auto* label = new QLabel(o.explanation, frame);
        label->setWordWrap(true);
        label->setIndent(20);
        frameLayout->addWidget(option);
        frameLayout->addWidget(label);
        if (QString(o.format) == "html") option->setChecked(true);
        if (QString(o.format) == "jpg" && !jpegAvailable) {
            option->setEnabled(false);
            label->setEnabled(false);
        }
    }
    auto* buttons = new QDialogButtonBox(this);
    buttons->addButton("OK", QDialogButtonBox::AcceptRole);
    buttons->addButton("&Cancel", QDialogButtonBox::RejectRole);
    connect(buttons, &QDialogButtonBox::accepted, this, &SendTypeDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &SendTypeDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(frame);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    setMinimumWidth(460);
}

QRadioButton* SendTypeDialog::Option(const QString& name) const { return findChild<QRadioButton*>(name); }

void SendTypeDialog::accept() {
    mailFormat_ = "text";
    for (const FormatOption& o : kOptions) {
        if (Option(o.name)->isChecked()) {
            mailFormat_ = o.format;
            break;
        }
    }
    QDialog::accept();
}

void SendTypeDialog::reject() {
    mailFormat_ = "cancel";
    QDialog::reject();
}

void SendDocument(DocumentWindow& window, const SendHooks& hooks) {
    Tel1* tel = window.Control();
    if (!tel) return;
    const auto ask = hooks.askFormat ? hooks.askFormat : AskFormat;
    const QString format = ask(&window, static_cast<bool>(hooks.exportJpeg));
    const QString site = NoteSiteAddress(*OpenEditorSettings());
    if (format == "text") {
        const QString part = tel->Get(dispid::SelLength).toInt() != 0
                                 ? tel->Get(dispid::SelText).toString()
                                 : tel->TextTelugu() + "\r\n\r\n" + tel->TextEnglish();
        MailWindow& mail = MailWindow::Instance();
        mail.show();
        mail.ComposeTelugu(TextNote(site) + part);
    } else if (format == "html") {
        tel->Convert2HTML();
        const QString path = WritableProgramFile("seeme.htm");
        WriteFileAtomically(path, HtmlExportBytes(tel->TextHTML()));
        MailWindow& mail = MailWindow::Instance();
        mail.show();
        mail.ComposeAttach(HtmlNote(site) + "\r\n\r\n" + tel->TextEnglish(), path);
    } else if (format == "jpg" && hooks.exportJpeg) {
        const QString path = WritableProgramFile("seeme.jpg");
        hooks.exportJpeg(window, path);
        MailWindow& mail = MailWindow::Instance();
        mail.show();
        mail.ComposeAttach(JpegNote(site), path);
    }
}

void InstallSendCommand(SendHooks hooks) {
    DocumentWindow::RegisterCommand("mnuFileSend", [hooks](DocumentWindow& window) { SendDocument(window, hooks); });
}

}  // namespace vrayu::mail
