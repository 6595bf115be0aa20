#include "raster/Gdi.h"
#include "raster/Pen.h"

#include "support/ImageDifference.h"

#include <cmath>
#include <cstring>
#include <gtest/gtest.h>

namespace {

// Letters 'a' to 'h' stand for the pixels of a 4 x 2 source, "abcd" over "efgh".
QRgb letter(int k)
{
    return qRgb(10 * k + 11, 10 * k + 12, 10 * k + 13);
}

std::map<char, QRgb> legend()
{
    std::map<char, QRgb> colours{{'.', qRgb(0, 0, 0)}, {'#', qRgb(255, 0, 0)}, {'+', qRgb(0, 255, 0)}, {'*', qRgb(255, 255, 255)}, {'m', qRgb(16, 17, 18)},
                                 {'S', toQRgb(EdgeShadow)}, {'H', toQRgb(EdgeHighlight)}, {'D', toQRgb(EdgeDarkShadow)}, {'L', toQRgb(EdgeLight)}};
    for (int k = 0; k < 8; ++k)
        colours[char('a' + k)] = letter(k);
    return colours;
}

} // namespace

// Each case draws on a black surface as large as its picture; every pixel is compared, and
// the area to present again is the one given. Pens draw in red and fill in green.
TEST(Drawing, EveryPixelOfEachFigure)
{
    using Draw = std::function<void(Surface &, Pen &)>;
    Surface source(4, 2);
    for (int k = 0; k < 8; ++k)
        source.image().setPixel(k % 4, k / 4, letter(k));
    QImage red(2, 1, QImage::Format_RGB32);
    red.fill(qRgb(255, 0, 0));
    // 2 x 2 bits, rows padded to 8 bytes, blue-green-red, the bottom row ("ef") first.
    const unsigned char bits[16] = {53, 52, 51, 63, 62, 61, 0, 0, 13, 12, 11, 23, 22, 21, 0, 0};
    const struct { const char *name; Draw draw; std::vector<const char *> picture; QRect changed; } cases[] = {
        {"copy of an exact rectangle", [&](Surface &t, Pen &) { BitBlt(t, 1, 1, 3, 1, source, 1, 0); }, {"......", ".bcd..", "......"}, QRect(1, 1, 3, 1)},
        {"copy cut by both surfaces", [&](Surface &t, Pen &) { BitBlt(t, -1, 1, 5, 5, source, 0, -1); }, {".....", ".....", "bcd..", "fgh.."}, QRect(0, 2, 3, 2)},
        {"empty and outside copies", [&](Surface &t, Pen &) { BitBlt(t, 0, 0, 0, 2, source, 0, 0), BitBlt(t, 0, 0, -2, 2, source, 0, 0), BitBlt(t, 5, 5, 2, 2, source, 0, 0); },
         {"...", "..."}, QRect()},
        {"overlapping copy down reads rows before they change", [&](Surface &t, Pen &) { BitBlt(t, 0, 0, 1, 2, source, 0, 0), BitBlt(t, 0, 1, 1, 3, t, 0, 0); },
         {"a", "a", "e", "."}, QRect(0, 0, 1, 4)},
        {"overlapping copy up", [&](Surface &t, Pen &) { BitBlt(t, 0, 2, 1, 2, source, 0, 0), BitBlt(t, 0, 0, 1, 3, t, 0, 1); }, {".", "a", "e", "e"}, QRect(0, 0, 1, 4)},
        {"stretch doubles the nearest pixel", [&](Surface &t, Pen &) { StretchBlt(t, 0, 0, 4, 1, source, 0, 0, 2, 1); }, {"aabb"}, QRect(0, 0, 4, 1)},
        {"halftone stretch averages", [&](Surface &t, Pen &) { SetStretchBltMode(t, StretchMode::Halftone), StretchBlt(t, 0, 0, 1, 1, source, 0, 0, 2, 1); },
         {"m"}, QRect(0, 0, 1, 1)},
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
        {"clear shows the stored picture, not the drawing", [&](Surface &t, Pen &) { t.setPicture(red), t.image().setPixel(2, 1, qRgb(1, 2, 3)), t.clear(); },
         {"##.", "..."}, QRect(0, 0, 3, 2)},
        {"resize keeps the drawing at the top left", [&](Surface &t, Pen &p) { p.Box(0, 0, 2, 2), t.resize(2, 2), t.resize(3, 3); }, {"##.", "##.", "..."}, QRect(0, 0, 3, 3)},
        {"line leaves out its end", [](Surface &, Pen &p) { p.MoveToEx(1, 1), p.LineTo(5, 1); }, {"......", ".####.", "......"}, QRect(1, 1, 4, 1)},
        {"two-pixel line grows right and down", [](Surface &, Pen &p) { p.setWidth(2), p.MoveToEx(1, 0), p.LineTo(4, 0); }, {".####.", ".####.", "......"}, QRect(1, 0, 4, 2)},
        {"three-pixel line centred", [](Surface &, Pen &p) { p.setWidth(3), p.MoveToEx(1, 1), p.LineTo(3, 1); }, {"####..", "####..", "####.."}, QRect(0, 0, 4, 3)},
        {"pen wider than three draws three", [](Surface &, Pen &p) { p.setWidth(9), p.MoveToEx(1, 1), p.LineTo(2, 1); }, {"###", "###", "###"}, QRect(0, 0, 3, 3)},
        {"hollow rectangle leaves out right and bottom", [](Surface &, Pen &p) { p.Rectangle(1, 0, 5, 3); }, {".####.", ".#..#.", ".####."}, QRect(1, 0, 4, 3)},
        {"solid rectangle", [](Surface &, Pen &p) { p.setFillStyle(FillStyle::Solid), p.setFillColor(RGB(0, 255, 0)), p.Rectangle(0, 0, 5, 4); },
         {"#####.", "#+++#.", "#+++#.", "#####."}, QRect(0, 0, 5, 4)},
        {"inverted solid rectangle inverts each pixel once", [](Surface &, Pen &p) { p.setDrawMode(DrawMode::Invert), p.setFillStyle(FillStyle::Solid), p.Rectangle(0, 0, 4, 3); },
         {"****..", "****..", "****..", "......"}, QRect(0, 0, 4, 3)},
        {"box takes both corners in any order", [](Surface &, Pen &p) { p.Box(3, 2, 1, 0); }, {".###..", ".###..", ".###.."}, QRect(1, 0, 3, 3)},
        {"circle of radius 1", [](Surface &, Pen &p) { p.Circle(1, 1, 1); }, {".#.", "#.#", ".#."}, QRect(0, 0, 3, 3)},
        {"circle of radius 3", [](Surface &, Pen &p) { p.Circle(3, 3, 3); }, {"..###..", ".#...#.", "#.....#", "#.....#", "#.....#", ".#...#.", "..###.."}, QRect(0, 0, 7, 7)},
    };
    for (const auto &c : cases) {
        Surface target(int(std::strlen(c.picture[0])), int(c.picture.size()), RGB(0, 0, 0));
        Pen pen(target);
        pen.setColor(RGB(255, 0, 0));
        c.draw(target, pen);
        EXPECT_EQ(pictureDifference(target.image(), {0, 0}, c.picture, legend()), QString()) << c.name;
        EXPECT_EQ(target.pendingChange().boundingRect(), c.changed) << c.name;
    }
}

