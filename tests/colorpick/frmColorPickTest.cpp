#include "frmColorPick.h"

#include "Gdi.h"
#include "RecordingMessageSink.h"
#include "Swatch.h"

#include <QComboBox>
#include <QFile>
#include <QFrame>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include "ImageDifference.h"

#include <gtest/gtest.h>

namespace {

const QString HueMessage = QStringLiteral("Enter an Integer Value Between 0 and 360");

class frmColorPickTest : public testing::Test
{
protected:
    frmColorPickTest() : dialog(dir.filePath(CustomColorsFileName), messages) { dialog.show(); }

    template <typename Widget = QWidget>
    Widget *control(const char *name)
    {
        auto *widget = dialog.findChild<Widget *>(QString::fromLatin1(name));
        EXPECT_NE(widget, nullptr) << name;
        return widget;
    }
    QWidget *surface() { return control("surface"); }
    QString text(const char *box) { return control<QLineEdit>(box)->text(); }
    QStringList boxes()
    {
        return {text("txtH"), text("txtS"), text("txtB"), text("Text1"), text("Text2"), text("Text3")};
    }
    [[nodiscard]] ColorValue pixel(int x, int y) const { return GetPixel(dialog.picker().surface(), x, y); }
    [[nodiscard]] QImage image() const { return dialog.picker().surface().image().copy(); }

    void press(int x, int y, Qt::MouseButton button = Qt::LeftButton)
    {
        QTest::mousePress(surface(), button, {}, QPoint(x, y));
    }
    void move(int x, int y) { QTest::mouseMove(surface(), QPoint(x, y)); }
    void release(int x, int y, Qt::MouseButton button = Qt::LeftButton)
    {
        QTest::mouseRelease(surface(), button, {}, QPoint(x, y));
    }
    void click(int x, int y)
    {
        press(x, y);
        release(x, y);
    }
    void clickButton(const char *name) { QTest::mouseClick(control<QAbstractButton>(name), Qt::LeftButton); }
    void retype(const char *box, const QString &keys)
    {
        control<QLineEdit>(box)->clear();
        QTest::keyClicks(control<QLineEdit>(box), keys);
    }
    // Ends the next modal showing by a click on the named button.
    void endShowingWith(const char *button)
    {
        QTimer::singleShot(0, &dialog, [this, button] { clickButton(button); });
    }

