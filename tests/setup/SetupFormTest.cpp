#include "window/Dialogs.h"
#include "setup/SetupForm.h"

#include <QDir>
#include <QDropEvent>
#include <QFile>
#include <QImage>
#include <QLineEdit>
#include <QListWidget>
#include <QMimeData>
#include <QRadioButton>
#include <QScreen>
#include <QTabBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>
#include <cmath>
#include <gtest/gtest.h>

namespace {

QByteArray Xml(const QString &timer = "7", const QString &transition = "1", const QString &size = "FullScreen",
               const QString &files = "<file>/p/a.jpg</file><!--note--><file>/p/b.jpg</file>")
{
    return QStringLiteral("<settings><timer>%1</timer><background>16711935</background><transition>%2</transition>"
                          "<imagesize>%3</imagesize><owner>kept</owner><files>%4</files></settings>\n")
        .arg(timer, transition, size, files).toUtf8();
}

// The fixture is the file chooser (answering from a queue) and the message sink (recording).
class SetupFormTest : public ::testing::Test, public FileChooser, public MessageSink
{
protected:
    QStringList chooseFiles(QWidget *) override { return answers.takeFirst(); }
    void showMessage(QWidget *, const QString &, const QString &text) override { shown << text; }

    void open(const QByteArray &xml = Xml(), const QString &file = SettingsFileName)
    {
        QFile out(path = dir.filePath(file));
        if (out.open(QIODevice::WriteOnly))
            out.write(xml);
        out.close();
        settings = std::make_unique<SettingsDoc>(path);
        settings->load();
        const auto preview = [this] {
            calls << "preview";
            previewSaw = {settings->timerText(), form->backgroundColor(), form->randomTransitions(), form->imageSize(), settings->files()};
        };
        form = std::make_unique<SetupForm>(*settings, *this, *this,
            SetupForm::Hooks{[this] { calls << "pick"; return picked; }, preview, [this] { calls << "end"; }});
        form->show();
    }
    template <typename T = QWidget> T *control(const char *name) const
    {
        T *widget = form->findChild<T *>(QLatin1String(name));
        EXPECT_NE(widget, nullptr) << name;
        return widget;
    }
    void click(std::initializer_list<const char *> names) const
    {
        for (const char *name : names)
            QTest::mouseClick(control(name), Qt::LeftButton);
    }
    bool checked(const char *name) const { return control<QRadioButton>(name)->isChecked(); }
    QString seconds() const { return control<QLineEdit>("txtSeconds")->text(); }
    void type(const QString &text) const
    {
        control<QLineEdit>("txtSeconds")->clear();
        QTest::keyClicks(control("txtSeconds"), text);
    }
    QStringList entries() const { return form->controlValues().files; }
    QListWidget *list() const { return control<QListWidget>("lstFiles"); }
    QByteArray stored() const
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    QRgb previewAt(int x, int y) const { return control("picImage")->grab().toImage().pixel(x, y) | 0xFF000000u; }

