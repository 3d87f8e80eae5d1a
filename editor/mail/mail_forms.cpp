#include "mail_forms.h"

#include <QDrag>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFormLayout>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QIcon>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextDocument>
#include <QVBoxLayout>

#include "mail_format.h"

namespace vrayu::mail {
namespace {

constexpr char kRowMime[] = "application/x-vrayu-mail-row";

// The list lets its rows be dragged onto the drop targets.
class MessageList : public QListWidget {
public:
    explicit MessageList(QWidget* parent) : QListWidget(parent) {
        setDragEnabled(true);
        setDragDropMode(QAbstractItemView::DragOnly);
    }

protected:
    QMimeData* mimeData(const QList<QListWidgetItem*>& items) const override {
        auto* mime = new QMimeData;
        if (!items.isEmpty()) mime->setData(kRowMime, QByteArray::number(row(items.first())));
        return mime;
    }
    QStringList mimeTypes() const override { return {kRowMime}; }
};

QLabel* IconLabel(const QString& icon, const QString& name, QWidget* parent) {
    auto* l = new QLabel(parent);
    l->setObjectName(name);
    l->setPixmap(QIcon::fromTheme(icon).pixmap(32, 32));
    return l;
}

}  // namespace

void SetNote(QPlainTextEdit& edit, const QString& note) {
    QString text = note;
    text.replace("\r\n", "\n");
    edit.setPlainText(text);
}

QString NoteOf(const QPlainTextEdit& edit) {
    // The raw text keeps characters the plain-text form would change (the
    // no-break space is a glyph code); paragraph breaks become CR LF.
    QString text = edit.document()->toRawText();
    text.replace(QChar::ParagraphSeparator, "\r\n");
    text.replace(QChar::LineSeparator, "\r\n");
    return text;
}

DropTarget::DropTarget(const QString& name, const QString& icon, QWidget* parent) : QLabel(parent) {
    setObjectName(name);
    setPixmap(QIcon::fromTheme(icon).pixmap(32, 32));
    setAcceptDrops(true);
}

void DropTarget::dragEnterEvent(QDragEnterEvent* event) {
    if (event->mimeData()->hasFormat(kRowMime)) event->acceptProposedAction();
}

void DropTarget::dropEvent(QDropEvent* event) {
    bool ok = false;
    const int row = event->mimeData()->data(kRowMime).toInt(&ok);
    if (!ok) return;
    event->acceptProposedAction();
    emit Dropped(row);
}

MailLst::MailLst(QWidget* parent) : QWidget(parent) {
    setObjectName("MailLst");
    setWindowTitle("Mail List");
    heading_ = new QLabel("Listbox Headings", this);
    heading_->setObjectName("Heading");
    heading_->setFont(QFont("Courier New"));
    list_ = new MessageList(this);
    list_->setObjectName("MList");
    newMail_ = IconLabel("mail-unread", "NewMail", this);
    noNewMail_ = IconLabel("mail-read", "NoNewMail", this);
    auto* trash = new DropTarget("Trash", "user-trash", this);
    auto* printer = new DropTarget("PrtImage", "document-print", this);
    auto* icons = new QHBoxLayout;
    icons->addWidget(newMail_);
    icons->addWidget(noNewMail_);
    icons->addStretch();
    icons->addWidget(trash);
    icons->addWidget(printer);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(heading_);
    layout->addWidget(list_, 1);
    layout->addLayout(icons);
    SetNewMail(false);
    connect(list_, &QListWidget::itemActivated, this, [this](QListWidgetItem* item) { emit Opened(list_->row(item)); });
    connect(trash, &DropTarget::Dropped, this, &MailLst::DroppedOnTrash);
    connect(printer, &DropTarget::Dropped, this, &MailLst::DroppedOnPrinter);
    resize(640, 300);
}

void MailLst::SetMessages(const std::vector<MailMessage>& messages) {
    heading_->setText(ListHeading());
    list_->clear();
    for (const auto& m : messages) list_->addItem(ListLine(m));
}

void MailLst::SetLine(int row, const MailMessage& message) {
    if (QListWidgetItem* item = list_->item(row)) item->setText(ListLine(message));
}

void MailLst::SetNewMail(bool anyUnread) {
    newMail_->setVisible(anyUnread);
    noNewMail_->setVisible(!anyUnread);
}

MsgView::MsgView(QWidget* parent) : QWidget(parent) {
    setObjectName("MsgView");
    setWindowTitle("Mail Message");
    auto* form = new QFormLayout;
    for (const char* label : {"From:", "Date:", "To:", "Cc:", "Subject:"}) {
        auto* field = new QLineEdit(this);
        field->setReadOnly(true);
        field->setAccessibleName(label);
        form->addRow(label, field);
        fields_ << field;
    }
    note_ = new QPlainTextEdit(this);
    note_->setObjectName("txtNoteText");
    note_->setReadOnly(true);
    pane_ = new QWidget(this);
    aList_ = new QListWidget(pane_);
    aList_->setObjectName("aList");
    numAtt_ = new QLabel(pane_);
    numAtt_->setObjectName("NumAtt");
    auto* paneLayout = new QVBoxLayout(pane_);
    paneLayout->setContentsMargins(0, 0, 0, 0);
    auto* paneHead = new QHBoxLayout;
    paneHead->addWidget(new QLabel("Attachments:", pane_));
    paneHead->addStretch();
    paneHead->addWidget(numAtt_);
    paneLayout->addLayout(paneHead);
    paneLayout->addWidget(aList_);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(note_, 1);
    layout->addWidget(pane_);
    connect(aList_, &QListWidget::itemActivated, this,
            [this](QListWidgetItem* item) { emit AttachmentOpened(aList_->row(item)); });
    resize(560, 420);
}

void MsgView::Show(const MailMessage& m) {
    const QString values[] = {m.senderName, LongDate(m.dateReceived), JoinNames(m.recipients, kRecipientTo),
                              JoinNames(m.recipients, kRecipientCc), m.subject};
    for (int i = 0; i < fields_.size(); ++i) fields_[i]->setText(values[i]);
    SetNote(*note_, m.noteText);
    aList_->clear();
    for (const auto& a : m.attachments) aList_->addItem(AttachmentEntry(a));
    numAtt_->setText(FilesCount(static_cast<int>(m.attachments.size())));
    pane_->setVisible(!m.attachments.empty());
}

QString MsgView::Field(const QString& label) const {
    for (QLineEdit* f : fields_)
        if (f->accessibleName() == label) return f->text();
    return {};
}

QString MsgView::NoteText() const { return NoteOf(*note_); }

NewMsg::NewMsg(QWidget* parent) : QWidget(parent, Qt::Window) {
    setObjectName("NewMsg");
    setWindowTitle("Send Note");
    to_ = new QLineEdit(this);
    to_->setObjectName("txtTo");
    cc_ = new QLineEdit(this);
    cc_->setObjectName("txtCc");
    subject_ = new QLineEdit(this);
    subject_->setObjectName("txtSubject");
    note_ = new QPlainTextEdit(this);
    note_->setObjectName("txtNoteText");
    note_->setFont(QFont("Vrayu", 14));
    attachments_ = new QLabel(this);
    attachments_->setObjectName("Attachments");
    auto* form = new QFormLayout;
    const std::pair<const char*, QLineEdit*> rows[] = {{"&To:", to_}, {"&Cc:", cc_}, {"Subj&ect:", subject_}};
    for (const auto& [label, field] : rows) {
        auto* l = new QLabel(label, this);
        l->setBuddy(field);
        form->addRow(l, field);
    }
    auto* buttons = new QHBoxLayout;
    const std::pair<const char*, void (NewMsg::*)()> actions[] = {
        {"A&ddress", &NewMsg::AddressAsked}, {"Op&tions", &NewMsg::OptionsAsked},
        {"&Attach", &NewMsg::AttachAsked},   {"Chec&k Names", &NewMsg::CheckNamesAsked},
        {"&Send", &NewMsg::SendAsked},
    };
    for (const auto& [caption, signal] : actions) {
        auto* b = new QPushButton(caption, this);
        buttons->addWidget(b);
        buttons_ << b;
        connect(b, &QPushButton::clicked, this, signal);
    }
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(note_, 1);
    layout->addWidget(attachments_);
    layout->addLayout(buttons);
    SetAttachments({});
    resize(560, 420);
}

QString NewMsg::To() const { return to_->text(); }
QString NewMsg::Cc() const { return cc_->text(); }
QString NewMsg::Subject() const { return subject_->text(); }
QString NewMsg::NoteText() const { return NoteOf(*note_); }
void NewMsg::SetTo(const QString& s) { to_->setText(s); }
void NewMsg::SetCc(const QString& s) { cc_->setText(s); }
void NewMsg::SetSubject(const QString& s) { subject_->setText(s); }
void NewMsg::SetNoteText(const QString& s) { SetNote(*note_, s); }

void NewMsg::SetAttachments(const std::vector<Attachment>& attachments) {
    QStringList names;
    for (const auto& a : attachments) names << AttachmentEntry(a);
    attachments_->setText("Attachments: " + names.join(", "));
    attachments_->setVisible(!attachments.empty());
}

QPushButton* NewMsg::Button(const QString& caption) const {
    for (QPushButton* b : buttons_)
        if (b->text() == caption) return b;
    return nullptr;
}

}  // namespace vrayu::mail
