#include "raster/FitPicture.h"
#include "raster/PictureLoader.h"
#include "raster/ReducedPng.h"
#include "raster/Surface.h"

#include "support/ImageDifference.h"
#include "support/TestFiles.h"

#include <QBuffer>
#include <QProcess>
#include <QTemporaryDir>
#include <algorithm>
#include <functional>
#include <gtest/gtest.h>

namespace {

// Four blocks of 8 x 6 pixels, A B over C D, so every turn and mirror is told apart.
const QRgb Blocks[4] = {qRgb(220, 40, 40), qRgb(40, 200, 60), qRgb(30, 60, 210), qRgb(230, 210, 40)};

QImage blockPicture()
{
    QImage image(16, 12, QImage::Format_RGB32);
    for (int k = 0; k < 16 * 12; ++k)
        image.setPixel(k % 16, k / 16, Blocks[(k / 16 / 6) * 2 + k % 16 / 8]);
    return image;
}

// The loaded picture shows the blocks in the order given ("BADC" is mirrored) within the
// tolerance, each block's colour as `colours` holds it; sampled at block centres.
void expectBlocks(const QImage &picture, QSize size, const char *order, const QRgb *colours, int tolerance, const std::string &name)
{
    ASSERT_EQ(picture.size(), size) << name;
    for (int k = 0; k < 4; ++k) {
        const QRgb seen = picture.pixel((k % 2) * size.width() / 2 + size.width() / 4, (k / 2) * size.height() / 2 + size.height() / 4);
        const QRgb wanted = colours[order[k] - 'A'];
        const int off = std::max({std::abs(qRed(seen) - qRed(wanted)), std::abs(qGreen(seen) - qGreen(wanted)), std::abs(qBlue(seen) - qBlue(wanted))});
        EXPECT_LE(off, tolerance) << name << " block " << k << " is " << std::hex << (seen & 0xFFFFFF) << ", not " << (wanted & 0xFFFFFF);
    }
}

using Writer = std::function<bool(const QImage &, const QString &)>;

Writer save(const char *format, QImage::Format pixels)
{
    return [=](const QImage &image, const QString &path) { return image.convertToFormat(pixels).save(path, format, 100); };
}

// Pixels stored as they are, with an EXIF orientation tag (Qt's writer would turn the pixels).
Writer exif(int orientation)
{
    return [=](const QImage &image, const QString &path) {
        QByteArray jpeg;
        QBuffer buffer(&jpeg);
        if (!buffer.open(QIODevice::WriteOnly) || !image.save(&buffer, "jpeg", 95))
            return false;
        // APP1: "Exif", a big-endian TIFF header, one entry: tag 0x0112, one SHORT.
        QByteArray app1 = QByteArray::fromHex("ffe10022457869660000" "4d4d002a00000008" "0001" "011200030000000100000000" "00000000");
        app1[29] = char(orientation);
        return writeFile(path, jpeg.insert(2, app1));
    };
}

// The picture as PNG (a second, black frame after it if asked) given to a tool that writes
// what Qt cannot: CMYK JPEG, GIF animations, HEIC and AVIF.
Writer tool(const char *program, const QStringList &arguments, bool secondFrame = false)
{
    return [=](const QImage &image, const QString &path) {
        const QString first = path + QStringLiteral(".png"), second = path + QStringLiteral(".2.png");
        QImage dark = image;
        dark.fill(Qt::black);
        QProcess process;
        if (image.save(first) && dark.save(second))
            process.start(QLatin1String(program), QStringList{first} + (secondFrame ? QStringList{second} : QStringList()) + arguments + QStringList{path});
        return process.waitForFinished(30000) && process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
    };
}

// The same writer given the picture in grey, or in 16 bits with block A's red at 65407 of
// 65535: 1021 of 1023 in 10 bits, which must come out as 255.
Writer grey(Writer write)
{
    return [=](const QImage &image, const QString &path) { return write(image.convertToFormat(QImage::Format_Grayscale8), path); };
}
Writer deep(Writer write)
{
    return [=](const QImage &image, const QString &path) {
        QImage wide = image.convertToFormat(QImage::Format_RGBX64);
        for (int k = 0; k < 48; ++k)
            wide.setPixelColor(k % 8, k / 8, QColor::fromRgba64(65407, 40 * 257, 40 * 257));
        return write(wide, path);
    };
}

} // namespace

TEST(FitRect, SinglePrecisionGeometry)
{
    EXPECT_EQ(FitRect(400, 300, 1600, 900), QRectF(200, 0, 1200, 900));
    EXPECT_EQ(FitRect(1600, 900, 800, 600), QRectF(0, 75, 800, 450));
    EXPECT_EQ(FitRect(40, 30, 800, 600), QRectF(0, 0, 800, 600));
    EXPECT_EQ(FitRect(16, 9, 1920, 1080), QRectF(0, 0, 1920, 1080));
    // 1/3 is not exact in single precision: the height is w / ratio, not the target's.
    const QRectF third = FitRect(3, 1, 300, 100);
    EXPECT_NEAR(third.height(), 100, 1e-4);
    EXPECT_NEAR(third.y(), 0, 1e-4);
}

