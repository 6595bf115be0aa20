#include "raster/PictureLoader.h"

#include <QFile>
#include <QImageWriter>
#include <QTemporaryDir>
#include <gtest/gtest.h>

TEST(PictureLoader, EmptyPathGivesEmptyPicture)
{
    const PictureLoadResult result = LoadPicture(QString());
    EXPECT_TRUE(result.ok());
    EXPECT_TRUE(result.picture.isNull());
}

TEST(PictureLoader, ReadsFormatsAtNaturalSize)
{
    QTemporaryDir dir;
    QImage image(7, 5, QImage::Format_RGB32);
    image.fill(qRgb(0, 128, 255));
    for (const char *format : {"png", "bmp", "jpg"}) {
        const QString path = dir.filePath(QStringLiteral("p.") + QLatin1String(format));
        ASSERT_TRUE(image.save(path, format));
        const PictureLoadResult result = LoadPicture(path);
        ASSERT_TRUE(result.ok()) << format;
        EXPECT_EQ(result.picture.size(), QSize(7, 5)) << format;
        EXPECT_EQ(result.picture.format(), QImage::Format_RGB32);
    }
}

TEST(PictureLoader, MissingTextAndTruncatedFilesFailWithInvalidPicture)
{
    QTemporaryDir dir;
    const QString text = dir.filePath(QStringLiteral("notes.jpg"));
    QFile file(text);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("just words, no picture");
    file.close();
    for (const QString &path : {dir.filePath(QStringLiteral("missing.png")), text, dir.path()}) {
        const PictureLoadResult result = LoadPicture(path);
        EXPECT_EQ(result.errorCode, InvalidPictureError) << path.toStdString();
        EXPECT_TRUE(result.picture.isNull());
        EXPECT_FALSE(result.description.isEmpty());
    }
}

TEST(PictureLoader, RefusesPictureThatDeclaresAbsurdSize)
{
    // A PNG header that declares 30000 x 30000 pixels, with no image data behind it.
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("bomb.png"));
    QImage small(1, 1, QImage::Format_RGB32);
    ASSERT_TRUE(small.save(path, "png"));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadWrite));
    QByteArray bytes = file.readAll();
    const quint32 side = 30000;
    for (int k = 0; k < 4; ++k) {
        bytes[16 + k] = char((side >> (24 - 8 * k)) & 0xFF);
        bytes[20 + k] = char((side >> (24 - 8 * k)) & 0xFF);
    }
    file.seek(0);
    file.write(bytes);
    file.close();
    const PictureLoadResult result = LoadPicture(path);
    EXPECT_EQ(result.errorCode, InvalidPictureError);
}

TEST(PictureLoader, AppliesExifOrientation)
{
    // A JPEG written with an orientation tag of 6 (rotate 90 degrees clockwise) is shown upright.
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("rotated.jpg"));
    QImage image(8, 4, QImage::Format_RGB32);
    image.fill(qRgb(255, 255, 255));
    QImageWriter writer(path, "jpeg");
    writer.setTransformation(QImageIOHandler::TransformationRotate90);
    ASSERT_TRUE(writer.write(image));
    const PictureLoadResult result = LoadPicture(path);
    ASSERT_TRUE(result.ok());
    EXPECT_EQ(result.picture.size(), QSize(4, 8));
}
