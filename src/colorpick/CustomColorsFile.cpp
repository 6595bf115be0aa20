#include "colorpick/CustomColorsFile.h"

#include "colorpick/ColorModel.h"
#include "colorpick/Val.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <limits>

namespace {

// The line's number rounded to 32 bits; a number beyond that range reads 0.
ColorValue colorFromLine(const QString &line)
{
    const double value = Val(line);
    if (!(value >= std::numeric_limits<ColorValue>::min() - 0.5 && value < std::numeric_limits<ColorValue>::max() + 0.5))
        return 0;
    return RoundHalfEven(value);
}

} // namespace

CustomColorList ReadCustomColors(const QString &path)
{
    CustomColorList colors{};
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return colors;
    QString line;
    for (ColorValue &color : colors) {
        if (!file.atEnd()) {
            line = QString::fromLatin1(file.readLine());
            while (line.endsWith(u'\n') || line.endsWith(u'\r'))
                line.chop(1);
        }
        color = colorFromLine(line);
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
    QDir().mkpath(QFileInfo(path).absolutePath()); // a per-user folder is made on the first save
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(text) != text.size() || !file.commit())
        return file.errorString();
    return {};
}
