#pragma once

#include <QImage>
#include <QStringList>
#include <algorithm>
#include <map>
#include <ostream>
#include <vector>

// Readable texts in failure messages.
inline void PrintTo(const QString &text, std::ostream *out) { *out << '"' << text.toStdString() << '"'; }

// The largest difference of the three colour channels.
inline int colourDistance(QRgb a, QRgb b) { return std::max({qAbs(qRed(a) - qRed(b)), qAbs(qGreen(a) - qGreen(b)), qAbs(qBlue(a) - qBlue(b))}); }

// Where two images first differ in colour, as text; empty when equal.
[[nodiscard]] inline QString imageDifference(const QImage &actual, const QImage &expected)
{
    if (actual.size() != expected.size())
        return QStringLiteral("size differs");
    for (int y = 0; y < actual.height(); ++y)
        for (int x = 0; x < actual.width(); ++x)
            if ((actual.pixel(x, y) ^ expected.pixel(x, y)) & 0xFFFFFF)
                return QStringLiteral("first differs at %1,%2").arg(x).arg(y);
    return {};
}

// Compares the block at `at` with a picture drawn in characters, one row a string, each
// character standing for the colour `legend` gives it; empty when every pixel matches.
[[nodiscard]] inline QString pictureDifference(const QImage &image, QPoint at, const std::vector<const char *> &rows, const std::map<char, QRgb> &legend)
{
    const auto hex = [](QRgb colour) { return QStringLiteral("%1").arg(colour & 0xFFFFFF, 6, 16, QLatin1Char('0')); };
    for (int y = 0; y < int(rows.size()); ++y)
        for (int x = 0; rows[y][x] != '\0'; ++x)
            if (const QPoint p = at + QPoint(x, y); !image.valid(p) || ((image.pixel(p) ^ legend.at(rows[y][x])) & 0xFFFFFF))
                return QStringLiteral("%1,%2 is %3, not '%4' %5").arg(p.x()).arg(p.y()).arg(hex(image.valid(p) ? image.pixel(p) : 0), QChar(rows[y][x]), hex(legend.at(rows[y][x])));
    return {};
}
