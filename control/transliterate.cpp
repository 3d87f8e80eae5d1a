#include "transliterate.h"

#include <QApplication>
#include <QComboBox>
#include <QFontDatabase>
#include <QFrame>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QTextDocument>
#include <QTextEdit>
#include <QToolButton>
#include <QUrl>
#include <algorithm>

#include "control_texts.h"
#include "convert.h"
#include "data_page.h"
#include "dialogs.h"
#include "english_entry.h"
#include "key_codes.h"
#include "member_table.h"
#include "pane_edit.h"
#include "pane_formatted_text.h"
#include "telugu_pane_update.h"
#include "text_color.h"
#include "web_fetch.h"
#include "web_import.h"

namespace vrayu {
namespace {

// The wait cursor for the life of the object: restored on every exit path.
class WaitCursor {
public:
    WaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QApplication::restoreOverrideCursor(); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
};

template <class W>
W* Named(W* widget, const char* name) {
    widget->setObjectName(QLatin1String(name));
    const ChildText& t = ChildTextOf(name);
    if (*t.tooltip) widget->setToolTip(QLatin1String(t.tooltip));
    return widget;
}

QString Caption(const char* name) { return QLatin1String(ChildTextOf(name).caption); }

std::string Latin1(const QString& s) {
    std::string out;
    out.reserve(static_cast<std::size_t>(s.size()));
    for (QChar c : s) out.push_back(c.unicode() <= 0xff ? static_cast<char>(c.unicode()) : '?');
    return out;
}

QString FromLatin1(const std::string& s) { return QString::fromLatin1(s.data(), static_cast<qsizetype>(s.size())); }

}  // namespace

Transliterate::Transliterate(QWidget* parent)
    : QWidget(parent),
      txtEnglish_(new PaneEdit(this)),
      txtTelugu_(new PaneEdit(this)),
      txtHTML_(new PaneEdit(this)),
      english_(txtEnglish_),
      telugu_(txtTelugu_),
      html_(txtHTML_),
      fetch_(new WebFetch(this)),
      teluguUpdate_(new TeluguPaneUpdate(telugu_)),
      geometry_(DesignGeometry()) {
    font_ = AmbientFont();
    CreateChildren();
    StartUp();
    ApplyGeometry();
}

Transliterate::~Transliterate() {
    fetch_->Cancel();
    // The panes outlive this object's members while QWidget deletes them:
    // nothing of theirs may reach back here any more.
    for (QTextEdit* pane : {txtEnglish_, txtTelugu_, txtHTML_}) {
        pane->removeEventFilter(this);
        disconnect(pane, nullptr, this, nullptr);
    }
}

void Transliterate::CreateChildren() {
    frame1_ = Named(new QFrame(this), "Frame1");
    auto* row = new QHBoxLayout(frame1_);
    row->setContentsMargins(2, 2, 2, 2);
    row->setSpacing(2);
    cmdConvert_ = Named(new QPushButton(Caption("cmdConvert"), frame1_), "cmdConvert");
    cboSize_ = Named(new QComboBox(frame1_), "cboSize");
    for (const char* size : kSizeItems) cboSize_->addItem(QLatin1String(size));
    cboSize_->setCurrentText(QLatin1String(kInitialSize));
    cboFont_ = Named(new QComboBox(frame1_), "cboFont");
    for (const char* font : kDesignFontItems) cboFont_->addItem(QLatin1String(font));
    cmdHelp_ = Named(new QToolButton(frame1_), "cmdHelp");
    cmdHelp_->setIcon(style()->standardIcon(QStyle::SP_MessageBoxQuestion));
    optEnglish_ = Named(new QRadioButton(Caption("optEnglish"), frame1_), "optEnglish");
    optTelugu_ = Named(new QRadioButton(Caption("optTelugu"), frame1_), "optTelugu");
    // A doubled ampersand shows as one.
    optBoth_ = Named(new QRadioButton(Caption("optBoth"), frame1_), "optBoth");
    optHTML_ = Named(new QRadioButton(Caption("optHTML"), frame1_), "optHTML");
    for (QWidget* w : std::initializer_list<QWidget*>{cmdConvert_, cboSize_, cboFont_, cmdHelp_, optEnglish_,
                                                      optTelugu_, optBoth_, optHTML_})
        row->addWidget(w);
    row->addStretch();

    txtURL_ = Named(new QLineEdit(this), "txtURL");
    txtURL1_ = Named(new QComboBox(this), "txtURL1");
    cmdGO_ = Named(new QPushButton(Caption("cmdGO"), this), "cmdGO");

    Named(txtEnglish_, "txtEnglish");
    Named(txtTelugu_, "txtTelugu");
    Named(txtHTML_, "txtHTML");
    txtEnglish_->setFont(QFont(QStringLiteral("Arial"), 10));
    txtTelugu_->setFont(QFont(QString::fromLatin1(kVrayuFace.data(), kVrayuFace.size()), 16));
    txtHTML_->setFont(QFont(QStringLiteral("Arial"), 10));
    for (QTextEdit* pane : {txtEnglish_, txtTelugu_, txtHTML_}) pane->installEventFilter(this);
    // Typing is undoable in the English pane; the other two are regenerated
    // from it, and their undo history would only hold stale copies.
    txtTelugu_->setUndoRedoEnabled(false);
    txtHTML_->setUndoRedoEnabled(false);

    // The design view: both panes.
    optBoth_->setChecked(true);
    txtHTML_->hide();

    connect(cmdConvert_, &QPushButton::clicked, this, &Transliterate::OnConvertClicked);
    connect(cboFont_, &QComboBox::textActivated, this, &Transliterate::OnFontChosen);
    connect(cboSize_, &QComboBox::textActivated, this, &Transliterate::OnSizeChosen);
    connect(cmdHelp_, &QToolButton::clicked, this, &Transliterate::OnHelpClicked);
    connect(cmdGO_, &QPushButton::clicked, this, &Transliterate::OnGoClicked);
    connect(txtURL_, &QLineEdit::returnPressed, this, &Transliterate::OnGoClicked);
    connect(txtURL1_, &QComboBox::textActivated, txtURL_, &QLineEdit::setText);
    connect(optEnglish_, &QRadioButton::clicked, this, [this] { SetView(ViewMode::English); });
    connect(optTelugu_, &QRadioButton::clicked, this, [this] { SetView(ViewMode::Telugu); });
    connect(optBoth_, &QRadioButton::clicked, this, [this] { SetView(ViewMode::Both); });
    connect(optHTML_, &QRadioButton::clicked, this, [this] { SetView(ViewMode::HTML); });

    // Typographic punctuation and Unicode Telugu enter the English pane as
    // the romanized text they stand for.
    static_cast<PaneEdit*>(txtEnglish_)->SetEntryFilter([](const QString& text) {
        return QString::fromUtf8(EnglishEntryText(text.toUtf8().toStdString()));
    });
    connect(txtEnglish_, &QTextEdit::textChanged, this, [this] { ib_English_changed = true; });
    // Every change of the English text (typing, paste, drop, undo, redo)
    // converts once the change is complete; moving the caret does not.
    connect(txtEnglish_->document(), &QTextDocument::contentsChange, this, [this](int, int removed, int added) {
        if (removed == 0 && added == 0) return;
        englishStale_ = true;
        if (hostSetting_ || conversionQueued_ || !Auto_Convert || txtTelugu_->isHidden()) return;
        conversionQueued_ = true;
        QMetaObject::invokeMethod(
            this,
            [this] {
                conversionQueued_ = false;
                if (englishStale_ && Auto_Convert && !txtTelugu_->isHidden()) ConvertNow();
            },
            Qt::QueuedConnection);
    });
    connect(txtTelugu_, &QTextEdit::textChanged, this, [this] { ib_Telugu_changed = true; });
    connect(txtHTML_, &QTextEdit::textChanged, this, [this] { ib_HTML_changed = true; });
    // The Telugu caret follows the English one to where its syllable went.
    auto followEnglishCaret = [this] {
        if (txtEnglish_->document()->isEmpty() || englishStale_) return;
        telugu_.SetSelStart(
            TeluguCaret(PaneLatin1(english_), english_.SelStart(), telugu_.TextLength(), tables_, FaceName()));
        txtTelugu_->ensureCursorVisible();
    };
    connect(txtEnglish_, &QTextEdit::cursorPositionChanged, this, followEnglishCaret);
    connect(txtEnglish_, &QTextEdit::selectionChanged, this, followEnglishCaret);
    connect(txtTelugu_, &QTextEdit::cursorPositionChanged, this, &Transliterate::FireSelChange);
    connect(txtTelugu_, &QTextEdit::selectionChanged, this, &Transliterate::FireSelChange);
}

void Transliterate::StartUp() {
    Auto_Convert = false;
    SelectGlyphTables(cboFont_->currentText());
    currentPane_.clear();

    const QStringList families = QFontDatabase::families();
    cboFont_->addItems(families);
    if (!families.contains(QString::fromLatin1(kVrayuFace.data(), kVrayuFace.size())))
        CurrentDialogs().MsgBox(this, MissingFontMessage(), kOKOnly, QLatin1String(kAppTitle));

    const std::string welcome = ConvertString(
        Latin1(WelcomeText(VRAYU_VERSION_MAJOR, VRAYU_VERSION_MINOR, VRAYU_VERSION_PATCH)), tables_, FaceName());
    telugu_.SetText(FromLatin1(welcome));
    SetEnglishFromHost(InstructionsText());

    Auto_Convert = true;
    ib_English_changed = ib_Telugu_changed = ib_HTML_changed = false;
}

void Transliterate::InitNew() {
    foreColor_ = 0;
    enabled_ = false;
    font_ = AmbientFont();
    backStyle_ = 0;
    borderStyle_ = 0;
}

QFont Transliterate::AmbientFont() const { return parentWidget() ? parentWidget()->font() : QApplication::font(); }

double Transliterate::TwipsPerPixel() const {
    const int dpi = logicalDpiX();
    return dpi > 0 ? 1440.0 / dpi : 15.0;
}

// ---- View modes and layout

ViewMode Transliterate::View() const {
    if (optEnglish_->isChecked()) return ViewMode::English;
    if (optTelugu_->isChecked()) return ViewMode::Telugu;
    if (optBoth_->isChecked()) return ViewMode::Both;
    if (optHTML_->isChecked()) return ViewMode::HTML;
    return ViewMode::None;
}

void Transliterate::SetView(ViewMode view) {
    struct Visibility {
        ViewMode view;
        QRadioButton* option;
        bool english, telugu, html;
    };
    const Visibility table[] = {
        {ViewMode::English, optEnglish_, true, false, false},
        {ViewMode::Telugu, optTelugu_, false, true, false},
        {ViewMode::Both, optBoth_, true, true, false},
        {ViewMode::HTML, optHTML_, false, false, true},
    };
    for (const Visibility& v : table) {
        if (v.view != view) continue;
        v.option->setChecked(true);
        txtEnglish_->setVisible(v.english);
        txtTelugu_->setVisible(v.telugu);
        txtHTML_->setVisible(v.html);
    }
    Layout();
    if (view == ViewMode::Telugu && ib_English_changed) ConvertNow();
    if (view == ViewMode::HTML) BuildHTMLPage();
}

void Transliterate::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    Layout();
}

