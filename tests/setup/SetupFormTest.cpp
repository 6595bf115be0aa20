#include "Dialogs.h"
#include "SetupForm.h"

#include <QFile>
#include <QGroupBox>
#include <QImage>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QTabBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>
#include <cmath>
#include <deque>
#include <gtest/gtest.h>

namespace {

class QueuedFileChooser : public FileChooser
{
public:
    std::optional<QString> chooseFile(QWidget *) override
    {
        const std::optional<QString> next = answers.front();
        answers.pop_front();
        return next;
    }
    std::deque<std::optional<QString>> answers;
};

class RecordingMessages : public MessageSink
{
public:
    void showMessage(QWidget *, const QString &, const QString &text) override { shown << text; }
    QStringList shown;
};

QByteArray settingsXml(const QString &timer, const QString &transition, const QString &imageSize, const QString &files)
{
    return QStringLiteral("<?xml version=\"1.0\"?>\n<settings><timer>%1</timer><background>16711935</background>"
                          "<transition>%2</transition><imagesize>%3</imagesize><owner>kept</owner>"
                          "<files>%4</files></settings>\n")
        .arg(timer, transition, imageSize, files)
        .toUtf8();
}

class SetupFormTest : public ::testing::Test
{
protected:
    void open(const QByteArray &xml = settingsXml("7", "1", "FullScreen", "<file>/p/a.jpg</file><!--note--><file>/p/b.jpg</file>"),
              const QString &path = {})
    {
        settingsPath = path.isEmpty() ? dir.filePath(SettingsFileName) : path;
        QFile file(settingsPath);
        if (file.open(QIODevice::WriteOnly))
            file.write(xml);
        file.close();
        settings = std::make_unique<SettingsDoc>(settingsPath);
        settings->load();
        SetupForm::Hooks hooks{[this] { calls << "pick"; return picked; },
                               [this] { calls << "preview"; previewSaw = {settings->timerText(), form->backgroundColor(),
                                                                          form->randomTransitions(), form->imageSize(), settings->files()}; },
                               [this] { calls << "end"; }};
        form = std::make_unique<SetupForm>(*settings, chooser, messages, hooks);
        form->show();
    }

    template <typename T = QWidget>
    T *control(const char *name) const
    {
        T *widget = form->findChild<T *>(QLatin1String(name));
        EXPECT_NE(widget, nullptr) << name;
        return widget;
    }

    void click(const char *name) const { QTest::mouseClick(control(name), Qt::LeftButton); }
    void arrow(const char *which) const { QTest::mouseClick(control("UpDown1")->findChild<QToolButton *>(which), Qt::LeftButton); }
    void type(const QString &text) const
    {
        auto *seconds = control<QLineEdit>("txtSeconds");
        seconds->selectAll();
        QTest::keyClick(seconds, Qt::Key_Backspace);
        QTest::keyClicks(seconds, text);
    }
    QStringList entries() const { return form->controlValues().files; }
    QByteArray stored() const
    {
        QFile file(settingsPath);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    QString picture(const QString &name, const QByteArray &format = "PNG") const
    {
        QImage image(40, 20, QImage::Format_RGB32);
        image.fill(qRgb(255, 0, 0));
        image.save(dir.filePath(name), format);
        return dir.filePath(name);
    }
    QImage preview() const { return control("picImage")->grab().toImage().convertToFormat(QImage::Format_RGB32); }
    void selectEntry(int row) const
    {
        auto *list = control<QListWidget>("lstFiles");
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(row)).center());
    }

    QTemporaryDir dir;
    QString settingsPath;
    std::unique_ptr<SettingsDoc> settings;
    QueuedFileChooser chooser;
    RecordingMessages messages;
    std::optional<ColorValue> picked = RGB(1, 2, 3);
    QStringList calls;
    SettingsValues previewSaw;
    std::unique_ptr<SetupForm> form;
};

struct Place
{
    const char *name;
    const char *container;
    QRect twips;
};

