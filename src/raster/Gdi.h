#pragma once

#include "raster/Surface.h"

#include <QRect>

#include <functional>

constexpr ColorValue CLR_INVALID = -1;

// The clipping rule of every drawing call: of `target`, only the part that lies on
// targetBounds and whose pixels, read from `sourceOrigin` on, lie on sourceBounds is
// drawn. Returns that part and moves `sourceOrigin` along with its top-left corner.
[[nodiscard]] QRect ClipCopy(const QRect &target, const QRect &targetBounds, QPoint &sourceOrigin,
                             const QRect &sourceBounds);
// The same rule for drawing that reads no other surface.
[[nodiscard]] QRect ClipToSurface(const QRect &target, const Surface &surface);

// Block copies between surfaces, clipped to both; source copy is the only raster
// operation this program uses. Source and destination may be the same surface.
void BitBlt(Surface &destination, int x, int y, int width, int height,
            const Surface &source, int sourceX, int sourceY);

// Runs rows(first, end) over the rows 0 .. count - 1: a large job gives its far half to a
// second core, so a full-screen copy takes half as long on the thread that waits for it.
void SplitRows(int count, qsizetype bytesPerRow, const std::function<void(int first, int end)> &rows);

// Copies `rows` rows of `pixels` 32-bit pixels between two pixel buffers that do not overlap.
void CopyRows(uchar *to, qsizetype toStride, const uchar *from, qsizetype fromStride, int rows, int pixels);

// Copies `part` of one 32-bit image onto another at `at`, unclipped and not overlapping;
// a large part gives half its rows to a second core.
void CopyPixels(QImage &to, QPoint at, const QImage &from, const QRect &part);

// Copies the pixels of `region`, clipped to both images, onto the same places moved by
// `offset`; a large region gives half its rows to a second core.
void CopyRegion(QImage &to, QPoint offset, const QImage &from, const QRegion &region);

// The pixels of the destination that BitBlt with these arguments writes.
[[nodiscard]] QRect BitBltArea(const Surface &destination, int x, int y, int width, int height,
                               const Surface &source, int sourceX, int sourceY);

// Scaled copy; a negative destination width or height mirrors. Halftone averages
// (area-averaging when shrinking); every other mode takes the nearest pixel. Only the
// part of the source rectangle on the source is drawn, onto its share of the target.
void StretchBlt(Surface &destination, int x, int y, int width, int height,
                const Surface &source, int sourceX, int sourceY, int sourceWidth, int sourceHeight);

// StretchBlt's pixel work on plain images; returns the part of `to` it drew. Touches no
// surface, so it may run on any thread while no other thread uses either image.
QRect StretchImage(QImage &to, int x, int y, int width, int height, const QImage &from, int sourceX, int sourceY,
                   int sourceWidth, int sourceHeight, bool smooth);

// The pixels of the destination that StretchBlt with these arguments writes.
[[nodiscard]] QRect StretchBltArea(const Surface &destination, int x, int y, int width, int height,
                                   const Surface &source, int sourceX, int sourceY, int sourceWidth,
                                   int sourceHeight);

void SetStretchBltMode(Surface &surface, StretchMode mode);

// CLR_INVALID outside the surface.
[[nodiscard]] ColorValue GetPixel(const Surface &surface, int x, int y);

// The classic scheme's edge colours.
constexpr ColorValue EdgeShadow = RGB(160, 160, 160);
constexpr ColorValue EdgeHighlight = RGB(255, 255, 255);
constexpr ColorValue EdgeDarkShadow = RGB(105, 105, 105);
constexpr ColorValue EdgeLight = RGB(227, 227, 227);

enum class Edge
{
    Sunken,      // two rings: shadow over highlight outside, dark shadow over light inside
    SunkenInner, // the inner ring alone, one pixel wide
};

// A three-dimensional border just inside the rectangle (right and bottom exclusive).
void DrawEdge(Surface &surface, const QRect &rect, Edge edge);

// Copies a 24-bit bottom-up device-independent bitmap (rows of blue, green, red bytes,
// each row padded to four bytes) onto the surface at (x, y).
void SetDIBitsToSurface(Surface &surface, int x, int y, int width, int height, const unsigned char *bits);