// A red picture fitted onto a blue background over earlier green drawing, every pixel compared.
TEST(FitPicture, DrawsCentredOnTheClearedBackgroundAsLargeAsFits)
{
    const auto red = [](int w, int h) { QImage picture(w, h, QImage::Format_RGB32); picture.fill(qRgb(255, 0, 0)); return picture; };
    const struct { const char *name; QImage picture; QSize natural; QString error; std::vector<const char *> rows; } cases[] = {
        {"enlarged between equal side margins", red(4, 3), QSize(4, 3), QString(), {"..####..", "..####..", "..####.."}},
        {"reduced", red(40, 30), QSize(40, 30), QString(), {"..####..", "..####..", "..####.."}},
        {"between equal top and bottom margins", red(4, 3), QSize(4, 3), QString(), {"........", "########", "########", "########", "########", "########", "########", "........"}},
        {"no picture", QImage(), QSize(5, 5), QString(), {"........"}},
        {"no width", QImage(), QSize(0, 5), QString(), {"........"}},
        {"no height stops before clearing", QImage(), QSize(5, 0), QStringLiteral("11 Division by zero"), {"gggggggg"}},
    };
    for (const auto &c : cases) {
        Surface target(8, int(c.rows.size()), RGB(0, 0, 255));
        target.image().fill(qRgb(0, 255, 0));
        EXPECT_EQ(FitPicture(c.picture, c.natural, target), c.error) << c.name;
        EXPECT_EQ(pictureDifference(target.image(), {0, 0}, c.rows, {{'#', qRgb(255, 0, 0)}, {'.', qRgb(0, 0, 255)}, {'g', qRgb(0, 255, 0)}}), QString()) << c.name;
    }
    Surface source; // the surface's own picture at its natural size
    source.adoptPicture(red(4, 3));
    Surface target(8, 3);
    EXPECT_EQ(FitPicture(source, target), QString());
    EXPECT_EQ(pictureDifference(target.image(), {0, 0}, {"..####..", "..####..", "..####.."}, {{'#', qRgb(255, 0, 0)}, {'.', qRgb(0, 0, 0)}}), QString());
}

TEST(FitPicture, HalfTransparentPictureShowsTheBackground)
{
    // Transparent pixels hold green that must not show; half-transparent red over blue.
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("glass.png"));
    QImage glass(40, 30, QImage::Format_ARGB32);
    glass.fill(qRgba(255, 0, 0, 128));
    for (int x = 0; x < 20; ++x)
        glass.setPixel(x, 0, qRgba(0, 255, 0, 0));
    ASSERT_TRUE(glass.save(path, "png"));
    for (const QSize decodeFor : {QSize(), QSize(8, 6)}) { // in full, and reduced while decoding
        const PictureLoadResult loaded = LoadPicture(path, decodeFor);
        Surface target(8, 6, RGB(0, 0, 255));
        EXPECT_EQ(FitPicture(loaded.picture, loaded.naturalSize, target), QString());
        EXPECT_EQ(target.image().pixel(0, 0), qRgb(102, 0, 153)) << decodeFor.width(); // a fifth of the block is clear
        EXPECT_EQ(target.image().pixel(6, 0), qRgb(128, 0, 127)) << decodeFor.width();
        EXPECT_EQ(target.image().pixel(4, 4), qRgb(128, 0, 127)) << decodeFor.width();
    }
}

