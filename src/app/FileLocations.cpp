#include "app/FileLocations.h"

#include "colorpick/CustomColorsFile.h"
#include "settings/SettingsDoc.h"

#include <QDir>
#include <QFileInfo>

QString FileLocations::settingsFile() const
{
    return QDir(folder).filePath(SettingsFileName);
}

QString FileLocations::customColorsFile() const
{
    return QDir(folder).filePath(CustomColorsFileName);
}

ProgramFolder InspectProgramFolder(const QString &path)
{
    // isWritable asks the system for this user's access, so modes, ACLs and read-only mounts count.
    return {path, QFileInfo::exists(QDir(path).filePath(SettingsFileName)), QFileInfo(path).isWritable()};
}

QString ConfigHome(const QString &xdgConfigHome, const QString &home)
{
    if (QDir::isAbsolutePath(xdgConfigHome))
        return xdgConfigHome;
    return QDir(home).filePath(QStringLiteral(".config"));
}

FileLocations ChooseFileLocations(const ProgramFolder &program, const QString &configHome)
{
    if (program.holdsSettings || program.writable)
        return {program.path};
    return {QDir(configHome).filePath(QStringLiteral("slideshow-saver"))};
}
