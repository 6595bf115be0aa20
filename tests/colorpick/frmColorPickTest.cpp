#include "colorpick/frmColorPick.h"

#include "raster/Gdi.h"
#include "support/ImageDifference.h"
#include "support/TestFiles.h"
#include "window/Dialogs.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

const std::string LoadState = "0 100 100 255 0 0 new 255,0,0 at 265,10 slider 265 field 255,0,0";
const QString PickerFace = QStringLiteral("&Preset 1000 mode 0");
constexpr ColorValue Magenta = RGB(255, 0, 255);

// The fixture is the message sink, keeping every message instead of showing a box.
class frmColorPickTest : public testing::Test, public MessageSink
{
protected:
    struct Row { const char *name, *steps; std::string state; };

    frmColorPickTest() { dialog.show(); }
    void showMessage(QWidget *, const QString &, const QString &text) override { texts.append(text); }

    template <typename Widget = QWidget> Widget *control(const QString &name) { return dialog.findChild<Widget *>(name); }
    [[nodiscard]] ColorValue pixel(int x, int y) const { return GetPixel(dialog.picker().surface(), x, y); }
    [[nodiscard]] QImage image() const { return dialog.picker().surface().image().copy(); }
    // The boxes H, S, B, R, G, B; the New colour; where the markers stand; the field's top right
    // pixel (the hue, in hue mode); how many messages came since the last look.
    std::string state()
    {
        QStringList shown;
        for (const char *box : {"txtH", "txtS", "txtB", "Text1", "Text2", "Text3"})
            shown << control<QLineEdit>(box)->text();
        const ColorParts chosen = SplitColor(dialog.selectedColor()), field = SplitColor(pixel(265, 10));
        shown << QStringLiteral("new %1,%2,%3 at %4,%5 slider %6 field %7,%8,%9").arg(chosen.red).arg(chosen.green).arg(chosen.blue)
                     .arg(dialog.picker().MarkerX).arg(dialog.picker().MarkerY).arg(dialog.picker().SliderY)
                     .arg(field.red).arg(field.green).arg(field.blue);
        if (!texts.isEmpty())
            shown << QStringLiteral("reported %1").arg(std::exchange(texts, {}).size());
        return shown.join(' ').toStdString();
    }
    // Command3's caption; whether the H/S/B boxes, the preset list, the Add button and its swatch show; the palette.
    QString face()
    {
        QString shown = control<QAbstractButton>("Command3")->text() + ' ';
        for (const char *name : {"Frame2", "cmbPreset", "cmdADD", "lblADDColor"})
            shown += control(name)->isVisible() ? '1' : '0';
        return shown + " mode " + QString::number(dialog.paletteMode());
    }
    // Runs steps such as "press 10,20; move 30,40; release; optS; txtH=36": mouse events on the
    // picture as the window system delivers them, a click on a named control, keys typed into a cleared box.
    void run(const QString &steps)
    {
        for (const QString &step : steps.split(QStringLiteral("; "), Qt::SkipEmptyParts)) {
            const QString verb = step.section(' ', 0, 0), box = step.section('=', 0, 0);
            const QPointF at(step.section(' ', 1).section(',', 0, 0).toInt(), step.section(',', 1).toInt());
            const auto send = [&](QEvent::Type type, Qt::MouseButton button, Qt::MouseButtons held) {
                QMouseEvent event(type, at, control("surface")->mapToGlobal(at), button, held, {});
                QApplication::sendEvent(control("surface"), &event);
            };
            if (step.contains('=')) {
                control<QLineEdit>(box)->clear();
                QTest::keyClicks(control(box), step.section('=', 1));
            } else if (verb == "click")
                run("press " + step.section(' ', 1) + "; release");
            else if (verb == "press" || verb == "dblclick")
                send(verb == "press" ? QEvent::MouseButtonPress : QEvent::MouseButtonDblClick, Qt::LeftButton, Qt::LeftButton);
            else if (verb == "move")
                send(QEvent::MouseMove, Qt::NoButton, Qt::LeftButton);
            else if (verb == "release")
                send(QEvent::MouseButtonRelease, Qt::LeftButton, Qt::NoButton);
            else
                QTest::mouseClick(control(step), Qt::LeftButton);
        }
    }
    // One after the other, each row from the state the previous one left.
    void expectStates(std::initializer_list<Row> rows)
    {
        for (const Row &row : rows) {
            run(row.steps);
            EXPECT_EQ(state(), row.state) << row.name;
        }
    }
    // Shows the dialog modally; `during` runs in the showing, which a click on the named button, or a close, ends.
    std::optional<ColorValue> pickEndedWith(const char *button, const char *during = "")
    {
        dialog.hide();
        QTimer::singleShot(0, &dialog, [=, this] { run(QString::fromLatin1(during)), button ? run(button) : void(dialog.close()); });
        const std::optional<ColorValue> picked = dialog.pickColor();
        dialog.show();
        return picked;
    }
    // Where the read-out differs from the picker's own print of these parts and hex.
    QString readOutDifference(ColorParts parts, const char *hex)
    {
        modColorPick expected(QString{});
        expected.PrintColorInfo(parts, QString::fromLatin1(hex));
        return imageDifference(image().copy(312, 80, 81, 60), expected.surface().image().copy(312, 80, 81, 60));
    }

