#include "raster/Gdi.h"
#include "raster/Pen.h"

#include "support/ImageDifference.h"

#include <cmath>
#include <cstring>
#include <numeric>
#include <gtest/gtest.h>

// Each case draws on a black surface as large as its picture; every pixel is compared, and
// the area to present again is the one given. Pens draw in red and fill in green.
TEST(Drawing, EveryPixelOfEachFigure)
{
    // 'a' to 'h' are the pixels of a 4 x 2 source, "abcd" over "efgh"; S, H, D and L the edge colours.
    std::map<char, QRgb> legend{{'.', qRgb(0, 0, 0)}, {'#', qRgb(255, 0, 0)}, {'+', qRgb(0, 255, 0)}, {'*', qRgb(255, 255, 255)}, {'m', qRgb(16, 17, 18)},
                                {'S', qRgb(160, 160, 160)}, {'H', qRgb(255, 255, 255)}, {'D', qRgb(105, 105, 105)}, {'L', qRgb(227, 227, 227)}};
    Surface source(4, 2);
    for (int k = 0; k < 8; ++k)
        source.image().setPixel(k % 4, k / 4, legend[char('a' + k)] = qRgb(10 * k + 11, 10 * k + 12, 10 * k + 13));
    // 2 x 2 bits, rows padded to 8 bytes, blue-green-red, the bottom row ("ef") first.
    const unsigned char bits[16] = {53, 52, 51, 63, 62, 61, 0, 0, 13, 12, 11, 23, 22, 21, 0, 0};
    const struct { const char *name; std::function<void(Surface &, Pen &)> draw; std::vector<const char *> picture; QRect changed; } cases[] = {
        {"copy of an exact rectangle", [&](Surface &t, Pen &) { BitBlt(t, 1, 1, 3, 1, source, 1, 0); }, {"......", ".bcd..", "......"}, QRect(1, 1, 3, 1)},
        {"copy cut by both surfaces", [&](Surface &t, Pen &) { BitBlt(t, -1, 1, 5, 5, source, 0, -1); }, {".....", ".....", "bcd..", "fgh.."}, QRect(0, 2, 3, 2)},
        {"empty and outside copies", [&](Surface &t, Pen &) { BitBlt(t, 0, 0, 0, 2, source, 0, 0), BitBlt(t, 0, 0, -2, 2, source, 0, 0), BitBlt(t, 5, 5, 2, 2, source, 0, 0); },
         {"...", "..."}, QRect()},
        {"overlapping copy down", [&](Surface &t, Pen &) { BitBlt(t, 0, 0, 1, 2, source, 0, 0), BitBlt(t, 0, 1, 1, 3, t, 0, 0); }, {"a", "a", "e", "."}, QRect(0, 0, 1, 4)},
        {"overlapping copy up", [&](Surface &t, Pen &) { BitBlt(t, 0, 2, 1, 2, source, 0, 0), BitBlt(t, 0, 0, 1, 3, t, 0, 1); }, {".", "a", "e", "e"}, QRect(0, 0, 1, 4)},
        {"stretch doubles the nearest pixel", [&](Surface &t, Pen &) { StretchBlt(t, 0, 0, 4, 1, source, 0, 0, 2, 1); }, {"aabb"}, QRect(0, 0, 4, 1)},
        {"halftone averages", [&](Surface &t, Pen &) { SetStretchBltMode(t, StretchMode::Halftone), StretchBlt(t, 0, 0, 1, 1, source, 0, 0, 2, 1); }, {"m"}, QRect(0, 0, 1, 1)},
        {"negative width mirrors back from x", [&](Surface &t, Pen &) { StretchBlt(t, 4, 0, -4, 1, source, 0, 0, 4, 1); }, {".dcba"}, QRect(1, 0, 4, 1)},
        {"negative height flips", [&](Surface &t, Pen &) { StretchBlt(t, 0, 1, 1, -2, source, 0, 0, 1, 2); }, {"e", "a"}, QRect(0, 0, 1, 2)},
        {"source rectangle left of the source", [&](Surface &t, Pen &) { StretchBlt(t, 0, 0, 8, 1, source, -2, 0, 4, 1); }, {"....aabb"}, QRect(4, 0, 4, 1)},
        {"mirrored, left of the source", [&](Surface &t, Pen &) { StretchBlt(t, 7, 0, -8, 1, source, -2, 0, 4, 1); }, {"bbaa...."}, QRect(0, 0, 4, 1)},
        {"source rectangle right of the source", [&](Surface &t, Pen &) { StretchBlt(t, 0, 0, 8, 1, source, 3, 0, 4, 1); }, {"dd......"}, QRect(0, 0, 2, 1)},
        {"source rectangle wholly outside", [&](Surface &t, Pen &) { StretchBlt(t, 0, 0, 8, 1, source, 4, 0, 4, 1); }, {"........"}, QRect()},
        {"bitmap stored bottom-up", [&](Surface &t, Pen &) { SetDIBitsToSurface(t, 1, 1, 2, 2, bits); }, {"...", ".ab", ".ef"}, QRect(1, 1, 2, 2)},
        {"sunken edge", [](Surface &t, Pen &) { DrawEdge(t, QRect(0, 0, 6, 6), Edge::Sunken); },
         {"SSSSSH.", "SDDDLH.", "SD..LH.", "SD..LH.", "SLLLLH.", "HHHHHH.", "......."}, QRect(0, 0, 6, 6)},
        {"sunken inner edge", [](Surface &t, Pen &) { DrawEdge(t, QRect(1, 1, 4, 4), Edge::SunkenInner); }, {".....", ".DDDL", ".D..L", ".D..L", ".LLLL"}, QRect(1, 1, 4, 4)},
        {"clear shows the stored picture, not the drawing", [&](Surface &t, Pen &) { t.setPicture(source.image().copy(0, 0, 2, 1)), t.image().setPixel(2, 1, 1), t.clear(); },
         {"ab.", "..."}, QRect(0, 0, 3, 2)},
        {"resize keeps the drawing at the top left", [&](Surface &t, Pen &p) { p.Box(0, 0, 2, 2), t.resize(2, 2), t.resize(3, 3); }, {"##.", "##.", "..."}, QRect(0, 0, 3, 3)},
        {"line leaves out its end", [](Surface &, Pen &p) { p.MoveToEx(1, 1), p.LineTo(5, 1); }, {"......", ".####.", "......"}, QRect(1, 1, 4, 1)},
        {"two-pixel line grows right and down", [](Surface &, Pen &p) { p.setWidth(2), p.MoveToEx(1, 0), p.LineTo(4, 0); }, {".####.", ".####.", "......"}, QRect(1, 0, 4, 2)},
        {"three-pixel line centred", [](Surface &, Pen &p) { p.setWidth(3), p.MoveToEx(1, 1), p.LineTo(3, 1); }, {"####..", "####..", "####.."}, QRect(0, 0, 4, 3)},
        {"pen wider than three draws three", [](Surface &, Pen &p) { p.setWidth(9), p.MoveToEx(1, 1), p.LineTo(2, 1); }, {"###", "###", "###"}, QRect(0, 0, 3, 3)},
        {"hollow rectangle leaves out right and bottom", [](Surface &, Pen &p) { p.Rectangle(1, 0, 5, 3); }, {".####.", ".#..#.", ".####."}, QRect(1, 0, 4, 3)},
        {"solid rectangle", [](Surface &, Pen &p) { p.setFillStyle(FillStyle::Solid), p.Rectangle(0, 0, 5, 4); }, {"#####.", "#+++#.", "#+++#.", "#####."}, QRect(0, 0, 5, 4)},
        // Figures whose points meet, a wide pen's squares overlapping: each pixel is inverted once,
        // so drawing a figure twice in Invert restores what was there.
        {"inverted solid rectangle", [](Surface &, Pen &p) { p.setDrawMode(DrawMode::Invert), p.setFillStyle(FillStyle::Solid), p.Rectangle(0, 0, 4, 3); },
         {"****..", "****..", "****..", "......"}, QRect(0, 0, 4, 3)},
        {"inverted circle and wide line", [](Surface &, Pen &p) { p.setDrawMode(DrawMode::Invert), p.Circle(1, 1, 1), p.setWidth(2), p.MoveToEx(0, 3), p.LineTo(3, 3); },
         {".*..", "*.*.", ".*..", "****", "****"}, QRect(0, 0, 4, 5)},
        {"box takes both corners in any order", [](Surface &, Pen &p) { p.Box(3, 2, 1, 0); }, {".###..", ".###..", ".###.."}, QRect(1, 0, 3, 3)},
        {"circle of radius 3", [](Surface &, Pen &p) { p.Circle(3, 3, 3); }, {"..###..", ".#...#.", "#.....#", "#.....#", "#.....#", ".#...#.", "..###.."}, QRect(0, 0, 7, 7)},
    };
    for (const auto &c : cases) {
        Surface target(int(std::strlen(c.picture[0])), int(c.picture.size()), RGB(0, 0, 0));
        Pen pen(target);
        pen.setColor(RGB(255, 0, 0));
        pen.setFillColor(RGB(0, 255, 0));
        c.draw(target, pen);
        EXPECT_EQ(pictureDifference(target.image(), {0, 0}, c.picture, legend), QString()) << c.name;
        EXPECT_EQ(target.pendingChange().boundingRect(), c.changed) << c.name;
    }
}