void Transliterate::Layout() {
    const double tpp = TwipsPerPixel();
    const int w = static_cast<int>(width() * tpp + 0.5), h = static_cast<int>(height() * tpp + 0.5);
    if (LayoutPanes(w, h, View(), geometry_)) ApplyGeometry();
}

QSize Transliterate::sizeHint() const {
    const double tpp = TwipsPerPixel();
    auto px = [tpp](int twips) { return static_cast<int>(twips / tpp + 0.999); };
    return {std::max(frame1_->sizeHint().width() + px(135 + 50), px(4400)), px(4400)};
}

void Transliterate::ApplyGeometry() {
    const double tpp = TwipsPerPixel();
    auto px = [tpp](int twips) { return static_cast<int>(twips / tpp + (twips >= 0 ? 0.5 : -0.5)); };
    auto place = [&](QWidget* w, const TwipsRect& r) {
        w->setGeometry(px(r.left), px(r.top), px(r.width), px(r.height));
    };
    // The top row keeps its design width, and grows with the control so that
    // no option is cut off.
    const int width = static_cast<int>(this->width() * tpp + 0.5);
    place(frame1_, {135, -15, std::max(7125, width - 135 - 50), 525});
    place(txtURL1_, {120, geometry_.url.top, geometry_.url.left - 120 - 40, geometry_.url.height});
    place(txtURL_, geometry_.url);
    place(cmdGO_, {geometry_.url.left + geometry_.url.width + 50, geometry_.url.top, 950, geometry_.url.height});
    place(txtEnglish_, geometry_.english);
    place(txtTelugu_, geometry_.telugu);
    place(txtHTML_, geometry_.html);
}