TEST(Drawing, CopyLargeEnoughToSplitBetweenCoresCopiesEveryRow)
{
    Surface source(1024, 300);
    for (int y = 0; y < 300; ++y)
        for (int x = 0; x < 1024; ++x)
            source.image().setPixel(x, y, qRgb(x % 256, y % 256, y / 256));
    Surface target(1024, 300);
    BitBlt(target, 0, 0, 1024, 300, source, 0, 0);
    EXPECT_EQ(imageDifference(target.image(), source.image()), QString());
}

TEST(Drawing, GetPixelAndStretchModeReadBack)
{
    Surface s(2, 2, RGB(1, 2, 3));
    EXPECT_EQ(SetStretchBltMode(s, StretchMode::Halftone), StretchMode::BlackOnWhite);
    EXPECT_EQ(SetStretchBltMode(s, StretchMode::BlackOnWhite), StretchMode::Halftone);
    EXPECT_EQ(GetPixel(s, 1, 1), 1 + 2 * 256 + 3 * 65536);
    EXPECT_EQ(GetPixel(s, 2, 0), CLR_INVALID);
    EXPECT_EQ(GetPixel(s, 0, -1), CLR_INVALID);
}

TEST(Drawing, InvertingTwiceRestoresEveryFigureAtEveryWidth)
{
    for (int width = 1; width <= 3; ++width) {
        Surface s(16, 12);
        for (int k = 0; k < 16 * 12; ++k)
            s.image().setPixel(k % 16, k / 16, qRgb(k % 16 * 20, k / 16 * 20, k % 256));
        const QImage before = s.image().copy();
        Pen pen(s);
        pen.setDrawMode(DrawMode::Invert);
        pen.setWidth(width);
        for (int pass = 0; pass < 2; ++pass) {
            pen.Circle(8, 6, 5);
            pen.MoveToEx(17, 3); // from beyond the right edge, then across the circle
            pen.LineTo(0, 11);
            pen.Rectangle(1, 1, 9, 8);
            EXPECT_EQ(s.image() == before, pass == 1) << "width " << width << " pass " << pass;
        }
    }
}

TEST(Drawing, TextInThePenColourWithinTheChangedArea)
{
    Surface s(60, 30, RGB(0, 0, 0));
    Pen pen(s);
    pen.setColor(RGB(255, 0, 0));
    pen.Text(5, 3, QStringLiteral("Hi"));
    const QRect changed = s.pendingChange().boundingRect();
    EXPECT_EQ(changed.topLeft(), QPoint(5, 3));
    int inked = 0;
    for (int k = 0; k < 60 * 30; ++k) {
        const QRgb p = s.image().pixel(k % 60, k / 60);
        inked += p != qRgb(0, 0, 0);
        EXPECT_TRUE(p == qRgb(0, 0, 0) || (changed.contains(k % 60, k / 60) && (p & 0x00FFFF) == 0)) << k % 60 << "," << k / 60; // red, inside
    }
    EXPECT_GT(inked, 8);
}

TEST(Numbers, RoundingAndColourRange)
{
    const struct { double value; int rounded; } halves[] = {{0.5, 0}, {1.5, 2}, {2.5, 2}, {-0.5, 0}, {-1.5, -2}, {1.4, 1}};
    for (const auto &h : halves)
        EXPECT_EQ(RoundHalfEven(h.value), h.rounded) << h.value;
    EXPECT_EQ(TwipsToPixels(23), 2);   // 1.53 pixels
    EXPECT_EQ(TwipsToPixels(37.5), 2); // 2.5, to even
    EXPECT_EQ(Surface(4, 3).widthTwips(), 60);
    EXPECT_EQ(Surface(4, 3).heightTwips(), 45);
    const struct { double value; std::optional<ColorValue> colour; } numbers[] = {
        {2147483647.4, 2147483647}, {2147483647.5, std::nullopt}, {-2147483648.5, -2147483647 - 1},
        {-2147483648.6, std::nullopt}, {16777215.5, 16777216}, {std::nan(""), std::nullopt}};
    for (const auto &n : numbers)
        EXPECT_EQ(ColorFromNumber(n.value), n.colour) << n.value;
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
