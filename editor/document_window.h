// The document window (frmEditor): hosts one transliteration control, tel1,
// and gives it menus, a toolbar and the file operations. The romanized
// English text is the document; Telugu and HTML files are exports.
#pragma once

#include <QWidget>
#include <functional>
#include <memory>

#include "document_files.h"
#include "tel1.h"

class QPrinter;
class QTimer;

namespace vrayu {

class ActionSet;
class MainFrame;

inline constexpr char kSaveQuestion[] = "Would You Like to Save Text in English?";
inline constexpr char kSaveQuestionTitle[] = "Save Text";
inline constexpr char kExportTitle[] = "You are Exporting Text.";
inline constexpr char kExportQuestion[] =
    "Note: This is only an export feature. If you want to work on this file at later time for more editing "
    "you should use menu cammand File|Save instead.\r\nDo you want to continue?";
inline constexpr char kPrinterNotSelected[] = "Printer Not Selelcted.";
inline constexpr char kWordProcessorNote[] =
    "This Action will try to open a word processor on your machine with the selected Telugu Text.\r\n"
    "You should use this only to format the final document.  You still have to save the Document in "
    "Vrayu Editor for future editing.";
inline constexpr char kTitlePrefix[] = "Vrayu Editor - ";
inline constexpr char kRecoveredSuffix[] = " (recovered)";
inline constexpr char kUnsavableTitle[] = "Characters Outside 8-bit Text";
// The question before a save that 8-bit text cannot hold: the count of such
// characters in `text` and the first few of `lost`.
QString UnsavableQuestion(const QString& text, const QString& lost);

class DocumentWindow : public QWidget {
    Q_OBJECT
public:
    explicit DocumentWindow(MainFrame& frame);
    ~DocumentWindow() override;

    ActionSet& Actions() const { return *actions_; }
    // The control; null only when it could not be created.
    Tel1* Control() const { return tel1_.get(); }
    QString FileName() const { return fileName_; }
    int PictureQuality() const { return pictureQuality_; }
    // The picture file the picture export saves into and closes the picture
    // window (set only while the mail command runs; empty otherwise).
    QString PictureFileName() const { return pictureFileName_; }
    void SetPictureFileName(const QString& name) { pictureFileName_ = name; }

    // Commands other parts of the editor attach to (picture export, mail):
    // `id` is a menu id such as "mnuFileSaveBMP". Windows made later get it.
    static void RegisterCommand(const QString& id, std::function<void(DocumentWindow&)> handler);

    // True when the current operation must be abandoned (asks to save when
    // the English text changed).
    bool SaveQuestionAbandons();
    void Save();
    void SaveAs();
    void Open();
    // Open's reading step: `path` into this window (no question, no dialog).
    // False (and nothing changed) when the file cannot be read.
    bool OpenPath(const QString& path);
    // A Telugu export (.tel) read back as romanized text; the document stays
    // untitled, so saving it never overwrites the export.
    bool OpenTeluguExport(const QString& path);
    void Clear();
    void ExportTelugu();
    void ExportHTML();
    // The same without dialogs or questions (scripts through the
    // conversation server); false when nothing was written.
    bool SaveTo(const QString& path) { return tel1_ && WriteDocument(path); }
    bool ExportTeluguTo(const QString& path);
    bool ExportHTMLTo(const QString& path);
    // The Telugu pane's selection, or all of it when nothing is selected, as
    // Unicode Telugu: on the clipboard, or in a UTF-8 text file.
    void CopyAsUnicode();
    void ExportUnicode();
    void PreviewHTML();
    void Print();
    void PageSetup();
    void OpenInWordProcessor();
    // One look at unsaved work (a timer calls it every few seconds): the
    // English text, once it stayed the same since the last look, is copied
    // to the recovery store; an unchanged document has no copy.
    void WriteRecoveryCopy();
    // Puts back a document found in a recovery copy: still unsaved.
    void RestoreRecovered(const QString& fileName, const QString& text);

    // Watches the MDI child holding this window (layout minimums).
    bool eventFilter(QObject* watched, QEvent* event) override;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void Start();
    void BindActions();
    bool ExportQuestionDeclined();
    // The Telugu pane's selected glyph codes, or all of them.
    QString TeluguSelectionOrAll() const;
    // Writes the document to `path`; on success takes it as the file name.
    // Asks first when characters would be lost; false when not written.
    bool WriteDocument(const QString& path);
    void DropRecoveryCopy();
    void ToggleSel(int id);
    void SendKeys(int key);
    void Placeholder(const char* message);
    void ApplyFont();
    void SetAlignment(int alignment);

    MainFrame& frame_;
    std::unique_ptr<Tel1> tel1_;
    ActionSet* actions_;
    QString fileName_;
    DocumentFormat format_;
    int pictureQuality_ = 95;
    QString recoveryPath_;
    QString lastRecovered_;
    QString pendingRecovery_;
    QTimer* recoveryTimer_ = nullptr;
    QString pictureFileName_;
};

}  // namespace vrayu