// ---- Conversion

void Transliterate::ConvertNow() {
    const std::string english = PaneLatin1(english_);
    const std::string face = FaceName();
    const std::size_t length = teluguUpdate_->Update(english, tables_, face);
    englishStale_ = false;
    telugu_.SetSelStart(TeluguCaret(english, english_.SelStart(), static_cast<int>(length), tables_, face));
    txtTelugu_->ensureCursorVisible();
}

void Transliterate::SetEnglishFromHost(const QString& text) {
    hostSetting_ = true;
    english_.SetText(text);
    hostSetting_ = false;
}

void Transliterate::OnConvertClicked() {
    ConvertNow();
    txtTelugu_->setFocus();
}

void Transliterate::BuildHTMLPage() {
    const PaneFormattedText text(telugu_);
    html_.SetText(FromLatin1(::vrayu::BuildHTMLPage(text)));
    // The page builder leaves the Telugu caret after the last character.
    telugu_.SetSelStart(telugu_.TextLength());
}

bool Transliterate::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::FocusIn) {
        if (watched == txtEnglish_) currentPane_ = QStringLiteral("English");
        else if (watched == txtTelugu_) currentPane_ = QStringLiteral("Telugu");
        else if (watched == txtHTML_) currentPane_ = QStringLiteral("HTML");
    } else if (event->type() == QEvent::KeyRelease && watched == txtEnglish_) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (!key->isAutoRepeat() && !txtTelugu_->isHidden() && Auto_Convert) {
            // Keypad "." qualifies twice; converting the same pane again would
            // give the same text, so one conversion serves.
            // Only a change not yet converted (say, text a host set) is
            // converted: a key that changed nothing leaves the panes alone.
            if (englishStale_ &&
                ConversionsOnKeyRelease(WindowsKeyCode(key->key(), key->modifiers()), ShiftState(key->modifiers())) > 0)
                ConvertNow();
        }
    }
    return QWidget::eventFilter(watched, event);
}

