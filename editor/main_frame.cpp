#include "main_frame.h"

#include <QAction>
#include <QCloseEvent>
#include <QFile>
#include <QFileInfo>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPrinter>
#include <QScreen>
#include <QSettings>
#include <QStatusBar>
#include <QToolBar>
#include <algorithm>
#include <cmath>

#include "action_set.h"
#include "app_info.h"
#include "browser_launch.h"
#include "dialogs.h"
#include "document_files.h"
#include "document_window.h"
#include "font_install.h"
#include "frame_settings.h"
#include "mdi_arrange.h"
#include "menu_tables.h"
#include "options_dialog.h"
#include "print_job.h"
#include "recovery_store.h"

namespace vrayu {
namespace {

int ToPixels(float twips) { return static_cast<int>(std::lround(twips / TwipsPerPixel())); }
float ToTwips(int pixels) { return static_cast<float>(std::lround(pixels * TwipsPerPixel())); }

}  // namespace

MainFrame::MainFrame(QSettings& settings, QWidget* parent)
    : QMainWindow(parent), settings_(settings), mdi_(new QMdiArea(this)) {
    setObjectName("mdiMain");
    setWindowTitle(kEditorCaption);
    mdi_->setObjectName("mdiArea");
    // Windows kept at their minimum may not fit: scroll to them.
    mdi_->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    mdi_->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setCentralWidget(mdi_);
    actions_ = new ActionSet(this, FrameMenuTable(), FrameToolbarTable());
    addToolBar(actions_->ToolBar());
    statusBar()->setObjectName("sbStatusBar");
    statusBar()->showMessage("Ready");
    BindActions();
    AttachWindowList(actions_->Menus());
    ShowMenusOf(nullptr);
    connect(mdi_, &QMdiArea::subWindowActivated, this,
            [this](QMdiSubWindow* sub) { ShowMenusOf(sub ? qobject_cast<DocumentWindow*>(sub->widget()) : nullptr); });
}

MainFrame::~MainFrame() {
    // Children going away activate one another; the menus need not follow.
    disconnect(mdi_, nullptr, this, nullptr);
}

void MainFrame::Load() {
    const FrameTwips place = ReadFrameSettings(settings_);
    move(ToPixels(place.left), ToPixels(place.top));
    resize(ToPixels(place.width), ToPixels(place.height));
    const float twips[4] = {place.left, place.top, place.width, place.height};
    const int pixels[4] = {x(), y(), width(), height()};
    std::copy(twips, twips + 4, placedTwips_);
    std::copy(pixels, pixels + 4, placedPixels_);
    if (!ProductFontInstalled()) InstallMyFont();
    DocumentWindow* first = LoadNewDoc();
    if (!place.stored) GrowToShow(first);
    OfferRecovery();
}

void MainFrame::GrowToShow(DocumentWindow* document) {
    // First run: the default place grown just enough for one whole document
    // window (the control's whole top row, both panes laid out), within the
    // screen.
    if (!document || !document->parentWidget()) return;
    QWidget* sub = document->parentWidget();
    QSize whole = sub->minimumSize();
    if (QWidget* control = document->Control() ? document->Control()->Widget() : nullptr)
        whole = whole.expandedTo(control->sizeHint() + (sub->minimumSize() - control->minimumSize()));
    const QSize area = isVisible() ? mdi_->viewport()->size() : MdiAreaEstimate();
    const QSize missing = (whole + QSize(2, 2) - area).expandedTo(QSize(0, 0));
    QSize wanted = size() + missing;
    if (const QScreen* screen = this->screen()) wanted = wanted.boundedTo(screen->availableGeometry().size());
    if (missing.width() > 0 || missing.height() > 0) resize(wanted);
    sub->resize(sub->size().expandedTo(whole.boundedTo(area + missing)));
    sub->move(0, 0);
}

QSize MainFrame::MdiAreaEstimate() const {
    // Before the frame is shown its layout has not run: the frame less its
    // menu bar, toolbar and status bar.
    const int toolbar = actions_->ToolBar()->isHidden() ? 0 : actions_->ToolBar()->sizeHint().height();
    const int bars = menuBar()->sizeHint().height() + toolbar + statusBar()->sizeHint().height() + 4;
    return QSize(width() - 4, height() - bars);
}

void MainFrame::OfferRecovery() {
    const QList<RecoveredDocument> found = OrphanedRecoveryCopies();
    if (found.isEmpty()) return;
    const QString question =
        QStringLiteral("Vrayu Editor did not close normally. %1 unsaved document(s) were kept.").arg(found.size()) +
        kCrLf + "Do you want to restore them?";
    const bool restore = CurrentDialogs().MsgBox(this, question, kYesNo | kQuestion, kRecoveryTitle) == kYes;
    for (const RecoveredDocument& doc : found) {
        if (restore) {
            if (DocumentWindow* window = LoadNewDoc()) window->RestoreRecovered(doc.fileName, doc.text);
        }
        QFile::remove(doc.path);
    }
}

DocumentWindow* MainFrame::LoadNewDoc() {
    ++documentCount_;
    auto* document = new DocumentWindow(*this);
    QMdiSubWindow* sub = mdi_->addSubWindow(document);
    sub->setAttribute(Qt::WA_DeleteOnClose);
    sub->installEventFilter(document);
    document->setWindowTitle(QStringLiteral("New Document %1").arg(documentCount_));
    // Never smaller than the window whose control lays out both panes.
    sub->setMinimumSize(sub->minimumSizeHint().expandedTo(document->minimumSizeHint()));
    // A new child takes most of the area, as document windows usually do
    // (the area is not laid out yet while the frame loads: estimate it), and
    // lies inside the visible area, a step below and right of the last one.
    const QSize area = isVisible() ? mdi_->viewport()->size() : MdiAreaEstimate();
    sub->resize(QSize(area.width() * 9 / 10, area.height() * 9 / 10).expandedTo(sub->minimumSize()));
    const int step = 24 * ((documentCount_ - 1) % 5);
    QPoint at(step, step);
    if (at.x() + sub->width() > area.width()) at.setX(std::max(0, area.width() - sub->width()));
    if (at.y() + sub->height() > area.height()) at.setY(std::max(0, area.height() - sub->height()));
    sub->move(at);
    sub->show();
    mdi_->setActiveSubWindow(sub);
    ShowMenusOf(document);
    return document;
}

QStringList MainFrame::OpenFiles(const QStringList& paths) {
    QStringList unread;
    for (const QString& path : paths) {
        // No window for a file that cannot be read.
        const QFileInfo file(path);
        if (!file.isFile() || !file.isReadable()) {
            unread << path;
            continue;
        }
        // The first window still shows its welcome text, untouched: use it.
        DocumentWindow* window = ActiveDocument();
        const bool untouchedFirst = window && Documents().size() == 1 && window->FileName().isEmpty() &&
                                    window->Control() && !window->Control()->EnglishChanged();
        if (!untouchedFirst) window = LoadNewDoc();
        const bool telugu = path.endsWith(".tel", Qt::CaseInsensitive);
        const QString absolute = file.absoluteFilePath();
        if (!(telugu ? window->OpenTeluguExport(absolute) : window->OpenPath(absolute))) unread << path;
    }
    return unread;
}

DocumentWindow* MainFrame::ActiveDocument() const {
    QMdiSubWindow* sub = mdi_->activeSubWindow();
    return sub ? qobject_cast<DocumentWindow*>(sub->widget()) : nullptr;
}

QList<DocumentWindow*> MainFrame::Documents() const {
    QList<DocumentWindow*> out;
    for (QMdiSubWindow* sub : mdi_->subWindowList(QMdiArea::CreationOrder)) {
        if (auto* d = qobject_cast<DocumentWindow*>(sub->widget())) out.append(d);
    }
    return out;
}

QPrinter& MainFrame::Printer() {
    if (!printer_) printer_ = std::make_unique<QPrinter>(QPrinter::HighResolution);
    return *printer_;
}

void MainFrame::ShowAbout(QWidget* parent) {
    CurrentDialogs().MsgBox(parent, AboutText(CurrentVersion()), kOKOnly | kInformation, kEditorCaption);
}

void MainFrame::ShowOptions() {
    OptionsDialog options(this);
    options.exec();
}

void MainFrame::ShowMenusOf(DocumentWindow* document) {
    // The frame's toolbar belongs with its menus: hidden while a document
    // window (which has its own) is active.
    actions_->ToolBar()->setVisible(!document && actions_->Action("mnuViewToolbar")->isChecked());
    QMenuBar* bar = menuBar();
    bar->clear();
    const QList<QMenu*>& menus = document ? document->Actions().Menus() : actions_->Menus();
    for (QMenu* menu : menus) bar->addMenu(menu);
}

void MainFrame::SetStatusBarShown(bool shown) {
    statusBar()->setVisible(shown);
    actions_->Action("mnuViewStatusBar")->setChecked(shown);
    for (DocumentWindow* d : Documents()) d->Actions().Action("mnuViewStatusBar")->setChecked(shown);
}

void MainFrame::AttachWindowList(const QList<QMenu*>& menus) {
    for (QMenu* menu : menus) {
        if (menu->title() != "&Window") continue;
        QAction* separator = menu->addSeparator();
        connect(menu, &QMenu::aboutToShow, this, [this, menu, separator] {
            // Drop the list of the last showing, then list the windows anew.
            const QList<QAction*> all = menu->actions();
            for (qsizetype i = all.indexOf(separator) + 1; i < all.size(); ++i) delete all[i];
            const QList<DocumentWindow*> documents = Documents();
            separator->setVisible(!documents.isEmpty());
            int n = 0;
            for (DocumentWindow* d : documents) {
                QAction* item = menu->addAction(QStringLiteral("&%1 %2").arg(++n).arg(d->windowTitle()));
                item->setCheckable(true);
                item->setChecked(d == ActiveDocument());
                QMdiSubWindow* sub = qobject_cast<QMdiSubWindow*>(d->parentWidget());
                connect(item, &QAction::triggered, this, [this, sub] { mdi_->setActiveSubWindow(sub); });
            }
        });
    }
}

void MainFrame::Placeholder(const char* message) { CurrentDialogs().MsgBox(this, message, kOKOnly, kAppTitle); }

void MainFrame::BindActions() {
    ActionSet& a = *actions_;
    a.Bind("mnuFileNew", [this] { LoadNewDoc(); });
    a.Bind("mnuFileOpen", [this] {
        // With no document window to take it, the chosen file opens in a new one.
        const std::optional<QString> name = CurrentDialogs().OpenFile(this, "Open", "All Files (*.*)|*.*", 1, "");
        if (name && !name->isEmpty() && !ActiveDocument()) LoadNewDoc()->OpenPath(*name);
    });
    a.Bind("mnuFileSaveAs", [this] { CurrentDialogs().SaveFile(this, "Save As", "All Files (*.*)|*.*", 1, ""); });
    a.Bind("mnuFilePageSetup", [this] { RunPageSetup(this, Printer()); });
    for (const auto& [id, message] : FramePlaceholderTable()) a.Bind(id, [this, message] { Placeholder(message); });
    a.Bind("mnuFileExit", [this] { close(); });
    a.Bind("mnuViewToolbar", [this, &a] { actions_->ToolBar()->setVisible(a.Action("mnuViewToolbar")->isChecked()); });
    a.Bind("mnuViewStatusBar", [this, &a] { SetStatusBarShown(a.Action("mnuViewStatusBar")->isChecked()); });
    a.Bind("mnuViewOptions", [this] { ShowOptions(); });
    a.Bind("mnuViewWebBrowser", [] { OpenProductSite(); });
    a.Bind("mnuWindowCascade", [this] { mdi_->cascadeSubWindows(); });
    a.Bind("mnuWindowTileHorizontal", [this] { TileHorizontal(*mdi_); });
    a.Bind("mnuWindowTileVertical", [this] { TileVertical(*mdi_); });
    a.Bind("mnuWindowArrangeIcons", [this] { ArrangeIcons(*mdi_); });
    a.Bind("mnuHelpContents", [] { OpenHelpPage(); });
    a.Bind("mnuHelpSearch", [] { OpenHelpPage(); });
    a.Bind("mnuHelpAbout", [this] { ShowAbout(this); });
}

void MainFrame::closeEvent(QCloseEvent* event) {
    // Each document window may ask to save. All are asked before any closes,
    // so one Cancel keeps the frame and every window open.
    const QList<DocumentWindow*> documents = Documents();
    for (DocumentWindow* document : documents) {
        if (document->SaveQuestionAbandons()) {
            event->ignore();
            return;
        }
    }
    for (DocumentWindow* document : documents) {
        if (!document->parentWidget()->close()) {
            event->ignore();
            return;
        }
    }
    if (!isMinimized()) {
        const int pixels[4] = {x(), y(), width(), height()};
        float twips[4];
        for (int i = 0; i < 4; ++i) twips[i] = pixels[i] == placedPixels_[i] ? placedTwips_[i] : ToTwips(pixels[i]);
        WriteFrameSettings(settings_, {twips[0], twips[1], twips[2], twips[3]});
    }
    event->accept();
}

}  // namespace vrayu
