#include "slideshow/PictureArea.h"

#include "raster/Units.h"

namespace {

struct Proportions
{
    float divisor;
    float offsetDivisor; // 0: no offset
};

Proportions proportions(ImageSize size)
{
    switch (size) {
    case ImageSize::FullScreen: return {1.0f, 0.0f};
    case ImageSize::Large: return {1.2f, 16.0f};
    case ImageSize::Medium: return {1.5f, 9.0f};
    case ImageSize::Small: return {2.0f, 6.0f};
    }
    return {1.5f, 9.0f};
}

// Twips in single precision, as the window's geometry is kept, then back to whole pixels.
int pixels(float twips)
{
    return RoundHalfEven(twips / float(TwipsPerPixel));
}

} // namespace

QRect PictureArea(ImageSize size, QSize screen)
{
    const float widthTwips = float(PixelsToTwips(screen.width()));
    const float heightTwips = float(PixelsToTwips(screen.height()));
    const Proportions p = proportions(size);
    const int width = pixels(widthTwips / p.divisor);
    const int height = pixels(heightTwips / p.divisor);
    const int offset = p.offsetDivisor == 0.0f ? 0 : pixels(widthTwips / p.offsetDivisor);
    const int top = std::max(0, std::min(offset, screen.height() - height));
    return QRect(offset, top, width, height);
}
