#include "raster/FitPicture.h"
#include "SlideShowFixture.h"

#include <QPainter>
#include <gtest/gtest.h>

namespace {

// A photo-like picture: gradients and edges, so a poor scale would show.
QImage scene(QSize size)
{
    QImage image(size, QImage::Format_RGB32);
    QPainter painter(&image);
    QLinearGradient sky(0, 0, size.width(), size.height());
    sky.setColorAt(0, QColor(20, 60, 160));
    sky.setColorAt(1, QColor(250, 200, 80));
    painter.fillRect(image.rect(), sky);
    painter.setBrush(QColor(30, 120, 40));
    painter.drawEllipse(QRect(size.width() / 5, size.height() / 3, size.width() / 2, size.height() / 2));
    return image;
}

double meanDifference(const QImage &a, const QImage &b)
{
    double total = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
            total += std::abs(qRed(p) - qRed(q)) + std::abs(qGreen(p) - qGreen(q)) + std::abs(qBlue(p) - qBlue(q));
        }
    return total / (3.0 * a.width() * a.height());
}

} // namespace

TEST(SlidePreloader, DecodesLargeJpegAndPngSmallerWithNaturalGeometryAndSameLook)
{
    for (const char *format : {"jpeg", "png"}) { // JPEG by its DCT scaling, PNG averaged row by row
        ShowFolder folder;
        const QString path = folder.dir.filePath(QStringLiteral("photo.") + QLatin1String(format));
        ASSERT_TRUE(scene(QSize(2400, 1600)).save(path, format, 92));
        const QSize area(500, 400);
        const PictureLoadResult reduced = LoadPicture(path, area);
        ASSERT_TRUE(reduced.ok()) << format;
        EXPECT_EQ(reduced.naturalSize, QSize(2400, 1600)) << format;
        EXPECT_EQ(reduced.picture.size(), QSize(600, 400)) << format; // a quarter, still covering the 500 x 333 fit

        const PreparedSlide slide = PrepareSlide(path, area, RGB(0, 0, 255));
        EXPECT_EQ(slide.fitted.picture.size(), QSize(500, 334)) << format; // rows 33 to 366: equal margins of 33
        // The frame is the whole area as the fit draws it: margins in the background colour.
        ASSERT_EQ(slide.frame.size(), area);
        EXPECT_EQ(slide.frame.pixel(250, 32), qRgb(0, 0, 255));
        EXPECT_EQ(slide.frame.pixel(250, 367), qRgb(0, 0, 255));
        EXPECT_EQ(slide.frame.pixel(250, 33), slide.fitted.picture.pixel(250, 0));
        EXPECT_EQ(slide.frame.pixel(499, 366), slide.fitted.picture.pixel(499, 333));
        const PictureLoadResult full = LoadPicture(path);
        const QImage reference = FittedPicture(full.picture, full.naturalSize, area);
        EXPECT_LE(meanDifference(slide.fitted.picture, reference), 2.0) << format;
    }
}

TEST(SlidePreloader, FileDeletedOrChangedAfterPreparingIsTreatedAsAtTheTick)
{
    ShowFolder folder;
    const QString red = folder.picture("a.png", qRgb(255, 0, 0));
    SlidePreloader preloader;
    preloader.prepare(red, QSize(40, 30));
    ASSERT_TRUE(QFile::remove(red));
    EXPECT_FALSE(preloader.take(red, QSize(40, 30)).fitted.ok());

    const QString changing = folder.picture("b.png", qRgb(255, 0, 0));
    preloader.prepare(changing, QSize(40, 30));
    QImage blue(50, 30, QImage::Format_RGB32);
    blue.fill(qRgb(0, 0, 255));
    ASSERT_TRUE(blue.save(changing, "png"));
    const PreparedSlide slide = preloader.take(changing, QSize(40, 30));
    ASSERT_TRUE(slide.fitted.ok());
    EXPECT_EQ(slide.fitted.naturalSize, QSize(50, 30));
    EXPECT_EQ(slide.fitted.picture.pixel(0, 0), qRgb(0, 0, 255));

    // A request for another path than the prepared one is loaded there and then.
    preloader.prepare(changing, QSize(40, 30));
    const QString other = folder.picture("c.png", qRgb(0, 255, 0));
    EXPECT_EQ(preloader.take(other, QSize(40, 30)).fitted.picture.pixel(0, 0), qRgb(0, 255, 0));
}

TEST(SlideShow, DeletedNextSlideIsSkippedNotShownFromStaleCopy)
{
    ShowFolder folder;
    const QString green = folder.picture("b.png", qRgb(0, 255, 0));
    auto settings = folder.settings({folder.picture("a.png", qRgb(255, 0, 0)), green, folder.picture("c.png", qRgb(0, 0, 255))});
    ShowRig rig(*settings);
    rig.show.Load(QSize(80, 60));
    rig.show.SwitchPic(); // prepares b.png for the next tick
    ASSERT_TRUE(QFile::remove(green));
    rig.show.SwitchPic(); // the deleted entry gives its tick to the next
    EXPECT_EQ(rig.show.NewPic.image().pixel(40, 30), qRgb(0, 0, 255));
}
