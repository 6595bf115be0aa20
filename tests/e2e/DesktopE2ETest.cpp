#include "ProgramRig.h"

#include <pwd.h>
#include <unistd.h>

// Installed read-only from its package, the program reads its settings from the config folder when XScreenSaver runs it.
TEST(DesktopE2E, PackagedProgramRunByXScreenSaverShowsTheConfigFolderSettingsFitted)
{
    ProgramRig rig;
    const ToolRun cpack = runTool("cpack", {"-G", "DEB", "-B", rig.path("packages"), "--config", CPACK_CONFIG}, 180000);
    ASSERT_EQ(cpack.exitCode, 0) << cpack.output.toStdString();
    const QStringList debs = QDir(rig.path("packages")).entryList({"slideshow-saver_*.deb"});
    ASSERT_EQ(debs.size(), 1);
    const QString deb = rig.path("packages/" + debs.first()), program = rig.path("root/usr/bin/slideshow-saver");
    const ToolRun lintian = runTool("lintian", {"--fail-on", "error", deb}, 120000);
    EXPECT_EQ(lintian.exitCode, 0) << lintian.output.toStdString();
    ASSERT_EQ(runTool("dpkg-deb", {"-x", deb, rig.path("root")}).exitCode, 0);
    ASSERT_TRUE(QDir(rig.path("config")).mkdir("slideshow-saver"));
    writeFile(rig.path("config/slideshow-saver/settings.xml"), SettingsXml{"1", "32768", "0", "FullScreen", {writePicture(rig.path("wide.png"), Red, QSize(400, 200))}}.text());
    writeFile(rig.path("home/.xscreensaver"), "mode: one\nselected: 0\ntimeout: 0:30:00\nlock: False\nfade: False\nunfade: False\n"
                                              "programs: " + program.toUtf8() + " --root \\n\n");
    // XScreenSaver refuses root: it runs as nobody, who owns the rig's folders and a copy of the X cookie.
    QFile::copy(qEnvironmentVariable("XAUTHORITY"), rig.path("home/.Xauthority"));
    QFile::setPermissions(rig.path("."), QFile::Permissions(0x7755));
    const passwd *nobody = getpwnam("nobody");
    for (const char *name : {"home", "home/.Xauthority", "config", "cache", "data", "runtime", "tmp"})
        ASSERT_EQ(chown(QFile::encodeName(rig.path(name)), nobody->pw_uid, nobody->pw_gid), 0) << name;
    QProcess &daemon = rig.launch("setpriv", {"--reuid=" + QString::number(nobody->pw_uid), "--regid=" + QString::number(nobody->pw_gid),
                                              "--clear-groups", "xscreensaver", "-no-splash"}, {"XAUTHORITY=" + rig.path("home/.Xauthority")});
    const auto command = [](const char *what) { return runTool("xscreensaver-command", {what}).exitCode == 0; };
    // A second -activate answers "already active" with a failure, so the first success counts.
    bool activated = false;
    ASSERT_TRUE(waitFor("xscreensaver to take commands", [&] { return activated = activated || command("-activate"); }));
    // 2:1 on 1024 x 768: full width, 512 high, centred.
    EXPECT_TRUE(waitFor("the fitted show", [] { return showsPicture(screenshot(), QRect(0, 128, 1024, 512)); }));
    EXPECT_TRUE(command("-deactivate"));
    // The daemon ends the show with SIGTERM.
    EXPECT_TRUE(waitFor("the show to end", [&] { return runTool("pgrep", {"-f", program}).exitCode == 1; }));
    command("-exit");
    EXPECT_TRUE(endsCleanly(daemon));
}

TEST(DesktopE2E, WindowIdShowFitsThatWindowFollowsItsSizeAndEndsWithIt)
{
    ProgramRig rig;
    writeFile(rig.path("settings.xml"), SettingsXml{"1", "32768", "0", "FullScreen", {writePicture(rig.path("wide.png"), Red, QSize(400, 200))}}.text());
    // xev makes a plain window and prints its number; watching only its structure lets others map children in it.
    QProcess &host = rig.launch("xev", {"-event", "structure", "-geometry", "320x200+0+0"});
    QString id;
    ASSERT_TRUE(waitFor("xev's window number", [&] {
        host.waitForReadyRead(PollMs);
        return !(id = QRegularExpression("Outer window is (0x[0-9a-f]+)").match(QString::fromLatin1(host.peek(4096))).captured(1)).isEmpty();
    }));
    QProcess &show = rig.start({"--window-id", id});
    // 2:1 in 320 x 200: 320 x 160 from y 20, then in 200 x 300: 200 x 100 from y 100; xev's border is 2 pixels.
    EXPECT_TRUE(waitFor("the picture in the window", [] { return showsPicture(screenshot(), QRect(2, 22, 320, 160)); }));
    xdotool({"windowsize", id, "200", "300"});
    EXPECT_TRUE(waitFor("the picture to follow the size", [] { return showsPicture(screenshot(), QRect(2, 102, 200, 100)); }));
    host.kill();
    EXPECT_TRUE(endsCleanly(show));
}
