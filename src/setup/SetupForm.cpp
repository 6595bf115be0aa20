#include "setup/SetupForm.h"

#include "setup/CenterForm.h"
#include "window/Dialogs.h"
#include "window/PlaceWidget.h"
#include "raster/FitPicture.h"
#include "raster/PictureLoader.h"
#include "window/SurfaceView.h"
#include "setup/UpDown.h"

#include <QCoreApplication>
#include <QDir>
#include <QDropEvent>
#include <QGroupBox>
#include <QImageReader>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMimeData>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QStyleFactory>
#include <QTabWidget>
#include <QToolButton>
#include <algorithm>

namespace {

// The window is laid out in twips; widgets take pixels.
QRect twips(int left, int top, int width, int height)
{
    return {TwipsToPixels(left), TwipsToPixels(top), TwipsToPixels(width), TwipsToPixels(height)};
}

QPushButton *button(QWidget *container, const char *name, const QString &caption, const QRect &geometry)
{
    auto *pushButton = PlaceWidget<QPushButton>(container, name, geometry, caption);
    // No button takes Enter: a stray Enter in the seconds box must not end the program.
    pushButton->setAutoDefault(false);
    return pushButton;
}

// A drop offers local files when at least one of its addresses names one.
bool OffersLocalFiles(const QMimeData &data)
{
    const QList<QUrl> urls = data.urls();
    return std::any_of(urls.begin(), urls.end(), [](const QUrl &url) { return url.isLocalFile(); });
}

// A dropped file goes in as it is, like a chosen one; a dropped folder gives the files
// directly inside it that the picture loader reads, whatever their names end in.
QStringList DroppedPaths(const QMimeData &data)
{
    QStringList paths;
    for (const QUrl &url : data.urls()) {
        if (!url.isLocalFile())
            continue;
        const QFileInfo dropped(url.toLocalFile());
        if (!dropped.isDir()) {
            paths << dropped.filePath();
            continue;
        }
        const QDir folder(dropped.filePath());
        for (const QFileInfo &file : folder.entryInfoList(QDir::Files, QDir::Name | QDir::IgnoreCase))
            if (QImageReader(file.filePath()).canRead())
                paths << file.filePath();
    }
    return paths;
}

} // namespace

