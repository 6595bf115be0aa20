#include "raster/Pen.h"

#include "raster/Gdi.h"

#include <QPainter>
#include <algorithm>

namespace {

// Bresenham's points from one end to the other, the end included.
void linePoints(QPoint from, QPoint to, std::vector<QPoint> &points)
{
    int x = from.x(), y = from.y();
    const int dx = std::abs(to.x() - x), dy = -std::abs(to.y() - y);
    const int sx = x < to.x() ? 1 : -1, sy = y < to.y() ? 1 : -1;
    int error = dx + dy;
    for (;;) {
        points.emplace_back(x, y);
        if (x == to.x() && y == to.y())
            return;
        const int twice = 2 * error;
        if (twice >= dy) {
            error += dy;
            x += sx;
        }
        if (twice <= dx) {
            error += dx;
            y += sy;
        }
    }
}

void sortUnique(std::vector<QPoint> &points)
{
    const auto less = [](const QPoint &a, const QPoint &b) { return a.y() != b.y() ? a.y() < b.y() : a.x() < b.x(); };
    std::sort(points.begin(), points.end(), less);
    points.erase(std::unique(points.begin(), points.end()), points.end());
}

} // namespace

void Pen::setWidth(int width)
{
    width_ = std::clamp(width, 1, 3);
}

void Pen::MoveToEx(int x, int y)
{
    position_ = QPoint(x, y);
}

void Pen::strokeSegment(QPoint from, QPoint to, bool includeEnd, std::vector<QPoint> &points) const
{
    std::vector<QPoint> centre;
    linePoints(from, to, centre);
    if (!includeEnd)
        centre.pop_back();
    // A wider pen is a square brush around each point, as wide as the pen.
    const int before = (width_ - 1) / 2;
    for (const QPoint &p : centre)
        for (int dy = -before; dy < width_ - before; ++dy)
            for (int dx = -before; dx < width_ - before; ++dx)
                points.emplace_back(p.x() + dx, p.y() + dy);
}

void Pen::LineTo(int x, int y)
{
    std::vector<QPoint> points;
    strokeSegment(position_, QPoint(x, y), false, points);
    plot(points, color_);
    position_ = QPoint(x, y);
}

void Pen::Rectangle(int left, int top, int right, int bottom)
{
    if (right - left < 1 || bottom - top < 1)
        return;
    if (fillStyle_ == FillStyle::Solid) {
        std::vector<QPoint> inside;
        for (int y = top + 1; y < bottom - 1; ++y)
            for (int x = left + 1; x < right - 1; ++x)
                inside.emplace_back(x, y);
        plot(inside, fillColor_);
    }
    std::vector<QPoint> outline;
    const QPoint corners[] = {{left, top}, {right - 1, top}, {right - 1, bottom - 1}, {left, bottom - 1}};
    for (int k = 0; k < 4; ++k)
        strokeSegment(corners[k], corners[(k + 1) % 4], true, outline);
    plot(outline, color_);
}

void Pen::Box(int left, int top, int right, int bottom)
{
    std::vector<QPoint> points;
    for (int y = std::min(top, bottom); y <= std::max(top, bottom); ++y)
        for (int x = std::min(left, right); x <= std::max(left, right); ++x)
            points.emplace_back(x, y);
    plot(points, color_);
}

void Pen::Circle(int centerX, int centerY, int radius)
{
    // Midpoint circle: the eight octants share points at their ends, which plot() merges.
    std::vector<QPoint> ring;
    int x = radius, y = 0, error = 1 - radius;
    while (x >= y) {
        const QPoint octants[] = {{x, y}, {y, x}, {-y, x}, {-x, y}, {-x, -y}, {-y, -x}, {y, -x}, {x, -y}};
        for (const QPoint &o : octants)
            ring.emplace_back(centerX + o.x(), centerY + o.y());
        ++y;
        if (error < 0) {
            error += 2 * y + 1;
        } else {
            --x;
            error += 2 * (y - x) + 1;
        }
    }
    std::vector<QPoint> points;
    const int before = (width_ - 1) / 2;
    for (const QPoint &p : ring)
        for (int dy = -before; dy < width_ - before; ++dy)
            for (int dx = -before; dx < width_ - before; ++dx)
                points.emplace_back(p.x() + dx, p.y() + dy);
    plot(points, color_);
}

void Pen::Text(int x, int y, const QString &text)
{
    QImage &image = surface_.image();
    QPainter painter(&image);
    painter.setPen(QColor(toQRgb(color_)));
    const QFontMetrics metrics(painter.font());
    const QRect bounds(x, y, metrics.horizontalAdvance(text), metrics.height());
    painter.drawText(bounds, Qt::AlignLeft | Qt::AlignTop, text);
    painter.end();
    surface_.markChanged(bounds);
}

void Pen::plot(const std::vector<QPoint> &pointsIn, ColorValue color)
{
    std::vector<QPoint> points = pointsIn;
    sortUnique(points);
    if (points.empty())
        return;
    QRect figure;
    for (const QPoint &p : points)
        figure |= QRect(p, QSize(1, 1));
    const QRect visible = ClipToSurface(figure, surface_);
    QImage &image = surface_.image();
    const QRgb pixel = toQRgb(color);
    QRect touched;
    for (const QPoint &p : points) {
        if (!visible.contains(p))
            continue;
        QRgb *line = reinterpret_cast<QRgb *>(image.scanLine(p.y()));
        line[p.x()] = mode_ == DrawMode::Invert ? (~line[p.x()] | 0xFF000000u) : pixel;
        touched |= QRect(p, QSize(1, 1));
    }
    surface_.markChanged(touched);
}
