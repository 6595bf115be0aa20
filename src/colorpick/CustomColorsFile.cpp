#include "colorpick/CustomColorsFile.h"

#include "colorpick/Val.h"
#include "raster/ReplaceFile.h"

#include <QDir>
#include <QFile>
#include <algorithm>

CustomColorList ReadCustomColors(const QString &path)
{
    CustomColorList colors{};
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return colors;
    // A real file is a few kilobytes; the cap keeps a device or a huge file from filling memory.
    const QByteArray content = file.read(std::clamp<qint64>(file.size(), 0, 1 << 20));
    qsizetype at = 0;
    QString line;
    for (ColorValue &color : colors) {
        if (at < content.size()) {
            const qsizetype newline = content.indexOf('\n', at);
            const qsizetype end = newline < 0 ? content.size() : newline + 1;
            line = QString::fromLatin1(content.mid(at, end - at));
            at = end;
            while (line.endsWith(u'\n') || line.endsWith(u'\r'))
                line.chop(1);
        }
        // A number beyond the 32-bit range leaves 0 in its place.
        color = ColorFromNumber(Val(line)).value_or(0);
    }
    return colors;
}

QString WriteCustomColors(const QString &path, const CustomColorList &colors)
{
    QByteArray text;
    for (const ColorValue color : colors) {
        // A blank stands in for the plus sign of a non-negative value.
        text += color < 0 ? QByteArray::number(color) : ' ' + QByteArray::number(color);
        text += " \r\n";
    }
    return ReplaceFile(path, text);
}
