#include "raster/PictureLoader.h"

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

PictureLoadResult LoadPicture(const QString &path, QSize fitInto)
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
    const bool turned = reader.transformation().testFlag(QImageIOHandler::TransformationRotate90);
    const QSize natural = turned ? declared.transposed() : declared;
    if (fitInto.isValid() && natural.isValid() && reader.format() == "jpeg") {
        // Halve while the halves still cover the fit: libjpeg scales by 1/2, 1/4 and 1/8 exactly.
        const QSize fit = natural.scaled(fitInto, Qt::KeepAspectRatio);
        int divisor = 1;
        while (divisor < 8 && natural.width() / (divisor * 2) >= fit.width() && natural.height() / (divisor * 2) >= fit.height())
            divisor *= 2;
        if (divisor > 1)
            reader.setScaledSize(QSize(declared.width() / divisor, declared.height() / divisor));
    }
    QImage picture = reader.read();
    if (picture.isNull())
        return invalid(QStringLiteral("%1: %2").arg(path, reader.errorString()));
    return {picture.convertToFormat(QImage::Format_RGB32), 0, QString(), natural.isValid() ? natural : picture.size()};
}