    QTemporaryDir dir;
    QStringList texts;
    frmColorPick dialog{dir.filePath(CustomColorsFileName), *this};
};

TEST_F(frmColorPickTest, LoadStateAndWhereClicksLand)
{
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Color Box"));
    EXPECT_EQ(dialog.size(), QSize(434, 277));
    // The Add button is hidden on the picker face: a click in its place lands on the picture.
    const std::pair<QPoint, const char *> targets[] = {{{397, 189}, "O&K"}, {{397, 221}, "&Preset"},
        {{397, 253}, "&Cancel"}, {{332, 253}, "surface"}, {{340, 40}, "lblSelColor"}, {{390, 40}, "Label2"}};
    for (const auto &[at, expected] : targets) {
        const auto *button = qobject_cast<const QAbstractButton *>(dialog.childAt(at));
        EXPECT_EQ(button ? button->text() : dialog.childAt(at)->objectName(), QString::fromLatin1(expected)) << expected;
    }
    EXPECT_EQ(control<QComboBox>("cmbPreset")->placeholderText(), QStringLiteral("Safe Colors"));
    EXPECT_EQ(pixel(294, 265), ~modColorPick::BackColor & 0xFFFFFF); // the slider marker's right tick
}

TEST_F(frmColorPickTest, OkGivesNewCancelRestoresTheShowingTitleBarCloseReloads)
{
    const QImage loadImage = image();
    dialog.LoadColorDialog(65280);
    EXPECT_EQ(imageDifference(image(), loadImage), QString());
    EXPECT_EQ(pickEndedWith("Command1"), std::optional<ColorValue>(65280));

    run("optS; click 61,214");
    const std::string shown = state();
    const QImage shownImage = image();
    EXPECT_EQ(pickEndedWith("Command2", "click 200,100; optB; Command3"), std::nullopt);
    EXPECT_EQ(state(), shown);
    EXPECT_EQ(face(), PickerFace);
    EXPECT_TRUE(control<QAbstractButton>("optS")->isChecked());
    EXPECT_EQ(imageDifference(image(), shownImage), QString());
    // OK keeps what the showing changed.
    EXPECT_EQ(pickEndedWith("Command1", "click 200,100; optB; Command3"), std::optional<ColorValue>(dialog.selectedColor()));
    EXPECT_EQ(face(), "&Picker 0111 mode 1");

    // A close from the title bar gives nothing, and the next showing starts from the load state.
    EXPECT_EQ(pickEndedWith(nullptr), std::nullopt);
    EXPECT_EQ(state(), LoadState);
    EXPECT_EQ(face(), PickerFace);
    EXPECT_EQ(imageDifference(image(), loadImage), QString());
}

TEST_F(frmColorPickTest, PressesAndDragsOnTheFieldAndSlider)
{
    expectStates({
        {"2 px above the slider, clamped to its top", "press 302,9; release", "360 100 100 255 0 0 new 255,0,0 at 265,10 slider 10 field 255,0,0"},
        {"right of the slider", "press 303,100; release", "360 100 100 255 0 0 new 255,0,0 at 265,10 slider 10 field 255,0,0"},
        {"3 px below the slider", "press 290,268; release", "360 100 100 255 0 0 new 255,0,0 at 265,10 slider 10 field 255,0,0"},
        {"on the slider frame", "press 276,100; release", "360 100 100 255 0 0 new 255,0,0 at 265,10 slider 10 field 255,0,0"},
        {"2 px below the slider, clamped to its bottom", "press 290,267; release", LoadState},
        {"slider drag far above", "press 285,100; move 285,-500; release", "360 100 100 255 0 0 new 255,0,0 at 265,10 slider 10 field 255,0,0"},
        {"slider drag far below", "press 285,100; move 285,900; release", LoadState},
        {"field drag past the bottom left", "press 100,100; move -50,400; release", "0 0 0 0 0 0 new 0,0,0 at 10,265 slider 265 field 255,0,0"},
        {"field drag past the top right", "press 100,100; move 500,-50; release", LoadState},
        {"bottom right field corner", "press 265,265; release", "0 100 0 0 0 0 new 0,0,0 at 265,265 slider 265 field 255,0,0"},
        {"right of the field", "press 266,100; release", "0 100 0 0 0 0 new 0,0,0 at 265,265 slider 265 field 255,0,0"},
        {"a quick second press comes as a double click", "dblclick 150,150; move 60,200; release", "0 19 25 65 52 52 new 65,52,52 at 60,200 slider 265 field 255,0,0"},
        {"saturation mode, across the field", "optS; press 100,100; move 1000,100; release", "360 19 64 255 255 255 new 255,255,255 at 265,100 slider 265 field 255,0,0"},
    });
}

