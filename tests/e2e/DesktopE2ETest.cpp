#include "ProgramRig.h"

#include <pwd.h>
#include <signal.h>
#include <unistd.h>

namespace {

// A user other than root, as setpriv makes one: its own ids, none of root's groups.
struct User
{
    uid_t uid;
    gid_t gid;
    [[nodiscard]] QStringList run(const QString &program, const QStringList &arguments = {}) const
    {
        return QStringList{"--reuid=" + QString::number(uid), "--regid=" + QString::number(gid), "--clear-groups", program} + arguments;
    }
};

const passwd &Nobody() { return *getpwnam("nobody"); }

// The rig's folders become the user's, with a copy of the X cookie in its home; the rig's own folder opens to it.
User HandOver(ProgramRig &rig, const QStringList &folders, uid_t uid, gid_t gid)
{
    QFile::copy(qEnvironmentVariable("XAUTHORITY"), rig.path(folders.first() + "/.Xauthority"));
    QFile::setPermissions(rig.path("."), QFile::Permissions(0x7755));
    for (const QString &name : folders + QStringList{folders.first() + "/.Xauthority"})
        EXPECT_EQ(chown(QFile::encodeName(rig.path(name)), uid, gid), 0) << name.toStdString();
    return {uid, gid};
}

// A visible window whose _NET_WM_PID names this process.
bool ShowsWindowOf(const QProcess &process)
{
    return runTool("xdotool", {"search", "--onlyvisible", "--pid", QString::number(process.processId())}).exitCode == 0;
}

} // namespace

// Unpacked from its package into folders it cannot write, the program keeps its settings in the config folder,
// for the setup dialog, for /s and for XScreenSaver.
TEST(DesktopE2E, PackagedProgramRunFromAFolderItCannotWriteUsesTheConfigFolder)
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
    // XScreenSaver refuses root, and root writes anywhere: the program runs as nobody, who owns the rig's folders.
    const User nobody = HandOver(rig, {"home", "config", "cache", "data", "runtime", "tmp"}, Nobody().pw_uid, Nobody().pw_gid);
    const QStringList cookie{"XAUTHORITY=" + rig.path("home/.Xauthority")};

    // The first Apply makes the config folder and writes the settings there.
    const QString settings = rig.path("config/slideshow-saver/settings.xml");
    QProcess &setup = rig.launch("setpriv", nobody.run(program, {"/c"}), cookie);
    const std::optional<QPoint> dialog = waitForWindow("Screen Saver");
    ASSERT_TRUE(dialog);
    ASSERT_TRUE(waitFor("Apply to write the config folder's settings", [&] { return readFile(settings).contains("<imagesize>medium</imagesize>"); },
                        [&] { click(*dialog + Apply); }));
    EXPECT_TRUE(endsCleanly(setup, [&] { click(*dialog + Ok); }));

    writeFile(settings, SettingsXml{"1", "32768", "0", "FullScreen", {writePicture(rig.path("wide.png"), Red, QSize(400, 200))}}.text());
    // 2:1 on 1024 x 768: full width, 512 high, centred.
    const QRect fitted(0, 128, 1024, 512);
    QProcess &show = rig.launch("setpriv", nobody.run(program, {"/s"}), cookie);
    EXPECT_TRUE(waitFor("the fitted show", [&] { return showsPicture(screenshot(), fitted); }));
    EXPECT_TRUE(endsCleanly(show, [] { xdotool({"key", "a"}); }));

    writeFile(rig.path("home/.xscreensaver"), "mode: one\nselected: 0\ntimeout: 0:30:00\nlock: False\nfade: False\nunfade: False\n"
                                              "programs: " + program.toUtf8() + " --root \\n\n");
    QProcess &daemon = rig.launch("setpriv", nobody.run("xscreensaver", {"-no-splash"}), cookie);
    const auto command = [](const char *what) { return runTool("xscreensaver-command", {what}).exitCode == 0; };
    // A second -activate answers "already active" with a failure, so the first success counts.
    bool activated = false;
    ASSERT_TRUE(waitFor("xscreensaver to take commands", [&] { return activated = activated || command("-activate"); }));
    EXPECT_TRUE(waitFor("the fitted show", [&] { return showsPicture(screenshot(), fitted); }));
    EXPECT_TRUE(command("-deactivate"));
    // The daemon ends the show with SIGTERM.
    EXPECT_TRUE(waitFor("the show to end", [&] { return runTool("pgrep", {"-f", program}).exitCode == 1; }));
    command("-exit");
    EXPECT_TRUE(endsCleanly(daemon));
}

