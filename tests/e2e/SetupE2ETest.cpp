#include "ProgramRig.h"

#include <gtest/gtest.h>

namespace {

// Button centres in the dialog's client area, from their twips positions (Frame1 sits 120 twips up).
const QPoint AddFile(456, 96), Preview(180, 376), Ok(340, 380), Apply(404, 380), Cancel(468, 380);

std::optional<QRect> openDialog(ProgramRig &rig, QProcess *&process)
{
    process = &rig.start({"/c"});
    std::optional<QRect> geometry;
    ProgramRig::waitUntil([&] { return (geometry = ProgramRig::windowGeometry("Screen Saver")).has_value(); }, 20000);
    return geometry;
}

void click(const QRect &dialog, QPoint at)
{
    ProgramRig::xdotool({"mousemove", QString::number(dialog.x() + at.x()), QString::number(dialog.y() + at.y())});
    ProgramRig::xdotool({"click", "1"});
}

} // namespace

TEST(SetupE2E, DialogAppearsCentredAndCancelEndsWithoutSaving)
{
    ProgramRig rig;
    rig.writeSettings("4", 0, 1, "small", {});
    const QByteArray before = rig.readFile("settings.xml");
    QProcess *process = nullptr;
    const std::optional<QRect> dialog = openDialog(rig, process);
    ASSERT_TRUE(dialog);
    EXPECT_EQ(dialog->size(), QSize(505, 404));
    EXPECT_NEAR(dialog->x(), (1024 - 505) / 2, 1);
    EXPECT_NEAR(dialog->y(), (768 - 404) / 2, 1);
    ProgramRig::keep(ProgramRig::screenshot(), QStringLiteral("setup-dialog"));
    click(*dialog, Cancel);
    EXPECT_TRUE(ProgramRig::endsCleanly(*process, 3000));
    EXPECT_EQ(rig.readFile("settings.xml"), before);
}

TEST(SetupE2E, AddFileThroughRealFileDialogThenApplyKeepsForeignContent)
{
    ProgramRig rig;
    rig.writeSettings("4", 0, 1, "small", {});
    const QString added = rig.picture("added.png", qRgb(10, 200, 30), QSize(80, 60));
    QProcess *process = nullptr;
    const std::optional<QRect> dialog = openDialog(rig, process);
    ASSERT_TRUE(dialog);
    click(*dialog, AddFile);
    // The file dialog takes the typed path in its name field, which has the focus.
    ASSERT_TRUE(ProgramRig::waitUntil([] { return ProgramRig::windowGeometry("Open").has_value(); }, 10000));
    ProgramRig::xdotool({"search", "--onlyvisible", "--name", "^Open$", "windowfocus", "--sync"});
    ProgramRig::xdotool({"type", "--delay", "20", added});
    ProgramRig::xdotool({"key", "Return"});
    ASSERT_TRUE(ProgramRig::waitUntil([] { return !ProgramRig::windowGeometry("Open"); }, 10000));
    click(*dialog, Apply);
    EXPECT_TRUE(ProgramRig::waitUntil([&] { return rig.readFile("settings.xml").contains("added.png"); }, 5000));
    const QByteArray saved = rig.readFile("settings.xml");
    EXPECT_TRUE(saved.contains("<extra>kept</extra>"));
    EXPECT_TRUE(saved.contains("<!-- e2e -->"));
    EXPECT_TRUE(saved.contains("<timer>4</timer>"));
    click(*dialog, Ok);
    EXPECT_TRUE(ProgramRig::endsCleanly(*process, 3000));
}

TEST(SetupE2E, PreviewRunsTheShowOverTheDialogAndKeyOrMouseEndsIt)
{
    for (const bool byMouse : {false, true}) {
        ProgramRig rig;
        rig.writeSettings("1", 128 * 256, 0, "FullScreen", {rig.picture("red.png", qRgb(255, 0, 0), QSize(40, 30))});
        QProcess *process = nullptr;
        const std::optional<QRect> dialog = openDialog(rig, process);
        ASSERT_TRUE(dialog);
        click(*dialog, Preview);
        EXPECT_TRUE(ProgramRig::waitUntil([] { return ProgramRig::screenshot().pixel(512, 384) == qRgb(255, 0, 0); }, 6000));
        if (byMouse) {
            ProgramRig::xdotool({"mousemove", "100", "100"});
            ProgramRig::xdotool({"mousemove", "160", "160"});
        } else {
            ProgramRig::xdotool({"key", "space"});
        }
        EXPECT_TRUE(ProgramRig::endsCleanly(*process, 2000)) << (byMouse ? "mouse" : "key");
    }
}

