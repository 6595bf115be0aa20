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
    EXPECT_EQ(surface.image().pixel(1, 0), qRgb(255, 0, 0));
    EXPECT_EQ(surface.image().pixel(2, 0), qRgb(0, 0, 255));
    EXPECT_EQ(surface.image().pixel(2, 1), qRgb(0, 0, 255));
    EXPECT_EQ(surface.picture().size(), QSize(2, 1));

    Surface adopting;
    adopting.adoptPicture(picture); // takes the picture's natural size
    EXPECT_EQ(adopting.size(), QSize(2, 1));
    EXPECT_EQ(adopting.image().pixel(1, 0), qRgb(255, 0, 0));
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
    surface.markChanged(QRect(1, 1, 2, 2));
    surface.markChanged(QRect(-5, -5, 50, 50));
    surface.refresh();
    EXPECT_EQ(presented, (std::vector<QRect>{QRect(2, 2, 3, 3), QRect(8, 8, 2, 2), QRect(0, 0, 10, 10)}));
}

TEST(Surface, ResizeKeepsDrawingAtTopLeftOverTheBackground)
{
    Surface surface(2, 2, RGB(0, 0, 255));
    surface.image().setPixel(0, 0, qRgb(255, 0, 0));
    surface.image().setPixel(1, 1, qRgb(255, 255, 255));
    surface.resize(3, 3);
    EXPECT_EQ(surface.image().pixel(0, 0), qRgb(255, 0, 0));
    EXPECT_EQ(surface.image().pixel(1, 1), qRgb(255, 255, 255));
    EXPECT_EQ(surface.image().pixel(2, 2), qRgb(0, 0, 255));
    surface.resize(1, 2);
    EXPECT_EQ(surface.size(), QSize(1, 2));
    EXPECT_EQ(surface.image().pixel(0, 0), qRgb(255, 0, 0));
}
