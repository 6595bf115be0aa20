#include "ProgramRig.h"

#include "support/SettingsXml.h"
#include "support/TestFiles.h"

#include <gtest/gtest.h>

namespace {

// Button centres in the dialog's client area, from their twips positions (Frame1 sits 120 twips up).
const QPoint Preview(180, 376), Apply(404, 380), Cancel(468, 380), BackgroundTab(300, 204), Select(264, 284),
    Swatch(192, 284), PickerOk(397, 189), PickerCancel(397, 253);

std::optional<QRect> openDialog(ProgramRig &rig, QProcess *&process)
{
    process = &rig.start({"/c"});
    std::optional<QRect> dialog;
    ProgramRig::waitFor("the setup dialog", [&] { return (dialog = ProgramRig::window("Screen Saver")).has_value(); });
    return dialog;
}

} // namespace

TEST(SetupE2E, ApplyThroughTheProgramKeepsForeignContent)
{
    ProgramRig rig;
    const QByteArray written =
        SettingsXml{.timer = "4", .imageSize = "small", .extra = "<!-- e2e --><extra>kept</extra>"}.text();
    writeFile(rig.path("settings.xml"), written);
    QProcess *process = nullptr;
    const std::optional<QRect> dialog = openDialog(rig, process);
    ASSERT_TRUE(dialog);
    ASSERT_TRUE(ProgramRig::retryUntil("Apply rewrites settings.xml", [&] { ProgramRig::click(dialog->topLeft() + Apply); },
                                       [&] { return readFile(rig.path("settings.xml")) != written; }));
    const QByteArray saved = readFile(rig.path("settings.xml"));
    for (const char *part : {"<extra>kept</extra>", "<!-- e2e -->", "<timer>4</timer>", "<imagesize>small</imagesize>"})
        EXPECT_TRUE(saved.contains(part)) << part << " in " << saved.toStdString();
    ProgramRig::click(dialog->topLeft() + Cancel);
    EXPECT_TRUE(ProgramRig::endedCleanly(*process));
}

TEST(SetupE2E, PreviewRunsTheShowOverTheModalDialogAndTheMouseEndsIt)
{
    ProgramRig rig;
    const QString red = writePicture(rig.path("red.png"), qRgb(255, 0, 0));
    writeFile(rig.path("settings.xml"), SettingsXml{.background = 128 * 256, .transition = 0, .imageSize = "FullScreen", .files = {red}}.text());
    QProcess *process = nullptr;
    const std::optional<QRect> dialog = openDialog(rig, process);
    ASSERT_TRUE(dialog);
    ProgramRig::click(dialog->topLeft() + Preview);
    ASSERT_TRUE(ProgramRig::waitFor("the preview's picture", [] { return ProgramRig::screenshot().pixel(512, 384) == qRgb(255, 0, 0); }));
    int moves = 0;
    EXPECT_TRUE(ProgramRig::retryUntil("the mouse ends the preview",
                                       [&] { ProgramRig::xdotool({"mousemove", ++moves % 2 ? "100" : "160", "160"}); },
                                       [&] { return ProgramRig::hasEnded(*process); }));
    EXPECT_TRUE(ProgramRig::endedCleanly(*process));
}

TEST(SetupE2E, PickerOkChangesTheSwatchAndCancelDoesNot)
{
    ProgramRig rig;
    writeFile(rig.path("settings.xml"), SettingsXml{.timer = "4"}.text());
    QProcess *process = nullptr;
    const std::optional<QRect> dialog = openDialog(rig, process);
    ASSERT_TRUE(dialog);
    const auto swatch = [&] { return ProgramRig::screenshot().pixel(dialog->topLeft() + Swatch); };
    std::optional<QRect> picker;
    const auto openPicker = [&] {
        ProgramRig::click(dialog->topLeft() + BackgroundTab);
        ProgramRig::click(dialog->topLeft() + Select);
        return ProgramRig::waitFor("the colour picker", [&] { return (picker = ProgramRig::window("Color Box")).has_value(); });
    };
    ASSERT_TRUE(openPicker());
    ProgramRig::keep(ProgramRig::screenshot(), QStringLiteral("colorpick"));
    // The middle of the red field: half saturation, half brightness.
    ProgramRig::click(picker->topLeft() + QPoint(138, 138));
    ProgramRig::click(picker->topLeft() + PickerOk);
    ASSERT_TRUE(ProgramRig::waitFor("the picker to close", [] { return ProgramRig::windowGone("Color Box"); }));
    QRgb picked = 0;
    EXPECT_TRUE(ProgramRig::waitFor("the picked swatch", [&] { return near(picked = swatch(), qRgb(128, 64, 64), 6); }))
        << std::hex << picked;

    ASSERT_TRUE(openPicker());
    ProgramRig::click(picker->topLeft() + QPoint(30, 240));
    ProgramRig::click(picker->topLeft() + PickerCancel);
    ASSERT_TRUE(ProgramRig::waitFor("the picker to close", [] { return ProgramRig::windowGone("Color Box"); }));
    EXPECT_EQ(swatch(), picked);
    ProgramRig::click(dialog->topLeft() + Cancel);
    EXPECT_TRUE(ProgramRig::endedCleanly(*process));
}
