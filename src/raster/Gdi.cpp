#include "raster/Gdi.h"

#include <QPainter>
#include <cstring>

namespace {

// Clips a copy of (x, y, w, h) from source (sx, sy) to both surfaces; false when nothing is left.
bool clipCopy(const QRect &destinationBounds, const QRect &sourceBounds, int &x, int &y, int &w, int &h, int &sx, int &sy)
{
    if (w <= 0 || h <= 0)
        return false;
    const auto clipAxis = [](int &d, int &s, int &length, int destinationLimit, int sourceLimit) {
        const int skip = qMax(qMax(0 - d, 0 - s), 0);
        d += skip;
        s += skip;
        length -= skip;
        length = qMin(length, qMin(destinationLimit - d, sourceLimit - s));
        return length > 0;
    };
    return clipAxis(x, sx, w, destinationBounds.width(), sourceBounds.width())
        && clipAxis(y, sy, h, destinationBounds.height(), sourceBounds.height());
}

} // namespace

void BitBlt(Surface &destination, int x, int y, int width, int height,
            const Surface &source, int sourceX, int sourceY)
{
    if (!clipCopy(destination.rect(), source.rect(), x, y, width, height, sourceX, sourceY))
        return;
    QImage &to = destination.image();
    const QImage &from = source.image();
    if (to.constBits() == from.constBits() && x == sourceX && y == sourceY) {
        destination.markChanged(QRect(x, y, width, height)); // pixels onto themselves: nothing to copy
        return;
    }
    const qsizetype rowBytes = qsizetype(width) * 4;
    // Overlapping copies on one surface must read each row before it is overwritten.
    const bool bottomUp = &to == &from && y > sourceY;
    for (int row = 0; row < height; ++row) {
        const int r = bottomUp ? height - 1 - row : row;
        const uchar *src = from.constScanLine(sourceY + r) + qsizetype(sourceX) * 4;
        std::memmove(to.scanLine(y + r) + qsizetype(x) * 4, src, rowBytes);
    }
    destination.markChanged(QRect(x, y, width, height));
}

void StretchBlt(Surface &destination, int x, int y, int width, int height,
                const Surface &source, int sourceX, int sourceY, int sourceWidth, int sourceHeight)
{
    if (width == 0 || height == 0 || sourceWidth <= 0 || sourceHeight <= 0)
        return;
    const QRect sourceRect = QRect(sourceX, sourceY, sourceWidth, sourceHeight) & source.rect();
    if (sourceRect.isEmpty())
        return;
    const bool mirrorX = width < 0;
    const bool mirrorY = height < 0;
    // A negative extent runs from x back toward x + width, covering the same columns GDI does.
    const QRect target(mirrorX ? x + width + 1 : x, mirrorY ? y + height + 1 : y, qAbs(width), qAbs(height));
    const QRect visible = target & destination.rect();
    if (visible.isEmpty())
        return;

    const bool smooth = destination.stretchMode() == StretchMode::Halftone;
    const QRect wanted(sourceX, sourceY, sourceWidth, sourceHeight);
    // The whole source is shared, not copied: only a part needs a copy of its own.
    QImage part = wanted == source.rect() ? source.image() : source.image().copy(wanted);
    if (mirrorX || mirrorY)
        part = part.mirrored(mirrorX, mirrorY);
    if (part.size() != target.size())
        part = part.scaled(target.size(), Qt::IgnoreAspectRatio, smooth ? Qt::SmoothTransformation : Qt::FastTransformation);
    QPainter painter(&destination.image());
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    painter.drawImage(target.topLeft(), part);
    painter.end();
    destination.markChanged(visible);
}

StretchMode SetStretchBltMode(Surface &surface, StretchMode mode)
{
    return surface.setStretchMode(mode);
}

ColorValue GetPixel(const Surface &surface, int x, int y)
{
    if (!surface.rect().contains(x, y))
        return CLR_INVALID;
    return fromQRgb(surface.image().pixel(x, y));
}

void DrawEdge(Surface &surface, const QRect &rect, Edge edge)
{
    QImage &image = surface.image();
    const auto ring = [&](QRect r, ColorValue topLeft, ColorValue bottomRight) {
        if (r.width() <= 0 || r.height() <= 0)
            return;
        const auto set = [&](int px, int py, ColorValue c) {
            if (image.rect().contains(px, py))
                image.setPixel(px, py, toQRgb(c));
        };
        const int right = r.x() + r.width() - 1;
        const int bottom = r.y() + r.height() - 1;
        for (int px = r.x(); px < right; ++px)
            set(px, r.y(), topLeft);
        for (int py = r.y(); py < bottom; ++py)
            set(r.x(), py, topLeft);
        for (int px = r.x(); px <= right; ++px)
            set(px, bottom, bottomRight);
        for (int py = r.y(); py < bottom; ++py)
            set(right, py, bottomRight);
    };
    if (edge == Edge::Sunken) {
        ring(rect, EdgeShadow, EdgeHighlight);
        ring(rect.adjusted(1, 1, -1, -1), EdgeDarkShadow, EdgeLight);
    } else {
        ring(rect, EdgeDarkShadow, EdgeLight);
    }
    surface.markChanged(rect);
}

void SetDIBitsToSurface(Surface &surface, int x, int y, int width, int height, const unsigned char *bits)
{
    const int stride = (width * 3 + 3) & ~3;
    QImage &image = surface.image();
    for (int row = 0; row < height; ++row) {
        const int py = y + height - 1 - row;
        if (py < 0 || py >= image.height())
            continue;
        const unsigned char *p = bits + qsizetype(row) * stride;
        QRgb *line = reinterpret_cast<QRgb *>(image.scanLine(py));
        for (int col = 0; col < width; ++col, p += 3) {
            const int px = x + col;
            if (px >= 0 && px < image.width())
                line[px] = qRgb(p[2], p[1], p[0]);
        }
    }
    surface.markChanged(QRect(x, y, width, height));
}
