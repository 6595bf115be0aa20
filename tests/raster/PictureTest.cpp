#include "raster/FitPicture.h"
#include "raster/HeifGrid.h"
#include "raster/PictureLoader.h"
#include "raster/ReducedPng.h"
#include "raster/Surface.h"

#include "support/ImageDifference.h"
#include "support/ResidentMemory.h"
#include "support/TestFiles.h"

#include <QFile>
#include <QtEndian>
#include <QProcess>
#include <QTemporaryDir>
#include <functional>
#include <malloc.h>
#include <thread>
#include <gtest/gtest.h>

// Four blocks of 8 x 6 pixels, A B over C D, so every turn and mirror is told apart. In the deep
// picture block A's red is 65407 of 65535: 1021 of 1023 in 10 bits, which must come out as 255.
static const QRgb Blocks[4] = {qRgb(220, 40, 40), qRgb(40, 200, 60), qRgb(30, 60, 210), qRgb(230, 210, 40)};
static const QRgb Greys[4] = {qRgb(116, 116, 116), qRgb(174, 174, 174), qRgb(77, 77, 77), qRgb(209, 209, 209)};
static const QRgb Deep[4] = {qRgb(255, 40, 40), Blocks[1], Blocks[2], Blocks[3]};

static QImage blockPicture(QImage::Format format = QImage::Format_RGB32, bool deep = false)
{
    QImage image(16, 12, QImage::Format_RGBX64);
    for (int k = 0; k < 16 * 12; ++k)
        image.setPixelColor(k % 16, k / 16, deep && k % 16 < 8 && k < 96 ? QColor::fromRgba64(65407, 40 * 257, 40 * 257) : QColor(Blocks[k / 96 * 2 + k % 16 / 8]));
    return image.convertToFormat(format);
}

// The picture is in RGB32 and shows the blocks in the order given ("BADC" is mirrored), each
// within the tolerance of its colour in `colours`; sampled at block centres.
static void expectBlocks(const QImage &picture, QSize size, const char *order, const QRgb *colours, int tolerance, const std::string &name)
{
    EXPECT_EQ(std::pair(picture.size(), picture.format()), std::pair(size, QImage::Format_RGB32)) << name;
    for (int k = 0; k < 4; ++k) {
        const QRgb seen = picture.pixel((k % 2) * size.width() / 2 + size.width() / 4, (k / 2) * size.height() / 2 + size.height() / 4), wanted = colours[order[k] - 'A'];
        EXPECT_LE(colourDistance(seen, wanted), tolerance) << name << " block " << k << " is " << std::hex << seen << ", not " << wanted;
    }
}

using Writer = std::function<bool(const QImage &, const QString &)>;

// JPEG pixels stored as they are, with an EXIF orientation tag (Qt's writer would turn the pixels):
// APP1 "Exif", a big-endian TIFF header, one entry: tag 0x0112, one SHORT.
static Writer exif(int orientation)
{
    return [=](const QImage &image, const QString &path) {
        QByteArray app1 = QByteArray::fromHex("ffe10022457869660000" "4d4d002a00000008" "0001" "011200030000000100000000" "00000000");
        app1[29] = char(orientation);
        return image.save(path, "jpeg", 95) && writeFile(path, readFile(path).insert(2, app1));
    };
}

// The picture as PNG (the same turned half round after it, if asked) given to a tool that
// writes what Qt cannot: CMYK JPEG, GIF animations, HEIC and AVIF.
static Writer tool(const char *program, const QStringList &arguments, bool secondFrame = false)
{
    return [=](const QImage &image, const QString &path) {
        QProcess process;
        if (image.save(path + ".png") && image.mirrored(true, true).save(path + ".2.png"))
            process.start(program, QStringList{path + ".png"} + (secondFrame ? QStringList{path + ".2.png"} : QStringList()) + arguments + QStringList{path});
        return process.waitForFinished(30000) && process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
    };
}

