#include "document_window.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QFileInfo>
#include <QGuiApplication>
#include <QHash>
#include <QKeyEvent>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPrinter>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>
#include <QVBoxLayout>
#include <cmath>

#include "action_set.h"
#include "app_info.h"
#include "browser_launch.h"
#include "dialogs.h"
#include "document_files.h"
#include "frame_settings.h"
#include "main_frame.h"
#include "mdi_arrange.h"
#include "menu_tables.h"
#include "print_job.h"
#include "program_dir.h"
#include "recovery_store.h"
#include "unicode_text.h"

namespace vrayu {
namespace {

// A document window is never made smaller than this, in twips.
constexpr double kMinimumTwips = 4400;
// How often unsaved work is looked at; a copy is written once the text has
// stayed the same for one interval.
constexpr int kRecoveryIntervalMs = 2000;

QHash<QString, std::function<void(DocumentWindow&)>>& RegisteredCommands() {
    static QHash<QString, std::function<void(DocumentWindow&)>> commands;
    return commands;
}

// OLE colour: red in the low byte.
qint64 OleColor(const QColor& c) { return c.red() | (c.green() << 8) | (c.blue() << 16); }

// Whole pixels that are at least the minimum in twips.
int MinimumPixels() { return static_cast<int>(std::ceil(kMinimumTwips / TwipsPerPixel() - 1e-9)); }

}  // namespace

DocumentWindow::DocumentWindow(MainFrame& frame) : QWidget(nullptr), frame_(frame) {
    setObjectName("frmEditor");
    actions_ = new ActionSet(this, DocumentMenuTable(), DocumentToolbarTable());
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(actions_->ToolBar());
    tel1_ = Tel1::Create(this);
    if (tel1_) {
        tel1_->Widget()->setObjectName("tel1");
        // The control lays out its own children; the window, not the
        // control's design size, decides how big it is, but never so small
        // that the control stops laying out its panes (4400 twips each way).
        tel1_->Widget()->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Ignored);
        tel1_->Widget()->setMinimumSize(MinimumPixels(), MinimumPixels());
        layout->addWidget(tel1_->Widget(), 1);
    } else {
        auto* missing = new QLabel("The transliteration control (libVrayu.so) could not be loaded.", this);
        missing->setAlignment(Qt::AlignCenter);
        layout->addWidget(missing, 1);
    }
    BindActions();
    frame_.AttachWindowList(actions_->Menus());
    actions_->Action("mnuViewStatusBar")->setChecked(!frame_.statusBar()->isHidden());
    Start();
    recoveryPath_ = NewRecoveryPath();
    recoveryTimer_ = new QTimer(this);
    recoveryTimer_->setInterval(kRecoveryIntervalMs);
    connect(recoveryTimer_, &QTimer::timeout, this, &DocumentWindow::WriteRecoveryCopy);
    recoveryTimer_->start();
}

// A window that goes away normally was saved or let go by its user.
DocumentWindow::~DocumentWindow() { DropRecoveryCopy(); }

void DocumentWindow::WriteRecoveryCopy() {
    if (!tel1_) return;
    if (!tel1_->EnglishChanged()) {
        DropRecoveryCopy();
        return;
    }
    // Idle: the text stayed as it was since the last look.
    const QString text = tel1_->TextEnglish();
    if (text == lastRecovered_) return;
    if (text != pendingRecovery_) {
        pendingRecovery_ = text;
        return;
    }
    if (vrayu::WriteRecoveryCopy(recoveryPath_, fileName_, text)) lastRecovered_ = text;
}

void DocumentWindow::DropRecoveryCopy() {
    if (!lastRecovered_.isNull() || QFile::exists(recoveryPath_)) QFile::remove(recoveryPath_);
    lastRecovered_ = QString();
    pendingRecovery_ = QString();
}

void DocumentWindow::RestoreRecovered(const QString& fileName, const QString& text) {
    if (!tel1_) return;
    fileName_ = fileName;
    tel1_->SetTextEnglish(text);
    tel1_->ConvertNow();
    tel1_->SetEnglishChanged(true);
    setWindowTitle((fileName.isEmpty() ? windowTitle() : fileName) + kRecoveredSuffix);
}

void DocumentWindow::RegisterCommand(const QString& id, std::function<void(DocumentWindow&)> handler) {
    RegisteredCommands().insert(id, std::move(handler));
}

