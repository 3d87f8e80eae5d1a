// frmBitmap, the "Telugu Picture Generator": lays Telugu glyph text onto a
// canvas in a chosen font, size, style and pair of colours, with movable
// extra text items, and saves the canvas as a BMP, JPEG or GIF file. One
// shared instance, loaded on first use and unloaded by "&Close" or after a
// save through SaveMyPic. Every question goes through Dialogs.
#pragma once

#include <QMainWindow>
#include <QPointer>
#include <QSizeF>
#include <vector>

class QLabel;
class QLineEdit;
class QMimeData;
class QPlainTextEdit;
class QPrinter;
class QPushButton;
class QScrollBar;
class QScrollArea;

namespace vrayu {

class ActionSet;
class PictureCanvas;

inline constexpr char kPictureWindowTitle[] = "Telugu Picture Generator";
inline constexpr char kPictureFilter[] = "JPG Files (*.jpg)|*.jpg|GIF File(*.gif)|*.gif|Bitmap Files (*.bmp)|*.BMP|";
inline constexpr char kSavePictureTitle[] = "Save As Picture";
inline constexpr char kOpenPictureTitle[] = "Open Picture";
inline constexpr char kQualityPrompt[] = "Quality of the Picture in Percent: (95% for Best, 5% for Poor)";
inline constexpr char kQualityTitle[] = "Picture Quality";
inline constexpr char kQualityDefault[] = "90";
inline constexpr char kFitQuestion[] = "Do you want me to resize the work area to fit the picture to the box?";
inline constexpr char kFitTitle[] = "Fit Picture";
inline constexpr char kSaveTimeoutMessage[] =
    "Save Process is taking longer than set time (30 Seconds).\r\nFile may be too big. Try again with a smaller "
    "picture.";
inline constexpr char kSavePictureMessageTitle[] = "Save as Picture";
// Messages of failures the classic window left silent.
inline constexpr char kConverterMissingMessage[] =
    "The picture converter could not be started. It belongs in the program folder: ";
inline constexpr char kWriteFailedMessage[] = "The picture could not be written to ";
inline constexpr char kNotAPictureNameMessage[] = "Nothing was saved: the file name must end in .jpg, .gif or .bmp.";

class PictureWindow : public QMainWindow {
    Q_OBJECT
public:
    // The shared window, loaded (hidden) when it is not; `owner` becomes its
    // parent when it is created (it then closes with the owner).
    static PictureWindow& Instance(QWidget* owner = nullptr);
    // The shared window when loaded, else null.
    static PictureWindow* Loaded();
    // Unloads the shared window: it is closed and everything set in it is lost.
    static void Unload();

    ~PictureWindow() override;

    // Controls, by their names.
    QPlainTextEdit& txtBMP() const { return *txtBMP_; }
    QLabel& lblText() const { return *lblText_; }
    PictureCanvas& Picture1() const { return *picture1_; }
    QLineEdit& txtWidth() const { return *txtWidth_; }
    QLineEdit& txtHeight() const { return *txtHeight_; }
    QScrollBar& hscrPic() const { return *hscrPic_; }
    QScrollBar& vscrPic() const { return *vscrPic_; }
    QPushButton& cmdPicture() const { return *cmdPicture_; }
    QPushButton& Command1() const { return *command1_; }
    // Element `index` of txtPicText (null when it does not exist).
    QLineEdit* txtPicText(int index) const;
    int PicTextCount() const { return static_cast<int>(items_.size()); }
    ActionSet& Actions() const { return *actions_; }

    // Position of a text item on the canvas, in twips.
    QPointF PicTextPosition(int index) const;
    void MovePicText(int index, QPointF twips);

    // txtBMP's text with CR LF line ends, and setting it.
    QString SourceText() const;
    void SetSourceText(const QString& text);

    // The measuring label: its font, and its extent in twips (the caption in
    // that font, auto-sized).
    QFont LabelFont() const;
    void SetLabelFont(const QFont& font);
    QSizeF LabelTwips() const;

    int PictureQuality() const { return pictureQuality_; }
    void SetPictureQuality(int quality) { pictureQuality_ = quality; }
    int AddedTextCount() const { return addedTextCount_; }

    // Saves the canvas (BMP, JPEG or GIF by the name's last three letters,
    // JPEG quality PictureQuality). False for an empty name, a time-out or
    // a failure to write; True when saved and for a name of no picture type
    // (nothing is written then).
    bool SaveAsJPG(const QString& fileName);
    // With a non-empty name: SaveAsJPG, then unloads the window. An empty
    // name does nothing. No question is asked unless the save fails (a
    // time-out, a missing converter, a file that cannot be written).
    void SaveMyPic(const QString& fileName);
    // The same with the JPEG quality (percent) set first.
    void SaveMyPic(const QString& fileName, int quality);
    // Prints the text items onto the canvas, items whose tops lie within
    // 240 twips of the item that began a line sharing that line.
    void PaintMyPicture();
    // Prints `text` at the drawing position, then a line break.
    void PaintFromOutside(const QString& text);
    // Paints the source's picture with its top-left corner at the middle of
    // the destination; on a printer the job then ends, so the page prints.
    void PrintAnywhere(const PictureCanvas& source, PictureCanvas& destination);
    void PrintAnywhere(const PictureCanvas& source, QPrinter& printer);

    // Commands (menus and buttons).
    void NewPicture();
    void OpenPicture();
    void SavePictureAs();
    void ChooseFont();
    void ToggleBold();
    void ToggleItalics();
    void ToggleUnderLine();
    void ChooseForeColor();
    void ChooseBackColor();
    void RefreshTextOnPicture();
    void AddText();

    // Clears the canvas and prints txtBMP's text with a line break.
    void RedrawSource();

    // What a manual drag of `control` carries, and what a drop on the canvas
    // does with it (only text items move; anything else is ignored).
    static QMimeData* DragData(const QWidget& control);
    void DropOnCanvas(const QMimeData& mime, QPoint pixels);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    explicit PictureWindow(QWidget* owner);
    void BuildControls();
    void BindActions();
    void ResizeFromField(QLineEdit& field, bool width);
    void ToggleStyle(void (QFont::*set)(bool), bool (QFont::*get)() const);
    void ChooseColor(bool background);
    void PlaceItem(int index);
    QLineEdit* NewTextItem();
    // Text dropped from another program onto `target`.
    bool DropText(QWidget* target, const QString& text);

    struct TextItem {
        QLineEdit* box;
        QPointF twips;
    };

    QPlainTextEdit* txtBMP_;
    QLabel* lblText_;
    PictureCanvas* picture1_;
    QScrollArea* canvasArea_;
    QLineEdit* txtWidth_;
    QLineEdit* txtHeight_;
    QScrollBar* hscrPic_;
    QScrollBar* vscrPic_;
    QPushButton* cmdPicture_;
    QPushButton* command1_;
    std::vector<TextItem> items_;
    ActionSet* actions_;
    int pictureQuality_ = 0;
    int addedTextCount_ = 0;
    QPoint dragStart_;
};

}  // namespace vrayu
