#include "raster/Gdi.h"

#include <QPainter>
#include <QRunnable>
#include <QThread>
#include <QThreadPool>

#include <algorithm>
#include <cstring>
#include <functional>
#include <latch>
#include <memory>
#include <vector>

void SplitRows(int count, qsizetype bytesPerRow, const std::function<void(int, int)> &rows)
{
    constexpr qsizetype WorthSplitting = 1 << 20;
    static QThreadPool helpers;
    // Work on a thread of Qt's pool stays there, as Qt's own scaling does, leaving the other
    // cores to the thread that runs the steps and to the window system.
    if (count < 2 || count * bytesPerRow < WorthSplitting || QThread::idealThreadCount() < 2
        || QThreadPool::globalInstance()->contains(QThread::currentThread())) {
        rows(0, count);
        return;
    }
    helpers.setMaxThreadCount(1);
    const int middle = count / 2;
    std::latch done(1);
    std::unique_ptr<QRunnable> far(QRunnable::create([&] {
        rows(middle, count);
        done.count_down();
    }));
    far->setAutoDelete(false);
    helpers.start(far.get());
    rows(0, middle);
    // Still queued: this thread does it itself rather than wait for the helper to wake.
    if (helpers.tryTake(far.get()))
        far->run();
    done.wait();
}

namespace {

// Where a scaled copy of source rectangle `wanted` onto `target` draws the part of it
// that lies on the source, and that part; edges fall on the nearest target pixel.
struct StretchPart
{
    QRect source;
    QRect target;
};

StretchPart ClipStretch(const QRect &target, bool mirrorX, bool mirrorY, const QRect &wanted, const QRect &sourceBounds)
{
    const QRect source = wanted & sourceBounds;
    if (source.isEmpty())
        return {};
    const auto axis = [](int targetStart, int targetLength, int wantedStart, int wantedLength, int from, int to,
                         bool mirror) {
        const auto at = [&](int offset) {
            return targetStart + RoundHalfEven(double(offset) * targetLength / wantedLength);
        };
        const int a = from - wantedStart, b = to - wantedStart;
        return mirror ? std::pair(at(wantedLength - b), at(wantedLength - a)) : std::pair(at(a), at(b));
    };
    const auto [left, right] = axis(target.x(), target.width(), wanted.x(), wanted.width(), source.x(),
                                    source.x() + source.width(), mirrorX);
    const auto [top, bottom] = axis(target.y(), target.height(), wanted.y(), wanted.height(), source.y(),
                                    source.y() + source.height(), mirrorY);
    return {source, QRect(left, top, right - left, bottom - top)};
}

// The target of a StretchBlt with a negative extent runs from x back toward x + width,
// covering the same columns GDI does.
QRect StretchTarget(int x, int y, int width, int height)
{
    return QRect(width < 0 ? x + width + 1 : x, height < 0 ? y + height + 1 : y, qAbs(width), qAbs(height));
}

} // namespace

QRect ClipCopy(const QRect &target, const QRect &targetBounds, QPoint &sourceOrigin, const QRect &sourceBounds)
{
    if (target.isEmpty())
        return {};
    const QRect onSource = QRect(sourceOrigin, target.size()) & sourceBounds;
    const QRect clipped = onSource.translated(target.topLeft() - sourceOrigin) & targetBounds;
    if (clipped.isEmpty())
        return {};
    sourceOrigin += clipped.topLeft() - target.topLeft();
    return clipped;
}

QRect ClipToSurface(const QRect &target, const Surface &surface)
{
    QPoint origin = target.topLeft();
    return ClipCopy(target, surface.rect(), origin, target);
}

QRect BitBltArea(const Surface &destination, int x, int y, int width, int height, const Surface &source,
                 int sourceX, int sourceY)
{
    QPoint origin(sourceX, sourceY);
    return ClipCopy(QRect(x, y, width, height), destination.rect(), origin, source.rect());
}