// Thin strips close together, two far apart and a block, over both cores' halves of the rows,
// moved right and up: what lands outside the target is left out.
TEST(Drawing, CopyRegionCopiesEveryPixelOfTheRegionAndNothingElse)
{
    std::vector<quint32> pixels(600000);
    std::iota(pixels.begin(), pixels.end(), 0xFF000000u);
    const QImage from(reinterpret_cast<const uchar *>(pixels.data()), 1000, 600, QImage::Format_RGB32);
    QRegion region = QRegion(0, 350, 2, 10) + QRegion(990, 350, 10, 10) + QRegion(0, 360, 1000, 240);
    for (int x = 0; x < 1000; x += 3)
        region += QRect(x, 0, 1, 350);
    QImage to(1000, 600, QImage::Format_RGB32);
    to.fill(0u);
    CopyRegion(to, QPoint(3, -2), from, region);
    int wrong = 0;
    for (int n = 0; n < 600000; ++n)
        wrong += to.pixel(n % 1000, n / 1000) != 0xFF000000u + (region.contains(QPoint(n % 1000 - 3, n / 1000 + 2)) ? uint(n + 1997) : 0u);
    EXPECT_EQ(wrong, 0);
}

TEST(Drawing, GetPixelReadsInsideTheSurfaceOnly)
{
    Surface s(2, 2, RGB(1, 2, 3));
    EXPECT_EQ(std::vector<ColorValue>({GetPixel(s, 1, 1), GetPixel(s, 2, 0), GetPixel(s, 0, -1)}), std::vector<ColorValue>({0x030201, CLR_INVALID, CLR_INVALID}));
}

