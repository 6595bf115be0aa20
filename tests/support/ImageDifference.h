#pragma once

#include <QImage>
#include <QStringList>
#include <map>
#include <ostream>
#include <vector>

// Readable texts in failure messages.
inline void PrintTo(const QString &text, std::ostream *out) { *out << '"' << text.toStdString() << '"'; }
inline void PrintTo(const QStringList &texts, std::ostream *out) { PrintTo(texts.join(QStringLiteral("\", \"")), out); }

// Where two images first differ in colour, as text; empty when equal.
[[nodiscard]] QString imageDifference(const QImage &actual, const QImage &expected);

// Compares the block at `at` with a picture drawn in characters, one row a string, each
// character standing for the colour `legend` gives it; empty when every pixel matches.
[[nodiscard]] QString pictureDifference(const QImage &image, QPoint at, const std::vector<const char *> &rows, const std::map<char, QRgb> &legend);
