// Every modal question the editor or the control asks goes through Dialogs:
// a Qt implementation for people, a scripted one (answers given in advance)
// for tests. The shape follows the message box, input box and common dialogs
// the code was written against: results are the classic button codes, a
// cancelled common dialog returns no value.
#pragma once

#include <QColor>
#include <QString>
#include <optional>

class QWidget;
class QPrinter;

namespace vrayu {

// Message box buttons and icons, combined by addition as in the classic API.
enum MsgBoxStyle : int {
    kOKOnly = 0,
    kOKCancel = 1,
    kAbortRetryIgnore = 2,
    kYesNoCancel = 3,
    kYesNo = 4,
    kRetryCancel = 5,
    kCritical = 16,
    kQuestion = 32,
    kExclamation = 48,
    kInformation = 64,
};

// Message box answers.
enum MsgBoxResult : int { kOK = 1, kCancel = 2, kAbort = 3, kRetry = 4, kIgnore = 5, kYes = 6, kNo = 7 };

// How a dialog that can fail ended: accepted (error 0), cancelled, or failed
// with an error number and its description. Numbers follow the classic
// common dialog, which reports a cancel as error 32755.
struct DialogStatus {
    int error = 0;
    QString description;

    bool Accepted() const { return error == 0; }
    bool Cancelled() const;
};

inline constexpr int kDialogCancelError = 32755;
inline constexpr char kDialogCancelDescription[] = "Cancel was selected.";
inline constexpr int kNoPrinterError = 28663;
inline constexpr char kNoPrinterDescription[] = "No default printer.";

inline bool DialogStatus::Cancelled() const { return error == kDialogCancelError; }
inline DialogStatus DialogCancelled() { return {kDialogCancelError, QString::fromLatin1(kDialogCancelDescription)}; }

struct FontChoice {
    QString name;
    double size = 0;
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strikeout = false;
    QColor color;
};

class Dialogs {
public:
    virtual ~Dialogs() = default;

    // Returns one of MsgBoxResult.
    virtual int MsgBox(QWidget* parent, const QString& prompt, int style, const QString& title) = 0;
    // Returns the text typed, or "" when cancelled (as the classic input box).
    virtual QString InputBox(QWidget* parent, const QString& prompt, const QString& title,
                             const QString& defaultText) = 0;
    // `filter` is in the Windows form "Text Files (*.txt)|*.txt|All (*.*)|*.*";
    // `filterIndex` is 1-based. No value when cancelled.
    virtual std::optional<QString> OpenFile(QWidget* parent, const QString& title, const QString& filter,
                                            int filterIndex, const QString& initialPath) = 0;
    virtual std::optional<QString> SaveFile(QWidget* parent, const QString& title, const QString& filter,
                                            int filterIndex, const QString& initialPath) = 0;
    virtual std::optional<FontChoice> ChooseFont(QWidget* parent, const FontChoice& initial) = 0;
    virtual std::optional<QColor> ChooseColor(QWidget* parent, const QColor& initial) = 0;
    // Lets the user pick and set up `printer`; false when cancelled or no
    // printer is available.
    virtual bool ChoosePrinter(QWidget* parent, QPrinter& printer) = 0;
    // Lets the user set up the page of `printer` (paper, orientation,
    // margins); `printer` keeps the choices only when the dialog is accepted.
    virtual DialogStatus PageSetup(QWidget* parent, QPrinter& printer) = 0;
};

// The dialogs in force for the whole process (the Qt ones unless a test or
// host installed others). Never null.
Dialogs& CurrentDialogs();
// Installs `dialogs` (not owned); nullptr restores the Qt dialogs.
void SetDialogs(Dialogs* dialogs);

// "Text Files (*.txt)|*.txt|All Files (*.*)|*.*" -> "Text Files (*.txt);;All Files (*)":
// the description keeps its name, the patterns come from the pattern field,
// and "*.*" becomes "*" (every file, with or without a dot).
QString QtFilterFromWindows(const QString& windowsFilter);

}  // namespace vrayu
