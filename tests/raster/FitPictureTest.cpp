#include "raster/FitPicture.h"
#include "raster/PictureLoader.h"
#include "raster/Surface.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

Surface pictureSurface(int w, int h, QRgb colour)
{
    QImage picture(w, h, QImage::Format_RGB32);
    picture.fill(colour);
    Surface surface;
    surface.adoptPicture(picture);
    return surface;
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

TEST(FitPicture, DrawsCentredOnClearedBackgroundScalingBothWays)
{
    for (const QSize picture : {QSize(4, 3), QSize(40, 30)}) {
        Surface source = pictureSurface(picture.width(), picture.height(), qRgb(255, 0, 0));
        Surface target(16, 9, RGB(0, 0, 255));
        target.image().fill(qRgb(0, 255, 0)); // earlier drawing that the fit must remove
        EXPECT_EQ(FitPicture(source, target), QString());
        // 4:3 into 16:9 is 12 x 9 at (2, 0).
        for (int y = 0; y < 9; ++y)
            for (int x = 0; x < 16; ++x)
                ASSERT_EQ(target.image().pixel(x, y), x >= 2 && x < 14 ? qRgb(255, 0, 0) : qRgb(0, 0, 255)) << x << "," << y;
    }
}

TEST(FitPicture, InvalidPictureIsSilentAndZeroHeightReportsDivisionByZero)
{
    Surface empty(5, 5);
    Surface target(8, 8, RGB(9, 9, 9));
    EXPECT_EQ(FitPicture(empty, target), QString());
    EXPECT_EQ(target.image().pixel(4, 4), qRgb(9, 9, 9));

    Surface flat(5, 0);
    EXPECT_EQ(FitPicture(flat, target), QStringLiteral("11 Division by zero"));
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
