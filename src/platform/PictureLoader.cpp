#include "PictureLoader.h"

#include <QFileInfo>
#include <QImageReader>

namespace {

// Far beyond any camera picture, yet refuses files that declare absurd sizes before
// they are decoded: a 30000 x 30000 bomb would take 3.6 GB.
constexpr qint64 MaxPicturePixels = 200'000'000;

PictureLoadResult invalid(const QString &why)
{
    return {QImage(), InvalidPictureError, QStringLiteral("Invalid picture: %1").arg(why)};
}

} // namespace

PictureLoadResult LoadPicture(const QString &path)
{
    if (path.isEmpty())
        return {};
    if (!QFileInfo(path).isFile())
        return invalid(QStringLiteral("%1 is not a file").arg(path));
    QImageReader reader(path);
    reader.setAutoTransform(true);
    reader.setAllocationLimit(int(MaxPicturePixels * 4 / (1024 * 1024)));
    const QSize declared = reader.size();
    if (declared.isValid() && qint64(declared.width()) * declared.height() > MaxPicturePixels)
        return invalid(QStringLiteral("%1 is too large").arg(path));
    QImage picture = reader.read();
    if (picture.isNull())
        return invalid(QStringLiteral("%1: %2").arg(path, reader.errorString()));
    return {picture.convertToFormat(QImage::Format_RGB32), 0, QString()};
}
