// The Transliterate control: an English pane where romanized Telugu is typed,
// a Telugu pane that shows it converted into the glyph codes of the Telugu
// font, and an HTML pane with the page of the Telugu text; with the top row
// of buttons, lists and view options, the address row for web page import,
// the dispatch interface and persistence.
#pragma once

#include <QFont>
#include <QWidget>
#include <memory>
#include <string>

#include "glyph_tables.h"
#include "pane_layout.h"
#include "rich_text_pane.h"
#include "served_object.h"
#include "transliterate_control.h"

class QComboBox;
class QFrame;
class QLineEdit;
class QPrinter;
class QPushButton;
class QRadioButton;
class QTextEdit;
class QToolButton;

namespace vrayu {

class TeluguPaneUpdate;
class WebFetch;

class Transliterate : public QWidget, public TransliterateControl {
    Q_OBJECT
public:
    explicit Transliterate(QWidget* parent = nullptr);
    ~Transliterate() override;

    // TransliterateControl
    QWidget* Widget() override { return this; }
    void SetEventSink(TransliterateEvents* sink) override { sink_ = sink; }
    void InitNew() override;
    HResult Load(PropertyBag& bag) override;
    HResult Save(PropertyBag& bag) override;
    QDialog* CreatePropertyPage(QWidget* parent) override;
    int GetIDsOfNames(const QString& name) const override;
    HResult Invoke(int dispid, int flags, QVariantList& args, QVariant* result, QString* errorText = nullptr) override;

    // Public fields.
    bool ib_English_changed = false;
    bool ib_Telugu_changed = false;
    bool ib_HTML_changed = false;
    bool Auto_Convert = true;

    // Operations (also reachable by dispatch).
    void ConvertNow();
    void Convert2HTML() { BuildHTMLPage(); }
    void SelPrint(QPrinter& printer) { telugu_.SelPrint(printer); }
    void SetURL(const QString& t);
    void AddURL(const QString& t);
    void anySelBold(bool on) { AnySel(on, &RichTextPane::SetSelBold); }
    void anySelItalic(bool on) { AnySel(on, &RichTextPane::SetSelItalic); }
    void anySelUnderline(bool on) { AnySel(on, &RichTextPane::SetSelUnderline); }
    void anySelSelStrikeThru(bool on) { AnySel(on, &RichTextPane::SetSelStrikeThru); }

    RichTextPane& EnglishPane() { return english_; }
    RichTextPane& TeluguPane() { return telugu_; }
    RichTextPane& HtmlPane() { return html_; }
    ViewMode View() const;
    void SetView(ViewMode view);
    // The pane that last had the focus: "English", "Telugu", "HTML" or "".
    const QString& CurrentPane() const { return currentPane_; }
    // The Telugu pane's font name: it decides the face-dependent conversion
    // rules ("|" for "abTelgu", the a-A separator for "Vrayu").
    std::string FaceName() const;
    WebFetch& Fetcher() { return *fetch_; }
    // Wide enough for the whole top row, 4400 twips high: the smallest size
    // at which every child is seen and both panes are laid out.
    QSize sizeHint() const override;
    // Twips per pixel of the screen the control is on (15 at 96 dpi).
    double TwipsPerPixel() const;
    const PaneGeometry& Geometry() const { return geometry_; }

    // Handlers of the child controls (public so tests can drive them).
    void OnConvertClicked();
    void OnFontChosen(const QString& name);
    void OnSizeChosen(const QString& size);
    void OnGoClicked();
    void OnHelpClicked();

protected:
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void CreateChildren();
    void StartUp();
    void Layout();
    void ApplyGeometry();
    void BuildHTMLPage();
    void SelectGlyphTables(const QString& fontListText);
    // Text put into the English pane by the host or the control itself: it
    // marks the pane changed but does not convert on its own.
    void SetEnglishFromHost(const QString& text);
    void TellIfFaceMissing();
    void ImportFromAddressBox();
    void AnySel(bool on, void (RichTextPane::*set)(bool));
    void FireSelChange();
    void Notify(int dispid);
    QFont AmbientFont() const;
    HResult InvokeProperty(int dispid, int flags, QVariantList& args, QVariant* result, QString* errorText);
    HResult InvokeMethod(int dispid, QVariantList& args, QVariant* result, QString* errorText);
    HResult SetSelectionProperty(int dispid, const QVariant& value, QString* errorText);
    QVariant SelectionProperty(int dispid) const;

    QFrame* frame1_;
    QPushButton* cmdConvert_;
    QComboBox* cboSize_;
    QComboBox* cboFont_;
    QToolButton* cmdHelp_;
    QRadioButton* optEnglish_;
    QRadioButton* optTelugu_;
    QRadioButton* optBoth_;
    QRadioButton* optHTML_;
    QLineEdit* txtURL_;
    QComboBox* txtURL1_;
    QPushButton* cmdGO_;
    QTextEdit* txtEnglish_;
    QTextEdit* txtTelugu_;
    QTextEdit* txtHTML_;
    RichTextPane english_;
    RichTextPane telugu_;
    RichTextPane html_;
    WebFetch* fetch_;
    TeluguPaneUpdate* teluguUpdate_;  // owned by the Telugu pane's widget

    GlyphTables tables_;
    QString currentPane_;
    PaneGeometry geometry_;
    TransliterateEvents* sink_ = nullptr;
    int lastSelStart_ = -1, lastSelLength_ = -1;
    bool englishStale_ = false;      // English text changed since the last conversion
    bool hostSetting_ = false;       // inside SetEnglishFromHost
    bool conversionQueued_ = false;  // a conversion after a change is on its way

    // Stored-only properties.
    ServedObject served_;  // keeps the library loaded while the control lives
    std::int64_t foreColor_ = 0;
    bool enabled_ = false;
    QFont font_;
    int backStyle_ = 0;
    int borderStyle_ = 0;
};

}  // namespace vrayu
