#pragma once

#include <QImage>
#include <QSize>
#include <QString>

struct PictureLoadResult
{
    QImage picture;    // null for the empty path, and for a file that holds no valid picture
    QSize naturalSize; // the picture's own size, upright, even when it was decoded smaller

    [[nodiscard]] bool ok() const { return !picture.isNull(); }
};

// Loads any format Qt's image plugins read, HEIC, HEIF and AVIF among them, upright (EXIF
// orientation, or the picture's own rotation and mirroring). A missing, unreadable,
// non-picture or oversized file gives the null picture, as the empty path does. A picture
// with transparency comes premultiplied, for drawing over a background; any other in RGB32.
// With a size to fit into, JPEG, PNG and HEIF pictures are reduced while they are decoded
// to no less than the size the fit needs, so a large picture is never held in full.
[[nodiscard]] PictureLoadResult LoadPicture(const QString &path, QSize fitInto = QSize());
