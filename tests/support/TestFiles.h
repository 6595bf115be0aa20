#pragma once

#include <QFile>
#include <QImage>

// Whole-file helpers for test folders; a file that cannot be read reads empty.
inline bool writeFile(const QString &path, const QByteArray &content)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(content) == content.size();
}

[[nodiscard]] inline QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// A PNG picture of one colour; returns the path.
inline QString writePicture(const QString &path, QRgb colour, QSize size = QSize(40, 30))
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(colour);
    return image.save(path, "png"), path;
}