// The writer's file with one of its boxes renamed to one that every reader skips.
static Writer withoutBox(Writer write, const char *type, bool last = false)
{
    return [=](const QImage &image, const QString &path) {
        QByteArray file = write(image, path) ? readFile(path) : QByteArray();
        const qsizetype at = last ? file.lastIndexOf(type) : file.indexOf(type);
        return at >= 0 && writeFile(path, file.replace(at, 4, "free"));
    };
}

// The fit in single precision, then pictures fitted onto a blue background over earlier green
// drawing, every pixel compared. The glass is half-transparent red, the first half of its top
// row clear green that must not show: in full and reduced while decoding, a fifth of the top
// left blocks is clear.
TEST(FitPicture, DrawsCentredOnTheClearedBackgroundAsLargeAsFits)
{
    for (const auto &[from, into, fit] : {std::tuple(QSizeF(400, 300), QSizeF(1600, 900), QRectF(200, 0, 1200, 900)), {QSizeF(1600, 900), QSizeF(800, 600), QRectF(0, 75, 800, 450)},
                                          {QSizeF(40, 30), QSizeF(800, 600), QRectF(0, 0, 800, 600)}, {QSizeF(16, 9), QSizeF(1920, 1080), QRectF(0, 0, 1920, 1080)}})
        EXPECT_EQ(FitRect(float(from.width()), float(from.height()), float(into.width()), float(into.height())), fit);
    QTemporaryDir dir;
    QImage red(4, 3, QImage::Format_RGB32), glass(40, 30, QImage::Format_ARGB32);
    red.fill(qRgb(255, 0, 0));
    glass.fill(qRgba(255, 0, 0, 128));
    std::fill_n(reinterpret_cast<QRgb *>(glass.scanLine(0)), 20, qRgba(0, 255, 0, 0));
    ASSERT_TRUE(glass.save(dir.filePath("glass.png")));
    const PictureLoadResult full = LoadPicture(dir.filePath("glass.png")), reduced = LoadPicture(dir.filePath("glass.png"), QSize(8, 6));
    const std::vector<const char *> glassRows = {"ppppqqqq", "qqqqqqqq", "qqqqqqqq", "qqqqqqqq", "qqqqqqqq", "qqqqqqqq"};
    const struct { const char *name; QImage picture; QSize natural; QString error; std::vector<const char *> rows; } cases[] = {
        {"enlarged between equal side margins", red, QSize(4, 3), QString(), {"..####..", "..####..", "..####.."}},
        {"reduced", red.scaled(40, 30), QSize(40, 30), QString(), {"..####..", "..####..", "..####.."}},
        {"between equal top and bottom margins", red, QSize(4, 3), QString(), {"........", "########", "########", "########", "########", "########", "########", "........"}},
        {"half-transparent", full.picture, full.naturalSize, QString(), glassRows},
        {"half-transparent, reduced while decoding", reduced.picture, reduced.naturalSize, QString(), glassRows},
        {"no picture", QImage(), QSize(5, 5), QString(), {"........"}},
        {"no width", QImage(), QSize(0, 5), QString(), {"........"}},
        {"no height stops before clearing", QImage(), QSize(5, 0), QStringLiteral("11 Division by zero"), {"gggggggg"}},
    };
    const std::map<char, QRgb> legend{{'#', qRgb(255, 0, 0)}, {'.', qRgb(0, 0, 255)}, {'g', qRgb(0, 255, 0)}, {'p', qRgb(102, 0, 153)}, {'q', qRgb(128, 0, 127)}};
    for (const auto &c : cases) {
        Surface target(8, int(c.rows.size()), RGB(0, 0, 255));
        target.image().fill(qRgb(0, 255, 0));
        EXPECT_EQ(FitPicture(c.picture, c.natural, target), c.error) << c.name;
        EXPECT_EQ(pictureDifference(target.image(), {0, 0}, c.rows, legend), QString()) << c.name;
    }
}

