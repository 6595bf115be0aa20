#pragma once

#include <QImage>
#include <QStringList>
#include <ostream>

// Readable texts in failure messages.
inline void PrintTo(const QString &text, std::ostream *out)
{
    *out << '"' << text.toStdString() << '"';
}
inline void PrintTo(const QStringList &texts, std::ostream *out)
{
    *out << '"' << texts.join(QStringLiteral("\", \"")).toStdString() << '"';
}

// Where two images first differ in colour, as text; empty when equal.
inline QString imageDifference(const QImage &actual, const QImage &expected)
{
    if (actual.size() != expected.size())
        return QStringLiteral("size differs");
    for (int y = 0; y < actual.height(); ++y)
        for (int x = 0; x < actual.width(); ++x)
            if ((actual.pixel(x, y) ^ expected.pixel(x, y)) & 0xFFFFFF)
                return QStringLiteral("first differs at %1,%2").arg(x).arg(y);
    return {};
}
