#include "ProgramRig.h"
#include "support/SettingsXml.h"
#include "support/TestFiles.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <gtest/gtest.h>
#include <grp.h>
#include <pwd.h>
#include <unistd.h>

namespace {

const int GreenValue = 128 * 256;
const QPoint Apply(404, 380); // in the setup dialog's client area

// Root writes anywhere, so the program runs as nobody, with a home of its own and the X cookie.
class Nobody
{
public:
    Nobody()
    {
        QFile::copy(qEnvironmentVariable("XAUTHORITY"), home_.filePath(".Xauthority"));
        QDir(home_.path()).mkdir("runtime");
        QFile::setPermissions(home_.filePath("runtime"), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        for (const char *name : {"", ".Xauthority", "runtime"})
            own(home_.filePath(name));
    }
    static void own(const QString &path) { (void)!chown(path.toLocal8Bit(), getpwnam("nobody")->pw_uid, getgrnam("nogroup")->gr_gid); }
    static void share(const QString &folder) { QFile::setPermissions(folder, QFile::Permissions(0x7755)); }
    [[nodiscard]] QString config(const QString &name) const { return home_.filePath(".config/slideshow-saver/" + name); }
    [[nodiscard]] QString home(const QString &name) const { return home_.filePath(name); }
    QProcess &run(ProgramRig &rig, const QString &program, const QStringList &arguments)
    {
        return rig.launch("setpriv", QStringList{"--reuid=nobody", "--regid=nogroup", "--clear-groups", program} + arguments,
                          {"HOME=" + home_.path(), "XAUTHORITY=" + home_.filePath(".Xauthority"), "XDG_CONFIG_HOME=",
                           "XDG_RUNTIME_DIR=" + home_.filePath("runtime"), "TMPDIR=" + home_.path()});
    }

private:
    QTemporaryDir home_;
};

} // namespace

// Installed from its package, the program keeps its settings in the config folder, and XScreenSaver runs it from there.
TEST(DesktopE2E, PackagedProgramSavesInTheConfigFolderAndXScreenSaverRunsItFitted)
{
    QTemporaryDir packages, root;
    const ToolRun cpack = runTool("cpack", {"-G", "DEB", "-B", packages.path(), "--config", CPACK_CONFIG}, 180000);
    ASSERT_EQ(cpack.exitCode, 0) << cpack.output.toStdString();
    const QStringList debs = QDir(packages.path()).entryList({"slideshow-saver_*.deb"});
    ASSERT_EQ(debs.size(), 1);
    const QString deb = QDir(packages.path()).filePath(debs.first());
    const ToolRun lintian = runTool("lintian", {"--fail-on", "error", deb}, 120000);
    EXPECT_EQ(lintian.exitCode, 0) << lintian.output.toStdString();
    ASSERT_EQ(runTool("dpkg-deb", {"-x", deb, root.path()}).exitCode, 0);
    Nobody::share(root.path());
    const QString program = root.filePath("usr/bin/slideshow-saver");

    ProgramRig rig;
    Nobody nobody;
    QProcess &setup = nobody.run(rig, program, {"/c"});
    std::optional<QRect> dialog;
    ASSERT_TRUE(ProgramRig::waitFor("the setup dialog", [&] { return (dialog = ProgramRig::window("Screen Saver")).has_value(); }));
    EXPECT_TRUE(ProgramRig::retryUntil("Apply to save in the config folder", [&] { ProgramRig::click(dialog->topLeft() + Apply); },
                                       [&] { return QFile::exists(nobody.config("settings.xml")); }));
    EXPECT_FALSE(QFile::exists(root.filePath("usr/bin/settings.xml")));
    setup.kill(); // lets go of the single-instance lock
    setup.waitForFinished(budgetMs());

    Nobody::share(rig.folder());
    writeFile(nobody.config("settings.xml"), SettingsXml{"1", GreenValue, 0, "FullScreen", {writePicture(rig.path("wide.png"), Red, QSize(400, 200))}}.text());
    writeFile(nobody.home(".xscreensaver"), "mode: one\nselected: 0\ntimeout: 0:30:00\nlock: False\nfade: False\nunfade: False\n"
                                            "programs: " + program.toUtf8() + " --root \\n\n");
    const auto command = [](const char *what) { return runTool("xscreensaver-command", {what}).exitCode == 0; };
    QProcess &daemon = nobody.run(rig, "xscreensaver", {"-no-splash"});
    // A second -activate answers "already active" with a failure, so the first success counts.
    bool activated = false;
    ASSERT_TRUE(ProgramRig::waitFor("xscreensaver to take commands", [&] { return activated = activated || command("-activate"); }));
    // 2:1 on 1024 x 768: full width, 512 high, centred.
    EXPECT_TRUE(ProgramRig::waitFor("the fitted show", [] { return showsPicture(ProgramRig::screenshot(), QRect(0, 128, 1024, 512)); }));
    EXPECT_TRUE(command("-deactivate"));
    // The daemon ends the show with SIGTERM.
    EXPECT_TRUE(ProgramRig::waitFor("the show to end", [&] { return runTool("pgrep", {"-f", program}).exitCode == 1; }));
    command("-exit");
    EXPECT_TRUE(ProgramRig::endedCleanly(daemon));
}

TEST(DesktopE2E, WindowIdShowFitsThatWindowFollowsItsSizeAndEndsWithIt)
{
    ProgramRig rig;
    writeFile(rig.path("settings.xml"), SettingsXml{"1", GreenValue, 0, "FullScreen", {writePicture(rig.path("wide.png"), Red, QSize(400, 200))}}.text());
    // xev makes a plain window and prints its number; watching only its structure lets others map children in it.
    QProcess &host = rig.launch("xev", {"-event", "structure", "-geometry", "320x200+0+0"});
    QString id;
    ASSERT_TRUE(ProgramRig::waitFor("xev's window number", [&] {
        host.waitForReadyRead(100);
        id = QRegularExpression("Outer window is (0x[0-9a-f]+)").match(QString::fromLatin1(host.peek(4096))).captured(1);
        return !id.isEmpty();
    }));
    QProcess &show = rig.start({"--window-id", id});
    // 2:1 in 320 x 200: 320 x 160 from y 20, then in 200 x 300: 200 x 100 from y 100; xev's border is 2 pixels.
    EXPECT_TRUE(ProgramRig::waitFor("the picture in the window", [] { return showsPicture(ProgramRig::screenshot(), QRect(2, 22, 320, 160)); }));
    ProgramRig::xdotool({"windowsize", id, "200", "300"});
    EXPECT_TRUE(ProgramRig::waitFor("the picture to follow the size", [] { return showsPicture(ProgramRig::screenshot(), QRect(2, 102, 200, 100)); }));
    host.kill();
    EXPECT_TRUE(ProgramRig::endedCleanly(show));
}