    QTemporaryDir dir;
    RecordingMessageSink messages;
    frmColorPick dialog;
};

TEST_F(frmColorPickTest, WindowAndControlsAtTheirPositions)
{
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Color Box"));
    EXPECT_EQ(dialog.size(), QSize(434, 277));
    EXPECT_EQ(surface()->geometry(), QRect(0, 0, 434, 277));
    const std::pair<const char *, QRect> layout[] = {
        {"Frame1", {308, 2, 113, 67}},     {"lblSelColor", {8, 24, 49, 29}}, {"Label2", {57, 24, 48, 29}},
        {"Frame2", {306, 64, 137, 149}},   {"optH", {0, 34, 31, 17}},        {"optS", {0, 54, 31, 17}},
        {"optB", {0, 74, 33, 17}},         {"txtH", {30, 32, 25, 19}},       {"txtS", {30, 52, 25, 19}},
        {"txtB", {30, 72, 25, 19}},        {"Text1", {92, 32, 25, 19}},      {"Text2", {92, 52, 25, 19}},
        {"Text3", {92, 72, 25, 19}},       {"cmbPreset", {310, 144, 115, 21}}, {"Frame3", {302, 204, 65, 31}},
        {"lblADDColor", {2, 8, 57, 23}},   {"cmdADD", {304, 240, 57, 27}},   {"Command1", {370, 176, 55, 27}},
        {"Command3", {370, 208, 55, 27}},  {"Command2", {370, 240, 55, 27}},
    };
    for (const auto &[name, rect] : layout)
        EXPECT_EQ(control(name)->geometry(), rect) << name;
    EXPECT_EQ(control<QPushButton>("cmdADD")->text(), QStringLiteral(" << Add    "));
}

TEST_F(frmColorPickTest, LoadState)
{
    EXPECT_EQ(boxes(), (QStringList{"0", "100", "100", "255", "0", "0"}));
    EXPECT_TRUE(control<QRadioButton>("optH")->isChecked());
    EXPECT_EQ(dialog.selectedColor(), 255);
    EXPECT_EQ(dialog.paletteMode(), 0);
    EXPECT_EQ(dialog.picker().MarkerX, 265);
    EXPECT_EQ(dialog.picker().MarkerY, 10);
    EXPECT_EQ(dialog.picker().SliderY, 265.0f);
    EXPECT_EQ(dialog.picker().SelectedCell, 1);
    EXPECT_TRUE(control("Frame2")->isVisible());
    EXPECT_FALSE(control("cmbPreset")->isVisible() || control("cmdADD")->isVisible() || control("lblADDColor")->isVisible());
    EXPECT_EQ(control<QComboBox>("cmbPreset")->currentIndex(), -1);
    EXPECT_EQ(control<QComboBox>("cmbPreset")->placeholderText(), QStringLiteral("Safe Colors"));
    // Red field with the marker at its top right, slider marker at the bottom.
    EXPECT_EQ(pixel(265, 10), RGB(255, 0, 0));
    EXPECT_EQ(pixel(10, 10), RGB(255, 255, 255));
    EXPECT_EQ(pixel(260, 10), RGB(0, 250, 250));
    EXPECT_EQ(pixel(284, 265), RGB(255, 0, 0));
    EXPECT_EQ(pixel(294, 265), ~modColorPick::BackColor & 0xFFFFFF);
    EXPECT_EQ(pixel(275, 266), ~modColorPick::BackColor & 0xFFFFFF);
}

TEST_F(frmColorPickTest, OkReturnsTheNewColourAndKeepsTheState)
{
    dialog.hide();
    endShowingWith("Command1");
    EXPECT_EQ(dialog.pickColor(), std::optional<ColorValue>(255));
    EXPECT_FALSE(dialog.isVisible());

    dialog.show();
    clickButton("optS");
    click(100, 200);
    const ColorValue chosen = dialog.selectedColor();
    const QStringList chosenBoxes = boxes();
    const QImage chosenImage = image();
    dialog.hide();
    endShowingWith("Command1");
    EXPECT_EQ(dialog.pickColor(), std::optional<ColorValue>(chosen));
    EXPECT_EQ(boxes(), chosenBoxes);
    EXPECT_EQ(imageDifference(image(), chosenImage), QString());
    EXPECT_TRUE(control<QRadioButton>("optS")->isChecked());
}

TEST_F(frmColorPickTest, CancelReturnsNothingAndKeepsTheState)
{
    click(100, 200);
    const QStringList chosenBoxes = boxes();
    dialog.hide();
    endShowingWith("Command2");
    EXPECT_EQ(dialog.pickColor(), std::nullopt);
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(boxes(), chosenBoxes);
}

TEST_F(frmColorPickTest, TitleBarCloseReturnsNothingAndStartsOver)
{
    click(100, 200);
    clickButton("Command3");
    dialog.hide();
    const QImage loadImage = frmColorPick(dir.filePath(CustomColorsFileName), messages).picker().surface().image();
    QTimer::singleShot(0, &dialog, [this] { dialog.close(); });
    EXPECT_EQ(dialog.pickColor(), std::nullopt);
    EXPECT_EQ(dialog.selectedColor(), 255);
    EXPECT_EQ(boxes(), (QStringList{"0", "100", "100", "255", "0", "0"}));
    EXPECT_EQ(dialog.paletteMode(), 0);
    EXPECT_EQ(imageDifference(image(), loadImage), QString());
}

TEST_F(frmColorPickTest, LoadColorDialogSetsOnlyTheNewSwatch)
{
    const QImage before = image();
    dialog.LoadColorDialog(65280);
    EXPECT_EQ(imageDifference(image(), before), QString());
    EXPECT_EQ(boxes(), (QStringList{"0", "100", "100", "255", "0", "0"}));
    dialog.hide();
    endShowingWith("Command1");
    EXPECT_EQ(dialog.pickColor(), std::optional<ColorValue>(65280));
}

TEST_F(frmColorPickTest, FieldCornerIsInsideAndTheNextColumnIsNot)
{
    click(265, 265);
    EXPECT_EQ(boxes(), (QStringList{"0", "100", "0", "0", "0", "0"}));
    EXPECT_EQ(dialog.selectedColor(), 0);
    const QImage before = image();
    click(266, 100);
    EXPECT_EQ(imageDifference(image(), before), QString());
    EXPECT_EQ(boxes(), (QStringList{"0", "100", "0", "0", "0", "0"}));
}

TEST_F(frmColorPickTest, SliderHitAreaAndClamping)
{
    click(302, 9);
    EXPECT_EQ(text("txtH"), QStringLiteral("360"));
    EXPECT_EQ(dialog.picker().SliderY, 10.0f);

    const QStringList before = boxes();
    click(303, 100);
    EXPECT_EQ(boxes(), before);

    click(290, 267);
    EXPECT_EQ(text("txtH"), QStringLiteral("0"));
    EXPECT_EQ(dialog.picker().SliderY, 265.0f);

    click(290, 268);
    EXPECT_EQ(text("txtH"), QStringLiteral("0"));
    click(276, 100);
    EXPECT_EQ(text("txtH"), QStringLiteral("0"));
}

TEST_F(frmColorPickTest, FieldDragIsClampedToTheEdges)
{
    press(100, 100);
    move(-50, 400);
    EXPECT_EQ(dialog.picker().MarkerX, 10);
    EXPECT_EQ(dialog.picker().MarkerY, 265);
    EXPECT_EQ(text("txtS"), QStringLiteral("0"));
    EXPECT_EQ(text("txtB"), QStringLiteral("0"));
    move(500, -50);
    EXPECT_EQ(dialog.picker().MarkerX, 265);
    EXPECT_EQ(dialog.picker().MarkerY, 10);
    EXPECT_EQ(text("txtS"), QStringLiteral("100"));
    EXPECT_EQ(text("txtB"), QStringLiteral("100"));
    release(500, -50);

    clickButton("optS");
    press(100, 100);
    move(1000, 100);
    EXPECT_EQ(text("txtH"), QStringLiteral("360"));
    move(-1000, 100);
    EXPECT_EQ(text("txtH"), QStringLiteral("0"));
    release(-1000, 100);
}

TEST_F(frmColorPickTest, OnlyTheLeftButtonAloneDrags)
{
    const QImage before = image();
    const QStringList beforeBoxes = boxes();
    press(100, 100, Qt::RightButton);
    move(150, 150);
    release(150, 150, Qt::RightButton);
    EXPECT_EQ(imageDifference(image(), before), QString());
    EXPECT_EQ(boxes(), beforeBoxes);

    press(100, 100);
    const int markerX = dialog.picker().MarkerX;
    press(100, 100, Qt::RightButton);
    move(150, 150);
    EXPECT_EQ(dialog.picker().MarkerX, markerX);
    release(150, 150, Qt::RightButton);
    release(150, 150);
}

TEST_F(frmColorPickTest, HueSliderDragChangesOnlyHueAndNewUntilRelease)
{
    click(200, 100);
    const QStringList before = boxes();
    const QImage field = image().copy(10, 10, 256, 256);

    press(285, 100);
    move(285, 90);
    EXPECT_EQ(text("txtH"), QString::number(int((265 - 90) * 360 / 255.0)));
    EXPECT_EQ(text("txtS"), before[1]);
    EXPECT_EQ(text("txtB"), before[2]);
    EXPECT_EQ(QStringList(boxes().mid(3)), QStringList(before.mid(3)));
    EXPECT_EQ(imageDifference(image().copy(10, 10, 256, 256), field), QString());
    // The live colour is the slider's hue at the boxes' saturation and brightness.
    const ColorParts hue = SplitColor(pixel(282, 90));
    const int s = text("txtS").toInt();
    const int b = text("txtB").toInt();
    EXPECT_EQ(dialog.selectedColor(),
              RGB(HueSBComponent(hue.red, s, b), HueSBComponent(hue.green, s, b), HueSBComponent(hue.blue, s, b)));

    release(285, 90);
    EXPECT_NE(imageDifference(image().copy(10, 10, 256, 256), field), QString());
    EXPECT_EQ(pixel(265, 10), pixel(280, 90));
    const ColorParts chosen = SplitColor(pixel(200, 100));
    EXPECT_EQ(dialog.selectedColor(), chosen.toColor());
    EXPECT_EQ(QStringList(boxes().mid(3)),
              (QStringList{QString::number(chosen.red), QString::number(chosen.green), QString::number(chosen.blue)}));
}

TEST_F(frmColorPickTest, ModeRoundTripRestoresBothMarkers)
{
    click(120, 180);
    click(285, 150);
    const int markerX = dialog.picker().MarkerX;
    const int markerY = dialog.picker().MarkerY;
    const QStringList hueBoxes = boxes();

    clickButton("optS");
    EXPECT_EQ(dialog.picker().MarkerX, RoundHalfEven(text("txtH").toInt() * 255 / 360.0 + 10));
    clickButton("optB");
    clickButton("optH");
    EXPECT_EQ(dialog.picker().MarkerX, RoundHalfEven(text("txtS").toInt() * 255 / 100.0 + 10));
    EXPECT_EQ(dialog.picker().MarkerY, RoundHalfEven(265 - text("txtB").toInt() * 255 / 100.0));
    EXPECT_EQ(dialog.picker().SliderY, float(Int(265 - text("txtH").toInt() * 255 / 360.0)));
    EXPECT_NEAR(dialog.picker().MarkerX, markerX, 1);
    EXPECT_NEAR(dialog.picker().MarkerY, markerY, 1);
    EXPECT_EQ(boxes().mid(0, 3), hueBoxes.mid(0, 3));

    // A second round trip from the settled state changes no pixel.
    const QImage settled = image();
    clickButton("optS");
    clickButton("optH");
    EXPECT_EQ(imageDifference(image(), settled), QString());
}

TEST_F(frmColorPickTest, HueBoxValidation)
{
    QLineEdit *hue = control<QLineEdit>("txtH");
    hue->clear();
    QTest::keyClicks(hue, QStringLiteral("3"));
    QTest::keyClicks(hue, QStringLiteral("6"));
    EXPECT_TRUE(messages.texts.isEmpty());
    QTest::keyClicks(hue, QStringLiteral("5"));
    EXPECT_EQ(messages.texts, QStringList{HueMessage});
    EXPECT_EQ(messages.titles, QStringList{ProgramTitle});
    EXPECT_EQ(text("txtH"), QStringLiteral("365"));
    // Applied held to the range: the slider marker stops at the top of the slider.
    EXPECT_EQ(dialog.picker().SliderY, 10.0f);

    messages.texts.clear();
    retype("txtH", QStringLiteral("-"));
    EXPECT_TRUE(messages.texts.isEmpty());
    QTest::keyClicks(hue, QStringLiteral("5"));
    EXPECT_EQ(messages.texts, QStringList{HueMessage});
    EXPECT_EQ(text("txtH"), QStringLiteral("0"));

    messages.texts.clear();
    retype("txtH", QStringLiteral("12.5"));
    EXPECT_EQ(messages.texts, QStringList{HueMessage});
    messages.texts.clear();
    retype("txtH", QStringLiteral("12."));
    EXPECT_TRUE(messages.texts.isEmpty());
    QTest::keyClick(hue, Qt::Key_Backspace);
    QTest::keyClick(hue, Qt::Key_Backspace);
    QTest::keyClick(hue, Qt::Key_Backspace);
    EXPECT_EQ(text("txtH"), QString());
    EXPECT_TRUE(messages.texts.isEmpty());
}

TEST_F(frmColorPickTest, HueBoxMovesTheSliderAndRedrawsTheField)
{
    retype("txtH", QStringLiteral("36"));
    // 265 - 36 × 255 / 360 = 239.5, kept unrounded; the marker is drawn at 240.
    EXPECT_EQ(dialog.picker().SliderY, 239.5f);
    EXPECT_EQ(pixel(294, 240), ~modColorPick::BackColor & 0xFFFFFF);
    EXPECT_EQ(pixel(294, 265), modColorPick::BackColor);
    EXPECT_EQ(pixel(282, 240), RGB(255, 150, 0));
    // The field now tops out at that hue, and the unmoved marker picks it.
    EXPECT_EQ(pixel(265, 10), RGB(255, 150, 0));
    EXPECT_EQ(dialog.selectedColor(), RGB(255, 150, 0));
    EXPECT_EQ(boxes().mid(3), (QStringList{"255", "150", "0"}));
}

TEST_F(frmColorPickTest, LeavingTheHueBoxWithABadValueTakesTheFocusBack)
{
    control<QLineEdit>("txtH")->setText(QStringLiteral("400"));
    QFocusEvent leave(QEvent::FocusOut, Qt::TabFocusReason);
    QApplication::sendEvent(control("txtH"), &leave);
    EXPECT_EQ(messages.texts, QStringList{HueMessage});
    EXPECT_EQ(dialog.focusWidget(), control("txtH"));
    EXPECT_EQ(text("txtH"), QStringLiteral("400"));

    QFocusEvent deactivate(QEvent::FocusOut, Qt::ActiveWindowFocusReason);
    QApplication::sendEvent(control("txtH"), &deactivate);
    EXPECT_EQ(messages.texts.size(), 1);
}

TEST_F(frmColorPickTest, BrightnessFiftyMovesTheMarkerTo138)
{
    retype("txtB", QStringLiteral("50"));
    EXPECT_EQ(dialog.picker().MarkerY, 138);
    EXPECT_EQ(dialog.picker().MarkerX, 265);
    EXPECT_EQ(dialog.selectedColor(), RGB(127, 0, 0));
    EXPECT_EQ(boxes().mid(3), (QStringList{"127", "0", "0"}));
}

TEST_F(frmColorPickTest, SaturationModeBoxesWaitForTheNextModeSwitch)
{
    clickButton("optS");
    const QImage before = image();
    retype("txtB", QStringLiteral("40"));
    EXPECT_EQ(imageDifference(image(), before), QString());
    clickButton("optB");
    clickButton("optS");
    EXPECT_EQ(dialog.picker().MarkerY, RoundHalfEven(265 - 40 * 2.55));
}

TEST_F(frmColorPickTest, OutOfRangeBoxesStayOnTheSurfaceWithValidColours)
{
    const auto expectSound = [this](const char *where) {
        const modColorPick &picker = dialog.picker();
        EXPECT_GE(picker.MarkerX, 10) << where;
        EXPECT_LE(picker.MarkerX, 265) << where;
        EXPECT_GE(picker.MarkerY, 10) << where;
        EXPECT_LE(picker.MarkerY, 265) << where;
        EXPECT_GE(picker.SliderY, 10.0f) << where;
        EXPECT_LE(picker.SliderY, 265.0f) << where;
        const ColorValue color = dialog.selectedColor();
        EXPECT_GE(color, 0) << where;
        EXPECT_LE(color, 0xFFFFFF) << where;
        for (const char *box : {"Text1", "Text2", "Text3"}) {
            EXPECT_GE(text(box).toInt(), 0) << where;
            EXPECT_LE(text(box).toInt(), 255) << where;
        }
    };
    retype("txtS", QStringLiteral("500"));
    expectSound("saturation 500");
    retype("txtB", QStringLiteral("-300"));
    expectSound("brightness -300");
    retype("txtH", QStringLiteral("99999"));
    expectSound("hue 99999");
    retype("txtH", QStringLiteral("1e400"));
    expectSound("hue 1e400");
    press(285, 100);
    expectSound("hue slider");
    release(285, 100);
    expectSound("hue slider release");
    clickButton("optS");
    expectSound("saturation mode");
    retype("txtS", QStringLiteral("&HFFFF"));
    clickButton("optB");
    expectSound("brightness mode");
    clickButton("optH");
    expectSound("hue mode");
}

TEST_F(frmColorPickTest, PresetFaceAndBack)
{
    // A point whose boxes lead back to the same marker position.
    click(112, 214);
    const QImage pickerImage = image();
    const QStringList pickerBoxes = boxes();
    const ColorValue chosen = dialog.selectedColor();

    clickButton("Command3");
    EXPECT_EQ(control<QPushButton>("Command3")->text(), QStringLiteral("&Picker"));
    EXPECT_FALSE(control("Frame2")->isVisible());
    EXPECT_TRUE(control("cmbPreset")->isVisible());
    EXPECT_EQ(control<QComboBox>("cmbPreset")->currentText(), QStringLiteral("Custom..."));
    EXPECT_TRUE(control("cmdADD")->isVisible());
    EXPECT_TRUE(control("lblADDColor")->isVisible());
    EXPECT_EQ(dialog.paletteMode(), 1);
    // No usercolors.cps: every cell is black.
    EXPECT_EQ(pixel(17, 17), 0);
    EXPECT_EQ(pixel(287, 251), 0);
    EXPECT_EQ(pixel(44, 110), modColorPick::BackColor);

    clickButton("Command3");
    EXPECT_EQ(control<QPushButton>("Command3")->text(), QStringLiteral("&Preset"));
    EXPECT_TRUE(control("Frame2")->isVisible());
    EXPECT_FALSE(control("cmbPreset")->isVisible());
    EXPECT_FALSE(control("cmdADD")->isVisible());
    EXPECT_EQ(dialog.paletteMode(), 0);
    EXPECT_EQ(dialog.selectedColor(), chosen);
    EXPECT_EQ(boxes(), pickerBoxes);
    EXPECT_EQ(imageDifference(image(), pickerImage), QString());
}

TEST_F(frmColorPickTest, PresetFaceRoundTripInEveryMode)
{
    for (const char *option : {"optS", "optB"}) {
        clickButton(option);
        click(61, 214);
        const QImage before = image();
        clickButton("Command3");
        clickButton("Command3");
        EXPECT_EQ(imageDifference(image(), before), QString()) << option;
    }
}

TEST_F(frmColorPickTest, AddStoresTheColourOfTheAddSwatchInTheSelectedCell)
{
    dialog.LoadColorDialog(16777215);
    clickButton("Command3");
    EXPECT_EQ(control<Swatch>("lblADDColor")->color(), 16777215);
    click(17, 35);
    EXPECT_EQ(dialog.picker().SelectedCell, 17);
    clickButton("cmdADD");
    EXPECT_EQ(pixel(17, 35), 16777215);

    QFile file(dir.filePath(CustomColorsFileName));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QList<QByteArray> lines = file.readAll().split('\n');
    ASSERT_EQ(lines.size(), 226);
    EXPECT_EQ(lines[225], QByteArray());
    for (int i = 0; i < 225; ++i)
        EXPECT_EQ(lines[i], i == 17 ? QByteArray(" 16777215 \r") : QByteArray(" 0 \r")) << i;
    EXPECT_TRUE(messages.texts.isEmpty());
}

TEST_F(frmColorPickTest, FailedAddShowsAMessageAndKeepsTheColour)
{
    frmColorPick blocked(dir.filePath(QStringLiteral("missing/usercolors.cps")), messages);
    blocked.show();
    QTest::mouseClick(blocked.findChild<QPushButton *>(QStringLiteral("Command3")), Qt::LeftButton);
    QTest::mouseClick(blocked.findChild<QPushButton *>(QStringLiteral("cmdADD")), Qt::LeftButton);
    ASSERT_EQ(messages.texts.size(), 1);
    EXPECT_TRUE(messages.texts[0].contains(QStringLiteral("usercolors.cps")));
    EXPECT_EQ(blocked.picker().CustomColors[1], 255);
    EXPECT_EQ(GetPixel(blocked.picker().surface(), 17, 17), 255);
}

TEST_F(frmColorPickTest, CellHitsAreStrict)
{
    QFile file(dir.filePath(CustomColorsFileName));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("0\r\n255\r\n65280\r\n");
    file.close();
    clickButton("Command3");
    click(35, 17);
    EXPECT_EQ(dialog.picker().SelectedCell, 2);
    EXPECT_EQ(dialog.selectedColor(), 65280);
    click(10, 17);
    EXPECT_EQ(dialog.picker().SelectedCell, 2);
    click(25, 17);
    EXPECT_EQ(dialog.picker().SelectedCell, 2);
    click(11, 17);
    EXPECT_EQ(dialog.picker().SelectedCell, 1);
    EXPECT_EQ(dialog.selectedColor(), 255);
    click(24, 17);
    EXPECT_EQ(dialog.picker().SelectedCell, 1);
}

TEST_F(frmColorPickTest, DragAcrossTheGridSelectsEachCell)
{
    clickButton("Command3");
    press(17, 17);
    move(35, 17);
    EXPECT_EQ(dialog.picker().SelectedCell, 2);
    move(53, 35);
    EXPECT_EQ(dialog.picker().SelectedCell, 19);
    release(53, 35);
    move(71, 35);
    EXPECT_EQ(dialog.picker().SelectedCell, 19);
}

TEST_F(frmColorPickTest, SafePaletteCells)
{
    clickButton("Command3");
    QComboBox *list = control<QComboBox>("cmbPreset");
    list->setFocus();
    for (int i = 0; i < 3; ++i)
        QTest::keyClick(list, Qt::Key_Down);
    EXPECT_EQ(list->currentIndex(), 3);
    EXPECT_EQ(dialog.paletteMode(), 4);
    EXPECT_FALSE(control("cmdADD")->isVisible());
    EXPECT_EQ(pixel(17 + 18 * 3, 17 + 18 * 2), RGB(0, 255, 255));  // cell 36
    EXPECT_EQ(pixel(17 + 18 * 4, 17 + 18 * 2), RGB(51, 0, 0));     // cell 37
    EXPECT_EQ(pixel(17 + 18 * 7, 17 + 18 * 13), RGB(255, 255, 255)); // cell 216

    const auto readOut = [this] { return image().copy(312, 80, 81, 60); };
    modColorPick expected(QString{});
    click(17 + 18 * 4, 17 + 18 * 2);
    EXPECT_EQ(dialog.selectedColor(), RGB(51, 0, 0));
    expected.PrintColorInfo({51, 0, 0}, QStringLiteral("330000"));
    EXPECT_EQ(imageDifference(readOut(), expected.surface().image().copy(312, 80, 81, 60)), QString());

    click(17 + 18 * 11, 17 + 18 * 13); // cell 220, a black filler
    EXPECT_EQ(dialog.picker().SelectedCell, 220);
    EXPECT_EQ(dialog.selectedColor(), 0);
    expected.PrintColorInfo({0, 0, 0}, QString());
    EXPECT_EQ(imageDifference(readOut(), expected.surface().image().copy(312, 80, 81, 60)), QString());
}

TEST_F(frmColorPickTest, BrowserPaletteIsEmptyAndKeepsTheChoice)
{
    clickButton("Command3");
    QComboBox *list = control<QComboBox>("cmbPreset");
    list->setFocus();
    QTest::keyClick(list, Qt::Key_Down);
    QTest::keyClick(list, Qt::Key_Down);
    EXPECT_EQ(list->currentText(), QStringLiteral("Netscape Navigator (TM)"));
    EXPECT_EQ(dialog.paletteMode(), 3);
    for (int y = 0; y < 277; y += 3)
        for (int x = 0; x < 300; x += 3)
            ASSERT_EQ(pixel(x, y), modColorPick::BackColor) << x << "," << y;

    click(35, 17);
    EXPECT_EQ(dialog.picker().SelectedCell, 2);
    EXPECT_EQ(dialog.selectedColor(), 255);
    modColorPick expected(QString{});
    expected.PrintColorInfo({0, 0, 0}, QString());
    EXPECT_EQ(imageDifference(image().copy(312, 80, 81, 60), expected.surface().image().copy(312, 80, 81, 60)), QString());
}

TEST_F(frmColorPickTest, OldSwatchClickPrintsItsColour)
{
    clickButton("Command3");
    QTest::mouseClick(control("Label2"), Qt::LeftButton);
    modColorPick expected(QString{});
    expected.PrintColorInfo({255, 0, 0}, QStringLiteral("FF0000"));
    EXPECT_EQ(imageDifference(image().copy(312, 80, 81, 60), expected.surface().image().copy(312, 80, 81, 60)), QString());
}

} // namespace
