#include "raster/Surface.h"

#include <gtest/gtest.h>

TEST(Surface, SizeInPixelsAndTwipsAndBackground)
{
    Surface surface(4, 3, RGB(10, 20, 30));
    EXPECT_EQ(surface.widthTwips(), 60);
    EXPECT_EQ(surface.heightTwips(), 45);
    EXPECT_EQ(surface.image().pixel(3, 2), qRgb(10, 20, 30));
    EXPECT_TRUE(surface.picture().isNull());
}

TEST(Surface, ClearShowsStoredPictureOverBackgroundAndDiscardsDrawing)
{
    Surface surface(3, 2, RGB(0, 0, 255));
    QImage picture(2, 1, QImage::Format_RGB32);
    picture.fill(qRgb(255, 0, 0));
    surface.setPicture(picture);
    surface.image().setPixel(2, 1, qRgb(1, 2, 3));
    surface.clear();
    EXPECT_EQ(surface.image().pixel(0, 0), qRgb(255, 0, 0));
    EXPECT_EQ(surface.image().pixel(1, 0), qRgb(255, 0, 0));
    EXPECT_EQ(surface.image().pixel(2, 0), qRgb(0, 0, 255));
    EXPECT_EQ(surface.image().pixel(2, 1), qRgb(0, 0, 255));
    // The drawn image is a picture of its own, not the stored one.
    EXPECT_EQ(surface.drawnImage().size(), QSize(3, 2));
    EXPECT_EQ(surface.picture().size(), QSize(2, 1));
}

TEST(Surface, AdoptPictureTakesNaturalSize)
{
    Surface surface;
    QImage picture(5, 7, QImage::Format_RGB32);
    picture.fill(qRgb(9, 9, 9));
    surface.adoptPicture(picture);
    EXPECT_EQ(surface.size(), QSize(5, 7));
    EXPECT_EQ(surface.image().pixel(4, 6), qRgb(9, 9, 9));
}

TEST(Surface, RefreshPresentsOnlyWhatChangedOnce)
{
    Surface surface(10, 10);
    std::vector<QRect> presented;
    surface.setPresenter([&](const QRect &r) { presented.push_back(r); });
    surface.markChanged(QRect(2, 2, 3, 3));
    surface.markChanged(QRect(8, 8, 5, 5));
    surface.refresh();
    surface.refresh();
    ASSERT_EQ(presented.size(), 2u);
    EXPECT_EQ(presented[0], QRect(2, 2, 3, 3));
    EXPECT_EQ(presented[1], QRect(8, 8, 2, 2));
    surface.markChanged(QRect(1, 1, 2, 2));
    surface.markChanged(QRect(-5, -5, 50, 50));
    surface.refresh();
    ASSERT_EQ(presented.size(), 3u);
    EXPECT_EQ(presented[2], QRect(0, 0, 10, 10));
}

TEST(Surface, ResizeKeepsDrawingAtTopLeft)
{
    Surface surface(2, 2, RGB(0, 0, 0));
    surface.image().setPixel(1, 1, qRgb(255, 255, 255));
    surface.resize(3, 1);
    EXPECT_EQ(surface.size(), QSize(3, 1));
    EXPECT_EQ(surface.image().pixel(1, 0), qRgb(0, 0, 0));
    surface.resize(3, 3);
    EXPECT_EQ(surface.image().pixel(2, 2), qRgb(0, 0, 0));
}
