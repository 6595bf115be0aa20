#include "ProgramRig.h"

// Button centres in the dialog's client area, from their twips positions (Frame1 sits 120 twips up).
static const QPoint Preview(180, 376), BackgroundTab(300, 204), Select(264, 284), Swatch(192, 284), PickerOk(397, 189),
    PickerCancel(397, 253);

// One run of the real program's setup dialog, in the order a user could go: a second copy ends at once, the
// picker's OK changes the swatch and its Cancel does not, Apply keeps the foreign content, and the preview runs
// over the modal dialog until the mouse ends it, and the program with it.
TEST(SetupE2E, SecondCopyPickerApplyAndPreviewThroughTheDialog)
{
    ProgramRig rig;
    const QString file = rig.path("settings.xml");
    writeFile(file, SettingsXml{.timer = "4", .background = "32768", .transition = "0", .imageSize = "small",
                                .files = {writePicture(rig.path("red.png"), Red)}, .extra = "<!-- e2e --><extra>kept</extra>"}.text());
    QProcess &setup = rig.start({"/c"});
    const std::optional<QPoint> dialog = waitForWindow("Screen Saver");
    ASSERT_TRUE(dialog);
    // A copy that read this malformed file would keep it as settings.xml.bak: the second must end before reading it.
    writeFile(file, "<settings><timer>");
    EXPECT_TRUE(endsCleanly(rig.start({"/s"})));
    EXPECT_FALSE(QFile::exists(file + ".bak"));

    // Picks a point of the field and leaves by one of the buttons.
    const auto pick = [&](QPoint at, QPoint button) {
        click(*dialog + BackgroundTab);
        click(*dialog + Select);
        const std::optional<QPoint> picker = waitForWindow("Color Box");
        if (!picker)
            return false;
        click(*picker + at);
        click(*picker + button);
        return waitFor("the picker to close", [] { return searchWindow("Color Box").exitCode == 1; });
    };
    const auto swatch = [&] { return screenshot().pixel(*dialog + Swatch); };
    // The middle of the red field: half saturation, half brightness.
    ASSERT_TRUE(pick(QPoint(138, 138), PickerOk));
    QRgb picked = 0;
    EXPECT_TRUE(waitFor("the picked swatch", [&] { return near(picked = swatch(), qRgb(128, 64, 64), 6); })) << std::hex << picked;
    ASSERT_TRUE(pick(QPoint(30, 240), PickerCancel));
    EXPECT_EQ(swatch(), picked);

    ASSERT_TRUE(waitFor("Apply to rewrite settings.xml", [&] { return readFile(file) != "<settings><timer>"; }, [&] { click(*dialog + Apply); }));
    const QByteArray saved = readFile(file);
    for (const char *part : {"<extra>kept</extra>", "<!-- e2e -->", "<timer>4</timer>", "<imagesize>small</imagesize>"})
        EXPECT_TRUE(saved.contains(part)) << part << " in " << saved.toStdString();

    // The small area of a 4:3 picture covers the middle of the screen.
    click(*dialog + Preview);
    ASSERT_TRUE(waitFor("the preview's picture", [] { return screenshot().pixel(512, 384) == Red; }));
    EXPECT_TRUE(endsCleanly(setup, [] { xdotool({"mousemove_relative", "40", "0"}); }));
}
