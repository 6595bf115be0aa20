#include "support/SettingsXml.h"

QByteArray SettingsXml::text() const
{
    QString entries;
    for (const QString &file : files)
        entries += QStringLiteral("<file>%1</file>").arg(file.toHtmlEscaped());
    return QStringLiteral("<?xml version=\"1.0\"?>\n<settings><timer>%1</timer><background>%2</background><transition>%3</transition>"
                          "<imagesize>%4</imagesize>%5<files>%6</files></settings>\n").arg(timer).arg(background).arg(transition).arg(imageSize, extra, entries).toUtf8();
}
