#include "ProgramRig.h"

TEST(ShowE2E, FirstPictureFillsTheMediumAreaThenAKeyOrTheMouseEndsTheShow)
{
    for (const bool byMouse : {false, true}) {
        ProgramRig rig;
        writeFile(rig.path("settings.xml"), SettingsXml{.background = 128 * 256, .transition = 0, .files = {writePicture(rig.path("wide.png"), Red, QSize(400, 200))}}.text());
        xdotool({"mousemove", "5", "5"});
        QProcess &process = rig.start({"/s"});
        // 2:1, wider than the 683 x 512 area at (114, 114): full width, centred vertically.
        EXPECT_TRUE(waitFor("the first picture", [] {
            const QImage shot = screenshot();
            return showsPicture(shot, QRect(114, 199, 683, 341)) && near(shot.pixel(111, 384), Green) && near(shot.pixel(5, 5), Green);
        }));
        EXPECT_TRUE(endsCleanly(process, [&] { xdotool(byMouse ? QStringList{"mousemove_relative", "40", "0"} : QStringList{"key", "a"}); }))
            << (byMouse ? "by the mouse" : "by a key");
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
    writeFile(rig.path("settings.xml"), SettingsXml{.transition = 0, .imageSize = "FullScreen", .files = {rig.path("board.png")}}.text());
    QProcess &process = rig.start({"/s"}, {"QT_SCALE_FACTOR=2"});
    int wrong = -1;
    EXPECT_TRUE(waitFor("the board at device pixels", [&] {
        const QImage shot = screenshot();
        wrong = shot.isNull() ? -1 : 0;
        for (int y = 0; y < 768 && !shot.isNull(); y += 7)
            for (int x = 0; x < 1024; x += 5)
                wrong += shot.pixel(x, y) != board.pixel(x, y);
        return wrong == 0;
    })) << wrong << " pixels differ";
    EXPECT_TRUE(endsCleanly(process, [] { xdotool({"key", "space"}); }));
}