TEST_F(frmColorPickTest, HueSliderDragAndModeSwitches)
{
    expectStates({
        {"a field click", "click 200,100", "0 74 64 165 42 42 new 165,42,42 at 200,100 slider 265 field 255,0,0"},
        // Slider row 80 is (30, 0, 255); at 74 % and 64 % that gives (57, 42, 163).
        {"a hue slider drag changes only hue and New", "press 285,100; move 285,90", "247 74 64 165 42 42 new 57,42,163 at 200,100 slider 90 field 255,0,0"},
        {"its release redraws the field", "release", "247 74 64 57 42 165 new 57,42,165 at 200,100 slider 90 field 30,0,255"},
        {"clicks on field and slider", "click 120,180; click 285,150", "162 43 33 48 85 74 new 48,85,74 at 120,180 slider 150 field 0,255,180"},
        {"saturation mode", "optS", "162 43 33 48 85 74 new 48,85,74 at 125,181 slider 150 field 255,0,0"},
        {"brightness mode", "optB", "162 43 33 48 85 74 new 48,85,74 at 125,155 slider 150 field 255,0,0"},
        {"back in hue mode, hue 162, 43 % and 33 %", "optH", "162 43 33 48 85 74 new 48,84,73 at 120,181 slider 150 field 0,255,180"},
    });
    // From the settled state a second round trip, or the preset face and back, changes no pixel.
    const QImage settled = image();
    run("optS; optH; Command3; Command3");
    EXPECT_EQ(imageDifference(image(), settled), QString());
    EXPECT_EQ(face(), PickerFace);
}

TEST_F(frmColorPickTest, BoxEntry)
{
    // Typed key by key: "3" and "36" are quiet, "365" and "-5" report once, "-" alone is quiet;
    // 265 - 36 × 255 / 360 = 239.5 stays unrounded, and the field tops out at that hue.
    expectStates({
        {"hue 36", "txtH=36", "36 100 100 255 150 0 new 255,150,0 at 265,10 slider 239.5 field 255,150,0"},
        {"hue 365", "txtH=365", "365 100 100 255 0 0 new 255,0,0 at 265,10 slider 10 field 255,0,0 reported 1"},
        {"hue 360", "txtH=360", "360 100 100 255 0 0 new 255,0,0 at 265,10 slider 10 field 255,0,0"},
        {"hue -5", "txtH=-5", "0 100 100 255 0 0 new 255,0,0 at 265,10 slider 265 field 255,0,0 reported 1"},
        {"hue 12.5", "txtH=12.5", "12.5 100 100 255 54 0 new 255,54,0 at 265,10 slider 256.146 field 255,54,0 reported 1"},
        {"hue 12.", "txtH=12.", "12. 100 100 255 54 0 new 255,54,0 at 265,10 slider 256.5 field 255,54,0"},
        {"brightness 50", "txtH=0; txtB=50", "0 100 50 127 0 0 new 127,0,0 at 265,138 slider 265 field 255,0,0"},
        // Out-of-range values keep the markers on their areas and every colour valid.
        {"saturation 500", "txtS=500", "0 500 50 127 0 0 new 127,0,0 at 265,138 slider 265 field 255,0,0"},
        {"brightness -300", "txtB=-300", "0 500 -300 0 0 0 new 0,0,0 at 265,265 slider 265 field 255,0,0"},
        {"hue 99999, reported at 999, 9999 and 99999", "txtH=99999", "99999 500 -300 0 0 0 new 0,0,0 at 265,265 slider 10 field 255,0,0 reported 3"},
        {"hue 1e400", "txtH=1e400", "1e400 500 -300 0 0 0 new 0,0,0 at 265,265 slider 10 field 255,0,0 reported 3"},
        {"saturation mode", "optS", "1e400 500 -300 0 0 0 new 0,0,0 at 265,265 slider 10 field 255,0,0"},
        {"saturation &HFFFF, -1", "txtS=&HFFFF", "1e400 &HFFFF -300 0 0 0 new 0,0,0 at 265,265 slider 10 field 255,0,0"},
        {"brightness mode", "optB", "1e400 &HFFFF -300 0 0 0 new 0,0,0 at 265,265 slider 10 field 255,0,0"},
        {"hue mode", "optH", "1e400 &HFFFF -300 0 0 0 new 0,0,0 at 10,265 slider 10 field 255,0,0"},
        {"hue slider", "click 285,100", "232 &HFFFF -300 0 0 0 new 0,0,0 at 10,265 slider 100 field 0,30,255"},
    });
    // Leaving the box with a bad value takes the focus back; a deactivation does not report.
    control<QLineEdit>("txtH")->setText(QStringLiteral("400"));
    QFocusEvent leave(QEvent::FocusOut, Qt::TabFocusReason), deactivate(QEvent::FocusOut, Qt::ActiveWindowFocusReason);
    QApplication::sendEvent(control("txtH"), &leave);
    QApplication::sendEvent(control("txtH"), &deactivate);
    EXPECT_EQ(texts, QStringList{QStringLiteral("Enter an Integer Value Between 0 and 360")});
    EXPECT_EQ(dialog.focusWidget(), control("txtH"));
}