    QTemporaryDir dir;
    QString path;
    std::unique_ptr<SettingsDoc> settings;
    QList<QStringList> answers;
    QStringList shown, calls;
    std::optional<ColorValue> picked = RGB(1, 2, 3);
    SettingsValues previewSaw;
    std::unique_ptr<SetupForm> form;
};

TEST_F(SetupFormTest, EveryControlSitsAtItsTwipsPositionAndEachTabShowsItsFrame)
{
    open();
    const struct { const char *name, *container; QRect twips; } places[] = {
        {"Frame1", "", {0, -120, 7575, 6135}}, {"lstFiles", "Frame1", {120, 240, 6015, 2205}}, {"picImage", "Frame1", {6240, 240, 1215, 975}},
        {"Command1", "Frame1", {6240, 1440, 1215, 255}}, {"cmdRemoveFile", "Frame1", {6240, 1800, 1215, 255}}, {"Line1", "Frame1", {120, 2640, 7680, 15}},
        {"SSTab1", "Frame1", {360, 3000, 6495, 2415}}, {"btnPreview", "Frame1", {2160, 5520, 1095, 495}}, {"cmdOK", "Frame1", {4680, 5640, 855, 375}},
        {"btnApply", "Frame1", {5640, 5640, 855, 375}}, {"btnCancel", "Frame1", {6600, 5640, 855, 375}}, {"frameTransition", "SSTab1", {720, 480, 4455, 1455}},
        {"optRandom", "frameTransition", {1560, 480, 1455, 375}}, {"optNone", "frameTransition", {1560, 840, 1095, 375}}, {"frameTime", "SSTab1", {600, 600, 5055, 1215}},
        {"Label1", "frameTime", {480, 480, 2415, 255}}, {"txtSeconds", "frameTime", {2880, 480, 375, 285}}, {"UpDown1", "frameTime", {3240, 480, 240, 285}},
        {"frameBackground", "SSTab1", {360, 720, 5295, 1335}}, {"picboxbackgroundcolor", "frameBackground", {1920, 480, 495, 375}}, {"btnBackground", "frameBackground", {2640, 480, 1215, 375}},
        {"Frame2", "SSTab1", {480, 480, 5535, 1695}}, {"optFullScreen", "Frame2", {1680, 240, 1335, 255}}, {"optlarge", "Frame2", {1680, 600, 1215, 255}},
        {"optMedium", "Frame2", {1680, 960, 1215, 255}}, {"optSmall", "Frame2", {1680, 1320, 1215, 255}}};
    for (const auto &place : places) {
        const QWidget *widget = control(place.name);
        ASSERT_NE(widget, nullptr);
        EXPECT_EQ(widget->parentWidget()->objectName(), place.container) << place.name;
        const QRect g = widget->geometry();
        EXPECT_EQ(QRect(g.x() * 15, g.y() * 15, g.width() * 15, g.height() * 15), place.twips) << place.name;
    }
    EXPECT_EQ(form->size(), QSize(505, 404));
    EXPECT_EQ(form->windowTitle(), "Screen Saver");

    auto *tabs = control<QTabWidget>("SSTab1");
    const QStringList titles{"Slide Transitions", "Slide Time Delay", "Background", "Slide Size"};
    const char *frames[] = {"frameTransition", "frameTime", "frameBackground", "Frame2"};
    ASSERT_EQ(tabs->count(), 4);
    for (int tab : {3, 0, 1, 2}) { // Slide Size is in front at first.
        EXPECT_EQ(tabs->tabText(tab), titles[tab]);
        if (tab != 3)
            QTest::mouseClick(tabs->tabBar(), Qt::LeftButton, {}, tabs->tabBar()->tabRect(tab).center());
        for (int k = 0; k < 4; ++k)
            EXPECT_EQ(control(frames[k])->isVisible(), k == tab) << tab << frames[k];
    }
}

TEST_F(SetupFormTest, LoadFillsEveryControlAndCentresTheWindow)
{
    open();
    EXPECT_EQ(seconds(), "7");
    EXPECT_EQ(form->backgroundColor(), RGB(255, 0, 255));
    EXPECT_EQ(control("picboxbackgroundcolor")->grab().toImage().pixel(5, 5), qRgb(255, 0, 255));
    EXPECT_EQ(entries(), QStringList({"/p/a.jpg", "/p/b.jpg"}));
    // Half the difference in twips, then back to pixels, each rounding a half to even.
    const QRect screen = form->screen()->geometry();
    const auto centred = [](int s, int w) { return int(std::nearbyint(std::nearbyint((s - w) * 7.5) / 15)); };
    EXPECT_EQ(form->pos() - screen.topLeft(), QPoint(centred(screen.width(), 505), centred(screen.height(), 404)));

    const struct { const char *transition; bool random; const char *size, *option; } cases[] = {
        {"1", true, "FullScreen", "optFullScreen"}, {"0", false, "medium", "optMedium"}, {"1.0", true, "small", "optSmall"},
        {"2", false, "large", "optlarge"}, {"1", true, "Large", "optMedium"}, {"1", true, "fullscreen", "optMedium"}};
    for (const auto &c : cases) {
        open(Xml("1", c.transition, c.size, {}));
        EXPECT_TRUE(checked(c.random ? "optRandom" : "optNone") && checked(c.option)) << c.transition << ' ' << c.size;
    }
}

TEST_F(SetupFormTest, ArrowsStepTheTypedNumberAndStopOnlyAtExactlyOneAndTen)
{
    open();
    const struct { const char *typed, *arrow, *shown; } cases[] = {
        {"7", "downArrow", "6"},  {"7", "upArrow", "8"},      {"1", "downArrow", "1"},     {"10", "upArrow", "10"},
        {"12", "upArrow", "13"},  {"0", "downArrow", "-1"},   {"2.5", "upArrow", "3.5"},   {"4.5", "downArrow", "3.5"},
        {"1", "upArrow", "2"},    {"10.0", "downArrow", "9"}, {"1.0", "downArrow", "1.0"}, {"1e1", "upArrow", "1e1"},
        {"five", "upArrow", "five"}};
    for (const auto &c : cases) {
        type(c.typed);
        QTest::mouseClick(control("UpDown1")->findChild<QToolButton *>(c.arrow), Qt::LeftButton);
        EXPECT_EQ(seconds(), c.shown) << c.typed << " " << c.arrow;
    }
}

TEST_F(SetupFormTest, AddRemoveAndPreviewOfTheFileList)
{
    QImage wide(40, 20, QImage::Format_RGB32);
    wide.fill(qRgb(255, 0, 0));
    wide.save(dir.filePath("wide.png"));
    const QStringList all{dir.filePath("wide.png"), dir.filePath(SettingsFileName), dir.filePath("wide.png"), "/nowhere/x.txt"};
    open(Xml("1", "1", "medium", QString("<file>%1</file><file>%2</file>").arg(all[0], all[1])));
    const QRgb empty = previewAt(0, 0);
    const auto select = [&](int row) { QTest::mouseClick(list()->viewport(), Qt::LeftButton, {}, list()->visualItemRect(list()->item(row)).center()); };

    // Several chosen files go in unchecked and in the dialog's order, duplicates kept; a cancelled
    // chooser adds nothing; nothing ends up selected.
    answers = {{all[2], all[3]}, {}};
    click({"Command1", "Command1"});
    EXPECT_EQ(entries(), all);
    EXPECT_TRUE(list()->selectedItems().isEmpty());

    // 40 x 20 fitted into 81 x 65 is 81 wide and 40.5 high, centred; an entry that is no picture empties it.
    select(0);
    EXPECT_EQ(previewAt(40, 32), qRgb(255, 0, 0));
    EXPECT_EQ(previewAt(40, 5), empty);
    select(1);
    EXPECT_EQ(previewAt(40, 32), empty);
    EXPECT_TRUE(shown.isEmpty());

    // Remove takes the selected entry, leaves nothing selected and the preview as it was; without a selection nothing.
    select(2);
    click({"cmdRemoveFile"});
    EXPECT_EQ(entries(), QStringList({all[0], all[1], all[3]}));
    EXPECT_TRUE(list()->selectedItems().isEmpty());
    EXPECT_EQ(previewAt(40, 32), qRgb(255, 0, 0));
    click({"cmdRemoveFile"});
    EXPECT_EQ(entries().size(), 3);
}

TEST_F(SetupFormTest, ApplyStoresExactlyTheControlsPreviewTakesUnappliedChoicesAndCancelKeepsWhatApplyStored)
{
    open();
    answers = {{"/p/c.jpg"}};
    type("2.5");
    click({"optNone", "optSmall", "btnBackground", "Command1", "btnApply"});
    const QByteArray first = stored();
    click({"btnApply"});
    EXPECT_EQ(stored(), first);
    SettingsDoc reread(path);
    ASSERT_TRUE(reread.load().ok);
    EXPECT_EQ(reread.timerText(), "2.5");
    EXPECT_EQ(reread.background(), RGB(1, 2, 3));
    EXPECT_FALSE(reread.randomTransitions());
    EXPECT_EQ(reread.imageSize(), ImageSize::Small);
    EXPECT_EQ(reread.files(), QStringList({"/p/a.jpg", "/p/b.jpg", "/p/c.jpg"}));
    EXPECT_TRUE(first.contains("<owner>kept</owner>") && first.indexOf("/p/a.jpg") < first.indexOf("<!--note-->")
                && first.indexOf("<!--note-->") < first.indexOf("/p/b.jpg"));
    EXPECT_TRUE(form->isVisible());

    // Preview runs on the stored seconds and files with the dialog's unapplied colour, transition and size.
    picked = RGB(4, 5, 6);
    answers = {{"/p/unapplied.jpg"}};
    type("9");
    click({"Command1", "optRandom", "optlarge", "btnBackground", "btnPreview"});
    EXPECT_EQ(calls, QStringList({"pick", "pick", "preview"}));
    EXPECT_EQ(previewSaw.timer, "2.5");
    EXPECT_EQ(previewSaw.files, reread.files());
    EXPECT_EQ(previewSaw.background, RGB(4, 5, 6));
    EXPECT_TRUE(previewSaw.randomTransitions);
    EXPECT_EQ(previewSaw.imageSize, ImageSize::Large);

    calls.clear();
    click({"btnCancel"});
    form->close();
    QTest::keyClick(form.get(), Qt::Key_Escape);
    EXPECT_EQ(calls, QStringList({"end", "end", "end"}));
    EXPECT_EQ(stored(), first);
}
TEST_F(SetupFormTest, BadSecondsAndFailedSavesStoreNothingAndKeepTheWindowOpenElseOkEnds)
{
    QFile(dir.filePath("missing")).open(QIODevice::WriteOnly); // a file where the folder should be
    open(Xml(), "missing/settings.xml");
    click({"btnApply", "cmdOK"});
    ASSERT_EQ(shown.size(), 2);
    EXPECT_TRUE(shown.first().contains("missing"));
    EXPECT_TRUE(calls.isEmpty() && form->isVisible());

    shown.clear();
    open();
    const QByteArray before = stored();
    for (const char *typed : {"", "abc", "0", "-3", "2,5"}) {
        type(typed);
        click({"btnApply", "cmdOK"});
        EXPECT_EQ(stored(), before) << typed;
        EXPECT_EQ(settings->timerText(), "7") << typed;
    }
    EXPECT_EQ(shown.size(), 10);
    EXPECT_TRUE(shown.first().contains("Seconds to Display Picture"));
    EXPECT_TRUE(calls.isEmpty() && form->isVisible());

    // OK stores, lets waiting events run once, then ends.
    type("0.5");
    QMetaObject::invokeMethod(form.get(), [this] { calls << "waiting event"; }, Qt::QueuedConnection);
    click({"cmdOK"});
    EXPECT_EQ(calls, QStringList({"waiting event", "end"}));
    EXPECT_TRUE(stored().contains("<timer>0.5</timer>"));
}

TEST_F(SetupFormTest, SelectKeepsTheColourWhenThePickerIsCancelledOrMissing)
{
    picked = std::nullopt;
    open();
    click({"btnBackground"});
    EXPECT_EQ(form->backgroundColor(), RGB(255, 0, 255));
    form = std::make_unique<SetupForm>(*settings, *this, *this, SetupForm::Hooks{{}, [] {}, [] {}});
    click({"btnBackground"});
    EXPECT_EQ(form->backgroundColor(), RGB(255, 0, 255));
}

TEST_F(SetupFormTest, DroppedFilesGoInAsChosenAndFoldersGiveTheirPicturesInNameOrder)
{
    // Pictures under any name and in either case, a text named like a picture, a picture one level down.
    QImage red(1, 1, QImage::Format_RGB32);
    red.fill(qRgb(255, 0, 0));
    QDir folder(dir.filePath("holiday"));
    ASSERT_TRUE(folder.mkpath("sub"));
    for (const char *name : {"C.png", "b.png", "photo.dat", "sub/d.png"})
        ASSERT_TRUE(red.save(folder.filePath(name), "PNG"));
    QFile fake(folder.filePath("fake.png"));
    ASSERT_TRUE(fake.open(QIODevice::WriteOnly) && fake.write("no picture") > 0);
    fake.close();
    open(Xml("1", "1", "medium", "<file>/p/a.jpg</file>"));
    // Sends a drag over the list and the drop, with Shift asking for a move; gives whether the
    // drag was taken and the drop's action.
    const auto drop = [this](const QList<QUrl> &urls, Qt::DropActions actions) {
        QMimeData data;
        data.setUrls(urls);
        QDragEnterEvent enter({5, 5}, actions, &data, Qt::LeftButton, Qt::ShiftModifier);
        QDropEvent dropped(QPointF(5, 5), actions, &data, Qt::LeftButton, Qt::ShiftModifier);
        QApplication::sendEvent(list()->viewport(), &enter);
        QApplication::sendEvent(list()->viewport(), &dropped);
        return std::pair(enter.isAccepted(), dropped.isAccepted() ? dropped.dropAction() : Qt::IgnoreAction);
    };

    const QUrl web("https://example.org/x.png");
    EXPECT_EQ(drop({QUrl::fromLocalFile("/p/a.jpg"), QUrl::fromLocalFile(folder.path()), web}, Qt::CopyAction | Qt::MoveAction),
              std::pair(true, Qt::CopyAction));
    const QStringList all{"/p/a.jpg", "/p/a.jpg", folder.filePath("b.png"), folder.filePath("C.png"), folder.filePath("photo.dat")};
    EXPECT_EQ(entries(), all);
    EXPECT_TRUE(list()->selectedItems().isEmpty());
    // Other addresses are refused, and so is a drag that could only move the files away.
    EXPECT_EQ(drop({web}, Qt::CopyAction), std::pair(false, Qt::IgnoreAction));
    EXPECT_EQ(drop({QUrl::fromLocalFile("/p/a.jpg")}, Qt::MoveAction), std::pair(false, Qt::IgnoreAction));
    EXPECT_EQ(entries(), all);
}

} // namespace
