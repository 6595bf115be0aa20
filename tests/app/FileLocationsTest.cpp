#include "app/FileLocations.h"

#include <gtest/gtest.h>

TEST(FileLocations, BesideProgramWhenItHoldsSettingsOrCanBeWrittenElseConfigFolder)
{
    const std::tuple<const char *, ProgramFolder, const char *> cases[] = {
        {"writable", {"/opt/saver", false, true}, "/opt/saver/settings.xml"},
        {"read-only with settings", {"/opt/saver", true, false}, "/opt/saver/settings.xml"},
        {"read-only without settings", {"/opt/saver", false, false}, "/home/me/.config/slideshow-saver/settings.xml"},
    };
    for (const auto &[name, program, file] : cases)
        EXPECT_EQ(ChooseFileLocations(program, "/home/me/.config").settingsFile(), file) << name;
    EXPECT_EQ(FileLocations{"/home/me/.config/slideshow-saver"}.customColorsFile(), "/home/me/.config/slideshow-saver/usercolors.cps");
    for (const auto &[xdg, home] : {std::pair("/x/conf", "/x/conf"), {"", "/home/me/.config"}, {"relative/conf", "/home/me/.config"}})
        EXPECT_EQ(ConfigHome(xdg, "/home/me"), home) << xdg;
}
