#include "raster/PictureLoader.h"

#include "raster/FitPicture.h"
#include "raster/ReducedPng.h"

#include <QFileInfo>
#include <QImageReader>

#include <malloc.h>

namespace {

// Far beyond any camera picture, yet refuses files that declare absurd sizes before
// they are decoded: a 30000 x 30000 bomb would take 3.6 GB.
constexpr qint64 MaxPicturePixels = 200'000'000;

// Pictures are decoded on worker threads, blocks of megabytes at a time. Each thread given
// a heap of its own keeps what it freed there, so a long show's memory grows slide by slide;
// in the one heap all threads share, what one decode frees the next reuses, and the heap
// shrinks back once the decode is done.
[[maybe_unused]] const bool OneHeap = mallopt(M_ARENA_MAX, 1) == 1;

// A block of 16 MB or more (a picture, its decode, half a 4K screen or a whole one) takes
// memory of its own, given back the moment the block is freed. Left to itself the heap would
// keep such blocks once it had freed one, and the holes they leave between the frames still
// held stay resident: a 4K show peaked fifty megabytes higher. Smaller blocks stay in the heap,
// which keeps up to 32 MB free at its top, so an effect's buffers of a few megabytes a frame
// are reused and not fetched from the system anew each frame.
[[maybe_unused]] const bool BigBlocksOfTheirOwn = mallopt(M_MMAP_THRESHOLD, 16 << 20) == 1 && mallopt(M_TRIM_THRESHOLD, 32 << 20) == 1;

// The largest whole divisor that still leaves the picture covering its fit.
int ReductionDivisor(QSize natural, QSize fit)
{
    return std::max(1, std::min(natural.width() / fit.width(), natural.height() / fit.height()));
}

QImage Decode(QImageReader &reader, const QString &path, QSize declared, QSize natural, QSize fitInto)
{
    if (!fitInto.isValid() || natural.isEmpty())
        return reader.read();
    const QSize fit = FittedSize(natural, fitInto);
    if (fit.isEmpty())
        return reader.read();
    if (reader.format() != "png" && reader.supportsOption(QImageIOHandler::ScaledSize)) {
        // Asked for the fitted size, the picture comes out at it in one resampling, as the fit
        // would make it: libjpeg decodes at the least eighth of the stored size that covers it
        // and Qt's reader resamples that; the HEIF reader averages the samples under each pixel.
        if (fit.width() < natural.width() && fit.height() < natural.height())
            reader.setScaledSize(natural == declared ? fit : fit.transposed());
        return reader.read();
    }
    const int divisor = ReductionDivisor(natural, fit);
    // Qt's own PNG reader scales only after a full decode; an interlaced file still takes it.
    if (divisor > 1 && reader.format() == "png" && reader.transformation() == QImageIOHandler::TransformationNone)
        if (std::optional<QImage> reduced = ReadReducedPng(path, divisor))
            return *reduced;
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
