#include "colorpick/frmColorPick.h"

#include "window/Dialogs.h"
#include "raster/Gdi.h"
#include "ImageDifference.h"
#include "colorpick/Swatch.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

const QString HueMessage = QStringLiteral("Enter an Integer Value Between 0 and 360");
const QStringList LoadBoxes{"0", "100", "100", "255", "0", "0"};

// Keeps every message instead of showing a box.
struct RecordingMessageSink final : MessageSink
{
    void showMessage(QWidget *, const QString &, const QString &text) override { texts.append(text); }
    QStringList texts;
};

class frmColorPickTest : public testing::Test
{
protected:
    frmColorPickTest() { dialog.show(); }

    template <typename Widget = QWidget>
    Widget *control(const char *name) { return dialog.findChild<Widget *>(QString::fromLatin1(name)); }
    QString text(const char *box) { return control<QLineEdit>(box)->text(); }
    QStringList boxes() { return {text("txtH"), text("txtS"), text("txtB"), text("Text1"), text("Text2"), text("Text3")}; }
    [[nodiscard]] ColorValue pixel(int x, int y) const { return GetPixel(dialog.picker().surface(), x, y); }
    [[nodiscard]] QImage image() const { return dialog.picker().surface().image().copy(); }
    [[nodiscard]] QPoint marker() const { return {dialog.picker().MarkerX, dialog.picker().MarkerY}; }
    void press(int x, int y) { QTest::mousePress(control("surface"), Qt::LeftButton, {}, {x, y}); }
    void move(int x, int y) { QTest::mouseMove(control("surface"), {x, y}); }
    void release(int x, int y) { QTest::mouseRelease(control("surface"), Qt::LeftButton, {}, {x, y}); }
    void click(int x, int y) { press(x, y), release(x, y); }
    void clickButton(const char *name) { QTest::mouseClick(control<QAbstractButton>(name), Qt::LeftButton); }
    void retype(const char *box, const char *keys)
    {
        control<QLineEdit>(box)->clear();
        QTest::keyClicks(control<QLineEdit>(box), QString::fromLatin1(keys));
    }
    // Shows the dialog modally and ends the showing by a click on the named button.
    std::optional<ColorValue> pickEndedWith(const char *button)
    {
        dialog.hide();
        QTimer::singleShot(0, &dialog, [this, button] { clickButton(button); });
        return dialog.pickColor();
    }
    void expectFace(bool preset, const char *where)
    {
        EXPECT_EQ(control<QPushButton>("Command3")->text(), preset ? "&Picker" : "&Preset") << where;
        EXPECT_EQ(control("Frame2")->isVisible(), !preset) << where;
        for (const char *name : {"cmbPreset", "cmdADD", "lblADDColor"})
            EXPECT_EQ(control(name)->isVisible(), preset) << where << " " << name;
        EXPECT_EQ(dialog.paletteMode(), preset ? 1 : 0) << where;
    }
    // Where the read-out differs from one freshly printed for parts and hex.
    QString readOutDifference(ColorParts parts, const QString &hex)
    {
        modColorPick expected(QString{});
        expected.PrintColorInfo(parts, hex);
        return imageDifference(image().copy(312, 80, 81, 60), expected.surface().image().copy(312, 80, 81, 60));
    }

    QTemporaryDir dir;
    RecordingMessageSink messages;
    frmColorPick dialog{dir.filePath(CustomColorsFileName), messages};
};

