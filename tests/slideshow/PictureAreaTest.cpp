#include "slideshow/PictureArea.h"

#include <gtest/gtest.h>

TEST(PictureArea, FourSizesOnA1024By768Screen)
{
    const QSize screen(1024, 768);
    // Large: 12800 x 9600 twips at (960, 960) twips.
    EXPECT_EQ(PictureArea(ImageSize::Large, screen), QRect(64, 64, 853, 640));
    EXPECT_EQ(PictureArea(ImageSize::FullScreen, screen), QRect(0, 0, 1024, 768));
    // Medium: 10240 x 7680 twips at 15360 / 9 = 1706.67 twips.
    EXPECT_EQ(PictureArea(ImageSize::Medium, screen), QRect(114, 114, 683, 512));
    EXPECT_EQ(PictureArea(ImageSize::Small, screen), QRect(171, 171, 512, 384));
}

TEST(PictureArea, TopOffsetComesFromWidthButNeverPushesAreaOffScreen)
{
    EXPECT_EQ(PictureArea(ImageSize::Small, QSize(1920, 1080)), QRect(320, 320, 960, 540));
    // 5120 x 1440: the width's offset 320 would end the area at 1520; it is pulled up to fit.
    EXPECT_EQ(PictureArea(ImageSize::Large, QSize(5120, 1440)), QRect(320, 240, 4267, 1200));
    EXPECT_EQ(PictureArea(ImageSize::Medium, QSize(5120, 1440)), QRect(569, 480, 3413, 960));
}
