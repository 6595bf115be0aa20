#pragma once

#include <QImage>
#include <QSize>
#include <QString>

// The run time's code for a file that holds no valid picture.
constexpr int InvalidPictureError = 481;

struct PictureLoadResult
{
    QImage picture;    // null for the empty path, and on failure
    int errorCode = 0; // 0 on success
    QString description;
    QSize naturalSize; // the picture's own size, upright, even when it was decoded smaller

    [[nodiscard]] bool ok() const { return errorCode == 0; }
};

// Loads any format Qt's image plugins read, with EXIF orientation applied; an empty
// path gives the empty picture. A missing, unreadable, non-picture or oversized file
// fails with InvalidPictureError. With a size to fit into, a decoder that can shrink
// while decoding (JPEG's DCT scaling) delivers the picture at no less than the size the
// fit needs, which saves most of the time and memory of large camera pictures.
[[nodiscard]] PictureLoadResult LoadPicture(const QString &path, QSize fitInto = QSize());
