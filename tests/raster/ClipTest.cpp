#include "raster/Gdi.h"

#include <gtest/gtest.h>

namespace {

// A scaled copy whose source rectangle reaches past the source draws only the part on the
// source, onto that part's share of the target; the rest of the target keeps its pixels.
TEST(StretchBlt, DrawsOnlyThePartOfTheSourceRectangleOnTheSource)
{
    Surface source(2, 1);
    source.image().setPixel(0, 0, qRgb(10, 0, 0));
    source.image().setPixel(1, 0, qRgb(20, 0, 0));
    // a and b: the source's two pixels; '.': the target's own.
    const struct { const char *name; int x, width, sourceX; const char *pixels; } cases[] = {
        {"left of the source", 0, 8, -2, "....aabb"},
        {"mirrored", 7, -8, -2, "bbaa...."},
        {"right of the source", 0, 8, 1, "bb......"},
        {"wholly outside", 0, 8, 2, "........"}};
    for (const auto &c : cases) {
        Surface target(8, 1, RGB(0, 0, 200));
        StretchBlt(target, c.x, 0, c.width, 1, source, c.sourceX, 0, 4, 1);
        std::string pixels;
        for (int x = 0; x < 8; ++x) {
            const QRgb p = target.image().pixel(x, 0);
            pixels += p == qRgb(10, 0, 0) ? 'a' : p == qRgb(20, 0, 0) ? 'b' : p == qRgb(0, 0, 200) ? '.' : '?';
        }
        EXPECT_EQ(pixels, c.pixels) << c.name;
    }
}

}
