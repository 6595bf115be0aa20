#pragma once

#include <QByteArray>
#include <QStringList>

// The text of a settings.xml; `extra` is foreign content that a save must keep.
struct SettingsXml
{
    QString timer = QStringLiteral("1");
    QString background = QStringLiteral("0");
    QString transition = QStringLiteral("1");
    QString imageSize = QStringLiteral("medium");
    QStringList files = {};
    QString extra = {};

    [[nodiscard]] QByteArray text() const
    {
        QString entries;
        for (const QString &file : files)
            entries += QStringLiteral("<file>%1</file>").arg(file.toHtmlEscaped());
        return QStringLiteral("<?xml version=\"1.0\"?>\n<settings><timer>%1</timer><background>%2</background><transition>%3</transition>"
                              "<imagesize>%4</imagesize>%5<files>%6</files></settings>\n").arg(timer, background, transition, imageSize, extra, entries).toUtf8();
    }
};
