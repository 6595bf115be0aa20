#include "TransitionFixture.h"

namespace {

char Letter(const QImage &frame, int x, int y)
{
    const Origin origin = OriginAt(frame, x, y);
    if (origin.x != x || origin.y != y)
        return '?';
    return origin.tag == Shown ? 'S' : origin.tag == Old ? 'O' : origin.tag == New ? 'N' : '?';
}

}

QImage TaggedImage(int width, int height, Tag tag)
{
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.setPixel(x, y, 0xFF000000u | (unsigned(tag) << 22) | (unsigned(x) << 11) | unsigned(y));
    return image;
}

Surface TaggedSurface(int width, int height, Tag tag)
{
    Surface surface;
    surface.adoptPicture(TaggedImage(width, height, tag));
    return surface;
}

Origin OriginAt(const QImage &frame, int x, int y)
{
    const unsigned code = frame.pixel(x, y) & 0xFFFFFFu;
    return {int(code >> 22), int((code >> 11) & 0x7FF), int(code & 0x7FF)};
}

namespace {

std::string Lines(const QImage &frame, bool columns)
{
    const int count = columns ? frame.width() : frame.height();
    const int across = columns ? frame.height() : frame.width();
    std::string letters;
    for (int line = 0; line < count; ++line) {
        const auto at = [&](int n) { return columns ? Letter(frame, line, n) : Letter(frame, n, line); };
        char letter = at(0);
        for (int n = 1; n < across; ++n)
            if (at(n) != letter)
                letter = '?';
        letters += letter;
    }
    return letters;
}

}

std::string Rows(const QImage &frame)
{
    return Lines(frame, false);
}

std::string Columns(const QImage &frame)
{
    return Lines(frame, true);
}

std::string Repeat(char letter, int count)
{
    return std::string(std::size_t(count), letter);
}
