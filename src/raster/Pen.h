#pragma once

#include "raster/Surface.h"

#include <QPoint>
#include <QString>

enum class DrawMode { CopyPen, Invert };
enum class FillStyle { Solid, Transparent };

// The drawing state of one surface: current position, pen colour, width and mode.
// Every figure touches each pixel once, so drawing it twice in Invert mode restores
// the pixels.
class Pen
{
public:
    explicit Pen(Surface &surface) : surface_(surface) {}

    void setColor(ColorValue color) { color_ = color; }
    [[nodiscard]] ColorValue color() const { return color_; }
    void setWidth(int width);
    [[nodiscard]] int width() const { return width_; }
    void setDrawMode(DrawMode mode) { mode_ = mode; }
    void setFillStyle(FillStyle style) { fillStyle_ = style; }
    void setFillColor(ColorValue color) { fillColor_ = color; }

    void MoveToEx(int x, int y);
    // Draws from the current position to (x, y), the end point itself not drawn.
    void LineTo(int x, int y);
    [[nodiscard]] QPoint position() const { return position_; }

    // Outline in the pen, inside filled when the fill style is solid; right and bottom exclusive.
    void Rectangle(int left, int top, int right, int bottom);
    // Filled box in the pen colour, both corners inclusive.
    void Box(int left, int top, int right, int bottom);
    void Circle(int centerX, int centerY, int radius);
    // Text with its top-left corner at (x, y), in the pen colour.
    void Text(int x, int y, const QString &text);

private:
    void plot(const std::vector<QPoint> &points, ColorValue color);
    void strokeSegment(QPoint from, QPoint to, bool includeEnd, std::vector<QPoint> &points) const;

    Surface &surface_;
    ColorValue color_ = 0;
    ColorValue fillColor_ = 0;
    int width_ = 1;
    DrawMode mode_ = DrawMode::CopyPen;
    FillStyle fillStyle_ = FillStyle::Transparent;
    QPoint position_;
};
