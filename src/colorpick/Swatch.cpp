#include "colorpick/Swatch.h"

#include <QMouseEvent>
#include <QPainter>

Swatch::Swatch(QWidget *parent) : QFrame(parent)
{
    setFrameStyle(QFrame::Panel | QFrame::Sunken);
    setLineWidth(1);
}

void Swatch::setColor(ColorValue color)
{
    color_ = color;
    update();
}

void Swatch::paintEvent(QPaintEvent *event)
{
    QPainter painter(this);
    painter.fillRect(contentsRect(), QColor(toQRgb(color_)));
    painter.end();
    QFrame::paintEvent(event);
}

void Swatch::mousePressEvent(QMouseEvent *event)
{
    pressed_ = event->button() == Qt::LeftButton;
}

// A click is a left press and release over the swatch.
void Swatch::mouseReleaseEvent(QMouseEvent *event)
{
    const bool click = pressed_ && event->button() == Qt::LeftButton && rect().contains(event->position().toPoint());
    pressed_ = false;
    if (click)
        emit clicked();
}