TEST_F(frmColorPickTest, WindowControlsAndLoadState)
{
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Color Box"));
    EXPECT_EQ(dialog.size(), QSize(434, 277));
    const std::pair<const char *, QRect> layout[] = {
        {"surface", {0, 0, 434, 277}},     {"Frame1", {308, 2, 113, 67}},    {"lblSelColor", {8, 24, 49, 29}},
        {"Label2", {57, 24, 48, 29}},      {"Frame2", {306, 64, 137, 149}},  {"optH", {0, 34, 31, 17}},
        {"optS", {0, 54, 31, 17}},         {"optB", {0, 74, 33, 17}},        {"txtH", {30, 32, 25, 19}},
        {"txtS", {30, 52, 25, 19}},        {"txtB", {30, 72, 25, 19}},       {"Text1", {92, 32, 25, 19}},
        {"Text2", {92, 52, 25, 19}},       {"Text3", {92, 72, 25, 19}},      {"cmbPreset", {310, 144, 115, 21}},
        {"Frame3", {302, 204, 65, 31}},    {"lblADDColor", {2, 8, 57, 23}},  {"cmdADD", {304, 240, 57, 27}},
        {"Command1", {370, 176, 55, 27}},  {"Command3", {370, 208, 55, 27}}, {"Command2", {370, 240, 55, 27}},
    };
    for (const auto &[name, rect] : layout)
        EXPECT_EQ(control(name) ? control(name)->geometry() : QRect(), rect) << name;
    EXPECT_EQ(control<QPushButton>("cmdADD")->text(), QStringLiteral(" << Add    "));
    EXPECT_EQ(control<QComboBox>("cmbPreset")->placeholderText(), QStringLiteral("Safe Colors"));
    EXPECT_EQ(boxes(), LoadBoxes);
    EXPECT_TRUE(control<QRadioButton>("optH")->isChecked());
    expectFace(false, "load");
    EXPECT_EQ(marker(), QPoint(265, 10));
    EXPECT_EQ(dialog.picker().SliderY, 265.0f);
    EXPECT_EQ(pixel(294, 265), ~modColorPick::BackColor & 0xFFFFFF);
}

TEST_F(frmColorPickTest, OkGivesNewAndKeepsTheStateWhileCancelAndTitleBarCloseGiveNothing)
{
    const QImage loadImage = image();
    dialog.LoadColorDialog(65280);
    EXPECT_EQ(imageDifference(image(), loadImage), QString());
    EXPECT_EQ(pickEndedWith("Command1"), std::optional<ColorValue>(65280));

    dialog.show();
    clickButton("optS");
    click(61, 214); // a point whose boxes lead back to the same marker position
    const ColorValue chosen = dialog.selectedColor();
    const QStringList chosenBoxes = boxes();
    const QImage chosenImage = image();
    clickButton("Command3");
    clickButton("Command3");
    expectFace(false, "back from the preset face");
    EXPECT_EQ(pickEndedWith("Command1"), std::optional<ColorValue>(chosen));
    EXPECT_EQ(pickEndedWith("Command2"), std::nullopt);
    EXPECT_EQ(boxes(), chosenBoxes);
    EXPECT_EQ(imageDifference(image(), chosenImage), QString());
    EXPECT_TRUE(control<QRadioButton>("optS")->isChecked());

    // A close from the title bar gives nothing and the next showing starts from the load state.
    dialog.show();
    clickButton("Command3");
    dialog.hide();
    QTimer::singleShot(0, &dialog, [this] { dialog.close(); });
    EXPECT_EQ(dialog.pickColor(), std::nullopt);
    EXPECT_EQ(dialog.selectedColor(), 255);
    EXPECT_EQ(boxes(), LoadBoxes);
    EXPECT_EQ(imageDifference(image(), loadImage), QString());
}

TEST_F(frmColorPickTest, HitAreasAndClampedDrags)
{
    const QStringList hue360{"360", "100", "100", "255", "0", "0"}, black{"0", "100", "0", "0", "0", "0"};
    const std::tuple<const char *, QPoint, QPoint, QStringList, float> presses[] = {
        {"2 px above the slider, clamped to its top", {302, 9}, {302, 9}, hue360, 10},
        {"right of the slider", {303, 100}, {303, 100}, hue360, 10},
        {"3 px below the slider", {290, 268}, {290, 268}, hue360, 10},
        {"on the slider frame", {276, 100}, {276, 100}, hue360, 10},
        {"2 px below the slider, clamped to its bottom", {290, 267}, {290, 267}, LoadBoxes, 265},
        {"slider drag far above", {285, 100}, {285, -500}, hue360, 10},
        {"slider drag far below", {285, 100}, {285, 900}, LoadBoxes, 265},
        {"field drag past the bottom left", {100, 100}, {-50, 400}, {"0", "0", "0", "0", "0", "0"}, 265},
        {"field drag past the top right", {100, 100}, {500, -50}, LoadBoxes, 265},
        {"bottom right field corner", {265, 265}, {265, 265}, black, 265},
        {"right of the field", {266, 100}, {266, 100}, black, 265},
    };
    for (const auto &[name, from, to, expected, sliderY] : presses) {
        press(from.x(), from.y());
        if (to != from)
            move(to.x(), to.y());
        release(to.x(), to.y());
        EXPECT_EQ(boxes(), expected) << name;
        EXPECT_EQ(dialog.picker().SliderY, sliderY) << name;
    }
    clickButton("optS");
    press(100, 100);
    move(1000, 100);
    EXPECT_EQ(text("txtH"), QStringLiteral("360"));
    move(-1000, 100);
    EXPECT_EQ(text("txtH"), QStringLiteral("0"));
}