SetupForm::SetupForm(SettingsDoc &settings, FileChooser &files, MessageSink &messages, Hooks hooks, QWidget *parent)
    : QDialog(parent), settings_(settings), files_(files), messages_(messages), hooks_(std::move(hooks)),
      picImage_(TwipsToPixels(1215), TwipsToPixels(975)), swatch_(TwipsToPixels(495), TwipsToPixels(375))
{
    setWindowTitle(QStringLiteral("Screen Saver"));
    setFixedSize(TwipsToPixels(7575), TwipsToPixels(6060));
    // The twips layout was made for an 8-point system font; larger captions would be clipped.
    QFont captions = font();
    captions.setPixelSize(11);
    setFont(captions);

    picImage_.setBackColor(fromQRgb(palette().color(QPalette::Window).rgb()));
    picImage_.clear();

    auto *frame1 = PlaceWidget<QGroupBox>(this, "Frame1", twips(0, -120, 7575, 6135));
    // The frames' contents start close to their top edge, which suits a caption drawn
    // on the border line; styles that put the caption above the border hide the first
    // control under it.
    auto *framesStyle = QStyleFactory::create(QStringLiteral("Windows"));
    framesStyle->setParent(this);
    lstFiles_ = PlaceWidget<QListWidget>(frame1, "lstFiles", twips(120, 240, 6015, 2205));
    picImageView_ = PlaceWidget<SurfaceView>(frame1, "picImage", twips(6240, 240, 1215, 975), picImage_);
    auto *command1 = button(frame1, "Command1", QStringLiteral("Add File"), twips(6240, 1440, 1215, 255));
    auto *cmdRemoveFile = button(frame1, "cmdRemoveFile", QStringLiteral("Remove File"), twips(6240, 1800, 1215, 255));
    auto *line1 = PlaceWidget<QFrame>(frame1, "Line1", QRect(QPoint(TwipsToPixels(120), TwipsToPixels(2640)), QPoint(TwipsToPixels(7800) - 1, TwipsToPixels(2640))));
    line1->setFrameStyle(QFrame::HLine | QFrame::Plain);

    auto *ssTab1 = PlaceWidget<QTabWidget>(frame1, "SSTab1", twips(360, 3000, 6495, 2415));
    // The frames sit on the tabbed control itself, so their positions count from its
    // top-left corner as the layout gives them; the pages stay empty and the tab in
    // front shows its frame.
    auto *frameTransition = PlaceWidget<QGroupBox>(ssTab1, "frameTransition", twips(720, 480, 4455, 1455), QStringLiteral("Screen Transition"));
    optRandom_ = PlaceWidget<QRadioButton>(frameTransition, "optRandom", twips(1560, 480, 1455, 375), QStringLiteral("Random"));
    optNone_ = PlaceWidget<QRadioButton>(frameTransition, "optNone", twips(1560, 840, 1095, 375), QStringLiteral("None"));
    optRandom_->setChecked(true);

    auto *frameTime = PlaceWidget<QGroupBox>(ssTab1, "frameTime", twips(600, 600, 5055, 1215), QStringLiteral("Time"));
    PlaceWidget<QLabel>(frameTime, "Label1", twips(480, 480, 2415, 255), QStringLiteral("Seconds to Display Picture"));
    txtSeconds_ = PlaceWidget<QLineEdit>(frameTime, "txtSeconds", twips(2880, 480, 375, 285), QStringLiteral("1"));
    auto *upDown1 = PlaceWidget<UpDown>(frameTime, "UpDown1", twips(3240, 480, 240, 285));

    auto *frameBackground = PlaceWidget<QGroupBox>(ssTab1, "frameBackground", twips(360, 720, 5295, 1335), QStringLiteral("Background Color"));
    swatchView_ = PlaceWidget<SurfaceView>(frameBackground, "picboxbackgroundcolor", twips(1920, 480, 495, 375), swatch_);
    auto *btnBackground = button(frameBackground, "btnBackground", QStringLiteral("Select"), twips(2640, 480, 1215, 375));

    auto *frame2 = PlaceWidget<QGroupBox>(ssTab1, "Frame2", twips(480, 480, 5535, 1695), QStringLiteral("Select Size"));
    sizeOptions_[int(ImageSize::FullScreen)] = PlaceWidget<QRadioButton>(frame2, "optFullScreen", twips(1680, 240, 1335, 255), QStringLiteral("Full Screen"));
    sizeOptions_[int(ImageSize::Large)] = PlaceWidget<QRadioButton>(frame2, "optlarge", twips(1680, 600, 1215, 255), QStringLiteral("Large"));
    sizeOptions_[int(ImageSize::Medium)] = PlaceWidget<QRadioButton>(frame2, "optMedium", twips(1680, 960, 1215, 255), QStringLiteral("Medium"));
    sizeOptions_[int(ImageSize::Small)] = PlaceWidget<QRadioButton>(frame2, "optSmall", twips(1680, 1320, 1215, 255), QStringLiteral("Small"));
    sizeOptions_[int(ImageSize::Medium)]->setChecked(true);

    const std::array<QGroupBox *, 4> tabFrames{frameTransition, frameTime, frameBackground, frame2};
    for (QGroupBox *frame : {frame1, frameTransition, frameTime, frameBackground, frame2})
        frame->setStyle(framesStyle);
    for (const QString &caption : {QStringLiteral("Slide Transitions"), QStringLiteral("Slide Time Delay"),
                                   QStringLiteral("Background"), QStringLiteral("Slide Size")})
        ssTab1->addTab(new QWidget, caption);
    connect(ssTab1, &QTabWidget::currentChanged, this, [tabFrames](int index) {
        for (int k = 0; k < int(tabFrames.size()); ++k)
            tabFrames[k]->setVisible(k == index);
    });
    ssTab1->setCurrentIndex(3);

    auto *btnPreview = button(frame1, "btnPreview", QStringLiteral("Preview"), twips(2160, 5520, 1095, 495));
    auto *cmdOK = button(frame1, "cmdOK", QStringLiteral("OK"), twips(4680, 5640, 855, 375));
    auto *btnApply = button(frame1, "btnApply", QStringLiteral("Apply"), twips(5640, 5640, 855, 375));
    auto *btnCancel = button(frame1, "btnCancel", QStringLiteral("Cancel"), twips(6600, 5640, 855, 375));

    lstFiles_->viewport()->setAcceptDrops(true);
    lstFiles_->viewport()->installEventFilter(this);

    connect(command1, &QPushButton::clicked, this, &SetupForm::addFile);
    connect(cmdRemoveFile, &QPushButton::clicked, this, &SetupForm::removeFile);
    connect(lstFiles_, &QListWidget::itemSelectionChanged, this, &SetupForm::previewSelection);
    connect(upDown1->upArrow(), &QToolButton::clicked, this, [this] { stepSeconds(SecondsArrow::Up); });
    connect(upDown1->downArrow(), &QToolButton::clicked, this, [this] { stepSeconds(SecondsArrow::Down); });
    connect(btnBackground, &QPushButton::clicked, this, &SetupForm::selectBackground);
    connect(btnPreview, &QPushButton::clicked, this, [this] { hooks_.startPreview(); });
    connect(cmdOK, &QPushButton::clicked, this, &SetupForm::ok);
    connect(btnApply, &QPushButton::clicked, this, &SetupForm::storeSettings);
    connect(btnCancel, &QPushButton::clicked, this, [this] { hooks_.endProgram(); });

    load();
}

