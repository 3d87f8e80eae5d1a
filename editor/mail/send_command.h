// "Sen&d..." of the document window: asks for the mail format (frmSendType,
// "Mail Format"), prepares the document as note text, as an HTML attachment
// or as a JPEG attachment, and hands it to the mail client.
#pragma once

#include <QDialog>
#include <functional>

class QRadioButton;

namespace vrayu {
class DocumentWindow;
}

namespace vrayu::mail {

// The note texts put at the top of a sent document (two lines, CR LF each).
QString TextNote(const QString& site);
QString HtmlNote(const QString& site);
QString JpegNote(const QString& site);

class SendTypeDialog : public QDialog {
    Q_OBJECT
public:
    explicit SendTypeDialog(bool jpegAvailable, QWidget* parent = nullptr);
    // "text", "html", "jpg" or "cancel"; "text" until a button is pressed.
    QString MailFormat() const { return mailFormat_; }
    QRadioButton* Option(const QString& name) const;  // "optHtml", "optjpg", "optText"

    void accept() override;
    // The close box and Escape count as "&Cancel".
    void reject() override;

private:
    QString mailFormat_ = "text";
};

struct SendHooks {
    // Shows the format dialog modally and returns MailFormat (tests answer here).
    std::function<QString(QWidget* parent, bool jpegAvailable)> askFormat;
    // Saves the document window's Telugu text as a JPEG picture into `path`
    // (the picture export with its file name set); empty when the editor has
    // no picture export, which leaves the JPEG format off.
    std::function<void(DocumentWindow& window, const QString& path)> exportJpeg;
};

// The send command on `window`.
void SendDocument(DocumentWindow& window, const SendHooks& hooks);
// Attaches the command to "mnuFileSend" of every document window made from now on.
void InstallSendCommand(SendHooks hooks);

}  // namespace vrayu::mail
