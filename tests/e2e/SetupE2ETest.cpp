#include "ProgramRig.h"

namespace {

// Button centres in the dialog's client area, from their twips positions (Frame1 sits 120 twips up).
const QPoint Preview(180, 376), Apply(404, 380), Cancel(468, 380), BackgroundTab(300, 204), Select(264, 284),
    Swatch(192, 284), PickerOk(397, 189), PickerCancel(397, 253);

// The real program's setup dialog, open on the given settings.
struct SetupRig
{
    explicit SetupRig(const SettingsXml &settings)
    {
        writeFile(rig.path("settings.xml"), settings.text());
        process = &rig.start({"/c"});
        dialog = waitForWindow("Screen Saver");
    }
    void click(QPoint at) const { ::click(dialog.value_or(QPoint()) + at); }

    ProgramRig rig;
    QProcess *process = nullptr;
    std::optional<QPoint> dialog;
};

} // namespace

TEST(SetupE2E, SecondCopyEndsAtOnceAndApplyThroughTheFirstKeepsForeignContent)
{
    SetupRig setup({.timer = "4", .imageSize = "small", .extra = "<!-- e2e --><extra>kept</extra>"});
    ASSERT_TRUE(setup.dialog);
    // A copy that read this malformed file would keep it as settings.xml.bak: the second must end before reading it.
    const QString file = setup.rig.path("settings.xml");
    writeFile(file, "<settings><timer>");
    EXPECT_TRUE(endsCleanly(setup.rig.start({"/s"})));
    EXPECT_FALSE(QFile::exists(file + ".bak"));
    ASSERT_TRUE(waitFor("Apply to rewrite settings.xml", [&] { return readFile(file) != "<settings><timer>"; }, [&] { setup.click(Apply); }));
    const QByteArray saved = readFile(file);
    for (const char *part : {"<extra>kept</extra>", "<!-- e2e -->", "<timer>4</timer>", "<imagesize>small</imagesize>"})
        EXPECT_TRUE(saved.contains(part)) << part << " in " << saved.toStdString();
    EXPECT_TRUE(endsCleanly(*setup.process, [&] { setup.click(Cancel); }));
}

TEST(SetupE2E, PreviewRunsTheShowOverTheModalDialogAndTheMouseEndsIt)
{
    QTemporaryDir pictures; // a second rig would keep a second screenshot over the first
    SetupRig setup({.background = 128 * 256, .transition = 0, .imageSize = "FullScreen", .files = {writePicture(pictures.filePath("red.png"), Red)}});
    ASSERT_TRUE(setup.dialog);
    setup.click(Preview);
    ASSERT_TRUE(waitFor("the preview's picture", [] { return screenshot().pixel(512, 384) == Red; }));
    EXPECT_TRUE(endsCleanly(*setup.process, [] { xdotool({"mousemove_relative", "40", "0"}); }));
}

TEST(SetupE2E, PickerOkChangesTheSwatchAndCancelDoesNot)
{
    SetupRig setup({.timer = "4"});
    ASSERT_TRUE(setup.dialog);
    const auto swatch = [&] { return screenshot().pixel(*setup.dialog + Swatch); };
    // Picks a point of the field and leaves by one of the buttons.
    const auto pick = [&](QPoint at, QPoint button) {
        setup.click(BackgroundTab);
        setup.click(Select);
        const std::optional<QPoint> picker = waitForWindow("Color Box");
        if (!picker)
            return false;
        click(*picker + at);
        click(*picker + button);
        return waitFor("the picker to close", [] { return searchWindow("Color Box").exitCode == 1; });
    };
    // The middle of the red field: half saturation, half brightness.
    ASSERT_TRUE(pick(QPoint(138, 138), PickerOk));
    QRgb picked = 0;
    EXPECT_TRUE(waitFor("the picked swatch", [&] { return near(picked = swatch(), qRgb(128, 64, 64), 6); })) << std::hex << picked;
    ASSERT_TRUE(pick(QPoint(30, 240), PickerCancel));
    EXPECT_EQ(swatch(), picked);
    EXPECT_TRUE(endsCleanly(*setup.process, [&] { setup.click(Cancel); }));
}
