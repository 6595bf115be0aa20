#include "ProgramRig.h"

#include "support/SettingsXml.h"
#include "support/TestFiles.h"

#include <gtest/gtest.h>

namespace {

const QRgb Green = qRgb(0, 128, 0), Red = qRgb(255, 0, 0);
const int GreenValue = 128 * 256;

} // namespace

TEST(ShowE2E, FirstPictureFillsTheMediumAreaThenAKeyOrTheMouseEndsTheShow)
{
    for (const bool byMouse : {false, true}) {
        ProgramRig rig;
        // 2:1, wider than the 683 x 512 area at (114, 114): full width, centred vertically.
        const QString wide = writePicture(rig.path("wide.png"), Red, QSize(400, 200));
        writeFile(rig.path("settings.xml"), SettingsXml{.background = GreenValue, .transition = 0, .files = {wide}}.text());
        ProgramRig::xdotool({"mousemove", "5", "5"});
        QProcess &process = rig.start({"/s"});
        const QRect picture(114, 199, 683, 341);
        QImage shot;
        ASSERT_TRUE(ProgramRig::waitFor("the first picture", [&] {
            shot = ProgramRig::screenshot();
            return !shot.isNull() && shot.pixel(picture.center()) == Red && near(shot.pixel(5, 5), Green);
        }));
        ProgramRig::keep(shot, QStringLiteral("show-medium"));
        EXPECT_EQ(shot.pixel(picture.left(), picture.top() + 2), Red);
        EXPECT_EQ(shot.pixel(picture.right(), picture.top() + 2), Red);
        EXPECT_EQ(shot.pixel(picture.left() + 5, picture.bottom() - 2), Red);
        EXPECT_TRUE(near(shot.pixel(picture.left() + 5, picture.top() - 3), Green));
        EXPECT_TRUE(near(shot.pixel(picture.left() + 5, picture.bottom() + 3), Green));
        EXPECT_TRUE(near(shot.pixel(picture.left() - 3, picture.top() + 10), Green));
        int moves = 0;
        EXPECT_TRUE(ProgramRig::retryUntil(byMouse ? "the mouse ends the show" : "a key ends the show", [&] {
            if (byMouse)
                ProgramRig::xdotool({"mousemove", ++moves % 2 ? "40" : "7", "40"});
            else
                ProgramRig::xdotool({"key", "a"});
        }, [&] { return ProgramRig::hasEnded(process); }));
        EXPECT_TRUE(ProgramRig::endedCleanly(process)) << (byMouse ? "mouse" : "key");
    }
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
    ASSERT_TRUE(board.save(rig.path("board.png")));
    writeFile(rig.path("settings.xml"),
              SettingsXml{.background = GreenValue, .transition = 0, .imageSize = "FullScreen", .files = {rig.path("board.png")}}.text());
    QProcess &process = rig.start({"/s"}, {"QT_SCALE_FACTOR=2"});
    QImage shot;
    ASSERT_TRUE(ProgramRig::waitFor("the board on the whole screen", [&] {
        shot = ProgramRig::screenshot();
        return !shot.isNull() && shot.pixel(0, 0) == board.pixel(0, 0) && shot.pixel(1023, 767) == board.pixel(1023, 767)
            && shot.pixel(101, 100) == board.pixel(101, 100);
    }));
    ProgramRig::keep(shot, QStringLiteral("show-high-dpi"));
    int wrong = 0;
    for (int y = 0; y < 768; y += 7)
        for (int x = 0; x < 1024; x += 5)
            wrong += shot.pixel(x, y) != board.pixel(x, y);
    EXPECT_EQ(wrong, 0);
    EXPECT_TRUE(ProgramRig::retryUntil("a key ends the show", [] { ProgramRig::xdotool({"key", "space"}); },
                                       [&] { return ProgramRig::hasEnded(process); }));
    EXPECT_TRUE(ProgramRig::endedCleanly(process));
}
