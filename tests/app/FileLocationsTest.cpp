#include "app/FileLocations.h"

#include <gtest/gtest.h>

TEST(FileLocations, BesideProgramWhenItHoldsSettingsOrCanBeWrittenElseConfigFolder)
{
    const std::tuple<const char *, ProgramFolder, const char *> cases[] = {
        {"writable", {"/opt/saver", false, true}, "/opt/saver"},
        {"read-only with settings", {"/opt/saver", true, false}, "/opt/saver"},
        {"read-only without settings", {"/opt/saver", false, false}, "/home/me/.config/slideshow-saver"},
    };
    for (const auto &[name, program, folder] : cases) {
        const FileLocations files = ChooseFileLocations(program, "/home/me/.config");
        EXPECT_EQ(files.settingsFile(), QString::fromLatin1(folder) + "/settings.xml") << name;
        EXPECT_EQ(files.customColorsFile(), QString::fromLatin1(folder) + "/usercolors.cps") << name;
    }
    EXPECT_EQ(ConfigHome("/x/conf", "/home/me"), "/x/conf");
    EXPECT_EQ(ConfigHome("", "/home/me"), "/home/me/.config");
    EXPECT_EQ(ConfigHome("relative/conf", "/home/me"), "/home/me/.config");
}