TEST_F(SetupFormTest, EveryControlSitsAtItsTwipsPosition)
{
    open();
    const Place places[] = {
        {"Frame1", "", {0, -120, 7575, 6135}},
        {"lstFiles", "Frame1", {120, 240, 6015, 2205}},
        {"picImage", "Frame1", {6240, 240, 1215, 975}},
        {"Command1", "Frame1", {6240, 1440, 1215, 255}},
        {"cmdRemoveFile", "Frame1", {6240, 1800, 1215, 255}},
        {"Line1", "Frame1", {120, 2640, 7680, 15}},
        {"SSTab1", "Frame1", {360, 3000, 6495, 2415}},
        {"btnPreview", "Frame1", {2160, 5520, 1095, 495}},
        {"cmdOK", "Frame1", {4680, 5640, 855, 375}},
        {"btnApply", "Frame1", {5640, 5640, 855, 375}},
        {"btnCancel", "Frame1", {6600, 5640, 855, 375}},
        {"frameTransition", "SSTab1", {720, 480, 4455, 1455}},
        {"optRandom", "frameTransition", {1560, 480, 1455, 375}},
        {"optNone", "frameTransition", {1560, 840, 1095, 375}},
        {"frameTime", "SSTab1", {600, 600, 5055, 1215}},
        {"Label1", "frameTime", {480, 480, 2415, 255}},
        {"txtSeconds", "frameTime", {2880, 480, 375, 285}},
        {"UpDown1", "frameTime", {3240, 480, 240, 285}},
        {"frameBackground", "SSTab1", {360, 720, 5295, 1335}},
        {"picboxbackgroundcolor", "frameBackground", {1920, 480, 495, 375}},
        {"btnBackground", "frameBackground", {2640, 480, 1215, 375}},
        {"Frame2", "SSTab1", {480, 480, 5535, 1695}},
        {"optFullScreen", "Frame2", {1680, 240, 1335, 255}},
        {"optlarge", "Frame2", {1680, 600, 1215, 255}},
        {"optMedium", "Frame2", {1680, 960, 1215, 255}},
        {"optSmall", "Frame2", {1680, 1320, 1215, 255}},
    };
    for (const Place &place : places) {
        const QWidget *widget = control(place.name);
        ASSERT_NE(widget, nullptr);
        EXPECT_EQ(widget->parentWidget()->objectName(), place.container) << place.name;
        const QRect g = widget->geometry();
        EXPECT_EQ(QRect(g.x() * 15, g.y() * 15, g.width() * 15, g.height() * 15), place.twips) << place.name;
    }
    EXPECT_EQ(form->size(), QSize(505, 404));
    EXPECT_EQ(form->windowTitle(), "Screen Saver");
    EXPECT_EQ(control<QPushButton>("Command1")->text(), "Add File");
}

TEST_F(SetupFormTest, FourTabsWithSlideSizeInFrontAndEachShowingItsFrame)
{
    open();
    auto *tabs = control<QTabWidget>("SSTab1");
    ASSERT_EQ(tabs->count(), 4);
    EXPECT_EQ(QStringList({tabs->tabText(0), tabs->tabText(1), tabs->tabText(2), tabs->tabText(3)}),
              QStringList({"Slide Transitions", "Slide Time Delay", "Background", "Slide Size"}));
    const char *frames[] = {"frameTransition", "frameTime", "frameBackground", "Frame2"};
    for (int tab : {3, 0, 1, 2}) {
        QTest::mouseClick(tabs->tabBar(), Qt::LeftButton, {}, tabs->tabBar()->tabRect(tab).center());
        for (int k = 0; k < 4; ++k)
            EXPECT_EQ(control(frames[k])->isVisible(), k == tab) << tab << frames[k];
    }
}

TEST_F(SetupFormTest, LoadFillsEveryControlAndCentresTheWindow)
{
    open();
    EXPECT_EQ(control<QLineEdit>("txtSeconds")->text(), "7");
    EXPECT_EQ(form->backgroundColor(), RGB(255, 0, 255));
    EXPECT_EQ(control("picboxbackgroundcolor")->grab().toImage().pixel(5, 5), qRgb(255, 0, 255));
    EXPECT_TRUE(form->randomTransitions());
    EXPECT_TRUE(control<QRadioButton>("optFullScreen")->isChecked());
    EXPECT_EQ(entries(), QStringList({"/p/a.jpg", "note", "/p/b.jpg"}));
    // Half the difference in twips, then back to pixels, each rounding a half to even.
    const QSize screen = form->screen()->geometry().size();
    const auto centred = [](int screenPixels, int windowPixels) { return int(std::nearbyint(std::nearbyint((screenPixels - windowPixels) * 7.5) / 15)); };
    EXPECT_EQ(form->pos() - form->screen()->geometry().topLeft(), QPoint(centred(screen.width(), 505), centred(screen.height(), 404)));
}