TEST(SetupE2E, MalformedSettingsOpensOnPresetsAndApplyKeepsBackup)
{
    ProgramRig rig;
    const QByteArray broken = "<settings><timer>9</timer><files>";
    rig.writeFile("settings.xml", broken);
    QProcess *process = nullptr;
    const std::optional<QRect> dialog = openDialog(rig, process);
    ASSERT_TRUE(dialog);
    click(*dialog, Apply);
    EXPECT_TRUE(ProgramRig::waitUntil([&] { return rig.readFile("settings.xml.bak") == broken; }, 5000));
    const QByteArray saved = rig.readFile("settings.xml");
    EXPECT_TRUE(saved.contains("<timer>1</timer>"));
    EXPECT_TRUE(saved.contains("<imagesize>medium</imagesize>"));
    EXPECT_TRUE(saved.contains("<transition>1</transition>"));
    click(*dialog, Cancel);
    EXPECT_TRUE(ProgramRig::endsCleanly(*process, 3000));
}

namespace {

const QPoint BackgroundTab(300, 204), Select(264, 284), Swatch(192, 284);
const QPoint PickerOk(397, 189), PickerCancel(397, 253);

std::optional<QRect> openPicker(const QRect &dialog)
{
    click(dialog, BackgroundTab);
    click(dialog, Select);
    std::optional<QRect> picker;
    ProgramRig::waitUntil([&] { return (picker = ProgramRig::windowGeometry("Color Box")).has_value(); }, 5000);
    return picker;
}

QRgb swatchColour(const QRect &dialog)
{
    return ProgramRig::screenshot().pixel(dialog.topLeft() + Swatch);
}

} // namespace

TEST(SetupE2E, PickerOkChangesTheSwatchAndCancelDoesNot)
{
    ProgramRig rig;
    rig.writeFile("usercolors.cps", QByteArray("\x00\x01garbage\r\nnot numbers", 20));
    const QByteArray customColours = rig.readFile("usercolors.cps");
    rig.writeSettings("4", 0, 1, "small", {});
    QProcess *process = nullptr;
    const std::optional<QRect> dialog = openDialog(rig, process);
    ASSERT_TRUE(dialog);
    const std::optional<QRect> picker = openPicker(*dialog);
    ASSERT_TRUE(picker);
    ProgramRig::keep(ProgramRig::screenshot(), QStringLiteral("colorpick"));
    // The middle of the red field: half saturation, half brightness.
    click(*picker, QPoint(138, 138));
    click(*picker, PickerOk);
    ASSERT_TRUE(ProgramRig::waitUntil([] { return !ProgramRig::windowGeometry("Color Box"); }, 3000));
    QRgb picked = 0;
    EXPECT_TRUE(ProgramRig::waitUntil([&] { return near(picked = swatchColour(*dialog), qRgb(128, 64, 64), 6); }, 3000))
        << std::hex << picked;

    ASSERT_TRUE(openPicker(*dialog));
    click(*picker, QPoint(30, 240));
    click(*picker, PickerCancel);
    ASSERT_TRUE(ProgramRig::waitUntil([] { return !ProgramRig::windowGeometry("Color Box"); }, 3000));
    EXPECT_EQ(swatchColour(*dialog), picked);

    click(*dialog, Apply);
    EXPECT_TRUE(ProgramRig::waitUntil([&] { return !rig.readFile("settings.xml").contains("<background>0</background>"); }, 5000));
    EXPECT_EQ(rig.readFile("usercolors.cps"), customColours);
    click(*dialog, Cancel);
    EXPECT_TRUE(ProgramRig::endsCleanly(*process, 3000));
}
