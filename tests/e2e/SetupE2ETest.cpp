#include "ProgramRig.h"

#include "support/SettingsXml.h"
#include "support/TestFiles.h"

#include <gtest/gtest.h>

namespace {

// Button centres in the dialog's client area, from their twips positions (Frame1 sits 120 twips up).
const QPoint Preview(180, 376), Apply(404, 380), Cancel(468, 380), BackgroundTab(300, 204), Select(264, 284),
    Swatch(192, 284), PickerOk(397, 189), PickerCancel(397, 253);

// The real program's setup dialog, open on the given settings.
struct SetupRig
{
    explicit SetupRig(const SettingsXml &settings)
    {
        writeFile(rig.path("settings.xml"), written = settings.text());
        process = &rig.start({"/c"});
        ProgramRig::waitFor("the setup dialog", [&] { return (dialog = ProgramRig::window("Screen Saver")).has_value(); });
    }
    void click(QPoint at) const { ProgramRig::click(dialog.value_or(QRect()).topLeft() + at); }
    bool cancelEnds() const
    {
        click(Cancel);
        return ProgramRig::endedCleanly(*process);
    }

    ProgramRig rig;
    QByteArray written;
    QProcess *process = nullptr;
    std::optional<QRect> dialog;
};

} // namespace

TEST(SetupE2E, SecondCopyEndsAtOnceWhileFirstRuns)
{
    SetupRig setup(SettingsXml{});
    ASSERT_TRUE(setup.dialog);
    // A malformed file would be kept as settings.xml.bak by a copy that read it: the second must not.
    writeFile(setup.rig.path("settings.xml"), "<settings><timer>");
    EXPECT_TRUE(ProgramRig::endedCleanly(setup.rig.start({"/s"})));
    EXPECT_EQ(setup.process->state(), QProcess::Running);
    EXPECT_EQ(readFile(setup.rig.path("settings.xml")), "<settings><timer>");
    EXPECT_FALSE(QFile::exists(setup.rig.path("settings.xml.bak")));
}

TEST(SetupE2E, ApplyThroughTheProgramKeepsForeignContent)
{
    SetupRig setup({.timer = "4", .imageSize = "small", .extra = "<!-- e2e --><extra>kept</extra>"});
    ASSERT_TRUE(setup.dialog);
    const QString file = setup.rig.path("settings.xml");
    ASSERT_TRUE(ProgramRig::retryUntil("Apply to rewrite settings.xml", [&] { setup.click(Apply); },
                                       [&] { return readFile(file) != setup.written; }));
    const QByteArray saved = readFile(file);
    for (const char *part : {"<extra>kept</extra>", "<!-- e2e -->", "<timer>4</timer>", "<imagesize>small</imagesize>"})
        EXPECT_TRUE(saved.contains(part)) << part << " in " << saved.toStdString();
    EXPECT_TRUE(setup.cancelEnds());
}

TEST(SetupE2E, PreviewRunsTheShowOverTheModalDialogAndTheMouseEndsIt)
{
    ProgramRig pictures;
    const QString red = writePicture(pictures.path("red.png"), qRgb(255, 0, 0));
    SetupRig setup({.background = 128 * 256, .transition = 0, .imageSize = "FullScreen", .files = {red}});
    ASSERT_TRUE(setup.dialog);
    setup.click(Preview);
    ASSERT_TRUE(ProgramRig::waitFor("the preview's picture", [] { return ProgramRig::screenshot().pixel(512, 384) == qRgb(255, 0, 0); }));
    int moves = 0;
    EXPECT_TRUE(ProgramRig::endsOn(*setup.process, "the mouse to end the preview",
                                   [&] { ProgramRig::xdotool({"mousemove", ++moves % 2 ? "100" : "160", "160"}); }));
}

TEST(SetupE2E, PickerOkChangesTheSwatchAndCancelDoesNot)
{
    SetupRig setup({.timer = "4"});
    ASSERT_TRUE(setup.dialog);
    const auto swatch = [&] { return ProgramRig::screenshot().pixel(setup.dialog->topLeft() + Swatch); };
    std::optional<QRect> picker;
    // Picks a point of the field and leaves by one of the buttons.
    const auto pick = [&](QPoint at, QPoint button) {
        setup.click(BackgroundTab);
        setup.click(Select);
        if (!ProgramRig::waitFor("the colour picker", [&] { return (picker = ProgramRig::window("Color Box")).has_value(); }))
            return false;
        ProgramRig::click(picker->topLeft() + at);
        ProgramRig::click(picker->topLeft() + button);
        return ProgramRig::waitFor("the picker to close", [] { return ProgramRig::windowGone("Color Box"); });
    };
    // The middle of the red field: half saturation, half brightness.
    ASSERT_TRUE(pick(QPoint(138, 138), PickerOk));
    QRgb picked = 0;
    EXPECT_TRUE(ProgramRig::waitFor("the picked swatch", [&] { return near(picked = swatch(), qRgb(128, 64, 64), 6); }))
        << std::hex << picked;
    ASSERT_TRUE(pick(QPoint(30, 240), PickerCancel));
    EXPECT_EQ(swatch(), picked);
    EXPECT_TRUE(setup.cancelEnds());
}