TEST_F(SetupFormTest, TransitionAndSizeWordsSelectTheirOptions)
{
    const struct
    {
        const char *transition;
        bool random;
        const char *size;
        const char *option;
    } cases[] = {{"1", true, "large", "optlarge"},  {"0", false, "medium", "optMedium"}, {"1.0", true, "small", "optSmall"},
                 {"2", false, "FullScreen", "optFullScreen"}, {"1", true, "Large", "optMedium"}, {"1", true, "fullscreen", "optMedium"}};
    for (const auto &c : cases) {
        open(settingsXml("1", c.transition, c.size, {}));
        EXPECT_EQ(control<QRadioButton>("optRandom")->isChecked(), c.random) << c.transition;
        EXPECT_NE(control<QRadioButton>("optNone")->isChecked(), c.random) << c.transition;
        EXPECT_TRUE(control<QRadioButton>(c.option)->isChecked()) << c.size;
    }
}

TEST_F(SetupFormTest, ArrowsStepTheTypedNumber)
{
    open();
    const struct
    {
        const char *typed;
        const char *arrow;
        const char *shown;
    } cases[] = {{"7", "downArrow", "6"}, {"7", "upArrow", "8"},     {"1", "downArrow", "1"},     {"10", "upArrow", "10"},
                 {"12", "upArrow", "13"}, {"0", "downArrow", "-1"},  {"2.5", "upArrow", "3.5"},   {"4.5", "downArrow", "3.5"},
                 {"1", "upArrow", "2"},   {"10", "downArrow", "9"}, {"five", "upArrow", "five"}};
    for (const auto &c : cases) {
        type(c.typed);
        arrow(c.arrow);
        EXPECT_EQ(control<QLineEdit>("txtSeconds")->text(), c.shown) << c.typed << " " << c.arrow;
    }
}

TEST_F(SetupFormTest, AddFileAppendsTheChosenPathUncheckedAndNothingOnCancel)
{
    open();
    chooser.answers = {"/p/a.jpg", std::nullopt, "/nowhere/not-a-picture.txt"};
    click("Command1");
    click("Command1");
    click("Command1");
    EXPECT_EQ(entries(), QStringList({"/p/a.jpg", "note", "/p/b.jpg", "/p/a.jpg", "/nowhere/not-a-picture.txt"}));
    EXPECT_TRUE(control<QListWidget>("lstFiles")->selectedItems().isEmpty());
}

TEST_F(SetupFormTest, SelectingAnEntryPreviewsItFittedAndABadOneLeavesItEmpty)
{
    open(settingsXml("1", "1", "medium", QStringLiteral("<file>%1</file><file>%2</file><file/><file>%1</file>")
                                              .arg(picture("wide.png"), dir.filePath("settings.xml"))));
    const QRgb empty = preview().pixel(0, 0);
    selectEntry(0);
    // 40 x 20 into 81 x 65 is 81 wide and 40.5 high, centred.
    EXPECT_EQ(preview().pixel(40, 32), qRgb(255, 0, 0));
    EXPECT_EQ(preview().pixel(40, 5), empty);
    for (int row : {1, 2}) {
        QTest::keyClick(control("lstFiles"), Qt::Key_Down);
        EXPECT_EQ(preview().pixel(40, 32), empty) << row;
    }
    EXPECT_TRUE(messages.shown.isEmpty());

    // Removing the selected entry leaves nothing selected and the preview as it was.
    selectEntry(0);
    click("cmdRemoveFile");
    EXPECT_EQ(entries(), QStringList({dir.filePath("settings.xml"), "", dir.filePath("wide.png")}));
    EXPECT_TRUE(control<QListWidget>("lstFiles")->selectedItems().isEmpty());
    EXPECT_EQ(preview().pixel(40, 32), qRgb(255, 0, 0));
    click("cmdRemoveFile");
    EXPECT_EQ(entries().size(), 3);
}