// Each file is read in full, then for a fit of half its size: JPEG, PNG and HEIF pictures
// are then decoded at half size, the others in full; either way upright. heif-enc stores even
// a small picture as a grid of one tile that overhangs it.
TEST(PictureLoader, ReadsEveryFormatUpright)
{
    const auto save = [](const char *format) -> Writer { return [=](const QImage &image, const QString &path) { return image.save(path, format, 100); }; };
    const QImage blocks = blockPicture(), grey = blockPicture(QImage::Format_Grayscale8), deep = blockPicture(QImage::Format_RGBX64, true);
    const struct { const char *name; const char *file; QImage picture; Writer write; const QRgb *colours; const char *order; bool turned; int tolerance; bool reduces; } cases[] = {
        {"16-bit PNG", "p.png", blockPicture(QImage::Format_RGBX64), save("png"), Blocks, "ABCD", false, 0, true},
        {"grey PNG", "p.png", grey, save("png"), Greys, "ABCD", false, 0, true},
        {"palette PNG", "p.png", blockPicture(QImage::Format_Indexed8), save("png"), Blocks, "ABCD", false, 0, true},
        {"TIFF", "p.tif", blocks, save("tiff"), Blocks, "ABCD", false, 0, false},
        {"WebP", "p.webp", blocks, save("webp"), Blocks, "ABCD", false, 0, false},
        {"CMYK JPEG", "p.jpg", blocks, tool("convert", {"-colorspace", "CMYK", "-quality", "95"}), Blocks, "ABCD", false, 16, true},
        {"animated GIF, first frame", "p.gif", blocks, tool("convert", {"-delay", "10"}, true), Blocks, "ABCD", false, 0, false},
        {"EXIF 2 mirrored", "p.jpg", blocks, exif(2), Blocks, "BADC", false, 12, true},
        {"EXIF 3 turned 180", "p.jpg", blocks, exif(3), Blocks, "DCBA", false, 12, true},
        {"EXIF 4 flipped", "p.jpg", blocks, exif(4), Blocks, "CDAB", false, 12, true},
        {"EXIF 5 transposed", "p.jpg", blocks, exif(5), Blocks, "ACBD", true, 12, true},
        {"EXIF 6 turned right", "p.jpg", blocks, exif(6), Blocks, "CADB", true, 12, true},
        {"EXIF 7 transversed", "p.jpg", blocks, exif(7), Blocks, "DBCA", true, 12, true},
        {"EXIF 8 turned left", "p.jpg", blocks, exif(8), Blocks, "BDAC", true, 12, true},
        // Lossy coding with subsampled colour: block centres stay within 4 of the source.
        {"HEIC, the first of two pictures", "p.heic", blocks, tool("heif-enc", {"-q", "90", "-o"}, true), Blocks, "ABCD", false, 4, true},
        {"10-bit HEIC", "p.heic", deep, tool("heif-enc", {"-q", "90", "-b", "10", "-o"}), Deep, "ABCD", false, 4, true},
        {"AVIF in limited range", "p.avif", blocks, tool("avifenc", {"-r", "limited", "-o"}), Blocks, "ABCD", false, 4, true},
        {"4:2:0 AVIF in limited range, said by its stream alone", "p.avif", blocks, withoutBox(tool("avifenc", {"-r", "limited", "-y", "420", "-o"}), "colr"), Blocks, "ABCD", false, 4, true},
        {"grey AVIF in limited range", "p.avif", grey, tool("avifenc", {"-r", "limited", "-y", "400", "-o"}), Greys, "ABCD", false, 4, true},
        {"10-bit lossless AVIF, its own rotation", "p.avif", deep, tool("avifenc", {"-l", "-d", "10", "--irot", "1", "-o"}), Deep, "BDAC", true, 0, true},
        {"12-bit AVIF in tiles, mirrored, which libheif itself cannot mirror", "p.avif", deep.scaled(256, 128), tool("avifenc", {"--grid", "2x2", "-d", "12", "--imir", "1", "-o"}), Deep, "BADC", false, 4, true},
        {"AVIF in 2 x 2 tiles of one block each, turned left then flipped", "p.avif", blocks.scaled(256, 128), tool("avifenc", {"--grid", "2x2", "--irot", "1", "--imir", "0", "-o"}), Blocks, "ACBD", true, 4, true},
        {"the same in tiles of no declared size, which libheif decodes one by one", "p.avif", blocks.scaled(256, 128), withoutBox(tool("avifenc", {"--grid", "2x2", "--irot", "1", "--imir", "0", "-o"}), "ispe", true), Blocks, "ACBD", true, 4, true},
    };
    for (const auto &c : cases) {
        QTemporaryDir dir;
        const QString path = dir.filePath(c.file);
        ASSERT_TRUE(c.write(c.picture, path)) << c.name;
        const QSize upright = c.turned ? c.picture.size().transposed() : c.picture.size();
        const PictureLoadResult result = LoadPicture(path), half = LoadPicture(path, upright / 2);
        expectBlocks(result.picture, upright, c.order, c.colours, c.tolerance, c.name);
        expectBlocks(half.picture, c.reduces ? upright / 2 : upright, c.order, c.colours, c.tolerance, std::string(c.name) + " for half size");
        EXPECT_EQ(half.naturalSize, upright) << c.name;
    }
}