// Glyph shapes are the font's: every inked pixel is red, within the changed area.
TEST(Drawing, TextInThePenColourWithinTheChangedArea)
{
    Surface s(60, 30, RGB(0, 0, 0));
    Pen pen(s);
    pen.setColor(RGB(255, 0, 0));
    pen.Text(5, 3, QStringLiteral("Hi"));
    const QRect changed = s.pendingChange().boundingRect();
    int inked = 0, stray = 0;
    for (int k = 0; k < 60 * 30; ++k)
        if (const QRgb p = s.image().pixel(k % 60, k / 60); p != qRgb(0, 0, 0))
            ++inked, stray += (p & 0x00FFFF) != 0 || !changed.contains(k % 60, k / 60);
    EXPECT_TRUE(changed.topLeft() == QPoint(5, 3) && inked > 8 && stray == 0) << inked << " inked, " << stray << " stray";
}

TEST(Numbers, RoundingAndColourRange)
{
    for (const auto &[value, rounded] : std::vector<std::pair<double, int>>{{0.5, 0}, {1.5, 2}, {2.5, 2}, {-0.5, 0}, {-1.5, -2}, {1.4, 1}})
        EXPECT_EQ(RoundHalfEven(value), rounded) << value;
    EXPECT_EQ(std::pair(TwipsToPixels(23), TwipsToPixels(37.5)), std::pair(2, 2)); // 1.53 pixels; 2.5, to even
    EXPECT_EQ(QSize(Surface(4, 3).widthTwips(), Surface(4, 3).heightTwips()), QSize(60, 45));
    const std::pair<double, std::optional<ColorValue>> numbers[] = {{2147483647.4, 2147483647}, {2147483647.5, std::nullopt}, {-2147483648.5, -2147483647 - 1},
                                                                    {-2147483648.6, std::nullopt}, {16777215.5, 16777216}, {std::nan(""), std::nullopt}};
    for (const auto &[value, colour] : numbers)
        EXPECT_EQ(ColorFromNumber(value), colour) << value;
}

// Each group of changes is followed by one refresh; the empty group presents nothing.
TEST(Surface, RefreshPresentsOnlyWhatChangedOnce)
{
    Surface surface(10, 10);
    std::vector<QRect> presented;
    surface.setPresenter([&](const QRect &r) { presented.push_back(r); });
    for (const std::vector<QRect> &changes : std::vector<std::vector<QRect>>{{QRect(2, 2, 3, 3), QRect(8, 8, 5, 5)}, {}, {QRect(1, 1, 2, 2), QRect(-5, -5, 50, 50)}}) {
        for (const QRect &r : changes)
            surface.markChanged(r);
        surface.refresh();
    }
    EXPECT_EQ(presented, (std::vector<QRect>{QRect(2, 2, 3, 3), QRect(8, 8, 2, 2), QRect(0, 0, 10, 10)}));
}
