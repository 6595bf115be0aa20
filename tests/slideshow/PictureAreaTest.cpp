#include "slideshow/PictureArea.h"

#include <gtest/gtest.h>

TEST(PictureArea, SizeAndOffsetsFromTheWidthPulledUpOnVeryWideScreens)
{
    const struct { const char *name; ImageSize size; QSize screen; QRect area; } cases[] = {
        {"full screen", ImageSize::FullScreen, {1024, 768}, {0, 0, 1024, 768}},
        {"large: 12800 x 9600 twips at 960 twips", ImageSize::Large, {1024, 768}, {64, 64, 853, 640}},
        {"medium: 10240 x 7680 twips at 15360 / 9 twips", ImageSize::Medium, {1024, 768}, {114, 114, 683, 512}},
        {"small", ImageSize::Small, {1024, 768}, {171, 171, 512, 384}},
        {"small: the top offset comes from the width", ImageSize::Small, {1920, 1080}, {320, 320, 960, 540}},
        {"large: the top offset 320 would end the area at 1520", ImageSize::Large, {5120, 1440}, {320, 240, 4267, 1200}},
        {"medium: pulled up to fit", ImageSize::Medium, {5120, 1440}, {569, 480, 3413, 960}},
    };
    for (const auto &c : cases)
        EXPECT_EQ(PictureArea(c.size, c.screen), c.area) << c.name;
}
