#include "raster/PictureLoader.h"

#include <QFile>
#include <QImageWriter>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <functional>
#include <gtest/gtest.h>

namespace {

// Four blocks of 8 x 6 pixels, A B over C D, so every turn and mirror is told apart.
const QRgb Blocks[4] = {qRgb(220, 40, 40), qRgb(40, 200, 60), qRgb(30, 60, 210), qRgb(230, 210, 40)};

QImage blockPicture()
{
    QImage image(16, 12, QImage::Format_RGB32);
    for (int y = 0; y < 12; ++y)
        for (int x = 0; x < 16; ++x)
            image.setPixel(x, y, Blocks[(y / 6) * 2 + x / 8]);
    return image;
}

bool run(const QString &program, const QStringList &arguments)
{
    QProcess process;
    process.start(program, arguments);
    return process.waitForFinished(30000) && process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
}

// The loaded picture shows the blocks in the order given ("BADC" is mirrored) within the
// tolerance, each block's colour as `colours` holds it; sampled at block centres.
void expectBlocks(const QImage &picture, QSize size, const char *order, const QRgb *colours, int tolerance, const std::string &name)
{
    ASSERT_EQ(picture.size(), size) << name;
    for (int k = 0; k < 4; ++k) {
        const QRgb seen = picture.pixel((k % 2) * size.width() / 2 + size.width() / 4, (k / 2) * size.height() / 2 + size.height() / 4);
        const QRgb wanted = colours[order[k] - 'A'];
        EXPECT_NEAR(qRed(seen), qRed(wanted), tolerance) << name << " block " << k;
        EXPECT_NEAR(qGreen(seen), qGreen(wanted), tolerance) << name << " block " << k;
        EXPECT_NEAR(qBlue(seen), qBlue(wanted), tolerance) << name << " block " << k;
    }
}

} // namespace

TEST(PictureLoader, EmptyMissingTextAndBrokenFilesGiveNoPicture)
{
    QTemporaryDir dir;
    const QString text = dir.filePath(QStringLiteral("notes.jpg"));
    QFile file(text);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("just words, no picture");
    file.close();
    const QString png = dir.filePath(QStringLiteral("cut.png"));
    ASSERT_TRUE(blockPicture().save(png, "png"));
    ASSERT_TRUE(QFile::resize(png, QFileInfo(png).size() - 40));
    const QString heic = dir.filePath(QStringLiteral("cut.heic"));
    QFile heif(heic);
    ASSERT_TRUE(heif.open(QIODevice::WriteOnly));
    heif.write(QByteArray::fromHex("0000001c6674797068656963000000006d69663168656963") + QByteArray(60, 'x'));
    heif.close();
    for (const QString &path : {QString(), dir.filePath(QStringLiteral("missing.png")), text, dir.path(), heic}) {
        EXPECT_FALSE(LoadPicture(path).ok()) << path.toStdString();
        EXPECT_FALSE(LoadPicture(path, QSize(4, 3)).ok()) << path.toStdString();
    }
    EXPECT_FALSE(LoadPicture(png, QSize(4, 3)).ok()); // read row by row, the cut is found
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
    EXPECT_FALSE(LoadPicture(path).ok());
}

