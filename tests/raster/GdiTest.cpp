#include "raster/Gdi.h"

#include "support/ImageDifference.h"

#include <gtest/gtest.h>

namespace {

// A surface whose every pixel tells where it came from: red = x, green = y.
Surface numbered(int w, int h)
{
    Surface s(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            s.image().setPixel(x, y, qRgb(x, y, 0));
    return s;
}

} // namespace

TEST(BitBlt, CopiesExactRectangleAndNothingElse)
{
    Surface source = numbered(10, 10);
    Surface target(10, 10, RGB(0, 0, 200));
    BitBlt(target, 2, 3, 4, 2, source, 5, 6);
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 10; ++x) {
            const bool inside = x >= 2 && x < 6 && y >= 3 && y < 5;
            ASSERT_EQ(target.image().pixel(x, y), inside ? qRgb(x + 3, y + 3, 0) : qRgb(0, 0, 200)) << x << "," << y;
        }
    EXPECT_EQ(target.pendingChange(), QRegion(2, 3, 4, 2));
}

TEST(BitBlt, ClipsToBothSurfacesAndIgnoresEmptyRectangles)
{
    Surface source = numbered(4, 4);
    Surface target(6, 6, RGB(0, 0, 200));
    BitBlt(target, -1, 2, 5, 5, source, 0, -2);
    // Destination x -1 and source y -2 are cut: source (1..3, 0..1) lands at (0..2, 4..5).
    EXPECT_EQ(target.image().pixel(0, 4), qRgb(1, 0, 0));
    EXPECT_EQ(target.image().pixel(2, 5), qRgb(3, 1, 0));
    EXPECT_EQ(target.image().pixel(3, 4), qRgb(0, 0, 200));
    EXPECT_EQ(target.image().pixel(0, 3), qRgb(0, 0, 200));
    Surface untouched(2, 2, RGB(1, 1, 1));
    BitBlt(untouched, 0, 0, 0, 2, source, 0, 0);
    BitBlt(untouched, 0, 0, -2, 2, source, 0, 0);
    BitBlt(untouched, 5, 5, 2, 2, source, 0, 0);
    EXPECT_EQ(untouched.image().pixel(0, 0), qRgb(1, 1, 1));
    EXPECT_TRUE(untouched.pendingChange().isEmpty());
}

TEST(BitBlt, OverlappingCopiesOnOneSurfaceReadTheOriginalRows)
{
    for (const int step : {1, -1}) {
        Surface s = numbered(1, 5);
        BitBlt(s, 0, step > 0 ? 1 : 0, 1, 4, s, 0, step > 0 ? 0 : 1);
        for (int y = step > 0 ? 1 : 0; y < (step > 0 ? 5 : 4); ++y)
            EXPECT_EQ(s.image().pixel(0, y), qRgb(0, y - step, 0)) << step << " " << y;
    }
}

TEST(StretchBlt, NearestDoublesAndNegativeExtentsMirror)
{
    Surface source = numbered(2, 1);
    Surface target(4, 1);
    StretchBlt(target, 0, 0, 4, 1, source, 0, 0, 2, 1);
    for (int x = 0; x < 4; ++x)
        EXPECT_EQ(target.image().pixel(x, 0), qRgb(x / 2, 0, 0)) << x;

    Surface wide = numbered(4, 2);
    Surface mirrored(4, 2);
    // Column 0 of the source lands at x = 3, the column just left of x + |width| = 4.
    StretchBlt(mirrored, 4 - 1, 0, -4, 2, wide, 0, 0, 4, 2);
    for (int x = 0; x < 4; ++x)
        EXPECT_EQ(mirrored.image().pixel(x, 1), qRgb(3 - x, 1, 0)) << x;
    Surface flipped(4, 2);
    StretchBlt(flipped, 0, 1, 4, -2, wide, 0, 0, 4, 2);
    EXPECT_EQ(flipped.image().pixel(2, 0), qRgb(2, 1, 0));
    EXPECT_EQ(flipped.image().pixel(2, 1), qRgb(2, 0, 0));
}

TEST(StretchBlt, HalftoneAveragesWhenShrinking)
{
    Surface source(2, 1);
    source.image().setPixel(1, 0, qRgb(200, 100, 50));
    Surface target(1, 1);
    EXPECT_EQ(SetStretchBltMode(target, StretchMode::Halftone), StretchMode::BlackOnWhite);
    StretchBlt(target, 0, 0, 1, 1, source, 0, 0, 2, 1);
    const QRgb mean = target.image().pixel(0, 0);
    EXPECT_NEAR(qRed(mean), 100, 1);
    EXPECT_NEAR(qGreen(mean), 50, 1);
    EXPECT_NEAR(qBlue(mean), 25, 1);
}

TEST(GetPixel, ReadsColourValueAndInvalidOutside)
{
    Surface s(2, 2, RGB(1, 2, 3));
    EXPECT_EQ(GetPixel(s, 1, 1), 1 + 2 * 256 + 3 * 65536);
    EXPECT_EQ(GetPixel(s, 2, 0), CLR_INVALID);
    EXPECT_EQ(GetPixel(s, 0, -1), CLR_INVALID);
}

TEST(DrawEdge, SunkenAndSunkenInnerRingsPixelExact)
{
    const std::map<char, QRgb> legend{{'S', toQRgb(EdgeShadow)}, {'H', toQRgb(EdgeHighlight)},
                                      {'D', toQRgb(EdgeDarkShadow)}, {'L', toQRgb(EdgeLight)}, {'.', qRgb(7, 7, 7)}};
    Surface s(7, 7, RGB(7, 7, 7));
    DrawEdge(s, QRect(0, 0, 6, 6), Edge::Sunken);
    EXPECT_EQ(pictureDifference(s.image(), {0, 0},
                                {"SSSSSH.", "SDDDLH.", "SD..LH.", "SD..LH.", "SLLLLH.", "HHHHHH.", "......."}, legend),
              QString());
    Surface inner(5, 5, RGB(7, 7, 7));
    DrawEdge(inner, QRect(1, 1, 4, 4), Edge::SunkenInner);
    EXPECT_EQ(pictureDifference(inner.image(), {0, 0}, {".....", ".DDDL", ".D..L", ".D..L", ".LLLL"}, legend), QString());
}

TEST(SetDIBits, BottomUpRowsOfBlueGreenRed)
{
    // 2 x 2, rows padded to 8 bytes; the first row in memory is the bottom row.
    const unsigned char bits[16] = {1, 2, 3, 4, 5, 6, 0, 0, 7, 8, 9, 10, 11, 12, 0, 0};
    Surface s(3, 3);
    SetDIBitsToSurface(s, 1, 1, 2, 2, bits);
    EXPECT_EQ(s.image().pixel(1, 2), qRgb(3, 2, 1));
    EXPECT_EQ(s.image().pixel(2, 2), qRgb(6, 5, 4));
    EXPECT_EQ(s.image().pixel(2, 1), qRgb(12, 11, 10));
    EXPECT_EQ(s.image().pixel(0, 0), qRgb(0, 0, 0));
}
