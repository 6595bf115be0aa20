#include "ProgramRig.h"

TEST(ShowE2E, FirstPictureFillsTheMediumAreaThenAKeyOrTheMouseEndsTheShow)
{
    for (const bool byMouse : {false, true}) {
        ProgramRig rig;
        writeFile(rig.path("settings.xml"), SettingsXml{.background = "32768", .transition = "0", .files = {writePicture(rig.path("wide.png"), Red, QSize(400, 200))}}.text());
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
    for (int k = 0; k < 1024 * 768; ++k)
        board.setPixel(k % 1024, k / 1024, (k % 1024 + k / 1024) % 2 ? qRgb(255, 255, 255) : qRgb(0, 0, 0));
    ASSERT_TRUE(board.save(rig.path("board.png")));
    writeFile(rig.path("settings.xml"), SettingsXml{.transition = "0", .imageSize = "FullScreen", .files = {rig.path("board.png")}}.text());
    QProcess &process = rig.start({"/s"}, {"QT_SCALE_FACTOR=2"});
    QString difference;
    EXPECT_TRUE(waitFor("the board at device pixels", [&] { return (difference = imageDifference(screenshot(), board)).isEmpty(); }))
        << difference.toStdString();
    EXPECT_TRUE(endsCleanly(process, [] { xdotool({"key", "space"}); }));
}