TEST_F(frmColorPickTest, HueSliderDragChangesOnlyHueAndNewUntilRelease)
{
    click(200, 100); // saturation 74, brightness 64
    const QImage before = image().copy(10, 10, 256, 256);
    press(285, 100);
    move(285, 90);
    // Slider row 80 is (30, 0, 255); at 74 % and 64 % that gives (57, 42, 163).
    EXPECT_EQ(boxes(), (QStringList{"247", "74", "64", "165", "42", "42"}));
    EXPECT_EQ(dialog.selectedColor(), RGB(57, 42, 163));
    EXPECT_EQ(imageDifference(image().copy(10, 10, 256, 256), before), QString());
    release(285, 90);
    EXPECT_EQ(pixel(265, 10), RGB(30, 0, 255));
    EXPECT_EQ(dialog.selectedColor(), pixel(200, 100));
    EXPECT_EQ(text("Text3"), QString::number(SplitColor(pixel(200, 100)).blue));
}

TEST_F(frmColorPickTest, ModeRoundTripRestoresBothMarkers)
{
    click(120, 180);
    click(285, 150);
    clickButton("optS");
    EXPECT_EQ(marker(), QPoint(125, 181));
    clickButton("optB");
    EXPECT_EQ(marker(), QPoint(125, 155));
    clickButton("optH");
    EXPECT_EQ(marker(), QPoint(120, 181));
    EXPECT_EQ(dialog.picker().SliderY, 150.0f);
    // A second round trip from the settled state changes no pixel.
    const QImage settled = image();
    clickButton("optS");
    clickButton("optH");
    EXPECT_EQ(imageDifference(image(), settled), QString());
}

TEST_F(frmColorPickTest, HueAndBrightnessBoxEntry)
{
    const auto takeMessages = [this] { return std::exchange(messages.texts, {}); };
    QLineEdit *hue = control<QLineEdit>("txtH");
    retype("txtH", "36");
    // 265 - 36 × 255 / 360 = 239.5, kept unrounded; the field tops out at that hue.
    EXPECT_EQ(dialog.picker().SliderY, 239.5f);
    EXPECT_EQ(boxes().mid(3), (QStringList{"255", "150", "0"}));
    // Typed key by key: "3" and "36" are quiet, "365" and "-5" report once, "-" alone is quiet.
    const std::tuple<const char *, QStringList, const char *, float> entries[] = {
        {"365", {HueMessage}, "365", 10}, {"-5", {HueMessage}, "0", 265},
        {"12.5", {HueMessage}, "12.5", 256.14583f}, {"12.", {}, "12.", 256.5f}};
    for (const auto &[keys, expectedMessages, shown, sliderY] : entries) {
        retype("txtH", keys);
        EXPECT_EQ(takeMessages(), expectedMessages) << keys;
        EXPECT_EQ(text("txtH"), QString::fromLatin1(shown)) << keys;
        EXPECT_FLOAT_EQ(dialog.picker().SliderY, sliderY) << keys;
    }
    // Leaving the box with a bad value takes the focus back; a deactivation does not report.
    hue->setText(QStringLiteral("400"));
    QFocusEvent leave(QEvent::FocusOut, Qt::TabFocusReason), deactivate(QEvent::FocusOut, Qt::ActiveWindowFocusReason);
    QApplication::sendEvent(hue, &leave);
    QApplication::sendEvent(hue, &deactivate);
    EXPECT_EQ(takeMessages(), QStringList{HueMessage});
    EXPECT_EQ(dialog.focusWidget(), hue);

    retype("txtH", "0");
    retype("txtB", "50");
    EXPECT_EQ(marker(), QPoint(265, 138));
    EXPECT_EQ(boxes().mid(3), (QStringList{"127", "0", "0"}));
}