void BitBlt(Surface &destination, int x, int y, int width, int height,
            const Surface &source, int sourceX, int sourceY)
{
    QPoint origin(sourceX, sourceY);
    const QRect area = ClipCopy(QRect(x, y, width, height), destination.rect(), origin, source.rect());
    if (area.isEmpty())
        return;
    QImage &to = destination.image();
    const QImage &from = source.image();
    if (to.constBits() == from.constBits() && area.topLeft() == origin) {
        destination.markChanged(area); // pixels onto themselves: nothing to copy
        return;
    }
    if (&to != &from) {
        CopyPixels(to, area.topLeft(), from, QRect(origin, area.size()));
    } else {
        // Overlapping copies on one surface must read each row before it is overwritten.
        const qsizetype rowBytes = qsizetype(area.width()) * 4;
        const bool bottomUp = area.y() > origin.y();
        for (int r = 0; r < area.height(); ++r) {
            const int row = bottomUp ? area.height() - 1 - r : r;
            std::memmove(to.scanLine(area.y() + row) + qsizetype(area.x()) * 4,
                         to.constScanLine(origin.y() + row) + qsizetype(origin.x()) * 4, rowBytes);
        }
    }
    destination.markChanged(area);
}

void CopyRows(uchar *to, qsizetype toStride, const uchar *from, qsizetype fromStride, int rows, int pixels)
{
    // Blinds and random lines copy columns a few pixels wide: a call per pixel row would cost
    // more than the copy.
    if (pixels <= 8) {
        for (int r = 0; r < rows; ++r) {
            auto *const out = reinterpret_cast<quint32 *>(to + r * toStride);
            const auto *const in = reinterpret_cast<const quint32 *>(from + r * fromStride);
            for (int p = 0; p < pixels; ++p)
                out[p] = in[p];
        }
        return;
    }
    for (int r = 0; r < rows; ++r)
        std::memcpy(to + r * toStride, from + r * fromStride, std::size_t(pixels) * 4);
}

void CopyPixels(QImage &to, QPoint at, const QImage &from, const QRect &part)
{
    uchar *const toBits = to.bits() + at.y() * to.bytesPerLine() + qsizetype(at.x()) * 4;
    const uchar *const fromBits = from.constBits() + part.y() * from.bytesPerLine() + qsizetype(part.x()) * 4;
    const qsizetype toStride = to.bytesPerLine(), fromStride = from.bytesPerLine();
    SplitRows(part.height(), qsizetype(part.width()) * 4, [&](int first, int end) {
        CopyRows(toBits + first * toStride, toStride, fromBits + first * fromStride, fromStride, end - first,
                 part.width());
    });
}

void CopyRegion(QImage &to, QPoint offset, const QImage &from, const QRegion &region)
{
    const QRegion clipped = region & from.rect() & to.rect().translated(-offset);
    if (clipped.isEmpty())
        return;
    const std::vector<QRect> rects(clipped.begin(), clipped.end());
    const QRect bounds = clipped.boundingRect();
    qsizetype moved = 0;
    for (const QRect &r : rects)
        moved += qsizetype(r.width()) * r.height() * 4;
    uchar *const toBits = to.bits();
    const uchar *const fromBits = from.constBits();
    const qsizetype toStride = to.bytesPerLine(), fromStride = from.bytesPerLine();
    SplitRows(bounds.height(), moved / bounds.height(), [&](int first, int end) {
        // A region's rectangles come in bands of rows, left to right within each band.
        for (auto band = rects.begin(); band != rects.end();) {
            const auto bandEnd = std::find_if(band, rects.end(), [&](const QRect &r) { return r.top() != band->top(); });
            const int top = std::max(bounds.top() + first, band->top());
            const int bottom = std::min(bounds.top() + end, band->bottom() + 1);
            // Blinds present a strip a pixel wide every few pixels, a screen tall: strip by strip,
            // each pixel is a cache line fetched on its own; a row at a time across the strips
            // reads the lines in order. Strips far apart are cheaper one by one, down the screen.
            const bool dense = (bandEnd - band) * 32 >= (bandEnd - 1)->right() - band->left();
            if (dense) {
                for (int y = top; y < bottom; ++y) {
                    auto *const out = reinterpret_cast<quint32 *>(toBits + (y + offset.y()) * toStride) + offset.x();
                    const auto *const in = reinterpret_cast<const quint32 *>(fromBits + y * fromStride);
                    for (auto r = band; r != bandEnd; ++r)
                        std::copy_n(in + r->x(), r->width(), out + r->x());
                }
            } else if (top < bottom) {
                for (auto r = band; r != bandEnd; ++r)
                    CopyRows(toBits + (top + offset.y()) * toStride + qsizetype(r->x() + offset.x()) * 4, toStride,
                             fromBits + top * fromStride + qsizetype(r->x()) * 4, fromStride, bottom - top, r->width());
            }
            band = bandEnd;
        }
    });
}

