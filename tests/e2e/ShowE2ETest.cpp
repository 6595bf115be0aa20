#include "ProgramRig.h"

#include <QImage>
#include <gtest/gtest.h>

namespace {

const QRgb Green = qRgb(0, 128, 0), Red = qRgb(255, 0, 0), Blue = qRgb(0, 0, 255);
const int GreenValue = 128 * 256;

bool uniform(const QImage &shot, QRgb colour)
{
    for (int y = 0; y < shot.height(); y += 16)
        for (int x = 0; x < shot.width(); x += 16)
            if (!near(shot.pixel(x, y), colour))
                return false;
    return !shot.isNull();
}

} // namespace

TEST(ShowE2E, BackgroundFirstThenPictureWherePictureAreaAndFitPutIt)
{
    struct Size
    {
        const char *word;
        QRect area; // the picture area on 1024 x 768
    };
    for (const Size &size : {Size{"large", {64, 64, 853, 640}}, Size{"medium", {114, 114, 683, 512}},
                             Size{"small", {171, 171, 512, 384}}, Size{"FullScreen", {0, 0, 1024, 768}}}) {
        ProgramRig rig;
        // 2:1, wider than every area: full width, centred vertically.
        rig.writeSettings("3", GreenValue, 0, size.word, {rig.picture("wide.png", Red, QSize(400, 200))});
        QProcess &process = rig.start({"/s"});
        ASSERT_TRUE(ProgramRig::waitUntil([] { return uniform(ProgramRig::screenshot(), Green); }, 2500)) << size.word;
        QImage shot;
        ASSERT_TRUE(ProgramRig::waitUntil([&] { shot = ProgramRig::screenshot(); return shot.pixel(size.area.center()) == Red; }, 6000))
            << size.word;
        ProgramRig::keep(shot, QStringLiteral("show-%1").arg(size.word));
        const int pictureHeight = size.area.width() / 2;
        const int top = size.area.top() + (size.area.height() - pictureHeight) / 2;
        const int left = size.area.left();
        const int right = size.area.left() + size.area.width() - 1;
        EXPECT_EQ(shot.pixel(left, top + 2), Red) << size.word;
        EXPECT_EQ(shot.pixel(right, top + 2), Red) << size.word;
        EXPECT_EQ(shot.pixel(left + 5, top + pictureHeight - 2), Red) << size.word;
        EXPECT_TRUE(near(shot.pixel(left + 5, top - 3), Green)) << size.word;
        EXPECT_TRUE(near(shot.pixel(left + 5, top + pictureHeight + 2), Green)) << size.word;
        if (left > 2)
            EXPECT_TRUE(near(shot.pixel(left - 3, top + 10), Green)) << size.word;
        ProgramRig::xdotool({"key", "shift"});
        EXPECT_TRUE(ProgramRig::endsCleanly(process, 1000)) << size.word;
    }
}

TEST(ShowE2E, KeyOrMouseMovementEndsTheShowAtOnce)
{
    for (const bool byMouse : {false, true}) {
        ProgramRig rig;
        rig.writeSettings("1", GreenValue, 1, "medium", {rig.picture("a.png", Red, QSize(64, 48))});
        ProgramRig::xdotool({"mousemove", "5", "5"});
        QProcess &process = rig.start({"/s"});
        ASSERT_TRUE(ProgramRig::waitUntil([] { return uniform(ProgramRig::screenshot(), Green) || near(ProgramRig::screenshot().pixel(5, 5), Green); }, 5000));
        if (byMouse) {
            ProgramRig::xdotool({"mousemove", "7", "5"});
            ProgramRig::xdotool({"mousemove", "40", "40"});
        } else {
            ProgramRig::xdotool({"key", "a"});
        }
        EXPECT_TRUE(ProgramRig::endsCleanly(process, 1000)) << (byMouse ? "mouse" : "key");
    }
}