TEST_F(frmColorPickTest, CustomColoursStrictHitsAndAdd)
{
    const QString path = dir.filePath(CustomColorsFileName);
    // 33489151 is magenta with a top byte, which no colour has: cell and choice keep the low 24 bits.
    ASSERT_TRUE(writeFile(path, "0\r\n255\r\n33489151\r\n"));
    dialog.LoadColorDialog(16777215);
    run("Command3");
    EXPECT_EQ(face(), "&Picker 0111 mode 1");
    EXPECT_EQ(control<QComboBox>("cmbPreset")->currentText(), QStringLiteral("Custom..."));
    EXPECT_EQ(pixel(17, 17), 255);
    EXPECT_EQ(pixel(287, 251), Magenta); // cell 224: the last value repeats
    // Border lines belong to no cell: the choice stays where it was.
    const std::pair<const char *, ColorValue> hits[] = {
        {"click 35,17", Magenta},
        {"click 10,17", Magenta},
        {"click 25,17", Magenta},
        {"click 11,17", 255},
        {"click 24,17", 255},
    };
    for (const auto &[steps, color] : hits) {
        run(steps);
        EXPECT_EQ(dialog.selectedColor(), color) << steps;
    }
    // " << Add    " puts the colour chosen when the face opened in cell 17 and writes every cell.
    run("click 17,35; cmdADD");
    EXPECT_EQ(pixel(17, 35), 16777215);
    const QByteArray magenta = " 33489151 \r\n";
    EXPECT_EQ(readFile(path), " 0 \r\n 255 \r\n" + magenta.repeated(15) + " 16777215 \r\n" + magenta.repeated(207));
    // A directory in the file's place cannot be replaced: a message, and the cell keeps its stored colour.
    ASSERT_TRUE(QFile::remove(path) && QDir(dir.path()).mkdir(CustomColorsFileName));
    run("click 35,17");
    EXPECT_EQ(readOutDifference({255, 0, 255}, "FF00FF"), QString());
    run("cmdADD");
    EXPECT_EQ(texts.size(), 1);
    EXPECT_TRUE(texts.value(0).startsWith("The custom colors could not be saved to " + QDir::toNativeSeparators(path) + ": "));
    EXPECT_EQ(pixel(35, 17), Magenta);
}

TEST_F(frmColorPickTest, PresetListsAndTheSafeReadOut)
{
    run("Command3");
    control("cmbPreset")->setFocus();
    // The browsers' lists leave the grid empty, the safe palette draws it; none takes an added colour.
    for (const auto &[mode, cellPixel] : {std::pair{2, modColorPick::BackColor}, {3, modColorPick::BackColor}, {4, 0}}) {
        QTest::keyClick(control("cmbPreset"), Qt::Key_Down);
        EXPECT_EQ(face(), QStringLiteral("&Picker 0100 mode %1").arg(mode));
        EXPECT_EQ(pixel(17, 17), cellPixel) << mode;
    }
    run("click 89,53"); // cell 37
    EXPECT_EQ(dialog.selectedColor(), RGB(51, 0, 0));
    EXPECT_EQ(readOutDifference({51, 0, 0}, "330000"), QString());
    run("click 215,251"); // cell 220, a black filler
    EXPECT_TRUE(dialog.picker().SelectedCell == 220 && dialog.selectedColor() == 0);
    EXPECT_EQ(readOutDifference({0, 0, 0}, ""), QString());
    // A click on the Old swatch prints its colour over the previous read-out.
    run("Label2");
    EXPECT_EQ(readOutDifference({255, 0, 0}, "FF0000"), QString());
}

} // namespace
