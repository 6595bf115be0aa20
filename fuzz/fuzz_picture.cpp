// Loads any bytes as a picture file through the program's loader, with and without a
// size to fit into. Pictures that declare more than a few million pixels are left out,
// so the fuzzer's memory limit measures leaks, not big pictures.
#include "FuzzFile.h"
#include "raster/PictureLoader.h"

#include <QBuffer>
#include <QImageReader>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char *>(data), qsizetype(size));
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    const QSize declared = QImageReader(&buffer).size();
    if (declared.isValid() && qint64(declared.width()) * declared.height() > 4'000'000)
        return 0;
    const QString path = WriteFuzzFile(QStringLiteral("picture"), data, size);
    for (const QSize fit : {QSize(), QSize(64, 48)}) {
        const PictureLoadResult result = LoadPicture(path, fit);
        Require(result.ok() == !result.picture.isNull());
        Require(!result.ok() || result.picture.format() == QImage::Format_RGB32);
    }
    return 0;
}
