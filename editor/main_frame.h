// The main frame (mdiMain): holds the document windows, restores and saves
// its place, installs the product font when it is missing, and carries the
// menus and toolbar used while no document window is active.
#pragma once

#include <QMainWindow>
#include <memory>

class QMdiArea;
class QPrinter;
class QSettings;

namespace vrayu {

class ActionSet;
class DocumentWindow;

inline constexpr char kRecoveryTitle[] = "Restore Unsaved Documents";

class MainFrame : public QMainWindow {
public:
    // `settings` holds section "Settings"; it must outlive the frame.
    explicit MainFrame(QSettings& settings, QWidget* parent = nullptr);
    ~MainFrame() override;

    // Places the frame from the settings, checks the product font (installing
    // it when missing) and opens the first document window.
    void Load();
    // A new document window titled "New Document " + the next number.
    DocumentWindow* LoadNewDoc();
    // Opens each file in a document window of its own (the first one in the
    // untouched first window): romanized text as File > Open does, a Telugu
    // export (.tel) as romanized text in an untitled window. The paths that
    // could not be read are returned.
    QStringList OpenFiles(const QStringList& paths);

    QMdiArea& MdiArea() const { return *mdi_; }
    ActionSet& Actions() const { return *actions_; }
    // Document windows created so far in this run (never decreases).
    int DocumentCount() const { return documentCount_; }
    DocumentWindow* ActiveDocument() const;
    QList<DocumentWindow*> Documents() const;

    // The about message, shared with the document windows.
    void ShowAbout(QWidget* parent);
    void ShowOptions();
    // Shows the menus of `document`, or the frame's own when it is null.
    void ShowMenusOf(DocumentWindow* document);
    // Shows or hides the status bar and keeps every "Status Bar" check mark
    // (the frame's and each document window's) in step.
    void SetStatusBarShown(bool shown);
    // Makes the "&Window" menu among `menus` end with the list of document
    // windows, the active one checked; choosing one activates it.
    void AttachWindowList(const QList<QMenu*>& menus);
    // The printer of this run: what the user chose in Page Setup or Print
    // (in any window) stays for the next Print.
    QPrinter& Printer();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void BindActions();
    void GrowToShow(DocumentWindow* document);
    QSize MdiAreaEstimate() const;
    // Offers back the unsaved documents of an editor that did not close normally.
    void OfferRecovery();
    void Placeholder(const char* message);

    QSettings& settings_;
    // Where Load placed the frame, in twips and as the pixels that gave:
    // an edge the user did not move is saved as it was read (no rounding
    // drift from run to run).
    float placedTwips_[4] = {};
    int placedPixels_[4] = {};
    QMdiArea* mdi_;
    ActionSet* actions_;
    int documentCount_ = 0;
    std::unique_ptr<QPrinter> printer_;
};

}  // namespace vrayu
