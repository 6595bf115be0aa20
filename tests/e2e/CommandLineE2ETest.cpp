#include "ProgramRig.h"

#include "support/SettingsXml.h"
#include "support/TestFiles.h"

#include <gtest/gtest.h>

TEST(CommandLineE2E, SecondCopyEndsAtOnceWhileFirstRuns)
{
    ProgramRig rig;
    writeFile(rig.path("settings.xml"), SettingsXml{}.text());
    QProcess &first = rig.start({"/c"});
    ASSERT_TRUE(ProgramRig::waitFor("the setup dialog", [] { return ProgramRig::window("Screen Saver").has_value(); }));
    // A malformed file would be kept as settings.xml.bak by a copy that read it: the second must not.
    writeFile(rig.path("settings.xml"), "<settings><timer>");
    QProcess &second = rig.start({"/s"});
    EXPECT_TRUE(ProgramRig::endedCleanly(second));
    EXPECT_EQ(first.state(), QProcess::Running);
    EXPECT_EQ(readFile(rig.path("settings.xml")), "<settings><timer>");
    EXPECT_FALSE(QFile::exists(rig.path("settings.xml.bak")));
}
