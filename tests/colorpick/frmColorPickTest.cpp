#include "colorpick/frmColorPick.h"

#include "window/Dialogs.h"
#include "raster/Gdi.h"
#include "ImageDifference.h"

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

// The fixture is the message sink, keeping every message instead of showing a box.
class frmColorPickTest : public testing::Test, public MessageSink
{
protected:
    frmColorPickTest() { dialog.show(); }
    void showMessage(QWidget *, const QString &, const QString &text) override { texts.append(text); }

    template <typename Widget = QWidget> Widget *control(const char *name) { return dialog.findChild<Widget *>(QLatin1String(name)); }
    QString text(const char *box) { return control<QLineEdit>(box)->text(); }
    QStringList boxes() { return {text("txtH"), text("txtS"), text("txtB"), text("Text1"), text("Text2"), text("Text3")}; }
    [[nodiscard]] ColorValue pixel(int x, int y) const { return GetPixel(dialog.picker().surface(), x, y); }
    [[nodiscard]] QImage image() const { return dialog.picker().surface().image().copy(); }
    [[nodiscard]] QPoint marker() const { return {dialog.picker().MarkerX, dialog.picker().MarkerY}; }
    [[nodiscard]] float sliderY() const { return dialog.picker().SliderY; }
    // Sends the mouse event to the picture of a dialog, as the window system delivers it.
    static void send(frmColorPick &to, QEvent::Type type, QPoint at, Qt::MouseButtons held = Qt::LeftButton)
    {
        QWidget *surface = to.findChild<QWidget *>(QStringLiteral("surface"));
        QMouseEvent event(type, at, surface->mapToGlobal(QPointF(at)), type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton, held, {});
        QApplication::sendEvent(surface, &event);
    }
    void press(QPoint at) { send(dialog, QEvent::MouseButtonPress, at); }
    void move(QPoint at) { send(dialog, QEvent::MouseMove, at); }
    void release(QPoint at) { send(dialog, QEvent::MouseButtonRelease, at, Qt::NoButton); }
    void click(QPoint at) { press(at), release(at); }
    void clickButton(const char *name) { QTest::mouseClick(control<QAbstractButton>(name), Qt::LeftButton); }
    void retype(const char *box, const char *keys)
    {
        control<QLineEdit>(box)->clear();
        QTest::keyClicks(control<QLineEdit>(box), QString::fromLatin1(keys));
    }
    // Shows the dialog modally and ends the showing by a click on the named button, or by a close.
    std::optional<ColorValue> pickEndedWith(const char *button)
    {
        dialog.hide();
        QTimer::singleShot(0, &dialog, [this, button] { button ? clickButton(button) : void(dialog.close()); });
        return dialog.pickColor();
    }
    void expectFace(bool preset, const char *where)
    {
        EXPECT_EQ(control<QPushButton>("Command3")->text(), preset ? "&Picker" : "&Preset") << where;
        for (const char *name : {"Frame2", "cmbPreset", "cmdADD", "lblADDColor"})
            EXPECT_EQ(control(name)->isVisible(), preset != (name[0] == 'F')) << where << " " << name;
        EXPECT_EQ(dialog.paletteMode(), preset ? 1 : 0) << where;
    }
    // Where the read-out differs from the picker face's own print of parts and hex.
    QString readOutDifference(ColorParts parts, const QString &hex)
    {
        modColorPick expected(QString{});
        expected.PrintColorInfo(parts, hex);
        return imageDifference(image().copy(312, 80, 81, 60), expected.surface().image().copy(312, 80, 81, 60));
    }

    QTemporaryDir dir;
    QStringList texts;
    frmColorPick dialog{dir.filePath(CustomColorsFileName), *this};
};

TEST_F(frmColorPickTest, ButtonsSwatchesAndLoadState)
{
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Color Box"));
    EXPECT_EQ(dialog.size(), QSize(434, 277));
    EXPECT_EQ(control("surface")->geometry(), dialog.rect());
    // The three buttons stand in one column at the right edge; New and Old sit side by side above the boxes.
    const std::tuple<const char *, const char *, QRect> places[] = {{"Command1", "O&K", {370, 176, 55, 27}},
        {"Command3", "&Preset", {370, 208, 55, 27}}, {"Command2", "&Cancel", {370, 240, 55, 27}}, {"cmdADD", " << Add    ", {304, 240, 57, 27}}};
    for (const auto &[name, caption, rect] : places)
        EXPECT_TRUE(control<QPushButton>(name)->text() == caption && control(name)->geometry() == rect) << name;
    EXPECT_EQ(control("lblSelColor")->geometry().translated(49, 0).topLeft(), control("Label2")->geometry().topLeft());
    EXPECT_EQ(control<QComboBox>("cmbPreset")->placeholderText(), QStringLiteral("Safe Colors"));
    EXPECT_EQ(boxes(), LoadBoxes);
    EXPECT_TRUE(control<QRadioButton>("optH")->isChecked());
    expectFace(false, "load");
    EXPECT_EQ(marker(), QPoint(265, 10));
    EXPECT_EQ(sliderY(), 265.0f);
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
    click({61, 214}); // a point whose boxes lead back to the same marker position
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
    EXPECT_EQ(pickEndedWith(nullptr), std::nullopt);
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
        {"right of the field", {266, 100}, {266, 100}, black, 265}};
    for (const auto &[name, from, to, expected, slider] : presses) {
        press(from);
        if (to != from)
            move(to);
        release(to);
        EXPECT_EQ(boxes(), expected) << name;
        EXPECT_EQ(sliderY(), slider) << name;
    }
    clickButton("optS");
    press({100, 100});
    move({1000, 100});
    EXPECT_EQ(text("txtH"), QStringLiteral("360"));
    move({-1000, 100});
    EXPECT_EQ(text("txtH"), QStringLiteral("0"));
}