QRect StretchBltArea(const Surface &destination, int x, int y, int width, int height, const Surface &source,
                     int sourceX, int sourceY, int sourceWidth, int sourceHeight)
{
    if (width == 0 || height == 0 || sourceWidth <= 0 || sourceHeight <= 0)
        return {};
    const StretchPart part = ClipStretch(StretchTarget(x, y, width, height), width < 0, height < 0,
                                         QRect(sourceX, sourceY, sourceWidth, sourceHeight), source.rect());
    return ClipToSurface(part.target, destination);
}

QRect StretchImage(QImage &to, int x, int y, int width, int height, const QImage &from, int sourceX, int sourceY,
                   int sourceWidth, int sourceHeight, bool smooth)
{
    if (width == 0 || height == 0 || sourceWidth <= 0 || sourceHeight <= 0)
        return {};
    const bool mirrorX = width < 0;
    const bool mirrorY = height < 0;
    const StretchPart clip = ClipStretch(StretchTarget(x, y, width, height), mirrorX, mirrorY,
                                         QRect(sourceX, sourceY, sourceWidth, sourceHeight), from.rect());
    const QRect visible = clip.target & to.rect();
    if (visible.isEmpty())
        return {};
    // The part is read where it lies: a copy of it would cost as much as the scaling.
    QImage part = clip.source == from.rect()
        ? from
        : QImage(from.constBits() + clip.source.y() * from.bytesPerLine() + qsizetype(clip.source.x()) * 4,
                 clip.source.width(), clip.source.height(), from.bytesPerLine(), from.format());
    if (mirrorX || mirrorY)
        part = part.mirrored(mirrorX, mirrorY);
    if (part.size() != clip.target.size())
        part = part.scaled(clip.target.size(), Qt::IgnoreAspectRatio,
                           smooth ? Qt::SmoothTransformation : Qt::FastTransformation);
    QPainter painter(&to);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    painter.drawImage(clip.target.topLeft(), part);
    return visible;
}

void StretchBlt(Surface &destination, int x, int y, int width, int height,
                const Surface &source, int sourceX, int sourceY, int sourceWidth, int sourceHeight)
{
    const bool smooth = destination.stretchMode() == StretchMode::Halftone;
    const QRect drawn = StretchImage(destination.image(), x, y, width, height, source.image(), sourceX, sourceY,
                                     sourceWidth, sourceHeight, smooth);
    if (!drawn.isEmpty())
        destination.markChanged(drawn);
}

void SetStretchBltMode(Surface &surface, StretchMode mode)
{
    surface.setStretchMode(mode);
}

ColorValue GetPixel(const Surface &surface, int x, int y)
{
    if (!surface.rect().contains(x, y))
        return CLR_INVALID;
    return fromQRgb(surface.image().pixel(x, y));
}

void DrawEdge(Surface &surface, const QRect &rect, Edge edge)
{
    const QRect visible = ClipToSurface(rect, surface);
    if (visible.isEmpty())
        return;
    QImage &image = surface.image();
    const auto ring = [&](QRect r, ColorValue topLeft, ColorValue bottomRight) {
        if (r.width() <= 0 || r.height() <= 0)
            return;
        const auto set = [&](int px, int py, ColorValue c) {
            if (visible.contains(px, py))
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
    surface.markChanged(visible);
}

void SetDIBitsToSurface(Surface &surface, int x, int y, int width, int height, const unsigned char *bits)
{
    QPoint origin(0, 0);
    const QRect area = ClipCopy(QRect(x, y, width, height), surface.rect(), origin, QRect(0, 0, width, height));
    if (area.isEmpty())
        return;
    const int stride = (width * 3 + 3) & ~3;
    QImage &image = surface.image();
    for (int row = 0; row < area.height(); ++row) {
        // The bitmap is stored bottom-up.
        const unsigned char *p = bits + qsizetype(height - 1 - (origin.y() + row)) * stride + qsizetype(origin.x()) * 3;
        QRgb *line = reinterpret_cast<QRgb *>(image.scanLine(area.y() + row)) + area.x();
        for (int col = 0; col < area.width(); ++col, p += 3)
            line[col] = qRgb(p[2], p[1], p[0]);
    }
    surface.markChanged(area);
}
