#include "setup/SetupForm.h"
#include "support/RecordingMessages.h"
#include "support/SettingsXml.h"
#include "support/TestFiles.h"

#include <QAbstractButton>
#include <QDir>
#include <QDropEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QMimeData>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

namespace {

// Seconds, colour, transition, size and files in one line, so a difference reads at once.
QString Described(const SettingsValues &v)
{
    return QStringLiteral("%1 %2 %3 %4 %5").arg(v.timer).arg(v.background).arg(v.randomTransitions).arg(int(v.imageSize)).arg(v.files.join(','));
}

const SettingsXml Stored{"7", "16711935", "1", "FullScreen", {"/p/a.jpg", "/p/b.jpg"}};

// The fixture is the file chooser, answering from a queue; the hooks record their calls.
class SetupFormTest : public ::testing::Test, public FileChooser
{
protected:
    QStringList chooseFiles(QWidget *) override { return answers.takeFirst(); }
    void open(const SettingsXml &xml = Stored, const QString &file = SettingsFileName)
    {
        writeFile(path = dir.filePath(file), xml.text());
        (settings = std::make_unique<SettingsDoc>(path))->load();
        form = std::make_unique<SetupForm>(*settings, *this, messages,
            SetupForm::Hooks{[this] { calls << "pick"; return picked; }, [this] { calls << "preview"; }, [this] { calls << "end"; }});
        form->show();
    }
    template <typename T = QWidget> T *control(const char *name) const { return form->findChild<T *>(QLatin1String(name)); }
    void click(std::initializer_list<const char *> names) const { for (const char *name : names) QTest::mouseClick(control(name), Qt::LeftButton); }
    void type(const QString &text) const { control<QLineEdit>("txtSeconds")->setText(text); }
    QStringList entries() const { return form->controlValues().files; }
    QListWidget *list() const { return control<QListWidget>("lstFiles"); }
    QRgb pixel(const char *view, int x, int y) const { return control(view)->grab().toImage().pixel(x, y) | 0xFF000000u; }
    // Whether the named view is painted again after the action, as a user would see it change.
    bool repaints(const char *view, const std::function<void()> &action) const
    {
        struct Paints : QObject { bool seen = false; bool eventFilter(QObject *, QEvent *e) override { return seen |= e->type() == QEvent::Paint, false; } } paints;
        const bool exposed = QTest::qWaitForWindowExposed(form.get());
        QApplication::processEvents();
        control(view)->installEventFilter(&paints);
        action();
        return exposed && QTest::qWaitFor([&] { return paints.seen; }, 5000);
    }

