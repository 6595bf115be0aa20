#pragma once

#include <QImage>
#include <QString>
#include <ostream>

// Readable QString values in failure messages.
inline void PrintTo(const QString &text, std::ostream *out)
{
    *out << '"' << text.toStdString() << '"';
}

// The bounding box of the pixels where two images differ, as text; empty when equal.
inline QString imageDifference(const QImage &actual, const QImage &expected)
{
    if (actual.size() != expected.size())
        return QStringLiteral("size differs");
    QRect box;
    for (int y = 0; y < actual.height(); ++y)
        for (int x = 0; x < actual.width(); ++x)
            if ((actual.pixel(x, y) & 0xFFFFFF) != (expected.pixel(x, y) & 0xFFFFFF))
                box |= QRect(x, y, 1, 1);
    if (box.isNull())
        return {};
    return QStringLiteral("differs in x %1..%2, y %3..%4").arg(box.left()).arg(box.right()).arg(box.top()).arg(box.bottom());
}