// ---- Font and size lists

void Transliterate::OnFontChosen(const QString& name) {
    WaitCursor wait;
    if (telugu_.SelLength() > 0) {
        telugu_.SetSelFontName(name);
        return;
    }
    SelectGlyphTables(name);
    ConvertNow();
    TellIfFaceMissing();
}

void Transliterate::TellIfFaceMissing() {
    // A listed Telugu font that is not installed shows other glyphs: say so,
    // once per face and run.
    static QStringList told;
    const QString face = QString::fromStdString(FaceName());
    // The product face has its own message at start-up.
    if (face.isEmpty() || face == QString::fromLatin1(kVrayuFace.data(), kVrayuFace.size()) || told.contains(face) ||
        QFontDatabase::families().contains(face, Qt::CaseInsensitive))
        return;
    told.append(face);
    CurrentDialogs().MsgBox(this, FaceMissingMessage(face), kOKOnly, QLatin1String(kAppTitle));
}

void Transliterate::SelectGlyphTables(const QString& fontListText) {
    std::string face;
    if (::vrayu::SelectGlyphTables(Latin1(fontListText), tables_, face)) telugu_.SetFontName(FromLatin1(face));
}

std::string Transliterate::FaceName() const { return Latin1(telugu_.Font().family()); }

void Transliterate::OnSizeChosen(const QString& size) {
    Dialogs& dialogs = CurrentDialogs();
    if (dialogs.MsgBox(this, QLatin1String(kColorQuestion), kYesNo, QLatin1String(kAppTitle)) == kYes) {
        const QString answer = dialogs.InputBox(this, ColorPrompt(), QLatin1String(kColorTitle), QString());
        telugu_.SetSelColor(PaletteColor(ColorIndexFromAnswer(answer)));
    }
    WaitCursor wait;
    const double points = LeadingNumber(size);
    if (points <= 0) return;
    if (telugu_.SelLength() >= 1) {
        telugu_.SetSelFontSize(points);
    } else {
        QFont font = telugu_.Font();
        font.setPointSizeF(points);
        telugu_.SetFont(font);
    }
}