TEST(ShowE2E, TransitionShowsBothPicturesPartlyThenTheNewOne)
{
    ProgramRig rig;
    rig.writeSettings("1.5", GreenValue, 1, "FullScreen",
                      {rig.picture("red.png", Red, QSize(400, 300)), rig.picture("blue.png", Blue, QSize(400, 300))});
    QProcess &process = rig.start({"/s"});
    bool mixed = false;
    bool sawBlue = false;
    ProgramRig::waitUntil([&] {
        const QImage shot = ProgramRig::screenshot();
        int red = 0, blue = 0;
        for (int y = 4; y < shot.height(); y += 24)
            for (int x = 4; x < shot.width(); x += 24) {
                red += near(shot.pixel(x, y), Red, 40);
                blue += near(shot.pixel(x, y), Blue, 40);
            }
        if (red > 20 && blue > 20 && !mixed) {
            mixed = true;
            ProgramRig::keep(shot, QStringLiteral("transition-mixed"));
        }
        sawBlue = sawBlue || (blue > 0 && red == 0);
        return mixed && sawBlue;
    }, 20000);
    EXPECT_TRUE(mixed);
    EXPECT_TRUE(sawBlue);
    ProgramRig::xdotool({"key", "space"});
    EXPECT_TRUE(ProgramRig::endsCleanly(process, 1000));
}

TEST(ShowE2E, MissingAndCorruptPicturesAreSkipped)
{
    ProgramRig rig;
    rig.writeFile("corrupt.jpg", "\xFF\xD8\xFF not a picture");
    rig.writeSettings("1", GreenValue, 0, "FullScreen",
                      {rig.picture("red.png", Red, QSize(40, 30)), rig.path("missing.png"), rig.path("corrupt.jpg"),
                       rig.picture("blue.png", Blue, QSize(40, 30))});
    QProcess &process = rig.start({"/s"});
    EXPECT_TRUE(ProgramRig::waitUntil([] { return ProgramRig::screenshot().pixel(512, 384) == Red; }, 5000));
    EXPECT_TRUE(ProgramRig::waitUntil([] { return ProgramRig::screenshot().pixel(512, 384) == Blue; }, 7000));
    ProgramRig::xdotool({"key", "space"});
    EXPECT_TRUE(ProgramRig::endsCleanly(process, 1000));
}

TEST(ShowE2E, MalformedSettingsStillShowsOnPresets)
{
    ProgramRig rig;
    rig.writeFile("settings.xml", "<settings><timer>1</timer><files><file>x</file>");
    QProcess &process = rig.start({"/s"});
    // The presets' black background looks like the bare X screen: wait for the window itself.
    ASSERT_TRUE(ProgramRig::waitUntil([] { return ProgramRig::windowGeometry("slideshow-saver") == QRect(0, 0, 1024, 768); }, 10000));
    EXPECT_TRUE(uniform(ProgramRig::screenshot(), qRgb(0, 0, 0)));
    ProgramRig::xdotool({"key", "space"});
    EXPECT_TRUE(ProgramRig::endsCleanly(process, 1000));
    EXPECT_EQ(rig.readFile("settings.xml"), "<settings><timer>1</timer><files><file>x</file>");
}

TEST(ShowE2E, HighDpiScreenShowsPictureAtDevicePixels)
{
    // A one-pixel checkerboard as large as the screen: any enlargement from a lower
    // resolution would blur or double its pixels.
    ProgramRig rig;
    QImage board(1024, 768, QImage::Format_RGB32);
    for (int y = 0; y < board.height(); ++y)
        for (int x = 0; x < board.width(); ++x)
            board.setPixel(x, y, (x + y) % 2 ? qRgb(255, 255, 255) : qRgb(0, 0, 0));
    const QString path = rig.path("board.png");
    ASSERT_TRUE(board.save(path));
    rig.writeSettings("1", GreenValue, 0, "FullScreen", {path});
    QProcess &process = rig.start({"/s"}, {"QT_SCALE_FACTOR=2"});
    ASSERT_TRUE(ProgramRig::waitUntil([] { return uniform(ProgramRig::screenshot(), Green); }, 5000));
    QImage shot;
    ASSERT_TRUE(ProgramRig::waitUntil([&] { shot = ProgramRig::screenshot(); return !near(shot.pixel(101, 100), Green); }, 5000));
    ProgramRig::keep(shot, QStringLiteral("show-high-dpi"));
    int wrong = 0;
    for (int y = 0; y < 768; y += 7)
        for (int x = 0; x < 1024; x += 5)
            wrong += shot.pixel(x, y) != board.pixel(x, y);
    EXPECT_EQ(wrong, 0);
    ProgramRig::xdotool({"key", "space"});
    EXPECT_TRUE(ProgramRig::endsCleanly(process, 1000));
}
