#pragma once

#include <QString>

// Where settings.xml and usercolors.cps live.
struct FileLocations
{
    QString folder;
    [[nodiscard]] QString settingsFile() const;
    [[nodiscard]] QString customColorsFile() const;
};

// What the choice needs to know about the program's own folder.
struct ProgramFolder
{
    QString path;
    bool holdsSettings = false;
    bool writable = false;
};

[[nodiscard]] ProgramFolder InspectProgramFolder(const QString &path);

// $XDG_CONFIG_HOME when it is an absolute path, else ~/.config.
[[nodiscard]] QString ConfigHome(const QString &xdgConfigHome, const QString &home);

// Beside the program when its folder already holds a settings.xml or can be written, so a
// portable copy keeps its files; otherwise the user's slideshow-saver configuration folder.
[[nodiscard]] FileLocations ChooseFileLocations(const ProgramFolder &program, const QString &configHome);