void DocumentWindow::Start() {
    fileName_.clear();
    pictureQuality_ = 95;
    if (!tel1_) return;
    tel1_->SetTextEnglish(WelcomeText(CurrentVersion()));
    tel1_->ConvertNow();
    tel1_->SetAutoConvert(false);
    tel1_->SetTextEnglish(kInstructionText);
    tel1_->SetAutoConvert(true);
    tel1_->SetEnglishChanged(false);
}

bool DocumentWindow::SaveQuestionAbandons() {
    if (!tel1_ || !tel1_->EnglishChanged()) return false;
    switch (CurrentDialogs().MsgBox(this, kSaveQuestion, kYesNoCancel | kQuestion, kSaveQuestionTitle)) {
        case kYes: SaveAs(); return tel1_->EnglishChanged();
        case kNo: tel1_->SetEnglishChanged(false); return false;
        default: return true;
    }
}

QString UnsavableQuestion(const QString& text, const QString& lost) {
    qsizetype count = 0;
    for (QChar c : text) count += c.unicode() > 0xff ? 1 : 0;
    QString shown;
    for (qsizetype i = 0; i < lost.size() && i < 5; ++i) shown += (i ? " " : "") + QString(lost[i]);
    if (lost.size() > 5) shown += " ...";
    return QStringLiteral("%1 character(s) of this text cannot be saved as 8-bit text: %2").arg(count).arg(shown) +
           kCrLf + "Yes saves the file as UTF-8 and keeps them; No writes each of them as \"?\"; Cancel does not save.";
}

bool DocumentWindow::WriteDocument(const QString& path) {
    const QString text = tel1_->TextEnglish();
    DocumentFormat format = format_;
    if (!format.utf8) {
        const QString lost = UnsavableCharacters(text);
        if (!lost.isEmpty()) {
            switch (CurrentDialogs().MsgBox(this, UnsavableQuestion(text, lost), kYesNoCancel | kExclamation,
                                            kUnsavableTitle)) {
                case kYes: format.utf8 = true; break;
                case kNo: break;
                default: return false;  // the document stays unsaved
            }
        }
    }
    if (!WriteFileAtomically(path, DocumentBytes(text, format))) return false;
    format_ = format;
    fileName_ = path;
    tel1_->SetEnglishChanged(false);
    setWindowTitle(kTitlePrefix + path);
    DropRecoveryCopy();
    return true;
}

void DocumentWindow::Save() {
    if (!tel1_) return;
    if (!fileName_.isEmpty()) {
        WriteDocument(fileName_);
        return;
    }
    std::optional<QString> name = CurrentDialogs().SaveFile(this, "Save in English", kDocumentFilter, 1, "");
    if (!name || name->isEmpty()) return;
    *name = WithFilterExtension(*name, kDocumentFilter);
    if (QFileInfo::exists(*name)) {
        const QString question = "File " + *name + " Already Exists." + kCrLf + "Do you want to overwrite it?";
        if (CurrentDialogs().MsgBox(this, question, kYesNo, "File Exists") != kYes) return;
    }
    WriteDocument(*name);
}

void DocumentWindow::SaveAs() {
    if (!tel1_) return;
    const std::optional<QString> name =
        CurrentDialogs().SaveFile(this, "Save in English", kDocumentFilter, 1, fileName_);
    if (!name || name->isEmpty()) return;
    WriteDocument(WithFilterExtension(*name, kDocumentFilter));
}

void DocumentWindow::Open() {
    if (!tel1_ || SaveQuestionAbandons()) return;
    const std::optional<QString> name = CurrentDialogs().OpenFile(this, "Open", kOpenFilter, 1, fileName_);
    if (!name || name->isEmpty()) return;
    OpenPath(*name);
}

bool DocumentWindow::OpenPath(const QString& path) {
    if (!tel1_) return false;
    const std::optional<QString> name = path;
    // Read before touching the pane: a file that cannot be read changes nothing.
    const std::optional<QByteArray> bytes = ReadWholeFile(*name);
    if (!bytes) return false;
    const DocumentText read = DocumentTextFromBytes(*bytes);
    tel1_->SetTextEnglish("");
    fileName_ = *name;
    format_ = read.format;
    setWindowTitle(*name);
    // The opened text starts from the pane's plain look, not the colour and
    // alignment the previous document left at the caret.
    tel1_->SetTextTelugu("");
    tel1_->Put(dispid::SelColor, 0);
    tel1_->Put(dispid::SelAlignment, 0);
    for (int id : {dispid::SelBold, dispid::SelItalic, dispid::SelUnderline}) tel1_->Put(id, false);
    tel1_->SetTextEnglish(read.text);
    tel1_->SetEnglishChanged(false);
    tel1_->ConvertNow();
    DropRecoveryCopy();
    return true;
}