void SetupForm::load()
{
    txtSeconds_->setText(settings_.timerText());
    setBackgroundColor(settings_.background());
    (settings_.randomTransitions() ? optRandom_ : optNone_)->setChecked(true);
    if (const std::optional<ImageSize> size = settings_.imageSize())
        sizeOptions_[int(*size)]->setChecked(true);
    lstFiles_->addItems(settings_.files());
    CenterForm(*this);
}

ColorValue SetupForm::backgroundColor() const
{
    return swatch_.backColor();
}

bool SetupForm::randomTransitions() const
{
    return optRandom_->isChecked();
}

ImageSize SetupForm::imageSize() const
{
    for (int k = 0; k < int(sizeOptions_.size()); ++k)
        if (sizeOptions_[k]->isChecked())
            return ImageSize(k);
    return ImageSize::Medium; // unreachable: one option of the group is always checked
}

SettingsValues SetupForm::controlValues() const
{
    QStringList files;
    for (int k = 0; k < lstFiles_->count(); ++k)
        files << lstFiles_->item(k)->text();
    return {txtSeconds_->text(), backgroundColor(), randomTransitions(), imageSize(), files};
}

void SetupForm::reject()
{
    hooks_.endProgram();
}

void SetupForm::setBackgroundColor(ColorValue color)
{
    swatch_.setBackColor(color);
    swatch_.clear();
    swatch_.refresh();
}

int SetupForm::selectedIndex() const
{
    const QModelIndexList rows = lstFiles_->selectionModel()->selectedRows();
    return rows.isEmpty() ? -1 : rows.first().row();
}

void SetupForm::addFile()
{
    appendFiles(files_.chooseFiles(this));
}

void SetupForm::appendFiles(const QStringList &paths)
{
    // Appended unchecked and in the order given; the selection and the preview stay.
    lstFiles_->addItems(paths);
}

bool SetupForm::eventFilter(QObject *watched, QEvent *event)
{
    const QEvent::Type type = event->type();
    if (watched != lstFiles_->viewport() || (type != QEvent::DragEnter && type != QEvent::DragMove && type != QEvent::Drop))
        return QDialog::eventFilter(watched, event);
    auto *drop = static_cast<QDropEvent *>(event);
    // Only ever a copy: accepting a move would let the file manager delete the pictures.
    if (!(drop->possibleActions() & Qt::CopyAction) || !OffersLocalFiles(*drop->mimeData())) {
        drop->ignore();
        return true;
    }
    drop->setDropAction(Qt::CopyAction);
    drop->accept();
    if (type == QEvent::Drop)
        appendFiles(DroppedPaths(*drop->mimeData()));
    return true;
}

void SetupForm::removeFile()
{
    const int index = selectedIndex();
    if (index < 0)
        return;
    // Removing moves the current row on to the next entry, which would select and
    // preview it; afterwards nothing is selected and the preview keeps its picture.
    const QSignalBlocker quiet(lstFiles_);
    delete lstFiles_->takeItem(index);
    lstFiles_->setCurrentRow(-1);
    lstFiles_->clearSelection();
}

void SetupForm::previewSelection()
{
    const int index = selectedIndex();
    if (index < 0)
        return;
    // Decoded no larger than the preview needs: a huge picture is never held in full.
    const PictureLoadResult loaded = LoadPicture(lstFiles_->item(index)->text(), picImage_.size());
    if (!loaded.ok()) {
        // Missing, unreadable, not a picture or an empty path: an empty preview, no message.
        picImage_.clear();
    } else {
        picHidden_.adoptPicture(loaded.picture);
        if (const QString failure = FitPicture(loaded.picture, loaded.naturalSize, picImage_); !failure.isEmpty())
            messages_.showMessage(this, ProgramTitle, failure);
    }
    picImage_.refresh();
}

void SetupForm::stepSeconds(SecondsArrow arrow)
{
    if (const std::optional<QString> text = SteppedSeconds(txtSeconds_->text(), arrow))
        txtSeconds_->setText(*text);
}

void SetupForm::selectBackground()
{
    if (const std::optional<ColorValue> color = hooks_.pickColor())
        setBackgroundColor(*color);
}

bool SetupForm::storeSettings()
{
    if (!AcceptableSeconds(txtSeconds_->text())) {
        messages_.showMessage(this, ProgramTitle,
                              QStringLiteral("Seconds to Display Picture must be a number of at least 0.001, such as 5 or 2.5."));
        txtSeconds_->setFocus();
        txtSeconds_->selectAll();
        return false;
    }
    const SettingsSaveResult saved = settings_.SaveSettings(controlValues());
    if (!saved.ok)
        messages_.showMessage(this, ProgramTitle, saved.message);
    return saved.ok;
}

void SetupForm::ok()
{
    if (!storeSettings())
        return;
    QCoreApplication::processEvents();
    hooks_.endProgram();
}
