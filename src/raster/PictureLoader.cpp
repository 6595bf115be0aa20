#include "raster/PictureLoader.h"

#include "raster/ReducedPng.h"

#include <QFileInfo>
#include <QImageReader>

namespace {

// Far beyond any camera picture, yet refuses files that declare absurd sizes before
// they are decoded: a 30000 x 30000 bomb would take 3.6 GB.
constexpr qint64 MaxPicturePixels = 200'000'000;

// The largest whole divisor that still leaves the picture covering its fit; libjpeg's
// DCT scaling takes only 1/2, 1/4 and 1/8.
int ReductionDivisor(QSize natural, QSize fitInto, bool powersOfTwoToEight)
{
    const QSize fit = natural.scaled(fitInto, Qt::KeepAspectRatio);
    if (fit.isEmpty())
        return 1;
    int divisor = 1;
    const auto covers = [&](int d) { return natural.width() / d >= fit.width() && natural.height() / d >= fit.height(); };
    if (powersOfTwoToEight) {
        while (divisor < 8 && covers(divisor * 2))
            divisor *= 2;
    } else {
        divisor = std::max(1, std::min(natural.width() / fit.width(), natural.height() / fit.height()));
    }
    return divisor;
}

QImage Decode(QImageReader &reader, const QString &path, QSize declared, QSize natural, QSize fitInto)
{
    if (!fitInto.isValid() || !natural.isValid())
        return reader.read();
    const QByteArray format = reader.format();
    const int divisor = ReductionDivisor(natural, fitInto, format == "jpeg");
    if (divisor == 1)
        return reader.read();
    if (format == "png") {
        // Qt's own PNG reader scales only after a full decode; an interlaced file still takes it.
        if (reader.transformation() == QImageIOHandler::TransformationNone)
            if (std::optional<QImage> reduced = ReadReducedPng(path, divisor))
                return *reduced;
    } else if (format == "jpeg") {
        reader.setScaledSize(QSize(declared.width() / divisor, declared.height() / divisor));
    } else if (reader.supportsOption(QImageIOHandler::ScaledSize)) {
        reader.setScaledSize(QSize((declared.width() + divisor - 1) / divisor, (declared.height() + divisor - 1) / divisor));
    }
    return reader.read();
}

} // namespace

PictureLoadResult LoadPicture(const QString &path, QSize fitInto)
{
    if (path.isEmpty() || !QFileInfo(path).isFile())
        return {};
    QImageReader reader(path);
    reader.setAutoTransform(true);
    reader.setAllocationLimit(int(MaxPicturePixels * 4 / (1024 * 1024)));
    const QSize declared = reader.size();
    if (declared.isValid() && qint64(declared.width()) * declared.height() > MaxPicturePixels)
        return {};
    const bool turned = reader.transformation().testFlag(QImageIOHandler::TransformationRotate90);
    const QSize natural = turned ? declared.transposed() : declared;
    const QImage picture = Decode(reader, path, declared, natural, fitInto);
    if (picture.isNull())
        return {};
    const QImage::Format format = picture.hasAlphaChannel() ? QImage::Format_ARGB32_Premultiplied : QImage::Format_RGB32;
    return {picture.convertToFormat(format), natural.isValid() ? natural : picture.size()};
}
