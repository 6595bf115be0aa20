#include "raster/PictureLoader.h"

#include "raster/ReducedPng.h"

#include <QFileInfo>
#include <QImageReader>

namespace {

// Far beyond any camera picture, yet refuses files that declare absurd sizes before
// they are decoded: a 30000 x 30000 bomb would take 3.6 GB.
constexpr qint64 MaxPicturePixels = 200'000'000;

// The largest whole divisor that still leaves the picture covering its fit.
int ReductionDivisor(QSize natural, QSize fit)
{
    return std::max(1, std::min(natural.width() / fit.width(), natural.height() / fit.height()));
}

// libjpeg decodes at M/8 of the stored size, M from 1 to 8, and Qt's reader takes the least
// M whose size covers the size asked for, then scales to that size exactly. Asked for the
// M/8 size rounded down, it decodes at M and scales by a pixel at most. Invalid when only
// the full size covers the fit.
QSize JpegScaledSize(QSize declared, QSize natural, QSize fit)
{
    for (int eighths = 1; eighths < 8; ++eighths) {
        const auto scaled = [eighths](int length) { return length * eighths / 8; };
        if (scaled(natural.width()) >= fit.width() && scaled(natural.height()) >= fit.height())
            return {scaled(declared.width()), scaled(declared.height())};
    }
    return {};
}

QImage Decode(QImageReader &reader, const QString &path, QSize declared, QSize natural, QSize fitInto)
{
    const QSize fit = fitInto.isValid() && natural.isValid() ? natural.scaled(fitInto, Qt::KeepAspectRatio) : QSize();
    if (fit.isEmpty())
        return reader.read();
    const QByteArray format = reader.format();
    if (format == "jpeg") {
        if (const QSize scaled = JpegScaledSize(declared, natural, fit); scaled.isValid())
            reader.setScaledSize(scaled);
        return reader.read();
    }
    const int divisor = ReductionDivisor(natural, fit);
    if (divisor == 1)
        return reader.read();
    if (format == "png") {
        // Qt's own PNG reader scales only after a full decode; an interlaced file still takes it.
        if (reader.transformation() == QImageIOHandler::TransformationNone)
            if (std::optional<QImage> reduced = ReadReducedPng(path, divisor))
                return *reduced;
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