TEST_F(frmColorPickTest, OutOfRangeBoxesStayOnTheSurfaceWithValidColours)
{
    const auto expectSound = [this](const char *where) {
        const float sliderY = dialog.picker().SliderY;
        EXPECT_TRUE(QRect(10, 10, 256, 256).contains(marker()) && sliderY >= 10 && sliderY <= 265) << where;
        // A colour with a negative part would show a negative part here.
        for (const char *box : {"Text1", "Text2", "Text3"})
            EXPECT_TRUE(text(box).toInt() >= 0 && text(box).toInt() <= 255) << where;
    };
    const std::pair<const char *, const char *> entries[] = {
        {"txtS", "500"}, {"txtB", "-300"}, {"txtH", "99999"}, {"txtH", "1e400"}, {"optS", ""}, {"txtS", "&HFFFF"},
        {"optB", ""},    {"optH", ""},
    };
    for (const auto &[control, value] : entries) {
        *value ? retype(control, value) : clickButton(control);
        expectSound(*value ? value : control);
    }
    click(285, 100);
    expectSound("hue slider");
}

TEST_F(frmColorPickTest, CustomColoursThreeLineFileStrictHitsAndAdd)
{
    QFile file(dir.filePath(CustomColorsFileName));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly) && file.write("0\r\n255\r\n65280\r\n") > 0);
    file.close();
    dialog.LoadColorDialog(16777215);
    clickButton("Command3");
    expectFace(true, "preset");
    EXPECT_EQ(control<QComboBox>("cmbPreset")->currentText(), QStringLiteral("Custom..."));
    EXPECT_EQ(pixel(17, 17), 255);
    EXPECT_EQ(pixel(287, 251), 65280);
    // Border lines belong to no cell: the selection stays where it was.
    const std::tuple<int, int, int, ColorValue> hits[] = {
        {35, 17, 2, 65280}, {10, 17, 2, 65280}, {25, 17, 2, 65280}, {11, 17, 1, 255}, {24, 17, 1, 255}};
    for (const auto &[x, y, cell, color] : hits) {
        click(x, y);
        EXPECT_EQ(dialog.picker().SelectedCell, cell) << x << "," << y;
        EXPECT_EQ(dialog.selectedColor(), color) << x << "," << y;
    }

    // " << Add    " puts the colour of the swatch beside it, white, in cell 17 and writes every cell.
    click(17, 35);
    clickButton("cmdADD");
    EXPECT_EQ(pixel(17, 35), 16777215);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    QByteArray expected;
    for (int i = 0; i < 225; ++i)
        expected += i == 0 ? " 0 \r\n" : i == 1 ? " 255 \r\n" : i == 17 ? " 16777215 \r\n" : " 65280 \r\n";
    EXPECT_EQ(file.readAll(), expected);
    EXPECT_EQ(messages.texts, QStringList{});

    // A directory in the file's place cannot be replaced: a message, and the cell keeps its stored colour.
    ASSERT_TRUE(file.remove() && QDir(dir.path()).mkdir(CustomColorsFileName));
    click(35, 17);
    clickButton("cmdADD");
    ASSERT_EQ(messages.texts.size(), 1);
    EXPECT_TRUE(messages.texts[0].contains(QStringLiteral("usercolors.cps")));
    EXPECT_EQ(dialog.picker().CustomColors[2], 65280);
    EXPECT_EQ(pixel(35, 17), 65280);
}

TEST_F(frmColorPickTest, SafePaletteCellsAndTheirReadOut)
{
    clickButton("Command3");
    control("cmbPreset")->setFocus();
    for (int i = 0; i < 3; ++i)
        QTest::keyClick(control("cmbPreset"), Qt::Key_Down);
    EXPECT_EQ(dialog.paletteMode(), 4);
    EXPECT_FALSE(control("cmdADD")->isVisible());
    EXPECT_EQ(pixel(17 + 18 * 3, 17 + 18 * 2), RGB(0, 255, 255));    // cell 36
    EXPECT_EQ(pixel(17 + 18 * 7, 17 + 18 * 13), RGB(255, 255, 255)); // cell 216
    click(17 + 18 * 4, 17 + 18 * 2);                                   // cell 37
    EXPECT_EQ(dialog.selectedColor(), RGB(51, 0, 0));
    EXPECT_EQ(readOutDifference({51, 0, 0}, QStringLiteral("330000")), QString());
    click(17 + 18 * 11, 17 + 18 * 13); // cell 220, a black filler
    EXPECT_EQ(dialog.picker().SelectedCell, 220);
    EXPECT_EQ(dialog.selectedColor(), 0);
    EXPECT_EQ(readOutDifference({0, 0, 0}, QString()), QString());
    // A click on the Old swatch prints its colour over the previous read-out.
    QTest::mouseClick(control("Label2"), Qt::LeftButton);
    EXPECT_EQ(readOutDifference({255, 0, 0}, QStringLiteral("FF0000")), QString());
}

} // namespace