TEST_F(SetupFormTest, ApplyStoresExactlyWhatTheControlsHoldAndKeepsForeignContent)
{
    open();
    type("2.5");
    click("optNone");
    click("optSmall");
    click("btnBackground");
    chooser.answers = {"/p/c.jpg"};
    click("Command1");
    click("btnApply");
    const QByteArray first = stored();
    click("btnApply");
    EXPECT_EQ(stored(), first);

    SettingsDoc reread(settingsPath);
    ASSERT_TRUE(reread.load().ok);
    EXPECT_EQ(reread.timerText(), "2.5");
    EXPECT_EQ(reread.background(), RGB(1, 2, 3));
    EXPECT_FALSE(reread.randomTransitions());
    EXPECT_EQ(reread.imageSize(), ImageSize::Small);
    EXPECT_EQ(reread.files(), QStringList({"/p/a.jpg", "note", "/p/b.jpg", "/p/c.jpg"}));
    EXPECT_TRUE(first.contains("<owner>kept</owner>"));
    EXPECT_FALSE(first.contains("<!--note-->"));
    EXPECT_TRUE(form->isVisible());

    // Cancel after Apply ends the program and stores nothing more.
    type("9");
    click("btnCancel");
    EXPECT_EQ(calls, QStringList({"pick", "end"}));
    EXPECT_EQ(stored(), first);
}

TEST_F(SetupFormTest, SecondsThatAreNoPositiveNumberAreRefusedUntilCorrected)
{
    open();
    const QByteArray before = stored();
    for (const char *typed : {"", "abc", "0", "-3", "2,5"}) {
        type(typed);
        click("btnApply");
        click("cmdOK");
        EXPECT_EQ(stored(), before) << typed;
        EXPECT_EQ(settings->timerText(), "7") << typed;
    }
    EXPECT_EQ(messages.shown.size(), 10);
    EXPECT_TRUE(messages.shown.first().contains("Seconds to Display Picture"));
    EXPECT_TRUE(calls.isEmpty());
    type("0.5");
    click("btnApply");
    EXPECT_TRUE(stored().contains("<timer>0.5</timer>"));
}

TEST_F(SetupFormTest, FailedSaveShowsWhyAndKeepsTheWindowOpen)
{
    open(settingsXml("7", "1", "small", {}), dir.filePath("missing/settings.xml"));
    click("btnApply");
    click("cmdOK");
    ASSERT_EQ(messages.shown.size(), 2);
    EXPECT_TRUE(messages.shown.first().contains("missing"));
    EXPECT_TRUE(calls.isEmpty());
    EXPECT_TRUE(form->isVisible());
}

TEST_F(SetupFormTest, OkStoresYieldsOnceAndEndsTheProgram)
{
    open();
    type("3");
    QMetaObject::invokeMethod(form.get(), [this] { calls << "waiting event"; }, Qt::QueuedConnection);
    click("cmdOK");
    EXPECT_EQ(calls, QStringList({"waiting event", "end"}));
    EXPECT_TRUE(stored().contains("<timer>3</timer>"));
}

TEST_F(SetupFormTest, CloseControlAndEscapeEndTheProgramWithoutSaving)
{
    open();
    const QByteArray before = stored();
    type("3");
    form->close();
    QTest::keyClick(form.get(), Qt::Key_Escape);
    EXPECT_EQ(calls, QStringList({"end", "end"}));
    EXPECT_EQ(stored(), before);
}

TEST_F(SetupFormTest, PreviewTakesAppliedSecondsAndFilesWithUnappliedChoices)
{
    open();
    chooser.answers = {"/p/applied.jpg", "/p/unapplied.jpg"};
    type("4");
    click("Command1");
    click("btnApply");
    type("9");
    click("Command1");
    click("optNone");
    click("optlarge");
    click("btnBackground");
    click("btnPreview");
    EXPECT_EQ(calls, QStringList({"pick", "preview"}));
    EXPECT_EQ(previewSaw.timer, "4");
    EXPECT_EQ(previewSaw.files, QStringList({"/p/a.jpg", "note", "/p/b.jpg", "/p/applied.jpg"}));
    EXPECT_EQ(previewSaw.background, RGB(1, 2, 3));
    EXPECT_FALSE(previewSaw.randomTransitions);
    EXPECT_EQ(previewSaw.imageSize, ImageSize::Large);
}

TEST_F(SetupFormTest, SelectKeepsTheColourWhenThePickerIsCancelledOrMissing)
{
    picked = std::nullopt;
    open();
    click("btnBackground");
    EXPECT_EQ(form->backgroundColor(), RGB(255, 0, 255));
    SetupForm withoutPicker(*settings, chooser, messages, {{}, [] {}, [] {}});
    QTest::mouseClick(withoutPicker.findChild<QWidget *>("btnBackground"), Qt::LeftButton);
    EXPECT_EQ(withoutPicker.backgroundColor(), RGB(255, 0, 255));
}

} // namespace
