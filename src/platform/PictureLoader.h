#pragma once

#include <QImage>
#include <QSize>
#include <QString>

// The run time's code for a file that holds no valid picture.
constexpr int InvalidPictureError = 481;

struct PictureLoadResult
{
    QImage picture;   // null for the empty path, and on failure
    int errorCode = 0; // 0 on success
    QString description;

    [[nodiscard]] bool ok() const { return errorCode == 0; }
};

// Loads any format Qt's image plugins read, with EXIF orientation applied; an empty
// path gives the empty picture. A missing, unreadable, non-picture or oversized file
// fails with InvalidPictureError.
[[nodiscard]] PictureLoadResult LoadPicture(const QString &path);
