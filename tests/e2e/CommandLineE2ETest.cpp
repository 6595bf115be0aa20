#include "ProgramRig.h"

#include <gtest/gtest.h>

TEST(CommandLineE2E, AnythingButConfigureOrShowExitsAtOnceWithNoWindow)
{
    ProgramRig rig;
    rig.writeSettings("1", 0, 1, "medium", {});
    const QList<QStringList> lines = {{}, {"/C"}, {"/S"}, {"/p", "123"}};
    for (const QStringList &arguments : lines) {
        QProcess &process = rig.start(arguments);
        EXPECT_TRUE(ProgramRig::endsCleanly(process, 5000)) << arguments.join(' ').toStdString();
    }
}

TEST(CommandLineE2E, ConfigureSwitchOpensDialogBeforeShowSwitch)
{
    for (const QStringList &arguments : {QStringList{"/c:1234"}, QStringList{"/s", "/c"}}) {
        ProgramRig rig;
        rig.writeSettings("1", 0, 1, "medium", {});
        QProcess &process = rig.start(arguments);
        EXPECT_TRUE(ProgramRig::waitUntil([] { return ProgramRig::windowGeometry("Screen Saver").has_value(); }, 20000))
            << arguments.join(' ').toStdString();
        EXPECT_EQ(process.state(), QProcess::Running);
        process.kill();
        process.waitForFinished();
    }
}

TEST(CommandLineE2E, SecondCopyEndsAtOnceWhileFirstRuns)
{
    ProgramRig rig;
    rig.writeSettings("1", 0, 1, "medium", {});
    QProcess &first = rig.start({"/c"});
    ASSERT_TRUE(ProgramRig::waitUntil([] { return ProgramRig::windowGeometry("Screen Saver").has_value(); }, 20000));
    // A malformed file would be kept as settings.xml.bak by a copy that read it: the second must not.
    rig.writeFile("settings.xml", "<settings><timer>");
    QProcess &second = rig.start({"/s"});
    EXPECT_TRUE(ProgramRig::endsCleanly(second, 3000));
    EXPECT_EQ(first.state(), QProcess::Running);
    EXPECT_EQ(rig.readFile("settings.xml"), "<settings><timer>");
}