// Two users of one installed program, with no runtime folder, share the temporary folder: neither blocks the
// other, a lock planted for one is not followed, and a copy killed with SIGKILL leaves no lock that holds.
TEST(DesktopE2E, EachUserHasALockOfItsOwnThatNoOtherCanPlantOrLeaveBehind)
{
    ProgramRig rig;
    writeFile(rig.path("settings.xml"), SettingsXml{.transition = "0", .files = {writePicture(rig.path("red.png"), Red)}}.text());
    for (const char *folder : {"b", "b/config", "b/cache"})
        ASSERT_TRUE(QDir(rig.path(".")).mkdir(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
    // Open to all and sticky, as /tmp is.
    ASSERT_EQ(chmod(QFile::encodeName(rig.path("tmp")), 01777), 0);
    const User a = HandOver(rig, {"home", "config", "cache"}, Nobody().pw_uid, Nobody().pw_gid);
    const User b = HandOver(rig, {"b", "b/config", "b/cache"}, 4242, 4242);
    const QStringList shared{"XDG_RUNTIME_DIR=", "TMPDIR=" + rig.path("tmp")};
    const QStringList asA = shared + QStringList{"XAUTHORITY=" + rig.path("home/.Xauthority")};
    const QStringList asB = shared + QStringList{"HOME=" + rig.path("b"), "XDG_CONFIG_HOME=" + rig.path("b/config"),
                                                 "XDG_CACHE_HOME=" + rig.path("b/cache"), "XAUTHORITY=" + rig.path("b/.Xauthority")};
    const auto start = [&](const User &user, const QStringList &environment) -> QProcess & {
        return rig.launch("setpriv", user.run(rig.path("slideshow-saver"), {"/s"}), environment);
    };

    QProcess &firstOfA = start(a, asA);
    ASSERT_TRUE(waitFor("a's show", [&] { return ShowsWindowOf(firstOfA); }));
    // A has B's folder name point at a copy of A's lock, readable and held by A's running copy.
    const QString aLocks = rig.path("tmp/slideshow-saver-" + QString::number(a.uid)), trap = rig.path("tmp/trap");
    const QStringList aLock = QDir(aLocks).entryList({"*.lock"});
    ASSERT_EQ(aLock.size(), 1);
    ASSERT_TRUE(QDir().mkdir(trap) && QFile::copy(aLocks + "/" + aLock.first(), trap + "/" + aLock.first())
                && QFile::link(trap, rig.path("tmp/slideshow-saver-" + QString::number(b.uid))));
    for (const QString &name : {trap, trap + "/" + aLock.first()})
        ASSERT_EQ(chown(QFile::encodeName(name), a.uid, a.gid), 0);

    QProcess &firstOfB = start(b, asB);
    EXPECT_TRUE(waitFor("b's show beside a's", [&] { return ShowsWindowOf(firstOfB) && firstOfA.state() == QProcess::Running; }));
    // The second copy of the same user still ends silently.
    QProcess &secondOfB = start(b, asB);
    EXPECT_TRUE(endsCleanly(secondOfB));
    EXPECT_FALSE(ShowsWindowOf(secondOfB));

    ASSERT_EQ(kill(pid_t(firstOfA.processId()), SIGKILL), 0);
    firstOfA.waitForFinished(BudgetMs);
    QProcess &againOfA = start(a, asA);
    EXPECT_TRUE(waitFor("a's show after the killed one", [&] { return ShowsWindowOf(againOfA); }));
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