// Each file is read in full, then for a fit of half its size: JPEG, PNG and HEIF pictures
// are then decoded at half size, the others in full; either way upright.
TEST(PictureLoader, ReadsEveryFormatUpright)
{
    // Grey is what Qt's own grey conversion gives each block.
    QRgb greys[4], deepBlocks[4] = {qRgb(255, 40, 40), Blocks[1], Blocks[2], Blocks[3]};
    for (int k = 0; k < 4; ++k)
        greys[k] = blockPicture().convertToFormat(QImage::Format_Grayscale8).pixel((k % 2) * 8, (k / 2) * 6);
    const struct { const char *name; const char *file; Writer write; const QRgb *colours; const char *order; bool turned; int tolerance; bool reduces; } cases[] = {
        {"16-bit PNG", "p.png", save("png", QImage::Format_RGBX64), Blocks, "ABCD", false, 0, true},
        {"grey PNG", "p.png", save("png", QImage::Format_Grayscale8), greys, "ABCD", false, 0, true},
        {"palette PNG", "p.png", save("png", QImage::Format_Indexed8), Blocks, "ABCD", false, 0, true},
        {"TIFF", "p.tif", save("tiff", QImage::Format_RGB32), Blocks, "ABCD", false, 0, false},
        {"WebP", "p.webp", save("webp", QImage::Format_RGB32), Blocks, "ABCD", false, 0, false},
        {"CMYK JPEG", "p.jpg", tool("convert", {"-colorspace", "CMYK", "-quality", "95"}), Blocks, "ABCD", false, 16, true},
        {"animated GIF, first frame", "p.gif", tool("convert", {"-delay", "10"}, true), Blocks, "ABCD", false, 0, false},
        {"EXIF 1 upright", "p.jpg", exif(1), Blocks, "ABCD", false, 12, true},
        {"EXIF 2 mirrored", "p.jpg", exif(2), Blocks, "BADC", false, 12, true},
        {"EXIF 3 turned 180", "p.jpg", exif(3), Blocks, "DCBA", false, 12, true},
        {"EXIF 4 flipped", "p.jpg", exif(4), Blocks, "CDAB", false, 12, true},
        {"EXIF 5 transposed", "p.jpg", exif(5), Blocks, "ACBD", true, 12, true},
        {"EXIF 6 turned right", "p.jpg", exif(6), Blocks, "CADB", true, 12, true},
        {"EXIF 7 transversed", "p.jpg", exif(7), Blocks, "DBCA", true, 12, true},
        {"EXIF 8 turned left", "p.jpg", exif(8), Blocks, "BDAC", true, 12, true},
        // Lossy coding with subsampled colour: block centres stay within 4 of the source.
        {"HEIC, the first of two pictures", "p.heic", tool("heif-enc", {"-q", "90", "-o"}, true), Blocks, "ABCD", false, 4, true},
        {"AVIF in limited range", "p.avif", tool("avifenc", {"-r", "limited", "-o"}), Blocks, "ABCD", false, 4, true},
        {"grey AVIF in limited range", "p.avif", grey(tool("avifenc", {"-r", "limited", "-y", "400", "-o"})), greys, "ABCD", false, 4, true},
        {"10-bit lossless AVIF turned by its own rotation", "p.avif", deep(tool("avifenc", {"-l", "-d", "10", "--irot", "1", "-o"})), deepBlocks, "BDAC", true, 0, true},
    };
    for (const auto &c : cases) {
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

TEST(PictureLoader, EmptyMissingBrokenAndAbsurdFilesGiveNoPicture)
{
    QTemporaryDir dir;
    QByteArray png;
    QBuffer buffer(&png);
    ASSERT_TRUE(buffer.open(QIODevice::WriteOnly) && blockPicture().save(&buffer, "png"));
    // Qt shows what a cut PNG holds; read row by row for a fit, the cut is found.
    const struct { const char *name; QByteArray content; bool inFull; } cases[] = {
        {"text", "just words, no picture", true},
        {"cut HEIC", QByteArray::fromHex("0000001c6674797068656963000000006d69663168656963") + QByteArray(60, 'x'), true},
        {"absurd size", "P5 30000 30000 255\n" + QByteArray(64, 'x'), true}, // a grey map header of 900 million pixels
        {"cut PNG", png.left(png.size() - 40), false}};
    for (const auto &c : cases) {
        const QString path = dir.filePath(QLatin1String(c.name));
        ASSERT_TRUE(writeFile(path, c.content)) << c.name;
        EXPECT_FALSE(LoadPicture(path, QSize(4, 3)).ok() || (c.inFull && LoadPicture(path).ok())) << c.name;
    }
    for (const QString &path : {QString(), dir.filePath(QStringLiteral("missing.png")), dir.path()})
        EXPECT_FALSE(LoadPicture(path, QSize(4, 3)).ok() || LoadPicture(path).ok()) << path.toStdString();
}

TEST(PictureLoader, PictureOfTwentySevenMillionPixelsIsReducedWhileDecoding)
{
    QTemporaryDir dir;
    const QString path = writePicture(dir.filePath(QStringLiteral("large.png")), qRgb(30, 60, 90), QSize(6000, 4500));
    const PictureLoadResult loaded = LoadPicture(path, QSize(16, 12));
    EXPECT_EQ(loaded.naturalSize, QSize(6000, 4500));
    ASSERT_EQ(loaded.picture.size(), QSize(16, 12));
    EXPECT_EQ(loaded.picture.pixel(15, 11), qRgb(30, 60, 90));
}

TEST(ReducedPng, AveragesEachBlockAndThePartialOnesAtTheEdges)
{
    // Red is 40 x and green 100 y; halved, the last column and row have one pixel each way.
    QTemporaryDir dir;
    QImage picture(5, 3, QImage::Format_RGB32);
    for (int k = 0; k < 15; ++k)
        picture.setPixel(k % 5, k / 5, qRgb(40 * (k % 5), 100 * (k / 5), 0));
    ASSERT_TRUE(picture.save(dir.filePath(QStringLiteral("p.png"))));
    const QImage reduced = ReadReducedPng(dir.filePath(QStringLiteral("p.png")), 2).value_or(QImage());
    ASSERT_EQ(reduced.size(), QSize(3, 2));
    const QRgb pixels[6] = {qRgb(20, 50, 0), qRgb(100, 50, 0), qRgb(160, 50, 0), qRgb(20, 200, 0), qRgb(100, 200, 0), qRgb(160, 200, 0)};
    for (int k = 0; k < 6; ++k)
        EXPECT_EQ(reduced.pixel(k % 3, k / 3), pixels[k]) << k;
}
