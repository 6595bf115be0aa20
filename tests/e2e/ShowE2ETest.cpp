#include "ProgramRig.h"

// Shown through this program's shared memory, and without it the way Qt shows any window.
TEST(ShowE2E, FirstPictureFillsTheMediumAreaThenAKeyOrTheMouseEndsTheShow)
{
    for (const bool byMouse : {false, true}) {
        ProgramRig rig;
        writeFile(rig.path("settings.xml"), SettingsXml{.background = "32768", .transition = "0", .files = {writePicture(rig.path("wide.png"), Red, QSize(400, 200))}}.text());
        xdotool({"mousemove", "5", "5"});
        QProcess &process = rig.start({"/s"}, byMouse ? QStringList{"QT_XCB_NO_MITSHM=1"} : QStringList{});
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

// An empty entry's message line stays along the top, in the black background, over the picture.
TEST(ShowE2E, FullScreenShowKeepsNoSecondCopyOfTheScreen)
{
    ProgramRig rig;
    writeFile(rig.path("settings.xml"), SettingsXml{.transition = "0", .imageSize = "FullScreen", .files = {"", writePicture(rig.path("red.png"), Red, QSize(400, 300))}}.text());
    QProcess &process = rig.start({"/s"});
    ASSERT_TRUE(waitFor("the picture under the message line", [] {
        const QImage shot = screenshot();
        return shot.pixel(0, 2) == qRgb(0, 0, 0) && shot.pixel(0, 767) == Red && shot.pixel(1023, 300) == Red;
    }));
    // Qt's own image of the window holds the message line and nothing of the picture, which
    // goes to X through the presenter's System V segment.
    QFile maps(QStringLiteral("/proc/%1/smaps").arg(process.processId()));
    ASSERT_TRUE(maps.open(QIODevice::ReadOnly));
    int qtSharedKb = 0;
    bool qtShared = false;
    for (const QByteArray &line : maps.readAll().split('\n')) {
        const QList<QByteArray> fields = line.simplified().split(' ');
        if (fields.size() >= 5 && fields[1].size() == 4)
            qtShared = fields[1].endsWith('s') && !line.contains("/SYSV");
        else if (qtShared && fields[0] == "Rss:")
            qtSharedKb += fields[1].toInt();
    }
    EXPECT_LE(qtSharedKb, 1024 * 768 * 4 / 1024 / 8);
    EXPECT_TRUE(endsCleanly(process, [] { xdotool({"key", "space"}); }));
}