bool DocumentWindow::OpenTeluguExport(const QString& path) {
    if (!tel1_) return false;
    const std::optional<QByteArray> bytes = ReadWholeFile(path);
    if (!bytes) return false;
    tel1_->SetTextEnglish(DocumentTextFromTeluguExport(*bytes).text);
    tel1_->ConvertNow();
    return true;
}

void DocumentWindow::Clear() {
    if (!tel1_ || SaveQuestionAbandons()) return;
    tel1_->SetTextTelugu("");
    tel1_->SetTextEnglish("");
    tel1_->SetTextHTML("");
    tel1_->SetEnglishChanged(false);
    fileName_.clear();
    format_ = DocumentFormat{};
    setWindowTitle(QString(kTitlePrefix) + "Untitled");
    DropRecoveryCopy();
}

bool DocumentWindow::ExportQuestionDeclined() {
    return CurrentDialogs().MsgBox(this, kExportQuestion, kYesNo, kExportTitle) != kYes;
}

void DocumentWindow::ExportTelugu() {
    if (!tel1_ || ExportQuestionDeclined()) return;
    const std::optional<QString> name = CurrentDialogs().SaveFile(this, "Save in Telugu", kTeluguFilter, 1, "");
    if (!name || name->isEmpty()) return;
    WriteFileAtomically(WithFilterExtension(*name, kTeluguFilter), TeluguExportBytes(tel1_->TextTelugu()));
}

void DocumentWindow::ExportHTML() {
    if (!tel1_) return;
    tel1_->Convert2HTML();
    if (ExportQuestionDeclined()) return;
    const std::optional<QString> name = CurrentDialogs().SaveFile(this, "Save As HTML", kHtmlFilter, 1, "");
    if (!name || name->isEmpty()) return;
    WriteFileAtomically(WithFilterExtension(*name, kHtmlFilter), HtmlExportBytes(tel1_->TextHTML()));
}

bool DocumentWindow::ExportTeluguTo(const QString& path) {
    return tel1_ && WriteFileAtomically(path, TeluguExportBytes(tel1_->TextTelugu()));
}

bool DocumentWindow::ExportHTMLTo(const QString& path) {
    if (!tel1_) return false;
    tel1_->Convert2HTML();
    return WriteFileAtomically(path, HtmlExportBytes(tel1_->TextHTML()));
}

void DocumentWindow::PreviewHTML() {
    if (!tel1_) return;
    tel1_->Convert2HTML();
    const QString path = WritableProgramFile("temp.htm");
    if (!WriteFileAtomically(path, HtmlExportBytes(tel1_->TextHTML()))) return;
    LaunchBrowser("file://" + path);
}

void DocumentWindow::Print() {
    if (!tel1_) return;
    QPrinter& printer = frame_.Printer();
    if (!CurrentDialogs().ChoosePrinter(this, printer)) return;
    if (!PrinterSelected(printer)) {
        CurrentDialogs().MsgBox(this, kPrinterNotSelected, kOKOnly, kAppTitle);
        return;
    }
    PrintSelection(*tel1_, printer);
}

void DocumentWindow::PageSetup() { RunPageSetup(this, frame_.Printer()); }

void DocumentWindow::OpenInWordProcessor() {
    if (!tel1_) return;
    CurrentDialogs().MsgBox(this, kWordProcessorNote, kOKOnly, kAppTitle);
    if (tel1_->Get(dispid::SelLength).toInt() == 0) {
        tel1_->Put(dispid::SelStart, 0);
        tel1_->Put(dispid::SelLength, static_cast<int>(tel1_->TextTelugu().size()));
    }
    const QString path = WritableProgramFile("temp.rtf");
    if (!WriteFileAtomically(path, RtfExportBytes(tel1_->Get(dispid::SelRTF).toString()))) return;
    OpenWithDefaultProgram(path);
}

QString DocumentWindow::TeluguSelectionOrAll() const {
    if (tel1_->Get(dispid::SelLength).toInt() > 0) return tel1_->Get(dispid::SelText).toString();
    return tel1_->TextTelugu();
}

