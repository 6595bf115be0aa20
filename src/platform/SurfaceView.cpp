#include "SurfaceView.h"

#include "Surface.h"

#include <QPaintEvent>
#include <QPainter>

SurfaceView::SurfaceView(Surface &surface, QWidget *parent) : QWidget(parent), surface_(surface)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    surface_.setPresenter([this](const QRect &changed) {
        const qreal ratio = devicePixelRatioF();
        update(QRectF(changed.x() / ratio, changed.y() / ratio, changed.width() / ratio, changed.height() / ratio)
                   .toAlignedRect());
    });
}

SurfaceView::~SurfaceView()
{
    surface_.setPresenter({});
}

void SurfaceView::fitToSurface()
{
    const qreal ratio = devicePixelRatioF();
    resize(qRound(surface_.width() / ratio), qRound(surface_.height() / ratio));
}

void SurfaceView::paintEvent(QPaintEvent *event)
{
    QPainter painter(this);
    const QImage &image = surface_.image();
    const qreal ratio = devicePixelRatioF();
    const QRect logical = event->rect();
    const QRect device = QRectF(logical.x() * ratio, logical.y() * ratio, logical.width() * ratio, logical.height() * ratio)
                             .toAlignedRect() & image.rect();
    painter.fillRect(logical, QColor(toQRgb(surface_.backColor())));
    if (!device.isEmpty())
        painter.drawImage(QRectF(device.x() / ratio, device.y() / ratio, device.width() / ratio, device.height() / ratio),
                          image, device);
}
