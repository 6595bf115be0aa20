#include "colorpick/frmColorPick.h"

#include "raster/Gdi.h"
#include "support/ImageDifference.h"
#include "support/RecordingMessages.h"
#include "support/TestFiles.h"

#include <QAbstractButton>
#include <QDir>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

const std::string LoadState = "0 100 100 255 0 0 new 255,0,0 at 265,10 slider 265 field 255,0,0";

class frmColorPickTest : public testing::Test
{
protected:
    frmColorPickTest() { dialog.show(); }
    template <typename Widget = QWidget> Widget *control(const QString &name) { return dialog.findChild<Widget *>(name); }
    [[nodiscard]] ColorValue pixel(int x, int y) const { return GetPixel(dialog.picker().surface(), x, y); }
    [[nodiscard]] QImage image() const { return dialog.picker().surface().image().copy(); }
    // The boxes H, S, B, R, G, B; the New colour; where the markers stand; the field's top right pixel (the hue,
    // in hue mode); away from the picker face, the face, the list and the cell; the messages since the last look.
    std::string state()
    {
        QStringList shown;
        for (const char *box : {"txtH", "txtS", "txtB", "Text1", "Text2", "Text3"})
            shown << control<QLineEdit>(box)->text();
        const modColorPick &p = dialog.picker();
        const ColorParts chosen = SplitColor(dialog.selectedColor()), field = SplitColor(pixel(265, 10));
        shown << QString::asprintf("new %d,%d,%d at %d,%d slider %g field %d,%d,%d", chosen.red, chosen.green, chosen.blue,
                                   p.MarkerX, p.MarkerY, p.SliderY, field.red, field.green, field.blue);
        QString face = control<QAbstractButton>("Command3")->text() + ' ';
        for (const char *name : {"Frame2", "cmbPreset", "cmdADD", "lblADDColor"})
            face += control(name)->isVisible() ? '1' : '0';
        if (face != "&Preset 1000" || dialog.paletteMode() != 0)
            shown << face + QStringLiteral(" list %1 cell %2").arg(dialog.paletteMode()).arg(p.SelectedCell);
        if (!messages.shown.isEmpty())
            shown << QStringLiteral("reported %1").arg(std::exchange(messages.shown, {}).size());
        return shown.join(' ').toStdString();
    }
    // Runs steps such as "press 10,20; move 30,40; release; optS; txtH=36; next": mouse events on the picture as the
    // window system delivers them, a click on a named control, keys typed into a cleared box, the next preset list.
    void run(const QString &steps)
    {
        for (const QString &step : steps.split(QStringLiteral("; "), Qt::SkipEmptyParts)) {
            const QString verb = step.section(' ', 0, 0), box = step.section('=', 0, 0);
            const QPointF at(step.section(' ', 1).section(',', 0, 0).toInt(), step.section(',', 1).toInt());
            // Press, double click and move hold the left button; a move changes no button, a release lets it go.
            const int kind = QStringList{"press", "dblclick", "move", "release"}.indexOf(verb);
            const QEvent::Type types[] = {QEvent::MouseButtonPress, QEvent::MouseButtonDblClick, QEvent::MouseMove, QEvent::MouseButtonRelease};
            QMouseEvent event(types[std::max(kind, 0)], at, control("surface")->mapToGlobal(at), kind == 2 ? Qt::NoButton : Qt::LeftButton,
                              kind == 3 ? Qt::NoButton : Qt::LeftButton, {});
            if (kind >= 0)
                QApplication::sendEvent(control("surface"), &event);
            else if (step.contains('='))
                control<QLineEdit>(box)->clear(), QTest::keyClicks(control(box), step.section('=', 1));
            else if (verb == "click")
                run("press " + step.section(' ', 1) + "; release");
            else
                verb == "next" ? QTest::keyClick(control("cmbPreset"), Qt::Key_Down) : QTest::mouseClick(control(step), Qt::LeftButton);
        }
    }
    // One after the other, each row from the state the previous one left.
    void expectStates(std::initializer_list<std::tuple<const char *, const char *, std::string>> rows)
    {
        for (const auto &[name, steps, expected] : rows) {
            run(steps);
            EXPECT_EQ(state(), expected) << name;
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
    RecordingMessages messages;
    frmColorPick dialog{dir.filePath(CustomColorsFileName), messages};
};

TEST_F(frmColorPickTest, OkGivesNewCancelRestoresTheShowingTitleBarCloseReloads)
{
    const QImage loadImage = image();
    dialog.LoadColorDialog(65280);
    EXPECT_EQ(pickEndedWith("Command1"), std::optional<ColorValue>(65280));
    run("optS; click 61,214");
    const std::string shown = state();
    const QImage shownImage = image();
    EXPECT_EQ(pickEndedWith("Command2", "click 200,100; optB; Command3"), std::nullopt);
    EXPECT_EQ(std::pair(state(), control<QAbstractButton>("optS")->isChecked()), std::pair(shown, true));
    EXPECT_EQ(imageDifference(image(), shownImage), QString());
    // OK keeps what the showing changed; a close from the title bar gives nothing and starts the next showing afresh.
    EXPECT_EQ(pickEndedWith("Command1", "click 200,100; optB; Command3"), std::optional<ColorValue>(16777215));
    EXPECT_EQ(state(), "268 100 64 255 255 255 new 255,255,255 at 200,10 slider 265 field 0,0,0 &Picker 0111 list 1 cell 1");
    EXPECT_EQ(pickEndedWith(nullptr), std::nullopt);
    EXPECT_EQ(std::pair(state(), imageDifference(image(), loadImage)), std::pair(LoadState, QString()));
}

TEST_F(frmColorPickTest, PressesAndDragsOnTheFieldAndSlider)
{
    expectStates({
        {"2 px above the slider, clamped to its top", "press 302,9; release", "360 100 100 255 0 0 new 255,0,0 at 265,10 slider 10 field 255,0,0"},
        {"right of the slider, 3 px below it, on its frame", "click 303,100; click 290,268; click 276,100", "360 100 100 255 0 0 new 255,0,0 at 265,10 slider 10 field 255,0,0"},
        {"2 px below the slider, clamped to its bottom", "press 290,267; release", LoadState},
        {"slider drag far above", "press 285,100; move 285,-500; release", "360 100 100 255 0 0 new 255,0,0 at 265,10 slider 10 field 255,0,0"},
        {"slider drag far below", "press 285,100; move 285,900; release", LoadState},
        {"field drag past the bottom left", "press 100,100; move -50,400; release", "0 0 0 0 0 0 new 0,0,0 at 10,265 slider 265 field 255,0,0"},
        {"field drag past the top right", "press 100,100; move 500,-50; release", LoadState},
        {"bottom right field corner, then right of the field", "click 265,265; click 266,100", "0 100 0 0 0 0 new 0,0,0 at 265,265 slider 265 field 255,0,0"},
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
}

TEST_F(frmColorPickTest, BoxEntry)
{
    // Typed key by key: "3", "36" and "360" are quiet, "-5" reports once, "-" alone is quiet;
    // 265 - 36 × 255 / 360 = 239.5 stays unrounded, and the field tops out at that hue.
    expectStates({
        {"hue 36", "txtH=36", "36 100 100 255 150 0 new 255,150,0 at 265,10 slider 239.5 field 255,150,0"},
        {"hue 360", "txtH=360", "360 100 100 255 0 0 new 255,0,0 at 265,10 slider 10 field 255,0,0"},
        {"hue -5", "txtH=-5", "0 100 100 255 0 0 new 255,0,0 at 265,10 slider 265 field 255,0,0 reported 1"},
        {"hue 12.5", "txtH=12.5", "12.5 100 100 255 54 0 new 255,54,0 at 265,10 slider 256.146 field 255,54,0 reported 1"},
        {"brightness 50", "txtH=0; txtB=50", "0 100 50 127 0 0 new 127,0,0 at 265,138 slider 265 field 255,0,0"},
        // Out-of-range values keep the markers on their areas and every colour valid.
        {"saturation 500, brightness -300", "txtS=500; txtB=-300", "0 500 -300 0 0 0 new 0,0,0 at 265,265 slider 265 field 255,0,0"},
        {"hue 99999, reported at 999, 9999 and 99999", "txtH=99999", "99999 500 -300 0 0 0 new 0,0,0 at 265,265 slider 10 field 255,0,0 reported 3"},
        {"hue slider", "click 285,100", "232 500 -300 0 0 0 new 0,0,0 at 265,265 slider 100 field 0,30,255"},
    });
    // Leaving the box with a bad value takes the focus back; a deactivation does not report.
    control<QLineEdit>("txtH")->setText(QStringLiteral("400"));
    QFocusEvent leave(QEvent::FocusOut, Qt::TabFocusReason), deactivate(QEvent::FocusOut, Qt::ActiveWindowFocusReason);
    QApplication::sendEvent(control("txtH"), &leave);
    QApplication::sendEvent(control("txtH"), &deactivate);
    EXPECT_EQ(std::pair(messages.shown, dialog.focusWidget()), std::pair(QStringList{"Enter an Integer Value Between 0 and 360"}, control("txtH")));
}

TEST_F(frmColorPickTest, PresetListsAddAndTheReadOut)
{
    const QString path = dir.filePath(CustomColorsFileName);
    // 33489151 is magenta with a top byte, which no colour has: cell and choice keep the low 24 bits.
    ASSERT_TRUE(writeFile(path, "0\r\n255\r\n33489151\r\n"));
    dialog.LoadColorDialog(16777215);
    expectStates({
        {"the custom list", "Command3", "0 100 100 255 0 0 new 255,255,255 at 265,10 slider 265 field 0,0,0 &Picker 0111 list 1 cell 1"},
        {"cell 2", "click 35,17", "0 100 100 255 0 0 new 255,0,255 at 265,10 slider 265 field 0,0,0 &Picker 0111 list 1 cell 2"},
        {"border lines belong to no cell", "click 10,17; click 25,17", "0 100 100 255 0 0 new 255,0,255 at 265,10 slider 265 field 0,0,0 &Picker 0111 list 1 cell 2"},
        // " << Add    " puts the colour chosen when the face opened in the cell and writes every cell.
        {"Add in cell 17", "click 17,35; cmdADD", "0 100 100 255 0 0 new 255,0,255 at 265,10 slider 265 field 0,0,0 &Picker 0111 list 1 cell 17"},
    });
    EXPECT_EQ(std::pair(dialog.selectedColor(), pixel(17, 35)), std::pair(RGB(255, 0, 255), 16777215));
    const QByteArray magenta = " 33489151 \r\n";
    EXPECT_EQ(readFile(path), " 0 \r\n 255 \r\n" + magenta.repeated(15) + " 16777215 \r\n" + magenta.repeated(207));
    // A directory in the file's place cannot be replaced: a message, and the cell keeps its stored colour.
    ASSERT_TRUE(QFile::remove(path) && QDir(dir.path()).mkdir(CustomColorsFileName));
    run("click 35,17; cmdADD");
    EXPECT_EQ(readOutDifference({255, 0, 255}, "FF00FF"), QString());
    EXPECT_TRUE(messages.shown.size() == 1 && std::exchange(messages.shown, {})[0].startsWith("The custom colors could not be saved to " + QDir::toNativeSeparators(path) + ": "));
    EXPECT_EQ(pixel(35, 17), RGB(255, 0, 255));
    // The browsers' lists leave the grid empty, the safe palette draws it; none takes an added colour.
    expectStates({
        {"Internet Explorer", "next", "0 100 100 255 0 0 new 255,0,255 at 265,10 slider 265 field 240,240,240 &Picker 0100 list 2 cell 2"},
        {"past Netscape Navigator to the safe palette, cell 37", "next; next; click 89,53", "0 100 100 255 0 0 new 51,0,0 at 265,10 slider 265 field 0,0,0 &Picker 0100 list 4 cell 37"},
    });
    EXPECT_EQ(readOutDifference({51, 0, 0}, "330000"), QString());
    run("click 215,251"); // cell 220, a black filler
    EXPECT_EQ(readOutDifference({0, 0, 0}, ""), QString());
    // A click on the Old swatch prints its colour over the previous read-out.
    run("Label2");
    EXPECT_EQ(readOutDifference({255, 0, 0}, "FF0000"), QString());
}

} // namespace