void DocumentWindow::CopyAsUnicode() {
    if (!tel1_) return;
    QGuiApplication::clipboard()->setText(UnicodeClipboardText(UnicodeFromGlyphText(TeluguSelectionOrAll())));
}

void DocumentWindow::ExportUnicode() {
    if (!tel1_ || ExportQuestionDeclined()) return;
    // Taken before the dialog: the selection is what the user meant to export.
    const QString unicode = UnicodeFromGlyphText(TeluguSelectionOrAll());
    const std::optional<QString> name = CurrentDialogs().SaveFile(this, "Save As Unicode Text", kUnicodeFilter, 1, "");
    if (!name || name->isEmpty()) return;
    WriteFileAtomically(WithFilterExtension(*name, kUnicodeFilter), UnicodeExportBytes(unicode));
}

void DocumentWindow::ToggleSel(int id) {
    if (!tel1_) return;
    const QVariant current = tel1_->Get(id);
    const bool isTrue = !current.isNull() && current.toBool();
    tel1_->Put(id, !isTrue);
}

void DocumentWindow::ApplyFont() {
    if (!tel1_) return;
    const QVariant name = tel1_->Get(dispid::SelFontName);
    const QVariant size = tel1_->Get(dispid::SelFontSize);
    const QVariant bold = tel1_->Get(dispid::SelBold);
    const QVariant italic = tel1_->Get(dispid::SelItalic);
    FontChoice initial;
    initial.name = name.isNull() ? QString("Vrayu") : name.toString();
    initial.size = size.isNull() ? 14.0 : size.toDouble();
    initial.bold = !bold.isNull() && bold.toBool();
    initial.italic = !italic.isNull() && italic.toBool();
    const std::optional<FontChoice> chosen = CurrentDialogs().ChooseFont(this, initial);
    if (!chosen) return;
    tel1_->Put(dispid::SelFontName, chosen->name);
    tel1_->Put(dispid::SelFontSize, chosen->size);
    tel1_->Put(dispid::SelBold, chosen->bold);
    tel1_->Put(dispid::SelItalic, chosen->italic);
}

void DocumentWindow::SetAlignment(int alignment) {
    if (tel1_) tel1_->Put(dispid::SelAlignment, alignment);
}

void DocumentWindow::SendKeys(int key) {
    QWidget* target = QApplication::focusWidget();
    if (!target || !isAncestorOf(target)) return;
    const QString text(QChar(key - Qt::Key_A + 1));  // the control character Ctrl+key types
    QKeyEvent press(QEvent::KeyPress, key, Qt::ControlModifier, text);
    QKeyEvent release(QEvent::KeyRelease, key, Qt::ControlModifier, text);
    QApplication::sendEvent(target, &press);
    QApplication::sendEvent(target, &release);
}

void DocumentWindow::Placeholder(const char* message) { CurrentDialogs().MsgBox(this, message, kOKOnly, kAppTitle); }

