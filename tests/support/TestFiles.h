#pragma once

#include <QByteArray>
#include <QRgb>
#include <QSize>
#include <QString>

// Whole-file helpers for test folders; a file that cannot be read reads empty.
bool writeFile(const QString &path, const QByteArray &content);
[[nodiscard]] QByteArray readFile(const QString &path);
// A PNG picture of one colour; returns the path.
QString writePicture(const QString &path, QRgb colour, QSize size = QSize(40, 30));
