#pragma once

#include <QByteArray>
#include <QStringList>

// The text of a settings.xml; `extra` is foreign content that a save must keep.
struct SettingsXml
{
    QString timer = QStringLiteral("1");
    int background = 0;
    int transition = 1;
    QString imageSize = QStringLiteral("medium");
    QStringList files = {};
    QString extra = {};

    [[nodiscard]] QByteArray text() const;
};
