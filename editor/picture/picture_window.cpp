#include "picture_window.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDrag>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPrinter>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QToolBar>
#include <QVBoxLayout>
#include <cmath>

#include "action_set.h"
#include "dialogs.h"
#include "picture_canvas.h"
#include "picture_save.h"
#include "picture_units.h"
#include "program_dir.h"

namespace vrayu {
namespace {

constexpr MenuRow kPictureMenus[] = {
    {"&File", "mnuNew", "&New"},
    {"&File", "mnuOpen", "&Open"},
    {"&File", "mnuSave", "&Save"},
    {"&File", nullptr, nullptr},
    {"&File", "mnuClose", "&Close"},
    {"Fo&rmat", "mnuFont", "&Font"},
    {"Fo&rmat", "mnuBold", "&Bold"},
    {"Fo&rmat", "mnuItalics", "&Italics"},
    {"Fo&rmat", "mnuUnderLine", "&UnderLine"},
    {"Fo&rmat", "mnuForeColor", "Fore &Color"},
    {"Fo&rmat", "mnuBackColor", "&Back Color"},
};

// A manual drag of one of the window's controls: its name and array index.
constexpr char kControlDragFormat[] = "application/x-vrayu-picture-control";
constexpr char kPicTextName[] = "txtPicText";

// Design places of the text items and sizes of the fields, in twips.
constexpr QPointF kFirstItemTwips{120, 120};
constexpr double kItemWidthTwips = 2880;

PictureWindow*& Shared() {
    static PictureWindow* window = nullptr;
    return window;
}

QFont VrayuFont(double points, bool bold = false) {
    QFont font(QStringLiteral("Vrayu"));
    font.setPointSizeF(points);
    font.setBold(bold);
    return font;
}

// The wait pointer for the life of the object.
struct WaitPointer {
    WaitPointer() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitPointer() { QApplication::restoreOverrideCursor(); }
};

}  // namespace

PictureWindow& PictureWindow::Instance(QWidget* owner) {
    if (!Shared()) Shared() = new PictureWindow(owner);
    return *Shared();
}

PictureWindow* PictureWindow::Loaded() { return Shared(); }

void PictureWindow::Unload() {
    PictureWindow* window = Shared();
    if (!window) return;
    Shared() = nullptr;
    window->hide();
    window->deleteLater();
}

PictureWindow::PictureWindow(QWidget* owner) : QMainWindow(owner, Qt::Window) {
    setObjectName("frmBitmap");
    setWindowTitle(kPictureWindowTitle);
    actions_ = new ActionSet(this, kPictureMenus, {});
    actions_->ToolBar()->hide();
    for (QMenu* menu : actions_->Menus()) menuBar()->addMenu(menu);
    BuildControls();
    BindActions();
}

PictureWindow::~PictureWindow() {
    if (Shared() == this) Shared() = nullptr;
}

void PictureWindow::BuildControls() {
    auto* central = new QWidget(this);
    auto* columns = new QHBoxLayout(central);

    auto* left = new QVBoxLayout;
    left->addWidget(new QLabel("Type/Paste Your Text Here:", central));
    txtBMP_ = new QPlainTextEdit(central);
    txtBMP_->setObjectName("txtBMP");
    txtBMP_->setFont(VrayuFont(12));
    txtBMP_->setLineWrapMode(QPlainTextEdit::NoWrap);
    left->addWidget(txtBMP_, 1);

    auto* size = new QGroupBox("Picture Size:", central);
    auto* sizeGrid = new QGridLayout(size);
    txtWidth_ = new QLineEdit("350", size);
    txtWidth_->setObjectName("txtWidth");
    txtHeight_ = new QLineEdit("200", size);
    txtHeight_->setObjectName("txtHeight");
    sizeGrid->addWidget(new QLabel("Width", size), 0, 0);
    sizeGrid->addWidget(txtWidth_, 0, 1);
    sizeGrid->addWidget(new QLabel("Height", size), 1, 0);
    sizeGrid->addWidget(txtHeight_, 1, 1);
    left->addWidget(size);

    cmdPicture_ = new QPushButton("Refresh Text on Picture", central);
    cmdPicture_->setObjectName("cmdPicture");
    command1_ = new QPushButton("Add Text", central);
    command1_->setObjectName("Command1");
    left->addWidget(cmdPicture_);
    left->addWidget(command1_);

    // The measuring label lies outside the canvas and is never shown.
    lblText_ = new QLabel(central);
    lblText_->setObjectName("lblText");
    lblText_->hide();

    auto* right = new QGridLayout;
    right->addWidget(new QLabel("Double Click in This Box to Create Your Picture", central), 0, 0, 1, 2);
    picture1_ = new PictureCanvas;
    picture1_->setObjectName("Picture1");
    picture1_->SetCanvasFont(VrayuFont(15.75));
    picture1_->onDrop = [this](QDropEvent* event) {
        DropOnCanvas(*event->mimeData(), event->position().toPoint());
        event->acceptProposedAction();
    };
    canvasArea_ = new QScrollArea(central);
    canvasArea_->setWidget(picture1_);
    canvasArea_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    canvasArea_->setMinimumSize(360, 220);
    right->addWidget(canvasArea_, 1, 0);
    vscrPic_ = new QScrollBar(Qt::Vertical, central);
    vscrPic_->setObjectName("vscrPic");
    hscrPic_ = new QScrollBar(Qt::Horizontal, central);
    hscrPic_->setObjectName("hscrPic");
    for (QScrollBar* bar : {hscrPic_, vscrPic_}) {
        bar->setRange(0, 32767);
        bar->setSingleStep(1);
        bar->setPageStep(10);
    }
    hscrPic_->setValue(350);
    vscrPic_->setValue(200);
    right->addWidget(vscrPic_, 1, 1);
    right->addWidget(hscrPic_, 2, 0);
    right->setRowStretch(1, 1);

    columns->addLayout(left);
    columns->addLayout(right, 1);
    setCentralWidget(central);

    // Element 0 of the text items exists from the start.
    TextItem first{NewTextItem(), kFirstItemTwips};
    items_.push_back(first);
    PlaceItem(0);
    first.box->show();

    lblText_->setFont(picture1_->CanvasFont());
    picture1_->SetWidthTwips(LeadingNumber(txtWidth_->text()) * kTwipsPerSizeUnit);
    picture1_->SetHeightTwips(LeadingNumber(txtHeight_->text()) * kTwipsPerSizeUnit);
    picture1_->Cls();

    connect(txtWidth_, &QLineEdit::textChanged, this, [this] { ResizeFromField(*txtWidth_, true); });
    connect(txtHeight_, &QLineEdit::textChanged, this, [this] { ResizeFromField(*txtHeight_, false); });
    connect(hscrPic_, &QScrollBar::valueChanged, this, [this](int v) { txtWidth_->setText(QString::number(v)); });
    connect(vscrPic_, &QScrollBar::valueChanged, this, [this](int v) { txtHeight_->setText(QString::number(v)); });
    connect(txtBMP_, &QPlainTextEdit::textChanged, this, [this] { lblText_->setText(SourceText()); });
    connect(cmdPicture_, &QPushButton::clicked, this, [this] { RefreshTextOnPicture(); });
    connect(command1_, &QPushButton::clicked, this, [this] { AddText(); });

    txtBMP_->viewport()->installEventFilter(this);
    txtBMP_->viewport()->setAcceptDrops(true);
}

void PictureWindow::BindActions() {
    ActionSet& a = *actions_;
    a.Bind("mnuNew", [this] { NewPicture(); });
    a.Bind("mnuOpen", [this] { OpenPicture(); });
    a.Bind("mnuSave", [this] { SavePictureAs(); });
    a.Bind("mnuClose", [] { Unload(); });
    a.Bind("mnuFont", [this] { ChooseFont(); });
    a.Bind("mnuBold", [this] { ToggleBold(); });
    a.Bind("mnuItalics", [this] { ToggleItalics(); });
    a.Bind("mnuUnderLine", [this] { ToggleUnderLine(); });
    a.Bind("mnuForeColor", [this] { ChooseColor(false); });
    a.Bind("mnuBackColor", [this] { ChooseColor(true); });
}

QLineEdit* PictureWindow::NewTextItem() {
    auto* box = new QLineEdit(picture1_);
    box->setObjectName(kPicTextName);
    box->setProperty("Index", static_cast<int>(items_.size()));
    if (!items_.empty()) {
        const QLineEdit& model = *items_.front().box;
        box->setFont(model.font());
        box->resize(model.size());
        box->setText(model.text());
    } else {
        box->setFont(VrayuFont(14.25, true));
        box->resize(static_cast<int>(std::lround(kItemWidthTwips / PictureCanvas::TwipsPerPixel())),
                    box->sizeHint().height());
    }
    box->installEventFilter(this);
    box->setAcceptDrops(true);
    box->hide();
    return box;
}

QLineEdit* PictureWindow::txtPicText(int index) const {
    return index >= 0 && index < PicTextCount() ? items_[static_cast<size_t>(index)].box : nullptr;
}

QPointF PictureWindow::PicTextPosition(int index) const { return items_.at(static_cast<size_t>(index)).twips; }

void PictureWindow::MovePicText(int index, QPointF twips) {
    items_.at(static_cast<size_t>(index)).twips = twips;
    PlaceItem(index);
}

void PictureWindow::PlaceItem(int index) {
    const TextItem& item = items_.at(static_cast<size_t>(index));
    const double tpp = PictureCanvas::TwipsPerPixel();
    item.box->move(static_cast<int>(std::lround(item.twips.x() / tpp)),
                   static_cast<int>(std::lround(item.twips.y() / tpp)));
}

QString PictureWindow::SourceText() const {
    QString text = txtBMP_->toPlainText();
    text.replace('\n', "\r\n");
    return text;
}

void PictureWindow::SetSourceText(const QString& text) {
    QString plain = text;
    plain.replace("\r\n", "\n").replace('\r', '\n');
    txtBMP_->setPlainText(plain);
    lblText_->setText(SourceText());
}

QFont PictureWindow::LabelFont() const { return lblText_->font(); }
void PictureWindow::SetLabelFont(const QFont& font) { lblText_->setFont(font); }

QSizeF PictureWindow::LabelTwips() const {
    // An auto-sized label: as wide as its longest line, one line height per
    // line, in whole pixels; measured as the canvas draws.
    const QFontMetricsF metrics = PictureCanvas::Metrics(lblText_->font());
    QString caption = lblText_->text();
    caption.replace("\r\n", "\n").replace('\r', '\n');
    const QStringList lines = caption.split('\n');
    double width = 0;
    for (const QString& line : lines) width = std::max(width, metrics.horizontalAdvance(line));
    const double tpp = PictureCanvas::TwipsPerPixel();
    return {std::ceil(width) * tpp, std::ceil(static_cast<double>(lines.size()) * metrics.lineSpacing()) * tpp};
}

void PictureWindow::RedrawSource() {
    picture1_->Cls();
    picture1_->Print(SourceText(), true);
}

void PictureWindow::ResizeFromField(QLineEdit& field, bool width) {
    const double twips = LeadingNumber(field.text()) * kTwipsPerSizeUnit;
    if (width) picture1_->SetWidthTwips(twips);
    else picture1_->SetHeightTwips(twips);
    RedrawSource();
}

void PictureWindow::RefreshTextOnPicture() {
    const QSizeF extent = LabelTwips();
    txtWidth_->setText(DecimalText(SizeUnits(extent.width(), kCanvasMarginWidth)));
    txtHeight_->setText(DecimalText(SizeUnits(extent.height(), kCanvasMarginHeight)));
    RedrawSource();
}

void PictureWindow::ToggleStyle(void (QFont::*set)(bool), bool (QFont::*get)() const) {
    picture1_->Cls();
    QFont canvas = picture1_->CanvasFont();
    (canvas.*set)(!(canvas.*get)());
    picture1_->SetCanvasFont(canvas);
    QFont label = lblText_->font();
    (label.*set)((canvas.*get)());
    lblText_->setFont(label);
    RefreshTextOnPicture();
}

void PictureWindow::ToggleBold() { ToggleStyle(&QFont::setBold, &QFont::bold); }
void PictureWindow::ToggleItalics() { ToggleStyle(&QFont::setItalic, &QFont::italic); }
void PictureWindow::ToggleUnderLine() { ToggleStyle(&QFont::setUnderline, &QFont::underline); }

void PictureWindow::ChooseColor(bool background) {
    const QColor current = background ? picture1_->BackColor() : picture1_->ForeColor();
    const std::optional<QColor> chosen = CurrentDialogs().ChooseColor(this, current);
    if (!chosen) return;
    picture1_->Cls();
    if (background) {
        // A new background colour repaints the whole canvas in it.
        picture1_->SetBackColor(*chosen);
        picture1_->Cls();
    } else {
        picture1_->SetForeColor(*chosen);
    }
    picture1_->Print(SourceText(), true);
}

void PictureWindow::ChooseForeColor() { ChooseColor(false); }
void PictureWindow::ChooseBackColor() { ChooseColor(true); }

void PictureWindow::ChooseFont() {
    const QFont canvas = picture1_->CanvasFont();
    FontChoice initial;
    initial.name = canvas.family();
    initial.size = canvas.pointSizeF();
    initial.bold = canvas.bold();
    initial.italic = canvas.italic();
    const std::optional<FontChoice> chosen = CurrentDialogs().ChooseFont(this, initial);
    if (!chosen) return;
    picture1_->Cls();
    auto apply = [&](QFont font) {
        font.setFamily(chosen->name);
        if (chosen->size > 0) font.setPointSizeF(chosen->size);
        font.setBold(chosen->bold);
        font.setItalic(chosen->italic);
        return font;
    };
    lblText_->setFont(apply(lblText_->font()));
    picture1_->SetCanvasFont(apply(picture1_->CanvasFont()));
    RefreshTextOnPicture();
}

void PictureWindow::AddText() {
    ++addedTextCount_;
    if (addedTextCount_ > kMaxTextItems) return;
    // Items are made in order, so the new one's index is the count.
    TextItem item{NewTextItem(), items_.back().twips + QPointF(0, kTextItemStep)};
    item.twips.setX(items_.front().twips.x());
    items_.push_back(item);
    PlaceItem(PicTextCount() - 1);
    item.box->show();
}

void PictureWindow::PaintMyPicture() {
    double lineTop = 0;
    for (const TextItem& item : items_) {
        const double top = RoundHalfEven(item.twips.y());
        if (top - lineTop > kPrintedLineStep) {
            picture1_->Print(" ", true);
            lineTop = top;
        }
        picture1_->Print(item.box->text(), false);
    }
}

void PictureWindow::PaintFromOutside(const QString& text) { picture1_->Print(text, true); }

void PictureWindow::PrintAnywhere(const PictureCanvas& source, PictureCanvas& destination) {
    destination.PaintPicture(source.Image(),
                             QPointF(destination.Image().width() / 2.0, destination.Image().height() / 2.0));
}

void PictureWindow::PrintAnywhere(const PictureCanvas& source, QPrinter& printer) {
    QPainter painter;
    if (!painter.begin(&printer)) return;
    // The picture keeps its size on paper: screen pixels scaled to the printer.
    const double scale = printer.resolution() * PictureCanvas::TwipsPerPixel() / 1440.0;
    const QRectF page = printer.pageLayout().paintRectPixels(printer.resolution());
    painter.translate(page.width() / 2.0, page.height() / 2.0);
    painter.scale(scale, scale);
    painter.drawImage(QPointF(0, 0), source.Image());
    painter.end();  // ends the job: the page prints
}

void PictureWindow::NewPicture() { picture1_->SetPicture(QImage()); }

bool PictureWindow::SaveAsJPG(const QString& fileName) {
    if (fileName.isEmpty()) return false;
    std::optional<WaitPointer> wait(std::in_place);
    const SaveOutcome outcome = SavePicture(picture1_->Image(), fileName, pictureQuality_);
    wait.reset();
    switch (outcome) {
        case SaveOutcome::Saved:
        case SaveOutcome::NotAPictureName: return true;
        case SaveOutcome::EmptyName: return false;
        case SaveOutcome::TimedOut:
            CurrentDialogs().MsgBox(this, kSaveTimeoutMessage, kOKOnly, kSavePictureMessageTitle);
            return false;
        case SaveOutcome::ConverterNotStarted:
            CurrentDialogs().MsgBox(this, kConverterMissingMessage + ProgramDirectory(), kOKOnly | kExclamation,
                                    kSavePictureMessageTitle);
            return false;
        case SaveOutcome::WriteFailed:
            CurrentDialogs().MsgBox(this, kWriteFailedMessage + fileName, kOKOnly | kExclamation,
                                    kSavePictureMessageTitle);
            return false;
    }
    return false;
}

void PictureWindow::SaveMyPic(const QString& fileName) {
    if (fileName.isEmpty()) return;
    SaveAsJPG(fileName);
    Unload();
}

void PictureWindow::SaveMyPic(const QString& fileName, int quality) {
    pictureQuality_ = quality;
    SaveMyPic(fileName);
}

void PictureWindow::SavePictureAs() {
    // The wait pointer shows while the picture is written and read back, not
    // while the user answers the questions.
    const std::optional<QString> name = CurrentDialogs().SaveFile(this, kSavePictureTitle, kPictureFilter, 1, "");
    if (!name || name->isEmpty()) return;
    const std::optional<int> quality =
        QualityFromAnswer(CurrentDialogs().InputBox(this, kQualityPrompt, kQualityTitle, kQualityDefault));
    if (!quality) return;  // not a 16-bit number: the command ends
    pictureQuality_ = *quality;
    if (!SaveAsJPG(*name)) return;
    const QString ext = name->right(3).toLower();
    if (ext != "bmp" && ext != "jpg" && ext != "gif") {
        CurrentDialogs().MsgBox(this, kNotAPictureNameMessage, kOKOnly, kSavePictureMessageTitle);
        return;
    }
    // The canvas shows the stored result, compression loss included.
    WaitPointer wait;
    const QImage saved(*name);
    if (!saved.isNull()) picture1_->SetPicture(saved);
}

void PictureWindow::OpenPicture() {
    const std::optional<QString> name = CurrentDialogs().OpenFile(this, kOpenPictureTitle, kPictureFilter, 1, "");
    if (!name || name->isEmpty()) return;
    picture1_->SetAutoSize(CurrentDialogs().MsgBox(this, kFitQuestion, kYesNo, kFitTitle) == kYes);
    WaitPointer wait;
    const QImage picture(*name);
    if (!picture.isNull()) picture1_->SetPicture(picture);
}

QMimeData* PictureWindow::DragData(const QWidget& control) {
    auto* data = new QMimeData;
    data->setData(kControlDragFormat,
                  (control.objectName() + "," + QString::number(control.property("Index").toInt())).toUtf8());
    return data;
}

void PictureWindow::DropOnCanvas(const QMimeData& mime, QPoint pixels) {
    if (!mime.hasFormat(kControlDragFormat)) return;
    const QStringList parts = QString::fromUtf8(mime.data(kControlDragFormat)).split(',');
    if (parts.value(0).toLower() != "txtpictext") return;
    bool ok = false;
    const int index = parts.value(1).toInt(&ok);
    if (!ok || !txtPicText(index)) return;
    const double tpp = PictureCanvas::TwipsPerPixel();
    MovePicText(index, QPointF(pixels.x() * tpp, pixels.y() * tpp));
}

bool PictureWindow::DropText(QWidget* target, const QString& text) {
    if (target == txtBMP_->viewport()) {
        SetSourceText(SourceText() + text);
        return true;
    }
    if (auto* box = qobject_cast<QLineEdit*>(target); box && box->objectName() == kPicTextName) {
        box->setText(text);
        return true;
    }
    return false;
}

bool PictureWindow::eventFilter(QObject* watched, QEvent* event) {
    auto* widget = qobject_cast<QWidget*>(watched);
    const bool isSource = widget == txtBMP_->viewport();
    if (!widget || (!isSource && widget->objectName() != kPicTextName)) return QMainWindow::eventFilter(watched, event);
    switch (event->type()) {
        case QEvent::MouseButtonPress: {
            dragStart_ = static_cast<QMouseEvent*>(event)->position().toPoint();
            break;
        }
        case QEvent::MouseMove: {
            // Moving the pointer with the left button down starts a manual drag.
            auto* move = static_cast<QMouseEvent*>(event);
            if (!(move->buttons() & Qt::LeftButton) ||
                (move->position().toPoint() - dragStart_).manhattanLength() < QApplication::startDragDistance())
                break;
            auto* drag = new QDrag(widget);
            drag->setMimeData(DragData(isSource ? static_cast<const QWidget&>(*txtBMP_) : *widget));
            drag->exec(Qt::MoveAction);
            return true;
        }
        case QEvent::DragEnter:
        case QEvent::DragMove: {
            auto* enter = static_cast<QDragMoveEvent*>(event);
            if (enter->mimeData()->hasFormat(kControlDragFormat)) enter->ignore();
            else if (enter->mimeData()->hasText()) enter->acceptProposedAction();
            else enter->ignore();
            return true;
        }
        case QEvent::Drop: {
            auto* drop = static_cast<QDropEvent*>(event);
            if (!drop->mimeData()->hasFormat(kControlDragFormat) && drop->mimeData()->hasText() &&
                DropText(widget, drop->mimeData()->text()))
                drop->acceptProposedAction();
            return true;
        }
        default: break;
    }
    return QMainWindow::eventFilter(watched, event);
}

void PictureWindow::closeEvent(QCloseEvent* event) {
    // Closing the window unloads it, as "&Close" does.
    event->accept();
    if (Shared() == this) Unload();
}

}  // namespace vrayu
