#include "window/Dialogs.h"
#include "setup/SetupForm.h"

#include <QDir>
#include <QDropEvent>
#include <QFile>
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
#include <gtest/gtest.h>

namespace {

QByteArray Xml(const QString &size = "<imagesize>FullScreen</imagesize>", const QString &files = "<file>/p/a.jpg</file><!--note--><file>/p/b.jpg</file>")
{
    return QStringLiteral("<settings><timer>7</timer><background>16711935</background><transition>1</transition>%1"
                          "<owner>kept</owner><files>%2</files></settings>\n").arg(size, files).toUtf8();
}

// Seconds, colour, transition, size and files in one line, so a difference reads at once.
std::string Described(const SettingsValues &v)
{
    return QStringLiteral("%1 %2 %3 %4 %5").arg(v.timer).arg(v.background).arg(v.randomTransitions).arg(int(v.imageSize)).arg(v.files.join(',')).toStdString();
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
    template <typename T = QWidget> T *control(const char *name) const { return form->findChild<T *>(QLatin1String(name)); }
    void click(std::initializer_list<const char *> names) const
    {
        for (const char *name : names)
            QTest::mouseClick(control(name), Qt::LeftButton);
    }
    bool checked(const char *name) const { return control<QRadioButton>(name)->isChecked(); }
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
    QRgb pixel(const char *view, int x, int y) const { return control(view)->grab().toImage().pixel(x, y) | 0xFF000000u; }
    // Whether the named view is painted again after the action, as a user would see it change.
    bool repaints(const char *view, const std::function<void()> &action) const
    {
        struct Paints : QObject { bool seen = false; bool eventFilter(QObject *, QEvent *e) override { seen |= e->type() == QEvent::Paint; return false; } } paints;
        QTest::qWaitForWindowExposed(form.get());
        QApplication::processEvents();
        control(view)->installEventFilter(&paints);
        action();
        return QTest::qWaitFor([&] { return paints.seen; }, 5000);
    }

    QTemporaryDir dir;
    QString path;
    std::unique_ptr<SettingsDoc> settings;
    QList<QStringList> answers;
    QStringList shown, calls;
    std::optional<ColorValue> picked = RGB(1, 2, 3);
    SettingsValues previewSaw;
    std::unique_ptr<SetupForm> form;
};

TEST_F(SetupFormTest, ListPreviewAndButtonsSitWhereTheUserLooksAndEachTabShowsItsFrame)
{
    open();
    EXPECT_EQ(form->windowTitle(), "Screen Saver");
    EXPECT_EQ(form->size(), QSize(505, 404));
    const struct { const char *name, *caption; QRect inWindow; } places[] = {
        {"lstFiles", nullptr, {8, 8, 401, 147}}, {"picImage", nullptr, {416, 8, 81, 65}}, {"Command1", "Add File", {416, 88, 81, 17}},
        {"cmdRemoveFile", "Remove File", {416, 112, 81, 17}}, {"btnPreview", "Preview", {144, 360, 73, 33}},
        {"cmdOK", "OK", {312, 368, 57, 25}}, {"btnApply", "Apply", {376, 368, 57, 25}}, {"btnCancel", "Cancel", {440, 368, 57, 25}}};
    for (const auto &[name, caption, inWindow] : places) {
        const QWidget *widget = control(name);
        EXPECT_EQ(QRect(widget->mapTo(form.get(), QPoint()), widget->size()), inWindow) << name;
        EXPECT_TRUE(!caption || control<QAbstractButton>(name)->text() == caption) << name;
    }
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
    EXPECT_EQ(Described(form->controlValues()), "7 16711935 1 0 /p/a.jpg,/p/b.jpg");
    EXPECT_EQ(pixel("picboxbackgroundcolor", 5, 5), qRgb(255, 0, 255));
    EXPECT_TRUE(checked("optFullScreen"));
    // The offscreen screen is 800 x 800 pixels; its centre in twips puts the window here.
    EXPECT_EQ(form->pos() - form->screen()->geometry().topLeft(), QPoint(147, 198));
    open(QByteArray(Xml({}, {})).replace("<transition>1", "<transition>0"));
    EXPECT_TRUE(checked("optNone") && checked("optMedium")) << "no stored size leaves Medium";
}

TEST_F(SetupFormTest, ArrowsStepTheTypedNumberAndStopOnlyAtExactlyOneAndTen)
{
    open();
    const struct { const char *typed, *arrow, *shown; } cases[] = {
        {"7", "downArrow", "6"}, {"7", "upArrow", "8"}, {"1", "downArrow", "1"}, {"10", "upArrow", "10"}, {"12", "upArrow", "13"},
        {"0", "downArrow", "-1"}, {"2.5", "upArrow", "3.5"}, {"10.0", "downArrow", "9"}, {"1.0", "downArrow", "1.0"}, {"five", "upArrow", "five"}};
    for (const auto &c : cases) {
        type(c.typed);
        QTest::mouseClick(control("UpDown1")->findChild<QToolButton *>(c.arrow), Qt::LeftButton);
        EXPECT_EQ(control<QLineEdit>("txtSeconds")->text(), c.shown) << c.typed << " " << c.arrow;
    }
}

TEST_F(SetupFormTest, AddRemoveAndPreviewOfTheFileList)
{
    QImage wide(40, 20, QImage::Format_RGB32);
    wide.fill(qRgb(255, 0, 0));
    wide.save(dir.filePath("wide.png"));
    const QStringList all{dir.filePath("wide.png"), dir.filePath(SettingsFileName), dir.filePath("wide.png"), "/nowhere/x.txt"};
    open(Xml({}, QString("<file>%1</file><file>%2</file>").arg(all[0], all[1])));
    const QRgb empty = pixel("picImage", 0, 0);
    const auto select = [&](int row) { QTest::mouseClick(list()->viewport(), Qt::LeftButton, {}, list()->visualItemRect(list()->item(row)).center()); };

    // Chosen files go in unchecked, in the dialog's order, duplicates kept; a cancelled chooser adds nothing.
    answers = {{all[2], all[3]}, {}};
    click({"Command1", "Command1"});
    EXPECT_EQ(entries(), all);
    EXPECT_TRUE(list()->selectedItems().isEmpty());

    // 40 x 20 fitted into 81 x 65 is 81 wide and 40.5 high, centred; an entry that is no picture empties it.
    EXPECT_TRUE(repaints("picImage", [&] { select(0); }));
    EXPECT_EQ(pixel("picImage", 40, 32), qRgb(255, 0, 0));
    EXPECT_EQ(pixel("picImage", 40, 5), empty);
    select(1);
    EXPECT_EQ(pixel("picImage", 40, 32), empty);
    EXPECT_TRUE(shown.isEmpty());

    // Remove takes the selected entry, leaves nothing selected and the preview as it was (though the next
    // entry is no picture); without a selection nothing.
    select(0);
    click({"cmdRemoveFile", "cmdRemoveFile"});
    EXPECT_EQ(entries(), all.mid(1));
    EXPECT_TRUE(list()->selectedItems().isEmpty() && list()->currentRow() == -1);
    EXPECT_EQ(pixel("picImage", 40, 32), qRgb(255, 0, 0));
}

TEST_F(SetupFormTest, ApplyStoresTheControlsPreviewTakesUnappliedChoicesAndCancelKeepsWhatApplyStored)
{
    open();
    answers = {{"/p/c.jpg"}, {"/p/unapplied.jpg"}};
    type("2.5");
    click({"optNone", "optSmall", "btnBackground", "Command1", "btnApply"});
    const QByteArray first = stored();
    SettingsDoc reread(path);
    ASSERT_TRUE(reread.load().ok);
    EXPECT_EQ(Described({reread.timerText(), reread.background(), reread.randomTransitions(), *reread.imageSize(), reread.files()}),
              "2.5 197121 0 3 /p/a.jpg,/p/b.jpg,/p/c.jpg");
    EXPECT_TRUE(first.contains("<owner>kept</owner>") && form->isVisible());

    // Preview runs on the stored seconds and files with the dialog's unapplied colour, transition and size.
    picked = RGB(4, 5, 6);
    type("9");
    click({"Command1", "optRandom", "optlarge"});
    control<QTabWidget>("SSTab1")->setCurrentIndex(2);
    EXPECT_TRUE(repaints("picboxbackgroundcolor", [this] { click({"btnBackground"}); }));
    click({"btnPreview"});
    EXPECT_EQ(calls, QStringList({"pick", "pick", "preview"}));
    EXPECT_EQ(Described(previewSaw), "2.5 394500 1 1 /p/a.jpg,/p/b.jpg,/p/c.jpg");
    EXPECT_EQ(pixel("picboxbackgroundcolor", 5, 5), qRgb(4, 5, 6));

    calls.clear();
    click({"btnCancel"});
    form->close();
    QTest::keyClick(form.get(), Qt::Key_Escape);
    EXPECT_EQ(calls, QStringList({"end", "end", "end"}));
    EXPECT_EQ(stored(), first);
}

TEST_F(SetupFormTest, RefusedSecondsAndFailedSavesStoreNothingAndKeepTheWindowOpenElseOkEnds)
{
    QFile(dir.filePath("missing")).open(QIODevice::WriteOnly); // a file where the folder should be
    open(Xml(), "missing/settings.xml");
    click({"btnApply", "cmdOK"});
    ASSERT_EQ(shown.size(), 2);
    EXPECT_TRUE(shown.first().contains("missing"));
    EXPECT_TRUE(calls.isEmpty() && form->isVisible());

    // Which texts are refused is the seconds check's business; one refused text shows what follows.
    shown.clear();
    open();
    const QByteArray before = stored();
    type("0");
    click({"btnApply", "cmdOK"});
    EXPECT_EQ(stored(), before);
    EXPECT_EQ(shown, QStringList(2, "Seconds to Display Picture must be a number of at least 0.001, such as 5 or 2.5."));
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
    QDir folder(dir.filePath("holiday"));
    ASSERT_TRUE(folder.mkpath("sub"));
    for (const char *name : {"C.png", "b.png", "photo.dat", "sub/d.png"})
        ASSERT_TRUE(red.save(folder.filePath(name), "PNG"));
    QFile fake(folder.filePath("fake.png"));
    ASSERT_TRUE(fake.open(QIODevice::WriteOnly) && fake.write("no picture") > 0);
    fake.close();
    open(Xml({}, "<file>/p/a.jpg</file>"));
    // A drag over the list and the drop, with Shift asking for a move: whether the drag was taken,
    // whether it added anything, and the drop's action.
    const auto drop = [this](const QList<QUrl> &urls, Qt::DropActions actions) {
        QMimeData data;
        data.setUrls(urls);
        QDragEnterEvent enter({5, 5}, actions, &data, Qt::LeftButton, Qt::ShiftModifier);
        QDropEvent dropped(QPointF(5, 5), actions, &data, Qt::LeftButton, Qt::ShiftModifier);
        const qsizetype before = entries().size();
        QApplication::sendEvent(list()->viewport(), &enter);
        const bool added = entries().size() != before;
        QApplication::sendEvent(list()->viewport(), &dropped);
        return std::tuple(enter.isAccepted(), added, dropped.isAccepted() ? dropped.dropAction() : Qt::IgnoreAction);
    };
    const QUrl web("https://example.org/x.png");
    EXPECT_EQ(drop({QUrl::fromLocalFile("/p/a.jpg"), QUrl::fromLocalFile(folder.path()), web}, Qt::CopyAction | Qt::MoveAction),
              std::tuple(true, false, Qt::CopyAction));
    const QStringList all{"/p/a.jpg", "/p/a.jpg", folder.filePath("b.png"), folder.filePath("C.png"), folder.filePath("photo.dat")};
    EXPECT_EQ(entries(), all);
    EXPECT_TRUE(list()->selectedItems().isEmpty());
    // Other addresses are refused, and so is a drag that could only move the files away.
    EXPECT_EQ(drop({web}, Qt::CopyAction), std::tuple(false, false, Qt::IgnoreAction));
    EXPECT_EQ(drop({QUrl::fromLocalFile("/p/a.jpg")}, Qt::MoveAction), std::tuple(false, false, Qt::IgnoreAction));
    EXPECT_EQ(entries(), all);
}

} // namespace