// Before a coded picture is decoded, its configuration tells what its decode holds: its planes,
// two and a half bytes a pixel more, and where libheif decodes it, libheif's conversion into
// full planes. A 50 MP HEIC in 8 bits as heif-enc writes it, or a grey AVIF, which the program
// decodes itself, is decoded; one in 10 bits, an AVIF in full colour, grey tiles that libheif
// converts, or the largest single HEIC the program accepts would take the show past 400 MB.
TEST(HeifGrid, KnowsWhatEachCodedPictureTakesBeforeItIsDecoded)
{
    const QImage blocks = blockPicture().scaled(256, 128), deep = blockPicture(QImage::Format_RGBX64, true).scaled(256, 128);
    const struct { const char *name; const char *file; QImage picture; Writer write; size_t tiles; double bytesPerPixel; bool fitsAt50Mp; } cases[] = {
        {"HEIC", "p.heic", blocks, tool("heif-enc", {"-o"}), 1, 4, true},
        {"10-bit HEIC", "p.heic", deep, tool("heif-enc", {"-b", "10", "-o"}), 1, 5.5, false},
        {"grey AVIF", "p.avif", blocks, tool("avifenc", {"-y", "400", "-o"}), 1, 3.5, true},
        {"AVIF in full colour", "p.avif", blocks, tool("avifenc", {"-y", "444", "-o"}), 1, 5.5, false},
        {"10-bit AVIF", "p.avif", blocks, tool("avifenc", {"-y", "420", "-d", "10", "-o"}), 1, 5.5, false},
        {"12-bit AVIF in 4:2:2 tiles", "p.avif", blocks, tool("avifenc", {"--grid", "2x2", "-y", "422", "-d", "12", "-o"}), 4, 6.5, false},
        // avifenc gives the tiles one `ispe`, after the grid's own.
        {"grey AVIF in tiles of no declared size, which libheif decodes and converts", "p.avif", blocks, withoutBox(tool("avifenc", {"--grid", "2x2", "-y", "400", "-o"}), "ispe", true), 4, 4.5, false},
    };
    for (const auto &c : cases) {
        QTemporaryDir dir;
        QFile file(dir.filePath(c.file));
        ASSERT_TRUE(c.write(c.picture, file.fileName()) && file.open(QIODevice::ReadOnly)) << c.name;
        EXPECT_EQ(ReadHeifGrid(&file, 0).value_or(HeifGrid()).tileDecodeBytesPerPixel, std::vector<double>(c.tiles, c.bytesPerPixel)) << c.name;
        EXPECT_EQ(DecodeFitsBudget(QSize(8660, 5773), c.bytesPerPixel), c.fitsAt50Mp) << c.name;
    }
    EXPECT_FALSE(DecodeFitsBudget(QSize(14000, 14000), 4));
}