TEST_F(frmColorPickTest, HueSliderDragChangesOnlyHueAndNewUntilRelease)
{
    click({200, 100}); // saturation 74, brightness 64
    const QImage before = image().copy(10, 10, 256, 256);
    press({285, 100});
    move({285, 90});
    // Slider row 80 is (30, 0, 255); at 74 % and 64 % that gives (57, 42, 163).
    EXPECT_EQ(boxes(), (QStringList{"247", "74", "64", "165", "42", "42"}));
    EXPECT_EQ(dialog.selectedColor(), RGB(57, 42, 163));
    EXPECT_EQ(imageDifference(image().copy(10, 10, 256, 256), before), QString());
    release({285, 90});
    EXPECT_EQ(pixel(265, 10), RGB(30, 0, 255));
    EXPECT_EQ(dialog.selectedColor(), pixel(200, 100));
}

TEST_F(frmColorPickTest, ModeRoundTripRestoresBothMarkers)
{
    click({120, 180});
    click({285, 150});
    const std::pair<const char *, QPoint> modes[] = {{"optS", {125, 181}}, {"optB", {125, 155}}, {"optH", {120, 181}}};
    for (const auto &[option, at] : modes) {
        clickButton(option);
        EXPECT_EQ(marker(), at) << option;
    }
    EXPECT_EQ(sliderY(), 150.0f);
    EXPECT_EQ(dialog.selectedColor(), RGB(48, 84, 73)); // hue 162, 43 % and 33 %
    // A second round trip from the settled state changes no pixel.
    const QImage settled = image();
    clickButton("optS");
    clickButton("optH");
    EXPECT_EQ(imageDifference(image(), settled), QString());
}

TEST_F(frmColorPickTest, HueAndBrightnessBoxEntry)
{
    retype("txtH", "36");
    // 265 - 36 × 255 / 360 = 239.5, kept unrounded; the field tops out at that hue.
    EXPECT_EQ(sliderY(), 239.5f);
    EXPECT_EQ(boxes().mid(3), (QStringList{"255", "150", "0"}));
    // Typed key by key: "3" and "36" are quiet, "365" and "-5" report once, "-" alone is quiet.
    const std::tuple<const char *, QStringList, const char *, float> entries[] = {{"365", {HueMessage}, "365", 10},
        {"360", {}, "360", 10}, {"-5", {HueMessage}, "0", 265}, {"12.5", {HueMessage}, "12.5", 256.14583f}, {"12.", {}, "12.", 256.5f}};
    for (const auto &[keys, expectedMessages, shown, slider] : entries) {
        retype("txtH", keys);
        EXPECT_EQ(std::exchange(texts, {}), expectedMessages) << keys;
        EXPECT_EQ(text("txtH"), QString::fromLatin1(shown)) << keys;
        EXPECT_FLOAT_EQ(sliderY(), slider) << keys;
    }
    // Leaving the box with a bad value takes the focus back; a deactivation does not report.
    control<QLineEdit>("txtH")->setText(QStringLiteral("400"));
    QFocusEvent leave(QEvent::FocusOut, Qt::TabFocusReason), deactivate(QEvent::FocusOut, Qt::ActiveWindowFocusReason);
    QApplication::sendEvent(control("txtH"), &leave);
    QApplication::sendEvent(control("txtH"), &deactivate);
    EXPECT_EQ(std::exchange(texts, {}), QStringList{HueMessage});
    EXPECT_EQ(dialog.focusWidget(), control("txtH"));

    retype("txtH", "0");
    retype("txtB", "50");
    EXPECT_EQ(marker(), QPoint(265, 138));
    EXPECT_EQ(boxes().mid(3), (QStringList{"127", "0", "0"}));
}

