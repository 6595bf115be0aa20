#include "app/FileLocations.h"

#include <gtest/gtest.h>

TEST(FileLocations, BesideProgramWhenItHoldsSettingsOrCanBeWrittenElseConfigFolder)
{
    const struct
    {
        const char *name;
        bool holdsSettings;
        bool writable;
        const char *folder;
    } cases[] = {
        {"writable", false, true, "/opt/saver"},
        {"read-only with settings", true, false, "/opt/saver"},
        {"read-only without settings", false, false, "/home/me/.config/slideshow-saver"},
    };
    for (const auto &c : cases) {
        const FileLocations files = ChooseFileLocations({"/opt/saver", c.holdsSettings, c.writable}, "/home/me/.config");
        EXPECT_EQ(files.settingsFile(), QString::fromLatin1(c.folder) + "/settings.xml") << c.name;
        EXPECT_EQ(files.customColorsFile(), QString::fromLatin1(c.folder) + "/usercolors.cps") << c.name;
    }
    EXPECT_EQ(ConfigHome("/x/conf", "/home/me"), "/x/conf");
    EXPECT_EQ(ConfigHome("", "/home/me"), "/home/me/.config");
    EXPECT_EQ(ConfigHome("relative/conf", "/home/me"), "/home/me/.config");
}
