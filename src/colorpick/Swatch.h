#pragma once

#include "raster/ColorValue.h"

#include <QFrame>

// A label used as a colour swatch: it shows one colour and reports clicks.
class Swatch : public QFrame
{
    Q_OBJECT
public:
    explicit Swatch(QWidget *parent = nullptr);

    [[nodiscard]] ColorValue color() const { return color_; }
    void setColor(ColorValue color);

signals:
    void clicked();

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    ColorValue color_ = 0;
    bool pressed_ = false;
};