// A tile's own nclx `colr` describes its samples. heif-enc codes (40, 200, 60) as BT.601 and
// writes no `colr`; with one added that says full-range BT.709, the same samples are
// (27, 176, 56) by that matrix, as libheif's heif-convert also shows them.
TEST(HeifGrid, ReadsATileByItsOwnColourProfile)
{
    QTemporaryDir dir;
    QImage flat(64, 48, QImage::Format_RGB32);
    flat.fill(qRgb(40, 200, 60));
    ASSERT_TRUE(tool("heif-enc", {"-q", "95", "-o"})(flat, dir.filePath("flat.heic")));
    QByteArray file = readFile(dir.filePath("flat.heic"));
    const auto number = [&](qsizetype at) { return qFromBigEndian<quint32>(file.constData() + at); };
    const auto grow = [&](const char *box, quint32 by) { qToBigEndian(number(file.indexOf(box) - 4) + by, file.data() + file.indexOf(box) - 4); };
    // heif-enc lists the tile first, its data's base offset first in a version 1 `iloc`.
    const qsizetype properties = file.indexOf("ipco") - 4, map = file.indexOf("ipma") - 4, locations = file.indexOf("iloc") - 4;
    ASSERT_EQ(file.mid(locations + 8, 8).toHex(), "0100000044400002");
    int count = 0;
    for (qsizetype at = properties + 8; at < properties + qsizetype(number(properties)); at += number(at))
        ++count;
    file.insert(map + 19 + file[map + 18], char(count + 1));
    ++file[map + 18];
    file.insert(properties + qsizetype(number(properties)), QByteArray::fromHex("00000013636f6c726e636c78000100" "0d000180"));
    for (const auto &[box, by] : {std::pair{"ipco", 19u}, {"ipma", 1u}, {"iprp", 20u}, {"meta", 20u}})
        grow(box, by);
    qToBigEndian(number(locations + 22) + 20, file.data() + locations + 22);
    ASSERT_TRUE(writeFile(dir.filePath("colr.heic"), file));
    const PictureLoadResult loaded = LoadPicture(dir.filePath("colr.heic"));
    ASSERT_TRUE(loaded.ok());
    EXPECT_LE(colourDistance(loaded.picture.pixel(32, 24), qRgb(27, 176, 56)), 2);
}

// Qt shows what a cut PNG holds; read row by row for a fit, the cut is found. A picture of 27
// million pixels is far from absurd: it is reduced while it is decoded. A small AVIF with alpha
// that declares 12000 x 12000, within the 200 MP limit, is refused by its declared size before
// libheif decodes it: a picture that large with alpha would take the show past 400 MB. A HEIC
// or an AVIF whose stream is far larger than its declared 16 x 12 is refused before its planes
// exist.
TEST(PictureLoader, RefusesBrokenAbsurdAndMissingFilesAndReducesLargeOnes)
{
    QTemporaryDir dir;
    const QByteArray png = readFile(writePicture(dir.filePath("p.png"), qRgb(30, 60, 90)));
    QImage glass(16, 12, QImage::Format_ARGB32);
    glass.fill(qRgba(255, 0, 0, 128));
    ASSERT_TRUE(tool("avifenc", {"-o"})(glass, dir.filePath("glass.avif")));
    QByteArray declaredHuge = readFile(dir.filePath("glass.avif"));
    for (qsizetype at = declaredHuge.indexOf("ispe"); at >= 0; at = declaredHuge.indexOf("ispe", at + 4))
        declaredHuge.replace(at + 8, 8, QByteArray::fromHex("00002ee000002ee0"));
    QImage wide(256, 128, QImage::Format_RGB32);
    wide.fill(qRgb(30, 60, 90));
    ASSERT_TRUE(tool("heif-enc", {"-o"})(wide, dir.filePath("wide.heic")) && tool("avifenc", {"-o"})(wide, dir.filePath("wide.avif")));
    const auto declaredSmall = [&](const char *file) {
        QByteArray data = readFile(dir.filePath(file));
        return data.replace(data.indexOf("ispe") + 8, 8, QByteArray::fromHex("000000100000000c"));
    };
    const struct { const char *name; QByteArray content; bool inFull; } cases[] = {
        {"text", "just words, no picture", true},
        {"cut HEIC", QByteArray::fromHex("0000001c6674797068656963000000006d69663168656963") + QByteArray(60, 'x'), true},
        {"absurd size", "P5 30000 30000 255\n" + QByteArray(64, 'x'), true}, // a grey map header of 900 million pixels
        {"AVIF with alpha, declared huge", declaredHuge, true},
        {"HEIC whose stream is larger than it declares", declaredSmall("wide.heic"), true},
        {"AVIF whose stream is larger than it declares", declaredSmall("wide.avif"), true},
        {"cut PNG", png.left(png.size() - 40), false}};
    for (const auto &c : cases) {
        ASSERT_TRUE(writeFile(dir.filePath(c.name), c.content)) << c.name;
        EXPECT_FALSE(LoadPicture(dir.filePath(c.name), QSize(4, 3)).ok() || (c.inFull && LoadPicture(dir.filePath(c.name)).ok())) << c.name;
    }
    for (const char *file : {"wide.heic", "wide.avif"})
        EXPECT_TRUE(LoadPicture(dir.filePath(file), QSize(16, 12)).ok()) << file << " as it was written";
    for (const QString &path : {QString(), dir.filePath("missing.png"), dir.path()})
        EXPECT_FALSE(LoadPicture(path, QSize(4, 3)).ok() || LoadPicture(path).ok()) << path.toStdString();
    const PictureLoadResult large = LoadPicture(writePicture(dir.filePath("large.png"), qRgb(30, 60, 90), QSize(6000, 4500)), QSize(16, 12));
    EXPECT_EQ(std::pair(large.naturalSize, large.picture.size()), std::pair(QSize(6000, 4500), QSize(16, 12)));
    EXPECT_EQ(large.picture.pixel(15, 11), qRgb(30, 60, 90));
}