void DocumentWindow::BindActions() {
    ActionSet& a = *actions_;
    a.Bind("mnuFileNew", [this] { frame_.LoadNewDoc(); });
    a.Bind("mnuFileOpen", [this] { Open(); });
    a.Bind("mnuFileClear", [this] { Clear(); });
    a.Bind("mnuFileClose", [this] {
        if (parentWidget()) parentWidget()->close();
        else close();
    });
    a.Bind("mnuFileSave", [this] { Save(); });
    a.Bind("mnuFileSaveAs", [this] { SaveAs(); });
    a.Bind("mnuFileSaveTelugu", [this] { ExportTelugu(); });
    a.Bind("mnuFileSaveHTML", [this] { ExportHTML(); });
    a.Bind("mnuFileSaveUnicode", [this] { ExportUnicode(); });
    a.Bind("mnuFilePreviewHTML", [this] { PreviewHTML(); });
    a.Bind("mnuFilePageSetup", [this] { PageSetup(); });
    a.Bind("mnuFilePrint", [this] { Print(); });
    a.Bind("mnuFileExit", [this] {
        // Other windows (the picture window among them) close with the frame;
        // a Cancel to a save question keeps everything open.
        MainFrame& frame = frame_;  // this window may be gone once the frame closes
        if (!frame.close()) return;
        QApplication::closeAllWindows();
        QApplication::quit();
    });
    // Other parts of the editor plug in here; without them the item is off.
    for (const char* id : {"mnuFileSaveBMP", "mnuFileSend"}) {
        const auto handler = RegisteredCommands().value(id);
        a.Action(id)->setEnabled(static_cast<bool>(handler));
        if (handler) a.Bind(id, [this, handler] { handler(*this); });
    }
    for (const auto& [id, message] : DocumentPlaceholderTable()) a.Bind(id, [this, message] { Placeholder(message); });
    a.Bind("mnuEditUndo", [this] { SendKeys(Qt::Key_Z); });
    a.Bind("mnuEditCut", [this] { SendKeys(Qt::Key_X); });
    a.Bind("mnuEditCopy", [this] { SendKeys(Qt::Key_C); });
    a.Bind("mnuEditCopyUnicode", [this] { CopyAsUnicode(); });
    a.Bind("mnuEditPaste", [this] { SendKeys(Qt::Key_V); });
    a.Bind("mnuViewToolbar",
           [this] { actions_->ToolBar()->setVisible(actions_->Action("mnuViewToolbar")->isChecked()); });
    a.Bind("mnuViewStatusBar", [this] { frame_.SetStatusBarShown(actions_->Action("mnuViewStatusBar")->isChecked()); });
    a.Bind("mnuViewWebBrowser", [] { OpenProductSite(); });
    a.Bind("mnuConvertAuto", [this] {
        if (tel1_) tel1_->SetAutoConvert(actions_->Action("mnuConvertAuto")->isChecked());
    });
    a.Bind("mnuConvertNow", [this] {
        if (tel1_) tel1_->ConvertNow();
    });
    a.Bind("mnuFormatFont", [this] { ApplyFont(); });
    a.Bind("mnuFormatBold", [this] { ToggleSel(dispid::SelBold); });
    a.Bind("mnuFormatItalic", [this] { ToggleSel(dispid::SelItalic); });
    a.Bind("mnuFormatUnderLine", [this] { ToggleSel(dispid::SelUnderline); });
    a.Bind("mnuFormatTextColor", [this] {
        if (!tel1_) return;
        if (const auto c = CurrentDialogs().ChooseColor(this, Qt::black)) tel1_->Put(dispid::SelColor, OleColor(*c));
    });
    a.Bind("mnuFormatBackColor", [this] {
        if (!tel1_) return;
        if (const auto c = CurrentDialogs().ChooseColor(this, Qt::white))
            tel1_->Put(dispid::TeluguBackColor, OleColor(*c));
    });
    a.Bind("mnuFormatWordProcessor", [this] { OpenInWordProcessor(); });
    a.Bind("mnuWindowCascade", [this] { frame_.MdiArea().cascadeSubWindows(); });
    a.Bind("mnuWindowTileHorizontal", [this] { TileHorizontal(frame_.MdiArea()); });
    a.Bind("mnuWindowTileVertical", [this] { TileVertical(frame_.MdiArea()); });
    a.Bind("mnuWindowArrangeIcons", [this] { ArrangeIcons(frame_.MdiArea()); });
    a.Bind("mnuHelpContents", [] { OpenHelpPage(); });
    a.Bind("mnuHelpSearch", [] { OpenHelpPage(); });
    a.Bind("mnuHelpCheckUpdates", [] { OpenUpdateCheck(); });
    a.Bind("mnuHelpAbout", [this] { frame_.ShowAbout(this); });
    a.Bind("tbLeft", [this] { SetAlignment(0); });
    a.Bind("tbCenter", [this] { SetAlignment(2); });
    a.Bind("tbRight", [this] { SetAlignment(1); });
}

bool DocumentWindow::eventFilter(QObject* watched, QEvent* event) {
    // The frame around this window (its MDI child) never gets smaller than
    // the minimum unless minimized or maximized.
    auto* sub = qobject_cast<QMdiSubWindow*>(watched);
    if (sub && event->type() == QEvent::Resize && !sub->isMinimized() && !sub->isMaximized()) {
        const int minimum = MinimumPixels();
        if (sub->width() < minimum || sub->height() < minimum)
            sub->resize(std::max(sub->width(), minimum), std::max(sub->height(), minimum));
    }
    return QWidget::eventFilter(watched, event);
}

void DocumentWindow::closeEvent(QCloseEvent* event) {
    if (SaveQuestionAbandons()) {
        event->ignore();
        return;
    }
    event->accept();
}

}  // namespace vrayu