namespace {

TEST_F(frmColorPickTest, QuickSecondPressCountsAsALonePressThere)
{
    // The window system reports the second press of a quick pair as a double click, with no press.
    const auto send = [](frmColorPick &picker, QEvent::Type type, QPoint at, Qt::MouseButtons held) {
        QWidget *surface = picker.findChild<QWidget *>(QStringLiteral("surface"));
        QMouseEvent event(type, at, surface->mapToGlobal(QPointF(at)), type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton, held, {});
        QApplication::sendEvent(surface, &event);
    };
    const auto state = [](const frmColorPick &picker) {
        QStringList values;
        for (const char *name : {"txtH", "txtS", "txtB", "Text1", "Text2", "Text3"})
            values << picker.findChild<QLineEdit *>(QString::fromLatin1(name))->text();
        const modColorPick &p = picker.picker();
        values << QString::number(picker.selectedColor()) << QString::number(p.MarkerX) << QString::number(p.MarkerY)
               << QString::number(p.SliderY) << QString::number(p.SelectedCell);
        return values.join(u' ').toStdString();
    };
    const struct { const char *name, *button; QPoint first, second, dragTo; } pairs[] = {
        {"field in saturation mode", "optS", {150, 150}, {153, 153}, {153, 153}},
        {"field in hue mode, dragged on", nullptr, {150, 150}, {153, 153}, {60, 200}},
        {"hue slider, dragged on", nullptr, {285, 100}, {285, 120}, {285, 40}},
        {"brightness slider", "optB", {285, 100}, {285, 120}, {285, 120}},
        {"custom colours cell", "Command3", {17, 17}, {35, 17}, {35, 17}},
    };
    for (const auto &c : pairs) {
        frmColorPick quick{dir.filePath(CustomColorsFileName), messages}, lone{dir.filePath(CustomColorsFileName), messages};
        for (frmColorPick *picker : {&quick, &lone}) {
            picker->show();
            if (c.button)
                QTest::mouseClick(picker->findChild<QAbstractButton *>(QString::fromLatin1(c.button)), Qt::LeftButton);
        }
        send(quick, QEvent::MouseButtonPress, c.first, Qt::LeftButton);
        send(quick, QEvent::MouseButtonRelease, c.first, Qt::NoButton);
        send(quick, QEvent::MouseButtonDblClick, c.second, Qt::LeftButton);
        send(lone, QEvent::MouseButtonPress, c.second, Qt::LeftButton);
        for (frmColorPick *picker : {&quick, &lone}) {
            // A move alone picks a palette cell, so the pairs without a drag have none.
            if (c.dragTo != c.second)
                send(*picker, QEvent::MouseMove, c.dragTo, Qt::LeftButton);
            send(*picker, QEvent::MouseButtonRelease, c.dragTo, Qt::NoButton);
        }
        EXPECT_EQ(state(quick), state(lone)) << c.name;
        EXPECT_EQ(imageDifference(quick.picker().surface().image(), lone.picker().surface().image()).toStdString(), "") << c.name;
    }
}

} // namespace

TEST_F(frmColorPickTest, CancelLeavesThePickerAsItWasShown)
{
    clickButton("optS");
    click(61, 214);
    const ColorValue shown = dialog.selectedColor();
    const QStringList shownBoxes = boxes();
    const QImage shownImage = image();
    dialog.hide();
    QTimer::singleShot(0, &dialog, [this] {
        click(200, 100);
        clickButton("optB");
        clickButton("Command3");
        clickButton("Command2");
    });
    EXPECT_EQ(dialog.pickColor(), std::nullopt);
    dialog.show();
    EXPECT_EQ(dialog.selectedColor(), shown);
    EXPECT_EQ(boxes(), shownBoxes);
    EXPECT_TRUE(control<QRadioButton>("optS")->isChecked());
    expectFace(false, "after Cancel");
    EXPECT_EQ(imageDifference(image(), shownImage), QString());
    EXPECT_EQ(pickEndedWith("Command1"), std::optional<ColorValue>(shown));
}