    QTemporaryDir dir;
    QString path;
    std::unique_ptr<SettingsDoc> settings;
    RecordingMessages messages;
    QList<QStringList> answers;
    QStringList calls;
    std::optional<ColorValue> picked = RGB(1, 2, 3);
    std::unique_ptr<SetupForm> form;
};

TEST_F(SetupFormTest, LoadFillsTheControlsOfTheWindowAsTheUserKnowsIt)
{
    open();
    EXPECT_EQ(Described(form->controlValues()), "7 16711935 1 0 /p/a.jpg,/p/b.jpg");
    EXPECT_EQ(pixel("picboxbackgroundcolor", 5, 5), qRgb(255, 0, 255));
    // Centred on the offscreen screen of 800 x 800 pixels whose corner is at (160, 90).
    EXPECT_EQ(std::tuple(form->windowTitle(), QRect(form->pos(), form->size()), control("picImage")->size(), control<QAbstractButton>("Command1")->text()),
              std::tuple(QString("Screen Saver"), QRect(307, 288, 505, 404), QSize(81, 65), QString("Add File")));
    auto *tabs = control<QTabWidget>("SSTab1");
    EXPECT_EQ(tabs->tabText(tabs->currentIndex()), "Slide Size");
    tabs->setCurrentIndex(1);
    EXPECT_TRUE(control("frameTime")->isVisible() && !control("Frame2")->isVisible());
    EXPECT_EQ(control("upArrow")->geometry(), QRect(0, 0, 16, 10)) << "the up arrow takes the odd pixel";

    open({.transition = "0", .imageSize = ""});
    EXPECT_EQ(Described(form->controlValues()), "1 0 0 2 ") << "no size word leaves Medium";
}

TEST_F(SetupFormTest, AddRemoveAndPreviewOfTheFileList)
{
    const QString wide = writePicture(dir.filePath("wide.png"), qRgb(255, 0, 0), {40, 20});
    const QStringList all{wide, dir.filePath(SettingsFileName), wide, "/nowhere/x.txt"};
    open({.files = all.mid(0, 2)});
    const QRgb empty = pixel("picImage", 0, 0);
    // Chosen files go in in the dialog's order, duplicates kept; a cancelled chooser adds nothing.
    answers = {all.mid(2), {}};
    click({"Command1", "Command1"});
    EXPECT_TRUE(entries() == all && list()->selectedItems().isEmpty());
    // The selected picture shows fitted into the preview; an entry that is no picture empties it, quietly.
    EXPECT_TRUE(repaints("picImage", [this] { list()->setCurrentRow(0); }));
    EXPECT_EQ(pixel("picImage", 40, 32), qRgb(255, 0, 0));
    list()->setCurrentRow(1);
    EXPECT_TRUE(pixel("picImage", 40, 32) == empty && messages.shown.isEmpty());
    // Remove takes the selected entry and leaves nothing selected and the preview as it was; then nothing.
    list()->setCurrentRow(0);
    click({"cmdRemoveFile", "cmdRemoveFile"});
    EXPECT_EQ(entries(), all.mid(1));
    EXPECT_TRUE(list()->selectedItems().isEmpty() && list()->currentRow() == -1 && pixel("picImage", 40, 32) == qRgb(255, 0, 0));
}

TEST_F(SetupFormTest, ApplyStoresTheControlsPreviewTakesUnappliedChoicesAndCancelKeepsWhatApplyStored)
{
    open();
    answers = {{"/p/c.jpg"}, {"/p/unapplied.jpg"}};
    type("2.5");
    click({"upArrow", "upArrow", "downArrow", "optNone", "optSmall", "btnBackground", "Command1", "btnApply"});
    const QByteArray first = readFile(path);
    EXPECT_EQ(Described({settings->timerText(), settings->background(), settings->randomTransitions(), *settings->imageSize(), settings->files()}),
              "3.5 197121 0 3 /p/a.jpg,/p/b.jpg,/p/c.jpg");
    EXPECT_TRUE(first.contains("<timer>3.5</timer>") && form->isVisible());

    // Preview saves nothing first: the show reads the stored seconds and files and the dialog's unapplied choices.
    picked = RGB(4, 5, 6);
    type("9");
    click({"Command1", "optRandom", "optlarge"});
    control<QTabWidget>("SSTab1")->setCurrentIndex(2);
    EXPECT_TRUE(repaints("picboxbackgroundcolor", [this] { click({"btnBackground"}); }));
    picked = std::nullopt; // a cancelled picker keeps the colour
    click({"btnBackground", "btnPreview", "btnCancel"});
    form->close();
    QTest::keyClick(form.get(), Qt::Key_Escape);
    EXPECT_EQ(calls, QStringList({"pick", "pick", "pick", "preview", "end", "end", "end"}));
    EXPECT_EQ(Described(form->controlValues()), "9 394500 1 1 /p/a.jpg,/p/b.jpg,/p/c.jpg,/p/unapplied.jpg");
    EXPECT_EQ(readFile(path), first);
}

TEST_F(SetupFormTest, RefusedSecondsAndFailedSavesStoreNothingAndKeepTheWindowOpenElseOkEnds)
{
    writeFile(dir.filePath("missing"), "a file where the folder should be");
    open(Stored, "missing/settings.xml");
    click({"btnApply", "cmdOK"});
    EXPECT_TRUE(messages.shown.size() == 2 && messages.shown.first().contains("missing")) << messages.shown.join('|').toStdString();
    EXPECT_TRUE(calls.isEmpty() && form->isVisible());

    // Which texts are refused is the seconds check's business; one refused text shows what follows.
    messages.shown.clear();
    open();
    type("0");
    click({"btnApply", "cmdOK"});
    EXPECT_EQ(messages.shown, QStringList(2, "Seconds to Display Picture must be a number of at least 0.001, such as 5 or 2.5."));
    EXPECT_TRUE(calls.isEmpty() && form->isVisible() && readFile(path) == Stored.text());

    // OK stores, lets waiting events run once, then ends.
    type("0.5");
    QMetaObject::invokeMethod(form.get(), [this] { calls << "waiting event"; }, Qt::QueuedConnection);
    click({"cmdOK"});
    EXPECT_EQ(calls, QStringList({"waiting event", "end"}));
    EXPECT_EQ(settings->timerText(), "0.5");
}

TEST_F(SetupFormTest, DroppedFilesGoInAsChosenAndFoldersGiveTheirPicturesInNameOrder)
{
    // Pictures under any name and in either case, a text named like a picture, a picture one level down.
    QDir folder(dir.filePath("holiday"));
    ASSERT_TRUE(folder.mkpath("sub") && writeFile(folder.filePath("fake.png"), "no picture"));
    for (const char *name : {"C.png", "b.png", "photo.dat", "sub/d.png"})
        writePicture(folder.filePath(name), qRgb(255, 0, 0), {1, 1});
    open({.files = {"/p/a.jpg"}});
    // A drag over the list and its drop, Shift asking for a move: whether the drag was taken,
    // the number of entries after it and after the drop, and the drop's action.
    const auto drop = [this](const QList<QUrl> &urls, Qt::DropActions actions) {
        QMimeData data;
        data.setUrls(urls);
        QDragEnterEvent enter({5, 5}, actions, &data, Qt::LeftButton, Qt::ShiftModifier);
        QDropEvent dropped(QPointF(5, 5), actions, &data, Qt::LeftButton, Qt::ShiftModifier);
        QApplication::sendEvent(list()->viewport(), &enter);
        const qsizetype afterEnter = entries().size();
        QApplication::sendEvent(list()->viewport(), &dropped);
        return std::tuple(enter.isAccepted(), afterEnter, entries().size(), dropped.isAccepted() ? dropped.dropAction() : Qt::IgnoreAction);
    };
    const QUrl web("https://example.org/x.png");
    EXPECT_EQ(drop({QUrl::fromLocalFile("/p/a.jpg"), QUrl::fromLocalFile(folder.path()), web}, Qt::CopyAction | Qt::MoveAction), std::tuple(true, 1, 5, Qt::CopyAction));
    EXPECT_EQ(entries(), QStringList({"/p/a.jpg", "/p/a.jpg", folder.filePath("b.png"), folder.filePath("C.png"), folder.filePath("photo.dat")}));
    // Other addresses are refused, and so is a drag that could only move the files away.
    EXPECT_EQ(drop({web}, Qt::CopyAction), std::tuple(false, 5, 5, Qt::IgnoreAction));
    EXPECT_EQ(drop({QUrl::fromLocalFile("/p/a.jpg")}, Qt::MoveAction), std::tuple(false, 5, 5, Qt::IgnoreAction));
}

} // namespace
