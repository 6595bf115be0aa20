#pragma once

// Whole numbers from fractions round to the nearest, a half to the even neighbour, as the
// stored files and the window geometry expect, unless a caller says it rounds down.
[[nodiscard]] int RoundHalfEven(double value);

// Window geometry is kept in twips, 1/1440 inch: 15 to a screen pixel.
inline constexpr int TwipsPerPixel = 15;

[[nodiscard]] constexpr double PixelsToTwips(double pixels)
{
    return pixels * TwipsPerPixel;
}

[[nodiscard]] inline int TwipsToPixels(double twips)
{
    return RoundHalfEven(twips / TwipsPerPixel);
}