// ---- Web page import

void Transliterate::OnGoClicked() { ImportFromAddressBox(); }

void Transliterate::SetURL(const QString& t) {
    txtURL_->setText(t);
    ImportFromAddressBox();
}

void Transliterate::AddURL(const QString& t) {
    txtURL1_->addItem(t);
    txtURL_->setText(t);
}

void Transliterate::ImportFromAddressBox() {
    const auto address = ImportAddress(txtURL_->text());
    if (!address) return;
    WaitCursor wait;
    if (fetch_->StillExecuting()) fetch_->Cancel();
    const WebFetch::Result result = fetch_->Get(QUrl(*address));
    // A transfer that failed, was cancelled, timed out or was refused for
    // its size changes nothing; only the size is worth telling.
    if (result.outcome == WebFetch::Outcome::TooLarge)
        CurrentDialogs().MsgBox(this, PageTooLargeMessage(fetch_->MaxBytes()), kOKOnly, QLatin1String(kAppTitle));
    if (result.outcome != WebFetch::Outcome::Ok) return;
    SetEnglishFromHost(EnglishFromPage(result.body));
    ConvertNow();
    SetView(english_.Text().contains(QLatin1String(kNotFoundMarker)) ? ViewMode::English : ViewMode::Telugu);
}

// ---- About box

void Transliterate::OnHelpClicked() { CurrentDialogs().MsgBox(this, AboutText(), kOKOnly, QLatin1String(kAboutTitle)); }

// ---- Events

void Transliterate::AnySel(bool on, void (RichTextPane::*set)(bool)) {
    RichTextPane* pane = currentPane_ == QLatin1String("English")  ? &english_
                         : currentPane_ == QLatin1String("Telugu") ? &telugu_
                         : currentPane_ == QLatin1String("HTML")   ? &html_
                                                                   : nullptr;
    if (pane) (pane->*set)(on);
}

void Transliterate::FireSelChange() {
    const int start = telugu_.SelStart(), length = telugu_.SelLength();
    if (start == lastSelStart_ && length == lastSelLength_) return;
    lastSelStart_ = start;
    lastSelLength_ = length;
    if (!sink_) return;
    QVariantList none;
    sink_->OnEvent(eventid::SelChange, none);
}

void Transliterate::Notify(int id) {
    if (!sink_) return;
    if (const Member* m = FindMember(id); m && m->persistedName)
        sink_->OnPropertyChanged(id, QLatin1String(m->persistedName));
}

QDialog* Transliterate::CreatePropertyPage(QWidget* parent) {
    auto* page = new DataPage(parent);
    page->SetSelectedObjects({this});
    return page;
}

}  // namespace vrayu