TEST_F(frmColorPickTest, OutOfRangeBoxesStayOnTheSurfaceWithValidColours)
{
    const std::pair<const char *, const char *> entries[] = {{"txtS", "500"}, {"txtB", "-300"}, {"txtH", "99999"},
        {"txtH", "1e400"}, {"optS", ""}, {"txtS", "&HFFFF"}, {"optB", ""}, {"optH", ""}, {"hue slider", ""}};
    for (const auto &[control, value] : entries) {
        *value ? retype(control, value) : control[0] == 'h' ? click({285, 100}) : clickButton(control);
        EXPECT_TRUE(QRect(10, 10, 256, 256).contains(marker()) && sliderY() >= 10 && sliderY() <= 265) << control << value;
        // A colour with a negative part would show a negative part here.
        for (const char *box : {"Text1", "Text2", "Text3"})
            EXPECT_TRUE(text(box).toInt() >= 0 && text(box).toInt() <= 255) << control << value;
    }
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
    const std::tuple<int, int, int, ColorValue> hits[] = {{35, 17, 2, 65280}, {10, 17, 2, 65280}, {25, 17, 2, 65280}, {11, 17, 1, 255}, {24, 17, 1, 255}};
    for (const auto &[x, y, cell, color] : hits) {
        click({x, y});
        EXPECT_TRUE(dialog.picker().SelectedCell == cell && dialog.selectedColor() == color) << x << "," << y;
    }

    // " << Add    " puts the colour of the swatch beside it, white, in cell 17 and writes every cell.
    click({17, 35});
    clickButton("cmdADD");
    EXPECT_EQ(pixel(17, 35), 16777215);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray green = QByteArray(" 65280 \r\n");
    EXPECT_EQ(file.readAll(), " 0 \r\n 255 \r\n" + green.repeated(15) + " 16777215 \r\n" + green.repeated(207));
    EXPECT_EQ(texts, QStringList{});

    // A directory in the file's place cannot be replaced: a message, and the cell keeps its stored colour.
    ASSERT_TRUE(file.remove() && QDir(dir.path()).mkdir(CustomColorsFileName));
    click({35, 17});
    clickButton("cmdADD");
    ASSERT_EQ(texts.size(), 1);
    EXPECT_TRUE(texts[0].contains(QStringLiteral("usercolors.cps")));
    EXPECT_EQ(pixel(35, 17), 65280);
    click({17, 35});
    EXPECT_EQ(dialog.selectedColor(), 16777215) << "every byte of a custom colour is chosen";
}

TEST_F(frmColorPickTest, SafePaletteCellsAndTheirReadOut)
{
    clickButton("Command3");
    control("cmbPreset")->setFocus();
    for (int mode : {2, 3, 4}) { // the browsers' lists, then the safe palette: none takes an added colour
        QTest::keyClick(control("cmbPreset"), Qt::Key_Down);
        EXPECT_TRUE(dialog.paletteMode() == mode && !control("cmdADD")->isVisible() && !control("lblADDColor")->isVisible()) << mode;
    }
    EXPECT_EQ(pixel(17 + 18 * 3, 17 + 18 * 2), RGB(0, 255, 255));    // cell 36
    EXPECT_EQ(pixel(17 + 18 * 7, 17 + 18 * 13), RGB(255, 255, 255)); // cell 216
    click({17 + 18 * 4, 17 + 18 * 2});                                 // cell 37
    EXPECT_EQ(dialog.selectedColor(), RGB(51, 0, 0));
    EXPECT_EQ(readOutDifference({51, 0, 0}, QStringLiteral("330000")), QString());
    click({17 + 18 * 11, 17 + 18 * 13}); // cell 220, a black filler
    EXPECT_TRUE(dialog.picker().SelectedCell == 220 && dialog.selectedColor() == 0);
    EXPECT_EQ(readOutDifference({0, 0, 0}, QString()), QString());
    // A click on the Old swatch prints its colour over the previous read-out.
    QTest::mouseClick(control("Label2"), Qt::LeftButton);
    EXPECT_EQ(readOutDifference({255, 0, 0}, QStringLiteral("FF0000")), QString());
}

TEST_F(frmColorPickTest, QuickSecondPressCountsAsAPress)
{
    // The window system reports the second press of a quick pair as a double click, with no press:
    // it picks and starts a drag as a press there does (19 % and 25 % at 60, 200; 56 % at row 120).
    const struct { const char *name, *button; QPoint at, dragTo; const char *boxesAndCell; } presses[] = {
        {"field in hue mode, dragged on", "optH", {150, 150}, {60, 200}, "0 19 25 65 52 52 1"},
        {"brightness slider", "optB", {285, 120}, {285, 120}, "0 19 56 145 117 118 1"},
        {"custom colours cell", "Command3", {35, 17}, {35, 17}, "0 19 56 145 117 118 2"}};
    for (const auto &c : presses) {
        clickButton(c.button);
        send(dialog, QEvent::MouseButtonDblClick, c.at);
        if (c.dragTo != c.at)
            move(c.dragTo);
        release(c.dragTo);
        EXPECT_EQ((boxes() << QString::number(dialog.picker().SelectedCell)).join(' ').toStdString(), c.boxesAndCell) << c.name;
    }
}

} // namespace

TEST_F(frmColorPickTest, CancelLeavesThePickerAsItWasShown)
{
    clickButton("optS");
    click({61, 214});
    const ColorValue shown = dialog.selectedColor();
    const QStringList shownBoxes = boxes();
    const QImage shownImage = image();
    dialog.hide();
    QTimer::singleShot(0, &dialog, [this] {
        click({200, 100});
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