TEST(PictureLoader, ReadsEveryFormatUpright)
{
    using Writer = std::function<bool(const QImage &, const QString &)>;
    const auto save = [](const char *format, QImage::Format pixels) {
        return Writer([=](const QImage &image, const QString &path) { return image.convertToFormat(pixels).save(path, format, 100); });
    };
    const auto oriented = [](QImageIOHandler::Transformations turn) {
        return Writer([=](const QImage &image, const QString &path) {
            QImageWriter writer(path, "jpeg");
            writer.setQuality(95);
            writer.setTransformation(turn); // written as the EXIF orientation tag
            return writer.write(image);
        });
    };
    // ImageMagick writes what Qt cannot: CMYK JPEG, and GIF animations (here a second, black frame).
    const auto magick = [](QStringList arguments, bool secondFrame) {
        return Writer([=](const QImage &image, const QString &path) {
            QImage dark = image;
            dark.fill(Qt::black);
            const QString first = path + QStringLiteral(".png"), second = path + QStringLiteral(".2.png");
            QStringList all{first};
            if (secondFrame)
                all << second;
            return image.save(first) && dark.save(second) && run(QStringLiteral("convert"), all + arguments + QStringList{path});
        });
    };
    // Grey is what Qt's own grey conversion gives each block.
    QRgb greys[4];
    for (int k = 0; k < 4; ++k)
        greys[k] = blockPicture().convertToFormat(QImage::Format_Grayscale8).pixel((k % 2) * 8, (k / 2) * 6);
    struct Case
    {
        const char *name;
        const char *file;
        Writer write;
        const QRgb *colours;
        const char *order;
        bool turned;
        int tolerance;
        bool reduces; // decoded at half size for a fit of half size
    };
    const Case cases[] = {
        {"16-bit PNG", "p.png", save("png", QImage::Format_RGBX64), Blocks, "ABCD", false, 0, true},
        {"grey PNG", "p.png", save("png", QImage::Format_Grayscale8), greys, "ABCD", false, 0, true},
        {"palette PNG", "p.png", save("png", QImage::Format_Indexed8), Blocks, "ABCD", false, 0, true},
        {"TIFF", "p.tif", save("tiff", QImage::Format_RGB32), Blocks, "ABCD", false, 0, false},
        {"WebP", "p.webp", save("webp", QImage::Format_RGB32), Blocks, "ABCD", false, 0, false},
        {"CMYK JPEG", "p.jpg", magick({"-colorspace", "CMYK", "-quality", "95"}, false), Blocks, "ABCD", false, 16, true},
        {"animated GIF, first frame", "p.gif", magick({"-delay", "10"}, true), Blocks, "ABCD", false, 0, false},
        {"EXIF 1 upright", "p.jpg", oriented(QImageIOHandler::TransformationNone), Blocks, "ABCD", false, 12, true},
        {"EXIF 2 mirrored", "p.jpg", oriented(QImageIOHandler::TransformationMirror), Blocks, "BADC", false, 12, true},
        {"EXIF 3 turned 180", "p.jpg", oriented(QImageIOHandler::TransformationRotate180), Blocks, "DCBA", false, 12, true},
        {"EXIF 4 flipped", "p.jpg", oriented(QImageIOHandler::TransformationFlip), Blocks, "CDAB", false, 12, true},
        {"EXIF 5 transposed", "p.jpg", oriented(QImageIOHandler::TransformationFlipAndRotate90), Blocks, "ACBD", true, 12, true},
        {"EXIF 6 turned right", "p.jpg", oriented(QImageIOHandler::TransformationRotate90), Blocks, "CADB", true, 12, true},
        {"EXIF 7 transversed", "p.jpg", oriented(QImageIOHandler::TransformationMirrorAndRotate90), Blocks, "DBCA", true, 12, true},
        {"EXIF 8 turned left", "p.jpg", oriented(QImageIOHandler::TransformationRotate270), Blocks, "BDAC", true, 12, true},
    };
    for (const Case &c : cases) {
        QTemporaryDir dir;
        const QString path = dir.filePath(QLatin1String(c.file));
        ASSERT_TRUE(c.write(blockPicture(), path)) << c.name;
        const PictureLoadResult result = LoadPicture(path);
        const QSize upright = c.turned ? QSize(12, 16) : QSize(16, 12);
        expectBlocks(result.picture, upright, c.order, c.colours, c.tolerance, c.name);
        EXPECT_EQ(result.picture.format(), QImage::Format_RGB32) << c.name;
        const PictureLoadResult half = LoadPicture(path, upright / 2);
        expectBlocks(half.picture, c.reduces ? upright / 2 : upright, c.order, c.colours, c.tolerance, std::string(c.name) + " for half size");
        EXPECT_EQ(half.naturalSize, upright) << c.name;
    }
}

TEST(PictureLoader, ReadsHeifAndAvifUprightInEightBits)
{
    const QString heifEnc = QStandardPaths::findExecutable(QStringLiteral("heif-enc"));
    const QString avifEnc = QStandardPaths::findExecutable(QStringLiteral("avifenc"));
    if (heifEnc.isEmpty() || avifEnc.isEmpty())
        GTEST_SKIP() << "heif-enc (libheif-examples) or avifenc (libavif-bin) is missing: no HEIC or AVIF file to read";
    QTemporaryDir dir;
    const QString source = dir.filePath(QStringLiteral("p.png"));
    const QString heic = dir.filePath(QStringLiteral("p.heic"));
    const QString avif = dir.filePath(QStringLiteral("p.avif"));
    ASSERT_TRUE(blockPicture().save(source));
    QImage dark = blockPicture();
    dark.fill(Qt::black);
    ASSERT_TRUE(dark.save(dir.filePath(QStringLiteral("dark.png"))));
    // Two pictures in one file: the first written is the primary one.
    ASSERT_TRUE(run(heifEnc, {QStringLiteral("-q"), QStringLiteral("90"), source, dir.filePath(QStringLiteral("dark.png")), QStringLiteral("-o"), heic}));
    // 10 bits, and turned a quarter anticlockwise by the file's own rotation property.
    ASSERT_TRUE(run(avifEnc, {QStringLiteral("-d"), QStringLiteral("10"), QStringLiteral("--irot"), QStringLiteral("1"), source, avif}));
    // Lossy coding with subsampled colour: block centres stay within 4 of the source.
    expectBlocks(LoadPicture(heic).picture, QSize(16, 12), "ABCD", Blocks, 4, "HEIC");
    expectBlocks(LoadPicture(heic, QSize(8, 6)).picture, QSize(8, 6), "ABCD", Blocks, 4, "HEIC reduced while decoding");
    expectBlocks(LoadPicture(avif).picture, QSize(12, 16), "BDAC", Blocks, 4, "AVIF 10-bit turned");
}
