#pragma once

#include <QImage>
#include <QString>
#include <optional>

// Decodes a PNG row by row, averaging each divisor x divisor block into one pixel as the
// rows arrive, so only a few rows of the full picture are ever held. Nothing when the file
// is interlaced (its rows come in seven passes over the whole picture); a null picture when
// the file is broken.
[[nodiscard]] std::optional<QImage> ReadReducedPng(const QString &path, int divisor);