// A decode's thread frees its blocks into the heap that the rest of the program reuses.
TEST(PictureLoader, WorkerThreadsShareOneHeap)
{
    std::thread([] { std::free(std::malloc(1000)); }).join();
    char report[1 << 16] = {};
    FILE *out = fmemopen(report, sizeof report - 1, "w");
    malloc_info(0, out);
    std::fclose(out);
    EXPECT_EQ(QByteArray(report).count("<heap nr="), 1);
}

// Once a block of 31 MB has been freed the heap, left to itself, would keep one of 27 MB when
// freed; a picture's block goes back to the system at once.
TEST(PictureLoader, AFreedPictureGivesItsMemoryBack)
{
    if (!systemHeapInUse)
        GTEST_SKIP() << "blocks come from AddressSanitizer's allocator";
    QImage(2800, 2800, QImage::Format_RGB32).fill(0);
    const double before = residentMb();
    QImage second(2600, 2600, QImage::Format_RGB32);
    second.fill(0);
    const double held = residentMb();
    second = QImage();
    EXPECT_GT(held - before, 20);
    EXPECT_LT(residentMb() - before, 2);
}

// Red is 40 x and green 100 y; halved, the last column and row have one pixel each way.
TEST(ReducedPng, AveragesEachBlockAndThePartialOnesAtTheEdges)
{
    QTemporaryDir dir;
    QImage picture(5, 3, QImage::Format_RGB32);
    for (int k = 0; k < 15; ++k)
        picture.setPixel(k % 5, k / 5, qRgb(40 * (k % 5), 100 * (k / 5), 0));
    ASSERT_TRUE(picture.save(dir.filePath("p.png")));
    const QImage reduced = ReadReducedPng(dir.filePath("p.png"), 2).value_or(QImage());
    ASSERT_EQ(reduced.size(), QSize(3, 2));
    EXPECT_EQ(pictureDifference(reduced, {0, 0}, {"abc", "def"}, {{'a', qRgb(20, 50, 0)}, {'b', qRgb(100, 50, 0)}, {'c', qRgb(160, 50, 0)},
                                                               {'d', qRgb(20, 200, 0)}, {'e', qRgb(100, 200, 0)}, {'f', qRgb(160, 200, 0)}}), QString());
}
